#include "charts/TrendExport.h"

#include <algorithm>

#include "engine/ResourceKinds.h"
#include "util/Numbers.h"
#include "util/Text.h"

namespace tw {

namespace {

constexpr size_t kMaxCellCharacters = 255;

// The rows of one resource, in table order, with their caption.
struct SeriesRow {
  Series series;
  const char* caption;
};
constexpr SeriesRow kSeriesRows[] = {{Series::Read, " Read (Kbps)"},
                                     {Series::Write, " Write (Kbps)"},
                                     {Series::Ping, " Ping (Kbps)"}};

bool KindMeasures(ResourceKind kind, Series series) {
  const KindDescriptor& descriptor = Describe(kind);
  for (int i = 0; i < descriptor.lineCount; ++i) {
    if (descriptor.lines[i].series == series) return true;
  }
  return false;
}

// The first `count` characters of a UTF-8 text; a character is never split.
std::string FirstCharacters(const std::string& text, size_t count) {
  size_t characters = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const bool starts = (byte & 0xC0) != 0x80;
    if (starts && characters++ == count) return text.substr(0, i);
  }
  return text;
}

std::vector<std::string> ValuesRow(const ExportRow& row, const SeriesRow& what, int startSlot,
                                   int columns) {
  std::vector<std::string> cells(static_cast<size_t>(columns));
  cells[0] = row.name + what.caption;
  const bool measured = row.day != nullptr && KindMeasures(row.kind, what.series);
  for (int c = 1; c < columns; ++c) {
    const int slot = startSlot + c;
    double value = 0;
    if (measured && slot >= 1 && slot <= kTrendPoints)
      value = (*row.day)[static_cast<size_t>(what.series)][static_cast<size_t>(slot - 1)];
    cells[static_cast<size_t>(c)] = FixedText(value, 2, 9);
  }
  return cells;
}

}  // namespace

int TimeSlot(int hours, int minutes) {
  return hours * 4 + minutes / 15;
}

std::string SlotLabel(int slot) {
  const int minutes = (slot % 4) * 15;
  return std::to_string(slot / 4) + ":" + (minutes < 10 ? "0" : "") + std::to_string(minutes);
}

ExportTable BuildExportTable(const std::string& dateCaption, const std::vector<ExportRow>& rows,
                             int startSlot, int endSlot) {
  const int columns = std::max(1, endSlot - startSlot + 1);
  ExportTable table;
  table.reserve(3 * rows.size() + 2);
  table.emplace_back(static_cast<size_t>(columns));
  table[0][0] = dateCaption;
  std::vector<std::string> labels(static_cast<size_t>(columns));
  for (int c = 1; c < columns; ++c) labels[static_cast<size_t>(c)] = SlotLabel(startSlot + c);
  table.push_back(std::move(labels));
  for (const ExportRow& row : rows) {
    for (const SeriesRow& what : kSeriesRows)
      table.push_back(ValuesRow(row, what, startSlot, columns));
  }
  return table;
}

std::string ExportText(const ExportTable& table) {
  std::string text;
  for (const std::vector<std::string>& row : table) {
    for (size_t c = 0; c < row.size(); ++c) {
      if (c > 0) text += '\t';
      text += Trim(FirstCharacters(row[c], kMaxCellCharacters));
    }
    text += "\r\n";
  }
  return text;
}

}  // namespace tw
