// Where the user's web browsers keep their bookmarks, and reading those
// places safely. Bookmark files belong to other programs: they may be
// damaged, huge, links, FIFOs or written to while we read, so every read is
// bounded in bytes, entries and time, and a failure only contributes nothing.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace tw {

// One row of the URL list: a bookmark's name and its web address.
struct BookmarkEntry {
  std::string name;
  std::string address;
  bool operator==(const BookmarkEntry& other) const {
    return name == other.name && address == other.address;
  }
};

// How much one lookup may read and how long it may take.
struct BookmarkLimits {
  size_t maxEntries = 20000;            // rows of the list, all sources together
  size_t maxFileBytes = 16u << 20;      // bytes read of one bookmark file
  size_t maxShortcutBytes = 64u << 10;  // bytes read of one "*.URL" file
  size_t maxShortcutFiles = 5000;       // "*.URL" files read from one folder
  std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max();
  bool Expired() const { return std::chrono::steady_clock::now() >= deadline; }
};

enum class BookmarkSourceKind {
  NetscapeFile,      // bookmark file in the Netscape HTML format
  ChromiumFile,      // "Bookmarks" JSON file of Chromium and Chrome profiles
  FirefoxPlaces,     // "places.sqlite" of a Firefox profile
  FavouritesFolder,  // a folder of "*.URL" internet shortcuts
};

struct BookmarkSource {
  BookmarkSourceKind kind;
  std::string path;
  bool operator==(const BookmarkSource& other) const {
    return kind == other.kind && path == other.path;
  }
};

// The places this user's browsers keep bookmarks in, in reading order:
// bookmark HTML files, Firefox databases, Chromium files, then the
// favourites folder. Only places that exist are listed.
std::vector<BookmarkSource> FindBookmarkSources();

// At most `maxBytes` of a regular file (a longer file gives its first part);
// nothing when it cannot be opened or is not a regular file. Never blocks on
// a FIFO or device.
std::optional<std::string> ReadForeignFile(const std::string& path, size_t maxBytes);

// The files named "*.URL" (any letter case) directly in `folder`, in the
// order the system lists them, at most `maxFiles`.
std::vector<std::string> ListShortcutFiles(const std::string& folder, size_t maxFiles);

// Appends the bookmarks of a Firefox "places.sqlite" (title and address, in
// the order of their folders and positions) while entries and time allow.
// The browser keeps the file locked while it runs, so it is opened read-only
// and immutable. False when the file cannot be read as such a database
// (what was read before the failure stays appended).
bool ReadPlacesBookmarks(const std::string& path, const BookmarkLimits& limits,
                         std::vector<BookmarkEntry>& entries);

}  // namespace tw
