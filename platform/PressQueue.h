// What every system's button presser does alike: presses are posted to a
// worker thread of its own, which makes the connection to the system's
// accessibility service and then presses one job after the other.
//
// Why a worker: each press is a round trip to the program that owns the
// window. Made from the user-interface thread, a press into this program's
// own windows would wait for the very thread that is making it, and a hung
// program would stall our windows until the call gave up. So the caller
// only posts, as with a posted click, and never waits.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "platform/AccessibleButtons.h"

namespace tw {

struct PressJob {
  int64_t pid;
  std::string windowTitle;
  std::string buttonText;
};

class QueuedAccessibleButtons : public AccessibleButtons {
 public:
  ~QueuedAccessibleButtons() override;

  bool Available() const override { return available_.load(); }
  void PostPress(int64_t pid, const std::string& windowTitle,
                 const std::string& buttonText) override;
  bool WaitIdle(int timeoutMs) override;

 protected:
  // Starts the worker; the last step of a system's constructor.
  void StartWorker();
  // Ends the worker after the job in hand; the first step of a system's
  // destructor, so that no job runs on a half-destroyed object.
  void StopWorker();

  // On the worker: connects to the service; false when it cannot be reached.
  virtual bool Connect() = 0;
  // On the worker: presses the first control named like the job's text in
  // each of the job's windows.
  virtual void Press(const PressJob& job) = 0;
  // On the worker, after the last press, when Connect succeeded.
  virtual void Disconnect() = 0;

 private:
  void Run();

  std::thread worker_;
  std::mutex mutex_;
  std::condition_variable wake_, idle_;
  std::deque<PressJob> jobs_;
  bool stop_ = false;
  bool busy_ = false;
  bool started_ = false;  // the connection has been tried
  std::atomic<bool> available_{false};
};

}  // namespace tw
