// The parameters file is exchangeable with Windows' own reader and writer:
// what IniFile writes, GetPrivateProfileStringA reads back unchanged, and
// what WritePrivateProfileStringA writes, IniFile reads.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "monitor/IniFile.h"
#include "platform/SafeFile.h"
#include "support/TempDir.h"

namespace tw {
namespace {

std::string ProfileString(const std::string& path, const std::string& section,
                          const std::string& key) {
  char buffer[4096] = {};
  GetPrivateProfileStringA(section.c_str(), key.c_str(), "<missing>", buffer, sizeof buffer,
                           path.c_str());
  return buffer;
}

struct Entry {
  const char* section;
  const char* key;
  std::string value;
};

const std::vector<Entry>& Entries() {
  static const std::vector<Entry> entries = {
      {"Main", "Sign", "TARNWICK"},
      {"Main", "Ping objects", "1"},
      {"Objects", "Object10", "www.example.org"},
      {"Objects", "Object11", "C:\\Users\\Ann\\disc.iso"},
      {"Objects", "Blanks", "  kept at both ends  "},
      {"Objects", "Quoted", "\"in quotes\""},
      {"Objects", "Equals", "a=b;c"},
      {"Events", "Command", "notepad.exe \"C:\\a b\\log.txt\""},
      {"Events", "Empty", ""},
  };
  return entries;
}

TEST(IniExchange, WrittenHereReadByWindowsItself) {
  test::TempDir dir;
  const std::string path = dir.File("RAREDARI.INI");
  IniFile ini;
  for (const Entry& e : Entries()) ini.WriteString(e.section, e.key, e.value);
  ini.WriteInteger("Main", "Number", -42);
  ASSERT_TRUE(ReplaceFileContents(path, ini.ToText()));
  for (const Entry& e : Entries()) {
    SCOPED_TRACE(e.key);
    EXPECT_EQ(ProfileString(path, e.section, e.key), e.value);
  }
  EXPECT_EQ(GetPrivateProfileIntA("Main", "Number", 0, path.c_str()), -42);
  // Names match without regard to letter case, as here.
  EXPECT_EQ(ProfileString(path, "MAIN", "sign"), "TARNWICK");
}

TEST(IniExchange, WrittenByWindowsReadHere) {
  test::TempDir dir;
  const std::string path = dir.File("RAREDARI.INI");
  for (const Entry& e : Entries()) {
    if (e.value.front() == ' ' || e.value.front() == '"' || e.value.empty()) continue;
    ASSERT_TRUE(WritePrivateProfileStringA(e.section, e.key, e.value.c_str(), path.c_str()));
  }
  const auto ini = IniFile::Load(path);
  ASSERT_TRUE(ini.has_value());
  for (const Entry& e : Entries()) {
    if (e.value.front() == ' ' || e.value.front() == '"' || e.value.empty()) continue;
    SCOPED_TRACE(e.key);
    EXPECT_EQ(ini->ReadString(e.section, e.key, "<missing>"), e.value);
  }
}

}  // namespace
}  // namespace tw
