// Where bookmarks live on Windows: the registry names the Netscape Navigator
// bookmark file and the Internet Explorer favourites folder.
#include "platform/Bookmarks.h"

#include <windows.h>

#include <algorithm>
#include <iterator>

#include "platform/win32/WideText.h"

namespace tw {

namespace {

// A string value of a key under HKEY_CURRENT_USER in UTF-8, cut to 255
// characters; empty when the key or the value is missing. The key is never
// created. Read as UTF-16, so that folder names beyond ASCII survive.
std::string UserRegistryText(const wchar_t* key, const wchar_t* value) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &handle) != ERROR_SUCCESS) return {};
  wchar_t buffer[1024] = {};
  DWORD type = 0;
  DWORD size = sizeof buffer - sizeof(wchar_t);
  std::wstring text;
  if (RegQueryValueExW(handle, value, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) ==
          ERROR_SUCCESS &&
      (type == REG_SZ || type == REG_EXPAND_SZ)) {
    buffer[std::min<DWORD>(size / sizeof(wchar_t), std::size(buffer) - 1)] = L'\0';
    text = buffer;
  }
  RegCloseKey(handle);
  return Narrow(text.substr(0, 255));
}

bool EndsWithBackslash(const std::string& text) {
  return !text.empty() && text.back() == '\\';
}

}  // namespace

std::vector<BookmarkSource> FindBookmarkSources() {
  std::vector<BookmarkSource> sources;
  const std::string bookmarkFile =
      UserRegistryText(L"SOFTWARE\\netscape\\Netscape Navigator\\Bookmark List", L"file location");
  if (!bookmarkFile.empty()) sources.push_back({BookmarkSourceKind::NetscapeFile, bookmarkFile});
  std::string favourites = UserRegistryText(
      L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", L"Favorites");
  if (!favourites.empty()) {
    if (EndsWithBackslash(favourites)) favourites.pop_back();
    sources.push_back({BookmarkSourceKind::FavouritesFolder, favourites});
  }
  return sources;
}

std::optional<std::string> ReadForeignFile(const std::string& path, size_t maxBytes) {
  HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
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
  WIN32_FIND_DATAW found{};
  // Read-only, hidden, system and archive files are all found by the search.
  HANDLE search = FindFirstFileW(Widen(folder + "\\*.URL").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return files;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
      files.push_back(folder + "\\" + Narrow(found.cFileName));
  } while (files.size() < maxFiles && FindNextFileW(search, &found));
  FindClose(search);
  return files;
}

// Firefox databases are not looked for on this system.
bool ReadPlacesBookmarks(const std::string&, const BookmarkLimits&, std::vector<BookmarkEntry>&) {
  return false;
}

}  // namespace tw
