// The UI side of measurement threads for the engine tests: a settings table,
// a dispatcher pumped by the test as its UI thread, and a hook that runs on
// every display repaint (while the worker waits in its hand-over, so the
// hook may look at the worker's transfer state).
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "engine/EngineServices.h"
#include "engine/PingThread.h"
#include "monitor/ResourceTable.h"
#include "monitor/RowThreads.h"

namespace tw::test {

class EngineHost final : public ThreadHost {
 public:
  EngineHost() = default;
  // Display updates posted as a window takes them (the worker goes on), not
  // waited for as the engine tests usually have them.
  explicit EngineHost(PostedCalls posted)
      : dispatcher(std::make_shared<QueueDispatcher>([this] { Wake(); }, posted)) {}

  // As a window does: a thread left behind no longer reaches this host.
  ~EngineHost() override { dispatcher->Cancel(); }

  void ShowMeasurement(int row, const DisplayUpdate& update) override {
    for (int col : ShowInRow(table, row, update)) {
      if (onRepaint) onRepaint(col, row);
    }
  }
  bool TrendEnabled() const override { return false; }
  void AppendTrendRecord(const std::string&, double, double, double) override {}

  // A resource row with new-row defaults and the given cells.
  int AddRow(const std::string& address, ResourceKind kind, int periodMs, bool autoSize,
             int blockSize, int timeoutMs) {
    const int row = table.RowCount();
    table.SetRowCount(row + 1);
    table.SetNewRowDefaults(row);
    table.SetCell(Col::Resource, row, address);
    table.SetCell(Col::Kind, row, KindText(kind));
    table.SetCell(Col::ProcessDelay, row, std::to_string(periodMs));
    table.SetCell(Col::AutoSize, row, autoSize ? "1" : "0");
    table.SetCell(Col::PacketSize, row, std::to_string(blockSize));
    table.SetCell(Col::Timeout, row, std::to_string(timeoutMs));
    return row;
  }

  // Creates the row's thread, loads its settings and starts it.
  TPingThread* Start(int row, const EngineServices& services) {
    auto* thread = new TPingThread(row, services);
    table.AttachThread(row, thread);
    LoadRowSettings(*thread, table);
    thread->Resume();
    return thread;
  }

  // Pumps the hand-overs until `done` or the time is up; a hand-over wakes
  // the pump at once, as it wakes a UI thread.
  bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 10000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
      dispatcher->RunPending();
      if (done()) return true;
      if (std::chrono::steady_clock::now() >= end) return false;
      std::unique_lock<std::mutex> lock(wakeMutex_);
      wakeCv_.wait_for(lock, std::chrono::milliseconds(1), [this] { return woken_; });
      woken_ = false;
    }
  }

 private:
  void Wake() {
    {
      std::lock_guard<std::mutex> lock(wakeMutex_);
      woken_ = true;
    }
    wakeCv_.notify_one();
  }

  std::mutex wakeMutex_;
  std::condition_variable wakeCv_;
  bool woken_ = false;

 public:
  ResourceTable table;
  std::shared_ptr<QueueDispatcher> dispatcher =
      std::make_shared<QueueDispatcher>([this] { Wake(); });
  std::function<void(int col, int row)> onRepaint;
};

// The adapted transfer state of a thread's measurement (the start values
// before its first run); read it inside a hand-over.
inline TransferState TransferOf(const TPingThread& thread) {
  const Measurement* measurement = thread.CurrentMeasurement();
  return measurement != nullptr ? measurement->Transfer() : TransferState{};
}

// The number in a speed cell (" 123.45 Kbps"), or -1 for any other text.
inline double CellSpeed(const std::string& text) {
  if (text.size() < 5 || text.compare(text.size() - 5, 5, " Kbps") != 0) return -1;
  return std::stod(text.substr(0, text.size() - 5));
}

}  // namespace tw::test
