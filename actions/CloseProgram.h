// Closing another program politely: each of its top-level windows is asked
// to close, as by the window's close button; a program may refuse.
#pragma once

#include <string>

#include "platform/TopWindows.h"

namespace tw {

// True when closing by executable file can be offered (the process list can
// be read on this system).
bool CloseByFileOffered();

// How the "close by file" text names an executable file. A bare file name
// (no folder in it) matches an executable of that name in any folder. A path,
// absolute or relative to the current folder, matches the executable it leads
// to once links and "." and ".." are resolved, so a program started through a
// link is found by the link's path too. Letter case is ignored (ASCII).
class ExecutableName {
 public:
  explicit ExecutableName(const std::string& text);
  // `exeFile` is a running process's executable as the system reports it:
  // its full path with every link resolved.
  bool Matches(const std::string& exeFile) const;
  bool Empty() const { return wanted_.empty(); }

 private:
  std::string wanted_;  // upper-cased file name or resolved path
  bool bareName_ = false;
};

// Finds the last process in the system's list whose executable `file` names
// (see ExecutableName) and asks every top-level window of it to close.
// Nothing happens when the list cannot be read or nothing matches.
void CloseProgramByFile(const std::string& file, TopWindows& windows);

// Asks every top-level window whose title contains `title` (case-sensitive)
// to close.
void CloseProgramByTitle(const std::string& title, TopWindows& windows);

}  // namespace tw
