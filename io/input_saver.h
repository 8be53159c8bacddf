#pragma once
// "Сохранить в файл": the main form's input written so that loading the file
// back fills the form again: a text file in the loader's format or an .xlsx
// workbook whose active sheet has the input layout. The file appears only when
// it is complete: it is written beside the target and renamed into place.

#include <optional>
#include <string>

#include "errors.h"
#include "main_form_model.h"

namespace vp {

// By the extension: ".txt" or ".xlsx", as the loader reads them. Anything else
// is ErrorCode::SaveUnknownType. A text file keeps the cell texts as they stand
// (trimmed), so that they load back as typed, and holds at most two stiffness
// variants (ErrorCode::SaveTooManyVariants); a workbook holds numbers, so every
// text must convert, as for a calculation. A failure is returned, and leaves
// any existing file as it was.
[[nodiscard]] std::optional<Error> SaveInputFile(const TMainFormModel& form, const std::string& path, char decimalSeparator);

}  // namespace vp
