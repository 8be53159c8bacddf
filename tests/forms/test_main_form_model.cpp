#include <gtest/gtest.h>

#include "main_form_model.h"

using namespace vp;

TEST(MainFormModel, StartsWithOneOfEverythingAndZeroFields) {
  const TMainFormModel f;
  EXPECT_EQ(f.StringGrid1.ColCount(), 2);
  EXPECT_EQ(f.StringGrid1.RowCount(), 4);
  EXPECT_EQ(f.StringGrid1.Cell(1, 0), "Участок 1");
  EXPECT_EQ(f.StringGrid1.Cell(0, 1), "Длина(l)");
  EXPECT_EQ(f.StringGrid1.Cell(0, 2), "Масса(m)");
  EXPECT_EQ(f.StringGrid1.Cell(0, 3), "Жесткость(El)");
  EXPECT_EQ(f.StringGrid2.ColCount(), 2);
  EXPECT_EQ(f.StringGrid2.RowCount(), 2);
  EXPECT_EQ(f.StringGrid2.Cell(0, 1), "Опора 1");
  EXPECT_EQ(f.StringGrid2.Cell(1, 0), "Вариант1");
  EXPECT_EQ(f.StringGrid3.ColCount(), 1);
  EXPECT_EQ(f.StringGrid3.Cell(0, 1), "");
  EXPECT_EQ(f.StringGrid4.ColCount(), 1);
  for (const std::string* e : {&f.Edit3, &f.Edit8, &f.Edit9, &f.Edit10, &f.Edit11, &f.Edit12}) EXPECT_EQ(*e, "0");
  EXPECT_FALSE(f.CheckBox1);
  EXPECT_EQ(f.SpinEdit1.Text(), "1");
}

TEST(MainFormModel, CountsResizeAndCaptionTheGrids) {
  TMainFormModel f;
  f.SetSpinValue(Count::Sections, 3);
  EXPECT_EQ(f.StringGrid1.ColCount(), 4);
  for (int k = 1; k <= 3; ++k) EXPECT_EQ(f.StringGrid1.Cell(k, 0), "Участок " + std::to_string(k));

  f.SetSpinValue(Count::Variants, 2);
  f.SetSpinValue(Count::Supports, 3);
  EXPECT_EQ(f.StringGrid2.ColCount(), 3);
  EXPECT_EQ(f.StringGrid2.RowCount(), 4);
  EXPECT_EQ(f.StringGrid2.Cell(2, 0), "Вариант2");
  EXPECT_EQ(f.StringGrid2.Cell(0, 3), "Опора 3");
  EXPECT_EQ(f.StringGrid3.ColCount(), 3);

  f.SetSpinValue(Count::Spans, 4);
  EXPECT_EQ(f.StringGrid4.ColCount(), 4);
}

TEST(MainFormModel, ShrinkingKeepsTheTextOfCellsThatStay) {
  TMainFormModel f;
  f.SetSpinValue(Count::Sections, 5);
  f.StringGrid1.SetCell(2, 1, "0.35 ");
  f.StringGrid1.SetCell(5, 3, "7");
  f.SetSpinValue(Count::Sections, 2);
  EXPECT_EQ(f.StringGrid1.Cell(2, 1), "0.35 ");
  f.SetSpinValue(Count::Sections, 5);
  EXPECT_EQ(f.StringGrid1.Cell(5, 3), "7");
}

TEST(MainFormModel, TypedCountsAreClampedWhenTheControlIsLeft) {
  TMainFormModel f;
  f.SetSpinText(Count::Supports, "150");
  EXPECT_EQ(f.SpinEdit1.Text(), "150");
  EXPECT_EQ(f.SpinEdit1.Value(), 150);
  // A half-typed count never sizes a grid beyond the form's limits.
  EXPECT_EQ(f.StringGrid2.RowCount(), 11);
  f.LeaveSpin(Count::Supports);
  EXPECT_EQ(f.SpinEdit1.Text(), "10");
  EXPECT_EQ(f.StringGrid3.ColCount(), 10);
  EXPECT_EQ(f.StringGrid2.Cell(0, 10), "Опора 10");

  f.SetSpinText(Count::Sections, "0");
  f.LeaveSpin(Count::Sections);
  EXPECT_EQ(f.SpinEdit2.Text(), "1");

  f.SetSpinText(Count::Spans, "abc");
  EXPECT_EQ(f.SpinEdit3.Value(), 1);  // a non-integer text reads as the minimum
  f.LeaveSpin(Count::Spans);
  EXPECT_EQ(f.SpinEdit3.Text(), "1");

  f.SetSpinText(Count::Variants, " 7");
  f.LeaveSpin(Count::Variants);
  EXPECT_EQ(f.SpinEdit4.Text(), " 7");  // a valid integer within the limits stays as typed
  EXPECT_EQ(f.StringGrid2.ColCount(), 8);
}

TEST(MainFormModel, ValuesSetFromOutsideAreClamped) {
  TMainFormModel f;
  f.SetSpinValue(Count::Supports, 12);
  EXPECT_EQ(f.SpinEdit1.Value(), 10);
  f.SetSpinValue(Count::Sections, -5);
  EXPECT_EQ(f.SpinEdit2.Value(), 1);
  f.SetSpinValue(Count::Sections, 250);
  EXPECT_EQ(f.SpinEdit2.Value(), 200);
  EXPECT_EQ(f.StringGrid1.ColCount(), 201);
  EXPECT_EQ(f.StringGrid1.Cell(200, 0), "Участок 200");
}
