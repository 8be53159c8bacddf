#include <gtest/gtest.h>

#include "form_history.h"
#include "main_form_model.h"
#include "pasted_cells.h"

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

// Keys typed into one field make one step; any other change starts a step;
// undo and redo walk the steps and keep the mode-shape check box.
TEST(FormHistory, StepsOfTheInputBackAndForth) {
  TMainFormModel form;
  FormHistory history(form);
  const auto change = [&](int field, std::string* text, const char* value) {
    *text = value;
    history.Changed(form, field);
  };
  change(101, &form.Edit8, "1");
  change(101, &form.Edit8, "12");  // the same field: one step
  change(102, &form.Edit9, "5");
  form.CheckBox1 = true;
  history.Changed(form, 0);  // no part of the input: no step
  change(0, &form.Edit10, "9");
  for (const char* F1FT1FK : {"12/5/0", "12/0/0", "0/0/0"}) {
    ASSERT_TRUE(history.Undo(form));
    EXPECT_EQ(form.Edit8 + "/" + form.Edit9 + "/" + form.Edit10, F1FT1FK);
    EXPECT_TRUE(form.CheckBox1);
  }
  EXPECT_FALSE(history.Undo(form));
  ASSERT_TRUE(history.Redo(form) && history.Redo(form));
  EXPECT_EQ(form.Edit9, "5");
  change(103, &form.Edit11, "1E-9");  // a new change drops the steps undone
  EXPECT_FALSE(history.CanRedo());
}

TEST(PastedCells, TabSeparatedRowsAndNumbersWithEitherSeparator) {
  EXPECT_EQ(TabSeparatedCells("1\t2,5\r\n3\t\n"), (CellBlock{{"1", "2,5"}, {"3", ""}}));
  EXPECT_EQ(TabSeparatedCells("x"), (CellBlock{{"x"}}));
  EXPECT_EQ(TabSeparatedText({{"1", "2"}, {"3"}}), "1\t2\n3\n");
  const struct {
    const char* text;
    char sep;
    const char* number;  // nullptr: no number
  } cases[] = {{" 0.05 ", ',', "0,05"}, {"0,05", '.', "0.05"}, {"1E6", ',', "1E6"}, {"-2,5e-3", ',', "-2,5e-3"},
               {"", ',', nullptr},      {"1 234,5", ',', nullptr}, {"1.234,5", ',', nullptr}, {"abc", '.', nullptr}};
  for (const auto& c : cases) {
    std::string number = "untouched";
    EXPECT_EQ(PastedNumber(c.text, c.sep, number), c.number != nullptr) << c.text;
    EXPECT_EQ(number, c.number ? c.number : "untouched") << c.text;
  }
}
