#include <gtest/gtest.h>

#include "util/CommandLine.h"

namespace tw {
namespace {

TEST(SplitCommandLine, QuotesGroupAndNothingElseIsSpecial) {
  using Words = std::vector<std::string>;
  const std::pair<const char*, Words> cases[] = {
      {"", {}},
      {"   \t ", {}},
      {"prog", {"prog"}},
      {"  prog  a   b ", {"prog", "a", "b"}},
      {"\"/opt/My Dialer/dial\" -n 5", {"/opt/My Dialer/dial", "-n", "5"}},
      {"prog \"two words\" x\"y z\"w", {"prog", "two words", "xy zw"}},
      {"prog \"\" end", {"prog", "", "end"}},
      {"prog \"say \"\"hi\"\"\"", {"prog", "say \"hi\""}},
      {"prog \"unclosed quote here", {"prog", "unclosed quote here"}},
      {"rm -rf $HOME; echo `id` | cat > x & *",
       {"rm", "-rf", "$HOME;", "echo", "`id`", "|", "cat", ">", "x", "&", "*"}},
      {"C:\\Tools\\dial.exe \"C:\\My Files\\\"", {"C:\\Tools\\dial.exe", "C:\\My Files\\"}},
  };
  for (const auto& [line, words] : cases) EXPECT_EQ(SplitCommandLine(line), words) << line;
}

}  // namespace
}  // namespace tw
