#include "monitor/ResourceTable.h"

#include "engine/ResourceKinds.h"

namespace tw {

namespace {
const std::string kEmpty;
}

ResourceTable::ResourceTable() : rows_(1) {
  WriteHeaderRow();
}

void ResourceTable::WriteHeaderRow() {
  auto& header = rows_[0].cells;
  header[Col::Resource] = "Resource";
  header[Col::WriteSpeed] = "Write speed";
  header[Col::ReadSpeed] = "Read speed";
  header[Col::PingSpeed] = "Ping speed";
}

bool ResourceTable::Valid(int col, int row) const {
  return col >= 0 && col < Col::Count && row >= 0 && row < RowCount();
}

const std::string& ResourceTable::Cell(int col, int row) const {
  return Valid(col, row) ? rows_[static_cast<size_t>(row)].cells[static_cast<size_t>(col)] : kEmpty;
}

void ResourceTable::SetCell(int col, int row, std::string text) {
  if (Valid(col, row))
    rows_[static_cast<size_t>(row)].cells[static_cast<size_t>(col)] = std::move(text);
}

void ResourceTable::SetRowCount(int count) {
  rows_.resize(static_cast<size_t>(count < 1 ? 1 : count));
}

void ResourceTable::CopyRow(int from, int to) {
  if (Valid(0, from) && Valid(0, to))
    rows_[static_cast<size_t>(to)].cells = rows_[static_cast<size_t>(from)].cells;
}

void ResourceTable::AttachThread(int row, TPingThread* thread) {
  if (Valid(0, row)) rows_[static_cast<size_t>(row)].thread = thread;
}

TPingThread* ResourceTable::Thread(int row) const {
  return Valid(0, row) ? rows_[static_cast<size_t>(row)].thread : nullptr;
}

void ResourceTable::DetachThread(int row) {
  AttachThread(row, nullptr);
}

void ResourceTable::SetNewRowDefaults(int row) {
  if (!Valid(0, row) || row == 0) return;
  auto& c = rows_[static_cast<size_t>(row)].cells;
  for (int col = Col::WriteSpeed; col < Col::Count; ++col) {
    if (col != Col::Kind && col != Col::WriteColor && col != Col::ReadColor)
      c[static_cast<size_t>(col)].clear();
  }
  c[Col::ProcessDelay] = "1000";
  c[Col::AutoSize] = "1";
  c[Col::PacketSize] = "1024";
  c[Col::Timeout] = "30000";
  c[Col::MinSpeed] = "0";
  c[Col::MaxSpeed] = "2";
  c[Col::MinOnce] = "1";
  c[Col::MaxOnce] = "1";
  c[Col::MinTimeout] = "3";
  c[Col::MaxTimeout] = "3";
  c[Col::PerformMinSpeed] = "0";
  c[Col::PerformMaxSpeed] = "0";
  c[Col::MinEnablesMax] = "1";
  c[Col::MaxEnablesMin] = "1";
}

void ResourceTable::ClearEventBookkeeping(int row) {
  for (int col : {Col::MinSince, Col::MinPerformed, Col::MaxPerformed, Col::MaxSince})
    SetCell(col, row, "");
}

ResourceKind ResourceTable::Kind(int row) const {
  return KindFromText(Cell(Col::Kind, row));
}

}  // namespace tw
