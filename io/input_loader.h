#pragma once
// "Загрузить из файла": fills the main form from a text file or a workbook,
// as a user would type the values. A failed load changes nothing.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "errors.h"
#include "main_form_model.h"

namespace vp {

// The extension of an input file's name in small letters ("input.TXT" gives
// ".txt"); "" for none.
std::string InputFileExtension(const std::string& path);

// 1-based position of the first occurrence of pattern in text at or after
// start, or 0 (a Boyer-Moore-Horspool search over bytes).
int BMSearch(int start, std::string_view text, std::string_view pattern);

// Loads the file chosen by the user into the form. The extension, in small or
// capital letters, decides: ".txt" is the text format, ".xls" and ".xlsx" are
// workbooks, anything else is ErrorCode::WrongFileFormat. Only a regular file
// (or a link to one) is read. A failure is returned and leaves the form as it
// was. A workbook's active sheet that holds none of the counts B1..B5 is
// refused (ErrorCode::SheetWithoutCounts). After a load, `warnings` (when
// given) lists the empty cells read as 0 and the formulas whose saved results
// the workbook marks as out of date.
// A text file's numbers are read with `fileSeparator` when it is given (the
// file was written with the other decimal separator) and written into the
// form with `decimalSeparator`.
[[nodiscard]] std::optional<Error> LoadInputFile(const std::string& path, TMainFormModel& form, char decimalSeparator,
                                                 std::vector<Warning>* warnings = nullptr, char fileSeparator = 0);

// The text branch on the file's contents, into the given form (what was read
// before a failure stays). A UTF-8 byte-order mark at the start is skipped. A
// real value that reads only with the other decimal separator fails with
// ErrorCode::TextSeparator, whose detail starts with the separator the file uses.
[[nodiscard]] std::optional<Error> LoadInputText(std::string_view contents, TMainFormModel& form, char decimalSeparator);

}  // namespace vp
