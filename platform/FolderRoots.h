// What the folder picker offers at its top level.
#pragma once

#include <string>
#include <vector>

namespace tw {

// The roots of the file system: "/" here, the drive roots on Windows.
std::vector<std::string> FileSystemRoots();

// The text of the table of mounted file systems in the format of
// /proc/self/mounts; empty where the system has none.
std::string MountTableText();

// True where file names ignore letter case (the picker then gives paths in
// lower case, as the program always did there).
bool FileNamesIgnoreCase();

}  // namespace tw
