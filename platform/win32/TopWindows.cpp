#include "platform/TopWindows.h"

#include <windows.h>

namespace tw {

namespace {

class Win32TopWindows final : public TopWindows {
 public:
  bool Available() const override { return true; }
  std::vector<TopWindow> List() override {
    std::vector<TopWindow> windows;
    for (HWND w = GetTopWindow(nullptr); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
      TopWindow t;
      t.id = reinterpret_cast<uint64_t>(w);
      char text[256] = {};
      GetWindowTextA(w, text, sizeof text);
      t.title = text;
      DWORD pid = 0;
      GetWindowThreadProcessId(w, &pid);
      t.pid = pid;
      windows.push_back(std::move(t));
    }
    return windows;
  }
  // WM_CLOSE is what the close button sends; the program may refuse it.
  void RequestClose(uint64_t id) override {
    PostMessageW(reinterpret_cast<HWND>(id), WM_CLOSE, 0, 0);
  }
};

}  // namespace

std::unique_ptr<TopWindows> OpenTopWindows() {
  return std::make_unique<Win32TopWindows>();
}

}  // namespace tw
