#include "platform/HostAddress.h"

#include <arpa/inet.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstring>

namespace tw {

namespace {

// An IPv6 text, with a zone ("fe80::1%eth0") where one is given.
HostAddress ParseV6(const std::string& text) {
  addrinfo hints{};
  hints.ai_family = AF_INET6;
  hints.ai_socktype = SOCK_RAW;
  hints.ai_flags = AI_NUMERICHOST;
  addrinfo* found = nullptr;
  if (getaddrinfo(text.c_str(), nullptr, &hints, &found) != 0) return {};
  HostAddress address;
  if (found != nullptr && found->ai_family == AF_INET6) {
    const auto* in6 = reinterpret_cast<const sockaddr_in6*>(found->ai_addr);
    uint8_t bytes[16];
    std::memcpy(bytes, in6->sin6_addr.s6_addr, 16);
    address = HostAddress::FromV6(bytes, in6->sin6_scope_id);
  }
  freeaddrinfo(found);
  return address;
}

}  // namespace

HostAddress ParseNumericAddress(const std::string& text) {
  if (text.size() > 2 && text.front() == '[' && text.back() == ']') {
    return ParseV6(text.substr(1, text.size() - 2));
  }
  if (text.find(':') != std::string::npos) return ParseV6(text);
  const in_addr_t dotted = inet_addr(text.c_str());
  if (dotted == INADDR_NONE) return {};
  return HostAddress::FromV4(dotted);
}

std::string AddressText(const HostAddress& address) {
  char text[INET6_ADDRSTRLEN + IF_NAMESIZE + 2] = "";
  if (address.family == IpFamily::V4) {
    inet_ntop(AF_INET, address.bytes.data(), text, sizeof text);
    return text;
  }
  if (address.family != IpFamily::V6) return "";
  inet_ntop(AF_INET6, address.bytes.data(), text, sizeof text);
  std::string result = text;
  char zone[IF_NAMESIZE] = "";
  if (address.scopeId != 0) {
    result += '%';
    result += if_indextoname(address.scopeId, zone) != nullptr ? std::string(zone)
                                                               : std::to_string(address.scopeId);
  }
  return result;
}

}  // namespace tw
