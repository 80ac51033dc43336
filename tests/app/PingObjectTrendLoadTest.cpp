// A window started with a long trend history is drawn before the history is
// loaded, then draws the stored day by itself; what happens meanwhile
// (a quarter-hour record, an export, the close) loses and races nothing.
// The load is held by a gate, as a long index on a slow disk holds it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QPushButton>
#include <QSet>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <future>
#include <thread>

#include "app/PingObject.h"
#include "charts/TrendChart.h"
#include "charts/qt/ChartWidgets.h"
#include "charts/qt/TrendChartPanel.h"
#include "dialogs/SetTrTim.h"
#include "platform/fake/OffsetClock.h"
#include "support/QtTestApp.h"
#include "support/TempDir.h"
#include "support/TrendWindowParameters.h"
#include "util/DateTime.h"

namespace tw {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr const char* kHost = "127.0.0.1";
constexpr int kHistory = 200000;  // quarter hours: about 5.7 years of one resource
const double kToday = EncodeDateTime({2023, 3, 15, 0, 0, 0, 0});
const double kLastStored = kToday + 40.0 / 96;  // 10:00, the day's 40th quarter (index 39)

// Counts the window's paint events: what the user sees drawn.
class PaintCount final : public QObject {
 public:
  explicit PaintCount(QWidget& window) { window.installEventFilter(this); }
  int count = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++count;
    return false;
  }
};

class PingObjectTrendLoadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::EnsureQtApp();
    setenv("TARNWICK_HOME", home_.Path().c_str(), 1);
    clock_.SetLocalNow(CivilTime{2023, 3, 15, 10, 14, 50, 0});
    WriteParameters();
    WriteHistory();
  }
  void TearDown() override { unsetenv("TARNWICK_HOME"); }

  void WriteParameters() {
    ASSERT_TRUE(test::SaveOneHostTrendParameters(home_.File("RAREDARI.INI"), kHost));
  }

  // Every quarter hour up to today 10:00 holds an echo mean of 1.5 Kbps,
  // written straight in the files' format.
  void WriteHistory() {
    std::string data, index;
    const auto header = MakeTrendHeader(kLastStored - (kHistory - 1) / 96.0);
    data.append(header.begin(), header.end());
    for (int q = 0; q < kHistory; ++q) {
      const double stamp = MinuteStamp(kLastStored - (kHistory - 1 - q) / 96.0);
      TrendRecord record = MakeTrendRecord(kHost, 0, 0, 1.5);
      PutDouble(record.data() + TrendOffset::Stamp, stamp);
      TTrendFile::SetCheckSum(record);
      const auto entry = MakeIndexEntry(stamp, static_cast<int32_t>(data.size()));
      data.append(record.begin(), record.end());
      index.append(entry.begin(), entry.end());
    }
    std::ofstream(home_.File("MERLISK.D"), std::ios::binary) << data;
    std::ofstream(home_.File("MERLISK.ND"), std::ios::binary) << index;
  }

  // The load waits until the gate opens (at most 10 s).
  void HoldLoad(TPingObject& window) {
    window.SetTrendLoadWait([gate = gate_.get_future().share()] { gate.wait_for(10s); });
  }

  // Shows the window with its trend load held back until gate_ is set.
  void ShowWhileLoadIsHeld(TPingObject& window) {
    window.SetFlagWaitMs(10);
    HoldLoad(window);
    window.show();
    ASSERT_TRUE(test::WaitFor([&] { return window.isVisible(); }, 5000));
    ASSERT_TRUE(window.TrendFilesLoading());
  }

  // Whether the trend picture shows the stored means of 1.5 Kbps up to 10:00:
  // a line at y = 78 - Round(79 / 2 * 1.5) = 19 over most of the first 110
  // pixels, in a colour that neither the background nor the grid has (row 40
  // holds only those).
  static bool ShowsStoredMeans(const QImage& picture) {
    const qreal ratio = picture.devicePixelRatio();
    const auto at = [&](int x, int y) {
      return picture.pixel(QPoint(qRound(x * ratio), qRound(y * ratio)));
    };
    QSet<QRgb> chartColours;
    for (int x = 0; x < 110; ++x) chartColours.insert(at(x, 40));
    int linePixels = 0;
    for (int x = 0; x < 110; ++x) linePixels += chartColours.contains(at(x, 19)) ? 0 : 1;
    return linePixels > 80;
  }

  OffsetClock clock_;
  test::TempDir home_;
  std::promise<void> gate_;
};

TEST_F(PingObjectTrendLoadTest, WindowIsDrawnFirstAndARecordDuringTheLoadIsStoredOnceInOrder) {
  const double quarter = MinuteStamp(EncodeDateTime({2023, 3, 15, 10, 15, 0, 0}));
  {
    TPingObject window(clock_);
    window.SetFlagWaitMs(50);
    HoldLoad(window);
    PaintCount paints(window);
    window.show();
    ASSERT_TRUE(test::WaitFor([&] { return paints.count > 0; }, 5000));
    ASSERT_TRUE(window.TrendFilesLoading());
    // Drawn before the load: today's empty day, as without files.
    EXPECT_FALSE(ShowsStoredMeans(window.TrendPanel().image->Picture()));

    // A quarter-hour record handed over by the thread during the load waits.
    window.StartBtnClick();
    clock_.SetLocalNow(CivilTime{2023, 3, 15, 10, 15, 5, 0});
    ASSERT_TRUE(test::WaitFor([&] { return window.TrendRecordsWaiting() == 1; }, 5000));
    window.StopBtnClick();  // no sampling tick draws from here on
    EXPECT_TRUE(window.TrendFilesLoading());

    // The loaded files come over by themselves and the chart is drawn from them.
    gate_.set_value();
    ASSERT_TRUE(test::WaitFor([&] { return !window.TrendFilesLoading(); }, 10000));
    EXPECT_TRUE(ShowsStoredMeans(window.TrendPanel().image->Picture()));
    EXPECT_DOUBLE_EQ(window.Table().Thread(1)->TrendDayValues[kTrendEcho][39], 1.5);
    EXPECT_EQ(window.TrendRecordsWaiting(), 0u);

    const std::vector<TIndexObject> entries = window.TrendFile()->TimeIndexes();
    ASSERT_EQ(entries.size(), kHistory + 1u);
    EXPECT_EQ(entries.back().Stamp, quarter);
    EXPECT_EQ(entries.back().Position, kTrendHeaderSize + kHistory * kTrendRecordSize);
    EXPECT_EQ(std::count_if(entries.begin(), entries.end(),
                            [&](const TIndexObject& e) { return e.Stamp == quarter; }),
              1);
    // The loaded files stay locked: another copy of the program sees them as not open.
    TTrendFile second(home_.File("MERLISK.D"), home_.File("MERLISK.ND"), clock_);
    EXPECT_FALSE(second.DataOpen());
  }
  EXPECT_EQ(fs::file_size(home_.File("MERLISK.ND")), (kHistory + 1u) * kTrendIndexEntrySize);
  EXPECT_EQ(fs::file_size(home_.File("MERLISK.D")),
            kTrendHeaderSize + (kHistory + 1u) * kTrendRecordSize);
}

// A day button pressed during the load moves the date at once; the chosen
// day is drawn from the files when they are there.
TEST_F(PingObjectTrendLoadTest, DayChosenDuringTheLoadIsDrawnFromTheFiles) {
  TPingObject window(clock_);
  ASSERT_NO_FATAL_FAILURE(ShowWhileLoadIsHeld(window));
  window.TrendPanel().trendPrevDate->click();
  EXPECT_EQ(std::floor(window.TrendPanel().trend.trendDate), kToday - 1);
  EXPECT_FALSE(ShowsStoredMeans(window.TrendPanel().image->Picture()));
  gate_.set_value();
  ASSERT_TRUE(test::WaitFor([&] { return !window.TrendFilesLoading(); }, 10000));
  EXPECT_EQ(std::floor(window.TrendPanel().trend.trendDate), kToday - 1);
  EXPECT_TRUE(ShowsStoredMeans(window.TrendPanel().image->Picture()));
  EXPECT_DOUBLE_EQ(window.Table().Thread(1)->TrendDayValues[kTrendEcho][95], 1.5);
  clock_.AdvanceMs(6000);  // past the start-up's exit question
  window.close();
}

// The export pressed during the load waits for it and exports the stored day.
TEST_F(PingObjectTrendLoadTest, ExportDuringTheLoadExportsTheStoredDay) {
  TPingObject window(clock_);
  ASSERT_NO_FATAL_FAILURE(ShowWhileLoadIsHeld(window));
  const std::string emptyDay = window.TrendExportText(0, 96);
  std::thread opener([this] {
    std::this_thread::sleep_for(200ms);
    gate_.set_value();
  });
  test::AnswerNextModal([](QWidget* modal) {
    auto* dialog = qobject_cast<TTrendTimePeriod*>(modal);
    ASSERT_NE(dialog, nullptr);
    dialog->SetTexts({"00", "00", "24", "00"});
    dialog->BtnOk()->click();
  });
  window.CopyToClipbrdMenuClick();
  opener.join();
  EXPECT_FALSE(window.TrendFilesLoading());
  const std::string exported = QApplication::clipboard()->text().toStdString();
  EXPECT_NE(exported, emptyDay);
  EXPECT_EQ(exported, window.TrendExportText(0, 96));
  clock_.AdvanceMs(6000);  // past the start-up's exit question
  window.close();
}

// Closing during the load neither hangs nor leaves the files in use; the
// window's own destructor after a close does nothing more.
TEST_F(PingObjectTrendLoadTest, ClosingDuringTheLoadEndsCleanly) {
  QElapsedTimer closing;
  {
    TPingObject window(clock_);
    ASSERT_NO_FATAL_FAILURE(ShowWhileLoadIsHeld(window));
    std::thread opener([this] {
      std::this_thread::sleep_for(200ms);
      gate_.set_value();
    });
    clock_.AdvanceMs(6000);  // past the start-up's exit question
    closing.start();
    EXPECT_TRUE(window.close());
    EXPECT_LT(closing.elapsed(), 3000);
    opener.join();
    EXPECT_FALSE(window.TrendFilesLoading());
    EXPECT_EQ(window.TrendFile(), nullptr);
  }
  TTrendFile again(home_.File("MERLISK.D"), home_.File("MERLISK.ND"), clock_);
  EXPECT_TRUE(again.DataOpen());
  EXPECT_EQ(again.IndexEntryCount(), static_cast<size_t>(kHistory));
}

}  // namespace
}  // namespace tw
