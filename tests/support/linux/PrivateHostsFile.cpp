#include "support/PrivateHostsFile.h"

#include <sched.h>
#include <stdlib.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <thread>

namespace tw::test {

PrivateHostsFile::PrivateHostsFile() {
  char name[] = "/tmp/tarnwick-hosts-XXXXXX";
  const int fd = mkstemp(name);
  if (fd >= 0) {
    close(fd);
    path_ = name;
  }
}

PrivateHostsFile::~PrivateHostsFile() {
  if (!path_.empty()) unlink(path_.c_str());
}

bool PrivateHostsFile::Write(const std::string& text) {
  std::ofstream file(path_, std::ios::trunc);
  file << text;
  return static_cast<bool>(file.flush());
}

bool PrivateHostsFile::RunInside(const std::function<void()>& body, std::string& problem) {
  if (path_.empty()) {
    problem = "no temporary hosts file";
    return false;
  }
  bool entered = false;
  // A thread of its own: unsharing the mount namespace affects only the
  // calling thread (and those it creates), never the test's other threads.
  std::thread([&] {
    if (unshare(CLONE_NEWNS) != 0) {
      problem = std::string("unshare(CLONE_NEWNS): ") + std::strerror(errno);
      return;
    }
    // Keep the bind mount from spreading back into the real namespace.
    if (mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount(path_.c_str(), "/etc/hosts", nullptr, MS_BIND, nullptr) != 0) {
      problem = std::string("bind mount over /etc/hosts: ") + std::strerror(errno);
      return;
    }
    entered = true;
    body();
  }).join();
  return entered;
}

}  // namespace tw::test
