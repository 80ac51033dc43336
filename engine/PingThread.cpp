#include "engine/PingThread.h"

#include <algorithm>

#include "engine/Messages.h"
#include "platform/ThreadPriority.h"

namespace tw {

namespace {

// The longest a wait sleeps without looking at the local time: the
// quarter-hour trend write comes at most this late.
constexpr uint64_t kQuarterCheckMs = 1000;

void Append(SpeedHistory& history, double value) {
  std::move(history.begin() + 1, history.end(), history.begin());
  history.back() = value;
}

}  // namespace

void ControlFlag::store(bool on) {
  value_.store(on);
  owner_.WakeWaits();
}

TPingThread::TPingThread(int row, const EngineServices& services) : services_(services), row_(row) {
  thread_ = std::thread([this] { Execute(); });
}

TPingThread::~TPingThread() = default;

void TPingThread::Destroy(TPingThread* thread, uint64_t boundMs) {
  if (thread == nullptr) return;
  thread->StopRequested = true;
  thread->services_.dispatcher->Withdraw(thread);
  std::unique_lock<std::mutex> lock(thread->suspendMutex_);
  thread->suspended_ = false;
  if (thread->cancelBlocking_) thread->cancelBlocking_();
  thread->wakeCv_.notify_all();
  const bool ended = thread->wakeCv_.wait_for(lock, std::chrono::milliseconds(boundMs),
                                              [thread] { return thread->finished_; });
  if (!ended) {
    // Stuck in a system call that cannot be cut short: the worker frees
    // itself when the call returns (its hand-overs stay withdrawn).
    thread->orphaned_ = true;
    return;
  }
  lock.unlock();
  thread->thread_.join();
  thread->services_.dispatcher->Forget(thread);
  delete thread;
}

void TPingThread::SetCancelHandler(std::function<void()> cancel) {
  std::lock_guard<std::mutex> lock(suspendMutex_);
  cancelBlocking_ = std::move(cancel);
}

void TPingThread::Execute() {
  HonourSuspension();
  RunBody();
  std::unique_lock<std::mutex> lock(suspendMutex_);
  finished_ = true;
  const bool orphaned = orphaned_;
  cancelBlocking_ = nullptr;
  lock.unlock();
  wakeCv_.notify_all();
  if (orphaned) {
    // Destroy has given up on this thread and its owner may be gone; the
    // shared dispatcher is still there and forgets this address.
    thread_.detach();
    services_.dispatcher->Forget(this);
    delete this;
  }
}

void TPingThread::RunBody() {
  while (!StopRequested) {
    ResetStatistics();
    SetStatusText(kTestingStatus);
    CallUpdateDisplay();
    DispatchKind(Settings().resourceKind);
    RestartRequested = false;
    if (StopRequested) break;
    HonourSuspension();
  }
}

void TPingThread::DispatchKind(ResourceKind kind) {
  const KindDescriptor& descriptor = Describe(kind);
  SetCurrentThreadPriorityClass(descriptor.priorityClass);
  const bool measurable =
      descriptor.newMeasurement != nullptr && (!descriptor.needsEcho || services_.echoAvailable);
  if (!measurable) {
    // Nothing to measure: idle until restarted or stopped instead of
    // spinning through the outer loop.
    RunIdleLoop();
    return;
  }
  if (measurement_ == nullptr || kind != measuredKind_) {
    // The old measurement may own what the cancel handler reaches.
    SetCancelHandler(nullptr);
    measurement_ = descriptor.newMeasurement();
    measuredKind_ = kind;
  }
  measurement_->Run(*this);
}

void TPingThread::RunIdleLoop() {
  for (;;) {
    const uint64_t seen = WakeCount();
    HonourSuspension();
    QuarterHourCheck();
    if (LoopMustEnd()) return;
    SleepFor(kQuarterCheckMs, seen);
  }
}

void TPingThread::ResetStatistics() {
  std::lock_guard<std::mutex> lock(resultsMutex_);
  results_.referenceSpeed = 0;
  windowSum_ = 0;
  windowCount_ = 1;
  windowMean_ = 0;
  trendCount_ = 0;
  trendSums_ = TrendSums{};
}

void TPingThread::LoadSettings(const ThreadSettings& next) {
  {
    std::lock_guard<std::mutex> lock(settingsMutex_);
    if (next.address != settings_.address) ipAddress_ = HostAddress{};
    settings_ = next;
    statusText_.clear();
  }
  periodMs_ = next.periodMs;
  timeoutMs_ = next.timeoutMs;
  autoSize_ = next.autoSize;
  RestartRequested = true;
}

HostAddress TPingThread::IpAddress() const {
  std::lock_guard<std::mutex> lock(settingsMutex_);
  return ipAddress_;
}

bool TPingThread::SetIpAddress(const std::string& name, const HostAddress& address) {
  std::lock_guard<std::mutex> lock(settingsMutex_);
  if (settings_.address != name) return false;
  ipAddress_ = address;
  return true;
}

ThreadSettings TPingThread::Settings() const {
  std::lock_guard<std::mutex> lock(settingsMutex_);
  return settings_;
}

void TPingThread::Suspend() {
  {
    std::lock_guard<std::mutex> lock(suspendMutex_);
    suspended_ = true;
    ++wakeCount_;
  }
  wakeCv_.notify_all();
}

void TPingThread::Resume() {
  {
    std::lock_guard<std::mutex> lock(suspendMutex_);
    suspended_ = false;
    ++wakeCount_;
  }
  wakeCv_.notify_all();
}

void TPingThread::WakeWaits() {
  {
    std::lock_guard<std::mutex> lock(suspendMutex_);
    ++wakeCount_;
  }
  wakeCv_.notify_all();
}

uint64_t TPingThread::WakeCount() const {
  std::lock_guard<std::mutex> lock(suspendMutex_);
  return wakeCount_;
}

void TPingThread::SleepFor(uint64_t ms, uint64_t seen) {
  std::unique_lock<std::mutex> lock(suspendMutex_);
  wakeCv_.wait_for(lock, std::chrono::milliseconds(ms), [&] { return wakeCount_ != seen; });
}

bool TPingThread::IsSuspended() const {
  std::lock_guard<std::mutex> lock(suspendMutex_);
  return suspended_;
}

bool TPingThread::IsHeld() const {
  std::lock_guard<std::mutex> lock(suspendMutex_);
  return held_;
}

bool TPingThread::Finished() const {
  std::lock_guard<std::mutex> lock(suspendMutex_);
  return finished_;
}

void TPingThread::HonourSuspension() {
  std::unique_lock<std::mutex> lock(suspendMutex_);
  held_ = true;
  wakeCv_.wait(lock, [this] { return !suspended_ || StopRequested.load(); });
  held_ = false;
}

void TPingThread::SuspendSelf() {
  {
    std::lock_guard<std::mutex> lock(suspendMutex_);
    suspended_ = true;
  }
  HonourSuspension();
}

void TPingThread::InterruptibleSleep(uint64_t ms) {
  const uint64_t start = services_.clock.TickMs();
  for (;;) {
    const uint64_t seen = WakeCount();
    if (StopRequested) return;
    const uint64_t elapsed = services_.clock.TickMs() - start;
    if (elapsed >= ms) return;
    SleepFor(ms - elapsed, seen);
  }
}

void TPingThread::BeginBlockingCall() {
  blockedSinceMs_ = static_cast<int64_t>(services_.clock.TickMs());
}

void TPingThread::EndBlockingCall() {
  blockedSinceMs_ = -1;
}

uint64_t TPingThread::BlockedForMs() const {
  const int64_t since = blockedSinceMs_.load();
  if (since < 0) return 0;
  const auto now = static_cast<int64_t>(services_.clock.TickMs());
  return now > since ? static_cast<uint64_t>(now - since) : 0;
}

MeasurementSnapshot TPingThread::Snapshot() const {
  std::lock_guard<std::mutex> lock(resultsMutex_);
  return results_;
}

uint64_t TPingThread::SampleCount() const {
  std::lock_guard<std::mutex> lock(resultsMutex_);
  return results_.sampleCount;
}

void TPingThread::SetStatusText(const std::string& text) {
  std::lock_guard<std::mutex> lock(settingsMutex_);
  statusText_ = text;
}

void TPingThread::SetWriteSpeed(double kbps) {
  std::lock_guard<std::mutex> lock(resultsMutex_);
  results_.writeSpeed = kbps;
  Append(results_.writeHistory, kbps);
  ++results_.sampleCount;
}

void TPingThread::SetReadSpeed(double kbps) {
  std::lock_guard<std::mutex> lock(resultsMutex_);
  results_.readSpeed = kbps;
  Append(results_.readHistory, kbps);
  ++results_.sampleCount;
}

void TPingThread::SetPingSpeed(double kbps) {
  std::lock_guard<std::mutex> lock(resultsMutex_);
  results_.pingSpeed = kbps;
  Append(results_.pingHistory, kbps);
  ++results_.sampleCount;
}

void TPingThread::UpdateReferenceSpeed(double x) {
  std::lock_guard<std::mutex> lock(resultsMutex_);
  // Before the first window closes the reference is the running maximum;
  // then each window of 100 samples above the last mean sets it.
  if (windowMean_ == 0 && x > results_.referenceSpeed) results_.referenceSpeed = x;
  if (x > windowMean_) {
    windowSum_ += x;
    if (windowCount_ >= kHistoryLength) {
      results_.referenceSpeed = windowSum_ / windowCount_;
      windowMean_ = results_.referenceSpeed;
      windowSum_ = 0;
      windowCount_ = 0;
    }
    windowCount_ += 1;
  }
}

void TPingThread::AddTrendSums(double write, double read, double ping) {
  std::lock_guard<std::mutex> lock(resultsMutex_);
  trendSums_.write += write;
  trendSums_.read += read;
  trendSums_.ping += ping;
  trendCount_ += 1;
}

// Sleeps to the end of the period; any change of the flags, the suspension
// or the settings (a new period) wakes it to look again.
void TPingThread::CycleWait(uint64_t startTick) {
  for (;;) {
    const uint64_t seen = WakeCount();
    HonourSuspension();
    QuarterHourCheck();
    if (Paused || StopRequested) return;
    const uint64_t elapsed = services_.clock.TickMs() - startTick;
    const auto period = static_cast<uint64_t>(std::max<int32_t>(periodMs_.load(), 0));
    if (elapsed >= period) return;
    SleepFor(std::min(period - elapsed, kQuarterCheckMs), seen);
  }
}

void TPingThread::HoldWhilePaused() {
  for (;;) {
    const uint64_t seen = WakeCount();
    HonourSuspension();
    if (!Paused || LoopMustEnd()) return;
    SleepFor(kQuarterCheckMs, seen);
  }
}

void TPingThread::QuarterHourCheck() {
  if (StopRequested) RestartRequested = true;
  const int minute = services_.clock.LocalNow().minute;
  if (minute % 15 != 0 || minute == lastQuarterMinute_) return;
  trendName_ = Settings().address;
  services_.dispatcher->Invoke(this, [this] { WriteTrendSample(); });
  lastQuarterMinute_ = minute;
}

void TPingThread::WriteTrendSample() {
  if (!services_.host.TrendEnabled()) return;
  TrendSums means;
  {
    std::lock_guard<std::mutex> lock(resultsMutex_);
    means = trendSums_;
    if (trendCount_ != 0) {
      means.read /= trendCount_;
      means.write /= trendCount_;
      means.ping /= trendCount_;
    }
    trendCount_ = 0;
    trendSums_ = TrendSums{};
  }
  services_.host.AppendTrendRecord(trendName_, means.read, means.write, means.ping);
}

void TPingThread::CallUpdateDisplay() {
  // Paused or stopping: nothing is shown, and a status text waits for the
  // next update.
  if (Paused || StopRequested) return;
  // The update is what this worker has now; the UI thread shows it soon
  // after, and the worker does not wait for that.
  services_.dispatcher->Post(this, [this, update = TakeDisplayUpdate()] { UpdateDisplay(update); });
}

DisplayUpdate TPingThread::TakeDisplayUpdate() {
  DisplayUpdate update;
  {
    std::lock_guard<std::mutex> lock(settingsMutex_);
    update.status.swap(statusText_);
    update.resourceKind = settings_.resourceKind;
  }
  if (update.status.empty()) {
    const MeasurementSnapshot now = Snapshot();
    update.writeSpeed = now.writeSpeed;
    update.readSpeed = now.readSpeed;
    update.pingSpeed = now.pingSpeed;
  }
  return update;
}

void TPingThread::UpdateDisplay(const DisplayUpdate& update) {
  if (Paused || StopRequested) {
    // Sampling stopped after the update was taken: its status text is shown
    // by the first update after a restart, unless a newer one came.
    std::lock_guard<std::mutex> lock(settingsMutex_);
    if (statusText_.empty()) statusText_ = update.status;
    return;
  }
  services_.host.ShowMeasurement(row_, update);
}

}  // namespace tw
