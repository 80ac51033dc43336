// The sampling tick with 100 resources (50 drives and 50 hosts, as in the
// soak run), full 100-sample histories, drawn into the live chart's
// off-screen picture and copied to the window. With 100 resources on 1 s
// periods about five new samples arrive between two 50 ms ticks, so nearly
// every tick redraws the chart; the figures show what one costs and what 20
// a second make of one core. Runs on the offscreen platform unless a display
// is set, in a configuration folder of its own.
#include <QApplication>
#include <cmath>
#include <cstdlib>
#include <string>

#include "app/FirstStartWizard.h"
#include "app/PingObject.h"
#include "app/PingObjectCharts.h"
#include "bench/BenchTiming.h"
#include "charts/qt/ChartWidgets.h"
#include "charts/qt/LiveChartPanel.h"

namespace {

constexpr int kResources = 100;

double Wave(int k, int r) {
  return 1 + std::sin((k + r * 7) / 5.0);
}

void FillHistories(tw::TPingObject& window) {
  const char* colors[] = {"clRed", "clYellow", "clAqua", "clFuchsia", "clWhite", "$00FF8000"};
  for (int r = 0; r < kResources; ++r) {
    const tw::ResourceKind kind = r % 2 == 0 ? tw::ResourceKind::Drive : tw::ResourceKind::Echo;
    const int row = window.AddResourceRow("resource-" + std::to_string(r), kind);
    window.Table().SetCell(tw::Col::WriteColor, row, colors[r % 6]);
    window.Table().SetCell(tw::Col::ReadColor, row, colors[(r + 1) % 6]);
    tw::TPingThread* thread = window.Table().Thread(row);
    for (int k = 0; k < tw::kHistoryLength; ++k) {
      thread->SetWriteSpeed(Wave(k, r) * 0.6);
      thread->SetReadSpeed(Wave(k, r));
      thread->SetPingSpeed(Wave(k, r) * 0.4);
      thread->UpdateReferenceSpeed(Wave(k, r));
    }
  }
}

// Five rows get a sample, as between two ticks of the soak run.
void NewSamples(tw::TPingObject& window, int& next) {
  for (int i = 0; i < 5; ++i, ++next) {
    const int row = 1 + next % kResources;
    tw::TPingThread* thread = window.Table().Thread(row);
    const double v = Wave(next, row);
    if (row % 2 == 1) {
      thread->SetWriteSpeed(v * 0.6);
      thread->SetReadSpeed(v);
    } else {
      thread->SetPingSpeed(v * 0.4);
    }
  }
}

void PrintShare(const char* what, double medianUs) {
  std::printf("  %s at 20 ticks a second: %.2f %% of one core\n", what, medianUs * 20 / 1e4);
}

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("DISPLAY") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  char home[] = "/tmp/tarnwick-bench-tick-XXXXXX";
  if (mkdtemp(home) == nullptr) return 1;
  setenv("TARNWICK_HOME", home, 1);
  setenv("TARNWICK_STATE_DIR", home, 1);
  QApplication app(argc, argv);
  tw::SetFirstStartWizardEnabled(false);
  double median = 0;
  {
    tw::TPingObject window;
    window.SetFlagWaitMs(0);
    FillHistories(window);
    window.show();
    QApplication::processEvents();
    tw::TChartImage* image = window.LivePanel().image;
    int next = 0;
    for (int i = 0; i < 50; ++i) window.SamplingTick(tw::TickMode::Tick);
    median = tw::bench::TimeRuns("tick, 100 resources, no new sample", 2000,
                                 [&] { window.SamplingTick(tw::TickMode::Tick); });
    PrintShare("kept chart", median);
    median = tw::bench::TimeRuns("tick, 100 resources, 5 new samples, drawn", 2000, [&] {
      NewSamples(window, next);
      window.SamplingTick(tw::TickMode::Tick);
    });
    PrintShare("drawn chart", median);
    median = tw::bench::TimeRuns("tick, 100 resources, 5 new samples, drawn and copied", 2000, [&] {
      NewSamples(window, next);
      window.SamplingTick(tw::TickMode::Tick);
      image->repaint();
    });
    PrintShare("drawn and copied chart", median);
    std::printf("device-pixel ratio %.1f\n", image->devicePixelRatioF());
  }
  std::string command = std::string("rm -rf ") + home;
  return std::system(command.c_str()) == 0 ? 0 : 1;
}
