#pragma once
// "Сохранить в файл": the main form's input written so that loading the file
// back fills the form again: a text file in the loader's format or an .xlsx
// workbook whose active sheet has the input layout. The file appears only when
// it is complete: it is written beside the target and renamed into place.

#include <string>

#include "errors.h"
#include "main_form_model.h"

namespace vp {

// The text format holds at most two stiffness variants.
class TooManyVariantsForText : public AppError {
 public:
  using AppError::AppError;
};

// By the extension: ".txt" or ".xlsx", as the loader reads them. Anything else, or a
// failure, throws AppError with its reason; TooManyVariantsForText for a text
// file of three or more variants.
void SaveInputFile(const TMainFormModel& form, const std::string& path, char decimalSeparator);

// The cell texts as they stand (trimmed), so that they load back as typed.
void SaveInputText(const TMainFormModel& form, const std::string& path);

// Numbers as numbers: every text must convert, as for a calculation.
void SaveInputWorkbook(const TMainFormModel& form, const std::string& path, char decimalSeparator);

}  // namespace vp
