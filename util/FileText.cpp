#include "util/FileText.h"

#include <fstream>

namespace tw {

std::optional<std::string> ReadFileBounded(const std::string& path, size_t maxBytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string text;
  char buffer[65536];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    text.append(buffer, static_cast<size_t>(in.gcount()));
    if (text.size() > maxBytes) return std::nullopt;
  }
  if (in.bad()) return std::nullopt;
  return text;
}

}  // namespace tw
