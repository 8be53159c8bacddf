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

namespace vp {

// What went wrong, as a value: a kind and the data it names. The solver and
// the files' readers and writers hand these up; the Russian sentence of each
// kind is written in one place (Message, messages.h in the results layer).
enum class ErrorCode {
  // The shaft as cross-sections.
  NoSpanOnShaft,             // no span closes on the shaft
  NoSuchVariant,             // number: the variant
  SectionLength,             // number: the section; value: its length (negative or no number)
  SectionMass,               // number: the section; value: its mass
  SectionStiffness,          // number: the section; value: its EI (length above 0, EI not above 0)
  SectionBeyondArithmetic,   // number: the section: its EI / l^3 leaves the range of the method's numbers
  SupportStiffnessNotFinite, // number: the support
  NegativeSupportStiffness,  // number: the support; value: its stiffness
  MasslessPartsFree,         // a part of the shaft moves freely without mass
  // The critical-speed map.
  MapLowBound,               // value: the lower support stiffness (not above 0)
  MapHighBound,              // value: the upper support stiffness (not above the lower)
  MapHighNotFinite,          // value: the upper support stiffness
  MapPoints,                 // number: the points asked for (not 2..1000)
  MapOrdinals,               // number: the frequencies asked for (not 1..100)
  MapNoPositiveStiffness,    // no variant has a support of positive stiffness
  MapFrequenciesLost,        // the shaft's frequencies were not found at every stiffness
};

struct Error {
  ErrorCode code{};
  int number = 0;     // the section, support, span, variant or line named
  double value = 0;   // the value at fault
  std::string text;   // the text, field or file named

  bool operator==(const Error&) const = default;
};

// The kind's stable name, for programs that read the batch command's output
// ("section_mass").
const char* CodeName(ErrorCode code);

}  // namespace vp
