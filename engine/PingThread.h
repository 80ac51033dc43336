// One measurement thread per resource row.
//
// Why a thread: each measurement is a blocking transfer (a file write and
// read, a whole-file read, an ICMP echo that may wait up to 240 s), timed on
// its own period independently of the window's timers. The worker never
// touches the settings table or a window itself: it hands `UpdateDisplay`
// and `WriteTrendSample` over to the UI thread through the Dispatcher. A
// display update is posted with its content taken on the worker, so the
// worker goes on at once; the trend write waits.
//
// Sharing: the UI thread writes the control flags (atomics) and the settings
// (under settingsMutex_, with the resolved address that belongs to them); the worker writes results
// and histories under resultsMutex_, and the UI reads them as a Snapshot. The status text is kept
// under settingsMutex_; the trend sums under resultsMutex_, taken by the UI inside the trend
// hand-over while the worker waits for it.
//
// Waiting: the worker's waits sleep on a condition variable. Every change the
// UI makes to a control flag, the suspension or the settings wakes them, so a
// hundred threads with long periods cost nothing between their cycles.
//
// Lifetime: Destroy may give up on a worker stuck in a system call (a hung
// network drive) and leave it behind; it frees itself when the call returns.
// Such a worker may outlive the window, so it keeps its own copy of the
// EngineServices and shares the dispatcher with the window; the window cancels
// the dispatcher when it closes, and from then on a hand-over is refused
// without reaching the window.
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/EngineServices.h"
#include "engine/Measurement.h"
#include "engine/MeasurementTypes.h"
#include "engine/ResourceKinds.h"

namespace tw {

class TPingThread;

// A control flag of a measurement thread, set by the UI thread and read by
// the worker. Changing it wakes the worker's sleeping waits.
class ControlFlag {
 public:
  explicit ControlFlag(TPingThread& owner) : owner_(owner) {}
  ControlFlag(const ControlFlag&) = delete;
  ControlFlag& operator=(const ControlFlag&) = delete;
  ControlFlag& operator=(bool on) {
    store(on);
    return *this;
  }
  operator bool() const { return load(); }
  bool load() const { return value_.load(); }
  void store(bool on);

 private:
  std::atomic<bool> value_{false};
  TPingThread& owner_;
};

class TPingThread {
 public:
  // Creates the thread suspended for resource row `row`. The thread keeps a
  // copy of `services`.
  TPingThread(int row, const EngineServices& services);
  TPingThread(const TPingThread&) = delete;
  TPingThread& operator=(const TPingThread&) = delete;

  // Ends the thread (stop flag, cancels its waits and hand-over) and frees
  // it. When the thread cannot be ended within `boundMs` (stuck in a system
  // call), it is left to free itself when the call returns.
  static void Destroy(TPingThread* thread, uint64_t boundMs = 2000);

  // UI thread: takes the row's settings; a changed address forces a new name
  // resolution; empties the status text; asks for a restart.
  void LoadSettings(const ThreadSettings& next);

  // Suspension is honoured by the worker at safe points, never forced.
  void Suspend();
  void Resume();
  bool IsSuspended() const;
  // True while the worker waits at a safe point because it is suspended.
  bool IsHeld() const;

  // Control flags.
  ControlFlag Paused{*this};
  ControlFlag StopRequested{*this};
  ControlFlag RestartRequested{*this};
  // Makes the worker's current sleeping wait look at its flags again.
  void WakeWaits();

  int Row() const { return row_.load(); }
  // UI thread: the row moved; the caller loads its settings afterwards.
  void SetRow(int row) { row_ = row; }

  MeasurementSnapshot Snapshot() const;
  // The snapshot's sampleCount alone, without copying the histories.
  uint64_t SampleCount() const;
  ThreadSettings Settings() const;

  // The day's quarter-hour averages on show (write, read, echo; 96 each),
  // filled and read by the trend chart on the UI thread only.
  TrendDay TrendDayValues{};

  // True once the body has ended.
  bool Finished() const;

  // Any thread: how long (milliseconds) the worker has been inside its
  // current blocking file call; 0 when it is in none.
  uint64_t BlockedForMs() const;

  // ---- used by the measurements (worker thread) ----
  // The 64,512-byte buffer for all transfers.
  uint8_t* TransferBuffer() { return transferBuffer_.data(); }
  const EngineServices& Services() const { return services_; }
  // Status text to show instead of the speeds at the next display update.
  void SetStatusText(const std::string& text);
  // Appends a speed to a history (the oldest falls out).
  void SetWriteSpeed(double kbps);
  void SetReadSpeed(double kbps);
  void SetPingSpeed(double kbps);
  // The reference-speed rule, with the kind's main speed.
  void UpdateReferenceSpeed(double x);
  // Takes the row's status text or speeds now and hands them over to be
  // shown on the UI thread (UpdateDisplay); does not wait for that.
  void CallUpdateDisplay();
  // Adds a cycle's speeds to the quarter-hour sums.
  void AddTrendSums(double write, double read, double ping);
  // Waits until `PeriodMs` after `startTick`, or until Paused or Stop.
  void CycleWait(uint64_t startTick);
  // Holds while Paused is set (files and hosts), ends on Stop or Restart.
  void HoldWhilePaused();
  // Suspends the worker itself until the UI resumes it (after I/O failures).
  void SuspendSelf();
  // A function that cuts a blocking call of the worker short (an echo, a
  // name lookup); Destroy calls it. Empty when nothing blocks.
  void SetCancelHandler(std::function<void()> cancel);
  // Sleeps up to `ms` (clock milliseconds), cut short by Stop.
  void InterruptibleSleep(uint64_t ms);
  // A blocking file call (open, write, read, close) begins or has returned.
  // A share whose server stops answering keeps the worker inside the call;
  // the UI thread sees how long through BlockedForMs(). Prefer BlockingCall.
  void BeginBlockingCall();
  void EndBlockingCall();
  // Whether the current inner loop must end.
  bool LoopMustEnd() const { return RestartRequested.load() || StopRequested.load(); }
  int32_t PeriodMs() const { return periodMs_.load(); }
  int32_t TimeoutMs() const { return timeoutMs_.load(); }
  bool AutoSize() const { return autoSize_.load(); }

  // The resolved address of a host row (IPv4 or IPv6), kept across restarts
  // while the address text stays the same; not resolved at first and after
  // every change of the text.
  HostAddress IpAddress() const;
  // Worker: keeps `address` as what the address text `name` resolved to.
  // False (and nothing kept) when the row's text is no longer `name`: the
  // settings changed during the lookup, and the restart they asked for
  // resolves the new text.
  bool SetIpAddress(const std::string& name, const HostAddress& address);

  // The current measurement; worker thread only, or the UI thread inside
  // one of the worker's hand-overs. Null until the row's first measured run;
  // a row changed to no known kind idles and keeps its last measurement.
  const Measurement* CurrentMeasurement() const { return measurement_.get(); }

  // Trend accumulation (Kbps sums), handed to WriteTrendSample.
  struct TrendSums {
    double read = 0, write = 0, ping = 0;
  };

 private:
  ~TPingThread();
  void Execute();
  void RunBody();
  void ResetStatistics();
  void DispatchKind(ResourceKind kind);
  void RunIdleLoop();
  void QuarterHourCheck();
  void WriteTrendSample();  // UI thread
  DisplayUpdate TakeDisplayUpdate();
  void UpdateDisplay(const DisplayUpdate& update);  // UI thread
  void HonourSuspension();
  // The number of wake-ups so far; read it before looking at the flags and
  // pass it to SleepFor, so that a change between the two is not missed.
  uint64_t WakeCount() const;
  // Sleeps up to `ms` or until a wake-up after `seen`.
  void SleepFor(uint64_t ms, uint64_t seen);

  // Worker only: the measurement of `measuredKind_`, kept across restarts.
  std::unique_ptr<Measurement> measurement_;
  ResourceKind measuredKind_ = ResourceKind::None;

  const EngineServices services_;
  std::atomic<int> row_;

  mutable std::mutex settingsMutex_;
  ThreadSettings settings_;
  HostAddress ipAddress_;  // resolution of settings_.address
  std::string statusText_;
  std::atomic<int32_t> periodMs_{0};
  std::atomic<int32_t> timeoutMs_{2500};
  std::atomic<bool> autoSize_{false};
  // Clock tick at which the current blocking call began; -1 when in none.
  std::atomic<int64_t> blockedSinceMs_{-1};

  mutable std::mutex resultsMutex_;
  MeasurementSnapshot results_;
  double windowMean_ = 0, windowSum_ = 0;
  int32_t windowCount_ = 1;

  TrendSums trendSums_;
  int32_t trendCount_ = 0;
  std::string trendName_;
  int lastQuarterMinute_ = 0;

  mutable std::mutex suspendMutex_;
  std::condition_variable wakeCv_;
  bool suspended_ = true;
  bool finished_ = false;
  bool orphaned_ = false;
  bool held_ = false;
  uint64_t wakeCount_ = 0;
  std::function<void()> cancelBlocking_;

  // Page-aligned, so direct I/O can use it without a copy.
  alignas(4096) std::array<uint8_t, kTransferBufferSize> transferBuffer_{};
  std::thread thread_;
};

// Marks one blocking file call of the worker for its lifetime.
class BlockingCall {
 public:
  explicit BlockingCall(TPingThread& thread) : thread_(thread) { thread_.BeginBlockingCall(); }
  ~BlockingCall() { thread_.EndBlockingCall(); }
  BlockingCall(const BlockingCall&) = delete;
  BlockingCall& operator=(const BlockingCall&) = delete;

 private:
  TPingThread& thread_;
};

}  // namespace tw
