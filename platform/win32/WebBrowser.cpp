// The browser command registered for http addresses.
#include "platform/WebBrowser.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace tw {

std::string WebBrowserCommand() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", 0, KEY_READ, &key) !=
      ERROR_SUCCESS) {
    return "";
  }
  // One byte more than the longest command taken, so that a longer one is
  // seen (the call fails with ERROR_MORE_DATA) and counts as none.
  char buffer[257] = {};
  DWORD size = sizeof buffer - 1;
  DWORD type = 0;
  const LONG result =
      RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return "";
  const std::string command(buffer, strnlen(buffer, std::min<size_t>(size, sizeof buffer - 1)));
  return command.size() <= 255 ? command : "";
}

}  // namespace tw
