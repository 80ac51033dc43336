// The status table's cell drawing and the taskbar title: a view of the
// resource settings table, which holds every text it shows.
#pragma once

#include <string>

#include "charts/Canvas.h"
#include "monitor/ResourceTable.h"

namespace tw {

struct StatusTableLayout {
  static constexpr int kColumns = 5;
  static constexpr int kDefaultWidths[kColumns] = {10, 101, 76, 77, 93};  // pixels
  static constexpr int kDefaultRowHeight = 22;                            // pixels
  static constexpr int kGridLineWidth = 2;                                // pixels
  static constexpr int kHelpContext = 197;                                // data rows
  static constexpr int kHeaderHelpContext = 123;                          // header row
};

// The colours the first resource of an empty list gets: the first two of
// the wizard's candidate colours, lime for the read line and yellow for the
// write line.
inline constexpr ColorValue kNewRowReadColor = clLime;
inline constexpr ColorValue kNewRowWriteColor = clYellow;

// The colour of a colour cell of the settings table. An empty or unknown
// text (a damaged file, "clBogus") takes the new-row colour of its column
// rather than black, which would vanish on the black table and chart.
ColorValue CellColor(const ResourceTable& table, int col, int row);

// `DisplayResourceTableDrawCell`: draws cell (col, row) into `rect`.
// `selectedRow` is the top row of the selection. Returns true when the cell
// drew the selection marker (the caller then sets the taskbar title).
bool DrawStatusCell(Canvas& canvas, const ResourceTable& table, int col, int row,
                    const CanvasRect& rect, int selectedRow, const CanvasFont& font);

// The taskbar title: "Tarnwick" without resources, else the quoted
// resource of the selected row and "  Read speed" or "  Ping speed".
std::string TaskbarTitle(const ResourceTable& table, int selectedRow);

}  // namespace tw
