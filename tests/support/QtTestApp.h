// One QApplication for all window tests of a test program. Without a display
// the tests draw on Qt's offscreen platform; the test script gives them Xvfb.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QColor>
#include <QElapsedTimer>
#include <QImage>
#include <QThread>
#include <QWidget>
#include <cstdlib>

namespace tw::test {

class QtTestApp : public ::testing::Environment {
 public:
  void SetUp() override {
    if (std::getenv("DISPLAY") == nullptr && std::getenv("QT_QPA_PLATFORM") == nullptr) {
      setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    static int argc = 1;
    static char name[] = "tarnwick-test";
    static char* argv[] = {name, nullptr};
    if (QApplication::instance() == nullptr) app_ = new QApplication(argc, argv);
  }
  void TearDown() override {
    delete app_;
    app_ = nullptr;
  }

 private:
  QApplication* app_ = nullptr;
};

// The widget as it paints itself now, pixel for pixel.
inline QImage Render(QWidget& widget) {
  QImage image(widget.size(), QImage::Format_ARGB32);
  image.fill(QColor(1, 2, 3));
  widget.render(&image);
  return image;
}

// Pixels close to `colour` (text edges are blended with what lies below).
inline int CountNear(const QImage& image, const QColor& colour, int tolerance = 40) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
              std::abs(c.blue() - colour.blue()) <=
          tolerance) {
        ++count;
      }
    }
  }
  return count;
}

// The smallest rectangle holding every pixel close to `colour`.
inline QRect BoundsOf(const QImage& image, const QColor& colour, int tolerance = 40) {
  QRect bounds;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
              std::abs(c.blue() - colour.blue()) <=
          tolerance) {
        bounds |= QRect(x, y, 1, 1);
      }
    }
  }
  return bounds;
}

// Runs the event loop until `done` holds or `timeoutMs` have passed.
template <typename Predicate>
bool WaitFor(Predicate done, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
  return true;
}

// Counts the emissions of a signal.
struct SignalCount {
  template <typename Sender, typename Signal>
  SignalCount(Sender* sender, Signal signal) {
    QObject::connect(sender, signal, [this] { ++count; });
  }
  int count = 0;
};

}  // namespace tw::test
