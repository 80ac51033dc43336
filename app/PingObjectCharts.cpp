// The main window's live chart, status table, speed icons and compact view:
// the controls at their design places and the sampling tick's drawing hooks.
#include <QApplication>
#include <QCursor>
#include <QFrame>
#include <QHBoxLayout>

#include "app/PingObject.h"
#include "app/PingObjectCharts.h"
#include "charts/ChartRules.h"
#include "charts/StatusTable.h"
#include "charts/WindowLayout.h"
#include "charts/qt/ChartWidgets.h"
#include "charts/qt/DisplayResourceTable.h"
#include "charts/qt/SpeedIcons.h"
#include "controls/Bitmpbtn.h"
#include "controls/Shadowlb.h"
#include "dialogs/Help.h"
#include "util/DateTime.h"
#include "util/HelpIds.h"

namespace tw {

namespace {

// The sticky toggles each form a group of their own; Start and Stop are group 1.
constexpr int kHGrdGroup = 2;
constexpr int kVGrdGroup = 3;
constexpr int kTrendBmpGroup = 6;

void Place(QWidget* widget, const CanvasRect& r) {
  widget->setGeometry(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

}  // namespace

QFrame* MakeChartPanel(QWidget* parent, const CanvasRect& r, const char* name) {
  auto* panel = new QFrame(parent);
  panel->setObjectName(name);
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel->setLineWidth(Layout::kBevel);
  panel->setAutoFillBackground(true);
  QPalette palette = panel->palette();
  palette.setColor(QPalette::Window, ToQColor(clGreen));
  panel->setPalette(palette);
  Place(panel, r);
  return panel;
}

TBitmapButton* MakeSmallButton(QWidget* parent, const CanvasRect& r, const char* name,
                               GlyphId glyph, const char* hint, int helpContext) {
  auto* button = new TBitmapButton(parent);
  button->setObjectName(name);
  button->ApplyWindowLook(2);
  button->SetGlyph(MakeGlyph(glyph));
  button->setToolTip(hint);
  SetHelpContext(button, helpContext);
  Place(button, r);
  return button;
}

void MakeStickyToggle(TBitmapButton* button, int groupIndex, bool down) {
  button->SetGroupIndex(groupIndex);
  button->SetAllowAllUp(true);
  button->SetDown(down);
}

TLabelWithShadow* MakeButtonCaption(QWidget* parent, const char* caption, int left, int top,
                                    int bottom) {
  auto* label = new TLabelWithShadow(caption, parent);
  // The window's own background shows around the letters.
  label->SetTransparent(true);
  label->SetShadowShift(1);
  label->adjustSize();
  label->move(left, top + (bottom - top - label->height() + 1) / 2);
  return label;
}

TDisplayResourceTable* TPingObject::DisplayResourceTable() const {
  return charts_->table;
}
const std::string& TPingObject::TaskbarTitle() const {
  return charts_->taskbarTitle;
}

void TPingObject::BuildStatusTable() {
  charts_ = std::make_unique<ChartParts>();
  ChartParts& c = *charts_;
  c.speedIcons = MakeSpeedIcons();
  BuildChartControls();

  c.table = new TDisplayResourceTable(table_, this);
  Place(c.table, Layout::DisplayResourceTable);
  c.table->onMarkerDrawn = [this] { SetTaskbarTitle(); };

  c.buttonsPanel = new QWidget(this);
  c.buttonsPanel->setObjectName("ButtonsPanel");
  Place(c.buttonsPanel, Layout::ButtonsPanel);
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

  BuildTrendControls();
  c.fullWidth = Layout::kClientWidth;
  c.fullHeight = Layout::kClientHeight;
  setFixedSize(c.fullWidth, c.fullHeight);
  c.trend.trendDate = Now();
  c.hideValueWindow.setInterval(1000);
  connect(&c.hideValueWindow, &QTimer::timeout, this, &TPingObject::HideValueWindowTimer);
  c.hideValueWindow.start();
  SetTaskbarTitle();
}

void TPingObject::BuildChartControls() {
  ChartParts& c = *charts_;
  c.display = MakeChartPanel(this, Layout::Display, "Display");
  const int inner = Layout::kBevel;
  c.display2 = new TChartImage(TLiveChart::kDesignWidth, TLiveChart::kDesignHeight, c.display);
  c.display2->setObjectName("display2");
  c.display2->move(Layout::Display.right - Layout::Display.left - inner - TLiveChart::kDesignWidth,
                   inner);
  c.legend = new TPaintBox(TLiveChart::kLegendWidth, TLiveChart::kDesignHeight, c.display);
  c.legend->setObjectName("Legend");
  c.legend->move(inner, inner);
  c.legend->onPaint = [this](Canvas& canvas) {
    charts_->live.PaintLegend(canvas, TLiveChart::kLegendWidth, TLiveChart::kDesignHeight,
                              ChartLabelFont());
  };
  connect(c.display2, &TChartImage::mouseMoved, this, &TPingObject::display2MouseMove);
  SetHelpContext(c.display2, HelpContext::Chart);
  SetHelpContext(c.legend, HelpContext::Legend);

  const char* scaleHint = "Changes the scale on the vertical axis";
  c.scaleUp = MakeSmallButton(this, Layout::ScaleUP, "ScaleUP", GlyphId::ScaleUp, scaleHint,
                              HelpContext::ScaleButtons);
  c.scaleDown = MakeSmallButton(this, Layout::ScaleDown, "ScaleDown", GlyphId::ScaleDown, scaleHint,
                                HelpContext::ScaleButtons);
  c.hGrdBtn = MakeSmallButton(this, Layout::HGrdBtn, "HGrdBtn", GlyphId::HorGrid,
                              "Displays horisontal grid lines", HelpContext::GridButtons);
  c.vGrdBtn = MakeSmallButton(this, Layout::VGrdBtn, "VGrdBtn", GlyphId::VertGrid,
                              "Displays vertical grid lines", HelpContext::GridButtons);
  MakeStickyToggle(c.hGrdBtn, kHGrdGroup, true);
  MakeStickyToggle(c.vGrdBtn, kVGrdGroup, true);
  c.shrinkAndGrow = MakeSmallButton(this, Layout::ShrinkAndGrow, "ShrinkAndGrow", GlyphId::Shrink,
                                    "Shrinks or grows the window", HelpContext::ShrinkAndGrow);
  const int captionLeft = Layout::ScaleUP.right + 3;
  MakeButtonCaption(this, "Scale", captionLeft, Layout::ScaleUP.top, Layout::ScaleDown.bottom);
  MakeButtonCaption(this, "Hor.Grid", captionLeft, Layout::HGrdBtn.top, Layout::HGrdBtn.bottom);
  MakeButtonCaption(this, "Vert.Grid", captionLeft, Layout::VGrdBtn.top, Layout::VGrdBtn.bottom);
  TLabelWithShadow* shrinkLabel =
      MakeButtonCaption(this, "&Shrink", Layout::ShrinkAndGrow.right + 3, Layout::ShrinkAndGrow.top,
                        Layout::ShrinkAndGrow.bottom);
  shrinkLabel->setBuddy(c.shrinkAndGrow);

  connect(c.scaleUp, &QAbstractButton::clicked, this, &TPingObject::ScaleUPClick);
  connect(c.scaleDown, &QAbstractButton::clicked, this, &TPingObject::ScaleDownClick);
  connect(c.hGrdBtn, &QAbstractButton::clicked, this, &TPingObject::HGrdBtnClick);
  connect(c.vGrdBtn, &QAbstractButton::clicked, this, &TPingObject::VGrdBtnClick);
  connect(c.shrinkAndGrow, &QAbstractButton::clicked, this, &TPingObject::ShrinkAndGrowClick);
}

void TPingObject::ShowCharts() {
  ChartParts& c = *charts_;
  if (c.liveValueWindow == nullptr) {
    c.liveValueWindow = new TValueWindow(this);
    c.trendValueWindow = new TValueWindow(this);
  }
  c.trendBmp->setChecked(false);
  TrendBmpClick();
  TrendRedraw();
}

double TPingObject::Now() {
  return EncodeDateTime(clock_.LocalNow());
}

// ---- the sampling tick's drawing hooks ----

void TPingObject::ClearChart() {
  ChartParts& c = *charts_;
  c.canvas.reset();
  QImage& picture = c.display2->BeginPicture();
  c.painter.emplace(&picture);
  c.canvas.emplace(*c.painter, &picture);
  c.live.Clear(*c.canvas);
}

void TPingObject::DrawRow(int row, const MeasurementSnapshot& results) {
  ChartParts& c = *charts_;
  if (!c.canvas) return;
  ChartResource resource;
  resource.kind = table_.Kind(row);
  resource.writeColor = CellColor(table_, Col::WriteColor, row);
  resource.readColor = CellColor(table_, Col::ReadColor, row);
  c.live.DrawRow(*c.canvas, resource, results);
}

void TPingObject::FinishChart() {
  ChartParts& c = *charts_;
  if (!c.canvas) return;
  c.live.DrawGrid(*c.canvas);
  c.canvas.reset();
  c.painter.reset();
  c.display2->ShowPicture();
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

// ---- live chart buttons, value window, compact view ----

void TPingObject::ScaleUPClick() {
  charts_->live.ScaleUPClick();
  charts_->legend->repaint();
  SamplingTick(TickMode::Redraw);
}

void TPingObject::ScaleDownClick() {
  charts_->live.ScaleDownClick();
  charts_->legend->repaint();
  SamplingTick(TickMode::Redraw);
}

void TPingObject::HGrdBtnClick() {
  charts_->live.horizontalGrid = charts_->hGrdBtn->isChecked();
  SamplingTick(TickMode::Redraw);
}

void TPingObject::VGrdBtnClick() {
  charts_->live.verticalGrid = charts_->vGrdBtn->isChecked();
  SamplingTick(TickMode::Redraw);
}

void TPingObject::display2MouseMove(int x, int y) {
  std::vector<MeasurementSnapshot> results;
  std::vector<LiveHoverRow> rows;
  results.reserve(static_cast<size_t>(table_.RowCount()));
  for (int row = 1; row < table_.RowCount(); ++row) {
    TPingThread* thread = table_.Thread(row);
    if (thread == nullptr) continue;
    results.push_back(thread->Snapshot());
    rows.push_back({{table_.Kind(row), clBlack, clBlack, thread->Settings().address}, nullptr});
  }
  for (size_t i = 0; i < rows.size(); ++i) rows[i].results = &results[i];
  const std::string text = charts_->live.HoverText(x, y, rows);
  if (text.empty()) {
    charts_->liveValueWindow->hide();
  } else {
    charts_->liveValueWindow->ShowText(QString::fromStdString(text), QCursor::pos());
  }
}

void TPingObject::HideValueWindowTimer() {
  ChartParts& c = *charts_;
  const auto outside = [](QWidget* image) {
    const QPoint p = image->mapFromGlobal(QCursor::pos());
    return p.x() < 0 || p.x() > image->width() || p.y() < 0 || p.y() > image->height();
  };
  if (c.trendValueWindow == nullptr) return;
  if (outside(c.trendDisplay2)) c.trendValueWindow->hide();
  if (outside(c.display2)) c.liveValueWindow->hide();
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
