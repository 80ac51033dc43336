// Starting an event's program while a network share hangs: a measuring
// thread holds a file open on a share whose server has stopped answering.
// A start that forks this program waits for that share (its child must
// close the file on its way into the program); the launcher's start must
// not. A helper thread lets the share answer after kRescueMs, so that a
// start that waits for it fails by time instead of hanging the suite.
#include <gtest/gtest.h>

#include <QDir>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "actions/RunProgram.h"
#include "platform/DriveIo.h"
#include "platform/ProgramLauncher.h"
#include "support/QtTestApp.h"
#include "support/SshfsShare.h"
#include "support/TempDir.h"

namespace tw {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kRescueMs = 5000;

// Lets the hung share answer again after kRescueMs, or at once when it ends.
class Rescue {
 public:
  explicit Rescue(test::SshfsShare& share)
      : share_(share), thread_([this] {
          std::unique_lock<std::mutex> lock(mutex_);
          done_.wait_for(lock, std::chrono::milliseconds(kRescueMs), [this] { return ended_; });
          share_.Answer();
        }) {}
  ~Rescue() {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      ended_ = true;
    }
    done_.notify_one();
    thread_.join();
  }

 private:
  test::SshfsShare& share_;
  std::mutex mutex_;
  std::condition_variable done_;
  bool ended_ = false;
  std::thread thread_;
};

class RunProgramShareTest : public test::LauncherShareTest {
 protected:
  void SetUp() override {
    LauncherShareTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_NE(ProgramLauncherPid(), -1);
    held_ = SystemDriveIo().CreateTestFile(share_->MountPoint() + "/held.tmp");
    ASSERT_NE(held_, nullptr);
    const uint8_t block[4096] = {};
    ASSERT_TRUE(held_->Write(block, sizeof block, 0));
  }
  void TearDown() override {
    if (held_ != nullptr)
      SystemDriveIo().RemoveTestFile(share_->MountPoint() + "/held.tmp", *held_);
    held_.reset();
    QDir::setCurrent(QString::fromStdString(startFolder_));
  }

  static long long MsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
  }

  std::unique_ptr<DriveFile> held_;
  std::string startFolder_ = QDir::currentPath().toStdString();
  test::TempDir local_;
};

TEST_F(RunProgramShareTest, StartsAtOnceWhileAShareHangs) {
  const std::string marker = local_.File("started");
  bool started = false;
  long long tookMs = 0;
  {
    share_->Hang();
    Rescue rescue(*share_);
    const auto start = Clock::now();
    started = RunProgram("/usr/bin/touch " + marker, local_.Path());
    tookMs = MsSince(start);
    // The program really runs while the share still hangs.
    EXPECT_TRUE(test::WaitFor([&] { return fs::exists(marker); }, 1000));
  }
  EXPECT_TRUE(started);
  EXPECT_LT(tookMs, 1000);
  EXPECT_EQ(QDir::currentPath().toStdString(), fs::canonical(local_.Path()).string());
}

// A working folder on the hung share: only the program's own process waits
// for it; the caller gives up after the bounded wait, keeps its current
// folder, and the program starts once the share answers.
TEST_F(RunProgramShareTest, AWorkingFolderOnTheHungShareDoesNotHoldTheCaller) {
  const std::string folder = share_->MountPoint() + "/work";
  fs::create_directories(folder);
  const std::string marker = local_.File("started-late");
  const std::string before = QDir::currentPath().toStdString();
  bool started = true;
  long long tookMs = 0;
  {
    share_->Hang();
    Rescue rescue(*share_);
    const auto start = Clock::now();
    started = RunProgram("/usr/bin/touch " + marker, folder);
    tookMs = MsSince(start);
  }
  EXPECT_FALSE(started);
  EXPECT_LT(tookMs, 3500);
  EXPECT_EQ(QDir::currentPath().toStdString(), before);
  EXPECT_TRUE(test::WaitFor([&] { return fs::exists(marker); }, 5000));
  fs::remove(folder);
}

}  // namespace
}  // namespace tw
