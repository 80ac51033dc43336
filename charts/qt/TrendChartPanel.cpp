#include "charts/qt/TrendChartPanel.h"

#include <QLabel>

#include "charts/ChartRules.h"
#include "charts/StatusTable.h"
#include "charts/WindowLayout.h"
#include "charts/qt/ChartWidgets.h"
#include "charts/qt/QtCanvas.h"
#include "controls/Bitmpbtn.h"
#include "dialogs/Help.h"
#include "engine/PingThread.h"
#include "monitor/ResourceTable.h"
#include "util/DateTime.h"
#include "util/HelpIds.h"

namespace tw {

namespace {

// The grid toggles' groups follow the live chart's (2 and 3).
constexpr ChartColumnParts kTrendColumn{"Trend chart",
                                        "TrendDisplay",
                                        Layout::TrendDisplay,
                                        "TrendDisplay2",
                                        TTrendChart::kDesignWidth,
                                        TTrendChart::kDesignHeight,
                                        "TrendLegend",
                                        TTrendChart::kLegendWidth,
                                        "TrendScaleUp",
                                        Layout::TrendScaleUp,
                                        "TrendScaleDown",
                                        Layout::TrendScaleDown,
                                        "HTrendGrdBtn",
                                        Layout::HTrendGrdBtn,
                                        4,
                                        "VTrendGrdBtn",
                                        Layout::VTrendGrdBtn,
                                        5};

}  // namespace

TTrendChartPanel::TTrendChartPanel(QWidget* window, ResourceTable& table, Clock& clock)
    : TChartPanel(window, kTrendColumn, table), clock_(clock) {
  BuildDayButtons(window);
  BuildReportButtons(window);
  trend.trendDate = Now();
  connect(image, &TChartImage::mouseMoved, this, &TTrendChartPanel::TrendDisplay2MouseMove);
}

void TTrendChartPanel::BuildDayButtons(QWidget* window) {
  trendPrevDate = MakeSmallButton(window, Layout::TrendPrevDate, "TrendPrevDate", GlyphId::DayBack,
                                  "Previous day", HelpContext::TrendPrevDate);
  trendNextDate = MakeSmallButton(window, Layout::TrendNextDate, "TrendNextDate",
                                  GlyphId::DayForward, "Next day", HelpContext::TrendNextDate);
  trendNextDate->setEnabled(false);
  trendDatePanel = new QLabel(window);
  trendDatePanel->setObjectName("TrendDatePanel");
  SetHelpContext(trendDatePanel, HelpContext::TrendDatePanel);
  trendDatePanel->setToolTip("Trend date");
  trendDatePanel->setAlignment(Qt::AlignCenter);
  trendDatePanel->setAutoFillBackground(true);
  QPalette panelPalette = trendDatePanel->palette();
  panelPalette.setColor(QPalette::Window, Qt::black);
  panelPalette.setColor(QPalette::WindowText, ToQColor(clLime));
  trendDatePanel->setPalette(panelPalette);
  const CanvasRect& d = Layout::TrendDatePanel;
  trendDatePanel->setGeometry(d.left, d.top, d.right - d.left, d.bottom - d.top);
  connect(trendPrevDate, &QAbstractButton::clicked, this, &TTrendChartPanel::TrendPrevDateClick);
  connect(trendNextDate, &QAbstractButton::clicked, this, &TTrendChartPanel::TrendNextDateClick);
}

void TTrendChartPanel::BuildReportButtons(QWidget* window) {
  const auto make = [window](const char* caption, const char* name, const CanvasRect& r,
                             const char* hint, int helpContext) {
    auto* button = new TBitmapButton(caption, window);
    button->setObjectName(name);
    button->ApplyWindowLook(2);
    button->setToolTip(hint);
    SetHelpContext(button, helpContext);
    button->setGeometry(r.left, r.top, r.right - r.left, r.bottom - r.top);
    return button;
  };
  printTrend = make("&Print trend", "PrintTrend", Layout::PrintTrend, "Prints trend of current day",
                    HelpContext::PrintTrend);
  copyTrendBtn = make("Cop&y trend", "CopyTrendBtn", Layout::CopyTrendBtn,
                      "Copies trend of current day", HelpContext::CopyTrendBtn);
}

void TTrendChartPanel::TrendRedraw() {
  ResourceTable& table = Table();
  std::vector<TrendRow> rows;
  for (int row = 1; row < table.RowCount(); ++row) {
    TPingThread* thread = table.Thread(row);
    if (thread == nullptr) continue;
    TrendRow trendRow;
    trendRow.resource.kind = table.Kind(row);
    trendRow.resource.writeColor = CellColor(table, Col::WriteColor, row);
    trendRow.resource.readColor = CellColor(table, Col::ReadColor, row);
    trendRow.resource.address = thread->Settings().address;
    trendRow.day = &thread->TrendDayValues;
    rows.push_back(std::move(trendRow));
  }
  NoTrendRecords none;
  {
    QImage& picture = image->BeginPicture();
    QPainter painter(&picture);
    QtCanvas canvas(painter, &picture);
    if (!trend.Redraw(canvas, rows, lookup_ != nullptr ? *lookup_ : none, ChartLabelFont())) return;
  }
  image->ShowPicture();
  trendDatePanel->setText(QString::fromStdString(TTrendChart::DateText(trend.trendDate)));
  emit redrawn();
}

void TTrendChartPanel::MinuteTick(bool sampling) {
  if (trend.NextDayAllowed(Now())) trendNextDate->setEnabled(true);
  if (sampling) TrendRedraw();
}

void TTrendChartPanel::TrendPrevDateClick() {
  trend.PreviousDay();
  TrendRedraw();
  if (trend.NextDayAllowed(Now())) trendNextDate->setEnabled(true);
}

void TTrendChartPanel::TrendNextDateClick() {
  trend.NextDay();
  TrendRedraw();
  if (!trend.NextDayAllowed(Now())) trendNextDate->setEnabled(false);
}

std::vector<TrendHoverRow> TTrendChartPanel::ChartRows() const {
  ResourceTable& table = Table();
  std::vector<TrendHoverRow> rows;
  for (int row = 1; row < table.RowCount(); ++row) {
    TPingThread* thread = table.Thread(row);
    if (thread == nullptr) continue;
    rows.push_back(
        {{table.Kind(row), clBlack, clBlack, thread->Settings().address}, &thread->TrendDayValues});
  }
  return rows;
}

void TTrendChartPanel::TrendDisplay2MouseMove(int x, int y) {
  ShowValueText(trend.HoverText(x, y, ChartRows()));
}

std::string TTrendChartPanel::Describe() const {
  return trend.Description(ChartRows());
}

void TTrendChartPanel::StepScale(bool up) {
  if (up) {
    trend.TrendScaleUpClick();
  } else {
    trend.TrendScaleDownClick();
  }
}

void TTrendChartPanel::SetGridLines(bool horizontal, bool vertical) {
  trend.horizontalGrid = horizontal;
  trend.verticalGrid = vertical;
}

void TTrendChartPanel::PaintLegend(Canvas& canvas) {
  trend.PaintLegend(canvas, TTrendChart::kLegendWidth, TTrendChart::kDesignHeight,
                    ChartLabelFont());
}

double TTrendChartPanel::Now() const {
  return EncodeDateTime(clock_.LocalNow());
}

}  // namespace tw
