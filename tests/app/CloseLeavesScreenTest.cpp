// A close that will go on takes the window off the screen before its flag
// waits, also when it only becomes due during the first of them; a close
// held back behind "Please wait" leaves the window shown.
#include <gtest/gtest.h>

#include <QEvent>
#include <QTest>

#include "app/PingObject.h"
#include "platform/fake/OffsetClock.h"
#include "support/QtTestApp.h"
#include "support/TempDir.h"

namespace tw {
namespace {

constexpr uint64_t kFlagWaitMs = 1000;

// Records the clock's tick when the watched window is hidden.
class HideWatch final : public QObject {
 public:
  explicit HideWatch(Clock& clock) : clock_(clock) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Hide && hiddenAt == 0) hiddenAt = clock_.TickMs();
    return QObject::eventFilter(watched, event);
  }
  uint64_t hiddenAt = 0;

 private:
  Clock& clock_;
};

TEST(CloseLeavesScreen, AtOnceWhenTheCloseWillGoOnAndNotBehindPleaseWait) {
  test::EnsureQtApp();
  test::TempDir home;
  setenv("TARNWICK_HOME", home.Path().c_str(), 1);
  struct Case {
    int64_t sinceStartMs;  // the close comes this long after the start
    bool leavesAtOnce;
  };
  // 4500 ms: due once the stop's flag wait has passed.
  for (const Case c : {Case{6000, true}, Case{4500, true}, Case{3000, false}}) {
    OffsetClock clock;
    const uint64_t created = clock.TickMs();
    auto window = std::make_unique<TPingObject>(clock);
    window->SetFlagWaitMs(kFlagWaitMs);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    HideWatch watch(clock);
    window->installEventFilter(&watch);
    clock.AdvanceMs(c.sinceStartMs - static_cast<int64_t>(clock.TickMs() - created));
    const uint64_t closing = clock.TickMs();
    window->close();
    if (c.leavesAtOnce) {
      ASSERT_NE(watch.hiddenAt, 0u) << c.sinceStartMs;
      EXPECT_LT(watch.hiddenAt - closing, kFlagWaitMs / 2) << c.sinceStartMs;
    } else {
      EXPECT_TRUE(window->isVisible()) << c.sinceStartMs;
      EXPECT_EQ(watch.hiddenAt, 0u) << c.sinceStartMs;
    }
    window->removeEventFilter(&watch);
  }
}

}  // namespace
}  // namespace tw
