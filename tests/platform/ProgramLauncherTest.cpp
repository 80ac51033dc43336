// The program launcher for real: started programs, failed execs, working
// folders, environments, and the launcher's own life and end.
#include "platform/ProgramLauncher.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "platform/linux/LauncherMessages.h"
#include "support/TempDir.h"

extern char** environ;

namespace tw {
namespace {

namespace fs = std::filesystem;

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

std::vector<std::string> ThisEnvironment() {
  std::vector<std::string> entries;
  for (char** entry = environ; *entry != nullptr; ++entry) entries.emplace_back(*entry);
  return entries;
}

// Fields of /proc/<pid>/stat after the name: state, then parent.
bool ProcessState(pid_t pid, char& state, pid_t& parent) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(in)), {});
  const size_t close = text.rfind(')');
  if (close == std::string::npos) return false;
  std::istringstream rest(text.substr(close + 1));
  return static_cast<bool>(rest >> state >> parent);
}

// Gone, or dead and only waiting for a parent to reap it.
bool Ended(pid_t pid) {
  char state = 0;
  pid_t parent = 0;
  return !ProcessState(pid, state, parent) || state == 'Z' || state == 'X';
}

std::vector<pid_t> ChildrenOf(pid_t parent) {
  std::vector<pid_t> children;
  for (const auto& entry : fs::directory_iterator("/proc")) {
    const std::string name = entry.path().filename();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    char state = 0;
    pid_t itsParent = 0;
    if (ProcessState(std::stoi(name), state, itsParent) && itsParent == parent) {
      children.push_back(std::stoi(name));
    }
  }
  return children;
}

ProgramStart Shell(const std::string& script, const std::string& folder) {
  return {"/bin/sh", {"-c", script}, {folder}, ThisEnvironment()};
}

class ProgramLauncherTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(StartProgramLauncher()); }
  void TearDown() override { StopProgramLauncher(); }

  std::string Read(const std::string& name) const {
    std::ifstream in(dir_.File(name));
    return std::string((std::istreambuf_iterator<char>(in)), {});
  }
  bool Appears(const std::string& name) const {
    return WaitUntil([&] { return fs::exists(dir_.File(name)); }, 5000);
  }

  test::TempDir dir_;
};

TEST_F(ProgramLauncherTest, TellsWhetherTheProgramStarted) {
  std::ofstream(dir_.File("plain.txt")) << "not a program\n";
  const std::string missing = dir_.File("missing");
  struct Case {
    const char* what;
    ProgramStart start;
    LaunchOutcome outcome;
  };
  const Case cases[] = {
      {"no such program", {missing, {}, {dir_.Path()}, ThisEnvironment()}, LaunchOutcome::Failed},
      {"not executable", {dir_.File("plain.txt"), {}, {dir_.Path()}, {}}, LaunchOutcome::Failed},
      {"empty name", {"", {}, {dir_.Path()}, {}}, LaunchOutcome::Failed},
      {"no folder can be entered", {"/bin/true", {}, {missing}, {}}, LaunchOutcome::Failed},
      {"started", {"/bin/true", {}, {dir_.Path()}, {}}, LaunchOutcome::Started},
      {"the next folder",
       {"/bin/sh", {"-c", "pwd > folder.txt"}, {missing, dir_.Path()}, ThisEnvironment()},
       LaunchOutcome::Started},
  };
  for (const Case& c : cases) EXPECT_EQ(LaunchProgram(c.start), c.outcome) << c.what;
  ASSERT_TRUE(Appears("folder.txt"));
  EXPECT_TRUE(WaitUntil([&] { return Read("folder.txt") == dir_.Path() + "\n"; }, 5000));
}

TEST_F(ProgramLauncherTest, ManyRequestsInARow) {
  constexpr int kCount = 40;
  for (int i = 0; i < kCount; ++i) {
    const std::string name = "marker" + std::to_string(i);
    ASSERT_EQ(LaunchProgram({"/usr/bin/touch", {name}, {dir_.Path()}, {}}), LaunchOutcome::Started)
        << i;
    ASSERT_EQ(LaunchProgram({dir_.File("missing"), {}, {dir_.Path()}, {}}), LaunchOutcome::Failed)
        << i;
  }
  for (int i = 0; i < kCount; ++i) EXPECT_TRUE(Appears("marker" + std::to_string(i))) << i;
  // Every middle process of the double fork has been reaped.
  EXPECT_TRUE(WaitUntil([] { return ChildrenOf(ProgramLauncherPid()).empty(); }, 2000));
}

TEST_F(ProgramLauncherTest, TheProgramGetsTheRequestsEnvironmentAndPath) {
  // The launcher was forked with this variable; the program must not see it.
  setenv("TW_LAUNCHER_ONLY", "1", 1);
  StopProgramLauncher();
  ASSERT_TRUE(StartProgramLauncher());
  unsetenv("TW_LAUNCHER_ONLY");
  fs::create_directory(dir_.File("bin"));
  const std::string tool = dir_.File("bin/tool");
  std::ofstream(tool) << "#!/bin/sh\n/usr/bin/env > env.tmp\n/bin/mv env.tmp env.txt\n";
  fs::permissions(tool, fs::perms::owner_all);
  // Found through the request's PATH, not through the launcher's.
  const ProgramStart start{"tool", {}, {dir_.Path()}, {"PATH=" + dir_.File("bin"), "MARK=a b"}};
  ASSERT_EQ(LaunchProgram(start), LaunchOutcome::Started);
  ASSERT_TRUE(Appears("env.txt"));
  const std::string env = Read("env.txt");
  EXPECT_NE(env.find("MARK=a b\n"), std::string::npos) << env;
  EXPECT_EQ(env.find("TW_LAUNCHER_ONLY"), std::string::npos) << env;
}

TEST_F(ProgramLauncherTest, TheProgramIsNoChildOfOursAndOutlivesTheLauncher) {
  const pid_t launcher = ProgramLauncherPid();
  ASSERT_EQ(
      LaunchProgram(Shell("echo $$ > pid.tmp; mv pid.tmp pid.txt; exec sleep 30", dir_.Path())),
      LaunchOutcome::Started);
  ASSERT_TRUE(Appears("pid.txt"));
  const pid_t program = std::stoi(Read("pid.txt"));
  char state = 0;
  pid_t parent = 0;
  ASSERT_TRUE(ProcessState(program, state, parent));
  EXPECT_NE(parent, getpid());
  EXPECT_NE(parent, launcher);
  EXPECT_EQ(waitpid(program, nullptr, WNOHANG), -1);
  EXPECT_TRUE(WaitUntil([&] { return ChildrenOf(launcher).empty(); }, 2000));
  StopProgramLauncher();
  EXPECT_EQ(ProgramLauncherPid(), -1);
  EXPECT_FALSE(Ended(program));
  kill(program, SIGKILL);
}

// A request survives the trip whole; a damaged one is refused without
// believing its counts.
TEST(LauncherRequestTest, RoundTripAndDamage) {
  const ProgramStart start{"prog", {"a", "", std::string("b\0c", 3)}, {"/x", "/y"}, {"A=1"}};
  const std::string bytes = launcher::EncodeRequest(start);
  ProgramStart back;
  ASSERT_TRUE(launcher::DecodeRequest(bytes, back));
  EXPECT_EQ(back.program, start.program);
  EXPECT_EQ(back.arguments, start.arguments);
  EXPECT_EQ(back.folders, start.folders);
  EXPECT_EQ(back.environment, start.environment);
  std::string huge = bytes;
  huge.replace(0, 4, "\xff\xff\xff\xff");  // four billion arguments claimed
  const std::string damaged[] = {"", bytes.substr(0, 3), bytes.substr(0, bytes.size() - 1),
                                 bytes + "x", huge};
  for (const std::string& d : damaged) {
    ProgramStart out;
    EXPECT_FALSE(launcher::DecodeRequest(d, out)) << d.size();
  }
}

TEST(ProgramLauncherAbsentTest, WithoutALauncherTheCallerStartsTheProgram) {
  StopProgramLauncher();
  EXPECT_EQ(LaunchProgram({"/bin/true", {}, {"/"}, {}}), LaunchOutcome::Unavailable);
  // One that has died is given up, and the caller's own way takes over.
  ASSERT_TRUE(StartProgramLauncher());
  kill(ProgramLauncherPid(), SIGKILL);
  ASSERT_TRUE(WaitUntil([] { return Ended(ProgramLauncherPid()); }, 2000));
  EXPECT_EQ(LaunchProgram({"/bin/true", {}, {"/"}, {}}), LaunchOutcome::Unavailable);
  EXPECT_EQ(ProgramLauncherPid(), -1);
}

// The launcher ends with the program that forked it: by the end of its
// socket, and by the parent-death signal where a stray copy of the socket
// keeps it open.
TEST(ProgramLauncherLifeTest, EndsWhenItsProgramEnds) {
  ASSERT_EQ(ProgramLauncherPid(), -1);
  enum class End { Exits, IsKilled, ExitsLeavingTheSocketOpen };
  for (End end : {End::Exits, End::IsKilled, End::ExitsLeavingTheSocketOpen}) {
    int report[2];
    ASSERT_EQ(pipe(report), 0);
    const pid_t program = fork();
    ASSERT_GE(program, 0);
    if (program == 0) {
      if (!StartProgramLauncher()) _exit(1);
      const pid_t pids[2] = {ProgramLauncherPid(),
                             end == End::ExitsLeavingTheSocketOpen ? fork() : -1};
      if (pids[1] == 0) {
        pause();  // holds a copy of the socket's end
        _exit(0);
      }
      (void)!write(report[1], pids, sizeof pids);
      if (end == End::IsKilled) pause();
      _exit(0);
    }
    close(report[1]);
    pid_t pids[2] = {-1, -1};
    ASSERT_EQ(read(report[0], pids, sizeof pids), static_cast<ssize_t>(sizeof pids));
    close(report[0]);
    if (end == End::IsKilled) kill(program, SIGKILL);
    waitpid(program, nullptr, 0);
    EXPECT_TRUE(WaitUntil([&] { return Ended(pids[0]); }, 2000)) << static_cast<int>(end);
    if (pids[1] > 0) kill(pids[1], SIGKILL);
  }
}

}  // namespace
}  // namespace tw
