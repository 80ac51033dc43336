#include "monitor/Sampling.h"

#include <algorithm>
#include <functional>
#include <string>
#include <thread>

#include "engine/ResourceKinds.h"
#include "util/Numbers.h"

namespace tw {

int SpeedIconIndex(double currentSpeed, double referenceSpeed) {
  if (referenceSpeed <= 0) return 0;
  const int64_t index = RoundHalfEven(currentSpeed / (referenceSpeed / 12.0));
  return static_cast<int>(std::clamp<int64_t>(index, 0, 12));
}

bool ShareNotAnswering(const TPingThread& thread, ResourceKind kind) {
  if (kind != ResourceKind::Drive && kind != ResourceKind::File) return false;
  return thread.BlockedForMs() > NoResponseAfterMs(thread.TimeoutMs());
}

double CurrentSpeed(ResourceKind kind, const MeasurementSnapshot& results) {
  if (kind == ResourceKind::None) return 0;
  return SeriesHistory(results, Describe(kind).mainSeries).back();
}

void SamplingControl::StartThreads() {
  for (int row = 1; row < table_.RowCount(); ++row) {
    TPingThread* thread = table_.Thread(row);
    if (thread == nullptr) continue;
    thread->Paused = false;
    LoadRowSettings(*thread, table_);
    thread->Resume();
    thread->Resume();
  }
}

void SamplingControl::StopThreads() {
  for (int row = 1; row < table_.RowCount(); ++row) {
    if (TPingThread* thread = table_.Thread(row)) thread->Paused = true;
  }
  WaitMs(flagWaitMs_);
  for (int row = 1; row < table_.RowCount(); ++row) {
    if (TPingThread* thread = table_.Thread(row)) thread->Suspend();
  }
}

bool SamplingControl::Tick(TickMode mode, TickHandler& handler) {
  if (busy_) return false;
  busy_ = true;
  const uint64_t key = ChartKey();
  const bool draw = mode == TickMode::Redraw || !chartDrawn_ || key != chartKey_;
  if (draw) handler.ClearChart();
  for (int row = 1; row < table_.RowCount(); ++row) {
    TPingThread* thread = table_.Thread(row);
    if (thread == nullptr) continue;
    const MeasurementSnapshot results = thread->Snapshot();
    if (draw) handler.DrawRow(row, results);
    if (mode != TickMode::Tick) continue;
    const ResourceKind kind = table_.Kind(row);
    double speed = CurrentSpeed(kind, results);
    if (ShareNotAnswering(*thread, kind)) {
      // The worker stays in its call; the row says so and counts as dead.
      speed = 0;
      for (int col : ShowNoResponse(table_, row, kind)) handler.SpeedCellChanged(col, row);
    }
    handler.CheckEvents(row, speed);
    if (row == handler.SelectedRow()) {
      handler.SetSpeedIcon(SpeedIconIndex(speed, results.referenceSpeed));
    }
  }
  if (draw) handler.FinishChart();
  chartDrawn_ = true;
  chartKey_ = key;
  busy_ = false;
  return true;
}

uint64_t SamplingControl::ChartKey() const {
  // FNV-1a over the values; a collision would only skip one redraw until
  // the next sample.
  uint64_t hash = 14695981039346656037ull;
  const auto mix = [&hash](uint64_t value) {
    for (int i = 0; i < 8; ++i, value >>= 8) hash = (hash ^ (value & 0xFF)) * 1099511628211ull;
  };
  const auto mixText = [&mix](const std::string& text) { mix(std::hash<std::string>{}(text)); };
  mix(static_cast<uint64_t>(table_.RowCount()));
  for (int row = 1; row < table_.RowCount(); ++row) {
    const TPingThread* thread = table_.Thread(row);
    mix(reinterpret_cast<uintptr_t>(thread));
    if (thread == nullptr) continue;
    mix(thread->SampleCount());
    mixText(table_.Cell(Col::Kind, row));
    mixText(table_.Cell(Col::WriteColor, row));
    mixText(table_.Cell(Col::ReadColor, row));
  }
  return hash;
}

void SamplingControl::CloseThreads(const std::function<void()>& cancel) {
  const uint64_t start = clock_.TickMs();
  for (int row = 1; row < table_.RowCount(); ++row) {
    if (TPingThread* thread = table_.Thread(row)) thread->StopRequested = true;
  }
  WaitMs(flagWaitMs_);
  if (cancel) cancel();
  const uint64_t graceStart = clock_.TickMs();
  for (int row = 1; row < table_.RowCount(); ++row) {
    // Threads that have not ended after the flag wait share one grace; a
    // close bound, where set, cuts it shorter.
    uint64_t deadline = graceStart + closeGraceMs_;
    if (closeBoundMs_ != 0) deadline = std::min(deadline, start + closeBoundMs_);
    const uint64_t now = clock_.TickMs();
    TPingThread::Destroy(table_.Thread(row), now < deadline ? deadline - now : 0);
    table_.DetachThread(row);
  }
}

void SamplingControl::WaitMs(uint64_t ms) {
  const uint64_t start = clock_.TickMs();
  while (clock_.TickMs() - start < ms) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

}  // namespace tw
