// Host name lookup through WinSock. getaddrinfo cannot be cut short, so the
// caller waits through the abandonable helper threads of NewDetachedLookup
// (platform/NameLookup.cpp); its failures are WinSock codes already.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstring>

#include "platform/NameLookup.h"

namespace tw {

namespace {

// WinSock needs starting once per process before its first lookup.
bool WinSockStarted() {
  static const bool started = [] {
    WSADATA data{};
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return started;
}

// getaddrinfo's failures as the WinSock conditions the message table knows.
int32_t WinSockCodeOf(int code) {
  switch (code) {
    case WSAHOST_NOT_FOUND:
      return WsaCode::HostNotFound;
    case WSATRY_AGAIN:
      return WsaCode::TryAgain;
    case WSANO_DATA:
      return WsaCode::NoData;
    case WSA_NOT_ENOUGH_MEMORY:
    case WSAENOBUFS:
      return WsaCode::NoBufferSpace;
    case WSAENETDOWN:
    case WSANOTINITIALISED:
      return WsaCode::NetworkDown;
    default:
      return WsaCode::NoRecovery;
  }
}

}  // namespace

// A name with an IPv4 address is measured over IPv4; only a name with IPv6
// addresses alone gives an IPv6 one.
LookupOutcome SystemResolve(const std::string& name) {
  if (!WinSockStarted()) return {WsaCode::NetworkDown, {}};
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  addrinfo* found = nullptr;
  const int rc = getaddrinfo(name.c_str(), nullptr, &hints, &found);
  if (rc != 0) return {WinSockCodeOf(rc), {}};
  LookupOutcome outcome{WsaCode::NoData, {}};
  for (const addrinfo* a = found; a != nullptr; a = a->ai_next) {
    if (a->ai_family == AF_INET) {
      outcome = {0, HostAddress::FromV4(static_cast<uint32_t>(
                        reinterpret_cast<const sockaddr_in*>(a->ai_addr)->sin_addr.s_addr))};
      break;
    }
    if (a->ai_family == AF_INET6 && !outcome.address.Resolved()) {
      const auto* in6 = reinterpret_cast<const sockaddr_in6*>(a->ai_addr);
      uint8_t bytes[16];
      std::memcpy(bytes, &in6->sin6_addr, 16);
      outcome = {0, HostAddress::FromV6(bytes, in6->sin6_scope_id)};
    }
  }
  freeaddrinfo(found);
  return outcome;
}

}  // namespace tw
