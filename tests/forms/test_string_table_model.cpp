// The adapter that shows a StringTable in Qt's views, held to Qt's item-model
// contract by Qt's own model tester (a breach aborts the test).

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>

#include "model_spies.h"
#include "string_table_model.h"

using namespace vp;

TEST(StringTableModel, OnlyAnEditOrAChangedTableIsSignalled) {
  StringTable table(3, 2);  // one fixed row and column: 1 x 2 cells
  table.SetCell(1, 1, "a");
  StringTableModel editable(&table, 1, 1, true), readOnly(&table, 1, 1, false);
  for (StringTableModel* model : {&editable, &readOnly}) {
    new QAbstractItemModelTester(model, QAbstractItemModelTester::FailureReportingMode::Fatal, model);
    model->Refresh();  // as a window shows its grids
  }
  const QModelIndex cell = editable.index(0, 0);
  struct Case {
    const char* what;
    StringTableModel* model;
    QModelIndex index;
    const char* text;
    int role;
    bool accepted;
  };
  const Case cases[] = {
      {"a read-only grid", &readOnly, readOnly.index(0, 0), "b", Qt::EditRole, false},
      {"the text the cell holds", &editable, cell, "a", Qt::EditRole, false},
      {"an invalid index", &editable, QModelIndex(), "b", Qt::EditRole, false},
      {"another model's index", &editable, readOnly.index(0, 1), "b", Qt::EditRole, false},
      {"a role other than editing", &editable, cell, "b", Qt::DisplayRole, false},
      {"an edit", &editable, cell, "b", Qt::EditRole, true},
  };
  for (const Case& c : cases) {
    const StringTable before = table;
    test::ModelSpies spies(c.model);
    EXPECT_EQ(c.model->setData(c.index, c.text, c.role), c.accepted) << c.what;
    EXPECT_EQ(table == before, !c.accepted) << c.what;
    EXPECT_EQ(spies.Caught(), c.accepted ? "dataChanged(QModelIndex,QModelIndex,QList<int>) x1 " : "") << c.what;
  }
  // A table changed behind the model's back is shown again, once; an unchanged one not at all.
  table.SetColCount(4);
  test::ModelSpies grown(&readOnly);
  readOnly.Refresh();
  readOnly.Refresh();
  EXPECT_EQ(grown.Caught(), "modelReset() x1 ");
}
