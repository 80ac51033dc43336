#include "platform/NameLookup.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "support/NetNamespace.h"

namespace tw {
namespace {

using Clock = std::chrono::steady_clock;

TEST(NameLookupTest, NumericAddressesAreReadWithoutLookup) {
  const struct {
    const char* text;
    const char* expected;  // AddressText of the result; empty: not an address
  } cases[] = {
      {"10.1.2.3", "10.1.2.3"},
      {"127.0.0.1", "127.0.0.1"},
      {"255.255.255.255", ""},  // reads as "not an address"
      {"localhost", ""},
      {"", ""},
      {"1.2.3.4.5", ""},
      {"::1", "::1"},
      {"2001:DB8:0:0:0:0:0:1", "2001:db8::1"},
      {"[fd00::7]", "fd00::7"},
      {"fd00::7]", ""},
      {"fd00:::7", ""},
      {"::ffff:10.1.2.3", "::ffff:10.1.2.3"},
      {"fe80::1%lo", "fe80::1%lo"},
  };
  for (const auto& c : cases) {
    const HostAddress address = ParseNumericAddress(c.text);
    EXPECT_EQ(AddressText(address), c.expected) << c.text;
    EXPECT_EQ(address.Resolved(), *c.expected != 0) << c.text;
  }
  EXPECT_EQ(ParseNumericAddress("10.1.2.3").V4(), inet_addr("10.1.2.3"));
  EXPECT_EQ(ParseNumericAddress("::1").family, IpFamily::V6);
}

TEST(NameLookupTest, LocalhostResolvesThroughTheSystem) {
  auto lookup = NewDetachedLookup(SystemResolve);
  const LookupOutcome found = lookup->Resolve("localhost");
  EXPECT_EQ(found.error, 0);
  EXPECT_EQ(found.address, ParseNumericAddress("127.0.0.1"));
}

TEST(NameLookupTest, UnknownNameGivesALookupErrorInANetworkOfItsOwn) {
  if (!test::NetNamespace::Available()) GTEST_SKIP() << test::NetNamespace::SkipReason();
  // Inside a namespace with only a loopback the resolver reaches nobody.
  test::NetNamespace ns;
  test::NetNamespace::Enter inside(ns);
  ASSERT_TRUE(inside.Ok());
  auto lookup = NewDetachedLookup(SystemResolve);
  const LookupOutcome found = lookup->Resolve("no-such-host.tarnwick.invalid");
  EXPECT_TRUE(found.error == WsaCode::HostNotFound || found.error == WsaCode::TryAgain ||
              found.error == WsaCode::NoData)
      << found.error;
}

TEST(NameLookupTest, CancelReleasesTheCallerOfAHangingLookup) {
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  auto lookup = NewDetachedLookup([released](const std::string&) {
    released.wait();
    return LookupOutcome{0, ParseNumericAddress("10.0.0.1")};
  });
  const auto start = Clock::now();
  auto waiting = std::async(std::launch::async, [&] { return lookup->Resolve("hangs"); });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  lookup->Cancel();
  EXPECT_EQ(waiting.get().error, WsaCode::Cancelled);
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1000));
  EXPECT_EQ(lookup->Resolve("later").error, WsaCode::Cancelled);
  release.set_value();  // the helper ends on its own
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

TEST(NameLookupTest, AStartedLookupIsCollectedOnceWithoutWaitingForIt) {
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  auto lookup = NewDetachedLookup([released](const std::string& name) {
    released.wait();
    return LookupOutcome{0, ParseNumericAddress(name == "six" ? "fd00::6" : "10.0.0.4")};
  });
  EXPECT_FALSE(lookup->Collect().has_value()) << "nothing started";
  const auto start = Clock::now();
  lookup->Start("six");
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(500));
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_FALSE(lookup->Collect().has_value()) << "still running";
  release.set_value();
  std::optional<LookupOutcome> answer;
  for (int i = 0; i < 1000 && !answer; ++i) {
    answer = lookup->Collect();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ASSERT_TRUE(answer.has_value());
  EXPECT_EQ(AddressText(answer->address), "fd00::6");
  EXPECT_FALSE(lookup->Collect().has_value()) << "handed out once";
}

}  // namespace
}  // namespace tw
