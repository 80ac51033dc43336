#include "app/DialUpTimer.h"

namespace tw {

TDialUpTimer::TDialUpTimer(DialUpKeeper& keeper, QObject* parent)
    : QObject(parent), keeper_(keeper) {
  setObjectName("DialUpTimer");
  connect(&timer_, &QTimer::timeout, this, &TDialUpTimer::DialUpTimerTimer);
}

void TDialUpTimer::SetEnabled(bool enabled) {
  enabled_ = enabled;
  Apply();
}

void TDialUpTimer::SetIntervalMs(int intervalMs) {
  intervalMs_ = intervalMs < 0 ? 0 : intervalMs;
  Apply();
}

void TDialUpTimer::Apply() {
  // A Qt timer of 0 ms would fire on every pass of the event loop; the
  // keeper's interval of 0 means never.
  if (enabled_ && intervalMs_ > 0) {
    timer_.start(intervalMs_);
  } else {
    timer_.stop();
  }
}

void TDialUpTimer::DialUpTimerTimer() {
  keeper_.DialUpTimerTimer();
}

}  // namespace tw
