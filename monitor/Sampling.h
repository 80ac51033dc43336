// Start, stop and close of sampling, and the order of the sampling tick:
// the main window's logic, kept apart from its widgets.
#pragma once

#include <cstdint>
#include <functional>

#include "engine/PingThread.h"
#include "monitor/ResourceTable.h"
#include "monitor/RowThreads.h"
#include "platform/Clock.h"

namespace tw {

// What a sampling tick does for the window (all on the UI thread).
class TickHandler {
 public:
  virtual ~TickHandler() = default;
  virtual void ClearChart() = 0;
  virtual void DrawRow(int row, const MeasurementSnapshot& results) = 0;
  // Tick mode only: the row's speed events with its current speed (Kbps).
  virtual void CheckEvents(int row, double currentSpeed) = 0;
  // Tick mode only: the icon for the selected row.
  virtual int SelectedRow() const = 0;
  virtual void SetSpeedIcon(int index) = 0;
  virtual void FinishChart() = 0;
  // Tick mode only: the tick changed the text of a speed cell.
  virtual void SpeedCellChanged(int /*col*/, int /*row*/) {}
};

enum class TickMode { Tick, Redraw };

// Whether the thread of a drive or file row has been inside one blocking
// file call for longer than its timeout: its share does not answer.
bool ShareNotAnswering(const TPingThread& thread, ResourceKind kind);

// Index 0..12 of the speed icon: the current speed in twelfths of the
// reference speed, rounded halves to even; 0 without a reference.
int SpeedIconIndex(double currentSpeed, double referenceSpeed);

// The current speed of a row: the newest speed of its kind's main series
// (read for drives and files, echo for hosts); 0 for no known kind.
double CurrentSpeed(ResourceKind kind, const MeasurementSnapshot& results);

class SamplingControl {
 public:
  SamplingControl(ResourceTable& table, Clock& clock) : table_(table), clock_(clock) {}

  // Clears Paused, loads the settings and resumes every thread (twice).
  void StartThreads();
  // Sets Paused on every thread, waits, then suspends every thread.
  void StopThreads();
  // Runs one sampling tick; a tick that finds another running is dropped.
  // A row whose share does not answer shows "No response", and its events
  // and icon see a current speed of 0, until its thread's call returns.
  // Returns false when it was dropped. A tick redraws the live chart only
  // when a thread has a new sample or the rows changed since the chart was
  // last drawn; a redraw always draws.
  bool Tick(TickMode mode, TickHandler& handler);
  // Close: stop flags, a wait, then `cancel` (blocking calls, hand-overs),
  // then every thread is freed and detached from its row. Threads still
  // stuck in a system call after a shared grace time are left to free
  // themselves when the call returns, so that a hung share cannot hold the
  // close up.
  void CloseThreads(const std::function<void()>& cancel);

  // The pause that gives threads time to notice their flags (milliseconds).
  void SetFlagWaitMs(uint64_t ms) { flagWaitMs_ = ms; }
  uint64_t FlagWaitMs() const { return flagWaitMs_; }
  // How long the close waits, for all threads together, for threads that
  // have not ended after the flag wait (milliseconds).
  void SetCloseGraceMs(uint64_t ms) { closeGraceMs_ = ms; }
  // How long CloseThreads may take in all, flag wait included (milliseconds);
  // a thread still stuck in a system call then is left to free itself.
  // 0 (the default): only the grace bounds it.
  void SetCloseBoundMs(uint64_t ms) { closeBoundMs_ = ms; }

 private:
  // Waits by the tick counter without handling window messages.
  void WaitMs(uint64_t ms);
  // A fingerprint of what the live chart shows: rows, their threads, kinds,
  // colours and sample counts.
  uint64_t ChartKey() const;

  ResourceTable& table_;
  Clock& clock_;
  bool busy_ = false;
  bool chartDrawn_ = false;
  uint64_t chartKey_ = 0;  // ChartKey() of the chart last drawn
  uint64_t flagWaitMs_ = 1000;
  uint64_t closeBoundMs_ = 0;
  uint64_t closeGraceMs_ = 300;
};

}  // namespace tw
