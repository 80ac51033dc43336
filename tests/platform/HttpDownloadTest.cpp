// The system's web downloads against the test web server on 127.0.0.1: the
// body cut at the limit, and a hanging download ended from another thread or
// by the caller's stop wish.
#include "platform/HttpDownload.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "support/WebServer.h"

namespace tw {
namespace {

using Steady = std::chrono::steady_clock;
using test::WebServer;

#ifndef _WIN32
const bool kNoProxy = [] {
  setenv("no_proxy", "127.0.0.1,localhost", 1);
  setenv("NO_PROXY", "127.0.0.1,localhost", 1);
  return true;
}();
#endif

class HttpDownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!WebServer::Available()) GTEST_SKIP() << "needs the test's web server (python3)";
    ASSERT_TRUE(server_.Ok());
    session_ = SystemHttpDownload().Open();
    ASSERT_NE(session_, nullptr);
  }
  HttpOutcome Get(const std::string& path, int64_t maxBytes, int32_t timeoutMs = 5000) {
    HttpRequest request;
    request.url = server_.Url(path);
    request.maxBytes = maxBytes;
    request.timeoutMs = timeoutMs;
    return session_->Download(request);
  }
  WebServer server_{{}};
  std::unique_ptr<HttpSession> session_;
};

TEST_F(HttpDownloadTest, TheBodyIsCutAtTheLimitAndASmallerFileComesWhole) {
  const struct {
    const char* path;
    int64_t limit;
    int64_t bytes;
  } cases[] = {
      {"/bytes/1000000", 300000, 300000},
      {"/bytes/1000000", 0, 1000000},
      {"/bytes/5000", 300000, 5000},
      {"/hop/5/400000", 100000, 100000},
  };
  for (const auto& c : cases) {
    const HttpOutcome outcome = Get(c.path, c.limit);
    EXPECT_EQ(outcome.end, HttpEnd::Done) << c.path;
    EXPECT_EQ(outcome.httpStatus, 200) << c.path;
    EXPECT_EQ(outcome.bodyBytes, c.bytes) << c.path << " " << c.limit;
    EXPECT_GE(outcome.bodyMicros, 0) << c.path;
  }
}

TEST_F(HttpDownloadTest, AHangingDownloadEndsAtOnceWhenCancelledOrNoLongerWanted) {
  std::atomic<bool> wanted{true};
  HttpRequest request;
  request.url = server_.Url("/hang");
  request.timeoutMs = 60000;
  request.stopWanted = [&] { return !wanted.load(); };
  std::thread stopper([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    wanted = false;
  });
  auto start = Steady::now();
  EXPECT_EQ(session_->Download(request).end, HttpEnd::Cancelled);
  EXPECT_LT(Steady::now() - start, std::chrono::milliseconds(1000));
  stopper.join();

  request.stopWanted = nullptr;
  std::thread canceller([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    session_->Cancel();
  });
  start = Steady::now();
  EXPECT_EQ(session_->Download(request).end, HttpEnd::Cancelled);
  EXPECT_LT(Steady::now() - start, std::chrono::milliseconds(1000));
  canceller.join();
  // A cancelled session does not start again.
  EXPECT_EQ(Get("/bytes/1000", 0).end, HttpEnd::Cancelled);
}

}  // namespace
}  // namespace tw
