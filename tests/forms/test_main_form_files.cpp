// Loading and saving the main form's input without its window: what is asked
// and told, in order, and what the form and the state hold after it.

#include <gtest/gtest.h>

#include <filesystem>

#include "input_loader.h"
#include "main_form_files.h"
#include "messages.h"
#include "output_files.h"
#include "workbook_writer.h"

using namespace vp;

namespace {

// Answers as told and records every step, in order.
struct FakeFileUi : InputFileUi {
  bool yes = true;
  Answer answer = Answer::Yes;
  std::string chosen;
  std::vector<std::string> steps;

  bool Ask(const std::string& question) override { return steps.push_back("ask " + question), yes; }
  Answer AskOrCancel(const std::string& question) override { return steps.push_back("ask " + question), answer; }
  std::string ChooseSaveFile() override { return steps.push_back("choose"), chosen; }
  void FileTaken(const std::string& path) override { steps.push_back("taken " + path); }
  void FormLoaded() override { steps.push_back("loaded"); }
  void ShowMessage(const std::string& text) override { steps.push_back("message " + text); }
};

std::string Example(const char* name) { return std::string(VP_EXAMPLES_DIR) + "/" + name; }

}  // namespace

// A text file with the other decimal separator is read with it when the user
// agrees; what a workbook's load found is told after the form shows it; a
// failure is told and takes no file.
TEST(MainFormFiles, LoadingAsksAboutTheSeparatorAndTellsWhatItFound) {
  const std::string book = test::TempPath("count.XLSX");
  WorkbookWriter writer(book);  // N alone
  writer.AddWorksheet("Данные").WriteNumber(1, 2, 1);
  writer.Save();
  const std::string text = Example("rotor_two_bearings.txt");
  const std::string empty = "Лист «Данные»: пустые ячейки B2, B3, B4, B5, B6, B7, B8, B9, B10, B11 и еще 5 прочитаны как 0";
  const struct {
    std::string file;
    bool yes;
    std::vector<std::string> steps;
    std::string length;  // section 1's, "" where nothing was loaded
  } cases[] = {
      {text, true, {"ask " + SeparatorQuestion('.'), "taken " + text, "loaded"}, "0,05 "},
      {text, false, {"ask " + SeparatorQuestion('.')}, ""},
      {book, true, {"taken " + book, "loaded", "message " + empty}, "0"},
      {"input.dat", true, {"loaded", "message Неверный формат файла"}, ""},
  };
  for (const auto& c : cases) {
    ProgramState state;
    FakeFileUi ui;
    ui.yes = c.yes;
    EXPECT_EQ(LoadInput(state, c.file, ',', ui), !c.length.empty()) << c.file;
    EXPECT_EQ(ui.steps, c.steps);
    EXPECT_EQ(state.form.StringGrid1.Cell(1, 1), c.length);
    EXPECT_EQ(state.inputFile, c.length.empty() ? "" : c.file);
  }
}

// A text file holds two variants at most: the workbook of the same name is
// offered, and saved only when the user agrees.
TEST(MainFormFiles, SavingThreeVariantsAsTextOffersTheWorkbook) {
  const std::string text = test::TempPath("save.txt"), book = test::TempPath("save.xlsx");
  const std::string question = "ask В текстовом файле помещаются не более двух вариантов жесткости опор, а их 3. "
                               "Сохраните исходные данные в рабочую книгу (.xlsx).\n\nСохранить в рабочую книгу \"" +
                               book + "\"?";
  for (bool yes : {false, true}) {
    ProgramState state;
    ASSERT_FALSE(LoadInputFile(Example("free_free_shaft.txt"), state.form, '.'));
    state.form.SetSpinValue(Count::Variants, 3);
    for (int v = 2; v <= 3; ++v) state.form.StringGrid2.SetCell(v, 1, "0");
    FakeFileUi ui;
    ui.yes = yes;
    ui.chosen = text;
    EXPECT_EQ(SaveInputAs(state, '.', ui), yes);
    std::vector<std::string> steps{"choose", question};
    if (yes) steps.push_back("taken " + book);
    EXPECT_EQ(ui.steps, steps);
    EXPECT_FALSE(std::filesystem::exists(text));
    EXPECT_EQ(std::filesystem::exists(book), yes);
    EXPECT_EQ(state.inputFile, yes ? book : "");
  }
}

// Closing asks only about an edited input; "Да" saves it into its own file,
// or where the user chooses when it came from none or from an .xls file.
TEST(MainFormFiles, ClosingAsksToSaveAnEditedInput) {
  const std::string file = test::TempPath("close.txt");
  const std::string ask = "ask Исходные данные изменены и не сохранены. Сохранить их?";
  using Answer = InputFileUi::Answer;
  const struct {
    bool edited;
    std::string inputFile;
    Answer answer;
    bool closes;
    std::vector<std::string> steps;
  } cases[] = {
      {false, file, Answer::Cancel, true, {}},
      {true, file, Answer::Cancel, false, {ask}},
      {true, file, Answer::No, true, {ask}},
      {true, file, Answer::Yes, true, {ask, "taken " + file}},
      {true, "input.xls", Answer::Yes, false, {ask, "choose"}},
      {true, "", Answer::Yes, false, {ask, "choose"}},
  };
  for (const auto& c : cases) {
    std::filesystem::remove(file);
    ProgramState state;
    state.inputFile = c.inputFile;
    if (c.edited) state.form.Edit3 = "3";
    FakeFileUi ui;
    ui.answer = c.answer;
    EXPECT_EQ(MayClose(state, '.', ui), c.closes) << c.inputFile;
    EXPECT_EQ(ui.steps, c.steps);
    EXPECT_EQ(std::filesystem::exists(file), c.steps.size() == 2 && c.steps[1] != "choose");
  }
}
