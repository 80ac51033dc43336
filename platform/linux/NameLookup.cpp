#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

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

LookupOutcome SystemResolve(const std::string& name) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_RAW;
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
