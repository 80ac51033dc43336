// ICMPv6 echo through the system's sockets: on ::1, and in network
// namespaces made here with unique local addresses (fd00::/8), for both
// kinds of socket.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>
#include <vector>

#include "platform/Echo.h"
#include "support/EchoFlooder.h"
#include "support/Ipv6Loopback.h"
#include "support/NetNamespace.h"

namespace tw {
namespace {

using Clock = std::chrono::steady_clock;
using test::NetNamespace;

const HostAddress kLoopback6 = ParseNumericAddress("::1");

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
            uint32_t timeoutMs, uint8_t hopLimit = 32) {
  Result r{0, {}, std::vector<uint8_t>(payload.size() + 36)};
  IcmpOptions options;
  options.ttl = hopLimit;
  r.status =
      socket.SendEcho(address, payload.data(), static_cast<uint16_t>(payload.size()), options,
                      timeoutMs, r.reply, r.data.data(), static_cast<uint32_t>(r.data.size()));
  r.data.resize(r.status == 0 ? r.reply.dataSize : 0);
  return r;
}

TEST(Echo6Test, EchoesToTheIpv6LoopbackCarryTheirDataBack) {
  if (!test::HasIpv6Loopback()) GTEST_SKIP() << test::NoIpv6LoopbackReason();
  auto socket = SystemEcho().Open();
  if (socket == nullptr) GTEST_SKIP() << "this user may not open ICMP sockets";
  EXPECT_EQ(socket->Kind(IpFamily::V6), "") << "opened before the first IPv6 echo";
  for (size_t size : {size_t{0}, size_t{9}, size_t{1024}, size_t{8192}, size_t{64512}}) {
    const auto payload = Payload(size, static_cast<uint8_t>(size));
    const Result r = Send(*socket, kLoopback6, payload, 2000);
    ASSERT_EQ(r.status, IpStatus::Success) << size;
    EXPECT_EQ(r.data, payload) << size;
    EXPECT_EQ(r.reply.address, kLoopback6);
    EXPECT_GT(r.reply.options.ttl, 0) << "the hop limit of the reply";
    EXPECT_GT(r.reply.preparedToArrivalNs, 0u) << "the kernel's arrival stamp";
  }
  EXPECT_NE(socket->Kind(IpFamily::V6), "");
  // The same endpoint still serves IPv4.
  EXPECT_EQ(Send(*socket, ParseNumericAddress("127.0.0.1"), Payload(100, 1), 2000).status,
            IpStatus::Success);
}

// A namespace whose ICMP sockets are of one kind (the ping group range
// governs ICMPv6 datagram sockets too), with fd00::1 on its loopback.
struct KindNamespace {
  explicit KindNamespace(const std::string& kind) {
    ns.Sysctl(kind == "datagram" ? "net.ipv4.ping_group_range=0 2147483647"
                                 : "net.ipv4.ping_group_range=1 0");
    ns.Sysctl("net.ipv6.conf.all.disable_ipv6=0");
    ns.Sysctl("net.ipv6.conf.lo.disable_ipv6=0");
    ok = ns.Run("ip -6 addr add fd00::1/128 dev lo nodad");
  }
  std::unique_ptr<EchoSocket> Open() {
    NetNamespace::Enter inside(ns);
    return inside.Ok() ? SystemEcho().Open() : nullptr;
  }
  NetNamespace ns;
  bool ok = false;
};

class Echo6KindTest : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    if (!NetNamespace::Available()) GTEST_SKIP() << NetNamespace::SkipReason();
  }
  // The IPv6 socket, opened by a first echo inside the namespace.
  std::unique_ptr<EchoSocket> OpenWithV6(KindNamespace& space) {
    auto socket = space.Open();
    if (socket == nullptr) return nullptr;
    NetNamespace::Enter inside(space.ns);
    Send(*socket, kUla, Payload(10, 0), 1000);
    return socket;
  }
  const HostAddress kUla = ParseNumericAddress("fd00::1");
};

TEST_P(Echo6KindTest, OutcomesMapOntoTheStatusCodes) {
  KindNamespace space(GetParam());
  if (!space.ok) GTEST_SKIP() << "no IPv6 in a network namespace here";
  auto socket = OpenWithV6(space);
  ASSERT_NE(socket, nullptr);
  EXPECT_EQ(socket->Kind(IpFamily::V6), GetParam());
  const auto payload = Payload(1000, 3);
  const Result good = Send(*socket, kUla, payload, 2000);
  EXPECT_EQ(good.status, IpStatus::Success);
  EXPECT_EQ(good.data, payload);
  // Only the loopback exists in the namespace: no route anywhere else.
  EXPECT_EQ(Send(*socket, ParseNumericAddress("fd00:77::1"), payload, 2000).status,
            IpStatus::DestNetUnreachable);
  ASSERT_TRUE(space.ns.Sysctl("net.ipv6.icmp.echo_ignore_all=1"));
  const auto start = Clock::now();
  EXPECT_EQ(Send(*socket, kUla, payload, 300).status, IpStatus::TimedOut);
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(290));
}

TEST_P(Echo6KindTest, ErrorsFromARouterAreMatchedAndMappedLikeTheirIcmpCounterparts) {
  // Our namespace reaches the world through a router namespace, which knows
  // no route to fd00:8::/32, refuses fd00:7::/32 by policy, and sends
  // fd00:9::/32 back to us (so a hop limit of 1 expires there).
  KindNamespace space(GetParam());
  if (!space.ok) GTEST_SKIP() << "no IPv6 in a network namespace here";
  NetNamespace router;
  ASSERT_TRUE(router.Ok());
  if (!space.ns.Run("ip link add a0 type veth peer name b0 netns " + router.Name())) {
    GTEST_SKIP() << "the kernel offers no virtual Ethernet pairs (veth)";
  }
  ASSERT_TRUE(space.ns.Run("ip -6 addr add fd00:1::1/64 dev a0 nodad") &&
              space.ns.Run("ip link set a0 up"));
  ASSERT_TRUE(space.ns.Run("ip -6 route add default via fd00:1::2"));
  ASSERT_TRUE(router.Run("ip -6 addr add fd00:1::2/64 dev b0 nodad") &&
              router.Run("ip link set b0 up"));
  ASSERT_TRUE(router.Sysctl("net.ipv6.conf.all.forwarding=1"));
  ASSERT_TRUE(router.Sysctl("net.ipv6.icmp.ratelimit=0"));
  ASSERT_TRUE(router.Run("ip -6 route add prohibit fd00:7::/32"));
  ASSERT_TRUE(router.Run("ip -6 route add fd00:9::/32 via fd00:1::1"));
  auto socket = OpenWithV6(space);
  ASSERT_NE(socket, nullptr);
  const auto payload = Payload(500, 9);
  const HostAddress routerAddress = ParseNumericAddress("fd00:1::2");
  EXPECT_EQ(Send(*socket, routerAddress, payload, 3000).status, IpStatus::Success);
  const struct {
    const char* to;
    uint8_t hopLimit;
    int32_t expected;
  } cases[] = {
      {"fd00:8::1", 32, IpStatus::DestNetUnreachable},
      {"fd00:7::1", 32, IpStatus::DestProtocolUnreachable},  // "Dst.unreachable" as well
      {"fd00:9::1", 1, IpStatus::TtlExpiredTransit},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Send(*socket, ParseNumericAddress(c.to), payload, 2000, c.hopLimit).status,
              c.expected)
        << c.to;
  }
  EXPECT_EQ(Send(*socket, routerAddress, payload, 2000).status, IpStatus::Success);
}

TEST_P(Echo6KindTest, AnotherProgramsFloodOfRepliesNeitherWakesNorStarvesOurEchoes) {
  KindNamespace space(GetParam());
  if (!space.ok) GTEST_SKIP() << "no IPv6 in a network namespace here";
  auto socket = OpenWithV6(space);
  ASSERT_NE(socket, nullptr);
  std::unique_ptr<test::EchoFlooder> flooder;
  {
    NetNamespace::Enter inside(space.ns);
    flooder = std::make_unique<test::EchoFlooder>(0xF100, 64512, true);
  }
  ASSERT_TRUE(flooder->Ok());
  while (flooder->Sent() < 100) std::this_thread::yield();
  const HostAddress loopback = ParseNumericAddress("::1");
  int failures = 0;
  for (int i = 0; i < 60; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const auto payload = Payload(1024 + (i % 8) * 1024, static_cast<uint8_t>(i));
    const Result r = Send(*socket, loopback, payload, 1000);
    if (r.status != IpStatus::Success || r.data != payload) ++failures;
  }
  EXPECT_EQ(failures, 0) << flooder->Sent() << " foreign echoes meanwhile";
}

TEST_P(Echo6KindTest, ConcurrentEchoersNeverTakeEachOthersReplies) {
  KindNamespace space(GetParam());
  if (!space.ok) GTEST_SKIP() << "no IPv6 in a network namespace here";
  std::unique_ptr<EchoSocket> sockets[2] = {OpenWithV6(space), OpenWithV6(space)};
  ASSERT_TRUE(sockets[0] && sockets[1]);
  auto run = [&](int which) {
    int mismatches = 0;
    for (int i = 0; i < 150; ++i) {
      const auto payload = Payload(200 + which * 300, static_cast<uint8_t>(i * 2 + which));
      const Result r = Send(*sockets[which], kUla, payload, 2000);
      if (r.status != IpStatus::Success || r.data != payload) ++mismatches;
    }
    return mismatches;
  };
  auto other = std::async(std::launch::async, run, 1);
  EXPECT_EQ(run(0), 0);
  EXPECT_EQ(other.get(), 0);
}

TEST_P(Echo6KindTest, ALateReplyToAnEarlierEchoIsNotTakenForTheNext) {
  KindNamespace space(GetParam());
  if (!space.ok) GTEST_SKIP() << "no IPv6 in a network namespace here";
  if (!space.ns.Run("tc qdisc add dev lo root tbf rate 1mbit burst 40k latency 5s")) {
    GTEST_SKIP() << "the kernel offers no token-bucket qdisc (tbf)";
  }
  auto socket = OpenWithV6(space);
  ASSERT_NE(socket, nullptr);
  EXPECT_EQ(Send(*socket, kUla, Payload(32768, 1), 50).status, IpStatus::TimedOut);
  const auto second = Payload(100, 2);
  const Result r = Send(*socket, kUla, second, 5000);
  ASSERT_EQ(r.status, IpStatus::Success);
  EXPECT_EQ(r.data, second);
}

INSTANTIATE_TEST_SUITE_P(SocketKinds, Echo6KindTest, ::testing::Values("datagram", "raw"),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace tw
