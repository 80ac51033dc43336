// On Windows every button is a child window: the press is a posted click.
#include "platform/AccessibleButtons.h"

#include <windows.h>

#include <string>

namespace tw {

namespace {

struct Search {
  const std::string* text;
};

BOOL CALLBACK ClickFirstMatch(HWND child, LPARAM param) {
  const auto* search = reinterpret_cast<const Search*>(param);
  char text[256] = {};
  if (GetWindowTextA(child, text, sizeof text) == 0) return TRUE;
  if (std::string(text).find(*search->text) == std::string::npos) return TRUE;
  PostMessageA(child, BM_CLICK, 0, 0);
  return FALSE;
}

class Win32Buttons final : public AccessibleButtons {
 public:
  bool Available() const override { return true; }
  void PostPress(int64_t pid, const std::string& windowTitle,
                 const std::string& buttonText) override {
    if (buttonText.empty()) return;
    for (HWND w = GetTopWindow(nullptr); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
      char text[256] = {};
      GetWindowTextA(w, text, sizeof text);
      DWORD owner = 0;
      GetWindowThreadProcessId(w, &owner);
      if (windowTitle != text || (pid != 0 && static_cast<int64_t>(owner) != pid)) continue;
      Search search{&buttonText};
      EnumChildWindows(w, ClickFirstMatch, reinterpret_cast<LPARAM>(&search));
    }
  }
  bool WaitIdle(int) override { return true; }
};

}  // namespace

std::unique_ptr<AccessibleButtons> OpenAccessibleButtons() {
  return std::make_unique<Win32Buttons>();
}

bool SessionBusNamed(const char* address) {
  return address != nullptr && *address != '\0' && std::string(address) != kNoSessionBusAddress;
}

// Windows has no session bus to start on demand.
void KeepSessionBusFromAutolaunching() {}

}  // namespace tw
