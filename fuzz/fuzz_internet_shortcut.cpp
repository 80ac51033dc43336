// Any bytes as an internet shortcut file, and as its file name.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "util/BookmarkFormats.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  if (tw::InternetShortcutUrl(text).size() > tw::kMaxBookmarkText) std::abort();
  if (tw::ShortcutListName(text).find('.') != std::string::npos) std::abort();
  return 0;
}
