// Round trip of the echo measurement on loopback, as the thread times it.
// Usage: bench_echo <data bytes> [echoes]   (prints the median in us)
#include <cstdlib>

#include "bench/BenchRun.h"

int main(int argc, char** argv) {
  using namespace tw;
  const int size = argc > 1 ? std::atoi(argv[1]) : 1024;
  const size_t count = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 200;
  if (SystemEcho().Open() == nullptr) {
    std::fprintf(stderr, "%s\n", EchoBindingMessage(SystemEcho()).c_str());
    return 2;
  }
  test::EngineHost host;
  EngineServices services{host.dispatcher, SystemClock(), host, true};
  // Fixed size, one echo every 10 ms (as ping -i 0.01).
  const int row = host.AddRow("127.0.0.1", '3', 10, false, size, 2000);
  const bench::Shown shown = bench::Collect(host, services, row, 5, count);
  // The speed is (size div 1024) * 2,000,000 / t; t back from each speed.
  std::vector<double> micros;
  for (double kbps : shown.ping) {
    if (kbps > 0) micros.push_back((size / 1024) * 2e6 / kbps);
  }
  std::printf("echo %d bytes: %zu echoes, median round trip %.1f us\n", size, micros.size(),
              bench::Median(micros));
  return 0;
}
