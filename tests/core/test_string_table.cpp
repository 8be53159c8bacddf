#include <gtest/gtest.h>

#include <stdexcept>

#include "string_table.h"

using vp::StringTable;

TEST(StringTable, KeepsTextBeyondTheCountsAndShowsItAgain) {
  StringTable t(2, 2);
  t.SetCell(5, 7, "far");
  EXPECT_EQ(t.ColCount(), 2);
  EXPECT_EQ(t.RowCount(), 2);
  EXPECT_EQ(t.Cell(5, 7), "far");
  t.SetCell(1, 1, "near");
  t.SetSize(1, 1);
  EXPECT_EQ(t.Cell(1, 1), "near");
  t.SetSize(6, 8);
  EXPECT_EQ(t.Cell(1, 1), "near");
  EXPECT_EQ(t.Cell(5, 7), "far");
  EXPECT_EQ(t.Cell(100, 100), "");
}

TEST(StringTable, CountsNeverGoNegativeAndAddressesMust) {
  StringTable t;
  t.SetSize(-3, -1);
  EXPECT_EQ(t.ColCount(), 0);
  EXPECT_EQ(t.RowCount(), 0);
  EXPECT_THROW(t.SetCell(-1, 0, "x"), std::out_of_range);
  EXPECT_THROW(t.SetCell(0, -1, "x"), std::out_of_range);
  EXPECT_EQ(t.Cell(-1, -1), "");
}

TEST(StringTable, ClearingForgetsTextAndEqualityIgnoresStorageShape) {
  StringTable a(3, 3), b(3, 3);
  a.SetCell(2, 2, "x");
  EXPECT_FALSE(a == b);
  b.SetCell(2, 2, "x");
  b.SetCell(9, 9, "");
  EXPECT_TRUE(a == b);
  a.ClearCells();
  EXPECT_EQ(a.Cell(2, 2), "");
  EXPECT_EQ(a.ColCount(), 3);
}
