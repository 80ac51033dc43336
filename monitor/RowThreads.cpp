#include "monitor/RowThreads.h"

#include "engine/ResourceKinds.h"
#include "util/Numbers.h"

namespace tw {

ThreadSettings RowSettings(const ResourceTable& table, int row) {
  ThreadSettings settings;
  settings.address = table.Cell(Col::Resource, row);
  settings.resourceKind = table.Kind(row);
  settings.periodMs = ParseWholeNumber(table.Cell(Col::ProcessDelay, row));
  settings.autoSize = (ParseWholeNumber(table.Cell(Col::AutoSize, row)) & 0xFF) != 0;
  settings.blockSize = ParseWholeNumber(table.Cell(Col::PacketSize, row));
  settings.timeoutMs = ParseWholeNumber(table.Cell(Col::Timeout, row));
  return settings;
}

void LoadRowSettings(TPingThread& thread, const ResourceTable& table) {
  thread.LoadSettings(RowSettings(table, thread.Row()));
}

void AttachRowThreads(ResourceTable& table, const EngineServices& services) {
  for (int row = 1; row < table.RowCount(); ++row) {
    auto* thread = new TPingThread(row, services);
    table.AttachThread(row, thread);
    LoadRowSettings(*thread, table);
  }
}

int SpeedColumn(Series series) {
  return Col::WriteSpeed + static_cast<int>(series);
}

// A kind shows the speeds it draws; the other speed cells stay empty.
std::vector<int> ShowInRow(ResourceTable& table, int row, const DisplayUpdate& update) {
  const KindDescriptor& kind = Describe(update.resourceKind);
  if (!update.status.empty()) {
    const int col = SpeedColumn(kind.statusSeries);
    table.SetCell(col, row, update.status);
    return {col};
  }
  const double speeds[] = {update.writeSpeed, update.readSpeed, update.pingSpeed};
  std::string texts[3];
  for (int i = 0; i < kind.lineCount; ++i) {
    const auto series = static_cast<size_t>(kind.lines[i].series);
    texts[series] = SpeedText(speeds[series]);
  }
  for (Series series : {Series::Write, Series::Read, Series::Ping})
    table.SetCell(SpeedColumn(series), row, texts[static_cast<size_t>(series)]);
  return {Col::WriteSpeed, Col::ReadSpeed, Col::PingSpeed};
}

uint64_t NoResponseAfterMs(int32_t timeoutMs) {
  return timeoutMs > 0 ? static_cast<uint64_t>(timeoutMs) : 30000;
}

std::vector<int> ShowNoResponse(ResourceTable& table, int row, ResourceKind kind) {
  const int statusCol = SpeedColumn(Describe(kind).statusSeries);
  std::vector<int> changed;
  for (Series series : {Series::Write, Series::Read, Series::Ping}) {
    const int col = SpeedColumn(series);
    const std::string text = col == statusCol ? kNoResponseText : "";
    if (table.Cell(col, row) == text) continue;
    table.SetCell(col, row, text);
    changed.push_back(col);
  }
  return changed;
}

}  // namespace tw
