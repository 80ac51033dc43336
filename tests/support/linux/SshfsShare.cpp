#include "support/SshfsShare.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

extern char** environ;

namespace tw::test {

namespace {

constexpr const char* kClientAddress = "10.1.0.1";
constexpr const char* kServerAddress = "10.1.0.2";
using Clock = std::chrono::steady_clock;

bool Shell(const std::string& command) {
  return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

bool Exists(const char* path) {
  return access(path, X_OK) == 0;
}

// Starts `args` with stdout and stderr to `log`; the process id or -1.
pid_t Spawn(std::vector<std::string> args, const std::string& log) {
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(),
                                   O_WRONLY | O_CREAT | O_APPEND, 0600);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  pid_t pid = -1;
  if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

bool Exited(pid_t pid) {
  int status = 0;
  return waitpid(pid, &status, WNOHANG) == pid;
}

// Ends a child: SIGTERM, then SIGKILL after `graceMs`.
void EndChild(pid_t& pid, int graceMs) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  const auto end = Clock::now() + std::chrono::milliseconds(graceMs);
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (Clock::now() >= end) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  pid = -1;
}

bool MountedAt(const std::string& path) {
  std::ifstream mounts("/proc/self/mountinfo");
  std::string line;
  while (std::getline(mounts, line)) {
    std::istringstream fields(line);
    std::string id, parent, device, root, point;
    fields >> id >> parent >> device >> root >> point;
    if (point == path) return true;
  }
  return false;
}

// Whether a TCP connection to the server's SSH port succeeds from `ns`.
bool ServerListens(const NetNamespace& ns) {
  NetNamespace::Enter inside(ns);
  if (!inside.Ok()) return false;
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(22);
  inet_pton(AF_INET, kServerAddress, &to.sin_addr);
  const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0;
  close(fd);
  return ok;
}

std::string UserName() {
  const passwd* user = getpwuid(geteuid());
  return user != nullptr ? user->pw_name : "root";
}

}  // namespace

std::string SshfsShare::SkipReason() {
  if (geteuid() != 0) return "needs root to make network namespaces and mount a share";
  if (!NetNamespace::Available()) return NetNamespace::SkipReason();
  if (access("/dev/fuse", R_OK | W_OK) != 0) return "no /dev/fuse: FUSE is not available";
  if (!Exists("/usr/bin/sshfs") || !Exists("/usr/sbin/sshd") || !Exists("/usr/bin/ssh-keygen"))
    return "needs sshfs and openssh-server (scripts/deps/engine.txt)";
  return "";
}

double SshfsShare::RateBytesPerSecond(const std::string& rate) {
  const double number = std::atof(rate.c_str());
  if (rate.find("mbit") != std::string::npos) return number * 1e6 / 8;
  if (rate.find("kbit") != std::string::npos) return number * 1e3 / 8;
  return number / 8;
}

SshfsShare::SshfsShare(const std::string& rate) : rate_(rate) {
  served_ = dir_.File("served");
  mountPoint_ = dir_.File("mnt");
  if (!SkipReason().empty()) {
    error_ = SkipReason();
    return;
  }
  if (Prepare() && StartServer()) Mount();
}

SshfsShare::~SshfsShare() {
  Unmount();
  EndChild(sshdPid_, 500);
  // Sessions the server forked live on in its namespace until killed.
  for (const auto& ns : {server_.get(), client_.get()}) {
    if (ns != nullptr && ns->Ok()) Shell("ip netns pids " + ns->Name() + " | xargs -r kill -9");
  }
}

bool SshfsShare::Fail(const std::string& what) {
  error_ = what + " (logs in " + dir_.Path() + ")";
  return false;
}

// Folders, keys, configuration and the rate-limited link.
bool SshfsShare::Prepare() {
  std::filesystem::create_directories(served_);
  std::filesystem::create_directories(mountPoint_);
  const std::string d = dir_.Path();
  if (!Shell("ssh-keygen -q -t ed25519 -N '' -f '" + d + "/host_key'") ||
      !Shell("ssh-keygen -q -t ed25519 -N '' -f '" + d + "/client_key'")) {
    return Fail("ssh-keygen failed");
  }
  std::filesystem::copy_file(d + "/client_key.pub", d + "/authorized_keys");
  std::ofstream(d + "/sshd_config")
      << "ListenAddress " << kServerAddress << "\nPort 22\nHostKey " << d << "/host_key\n"
      << "AuthorizedKeysFile " << d << "/authorized_keys\nPidFile none\nStrictModes no\n"
      << "PermitRootLogin prohibit-password\nPasswordAuthentication no\n"
      << "KbdInteractiveAuthentication no\nUsePAM no\nLogLevel ERROR\n"
      << "Subsystem sftp internal-sftp\n";
  // The server's privilege separation folder; a system service makes it.
  mkdir("/run/sshd", 0755);

  server_ = std::make_unique<NetNamespace>();
  client_ = std::make_unique<NetNamespace>();
  if (!server_->Ok() || !client_->Ok()) return Fail("cannot create network namespaces");
  const std::string limit =
      "tc qdisc add dev %s root tbf rate " + rate_ + " burst 4kb latency 100ms";
  auto limited = [&](const NetNamespace& ns, const std::string& dev) {
    std::string command = limit;
    command.replace(command.find("%s"), 2, dev);
    return ns.Run(command);
  };
  if (!client_->Run("ip link add a0 type veth peer name b0 netns " + server_->Name()))
    return Fail("the kernel offers no virtual Ethernet pairs (veth)");
  const bool linked = client_->Run(std::string("ip addr add ") + kClientAddress + "/24 dev a0") &&
                      client_->Run("ip link set a0 up") &&
                      server_->Run(std::string("ip addr add ") + kServerAddress + "/24 dev b0") &&
                      server_->Run("ip link set b0 up");
  if (!linked) return Fail("cannot configure the veth pair");
  if (!limited(*client_, "a0") || !limited(*server_, "b0"))
    return Fail("the kernel offers no token-bucket qdisc (tbf)");
  return true;
}

bool SshfsShare::StartServer() {
  const std::string d = dir_.Path();
  sshdPid_ = Spawn({"ip", "netns", "exec", server_->Name(), "/usr/sbin/sshd", "-D", "-e", "-f",
                    d + "/sshd_config"},
                   d + "/sshd.log");
  if (sshdPid_ < 0) return Fail("cannot start sshd");
  const auto end = Clock::now() + std::chrono::seconds(10);
  while (!ServerListens(*client_)) {
    if (Exited(sshdPid_)) {
      sshdPid_ = -1;
      return Fail("sshd ended at start");
    }
    if (Clock::now() >= end) return Fail("sshd does not listen");
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

bool SshfsShare::Mount() {
  const std::string d = dir_.Path();
  // The client runs in its namespace; sshfs itself, and so the mount, stay
  // in this process's mount namespace.
  const std::string ssh = "nsenter --net=/run/netns/" + client_->Name() + " ssh -F /dev/null";
  sshfsPid_ = Spawn({"sshfs", "-f", UserName() + "@" + kServerAddress + ":" + served_, mountPoint_,
                     "-o", "ssh_command=" + ssh, "-o",
                     "IdentityFile=" + d +
                         "/client_key,StrictHostKeyChecking=no,"
                         "UserKnownHostsFile=/dev/null,BatchMode=yes,LogLevel=ERROR",
                     "-o",
                     "direct_io,dir_cache=no,entry_timeout=0,attr_timeout=0,"
                     "negative_timeout=0"},
                    d + "/sshfs.log");
  if (sshfsPid_ < 0) return Fail("cannot start sshfs");
  const auto end = Clock::now() + std::chrono::seconds(10);
  while (!MountedAt(mountPoint_)) {
    if (Exited(sshfsPid_)) {
      sshfsPid_ = -1;
      return Fail("sshfs ended without mounting");
    }
    if (Clock::now() >= end) return Fail("sshfs did not mount in 10 s");
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  mounted_ = true;
  return true;
}

void SshfsShare::Unmount() {
  Answer();
  // Lazily: a call still stuck in the share must not keep the mount.
  if (MountedAt(mountPoint_)) Shell("fusermount3 -u -z '" + mountPoint_ + "'");
  if (MountedAt(mountPoint_)) Shell("umount -l '" + mountPoint_ + "'");
  EndChild(sshfsPid_, 1000);
  mounted_ = false;
}

uint64_t SshfsShare::ClientReceivedBytes() const {
  if (client_ == nullptr) return 0;
  // /proc/thread-self/net shows the namespace of the reading thread.
  NetNamespace::Enter inside(*client_);
  std::ifstream dev("/proc/thread-self/net/dev");
  std::string line;
  while (std::getline(dev, line)) {
    const size_t colon = line.find(':');
    if (colon == std::string::npos || line.find("a0") > colon) continue;
    return std::strtoull(line.c_str() + colon + 1, nullptr, 10);
  }
  return 0;
}

void SshfsShare::Hang() {
  if (sshfsPid_ > 0 && kill(sshfsPid_, SIGSTOP) == 0) stopped_ = true;
}

void SshfsShare::Answer() {
  if (stopped_ && sshfsPid_ > 0) kill(sshfsPid_, SIGCONT);
  stopped_ = false;
}

void SshfsShare::Vanish() {
  Answer();
  if (sshfsPid_ <= 0) return;
  kill(sshfsPid_, SIGKILL);
  int status = 0;
  waitpid(sshfsPid_, &status, 0);
  sshfsPid_ = -1;
}

bool SshfsShare::Remount() {
  Unmount();
  error_.clear();
  return sshdPid_ > 0 && Mount();
}

}  // namespace tw::test
