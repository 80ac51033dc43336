// Another program's pinger beside ours: a thread that sends large echo
// requests with its own identifier to 127.0.0.1 (or ::1) as fast as it can
// (as `ping -f -s 64512` does), so that the host answers with a stream of
// echo replies that are not ours. Needs a raw ICMP socket (root).
#pragma once

#include <arpa/inet.h>
#include <linux/icmp.h>
#include <netinet/icmp6.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

namespace tw::test {

class EchoFlooder {
 public:
  // Starts flooding from the calling thread's network namespace; over
  // ICMPv6 to ::1 when `v6`.
  explicit EchoFlooder(uint16_t identifier, size_t dataSize = 64512, bool v6 = false)
      : fd_(v6 ? socket(AF_INET6, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMPV6)
               : socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP)),
        v6_(v6),
        packet_(8 + dataSize, 0) {
    if (fd_ < 0) return;
    // The flooder reads nothing: keep every ICMP message off its queue.
    if (v6) {
      icmp6_filter none{};
      ICMP6_FILTER_SETBLOCKALL(&none);
      (void)setsockopt(fd_, IPPROTO_ICMPV6, ICMP6_FILTER, &none, sizeof none);
    } else {
      icmp_filter none{~0U};
      (void)setsockopt(fd_, SOL_RAW, ICMP_FILTER, &none, sizeof none);
    }
    packet_[0] = v6 ? ICMP6_ECHO_REQUEST : ICMP_ECHO;
    packet_[4] = static_cast<uint8_t>(identifier >> 8);
    packet_[5] = static_cast<uint8_t>(identifier);
    // The kernel computes ICMPv6 checksums. ICMP data is all zeros, so the
    // checksum covers the header's words only.
    if (v6) {
      thread_ = std::thread([this] { Flood(); });
      return;
    }
    const uint32_t sum = (ICMP_ECHO << 8) + identifier;
    const uint16_t checksum = static_cast<uint16_t>(~((sum & 0xFFFF) + (sum >> 16)));
    packet_[2] = static_cast<uint8_t>(checksum >> 8);
    packet_[3] = static_cast<uint8_t>(checksum);
    thread_ = std::thread([this] { Flood(); });
  }
  ~EchoFlooder() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (fd_ >= 0) close(fd_);
  }
  EchoFlooder(const EchoFlooder&) = delete;
  EchoFlooder& operator=(const EchoFlooder&) = delete;

  bool Ok() const { return fd_ >= 0; }
  // Requests sent so far.
  uint64_t Sent() const { return sent_; }

 private:
  void Flood() {
    sockaddr_storage to{};
    socklen_t length = sizeof(sockaddr_in);
    if (v6_) {
      auto& in6 = reinterpret_cast<sockaddr_in6&>(to);
      in6.sin6_family = AF_INET6;
      in6.sin6_addr = in6addr_loopback;
      length = sizeof in6;
    } else {
      auto& in = reinterpret_cast<sockaddr_in&>(to);
      in.sin_family = AF_INET;
      in.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    }
    while (!stop_) {
      // Sequence numbers stay 0: the checksum above stays right.
      if (sendto(fd_, packet_.data(), packet_.size(), 0, reinterpret_cast<sockaddr*>(&to), length) >
          0) {
        ++sent_;
      }
    }
  }

  int fd_;
  bool v6_;
  std::vector<uint8_t> packet_;
  std::atomic<bool> stop_{false};
  std::atomic<uint64_t> sent_{0};
  std::thread thread_;
};

}  // namespace tw::test
