// Write and read speeds of the drive folder test with 64,512-byte blocks,
// and the read speed of the read-only file test.
// Usage: bench_drive <folder> [cycles] [read-only file]   (prints medians in Kbps)
#include <algorithm>
#include <cstdlib>

#include "bench/BenchRun.h"

int main(int argc, char** argv) {
  using namespace tw;
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_drive <folder> [cycles] [read-only file]\n");
    return 2;
  }
  const size_t cycles = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 200;
  test::EngineHost host;
  EngineServices services{host.dispatcher, SystemClock(), host, false};
  const int row = host.AddRow(argv[1], ResourceKind::Drive, 0, false, 64512, 2500);
  const bench::Shown drive = bench::Collect(host, services, row, 5, cycles);
  std::printf("drive write: median %.0f Kbps over %zu cycles\n", bench::Median(drive.write),
              drive.write.size());
  std::printf("drive read: median %.0f Kbps over %zu cycles\n", bench::Median(drive.read),
              drive.read.size());
  // What a cycle spends beside its two transfers (the hand-over to the UI
  // thread, the waits): the idle time between one read and the next write.
  double transferUs = 0;
  for (size_t i = 1; i < drive.read.size(); ++i) {
    if (drive.write[i] > 0 && drive.read[i] > 0)
      transferUs += 63e6 / drive.write[i] + 63e6 / drive.read[i];
  }
  const double intervals = static_cast<double>(drive.read.size() - 1);
  if (intervals > 0) {
    std::printf("between cycles: %.0f us\n",
                std::max(0.0, (drive.seconds * 1e6 - transferUs) / intervals));
  }
  if (argc > 3) {
    const int fileRow = host.AddRow(argv[3], ResourceKind::File, 0, true, 1024, 2500);
    const bench::Shown file = bench::Collect(host, services, fileRow, 1, 5);
    std::printf("file read: median %.0f Kbps over %zu passes\n", bench::Median(file.read),
                file.read.size());
  }
  return 0;
}
