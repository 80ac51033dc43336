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

}  // namespace tw
