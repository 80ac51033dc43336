#include "platform/HostAddress.h"

#include <cstring>

namespace tw {

uint32_t HostAddress::V4() const {
  uint32_t word = 0;
  std::memcpy(&word, bytes.data(), sizeof word);
  return word;
}

HostAddress HostAddress::FromV4(uint32_t networkOrder) {
  HostAddress address;
  address.family = IpFamily::V4;
  std::memcpy(address.bytes.data(), &networkOrder, sizeof networkOrder);
  return address;
}

HostAddress HostAddress::FromV6(const uint8_t (&bytes16)[16], uint32_t scopeId) {
  HostAddress address;
  address.family = IpFamily::V6;
  std::memcpy(address.bytes.data(), bytes16, 16);
  address.scopeId = scopeId;
  return address;
}

}  // namespace tw
