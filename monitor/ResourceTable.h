// The one store of all resources: a grid of text cells, 40 columns, header
// row 0 and one row per resource. A row is the resource; its measurement
// thread is attached to it (owned by the main window, not by the table).
#pragma once

#include <array>
#include <string>
#include <vector>

#include "engine/MeasurementTypes.h"

namespace tw {

class TPingThread;

// Column numbers of the settings table.
namespace Col {
constexpr int Resource = 1;
constexpr int WriteSpeed = 2;
constexpr int ReadSpeed = 3;
constexpr int PingSpeed = 4;
constexpr int Kind = 5;
constexpr int WriteColor = 6;
constexpr int ReadColor = 7;
constexpr int ProcessDelay = 8;  // milliseconds
constexpr int AutoSize = 9;
constexpr int PacketSize = 10;  // bytes
constexpr int Timeout = 11;     // milliseconds
constexpr int MinSpeed = 12;    // Kbps
constexpr int MaxSpeed = 13;    // Kbps
constexpr int MinAction = 14;
constexpr int MinSound = 15;
constexpr int MinCommand = 16;
constexpr int MinFolder = 17;
constexpr int MaxAction = 18;
constexpr int MaxSound = 19;
constexpr int MaxCommand = 20;
constexpr int MaxFolder = 21;
constexpr int MinOnce = 22;
constexpr int MinTimeout = 23;  // seconds
constexpr int MaxOnce = 24;
constexpr int MaxTimeout = 25;  // seconds
constexpr int PerformMinSpeed = 26;
constexpr int PerformMaxSpeed = 27;
constexpr int MinSince = 28;  // whole seconds of the tick counter
constexpr int MinPerformed = 29;
constexpr int MaxPerformed = 30;
constexpr int MinEnablesMax = 31;
constexpr int MaxEnablesMin = 32;
constexpr int MaxSince = 33;  // whole seconds of the tick counter
constexpr int MinCloseFile = 34;
constexpr int MaxCloseFile = 35;
constexpr int MinCloseTitle = 36;
constexpr int MaxCloseTitle = 37;
// The text of a desktop notification (action "3"); columns an older version
// neither reads nor writes.
constexpr int MinNotifyText = 38;
constexpr int MaxNotifyText = 39;
constexpr int Count = 40;
}  // namespace Col

class ResourceTable {
 public:
  // A table with the header row only.
  ResourceTable();

  // Text of a cell; an empty text outside the table.
  const std::string& Cell(int col, int row) const;
  // Sets a cell; ignored outside the table.
  void SetCell(int col, int row, std::string text);

  // Rows including the header row (resources + 1); never less than 1.
  int RowCount() const { return static_cast<int>(rows_.size()); }
  void SetRowCount(int count);
  int ResourceCount() const { return RowCount() - 1; }

  // Copies every text of row `from` onto row `to` (threads stay where they are).
  void CopyRow(int from, int to);

  void AttachThread(int row, TPingThread* thread);
  TPingThread* Thread(int row) const;
  // Forgets the row's thread without freeing it.
  void DetachThread(int row);

  // Fills a new resource row with the values a wizard-made row starts with.
  void SetNewRowDefaults(int row);
  // Empties the run-time event bookkeeping cells (28, 29, 30, 33).
  void ClearEventBookkeeping(int row);

  // Kind of the row, read from column 5.
  ResourceKind Kind(int row) const;

 private:
  struct Row {
    std::array<std::string, Col::Count> cells;
    TPingThread* thread = nullptr;
  };
  bool Valid(int col, int row) const;
  void WriteHeaderRow();

  std::vector<Row> rows_;
};

}  // namespace tw
