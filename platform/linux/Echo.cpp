// ICMP echo on Linux. An ICMP datagram ("ping") socket needs no privilege
// when the user's group lies in net.ipv4.ping_group_range; the kernel then
// picks the identifier and hands this socket only its own replies. Where
// that is refused, a raw socket (CAP_NET_RAW) serves: it would see every
// ICMP packet of the host, so a kernel filter passes only replies and
// errors with our identifier, and replies are matched by identifier and
// sequence once more when read. Both kinds take the reply's arrival time
// from the kernel's receive stamp.
#include "platform/Echo.h"

#include <arpa/inet.h>
#include <linux/errqueue.h>
#include <linux/icmp.h>
#include <netinet/in.h>
#include <netinet/ip.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <vector>

#include "platform/linux/EchoFilter.h"
#include "platform/linux/IcmpPacket.h"

namespace tw {

namespace {

constexpr size_t kMaxPacket = 65535;
// How far the kernel's arrival stamp may lie after our own wake-up (the two
// clocks are read at slightly different moments) before it is distrusted.
constexpr int64_t kStampSlackNs = 1000000;

// Nanoseconds of the clock the kernel stamps received packets with.
int64_t RealtimeNs() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

class LinuxEchoSocket final : public EchoSocket {
 public:
  LinuxEchoSocket(int fd, bool raw, int cancelFd)
      : fd_(fd), raw_(raw), cancelFd_(cancelFd), received_(kMaxPacket + 64) {
    static std::atomic<uint16_t> nextId{static_cast<uint16_t>(getpid() * 31)};
    id_ = nextId.fetch_add(1);
    if (raw_ && FilterEchoRepliesById(fd_, id_)) {
      // What came in before the filter was attached is not ours either.
      while (recv(fd_, received_.data(), received_.size(), MSG_DONTWAIT) >= 0) {
      }
    }
  }

  ~LinuxEchoSocket() override {
    close(fd_);
    close(cancelFd_);
  }

  int32_t SendEcho(uint32_t address, const uint8_t* data, uint16_t size, const IcmpOptions& options,
                   uint32_t timeoutMs, IcmpReply& reply, uint8_t* replyData,
                   uint32_t replyCapacity) override;

  void Cancel() override {
    cancelled_ = true;
    const uint64_t one = 1;
    (void)!write(cancelFd_, &one, sizeof one);
  }

  std::string Kind() const override { return raw_ ? "raw" : "datagram"; }

 private:
  using Steady = std::chrono::steady_clock;
  enum class Match { Nothing, NotOurs, Reply, Error };

  void ApplyOptions(const IcmpOptions& options);
  Match ReadPacket(int32_t& status, IcmpReply& reply, uint8_t* replyData, uint32_t replyCapacity);
  Match ReadError(int32_t& status);
  Match Classify(const uint8_t* icmp, size_t length, int ttl, int32_t& status, IcmpReply& reply,
                 uint8_t* replyData, uint32_t replyCapacity);
  void TimeReply(int64_t arrivalNs, Steady::time_point readAt, IcmpReply& reply) const;
  bool IsOurs(const uint8_t* echoHeader) const;

  int fd_;
  bool raw_;
  int cancelFd_;
  std::atomic<bool> cancelled_{false};
  uint16_t id_ = 0;
  uint16_t sequence_ = 0;
  int ttl_ = -1, tos_ = -1;
  // The call of SendEcho and the request's send, on the steady clock and on
  // the clock of the kernel's arrival stamps.
  Steady::time_point calledAt_, sentAt_;
  int64_t calledNs_ = 0, sentNs_ = 0;
  std::vector<uint8_t> received_;  // the packet being read
};

void LinuxEchoSocket::ApplyOptions(const IcmpOptions& options) {
  if (options.ttl != ttl_) {
    const int ttl = options.ttl;
    if (setsockopt(fd_, IPPROTO_IP, IP_TTL, &ttl, sizeof ttl) == 0) ttl_ = ttl;
  }
  if (options.tos != tos_) {
    const int tos = options.tos;
    if (setsockopt(fd_, IPPROTO_IP, IP_TOS, &tos, sizeof tos) == 0) tos_ = tos;
  }
}

bool LinuxEchoSocket::IsOurs(const uint8_t* echoHeader) const {
  // A datagram socket's identifier is the kernel's, which only passes ours.
  if (raw_ && Get16(echoHeader + 4) != id_) return false;
  return Get16(echoHeader + 6) == sequence_;
}

// The round trip is the kernel's: from just before the send to the reply's
// arrival stamp, which leaves out how long this thread took to be woken
// and scheduled. Without a stamp (or with one that a clock step made
// implausible) the wake-up stands in for the arrival.
void LinuxEchoSocket::TimeReply(int64_t arrivalNs, Steady::time_point readAt,
                                IcmpReply& reply) const {
  const int64_t readAfterNs = std::chrono::nanoseconds(readAt - calledAt_).count();
  int64_t roundTripNs = std::chrono::nanoseconds(readAt - sentAt_).count();
  reply.preparedToArrivalNs = 0;
  if (arrivalNs >= sentNs_ && arrivalNs - calledNs_ <= readAfterNs + kStampSlackNs) {
    reply.preparedToArrivalNs = static_cast<uint64_t>(arrivalNs - calledNs_);
    roundTripNs = arrivalNs - sentNs_;
  }
  reply.roundTripMs = static_cast<uint32_t>(roundTripNs / 1000000);
}

LinuxEchoSocket::Match LinuxEchoSocket::Classify(const uint8_t* icmp, size_t length, int ttl,
                                                 int32_t& status, IcmpReply& reply,
                                                 uint8_t* replyData, uint32_t replyCapacity) {
  if (length < kIcmpHeader) return Match::NotOurs;
  const int type = icmp[0];
  if (type == ICMP_ECHOREPLY) {
    if (!IsOurs(icmp)) return Match::NotOurs;
    const size_t dataSize = std::min<size_t>(length - kIcmpHeader, replyCapacity);
    if (dataSize > 0) std::memcpy(replyData, icmp + kIcmpHeader, dataSize);
    reply.dataSize = static_cast<uint16_t>(dataSize);
    reply.status = IpStatus::Success;
    reply.options.ttl = static_cast<uint8_t>(ttl < 0 ? 0 : ttl);
    status = IpStatus::Success;
    return Match::Reply;
  }
  // An error message quotes the IP header and first 8 bytes of the request.
  if (!raw_ || length < kIcmpHeader + 20) return Match::NotOurs;
  const uint8_t* inner = icmp + kIcmpHeader;
  const size_t innerHeader = static_cast<size_t>(inner[0] & 0x0F) * 4;
  if (inner[9] != IPPROTO_ICMP || length < kIcmpHeader + innerHeader + kIcmpHeader)
    return Match::NotOurs;
  const uint8_t* quoted = inner + innerHeader;
  if (quoted[0] != ICMP_ECHO || !IsOurs(quoted)) return Match::NotOurs;
  status = StatusOfIcmpError(type, icmp[1]);
  return Match::Error;
}

LinuxEchoSocket::Match LinuxEchoSocket::ReadPacket(int32_t& status, IcmpReply& reply,
                                                   uint8_t* replyData, uint32_t replyCapacity) {
  sockaddr_in from{};
  alignas(cmsghdr) char control[256];
  iovec iov{received_.data(), received_.size()};
  msghdr msg{};
  msg.msg_name = &from;
  msg.msg_namelen = sizeof from;
  msg.msg_iov = &iov;
  msg.msg_iovlen = 1;
  msg.msg_control = control;
  msg.msg_controllen = sizeof control;
  const ssize_t n = recvmsg(fd_, &msg, MSG_DONTWAIT);
  if (n <= 0) return Match::Nothing;
  const Steady::time_point readAt = Steady::now();
  int ttl = -1;
  int64_t arrivalNs = -1;
  for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c != nullptr; c = CMSG_NXTHDR(&msg, c)) {
    if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_TTL) {
      std::memcpy(&ttl, CMSG_DATA(c), sizeof ttl);
    } else if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_TIMESTAMPNS) {
      timespec stamp{};
      std::memcpy(&stamp, CMSG_DATA(c), sizeof stamp);
      arrivalNs = static_cast<int64_t>(stamp.tv_sec) * 1000000000 + stamp.tv_nsec;
    }
  }
  const uint8_t* icmp = received_.data();
  size_t length = static_cast<size_t>(n);
  if (raw_) {
    const size_t header = static_cast<size_t>(icmp[0] & 0x0F) * 4;
    if (length < header) return Match::NotOurs;
    ttl = icmp[8];
    icmp += header;
    length -= header;
  }
  reply.address = from.sin_addr.s_addr;
  const Match match = Classify(icmp, length, ttl, status, reply, replyData, replyCapacity);
  if (match == Match::Reply) TimeReply(arrivalNs, readAt, reply);
  return match;
}

LinuxEchoSocket::Match LinuxEchoSocket::ReadError(int32_t& status) {
  // Datagram sockets report ICMP errors (and local ones) on the error queue,
  // with the offending request as the message body.
  uint8_t quoted[64];
  alignas(cmsghdr) char control[512];
  iovec iov{quoted, sizeof quoted};
  msghdr msg{};
  msg.msg_iov = &iov;
  msg.msg_iovlen = 1;
  msg.msg_control = control;
  msg.msg_controllen = sizeof control;
  const ssize_t n = recvmsg(fd_, &msg, MSG_ERRQUEUE | MSG_DONTWAIT);
  if (n < 0) return Match::NotOurs;
  if (n >= static_cast<ssize_t>(kIcmpHeader) && Get16(quoted + 6) != sequence_) {
    return Match::NotOurs;
  }
  for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c != nullptr; c = CMSG_NXTHDR(&msg, c)) {
    if (c->cmsg_level != IPPROTO_IP || c->cmsg_type != IP_RECVERR) continue;
    sock_extended_err err{};
    std::memcpy(&err, CMSG_DATA(c), sizeof err);
    status = err.ee_origin == SO_EE_ORIGIN_ICMP ? StatusOfIcmpError(err.ee_type, err.ee_code)
                                                : StatusOfErrno(static_cast<int>(err.ee_errno));
    return Match::Error;
  }
  return Match::NotOurs;
}

int32_t LinuxEchoSocket::SendEcho(uint32_t address, const uint8_t* data, uint16_t size,
                                  const IcmpOptions& options, uint32_t timeoutMs, IcmpReply& reply,
                                  uint8_t* replyData, uint32_t replyCapacity) {
  calledAt_ = Steady::now();
  calledNs_ = RealtimeNs();
  reply = IcmpReply{};
  if (cancelled_) return IpStatus::GeneralFailure;
  if (size > kMaxPacket - kIcmpHeader - 20) return IpStatus::PacketTooBig;
  ApplyOptions(options);
  ++sequence_;
  uint8_t header[kIcmpHeader] = {ICMP_ECHO,
                                 0,
                                 0,
                                 0,
                                 static_cast<uint8_t>(id_ >> 8),
                                 static_cast<uint8_t>(id_),
                                 static_cast<uint8_t>(sequence_ >> 8),
                                 static_cast<uint8_t>(sequence_)};
  const uint16_t sum = EchoChecksum(header, data, size);
  std::memcpy(header + 2, &sum, 2);

  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_addr.s_addr = address;
  iovec parts[2] = {{header, kIcmpHeader}, {const_cast<uint8_t*>(data), size}};
  msghdr msg{};
  msg.msg_name = &to;
  msg.msg_namelen = sizeof to;
  msg.msg_iov = parts;
  msg.msg_iovlen = 2;
  sentAt_ = Steady::now();
  const auto deadline = sentAt_ + std::chrono::milliseconds(timeoutMs);
  sentNs_ = RealtimeNs();
  if (sendmsg(fd_, &msg, 0) < 0) return StatusOfErrno(errno);
  int32_t status = IpStatus::GeneralFailure;
  for (;;) {
    // Read what is queued before sleeping: on a fast link (loopback) the
    // reply is often there as soon as the request went out.
    for (Match m; (m = ReadPacket(status, reply, replyData, replyCapacity)) != Match::Nothing;) {
      if (m != Match::NotOurs) return status;
    }
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Steady::now());
    if (left.count() <= 0) return IpStatus::TimedOut;
    pollfd fds[2] = {{fd_, POLLIN, 0}, {cancelFd_, POLLIN, 0}};
    const int ready = poll(fds, 2, static_cast<int>(std::min<int64_t>(left.count(), 1 << 30)));
    if (cancelled_) return IpStatus::GeneralFailure;
    if (ready < 0 && errno != EINTR) return IpStatus::GeneralFailure;
    if (ready > 0 && (fds[0].revents & POLLERR) != 0) {
      if (!raw_ && ReadError(status) == Match::Error) return status;
      // A pending error that is not about this echo must not wake us again.
      int ignored = 0;
      socklen_t len = sizeof ignored;
      (void)getsockopt(fd_, SOL_SOCKET, SO_ERROR, &ignored, &len);
    }
  }
}

int OpenIcmpSocket(int type) {
  const int fd = socket(AF_INET, type | SOCK_CLOEXEC, IPPROTO_ICMP);
  if (fd < 0) return -1;
  const int on = 1;
  // Windows' echo sends without "don't fragment"; so do we.
  const int pmtu = IP_PMTUDISC_DONT;
  (void)setsockopt(fd, IPPROTO_IP, IP_MTU_DISCOVER, &pmtu, sizeof pmtu);
  const int buffer = 1 << 20;
  (void)setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
  // The kernel stamps each reply when it arrives (the round trip's end).
  (void)setsockopt(fd, SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on);
  if (type == SOCK_DGRAM) {
    (void)setsockopt(fd, IPPROTO_IP, IP_RECVERR, &on, sizeof on);
    (void)setsockopt(fd, IPPROTO_IP, IP_RECVTTL, &on, sizeof on);
  } else {
    // Only replies and the errors that can answer an echo reach the socket.
    icmp_filter filter{};
    filter.data =
        ~((1U << ICMP_ECHOREPLY) | (1U << ICMP_DEST_UNREACH) | (1U << ICMP_SOURCE_QUENCH) |
          (1U << ICMP_TIME_EXCEEDED) | (1U << ICMP_PARAMETERPROB));
    (void)setsockopt(fd, SOL_RAW, ICMP_FILTER, &filter, sizeof filter);
  }
  return fd;
}

class LinuxEcho final : public Echo {
 public:
  std::unique_ptr<EchoSocket> Open() override {
    bool raw = false;
    int fd = OpenIcmpSocket(SOCK_DGRAM);
    if (fd < 0) {
      fd = OpenIcmpSocket(SOCK_RAW);
      raw = true;
    }
    if (fd < 0) return nullptr;
    const int cancelFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (cancelFd < 0) {
      close(fd);
      return nullptr;
    }
    return std::make_unique<LinuxEchoSocket>(fd, raw, cancelFd);
  }
};

}  // namespace

Echo& SystemEcho() {
  static LinuxEcho echo;
  return echo;
}

std::string EchoBindingMessage(Echo& echo) {
  if (echo.Open() != nullptr) return "";
  return "Unable to open an ICMP socket: this program has no permission to send ICMP echo "
         "requests.\n"
         "To allow it, put the user's group into the ping group range (for example: sysctl -w "
         "net.ipv4.ping_group_range=\"0 2147483647\"), or give the program the raw-socket "
         "capability (setcap cap_net_raw+ep tarnwick).\n"
         "All TCP/IP functions will be disabled.";
}

}  // namespace tw
