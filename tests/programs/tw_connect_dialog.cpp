// A dialog box like a dial-up program's "connect" box. Each press of its
// button appends a line to a record file.
// Usage: tw_connect_dialog <title> <button caption> <record file> [<label text>]
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

void Record(const QString& path, const QByteArray& line) {
  QFile file(path);
  if (file.open(QIODevice::Append)) file.write(line + "\n");
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

  QDialog dialog;
  dialog.setWindowTitle(title);
  const QString text = argc > 4 ? QString::fromLocal8Bit(argv[4]) : QString("The line is busy.");
  auto* label = new QLabel(text, &dialog);
  auto* press = new QPushButton(caption, &dialog);
  auto* cancel = new QPushButton("Cancel", &dialog);
  QObject::connect(press, &QPushButton::clicked, [&] { Record(record, "pressed"); });
  QObject::connect(cancel, &QPushButton::clicked, [&] { Record(record, "cancelled"); });
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(press);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(label);
  layout->addLayout(buttons);
  dialog.show();
  Record(record, "shown");
  return app.exec();
}
