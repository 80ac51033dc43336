#include "util/ProgramOptions.h"

#include <algorithm>
#include <array>

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
    const bool takesValue = argument == "--config-dir" ||
                            In(kQtOptionsWithValue.begin(), kQtOptionsWithValue.end(), argument);
    if (argument.rfind("--config-dir=", 0) == 0) {
      options.configDir = argument.substr(13);
      if (options.configDir.empty()) return Failed("--config-dir needs a folder");
      continue;
    }
    if (takesValue) {
      if (i + 1 >= arguments.size()) return Failed(argument + " needs a value");
      if (argument == "--config-dir") {
        options.configDir = arguments[i + 1];
        if (options.configDir.empty()) return Failed("--config-dir needs a folder");
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
  return "Usage: tarnwick [--config-dir DIR] [--headless] [--help] [--version]\n"
         "Watches the speed of network folders, read-only files and Internet hosts.\n"
         "\n"
         "  --config-dir DIR  keep the parameters and trend files in DIR (it must exist\n"
         "                    and be writable) instead of the program folder\n"
         "  --headless        measure without a window, as a service: the parameters\n"
         "                    file must exist; logs go to standard error; SIGTERM or\n"
         "                    SIGINT ends, SIGHUP reads the parameters file again\n"
         "  --help            show this text and end\n"
         "  --version         show the version and end\n"
         "\n"
         "The window system's own options (-platform, -display, ...) are passed to Qt.\n";
}

}  // namespace tw
