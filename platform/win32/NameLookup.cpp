// Host name lookup through WinSock. getaddrinfo cannot be cut short, so the
// caller waits through the abandonable helper threads of NewDetachedLookup
// (platform/NameLookup.cpp); its failures are WinSock codes already.
#include <winsock2.h>
#include <ws2tcpip.h>

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

LookupOutcome SystemResolve(const std::string& name) {
  if (!WinSockStarted()) return {WsaCode::NetworkDown, 0};
  addrinfo hints{};
  hints.ai_family = AF_INET;
  addrinfo* found = nullptr;
  const int rc = getaddrinfo(name.c_str(), nullptr, &hints, &found);
  if (rc != 0) return {WinSockCodeOf(rc), 0};
  LookupOutcome outcome{WsaCode::NoData, 0};
  for (const addrinfo* a = found; a != nullptr; a = a->ai_next) {
    if (a->ai_family != AF_INET) continue;
    outcome = {0, reinterpret_cast<const sockaddr_in*>(a->ai_addr)->sin_addr.s_addr};
    break;
  }
  freeaddrinfo(found);
  return outcome;
}

uint32_t ParseDottedAddress(const std::string& text) {
  return inet_addr(text.c_str());
}

}  // namespace tw
