// Runs one measurement thread until it has shown enough speeds, pumping its
// hand-overs as the UI thread would, and collects what it showed.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "tests/engine/EngineHost.h"

namespace tw::bench {

struct Shown {
  std::vector<double> write, read, ping;  // Kbps, one per cycle
  double seconds = 0;                     // from the first collected display to the last
};

// Collects `cycles` displays of the row after skipping the first `warmUp`.
inline Shown Collect(test::EngineHost& host, EngineServices& services, int row, size_t warmUp,
                     size_t cycles) {
  Shown shown;
  size_t seen = 0;
  std::chrono::steady_clock::time_point first;
  const ResourceKind kind = host.table.Kind(row);
  const int mainCol = kind == ResourceKind::Echo ? Col::PingSpeed : Col::ReadSpeed;
  host.onRepaint = [&](int col, int r) {
    if (col != mainCol || test::CellSpeed(host.table.Cell(col, r)) < 0) return;
    if (seen++ < warmUp) return;
    const auto now = std::chrono::steady_clock::now();
    if (seen == warmUp + 1) first = now;
    shown.seconds = std::chrono::duration<double>(now - first).count();
    TPingThread* t = host.table.Thread(r);
    const MeasurementSnapshot speeds = t->Snapshot();
    if (kind == ResourceKind::Drive) shown.write.push_back(speeds.writeSpeed);
    if (kind != ResourceKind::Echo) shown.read.push_back(speeds.readSpeed);
    if (kind == ResourceKind::Echo) shown.ping.push_back(speeds.pingSpeed);
  };
  TPingThread* t = host.Start(row, services);
  host.PumpUntil([&] { return seen >= warmUp + cycles; }, 600000);
  host.onRepaint = nullptr;
  TPingThread::Destroy(t);
  host.table.DetachThread(row);
  return shown;
}

inline double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace tw::bench
