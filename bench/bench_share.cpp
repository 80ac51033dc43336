// Holds a network share open for bench/run-share-bench.sh: an SFTP server in
// a network namespace behind a rate-limited link, mounted with sshfs (the
// tests' fixture). Prints the mount point, the server's folder and the link
// rate in bytes per second, one per line, then keeps the share until its
// standard input closes, and removes everything.
// Usage: bench_share [rate]   (a tc rate, default 16mbit; needs root)
#include <cstdio>
#include <iostream>
#include <string>

#include "support/SshfsShare.h"

int main(int argc, char** argv) {
  using tw::test::SshfsShare;
  const std::string reason = SshfsShare::SkipReason();
  if (!reason.empty()) {
    std::fprintf(stderr, "bench_share: %s\n", reason.c_str());
    return 2;
  }
  SshfsShare share(argc > 1 ? argv[1] : "16mbit");
  if (!share.Ok()) {
    std::fprintf(stderr, "bench_share: %s\n", share.Error().c_str());
    return 1;
  }
  std::printf("%s\n%s\n%.0f\n", share.MountPoint().c_str(), share.ServedFolder().c_str(),
              SshfsShare::RateBytesPerSecond(share.Rate()));
  std::fflush(stdout);
  std::string line;
  while (std::getline(std::cin, line)) {
  }
  return 0;
}
