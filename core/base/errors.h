#pragma once
// Error types shared by every unit. Each carries the text that is shown to the user.

#include <stdexcept>
#include <string>
#include <system_error>

namespace vp {

// Any failure whose own text is shown by the general error reporter.
class AppError : public std::runtime_error {
 public:
  explicit AppError(const std::string& message) : std::runtime_error(message) {}
};

// A text that is not a valid integer or floating point value.
class ConversionError : public AppError {
 public:
  using AppError::AppError;
};

// A fault of the calculation itself: a zero pivot, a division by zero, an overflow.
class CalcError : public AppError {
 public:
  using AppError::AppError;
};

// The user stopped a long calculation.
class CancelledError : public AppError {
 public:
  using AppError::AppError;
};

// Why the system refused a file operation, in Russian, as a sentence without
// the final period ("Нет места на диске", "Это папка", "Нет прав доступа").
std::string SystemReason(std::error_code error);

}  // namespace vp
