// One slow load run on a worker thread and handed to the UI thread whole.
//
// Why a worker thread: opening the trend files loads an index that may hold
// millions of entries (about half a second of CPU); done on the UI thread
// before the first paint it keeps the window from being drawn at all.
//
// The worker only builds its result; the UI thread gets it through the
// Dispatcher's hand-over, or at once from Finish() when it cannot wait for
// the hand-over (a command that needs the result, the close). The result is
// delivered exactly once, always on the UI thread, and never half built. A
// cancelled dispatcher refuses the hand-over; the result then waits for
// Finish(). The object joins its worker when it goes (the load is bounded).
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

#include "engine/Dispatcher.h"

namespace tw {

template <typename Result>
class BackgroundLoad {
 public:
  using Load = std::function<Result()>;
  using Deliver = std::function<void(Result)>;

  explicit BackgroundLoad(std::shared_ptr<Dispatcher> dispatcher)
      : dispatcher_(std::move(dispatcher)) {}
  // Joins the worker; an undelivered result is dropped.
  ~BackgroundLoad() { Join(); }
  BackgroundLoad(const BackgroundLoad&) = delete;
  BackgroundLoad& operator=(const BackgroundLoad&) = delete;

  // UI thread: runs `load` on a worker (once per object); `deliver` gets its
  // result on the UI thread.
  void Start(Load load, Deliver deliver) {
    if (started_) return;
    started_ = true;
    load_ = std::move(load);
    deliver_ = std::move(deliver);
    try {
      worker_ = std::thread([this] { RunOnWorker(); });
    } catch (const std::system_error&) {
      // No thread to be had: load here, as it would be without a worker.
      result_.emplace(load_());
      DeliverOnce();
    }
  }
  // UI thread: Start has been called.
  bool Started() const { return started_; }
  // UI thread: started and not yet delivered.
  bool Pending() const { return started_ && !delivered_; }
  // UI thread: waits for the worker (as long as its load takes) and delivers
  // the result now unless that has happened already. Called while the result
  // is being delivered it returns at once (the worker is still in its
  // hand-over then, and waiting for it would never end).
  void Finish() {
    if (!Pending()) return;
    Join();
    DeliverOnce();
  }

 private:
  void RunOnWorker() {
    Result result = load_();
    {
      std::lock_guard<std::mutex> lock(mutex_);
      result_.emplace(std::move(result));
    }
    dispatcher_->Invoke(this, [this] { DeliverOnce(); });
  }
  void Join() {
    if (!worker_.joinable()) return;
    // A hand-over still waiting for the UI thread, which now waits here, is
    // released instead of run.
    dispatcher_->Withdraw(this);
    worker_.join();
    dispatcher_->Forget(this);
  }
  void DeliverOnce() {
    std::optional<Result> result;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (delivered_ || !result_) return;
      delivered_ = true;
      result.swap(result_);
    }
    deliver_(std::move(*result));
  }

  std::shared_ptr<Dispatcher> dispatcher_;
  Load load_;  // set before the worker starts, then only run by it
  Deliver deliver_;
  std::thread worker_;
  bool started_ = false;
  std::mutex mutex_;
  std::optional<Result> result_;  // built by the worker, taken on the UI thread
  bool delivered_ = false;
};

}  // namespace tw
