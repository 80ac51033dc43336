// Pressing a button inside another program's window. Systems whose buttons
// are not windows of their own are reached through their accessibility
// service, which names each control and lets a client press it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace tw {

class AccessibleButtons {
 public:
  virtual ~AccessibleButtons() = default;
  // False when the accessibility service cannot be reached (known only once
  // the connection has been tried: see WaitIdle).
  virtual bool Available() const = 0;
  // Posts a press: inside every top-level window titled `windowTitle` of
  // process `pid` (0: any process), the first control whose name contains
  // `buttonText` (case-sensitive) is pressed; the search in that window stops
  // there. Returns at once; nothing reports whether a control was found.
  virtual void PostPress(int64_t pid, const std::string& windowTitle,
                         const std::string& buttonText) = 0;
  // Waits until the connection has been tried and every posted press has
  // been tried (at most `timeoutMs`); true when that happened in time.
  virtual bool WaitIdle(int timeoutMs) = 0;
};

std::unique_ptr<AccessibleButtons> OpenAccessibleButtons();

// The session bus address that names no bus: the bus library fails at once
// instead of starting a bus of its own.
constexpr const char* kNoSessionBusAddress = "disabled:";

// Without a session bus, the bus library behind the window toolkit and the
// accessibility bus starts one on demand ("autolaunch"), and that bus and its
// launcher outlive the program. Called before the application object is made,
// this keeps that from happening: where no session bus runs, the address is
// set to kNoSessionBusAddress. A running session bus is left alone.
void KeepSessionBusFromAutolaunching();

// True when a session bus address names a bus to connect to.
bool SessionBusNamed(const char* address);

}  // namespace tw
