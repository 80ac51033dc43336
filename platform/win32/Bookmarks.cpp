// Where bookmarks live on Windows: the registry names the Netscape Navigator
// bookmark file and the Internet Explorer favourites folder.
#include "platform/Bookmarks.h"

#include <windows.h>

#include <algorithm>

namespace tw {

namespace {

// A string value of a key under HKEY_CURRENT_USER, cut to 255 characters;
// empty when the key or the value is missing. The key is never created.
std::string UserRegistryText(const char* key, const char* value) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &handle) != ERROR_SUCCESS) return {};
  char buffer[1024] = {};
  DWORD type = 0;
  DWORD size = sizeof buffer - 1;
  std::string text;
  if (RegQueryValueExA(handle, value, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) ==
          ERROR_SUCCESS &&
      (type == REG_SZ || type == REG_EXPAND_SZ)) {
    buffer[std::min<DWORD>(size, sizeof buffer - 1)] = '\0';
    text = buffer;
  }
  RegCloseKey(handle);
  return text.substr(0, 255);
}

bool EndsWithBackslash(const std::string& text) {
  return !text.empty() && text.back() == '\\';
}

}  // namespace

std::vector<BookmarkSource> FindBookmarkSources() {
  std::vector<BookmarkSource> sources;
  const std::string bookmarkFile =
      UserRegistryText("SOFTWARE\\netscape\\Netscape Navigator\\Bookmark List", "file location");
  if (!bookmarkFile.empty()) sources.push_back({BookmarkSourceKind::NetscapeFile, bookmarkFile});
  std::string favourites = UserRegistryText(
      "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "Favorites");
  if (!favourites.empty()) {
    if (EndsWithBackslash(favourites)) favourites.pop_back();
    sources.push_back({BookmarkSourceKind::FavouritesFolder, favourites});
  }
  return sources;
}

std::optional<std::string> ReadForeignFile(const std::string& path, size_t maxBytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  if (GetFileType(file) != FILE_TYPE_DISK) {
    CloseHandle(file);
    return std::nullopt;
  }
  std::string bytes;
  char buffer[65536];
  while (bytes.size() < maxBytes) {
    const DWORD want = static_cast<DWORD>(std::min(sizeof buffer, maxBytes - bytes.size()));
    DWORD got = 0;
    if (!ReadFile(file, buffer, want, &got, nullptr) || got == 0) break;
    bytes.append(buffer, got);
  }
  CloseHandle(file);
  return bytes;
}

std::vector<std::string> ListShortcutFiles(const std::string& folder, size_t maxFiles) {
  std::vector<std::string> files;
  WIN32_FIND_DATAA found{};
  // Read-only, hidden, system and archive files are all found by the search.
  HANDLE search = FindFirstFileA((folder + "\\*.URL").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return files;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
      files.push_back(folder + "\\" + found.cFileName);
  } while (files.size() < maxFiles && FindNextFileA(search, &found));
  FindClose(search);
  return files;
}

// Firefox databases are not looked for on this system.
bool ReadPlacesBookmarks(const std::string&, const BookmarkLimits&, std::vector<BookmarkEntry>&) {
  return false;
}

}  // namespace tw
