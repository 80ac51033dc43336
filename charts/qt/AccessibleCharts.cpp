#include "charts/qt/AccessibleCharts.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>

#include "charts/StatusTable.h"
#include "charts/qt/ChartWidgets.h"
#include "charts/qt/DisplayResourceTable.h"

namespace tw {

namespace {

// The table shows the resource and the three speed columns; the marker
// column draws the selection, which the table reports as a selected row.
constexpr int kColumns = StatusTableLayout::kColumns - 1;

class AccessibleChartImage final : public QAccessibleWidget {
 public:
  explicit AccessibleChartImage(TChartImage* image)
      : QAccessibleWidget(image, QAccessible::Chart) {}

  QString text(QAccessible::Text t) const override {
    auto* image = static_cast<TChartImage*>(widget());
    if (t == QAccessible::Description && image->describe) return image->describe();
    return QAccessibleWidget::text(t);
  }
};

class AccessibleStatusTable;

// One cell of the status table: data row `row` (0 = the first resource) and
// column `column` (0 = the resource).
class AccessibleStatusCell final : public QAccessibleInterface,
                                   public QAccessibleTableCellInterface {
 public:
  AccessibleStatusCell(TDisplayResourceTable* table, int row, int column)
      : table_(table), row_(row), column_(column) {}

  bool isValid() const override {
    return table_ != nullptr && row_ < table_->Table().ResourceCount();
  }
  QObject* object() const override { return nullptr; }
  QAccessibleInterface* parent() const override {
    return QAccessible::queryAccessibleInterface(table_.data());
  }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QString text(QAccessible::Text t) const override {
    if (t != QAccessible::Name || !isValid()) return {};
    return QString::fromStdString(table_->Table().Cell(column_ + 1, row_ + 1));
  }
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override {
    if (!isValid()) return {};
    const QRect r = table_->CellRect(column_ + 1, row_ + 1);
    if (r.isEmpty()) return {};
    return QRect(table_->viewport()->mapToGlobal(r.topLeft()), r.size());
  }
  QAccessible::Role role() const override { return QAccessible::Cell; }
  QAccessible::State state() const override {
    QAccessible::State s;
    s.selectable = true;
    s.selected = isSelected();
    s.invisible = rect().isEmpty();
    return s;
  }
  void* interface_cast(QAccessible::InterfaceType type) override {
    return type == QAccessible::TableCellInterface
               ? static_cast<QAccessibleTableCellInterface*>(this)
               : nullptr;
  }

  bool isSelected() const override {
    return table_ != nullptr && table_->SelectedRow() == row_ + 1;
  }
  QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
  QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
  int columnIndex() const override { return column_; }
  int rowIndex() const override { return row_; }
  int columnExtent() const override { return 1; }
  int rowExtent() const override { return 1; }
  QAccessibleInterface* table() const override { return parent(); }

 private:
  QPointer<TDisplayResourceTable> table_;
  int row_, column_;
};

class AccessibleStatusTable final : public QAccessibleWidget, public QAccessibleTableInterface {
 public:
  explicit AccessibleStatusTable(TDisplayResourceTable* table)
      : QAccessibleWidget(table, QAccessible::Table) {}
  ~AccessibleStatusTable() override { ForgetCells(); }

  TDisplayResourceTable* View() const { return static_cast<TDisplayResourceTable*>(widget()); }

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }

  // The cells are the table's children, row by row.
  int childCount() const override { return rowCount() * columnCount(); }
  QAccessibleInterface* child(int index) const override {
    if (index < 0 || index >= childCount()) return nullptr;
    return cellAt(index / kColumns, index % kColumns);
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    if (child == nullptr || child->role() != QAccessible::Cell) return -1;
    auto* cell = const_cast<QAccessibleInterface*>(child)->tableCellInterface();
    if (cell == nullptr) return -1;
    return cell->rowIndex() * kColumns + cell->columnIndex();
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    for (int i = 0; i < childCount(); ++i) {
      QAccessibleInterface* cell = child(i);
      if (cell != nullptr && cell->rect().contains(x, y)) return cell;
    }
    return nullptr;
  }

  QAccessibleInterface* caption() const override { return nullptr; }
  QAccessibleInterface* summary() const override { return nullptr; }
  QAccessibleInterface* cellAt(int row, int column) const override {
    if (row < 0 || row >= rowCount() || column < 0 || column >= kColumns) return nullptr;
    const int key = row * kColumns + column;
    if (const auto found = cells_.constFind(key); found != cells_.constEnd()) {
      return QAccessible::accessibleInterface(*found);
    }
    auto* cell = new AccessibleStatusCell(View(), row, column);
    cells_.insert(key, QAccessible::registerAccessibleInterface(cell));
    return cell;
  }
  int selectedCellCount() const override { return rowCount() > 0 ? kColumns : 0; }
  QList<QAccessibleInterface*> selectedCells() const override {
    QList<QAccessibleInterface*> cells;
    for (int c = 0; c < kColumns && rowCount() > 0; ++c) cells << cellAt(SelectedIndex(), c);
    return cells;
  }
  QString columnDescription(int column) const override {
    if (column < 0 || column >= kColumns) return {};
    return QString::fromStdString(View()->Table().Cell(column + 1, 0));
  }
  QString rowDescription(int) const override { return {}; }
  int selectedColumnCount() const override { return 0; }
  int selectedRowCount() const override { return rowCount() > 0 ? 1 : 0; }
  int columnCount() const override { return kColumns; }
  int rowCount() const override { return View()->Table().ResourceCount(); }
  QList<int> selectedColumns() const override { return {}; }
  QList<int> selectedRows() const override {
    return rowCount() > 0 ? QList<int>{SelectedIndex()} : QList<int>{};
  }
  bool isColumnSelected(int) const override { return false; }
  bool isRowSelected(int row) const override { return rowCount() > 0 && row == SelectedIndex(); }
  bool selectRow(int row) override {
    if (row < 0 || row >= rowCount()) return false;
    View()->SelectRow(row + 1);
    return true;
  }
  bool selectColumn(int) override { return false; }
  bool unselectRow(int) override { return false; }
  bool unselectColumn(int) override { return false; }
  void modelChange(QAccessibleTableModelChangeEvent*) override { ForgetCells(); }

 private:
  int SelectedIndex() const { return View()->SelectedRow() - 1; }
  void ForgetCells() {
    for (QAccessible::Id id : std::as_const(cells_)) QAccessible::deleteAccessibleInterface(id);
    cells_.clear();
  }

  // The cells handed out so far, by row * kColumns + column; the
  // framework keeps them until they are forgotten here.
  mutable QHash<int, QAccessible::Id> cells_;
};

QAccessibleInterface* ChartFactory(const QString&, QObject* object) {
  if (auto* image = qobject_cast<TChartImage*>(object)) return new AccessibleChartImage(image);
  if (auto* table = qobject_cast<TDisplayResourceTable*>(object)) {
    return new AccessibleStatusTable(table);
  }
  return nullptr;
}

}  // namespace

void InstallChartAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(ChartFactory);
    return true;
  }();
  (void)installed;
}

}  // namespace tw
