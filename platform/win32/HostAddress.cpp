#include "platform/HostAddress.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstring>

namespace tw {

namespace {

// An IPv6 text, with a numeric zone ("fe80::1%12") where one is given.
HostAddress ParseV6(const std::string& text) {
  addrinfo hints{};
  hints.ai_family = AF_INET6;
  hints.ai_flags = AI_NUMERICHOST;
  addrinfo* found = nullptr;
  if (getaddrinfo(text.c_str(), nullptr, &hints, &found) != 0) return {};
  HostAddress address;
  if (found != nullptr && found->ai_family == AF_INET6) {
    const auto* in6 = reinterpret_cast<const sockaddr_in6*>(found->ai_addr);
    uint8_t bytes[16];
    std::memcpy(bytes, &in6->sin6_addr, 16);
    address = HostAddress::FromV6(bytes, in6->sin6_scope_id);
  }
  freeaddrinfo(found);
  return address;
}

// WinSock needs starting before getaddrinfo, once per process.
bool WinSockStarted() {
  static const bool started = [] {
    WSADATA data{};
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return started;
}

}  // namespace

HostAddress ParseNumericAddress(const std::string& text) {
  if (text.size() > 2 && text.front() == '[' && text.back() == ']') {
    return WinSockStarted() ? ParseV6(text.substr(1, text.size() - 2)) : HostAddress{};
  }
  if (text.find(':') != std::string::npos) return WinSockStarted() ? ParseV6(text) : HostAddress{};
  const unsigned long dotted = inet_addr(text.c_str());
  if (dotted == INADDR_NONE) return {};
  return HostAddress::FromV4(static_cast<uint32_t>(dotted));
}

std::string AddressText(const HostAddress& address) {
  char text[INET6_ADDRSTRLEN + 1] = "";
  if (address.family == IpFamily::V4) {
    inet_ntop(AF_INET, address.bytes.data(), text, sizeof text);
    return text;
  }
  if (address.family != IpFamily::V6) return "";
  inet_ntop(AF_INET6, address.bytes.data(), text, sizeof text);
  std::string result = text;
  if (address.scopeId != 0) result += "%" + std::to_string(address.scopeId);
  return result;
}

}  // namespace tw
