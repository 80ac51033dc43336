// The program folder: where the parameters file, the trend files and the
// help file live.
#pragma once

#include <string>

namespace tw {

// The folder named by the environment variable TARNWICK_HOME when set (tests
// use it); else the folder of the executable when the program may write
// there; else the user's configuration folder ($XDG_CONFIG_HOME/tarnwick or
// ~/.config/tarnwick; %APPDATA%\Tarnwick on Windows;
// created when missing). Ends without a separator.
std::string ProgramFolder();

// The folder of the running executable.
std::string ExecutableFolder();

// A file name inside the program folder.
std::string ProgramFile(const std::string& name);

}  // namespace tw
