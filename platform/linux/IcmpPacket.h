// The pieces of an ICMP echo that do not depend on the socket: the request's
// checksum and the mapping of ICMP and ICMPv6 errors and errno values onto the IP
// status codes of the echo results.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tw {

constexpr size_t kIcmpHeader = 8;

// The checksum of an echo request with the 8-byte `header` (checksum field
// 0) and `size` bytes of `data`, in the byte order it is stored in.
uint16_t EchoChecksum(const uint8_t* header, const uint8_t* data, size_t size);

// A 16-bit field in network byte order.
inline uint16_t Get16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] << 8 | p[1]);
}

// The IP status of an ICMP error message of `type` and `code`.
int32_t StatusOfIcmpError(int type, int code);

// The IP status of an ICMPv6 error message: that of its ICMP counterpart.
int32_t StatusOfIcmp6Error(int type, int code);

// The IP status of a local send or receive failure.
int32_t StatusOfErrno(int error);

}  // namespace tw
