#include "platform/linux/EchoFilter.h"

#include <linux/filter.h>
#include <linux/icmp.h>
#include <netinet/icmp6.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <iterator>

namespace tw {

namespace {

// A raw IPv4 socket's filter sees the packet from its IP header on.
// Offsets are relative to the ICMP header (X = the IP header's length);
// an error quotes the request's IP header at +8, and that header's length
// is taken from its first byte. A load past the packet's end rejects it.
constexpr uint32_t kAccept = 0xFFFFFFFF;
constexpr uint32_t kReject = 0;

}  // namespace

bool FilterEchoRepliesById(int fd, uint16_t identifier) {
  // Jump offsets count instructions after the jump: accept is [16], reject [17].
  sock_filter code[] = {
      BPF_STMT(BPF_LDX | BPF_B | BPF_MSH, 0),                     // [0] X = IP header length
      BPF_STMT(BPF_LD | BPF_B | BPF_IND, 0),                      // [1] ICMP type
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, ICMP_ECHOREPLY, 0, 2),  // [2] reply? else [5]
      BPF_STMT(BPF_LD | BPF_H | BPF_IND, 4),                      // [3] its identifier
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, identifier, 11, 12),    // [4] ours? [16] : [17]
      BPF_STMT(BPF_LD | BPF_B | BPF_IND, 8 + 9),                  // [5] quoted protocol
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, IPPROTO_ICMP, 0, 10),   // [6] ICMP? else [17]
      BPF_STMT(BPF_LD | BPF_B | BPF_IND, 8),                      // [7] quoted version, length
      BPF_STMT(BPF_ALU | BPF_AND | BPF_K, 0x0F),                  // [8]
      BPF_STMT(BPF_ALU | BPF_LSH | BPF_K, 2),                     // [9] quoted header length
      BPF_STMT(BPF_ALU | BPF_ADD | BPF_X, 0),                     // [10]
      BPF_STMT(BPF_MISC | BPF_TAX, 0),                            // [11] X = to quoted ICMP - 8
      BPF_STMT(BPF_LD | BPF_B | BPF_IND, 8),                      // [12] quoted ICMP type
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, ICMP_ECHO, 0, 3),       // [13] a request? else [17]
      BPF_STMT(BPF_LD | BPF_H | BPF_IND, 8 + 4),                  // [14] its identifier
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, identifier, 0, 1),      // [15] ours? [16] : [17]
      BPF_STMT(BPF_RET | BPF_K, kAccept),                         // [16]
      BPF_STMT(BPF_RET | BPF_K, kReject),                         // [17]
  };
  const sock_fprog program{static_cast<unsigned short>(std::size(code)), code};
  return setsockopt(fd, SOL_SOCKET, SO_ATTACH_FILTER, &program, sizeof program) == 0;
}

bool FilterEcho6RepliesById(int fd, uint16_t identifier) {
  // A raw IPv6 socket's filter sees the packet from its ICMPv6 header on. An
  // error quotes the request's fixed 40-byte IPv6 header at +8 (next header
  // at +14) and its ICMPv6 header at +48. Accept is [10], reject [11].
  constexpr uint32_t kQuoted = 8 + 40;
  sock_filter code[] = {
      BPF_STMT(BPF_LD | BPF_B | BPF_ABS, 0),                          // [0] ICMPv6 type
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, ICMP6_ECHO_REPLY, 0, 2),    // [1] reply? else [4]
      BPF_STMT(BPF_LD | BPF_H | BPF_ABS, 4),                          // [2] its identifier
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, identifier, 6, 7),          // [3] ours? [10] : [11]
      BPF_STMT(BPF_LD | BPF_B | BPF_ABS, 8 + 6),                      // [4] quoted next header
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, IPPROTO_ICMPV6, 0, 5),      // [5] ICMPv6? else [11]
      BPF_STMT(BPF_LD | BPF_B | BPF_ABS, kQuoted),                    // [6] quoted type
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, ICMP6_ECHO_REQUEST, 0, 3),  // [7] request? else [11]
      BPF_STMT(BPF_LD | BPF_H | BPF_ABS, kQuoted + 4),                // [8] its identifier
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, identifier, 0, 1),          // [9] ours? [10] : [11]
      BPF_STMT(BPF_RET | BPF_K, kAccept),                             // [10]
      BPF_STMT(BPF_RET | BPF_K, kReject),                             // [11]
  };
  const sock_fprog program{static_cast<unsigned short>(std::size(code)), code};
  return setsockopt(fd, SOL_SOCKET, SO_ATTACH_FILTER, &program, sizeof program) == 0;
}

}  // namespace tw
