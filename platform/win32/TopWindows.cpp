#include "platform/TopWindows.h"

#include <windows.h>

#include <iterator>

#include "platform/win32/WideText.h"

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
      // Titles are read as UTF-16: the ANSI call would give the code page's
      // bytes, and a German "wählen" would never match the UTF-8 title asked for.
      wchar_t text[256] = {};
      GetWindowTextW(w, text, static_cast<int>(std::size(text)));
      t.title = Narrow(text);
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
