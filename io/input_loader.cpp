#include "input_loader.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <vector>

#include "cell_values.h"
#include "errors.h"
#include "numtext.h"
#include "platform.h"
#include "shaft_model.h"
#include "workbook_reader.h"

namespace vp {

namespace {

// Larger files cannot be input files: the longest holds 200 values on a line.
constexpr size_t kMaxTextFileSize = 16 * 1024 * 1024;
constexpr int kScalarLines = 17;

// The first `most` lines of the text: the loader reads none beyond line
// 5 + KW, so a file of millions of short lines costs no more than one of 25.
std::vector<std::string> SplitLines(std::string_view contents, size_t most) {
  std::vector<std::string> lines;
  size_t begin = 0;
  while (begin < contents.size() && lines.size() < most) {
    size_t end = contents.find('\n', begin);
    if (end == std::string_view::npos) end = contents.size();
    std::string_view line = contents.substr(begin, end - begin);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    begin = end + 1;
  }
  return lines;
}

// A value that is no number with the decimal separator in effect but is one
// with the other ('.' for ',', ',' for '.'): the file was written where the
// other separator is used, which is the reason to give.
void CheckSeparator(const std::string& text, char sep, int line, const std::string& item) {
  const char other = sep == ',' ? '.' : sep == '.' ? ',' : 0;
  double ignored;
  if (other == 0 || TryRealOfText(text, sep, ignored) || !TryRealOfText(text, other, ignored)) return;
  Raise(Error{ErrorCode::TextSeparator, line, 0, item, text, std::string{other, sep}});
}

// The integer of a line's value; a failure names the line (and the item).
int IntOnLine(const std::string& text, int line, const std::string& item = "") {
  int value = 0;
  if (!TryIntOfText(text, value)) Raise(Error{ErrorCode::TextNotInteger, line, 0, item, text});
  return value;
}

// The next value with its trailing blank, taken off the front of the line;
// empty (and the line unchanged) when no blank is left.
std::string NextToken(std::string& line) {
  const int p = BMSearch(1, line, " ");
  std::string token = line.substr(0, p);
  line.erase(0, p);
  return token;
}

// A section number written as a real, rounded to the nearest integer (a half to
// the even neighbour).
std::string RoundedNumber(const std::string& text, char sep, int line, const std::string& item) {
  double value = 0;
  if (!TryRealOfText(text, sep, value)) Raise(Error{ErrorCode::TextNotReal, line, 0, item, text});
  const double rounded = std::nearbyint(value);
  if (!(rounded >= std::numeric_limits<int>::min() && rounded <= std::numeric_limits<int>::max()))
    Raise(Error{ErrorCode::TextNotInteger, line, 0, item, text});
  return std::to_string(static_cast<int>(rounded));
}

[[noreturn]] void FileFault(ErrorCode code, const std::string& path, std::error_code system = {}) {
  Error error{code, 0, 0, "", path};
  error.system = system;
  Raise(std::move(error));
}

// Only a regular file (or a link to one) is read: a folder cannot be, and a
// pipe or a device may never end.
void RequireRegularFile(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::file_status status = fs::status(platform::Utf8Path(path), error);
  if (status.type() == fs::file_type::not_found || (error && status.type() == fs::file_type::none))
    FileFault(ErrorCode::FileOpen, path, error ? error : std::make_error_code(std::errc::no_such_file_or_directory));
  if (status.type() == fs::file_type::directory) FileFault(ErrorCode::FileIsFolder, path);
  if (status.type() != fs::file_type::regular) FileFault(ErrorCode::FileNotRegular, path);
}

// The whole file, at most kMaxTextFileSize bytes of it: the limit holds for
// what is read, whatever size the file claims.
std::string ReadWholeFile(const std::string& path) {
  RequireRegularFile(path);
  platform::ClearFileError();
  std::ifstream in(platform::Utf8Path(path), std::ios::binary);
  if (!in) FileFault(ErrorCode::FileOpen, path, platform::LastFileError());
  std::string contents;
  char buffer[65536];
  while (in) {
    in.read(buffer, sizeof buffer);
    contents.append(buffer, static_cast<size_t>(in.gcount()));
    if (contents.size() > kMaxTextFileSize) FileFault(ErrorCode::FileTooLarge, path);
  }
  if (in.bad()) FileFault(ErrorCode::FileRead, path, platform::LastFileError());
  return contents;
}

// The cells of the active sheet in the order a user would fill the form: the
// counts first (which size the grids), then the parameters and the tables.
// The sheet that holds the input: the active one, or, when that is a chart
// sheet or holds no cells where the input goes (a spreadsheet program that
// re-saves an exported workbook turns its chart sheets into worksheets that
// hold only a chart), the first worksheet.
Sheet InputSheet(const std::string& path) {
  constexpr int kRows = 21 + kMaxSupports, kCols = 1 + kMaxSections;
  Sheet sheet = ReadActiveSheet(path, kRows, kCols);
  if (sheet.StoredCount() > 0) return sheet;
  const WorkbookInfo info = ReadWorkbookInfo(path);
  for (size_t tab = 0; tab < info.sheets.size(); ++tab) {
    if (info.sheets[tab].kind != SheetKind::Worksheet) continue;
    // Sheet names are unique in a workbook: the active sheet is not read twice.
    if (info.sheets[tab].name == sheet.Name()) return sheet;
    return ReadSheet(path, static_cast<int>(tab), kRows, kCols);
  }
  return sheet;
}

// Among the cells a load reads: the empty ones, read as 0, and the formulas
// whose saved results the workbook marks as out of date.
class CellFindings {
 public:
  explicit CellFindings(const Sheet& sheet) : sheet_(sheet) {}
  void Note(int row, int col) {
    const SheetCell& cell = sheet_.Cell(row, col);
    if (cell.kind == CellKind::Empty) empty_.push_back({row, col});
    if (cell.formula && sheet_.FormulasStale()) stale_.push_back({row, col});
  }
  void AddWarnings(std::vector<Warning>& warnings) {
    for (auto [code, cells] : {std::pair{WarningCode::EmptyCellsReadAsZero, &empty_},
                               std::pair{WarningCode::StaleFormulas, &stale_}}) {
      if (cells->empty()) continue;
      std::sort(cells->begin(), cells->end());
      Warning warning{code, {}, sheet_.Name()};
      for (const auto& [row, col] : *cells) warning.cells.push_back(CellName(row, col));
      warnings.push_back(std::move(warning));
    }
  }

 private:
  const Sheet& sheet_;
  std::vector<std::pair<int, int>> empty_, stale_;  // (row, col)
};

void LoadInputWorkbook(const std::string& path, TMainFormModel& form, char sep, std::vector<Warning>& warnings) {
  const Sheet sheet = InputSheet(path);
  // A sheet of notes saved as the active one would load every count as 1.
  bool counts = false;
  for (int row = 1; row <= 5; ++row) counts = counts || sheet.Cell(row, 2).kind != CellKind::Empty;
  if (!counts) Raise(Error{ErrorCode::SheetWithoutCounts, 0, 0, "", path, sheet.Name()});
  CellFindings read(sheet);
  auto integer = [&](int row, int col) {
    read.Note(row, col);
    return CellAsInteger(sheet, row, col, sep);
  };
  auto real = [&](int row, int col) {
    read.Note(row, col);
    return GeneralFormat(CellAsReal(sheet, row, col, sep), sep);
  };
  form.SetSpinValue(Count::Supports, integer(1, 2));
  form.SetSpinValue(Count::Sections, integer(2, 2));
  form.Edit3 = std::to_string(integer(5, 2));
  form.SetSpinValue(Count::Variants, integer(4, 2));
  form.SetSpinValue(Count::Spans, integer(3, 2));
  form.Edit8 = real(6, 2);
  form.Edit9 = real(8, 2);
  form.Edit10 = real(7, 2);
  form.Edit11 = real(9, 2);
  form.Edit12 = real(10, 2);
  const int N = form.SpinEdit1.Value(), KM = form.SpinEdit2.Value();
  const int KZ = form.SpinEdit3.Value(), KW = form.SpinEdit4.Value();
  for (int s = 1; s <= N; ++s) form.StringGrid3.SetCell(s - 1, 1, std::to_string(integer(11, s + 1)));
  for (int j = 1; j <= KZ; ++j) form.StringGrid4.SetCell(j - 1, 1, std::to_string(integer(12, j + 1)));
  for (int k = 1; k <= KM; ++k)
    for (int r = 1; r <= 3; ++r) form.StringGrid1.SetCell(k, r, real(15 + r, k + 1));
  for (int s = 1; s <= N; ++s)
    for (int v = 1; v <= KW; ++v) form.StringGrid2.SetCell(v, s, real(21 + s, v + 1));
  read.AddWarnings(warnings);
}

}  // namespace

std::string InputFileExtension(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string extension = path.substr(dot);
  for (char& c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return extension;
}

int BMSearch(int start, std::string_view text, std::string_view pattern) {
  const int m = static_cast<int>(pattern.size());
  const int length = static_cast<int>(text.size());
  if (m == 0) return 0;
  if (start < 1) start = 1;
  auto byte = [](char c) { return static_cast<unsigned char>(c); };
  std::array<int, 256> shift;
  shift.fill(m);
  for (int j = m; j >= 1; --j)
    if (shift[byte(pattern[j - 1])] == m) shift[byte(pattern[j - 1])] = m - j;
  // Positions below are 1-based: text[i] is text[i - 1] in C++.
  long long i = static_cast<long long>(start) + m - 1;
  while (i <= length) {
    const char c = text[i - 1];
    if (c != pattern[m - 1]) {
      i += shift[byte(c)];
      continue;
    }
    if (m == 1) return static_cast<int>(i);
    int k = 1;
    while (k < m && pattern[m - 1 - k] == text[i - 1 - k]) ++k;
    if (k == m) return static_cast<int>(i - m + 1);
    i += 1;
  }
  return 0;
}

namespace {

// Reads the values with the separator `fileSep` and writes the reals into the
// form with `sep`, the one the calculation reads them with.
void ReadInputText(std::string_view contents, TMainFormModel& form, char sep, char fileSep) {
  // A real written with the file's separator, as the form takes it.
  auto converted = [&](std::string text) {
    double ignored;
    if (fileSep != sep && TryRealOfText(text, fileSep, ignored)) std::replace(text.begin(), text.end(), fileSep, sep);
    return text;
  };
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";  // a UTF-8 editor's mark, not text
  if (contents.substr(0, kByteOrderMark.size()) == kByteOrderMark) contents.remove_prefix(kByteOrderMark.size());
  // The marks of UTF-16 and UTF-32 (little-endian UTF-32 begins like UTF-16):
  // an editor's "Unicode", whose every other byte is 0.
  if (contents.substr(0, 2) == "\xFF\xFE" || contents.substr(0, 2) == "\xFE\xFF" ||
      contents.substr(0, 4) == std::string_view("\0\0\xFE\xFF", 4))
    Raise(Error{ErrorCode::TextUnicode});
  const std::vector<std::string> lines = SplitLines(contents, std::max(kScalarLines, 5 + kMaxVariants));
  if (lines.size() < kScalarLines) Raise(Error{ErrorCode::TextTooFewLines, static_cast<int>(lines.size())});
  // Reading past the end gives an empty line, as for variant lines beyond the file.
  auto line = [&](int number) { return number <= static_cast<int>(lines.size()) ? lines[number - 1] : std::string(); };

  form.SetSpinValue(Count::Supports, IntOnLine(line(8), 8));
  form.SetSpinValue(Count::Sections, IntOnLine(line(9), 9));
  form.Edit3 = line(10);
  form.SetSpinValue(Count::Variants, IntOnLine(line(11), 11));
  form.SetSpinValue(Count::Spans, IntOnLine(line(12), 12));
  std::string* parameters[] = {&form.Edit8, &form.Edit9, &form.Edit10, &form.Edit11, &form.Edit12};
  for (int i = 0; i < 5; ++i) *parameters[i] = line(13 + i);

  const int N = form.SpinEdit1.Value(), KM = form.SpinEdit2.Value();
  const int KZ = form.SpinEdit3.Value(), KW = form.SpinEdit4.Value();
  const char* quantities[] = {"длина", "масса", "жесткость"};
  for (int r = 1; r <= 3; ++r) {
    std::string text = line(r);
    for (int c = 1; c <= KM; ++c) {
      const std::string token = NextToken(text);
      CheckSeparator(token, fileSep, r, "участок " + std::to_string(c) + ", " + quantities[r - 1]);
      form.StringGrid1.SetCell(c, r, converted(token));
    }
  }
  auto numbers = [&](int lineNo, StringTable& grid, int count, const char* item) {
    std::string text = line(lineNo);
    for (int c = 0; c < count; ++c) {
      const std::string token = NextToken(text);
      const std::string place = item + std::to_string(c + 1);
      CheckSeparator(token, fileSep, lineNo, place);
      grid.SetCell(c, 1, RoundedNumber(token, fileSep, lineNo, place));
    }
  };
  numbers(4, form.StringGrid3, N, "опора ");
  numbers(5, form.StringGrid4, KZ, "пролет ");
  for (int v = 1; v <= KW; ++v) {
    std::string text = line(5 + v);
    for (int s = 1; s <= N; ++s) {
      const std::string token = NextToken(text);
      CheckSeparator(token, fileSep, 5 + v, "опора " + std::to_string(s));
      form.StringGrid2.SetCell(v, s, converted(token));
    }
  }
  for (int i = 0; i < 5; ++i) {
    CheckSeparator(*parameters[i], fileSep, 13 + i, "");
    *parameters[i] = converted(*parameters[i]);
  }
}

}  // namespace

std::optional<Error> LoadInputText(std::string_view contents, TMainFormModel& form, char sep) {
  try {
    ReadInputText(contents, form, sep, sep);
  } catch (const Failure& failure) {
    return failure.error();
  }
  return std::nullopt;
}

std::optional<Error> LoadInputFile(const std::string& path, TMainFormModel& form, char sep,
                                   std::vector<Warning>* warnings, char fileSep) {
  const std::string extension = InputFileExtension(path);
  TMainFormModel loaded = form;
  std::vector<Warning> found;
  try {
    if (extension == ".txt") {
      ReadInputText(ReadWholeFile(path), loaded, sep, fileSep ? fileSep : sep);
    } else if (extension == ".xls" || extension == ".xlsx") {
      RequireRegularFile(path);
      LoadInputWorkbook(path, loaded, sep, found);
    } else {
      return Error{ErrorCode::WrongFileFormat};
    }
  } catch (const Failure& failure) {
    return failure.error();
  }
  loaded.ClearBeyondCounts();
  form = std::move(loaded);
  if (warnings) *warnings = std::move(found);
  return std::nullopt;
}

}  // namespace vp
