#include "engine/Dispatcher.h"

namespace tw {

QueueDispatcher::QueueDispatcher(std::function<void()> wake, PostedCalls posted)
    : wake_(std::move(wake)), postedCalls_(posted) {}

QueueDispatcher::~QueueDispatcher() {
  Cancel();
}

bool QueueDispatcher::Enqueue(const std::shared_ptr<Pending>& pending, bool wake) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (cancelled_ || withdrawn_.count(pending->owner) != 0) return false;
    queue_.push_back(pending);
    if (!pending->waits && polled_) wake = false;
  }
  if (wake) {
    std::lock_guard<std::mutex> lock(wakeMutex_);
    if (wake_) wake_();
  }
  return true;
}

bool QueueDispatcher::Invoke(const void* owner, const std::function<void()>& call) {
  auto pending = std::make_shared<Pending>();
  pending->owner = owner;
  pending->call = &call;
  if (!Enqueue(pending, true)) return false;
  std::unique_lock<std::mutex> lock(mutex_);
  pending->finished.wait(lock, [&] { return pending->done || pending->cancelled; });
  return pending->done;
}

bool QueueDispatcher::Post(const void* owner, std::function<void()> call) {
  if (postedCalls_ == PostedCalls::Wait) return Invoke(owner, call);
  auto pending = std::make_shared<Pending>();
  pending->owner = owner;
  pending->posted = std::move(call);
  pending->call = &pending->posted;
  pending->waits = false;
  return Enqueue(pending, true);
}

void QueueDispatcher::SetPolled(bool polled) {
  std::lock_guard<std::mutex> lock(mutex_);
  polled_ = polled;
}

void QueueDispatcher::RunPending() {
  for (;;) {
    std::shared_ptr<Pending> next;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (queue_.empty() || cancelled_) return;
      next = queue_.front();
      queue_.pop_front();
    }
    // A waiting worker is blocked in Invoke until `done`, so its call object
    // lives; a posted call is the queue's own copy.
    (*next->call)();
    if (!next->waits) continue;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      next->done = true;
    }
    next->finished.notify_one();
  }
}

void QueueDispatcher::Cancel() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    cancelled_ = true;
    for (auto& pending : queue_) Release(*pending);
    queue_.clear();
  }
  std::lock_guard<std::mutex> lock(wakeMutex_);
  wake_ = nullptr;
}

void QueueDispatcher::Withdraw(const void* owner) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    withdrawn_.insert(owner);
    for (auto it = queue_.begin(); it != queue_.end();) {
      if ((*it)->owner == owner) {
        Release(**it);
        it = queue_.erase(it);
      } else {
        ++it;
      }
    }
  }
}

void QueueDispatcher::Release(Pending& pending) {
  pending.cancelled = true;
  pending.finished.notify_one();
}

void QueueDispatcher::Forget(const void* owner) {
  std::lock_guard<std::mutex> lock(mutex_);
  withdrawn_.erase(owner);
}

bool QueueDispatcher::Cancelled() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return cancelled_;
}

size_t QueueDispatcher::PendingCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return queue_.size();
}

}  // namespace tw
