#include "monitor/RowThreads.h"

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

std::vector<int> ShowInRow(ResourceTable& table, int row, const DisplayUpdate& update) {
  const char kind = update.resourceKind;
  if (!update.status.empty()) {
    const int col = kind == '1' ? Col::WriteSpeed : kind == '2' ? Col::ReadSpeed : Col::PingSpeed;
    table.SetCell(col, row, update.status);
    return {col};
  }
  table.SetCell(Col::WriteSpeed, row, kind == '1' ? SpeedText(update.writeSpeed) : "");
  table.SetCell(Col::ReadSpeed, row, kind == '1' || kind == '2' ? SpeedText(update.readSpeed) : "");
  table.SetCell(Col::PingSpeed, row, kind == '3' ? SpeedText(update.pingSpeed) : "");
  return {Col::WriteSpeed, Col::ReadSpeed, Col::PingSpeed};
}

}  // namespace tw
