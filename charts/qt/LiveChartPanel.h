// The live chart column: `display2` with its scale strip `Legend`, the
// `ScaleUP`/`ScaleDown` and grid buttons, and the value window. The sampling
// tick draws through it; its buttons ask the window for a redraw pass.
#pragma once

#include <QPainter>
#include <optional>

#include "charts/LiveChart.h"
#include "charts/qt/ChartPanel.h"
#include "charts/qt/QtCanvas.h"

namespace tw {

class TLiveChartPanel final : public TChartPanel {
  Q_OBJECT

 public:
  TLiveChartPanel(QWidget* window, ResourceTable& table);

  // Scale and grid switches (set by the parameters file).
  TLiveChart live;

  // The drawing pass: clear, each resource row in row order, the grid; the
  // finished picture is copied to the screen once.
  void BeginPass();
  void DrawRow(int row, const MeasurementSnapshot& results);
  void FinishPass();

 signals:
  // The scale or the grid changed: the window runs a redraw pass.
  void redrawWanted();

 public slots:
  void display2MouseMove(int x, int y);

 protected:
  void StepScale(bool up) override;
  void SetGridLines(bool horizontal, bool vertical) override;
  void PaintLegend(Canvas& canvas) override;
  void Redraw() override { emit redrawWanted(); }
  std::string Describe() const override;

 private:
  // The chart's rows, each with a copy of its thread's results (in `results`).
  std::vector<LiveHoverRow> ChartRows(std::vector<MeasurementSnapshot>& results) const;

  // The painter of the pass under way (between BeginPass and FinishPass).
  std::optional<QPainter> painter_;
  std::optional<QtCanvas> canvas_;
};

}  // namespace tw
