// Splitting a command line into the program and its arguments, so that a
// program can be started without a shell interpreting anything in it.
#pragma once

#include <string>
#include <vector>

namespace tw {

// Blanks and tabs separate words; double quotes group words (and are
// removed); two double quotes inside a quoted part stand for one. Nothing
// else is special: backslashes, "$", ";", "|" and "*" are plain characters.
// An empty pair of quotes is an empty word. The first word is the program.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

}  // namespace tw
