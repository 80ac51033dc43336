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
  void RequestClose(uint64_t id) override {
    PostMessageA(reinterpret_cast<HWND>(id), WM_QUIT, 0, 0);
  }
};

}  // namespace

std::unique_ptr<TopWindows> OpenTopWindows() {
  return std::make_unique<Win32TopWindows>();
}

}  // namespace tw
