// One sampling tick with 50 resources (drives, files and hosts mixed, full
// 100-sample histories) drawn into the live chart's off-screen picture and
// copied to the window. Runs on the offscreen platform unless a display is set.
#include <QApplication>
#include <cmath>
#include <cstdlib>

#include "app/PingObject.h"
#include "app/PingObjectCharts.h"
#include "bench/BenchTiming.h"
#include "charts/qt/ChartWidgets.h"
#include "charts/qt/LiveChartPanel.h"

int main(int argc, char** argv) {
  if (std::getenv("DISPLAY") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  tw::TPingObject window;
  window.SetFlagWaitMs(0);
  const char* colors[] = {"clRed", "clYellow", "clAqua", "clFuchsia", "clWhite", "$00FF8000"};
  for (int r = 0; r < 50; ++r) {
    const tw::ResourceKind kinds[] = {tw::ResourceKind::Drive, tw::ResourceKind::File,
                                      tw::ResourceKind::Echo};
    const tw::ResourceKind kind = kinds[r % 3];
    const int row = window.AddResourceRow("resource-" + std::to_string(r), kind);
    window.Table().SetCell(tw::Col::WriteColor, row, colors[r % 6]);
    window.Table().SetCell(tw::Col::ReadColor, row, colors[(r + 1) % 6]);
    tw::TPingThread* thread = window.Table().Thread(row);
    for (int k = 0; k < tw::kHistoryLength; ++k) {
      const double v = 1 + std::sin((k + r * 7) / 5.0);
      thread->SetWriteSpeed(v * 0.6);
      thread->SetReadSpeed(v);
      thread->SetPingSpeed(v * 0.4);
      thread->UpdateReferenceSpeed(v);
    }
  }
  window.show();
  QApplication::processEvents();
  tw::TChartImage* image = window.LivePanel().image;
  for (int i = 0; i < 50; ++i) window.SamplingTick(tw::TickMode::Tick);
  tw::bench::TimeRuns("tick, 50 resources, drawn", 2000,
                      [&] { window.SamplingTick(tw::TickMode::Tick); });
  tw::bench::TimeRuns("tick, 50 resources, drawn and copied to the window", 2000, [&] {
    window.SamplingTick(tw::TickMode::Tick);
    image->repaint();
  });
  std::printf("device-pixel ratio %.1f\n", image->devicePixelRatioF());
  return 0;
}
