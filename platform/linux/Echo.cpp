// ICMP echo on Linux, over IPv4 (ICMP) and IPv6 (ICMPv6). An ICMP datagram
// ("ping") socket needs no privilege when the user's group lies in
// net.ipv4.ping_group_range (which governs ICMPv6 datagram sockets too); the
// kernel then picks the identifier and hands this socket only its own
// replies. Where that is refused, a raw socket (CAP_NET_RAW) serves: it
// would see every ICMP packet of the host, so a kernel filter passes only
// replies and errors with our identifier, and replies are matched by
// identifier and sequence once more when read. Both kinds take the reply's
// arrival time from the kernel's receive stamp. The IPv6 socket is opened
// with the first IPv6 echo, so that IPv4-only rows never hold one.
#include "platform/Echo.h"

#include <arpa/inet.h>
#include <linux/errqueue.h>
#include <linux/icmp.h>
#include <netinet/icmp6.h>
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
constexpr size_t kIp6Header = 40;
// How far the kernel's arrival stamp may lie after our own wake-up (the two
// clocks are read at slightly different moments) before it is distrusted.
constexpr int64_t kStampSlackNs = 1000000;

// Nanoseconds of the clock the kernel stamps received packets with.
int64_t RealtimeNs() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// One ICMP socket of one address family.
struct Channel {
  int fd = -1;
  bool raw = false;
  bool v6 = false;
  int ttl = -1, tos = -1;  // options last applied
};

int OpenIcmpSocket(bool v6, int type) {
  const int fd = v6 ? socket(AF_INET6, type | SOCK_CLOEXEC, IPPROTO_ICMPV6)
                    : socket(AF_INET, type | SOCK_CLOEXEC, IPPROTO_ICMP);
  if (fd < 0) return -1;
  const int on = 1;
  const int buffer = 1 << 20;
  (void)setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
  // The kernel stamps each reply when it arrives (the round trip's end).
  (void)setsockopt(fd, SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on);
  // Windows' echo sends without "don't fragment"; so do we.
  if (v6) {
    const int pmtu = IPV6_PMTUDISC_DONT;
    (void)setsockopt(fd, IPPROTO_IPV6, IPV6_MTU_DISCOVER, &pmtu, sizeof pmtu);
    (void)setsockopt(fd, IPPROTO_IPV6, IPV6_RECVHOPLIMIT, &on, sizeof on);
    if (type == SOCK_DGRAM) {
      (void)setsockopt(fd, IPPROTO_IPV6, IPV6_RECVERR, &on, sizeof on);
    } else {
      // Only replies and the errors that can answer an echo reach the socket.
      icmp6_filter filter{};
      ICMP6_FILTER_SETBLOCKALL(&filter);
      for (int type6 : {ICMP6_ECHO_REPLY, ICMP6_DST_UNREACH, ICMP6_PACKET_TOO_BIG,
                        ICMP6_TIME_EXCEEDED, ICMP6_PARAM_PROB}) {
        ICMP6_FILTER_SETPASS(type6, &filter);
      }
      (void)setsockopt(fd, IPPROTO_ICMPV6, ICMP6_FILTER, &filter, sizeof filter);
    }
    return fd;
  }
  const int pmtu = IP_PMTUDISC_DONT;
  (void)setsockopt(fd, IPPROTO_IP, IP_MTU_DISCOVER, &pmtu, sizeof pmtu);
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

// The datagram socket of a family, else the raw one; fd -1 when refused.
Channel OpenChannel(bool v6) {
  Channel channel;
  channel.v6 = v6;
  channel.fd = OpenIcmpSocket(v6, SOCK_DGRAM);
  if (channel.fd < 0) {
    channel.fd = OpenIcmpSocket(v6, SOCK_RAW);
    channel.raw = true;
  }
  return channel;
}

class LinuxEchoSocket final : public EchoSocket {
 public:
  LinuxEchoSocket(Channel v4, int cancelFd) : cancelFd_(cancelFd), received_(kMaxPacket + 64) {
    static std::atomic<uint16_t> nextId{static_cast<uint16_t>(getpid() * 31)};
    id_ = nextId.fetch_add(1);
    Adopt(v4);
  }

  ~LinuxEchoSocket() override {
    for (const Channel& c : channels_) {
      if (c.fd >= 0) close(c.fd);
    }
    close(cancelFd_);
  }

  int32_t SendEcho(const HostAddress& address, const uint8_t* data, uint16_t size,
                   const IcmpOptions& options, uint32_t timeoutMs, IcmpReply& reply,
                   uint8_t* replyData, uint32_t replyCapacity) override;

  void Cancel() override {
    cancelled_ = true;
    const uint64_t one = 1;
    (void)!write(cancelFd_, &one, sizeof one);
  }

  std::string Kind(IpFamily family) const override {
    const Channel& c = channels_[family == IpFamily::V6 ? 1 : 0];
    if (c.fd < 0) return "";
    return c.raw ? "raw" : "datagram";
  }

 private:
  using Steady = std::chrono::steady_clock;
  enum class Match { Nothing, NotOurs, Reply, Error };

  void Adopt(const Channel& channel);
  Channel* ChannelFor(IpFamily family);
  void ApplyOptions(Channel& channel, const IcmpOptions& options);
  int32_t Transmit(Channel& channel, const HostAddress& address, const uint8_t* data,
                   uint16_t size);
  Match ReadPacket(const Channel& channel, int32_t& status, IcmpReply& reply, uint8_t* replyData,
                   uint32_t replyCapacity);
  Match ReadError(const Channel& channel, int32_t& status);
  Match Classify(const Channel& channel, const uint8_t* icmp, size_t length, int ttl,
                 int32_t& status, IcmpReply& reply, uint8_t* replyData, uint32_t replyCapacity);
  const uint8_t* QuotedRequest(const Channel& channel, const uint8_t* icmp, size_t length) const;
  void TimeReply(int64_t arrivalNs, Steady::time_point readAt, IcmpReply& reply) const;
  bool IsOurs(const Channel& channel, const uint8_t* echoHeader) const;

  Channel channels_[2];  // IPv4, IPv6
  bool v6Tried_ = false;
  int cancelFd_;
  std::atomic<bool> cancelled_{false};
  uint16_t id_ = 0;
  uint16_t sequence_ = 0;
  // The call of SendEcho and the request's send, on the steady clock and on
  // the clock of the kernel's arrival stamps.
  Steady::time_point calledAt_, sentAt_;
  int64_t calledNs_ = 0, sentNs_ = 0;
  std::vector<uint8_t> received_;  // the packet being read
};

void LinuxEchoSocket::Adopt(const Channel& channel) {
  channels_[channel.v6 ? 1 : 0] = channel;
  if (!channel.raw) return;
  const bool filtered =
      channel.v6 ? FilterEcho6RepliesById(channel.fd, id_) : FilterEchoRepliesById(channel.fd, id_);
  if (filtered) {
    // What came in before the filter was attached is not ours either.
    while (recv(channel.fd, received_.data(), received_.size(), MSG_DONTWAIT) >= 0) {
    }
  }
}

Channel* LinuxEchoSocket::ChannelFor(IpFamily family) {
  if (family == IpFamily::V4) return &channels_[0];
  if (family != IpFamily::V6) return nullptr;
  if (!v6Tried_) {
    v6Tried_ = true;
    const Channel v6 = OpenChannel(true);
    if (v6.fd >= 0) Adopt(v6);
  }
  return channels_[1].fd >= 0 ? &channels_[1] : nullptr;
}

void LinuxEchoSocket::ApplyOptions(Channel& c, const IcmpOptions& options) {
  // The time-to-live is IPv6's hop limit, the type of service its traffic class.
  if (options.ttl != c.ttl) {
    const int ttl = options.ttl;
    const bool set = c.v6 ? setsockopt(c.fd, IPPROTO_IPV6, IPV6_UNICAST_HOPS, &ttl, sizeof ttl) == 0
                          : setsockopt(c.fd, IPPROTO_IP, IP_TTL, &ttl, sizeof ttl) == 0;
    if (set) c.ttl = ttl;
  }
  if (options.tos != c.tos) {
    const int tos = options.tos;
    const bool set = c.v6 ? setsockopt(c.fd, IPPROTO_IPV6, IPV6_TCLASS, &tos, sizeof tos) == 0
                          : setsockopt(c.fd, IPPROTO_IP, IP_TOS, &tos, sizeof tos) == 0;
    if (set) c.tos = tos;
  }
}

bool LinuxEchoSocket::IsOurs(const Channel& channel, const uint8_t* echoHeader) const {
  // A datagram socket's identifier is the kernel's, which only passes ours.
  if (channel.raw && Get16(echoHeader + 4) != id_) return false;
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

// The echo request an ICMP or ICMPv6 error of a raw socket quotes (after the
// request's IP header), or nullptr when it quotes none.
const uint8_t* LinuxEchoSocket::QuotedRequest(const Channel& channel, const uint8_t* icmp,
                                              size_t length) const {
  const uint8_t* inner = icmp + kIcmpHeader;
  if (channel.v6) {
    if (length < kIcmpHeader + kIp6Header + kIcmpHeader || inner[6] != IPPROTO_ICMPV6) {
      return nullptr;
    }
    const uint8_t* quoted = inner + kIp6Header;
    return quoted[0] == ICMP6_ECHO_REQUEST ? quoted : nullptr;
  }
  if (length < kIcmpHeader + 20) return nullptr;
  const size_t innerHeader = static_cast<size_t>(inner[0] & 0x0F) * 4;
  if (inner[9] != IPPROTO_ICMP || length < kIcmpHeader + innerHeader + kIcmpHeader) {
    return nullptr;
  }
  const uint8_t* quoted = inner + innerHeader;
  return quoted[0] == ICMP_ECHO ? quoted : nullptr;
}

LinuxEchoSocket::Match LinuxEchoSocket::Classify(const Channel& channel, const uint8_t* icmp,
                                                 size_t length, int ttl, int32_t& status,
                                                 IcmpReply& reply, uint8_t* replyData,
                                                 uint32_t replyCapacity) {
  if (length < kIcmpHeader) return Match::NotOurs;
  const int type = icmp[0];
  if (type == (channel.v6 ? ICMP6_ECHO_REPLY : ICMP_ECHOREPLY)) {
    if (!IsOurs(channel, icmp)) return Match::NotOurs;
    const size_t dataSize = std::min<size_t>(length - kIcmpHeader, replyCapacity);
    if (dataSize > 0) std::memcpy(replyData, icmp + kIcmpHeader, dataSize);
    reply.dataSize = static_cast<uint16_t>(dataSize);
    reply.status = IpStatus::Success;
    reply.options.ttl = static_cast<uint8_t>(ttl < 0 ? 0 : ttl);
    status = IpStatus::Success;
    return Match::Reply;
  }
  // Datagram sockets get their errors on the error queue instead.
  if (!channel.raw) return Match::NotOurs;
  const uint8_t* quoted = QuotedRequest(channel, icmp, length);
  if (quoted == nullptr || !IsOurs(channel, quoted)) return Match::NotOurs;
  status = channel.v6 ? StatusOfIcmp6Error(type, icmp[1]) : StatusOfIcmpError(type, icmp[1]);
  return Match::Error;
}

LinuxEchoSocket::Match LinuxEchoSocket::ReadPacket(const Channel& channel, int32_t& status,
                                                   IcmpReply& reply, uint8_t* replyData,
                                                   uint32_t replyCapacity) {
  sockaddr_storage from{};
  alignas(cmsghdr) char control[256];
  iovec iov{received_.data(), received_.size()};
  msghdr msg{};
  msg.msg_name = &from;
  msg.msg_namelen = sizeof from;
  msg.msg_iov = &iov;
  msg.msg_iovlen = 1;
  msg.msg_control = control;
  msg.msg_controllen = sizeof control;
  const ssize_t n = recvmsg(channel.fd, &msg, MSG_DONTWAIT);
  if (n <= 0) return Match::Nothing;
  const Steady::time_point readAt = Steady::now();
  int ttl = -1;
  int64_t arrivalNs = -1;
  for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c != nullptr; c = CMSG_NXTHDR(&msg, c)) {
    if ((c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_TTL) ||
        (c->cmsg_level == IPPROTO_IPV6 && c->cmsg_type == IPV6_HOPLIMIT)) {
      std::memcpy(&ttl, CMSG_DATA(c), sizeof ttl);
    } else if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_TIMESTAMPNS) {
      timespec stamp{};
      std::memcpy(&stamp, CMSG_DATA(c), sizeof stamp);
      arrivalNs = static_cast<int64_t>(stamp.tv_sec) * 1000000000 + stamp.tv_nsec;
    }
  }
  const uint8_t* icmp = received_.data();
  size_t length = static_cast<size_t>(n);
  if (channel.raw && !channel.v6) {
    // A raw IPv4 socket reads the IP header too; IPv6 ones never do.
    const size_t header = static_cast<size_t>(icmp[0] & 0x0F) * 4;
    if (length < header) return Match::NotOurs;
    ttl = icmp[8];
    icmp += header;
    length -= header;
  }
  if (channel.v6) {
    const auto& in6 = reinterpret_cast<const sockaddr_in6&>(from);
    uint8_t bytes[16];
    std::memcpy(bytes, in6.sin6_addr.s6_addr, 16);
    reply.address = HostAddress::FromV6(bytes, in6.sin6_scope_id);
  } else {
    reply.address = HostAddress::FromV4(reinterpret_cast<const sockaddr_in&>(from).sin_addr.s_addr);
  }
  const Match match = Classify(channel, icmp, length, ttl, status, reply, replyData, replyCapacity);
  if (match == Match::Reply) TimeReply(arrivalNs, readAt, reply);
  return match;
}

LinuxEchoSocket::Match LinuxEchoSocket::ReadError(const Channel& channel, int32_t& status) {
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
  const ssize_t n = recvmsg(channel.fd, &msg, MSG_ERRQUEUE | MSG_DONTWAIT);
  if (n < 0) return Match::NotOurs;
  if (n >= static_cast<ssize_t>(kIcmpHeader) && Get16(quoted + 6) != sequence_) {
    return Match::NotOurs;
  }
  for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c != nullptr; c = CMSG_NXTHDR(&msg, c)) {
    const bool v4Error = c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_RECVERR;
    const bool v6Error = c->cmsg_level == IPPROTO_IPV6 && c->cmsg_type == IPV6_RECVERR;
    if (!v4Error && !v6Error) continue;
    sock_extended_err err{};
    std::memcpy(&err, CMSG_DATA(c), sizeof err);
    if (err.ee_origin == SO_EE_ORIGIN_ICMP) {
      status = StatusOfIcmpError(err.ee_type, err.ee_code);
    } else if (err.ee_origin == SO_EE_ORIGIN_ICMP6) {
      status = StatusOfIcmp6Error(err.ee_type, err.ee_code);
    } else {
      status = StatusOfErrno(static_cast<int>(err.ee_errno));
    }
    return Match::Error;
  }
  return Match::NotOurs;
}

// Sends one echo request; 0 when it went out, else the IP status.
int32_t LinuxEchoSocket::Transmit(Channel& channel, const HostAddress& address, const uint8_t* data,
                                  uint16_t size) {
  ++sequence_;
  uint8_t header[kIcmpHeader] = {static_cast<uint8_t>(channel.v6 ? ICMP6_ECHO_REQUEST : ICMP_ECHO),
                                 0,
                                 0,
                                 0,
                                 static_cast<uint8_t>(id_ >> 8),
                                 static_cast<uint8_t>(id_),
                                 static_cast<uint8_t>(sequence_ >> 8),
                                 static_cast<uint8_t>(sequence_)};
  sockaddr_storage to{};
  socklen_t toLength = 0;
  if (channel.v6) {
    // The kernel computes an ICMPv6 checksum itself (it covers the
    // addresses, which only it knows for sure).
    auto& in6 = reinterpret_cast<sockaddr_in6&>(to);
    in6.sin6_family = AF_INET6;
    std::memcpy(in6.sin6_addr.s6_addr, address.bytes.data(), 16);
    in6.sin6_scope_id = address.scopeId;
    toLength = sizeof in6;
  } else {
    const uint16_t sum = EchoChecksum(header, data, size);
    std::memcpy(header + 2, &sum, 2);
    auto& in = reinterpret_cast<sockaddr_in&>(to);
    in.sin_family = AF_INET;
    in.sin_addr.s_addr = address.V4();
    toLength = sizeof in;
  }
  iovec parts[2] = {{header, kIcmpHeader}, {const_cast<uint8_t*>(data), size}};
  msghdr msg{};
  msg.msg_name = &to;
  msg.msg_namelen = toLength;
  msg.msg_iov = parts;
  msg.msg_iovlen = 2;
  sentAt_ = Steady::now();
  sentNs_ = RealtimeNs();
  if (sendmsg(channel.fd, &msg, 0) < 0) return StatusOfErrno(errno);
  return IpStatus::Success;
}

int32_t LinuxEchoSocket::SendEcho(const HostAddress& address, const uint8_t* data, uint16_t size,
                                  const IcmpOptions& options, uint32_t timeoutMs, IcmpReply& reply,
                                  uint8_t* replyData, uint32_t replyCapacity) {
  reply = IcmpReply{};
  if (cancelled_) return IpStatus::GeneralFailure;
  // Opening the IPv6 socket with the first IPv6 echo is not the echo's time.
  Channel* channel = ChannelFor(address.family);
  calledAt_ = Steady::now();
  calledNs_ = RealtimeNs();
  if (channel == nullptr) {
    return address.Resolved() ? IpStatus::NoResources : IpStatus::BadDestination;
  }
  if (size > kMaxPacket - kIcmpHeader - 20) return IpStatus::PacketTooBig;
  ApplyOptions(*channel, options);
  const int32_t sent = Transmit(*channel, address, data, size);
  if (sent != IpStatus::Success) return sent;
  const auto deadline = sentAt_ + std::chrono::milliseconds(timeoutMs);
  int32_t status = IpStatus::GeneralFailure;
  for (;;) {
    // Read what is queued before sleeping: on a fast link (loopback) the
    // reply is often there as soon as the request went out.
    for (Match m;
         (m = ReadPacket(*channel, status, reply, replyData, replyCapacity)) != Match::Nothing;) {
      if (m != Match::NotOurs) return status;
    }
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Steady::now());
    if (left.count() <= 0) return IpStatus::TimedOut;
    pollfd fds[2] = {{channel->fd, POLLIN, 0}, {cancelFd_, POLLIN, 0}};
    const int ready = poll(fds, 2, static_cast<int>(std::min<int64_t>(left.count(), 1 << 30)));
    if (cancelled_) return IpStatus::GeneralFailure;
    if (ready < 0 && errno != EINTR) return IpStatus::GeneralFailure;
    if (ready > 0 && (fds[0].revents & POLLERR) != 0) {
      if (!channel->raw && ReadError(*channel, status) == Match::Error) return status;
      // A pending error that is not about this echo must not wake us again.
      int ignored = 0;
      socklen_t len = sizeof ignored;
      (void)getsockopt(channel->fd, SOL_SOCKET, SO_ERROR, &ignored, &len);
    }
  }
}

class LinuxEcho final : public Echo {
 public:
  std::unique_ptr<EchoSocket> Open() override {
    const Channel v4 = OpenChannel(false);
    if (v4.fd < 0) return nullptr;
    const int cancelFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (cancelFd < 0) {
      close(v4.fd);
      return nullptr;
    }
    return std::make_unique<LinuxEchoSocket>(v4, cancelFd);
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
