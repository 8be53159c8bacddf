#pragma once
// Cells copied from a spreadsheet, as text: rows end at line ends, cells at
// tabs. What the grids paste and copy.

#include <string>
#include <string_view>
#include <vector>

namespace vp {

using CellBlock = std::vector<std::vector<std::string>>;  // [row][column]

// The rows and cells of tab-separated text; a line end after the last row
// (as spreadsheets copy) adds no row, and CR LF counts as one line end.
CellBlock TabSeparatedCells(std::string_view text);
// The block as tab-separated text, each row ended by a line end.
std::string TabSeparatedText(const CellBlock& cells);

// A pasted number as the form writes it: trimmed, its decimal point or comma
// the separator given. False, `number` untouched, for a text that is no
// number with either separator.
bool PastedNumber(std::string_view text, char decimalSeparator, std::string& number);

}  // namespace vp
