// The trend chart column: `TrendDisplay2` with its scale strip
// `TrendLegend`, the scale and grid buttons, the day buttons with the date
// panel between them, and the value window.
#pragma once

#include "charts/TrendChart.h"
#include "charts/qt/ChartPanel.h"
#include "platform/Clock.h"

class QLabel;

namespace tw {

class TTrendChartPanel final : public TChartPanel {
  Q_OBJECT

 public:
  TTrendChartPanel(QWidget* window, ResourceTable& table, Clock& clock);

  // Scale, grid switches and the trend date.
  TTrendChart trend;
  TBitmapButton* trendPrevDate = nullptr;
  TBitmapButton* trendNextDate = nullptr;
  QLabel* trendDatePanel = nullptr;
  // "&Print trend" and "Cop&y trend"; the window answers their clicks.
  TBitmapButton* printTrend = nullptr;
  TBitmapButton* copyTrendBtn = nullptr;

  // Where the chart reads its records (not owned; null: none, an empty day).
  void SetTrendLookup(TrendLookup* lookup) { lookup_ = lookup; }
  TrendLookup* Lookup() const { return lookup_; }
  // Redraws the chart from the records and the date panel.
  void TrendRedraw();
  // Every minute: "Next day" comes on after midnight; the chart follows the
  // records while sampling runs.
  void MinuteTick(bool sampling);

 signals:
  // The chart was redrawn (the taskbar title follows the selection).
  void redrawn();

 public slots:
  void TrendPrevDateClick();
  void TrendNextDateClick();
  void TrendDisplay2MouseMove(int x, int y);

 protected:
  void StepScale(bool up) override;
  void SetGridLines(bool horizontal, bool vertical) override;
  void PaintLegend(Canvas& canvas) override;
  void Redraw() override { TrendRedraw(); }
  std::string Describe() const override;

 private:
  std::vector<TrendHoverRow> ChartRows() const;
  void BuildDayButtons(QWidget* window);
  void BuildReportButtons(QWidget* window);
  double Now() const;

  Clock& clock_;
  TrendLookup* lookup_ = nullptr;
};

}  // namespace tw
