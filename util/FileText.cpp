#include "util/FileText.h"

#include "platform/SafeFile.h"

namespace tw {

std::optional<std::string> ReadFileBounded(const std::string& path, size_t maxBytes) {
  FileRead read = ReadRegularFile(path, maxBytes);
  if (read.status != FileReadStatus::Ok) return std::nullopt;
  return std::move(read.bytes);
}

}  // namespace tw
