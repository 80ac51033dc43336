// Closing programs by window title and by executable file, and starting
// programs without a shell: real processes on the test X server.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <cctype>
#include <filesystem>
#include <fstream>

#include "ActionsTestSupport.h"
#include "actions/CloseProgram.h"
#include "actions/RunProgram.h"
#include "support/TempDir.h"

namespace tw {
namespace {

using test::Child;
using test::CountLines;
using test::RecordLines;
using test::WaitFor;

// Titles carry this test's process id, so that a parallel test's windows
// never match.
std::string Tag() {
  return "Tarn" + std::to_string(getpid());
}

class CloseProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::HaveDisplay()) GTEST_SKIP() << "no X server (DISPLAY is not set)";
    windows = OpenTopWindows();
    if (!windows->Available()) GTEST_SKIP() << "the X server cannot be reached";
  }

  std::unique_ptr<Child> Window(const std::string& program, const std::string& title,
                                const std::string& record) {
    auto child = std::make_unique<Child>(
        program, QStringList{QString::fromStdString(title), QString::fromStdString(record)});
    EXPECT_TRUE(test::WaitForWindow(*windows, title)) << title;
    return child;
  }

  test::TempDir dir;
  std::unique_ptr<TopWindows> windows;
};

TEST_F(CloseProgramTest, ByTitleClosesEveryWindowContainingTheText) {
  const std::string program = test::TestProgram("tw_close_window");
  struct Case {
    std::string title;
    bool closed;
  };
  const Case cases[] = {
      {Tag() + " Editor - one", true},   {Tag() + " Editor - two", true},
      {"My " + Tag() + " Editor", true},  // the text may stand anywhere
      {Tag() + " Viewer", false},        {Tag() + " editor - lower case", false},
  };
  std::vector<std::unique_ptr<Child>> children;
  for (size_t i = 0; i < std::size(cases); ++i) {
    children.push_back(Window(program, cases[i].title, dir.File(std::to_string(i))));
  }
  CloseProgramByTitle(Tag() + " Edi", *windows);
  for (size_t i = 0; i < std::size(cases); ++i) {
    if (cases[i].closed) {
      EXPECT_TRUE(children[i]->WaitFinished(5000)) << cases[i].title;
    }
  }
  WaitFor([] { return false; }, 300);
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(RecordLines(dir.File(std::to_string(i))).size(), cases[i].closed ? 1u : 0u)
        << cases[i].title;
  }
}

TEST_F(CloseProgramTest, ByFileAsksOnlyTheLastInstance) {
  ASSERT_TRUE(CloseByFileOffered());
  // A copy of its own, so that no other test's windows run from this file.
  const std::string program = dir.File("closeme");
  std::filesystem::copy_file(test::TestProgram("tw_close_window"), program);
  const std::string record = dir.File("record");
  auto first = Window(program, Tag() + " first", record);
  auto second = Window(program, Tag() + " second", record);
  auto other = Window(test::TestProgram("tw_close_window"), Tag() + " other file", record);
  const int64_t last = std::max(first->Pid(), second->Pid());

  // Not running from that file, or an empty name: nothing happens.
  CloseProgramByFile(dir.File("closeme-not"), *windows);
  CloseProgramByFile("", *windows);
  // The file name is compared without letter case.
  std::string differentCase = program;
  differentCase.replace(differentCase.size() - 7, 7, "CloseMe");
  CloseProgramByFile(differentCase, *windows);

  ASSERT_TRUE(WaitFor([&] { return !RecordLines(record).empty(); }, 5000));
  WaitFor([] { return false; }, 500);
  EXPECT_EQ(RecordLines(record), QList<QByteArray>{"close " + QByteArray::number(last)});
  EXPECT_TRUE(first->Running() || second->Running());
  EXPECT_TRUE(other->Running());
}

// A program started through a link, and a program named by its file name
// alone: the text reaches the same executable the system reports.
TEST_F(CloseProgramTest, ByFileFollowsLinksAndTakesABareFileName) {
  const std::string name = "tw-close-" + std::to_string(getpid());
  std::filesystem::create_directory(dir.File("real"));
  const std::string program = dir.File("real/" + name);
  std::filesystem::copy_file(test::TestProgram("tw_close_window"), program);
  std::filesystem::create_symlink(program, dir.File("link"));
  const std::string record = dir.File("record");

  struct Case {
    const char* how;
    std::string started, closeText;
  };
  std::string bareUpper = name;
  for (char& c : bareUpper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const Case cases[] = {
      {"started through the link, named by the link", dir.File("link"), dir.File("link")},
      {"started through the link, named by its file", dir.File("link"), program},
      {"named by a path with a detour", program, dir.File("real/../link")},
      {"named by its file name alone", program, bareUpper},
      {"started through the link, named by the file name", dir.File("link"), name},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.how);
    const std::string title = Tag() + " " + c.how;
    auto child = Window(c.started, title, record);
    // A name or path that leads elsewhere leaves it running.
    CloseProgramByFile(dir.File(name), *windows);
    CloseProgramByFile(name + "x", *windows);
    CloseProgramByFile("link", *windows);
    WaitFor([] { return false; }, 200);
    ASSERT_TRUE(child->Running());
    CloseProgramByFile(c.closeText, *windows);
    EXPECT_TRUE(child->WaitFinished(5000));
  }
  EXPECT_EQ(RecordLines(record).size(), std::size(cases));
}

TEST(ExecutableName, BareNamesMatchTheFileNamePathsTheResolvedFile) {
  test::TempDir dir;
  std::filesystem::create_directory(dir.File("bin"));
  const std::string real = std::filesystem::canonical(dir.Path()).string() + "/bin/prog";
  { std::ofstream(dir.File("bin/prog")) << "x"; }
  std::filesystem::create_symlink(dir.File("bin/prog"), dir.File("alias"));
  std::filesystem::create_directory_symlink(dir.File("bin"), dir.File("bin-link"));
  struct Case {
    std::string text, exe;
    bool matches;
  };
  const Case cases[] = {
      {"prog", real, true},
      {"PROG", real, true},
      {"prog", "/usr/bin/prog", true},  // a file name alone: any folder
      {"pro", real, false},
      {"alias", real, false},  // a file name is not resolved
      {dir.File("alias"), real, true},
      {dir.File("bin-link/prog"), real, true},
      {dir.File("bin/./../bin/prog"), real, true},
      {dir.File("bin/PROG"), real, true},     // letter case does not count
      {dir.File("other/prog"), real, false},  // another folder's file
      {dir.File("bin/prog"), "/usr/bin/prog", false},
      {"/usr/bin/prog", "/usr/bin/prog", true},
      {"/USR/BIN/PROG", "/usr/bin/prog", true},
      {"", real, false},
      {"prog", "", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ExecutableName(c.text).Matches(c.exe), c.matches) << c.text << " / " << c.exe;
  }
}

class RunProgramTest : public ::testing::Test {
 protected:
  void TearDown() override { QDir::setCurrent(QString::fromStdString(startFolder)); }
  std::string startFolder = QDir::currentPath().toStdString();
  test::TempDir dir;
};

TEST_F(RunProgramTest, StartsWithoutAShellAndKeepsTheWorkingFolder) {
  // Every word reaches the program as it stands: a shell would have run the
  // second touch and expanded the rest.
  ASSERT_TRUE(RunProgram("/usr/bin/touch \"two words\" ; touch $HOME `id` '*'", dir.Path()));
  EXPECT_EQ(QDir::currentPath().toStdString(), std::filesystem::canonical(dir.Path()).string());
  const std::vector<std::string> files = {"two words", ";", "touch", "$HOME", "`id`", "'*'"};
  ASSERT_TRUE(WaitFor(
      [&] {
        for (const std::string& f : files) {
          if (!QFile::exists(QString::fromStdString(dir.File(f)))) return false;
        }
        return true;
      },
      5000));
}

TEST_F(RunProgramTest, FailuresAreQuiet) {
  EXPECT_FALSE(RunProgram("", ""));
  EXPECT_FALSE(RunProgram("   ", ""));
  EXPECT_FALSE(RunProgram(dir.File("no such program") + " -x", ""));
  // An empty folder leaves the current folder as it was.
  const QString before = QDir::currentPath();
  RunProgram("/bin/true", "");
  EXPECT_EQ(QDir::currentPath(), before);
}

}  // namespace
}  // namespace tw
