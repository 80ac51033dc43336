// The program's command line: --help, --version, --config-dir DIR and
// --headless, --metrics-listen ADDR:PORT; the options of the window system
// that Qt reads are let through to it.
#pragma once

#include <string>
#include <vector>

namespace tw {

struct ProgramOptions {
  enum class Action { Run, Help, Version, Error };
  Action action = Action::Run;
  std::string configDir;  // --config-dir; empty: the usual program folder
  bool headless = false;  // --headless: measure without a window (a service)
  std::string error;      // one line, for Action::Error
  // --metrics-listen: where to serve /metrics. The address is a numeric one
  // in its usual text ("127.0.0.1", "::1") or "localhost"; empty: no server.
  std::string metricsAddress;
  int metricsPort = 0;  // 1..65535 when metricsAddress is set
};

// Reads the arguments after the program name.
ProgramOptions ParseProgramOptions(const std::vector<std::string>& arguments);

// The text --help prints.
std::string ProgramUsage();

}  // namespace tw
