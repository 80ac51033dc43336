// The per-user folder for what the program remembers about this machine
// outside its own files (for example, that it has saved its parameters here).
#pragma once

#include <string>

namespace tw {

// The folder named by TARNWICK_STATE_DIR when set (tests use it); else
// $XDG_STATE_HOME/tarnwick or ~/.local/state/tarnwick on Linux,
// %LOCALAPPDATA%\Tarnwick on Windows. Created when missing; no trailing
// separator. Empty when no such folder can be named.
std::string StateFolder();

// The system's own per-user state folder, not created; empty when it cannot
// be named (one per system, in linux/ and win32/).
std::string SystemStateFolder();

}  // namespace tw
