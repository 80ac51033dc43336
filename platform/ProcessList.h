// The list of running processes, for closing a program by its executable file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tw {

struct ProcessEntry {
  int64_t pid = 0;
  std::string exeFile;  // full path of the executable file
};

// True when this system lets the program read its process list; closing a
// program by its file is not offered otherwise.
bool ProcessListAvailable();

// The running processes in the order of the system's list (ascending process
// id). Processes whose executable cannot be read are left out. False when the
// list itself cannot be read.
bool ReadProcessList(std::vector<ProcessEntry>& processes);

}  // namespace tw
