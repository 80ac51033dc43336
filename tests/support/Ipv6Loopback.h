// Whether this machine (or the calling thread's network namespace) has the
// IPv6 loopback address ::1, which the IPv6 echo tests need.
#pragma once

#include <fstream>
#include <string>

namespace tw::test {

inline bool HasIpv6Loopback() {
  std::ifstream addresses("/proc/net/if_inet6");
  std::string line;
  while (std::getline(addresses, line)) {
    if (line.rfind("00000000000000000000000000000001", 0) == 0) return true;
  }
  return false;
}

inline const char* NoIpv6LoopbackReason() {
  return "this machine has no IPv6 on its loopback (no ::1; IPv6 switched off?)";
}

}  // namespace tw::test
