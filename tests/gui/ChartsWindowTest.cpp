// The main window's charts on a real X server: the live chart's picture, the
// status table, the value windows, the compact view and the trend chart.
// With TARNWICK_SHOT_DIR set, the window is also saved as PNG pictures.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontDatabase>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>
#include <algorithm>
#include <cmath>

#include "ChartsGuiApp.h"
#include "app/PingObject.h"
#include "app/PingObjectCharts.h"
#include "charts/ChartRules.h"
#include "charts/WindowLayout.h"
#include "charts/qt/ChartWidgets.h"
#include "charts/qt/DisplayResourceTable.h"
#include "charts/qt/LiveChartPanel.h"
#include "charts/qt/QtCanvas.h"
#include "charts/qt/TrendChartPanel.h"
#include "controls/Bitmpbtn.h"
#include "controls/SystemFonts.h"
#include "dialogs/Help.h"
#include "platform/fake/FakeClock.h"
#include "support/MapTrendLookup.h"
#include "support/QtTestApp.h"
#include "util/DateTime.h"
#include "util/Numbers.h"

namespace tw {
namespace {

constexpr CivilTime kNow{2026, 12, 8, 14, 30, 0, 0};

class ChartsWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::ChartsGuiApp();
    // Each test starts without the parameters file that an earlier test's
    // window saved when it closed (its resources would show up here).
    for (const auto& [name, dir] :
         {std::pair{"TARNWICK_HOME", &home}, {"TARNWICK_STATE_DIR", &state}}) {
      const char* before = std::getenv(name);
      savedEnv.emplace_back(name, before != nullptr ? before : "");
      setenv(name, dir->Path().c_str(), 1);
    }
    clock.SetLocalNow(kNow);
    window = std::make_unique<TPingObject>(clock);
    window->SetFlagWaitMs(0);
  }
  void TearDown() override {
    window.reset();
    for (const auto& [name, value] : savedEnv) setenv(name.c_str(), value.c_str(), 1);
  }

  int AddRow(const std::string& address, ResourceKind kind, const char* write, const char* read) {
    const int row = window->AddResourceRow(address, kind);
    window->Table().SetCell(Col::WriteColor, row, write);
    window->Table().SetCell(Col::ReadColor, row, read);
    return row;
  }

  // Three resources with wave-shaped histories and a day of trend records.
  void FillDemo() {
    AddRow("\\\\server\\share", ResourceKind::Drive, "clYellow", "clRed");
    AddRow("/media/cdrom/disk.iso", ResourceKind::File, "clBlack", "clAqua");
    AddRow("127.0.0.1", ResourceKind::Echo, "clBlack", "clFuchsia");
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
  TLiveChartPanel& Live() { return window->LivePanel(); }
  TTrendChartPanel& Trend() { return window->TrendPanel(); }

  void ShowAndDraw() {
    window->show();
    // Showing loads the trend files of the program folder; once they are in
    // use the demo day comes from the test's records instead.
    window->FinishTrendLoad();
    if (usesDemoRecords) window->SetTrendLookup(&lookup);
    window->SamplingTick(TickMode::Redraw);
    window->TrendRedraw();
    QApplication::processEvents();
  }

  // The live picture at logical pixel (x, y).
  QColor LivePixel(int x, int y) {
    const QImage& image = Live().image->Picture();
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

  test::TempDir home, state;
  std::vector<std::pair<std::string, std::string>> savedEnv;
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
  Live().hGrdBtn->click();
  Live().vGrdBtn->click();
  EXPECT_FALSE(Live().live.horizontalGrid);
  EXPECT_EQ(LivePixel(100, 70), QColor(0, 128, 0));
  EXPECT_EQ(LivePixel(20, 30), QColor(0, 128, 0));
}

TEST_F(ChartsWindowTest, ScaleButtonsStepTheSeries) {
  ShowAndDraw();
  Live().scaleUp->click();
  EXPECT_EQ(Live().live.Scale(), 5);
  Live().scaleDown->click();
  Live().scaleDown->click();
  Live().scaleDown->click();
  EXPECT_EQ(Live().live.Scale(), 1);
  Trend().scaleUp->click();
  Trend().scaleUp->click();
  EXPECT_EQ(Trend().trend.Scale(), 10);
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

TEST_F(ChartsWindowTest, ChartButtonsAreBitmapButtonsWithGlyphsAtTheirPlaces) {
  ShowAndDraw();
  ChartParts& c = Charts();
  struct Case {
    TBitmapButton* button;
    const char* name;
    bool sticky = false, downAtStart = false;
  } const cases[] = {
      {Live().scaleUp, "ScaleUP"},
      {Live().scaleDown, "ScaleDown"},
      {Live().hGrdBtn, "HGrdBtn", true, true},
      {Live().vGrdBtn, "VGrdBtn", true, true},
      {c.shrinkAndGrow, "ShrinkAndGrow"},
      {Trend().scaleUp, "TrendScaleUp"},
      {Trend().scaleDown, "TrendScaleDown"},
      {Trend().hGrdBtn, "HTrendGrdBtn", true, true},
      {Trend().vGrdBtn, "VTrendGrdBtn", true, true},
      {Trend().trendPrevDate, "TrendPrevDate"},
      {Trend().trendNextDate, "TrendNextDate"},
      {c.trendBmp, "TrendBmp", true, false},
  };
  // With the trend screen on, every button stands whole in the window, clear
  // of the charts, the status table and one another.
  c.trendBmp->click();
  const QRect charts[] = {Live().display->geometry(), Trend().display->geometry(),
                          window->DisplayResourceTable()->geometry()};
  std::vector<QRect> places;
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    const QRect place(k.button->mapTo(window.get(), QPoint(0, 0)), k.button->size());
    EXPECT_TRUE(k.button->isVisible());
    EXPECT_TRUE(window->rect().contains(place));
    for (const QRect& chart : charts) EXPECT_FALSE(place.intersects(chart));
    for (const QRect& other : places) EXPECT_FALSE(place.intersects(other));
    places.push_back(place);
  }
  c.trendBmp->click();
  // Both charts' buttons of one kind tell the same hint.
  for (const auto& [live, trend] : {std::pair{Live().scaleUp, Trend().scaleUp},
                                    {Live().scaleDown, Trend().scaleDown},
                                    {Live().hGrdBtn, Trend().hGrdBtn},
                                    {Live().vGrdBtn, Trend().vGrdBtn}}) {
    EXPECT_EQ(live->toolTip(), trend->toolTip());
  }
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    ASSERT_NE(k.button, nullptr);
    EXPECT_EQ(window->findChild<TBitmapButton*>(k.name), k.button);
    EXPECT_FALSE(k.button->toolTip().isEmpty());
    EXPECT_EQ(k.button->ShadowWidth(), 2);
    EXPECT_FALSE(k.button->Glyph().isNull());
    // The glyph is drawn: the button differs from the same button without it.
    TBitmapButton bare(k.button->text(), nullptr);
    bare.ApplyWindowLook(2);
    bare.SetLayout(k.button->Layout());
    bare.resize(k.button->size());
    bare.setEnabled(k.button->isEnabled());
    bare.SetGroupIndex(k.button->GroupIndex());
    bare.SetDown(k.button->Down());
    EXPECT_NE(k.button->grab().toImage(), bare.grab().toImage());

    EXPECT_EQ(k.button->Down(), k.downAtStart);
    if (!k.sticky || !k.button->isEnabled()) continue;
    // A toggle of its own: each click changes it, and it may stay up.
    EXPECT_TRUE(k.button->AllowAllUp());
    EXPECT_NE(k.button->GroupIndex(), 0);
    k.button->click();
    EXPECT_EQ(k.button->Down(), !k.downAtStart);
    EXPECT_EQ(k.button->DrawState(),
              k.downAtStart ? TBitmapButton::State::Up : TBitmapButton::State::Exclusive);
    k.button->click();
    EXPECT_EQ(k.button->Down(), k.downAtStart);
  }
  // The toggles do not raise one another, nor Start and Stop.
  Live().hGrdBtn->click();
  EXPECT_FALSE(Live().hGrdBtn->Down());
  EXPECT_TRUE(Live().vGrdBtn->Down());
  EXPECT_TRUE(Trend().hGrdBtn->Down());
  c.trendBmp->click();
  EXPECT_TRUE(c.trendBmp->Down());
  EXPECT_TRUE(window->StopBtn()->isChecked());
  EXPECT_TRUE(Trend().vGrdBtn->Down());
  // Shrink and Grow have their own glyphs; Alt+S of the "&Shrink" caption
  // works the button.
  const QImage shrink = c.shrinkAndGrow->Glyph();
  c.shrinkAndGrow->click();
  EXPECT_TRUE(c.shrunk);
  EXPECT_NE(c.shrinkAndGrow->Glyph(), shrink);
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  QTest::keyClick(window.get(), Qt::Key_S, Qt::AltModifier);
  for (int waited = 0; c.shrunk && waited < 2000; waited += 20) QTest::qWait(20);  // animated click
  EXPECT_FALSE(c.shrunk);
  EXPECT_EQ(c.shrinkAndGrow->Glyph(), shrink);
}

TEST_F(ChartsWindowTest, RightClickShowsTheHelpTopicOfTheControl) {
  FillDemo();
  ShowAndDraw();
  ChartParts& c = Charts();
  TDisplayResourceTable* table = window->DisplayResourceTable();
  struct Case {
    QWidget* control;
    QPoint at;
    const char* title;  // of the topic in the shipped help file
  } const cases[] = {
      {table->viewport(), QPoint(50, 5), "Status table header"},
      {table->viewport(), table->CellRect(2, 3).center(), "The resource status table"},
      {Live().image, QPoint(100, 40), "The live chart"},
      {Live().legend, QPoint(10, 40), "Scale strip"},
      {Trend().image, QPoint(100, 40), "The live chart"},
      {Trend().legend, QPoint(10, 40), "Scale strip"},
      {Trend().trendDatePanel, QPoint(20, 5), "Trend date"},
      {Live().scaleUp, QPoint(5, 5), "Scale buttons"},
      {Live().scaleDown, QPoint(5, 5), "Scale buttons"},
      {Live().hGrdBtn, QPoint(5, 5), "Grid buttons"},
      {Live().vGrdBtn, QPoint(5, 5), "Grid buttons"},
      {c.shrinkAndGrow, QPoint(5, 5), "Compact view"},
      {Trend().scaleUp, QPoint(5, 5), "Scale buttons"},
      {Trend().scaleDown, QPoint(5, 5), "Scale buttons"},
      {Trend().hGrdBtn, QPoint(5, 5), "Grid buttons"},
      {Trend().vGrdBtn, QPoint(5, 5), "Grid buttons"},
      {Trend().trendPrevDate, QPoint(5, 5), "Previous day"},
      {Trend().trendNextDate, QPoint(5, 5), "Next day"},  // disabled: today is on show
      {c.trendBmp, QPoint(5, 5), "The trend chart"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.title);
    const QPoint global = k.control->mapToGlobal(k.at);
    QMouseEvent press(QEvent::MouseButtonPress, k.at, global, Qt::RightButton, Qt::RightButton,
                      Qt::NoModifier);
    QApplication::sendEvent(k.control, &press);
    QFrame* popup = window->Help().Popup();
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(popup->isVisible());
    const QString text = popup->findChild<QLabel*>()->text();
    EXPECT_TRUE(text.contains(QString("<b>%1</b>").arg(k.title))) << text.toStdString();
    // Near the press, not somewhere else on the screen.
    EXPECT_LT((popup->geometry().topLeft() - global).manhattanLength(), 400);
  }
  Shot("context-help");
  window->Help().Quit();
  // The right button never works the controls themselves.
  EXPECT_EQ(table->SelectedRow(), 1);
  EXPECT_EQ(Live().live.Scale(), 2);
  EXPECT_EQ(Trend().trend.Scale(), 2);
  EXPECT_TRUE(Live().hGrdBtn->Down());
  EXPECT_FALSE(c.trendBmp->Down());
  EXPECT_FALSE(c.shrunk);
}

TEST_F(ChartsWindowTest, DefaultTableFontFitsTheDesignColumns) {
  ShowAndDraw();
  const QStringList alikes = FontLookAlikes("MS Sans Serif");
  if (std::none_of(alikes.begin(), alikes.end(), QFontDatabase::hasFamily)) {
    GTEST_SKIP() << "no look-alike of \"MS Sans Serif\" on this desktop (fonts-urw-base35)";
  }
  TDisplayResourceTable* table = window->DisplayResourceTable();
  const QFontMetrics metrics(table->font());
  // Header texts lose 2 x 4 pixels to the cell's margins, data texts 2 x 2.
  struct Case {
    int col;
    std::string text;
    int margins;
  } const cases[] = {
      {1, "Resource", 8},     {2, "Write speed", 8},   {3, "Read speed", 8},
      {4, "Ping speed", 8},   {2, SpeedText(0.61), 4}, {3, SpeedText(9.99), 4},
      {4, SpeedText(1.5), 4},
  };
  for (const Case& k : cases) {
    EXPECT_LE(metrics.horizontalAdvance(QString::fromStdString(k.text)),
              table->ColWidth(k.col) - k.margins)
        << k.text;
  }
}

// At the widest scale the labels are seven characters ("80000.0"): the
// scale font must be narrow enough for every one to stand whole in the
// 33-pixel strips of both charts.
TEST_F(ChartsWindowTest, ScaleLabelsStayWholeInTheStripAtTheWidestScale) {
  ShowAndDraw();
  const QStringList alikes = FontLookAlikes("MS Serif");
  if (std::none_of(alikes.begin(), alikes.end(), QFontDatabase::hasFamily)) {
    GTEST_SKIP() << "no look-alike of \"MS Serif\" on this desktop (fonts-urw-base35)";
  }
  for (int i = 0; i < 20; ++i) {
    Live().scaleUp->click();
    Trend().scaleUp->click();
  }
  ASSERT_EQ(Live().live.Scale(), kScaleCeiling);
  ASSERT_EQ(Trend().trend.Scale(), kScaleCeiling);

  // The font the strips are painted in is the look-alike, not a wide fallback.
  const QFont font = ToQFont(ChartLabelFont());
  const QString chosen = QFontInfo(font).family();  // may carry its foundry: "Nimbus Roman [urw]"
  EXPECT_TRUE(alikes.contains(chosen.section(" [", 0, 0))) << chosen.toStdString();
  const QFontMetrics metrics(font);
  QStringList labels{"KBps"};
  for (double scale : {kClassicScaleCeiling, 500000.0, 2000000.0, kScaleCeiling}) {
    for (int i = 1; i <= 4; ++i)
      labels << QString::fromStdString(ScaleLabel(scale * 0.2 * i, scale));
  }
  for (const QString& label : labels) {
    EXPECT_LE(metrics.horizontalAdvance(label), TLiveChart::kLegendWidth) << label.toStdString();
  }
  // As drawn: the labels are right-aligned, so a label that does not fit
  // runs into the strip's left edge.
  for (QWidget* strip :
       {static_cast<QWidget*>(Live().legend), static_cast<QWidget*>(Trend().legend)}) {
    SCOPED_TRACE(strip->objectName().toStdString());
    ASSERT_EQ(strip->width(), 33);
    const QImage image = strip->grab().toImage();
    const QRect text = test::BoundsOf(image, Qt::black, 120);
    ASSERT_FALSE(text.isEmpty());
    EXPECT_GE(text.left(), 1);
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
  QCursor::setPos(Live().image->mapToGlobal(QPoint(266, y)));
  Live().display2MouseMove(266, y);
  ASSERT_TRUE(Live().valueWindow->isVisible());
  EXPECT_EQ(Live().valueWindow->text(), "\"/media/cdrom/disk.iso\" Read      0.90 Kbps");
  Shot("live-value-window");
  // A day without records for the hour: flat line one pixel above the base line.
  const int b = 79;
  Trend().TrendDisplay2MouseMove(265, b - 1);
  ASSERT_TRUE(Trend().valueWindow->isVisible());
  EXPECT_EQ(Trend().valueWindow->text(), "\"\\\\server\\share\", Read -      0.00 Kbps, 00:00");
  QCursor::setPos(window->mapToGlobal(QPoint(200, 240)));
  Live().HideValueWindowTimer();
  Trend().HideValueWindowTimer();
  EXPECT_FALSE(Live().valueWindow->isVisible());
  EXPECT_FALSE(Trend().valueWindow->isVisible());
}

TEST_F(ChartsWindowTest, DayButtonsMoveTheTrendDateAndGuardNextDay) {
  FillDemo();
  ShowAndDraw();
  Charts().trendBmp->click();
  Shot("trend-today");
  EXPECT_EQ(Trend().trendDatePanel->text(), "December 8, 2026, Tuesday");
  EXPECT_FALSE(Trend().trendNextDate->isEnabled());
  Trend().trendPrevDate->click();
  EXPECT_EQ(Trend().trendDatePanel->text(), "December 7, 2026, Monday");
  EXPECT_TRUE(Trend().trendNextDate->isEnabled());
  // TrendDayValues follow the redraw: yesterday has no records.
  EXPECT_EQ(Thread(1)->TrendDayValues[kTrendRead][0], 0);
  Trend().trendNextDate->click();
  EXPECT_FALSE(Trend().trendNextDate->isEnabled());
  EXPECT_NEAR(Thread(1)->TrendDayValues[kTrendRead][0], 1.2 + 0.5 * std::sin(1 / 9.0), 1e-9);
  // Left running over midnight: the timer enables "Next day", the chart stays.
  clock.SetLocalNow({2026, 12, 9, 0, 0, 30, 0});
  QMetaObject::invokeMethod(window.get(), "TrendTimerTimer");
  EXPECT_TRUE(Trend().trendNextDate->isEnabled());
  EXPECT_EQ(Trend().trendDatePanel->text(), "December 8, 2026, Tuesday");
}

TEST_F(ChartsWindowTest, KeyboardSelectionScrollsTheRowsUnderTheFixedHeader) {
  for (int i = 1; i <= 8; ++i)
    AddRow("127.0.0." + std::to_string(i), ResourceKind::Echo, "clBlack", "clRed");
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
