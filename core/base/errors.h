#pragma once
// Errors: exceptions whose text is shown as it is, and errors as values.

#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

namespace vp {

// Any failure whose own text is shown by the general error reporter.
class AppError : public std::runtime_error {
 public:
  explicit AppError(const std::string& message) : std::runtime_error(message) {}
};

// A fault of the stiffness calculator's arithmetic: a division by zero, an overflow.
class CalcError : public AppError {
 public:
  using AppError::AppError;
};

}  // namespace vp

namespace vp {

// What went wrong, as a value: a kind and the data it names. The solver and
// the files' readers and writers hand these up; the Russian sentence of each
// kind is written in one place (Message, messages.h in the results layer).
enum class ErrorCode {
  // A text that is no number (text: the text).
  NotInteger,
  NotReal,
  // The main form read into the model (field: the field or item; text: its text).
  FieldNotInteger,
  FieldNotReal,  // detail: the decimal separator in use, when the text is a number with the other
  // The search's limits (text: the value at fault, as written; number: KP).
  StepNotPositive,           // FT1
  PrecisionNotPositive,      // EPSF
  PrecisionTooLarge,         // EPSF
  StartTooLarge,             // F1
  UpperTooLarge,             // FK
  UpperBelowStart,           // text: FK; detail: F1
  TooManyFrequencies,        // number: KP
  SpanEndOutOfRange,         // number: the span; text: its end; detail: KM
  SpanEndNotIncreasing,      // number: the span; text: its end; detail: the previous span's end
  SectionNegative,           // field: the section's length or EI; text: its value as written
  // Findings that do not stop a run.
  NegativeMass,              // number: the first such section; text: its mass; value: how many there are
  InactiveSupport,           // number: the support; text: its cross-section; detail: E, the last span end
  TransferShrinks,           // the calculator's transfer: number: the new section count; text: the old one
  // The frequency search.
  ProblemSize,               // the counts exceed the solver's tables
  TrialArithmetic,           // number: the variant; text: the trial frequency as reported
  SectionZeroStiffness,      // number: the section
  SectionArithmetic,         // number: the section (length and EI make no coefficients)
  MatrixOrder,               // the characteristic matrix's order beyond the tables
  ModeShapeArithmetic,
  ModeShapeZero,             // the mode has no deflection anywhere
  Interrupted,               // stopped on request
  RunStoppedPartly,          // stopped with results: number: the variants finished; value: KW; detail: "1" when the next has some
  RunTooLong,                // stopped at the batch command's time limit (text: the limit in seconds)
  EstimateTooLong,           // not started: estimated beyond that limit (text: the limit in seconds)
  EstimateBeyondHour,        // not started: no limit given and estimated beyond an hour (text: the estimate)
  // Anything else that went wrong (text: what).
  Unexpected,
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
  // Reading an input file (text: the file).
  WrongFileFormat,           // neither .txt, .xls nor .xlsx
  FileOpen,                  // system: why
  FileIsFolder,
  FileNotRegular,            // a device or a pipe
  FileTooLarge,
  FileRead,                  // system: why
  // The text format (number: the line; field: the item on it; text: the value).
  TextUnicode,               // UTF-16 or UTF-32
  TextTooFewLines,           // number: the lines there are
  TextSeparator,             // detail: the separator the file uses, then the one expected
  TextNotInteger,
  TextNotReal,
  // Workbooks (text: the file; detail: what the reader found).
  WorkbookOpen,
  NotWorkbook,
  WorkbookDamaged,
  WorkbookEncrypted,
  WorkbookOldFormat,         // Excel 5.0/95
  WorkbookNoWorksheet,
  WorkbookTooLarge,
  // A cell of the input sheet (field: the cell; detail: the sheet; text: its value as shown).
  CellNotNumber,
  CellNotInteger,
  CellBeyondInteger,
  CellUncalculated,          // a formula saved without its value
  SheetWithoutCounts,        // the sheet read holds none of the counts B1..B5 (detail: the sheet)
  // Saving the input (field: the item; text: the value).
  SaveValueWithBlank,
  SaveTooManyVariants,       // number: the variants (the text format holds two)
  SaveUnknownType,           // neither .txt nor .xlsx
  // Writing a file whole (text: the file as named).
  WriteNoName,
  WriteProtected,
  WriteBadName,              // not in the system's encoding
  WriteIsFolder,
  WriteNotRegular,
  WriteNoFolder,
  WriteSystem,               // system: why
  WriteVanished,             // the new file was removed while being written
  WriteIncomplete,           // the written file is shorter than what was written
  WorkbookWrite,             // text: the file; detail: what the workbook library said
  // Printing (text: what the printer said).
  PrintFailed,
};

// Where on a form the error is: a grid's cell (grid: its number on the form,
// col and row: the cell) or an edit field (field: its number); grid and field
// 0: nowhere.
struct FormPlace {
  int grid = 0, col = 0, row = 0, field = 0;
  bool operator==(const FormPlace&) const = default;
};

struct Error {
  ErrorCode code{};
  int number = 0;          // the section, support, span, variant, line or count named
  double value = 0;        // the value at fault
  std::string field;       // the item or cell named ("опора 2", "B11")
  std::string text;        // the text at fault, or the file named
  std::string detail;      // what more was found (a reader's finding, a sheet, a separator)
  std::error_code system;  // the system's reason
  FormPlace place;         // the form's cell or field that holds the text at fault

  bool operator==(const Error&) const = default;
};

// The kind's stable name, for programs that read the batch command's output
// ("section_mass").
const char* CodeName(ErrorCode code);

// A finding that does not stop an operation, as a value: a kind and the
// cells it names. Like an error, it is put into words by Message (messages.h).
enum class WarningCode {
  EmptyCellsReadAsZero,  // cells: the empty cells of the input area read, as 0
  StaleFormulas,         // cells: the formulas read from a workbook marked for recalculation on open
};

struct Warning {
  WarningCode code{};
  std::vector<std::string> cells;  // "B11", in the order of rows, then columns
  std::string detail;              // the sheet

  bool operator==(const Warning&) const = default;
};

// An error on its way up through the calls of one layer. The operations the
// layers above call catch it and return its value.
class Failure : public std::exception {
 public:
  explicit Failure(Error error) : error_(std::move(error)) {}
  const Error& error() const { return error_; }
  const char* what() const noexcept override { return CodeName(error_.code); }

 private:
  Error error_;
};

[[noreturn]] inline void Raise(Error error) { throw Failure(std::move(error)); }

}  // namespace vp
