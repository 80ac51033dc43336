// The export of the trend day: the quarter-hour averages on show, for a
// period of the day, as a table of texts and as tab-separated text with
// CR LF line ends (what the clipboard and the exported file receive).
#pragma once

#include <string>
#include <vector>

#include "engine/MeasurementTypes.h"

namespace tw {

// One resource row of the settings table as the export sees it.
struct ExportRow {
  std::string name;  // column 1
  ResourceKind kind = ResourceKind::None;
  const TrendDay* day = nullptr;  // the averages on show; null: no measurement record
};

// Rows of cells; row 0 the date, row 1 the time labels, then three rows
// (read, write, ping) per resource.
using ExportTable = std::vector<std::vector<std::string>>;

// The slot of a time of day: hours x 4 + minutes div 15 (24:00 is slot 96).
int TimeSlot(int hours, int minutes);

// The label of slot f: "h:mm" with the hour without leading zero (slot 1
// is "0:15", slot 96 "24:00").
std::string SlotLabel(int slot);

// The table of the slots start + 1 .. end (at least the name column).
// Values use "." as decimal point whatever the locale; slots past the day's
// 96 have no averages and show 0.00.
ExportTable BuildExportTable(const std::string& dateCaption, const std::vector<ExportRow>& rows,
                             int startSlot, int endSlot);

// The text form: cells trimmed and cut to 255 characters, separated by one
// tab, every line ended by CR LF. No quoting: the text is read by spreadsheets
// as it stands.
std::string ExportText(const ExportTable& table);

}  // namespace tw
