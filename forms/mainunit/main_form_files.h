#pragma once
// The main form's input in files without its window: "Загрузить из файла",
// "Сохранить в файл", Ctrl+S and the question on closing, with what each asks
// and tells on the way. The window answers through message boxes, tests
// through fakes.

#include <string>

#include "calculation_run.h"

namespace vp {

// The questions and messages of loading and saving the input, all on the
// thread that shows the main form.
class InputFileUi : public MessageSink {
 public:
  enum class Answer { Yes, No, Cancel };

  // A question answered "Да" (true) or "Нет".
  virtual bool Ask(const std::string& question) = 0;
  // A question answered "Да", "Нет" or "Отмена".
  virtual Answer AskOrCancel(const std::string& question) = 0;
  // Where to save the input; empty when the user cancels.
  virtual std::string ChooseSaveFile() = 0;
  // The input was loaded from `path` or saved into it (ProgramState::inputFile
  // names it now).
  virtual void FileTaken(const std::string& path) = 0;
  // A load was tried: the form holds what it left there, before any message
  // about it is shown.
  virtual void FormLoaded() = 0;
};

// Loads the file into the main form. A text file written with the other
// decimal separator is read so when the user agrees; a failure is shown, and
// after a load what it found (empty cells read as 0, formulas out of date).
// True when the form holds the file's input.
bool LoadInput(ProgramState& state, const std::string& path, char decimalSeparator, InputFileUi& ui);

// Saves the main form's input into `path`. A text file cannot hold more than
// two variants: a workbook of the same name is offered instead. A failure is
// shown. True when the input was saved.
bool SaveInput(ProgramState& state, std::string path, char decimalSeparator, InputFileUi& ui);

// "Сохранить в файл": into the file the user chooses.
bool SaveInputAs(ProgramState& state, char decimalSeparator, InputFileUi& ui);

// Ctrl+S: into the file the input came from, or where the user chooses when
// there is none (or it is an .xls file). True when the input was saved.
bool SaveToCurrentFile(ProgramState& state, char decimalSeparator, InputFileUi& ui);

// Closing the main form: an input edited since its file was loaded or saved
// is saved first (Ctrl+S) when the user says so. False keeps the form open:
// "Отмена", or a save that did not happen.
bool MayClose(ProgramState& state, char decimalSeparator, InputFileUi& ui);

}  // namespace vp
