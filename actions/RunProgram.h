// Starting a program for a speed event or the event dialog's Test button.
#pragma once

#include <string>

namespace tw {

// Starts `commandLine` (program and arguments, quotes grouping words) without
// a shell. A non-empty `folder` first becomes the current folder of this
// program, and stays so afterwards. Returns false when nothing was started;
// callers report nothing.
bool RunProgram(const std::string& commandLine, const std::string& folder);

}  // namespace tw
