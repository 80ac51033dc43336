// `DialUpTimer`: runs the dial-up keeper at its period while it is on.
#pragma once

#include <QObject>
#include <QTimer>

#include "monitor/DialUpKeeper.h"

namespace tw {

class TDialUpTimer final : public QObject {
  Q_OBJECT

 public:
  explicit TDialUpTimer(DialUpKeeper& keeper, QObject* parent = nullptr);

  // On or off ("Keep Dial-Up connection"); off at first.
  void SetEnabled(bool enabled);
  bool Enabled() const { return enabled_; }
  // The period in milliseconds (3000 at first). An interval of 0 never fires.
  void SetIntervalMs(int intervalMs);
  int IntervalMs() const { return intervalMs_; }
  // True while the keeper actually runs (on, with a period above 0).
  bool Running() const { return timer_.isActive(); }

 private slots:
  void DialUpTimerTimer();

 private:
  void Apply();

  DialUpKeeper& keeper_;
  QTimer timer_;
  bool enabled_ = false;
  int intervalMs_ = 3000;
};

}  // namespace tw
