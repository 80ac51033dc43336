// What the trend chart of a freshly started window shows, started as the
// program starts it (shown; the parameters and the trend files are read
// then), and how it runs on when a trend file is not its own.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/PingObject.h"
#include "app/PingObjectCharts.h"
#include "charts/TrendChart.h"
#include "charts/qt/ChartWidgets.h"
#include "charts/qt/TrendChartPanel.h"
#include "platform/fake/FakeClock.h"
#include "support/QtTestApp.h"
#include "support/TempDir.h"
#include "support/TrendWindowParameters.h"
#include "util/DateTime.h"

namespace tw {
namespace {

namespace fs = std::filesystem;

constexpr const char* kHost = "127.0.0.1";

class PingObjectTrendStartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::EnsureQtApp();
    setenv("TARNWICK_HOME", home_.Path().c_str(), 1);
    setenv("TARNWICK_STATE_DIR", state_.Path().c_str(), 1);
    clock_.SetLocalNow(CivilTime{2023, 3, 15, 12, 0, 0, 0});
  }
  void TearDown() override {
    unsetenv("TARNWICK_HOME");
    unsetenv("TARNWICK_STATE_DIR");
  }

  void WriteParameters() {
    ASSERT_TRUE(test::SaveOneHostTrendParameters(home_.File("RAREDARI.INI"), kHost));
  }

  // Runs the event loop for `ms` milliseconds.
  static void Pump(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 10);
  }

  FakeClock clock_;
  test::TempDir home_;
  test::TempDir state_;
};

// Today 10:15 holds an echo average of 1.5 Kbps. With sampling off nothing
// redraws the chart on its own later, so the start-up must draw it from the
// files.
TEST_F(PingObjectTrendStartTest, FreshWindowShowsTodaysRecordWithSamplingOff) {
  WriteParameters();
  const double quarter = EncodeDateTime(CivilTime{2023, 3, 15, 10, 15, 0, 0});
  {
    TTrendFile trend(home_.File("MERLISK.D"), home_.File("MERLISK.ND"), clock_);
    ASSERT_TRUE(trend.AppendRecord(kHost, 0, 0, 1.5, quarter));
  }
  TPingObject window(clock_);
  window.SetFlagWaitMs(0);
  window.show();
  Pump(100);
  // The files load after the window is drawn; the chart follows by itself.
  QElapsedTimer loading;
  loading.start();
  while (window.TrendFilesLoading() && loading.elapsed() < 5000) Pump(10);
  ASSERT_EQ(window.Table().RowCount(), 2);
  ASSERT_FALSE(window.SamplingRuns());
  // 10:15 ends the day's 41st quarter hour (index 40).
  const auto& day = window.Table().Thread(1)->TrendDayValues;
  EXPECT_DOUBLE_EQ(day[kTrendEcho][40], 1.5);
  // On the picture: x = Round(265 * 41 / 96) = 113, y = 78 - Round(79 / 2 * 1.5) = 19;
  // without the record the line runs one pixel above the base line (y 78).
  const QImage& picture = window.TrendPanel().image->Picture();
  const qreal ratio = picture.devicePixelRatio();
  const auto at = [&](int x, int y) {
    return picture.pixelColor(QPoint(qRound(x * ratio), qRound(y * ratio)));
  };
  const QColor background = at(100, 40);
  EXPECT_NE(at(113, 19), background);
  EXPECT_EQ(at(113, 78), background);
  clock_.AdvanceMs(6000);
  window.close();
}

// A link in place of the data file: the linked text file stays as it was,
// the user is told in the message dialog, and the window runs without trend.
TEST_F(PingObjectTrendStartTest, LinkInPlaceOfTheDataFileIsToldAndLeftAlone) {
  WriteParameters();
  const std::string notes = home_.File("notes.txt");
  std::ofstream(notes) << "notes\n";
  fs::create_symlink(notes, home_.File("MERLISK.D"));
  test::ModalWatch modals;
  {
    TPingObject window(clock_);
    window.SetFlagWaitMs(0);
    window.show();
    QElapsedTimer timer;
    timer.start();
    while (modals.Seen().isEmpty() && timer.elapsed() < 5000) Pump(20);
    ASSERT_EQ(modals.Seen().size(), 1);
    EXPECT_TRUE(modals.Seen()[0].startsWith("Error|The trend file"));
    EXPECT_TRUE(modals.Seen()[0].contains(QString::fromStdString(home_.File("MERLISK.D"))));
    ASSERT_NE(window.TrendFile(), nullptr);
    EXPECT_FALSE(window.TrendFile()->DataOpen());
    window.TrendFile()->AppendRecord(kHost, 1, 1, 1, EncodeDateTime(clock_.LocalNow()));
    clock_.AdvanceMs(6000);
    window.close();
  }
  std::ifstream in(notes, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "notes\n");
  EXPECT_TRUE(fs::is_symlink(home_.File("MERLISK.D")));
  EXPECT_FALSE(fs::exists(home_.File("MERLISK.ND")) && fs::file_size(home_.File("MERLISK.ND")) > 0);
}

}  // namespace
}  // namespace tw
