#include "engine/Messages.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

TEST(MessagesTest, TablesPickTheirOwnTextsAndLeaveOthersEmpty) {
  const struct {
    int32_t code;
    const char* icmp;
    const char* winsock;
  } cases[] = {
      {0, "Success", ""},
      {11000, "", ""},
      {11001, "Buffer too small", "Host not found"},
      {11002, "Dst.unreachable", "Host not found or server failure"},
      {11003, "Dst.unreachable", "Non-recoverable: refused or not implemented"},
      {11004, "Dst.unreachable", "Not found"},
      {11005, "Dst.unreachable", ""},
      {11008, "Hrdwr.Error", ""},
      {11010, "Timeout", ""},
      {11013, "TTL expired in transit", ""},
      {11022, "Unload", ""},
      {11023, "", ""},
      {11050, "General failure", ""},
      {10004, "", "Blocking call cancelled"},
      {10060, "", "Timeout"},
      {10093, "", "WSA Startup not initialized"},
      {1, "", ""},
      {-1, "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IcmpMessage(c.code), c.icmp) << c.code;
    EXPECT_EQ(WinSockMessage(c.code), c.winsock) << c.code;
  }
}

TEST(MessagesTest, DownloadsThatGaveNoSpeedNameTheirReason) {
  const struct {
    HttpEnd end;
    int32_t status;
    const char* text;
  } cases[] = {
      {HttpEnd::Done, 200, ""},
      {HttpEnd::Cancelled, 0, ""},
      {HttpEnd::HttpError, 404, "HTTP 404"},
      {HttpEnd::HttpError, 503, "HTTP 503"},
      {HttpEnd::TlsUntrusted, 0, "TLS: certificate not trusted"},
      {HttpEnd::TlsFailed, 0, "TLS: handshake failed"},
      {HttpEnd::Timeout, 0, "Timeout"},
      {HttpEnd::TooManyRedirects, 302, "Too many redirects"},
      {HttpEnd::HostNotFound, 0, "Host not found"},
      {HttpEnd::CannotConnect, 0, "Connection refused"},
      {HttpEnd::BadAddress, 0, "Not an HTTP or HTTPS address"},
      {HttpEnd::Failed, 0, "Download failed"},
  };
  for (const auto& c : cases) {
    HttpOutcome outcome;
    outcome.end = c.end;
    outcome.httpStatus = c.status;
    EXPECT_EQ(WebMessage(outcome), c.text) << static_cast<int>(c.end);
  }
}

}  // namespace
}  // namespace tw
