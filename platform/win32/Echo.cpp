// ICMP echo through the IP helper's ICMP API, which needs no privilege; IPv6
// hosts through its ICMPv6 calls, on a handle opened with the first IPv6
// echo. The request is sent asynchronously (IcmpSendEcho2 with an event), so that the
// wait for its reply can be cut short by a second event that Cancel sets.
// The system matches replies to requests itself: another program's echoes
// and earlier timed-out ones never complete this request.
//
// WinSock's header comes before windows.h, and the ICMP API needs the IP
// helper's types: the order of these blocks matters.
#include <winsock2.h>

#include <windows.h>

#include <iphlpapi.h>

#include <icmpapi.h>

#include <ws2tcpip.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/Echo.h"

namespace tw {

namespace {

// Room for the reply's fixed part, 64 KB of echoed data, the 8 bytes of an
// ICMP error and the I/O status block the system keeps there.
constexpr size_t kReplyBufferSize = sizeof(ICMP_ECHO_REPLY) + 65535 + 8 + 64;

// The replying address of an ICMPv6 reply and the reply, as the system lays
// them out (the address part is packed; the headers at hand lack the reply).
#pragma pack(push, 1)
struct Icmp6Address {
  USHORT port;
  ULONG flowInfo;
  USHORT address[8];
  ULONG scopeId;
};
#pragma pack(pop)
struct Icmp6EchoReply {
  Icmp6Address address;
  ULONG status;
  unsigned int roundTripMs;
};
static_assert(sizeof(Icmp6Address) == 26 && sizeof(Icmp6EchoReply) == 36,
              "the system's ICMPv6 reply layout");

// One request in flight: its reply buffer and completion event. A request
// still in flight when its socket goes away is left to the system (see
// ~Win32EchoSocket): the system writes into this buffer until it completes.
struct Request {
  HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::vector<uint8_t> reply = std::vector<uint8_t>(kReplyBufferSize);
  ~Request() {
    if (done != nullptr) CloseHandle(done);
  }
};

class Win32EchoSocket final : public EchoSocket {
 public:
  explicit Win32EchoSocket(HANDLE icmp)
      : icmp_(icmp), cancel_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

  ~Win32EchoSocket() override {
    // Closing the handle ends its requests; one that has not completed by
    // then keeps its buffer, so the system never writes into freed memory.
    IcmpCloseHandle(icmp_);
    if (icmp6_ != INVALID_HANDLE_VALUE) IcmpCloseHandle(icmp6_);
    if (inFlight_ && WaitForSingleObject(inFlight_->done, 1000) != WAIT_OBJECT_0) {
      inFlight_.release();
    }
    CloseHandle(cancel_);
  }

  // IPv6 hosts where the system refuses an ICMPv6 handle get NoResources,
  // the status of a refused socket.
  int32_t SendEcho(const HostAddress& address, const uint8_t* data, uint16_t size,
                   const IcmpOptions& options, uint32_t timeoutMs, IcmpReply& reply,
                   uint8_t* replyData, uint32_t replyCapacity) override {
    const bool v6 = address.family == IpFamily::V6;
    if (!v6 && address.family != IpFamily::V4) return IpStatus::NoResources;
    if (v6 && !OpenV6()) return IpStatus::NoResources;
    if (cancelled_ || cancel_ == nullptr || !Idle()) return IpStatus::GeneralFailure;
    auto request = std::make_unique<Request>();
    if (request->done == nullptr) return IpStatus::NoResources;
    IP_OPTION_INFORMATION ip{};
    ip.Ttl = options.ttl;
    ip.Tos = options.tos;
    ip.Flags = options.flags;
    const DWORD sent =
        v6 ? Send6(*request, address, data, size, ip, timeoutMs)
           : IcmpSendEcho2(icmp_, request->done, nullptr, nullptr, address.V4(),
                           const_cast<uint8_t*>(data), size, &ip, request->reply.data(),
                           static_cast<DWORD>(request->reply.size()), timeoutMs);
    if (sent == 0 && GetLastError() != ERROR_IO_PENDING) return StatusOf(GetLastError());
    HANDLE waits[] = {request->done, cancel_};
    // The system ends the request at its timeout; the margin covers its
    // timer's granularity.
    const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, timeoutMs + 1000);
    if (woke != WAIT_OBJECT_0) {
      inFlight_ = std::move(request);
      return cancelled_ ? IpStatus::GeneralFailure : IpStatus::TimedOut;
    }
    return v6 ? Parse6(*request, size, reply, replyData, replyCapacity)
              : Parse(*request, reply, replyData, replyCapacity);
  }

  void Cancel() override {
    cancelled_ = true;
    if (cancel_ != nullptr) SetEvent(cancel_);
  }

  std::string Kind(IpFamily family) const override {
    if (family == IpFamily::V4) return "icmp";
    return family == IpFamily::V6 && icmp6_ != INVALID_HANDLE_VALUE ? "icmp6" : "";
  }

 private:
  bool OpenV6() {
    if (icmp6_ == INVALID_HANDLE_VALUE && !v6Refused_) {
      icmp6_ = Icmp6CreateFile();
      v6Refused_ = icmp6_ == INVALID_HANDLE_VALUE;
    }
    return icmp6_ != INVALID_HANDLE_VALUE;
  }

  DWORD Send6(Request& request, const HostAddress& address, const uint8_t* data, uint16_t size,
              IP_OPTION_INFORMATION& ip, uint32_t timeoutMs) {
    sockaddr_in6 source{};
    source.sin6_family = AF_INET6;  // any address: the system chooses
    sockaddr_in6 target{};
    target.sin6_family = AF_INET6;
    std::memcpy(&target.sin6_addr, address.bytes.data(), 16);
    target.sin6_scope_id = address.scopeId;
    return Icmp6SendEcho2(icmp6_, request.done, nullptr, nullptr, &source, &target,
                          const_cast<uint8_t*>(data), size, &ip, request.reply.data(),
                          static_cast<DWORD>(request.reply.size()), timeoutMs);
  }

  // A request that outlived its wait must complete before its buffer is
  // reused.
  bool Idle() {
    if (!inFlight_) return true;
    if (WaitForSingleObject(inFlight_->done, 0) != WAIT_OBJECT_0) return false;
    inFlight_.reset();
    return true;
  }

  static int32_t StatusOf(DWORD error) {
    if (error >= 11000 && error <= 11050) return static_cast<int32_t>(error);
    return error == ERROR_NOT_ENOUGH_MEMORY ? IpStatus::NoResources : IpStatus::GeneralFailure;
  }

  static int32_t Parse(Request& request, IcmpReply& reply, uint8_t* replyData,
                       uint32_t replyCapacity) {
    const DWORD count =
        IcmpParseReplies(request.reply.data(), static_cast<DWORD>(request.reply.size()));
    if (count == 0) return StatusOf(GetLastError());
    const auto* echo = reinterpret_cast<const ICMP_ECHO_REPLY*>(request.reply.data());
    reply = {};
    reply.address = HostAddress::FromV4(static_cast<uint32_t>(echo->Address));
    reply.status = echo->Status;
    reply.roundTripMs = echo->RoundTripTime;
    reply.dataSize = echo->DataSize;
    reply.options.ttl = echo->Options.Ttl;
    reply.options.tos = echo->Options.Tos;
    reply.options.flags = echo->Options.Flags;
    if (echo->Status != IP_SUCCESS) return StatusOf(echo->Status);
    const size_t copied = std::min<size_t>(echo->DataSize, replyCapacity);
    if (copied > 0 && echo->Data != nullptr) std::memcpy(replyData, echo->Data, copied);
    return IpStatus::Success;
  }

  static int32_t Parse6(Request& request, uint16_t sentSize, IcmpReply& reply, uint8_t* replyData,
                        uint32_t replyCapacity) {
    const DWORD count =
        Icmp6ParseReplies(request.reply.data(), static_cast<DWORD>(request.reply.size()));
    if (count == 0) return StatusOf(GetLastError());
    Icmp6EchoReply echo;
    std::memcpy(&echo, request.reply.data(), sizeof echo);
    uint8_t bytes[16];
    std::memcpy(bytes, echo.address.address, sizeof bytes);
    reply = {};
    reply.address = HostAddress::FromV6(bytes, echo.address.scopeId);
    reply.status = echo.status;
    reply.roundTripMs = echo.roundTripMs;
    if (echo.status != IP_SUCCESS) return StatusOf(echo.status);
    // The echoed data follows the reply; the system gives no size for it, and
    // takes only whole echoes of what was sent.
    reply.dataSize = sentSize;
    const size_t copied = std::min<size_t>(sentSize, replyCapacity);
    if (copied > 0) std::memcpy(replyData, request.reply.data() + sizeof echo, copied);
    return IpStatus::Success;
  }

  HANDLE icmp_;
  HANDLE icmp6_ = INVALID_HANDLE_VALUE;
  bool v6Refused_ = false;
  HANDLE cancel_;
  std::atomic<bool> cancelled_{false};
  std::unique_ptr<Request> inFlight_;
};

class Win32Echo final : public Echo {
 public:
  std::unique_ptr<EchoSocket> Open() override {
    HANDLE icmp = IcmpCreateFile();
    if (icmp == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<Win32EchoSocket>(icmp);
  }
};

}  // namespace

Echo& SystemEcho() {
  static Win32Echo echo;
  return echo;
}

std::string EchoBindingMessage(Echo& echo) {
  if (echo.Open() != nullptr) return "";
  return "Unable to open an ICMP handle: the system's ICMP service (IcmpCreateFile) refused.\n"
         "All TCP/IP functions will be disabled.";
}

}  // namespace tw
