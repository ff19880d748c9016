// Per-cell colours of the track list: defaults of new rows and columns and
// the rule that a colour every cell already has changes nothing.
#include "ui/row_styles.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t kText = 0x000000, kBack = 0xFFFFFF;
constexpr std::uint32_t kGrey = 0x3E3E3E, kWhite = 0xFFFFFF, kIdle = 0x0062706E;

TEST(RowStyles, NewRowsAndColumnsTakeTheSystemColours) {
  ui::RowStyleTable table(kText, kBack);
  table.InsertColumn(0);
  table.InsertColumn(1);
  table.InsertRow(0);
  table.InsertRow(1);
  ASSERT_TRUE(table.SetBack(-1, -1, kGrey));
  // A column inserted in the middle shifts the old second column right.
  ASSERT_TRUE(table.SetText(-1, 1, kIdle));
  table.InsertColumn(1);
  EXPECT_EQ(table.ColumnCount(), 3);
  for (int row = 0; row < 2; ++row) {
    EXPECT_EQ(table.TextOf(row, 0), kText);
    EXPECT_EQ(table.TextOf(row, 1), kText);
    EXPECT_EQ(table.BackOf(row, 1), kBack);
    EXPECT_EQ(table.TextOf(row, 2), kIdle);
    EXPECT_EQ(table.BackOf(row, 2), kGrey);
  }
  table.RemoveColumn(1);
  EXPECT_EQ(table.TextOf(0, 1), kIdle);
  table.InsertRow(1);
  EXPECT_EQ(table.BackOf(1, 0), kBack);
  EXPECT_EQ(table.BackOf(2, 0), kGrey);
  EXPECT_EQ(table.TextOf(7, 0), kText) << "outside the table: the default";
}

TEST(RowStyles, AppliesToOneOrAllRowsAndColumns) {
  struct Case {
    int row, column;
    int changedCells;
  };
  const Case cases[] = {{-1, -1, 9}, {1, -1, 3}, {-1, 2, 3}, {2, 0, 1}};
  for (const Case& c : cases) {
    ui::RowStyleTable table(kText, kBack);
    for (int i = 0; i < 3; ++i) table.InsertColumn(i);
    for (int i = 0; i < 3; ++i) table.InsertRow(i);
    EXPECT_TRUE(table.SetText(c.row, c.column, kWhite));
    int changed = 0;
    for (int r = 0; r < 3; ++r) {
      for (int col = 0; col < 3; ++col) changed += table.TextOf(r, col) == kWhite;
    }
    EXPECT_EQ(changed, c.changedCells) << c.row << "," << c.column;
  }
}

TEST(RowStyles, TheColourOfCellZeroChangesNothing) {
  ui::RowStyleTable table(kText, kBack);
  EXPECT_TRUE(table.SetText(-1, -1, kWhite)) << "an empty table takes any colour";
  table.InsertColumn(0);
  table.InsertColumn(1);
  table.InsertRow(0);
  table.InsertRow(1);
  EXPECT_TRUE(table.SetText(1, 1, kWhite));
  EXPECT_FALSE(table.SetText(-1, -1, kText)) << "cell (0, 0) already has it";
  EXPECT_EQ(table.TextOf(1, 1), kWhite);
  EXPECT_TRUE(table.SetText(-1, -1, kIdle));
  EXPECT_EQ(table.TextOf(1, 1), kIdle);
}

}  // namespace
