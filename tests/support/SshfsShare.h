// A real network share for the drive and file tests: an OpenSSH server
// (its own configuration, host key and client key in a temporary folder)
// serves a folder over SFTP inside a network namespace made by the test; the
// SSH client reaches it from a second namespace across a veth pair limited
// by token buckets in both directions, and `sshfs` mounts the share through
// FUSE on a temporary folder of this process's file system, with the kernel's
// page cache kept out (direct I/O, no attribute or directory caches).
//
// A hung share is the sshfs process stopped (a file server that no longer
// answers); a vanished share is it killed (the mount then fails every call).
// Everything is removed again by the destructor. Needs root, /dev/fuse,
// sshfs, sshd and ssh-keygen; SkipReason() tells why a test cannot run.
#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <string>

#include "platform/ProgramLauncher.h"
#include "support/NetNamespace.h"
#include "support/TempDir.h"

namespace tw::test {

class SshfsShare {
 public:
  // `rate` is a tc rate ("16mbit"), applied to both directions of the link.
  explicit SshfsShare(const std::string& rate = "16mbit");
  ~SshfsShare();
  SshfsShare(const SshfsShare&) = delete;
  SshfsShare& operator=(const SshfsShare&) = delete;

  // Empty when shares can be made here, else why not.
  static std::string SkipReason();
  // The link rate in bytes per second for a tc rate such as "16mbit".
  static double RateBytesPerSecond(const std::string& rate);

  // Whether the share is mounted; Error() says what failed when not.
  bool Ok() const { return mounted_; }
  const std::string& Error() const { return error_; }

  // The mounted share (a folder of this process's file system).
  const std::string& MountPoint() const { return mountPoint_; }
  // The server's folder behind the share, seen directly (not through it).
  const std::string& ServedFolder() const { return served_; }
  const std::string& Rate() const { return rate_; }

  // Bytes that reached the client's end of the link so far: every byte read
  // from the share crosses it, none that a cache answers does.
  uint64_t ClientReceivedBytes() const;

  pid_t SshfsPid() const { return sshfsPid_; }
  // SIGSTOP: the share hangs; SIGCONT: it answers again.
  void Hang();
  void Answer();
  // SIGKILL: the share vanishes; its mount fails every call until Remount().
  void Vanish();
  // Unmounts whatever is left and mounts the share again.
  bool Remount();

 private:
  bool Prepare();
  bool StartServer();
  bool Mount();
  void Unmount();
  bool Fail(const std::string& what);

  std::string rate_;
  TempDir dir_;
  std::string served_, mountPoint_, error_;
  std::unique_ptr<NetNamespace> server_, client_;
  pid_t sshdPid_ = -1, sshfsPid_ = -1;
  bool stopped_ = false, mounted_ = false;
};

// A suite whose tests share one 16 Mbit/s share, made once for the suite;
// every test skips with the reason where no share can be made.
class SharedShareTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (SshfsShare::SkipReason().empty()) share_ = new SshfsShare("16mbit");
  }
  static void TearDownTestSuite() {
    delete share_;
    share_ = nullptr;
  }
  void SetUp() override {
    const std::string reason = SshfsShare::SkipReason();
    if (!reason.empty()) GTEST_SKIP() << reason;
    ASSERT_TRUE(share_->Ok()) << share_->Error();
  }

  static inline SshfsShare* share_ = nullptr;
};

// The same, with the program launcher started before the share and its
// files exist, as the program starts it.
class LauncherShareTest : public SharedShareTest {
 protected:
  static void SetUpTestSuite() {
    StartProgramLauncher();
    SharedShareTest::SetUpTestSuite();
  }
  static void TearDownTestSuite() {
    SharedShareTest::TearDownTestSuite();
    StopProgramLauncher();
  }
};

}  // namespace tw::test
