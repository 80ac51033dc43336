// The top-level windows of the desktop: listed in stacking order and asked
// to close. Used to close programs by window title or by process, and by the
// dial-up keeper to find dialog boxes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tw {

struct TopWindow {
  uint64_t id = 0;    // the window system's handle
  std::string title;  // UTF-8; empty when the window has none
  int64_t pid = 0;    // owning process; 0 when the window does not tell
};

class TopWindows {
 public:
  virtual ~TopWindows() = default;
  // False when no window system could be reached.
  virtual bool Available() const = 0;
  // Every top-level window, shown or hidden, the topmost first.
  virtual std::vector<TopWindow> List() = 0;
  // Asks the window's program to close the window, the way a window manager's
  // close button does; the program may refuse. Nothing waits for it.
  virtual void RequestClose(uint64_t id) = 0;
};

// A connection to the desktop this program shows its windows on; a
// connection that could not be made reports Available() false and lists none.
std::unique_ptr<TopWindows> OpenTopWindows();

}  // namespace tw
