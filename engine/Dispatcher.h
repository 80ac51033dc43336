// The one place where a measurement thread meets the user-interface thread.
//
// A worker hands a call over and waits until the UI thread has run it, so
// the call may touch the settings table and the windows. Shutdown cancels
// the dispatcher: every waiting worker is released at once (its call is not
// run) and later hand-overs return at once, so closing never hangs on a
// worker that waits for a UI thread which no longer serves it.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <set>

namespace tw {

class Dispatcher {
 public:
  virtual ~Dispatcher() = default;
  // Runs `call` on the UI thread and waits until it ran. Returns false when
  // the hand-over was cancelled and `call` did not run. `owner` names the
  // worker, so that its hand-overs can be withdrawn alone.
  virtual bool Invoke(const void* owner, const std::function<void()>& call) = 0;
  // Releases the owner's waiting hand-over and refuses its later ones, until Forget.
  virtual void Withdraw(const void* owner) = 0;
  // The owner is gone: its address may be used again.
  virtual void Forget(const void* owner) = 0;
};

// Hand-overs queued for the UI thread, which runs them in RunPending(). The
// `wake` function (called on the worker) tells the UI's event loop that
// something is pending; once Cancel has returned it is never called again, so
// it may refer to objects that go with the UI.
class QueueDispatcher final : public Dispatcher {
 public:
  explicit QueueDispatcher(std::function<void()> wake = {});
  ~QueueDispatcher() override;

  bool Invoke(const void* owner, const std::function<void()>& call) override;
  void Withdraw(const void* owner) override;
  void Forget(const void* owner) override;

  // UI thread: runs every pending hand-over, in order.
  void RunPending();
  // UI thread: releases every waiting worker, refuses later hand-overs and
  // drops the wake function.
  void Cancel();
  bool Cancelled() const;
  // Number of hand-overs waiting to run.
  size_t PendingCount() const;

 private:
  // One hand-over. Each has its own condition variable, so finishing one
  // wakes its worker alone, not every worker that waits.
  struct Pending {
    const void* owner;
    const std::function<void()>* call;
    bool done = false;
    bool cancelled = false;
    std::condition_variable finished;
  };

  // Under mutex_: the waiting worker returns without its call having run.
  static void Release(Pending& pending);

  // Held while `wake_` runs, so that Cancel can wait for a running one.
  std::mutex wakeMutex_;
  std::function<void()> wake_;
  mutable std::mutex mutex_;
  std::deque<std::shared_ptr<Pending>> queue_;
  std::set<const void*> withdrawn_;
  bool cancelled_ = false;
};

}  // namespace tw
