// A parameters file for trend window tests: one host resource, sampling
// off, the trend chart shown at scale 2.
#pragma once

#include <string>

#include "monitor/Parameters.h"
#include "monitor/ResourceTable.h"

namespace tw::test {

inline bool SaveOneHostTrendParameters(const std::string& path, const std::string& host) {
  ResourceTable table;
  table.SetRowCount(2);
  table.SetNewRowDefaults(1);
  table.SetCell(Col::Resource, 1, host);
  table.SetCell(Col::Kind, 1, "3");
  WindowParameters params;
  params.trend = true;
  params.pingObjects = false;
  params.trendScale = 2;
  return SaveParameters(path, table, params);
}

}  // namespace tw::test
