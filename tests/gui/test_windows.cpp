// The windows driven as a user would: real spin edits, buttons and modal forms.

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QValueAxis>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLineEdit>
#include <QChart>
#include <QChartView>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>
#include <QToolButton>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextBrowser>
#include <QTest>
#include <QTimer>
#include <functional>
#include <random>

#include "chart_kit.h"
#include "form_fixtures.h"
#include "form_kit.h"
#include "grid_view.h"
#include "spin_edit_widget.h"
#include "forms.h"
#include "settings.h"
#include "input_loader.h"
#include "window_printing.h"
#include "modal_answerer.h"
#include "model_spies.h"
#include "numtext.h"
#include "output_files.h"
#include "pdf_text.h"
#include "platform.h"
#include "window_tests_main.h"

using namespace vp;
using test::ModalAnswerer;

namespace {

QString MessageText(QWidget* w) {
  auto* box = qobject_cast<QMessageBox*>(w);
  if (!box) return {};
  const QString text = box->text();
  box->button(QMessageBox::Ok)->click();
  return text;
}

QLineEdit* LineOf(SpinEdit* spin) { return spin->findChild<QLineEdit*>(); }

void Type(SpinEdit* spin, const char* text) {
  LineOf(spin)->selectAll();
  QTest::keyClicks(LineOf(spin), text);
}

// "Отмена" of the progress window, pressed as a user.
void PressCancel(QProgressDialog* progress) { progress->findChild<QPushButton*>()->click(); }

std::string Example(const char* name) { return std::string(VP_EXAMPLES_DIR) + "/" + name; }

class Windows : public ::testing::Test {
 protected:
  void SetUp() override {
    QSettings().clear();
    forms = std::make_unique<Forms>();
    forms->MainForm->show();
    QApplication::setActiveWindow(forms->MainForm.get());
  }
  void TearDown() override { forms.reset(); }

  void Load(const char* name) {
    const QString path = QString::fromStdString(Example(name));
    forms->MainForm->SetFileChooser([path] { return path; });
    forms->MainForm->LoadButton()->click();
  }

  std::unique_ptr<Forms> forms;
};

}  // namespace

TEST_F(Windows, StartUpShowsOnlyTheMainFormWithOneOfEverything) {
  TMainForm& main = *forms->MainForm;
  EXPECT_TRUE(main.isVisible());
  EXPECT_FALSE(forms->InputForm->isVisible());
  EXPECT_FALSE(forms->OutputForm->isVisible());
  EXPECT_FALSE(forms->NewForm->isVisible());
  EXPECT_FALSE(forms->MainFormJestk->isVisible());
  EXPECT_EQ(main.windowTitle(), "Программа расчета собственных частот и форм колебаний валопровода");
  EXPECT_EQ(qApp->property("helpFile").toString(), "HELP.HLP");
  EXPECT_EQ(main.property("helpContext").toInt(), 1);
  for (Count c : {Count::Supports, Count::Sections, Count::Spans, Count::Variants})
    EXPECT_EQ(main.Spin(c)->Text(), "1");
  for (int e : {3, 8, 9, 10, 11, 12}) EXPECT_EQ(main.Edit(e)->text(), "0");
  QAbstractItemModel* sections = main.Grid(1)->model();
  EXPECT_EQ(sections->columnCount(), 1);
  EXPECT_EQ(sections->headerData(0, Qt::Horizontal).toString(), "Участок 1");
  EXPECT_EQ(sections->headerData(0, Qt::Vertical).toString(), "Длина(l)");
  EXPECT_EQ(sections->headerData(2, Qt::Vertical).toString(), "Жесткость(El)");
  QAbstractItemModel* stiffness = main.Grid(2)->model();
  EXPECT_EQ(stiffness->headerData(0, Qt::Horizontal).toString(), "Вариант1");
  EXPECT_EQ(stiffness->headerData(0, Qt::Vertical).toString(), "Опора 1");
  EXPECT_EQ(main.Grid(3)->model()->columnCount(), 1);
  EXPECT_EQ(main.Grid(4)->model()->columnCount(), 1);
  EXPECT_FALSE(main.ModesCheckBox()->isChecked());
}

TEST_F(Windows, EveryWindowCarriesTheProgramIconInEveryRenderedSize) {
  const QIcon icon = forms->MainForm->windowIcon();
  for (int size : {16, 32, 48, 64, 128, 256})
    EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size))) << size;
  // The drawing itself: the top of the red mode-shape arc, a transparent corner.
  const QImage picture = icon.pixmap(64).toImage();
  ASSERT_EQ(picture.size(), QSize(64, 64));
  const QColor arc = picture.pixelColor(32, 20);
  EXPECT_GT(arc.red(), 180);
  EXPECT_LT(arc.green(), 80);
  EXPECT_EQ(picture.pixelColor(0, 0).alpha(), 0);
  for (QWidget* w : std::initializer_list<QWidget*>{forms->InputForm.get(), forms->OutputForm.get(),
                                                   forms->NewForm.get(), forms->MainFormJestk.get()})
    EXPECT_EQ(w->windowIcon().cacheKey(), icon.cacheKey()) << w->windowTitle().toStdString();
  EXPECT_EQ(QGuiApplication::desktopFileName(), "valoprovod");
}

// The help page comes from the program itself, not from a file beside it;
// a new main window opens a new help window.
// Qt's own dialogs speak Russian, also where Qt's translations lack a text.
TEST_F(Windows, QtsOwnDialogsSpeakRussian) {
  QFileSystemModel files;
  const QModelIndex folder = files.setRootPath(QDir::tempPath());
  EXPECT_EQ(files.type(folder), "Папка");
  EXPECT_EQ(files.headerData(0, Qt::Horizontal).toString(), "Имя");
  QMessageBox box(QMessageBox::Question, "", "", QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), "Отмена");
}

// Every field of the input says what it is (and its unit) in a tooltip.
TEST_F(Windows, EveryInputFieldHasATooltip) {
  for (QWidget* window : std::initializer_list<QWidget*>{forms->MainForm.get(), forms->MainFormJestk.get()}) {
    for (QWidget* field : window->findChildren<QWidget*>()) {
      const bool ownLine = qobject_cast<QLineEdit*>(field) && !qobject_cast<QAbstractSpinBox*>(field->parentWidget());
      if (field->window() == window && (ownLine || qobject_cast<QAbstractSpinBox*>(field) ||
                                        qobject_cast<GridView*>(field) || qobject_cast<QComboBox*>(field))) {
        EXPECT_FALSE(field->toolTip().isEmpty()) << window->windowTitle().toStdString() << ": "
                                                 << field->metaObject()->className() << " "
                                                 << field->geometry().x() << "," << field->geometry().y();
      }
    }
  }
}

TEST_F(Windows, F1ShowsTheBuiltInHelpPage) {
  for (int round = 0; round < 2; ++round) {
    if (round == 1) SetUp();
    QTest::keyClick(forms->MainForm.get(), Qt::Key_F1);
    QWidget* help = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->isVisible() && w->windowTitle() == "Справка") help = w;
    ASSERT_NE(help, nullptr) << round;
    EXPECT_EQ(help->parentWidget(), forms->MainForm.get());
    auto* browser = help->findChild<QTextBrowser*>();
    ASSERT_NE(browser, nullptr);
    EXPECT_EQ(browser->source().scheme(), "qrc");
    EXPECT_TRUE(browser->toPlainText().contains("Поля главного окна"));
  }
}

TEST_F(Windows, SpinEditsResizeTheGridsAndClampWhenLeft) {
  TMainForm& main = *forms->MainForm;
  QLineEdit* sections = LineOf(main.Spin(Count::Sections));
  sections->selectAll();
  QTest::keyClicks(sections, "3");
  QAbstractItemModel* grid = main.Grid(1)->model();
  EXPECT_EQ(grid->columnCount(), 3);
  EXPECT_EQ(grid->headerData(2, Qt::Horizontal).toString(), "Участок 3");

  main.Spin(Count::Variants)->stepBy(1);
  EXPECT_EQ(main.Spin(Count::Variants)->Text(), "2");
  QLineEdit* supports = LineOf(main.Spin(Count::Supports));
  supports->selectAll();
  QTest::keyClicks(supports, "3");
  QAbstractItemModel* stiffness = main.Grid(2)->model();
  EXPECT_EQ(stiffness->columnCount(), 2);
  EXPECT_EQ(stiffness->rowCount(), 3);
  EXPECT_EQ(stiffness->headerData(1, Qt::Horizontal).toString(), "Вариант2");
  EXPECT_EQ(stiffness->headerData(2, Qt::Vertical).toString(), "Опора 3");

  supports->selectAll();
  QTest::keyClicks(supports, "150");
  emit main.Spin(Count::Supports)->Left();  // what losing the focus does
  EXPECT_EQ(main.Spin(Count::Supports)->Text(), "10");
  EXPECT_EQ(stiffness->rowCount(), 10);
  EXPECT_EQ(main.Grid(3)->model()->columnCount(), 10);
}

TEST_F(Windows, AFullRunThroughTheWindowsLeavesTheEntriesAsTheyWere) {
  Load("free_free_shaft.txt");
  const TMainFormModel before = forms->state.form;
  std::vector<std::string> seen;
  ModalAnswerer answer([&](QWidget* w) {
    if (w == forms->InputForm.get()) {
      seen.push_back("echo");
      forms->InputForm->ContinueButton()->click();
    } else if (w == forms->OutputForm.get()) {
      seen.push_back("results " + forms->state.results.StringGrid1.Cell(1, 1));
      EXPECT_EQ(forms->OutputForm->Grid(1)->model()->columnCount(), 2);
      EXPECT_EQ(forms->OutputForm->CheckText().toStdString(),
                "Вариант № 1: найдено 2 из 2 собственных частот диапазона от 100 до 10000. Поиск окончен на частоте "
                "6169.9: выше нее до верхней границы диапазона собственных частот нет.");
      // One variant: no map and nothing to print of it.
      EXPECT_TRUE(forms->OutputForm->MapChart()->series().isEmpty());
      EXPECT_FALSE(forms->OutputForm->PrintMapButton()->isVisibleTo(forms->OutputForm.get()));
      forms->OutputForm->RepeatButton()->click();
    } else if (!qobject_cast<QProgressDialog*>(w)) {  // shown when the machine is slow
      seen.push_back("other " + MessageText(w).toStdString());
    }
  });
  forms->MainForm->StartButton()->click();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], "echo");
  EXPECT_NEAR(RealOfText(seen[1].substr(8), '.'), 2237.675, 5e-4);
  EXPECT_TRUE(forms->state.form == before);
  EXPECT_TRUE(forms->MainForm->isVisible());
  EXPECT_EQ(forms->MainForm->Spin(Count::Sections)->Text(), "100");
}

TEST_F(Windows, ModeShapesAreShownPerFrequencyAndTheCloseBoxGoesOn) {
  Load("free_free_shaft.txt");
  forms->MainForm->ModesCheckBox()->setChecked(true);
  std::vector<std::string> shapes;
  ModalAnswerer answer([&](QWidget* w) {
    if (w == forms->InputForm.get()) {
      forms->InputForm->ContinueButton()->click();
    } else if (w == forms->NewForm.get()) {
      shapes.push_back(forms->state.newForm.Label3);
      EXPECT_EQ(forms->NewForm->Series1()->count(), 101);  // cross-sections 0..100
      // Along the shaft's length, as the drawing above the chart.
      const QAbstractAxis* x = forms->NewForm->Chart1()->chart()->axes(Qt::Horizontal).value(0);
      EXPECT_EQ(qobject_cast<const QValueAxis*>(x)->max(), forms->state.newForm.shaft.length);
      EXPECT_EQ(forms->state.newForm.shaft.springs.size(), 1u);
      if (shapes.size() == 1)
        forms->NewForm->NextButton()->click();
      else
        forms->NewForm->close();
    } else if (w == forms->OutputForm.get()) {
      forms->OutputForm->RepeatButton()->click();
    }
  });
  forms->MainForm->StartButton()->click();
  EXPECT_EQ(shapes, (std::vector<std::string>{"Частота N 1", "Частота N 2"}));
  EXPECT_EQ(forms->NewForm->Series1()->count(), 0);
}

TEST_F(Windows, NoMoreModeShapesForTheRestOfTheRunAndTheNextRunShowsThemAgain) {
  Load("free_free_shaft.txt");  // two frequencies
  forms->MainForm->ModesCheckBox()->setChecked(true);
  for (const bool noMore : {true, false}) {
    int shapes = 0;
    ModalAnswerer answer([&](QWidget* w) {
      if (w == forms->InputForm.get()) {
        forms->InputForm->ContinueButton()->click();
      } else if (w == forms->NewForm.get()) {
        ++shapes;
        EXPECT_FALSE(forms->NewForm->NoMoreCheckBox()->isChecked());
        if (noMore) forms->NewForm->NoMoreCheckBox()->click();
        forms->NewForm->NextButton()->click();
      } else if (w == forms->OutputForm.get()) {
        forms->OutputForm->RepeatButton()->click();
      }
    });
    forms->MainForm->StartButton()->click();
    EXPECT_EQ(shapes, noMore ? 1 : 2);
    EXPECT_EQ(forms->state.summary.variants.at(0).modes.size(), 2u);  // the run went on
  }
}

TEST_F(Windows, TheContinuousShaftStandsBesideTheModeShapesAndTheFrequencies) {
  // 20 sections of 0.1 m: some frequencies are off by more than 1 %.
  Load("rotor_coarse_sections.txt");
  forms->MainForm->ModesCheckBox()->setChecked(true);
  int shapes = 0, rows = 0;
  QStringList marked, notes;
  ModalAnswerer answer([&](QWidget* w) {
    if (w == forms->InputForm.get()) {
      forms->InputForm->ContinueButton()->click();
    } else if (w == forms->NewForm.get()) {
      ++shapes;
      TNewForm& form = *forms->NewForm;
      EXPECT_EQ(form.Series2()->count(), 21);
      EXPECT_EQ(form.Series2()->name(), "Непрерывная модель");
      EXPECT_TRUE(form.Chart1()->chart()->legend()->markers(form.Series2()).value(0)->isVisible());
      EXPECT_TRUE(form.Label8()->text().startsWith("Непрерывная модель:\nP= "));
      EXPECT_TRUE(form.Label8()->isVisible());
      form.NextButton()->click();
    } else if (w == forms->OutputForm.get()) {
      QAbstractItemModel* table = forms->OutputForm->ContinuousGrid()->model();
      rows = table->rowCount();
      for (int r = 0; r < rows; ++r)
        if (table->data(table->index(r, 6), Qt::ForegroundRole).value<QColor>() == QColor(190, 0, 0))
          marked << table->data(table->index(r, 6)).toString();
      notes << forms->OutputForm->ContinuousNotesText();
      EXPECT_TRUE(forms->OutputForm->ContinuousGrid()->isVisible());
      EXPECT_TRUE(forms->OutputForm->MapChart()->title().contains("непрерывная модель"));
      forms->OutputForm->RepeatButton()->click();
    }
  });
  forms->MainForm->StartButton()->click();
  EXPECT_EQ(shapes, 8);
  EXPECT_EQ(rows, 8);
  EXPECT_EQ(marked, QStringList({"-1.06 !", "-2.09 !", "+1.35 !", "-22.43 !", "+13.72 !"}));
  EXPECT_EQ(notes, QStringList("Внимание: отличие больше 1 % (знак !) - участки слишком длинные: разбейте вал на "
                               "большее число более коротких участков."));
}

TEST_F(Windows, EnterInAGridCommitsTheCellAndMovesOnAsInASpreadsheet) {
  forms->state.form.SetSpinValue(Count::Sections, 2);
  forms->MainForm->SyncFromModel();
  GridView* grid = forms->MainForm->Grid(1);  // 3 rows (l, m, EI) x 2 sections
  QAbstractItemModel* cells = grid->model();
  struct Case {
    int row, column;
    const char* typed;  // none: Enter on a cell left as it was
    int toRow, toColumn;
  } const cases[] = {{0, 0, "0.5", 0, 1}, {0, 1, "7", 1, 0}, {1, 1, nullptr, 2, 0}, {2, 1, "3", 2, 1}};
  for (const Case& c : cases) {
    grid->setFocus();
    grid->setCurrentIndex(cells->index(c.row, c.column));
    for (const char* key = c.typed; key && *key; ++key) QTest::keyClick(QApplication::focusWidget(), *key);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QApplication::processEvents();  // the editor commits and closes from the event loop
    EXPECT_EQ(grid->currentIndex(), cells->index(c.toRow, c.toColumn)) << c.row << "," << c.column;
    if (c.typed) {
      EXPECT_EQ(cells->index(c.row, c.column).data().toString(), c.typed);
    }
  }
  EXPECT_EQ(forms->state.form.StringGrid1.Cell(1, 1), "0.5");
}

TEST_F(Windows, KeysTypedRightAfterAClickOnTheSelectedCellAllReachIt) {
  // A one-cell grid: Enter leaves its only cell selected, and a click on it
  // follows; the keys come 100 ms later, slowly or fast.
  GridView* grid = forms->MainForm->Grid(3);  // supports: 1 column
  const QPoint cell = grid->visualRect(grid->model()->index(0, 0)).center();
  const auto type = [&](const std::string& keys, int pause) {
    for (const char key : keys) QTest::keyClick(QApplication::focusWidget(), key, {}, pause);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::qWait(QApplication::doubleClickInterval() + 100);  // no late editor opens over it
  };
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell);
  type("7", 0);
  for (const auto& [keys, pause] : {std::pair{"0,08", QApplication::doubleClickInterval() / 3}, {"1,5", 20}}) {
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell);
    QTest::qWait(100);
    type(keys, pause);
    EXPECT_EQ(forms->state.form.StringGrid3.Cell(0, 1), keys);
  }
}

// The title names the file loaded and marks an edit; closing asks to save
// (Да / Нет / Отмена) and Ctrl+S saves into the file itself.
TEST_F(Windows, AnEditedInputIsMarkedTillSavedAndClosingAsksToSaveIt) {
  TMainForm& main = *forms->MainForm;
  const std::string file = test::TempPath("edited input.txt");
  QFile::remove(QString::fromStdString(file));
  QFile::copy(QString::fromStdString(Example("free_free_shaft.txt")), QString::fromStdString(file));
  main.SetFileChooser([&] { return QString::fromStdString(file); });
  main.LoadButton()->click();
  EXPECT_TRUE(main.windowTitle().endsWith("валопровода - edited input.txt")) << main.windowTitle().toStdString();
  QTest::keyClicks(main.Edit(3), "0");  // KP 3 becomes 30
  EXPECT_TRUE(main.windowTitle().endsWith(" - edited input.txt*"));

  // Closing: "Отмена" keeps the window, "Нет" closes it unsaved; after Ctrl+S
  // nothing is asked.
  for (const char* button : {"Отмена", "Нет"}) {
    main.show();
    QString asked;
    ModalAnswerer answer([&](QWidget* w) {
      auto* box = qobject_cast<QMessageBox*>(w);
      asked = box->text();
      for (QAbstractButton* b : box->buttons())
        if (b->text() == button) b->click();
    });
    main.close();
    EXPECT_EQ(asked, "Исходные данные изменены и не сохранены. Сохранить их?");
    EXPECT_EQ(main.isVisible(), button == std::string("Отмена"));
  }
  main.show();
  QApplication::setActiveWindow(&main);
  QTest::keySequence(&main, QKeySequence::Save);
  EXPECT_TRUE(main.windowTitle().endsWith(" - edited input.txt"));
  TMainFormModel reloaded;
  ASSERT_FALSE(LoadInputFile(file, reloaded, '.'));
  EXPECT_EQ(reloaded.Edit3, "30");
  main.close();
  EXPECT_FALSE(main.isVisible());
}

// Cells copied from a spreadsheet paste as one change; a bad value or a block
// that does not fit pastes nothing; the form's history undoes and redoes.
TEST_F(Windows, PasteFromASpreadsheetAndUndo) {
  TMainForm& main = *forms->MainForm;
  Type(main.Spin(Count::Sections), "3");
  GridView* sections = main.Grid(1);
  QAbstractItemModel* cells = sections->model();
  std::vector<QString> messages;
  ModalAnswerer answer([&](QWidget* w) { messages.push_back(MessageText(w)); });
  const auto paste = [&](const char* text, int row, int column) {
    QApplication::clipboard()->setText(text);
    sections->setFocus();
    sections->setCurrentIndex(cells->index(row, column));
    QTest::keySequence(sections, QKeySequence::Paste);
  };
  paste("0,5\t0.25\r\n10\t20\r\n", 0, 1);
  EXPECT_EQ(forms->state.form.StringGrid1.Cell(2, 1), "0.5");  // the tests' separator is '.'
  EXPECT_EQ(forms->state.form.StringGrid1.Cell(3, 2), "20");
  const TMainFormModel pasted = forms->state.form;
  paste("1\tx", 2, 0);
  paste("1\t2\t3", 0, 1);
  EXPECT_TRUE(forms->state.form == pasted);
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0], "Вставка из буфера обмена: ячейка «Участок 2, Жесткость(El)»: «x» не является числом. "
                         "Ничего не вставлено.");
  EXPECT_TRUE(messages[1].contains("1 × 3 ячеек не помещаются")) << messages[1].toStdString();
  // One value into every selected cell.
  QApplication::clipboard()->setText("7");
  sections->selectionModel()->select(QItemSelection(cells->index(2, 0), cells->index(2, 2)), QItemSelectionModel::ClearAndSelect);
  QTest::keySequence(sections, QKeySequence::Paste);
  EXPECT_EQ(forms->state.form.StringGrid1.Cell(3, 3), "7");
  // Ctrl+Z undoes with the form's history, also in a field; Ctrl+Y redoes.
  QApplication::setActiveWindow(&main);
  QTest::keyClicks(main.Edit(8), "12");
  QTest::keySequence(main.Edit(8), QKeySequence::Undo);
  EXPECT_EQ(main.Edit(8)->text().toStdString(), forms->state.form.Edit8);
  EXPECT_EQ(forms->state.form.Edit8, "0");
  QTest::keySequence(&main, QKeySequence::Undo);
  EXPECT_TRUE(forms->state.form == pasted);
  QTest::keySequence(&main, QKeySequence::Redo);
  EXPECT_EQ(forms->state.form.StringGrid1.Cell(3, 3), "7");
  // Ctrl+C copies what is selected.
  sections->selectionModel()->select(QItemSelection(cells->index(0, 1), cells->index(1, 2)), QItemSelectionModel::ClearAndSelect);
  QTest::keySequence(sections, QKeySequence::Copy);
  EXPECT_EQ(QApplication::clipboard()->text(), "0.5\t0.25\n10\t20\n");
}

// The recent files, the last folder, the windows' sizes and the units chosen
// come back in the next run of the program.
TEST_F(Windows, WhatTheUserChoseIsRememberedBetweenRuns) {
  Load("rotor_with_disc.txt");
  Load("free_free_shaft.txt");
  TMainForm& main = *forms->MainForm;
  main.resize(main.width() - 20, main.height() - 30);
  const QSize size = main.size();
  forms->OutputForm->MapUnitBox()->setCurrentIndex(2);
  forms->MainFormJestk->UnitsBox()->setCurrentIndex(1);
  emit forms->MainFormJestk->UnitsBox()->activated(1);
  main.hide();
  forms = std::make_unique<Forms>();  // the next run
  forms->MainForm->show();
  EXPECT_EQ(forms->MainForm->size(), size);
  EXPECT_EQ(forms->OutputForm->MapUnitBox()->currentIndex(), 2);
  EXPECT_EQ(forms->MainFormJestk->UnitsBox()->currentIndex(), 1);
  EXPECT_EQ(LastFolder(), QFileInfo(VP_EXAMPLES_DIR).absoluteFilePath());
  // The recent files' menu loads one again.
  QMenu* recent = forms->MainForm->RecentButton()->menu();
  emit recent->aboutToShow();
  ASSERT_EQ(recent->actions().size(), 2);
  EXPECT_TRUE(recent->actions()[0]->text().endsWith("free_free_shaft.txt"));
  recent->actions()[1]->trigger();
  EXPECT_TRUE(forms->MainForm->windowTitle().endsWith(" - rotor_with_disc.txt"));
}

TEST_F(Windows, RepeatInputComputesNothing) {
  Load("free_free_shaft.txt");
  bool resultsShown = false;
  ModalAnswerer answer([&](QWidget* w) {
    if (w == forms->InputForm.get()) forms->InputForm->RepeatButton()->click();
    if (w == forms->OutputForm.get()) {
      resultsShown = true;
      forms->OutputForm->RepeatButton()->click();
    }
  });
  forms->MainForm->StartButton()->click();
  EXPECT_FALSE(resultsShown);
  EXPECT_EQ(forms->state.results.StringGrid1.Cell(1, 1), "");
}

TEST_F(Windows, FailingInputShowsTheMessageAndNoEcho) {
  std::vector<QString> messages;
  bool echo = false;
  ModalAnswerer answer([&](QWidget* w) {
    if (w == forms->InputForm.get()) {
      echo = true;
      forms->InputForm->RepeatButton()->click();
    } else {
      messages.push_back(MessageText(w));
    }
  });
  forms->MainForm->StartButton()->click();
  EXPECT_FALSE(echo);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_TRUE(messages[0].startsWith("Ошибка ввода данных\n")) << messages[0].toStdString();

  // The cell or field the error is about becomes the current one: on the main
  // form and in the calculator.
  Load("rotor_two_bearings.txt");
  TMainForm& main = *forms->MainForm;
  QAbstractItemModel* sections = main.Grid(1)->model();
  sections->setData(sections->index(1, 6), "x", Qt::EditRole);  // the mass of section 7
  main.StartButton()->click();
  EXPECT_EQ(main.focusWidget(), main.Grid(1));
  EXPECT_EQ(main.Grid(1)->currentIndex(), sections->index(1, 6));
  sections->setData(sections->index(1, 6), "1", Qt::EditRole);
  QTest::keyClicks(main.Edit(10), "x");
  main.StartButton()->click();
  EXPECT_EQ(main.focusWidget(), main.Edit(10));
  main.CalculatorButton()->click();
  TMainFormJestk& calc = *forms->MainFormJestk;
  QTest::keyClicks(calc.BoreEdit(), "0");
  QTest::keyClicks(calc.ModulusEdit(), "2E5");
  calc.Grid(1)->model()->setData(calc.Grid(1)->model()->index(0, 0), "100", Qt::EditRole);
  calc.CalculateButton()->click();
  EXPECT_EQ(calc.Grid(1)->currentIndex(), calc.Grid(1)->model()->index(0, 1));
}

// What needs attention stands out: a support outside the shaft in the echo, in
// red, and in the results with a passed-over frequency, red and marked "!".
TEST_F(Windows, ASupportOutsideTheShaftAndMissedFrequenciesStandOut) {
  Load("free_free_coarse_step.txt");
  forms->state.form.StringGrid3.SetCell(0, 1, "0");
  QString notes;
  std::vector<std::pair<QString, QColor>> checks;  // each line of the results' checks and its colour
  const QColor kRed(190, 0, 0);
  ModalAnswerer answer([&](QWidget* w) {
    if (w == forms->InputForm.get()) {
      notes = w->findChild<QLabel*>("notes")->text();
      forms->InputForm->ContinueButton()->click();
    } else if (w == forms->OutputForm.get()) {
      const QTextDocument* document = w->findChild<QPlainTextEdit*>()->document();
      for (QTextBlock b = document->begin(); b != document->end(); b = b.next())
        checks.emplace_back(b.text(), b.begin().fragment().charFormat().foreground().color());
      forms->OutputForm->RepeatButton()->click();
    }
  });
  forms->MainForm->StartButton()->click();
  EXPECT_TRUE(notes.startsWith("Внимание: опора 1 стоит в сечении 0 и не участвует в расчете")) << notes.toStdString();
  ASSERT_EQ(checks.size(), 3u);
  EXPECT_EQ(checks[0].first, "! " + notes);
  EXPECT_TRUE(checks[1].first.startsWith("Вариант № 1: найдено 1 из 3"));
  EXPECT_TRUE(checks[2].first.startsWith("! Внимание: пропущены частоты в диапазонах "));
  EXPECT_EQ(std::vector<bool>({checks[0].second == kRed, checks[1].second == kRed, checks[2].second == kRed}),
            std::vector<bool>({true, false, true}));
}

TEST_F(Windows, ExitFromTheResultsClosesTheMainWindow) {
  Load("free_free_shaft.txt");
  ModalAnswerer answer([&](QWidget* w) {
    if (w == forms->InputForm.get()) forms->InputForm->ContinueButton()->click();
    if (w == forms->OutputForm.get()) forms->OutputForm->ExitButton()->click();
  });
  forms->MainForm->StartButton()->click();
  EXPECT_FALSE(forms->MainForm->isVisible());
  EXPECT_FALSE(forms->OutputForm->isVisible());
}

TEST_F(Windows, LoaderMessagesAndTheCalculatorButton) {
  std::vector<QString> messages;
  ModalAnswerer answer([&](QWidget* w) { messages.push_back(MessageText(w)); });
  forms->MainForm->SetFileChooser([] { return QString("/tmp/input.dat"); });
  forms->MainForm->LoadButton()->click();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "Неверный формат файла");

  QLineEdit* sections = LineOf(forms->MainForm->Spin(Count::Sections));
  sections->selectAll();
  QTest::keyClicks(sections, "25");
  forms->MainForm->CalculatorButton()->click();
  EXPECT_TRUE(forms->MainFormJestk->isVisible());
  EXPECT_EQ(forms->MainFormJestk->Spin(JestkCount::Sections)->Text(), "25");
  EXPECT_EQ(forms->MainFormJestk->Grid(1)->model()->columnCount(), 25);

  // "Передать" computes from the fields first: an empty bore is named, and
  // nothing is transferred; nor while a run computes.
  TMainFormJestk& calc = *forms->MainFormJestk;
  Type(calc.Spin(JestkCount::Sections), "5");
  QStringList asked;
  calc.SetAsker([&](const QString& question) { return asked << question, true; });
  messages.clear();
  calc.TransferButton()->click();
  QTest::keyClicks(calc.BoreEdit(), "0");
  QTest::keyClicks(calc.ModulusEdit(), "2E5");
  QAbstractItemModel* diameters = calc.Grid(1)->model();
  for (int c = 0; c < 5; ++c) diameters->setData(diameters->index(0, c), "100", Qt::EditRole);
  forms->state.computing = true;
  calc.TransferButton()->click();
  forms->state.computing = false;
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_TRUE(messages[0].contains("Диаметр центрального свеления: ''")) << messages[0].toStdString();
  EXPECT_TRUE(messages[1].startsWith("Идет расчет")) << messages[1].toStdString();
  EXPECT_TRUE(asked.isEmpty());
  EXPECT_EQ(forms->state.form.SpinEdit2.Text(), "25");

  // Fewer sections than the main form's are transferred only when the user agrees.
  for (bool agree : {false, true}) {
    calc.SetAsker([&](const QString& question) { return asked << question, agree; });
    calc.TransferButton()->click();
    EXPECT_EQ(forms->state.form.SpinEdit2.Text(), agree ? "5" : "25");
  }
  ASSERT_EQ(asked.size(), 2);
  EXPECT_TRUE(asked[0].startsWith("Число участков на главной форме уменьшится с 25 до 5")) << asked[0].toStdString();
  EXPECT_EQ(forms->state.form.StringGrid1.Cell(5, 3), "981.74770424681");
}

TEST_F(Windows, ALongCalculationShowsProgressAndCanBeStopped) {
  Load("free_free_shaft.txt");
  forms->MainForm->Edit(9)->setText("0.0001");
  forms->state.form.Edit9 = "0.0001";
  bool progressSeen = false;
  std::vector<QString> messages;
  bool resultsShown = false;
  ModalAnswerer answer([&](QWidget* w) {
    if (w == forms->InputForm.get()) {
      forms->InputForm->ContinueButton()->click();
    } else if (auto* progress = qobject_cast<QProgressDialog*>(w)) {
      progressSeen = true;
      EXPECT_TRUE(progress->labelText().startsWith("Вариант по жесткости № 1"));
      // On the main form, with the percent of the estimated trials and the
      // trial frequency in the general format.
      const QPoint centre = forms->MainForm->geometry().center();
      EXPECT_LE((progress->frameGeometry().center() - centre).manhattanLength(), 2);
      EXPECT_EQ(progress->findChild<QProgressBar*>()->maximum(), 100);
      const std::string F = progress->labelText().section("пробная частота ", 1).toStdString();
      EXPECT_EQ(GeneralFormat(RealOfText(F, '.'), '.'), F);
      // Stopped once the first frequency (2237.7) lies behind, so that there is something to show.
      if (RealOfText(F, '.') > 2300) PressCancel(progress);
    } else if (w == forms->OutputForm.get()) {
      // The frequencies found before the stop, marked.
      resultsShown = true;
      EXPECT_TRUE(forms->OutputForm->CheckText().startsWith("! Внимание: расчет прерван, рассчитано вариантов 0 из 1; "
                                                           "вариант № 1 рассчитан не до конца."))
          << forms->OutputForm->CheckText().toStdString();
      forms->OutputForm->RepeatButton()->click();
    } else {
      messages.push_back(MessageText(w));
    }
  });
  forms->MainForm->StartButton()->click();
  EXPECT_TRUE(progressSeen);
  EXPECT_TRUE(resultsShown);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "Расчет прерван");
  EXPECT_EQ(forms->state.form.Edit9, "0.0001");
}

TEST_F(Windows, TheProgramAnswersWhileTheWorkerComputesButTheMainFormTakesNoInput) {
  Load("free_free_shaft.txt");
  forms->state.form.Edit9 = "0.0001";  // a search of a million trials
  int ticks = 0, ticksAtProgress = -1, echoes = 0;
  std::vector<std::string> messages;
  QTimer tick;
  QObject::connect(&tick, &QTimer::timeout, [&] {
    // Before the progress window: a second start, and F1, as a user would.
    if (++ticks == 3 && echoes == 1) {
      QTest::mouseClick(forms->MainForm->StartButton(), Qt::LeftButton);
      QTest::keyClick(forms->MainForm->StartButton(), Qt::Key_F1);
    }
  });
  tick.start(10);
  ModalAnswerer answer([&](QWidget* w) {
    if (w == forms->InputForm.get()) {
      ++echoes;
      ticks = 0;
      forms->InputForm->ContinueButton()->click();
    } else if (auto* progress = qobject_cast<QProgressDialog*>(w)) {
      if (ticksAtProgress < 0) ticksAtProgress = ticks;
      PressCancel(progress);
    } else if (w == forms->OutputForm.get()) {
      forms->OutputForm->RepeatButton()->click();
    } else {
      messages.push_back(MessageText(w).toStdString());
    }
  });
  forms->MainForm->StartButton()->click();
  // The timer ran through the half second before the progress window (a
  // frozen loop runs it once at most), and the stop ended the run.
  EXPECT_GE(ticksAtProgress, 10);
  EXPECT_EQ(echoes, 1);
  EXPECT_EQ(messages, std::vector<std::string>{"Расчет прерван"});
  for (QWidget* w : QApplication::topLevelWidgets()) EXPECT_FALSE(w->isVisible() && w->windowTitle() == "Справка");
}

TEST_F(Windows, ACalculationEstimatedToBeLongIsAskedAbout) {
  Load("free_free_shaft.txt");
  forms->MainForm->Edit(9)->setText("1E-6");  // 6E7 trials
  forms->state.form.Edit9 = "1E-6";
  for (QMessageBox::StandardButton answer : {QMessageBox::No, QMessageBox::Yes}) {
    std::vector<std::string> seen;
    ModalAnswerer answerer([&](QWidget* w) {
      if (w == forms->InputForm.get()) {
        forms->InputForm->ContinueButton()->click();
      } else if (auto* progress = qobject_cast<QProgressDialog*>(w)) {
        seen.push_back("progress");
        PressCancel(progress);
      } else if (auto* box = qobject_cast<QMessageBox*>(w); box && box->button(QMessageBox::Yes)) {
        seen.push_back(box->text().toStdString());
        box->button(answer)->click();
      } else if (w == forms->OutputForm.get()) {
        seen.push_back("results");
        forms->OutputForm->RepeatButton()->click();
      } else {
        seen.push_back(MessageText(w).toStdString());
      }
    });
    forms->MainForm->StartButton()->click();
    ASSERT_GE(seen.size(), 1u);
    EXPECT_EQ(seen[0].rfind("Расчет займет около ", 0), 0u) << seen[0];
    EXPECT_NE(seen[0].find(" мин. Продолжить?"), std::string::npos) << seen[0];
    if (answer == QMessageBox::No) {
      EXPECT_EQ(seen.size(), 1u);  // nothing computed
    } else {
      EXPECT_EQ(seen, (std::vector<std::string>{seen[0], "progress", "Расчет прерван"}));
    }
  }
  EXPECT_EQ(forms->state.form.Edit9, "1E-6");
}

// Every print action saves into a PDF file beside printing, and offers it
// when there is no printer; the window stays open.
TEST_F(Windows, EveryPrintActionSavesAPdfFileAndOffersItWithoutAPrinter) {
  ProgramState& st = forms->state;
  Load("free_free_shaft.txt");  // the file the printout names
  st.form = test::SteelRotorForm({1e8, 1e9}, 2);
  test::RunToResults(st);
  st.newForm.Label2 = "Вариант по жесткости N 1";
  for (int i = 1; i <= 20; ++i) st.newForm.AddPoint(i, std::sin(i / 6.0), 0xFF0000);
  TOutputForm& out = *forms->OutputForm;
  TStiffnessMapForm& map = *forms->StiffnessMapForm;
  TNewForm& shape = *forms->NewForm;
  out.Refresh();
  forms->StiffnessMapOfRun();
  map.Fill();
  shape.Fill();
  for (QWidget* w : std::initializer_list<QWidget*>{&out, &map, &shape}) w->show();
  QApplication::processEvents();
  const QString path = QString::fromStdString(vp::test::TempPath("print_action.pdf"));
  forms->choosePdfFile = [&](QWidget*, const QString&) { return path; };
  struct Case {
    QPushButton *print, *pdf;
    const char* first;  // the first line of the page
  } const cases[] = {{out.PrintButton(), out.PdfButton(), "Программа расчета собственных частот и форм"},
                        {out.PrintMapButton(), out.PdfMapButton(), "Карта частот по вариантам жесткости опор"},
                        {map.PrintButton(), map.PdfButton(), "Карта критических скоростей"},
                        {shape.PrintButton(), shape.PdfButton(), "Форма колебаний"},
                        {nullptr, out.ReportButton(), "Программа расчета собственных частот и форм колебаний валопровода"}};
  for (const Case& c : cases) {
    for (QPushButton* button : {c.pdf, c.print}) {
      if (!button || (button == c.print && PrinterAvailable())) continue;  // that one prints
      QFile::remove(path);
      QStringList asked;
      ModalAnswerer answer([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_TRUE(box);
        asked << box->text();
        for (QAbstractButton* b : box->buttons())
          if (b->text() == "Сохранить в PDF") b->click();
      });
      button->click();
      EXPECT_EQ(asked, button == c.pdf ? QStringList() : QStringList(QString::fromUtf8(kNoPrinterOffer)));
      const std::vector<std::string> pages = test::PdfPages(path.toStdString());
      ASSERT_FALSE(pages.empty()) << c.first;
      const std::string first = test::TextLines(pages[0]).at(0);
      EXPECT_EQ(first.rfind(c.first, 0), 0u) << first;
      // The file loaded, whose data the run's input no longer is (the line runs
      // on; where it breaks depends on the path's length, and a blank at the
      // break is not in the text).
      std::string title = first + test::TextLines(pages[0]).at(1);
      std::erase(title, ' ');
      EXPECT_TRUE(button != out.PdfButton() || title.ends_with("/free_free_shaft.txt(измененопослезагрузки)")) << title;
      if (button == out.ReportButton()) {
        EXPECT_NE(pages[0].find("free_free_shaft.txt"), std::string::npos);
        EXPECT_NE(pages.back().find("Карта критических скоростей"), std::string::npos);
      }
    }
  }
  QFile::remove(path);
}

TEST_F(Windows, ExportWritesTheWorkbookAndSaysWhenItCannotOpenIt) {
  Load("free_free_shaft.txt");
  const QString path = QString::fromStdString(vp::test::TempPath("windows.xlsx"));
  QFile::remove(path);
  int chosen = 0;
  forms->chooseWorkbookFile = [&](QWidget*) { return ++chosen == 1 ? QString() : path; };
  QString opened;
  forms->openWorkbook = [&](const QString& p) {
    opened = p;
    return false;
  };
  std::vector<QString> messages;
  int resultsShown = 0;
  ModalAnswerer answer([&](QWidget* w) {
    if (w == forms->InputForm.get()) {
      forms->InputForm->ContinueButton()->click();
    } else if (w == forms->OutputForm.get()) {
      ++resultsShown;
      if (resultsShown == 1) {
        forms->OutputForm->ExportButton()->click();  // cancelled: nothing happens
        EXPECT_FALSE(QFile::exists(path));
        QTimer::singleShot(0, forms->OutputForm->ExportButton(), &QPushButton::click);
      } else if (!messages.empty()) {
        forms->OutputForm->RepeatButton()->click();
      }
    } else {
      messages.push_back(MessageText(w));
    }
  });
  forms->MainForm->StartButton()->click();
  EXPECT_TRUE(QFile::exists(path));
  EXPECT_EQ(opened, path);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_TRUE(messages[0].contains("не удалось")) << messages[0].toStdString();
  QFile::remove(path);
}

// The load's question in a box of "Да" and "Нет" with the system's decimal
// separator (the answers and messages: tests/forms/test_main_form_files.cpp).
TEST_F(Windows, LoadingAsksAboutTheSeparator) {
  QLocale::setDefault(QLocale(QLocale::Russian));
  QStringList shown;
  ModalAnswerer answer([&](QWidget* w) {
    shown << qobject_cast<QMessageBox*>(w)->text();
    qobject_cast<QMessageBox*>(w)->button(QMessageBox::Yes)->click();
  });
  Load("rotor_two_bearings.txt");
  EXPECT_EQ(shown, QStringList{"Файл записан с десятичной точкой. Прочитать его так?"});
  EXPECT_EQ(LineOf(forms->MainForm->Spin(Count::Sections))->text(), "40");
  QLocale::setDefault(QLocale::c());
}

TEST_F(Windows, SavingThreeVariantsAsTextOffersTheWorkbook) {
  Load("free_free_shaft.txt");
  forms->MainForm->Spin(Count::Variants)->stepBy(2);
  for (int v = 2; v <= 3; ++v) forms->state.form.StringGrid2.SetCell(v, 1, "0");
  const QString text = QString::fromStdString(vp::test::TempPath("save.txt"));
  const QString book = QString::fromStdString(vp::test::TempPath("save.xlsx"));
  forms->MainForm->SetSaveFileChooser([&] { return text; });
  QString question;
  ModalAnswerer answer([&](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(box, nullptr);
    question = box->text();
    box->button(QMessageBox::Yes)->click();
  });
  forms->MainForm->SaveButton()->click();
  EXPECT_TRUE(question.startsWith("В текстовом файле помещаются не более двух вариантов")) << question.toStdString();
  EXPECT_TRUE(QFile::exists(book));
  EXPECT_TRUE(forms->MainForm->windowTitle().endsWith(" - save.xlsx")) << forms->MainForm->windowTitle().toStdString();
  QFile::remove(book);
}

namespace {

// What Qt's own item delegate says a column's texts need.
struct DelegateWidth : QTableView {
  static int Of(const QTableView* view, int column) { return (view->*(&DelegateWidth::sizeHintForColumn))(column); }
};

// Every column is at least as wide as Qt's item delegate and header say its
// texts need, so nothing is cut off or elided, and hardly wider.
void ExpectEveryTextWhole(GridView* grid) {
  QHeaderView* header = grid->horizontalHeader();
  for (int c = 0; c < grid->model()->columnCount(); ++c) {
    int needed = std::max(header->defaultSectionSize(), DelegateWidth::Of(grid, c));
    if (!header->isHidden()) needed = std::max(needed, header->sectionSizeHint(c));
    EXPECT_GE(header->sectionSize(c), needed) << "column " << c;
    EXPECT_LE(header->sectionSize(c), needed + 4) << "column " << c;
  }
}

// Drags the right edge of a column's header section by dx pixels, as a user.
void DragColumnEdge(GridView* grid, int column, int dx) {
  QHeaderView* header = grid->horizontalHeader();
  const QPoint edge(header->sectionViewportPosition(column) + header->sectionSize(column) - 1, 9);
  QTest::mousePress(header->viewport(), Qt::LeftButton, {}, edge);
  QTest::mouseMove(header->viewport(), edge + QPoint(dx / 2, 0));
  QTest::mouseMove(header->viewport(), edge + QPoint(dx, 0));
  QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, edge + QPoint(dx, 0));
}

}  // namespace

TEST_F(Windows, ResultsShowEveryFrequencyOfEveryVariantWhole) {
  // Variant 1 finds three frequencies, variant 2 one: all three columns show.
  const TShaftModel shaft = [] {
    TShaftModel m;
    m.KM = 3, m.KZ = 1, m.KW = 2, m.KP = 3;
    m.ComputeSectionX();
    return m;
  }();
  ResultsTables& tables = forms->state.results;
  ResultsWriter writer(tables, forms->state.newForm, shaft, false, nullptr, '.');
  std::vector<State> states(4, State{-5.3885591200123, -0.000123456789012345, 1.11111111111111E15, -1E-5});
  std::vector<double> V(5, 0);
  for (auto [v, k] : {std::pair{1, 1}, {1, 2}, {1, 3}, {2, 1}}) {
    writer.FrequencyEntry(v, k, 1234.56789012345 * k);
    writer.SectionResults(ModeResult{v, k, 12.34 * k, 1234.56789012345 * k, 4, &V, &states});
  }
  forms->OutputForm->Refresh();
  forms->OutputForm->show();
  QApplication::processEvents();
  QAbstractItemModel* frequencies = forms->OutputForm->Grid(1)->model();
  ASSERT_EQ(frequencies->columnCount(), 3);
  EXPECT_EQ(frequencies->data(frequencies->index(0, 2)).toString(), "3703.70367037035");
  EXPECT_EQ(frequencies->data(frequencies->index(1, 2)).toString(), "");
  for (int g = 1; g <= 3; ++g) ExpectEveryTextWhole(forms->OutputForm->Grid(g));
  // The parameter table's corner names its header row.
  GridView* parameters = forms->OutputForm->Grid(3);
  EXPECT_EQ(parameters->Model()->CornerText(), "Номер частоты:");
  EXPECT_GE(parameters->verticalHeader()->width(),
            QFontMetrics(parameters->verticalHeader()->font()).horizontalAdvance("Номер частоты:"));
}

TEST_F(Windows, FittedColumnsHoldAnyTextWhole) {
  // Texts whose character count misleads: narrow dashes and ones, wide
  // capitals and Cyrillic, a narrow minus in front of a long number.
  StringTable table(6, 8);
  std::mt19937 rng(5);
  const std::string pieces[] = {"-", "1", "0", ".", "E", "W", "M", "Ш", "ж", "-----------------", "i", " "};
  for (int c = 0; c < 6; ++c)
    for (int r = 0; r < 8; ++r) {
      std::string text;
      for (int n = rng() % 14; n > 0; --n) text += pieces[rng() % std::size(pieces)];
      table.SetCell(c, r, text);
    }
  const char* const misleading[][3] = {{"-----------------", "-5.3885591200123", "1"},
                                       {"1111111111111", "WWWWWWWW", "-"},
                                       {"--", "ШЖ", "1E-5"}};
  for (int c = 0; c < 3; ++c) {
    table.SetCell(c + 1, 0, "");
    for (int r = 0; r < 3; ++r) table.SetCell(c + 1, r + 1, misleading[c][r]);
  }
  table.SetCell(0, 0, "Номер частоты:");
  QWidget window;
  window.resize(900, 300);
  auto* grid = new GridView(&window, new StringTableModel(&table, 1, 1, false), 20);
  grid->setGeometry(0, 0, 900, 300);
  grid->SetFitToTexts(true);
  window.show();
  grid->Refresh();
  ExpectEveryTextWhole(grid);
  EXPECT_GE(grid->verticalHeader()->width(),
            QFontMetrics(grid->verticalHeader()->font()).horizontalAdvance("Номер частоты:") + 4);
  // An emptied column goes back to the default width, never below it (the
  // Windows style's empty header asks a few pixels more).
  table.SetCell(2, 3, "");
  for (int r = 0; r < 8; ++r) table.SetCell(5, r, "");
  grid->Refresh();
  EXPECT_GE(grid->horizontalHeader()->sectionSize(4), 20);
  EXPECT_LE(grid->horizontalHeader()->sectionSize(4), 24);
}

TEST_F(Windows, ColumnsWidenedByHandKeepTheirWidth) {
  Load("free_free_shaft.txt");
  TMainForm& main = *forms->MainForm;
  GridView* sections = main.Grid(1);
  const int fitted = sections->horizontalHeader()->sectionSize(1);
  DragColumnEdge(sections, 1, 60);
  const int widened = sections->horizontalHeader()->sectionSize(1);
  EXPECT_GT(widened, fitted + 40);
  // Typing a count, leaving it, loading again: the width stays; the others fit.
  QLineEdit* spans = LineOf(main.Spin(Count::Spans));
  spans->selectAll();
  QTest::keyClicks(spans, "3");
  emit main.Spin(Count::Spans)->Left();
  EXPECT_EQ(sections->horizontalHeader()->sectionSize(1), widened);
  Load("free_free_shaft.txt");
  EXPECT_EQ(sections->horizontalHeader()->sectionSize(1), widened);
  EXPECT_EQ(sections->horizontalHeader()->sectionSize(2), fitted);

  // The results window keeps a widened column from one run to the next.
  std::vector<int> widths;
  ModalAnswerer answer([&](QWidget* w) {
    if (w == forms->InputForm.get()) forms->InputForm->ContinueButton()->click();
    if (w == forms->OutputForm.get()) {
      GridView* parameters = forms->OutputForm->Grid(3);
      if (widths.empty()) DragColumnEdge(parameters, 0, 80);
      widths.push_back(parameters->horizontalHeader()->sectionSize(0));
      widths.push_back(parameters->horizontalHeader()->sectionSize(1));
      forms->OutputForm->RepeatButton()->click();
    }
  });
  main.StartButton()->click();
  main.StartButton()->click();
  ASSERT_EQ(widths.size(), 4u);
  EXPECT_EQ(widths[2], widths[0]);
  EXPECT_EQ(widths[3], widths[1]);
  EXPECT_GT(widths[0], widths[1] + 60);
}

namespace {

// Presses Tab from `first` on, as a user, and names where the focus goes: the
// expected widget itself or the inner editor of a spin edit.
void ExpectTabOrder(QWidget* window, const std::vector<QWidget*>& order) {
  window->show();
  QApplication::setActiveWindow(window);
  order.front()->setFocus(Qt::TabFocusReason);
  for (size_t i = 0; i < order.size(); ++i) {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr) << "step " << i;
    EXPECT_TRUE(focus == order[i] || order[i]->isAncestorOf(focus))
        << "step " << i << ": " << focus->metaObject()->className() << " has the focus";
    QTest::keyClick(focus, Qt::Key_Tab);
  }
}

}  // namespace

TEST_F(Windows, TabFollowsTheOrderOfTheControlsOnEveryForm) {
  TMainForm& main = *forms->MainForm;
  ExpectTabOrder(&main, {main.Spin(Count::Supports), main.Spin(Count::Sections), main.Spin(Count::Spans),
                         main.Spin(Count::Variants), main.Edit(3), main.Edit(9), main.Edit(11), main.Edit(12),
                         main.Edit(10), main.Edit(8), main.Grid(3), main.Grid(4), main.Grid(1), main.Grid(2),
                         main.StartButton(), main.ModesCheckBox(), main.LoadButton(), main.RecentButton(), main.SaveButton(),
                         main.CalculatorButton(), main.Spin(Count::Supports)});

  TInputForm& echo = *forms->InputForm;
  ExpectTabOrder(&echo, {echo.Grid(1), echo.Grid(2), echo.Grid(3), echo.Grid(4), echo.ContinueButton(),
                         echo.RepeatButton(), echo.Grid(1)});
  echo.hide();

  main.CalculatorButton()->click();
  TMainFormJestk& calc = *forms->MainFormJestk;
  calc.DiscsCheckBox()->setChecked(true);
  ExpectTabOrder(&calc, {calc.Spin(JestkCount::Sections), calc.ModulusEdit(), calc.BoreEdit(), calc.UnitsBox(),
                         calc.DiscsCheckBox(),
                         calc.Spin(JestkCount::Discs), calc.Grid(2), calc.Grid(3), calc.Grid(1), calc.Grid(4),
                         calc.CalculateButton(), calc.TransferButton(), calc.ReturnButton(),
                         calc.Spin(JestkCount::Sections)});
  calc.hide();

  TOutputForm& results = *forms->OutputForm;
  ExpectTabOrder(&results, {results.Grid(1), results.ContinuousGrid(), results.ExitButton(), results.RepeatButton(), results.Grid(2),
                            results.Grid(3), results.PrintButton(), results.PdfButton(), results.ExportButton()});
  results.hide();

  TNewForm& shape = *forms->NewForm;
  ExpectTabOrder(&shape, {shape.Grid(), shape.Chart1(), shape.NextButton(), shape.NoMoreCheckBox(), shape.PrintButton(),
                          shape.PdfButton(), shape.Grid()});
  shape.hide();
}

TEST_F(Windows, TheMainFormOpensCentredOnTheDesktopAndTheOthersOnIt) {
  TMainForm& main = *forms->MainForm;
  const QRect desktop = main.screen()->availableGeometry();
  const QRect frame = main.frameGeometry();
  EXPECT_NEAR(frame.center().x(), desktop.center().x(), 1);
  // Taller than the desktop: the title bar stays on it; otherwise centred.
  if (frame.height() > desktop.height())
    EXPECT_EQ(frame.top(), desktop.top());
  else
    EXPECT_NEAR(frame.center().y(), desktop.center().y(), 1);

  main.move(desktop.topLeft() + QPoint(40, 30));
  main.CalculatorButton()->click();
  const QRect calc = forms->MainFormJestk->frameGeometry();
  EXPECT_NEAR(calc.center().x(), main.geometry().center().x(), 1);
  EXPECT_NEAR(calc.center().y(), main.geometry().center().y(), 1);
}

TEST_F(Windows, ClosingTheMainFormEndsTheProgramWhileTheCalculatorIsOpen) {
  forms->MainForm->CalculatorButton()->click();
  ASSERT_TRUE(forms->MainFormJestk->isVisible());
  QTimer::singleShot(0, forms->MainForm.get(), &QWidget::close);
  QTimer watchdog;
  watchdog.setSingleShot(true);
  bool stuck = false;
  QObject::connect(&watchdog, &QTimer::timeout, [&] {
    stuck = true;
    QApplication::exit(1);
  });
  watchdog.start(5000);
  EXPECT_EQ(QApplication::exec(), 0);
  watchdog.stop();
  EXPECT_FALSE(stuck);
  EXPECT_FALSE(forms->MainForm->isVisible());
  EXPECT_FALSE(forms->MainFormJestk->isVisible());
}

TEST_F(Windows, DestroyingTheFormsWhileASpinEditHasTheFocusRunsNoHandler) {
  // The sanitizer build checks that nothing reaches a half-destroyed form.
  forms->MainForm->Spin(Count::Sections)->setFocus();
  LineOf(forms->MainForm->Spin(Count::Sections))->setText("500");
  forms->MainForm->CalculatorButton()->click();
  QApplication::setActiveWindow(forms->MainFormJestk.get());
  forms->MainFormJestk->Spin(JestkCount::Sections)->setFocus();
  forms.reset();
}

namespace {

// Every grid of every window: the dialogs are the main form's children.
QList<GridView*> AllGrids(Forms& forms) {
  return forms.MainForm->findChildren<GridView*>() + forms.MainFormJestk->findChildren<GridView*>();
}

}  // namespace

// Qt's model tester holds every grid's table model to the item-model contract
// (a breach aborts the test) through counts, a load, edits, two runs with the
// mode shapes and the calculator; every grid changes on the way.
TEST_F(Windows, EveryGridKeepsTheItemModelContract) {
  const QList<GridView*> grids = AllGrids(*forms);
  ASSERT_EQ(grids.size(), 19);
  QObject counting;
  std::vector<int> changes(grids.size());
  for (int g = 0; g < grids.size(); ++g) {
    QAbstractItemModel* model = grids[g]->model();
    new QAbstractItemModelTester(model, QAbstractItemModelTester::FailureReportingMode::Fatal, model);
    QObject::connect(model, &QAbstractItemModel::modelReset, &counting, [&changes, g] { ++changes[g]; });
    QObject::connect(model, &QAbstractItemModel::dataChanged, &counting, [&changes, g] { ++changes[g]; });
  }
  TMainForm& main = *forms->MainForm;
  for (Count c : {Count::Supports, Count::Sections, Count::Spans}) Type(main.Spin(c), "3");
  main.Spin(Count::Variants)->stepBy(2);
  Load("rotor_two_bearings.txt");
  for (int g = 1; g <= 4; ++g) {  // an edit and its undoing
    QAbstractItemModel* model = main.Grid(g)->model();
    const QVariant text = model->data(model->index(0, 0));
    for (const QVariant& typed : {QVariant("1"), text}) model->setData(model->index(0, 0), typed, Qt::EditRole);
  }
  main.ModesCheckBox()->setChecked(true);
  ModalAnswerer answer([&](QWidget* w) {
    if (w == forms->InputForm.get()) forms->InputForm->ContinueButton()->click();
    if (w == forms->NewForm.get()) forms->NewForm->NextButton()->click();
    if (w == forms->OutputForm.get()) forms->OutputForm->RepeatButton()->click();
  });
  main.StartButton()->click();
  main.Spin(Count::Variants)->stepBy(-1);  // smaller tables the second time
  main.StartButton()->click();

  main.CalculatorButton()->click();
  TMainFormJestk& calc = *forms->MainFormJestk;
  calc.DiscsCheckBox()->setChecked(true);
  calc.Spin(JestkCount::Discs)->stepBy(1);
  QTest::keyClicks(calc.ModulusEdit(), "2E11");
  QTest::keyClicks(calc.BoreEdit(), "0");
  for (int g = 1; g <= 3; ++g) {
    QAbstractItemModel* row = calc.Grid(g)->model();
    for (int c = 0; c < row->columnCount(); ++c) row->setData(row->index(0, c), g == 3 ? "0.01" : "1", Qt::EditRole);
  }
  calc.CalculateButton()->click();
  calc.TransferButton()->click();
  for (int g = 0; g < grids.size(); ++g)
    EXPECT_GT(changes[g], 0) << grids[g]->window()->windowTitle().toStdString() << ", grid " << g;
}

// A refused input leaves every model as it was and no grid signals anything:
// no reset, so a view keeps its current cell, selection and widths.
TEST_F(Windows, RefusedInputsChangeNoModelAndSignalNothing) {
  Load("rotor_two_bearings.txt");
  TMainForm& main = *forms->MainForm;
  main.CalculatorButton()->click();
  TMainFormJestk& calc = *forms->MainFormJestk;
  const std::string dir = test::FreshDir("refusals");
  auto load = [&](const std::string& path) {
    return [&main, path] {
      main.SetFileChooser([path] { return QString::fromStdString(path); });
      main.LoadButton()->click();
    };
  };
  QAbstractItemModel* stiffness = main.Grid(2)->model();
  struct Refusal {
    const char* what;
    std::function<void()> prepare, act;
  };
  const Refusal refusals[] = {
      // (Which files the loader refuses, and that it leaves the form, its own tests show.)
      {"a missing file", {}, load(dir + "/missing.txt")},
      {"a file choice cancelled", {}, load("")},
      {"an input file that cannot be written",
       {},
       [&] {
         main.SetSaveFileChooser([&] { return QString::fromStdString(dir + "/none/input.txt"); });
         main.SaveButton()->click();
       }},
      {"a calculation with a letter for a stiffness",
       [&] { stiffness->setData(stiffness->index(0, 0), "x", Qt::EditRole); },
       [&] { main.StartButton()->click(); }},
      {"a count's letter typed again", [&] { Type(main.Spin(Count::Spans), "x"); },
       [&] { Type(main.Spin(Count::Spans), "x"); }},
      {"a count left within its limits", {}, [&] { emit main.Spin(Count::Sections)->Left(); }},
      {"a count stepped below its limit", {}, [&] { calc.Spin(JestkCount::Discs)->stepBy(-1); }},
      {"the calculator without a bore", {}, [&] { calc.CalculateButton()->click(); }},
      {"the calculator's count typed again", [&] { Type(calc.Spin(JestkCount::Sections), "x"); },
       [&] { Type(calc.Spin(JestkCount::Sections), "x"); }},
  };
  int messages = 0;
  ModalAnswerer answer([&](QWidget* w) { messages += !MessageText(w).isEmpty(); });
  const QList<GridView*> grids = AllGrids(*forms);
  // The main form's and the calculator's models, and the other windows' tables.
  auto models = [&] {
    std::vector<StringTable> tables;
    for (GridView* grid : grids) tables.push_back(*grid->Model()->Table());
    return std::tuple(forms->state.form, forms->jestk, tables);
  };
  for (const Refusal& refusal : refusals) {
    if (refusal.prepare) refusal.prepare();
    const auto before = models();
    std::vector<std::unique_ptr<test::ModelSpies>> spies;
    for (GridView* grid : grids) spies.push_back(std::make_unique<test::ModelSpies>(grid->model()));
    refusal.act();
    EXPECT_TRUE(models() == before) << refusal.what;
    for (int g = 0; g < grids.size(); ++g) EXPECT_EQ(spies[g]->Caught(), "") << refusal.what << ", grid " << g;
  }
  EXPECT_EQ(messages, 4);  // each failure says why
}

int main(int argc, char** argv) { return test::RunWindowTests(argc, argv); }

TEST_F(Windows, TheFrequencyMapDrawsOneLinePerOrdinalAndMarksChangedShapes) {
  // The steel rotor, bearings from 1e7 to 1e9 in six variants: two branches veer.
  ProgramState& st = forms->state;
  st.form = test::SteelRotorForm({1e7, 2.5e7, 6.3e7, 1.6e8, 4e8, 1e9}, 6);
  test::RunToResults(st);
  TOutputForm& out = *forms->OutputForm;
  out.Refresh();
  out.show();
  QApplication::processEvents();  // a chart drawn anew lays out its legend
  EXPECT_TRUE(out.PrintMapButton()->isVisible());
  int lowMacPoints = 0;
  for (QAbstractSeries* series : out.MapChart()->series())
    if (series->name().startsWith("форма изменилась")) lowMacPoints = static_cast<QXYSeries*>(series)->count();
  const QString changed = QString("форма изменилась (MAC ниже 0") + QChar(DecimalSeparator()) + "8)";
  ASSERT_NE(LegendOf(out.MapChart()), nullptr);
  EXPECT_EQ(LegendOf(out.MapChart())->Labels(), QStringList({"№ 1", "№ 2", "№ 3", "№ 4", changed}));
  EXPECT_GE(lowMacPoints, 2);  // at least the veering pair
  // Each line's points rise from variant to variant.
  for (QAbstractSeries* series : out.MapChart()->series()) {
    auto* line = qobject_cast<QLineSeries*>(series);
    if (!line) continue;
    for (int i = 1; i < line->count(); ++i) {
      EXPECT_EQ(line->at(i).x(), line->at(i - 1).x() + 1);
      EXPECT_GT(line->at(i).y(), line->at(i - 1).y());
    }
  }
  // No frequency with an ordinal of its own: no map either.
  for (VariantResult& v : st.summary.variants) v.completeness.ordinals.assign(v.modes.size(), 0);
  out.Refresh();
  EXPECT_FALSE(out.PrintMapButton()->isVisible());
  EXPECT_TRUE(out.MapChart()->series().isEmpty());
  out.hide();
}

TEST_F(Windows, BothMapsShowTheirFrequenciesInTheUnitChosenBesideThem) {
  ProgramState& st = forms->state;
  st.form = test::SteelRotorForm({1e8, 1e9}, 2);
  test::RunToResults(st);
  TOutputForm& out = *forms->OutputForm;
  out.Refresh();
  forms->StiffnessMapOfRun();
  TStiffnessMapForm& stiff = *forms->StiffnessMapForm;
  stiff.Fill();
  const double F = st.summary.variants.at(0).modes.at(0).F, curveF = stiff.Model().Chart().curves.at(0).F.at(0);
  struct Case {
    int choice;
    const char* title;
    double scale;  // of a reported frequency, 100 omega
  } const cases[] = {{0, "Частота, P", 1}, {1, "Частота, Гц (при единицах СИ)", 1 / (200 * M_PI)},
                        {2, "Частота, об/мин (при единицах СИ)", 60 / (200 * M_PI)}};
  for (const Case& c : cases) {
    out.MapUnitBox()->setCurrentIndex(c.choice);
    stiff.UnitBox()->setCurrentIndex(c.choice);
    for (QChart* chart : {out.MapChart(), stiff.Chart()}) {
      ASSERT_EQ(chart->axes(Qt::Vertical).size(), 1);
      EXPECT_EQ(chart->axes(Qt::Vertical).at(0)->titleText(), c.title);
    }
    EXPECT_NEAR(static_cast<QXYSeries*>(out.MapChart()->series().at(0))->at(0).y(), F * c.scale, 1e-9 * F);
    EXPECT_NEAR(static_cast<QXYSeries*>(stiff.Chart()->series().at(0))->at(0).y(), curveF * c.scale, 1e-9 * curveF);
  }
}
