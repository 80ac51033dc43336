// The main window's trend chart: its controls, the redraw, the day buttons,
// the minute timer, the value window and showing or hiding the trend screen.
#include <QCursor>
#include <QFrame>
#include <QLabel>

#include "app/PingObject.h"
#include "app/PingObjectCharts.h"
#include "charts/ChartRules.h"
#include "charts/StatusTable.h"
#include "charts/WindowLayout.h"
#include "charts/qt/ChartWidgets.h"
#include "charts/qt/DisplayResourceTable.h"
#include "controls/Bitmpbtn.h"
#include "dialogs/Help.h"
#include "util/HelpIds.h"

namespace tw {

namespace {

// The trend screen's grid toggles, each a group of its own (see the live chart's).
constexpr int kHTrendGrdGroup = 4;
constexpr int kVTrendGrdGroup = 5;

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
  SetHelpContext(c.trendDisplay2, HelpContext::Chart);
  SetHelpContext(c.trendLegend, HelpContext::Legend);

  const char* scaleHint = "Changes the scale on the vertical axis";
  c.trendScaleUp = MakeSmallButton(this, Layout::TrendScaleUp, "TrendScaleUp", GlyphId::ScaleUp,
                                   scaleHint, HelpContext::ScaleButtons);
  c.trendScaleDown = MakeSmallButton(this, Layout::TrendScaleDown, "TrendScaleDown",
                                     GlyphId::ScaleDown, scaleHint, HelpContext::ScaleButtons);
  c.hTrendGrdBtn = MakeSmallButton(this, Layout::HTrendGrdBtn, "HTrendGrdBtn", GlyphId::HorGrid,
                                   "Displays horisontal grid lines", HelpContext::GridButtons);
  c.vTrendGrdBtn = MakeSmallButton(this, Layout::VTrendGrdBtn, "VTrendGrdBtn", GlyphId::VertGrid,
                                   "Displays vertical grid lines", HelpContext::GridButtons);
  MakeStickyToggle(c.hTrendGrdBtn, kHTrendGrdGroup, true);
  MakeStickyToggle(c.vTrendGrdBtn, kVTrendGrdGroup, true);
  const int captionLeft = Layout::TrendScaleUp.right + 3;
  MakeButtonCaption(this, "Scale", captionLeft, Layout::TrendScaleUp.top,
                    Layout::TrendScaleDown.bottom);
  MakeButtonCaption(this, "Hor.Grid", captionLeft, Layout::HTrendGrdBtn.top,
                    Layout::HTrendGrdBtn.bottom);
  MakeButtonCaption(this, "Vert.Grid", captionLeft, Layout::VTrendGrdBtn.top,
                    Layout::VTrendGrdBtn.bottom);

  c.trendPrevDate = MakeSmallButton(this, Layout::TrendPrevDate, "TrendPrevDate", GlyphId::DayBack,
                                    "Previous day", HelpContext::TrendPrevDate);
  c.trendNextDate = MakeSmallButton(this, Layout::TrendNextDate, "TrendNextDate",
                                    GlyphId::DayForward, "Next day", HelpContext::TrendNextDate);
  c.trendNextDate->setEnabled(false);
  c.trendDatePanel = new QLabel(this);
  SetHelpContext(c.trendDatePanel, HelpContext::TrendDatePanel);
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

  connect(c.trendScaleUp, &QAbstractButton::clicked, this, &TPingObject::TrendScaleUpClick);
  connect(c.trendScaleDown, &QAbstractButton::clicked, this, &TPingObject::TrendScaleDownClick);
  connect(c.hTrendGrdBtn, &QAbstractButton::clicked, this, &TPingObject::HTrendGrdBtnClick);
  connect(c.vTrendGrdBtn, &QAbstractButton::clicked, this, &TPingObject::VTrendGrdBtnClick);
  connect(c.trendPrevDate, &QAbstractButton::clicked, this, &TPingObject::TrendPrevDateClick);
  connect(c.trendNextDate, &QAbstractButton::clicked, this, &TPingObject::TrendNextDateClick);
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
