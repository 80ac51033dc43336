// Event programs started through the launcher behave as ones started by
// this program itself: no shell, the working folder rule, the session-bus
// address rule, quiet failures.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QDir>
#include <filesystem>
#include <fstream>
#include <string>

#include "actions/RunProgram.h"
#include "platform/AccessibleButtons.h"
#include "platform/ProgramLauncher.h"
#include "support/QtTestApp.h"
#include "support/TempDir.h"

namespace tw {
namespace {

namespace fs = std::filesystem;

class RunProgramLauncherTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(StartProgramLauncher()); }
  void TearDown() override {
    StopProgramLauncher();
    QDir::setCurrent(QString::fromStdString(startFolder_));
  }
  bool Appears(const std::string& path) {
    return test::WaitFor([&] { return fs::exists(path); }, 5000);
  }
  std::string Read(const std::string& path) {
    std::ifstream in(path);
    return std::string((std::istreambuf_iterator<char>(in)), {});
  }

  std::string startFolder_ = QDir::currentPath().toStdString();
  test::TempDir dir_;
};

TEST_F(RunProgramLauncherTest, StartsWithoutAShellInTheWorkingFolder) {
  const int launcher = ProgramLauncherPid();
  ASSERT_TRUE(RunProgram("/usr/bin/touch \"two words\" ; $HOME '*'", dir_.Path()));
  EXPECT_EQ(QDir::currentPath().toStdString(), fs::canonical(dir_.Path()).string());
  for (const char* name : {"two words", ";", "$HOME", "'*'"}) EXPECT_TRUE(Appears(dir_.File(name)));
  // A relative folder is taken from the current one, as before.
  fs::create_directory(dir_.File("sub"));
  ASSERT_TRUE(RunProgram("/usr/bin/touch in-sub", "sub"));
  EXPECT_TRUE(Appears(dir_.File("sub/in-sub")));
  // A folder that does not exist leaves the program in the current folder.
  ASSERT_TRUE(RunProgram("/usr/bin/touch stayed", dir_.File("missing")));
  EXPECT_TRUE(Appears(dir_.File("sub/stayed")));
  EXPECT_EQ(ProgramLauncherPid(), launcher);  // all of them went through it
}

TEST_F(RunProgramLauncherTest, FailuresAreQuiet) {
  EXPECT_FALSE(RunProgram("", ""));
  EXPECT_FALSE(RunProgram("   ", ""));
  EXPECT_FALSE(RunProgram(dir_.File("no such program") + " -x", ""));
  EXPECT_NE(ProgramLauncherPid(), -1);
}

TEST_F(RunProgramLauncherTest, TheSessionBusPlaceholderIsNotPassedOn) {
  const char* saved = getenv("DBUS_SESSION_BUS_ADDRESS");
  const std::string kept = saved != nullptr ? saved : "";
  struct Case {
    std::string address;
    bool passedOn;
  };
  const Case cases[] = {{kNoSessionBusAddress, false}, {"unix:path=/run/test-bus", true}};
  int n = 0;
  for (const Case& c : cases) {
    setenv("DBUS_SESSION_BUS_ADDRESS", c.address.c_str(), 1);
    const std::string file = dir_.File("env" + std::to_string(n++));
    ASSERT_TRUE(RunProgram(
        "/bin/sh -c \"/usr/bin/env > " + file + ".tmp; mv " + file + ".tmp " + file + "\"", ""));
    ASSERT_TRUE(Appears(file));
    const bool found =
        Read(file).find("DBUS_SESSION_BUS_ADDRESS=" + c.address + "\n") != std::string::npos;
    EXPECT_EQ(found, c.passedOn) << c.address;
  }
  if (saved != nullptr) {
    setenv("DBUS_SESSION_BUS_ADDRESS", kept.c_str(), 1);
  } else {
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
  }
}

}  // namespace
}  // namespace tw
