// The measurement threads' hand-over onto the Qt event loop: a worker's call
// is queued and the UI thread is woken to run it. Posted calls (display
// updates) do not make the worker wait.
#pragma once

#include <QObject>
#include <memory>

#include "engine/Dispatcher.h"

namespace tw {

class UiDispatcher final : public QObject {
  Q_OBJECT

 public:
  explicit UiDispatcher(QObject* parent = nullptr);
  // Cancels the queue: a worker that outlives this object is refused.
  ~UiDispatcher() override;

  // Shared with the measurement threads, which may outlive the window.
  std::shared_ptr<Dispatcher> dispatcher() { return queue_; }
  // Runs what is pending now (also used by waits that must not stall workers).
  void RunPending() { queue_->RunPending(); }
  // Shutdown: releases every waiting worker.
  void Cancel() { queue_->Cancel(); }
  // On while a timer of the UI thread calls RunPending often: posted calls
  // (the display updates of every measurement) then wake nothing.
  void SetPolled(bool polled);

 private:
  std::shared_ptr<QueueDispatcher> queue_;
};

}  // namespace tw
