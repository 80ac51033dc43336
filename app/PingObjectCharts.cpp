// The main window's live chart, status table, speed icons and compact view:
// the controls at their design places and the sampling tick's drawing hooks.
#include <QApplication>
#include <QCursor>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include "app/PingObject.h"
#include "app/PingObjectCharts.h"
#include "charts/ChartRules.h"
#include "charts/StatusTable.h"
#include "charts/WindowLayout.h"
#include "charts/qt/ChartWidgets.h"
#include "charts/qt/DisplayResourceTable.h"
#include "charts/qt/SpeedIcons.h"
#include "util/DateTime.h"

namespace tw {

namespace {

constexpr int kHelpScale = 195;
constexpr int kHelpGrid = 196;
constexpr int kHelpShrink = 162;

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

QToolButton* MakeSmallButton(QWidget* parent, const CanvasRect& r, const char* name,
                             const char* hint, int helpContext) {
  auto* button = new QToolButton(parent);
  button->setObjectName(name);
  button->setToolTip(hint);
  button->setProperty("helpContext", helpContext);
  Place(button, r);
  return button;
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
  connect(c.table, &TDisplayResourceTable::contextHelpRequested, this,
          &TPingObject::ShowContextHelp);

  c.buttonsPanel = new QWidget(this);
  c.buttonsPanel->setObjectName("ButtonsPanel");
  Place(c.buttonsPanel, Layout::ButtonsPanel);
  c.trendBmp = new QToolButton(c.buttonsPanel);
  c.trendBmp->setObjectName("TrendBmp");
  c.trendBmp->setText("Trend");
  c.trendBmp->setToolTip("Shows or hides trend screen");
  c.trendBmp->setCheckable(true);
  c.trendBmp->setProperty("helpContext", 164);
  connect(c.trendBmp, &QToolButton::clicked, this, &TPingObject::TrendBmpClick);
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
  connect(c.display2, &TChartImage::contextHelpRequested, this, &TPingObject::ShowContextHelp);
  connect(c.legend, &TPaintBox::contextHelpRequested, this, &TPingObject::ShowContextHelp);

  const char* scaleHint = "Changes the scale on the vertical axis";
  c.scaleUp = MakeSmallButton(this, Layout::ScaleUP, "ScaleUP", scaleHint, kHelpScale);
  c.scaleUp->setArrowType(Qt::UpArrow);
  c.scaleDown = MakeSmallButton(this, Layout::ScaleDown, "ScaleDown", scaleHint, kHelpScale);
  c.scaleDown->setArrowType(Qt::DownArrow);
  c.hGrdBtn = MakeSmallButton(this, Layout::HGrdBtn, "HGrdBtn", "Displays horisontal grid lines",
                              kHelpGrid);
  c.vGrdBtn =
      MakeSmallButton(this, Layout::VGrdBtn, "VGrdBtn", "Displays vertical grid lines", kHelpGrid);
  c.hGrdBtn->setText("=");
  c.vGrdBtn->setText("||");
  for (QToolButton* b : {c.hGrdBtn, c.vGrdBtn}) {
    b->setCheckable(true);
    b->setChecked(true);
  }
  c.shrinkAndGrow = MakeSmallButton(this, Layout::ShrinkAndGrow, "ShrinkAndGrow",
                                    "Shrinks or grows the window", kHelpShrink);
  c.shrinkAndGrow->setArrowType(Qt::UpArrow);  // `ShrinkPic`
  auto* scaleLabel = new QLabel("Scale", this);
  scaleLabel->move(Layout::ScaleUP.right + 3, Layout::ScaleUP.top + 4);
  auto* hLabel = new QLabel("Hor.Grid", this);
  hLabel->move(Layout::HGrdBtn.right + 3, Layout::HGrdBtn.top + 1);
  auto* vLabel = new QLabel("Vert.Grid", this);
  vLabel->move(Layout::VGrdBtn.right + 3, Layout::VGrdBtn.top + 1);
  auto* shrinkLabel = new QLabel("&Shrink", this);
  shrinkLabel->setBuddy(c.shrinkAndGrow);
  shrinkLabel->move(Layout::ShrinkAndGrow.right + 3, Layout::ShrinkAndGrow.top + 2);

  connect(c.scaleUp, &QToolButton::clicked, this, &TPingObject::ScaleUPClick);
  connect(c.scaleDown, &QToolButton::clicked, this, &TPingObject::ScaleDownClick);
  connect(c.hGrdBtn, &QToolButton::clicked, this, &TPingObject::HGrdBtnClick);
  connect(c.vGrdBtn, &QToolButton::clicked, this, &TPingObject::VGrdBtnClick);
  connect(c.shrinkAndGrow, &QToolButton::clicked, this, &TPingObject::ShrinkAndGrowClick);
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

void TPingObject::ShowContextHelp(int context) {
  // The help system shows the topic's pop-up; until it is attached the
  // request is only remembered.
  charts_->lastHelpContext = context;
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
    c.shrinkAndGrow->setArrowType(Qt::DownArrow);  // `GrowPic`
  } else {
    c.shrinkAndGrow->setArrowType(Qt::UpArrow);  // `ShrinkPic`
    c.shrunk = false;
    TrendBmpClick();
    return;
  }
  c.shrunk = true;
}

}  // namespace tw
