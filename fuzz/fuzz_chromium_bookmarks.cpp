// Any bytes as a Chromium "Bookmarks" file.
#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "dialogs/BookmarkLookup.h"
#include "util/BookmarkFormats.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray json(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  std::vector<tw::BookmarkEntry> entries;
  tw::ParseChromiumBookmarks(json, 100, entries);
  if (entries.size() > 100) std::abort();
  for (const tw::BookmarkEntry& entry : entries) {
    if (entry.address.empty() || entry.address.size() > tw::kMaxBookmarkText) std::abort();
  }
  return 0;
}
