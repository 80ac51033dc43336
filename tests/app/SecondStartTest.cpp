// A second start for the same program folder: real program processes on the
// test X server, and this test process as the running program whose hidden
// window a second start raises.
#include <gtest/gtest.h>

#include <signal.h>

#include <QProcess>
#include <QWidget>
#include <filesystem>

#include "actions/ActionsTestSupport.h"
#include "app/SingleWindow.h"
#include "support/QtTestApp.h"
#include "support/TempDir.h"

namespace tw {
namespace {

class SecondStartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::EnsureQtApp();
    if (!test::HaveDisplay()) GTEST_SKIP() << "no X server (DISPLAY is not set)";
  }

  // Starts the program for `folder`; it keeps running until the test ends.
  QProcess* Start(const test::TempDir& folder) {
    processes_.push_back(std::make_unique<QProcess>());
    QProcess* process = processes_.back().get();
    process->setProgram(QString::fromStdString(test::TestProgram("tarnwick")));
    process->setArguments({"--config-dir", QString::fromStdString(folder.Path())});
    process->start();
    process->waitForStarted(5000);
    return process;
  }
  // Waits for `process` to end while this process answers on its own socket.
  static bool Ends(QProcess& process, int ms) {
    return test::WaitFor([&] { return process.state() == QProcess::NotRunning; }, ms);
  }
  // Starts the program for `folder` and waits until it holds the folder.
  QProcess* StartFirst(const test::TempDir& folder) {
    QProcess* process = Start(folder);
    test::WaitFor(
        [&] { return std::filesystem::exists(folder.File(SingleWindowGuard::kLockFileName)); },
        20000);
    return process;
  }
  // Whether a second start for `folder` is answered and ends with 0.
  bool Answers(const test::TempDir& folder) {
    QProcess* second = Start(folder);
    return Ends(*second, 30000) && second->exitCode() == 0;
  }
  void TearDown() override {
    for (auto& p : processes_) {
      if (p->state() != QProcess::NotRunning) {
        p->kill();
        p->waitForFinished(5000);
      }
    }
  }

  std::vector<std::unique_ptr<QProcess>> processes_;
};

TEST_F(SecondStartTest, RaisesTheHiddenWindowOfTheRunningProgramAndEnds) {
  test::TempDir folder;
  SingleWindowGuard guard(QString::fromStdString(folder.Path()));
  ASSERT_TRUE(guard.First());
  QWidget window;
  window.setWindowTitle("running");
  guard.Attach(&window);  // hidden, as in the tray
  // The same folder spelt differently is the same folder.
  std::filesystem::create_directories(folder.File("sub"));
  auto second = std::make_unique<QProcess>();
  second->setProgram(QString::fromStdString(test::TestProgram("tarnwick")));
  second->setArguments({"--config-dir", QString::fromStdString(folder.File("sub/.."))});
  second->start();
  ASSERT_TRUE(Ends(*second, 30000));
  EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second->exitCode(), 0);
  EXPECT_EQ(QString::fromLocal8Bit(second->readAllStandardOutput()),
            QString::fromStdString("tarnwick: already running for " + folder.Path() +
                                   "; its window was raised\n"));
  EXPECT_TRUE(window.isVisible());
  // It raises it again from minimised.
  window.showMinimized();
  second->start();
  ASSERT_TRUE(Ends(*second, 30000));
  EXPECT_EQ(second->exitCode(), 0);
  EXPECT_FALSE(window.windowState() & Qt::WindowMinimized);
}

TEST_F(SecondStartTest, OneProgramPerFolderAndALeftLockIsTakenOver) {
  test::TempDir a, b;
  QProcess* first = StartFirst(a);
  ASSERT_TRUE(Answers(a)) << "a second start for the same folder did not end with 0";
  EXPECT_EQ(first->state(), QProcess::Running);
  // Another folder runs on its own.
  QProcess* other = Start(b);
  EXPECT_FALSE(Ends(*other, 3000)) << "the program for another folder ended";
  // A program that died leaves its lock and socket; the next start takes
  // the folder over and is then the one that answers.
  ::kill(static_cast<pid_t>(first->processId()), SIGKILL);
  ASSERT_TRUE(Ends(*first, 5000));
  EXPECT_TRUE(std::filesystem::exists(a.File(SingleWindowGuard::kLockFileName)));
  QProcess* next = Start(a);
  EXPECT_FALSE(Ends(*next, 3000)) << "a left lock kept the program from starting";
  EXPECT_TRUE(Answers(a));
  EXPECT_EQ(next->state(), QProcess::Running);
}

}  // namespace
}  // namespace tw
