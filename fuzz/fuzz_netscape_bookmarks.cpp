// Any bytes as a Netscape bookmark file: rows stay within their bounds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "util/BookmarkFormats.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::string title;
  bool titleFound = false;
  std::vector<tw::BookmarkEntry> entries;
  tw::ParseNetscapeBookmarks(text, 100, title, titleFound, entries);
  if (entries.size() > 100 || title.size() > tw::kMaxBookmarkText) std::abort();
  for (const tw::BookmarkEntry& entry : entries) {
    if (entry.address.empty() || entry.address.size() > tw::kMaxBookmarkText ||
        entry.name.size() > tw::kMaxBookmarkText) {
      std::abort();
    }
  }
  return 0;
}
