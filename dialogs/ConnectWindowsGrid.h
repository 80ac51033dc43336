// `ConnectWindowsTable` as the dialogs edit it: two editable columns under the
// header cells "Dialog Box Title" and "Button To Push", one grid row per entry
// row (1..) of the table. Once the window is shown, typing into a cell of the
// last row adds an empty row below it, and selecting a cell removes the last
// row when there are more than 3 rows (counting the header row, as the table
// does) and the title cell of the row before the last is empty, so one empty
// row for new entries is always there at the end.
#pragma once

#include <QTableWidget>

#include "monitor/DialUpKeeper.h"

namespace tw {

class TConnectWindowsGrid final : public QTableWidget {
  Q_OBJECT

 public:
  explicit TConnectWindowsGrid(QWidget* parent = nullptr);

  // Same row count, every cell of rows 1..
  void LoadFrom(const ConnectWindowsTable& table);
  // Same row count, every cell of rows 1..
  void StoreInto(ConnectWindowsTable& table) const;
  // The editing rule acts only once the dialog has been shown.
  void SetShown(bool shown) { shown_ = shown; }
  // Rows counting the header row, as ConnectWindowsTable counts them.
  int TableRowCount() const { return rowCount() + 1; }

 private slots:
  // A keystroke changed the text of the cell being edited in grid row `row`.
  void ConnectWindowsTableSetEditText(int row);
  void ConnectWindowsTableSelectCell();

 private:
  QString CellText(int row, int col) const;

  bool shown_ = false;
  bool removing_ = false;  // the removal itself moves the current cell
};

}  // namespace tw
