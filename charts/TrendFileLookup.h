// The trend chart's records, read from the trend files.
#pragma once

#include <string>

#include "charts/TrendChart.h"
#include "trend/TrendFile.h"

namespace tw {

class TrendFileLookup final : public TrendLookup {
 public:
  explicit TrendFileLookup(TTrendFile& file) : file_(file) {}

  bool Find(const std::string& name, double stamp, double& read, double& write,
            double& ping) override {
    TrendValues values;
    if (!file_.FindRecord(name, stamp, values)) return false;
    read = values.read;
    write = values.write;
    ping = values.ping;
    return true;
  }

 private:
  TTrendFile& file_;
};

}  // namespace tw
