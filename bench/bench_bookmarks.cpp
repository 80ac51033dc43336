// URL list lookup figures: a home folder holding a bookmark file at the read
// bound (16 MB, site icons in every line), a Chromium file of 20,000
// bookmarks and 5,000 internet shortcuts. Prints the time to find and read
// them all without a deadline (the dialog gives up after one second) and the
// rows found.
//
//   build/bin/bench_bookmarks
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <QApplication>
#include "bench/BenchTiming.h"

#include "dialogs/BookmarkLookup.h"
#include "dialogs/UsetURL.h"

namespace {

namespace fs = std::filesystem;

void WriteNetscapeFile(const fs::path& path) {
  std::ofstream out(path, std::ios::binary);
  out << "<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n<TITLE>Bookmarks</TITLE>\r\n<DL><p>\r\n";
  const std::string icon(1500, 'A');
  size_t written = 0;
  for (int i = 0; written < (16u << 20) - 2000; ++i) {
    const std::string line = "<DT><A HREF=\"http://host" + std::to_string(i) +
                             ".example/page\" ADD_DATE=\"1\" ICON=\"data:image/png;base64," + icon +
                             "\">Bookmark " + std::to_string(i) + "</A>\r\n";
    out << line;
    written += line.size();
  }
}

void WriteChromiumFile(const fs::path& path) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  out << R"({"roots":{"bookmark_bar":{"type":"folder","children":[)";
  for (int i = 0; i < 20000; ++i) {
    out << (i ? "," : "") << R"({"type":"url","name":"Site )" << i << R"(","url":"https://site)"
        << i << R"(.example/"})";
  }
  out << "]}},\"version\":1}";
}

void WriteFavourites(const fs::path& folder) {
  fs::create_directories(folder);
  for (int i = 0; i < 5000; ++i) {
    std::ofstream(folder / ("Site " + std::to_string(i) + ".url"))
        << "[InternetShortcut]\r\nURL=http://fav" << i << ".example/\r\n";
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("DISPLAY") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  const fs::path home = fs::temp_directory_path() / ("tarnwick-bench-" + std::to_string(getpid()));
  fs::create_directories(home / "Downloads");
  WriteNetscapeFile(home / "Downloads" / "bookmarks.html");
  WriteChromiumFile(home / ".config" / "chromium" / "Default" / "Bookmarks");
  WriteFavourites(home / "Favorites");
  setenv("HOME", home.c_str(), 1);
  setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);

  size_t rows = 0;
  tw::bench::TimeRuns("URL list lookup (16 MB HTML, 20000 JSON, 5000 .URL)", 5, [&] {
    tw::BookmarkLimits limits;
    limits.maxEntries = 1000000;
    rows = tw::CollectBookmarks(tw::FindBookmarkSources(), limits).entries.size();
  });
  std::printf("rows found: %zu\n", rows);
  tw::bench::TimeRuns("URL list lookup within the dialog's bounds", 5, [&] {
    tw::BookmarkLimits limits;
    limits.deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    rows = tw::CollectBookmarks(tw::FindBookmarkSources(), limits).entries.size();
  });
  std::printf("rows found: %zu\n", rows);
  tw::TSetURL list;
  tw::bench::TimeRuns("URL list window built from the bookmarks (bounded)", 5,
                      [&] { rows = static_cast<size_t>(list.BuildURLList()); });
  std::printf("rows shown: %zu\n", rows);
  fs::remove_all(home);
  return 0;
}
