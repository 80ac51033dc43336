// A host's IP address, IPv4 or IPv6, as the echo and the name lookup pass it
// around: a small value that copies without allocating, so that a thread can
// hand it over under a lock.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tw {

enum class IpFamily : uint8_t { None, V4, V6 };

struct HostAddress {
  IpFamily family = IpFamily::None;  // None: not resolved
  // IPv4: the first 4 bytes; IPv6: all 16. Network byte order.
  std::array<uint8_t, 16> bytes{};
  uint32_t scopeId = 0;  // IPv6 link-local addresses: the interface

  bool Resolved() const { return family != IpFamily::None; }
  // IPv4 only: the address as one word in network byte order.
  uint32_t V4() const;
  static HostAddress FromV4(uint32_t networkOrder);
  static HostAddress FromV6(const uint8_t (&bytes16)[16], uint32_t scopeId = 0);

  bool operator==(const HostAddress& other) const {
    return family == other.family && bytes == other.bytes && scopeId == other.scopeId;
  }
  bool operator!=(const HostAddress& other) const { return !(*this == other); }
};

// An address written as a numeric text ("10.1.2.3", "2001:db8::1", also in
// brackets "[2001:db8::1]" as in URLs); an unresolved address when the text
// is not one. "255.255.255.255" reads as "not an address" (the all-ones value
// once meant "not resolved") and goes to the name lookup.
HostAddress ParseNumericAddress(const std::string& text);

// The address as text: dotted decimal, or the short IPv6 form ("fd00::1");
// empty when not resolved. Never depends on the locale.
std::string AddressText(const HostAddress& address);

}  // namespace tw
