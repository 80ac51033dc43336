// Download speed of the web measurement, as the thread measures and shows it.
// Usage: bench_web <url> [downloads] [size limit in bytes]
// Prints the median of the speeds shown (KB/s) and how many downloads failed.
#include <cstdlib>
#include <string>

#include "bench/BenchRun.h"

int main(int argc, char** argv) {
  using namespace tw;
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_web <url> [downloads] [size limit]\n");
    return 2;
  }
  const size_t count = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 5;
  const int limit = argc > 3 ? std::atoi(argv[3]) : 1024 * 1024 * 1024;
  test::EngineHost host;
  EngineServices services{host.dispatcher, SystemClock(), host, true};
  // Fixed size (the whole file below the limit), back to back, 10 s timeout.
  const int row = host.AddRow(argv[1], ResourceKind::Web, 10, false, limit, 10000);
  int failed = 0;
  std::vector<double> speeds;
  host.onRepaint = [&](int col, int r) {
    if (col != Col::ReadSpeed) return;
    const std::string text = host.table.Cell(col, r);
    if (text == "Testing...") return;
    const double kbps = test::CellSpeed(text);
    if (kbps > 0) {
      speeds.push_back(kbps);
    } else {
      ++failed;
      std::fprintf(stderr, "download: %s\n", text.c_str());
    }
  };
  TPingThread* t = host.Start(row, services);
  host.PumpUntil([&] { return speeds.size() + static_cast<size_t>(failed) >= count; }, 600000);
  host.onRepaint = nullptr;
  TPingThread::Destroy(t);
  std::printf("web: %zu downloads, median %.1f KB/s, %d failed\n", speeds.size(),
              bench::Median(speeds), failed);
  return 0;
}
