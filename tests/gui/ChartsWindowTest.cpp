// The main window's charts on a real X server: the live chart's picture, the
// status table, the value windows, the compact view and the trend chart.
// With TARNWICK_SHOT_DIR set, the window is also saved as PNG pictures.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QToolButton>
#include <cmath>

#include "ChartsGuiApp.h"
#include "app/PingObject.h"
#include "app/PingObjectCharts.h"
#include "charts/WindowLayout.h"
#include "charts/qt/ChartWidgets.h"
#include "charts/qt/DisplayResourceTable.h"
#include "platform/fake/FakeClock.h"
#include "support/MapTrendLookup.h"
#include "util/DateTime.h"

namespace tw {
namespace {

constexpr CivilTime kNow{2026, 12, 8, 14, 30, 0, 0};

class ChartsWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::ChartsGuiApp();
    clock.SetLocalNow(kNow);
    window = std::make_unique<TPingObject>(clock);
    window->SetFlagWaitMs(0);
  }
  void TearDown() override { window.reset(); }

  int AddRow(const std::string& address, char kind, const char* write, const char* read) {
    const int row = window->AddResourceRow(address, kind);
    window->Table().SetCell(Col::WriteColor, row, write);
    window->Table().SetCell(Col::ReadColor, row, read);
    return row;
  }

  // Three resources with wave-shaped histories and a day of trend records.
  void FillDemo() {
    AddRow("\\\\server\\share", '1', "clYellow", "clRed");
    AddRow("/media/cdrom/disk.iso", '2', "clBlack", "clAqua");
    AddRow("127.0.0.1", '3', "clBlack", "clFuchsia");
    for (int k = 0; k < 100; ++k) {
      Thread(1)->SetWriteSpeed(0.6 + 0.3 * std::sin(k / 8.0));
      Thread(1)->SetReadSpeed(1.3 + 0.4 * std::cos(k / 6.0));
      Thread(2)->SetReadSpeed(k % 25 == 0 ? 0 : 0.9);
      Thread(3)->SetPingSpeed(0.25 + 0.2 * std::sin(k / 3.0));
    }
    const double day = DatePart(EncodeDateTime(kNow));
    for (int p = 1; p <= 58; ++p) {
      const double stamp = day + p / 96.0;
      lookup.Add("\\\\SERVER\\SHARE", stamp, {1.2 + 0.5 * std::sin(p / 9.0), 0.7, 0});
      lookup.Add("/media/cdrom/disk.iso", stamp, {p < 30 ? 0.5 : 1.0, 0, 0});
      lookup.Add("127.0.0.1", stamp, {0, 0, 0.3 + 0.1 * std::cos(p / 4.0)});
    }
    usesDemoRecords = true;
    window->Table().SetCell(Col::WriteSpeed, 1, "     0.61 Kbps");
    window->Table().SetCell(Col::ReadSpeed, 1, "     1.70 Kbps");
    window->Table().SetCell(Col::ReadSpeed, 2, "     0.90 Kbps");
    window->Table().SetCell(Col::PingSpeed, 3, "Timed out");
  }

  TPingThread* Thread(int row) { return window->Table().Thread(row); }
  ChartParts& Charts() { return window->Charts(); }

  void ShowAndDraw() {
    window->show();
    // Showing opens the trend files of the program folder; the demo day
    // comes from the test's records instead.
    if (usesDemoRecords) window->SetTrendLookup(&lookup);
    window->SamplingTick(TickMode::Redraw);
    window->TrendRedraw();
    QApplication::processEvents();
  }

  // The live picture at logical pixel (x, y).
  QColor LivePixel(int x, int y) {
    const QImage& image = Charts().display2->Picture();
    const qreal r = image.devicePixelRatio();
    return image.pixelColor(static_cast<int>(x * r), static_cast<int>(y * r));
  }

  void Shot(const char* name) {
    const char* dir = std::getenv("TARNWICK_SHOT_DIR");
    if (dir == nullptr) return;
    QApplication::processEvents();
    window->grab().save(QString("%1/%2.png").arg(dir, name));
    // The screen around the window too, with any value window over it.
    const QRect frame = window->frameGeometry().adjusted(0, 0, 260, 40);
    QGuiApplication::primaryScreen()
        ->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
        .save(QString("%1/%2-screen.png").arg(dir, name));
  }

  FakeClock clock;
  test::MapTrendLookup lookup;
  bool usesDemoRecords = false;
  std::unique_ptr<TPingObject> window;
};

TEST_F(ChartsWindowTest, LivePictureHasGridOverLinesAndLinesInTheirColours) {
  FillDemo();
  ShowAndDraw();
  Shot("main-window");
  // Horizontal grid rows at H = 87, vertical at x = 1, 20, 40 ...
  for (int y : {70, 52, 35, 17, 0}) EXPECT_EQ(LivePixel(100, y), QColor(Qt::black)) << y;
  for (int x : {1, 20, 260}) EXPECT_EQ(LivePixel(x, 30), QColor(Qt::black)) << x;
  EXPECT_EQ(LivePixel(10, 84), QColor(0, 128, 0));
  // The file row's sample 100 (0.9 Kbps at scale 2) ends at the right edge.
  const int y = 87 - static_cast<int>(std::lround(87 / 2.0 * 0.9));
  EXPECT_EQ(LivePixel(266, y), QColor(0, 255, 255));
  // Grid switched off: the picture shows only background and lines.
  Charts().hGrdBtn->click();
  Charts().vGrdBtn->click();
  EXPECT_FALSE(Charts().live.horizontalGrid);
  EXPECT_EQ(LivePixel(100, 70), QColor(0, 128, 0));
  EXPECT_EQ(LivePixel(20, 30), QColor(0, 128, 0));
}

TEST_F(ChartsWindowTest, ScaleButtonsStepTheSeries) {
  ShowAndDraw();
  Charts().scaleUp->click();
  EXPECT_EQ(Charts().live.Scale(), 5);
  Charts().scaleDown->click();
  Charts().scaleDown->click();
  Charts().scaleDown->click();
  EXPECT_EQ(Charts().live.Scale(), 1);
  Charts().trendScaleUp->click();
  Charts().trendScaleUp->click();
  EXPECT_EQ(Charts().trend.Scale(), 10);
}

TEST_F(ChartsWindowTest, StatusTableSelectionMovesMarkerAndTitle) {
  ShowAndDraw();
  EXPECT_EQ(window->TaskbarTitle(), "Tarnwick");
  FillDemo();
  ShowAndDraw();
  TDisplayResourceTable* table = window->DisplayResourceTable();
  EXPECT_EQ(window->TaskbarTitle(), "\"\\\\server\\share\"  Read speed");
  const QRect third = table->CellRect(1, 3);
  ASSERT_FALSE(third.isEmpty());
  QMouseEvent press(QEvent::MouseButtonPress, third.center(),
                    table->viewport()->mapToGlobal(third.center()), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(table->viewport(), &press);
  EXPECT_EQ(table->SelectedRow(), 3);
  table->viewport()->repaint();
  EXPECT_EQ(window->TaskbarTitle(), "\"127.0.0.1\"  Ping speed");
  EXPECT_EQ(window->windowIconText(), "\"127.0.0.1\"  Ping speed");
  // The marker: lime inside column 0 of row 3 only.
  const QImage image = table->viewport()->grab().toImage();
  const qreal r = image.devicePixelRatio();
  const QRect m = table->CellRect(0, 3);
  EXPECT_EQ(image.pixelColor(QPoint(m.left() + 5, m.center().y()) * r), QColor(0, 255, 0));
  const QRect m1 = table->CellRect(0, 1);
  EXPECT_EQ(image.pixelColor(QPoint(m1.left() + 5, m1.center().y()) * r), QColor(Qt::black));
  Shot("status-table-row3");
}

TEST_F(ChartsWindowTest, RightClickAsksForHeaderOrTableHelp) {
  FillDemo();
  ShowAndDraw();
  TDisplayResourceTable* table = window->DisplayResourceTable();
  struct Case {
    QPoint at;
    int context;
  } cases[] = {{QPoint(50, 5), 123}, {table->CellRect(2, 1).center(), 197}};
  for (const Case& c : cases) {
    QMouseEvent press(QEvent::MouseButtonPress, c.at, table->viewport()->mapToGlobal(c.at),
                      Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(table->viewport(), &press);
    EXPECT_EQ(Charts().lastHelpContext, c.context);
  }
}

TEST_F(ChartsWindowTest, DraggingAHeaderBorderWidensTheColumn) {
  FillDemo();
  ShowAndDraw();
  TDisplayResourceTable* table = window->DisplayResourceTable();
  const int edge = table->CellRect(1, 0).right() + 2;
  const auto send = [&](QEvent::Type type, int x, Qt::MouseButtons buttons) {
    QMouseEvent e(type, QPointF(x, 10), table->viewport()->mapToGlobal(QPointF(x, 10)),
                  Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(table->viewport(), &e);
  };
  send(QEvent::MouseButtonPress, edge, Qt::LeftButton);
  send(QEvent::MouseMove, edge + 30, Qt::LeftButton);
  send(QEvent::MouseButtonRelease, edge + 30, Qt::NoButton);
  EXPECT_EQ(table->ColWidth(1), 131);
  EXPECT_EQ(table->CellRect(2, 1).left(), 10 + 2 + 131 + 2);
}

TEST_F(ChartsWindowTest, CompactViewAndBackRestoreTheTrendButtonsSize) {
  ShowAndDraw();
  EXPECT_EQ(window->size(), QSize(408, 250));  // trend hidden after showing
  Charts().shrinkAndGrow->click();
  EXPECT_EQ(window->size(), QSize(348, 98));
  Shot("compact-view");
  Charts().shrinkAndGrow->click();
  EXPECT_EQ(window->size(), QSize(408, 250));
  Charts().trendBmp->click();
  EXPECT_EQ(window->size(), QSize(408, 378));
  Charts().shrinkAndGrow->click();
  Charts().shrinkAndGrow->click();
  EXPECT_EQ(window->size(), QSize(408, 378));
}

TEST_F(ChartsWindowTest, ValueWindowsShowOnALineAndHideWhenTheMouseLeaves) {
  FillDemo();
  ShowAndDraw();
  Charts().trendBmp->click();
  QApplication::processEvents();
  // The file row at sample 100: 0.9 Kbps.
  const int y = 87 - static_cast<int>(std::lround(87 / 2.0 * 0.9));
  QCursor::setPos(Charts().display2->mapToGlobal(QPoint(266, y)));
  window->display2MouseMove(266, y);
  ASSERT_TRUE(Charts().liveValueWindow->isVisible());
  EXPECT_EQ(Charts().liveValueWindow->text(), "\"/media/cdrom/disk.iso\" Read      0.90 Kbps");
  Shot("live-value-window");
  // A day without records for the hour: flat line one pixel above the base line.
  const int b = 79;
  window->TrendDisplay2MouseMove(265, b - 1);
  ASSERT_TRUE(Charts().trendValueWindow->isVisible());
  EXPECT_EQ(Charts().trendValueWindow->text(),
            "\"\\\\server\\share\", Read -      0.00 Kbps, 00:00");
  QCursor::setPos(window->mapToGlobal(QPoint(200, 240)));
  window->HideValueWindowTimer();
  EXPECT_FALSE(Charts().liveValueWindow->isVisible());
  EXPECT_FALSE(Charts().trendValueWindow->isVisible());
}

TEST_F(ChartsWindowTest, DayButtonsMoveTheTrendDateAndGuardNextDay) {
  FillDemo();
  ShowAndDraw();
  Charts().trendBmp->click();
  Shot("trend-today");
  EXPECT_EQ(Charts().trendDatePanel->text(), "December 8, 2026, Tuesday");
  EXPECT_FALSE(Charts().trendNextDate->isEnabled());
  Charts().trendPrevDate->click();
  EXPECT_EQ(Charts().trendDatePanel->text(), "December 7, 2026, Monday");
  EXPECT_TRUE(Charts().trendNextDate->isEnabled());
  // TrendDayValues follow the redraw: yesterday has no records.
  EXPECT_EQ(Thread(1)->TrendDayValues[kTrendRead][0], 0);
  Charts().trendNextDate->click();
  EXPECT_FALSE(Charts().trendNextDate->isEnabled());
  EXPECT_NEAR(Thread(1)->TrendDayValues[kTrendRead][0], 1.2 + 0.5 * std::sin(1 / 9.0), 1e-9);
  // Left running over midnight: the timer enables "Next day", the chart stays.
  clock.SetLocalNow({2026, 12, 9, 0, 0, 30, 0});
  QMetaObject::invokeMethod(window.get(), "TrendTimerTimer");
  EXPECT_TRUE(Charts().trendNextDate->isEnabled());
  EXPECT_EQ(Charts().trendDatePanel->text(), "December 8, 2026, Tuesday");
}

TEST_F(ChartsWindowTest, KeyboardSelectionScrollsTheRowsUnderTheFixedHeader) {
  for (int i = 1; i <= 8; ++i) AddRow("127.0.0." + std::to_string(i), '3', "clBlack", "clRed");
  ShowAndDraw();
  TDisplayResourceTable* table = window->DisplayResourceTable();
  table->setFocus();
  for (int i = 0; i < 7; ++i) {
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(table, &down);
  }
  EXPECT_EQ(table->SelectedRow(), 8);
  EXPECT_FALSE(table->CellRect(1, 8).isEmpty());
  EXPECT_TRUE(table->CellRect(1, 1).isEmpty());
  EXPECT_EQ(table->CellRect(1, 0).top(), 0);  // the header stays
  table->viewport()->repaint();
  EXPECT_EQ(window->TaskbarTitle(), "\"127.0.0.8\"  Ping speed");
  table->SelectRow(1);
  EXPECT_FALSE(table->CellRect(1, 1).isEmpty());
  EXPECT_EQ(table->CellRect(1, 1).top(), 24);
}

TEST_F(ChartsWindowTest, TickSetsTheSpeedIconOfTheSelectedRow) {
  FillDemo();
  ShowAndDraw();
  for (int i = 0; i < 100; ++i) Thread(1)->UpdateReferenceSpeed(1.2);
  window->SamplingTick(TickMode::Redraw);
  EXPECT_EQ(window->SpeedIconIndexShown(), -1);  // redraw mode never sets the icon
  window->SamplingTick(TickMode::Tick);
  EXPECT_GE(window->SpeedIconIndexShown(), 0);
  EXPECT_FALSE(window->windowIcon().isNull());
}

}  // namespace
}  // namespace tw
