// Helpers for Qt tests: one application object for the test program, drawing
// and waiting helpers, and answering a modal window that a call under test
// opens. Without a display the tests draw on Qt's offscreen platform; the
// test script gives them Xvfb.
#pragma once

#include <gtest/gtest.h>
#include <QApplication>
#include <QColor>
#include <QElapsedTimer>
#include <QImage>
#include <QKeyEvent>
#include <QStringList>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <cstdlib>
#include <functional>

#include "app/FirstStartWizard.h"
#include "platform/AccessibleButtons.h"
#include "support/TempDir.h"

namespace tw::test {

// Makes the QApplication of the test program once. Without an X server the
// tests draw off screen.
inline void EnsureQtApp() {
  IsolateProgramFolder();
  // Windows started without a parameters file must not stop at the wizard.
  SetFirstStartWizardEnabled(false);
  if (QCoreApplication::instance() != nullptr) return;
  // Without the test session's bus, neither the tests nor the programs they
  // start may leave a bus of their own behind.
  KeepSessionBusFromAutolaunching();
  if (std::getenv("DISPLAY") == nullptr && std::getenv("QT_QPA_PLATFORM") == nullptr) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  }
  static int argc = 1;
  static char name[] = "tarnwick-test";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
}

// Runs `answer` on the next modal window that opens (within `timeoutMs`),
// from the event loop that window runs.
inline void AnswerNextModal(std::function<void(QWidget*)> answer, int timeoutMs = 10000) {
  auto* poll = new QTimer;
  auto* clock = new QElapsedTimer;
  clock->start();
  QObject::connect(poll, &QTimer::timeout, [poll, clock, answer = std::move(answer), timeoutMs] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr && clock->elapsed() < timeoutMs) return;
    poll->stop();
    poll->deleteLater();
    delete clock;
    if (modal != nullptr) answer(modal);
  });
  poll->start(10);
}

// Watches for modal windows while it lives: each one is recorded (its
// title and text) and closed, so a call under test never blocks on it.
class ModalWatch {
 public:
  ModalWatch() {
    QObject::connect(&poll_, &QTimer::timeout, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      if (modal == nullptr) return;
      QString text;
      for (const char* name : {"qt_msgbox_label", "MessageTxt"}) {
        if (auto* label = modal->findChild<QWidget*>(name)) {
          text = label->property("text").toString();
          if (text.isEmpty()) text = label->property("plainText").toString();
        }
      }
      seen_.append(modal->windowTitle() + "|" + text);
      modal->close();
    });
    poll_.start(10);
  }
  // "title|text" of every modal window seen.
  const QStringList& Seen() const { return seen_; }

 private:
  QTimer poll_;
  QStringList seen_;
};

// Presses and releases a key on a widget, through its event filters.
inline void SendKey(QWidget* widget, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &release);
}

class QtTestApp : public ::testing::Environment {
 public:
  void SetUp() override { EnsureQtApp(); }
};

// The widget as it paints itself now, pixel for pixel.
inline QImage Render(QWidget& widget) {
  QImage image(widget.size(), QImage::Format_ARGB32);
  image.fill(QColor(1, 2, 3));
  widget.render(&image);
  return image;
}

// Calls `visit(x, y)` for every pixel close to `colour` (text edges are
// blended with what lies below).
template <typename Visit>
void ForEachNear(const QImage& image, const QColor& colour, int tolerance, Visit visit) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      const int distance = std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
                           std::abs(c.blue() - colour.blue());
      if (distance <= tolerance) visit(x, y);
    }
  }
}

// The number of pixels close to `colour`.
inline int CountNear(const QImage& image, const QColor& colour, int tolerance = 40) {
  int count = 0;
  ForEachNear(image, colour, tolerance, [&](int, int) { ++count; });
  return count;
}

// The smallest rectangle holding every pixel close to `colour`.
inline QRect BoundsOf(const QImage& image, const QColor& colour, int tolerance = 40) {
  QRect bounds;
  ForEachNear(image, colour, tolerance, [&](int x, int y) { bounds |= QRect(x, y, 1, 1); });
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
