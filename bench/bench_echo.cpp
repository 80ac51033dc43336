// Round trip of the echo measurement on loopback, as the thread times it.
// Usage: bench_echo <data bytes> [echoes] [address]   (default 127.0.0.1; ::1
// measures ICMPv6)
// Prints the median round trip in us and how many echoes failed meanwhile
// (a timeout or any other result but success).
#include <atomic>
#include <cstdlib>

#include "bench/BenchRun.h"

namespace {

// The system's echo, counting the echoes that did not come back.
class CountingEcho final : public tw::Echo {
 public:
  std::unique_ptr<tw::EchoSocket> Open() override {
    struct Socket final : tw::EchoSocket {
      Socket(std::unique_ptr<tw::EchoSocket> s, std::atomic<int>& f)
          : real(std::move(s)), failed(f) {}
      std::unique_ptr<tw::EchoSocket> real;
      std::atomic<int>& failed;
      int32_t SendEcho(const tw::HostAddress& a, const uint8_t* d, uint16_t s,
                       const tw::IcmpOptions& o, uint32_t t, tw::IcmpReply& r, uint8_t* data,
                       uint32_t cap) override {
        const int32_t status = real->SendEcho(a, d, s, o, t, r, data, cap);
        if (status != tw::IpStatus::Success) ++failed;
        return status;
      }
      void Cancel() override { real->Cancel(); }
      std::string Kind(tw::IpFamily f) const override { return real->Kind(f); }
    };
    auto real = tw::SystemEcho().Open();
    if (real == nullptr) return nullptr;
    return std::make_unique<Socket>(std::move(real), failed);
  }
  std::atomic<int> failed{0};
};

}  // namespace

int main(int argc, char** argv) {
  using namespace tw;
  const int size = argc > 1 ? std::atoi(argv[1]) : 1024;
  const size_t count = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 200;
  const char* address = argc > 3 ? argv[3] : "127.0.0.1";
  if (SystemEcho().Open() == nullptr) {
    std::fprintf(stderr, "%s\n", EchoBindingMessage(SystemEcho()).c_str());
    return 2;
  }
  test::EngineHost host;
  CountingEcho echo;
  EngineServices services{host.dispatcher, SystemClock(), host, true};
  services.echo = &echo;
  // Fixed size, one echo every 10 ms (as ping -i 0.01), 1 s timeout.
  const int row = host.AddRow(address, ResourceKind::Echo, 10, false, size, 1000);
  const bench::Shown shown = bench::Collect(host, services, row, 5, count);
  // The speed is (size div 1024) * 2,000,000 / t; t back from each speed.
  std::vector<double> micros;
  for (double kbps : shown.ping) {
    if (kbps > 0) micros.push_back((size / 1024) * 2e6 / kbps);
  }
  std::printf("echo %d bytes to %s: %zu echoes, median round trip %.1f us, %d failed\n", size,
              address, micros.size(), bench::Median(micros), echo.failed.load());
  return 0;
}
