#include "charts/qt/DisplayResourceTable.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "charts/qt/AccessibleCharts.h"
#include "charts/qt/QtCanvas.h"

namespace tw {

namespace {
constexpr int kG = StatusTableLayout::kGridLineWidth;
constexpr int kEdgeGrip = 3;  // pixels either side of a border that start a drag
}  // namespace

TDisplayResourceTable::TDisplayResourceTable(ResourceTable& table, QWidget* parent)
    : QAbstractScrollArea(parent),
      table_(table),
      colWidths_(std::begin(StatusTableLayout::kDefaultWidths),
                 std::end(StatusTableLayout::kDefaultWidths)) {
  InstallChartAccessibility();
  setObjectName("DisplayResourceTable");
  setAccessibleName("Resources");
  setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setMouseTracking(true);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  QFont font("MS Sans Serif");
  font.setPointSize(8);
  font.setBold(true);
  setFont(font);
  SyncRows();
}

int TDisplayResourceTable::ColWidth(int col) const {
  return col >= 0 && col < StatusTableLayout::kColumns ? colWidths_[static_cast<size_t>(col)] : 0;
}

void TDisplayResourceTable::SetColWidth(int col, int width) {
  if (col < 0 || col >= StatusTableLayout::kColumns) return;
  colWidths_[static_cast<size_t>(col)] = std::clamp(width, 0, 10000);
  viewport()->update();
}

int TDisplayResourceTable::RowHeight(int row) const {
  if (row < 0 || row >= static_cast<int>(rowHeights_.size())) {
    return StatusTableLayout::kDefaultRowHeight;
  }
  return rowHeights_[static_cast<size_t>(row)];
}

void TDisplayResourceTable::SetRowHeight(int row, int height) {
  if (row < 0 || row >= static_cast<int>(rowHeights_.size())) return;
  rowHeights_[static_cast<size_t>(row)] = std::clamp(height, 1, 1000);
  UpdateScrollBar();
  viewport()->update();
}

void TDisplayResourceTable::SetStringGridsFont(const QFont& font) {
  setFont(font);
  viewport()->update();
}

void TDisplayResourceTable::SyncRows() {
  const bool changed = rowHeights_.size() != static_cast<size_t>(table_.RowCount());
  rowHeights_.resize(static_cast<size_t>(table_.RowCount()), StatusTableLayout::kDefaultRowHeight);
  const int last = std::max(1, table_.RowCount() - 1);
  selectedRow_ = std::clamp(selectedRow_, 1, last);
  topRow_ = std::clamp(topRow_, 1, last);
  UpdateScrollBar();
  viewport()->update();
  if (changed) AnnounceRows();
}

void TDisplayResourceTable::AnnounceRows() {
  if (!QAccessible::isActive()) return;
  QAccessibleTableModelChangeEvent event(this, QAccessibleTableModelChangeEvent::ModelReset);
  QAccessible::updateAccessibility(&event);
}

void TDisplayResourceTable::AnnounceCell(int col, int row) {
  if (!QAccessible::isActive() || col < 1 || row < 1) return;
  QAccessibleInterface* table = QAccessible::queryAccessibleInterface(this);
  QAccessibleTableInterface* cells = table != nullptr ? table->tableInterface() : nullptr;
  QAccessibleInterface* cell = cells != nullptr ? cells->cellAt(row - 1, col - 1) : nullptr;
  if (cell == nullptr) return;
  QAccessibleEvent event(cell, QAccessible::NameChanged);
  QAccessible::updateAccessibility(&event);
}

void TDisplayResourceTable::SelectRow(int row) {
  if (row < 1 || row >= table_.RowCount()) return;
  selectedRow_ = row;
  // Keep the selected row in view.
  if (row < topRow_) topRow_ = row;
  while (row > topRow_ && RowTop(row) + RowHeight(row) > viewport()->height()) ++topRow_;
  verticalScrollBar()->setValue(topRow_ - 1);
  // The marker moves and the title follows at the next paint.
  viewport()->update();
  emit selectionChanged(row);
}

int TDisplayResourceTable::ColumnLeft(int col) const {
  int x = 0;
  for (int c = 0; c < col; ++c) x += colWidths_[static_cast<size_t>(c)] + kG;
  return x;
}

int TDisplayResourceTable::RowTop(int row) const {
  if (row == 0) return 0;
  int y = RowHeight(0) + kG;
  for (int r = topRow_; r < row; ++r) y += RowHeight(r) + kG;
  return y;
}

QRect TDisplayResourceTable::CellRect(int col, int row) const {
  if (row < 0 || row >= table_.RowCount() || col < 0 || col >= StatusTableLayout::kColumns) {
    return {};
  }
  if (row != 0 && row < topRow_) return {};
  const QRect r(ColumnLeft(col), RowTop(row), ColWidth(col), RowHeight(row));
  return r.intersects(viewport()->rect()) ? r : QRect();
}

int TDisplayResourceTable::RowAt(int y) const {
  if (y < RowHeight(0) + kG) return 0;
  for (int r = topRow_; r < table_.RowCount(); ++r) {
    const int top = RowTop(r);
    if (y >= top && y < top + RowHeight(r) + kG) return r;
  }
  return -1;
}

int TDisplayResourceTable::ColumnEdgeAt(int x) const {
  for (int c = 0; c < StatusTableLayout::kColumns; ++c) {
    const int edge = ColumnLeft(c) + ColWidth(c) + kG / 2;
    if (std::abs(x - edge) <= kEdgeGrip) return c;
  }
  return -1;
}

int TDisplayResourceTable::RowEdgeAt(int y) const {
  for (int r = 0; r < table_.RowCount(); ++r) {
    if (r != 0 && r < topRow_) continue;
    const int edge = RowTop(r) + RowHeight(r) + kG / 2;
    if (std::abs(y - edge) <= kEdgeGrip) return r;
  }
  return -1;
}

void TDisplayResourceTable::UpdateScrollBar() {
  const int resources = table_.RowCount() - 1;
  int visible = 0;
  int used = RowHeight(0) + kG;
  for (int r = resources; r >= 1; --r) {
    used += RowHeight(r) + kG;
    if (used > viewport()->height()) break;
    ++visible;
  }
  verticalScrollBar()->setRange(0, std::max(0, resources - std::max(visible, 1)));
  verticalScrollBar()->setPageStep(std::max(visible, 1));
}

void TDisplayResourceTable::scrollContentsBy(int, int) {
  topRow_ = verticalScrollBar()->value() + 1;
  viewport()->update();
}

void TDisplayResourceTable::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBar();
}

void TDisplayResourceTable::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  painter.fillRect(event->rect(), Qt::black);
  for (int row = 0; row < table_.RowCount(); ++row) {
    if (row != 0 && row < topRow_) continue;
    if (RowTop(row) > viewport()->height()) break;
    for (int col = 0; col < StatusTableLayout::kColumns; ++col) {
      const QRect r(ColumnLeft(col), RowTop(row), ColWidth(col), RowHeight(row));
      if (r.intersects(event->rect())) DrawCell(painter, col, row, r);
    }
  }
}

void TDisplayResourceTable::DrawCell(QPainter& painter, int col, int row, const QRect& r) {
  painter.save();
  painter.setClipRect(r);
  QtCanvas canvas(painter);
  const CanvasRect rect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
  const bool marker =
      DrawStatusCell(canvas, table_, col, row, rect, selectedRow_, FromQFont(font()));
  painter.restore();
  if (marker && onMarkerDrawn) onMarkerDrawn();
}

void TDisplayResourceTable::RepaintCell(int col, int row) {
  const QRect r = CellRect(col, row);
  if (!r.isEmpty()) viewport()->repaint(r);
  AnnounceCell(col, row);
}

int TDisplayResourceTable::HelpContextAt(const QPoint& local) const {
  const QPoint p = viewport()->mapFrom(this, local);
  return p.y() > RowHeight(0) ? StatusTableLayout::kHelpContext
                              : StatusTableLayout::kHeaderHelpContext;
}

void TDisplayResourceTable::mousePressEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  if (event->button() != Qt::LeftButton) return;
  if (p.y() < RowHeight(0) + kG && (dragCol_ = ColumnEdgeAt(p.x())) >= 0) {
    dragStart_ = p.x();
    dragStartSize_ = ColWidth(dragCol_);
    return;
  }
  if (p.x() < ColWidth(0) + kG && (dragRow_ = RowEdgeAt(p.y())) >= 0) {
    dragStart_ = p.y();
    dragStartSize_ = RowHeight(dragRow_);
    return;
  }
  const int row = RowAt(p.y());
  if (row >= 1) SelectRow(row);
}

void TDisplayResourceTable::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  if (dragCol_ >= 0) {
    SetColWidth(dragCol_, std::max(0, dragStartSize_ + p.x() - dragStart_));
    return;
  }
  if (dragRow_ >= 0) {
    SetRowHeight(dragRow_, std::max(1, dragStartSize_ + p.y() - dragStart_));
    return;
  }
  if (p.y() < RowHeight(0) + kG && ColumnEdgeAt(p.x()) >= 0) {
    viewport()->setCursor(Qt::SplitHCursor);
  } else if (p.x() < ColWidth(0) + kG && RowEdgeAt(p.y()) >= 0) {
    viewport()->setCursor(Qt::SplitVCursor);
  } else {
    viewport()->unsetCursor();
  }
}

void TDisplayResourceTable::mouseReleaseEvent(QMouseEvent*) {
  // DisplayResourceTableMouseUp does nothing else.
  dragCol_ = dragRow_ = -1;
}

void TDisplayResourceTable::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Up) {
    SelectRow(selectedRow_ - 1);
  } else if (event->key() == Qt::Key_Down) {
    SelectRow(selectedRow_ + 1);
  } else {
    QAbstractScrollArea::keyPressEvent(event);
  }
}

}  // namespace tw
