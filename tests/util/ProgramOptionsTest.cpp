#include "util/ProgramOptions.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

using Action = ProgramOptions::Action;

TEST(ProgramOptionsTest, OptionsAndWindowSystemArgumentsAreReadAndAnythingElseRefused) {
  const struct {
    std::vector<std::string> arguments;
    Action action;
    std::string configDir;
    std::string error;
    bool headless = false;
  } cases[] = {
      {{}, Action::Run, "", ""},
      {{"--help"}, Action::Help, "", ""},
      {{"-h", "--bogus"}, Action::Help, "", ""},
      {{"--version"}, Action::Version, "", ""},
      {{"--config-dir", "/srv/tw"}, Action::Run, "/srv/tw", ""},
      {{"--config-dir=/srv/tw", "-platform", "offscreen"}, Action::Run, "/srv/tw", ""},
      {{"-display", ":1", "-reverse"}, Action::Run, "", ""},
      {{"--headless", "--config-dir", "/srv/tw"}, Action::Run, "/srv/tw", "", true},
      {{"--config-dir=/srv/tw", "--headless"}, Action::Run, "/srv/tw", "", true},
      {{"--headless=1"}, Action::Error, "", "unknown option \"--headless=1\" (try --help)"},
      {{"--config-dir"}, Action::Error, "", "--config-dir needs a value"},
      {{"--config-dir", ""}, Action::Error, "", "--config-dir needs a folder"},
      {{"--config-dir="}, Action::Error, "", "--config-dir needs a folder"},
      {{"-platform"}, Action::Error, "", "-platform needs a value"},
      {{"--verbose"}, Action::Error, "", "unknown option \"--verbose\" (try --help)"},
      {{"/tmp/file"}, Action::Error, "", "unknown option \"/tmp/file\" (try --help)"},
  };
  for (const auto& c : cases) {
    const ProgramOptions options = ParseProgramOptions(c.arguments);
    EXPECT_EQ(options.action, c.action) << testing::PrintToString(c.arguments);
    EXPECT_EQ(options.configDir, c.configDir) << testing::PrintToString(c.arguments);
    EXPECT_EQ(options.error, c.error) << testing::PrintToString(c.arguments);
    EXPECT_EQ(options.headless, c.headless) << testing::PrintToString(c.arguments);
  }
  EXPECT_NE(ProgramUsage().find("--config-dir DIR"), std::string::npos);
  EXPECT_NE(ProgramUsage().find("--headless"), std::string::npos);
}

}  // namespace
}  // namespace tw
