// One trend redraw with 20 resources over trend files of 1,000,000 records:
// 96 lookups per resource in the real files, the polylines and the axis drawn
// into the off-screen picture.
//
//   build/bin/bench_trend_redraw [folder]   (default: a new folder under /tmp, removed afterwards)
#include <unistd.h>

#include <QApplication>
#include <QImage>
#include <cstdlib>
#include <filesystem>

#include "bench/BenchTiming.h"
#include "bench/TrendFiles.h"
#include "charts/TrendChart.h"
#include "charts/TrendFileLookup.h"
#include "charts/qt/QtCanvas.h"

int main(int argc, char** argv) {
  if (std::getenv("DISPLAY") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  const tw::bench::TrendFolder folder(argc, argv, "tw-redraw");
  if (!folder.Ok()) return 1;
  const std::string data = folder.Data(), index = folder.Index();
  const int days = tw::bench::MakeFiles(data, index);
  tw::TTrendFile file(data, index);
  file.OpenFilesForRead();
  tw::TrendFileLookup lookup(file);
  std::printf("records %zu in %d days\n", file.IndexEntryCount(), days);

  tw::TTrendChart chart;
  chart.trendDate = tw::bench::kFirstDay + days / 2;
  std::vector<tw::TrendDay> dayValues(tw::bench::kResources);
  std::vector<tw::TrendRow> rows;
  for (int r = 0; r < tw::bench::kResources; ++r) {
    rows.push_back({{tw::bench::KindOf(r), tw::clYellow, tw::clRed, tw::bench::ResourceName(r)},
                    &dayValues[static_cast<size_t>(r)]});
  }
  QImage picture(QSize(tw::TTrendChart::kDesignWidth, tw::TTrendChart::kDesignHeight) * 2,
                 QImage::Format_RGB32);
  picture.setDevicePixelRatio(2);
  const tw::CanvasFont font{"MS Serif", 9};
  tw::bench::TimeRuns("trend redraw, 20 resources, trend files of 1,000,000 records (2x picture)",
                      200, [&] {
                        QPainter painter(&picture);
                        tw::QtCanvas canvas(painter, &picture);
                        chart.Redraw(canvas, rows, lookup, font);
                      });
  std::printf("found %.2f (read of resource 0 at 12:00)\n", dayValues[0][tw::kTrendRead][47]);
  return 0;
}
