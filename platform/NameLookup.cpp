// Lookups on detached helper threads. Why a thread per lookup: the system's
// resolver call cannot be interrupted, and closing the program must not wait
// for it. The caller waits on shared state that the helper fills in; a
// cancelled caller walks away and the helper drops the state when its call
// finally returns.
#include "platform/NameLookup.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace tw {

namespace {

struct PendingLookup {
  std::mutex mutex;
  std::condition_variable done;
  bool finished = false;
  LookupOutcome outcome;
};

class DetachedLookup final : public HostLookup {
 public:
  explicit DetachedLookup(Resolver resolve) : resolve_(std::move(resolve)) {}

  LookupOutcome Resolve(const std::string& name) override {
    std::shared_ptr<PendingLookup> pending;
    if (const auto refused = Launch(name, pending)) return *refused;
    std::unique_lock<std::mutex> lock(pending->mutex);
    pending->done.wait(lock, [&] { return pending->finished || cancelled_.load(); });
    if (!pending->finished) return {WsaCode::Cancelled, {}};
    return pending->outcome;
  }

  void Start(const std::string& name) override {
    std::shared_ptr<PendingLookup> pending;
    started_ = Launch(name, pending) ? nullptr : pending;
  }

  std::optional<LookupOutcome> Collect() override {
    if (started_ == nullptr) return std::nullopt;
    std::lock_guard<std::mutex> lock(started_->mutex);
    if (!started_->finished) return std::nullopt;
    const LookupOutcome outcome = started_->outcome;
    started_.reset();
    return outcome;
  }

  void Cancel() override {
    std::shared_ptr<PendingLookup> pending;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      cancelled_ = true;
      pending = current_.lock();
    }
    if (pending) {
      std::lock_guard<std::mutex> lock(pending->mutex);
      pending->done.notify_all();
    }
  }

 private:
  Resolver resolve_;
  std::mutex mutex_;
  std::atomic<bool> cancelled_{false};
  std::weak_ptr<PendingLookup> current_;
  std::shared_ptr<PendingLookup> started_;  // caller's thread only

  // Runs the resolver on a helper thread that fills `pending`; the outcome
  // at once when the lookup cannot even start.
  std::optional<LookupOutcome> Launch(const std::string& name,
                                      std::shared_ptr<PendingLookup>& pending) {
    pending = std::make_shared<PendingLookup>();
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (cancelled_) return LookupOutcome{WsaCode::Cancelled, {}};
      current_ = pending;
    }
    try {
      std::thread([pending, name, resolve = resolve_] {
        const LookupOutcome outcome = resolve(name);
        std::lock_guard<std::mutex> lock(pending->mutex);
        pending->outcome = outcome;
        pending->finished = true;
        pending->done.notify_all();
      }).detach();
    } catch (const std::system_error&) {
      return LookupOutcome{WsaCode::NoBufferSpace, {}};
    }
    return std::nullopt;
  }
};

}  // namespace

std::unique_ptr<HostLookup> NewDetachedLookup(Resolver resolve) {
  return std::make_unique<DetachedLookup>(std::move(resolve));
}

}  // namespace tw
