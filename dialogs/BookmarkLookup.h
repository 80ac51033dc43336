// Gathering the rows of the URL list from every place the user's browsers
// keep bookmarks (see platform/Bookmarks.h), within the lookup's limits.
#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

#include "platform/Bookmarks.h"

namespace tw {

struct BookmarkList {
  std::vector<BookmarkEntry> entries;  // UTF-8 texts of at most 255 bytes
  QString title;                       // the bookmark file's title, when one had it
  bool titleFound = false;
};

// Appends the bookmarks of a Chromium or Chrome "Bookmarks" file (JSON):
// every "url" node below "roots", depth first in the file's order, bar
// first. A damaged file or one nested deeper than 100 folders gives what
// was read before the damage (JSON that does not parse gives nothing).
void ParseChromiumBookmarks(const QByteArray& json, size_t maxEntries,
                            std::vector<BookmarkEntry>& entries);

// Reads every source in order until the limits are reached; a source that
// cannot be read contributes nothing.
BookmarkList CollectBookmarks(const std::vector<BookmarkSource>& sources,
                              const BookmarkLimits& limits);

// A text of a foreign file for display: UTF-8 when it is valid UTF-8,
// otherwise read as Latin-1 (older bookmark files), so no byte is lost.
QString ForeignText(const std::string& bytes);

}  // namespace tw
