#include "monitor/MetricsHost.h"

#include <vector>

namespace tw {

void MetricsHost::ShowMeasurement(int row, const DisplayUpdate& update) {
  // A thread whose row has just been deleted may still hand over: its
  // results belong to no row.
  if (row >= 1 && row < table_.RowCount())
    book_.Record(row, table_.Cell(Col::Resource, row), update);
  host_.ShowMeasurement(row, update);
}

void MetricsHost::ShowNoResponse(int row) {
  if (row >= 1 && row < table_.RowCount())
    book_.RecordNoResponse(row, table_.Cell(Col::Resource, row), table_.Kind(row));
}

void MetricsHost::AppendTrendRecord(const std::string& name, double read, double write,
                                    double ping) {
  book_.RecordQuarterHour(name, read, write, ping);
  host_.AppendTrendRecord(name, read, write, ping);
}

std::string MetricsHost::Exposition(const std::string& version) const {
  std::vector<MetricsRow> rows;
  for (int row = 1; row < table_.RowCount(); ++row)
    rows.push_back({table_.Cell(Col::Resource, row), table_.Kind(row)});
  return book_.Exposition(rows, version);
}

}  // namespace tw
