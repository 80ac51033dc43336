#include <gtest/gtest.h>

#include "monitor/ResourceTable.h"

namespace tw {
namespace {

TEST(ResourceTableTest, FreshTableHasOnlyTheHeaderRow) {
  ResourceTable table;
  EXPECT_EQ(table.RowCount(), 1);
  EXPECT_EQ(table.Cell(0, 0), "");
  EXPECT_EQ(table.Cell(1, 0), "Resource");
  EXPECT_EQ(table.Cell(2, 0), "Write speed");
  EXPECT_EQ(table.Cell(3, 0), "Read speed");
  EXPECT_EQ(table.Cell(4, 0), "Ping speed");
  EXPECT_EQ(table.Thread(0), nullptr);
  EXPECT_EQ(table.Cell(38, 0), "");  // outside the table reads as empty
}

TEST(ResourceTableTest, NewRowDefaults) {
  ResourceTable table;
  table.SetRowCount(2);
  table.SetNewRowDefaults(1);
  const struct {
    int col;
    const char* text;
  } expected[] = {{2, ""},       {3, ""},   {4, ""},   {8, "1000"}, {9, "1"},  {10, "1024"},
                  {11, "30000"}, {12, "0"}, {13, "2"}, {14, ""},    {22, "1"}, {23, "3"},
                  {24, "1"},     {25, "3"}, {26, "0"}, {27, "0"},   {28, ""},  {31, "1"},
                  {32, "1"},     {33, ""},  {37, ""}};
  for (const auto& e : expected) EXPECT_EQ(table.Cell(e.col, 1), e.text) << "column " << e.col;
}

TEST(ResourceTableTest, RowsMoveUpWithTheirTexts) {
  ResourceTable table;
  table.SetRowCount(5);
  for (int row = 1; row <= 4; ++row) table.SetCell(Col::Resource, row, "r" + std::to_string(row));
  auto* marker = reinterpret_cast<TPingThread*>(0x10);
  table.AttachThread(3, marker);
  // Deleting row 2 of 4.
  for (int row = 2; row < 4; ++row) table.CopyRow(row + 1, row);
  table.SetRowCount(4);
  EXPECT_EQ(table.Cell(Col::Resource, 2), "r3");
  EXPECT_EQ(table.Cell(Col::Resource, 3), "r4");
  EXPECT_EQ(table.Thread(3), marker);  // threads are moved by their owner, not by CopyRow
  table.DetachThread(3);
  EXPECT_EQ(table.Thread(3), nullptr);
}

TEST(ResourceTableTest, BookkeepingIsCleared) {
  ResourceTable table;
  table.SetRowCount(2);
  for (int col : {Col::MinSince, Col::MinPerformed, Col::MaxPerformed, Col::MaxSince})
    table.SetCell(col, 1, "9");
  table.ClearEventBookkeeping(1);
  for (int col : {Col::MinSince, Col::MinPerformed, Col::MaxPerformed, Col::MaxSince})
    EXPECT_EQ(table.Cell(col, 1), "");
}

}  // namespace
}  // namespace tw
