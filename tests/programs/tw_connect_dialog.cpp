// A dialog box like a dial-up program's "connect" box. Each press of its
// button appends a line to a record file.
// Usage: tw_connect_dialog <title> <button caption> <record file> [<label text> [<count>]]
// With a count of 2 or more the program shows that many dialogs of the same
// title; their presses are recorded as "pressed 1", "pressed 2", ...
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>
#include <vector>

namespace {

void Record(const QString& path, const QByteArray& line) {
  QFile file(path);
  if (file.open(QIODevice::Append)) file.write(line + "\n");
}

std::unique_ptr<QDialog> MakeDialog(const QString& title, const QString& caption,
                                    const QString& text, const QString& record,
                                    const QByteArray& pressedLine) {
  auto dialog = std::make_unique<QDialog>();
  dialog->setWindowTitle(title);
  auto* label = new QLabel(text, dialog.get());
  auto* press = new QPushButton(caption, dialog.get());
  auto* cancel = new QPushButton("Cancel", dialog.get());
  QObject::connect(press, &QPushButton::clicked, [=] { Record(record, pressedLine); });
  QObject::connect(cancel, &QPushButton::clicked, [=] { Record(record, "cancelled"); });
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(press);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(dialog.get());
  layout->addWidget(label);
  layout->addLayout(buttons);
  return dialog;
}

}  // namespace

int main(int argc, char** argv) {
  // The keeper finds the button through the accessibility bus.
  qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
  QApplication app(argc, argv);
  if (argc < 4) return 2;
  const QString title = QString::fromLocal8Bit(argv[1]);
  const QString caption = QString::fromLocal8Bit(argv[2]);
  const QString record = QString::fromLocal8Bit(argv[3]);
  const QString label = argc > 4 ? QString::fromLocal8Bit(argv[4]) : QString();
  const QString text = label.isEmpty() ? QString("The line is busy.") : label;
  const int count = argc > 5 ? std::max(1, QByteArray(argv[5]).toInt()) : 1;

  std::vector<std::unique_ptr<QDialog>> dialogs;
  for (int i = 1; i <= count; ++i) {
    const QByteArray line = count == 1 ? QByteArray("pressed") : "pressed " + QByteArray::number(i);
    dialogs.push_back(MakeDialog(title, caption, text, record, line));
    dialogs.back()->move(40 * i, 40 * i);
    dialogs.back()->show();
  }
  Record(record, "shown");
  return app.exec();
}
