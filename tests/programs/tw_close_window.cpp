// A window that records each request to close it, then closes (and so ends
// the program). Usage: tw_close_window <title> <record file>
#include <unistd.h>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QWidget>

namespace {

class RecordingWindow final : public QWidget {
 public:
  explicit RecordingWindow(QString record) : record_(std::move(record)) {}

 protected:
  void closeEvent(QCloseEvent* event) override {
    QFile file(record_);
    if (file.open(QIODevice::Append)) {
      file.write("close " + QByteArray::number(static_cast<qint64>(getpid())) + "\n");
    }
    event->accept();
  }

 private:
  QString record_;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 3) return 2;
  RecordingWindow window(QString::fromLocal8Bit(argv[2]));
  window.setWindowTitle(QString::fromLocal8Bit(argv[1]));
  window.resize(200, 100);
  window.show();
  return app.exec();
}
