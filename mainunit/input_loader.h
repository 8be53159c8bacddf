#pragma once
// "Загрузить из файла": fills the main form from a text file or a workbook,
// as a user would type the values. A failed load changes nothing.

#include <string>
#include <string_view>

#include "main_form_model.h"

namespace vp {

// 1-based position of the first occurrence of pattern in text at or after
// start, or 0 (a Boyer-Moore-Horspool search over bytes).
int BMSearch(int start, std::string_view text, std::string_view pattern);

// Loads the file chosen by the user into the form. The extension decides:
// ".txt" is the text format, ".xls" and ".xlsx" are workbooks, anything else
// (capitals included) fails with "Неверный формат файла". Every failure throws
// AppError with its own text and leaves the form as it was.
void LoadInputFile(const std::string& path, TMainFormModel& form, char decimalSeparator);

// The text branch on the file's contents, into the given form.
void LoadInputText(std::string_view contents, TMainFormModel& form, char decimalSeparator);

inline constexpr const char* kWrongFileFormat = "Неверный формат файла";

}  // namespace vp
