// What the program asks of the Windows desktop: its top-level windows by
// title, the drive roots for the folder picker, the favourites folder for
// the URL list and the timing priority of a measurement thread. Titles and
// paths carry letters beyond ASCII, as a German or French desktop has them.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>

#include "platform/AccessibleButtons.h"
#include "platform/Bookmarks.h"
#include "platform/FolderRoots.h"
#include "platform/ThreadPriority.h"
#include "platform/TopWindows.h"
#include "platform/win32/WideText.h"
#include "support/TempDir.h"

namespace tw {
namespace {

// UTF-8 of "Verbindung wählen – Café".
const std::string kTitle = "Verbindung w\xC3\xA4hlen \xE2\x80\x93 Caf\xC3\xA9";

int closeRequests = 0;
int clickedButton = 0;

LRESULT CALLBACK CountingWindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_CLOSE) {
    ++closeRequests;
    return 0;  // refused, as a dialog box may refuse
  }
  if (message == WM_COMMAND && HIWORD(w) == BN_CLICKED) clickedButton = LOWORD(w);
  return DefWindowProcW(window, message, w, l);
}

// A top-level window of this process with `title`, hidden, as a dialog box
// of another program would be listed.
class OwnWindow {
 public:
  explicit OwnWindow(const std::string& title) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = CountingWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"TarnwickDesktopTest";
    RegisterClassW(&windowClass);
    handle_ = CreateWindowExW(0, L"TarnwickDesktopTest", Widen(title).c_str(), WS_OVERLAPPEDWINDOW,
                              0, 0, 200, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
  }
  ~OwnWindow() {
    if (handle_ != nullptr) DestroyWindow(handle_);
  }
  HWND Handle() const { return handle_; }
  void AddButton(int id, const wchar_t* caption, int x) { AddChild(L"BUTTON", id, caption, x); }
  void AddLabel(int id, const wchar_t* caption, int x) { AddChild(L"STATIC", id, caption, x); }

 private:
  void AddChild(const wchar_t* windowClass, int id, const wchar_t* caption, int x) {
    CreateWindowExW(0, windowClass, caption, WS_CHILD | WS_VISIBLE, x, 10, 80, 24, handle_,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                    nullptr);
  }
  HWND handle_ = nullptr;
};

void PumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

// Pumps this thread's messages (a press may be sent to a window of this
// very thread) until the presser is idle, at most 5 s.
void PumpUntilIdle(AccessibleButtons& buttons) {
  for (int i = 0; i < 500 && !buttons.WaitIdle(10); ++i) PumpMessages();
  PumpMessages();
}

TEST(Win32TopWindows, AWindowIsFoundByItsTitleInUtf8AndAskedToClose) {
  OwnWindow window(kTitle);
  if (window.Handle() == nullptr)
    GTEST_SKIP() << "no window can be made here (Wine needs a display)";
  auto desktop = OpenTopWindows();
  ASSERT_TRUE(desktop->Available());
  const auto windows = desktop->List();
  const auto found = std::find_if(windows.begin(), windows.end(), [&](const TopWindow& w) {
    return w.id == reinterpret_cast<uint64_t>(window.Handle());
  });
  ASSERT_NE(found, windows.end());
  EXPECT_EQ(found->title, kTitle);
  EXPECT_EQ(found->pid, static_cast<int64_t>(GetCurrentProcessId()));

  closeRequests = 0;
  desktop->RequestClose(found->id);
  PumpMessages();
  EXPECT_EQ(closeRequests, 1);
  EXPECT_TRUE(IsWindow(window.Handle())) << "the program refused; the window stays";
}

TEST(Win32AccessibleButtons, TheButtonNamedLikeTheTextIsPressedInTheWindowOfThatTitleOnly) {
  OwnWindow window(kTitle);
  if (window.Handle() == nullptr)
    GTEST_SKIP() << "no window can be made here (Wine needs a display)";
  window.AddButton(11, L"Abbrechen", 10);
  window.AddButton(12, L"&W\u00e4hlen", 100);  // "Wählen" with its mnemonic
  auto buttons = OpenAccessibleButtons();
  ASSERT_TRUE(buttons->Available());
  const int64_t pid = GetCurrentProcessId();

  clickedButton = 0;
  buttons->PostPress(pid + 1, kTitle, "W\xC3\xA4hlen");
  buttons->PostPress(pid, kTitle + " (2)", "W\xC3\xA4hlen");
  PumpUntilIdle(*buttons);
  EXPECT_EQ(clickedButton, 0) << "another process's window, another title";

  buttons->PostPress(pid, kTitle, "W\xC3\xA4hlen");
  PumpUntilIdle(*buttons);
  EXPECT_EQ(clickedButton, 12);

  clickedButton = 0;
  buttons->PostPress(0, kTitle, "brech");
  PumpUntilIdle(*buttons);
  EXPECT_EQ(clickedButton, 11) << "any process; part of the name";

  // A label before the button whose text contains the button's takes the
  // press, and the search in that window stops there.
  OwnWindow labelFirst("Connect To Label First");
  labelFirst.AddLabel(21, L"Connect by modem", 10);
  labelFirst.AddButton(22, L"&Connect", 100);
  clickedButton = 0;
  buttons->PostPress(pid, "Connect To Label First", "Connect");
  PumpUntilIdle(*buttons);
  EXPECT_EQ(clickedButton, 0);
}

TEST(Win32FolderRoots, TheDriveRootsAreOfferedAndNamesIgnoreCase) {
  const auto roots = FileSystemRoots();
  ASSERT_FALSE(roots.empty());
  EXPECT_NE(std::find(roots.begin(), roots.end(), "C:\\"), roots.end());
  for (const auto& root : roots) {
    EXPECT_EQ(root.size(), 3u) << root;
    EXPECT_EQ(root.substr(1), ":\\") << root;
  }
  EXPECT_TRUE(FileNamesIgnoreCase());
  EXPECT_EQ(MountTableText(), "");
}

// Points the user's favourites folder elsewhere for one test and puts the
// old value back afterwards.
class FavouritesFolder {
 public:
  explicit FavouritesFolder(const std::string& folder) {
    RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key_,
                    nullptr);
    wchar_t old[MAX_PATH] = {};
    DWORD size = sizeof old;
    hadOld_ = RegQueryValueExW(key_, L"Favorites", nullptr, nullptr, reinterpret_cast<BYTE*>(old),
                               &size) == ERROR_SUCCESS;
    old_ = old;
    Set(Widen(folder));
  }
  ~FavouritesFolder() {
    if (hadOld_) {
      Set(old_);
    } else {
      RegDeleteValueW(key_, L"Favorites");
    }
    RegCloseKey(key_);
  }

 private:
  static constexpr const wchar_t* kKey =
      L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  void Set(const std::wstring& value) {
    RegSetValueExW(key_, L"Favorites", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  }
  HKEY key_ = nullptr;
  bool hadOld_ = false;
  std::wstring old_;
};

TEST(Win32Bookmarks, FavouritesInAFolderWithAGermanNameAreFoundAndRead) {
  test::TempDir dir;
  const std::string folder = dir.Path() + "\\Favoriten \xC3\x84nderungen";  // "Änderungen"
  ASSERT_TRUE(CreateDirectoryW(Widen(folder).c_str(), nullptr));
  const std::string shortcut = folder + "\\Caf\xC3\xA9 Server.url";
  const std::string contents = "[InternetShortcut]\r\nURL=http://192.0.2.1/\r\n";
  {
    HANDLE file = CreateFileW(Widen(shortcut).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr);
    CloseHandle(file);
  }
  FavouritesFolder favourites(folder + "\\");

  const auto sources = FindBookmarkSources();
  const auto source = std::find_if(sources.begin(), sources.end(), [](const BookmarkSource& s) {
    return s.kind == BookmarkSourceKind::FavouritesFolder;
  });
  ASSERT_NE(source, sources.end());
  EXPECT_EQ(source->path, folder) << "the trailing backslash is dropped";
  const auto files = ListShortcutFiles(source->path, 10);
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0], shortcut);
  const auto read = ReadForeignFile(files[0], 1000);
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(*read, contents);
  EXPECT_EQ(ReadForeignFile(files[0], 10)->size(), 10u) << "reads stop at the limit";
  EXPECT_FALSE(ReadForeignFile(folder + "\\none.url", 10).has_value());
}

TEST(Win32ThreadPriority, EachClassMapsToItsLevelAndTheThreadComesBackToNormal) {
  const struct {
    int priorityClass;
    int level;
  } classes[] = {{1, THREAD_PRIORITY_LOWEST},
                 {2, THREAD_PRIORITY_BELOW_NORMAL},
                 {3, THREAD_PRIORITY_NORMAL},
                 {4, THREAD_PRIORITY_ABOVE_NORMAL},
                 {5, THREAD_PRIORITY_HIGHEST}};
  for (const auto& c : classes) {
    ASSERT_TRUE(SetCurrentThreadPriorityClass(c.priorityClass)) << c.priorityClass;
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), c.level) << c.priorityClass;
    ASSERT_TRUE(SetCurrentThreadPriorityClass(3));
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_NORMAL);
  }
  EXPECT_FALSE(SetCurrentThreadPriorityClass(0));
  EXPECT_FALSE(SetCurrentThreadPriorityClass(6));
  EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_NORMAL);
}

}  // namespace
}  // namespace tw
