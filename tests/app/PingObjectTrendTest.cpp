// The running monitor writes one trend record per resource at the quarter
// hour into the trend files of the program folder, and finds them again.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "app/PingObject.h"
#include "charts/TrendChart.h"
#include "platform/fake/OffsetClock.h"
#include "support/TempDir.h"
#include "util/DateTime.h"

namespace tw {
namespace {

void EnsureApplication() {
  if (QApplication::instance() != nullptr) return;
  if (std::getenv("DISPLAY") == nullptr) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "test_app";
  static char* argv[] = {name, nullptr};
  static auto* app = new QApplication(argc, argv);
  (void)app;
}

// Runs the event loop (the threads' hand-overs) until `done` or 5 s.
template <typename Done>
bool ProcessUntil(Done done) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < 5000) QApplication::processEvents(QEventLoop::AllEvents, 20);
  return done();
}

TEST(PingObjectTrend, RunningMonitorWritesOneRecordPerResourceAtTheQuarterHour) {
  test::TempDir home;
  setenv("TARNWICK_HOME", home.Path().c_str(), 1);
  EnsureApplication();
  OffsetClock clock;
  clock.SetLocalNow(CivilTime{2023, 3, 15, 10, 14, 50, 0});
  {
    TPingObject window(clock);
    window.SetFlagWaitMs(50);
    window.show();
    TTrendFile* trend = window.TrendFile();
    ASSERT_NE(trend, nullptr);
    ASSERT_TRUE(trend->DataOpen() && trend->IndexOpen());
    window.AddResourceRow("127.0.0.1", ResourceKind::Echo);
    window.AddResourceRow("localhost", ResourceKind::Echo);
    window.StartBtnClick();
    QElapsedTimer idle;  // nothing is due at minute 14
    idle.start();
    while (idle.elapsed() < 300) QApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_TRUE(trend->TimeIndexes().empty());

    clock.SetLocalNow(CivilTime{2023, 3, 15, 10, 15, 5, 0});
    ASSERT_TRUE(ProcessUntil([&] { return trend->TimeIndexes().size() >= 2; }));
    const double quarter = EncodeDateTime(CivilTime{2023, 3, 15, 10, 15, 0, 0});
    for (const char* name : {"127.0.0.1", "LOCALHOST"}) {
      TrendValues values{1, 1, 1};
      EXPECT_TRUE(trend->FindRecord(name, quarter, values)) << name;
    }
    window.StopBtnClick();
    EXPECT_EQ(trend->TimeIndexes().size(), 2u);
    // The trend chart of the day reads what the files hold: 10:30 is the
    // day's 42nd point (index 41).
    const double later = EncodeDateTime(CivilTime{2023, 3, 15, 10, 30, 0, 0});
    ASSERT_TRUE(trend->AppendRecord("localhost", 1.5, 2.5, 3.5, later));
    window.TrendRedraw();
    const auto& day = window.Table().Thread(2)->TrendDayValues;
    EXPECT_DOUBLE_EQ(day[kTrendEcho][41], 3.5);
    EXPECT_DOUBLE_EQ(day[kTrendWrite][41], 2.5);
    EXPECT_DOUBLE_EQ(day[kTrendRead][41], 1.5);
    EXPECT_DOUBLE_EQ(day[kTrendEcho][42], 0);
  }
  namespace fs = std::filesystem;
  EXPECT_EQ(fs::file_size(home.File("MERLISK.D")), kTrendHeaderSize + 3 * kTrendRecordSize);
  EXPECT_EQ(fs::file_size(home.File("MERLISK.ND")), 3 * kTrendIndexEntrySize);
  unsetenv("TARNWICK_HOME");
}

}  // namespace
}  // namespace tw
