// The UI side of the measurement threads for core tests: a settings table,
// a queue dispatcher pumped by the test, and a record of repaints and trend
// appends.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/EngineServices.h"
#include "monitor/ResourceTable.h"
#include "monitor/RowThreads.h"

namespace tw::test {

class FakeHost final : public ThreadHost {
 public:
  ~FakeHost() override { dispatcher->Cancel(); }

  struct TrendAppend {
    std::string name;
    double read, write, ping;
  };

  void ShowMeasurement(int row, const DisplayUpdate& update) override {
    for (int col : ShowInRow(table, row, update)) repaints.emplace_back(col, row);
  }
  bool TrendEnabled() const override { return trendEnabled; }
  void AppendTrendRecord(const std::string& name, double read, double write, double ping) override {
    appends.push_back({name, read, write, ping});
  }

  // Adds a resource row with new-row defaults; returns its number.
  int AddRow(const std::string& address, ResourceKind kind) {
    return AddRow(address, KindText(kind));
  }
  // The same with the kind as the parameters file writes it (tests of
  // kinds the program does not know).
  int AddRow(const std::string& address, const std::string& kind) {
    const int row = table.RowCount();
    table.SetRowCount(row + 1);
    table.SetNewRowDefaults(row);
    table.SetCell(Col::Resource, row, address);
    table.SetCell(Col::Kind, row, kind);
    return row;
  }

  // Pumps the dispatcher (as the UI thread) until `done` or the time is up.
  bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
      dispatcher->RunPending();
      if (done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    dispatcher->RunPending();
    return done();
  }

  ResourceTable table;
  std::shared_ptr<QueueDispatcher> dispatcher = std::make_shared<QueueDispatcher>();
  bool trendEnabled = true;
  std::vector<std::pair<int, int>> repaints;
  std::vector<TrendAppend> appends;
};

}  // namespace tw::test
