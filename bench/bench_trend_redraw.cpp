// One trend redraw with 20 resources over 1,000,000 trend records held in an
// in-memory lookup (an ordered map by name and minute): 96 lookups per
// resource, the polylines and the axis drawn into the off-screen picture.
#include <QApplication>
#include <QImage>
#include <cmath>
#include <cstdlib>

#include "bench/BenchTiming.h"
#include "charts/TrendChart.h"
#include "charts/qt/QtCanvas.h"
#include "support/MapTrendLookup.h"
#include "util/DateTime.h"

int main(int argc, char** argv) {
  if (std::getenv("DISPLAY") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  constexpr int kResources = 20;
  constexpr int kRecords = 1000000;
  constexpr int kPerResource = kRecords / kResources;  // about 520 days of quarter hours
  const double first = tw::EncodeDateTime({2025, 6, 1, 0, 0, 0, 0});
  tw::test::MapTrendLookup lookup;
  for (int r = 0; r < kResources; ++r) {
    const std::string name = "RES" + std::to_string(r);
    for (int q = 1; q <= kPerResource; ++q) {
      lookup.Add(name, first + q / 96.0, {1 + std::sin(q / 20.0), 0.5, 0.3});
    }
  }
  std::printf("records %zu\n", lookup.Size());
  tw::TTrendChart chart;
  chart.trendDate = first + 300.4;  // a day in the middle
  std::vector<tw::TrendDay> days(kResources);
  std::vector<tw::TrendRow> rows;
  for (int r = 0; r < kResources; ++r) {
    rows.push_back({{"123"[r % 3], tw::clYellow, tw::clRed, "res" + std::to_string(r)},
                    &days[static_cast<size_t>(r)]});
  }
  QImage picture(QSize(tw::TTrendChart::kDesignWidth, tw::TTrendChart::kDesignHeight) * 2,
                 QImage::Format_RGB32);
  picture.setDevicePixelRatio(2);
  const tw::CanvasFont font{"MS Serif", 9};
  tw::bench::TimeRuns("trend redraw, 20 resources, 1,000,000 records (2x picture)", 500, [&] {
    QPainter painter(&picture);
    tw::QtCanvas canvas(painter, &picture);
    chart.Redraw(canvas, rows, lookup, font);
  });
  std::printf("found %.2f (read of resource 0 at 12:00)\n", days[0][tw::kTrendRead][47]);
  return 0;
}
