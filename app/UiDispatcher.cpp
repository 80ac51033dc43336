#include "app/UiDispatcher.h"

#include <QMetaObject>

namespace tw {

UiDispatcher::UiDispatcher(QObject* parent)
    : QObject(parent), queue_(std::make_shared<QueueDispatcher>([this] {
        // Called on a worker thread: queue the run onto this object's thread.
        QMetaObject::invokeMethod(
            this, [this] { queue_->RunPending(); }, Qt::QueuedConnection);
      })) {}

UiDispatcher::~UiDispatcher() {
  queue_->Cancel();
}

}  // namespace tw
