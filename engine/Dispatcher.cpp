#include "engine/Dispatcher.h"

namespace tw {

QueueDispatcher::QueueDispatcher(std::function<void()> wake) : wake_(std::move(wake)) {}

QueueDispatcher::~QueueDispatcher() {
  Cancel();
}

bool QueueDispatcher::Invoke(const void* owner, const std::function<void()>& call) {
  auto pending = std::make_shared<Pending>();
  pending->owner = owner;
  pending->call = &call;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (cancelled_ || withdrawn_.count(owner) != 0) return false;
    queue_.push_back(pending);
  }
  {
    std::lock_guard<std::mutex> lock(wakeMutex_);
    if (wake_) wake_();
  }
  std::unique_lock<std::mutex> lock(mutex_);
  pending->finished.wait(lock, [&] { return pending->done || pending->cancelled; });
  return pending->done;
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
    // The worker is blocked in Invoke until `done`, so its call object lives.
    (*next->call)();
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
