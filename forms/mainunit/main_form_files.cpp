#include "main_form_files.h"

#include <optional>
#include <vector>

#include "errors.h"
#include "input_loader.h"
#include "input_saver.h"
#include "messages.h"

namespace vp {

namespace {

// The form's input now comes from `path`.
void Take(ProgramState& state, const std::string& path, InputFileUi& ui) {
  state.inputFile = path;  // the documents name it
  state.fileForm = state.form;
  ui.FileTaken(path);
}

}  // namespace

bool LoadInput(ProgramState& state, const std::string& path, char sep, InputFileUi& ui) {
  std::vector<Warning> warnings;
  std::optional<Error> error = LoadInputFile(path, state.form, sep, &warnings);
  // A text file written where the other decimal separator is used (the
  // examples, with '.', on a PC with ','): read it so when the user agrees.
  if (error && error->code == ErrorCode::TextSeparator) {
    const char fileSep = error->detail.at(0);
    if (!ui.Ask(SeparatorQuestion(fileSep))) return false;
    error = LoadInputFile(path, state.form, sep, &warnings, fileSep);
  }
  if (!error) Take(state, path, ui);
  ui.FormLoaded();
  if (error) {
    ui.ShowMessage(Message(*error));
    return false;
  }
  if (!warnings.empty()) {
    std::string text;
    for (const Warning& warning : warnings) text += (text.empty() ? "" : "\n\n") + Message(warning);
    ui.ShowMessage(text);
  }
  return true;
}

bool SaveInput(ProgramState& state, std::string path, char sep, InputFileUi& ui) {
  std::optional<Error> error = SaveInputFile(state.form, path, sep);
  if (error && error->code == ErrorCode::SaveTooManyVariants) {
    const std::string book = path.substr(0, path.size() - InputFileExtension(path).size()) + ".xlsx";
    if (!ui.Ask(Message(*error) + "\n\nСохранить в рабочую книгу \"" + book + "\"?")) return false;
    path = book;
    error = SaveInputFile(state.form, path, sep);
  }
  if (error) {
    ui.ShowMessage(Message(*error));
    return false;
  }
  Take(state, path, ui);
  return true;
}

bool SaveInputAs(ProgramState& state, char sep, InputFileUi& ui) {
  const std::string path = ui.ChooseSaveFile();
  return !path.empty() && SaveInput(state, path, sep, ui);
}

bool SaveToCurrentFile(ProgramState& state, char sep, InputFileUi& ui) {
  const std::string extension = InputFileExtension(state.inputFile);
  // An .xls file or none: where to save is asked.
  if (extension != ".txt" && extension != ".xlsx") return SaveInputAs(state, sep, ui);
  return SaveInput(state, state.inputFile, sep, ui);
}

bool MayClose(ProgramState& state, char sep, InputFileUi& ui) {
  if (!state.InputEdited()) return true;
  switch (ui.AskOrCancel("Исходные данные изменены и не сохранены. Сохранить их?")) {
    case InputFileUi::Answer::Yes: return SaveToCurrentFile(state, sep, ui);
    case InputFileUi::Answer::No: return true;
    case InputFileUi::Answer::Cancel: break;
  }
  return false;
}

}  // namespace vp
