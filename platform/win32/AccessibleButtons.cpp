// Pressing buttons on Windows through the accessibility interface
// (IAccessible's default action), which reaches every kind of button a
// dialog may have, not only classic child windows: UI Automation providers
// answer it too. Where it finds no such control, or the control has no
// default action, the child windows are searched the same way and the first
// one named like the text is sent the click a mouse would give it.
#include "platform/AccessibleButtons.h"

#include <windows.h>
// After windows.h:
#include <oleacc.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "platform/PressQueue.h"
#include "platform/win32/WideText.h"

namespace tw {

namespace {

// A COM interface released at the end of its scope.
template <typename T>
class Com {
 public:
  Com() = default;
  ~Com() {
    if (p_ != nullptr) p_->Release();
  }
  Com(const Com&) = delete;
  Com& operator=(const Com&) = delete;
  T** Out() { return &p_; }
  T* operator->() const { return p_; }
  T* get() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  void Reset() {
    if (p_ != nullptr) p_->Release();
    p_ = nullptr;
  }

 private:
  T* p_ = nullptr;
};

// A window text as the user reads it: "&Connect" reads "Connect" and "&&"
// stands for one "&".
std::string ReadableText(const std::wstring& text) {
  std::wstring readable;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'&' && i + 1 < text.size()) ++i;
    readable += text[i];
  }
  return Narrow(readable);
}

std::wstring WindowText(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, static_cast<int>(std::size(text)));
  return text;
}

BOOL CALLBACK ClickFirstMatch(HWND child, LPARAM param) {
  const auto* wanted = reinterpret_cast<const std::string*>(param);
  const std::wstring text = WindowText(child);
  if (text.empty() || ReadableText(text).find(*wanted) == std::string::npos) return TRUE;
  PostMessageW(child, BM_CLICK, 0, 0);
  return FALSE;
}

VARIANT ChildId(LONG id) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

std::string NameOf(IAccessible* object, VARIANT child) {
  BSTR name = nullptr;
  if (FAILED(object->get_accName(child, &name)) || name == nullptr) return {};
  const std::string text = ReadableText(std::wstring(name, SysStringLen(name)));
  SysFreeString(name);
  return text;
}

// A window or a client area holds the controls; its name is its window's
// text, so it is searched through, never pressed.
bool IsContainer(IAccessible* object, VARIANT child) {
  VARIANT role;
  VariantInit(&role);
  const bool container = SUCCEEDED(object->get_accRole(child, &role)) && role.vt == VT_I4 &&
                         (role.lVal == ROLE_SYSTEM_WINDOW || role.lVal == ROLE_SYSTEM_CLIENT);
  VariantClear(&role);
  return container;
}

enum class Search { NotFound, Pressed, Refused };

Search Visit(IAccessible* parent, VARIANT child, const std::string& text, int depth, int& budget);

// Depth first through the window's controls in their order, as a walk
// through child windows would go; stops at the first control whose name
// contains the text and gives it its default action (a button's is the
// press; a label before the button takes the press and has none). Bounded,
// so a huge or cyclic tree cannot hold the worker.
Search PressFirstMatch(IAccessible* parent, const std::string& text, int depth, int& budget) {
  LONG count = 0;
  if (depth > 12 || FAILED(parent->get_accChildCount(&count)) || count <= 0) {
    return Search::NotFound;
  }
  std::vector<VARIANT> children(static_cast<size_t>(std::min<LONG>(count, 1000)));
  LONG obtained = 0;
  if (FAILED(AccessibleChildren(parent, 0, static_cast<LONG>(children.size()), children.data(),
                                &obtained))) {
    return Search::NotFound;
  }
  Search result = Search::NotFound;
  for (LONG i = 0; i < obtained; ++i) {
    VARIANT& child = children[static_cast<size_t>(i)];
    if (result == Search::NotFound && --budget >= 0)
      result = Visit(parent, child, text, depth, budget);
    VariantClear(&child);
  }
  return result;
}

Search Visit(IAccessible* parent, VARIANT child, const std::string& text, int depth, int& budget) {
  Com<IAccessible> object;
  VARIANT self = ChildId(CHILDID_SELF);
  IAccessible* holder = parent;
  if (child.vt == VT_DISPATCH && child.pdispVal != nullptr) {
    if (FAILED(child.pdispVal->QueryInterface(__uuidof(IAccessible),
                                              reinterpret_cast<void**>(object.Out())))) {
      return Search::NotFound;
    }
    holder = object.get();
    child = self;
  } else if (child.vt != VT_I4) {
    return Search::NotFound;
  }
  if (!IsContainer(holder, child) && NameOf(holder, child).find(text) != std::string::npos) {
    return SUCCEEDED(holder->accDoDefaultAction(child)) ? Search::Pressed : Search::Refused;
  }
  return holder == parent ? Search::NotFound : PressFirstMatch(holder, text, depth + 1, budget);
}

class Win32Buttons final : public QueuedAccessibleButtons {
 public:
  Win32Buttons() { StartWorker(); }
  ~Win32Buttons() override { StopWorker(); }

 private:
  bool Connect() override {
    comReady_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    // The child-window click is always there to fall back on.
    return true;
  }

  void Disconnect() override {
    if (comReady_) CoUninitialize();
  }

  void Press(const PressJob& job) override {
    for (HWND w = GetTopWindow(nullptr); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
      DWORD owner = 0;
      GetWindowThreadProcessId(w, &owner);
      if (Narrow(WindowText(w)) != job.windowTitle ||
          (job.pid != 0 && static_cast<int64_t>(owner) != job.pid)) {
        continue;
      }
      if (!PressAccessible(w, job.buttonText)) ClickChildWindow(w, job.buttonText);
    }
  }

  bool PressAccessible(HWND window, const std::string& text) const {
    if (!comReady_) return false;
    Com<IAccessible> root;
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                          __uuidof(IAccessible),
                                          reinterpret_cast<void**>(root.Out()))) ||
        !root) {
      return false;
    }
    int budget = 5000;
    return PressFirstMatch(root.get(), text, 0, budget) == Search::Pressed;
  }

  static void ClickChildWindow(HWND window, const std::string& text) {
    EnumChildWindows(window, ClickFirstMatch, reinterpret_cast<LPARAM>(&text));
  }

  bool comReady_ = false;
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
