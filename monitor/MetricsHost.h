// The host as the measurement threads see it when their results are also
// counted for the metrics: every hand-over is written into the metrics book
// under the row's current resource name, then handed on to the real host
// unchanged. A host that owns a settings table needs one member of this
// class and gives it, not itself, to the threads (EngineServices::host).
#pragma once

#include <string>

#include "engine/EngineServices.h"
#include "monitor/Metrics.h"
#include "monitor/ResourceTable.h"

namespace tw {

class MetricsHost final : public ThreadHost {
 public:
  // `host` and `table` must outlive this object; UI thread only.
  MetricsHost(ThreadHost& host, const ResourceTable& table) : host_(host), table_(table) {}
  // Not copied: the threads hold on to it.
  MetricsHost(const MetricsHost&) = delete;
  MetricsHost& operator=(const MetricsHost&) = delete;

  void ShowMeasurement(int row, const DisplayUpdate& update) override;
  bool TrendEnabled() const override { return host_.TrendEnabled(); }
  void AppendTrendRecord(const std::string& name, double read, double write, double ping) override;

  // The sampling tick found the row's transfer hung past its timeout.
  void ShowNoResponse(int row);

  // The exposition for the table's rows as they are now.
  std::string Exposition(const std::string& version) const;
  const MetricsBook& Book() const { return book_; }

 private:
  ThreadHost& host_;
  const ResourceTable& table_;
  MetricsBook book_;
};

}  // namespace tw
