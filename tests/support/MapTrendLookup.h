// An in-memory TrendLookup: records by upper-cased name and whole minute.
#pragma once

#include <cmath>
#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "charts/TrendChart.h"
#include "util/Text.h"

namespace tw::test {

class MapTrendLookup final : public TrendLookup {
 public:
  struct Values {
    double read = 0, write = 0, ping = 0;
  };
  // Adds a record at a date-time (days since 30 December 1899).
  void Add(const std::string& name, double stamp, Values values) {
    records_[{UpperCaseName(name), Minute(stamp)}] = values;
  }
  bool Find(const std::string& name, double stamp, double& read, double& write,
            double& ping) override {
    ++lookups;
    const auto it = records_.find({UpperCaseName(name), Minute(stamp)});
    if (it == records_.end()) return false;
    read = it->second.read;
    write = it->second.write;
    ping = it->second.ping;
    return true;
  }
  size_t Size() const { return records_.size(); }
  int lookups = 0;

 private:
  static int64_t Minute(double stamp) { return std::llround(stamp * 1440); }
  std::map<std::pair<std::string, int64_t>, Values> records_;
};

}  // namespace tw::test
