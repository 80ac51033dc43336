// Replacing a file in one step, so that a failed or interrupted write never
// destroys the previous contents.
#pragma once

#include <string>

namespace tw {

// Writes `bytes` to a new file beside `path` and renames it over `path` only
// when every byte has reached the disk. On failure the old file (if any) is
// untouched, the temporary file is removed, and `error` (when given) holds a
// short reason. Returns true on success.
bool ReplaceFileContents(const std::string& path, const std::string& bytes,
                         std::string* error = nullptr);

}  // namespace tw
