// Opening trend files of ten years of 20 resources (7,000,000 records, a
// 2 GB data file and an 84 MB index) and drawing the trend chart of a day
// from them: the index loaded with its checks, then one trend redraw (96
// lookups per resource, the polylines and the axis into the off-screen
// picture), as the main window does at start-up.
//
//   build/bin/bench_trend_open [folder]   (default: a new folder under /tmp, removed afterwards;
//                                          files of the right size found in a given folder are
//                                          reused)
//
// Prints the time from opening the files to the finished picture, with the
// files in the page cache (a running desktop) and, where the system lets
// the cache be dropped for the two files, read from the disk: the wall-clock
// time and the CPU time of the process (the latter hardly changes when other
// programs load the machine), split into the load and the redraw.
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QImage>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include "bench/TrendFiles.h"
#include "charts/TrendChart.h"
#include "charts/TrendFileLookup.h"
#include "charts/qt/QtCanvas.h"

namespace {

constexpr int kTenYears = 7000000;

void DropFromCache(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY);
  if (fd < 0) return;
  fdatasync(fd);
  posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
  close(fd);
}

struct Times {
  double wallMs = 0, cpuMs = 0;
};

Times Measure(const std::function<void()>& run) {
  const auto wall = std::chrono::steady_clock::now();
  const std::clock_t cpu = std::clock();
  run();
  return {
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wall).count(),
      1000.0 * static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC};
}

bool HasFiles(const std::string& data, const std::string& index) {
  std::error_code error;
  return std::filesystem::file_size(data, error) ==
             tw::kTrendHeaderSize + uint64_t{kTenYears} * tw::kTrendRecordSize &&
         std::filesystem::file_size(index, error) == uint64_t{kTenYears} * tw::kTrendIndexEntrySize;
}

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("DISPLAY") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  const tw::bench::TrendFolder folder(argc, argv, "tw-open");
  if (!folder.Ok()) return 1;
  const std::string data = folder.Data(), index = folder.Index();
  if (!HasFiles(data, index)) tw::bench::MakeFiles(data, index, kTenYears);
  const int days = kTenYears / tw::bench::kResources / tw::bench::kQuarters;

  tw::TTrendChart chart;
  chart.trendDate = tw::bench::kFirstDay + days - 1;  // the newest whole day
  std::vector<tw::TrendDay> dayValues(tw::bench::kResources);
  std::vector<tw::TrendRow> rows;
  for (int r = 0; r < tw::bench::kResources; ++r) {
    rows.push_back({{tw::bench::KindOf(r), tw::clYellow, tw::clRed, tw::bench::ResourceName(r)},
                    &dayValues[static_cast<size_t>(r)]});
  }
  QImage picture(QSize(tw::TTrendChart::kDesignWidth, tw::TTrendChart::kDesignHeight),
                 QImage::Format_RGB32);
  const tw::CanvasFont font{"MS Serif", 9};
  size_t loaded = 0;
  const auto openAndDraw = [&](const char* what) {
    std::unique_ptr<tw::TTrendFile> file;
    const Times load = Measure([&] { file = std::make_unique<tw::TTrendFile>(data, index); });
    tw::TrendFileLookup lookup(*file);
    const Times draw = Measure([&] {
      QPainter painter(&picture);
      tw::QtCanvas canvas(painter, &picture);
      chart.Redraw(canvas, rows, lookup, font);
    });
    loaded = file->IndexEntryCount();
    std::printf(
        "%s: open to drawn %.0f ms wall, %.0f ms CPU (load %.0f / %.0f, redraw %.1f / %.1f)\n",
        what, load.wallMs + draw.wallMs, load.cpuMs + draw.cpuMs, load.wallMs, load.cpuMs,
        draw.wallMs, draw.cpuMs);
    std::fflush(stdout);
  };
  for (int run = 1; run <= 5; ++run) openAndDraw("files in the page cache");
  std::printf("entries kept %zu of %d in %d days; read of resource 0 at 12:00: %.2f\n", loaded,
              kTenYears, days, dayValues[0][tw::kTrendRead][47]);
  DropFromCache(data);
  DropFromCache(index);
  openAndDraw("files dropped from the page cache first");
  return 0;
}
