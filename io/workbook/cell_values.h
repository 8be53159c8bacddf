#pragma once
// Cell values as the input loader takes them, the way a spreadsheet converts a
// cell's value: an empty cell is 0, a number is taken as it is, a text must read
// as a number with the user's decimal separator. Booleans and error values fail.

#include "sheet.h"

namespace vp {

// The value rounded to the nearest integer, a half to the even neighbour.
// Throws Failure naming the cell and its content when the cell cannot be
// converted or the value lies outside the 32-bit range.
int CellAsInteger(const Sheet& sheet, int row, int col, char decimalSeparator);

// Throws Failure naming the cell and its content.
double CellAsReal(const Sheet& sheet, int row, int col, char decimalSeparator);

}  // namespace vp
