#include "support/LoopbackHttp.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace tw::test {

namespace {

// A connected socket to host:port, or -1.
int Connect(const std::string& host, int port) {
  const bool v6 = host.find(':') != std::string::npos;
  const int fd = socket(v6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  sockaddr_storage address{};
  socklen_t length = 0;
  if (v6) {
    auto* in6 = reinterpret_cast<sockaddr_in6*>(&address);
    in6->sin6_family = AF_INET6;
    in6->sin6_port = htons(static_cast<uint16_t>(port));
    inet_pton(AF_INET6, host.c_str(), &in6->sin6_addr);
    length = sizeof *in6;
  } else {
    auto* in4 = reinterpret_cast<sockaddr_in*>(&address);
    in4->sin_family = AF_INET;
    in4->sin_port = htons(static_cast<uint16_t>(port));
    inet_pton(AF_INET, host.c_str(), &in4->sin_addr);
    length = sizeof *in4;
  }
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), length) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

// Whether `answer` holds a whole reply: headers and as many body bytes as
// Content-Length says (without it, the reply ends when the server closes).
bool Complete(const std::string& answer) {
  const size_t end = answer.find("\r\n\r\n");
  if (end == std::string::npos) return false;
  std::string headers = answer.substr(0, end + 2);
  for (char& c : headers) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const size_t field = headers.find("\r\ncontent-length:");
  if (field == std::string::npos) return false;
  const size_t length = std::strtoul(headers.c_str() + field + 17, nullptr, 10);
  return answer.size() >= end + 4 + length;
}

HttpReply Parse(const std::string& answer) {
  HttpReply reply;
  const size_t end = answer.find("\r\n\r\n");
  if (answer.rfind("HTTP/1.", 0) != 0 || end == std::string::npos || answer.size() < 12)
    return reply;
  reply.status = std::atoi(answer.c_str() + 9);
  reply.headers = answer.substr(0, end + 2);
  reply.body = answer.substr(end + 4);
  return reply;
}

}  // namespace

HttpReply LoopbackHttp(const std::string& host, int port, const std::string& method,
                       const std::string& target, int timeoutMs) {
  const int fd = Connect(host, port);
  if (fd < 0) return {};
  const std::string request =
      method + " " + target + " HTTP/1.0\r\nHost: " + host + "\r\n" + "Connection: close\r\n\r\n";
  std::string answer;
  if (send(fd, request.data(), request.size(), MSG_NOSIGNAL) ==
      static_cast<ssize_t>(request.size())) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    char buffer[16384];
    for (;;) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      pollfd p{fd, POLLIN, 0};
      if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) != 1) break;
      const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
      if (got <= 0) break;
      answer.append(buffer, static_cast<size_t>(got));
      const bool headersOnly = method == "HEAD" && answer.find("\r\n\r\n") != std::string::npos;
      if (headersOnly || Complete(answer)) break;
    }
  }
  close(fd);
  return Parse(answer);
}

int FreeLoopbackPort() {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  int port = 0;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
    port = ntohs(address.sin_port);
  close(fd);
  return port;
}

std::string PercentEncoded(const std::string& text) {
  static const char* const kHex = "0123456789ABCDEF";
  std::string out;
  for (const unsigned char c : text) {
    if (std::isalnum(c) || std::strchr("-._~", c) != nullptr) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

}  // namespace tw::test
