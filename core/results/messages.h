#pragma once
// The Russian sentence of every error value: the one place where what the
// model, the solver and the files' readers and writers report is put into words.

#include <exception>
#include <string>
#include <system_error>

#include "errors.h"

namespace vp {

std::string Message(const Error& error);
// A finding that did not stop the operation.
std::string Message(const Warning& warning);

// Asked when a text file's numbers use the other decimal separator than the
// system's: "Файл записан с десятичной точкой. Прочитать его так?".
std::string SeparatorQuestion(char fileSeparator);

// The text of any failure: an error value's sentence, or an exception's own text.
std::string MessageOf(const std::exception& exception);
// An error value's code name; "" for another exception.
const char* CodeOf(const std::exception& exception);

// Why the system refused a file operation, as a sentence without the final
// period ("Нет места на диске", "Это папка", "Нет прав доступа").
std::string SystemReason(std::error_code error);

}  // namespace vp
