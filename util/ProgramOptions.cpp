#include "util/ProgramOptions.h"

#include <algorithm>
#include <array>

#include "platform/HostAddress.h"

namespace tw {

namespace {

// Window-system options that Qt takes itself, with the ones that take a value.
constexpr std::array<const char*, 6> kQtOptionsWithValue{
    "-platform", "-display", "-style", "-geometry", "-qwindowgeometry", "-platformtheme"};
constexpr std::array<const char*, 2> kQtFlags{"-reverse", "-nograb"};

bool In(const char* const* begin, const char* const* end, const std::string& argument) {
  return std::find_if(begin, end, [&](const char* name) { return argument == name; }) != end;
}

ProgramOptions Failed(std::string error) {
  ProgramOptions options;
  options.action = ProgramOptions::Action::Error;
  options.error = std::move(error);
  return options;
}

// Reads "ADDR:PORT" of --metrics-listen into `options`; the reason when it
// is not one: an IPv4 address, "[IPv6 address]" or "localhost", then a port.
std::string ReadListenAddress(const std::string& text, ProgramOptions& options) {
  const size_t colon = text.rfind(':');
  if (colon == std::string::npos) return "--metrics-listen needs ADDR:PORT";
  std::string host = text.substr(0, colon);
  const std::string port = text.substr(colon + 1);
  const bool bracketed = host.size() > 2 && host.front() == '[' && host.back() == ']';
  if (bracketed) host = host.substr(1, host.size() - 2);
  if (host != "localhost") {
    const HostAddress address = ParseNumericAddress(host);
    const bool v6 = address.family == IpFamily::V6;
    if (!address.Resolved() || v6 != bracketed || address.scopeId != 0)
      return "--metrics-listen: \"" + text +
             "\" is not ADDR:PORT (an IPv4 address, [an IPv6 address] or localhost)";
    host = AddressText(address);
  }
  const bool digits =
      !port.empty() && port.size() <= 5 &&
      std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; });
  const int number = digits ? std::stoi(port) : 0;
  if (number < 1 || number > 65535) return "--metrics-listen: the port must be 1 to 65535";
  options.metricsAddress = host;
  options.metricsPort = number;
  return {};
}

}  // namespace

ProgramOptions ParseProgramOptions(const std::vector<std::string>& arguments) {
  ProgramOptions options;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--help" || argument == "-h") {
      options.action = ProgramOptions::Action::Help;
      return options;
    }
    if (argument == "--version") {
      options.action = ProgramOptions::Action::Version;
      return options;
    }
    if (argument == "--headless") {
      options.headless = true;
      continue;
    }
    const bool takesValue = argument == "--config-dir" || argument == "--metrics-listen" ||
                            In(kQtOptionsWithValue.begin(), kQtOptionsWithValue.end(), argument);
    if (argument.rfind("--config-dir=", 0) == 0) {
      options.configDir = argument.substr(13);
      if (options.configDir.empty()) return Failed("--config-dir needs a folder");
      continue;
    }
    if (argument.rfind("--metrics-listen=", 0) == 0) {
      const std::string problem = ReadListenAddress(argument.substr(17), options);
      if (!problem.empty()) return Failed(problem);
      continue;
    }
    if (takesValue) {
      if (i + 1 >= arguments.size()) return Failed(argument + " needs a value");
      if (argument == "--config-dir") {
        options.configDir = arguments[i + 1];
        if (options.configDir.empty()) return Failed("--config-dir needs a folder");
      }
      if (argument == "--metrics-listen") {
        const std::string problem = ReadListenAddress(arguments[i + 1], options);
        if (!problem.empty()) return Failed(problem);
      }
      ++i;
      continue;
    }
    if (In(kQtFlags.begin(), kQtFlags.end(), argument)) continue;
    return Failed("unknown option \"" + argument + "\" (try --help)");
  }
  return options;
}

std::string ProgramUsage() {
  return "Usage: tarnwick [--config-dir DIR] [--headless] [--metrics-listen ADDR:PORT] [--help]\n"
         "                [--version]\n"
         "Watches the speed of network folders, read-only files and Internet hosts.\n"
         "\n"
         "  --config-dir DIR  keep the parameters and trend files in DIR (it must exist\n"
         "                    and be writable) instead of the program folder\n"
         "  --headless        measure without a window, as a service: the parameters\n"
         "                    file must exist; logs go to standard error; SIGTERM or\n"
         "                    SIGINT ends, SIGHUP reads the parameters file again\n"
         "  --metrics-listen ADDR:PORT\n"
         "                    serve Prometheus metrics at http://ADDR:PORT/metrics; ADDR\n"
         "                    is an IPv4 address, [an IPv6 address] or localhost\n"
         "  --help            show this text and end\n"
         "  --version         show the version and end\n"
         "\n"
         "The window system's own options (-platform, -display, ...) are passed to Qt.\n";
}

}  // namespace tw
