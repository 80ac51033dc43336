// The dial-up table as the dialogs edit it: loading and storing every cell
// with the same row count, and the rule that keeps one empty row at the end
// (typing into the last row adds one, selecting a cell drops a surplus one),
// acting only once the dialog has been shown.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <memory>

#include "dialogs/ConnectWindowsGrid.h"
#include "support/QtTestApp.h"

namespace tw {
namespace {

class ConnectWindowsGridTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::EnsureQtApp();
    grid_ = std::make_unique<TConnectWindowsGrid>();
  }

  // A grid on screen holding `titles` (one entry row each, buttons "B<n>").
  void ShowWith(const std::vector<std::string>& titles, bool shown = true) {
    ConnectWindowsTable table;
    table.SetRowCount(static_cast<int>(titles.size()) + 1);
    for (int row = 1; row <= static_cast<int>(titles.size()); ++row) {
      table.SetCell(ConnectWindowsTable::TitleCol, row, titles[static_cast<size_t>(row - 1)]);
      table.SetCell(ConnectWindowsTable::ButtonCol, row, "B" + std::to_string(row));
    }
    grid_->LoadFrom(table);
    grid_->SetShown(shown);
    grid_->resize(400, 300);
    grid_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(grid_.get()));
  }

  // Opens the editor of a cell and types `text` into it key by key.
  void TypeInto(int row, int col, const QString& text) {
    grid_->setCurrentCell(row, col);
    grid_->editItem(grid_->item(row, col));
    QLineEdit* editor = Editor();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, text);
  }

  // The cell editor now open (closed ones linger until deleted).
  QLineEdit* Editor() const {
    for (auto* line : grid_->viewport()->findChildren<QLineEdit*>()) {
      if (line->isVisible()) return line;
    }
    return nullptr;
  }

  std::unique_ptr<TConnectWindowsGrid> grid_;
};

TEST_F(ConnectWindowsGridTest, LoadsAndStoresEveryCellWithTheSameRowCount) {
  ConnectWindowsTable table;
  table.SetDefaultEntries();
  table.SetCell(ConnectWindowsTable::ButtonCol, 2, "");  // an empty cell stays empty
  TConnectWindowsGrid grid;
  grid.LoadFrom(table);
  EXPECT_EQ(grid.horizontalHeaderItem(0)->text(), "Dialog Box Title");
  EXPECT_EQ(grid.horizontalHeaderItem(1)->text(), "Button To Push");
  EXPECT_EQ(grid.TableRowCount(), 4);
  EXPECT_EQ(grid.item(2, 0)->text(), "Reestablish Connection");

  ConnectWindowsTable stored;  // header + one row: the row count must follow the grid
  grid.StoreInto(stored);
  ASSERT_EQ(stored.RowCount(), 4);
  for (int row = 0; row < 4; ++row) {
    for (int col = 0; col < 2; ++col)
      EXPECT_EQ(stored.Cell(col, row), table.Cell(col, row)) << row << col;
  }
}

TEST_F(ConnectWindowsGridTest, TypingIntoTheLastRowAddsOneEmptyRow) {
  ShowWith({"Connect To", "Redial"});
  TypeInto(0, 1, "x");  // not the last row
  EXPECT_EQ(grid_->TableRowCount(), 3);
  TypeInto(1, 1, "Re");  // the first key adds the row; the second is no longer in the last row
  EXPECT_EQ(grid_->TableRowCount(), 4);
  EXPECT_EQ(grid_->item(2, 0), nullptr);
  QTest::keyClick(Editor(), Qt::Key_Return);  // the typed text replaces the selected old one
  QCoreApplication::processEvents();          // the editor hands its text over queued
  EXPECT_EQ(grid_->item(1, 1)->text(), "Re");
}

TEST_F(ConnectWindowsGridTest, NothingChangesBeforeTheDialogIsShown) {
  ShowWith({"Connect To", "", ""}, false);
  TypeInto(2, 0, "x");
  grid_->setCurrentCell(0, 1);
  EXPECT_EQ(grid_->TableRowCount(), 4);
}

TEST_F(ConnectWindowsGridTest, SelectingACellDropsTheSurplusEmptyRow) {
  struct Case {
    std::vector<std::string> titles;
    int rowsAfter;  // counting the header row
  };
  const Case cases[] = {
      {{"A", "", ""}, 3},      // 4 rows, title before the last empty: the last goes
      {{"A", "B", ""}, 4},     // the row before the last holds a title
      {{"", ""}, 3},           // only 3 rows: the empty row for new entries stays
      {{"A", "", "", ""}, 4},  // one row per selection
  };
  for (const Case& c : cases) {
    ShowWith(c.titles);
    grid_->setCurrentCell(0, 1);
    EXPECT_EQ(grid_->TableRowCount(), c.rowsAfter) << c.titles.size();
    grid_->setCurrentCell(-1, -1);
  }
}

TEST_F(ConnectWindowsGridTest, SelectingTheSurplusRowItselfLeavesAValidCell) {
  ShowWith({"A", "", ""});
  grid_->setCurrentCell(2, 0);  // the row that the rule removes
  EXPECT_EQ(grid_->TableRowCount(), 3);
  EXPECT_LT(grid_->currentRow(), grid_->rowCount());
  ConnectWindowsTable stored;
  grid_->StoreInto(stored);
  EXPECT_EQ(stored.RowCount(), 3);
  EXPECT_EQ(stored.Cell(ConnectWindowsTable::ButtonCol, 2), "B2");
}

}  // namespace
}  // namespace tw
