// The dial-up keeper: at its timer's period it looks through every top-level
// window for dialog boxes whose title contains one of the table's texts and
// presses the button named beside it, so that a broken dial-up connection is
// dialled again without the user.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "platform/AccessibleButtons.h"
#include "platform/TopWindows.h"

namespace tw {

// `ConnectWindowsTable`: two text columns, header row 0, entries from row 1.
class ConnectWindowsTable {
 public:
  static constexpr int TitleCol = 0;   // "Dialog Box Title"
  static constexpr int ButtonCol = 1;  // "Button To Push"

  // The header row and one empty entry row.
  ConnectWindowsTable();

  // Text of a cell; an empty text outside the table.
  const std::string& Cell(int col, int row) const;
  // Sets a cell of an entry row; ignored outside the table and in row 0.
  void SetCell(int col, int row, std::string text);
  // Rows including the header row; never less than 1.
  int RowCount() const { return static_cast<int>(rows_.size()); }
  void SetRowCount(int count);

  // The three entries of a first start (header + "Connect To", "Dial-Up
  // Networking", "Reestablish Connection").
  void SetDefaultEntries();

 private:
  std::vector<std::array<std::string, 2>> rows_;
};

class DialUpKeeper {
 public:
  DialUpKeeper(TopWindows& windows, AccessibleButtons& buttons)
      : windows_(windows), buttons_(buttons) {}

  ConnectWindowsTable& Table() { return table_; }
  const ConnectWindowsTable& Table() const { return table_; }

  // One look through the windows (the dial-up timer's tick): for every entry
  // with a title, every matching window gets a press posted. Nothing is
  // reported and nothing is remembered until the next tick.
  void DialUpTimerTimer();

 private:
  ConnectWindowsTable table_;
  TopWindows& windows_;
  AccessibleButtons& buttons_;
};

}  // namespace tw
