// The browser command registered for http addresses.
#include "platform/WebBrowser.h"

#include <windows.h>

namespace tw {

std::string WebBrowserCommand() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", 0, KEY_READ, &key) !=
      ERROR_SUCCESS) {
    return "";
  }
  char buffer[256] = {};
  DWORD size = sizeof buffer - 1;
  DWORD type = 0;
  const LONG result =
      RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return "";
  buffer[sizeof buffer - 1] = '\0';
  return buffer;
}

}  // namespace tw
