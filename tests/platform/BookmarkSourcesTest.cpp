// Finding the user's bookmarks below a home folder made by the test, and
// reading the places a browser leaves: Firefox databases (made here with
// SQLite in Firefox's table layout, also while "the browser" holds its lock),
// FIFOs, symbolic-link loops, damaged files and huge folders.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>

#include "platform/Bookmarks.h"
#include "support/HomeSandbox.h"

#if TARNWICK_TEST_SQLITE
#include <sqlite3.h>
#endif

namespace tw {
namespace {

namespace fs = std::filesystem;

using test::HomeSandbox;

TEST(BookmarkSourcesTest, FindsBrowserFilesWhereTheyAreKept) {
  HomeSandbox home;
  using K = BookmarkSourceKind;
  const std::vector<BookmarkSource> expected{
      {K::NetscapeFile, home.Write(".netscape/bookmarks.html")},
      {K::NetscapeFile, home.Write(".mozilla/firefox/ab12.default/bookmarks.html")},
      {K::NetscapeFile, home.Write("Downloads/bookmarks_12_9_26.html")},
      {K::NetscapeFile, home.Write("Documents/Bookmarks.HTM")},
      {K::FirefoxPlaces, home.Write(".mozilla/firefox/ab12.default/places.sqlite")},
      {K::FirefoxPlaces, home.Write(".mozilla/firefox/cd34.work/places.sqlite")},
      {K::ChromiumFile, home.Write(".config/chromium/Default/Bookmarks")},
      {K::ChromiumFile, home.Write(".config/chromium/Profile 2/Bookmarks")},
      {K::ChromiumFile, home.Write(".config/google-chrome/Default/Bookmarks")},
      {K::FavouritesFolder, home.File("Favorites")},
      {K::FavouritesFolder, home.File(".wine/drive_c/users/tester/Favorites")},
  };
  fs::create_directories(home.File("Favorites"));
  fs::create_directories(home.File(".wine/drive_c/users/tester/Favorites"));
  // Not bookmarks, or not where a browser keeps them.
  home.Write("Downloads/other.html");
  home.Write(".config/chromium/System Profile/Bookmarks");
  home.Write(".config/chromium/Default/Bookmarks.bak");
  fs::create_directories(home.File(".config/google-chrome/Profile 1/Bookmarks"));  // a folder
  // A FIFO where an exported file would be, and a link that points at itself.
  ASSERT_EQ(mkfifo(home.File("bookmarks.html").c_str(), 0600), 0);
  fs::create_symlink(home.File(".config/chromium/Profile 9"),
                     home.File(".config/chromium/Profile 9"));
  EXPECT_EQ(FindBookmarkSources(), expected);
}

TEST(BookmarkSourcesTest, AnEmptyHomeGivesNothing) {
  HomeSandbox home;
  EXPECT_TRUE(FindBookmarkSources().empty());
}

TEST(BookmarkSourcesTest, ReadsOnlyRegularFilesAndBoundsTheBytes) {
  HomeSandbox home;
  const std::string file = home.Write("file", std::string(100, 'a'));
  fs::create_symlink(file, home.File("link"));
  fs::create_symlink(home.File("loop"), home.File("loop"));
  ASSERT_EQ(mkfifo(home.File("fifo").c_str(), 0600), 0);
  EXPECT_EQ(ReadForeignFile(file, 10), std::string(10, 'a'));
  EXPECT_EQ(ReadForeignFile(file, 1000), std::string(100, 'a'));
  EXPECT_EQ(ReadForeignFile(home.File("link"), 1000), std::string(100, 'a'));
  // None of these may block or give bytes.
  for (const char* name : {"fifo", "loop", "missing", ""}) {
    EXPECT_FALSE(ReadForeignFile(home.File(name), 1000).has_value()) << name;
  }
  EXPECT_FALSE(ReadForeignFile("/dev/zero", 1000).has_value());
}

TEST(BookmarkSourcesTest, ListsShortcutFilesOfAnyCaseUpToTheBound) {
  HomeSandbox home;
  const std::string folder = home.File("Favorites");
  fs::create_directories(folder + "/Sub.url");  // a folder, never a shortcut... of any kind
  for (int i = 0; i < 3000; ++i) home.Write("Favorites/site" + std::to_string(i) + ".url");
  home.Write("Favorites/Upper.URL");
  home.Write("Favorites/notes.txt");
  std::vector<std::string> all = ListShortcutFiles(folder, 100000);
  // The folder named like a shortcut is listed (it reads as nothing later).
  EXPECT_EQ(all.size(), 3002u);
  EXPECT_NE(std::find(all.begin(), all.end(), folder + "/Upper.URL"), all.end());
  EXPECT_EQ(ListShortcutFiles(folder, 2500).size(), 2500u);
  EXPECT_TRUE(ListShortcutFiles(home.File("missing"), 10).empty());
}

#if TARNWICK_TEST_SQLITE

// A database in Firefox's layout of the two tables the reader uses.
class PlacesDatabase {
 public:
  explicit PlacesDatabase(const std::string& path) {
    EXPECT_EQ(sqlite3_open(path.c_str(), &db_), SQLITE_OK);
    Exec(
        "CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR,"
        " rev_host LONGVARCHAR, visit_count INTEGER DEFAULT 0, hidden INTEGER DEFAULT 0 NOT NULL,"
        " typed INTEGER DEFAULT 0 NOT NULL, frecency INTEGER DEFAULT -1 NOT NULL,"
        " last_visit_date INTEGER, guid TEXT, foreign_count INTEGER DEFAULT 0 NOT NULL,"
        " url_hash INTEGER DEFAULT 0 NOT NULL);"
        "CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER DEFAULT NULL,"
        " parent INTEGER, position INTEGER, title LONGVARCHAR, keyword_id INTEGER,"
        " folder_type TEXT, dateAdded INTEGER, lastModified INTEGER, guid TEXT,"
        " syncStatus INTEGER NOT NULL DEFAULT 0, syncChangeCounter INTEGER NOT NULL DEFAULT 1);");
  }
  ~PlacesDatabase() { sqlite3_close(db_); }
  void Exec(const std::string& sql) {
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK)
        << (error ? error : "");
    sqlite3_free(error);
  }
  // The root, menu and toolbar folders, and bookmarks in them.
  void FillTypical() {
    Exec(
        "INSERT INTO moz_bookmarks (id, type, parent, position, title) VALUES"
        " (1, 2, 0, 0, ''), (2, 2, 1, 0, 'menu'), (3, 2, 1, 1, 'toolbar');"
        "INSERT INTO moz_places (id, url, title) VALUES"
        " (10, 'http://toolbar-second.example/', 'T2'), (11, 'https://toolbar-first.example/', "
        "'T1'),"
        " (12, 'http://menu.example/', 'Menu page'), (13, 'place:sort=8&maxResults=10', 'Recent'),"
        " (14, 'http://same.example/', 'S');"
        "INSERT INTO moz_bookmarks (id, type, fk, parent, position, title) VALUES"
        " (20, 1, 10, 3, 1, 'Second'), (21, 1, 11, 3, 0, 'First'),"
        " (22, 1, 12, 2, 0, NULL), (23, 1, 13, 3, 2, 'Recent'), (24, 3, NULL, 2, 1, ''),"
        " (25, 1, 14, 2, 2, 'Same one'), (26, 1, 14, 2, 3, 'Same two');");
  }
  sqlite3* Handle() { return db_; }

 private:
  sqlite3* db_ = nullptr;
};

TEST(PlacesBookmarksTest, ReadsBookmarksInFolderOrderAndSkipsQueries) {
  HomeSandbox home;
  const std::string path = home.File("places.sqlite");
  PlacesDatabase db(path);
  db.FillTypical();
  std::vector<BookmarkEntry> entries;
  ASSERT_TRUE(ReadPlacesBookmarks(path, BookmarkLimits{}, entries));
  const std::vector<BookmarkEntry> expected{
      {"Menu page", "http://menu.example/"},  // no title of its own: the page's
      {"Same one", "http://same.example/"},        {"Same two", "http://same.example/"},
      {"First", "https://toolbar-first.example/"}, {"Second", "http://toolbar-second.example/"},
  };
  EXPECT_EQ(entries, expected);
  BookmarkLimits two;
  two.maxEntries = 2;
  entries.clear();
  ASSERT_TRUE(ReadPlacesBookmarks(path, two, entries));
  EXPECT_EQ(entries.size(), 2u);
}

// The browser keeps its database locked while it runs; the list must still
// show its bookmarks.
TEST(PlacesBookmarksTest, ReadsWhileTheBrowserHoldsItsLock) {
  HomeSandbox home;
  const std::string path = home.File("places.sqlite");
  PlacesDatabase db(path);
  db.FillTypical();
  db.Exec(
      "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE;"
      " UPDATE moz_places SET visit_count = 1;");
  std::vector<BookmarkEntry> entries;
  EXPECT_TRUE(ReadPlacesBookmarks(path, BookmarkLimits{}, entries));
  EXPECT_EQ(entries.size(), 5u);
  db.Exec("COMMIT;");
}

TEST(PlacesBookmarksTest, DamagedOrForeignDatabasesGiveNothingAndNoFault) {
  HomeSandbox home;
  const std::string good = home.File("good.sqlite");
  {
    PlacesDatabase db(good);
    db.FillTypical();
    db.Exec("BEGIN;");
    for (int i = 0; i < 2000; ++i) {
      db.Exec("INSERT INTO moz_places (url, title) VALUES ('http://p" + std::to_string(i) +
              "/', '" + std::string(200, 'x') + "');");
    }
    db.Exec("COMMIT;");
  }
  std::ifstream in(good, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GT(bytes.size(), 8192u);
  std::mt19937 random(3);
  std::string noise(bytes.size(), '\0');
  for (char& c : noise) c = static_cast<char>(random());
  std::string scribbled = bytes;
  for (size_t i = 4096; i < scribbled.size(); i += 97) scribbled[i] = static_cast<char>(random());
  const std::pair<const char*, std::string> cases[] = {
      {"noise", noise},
      {"cut short", bytes.substr(0, 4096 + 100)},
      {"scribbled over", scribbled},
      {"empty", ""},
  };
  for (const auto& [what, content] : cases) {
    const std::string path = home.Write(std::string(what) + ".sqlite", content);
    std::vector<BookmarkEntry> entries;
    ReadPlacesBookmarks(path, BookmarkLimits{}, entries);  // no fault, whatever it returns
    EXPECT_LE(entries.size(), 5u) << what;
  }
  // Another program's database, and a file that is not there.
  const std::string other = home.File("other.sqlite");
  {
    sqlite3* db = nullptr;
    sqlite3_open(other.c_str(), &db);
    sqlite3_exec(db, "CREATE TABLE t (a);", nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }
  std::vector<BookmarkEntry> entries;
  EXPECT_FALSE(ReadPlacesBookmarks(other, BookmarkLimits{}, entries));
  EXPECT_FALSE(ReadPlacesBookmarks(home.File("missing.sqlite"), BookmarkLimits{}, entries));
  EXPECT_FALSE(fs::exists(home.File("missing.sqlite")));  // read-only: nothing is created
  EXPECT_TRUE(entries.empty());
}

TEST(PlacesBookmarksTest, AnExpiredLookupReadsNothing) {
  HomeSandbox home;
  const std::string path = home.File("places.sqlite");
  PlacesDatabase db(path);
  db.FillTypical();
  BookmarkLimits limits;
  limits.deadline = std::chrono::steady_clock::now();
  std::vector<BookmarkEntry> entries;
  ReadPlacesBookmarks(path, limits, entries);
  EXPECT_TRUE(entries.empty());
}

#endif

}  // namespace
}  // namespace tw
