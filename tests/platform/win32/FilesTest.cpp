// The program's own files on Windows: replaced in one step, locked without
// sharing, and the processes and browser as the system lists them.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/LockedFile.h"
#include "platform/ProcessList.h"
#include "platform/ProgramFolder.h"
#include "platform/SafeFile.h"
#include "platform/WebBrowser.h"
#include "support/Environment.h"
#include "support/TempDir.h"

namespace tw {
namespace {

namespace fs = std::filesystem;
using test::ReadAll;

TEST(Win32SafeFile, ReplacesInOneStepAndLeavesNoTemporaryFile) {
  test::TempDir dir;
  const std::string path = dir.File("RAREDARI.INI");
  ASSERT_TRUE(ReplaceFileContents(path, "first"));
  ASSERT_TRUE(ReplaceFileContents(path, "second, longer"));
  EXPECT_EQ(ReadAll(path), "second, longer");
  EXPECT_FALSE(fs::exists(path + ".new"));
  const FileRead read = ReadRegularFile(path, 100);
  EXPECT_EQ(read.status, FileReadStatus::Ok);
  EXPECT_EQ(read.bytes, "second, longer");
  EXPECT_EQ(ReadRegularFile(path, 5).status, FileReadStatus::TooLarge);
  EXPECT_EQ(ReadRegularFile(dir.File("none"), 5).status, FileReadStatus::Missing);
  EXPECT_EQ(ReadRegularFile(dir.Path(), 5).status, FileReadStatus::NotRegular);
}

TEST(Win32SafeFile, AFileHeldOpenByAnotherProgramKeepsItsContents) {
  test::TempDir dir;
  const std::string path = dir.File("RAREDARI.INI");
  ASSERT_TRUE(ReplaceFileContents(path, "old"));
  HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  std::string error;
  EXPECT_FALSE(ReplaceFileContents(path, "new", &error));
  EXPECT_FALSE(error.empty());
  CloseHandle(held);
  EXPECT_EQ(ReadAll(path), "old");
  EXPECT_FALSE(fs::exists(path + ".new"));
}

TEST(Win32SafeFile, RenameNeverReplaces) {
  test::TempDir dir;
  std::ofstream(dir.File("a")) << "a";
  std::ofstream(dir.File("b")) << "b";
  EXPECT_EQ(RenameWithoutReplacing(dir.File("a"), dir.File("b")), RenameOutcome::NameTaken);
  EXPECT_EQ(ReadAll(dir.File("b")), "b");
  EXPECT_EQ(RenameWithoutReplacing(dir.File("a"), dir.File("c")), RenameOutcome::Done);
  EXPECT_EQ(ReadAll(dir.File("c")), "a");
}

TEST(Win32LockedFile, SecondOpenIsBusyUntilTheFirstCloses) {
  test::TempDir dir;
  const std::string path = dir.File("MERLISK.D");
  LockedFile first;
  ASSERT_EQ(first.CreateNew(path), LockedFile::OpenResult::Opened);
  ASSERT_TRUE(first.WriteAt(0, "abcdef", 6));
  LockedFile second;
  EXPECT_EQ(second.CreateNew(path), LockedFile::OpenResult::Missing);
  EXPECT_EQ(second.OpenExisting(path), LockedFile::OpenResult::Busy);
  first.Close();
  ASSERT_EQ(second.OpenExisting(path), LockedFile::OpenResult::Opened);
  EXPECT_EQ(second.Size(), 6);
  char back[6] = {};
  EXPECT_EQ(second.ReadAt(2, back, 6), 4u);
  EXPECT_EQ(std::string(back, 4), "cdef");
  EXPECT_EQ(LockedFile().OpenExisting(dir.File("none")), LockedFile::OpenResult::Missing);
  EXPECT_EQ(LockedFile().OpenExisting(dir.Path()), LockedFile::OpenResult::Refused);
}

TEST(Win32ProgramFolder, TheNamedFolderIsMadeAndFilesLieInIt) {
  test::TempDir dir;
  const std::string home = dir.File("new\\home");
  const char* saved = std::getenv("TARNWICK_HOME");
  const std::string previous = saved != nullptr ? saved : "";
  test::SetEnvironment("TARNWICK_HOME", home);
  EXPECT_EQ(ProgramFolder(), home);
  EXPECT_TRUE(fs::is_directory(home));
  EXPECT_EQ(ProgramFile("RAREDARI.INI"), home + "\\RAREDARI.INI");
  test::SetEnvironment("TARNWICK_HOME", previous);
}

TEST(Win32ProcessList, ListsThisProgramWithItsFullPath) {
  ASSERT_TRUE(ProcessListAvailable());
  std::vector<ProcessEntry> processes;
  ASSERT_TRUE(ReadProcessList(processes));
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  bool found = false;
  for (const ProcessEntry& p : processes) {
    if (p.pid == static_cast<int64_t>(GetCurrentProcessId())) {
      found = fs::equivalent(p.exeFile, self);
    }
  }
  EXPECT_TRUE(found);
}

// The registered command is swapped for the test's own and put back.
TEST(Win32WebBrowser, ALongerCommandThan255CharactersCountsAsNoneAndNamesStayWhole) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  char saved[4096] = {};
  DWORD savedSize = sizeof saved;
  const bool hadValue =
      RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(saved),
                       &savedSize) == ERROR_SUCCESS;
  for (size_t length : {size_t{30}, size_t{255}, size_t{256}, size_t{600}}) {
    SCOPED_TRACE(length);
    const std::string command = "\"C:\\b.exe\" " + std::string(length - 14, 'x') + " %1";
    ASSERT_EQ(
        RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                       static_cast<DWORD>(command.size() + 1)),
        ERROR_SUCCESS);
    EXPECT_EQ(WebBrowserCommand(), length <= 255 ? command : "");
  }
  // A browser in a folder named beyond ASCII comes back in UTF-8.
  const std::wstring wide = L"\"C:\\B\u00fcro\\b.exe\" %1";
  ASSERT_EQ(RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                           static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
  EXPECT_EQ(WebBrowserCommand(), "\"C:\\B\xC3\xBCro\\b.exe\" %1");
  if (hadValue) {
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(saved), savedSize);
  } else {
    RegDeleteValueA(key, nullptr);
  }
  RegCloseKey(key);
}

}  // namespace
}  // namespace tw
