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

TEST(ProgramOptionsTest, MetricsListenTakesAnAddressAndAPortAndRefusesAnythingElse) {
  const std::string form = " is not ADDR:PORT (an IPv4 address, [an IPv6 address] or localhost)";
  const struct {
    std::string value;
    std::string address;
    int port;
    std::string error;
  } cases[] = {
      {"127.0.0.1:9798", "127.0.0.1", 9798, ""},
      {"0.0.0.0:1", "0.0.0.0", 1, ""},
      {"[::1]:65535", "::1", 65535, ""},
      {"[2001:DB8:0::5]:9798", "2001:db8::5", 9798, ""},
      {"[::]:9798", "::", 9798, ""},
      {"localhost:9798", "localhost", 9798, ""},
      {"9798", "", 0, "--metrics-listen needs ADDR:PORT"},
      {"::1:9798", "", 0, "--metrics-listen: \"::1:9798\"" + form},
      {"[127.0.0.1]:9798", "", 0, "--metrics-listen: \"[127.0.0.1]:9798\"" + form},
      {"example.com:9798", "", 0, "--metrics-listen: \"example.com:9798\"" + form},
      {":9798", "", 0, "--metrics-listen: \":9798\"" + form},
      {"127.0.0.1:0", "", 0, "--metrics-listen: the port must be 1 to 65535"},
      {"127.0.0.1:65536", "", 0, "--metrics-listen: the port must be 1 to 65535"},
      {"127.0.0.1:", "", 0, "--metrics-listen: the port must be 1 to 65535"},
      {"127.0.0.1:+80", "", 0, "--metrics-listen: the port must be 1 to 65535"},
      {"127.0.0.1:0000080", "", 0, "--metrics-listen: the port must be 1 to 65535"},
  };
  for (const auto& c : cases) {
    for (const auto& arguments : {std::vector<std::string>{"--metrics-listen", c.value},
                                  std::vector<std::string>{"--metrics-listen=" + c.value}}) {
      const ProgramOptions options = ParseProgramOptions(arguments);
      EXPECT_EQ(options.action, c.error.empty() ? Action::Run : Action::Error) << c.value;
      EXPECT_EQ(options.metricsAddress, c.address) << c.value;
      EXPECT_EQ(options.metricsPort, c.port) << c.value;
      EXPECT_EQ(options.error, c.error) << c.value;
    }
  }
  EXPECT_EQ(ParseProgramOptions({"--metrics-listen"}).error, "--metrics-listen needs a value");
  EXPECT_NE(ProgramUsage().find("--metrics-listen ADDR:PORT"), std::string::npos);
}

}  // namespace
}  // namespace tw
