#include "platform/PressQueue.h"

#include <chrono>

namespace tw {

namespace {

// A program that no longer answers must not make the queue grow without
// end: the keeper's next tick posts the same presses again anyway.
constexpr size_t kMaxWaitingPresses = 64;

}  // namespace

QueuedAccessibleButtons::~QueuedAccessibleButtons() {
  StopWorker();
}

void QueuedAccessibleButtons::StartWorker() {
  available_ = true;
  // Connecting may take a moment (a bus may be started on demand): the
  // worker does it, and presses posted meanwhile wait in the queue.
  worker_ = std::thread([this] { Run(); });
}

void QueuedAccessibleButtons::StopWorker() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  if (worker_.joinable()) worker_.join();
}

void QueuedAccessibleButtons::PostPress(int64_t pid, const std::string& windowTitle,
                                        const std::string& buttonText) {
  if (!available_.load() || buttonText.empty()) return;
  std::lock_guard<std::mutex> lock(mutex_);
  if (jobs_.size() >= kMaxWaitingPresses) return;
  jobs_.push_back({pid, windowTitle, buttonText});
  wake_.notify_all();
}

bool QueuedAccessibleButtons::WaitIdle(int timeoutMs) {
  std::unique_lock<std::mutex> lock(mutex_);
  return idle_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                        [this] { return started_ && jobs_.empty() && !busy_; });
}

void QueuedAccessibleButtons::Run() {
  const bool connected = Connect();
  std::unique_lock<std::mutex> lock(mutex_);
  started_ = true;
  if (!connected) {
    available_ = false;
    jobs_.clear();
    idle_.notify_all();
    return;
  }
  idle_.notify_all();
  while (true) {
    wake_.wait(lock, [this] { return stop_ || !jobs_.empty(); });
    if (stop_) break;
    PressJob job = std::move(jobs_.front());
    jobs_.pop_front();
    busy_ = true;
    lock.unlock();
    Press(job);
    lock.lock();
    busy_ = false;
    if (jobs_.empty()) idle_.notify_all();
  }
  lock.unlock();
  Disconnect();
}

}  // namespace tw
