// Kernel-side filtering of a raw ICMP socket, which would otherwise receive
// every ICMP message that reaches the host: other programs' echo replies
// would wake the measuring thread inside its timed section and fill the
// socket's queue until our own reply is dropped.
#pragma once

#include <cstdint>

namespace tw {

// Lets through to the raw ICMP socket `fd` only echo replies carrying
// `identifier` and ICMP errors that quote an echo request carrying it.
// False when the kernel refused the filter (replies are still matched by
// identifier when read, only not before they wake the reader).
bool FilterEchoRepliesById(int fd, uint16_t identifier);

// The same for a raw ICMPv6 socket `fd` (whose ICMPv6 type filter already
// keeps everything but echo replies and errors away).
bool FilterEcho6RepliesById(int fd, uint16_t identifier);

}  // namespace tw
