// The main window's trend chart: its controls, the redraw, the day buttons,
// the minute timer, the value window and showing or hiding the trend screen.
#include <QCursor>
#include <QFrame>
#include <QLabel>
#include <QToolButton>

#include "app/PingObject.h"
#include "app/PingObjectCharts.h"
#include "charts/ChartRules.h"
#include "charts/StatusTable.h"
#include "charts/WindowLayout.h"
#include "charts/qt/ChartWidgets.h"
#include "charts/qt/DisplayResourceTable.h"

namespace tw {

namespace {

// Answers "not found" for every record: the chart without trend files.
class NoTrendRecords final : public TrendLookup {
 public:
  bool Find(const std::string&, double, double&, double&, double&) override { return false; }
};

}  // namespace

void TPingObject::BuildTrendControls() {
  ChartParts& c = *charts_;
  const CanvasRect& r = Layout::TrendDisplay;
  c.trendDisplay = MakeChartPanel(this, r, "TrendDisplay");
  const int inner = Layout::kBevel;
  c.trendDisplay2 =
      new TChartImage(TTrendChart::kDesignWidth, TTrendChart::kDesignHeight, c.trendDisplay);
  c.trendDisplay2->setObjectName("TrendDisplay2");
  c.trendDisplay2->move(r.right - r.left - inner - TTrendChart::kDesignWidth, inner);
  c.trendLegend =
      new TPaintBox(TTrendChart::kLegendWidth, TTrendChart::kDesignHeight, c.trendDisplay);
  c.trendLegend->setObjectName("TrendLegend");
  c.trendLegend->move(inner, inner);
  c.trendLegend->onPaint = [this](Canvas& canvas) {
    charts_->trend.PaintLegend(canvas, TTrendChart::kLegendWidth, TTrendChart::kDesignHeight,
                               ChartLabelFont());
  };
  connect(c.trendDisplay2, &TChartImage::mouseMoved, this, &TPingObject::TrendDisplay2MouseMove);
  connect(c.trendDisplay2, &TChartImage::contextHelpRequested, this, &TPingObject::ShowContextHelp);
  connect(c.trendLegend, &TPaintBox::contextHelpRequested, this, &TPingObject::ShowContextHelp);

  const char* scaleHint = "Changes the scale on the vertical axis";
  c.trendScaleUp = MakeSmallButton(this, Layout::TrendScaleUp, "TrendScaleUp", scaleHint, 195);
  c.trendScaleUp->setArrowType(Qt::UpArrow);
  c.trendScaleDown =
      MakeSmallButton(this, Layout::TrendScaleDown, "TrendScaleDown", scaleHint, 195);
  c.trendScaleDown->setArrowType(Qt::DownArrow);
  c.hTrendGrdBtn = MakeSmallButton(this, Layout::HTrendGrdBtn, "HTrendGrdBtn",
                                   "Displays horisontal grid lines", 196);
  c.vTrendGrdBtn = MakeSmallButton(this, Layout::VTrendGrdBtn, "VTrendGrdBtn",
                                   "Displays vertical grid lines", 196);
  c.hTrendGrdBtn->setText("=");
  c.vTrendGrdBtn->setText("||");
  for (QToolButton* b : {c.hTrendGrdBtn, c.vTrendGrdBtn}) {
    b->setCheckable(true);
    b->setChecked(true);
  }
  auto* scaleLabel = new QLabel("Scale", this);
  scaleLabel->move(Layout::TrendScaleUp.right + 3, Layout::TrendScaleUp.top + 4);
  auto* hLabel = new QLabel("Hor.Grid", this);
  hLabel->move(Layout::HTrendGrdBtn.right + 3, Layout::HTrendGrdBtn.top + 1);
  auto* vLabel = new QLabel("Vert.Grid", this);
  vLabel->move(Layout::VTrendGrdBtn.right + 3, Layout::VTrendGrdBtn.top + 1);

  c.trendPrevDate =
      MakeSmallButton(this, Layout::TrendPrevDate, "TrendPrevDate", "Previous day", 161);
  c.trendPrevDate->setArrowType(Qt::LeftArrow);
  c.trendNextDate = MakeSmallButton(this, Layout::TrendNextDate, "TrendNextDate", "Next day", 160);
  c.trendNextDate->setArrowType(Qt::RightArrow);
  c.trendNextDate->setEnabled(false);
  c.trendDatePanel = new THelpPanel(159, this);
  c.trendDatePanel->setObjectName("TrendDatePanel");
  c.trendDatePanel->setToolTip("Trend date");
  c.trendDatePanel->setAlignment(Qt::AlignCenter);
  c.trendDatePanel->setAutoFillBackground(true);
  QPalette panelPalette = c.trendDatePanel->palette();
  panelPalette.setColor(QPalette::Window, Qt::black);
  panelPalette.setColor(QPalette::WindowText, ToQColor(clLime));
  c.trendDatePanel->setPalette(panelPalette);
  const CanvasRect& d = Layout::TrendDatePanel;
  c.trendDatePanel->setGeometry(d.left, d.top, d.right - d.left, d.bottom - d.top);
  connect(c.trendDatePanel, &THelpPanel::contextHelpRequested, this, &TPingObject::ShowContextHelp);

  connect(c.trendScaleUp, &QToolButton::clicked, this, &TPingObject::TrendScaleUpClick);
  connect(c.trendScaleDown, &QToolButton::clicked, this, &TPingObject::TrendScaleDownClick);
  connect(c.hTrendGrdBtn, &QToolButton::clicked, this, &TPingObject::HTrendGrdBtnClick);
  connect(c.vTrendGrdBtn, &QToolButton::clicked, this, &TPingObject::VTrendGrdBtnClick);
  connect(c.trendPrevDate, &QToolButton::clicked, this, &TPingObject::TrendPrevDateClick);
  connect(c.trendNextDate, &QToolButton::clicked, this, &TPingObject::TrendNextDateClick);
}

void TPingObject::SetTrendLookup(TrendLookup* lookup) {
  charts_->trendLookup = lookup;
}

void TPingObject::TrendRedraw() {
  ChartParts& c = *charts_;
  std::vector<TrendRow> rows;
  for (int row = 1; row < table_.RowCount(); ++row) {
    TPingThread* thread = table_.Thread(row);
    if (thread == nullptr) continue;
    TrendRow trendRow;
    trendRow.resource.kind = table_.Kind(row);
    trendRow.resource.writeColor = CellColor(table_, Col::WriteColor, row);
    trendRow.resource.readColor = CellColor(table_, Col::ReadColor, row);
    trendRow.resource.address = thread->Settings().address;
    trendRow.day = &thread->TrendDayValues;
    rows.push_back(std::move(trendRow));
  }
  NoTrendRecords none;
  TrendLookup& lookup = c.trendLookup != nullptr ? *c.trendLookup : none;
  {
    QImage& picture = c.trendDisplay2->BeginPicture();
    QPainter painter(&picture);
    QtCanvas canvas(painter, &picture);
    if (!c.trend.Redraw(canvas, rows, lookup, ChartLabelFont())) return;
  }
  c.trendDisplay2->ShowPicture();
  c.trendDatePanel->setText(QString::fromStdString(TTrendChart::DateText(c.trend.trendDate)));
  SetTaskbarTitle();
}

void TPingObject::TrendScaleUpClick() {
  charts_->trend.TrendScaleUpClick();
  charts_->trendLegend->repaint();
  TrendRedraw();
}

void TPingObject::TrendScaleDownClick() {
  charts_->trend.TrendScaleDownClick();
  charts_->trendLegend->repaint();
  TrendRedraw();
}

void TPingObject::HTrendGrdBtnClick() {
  charts_->trend.horizontalGrid = charts_->hTrendGrdBtn->isChecked();
  TrendRedraw();
}

void TPingObject::VTrendGrdBtnClick() {
  charts_->trend.verticalGrid = charts_->vTrendGrdBtn->isChecked();
  TrendRedraw();
}

void TPingObject::TrendPrevDateClick() {
  charts_->trend.PreviousDay();
  TrendRedraw();
  if (charts_->trend.NextDayAllowed(Now())) charts_->trendNextDate->setEnabled(true);
}

void TPingObject::TrendNextDateClick() {
  charts_->trend.NextDay();
  TrendRedraw();
  if (!charts_->trend.NextDayAllowed(Now())) charts_->trendNextDate->setEnabled(false);
}

void TPingObject::TrendTimerTimer() {
  if (charts_->trend.NextDayAllowed(Now())) charts_->trendNextDate->setEnabled(true);
  if (pingSendTimer_.isActive()) TrendRedraw();
}

void TPingObject::TrendDisplay2MouseMove(int x, int y) {
  std::vector<TrendHoverRow> rows;
  for (int row = 1; row < table_.RowCount(); ++row) {
    TPingThread* thread = table_.Thread(row);
    if (thread == nullptr) continue;
    rows.push_back({{table_.Kind(row), clBlack, clBlack, thread->Settings().address},
                    &thread->TrendDayValues});
  }
  const std::string text = charts_->trend.HoverText(x, y, rows);
  if (text.empty()) {
    charts_->trendValueWindow->hide();
  } else {
    charts_->trendValueWindow->ShowText(QString::fromStdString(text), QCursor::pos());
  }
}

void TPingObject::TrendBmpClick() {
  ChartParts& c = *charts_;
  if (c.trendBmp->isChecked()) {
    setFixedSize(c.fullWidth, c.fullHeight);
  } else {
    setFixedSize(c.fullWidth, TrendHiddenHeight(FrameMetrics{}, Layout::ButtonsPanel));
  }
}

}  // namespace tw
