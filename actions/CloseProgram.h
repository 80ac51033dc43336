// Closing another program politely: each of its top-level windows is asked
// to close, as by the window's close button; a program may refuse.
#pragma once

#include <string>

#include "platform/TopWindows.h"

namespace tw {

// True when closing by executable file can be offered (the process list can
// be read on this system).
bool CloseByFileOffered();

// Finds the last process in the system's list whose executable file equals
// `file` (compared upper-cased) and asks every top-level window of it to
// close. Nothing happens when the list cannot be read or nothing matches.
void CloseProgramByFile(const std::string& file, TopWindows& windows);

// Asks every top-level window whose title contains `title` (case-sensitive)
// to close.
void CloseProgramByTitle(const std::string& title, TopWindows& windows);

}  // namespace tw
