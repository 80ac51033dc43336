// Where bookmarks live on a Linux desktop. Browsers keep them per profile
// below the home folder; exported bookmark files land in the home,
// Downloads or Documents folder. Nothing here recurses, so a symbolic-link
// loop can at worst make one lookup fail; every folder listing is bounded.
#include "platform/Bookmarks.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <functional>

namespace tw {

namespace {

// Folder listings stop here: a home folder with millions of files must not
// hold the dialog up.
constexpr size_t kMaxListedNames = 20000;

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
  if (const passwd* user = getpwuid(getuid()); user != nullptr && user->pw_dir != nullptr)
    return user->pw_dir;
  return {};
}

std::string ConfigFolder(const std::string& home) {
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && *config == '/')
    return config;
  return home + "/.config";
}

bool IsRegularFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool IsFolder(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The names in a folder (without "." and ".."), in listing order, bounded.
std::vector<std::string> ListNames(const std::string& folder, size_t maxNames) {
  std::vector<std::string> names;
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return names;
  while (names.size() < maxNames) {
    const dirent* entry = readdir(dir);
    if (entry == nullptr) break;
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  closedir(dir);
  return names;
}

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The profile folders below a browser folder that hold `file`, sorted by
// name so that the list comes out the same every time.
std::vector<std::string> ProfilesHolding(const std::string& browserFolder, const std::string& file,
                                         const std::function<bool(const std::string&)>& isProfile) {
  std::vector<std::string> names = ListNames(browserFolder, kMaxListedNames);
  std::sort(names.begin(), names.end());
  std::vector<std::string> found;
  for (const std::string& name : names) {
    const std::string path = browserFolder + "/" + name + "/" + file;
    if (isProfile(name) && IsRegularFile(path)) found.push_back(path);
  }
  return found;
}

std::vector<std::string> FirefoxFolders(const std::string& home) {
  return {home + "/.mozilla/firefox", home + "/snap/firefox/common/.mozilla/firefox",
          home + "/.var/app/org.mozilla.firefox/.mozilla/firefox"};
}

std::vector<std::string> ChromiumFolders(const std::string& home) {
  const std::string config = ConfigFolder(home);
  return {config + "/chromium",
          config + "/google-chrome",
          config + "/google-chrome-beta",
          config + "/google-chrome-unstable",
          home + "/snap/chromium/common/chromium",
          home + "/.var/app/org.chromium.Chromium/config/chromium",
          home + "/.var/app/com.google.Chrome/config/google-chrome"};
}

// Bookmark files exported by a browser: "bookmarks.html",
// "bookmarks_12_9_26.html" and the like.
bool IsExportedBookmarkFile(const std::string& name) {
  const std::string lower = Lower(name);
  return lower.rfind("bookmarks", 0) == 0 && (EndsWith(lower, ".html") || EndsWith(lower, ".htm"));
}

void AddNetscapeFiles(const std::string& home, std::vector<BookmarkSource>& sources) {
  auto add = [&](const std::string& path) {
    if (IsRegularFile(path)) sources.push_back({BookmarkSourceKind::NetscapeFile, path});
  };
  add(home + "/.netscape/bookmarks.html");
  for (const std::string& folder : FirefoxFolders(home)) {
    for (const std::string& path :
         ProfilesHolding(folder, "bookmarks.html", [](const std::string&) { return true; })) {
      sources.push_back({BookmarkSourceKind::NetscapeFile, path});
    }
  }
  for (const std::string& folder : {home, home + "/Downloads", home + "/Documents"}) {
    std::vector<std::string> names = ListNames(folder, kMaxListedNames);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
      if (IsExportedBookmarkFile(name)) add(folder + "/" + name);
    }
  }
}

void AddProfileFiles(const std::string& home, std::vector<BookmarkSource>& sources) {
  for (const std::string& folder : FirefoxFolders(home)) {
    for (const std::string& path :
         ProfilesHolding(folder, "places.sqlite", [](const std::string&) { return true; })) {
      sources.push_back({BookmarkSourceKind::FirefoxPlaces, path});
    }
  }
  const auto isChromiumProfile = [](const std::string& name) {
    return name == "Default" || name.rfind("Profile ", 0) == 0;
  };
  for (const std::string& folder : ChromiumFolders(home)) {
    for (const std::string& path : ProfilesHolding(folder, "Bookmarks", isChromiumProfile)) {
      sources.push_back({BookmarkSourceKind::ChromiumFile, path});
    }
  }
}

void AddFavouritesFolders(const std::string& home, std::vector<BookmarkSource>& sources) {
  std::vector<std::string> folders{home + "/Favorites"};
  if (const char* user = std::getenv("USER"); user != nullptr && *user != '\0') {
    folders.push_back(home + "/.wine/drive_c/users/" + user + "/Favorites");
  }
  for (const std::string& folder : folders) {
    if (IsFolder(folder)) sources.push_back({BookmarkSourceKind::FavouritesFolder, folder});
  }
}

}  // namespace

std::vector<BookmarkSource> FindBookmarkSources() {
  std::vector<BookmarkSource> sources;
  const std::string home = HomeFolder();
  if (home.empty()) return sources;
  AddNetscapeFiles(home, sources);
  AddProfileFiles(home, sources);
  AddFavouritesFolders(home, sources);
  return sources;
}

std::optional<std::string> ReadForeignFile(const std::string& path, size_t maxBytes) {
  // Non-blocking, so that a FIFO put in a bookmark file's place cannot hang
  // the dialog; only regular files are read.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return std::nullopt;
  }
  std::string bytes;
  char buffer[65536];
  while (bytes.size() < maxBytes) {
    const size_t want = std::min(sizeof buffer, maxBytes - bytes.size());
    const ssize_t got = read(fd, buffer, want);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    bytes.append(buffer, static_cast<size_t>(got));
  }
  close(fd);
  return bytes;
}

std::vector<std::string> ListShortcutFiles(const std::string& folder, size_t maxFiles) {
  std::vector<std::string> files;
  for (const std::string& name : ListNames(folder, kMaxListedNames)) {
    if (files.size() >= maxFiles) break;
    if (EndsWith(Lower(name), ".url")) files.push_back(folder + "/" + name);
  }
  return files;
}

}  // namespace tw
