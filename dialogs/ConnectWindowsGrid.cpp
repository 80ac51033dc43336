#include "dialogs/ConnectWindowsGrid.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QStyledItemDelegate>
#include <functional>

namespace tw {
namespace {

// Reports every keystroke of a cell editor, not only the finished edit, so
// that the empty row for the next entry appears while the user types.
class TypingDelegate final : public QStyledItemDelegate {
 public:
  TypingDelegate(QObject* parent, std::function<void(int)> typed)
      : QStyledItemDelegate(parent), typed_(std::move(typed)) {}

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
      const QPersistentModelIndex cell(index);
      QObject::connect(line, &QLineEdit::textEdited, line, [this, cell] {
        if (cell.isValid()) typed_(cell.row());
      });
    }
    return editor;
  }

 private:
  std::function<void(int)> typed_;
};

}  // namespace

TConnectWindowsGrid::TConnectWindowsGrid(QWidget* parent) : QTableWidget(parent) {
  setObjectName("ConnectWindowsTable");
  setColumnCount(2);
  setHorizontalHeaderLabels({"Dialog Box Title", "Button To Push"});
  horizontalHeader()->setStretchLastSection(true);
  verticalHeader()->hide();
  setSelectionMode(QAbstractItemView::SingleSelection);
  setItemDelegate(
      new TypingDelegate(this, [this](int row) { ConnectWindowsTableSetEditText(row); }));
  connect(this, &QTableWidget::currentCellChanged, this,
          &TConnectWindowsGrid::ConnectWindowsTableSelectCell);
}

void TConnectWindowsGrid::LoadFrom(const ConnectWindowsTable& table) {
  const QSignalBlocker quiet(this);
  setRowCount(table.RowCount() - 1);
  for (int row = 1; row < table.RowCount(); ++row) {
    for (int col = 0; col < 2; ++col) {
      setItem(row - 1, col, new QTableWidgetItem(QString::fromStdString(table.Cell(col, row))));
    }
  }
}

void TConnectWindowsGrid::StoreInto(ConnectWindowsTable& table) const {
  table.SetRowCount(TableRowCount());
  for (int row = 1; row < table.RowCount(); ++row) {
    for (int col = 0; col < 2; ++col) table.SetCell(col, row, CellText(row - 1, col).toStdString());
  }
}

void TConnectWindowsGrid::ConnectWindowsTableSetEditText(int row) {
  if (!shown_ || row != rowCount() - 1) return;
  insertRow(rowCount());
}

void TConnectWindowsGrid::ConnectWindowsTableSelectCell() {
  if (!shown_ || removing_) return;
  if (TableRowCount() <= 3 || !CellText(rowCount() - 2, ConnectWindowsTable::TitleCol).isEmpty())
    return;
  removing_ = true;
  removeRow(rowCount() - 1);
  removing_ = false;
}

QString TConnectWindowsGrid::CellText(int row, int col) const {
  const QTableWidgetItem* cell = item(row, col);
  return cell == nullptr ? QString() : cell->text();
}

}  // namespace tw
