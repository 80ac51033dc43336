#include "platform/linux/IcmpPacket.h"

#include <linux/icmp.h>
#include <netinet/icmp6.h>

#include <cerrno>
#include <cstring>

#include "platform/Echo.h"

namespace tw {

namespace {

constexpr int kIcmp6RejectRoute = 6;  // "reject route to destination"

// One's complement sum of `size` bytes in the machine's byte order (the sum
// is order-independent as long as the result is stored the same way).
uint64_t AddWords(uint64_t sum, const uint8_t* data, size_t size) {
  size_t i = 0;
  for (; i + 8 <= size; i += 8) {
    uint64_t word;
    std::memcpy(&word, data + i, 8);
    sum += (word & 0xFFFFFFFFu) + (word >> 32);
  }
  for (; i + 4 <= size; i += 4) {
    uint32_t word;
    std::memcpy(&word, data + i, 4);
    sum += word;
  }
  if (i == size) return sum;
  uint8_t tail[4] = {0, 0, 0, 0};
  std::memcpy(tail, data + i, size - i);
  uint32_t word;
  std::memcpy(&word, tail, 4);
  return sum + word;
}

uint16_t FoldChecksum(uint64_t sum) {
  while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<uint16_t>(~sum);
}

}  // namespace

uint16_t EchoChecksum(const uint8_t* header, const uint8_t* data, size_t size) {
  // The header has an even length, so the data's words line up with it.
  return FoldChecksum(AddWords(AddWords(0, header, kIcmpHeader), data, size));
}

int32_t StatusOfIcmpError(int type, int code) {
  switch (type) {
    case ICMP_DEST_UNREACH:
      switch (code) {
        case ICMP_NET_UNREACH:
        case ICMP_NET_UNKNOWN:
        case ICMP_NET_ANO:
        case ICMP_NET_UNR_TOS:
          return IpStatus::DestNetUnreachable;
        case ICMP_PROT_UNREACH:
          return IpStatus::DestProtocolUnreachable;
        case ICMP_PORT_UNREACH:
          return IpStatus::DestPortUnreachable;
        case ICMP_FRAG_NEEDED:
          return IpStatus::PacketTooBig;
        case ICMP_SR_FAILED:
          return IpStatus::BadRoute;
        default:
          return IpStatus::DestHostUnreachable;
      }
    case ICMP_TIME_EXCEEDED:
      return code == ICMP_EXC_FRAGTIME ? IpStatus::TtlExpiredReassembly
                                       : IpStatus::TtlExpiredTransit;
    case ICMP_PARAMETERPROB:
      return IpStatus::ParameterProblem;
    case ICMP_SOURCE_QUENCH:
      return IpStatus::SourceQuench;
    default:
      return IpStatus::GeneralFailure;
  }
}

int32_t StatusOfIcmp6Error(int type, int code) {
  switch (type) {
    case ICMP6_DST_UNREACH:
      switch (code) {
        case ICMP6_DST_UNREACH_NOROUTE:
          return IpStatus::DestNetUnreachable;
        case ICMP6_DST_UNREACH_ADMIN:
          return IpStatus::DestProtocolUnreachable;  // "prohibited", as Windows reports it
        case ICMP6_DST_UNREACH_NOPORT:
          return IpStatus::DestPortUnreachable;
        case kIcmp6RejectRoute:
          return IpStatus::BadRoute;
        default:
          return IpStatus::DestHostUnreachable;
      }
    case ICMP6_PACKET_TOO_BIG:
      return IpStatus::PacketTooBig;
    case ICMP6_TIME_EXCEEDED:
      return code == ICMP6_TIME_EXCEED_REASSEMBLY ? IpStatus::TtlExpiredReassembly
                                                  : IpStatus::TtlExpiredTransit;
    case ICMP6_PARAM_PROB:
      return IpStatus::ParameterProblem;
    default:
      return IpStatus::GeneralFailure;
  }
}

int32_t StatusOfErrno(int error) {
  switch (error) {
    case ENETUNREACH:
    case ENETDOWN:
      return IpStatus::DestNetUnreachable;
    case EHOSTUNREACH:
    case EHOSTDOWN:
      return IpStatus::DestHostUnreachable;
    case EMSGSIZE:
      return IpStatus::PacketTooBig;
    case ENOBUFS:
    case ENOMEM:
      return IpStatus::NoResources;
    case EACCES:
    case EADDRNOTAVAIL:
    case EINVAL:
      return IpStatus::BadDestination;
    default:
      return IpStatus::GeneralFailure;
  }
}

}  // namespace tw
