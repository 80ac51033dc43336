// The main window's chart parts: the two chart panels, the status table, the
// button bar, the compact view and the trend switch, and the sampling tick's
// drawing hooks.
#include <QApplication>
#include <QHBoxLayout>

#include "app/PingObject.h"
#include "app/PingObjectCharts.h"
#include "app/TrayIcon.h"
#include "charts/StatusTable.h"
#include "charts/WindowLayout.h"
#include "charts/qt/ChartPanel.h"
#include "charts/qt/DisplayResourceTable.h"
#include "charts/qt/LiveChartPanel.h"
#include "charts/qt/SpeedIcons.h"
#include "charts/qt/TrendChartPanel.h"
#include "controls/Bitmpbtn.h"
#include "controls/Shadowlb.h"
#include "dialogs/Help.h"
#include "util/HelpIds.h"

namespace tw {

namespace {

// The sticky toggles each form a group of their own; Start and Stop are group
// 1, the charts' grid buttons 2 to 5.
constexpr int kTrendBmpGroup = 6;

}  // namespace

TDisplayResourceTable* TPingObject::DisplayResourceTable() const {
  return charts_->table;
}
const std::string& TPingObject::TaskbarTitle() const {
  return charts_->taskbarTitle;
}
TLiveChartPanel& TPingObject::LivePanel() {
  return *charts_->live;
}
TTrendChartPanel& TPingObject::TrendPanel() {
  return *charts_->trend;
}

void TPingObject::BuildStatusTable() {
  charts_ = std::make_unique<ChartParts>();
  ChartParts& c = *charts_;
  c.speedIcons = MakeSpeedIcons();
  c.live = new TLiveChartPanel(this, table_);
  connect(c.live, &TLiveChartPanel::redrawWanted, this, [this] { SamplingTick(TickMode::Redraw); });
  BuildShrinkAndGrow();
  c.table = new TDisplayResourceTable(table_, this);
  const CanvasRect& t = Layout::DisplayResourceTable;
  c.table->setGeometry(t.left, t.top, t.right - t.left, t.bottom - t.top);
  c.table->onMarkerDrawn = [this] { SetTaskbarTitle(); };
  BuildButtonBar();
  c.trend = new TTrendChartPanel(this, table_, clock_);
  connect(c.trend, &TTrendChartPanel::redrawn, this, &TPingObject::SetTaskbarTitle);
  BuildTrendOutput();
  c.fullWidth = Layout::kClientWidth;
  c.fullHeight = Layout::kClientHeight;
  setFixedSize(c.fullWidth, c.fullHeight);
  SetTaskbarTitle();
}

void TPingObject::BuildShrinkAndGrow() {
  ChartParts& c = *charts_;
  const CanvasRect& r = Layout::ShrinkAndGrow;
  c.shrinkAndGrow = MakeSmallButton(this, r, "ShrinkAndGrow", GlyphId::Shrink,
                                    "Shrinks or grows the window", HelpContext::ShrinkAndGrow);
  MakeButtonCaption(this, "&Shrink", r.right + 3, r.top, r.bottom)->setBuddy(c.shrinkAndGrow);
  connect(c.shrinkAndGrow, &QAbstractButton::clicked, this, &TPingObject::ShrinkAndGrowClick);
}

void TPingObject::BuildButtonBar() {
  ChartParts& c = *charts_;
  c.buttonsPanel = new QWidget(this);
  c.buttonsPanel->setObjectName("ButtonsPanel");
  const CanvasRect& p = Layout::ButtonsPanel;
  c.buttonsPanel->setGeometry(p.left, p.top, p.right - p.left, p.bottom - p.top);
  c.trendBmp = new TBitmapButton("Trend", c.buttonsPanel);
  c.trendBmp->setObjectName("TrendBmp");
  c.trendBmp->ApplyWindowLook(2);
  c.trendBmp->SetGlyph(MakeGlyph(GlyphId::Trend));
  c.trendBmp->SetLayout(ButtonLayout::GlyphRight);
  c.trendBmp->setToolTip("Shows or hides trend screen");
  SetHelpContext(c.trendBmp, HelpContext::TrendBmp);
  MakeStickyToggle(c.trendBmp, kTrendBmpGroup, false);
  connect(c.trendBmp, &QAbstractButton::clicked, this, &TPingObject::TrendBmpClick);
  auto* bar = new QHBoxLayout(c.buttonsPanel);
  bar->setContentsMargins(4, 4, 4, 4);
  for (QWidget* b : std::initializer_list<QWidget*>{startBtn_, stopBtn_, deleteBtn_, c.trendBmp}) {
    if (b != nullptr) bar->addWidget(b);
  }
  bar->addStretch(1);
  if (closeBtn_ != nullptr) bar->addWidget(closeBtn_);
}

void TPingObject::ShowCharts() {
  charts_->trendBmp->setChecked(false);
  TrendBmpClick();
  TrendRedraw();
}

// ---- the sampling tick's drawing hooks ----

void TPingObject::ClearChart() {
  charts_->live->BeginPass();
}

void TPingObject::DrawRow(int row, const MeasurementSnapshot& results) {
  charts_->live->DrawRow(row, results);
}

void TPingObject::FinishChart() {
  charts_->live->FinishPass();
}

int TPingObject::SelectedRow() const {
  return charts_->table->SelectedRow();
}

void TPingObject::SetSpeedIcon(int index) {
  if (index == iconIndex_) return;
  iconIndex_ = index;
  const QIcon& icon = charts_->speedIcons[static_cast<size_t>(std::clamp(index, 0, 12))];
  QApplication::setWindowIcon(icon);
  setWindowIcon(icon);
  tray_->SetSpeedIcon(icon);
}

// ---- status table ----

void TPingObject::SyncStatusTableRows() {
  charts_->table->SyncRows();
  SetTaskbarTitle();
}

void TPingObject::RepaintCell(int col, int row) {
  charts_->table->RepaintCell(col, row);
}

void TPingObject::SetTaskbarTitle() {
  const std::string title = tw::TaskbarTitle(table_, charts_->table->SelectedRow());
  if (title == charts_->taskbarTitle && windowIconText() == QString::fromStdString(title)) return;
  charts_->taskbarTitle = title;
  // The icon text is what taskbars and iconified windows show.
  setWindowIconText(QString::fromStdString(title));
}

// ---- trend chart, compact view ----

void TPingObject::SetTrendLookup(TrendLookup* lookup) {
  charts_->trend->SetTrendLookup(lookup);
}

void TPingObject::TrendRedraw() {
  charts_->trend->TrendRedraw();
}

void TPingObject::TrendTimerTimer() {
  charts_->trend->MinuteTick(pingSendTimer_.isActive());
}

void TPingObject::TrendBmpClick() {
  ChartParts& c = *charts_;
  if (c.trendBmp->isChecked()) {
    setFixedSize(c.fullWidth, c.fullHeight);
  } else {
    setFixedSize(c.fullWidth, TrendHiddenHeight(FrameMetrics{}, Layout::ButtonsPanel));
  }
}

void TPingObject::ShrinkAndGrowClick() {
  ChartParts& c = *charts_;
  if (!c.shrunk) {
    const WindowSize size = CompactWindowSize(FrameMetrics{}, Layout::ShrinkAndGrow);
    setFixedSize(size.width, size.height);
    c.shrinkAndGrow->SetGlyph(MakeGlyph(GlyphId::Grow));  // `GrowPic`
  } else {
    c.shrinkAndGrow->SetGlyph(MakeGlyph(GlyphId::Shrink));  // `ShrinkPic`
    c.shrunk = false;
    TrendBmpClick();
    return;
  }
  c.shrunk = true;
}

}  // namespace tw
