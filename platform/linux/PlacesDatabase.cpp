// Reading the bookmarks of a Firefox profile from its "places.sqlite".
// Firefox holds an exclusive lock on the database while it runs, so the file
// is opened read-only and immutable: SQLite then takes no locks and never
// looks for a journal, and reads the file as it stands. A file that changes
// under us can give a read error, which ends the reading with what was read.
#include "platform/Bookmarks.h"

#if TARNWICK_HAVE_SQLITE
#include <sqlite3.h>

#include <cstdio>

namespace tw {

namespace {

// The file name as an SQLite URI path: characters with a meaning in a URI
// are escaped, so that a profile folder named "a?b#c" still opens.
std::string UriPath(const std::string& path) {
  std::string uri = "file:";
  for (const unsigned char c : path) {
    if (c == '%' || c == '?' || c == '#' || c < 0x21 || c >= 0x7F) {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", c);
      uri += escaped;
    } else {
      uri += static_cast<char>(c);
    }
  }
  return uri + "?mode=ro&immutable=1";
}

// Stops a query that runs past the lookup's deadline.
int CheckDeadline(void* limits) {
  return static_cast<const BookmarkLimits*>(limits)->Expired() ? 1 : 0;
}

std::string ColumnText(sqlite3_stmt* statement, int column) {
  const unsigned char* text = sqlite3_column_text(statement, column);
  const int bytes = sqlite3_column_bytes(statement, column);
  if (text == nullptr || bytes <= 0) return {};
  return std::string(reinterpret_cast<const char*>(text), static_cast<size_t>(bytes));
}

// Bookmarks (type 1) with their page addresses; query entries ("place:")
// are the browser's own views, not web addresses.
constexpr const char* kBookmarksQuery =
    "SELECT COALESCE(b.title, p.title, ''), p.url FROM moz_bookmarks AS b"
    " JOIN moz_places AS p ON p.id = b.fk"
    " WHERE b.type = 1 AND p.url NOT LIKE 'place:%'"
    " ORDER BY b.parent, b.position, b.id LIMIT ?1";

bool ReadRows(sqlite3* db, const BookmarkLimits& limits, std::vector<BookmarkEntry>& entries) {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db, kBookmarksQuery, -1, &statement, nullptr) != SQLITE_OK) return false;
  const size_t room = limits.maxEntries > entries.size() ? limits.maxEntries - entries.size() : 0;
  sqlite3_bind_int64(statement, 1, static_cast<sqlite3_int64>(room));
  int step = SQLITE_ROW;
  while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
    entries.push_back({ColumnText(statement, 0), ColumnText(statement, 1)});
  }
  sqlite3_finalize(statement);
  return step == SQLITE_DONE;
}

}  // namespace

bool ReadPlacesBookmarks(const std::string& path, const BookmarkLimits& limits,
                         std::vector<BookmarkEntry>& entries) {
  if (entries.size() >= limits.maxEntries || limits.Expired()) return true;
  sqlite3* db = nullptr;
  const int flags = SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX;
  if (sqlite3_open_v2(UriPath(path).c_str(), &db, flags, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    return false;
  }
  // The file is foreign: its schema may hold views or triggers that call
  // functions; none of them may run here.
  sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  sqlite3_progress_handler(db, 1000, CheckDeadline, const_cast<BookmarkLimits*>(&limits));
  const bool ok = ReadRows(db, limits, entries);
  sqlite3_close(db);
  return ok;
}

}  // namespace tw

#else

namespace tw {

// Built without SQLite: Firefox databases contribute nothing.
bool ReadPlacesBookmarks(const std::string&, const BookmarkLimits&, std::vector<BookmarkEntry>&) {
  return false;
}

}  // namespace tw

#endif
