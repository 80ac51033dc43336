// ICMP echo through the IP helper's ICMP API, which needs no privilege. The
// request is sent asynchronously (IcmpSendEcho2 with an event), so that the
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
    if (inFlight_ && WaitForSingleObject(inFlight_->done, 1000) != WAIT_OBJECT_0) {
      inFlight_.release();
    }
    CloseHandle(cancel_);
  }

  // IPv6 hosts need the ICMPv6 helper calls (Icmp6CreateFile, Icmp6SendEcho2),
  // not written yet: they get NoResources, the status of a refused socket.
  int32_t SendEcho(const HostAddress& address, const uint8_t* data, uint16_t size,
                   const IcmpOptions& options, uint32_t timeoutMs, IcmpReply& reply,
                   uint8_t* replyData, uint32_t replyCapacity) override {
    if (address.family != IpFamily::V4) return IpStatus::NoResources;
    if (cancelled_ || cancel_ == nullptr || !Idle()) return IpStatus::GeneralFailure;
    auto request = std::make_unique<Request>();
    if (request->done == nullptr) return IpStatus::NoResources;
    IP_OPTION_INFORMATION ip{};
    ip.Ttl = options.ttl;
    ip.Tos = options.tos;
    ip.Flags = options.flags;
    const DWORD sent = IcmpSendEcho2(icmp_, request->done, nullptr, nullptr, address.V4(),
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
    return Parse(*request, reply, replyData, replyCapacity);
  }

  void Cancel() override {
    cancelled_ = true;
    if (cancel_ != nullptr) SetEvent(cancel_);
  }

  std::string Kind(IpFamily family) const override { return family == IpFamily::V4 ? "icmp" : ""; }

 private:
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

  HANDLE icmp_;
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
