#include "support/NetNamespace.h"

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>

namespace tw::test {

namespace {

constexpr const char* kPrefix = "tarnwick-test-";

bool Shell(const std::string& command) {
  return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// Namespaces left behind by a test process that crashed (its pid is gone).
void RemoveStaleNamespaces() {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator("/run/netns", ec)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(kPrefix, 0) != 0) continue;
    const pid_t owner = std::atoi(name.c_str() + std::char_traits<char>::length(kPrefix));
    if (owner > 0 && kill(owner, 0) != 0) Shell("ip netns delete " + name);
  }
}

}  // namespace

bool NetNamespace::Available() {
  return geteuid() == 0 && Shell("ip -V");
}

NetNamespace::NetNamespace() {
  static std::atomic<int> counter{0};
  if (!Available()) return;
  RemoveStaleNamespaces();
  name_ = kPrefix + std::to_string(getpid()) + "-" + std::to_string(counter++);
  Shell("ip netns delete " + name_);
  ok_ = Shell("ip netns add " + name_);
  ok_ = ok_ && Run("ip link set lo up");
}

NetNamespace::~NetNamespace() {
  if (!name_.empty()) Shell("ip netns delete " + name_);
}

bool NetNamespace::Run(const std::string& command) const {
  return ok_ && Shell("ip netns exec " + name_ + " " + command);
}

NetNamespace::Enter::Enter(const NetNamespace& ns) {
  if (!ns.Ok()) return;
  previous_ = open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
  const int target = open(("/run/netns/" + ns.Name()).c_str(), O_RDONLY | O_CLOEXEC);
  ok_ = previous_ >= 0 && target >= 0 && setns(target, CLONE_NEWNET) == 0;
  if (target >= 0) close(target);
}

NetNamespace::Enter::~Enter() {
  if (previous_ < 0) return;
  if (ok_) (void)setns(previous_, CLONE_NEWNET);
  close(previous_);
}

}  // namespace tw::test
