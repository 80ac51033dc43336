#include "charts/qt/LiveChartPanel.h"

#include "charts/ChartRules.h"
#include "charts/StatusTable.h"
#include "charts/WindowLayout.h"
#include "charts/qt/ChartWidgets.h"
#include "engine/PingThread.h"
#include "monitor/ResourceTable.h"

namespace tw {

namespace {

// The sticky toggles each form a group of their own; Start and Stop are group 1.
constexpr ChartColumnParts kLiveColumn{"Live chart",
                                       "Display",
                                       Layout::Display,
                                       "display2",
                                       TLiveChart::kDesignWidth,
                                       TLiveChart::kDesignHeight,
                                       "Legend",
                                       TLiveChart::kLegendWidth,
                                       "ScaleUP",
                                       Layout::ScaleUP,
                                       "ScaleDown",
                                       Layout::ScaleDown,
                                       "HGrdBtn",
                                       Layout::HGrdBtn,
                                       2,
                                       "VGrdBtn",
                                       Layout::VGrdBtn,
                                       3};

}  // namespace

TLiveChartPanel::TLiveChartPanel(QWidget* window, ResourceTable& table)
    : TChartPanel(window, kLiveColumn, table) {
  connect(image, &TChartImage::mouseMoved, this, &TLiveChartPanel::display2MouseMove);
}

void TLiveChartPanel::BeginPass() {
  canvas_.reset();
  QImage& picture = image->BeginPicture();
  painter_.emplace(&picture);
  canvas_.emplace(*painter_, &picture);
  live.Clear(*canvas_);
}

void TLiveChartPanel::DrawRow(int row, const MeasurementSnapshot& results) {
  if (!canvas_) return;
  ChartResource resource;
  resource.kind = Table().Kind(row);
  resource.writeColor = CellColor(Table(), Col::WriteColor, row);
  resource.readColor = CellColor(Table(), Col::ReadColor, row);
  live.DrawRow(*canvas_, resource, results);
}

void TLiveChartPanel::FinishPass() {
  if (!canvas_) return;
  live.DrawGrid(*canvas_);
  canvas_.reset();
  painter_.reset();
  image->ShowPicture();
}

std::vector<LiveHoverRow> TLiveChartPanel::ChartRows(
    std::vector<MeasurementSnapshot>& results) const {
  ResourceTable& table = Table();
  std::vector<LiveHoverRow> rows;
  results.clear();
  results.reserve(static_cast<size_t>(table.RowCount()));
  for (int row = 1; row < table.RowCount(); ++row) {
    TPingThread* thread = table.Thread(row);
    if (thread == nullptr) continue;
    results.push_back(thread->Snapshot());
    rows.push_back({{table.Kind(row), clBlack, clBlack, thread->Settings().address}, nullptr});
  }
  for (size_t i = 0; i < rows.size(); ++i) rows[i].results = &results[i];
  return rows;
}

void TLiveChartPanel::display2MouseMove(int x, int y) {
  std::vector<MeasurementSnapshot> results;
  ShowValueText(live.HoverText(x, y, ChartRows(results)));
}

std::string TLiveChartPanel::Describe() const {
  std::vector<MeasurementSnapshot> results;
  return TLiveChart::Description(ChartRows(results));
}

void TLiveChartPanel::StepScale(bool up) {
  if (up) {
    live.ScaleUPClick();
  } else {
    live.ScaleDownClick();
  }
}

void TLiveChartPanel::SetGridLines(bool horizontal, bool vertical) {
  live.horizontalGrid = horizontal;
  live.verticalGrid = vertical;
}

void TLiveChartPanel::PaintLegend(Canvas& canvas) {
  live.PaintLegend(canvas, TLiveChart::kLegendWidth, TLiveChart::kDesignHeight, ChartLabelFont());
}

}  // namespace tw
