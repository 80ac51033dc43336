// Reading a whole file as bytes, bounded in size.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace tw {

// The file's bytes; nothing when it cannot be read, is larger than
// `maxBytes` or is not a regular file (a FIFO or device in its place is
// refused at once, never waited on).
std::optional<std::string> ReadFileBounded(const std::string& path, size_t maxBytes);

}  // namespace tw
