// The one place where a measurement thread meets the user-interface thread.
//
// A worker hands a call over and waits until the UI thread has run it, so
// the call may touch the settings table and the windows. A call that only
// reads what the worker keeps under its locks (a display update) may also be
// posted: the worker goes on at once. Shutdown cancels the dispatcher: every
// waiting worker is released at once (its call is not run), posted calls are
// dropped, and later hand-overs return at once, so closing never hangs on a
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
  // Hands `call` over to run on the UI thread, in order with the owner's
  // other hand-overs. Returns false when it was refused. A dispatcher
  // without a queue of its own runs it as Invoke does, and so waits.
  virtual bool Post(const void* owner, std::function<void()> call) { return Invoke(owner, call); }
  // Releases the owner's waiting hand-over and refuses its later ones, until Forget.
  virtual void Withdraw(const void* owner) = 0;
  // The owner is gone: its address may be used again.
  virtual void Forget(const void* owner) = 0;
};

// How a QueueDispatcher takes a posted call.
enum class PostedCalls {
  Wait,     // as Invoke: the worker waits until it ran
  Proceed,  // queued with a copy of the call; the worker goes on at once
};

// Hand-overs queued for the UI thread, which runs them in RunPending(). The
// `wake` function (called on the worker) tells the UI's event loop that
// something is pending; once Cancel has returned it is never called again, so
// it may refer to objects that go with the UI.
class QueueDispatcher final : public Dispatcher {
 public:
  explicit QueueDispatcher(std::function<void()> wake = {}, PostedCalls posted = PostedCalls::Wait);
  ~QueueDispatcher() override;

  bool Invoke(const void* owner, const std::function<void()>& call) override;
  bool Post(const void* owner, std::function<void()> call) override;
  // UI thread: while on, posted calls do not wake the UI; it promises to run
  // RunPending often (a periodic timer), so a burst of posts from many
  // workers costs no wake-up each. Hand-overs that wait still wake it.
  void SetPolled(bool polled);
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
    std::function<void()> posted;  // the queue's own copy, for a call that does not wait
    bool waits = true;
    bool done = false;
    bool cancelled = false;
    std::condition_variable finished;
  };

  // Queues `pending` and wakes the UI unless told not to; false when refused.
  bool Enqueue(const std::shared_ptr<Pending>& pending, bool wake);
  // Under mutex_: the waiting worker returns without its call having run.
  static void Release(Pending& pending);

  // Held while `wake_` runs, so that Cancel can wait for a running one.
  std::mutex wakeMutex_;
  std::function<void()> wake_;
  mutable std::mutex mutex_;
  std::deque<std::shared_ptr<Pending>> queue_;
  std::set<const void*> withdrawn_;
  bool cancelled_ = false;
  const PostedCalls postedCalls_;
  bool polled_ = false;
};

}  // namespace tw
