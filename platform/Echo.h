// ICMP echo: sends one echo request with a given data block, time-to-live
// and timeout, and returns the result code and the reply's fixed part and
// data. Result codes are the IP status codes of the ICMP message table
// (0 success, 11000 + n otherwise), whatever the system reports underneath.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/HostAddress.h"

namespace tw {

// IP status codes of the echo results.
namespace IpStatus {
constexpr int32_t Success = 0;
constexpr int32_t BufferTooSmall = 11001;
constexpr int32_t DestNetUnreachable = 11002;
constexpr int32_t DestHostUnreachable = 11003;
constexpr int32_t DestProtocolUnreachable = 11004;
constexpr int32_t DestPortUnreachable = 11005;
constexpr int32_t NoResources = 11006;
constexpr int32_t BadOption = 11007;
constexpr int32_t HardwareError = 11008;
constexpr int32_t PacketTooBig = 11009;
constexpr int32_t TimedOut = 11010;
constexpr int32_t BadRoute = 11012;
constexpr int32_t TtlExpiredTransit = 11013;
constexpr int32_t TtlExpiredReassembly = 11014;
constexpr int32_t ParameterProblem = 11015;
constexpr int32_t SourceQuench = 11016;
constexpr int32_t BadDestination = 11018;
constexpr int32_t GeneralFailure = 11050;
}  // namespace IpStatus

// Options of the echo request.
struct IcmpOptions {
  uint8_t ttl = 32;
  uint8_t tos = 0;
  uint8_t flags = 0;
};

// The fixed part of an echo reply.
struct IcmpReply {
  HostAddress address;       // replying address
  uint32_t status = 0;       // IP status of the reply
  uint32_t roundTripMs = 0;  // milliseconds from the send to the reply's arrival
  uint16_t dataSize = 0;     // bytes of echoed data
  IcmpOptions options;       // of the reply
  // Nanoseconds from the start of preparing the request to the reply's
  // arrival as the system stamped it on receipt: the preparation and the
  // network's round trip, without the wait for the caller's thread to be
  // woken and scheduled. 0 when the system gave no usable stamp. The socket
  // counts from the call of SendEcho; a caller that prepared the data
  // before the call adds that time.
  uint64_t preparedToArrivalNs = 0;
};

// One ICMP endpoint of one measurement thread (the system's echo handle),
// for IPv4 (ICMP) and IPv6 (ICMPv6) alike.
class EchoSocket {
 public:
  virtual ~EchoSocket() = default;
  // Sends `size` bytes of `data` to `address` (ICMPv6 for an IPv6 address)
  // and waits up to `timeoutMs` for the matching reply. Returns the IP status:
  // 0 when a reply to this very request came back; then `reply` holds its
  // fixed part and `replyData` (room for `replyCapacity` bytes) its data.
  // Replies to other requests (other programs, earlier timed-out echoes)
  // are never taken for this one. ICMPv6 errors give the status of their
  // ICMP counterpart. NoResources when the system refuses an ICMPv6 socket.
  virtual int32_t SendEcho(const HostAddress& address, const uint8_t* data, uint16_t size,
                           const IcmpOptions& options, uint32_t timeoutMs, IcmpReply& reply,
                           uint8_t* replyData, uint32_t replyCapacity) = 0;
  // Any thread: cuts a waiting SendEcho short (it returns GeneralFailure)
  // and makes every later one return at once.
  virtual void Cancel() = 0;
  // "datagram" or "raw": which kind of socket serves the echoes of a family
  // (an IPv6 socket is opened with the first IPv6 echo; empty before).
  virtual std::string Kind(IpFamily family) const = 0;
};

// The system's ICMP echo facility.
class Echo {
 public:
  virtual ~Echo() = default;
  // Opens an endpoint for the calling thread's network; nullptr when the
  // system refuses every kind of ICMP socket (no permission).
  virtual std::unique_ptr<EchoSocket> Open() = 0;
};

// The echo facility of this system.
Echo& SystemEcho();

// The start-up check: empty when echo requests can be sent, otherwise the
// text of the error box, which tells why and how to allow them (lines
// separated by "\n").
std::string EchoBindingMessage(Echo& echo);

}  // namespace tw
