#include "app/UiDispatcher.h"

#include <QMetaObject>

namespace tw {

UiDispatcher::UiDispatcher(QObject* parent)
    : QObject(parent),
      queue_(std::make_shared<QueueDispatcher>(
          [this] {
            // Called on a worker thread: queue the run onto this object's thread.
            QMetaObject::invokeMethod(
                this, [this] { queue_->RunPending(); }, Qt::QueuedConnection);
          },
          PostedCalls::Proceed)) {}

void UiDispatcher::SetPolled(bool polled) {
  queue_->SetPolled(polled);
  // What was posted unwoken in the meantime runs soon, not at the next post.
  if (!polled) {
    QMetaObject::invokeMethod(
        this, [this] { queue_->RunPending(); }, Qt::QueuedConnection);
  }
}

UiDispatcher::~UiDispatcher() {
  queue_->Cancel();
}

}  // namespace tw
