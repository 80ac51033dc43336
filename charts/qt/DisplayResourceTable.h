// `DisplayResourceTable`: the status table under the live chart. It draws
// every cell itself from the resource settings table and keeps no data of
// its own besides column widths, row heights and the selection.
#pragma once

#include <QAbstractScrollArea>
#include <functional>
#include <vector>

#include "charts/StatusTable.h"
#include "dialogs/Help.h"
#include "monitor/ResourceTable.h"

namespace tw {

class TDisplayResourceTable final : public QAbstractScrollArea, public HelpContextSource {
  Q_OBJECT

 public:
  TDisplayResourceTable(ResourceTable& table, QWidget* parent);

  // The settings table it shows.
  const ResourceTable& Table() const { return table_; }

  // Column widths in pixels (saved by the parameters file).
  int ColWidth(int col) const;
  void SetColWidth(int col, int width);
  int RowHeight(int row) const;
  void SetRowHeight(int row, int height);
  // The grid's font (`StringGridsFont`).
  void SetStringGridsFont(const QFont& font);

  // Follows the settings table's row count; keeps the selection on a resource.
  void SyncRows();
  // The selected resource row (the top row of the selection); 1 without resources.
  int SelectedRow() const { return selectedRow_; }
  void SelectRow(int row);
  // Repaints one cell at once (the threads' display update).
  void RepaintCell(int col, int row);
  // The cell's rectangle in viewport coordinates; empty when not visible.
  QRect CellRect(int col, int row) const;

  // Run whenever the selection marker is drawn (the taskbar title follows).
  std::function<void()> onMarkerDrawn;
  // The header row has a help topic of its own, the data rows share one.
  int HelpContextAt(const QPoint& local) const override;

 signals:
  void selectionChanged(int row);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // DisplayResourceTableDrawCell
  void DrawCell(QPainter& painter, int col, int row, const QRect& rect);
  int ColumnLeft(int col) const;
  int RowTop(int row) const;
  int RowAt(int y) const;
  // The column whose right edge lies at x (header drag), or -1.
  int ColumnEdgeAt(int x) const;
  // The row whose bottom edge lies at y (row drag in the first column), or -1.
  int RowEdgeAt(int y) const;
  void UpdateScrollBar();
  // Tells screen readers that the rows, or a cell's text, changed.
  void AnnounceRows();
  void AnnounceCell(int col, int row);

  ResourceTable& table_;
  std::vector<int> colWidths_;
  std::vector<int> rowHeights_;
  int selectedRow_ = 1;
  int topRow_ = 1;  // first data row shown under the fixed row
  int dragCol_ = -1, dragRow_ = -1, dragStart_ = 0, dragStartSize_ = 0;
};

}  // namespace tw
