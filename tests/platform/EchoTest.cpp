// ICMP echo through the system's sockets: on loopback, and in network
// namespaces made here (one that allows datagram ICMP sockets, one that
// leaves only raw sockets).
#include "platform/Echo.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <pthread.h>
#include <signal.h>
#include <time.h>

#include <chrono>
#include <future>
#include <thread>
#include <vector>

#include "support/EchoFlooder.h"
#include "support/NetNamespace.h"

namespace tw {
namespace {

using Clock = std::chrono::steady_clock;
using test::NetNamespace;

const HostAddress kLoopback = ParseNumericAddress("127.0.0.1");

std::vector<uint8_t> Payload(size_t size, uint8_t seed) {
  std::vector<uint8_t> data(size);
  for (size_t i = 0; i < size; ++i) data[i] = static_cast<uint8_t>(seed + i * 7);
  return data;
}

struct Result {
  int32_t status;
  IcmpReply reply;
  std::vector<uint8_t> data;
};

Result Send(EchoSocket& socket, const HostAddress& address, const std::vector<uint8_t>& payload,
            uint32_t timeoutMs, uint8_t ttl = 32) {
  Result r{0, {}, std::vector<uint8_t>(payload.size() + 36)};
  IcmpOptions options;
  options.ttl = ttl;
  r.status =
      socket.SendEcho(address, payload.data(), static_cast<uint16_t>(payload.size()), options,
                      timeoutMs, r.reply, r.data.data(), static_cast<uint32_t>(r.data.size()));
  r.data.resize(r.status == 0 ? r.reply.dataSize : 0);
  return r;
}

// A namespace whose ICMP sockets are of one kind: "datagram" (the ping
// group range admits everyone) or "raw" (it admits nobody).
struct KindNamespace {
  explicit KindNamespace(const std::string& kind) {
    ns.Sysctl(kind == "datagram" ? "net.ipv4.ping_group_range=0 2147483647"
                                 : "net.ipv4.ping_group_range=1 0");
  }
  std::unique_ptr<EchoSocket> Open() {
    NetNamespace::Enter inside(ns);
    return inside.Ok() ? SystemEcho().Open() : nullptr;
  }
  NetNamespace ns;
};

TEST(EchoTest, LoopbackEchoesCarryTheirDataBack) {
  auto socket = SystemEcho().Open();
  if (socket == nullptr) GTEST_SKIP() << "this user may not open ICMP sockets";
  for (size_t size : {size_t{0}, size_t{1}, size_t{9}, size_t{1024}, size_t{8192}, size_t{64512}}) {
    const auto payload = Payload(size, static_cast<uint8_t>(size));
    const Result r = Send(*socket, kLoopback, payload, 2000);
    ASSERT_EQ(r.status, IpStatus::Success) << size;
    EXPECT_EQ(r.data, payload) << size;
    EXPECT_EQ(r.reply.address, kLoopback);
    EXPECT_GT(r.reply.options.ttl, 0);
  }
}

TEST(EchoTest, BindingMessageTellsWhyAndHow) {
  struct NoEcho final : Echo {
    std::unique_ptr<EchoSocket> Open() override { return nullptr; }
  } none;
  const std::string text = EchoBindingMessage(none);
  EXPECT_NE(text.find("no permission"), std::string::npos);
  EXPECT_NE(text.find("ping_group_range"), std::string::npos);
  EXPECT_NE(text.find("cap_net_raw"), std::string::npos);
  EXPECT_EQ(text.substr(text.rfind('\n') + 1), "All TCP/IP functions will be disabled.");
  if (SystemEcho().Open() != nullptr) {
    EXPECT_EQ(EchoBindingMessage(SystemEcho()), "");
  }
}

class EchoKindTest : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    if (!NetNamespace::Available()) GTEST_SKIP() << NetNamespace::SkipReason();
  }
};

TEST_P(EchoKindTest, OutcomesMapOntoTheStatusCodes) {
  KindNamespace space(GetParam());
  ASSERT_TRUE(space.ns.Ok());
  auto socket = space.Open();
  ASSERT_NE(socket, nullptr);
  EXPECT_EQ(socket->Kind(IpFamily::V4), GetParam());
  const auto payload = Payload(1000, 3);
  EXPECT_EQ(Send(*socket, kLoopback, payload, 2000).status, IpStatus::Success);
  // Only the loopback exists in the namespace: no route anywhere else.
  EXPECT_EQ(Send(*socket, ParseNumericAddress("10.77.0.1"), payload, 2000).status,
            IpStatus::DestNetUnreachable);
  ASSERT_TRUE(space.ns.Sysctl("net.ipv4.icmp_echo_ignore_all=1"));
  const auto start = Clock::now();
  EXPECT_EQ(Send(*socket, kLoopback, payload, 300).status, IpStatus::TimedOut);
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(290));
}

TEST_P(EchoKindTest, ErrorsFromARouterAreMatchedAndMapped) {
  // Our namespace reaches the world through a router namespace, which
  // knows no route to 10.8/16, refuses 10.7/16, and sends 10.9/16 back.
  KindNamespace space(GetParam());
  NetNamespace router;
  ASSERT_TRUE(router.Ok());
  if (!space.ns.Run("ip link add a0 type veth peer name b0 netns " + router.Name())) {
    GTEST_SKIP() << "the kernel offers no virtual Ethernet pairs (veth)";
  }
  ASSERT_TRUE(space.ns.Run("ip addr add 10.1.0.1/24 dev a0") && space.ns.Run("ip link set a0 up"));
  ASSERT_TRUE(space.ns.Run("ip route add default via 10.1.0.2"));
  ASSERT_TRUE(router.Run("ip addr add 10.1.0.2/24 dev b0") && router.Run("ip link set b0 up"));
  ASSERT_TRUE(router.Sysctl("net.ipv4.ip_forward=1"));
  ASSERT_TRUE(router.Run("ip route add unreachable 10.7.0.0/16"));
  ASSERT_TRUE(router.Run("ip route add 10.9.0.0/16 via 10.1.0.1"));
  auto socket = space.Open();
  ASSERT_NE(socket, nullptr);
  const auto payload = Payload(500, 9);
  EXPECT_EQ(Send(*socket, ParseNumericAddress("10.1.0.2"), payload, 2000).status,
            IpStatus::Success);
  const struct {
    const char* to;
    uint8_t ttl;
    int32_t expected;
  } cases[] = {
      {"10.8.0.1", 32, IpStatus::DestNetUnreachable},
      {"10.7.0.1", 32, IpStatus::DestHostUnreachable},
      {"10.9.0.1", 1, IpStatus::TtlExpiredTransit},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Send(*socket, ParseNumericAddress(c.to), payload, 2000, c.ttl).status, c.expected)
        << c.to;
  }
  EXPECT_EQ(Send(*socket, ParseNumericAddress("10.1.0.2"), payload, 2000).status,
            IpStatus::Success);
}

TEST_P(EchoKindTest, ALateReplyToAnEarlierEchoIsNotTakenForTheNext) {
  KindNamespace space(GetParam());
  // A slow link: the reply to a 32 KB echo waits about 0.25 s in the queue.
  if (!space.ns.Run("tc qdisc add dev lo root tbf rate 1mbit burst 40k latency 5s")) {
    GTEST_SKIP() << "the kernel offers no token-bucket qdisc (tbf)";
  }
  auto socket = space.Open();
  ASSERT_NE(socket, nullptr);
  EXPECT_EQ(Send(*socket, kLoopback, Payload(32768, 1), 50).status, IpStatus::TimedOut);
  const auto second = Payload(100, 2);
  const Result r = Send(*socket, kLoopback, second, 5000);
  ASSERT_EQ(r.status, IpStatus::Success);
  EXPECT_EQ(r.data, second);
}

TEST_P(EchoKindTest, ConcurrentEchoersNeverTakeEachOthersReplies) {
  KindNamespace space(GetParam());
  std::unique_ptr<EchoSocket> sockets[2] = {space.Open(), space.Open()};
  ASSERT_TRUE(sockets[0] && sockets[1]);
  auto run = [&](int which) {
    int mismatches = 0;
    for (int i = 0; i < 150; ++i) {
      const auto payload = Payload(200 + which * 300, static_cast<uint8_t>(i * 2 + which));
      const Result r = Send(*sockets[which], kLoopback, payload, 2000);
      if (r.status != IpStatus::Success || r.data != payload) ++mismatches;
    }
    return mismatches;
  };
  auto other = std::async(std::launch::async, run, 1);
  EXPECT_EQ(run(0), 0);
  EXPECT_EQ(other.get(), 0);
}

TEST_P(EchoKindTest, AnotherProgramsFloodOfRepliesNeitherWakesNorStarvesOurEchoes) {
  KindNamespace space(GetParam());
  auto socket = space.Open();
  ASSERT_NE(socket, nullptr);
  std::unique_ptr<test::EchoFlooder> flooder;
  {
    NetNamespace::Enter inside(space.ns);
    flooder = std::make_unique<test::EchoFlooder>(0xF100);
  }
  ASSERT_TRUE(flooder->Ok());
  while (flooder->Sent() < 100) std::this_thread::yield();
  // Between two echoes (a measurement period) foreign replies pile up in
  // whatever queue lets them in; a full queue drops our own reply.
  int failures = 0;
  for (int i = 0; i < 60; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const auto payload = Payload(1024 + (i % 8) * 1024, static_cast<uint8_t>(i));
    const Result r = Send(*socket, kLoopback, payload, 1000);
    if (r.status != IpStatus::Success || r.data != payload) ++failures;
  }
  EXPECT_EQ(failures, 0) << flooder->Sent() << " foreign echoes meanwhile";
}

// Holds the thread it interrupts for half a second: a thread that the
// scheduler wakes late.
void HoldThread(int) {
  const timespec half{0, 500000000};
  nanosleep(&half, nullptr);
}

TEST_P(EchoKindTest, TheRoundTripEndsWhenTheReplyArrivesNotWhenTheThreadWakes) {
  KindNamespace space(GetParam());
  // About 0.2 s for the reply: the 8 KB request empties the 10 KB bucket,
  // which refills at 32 KB/s.
  if (!space.ns.Run("tc qdisc add dev lo root tbf rate 256kbit burst 10k latency 5s")) {
    GTEST_SKIP() << "the kernel offers no token-bucket qdisc (tbf)";
  }
  auto socket = space.Open();
  ASSERT_NE(socket, nullptr);
  struct sigaction hold {
  }, previous{};
  hold.sa_handler = HoldThread;
  ASSERT_EQ(sigaction(SIGUSR1, &hold, &previous), 0);
  const auto payload = Payload(8192, 5);
  std::promise<pthread_t> echoing;
  auto waiting = std::async(std::launch::async, [&] {
    echoing.set_value(pthread_self());
    const auto start = Clock::now();
    const Result r = Send(*socket, kLoopback, payload, 5000);
    return std::make_pair(r, Clock::now() - start);
  });
  const pthread_t thread = echoing.get_future().get();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));  // the request is out
  pthread_kill(thread, SIGUSR1);
  const auto [r, took] = waiting.get();
  sigaction(SIGUSR1, &previous, nullptr);
  ASSERT_EQ(r.status, IpStatus::Success);
  EXPECT_EQ(r.data, payload);
  const auto tookMs = std::chrono::duration_cast<std::chrono::milliseconds>(took).count();
  ASSERT_GE(tookMs, 500);
  // The link's time, not the thread's half-second hold.
  EXPECT_GE(r.reply.roundTripMs, 100u);
  EXPECT_LT(r.reply.roundTripMs, 400u) << "the call took " << tookMs << " ms";
  EXPECT_GE(r.reply.preparedToArrivalNs, r.reply.roundTripMs * 1000000ull);
  EXPECT_LT(r.reply.preparedToArrivalNs, (tookMs - 250) * 1000000ull);
}

TEST_P(EchoKindTest, CancelCutsALongWaitShort) {
  KindNamespace space(GetParam());
  ASSERT_TRUE(space.ns.Sysctl("net.ipv4.icmp_echo_ignore_all=1"));
  auto socket = space.Open();
  ASSERT_NE(socket, nullptr);
  const auto start = Clock::now();
  auto waiting = std::async(
      std::launch::async, [&] { return Send(*socket, kLoopback, Payload(64, 0), 240000).status; });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  socket->Cancel();
  EXPECT_EQ(waiting.get(), IpStatus::GeneralFailure);
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1000));
  EXPECT_EQ(Send(*socket, kLoopback, Payload(64, 0), 240000).status, IpStatus::GeneralFailure);
}

INSTANTIATE_TEST_SUITE_P(SocketKinds, EchoKindTest, ::testing::Values("datagram", "raw"),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace tw
