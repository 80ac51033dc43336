// The ICMP helper API as the echo test uses it, on the loopback only.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/Echo.h"
#include "platform/HostAddress.h"
#include "platform/NameLookup.h"

namespace tw {
namespace {

const HostAddress kLoopback = ParseNumericAddress("127.0.0.1");

TEST(Win32Echo, LoopbackEchoesOurMarkerBack) {
  auto socket = SystemEcho().Open();
  ASSERT_NE(socket, nullptr) << EchoBindingMessage(SystemEcho());
  EXPECT_EQ(EchoBindingMessage(SystemEcho()), "");
  for (uint16_t size : {uint16_t{32}, uint16_t{1024}, uint16_t{8192}}) {
    SCOPED_TRACE(size);
    std::vector<uint8_t> data(size);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7 + size);
    std::memcpy(data.data(), "TARNWICK", 8);
    std::vector<uint8_t> back(size + 16, 0);
    IcmpReply reply;
    ASSERT_EQ(socket->SendEcho(kLoopback, data.data(), size, IcmpOptions{}, 2000, reply,
                               back.data(), static_cast<uint32_t>(back.size())),
              IpStatus::Success);
    EXPECT_EQ(reply.address, kLoopback);
    EXPECT_EQ(reply.status, 0u);
    EXPECT_EQ(reply.dataSize, size);
    EXPECT_EQ(std::vector<uint8_t>(back.begin(), back.begin() + size), data);
  }
}

TEST(Win32Echo, ReplyDataNeverOverrunsTheCallersRoom) {
  auto socket = SystemEcho().Open();
  ASSERT_NE(socket, nullptr);
  std::vector<uint8_t> data(256, 0x5a);
  std::vector<uint8_t> back(64 + 8, 0xee);
  IcmpReply reply;
  ASSERT_EQ(
      socket->SendEcho(kLoopback, data.data(), 256, IcmpOptions{}, 2000, reply, back.data(), 64),
      IpStatus::Success);
  EXPECT_EQ(back[63], 0x5a);
  EXPECT_EQ(back[64], 0xee);
}

TEST(Win32Echo, IPv6LoopbackEchoesOurMarkerBackThroughTheICMPv6Calls) {
  auto socket = SystemEcho().Open();
  ASSERT_NE(socket, nullptr);
  EXPECT_EQ(socket->Kind(IpFamily::V6), "") << "opened with the first IPv6 echo only";
  const HostAddress loopback6 = ParseNumericAddress("::1");
  std::vector<uint8_t> data(1024);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 13);
  std::memcpy(data.data(), "TARNWICK", 8);
  std::vector<uint8_t> back(64 + 8, 0xee);
  IcmpReply reply;
  const int32_t status =
      socket->SendEcho(loopback6, data.data(), 1024, IcmpOptions{}, 2000, reply, back.data(), 64);
  if (status == IpStatus::NoResources) {
    EXPECT_EQ(socket->Kind(IpFamily::V6), "");
    GTEST_SKIP() << "this system refuses an ICMPv6 handle (Icmp6CreateFile); IPv6 hosts get "
                    "the status of a refused socket";
  }
  ASSERT_EQ(status, IpStatus::Success);
  EXPECT_EQ(socket->Kind(IpFamily::V6), "icmp6");
  EXPECT_EQ(reply.address, loopback6);
  EXPECT_EQ(reply.dataSize, 1024u);
  EXPECT_EQ(std::vector<uint8_t>(back.begin(), back.begin() + 64),
            std::vector<uint8_t>(data.begin(), data.begin() + 64));
  EXPECT_EQ(back[64], 0xee) << "never past the caller's room";
}

TEST(Win32Echo, CancelMakesEveryLaterEchoReturnAtOnce) {
  auto socket = SystemEcho().Open();
  ASSERT_NE(socket, nullptr);
  socket->Cancel();
  uint8_t data[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  uint8_t back[16];
  IcmpReply reply;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(socket->SendEcho(kLoopback, data, 8, IcmpOptions{}, 240000, reply, back, 16),
            IpStatus::GeneralFailure);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

TEST(Win32NameLookup, DottedAndLocalNamesResolve) {
  EXPECT_EQ(SystemResolve("127.0.0.1").address, kLoopback);
  EXPECT_EQ(SystemResolve("localhost").error, 0);
  EXPECT_FALSE(ParseNumericAddress("not an address").Resolved());
  EXPECT_EQ(AddressText(ParseNumericAddress("[::1]")), "::1");
}

TEST(Win32NameLookup, CancelReleasesAWaitingLookupAtOnce) {
  auto lookup = NewDetachedLookup([](const std::string&) {
    std::this_thread::sleep_for(std::chrono::seconds(3));
    return LookupOutcome{0, HostAddress::FromV4(1)};
  });
  std::thread canceller([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    lookup->Cancel();
  });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(lookup->Resolve("slow").error, WsaCode::Cancelled);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  canceller.join();
}

}  // namespace
}  // namespace tw
