// Reading a whole file as bytes, bounded in size.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace tw {

// The file's bytes; nothing when it cannot be read or is larger than `maxBytes`.
std::optional<std::string> ReadFileBounded(const std::string& path, size_t maxBytes);

}  // namespace tw
