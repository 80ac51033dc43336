#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstring>

#include "platform/NameLookup.h"

namespace tw {

namespace {

// getaddrinfo's failures as the WinSock conditions the message table knows.
int32_t WinSockCodeOf(int eai) {
  switch (eai) {
    case EAI_NONAME:
      return WsaCode::HostNotFound;
    case EAI_AGAIN:
      return WsaCode::TryAgain;
#ifdef EAI_NODATA
    case EAI_NODATA:
#endif
#ifdef EAI_ADDRFAMILY
    case EAI_ADDRFAMILY:
#endif
      return WsaCode::NoData;
    case EAI_MEMORY:
      return WsaCode::NoBufferSpace;
    case EAI_SYSTEM:
      return WsaCode::NetworkDown;
    default:
      return WsaCode::NoRecovery;
  }
}

}  // namespace

// A name with an IPv4 address keeps being measured over IPv4, as it always
// was; only a name with IPv6 addresses alone is measured over IPv6.
LookupOutcome SystemResolve(const std::string& name) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_RAW;
  addrinfo* found = nullptr;
  const int rc = getaddrinfo(name.c_str(), nullptr, &hints, &found);
  if (rc != 0) return {WinSockCodeOf(rc), {}};
  LookupOutcome outcome{WsaCode::NoData, {}};
  for (const addrinfo* a = found; a != nullptr; a = a->ai_next) {
    if (a->ai_family == AF_INET) {
      outcome = {0, HostAddress::FromV4(
                        reinterpret_cast<const sockaddr_in*>(a->ai_addr)->sin_addr.s_addr)};
      break;
    }
    if (a->ai_family == AF_INET6 && !outcome.address.Resolved()) {
      const auto* in6 = reinterpret_cast<const sockaddr_in6*>(a->ai_addr);
      uint8_t bytes[16];
      std::memcpy(bytes, in6->sin6_addr.s6_addr, 16);
      outcome = {0, HostAddress::FromV6(bytes, in6->sin6_scope_id)};
    }
  }
  freeaddrinfo(found);
  return outcome;
}

}  // namespace tw
