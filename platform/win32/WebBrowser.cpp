// The browser command registered for http addresses.
#include "platform/WebBrowser.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <iterator>

#include "platform/win32/WideText.h"

namespace tw {

std::string WebBrowserCommand() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, L"http\\shell\\open\\command", 0, KEY_READ, &key) !=
      ERROR_SUCCESS) {
    return "";
  }
  // One character more than the longest command taken, so that a longer one
  // is seen (the call fails with ERROR_MORE_DATA) and counts as none. Read as
  // UTF-16, so that a browser in a folder named beyond ASCII is found.
  wchar_t buffer[257] = {};
  DWORD size = sizeof buffer - sizeof(wchar_t);
  DWORD type = 0;
  const LONG result =
      RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return "";
  const std::wstring command(
      buffer, wcsnlen(buffer, std::min<size_t>(size / sizeof(wchar_t), std::size(buffer) - 1)));
  return command.size() <= 255 ? Narrow(command) : "";
}

}  // namespace tw
