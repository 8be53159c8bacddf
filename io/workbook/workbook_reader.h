#pragma once
// Reading the cells of worksheets from an .xlsx or .xls workbook file. The
// format is told by the file's content, not its name: Office Open XML (.xlsx)
// or BIFF8 in an OLE2 container (.xls, Excel 97 and later).
//
// Every function throws Failure, whose error names the file, when the file
// cannot be opened, is not a workbook, is damaged or encrypted, is too large,
// uses the old Excel 5.0/95 format or has no worksheet.

#include <string>
#include <vector>

#include "sheet.h"

namespace vp {

enum class SheetKind { Worksheet, Chart, Other };

struct SheetEntry {
  std::string name;
  SheetKind kind;
};

struct WorkbookInfo {
  std::vector<SheetEntry> sheets;  // in tab order
  int activeTab = 0;               // as saved; may name a chart sheet
};

WorkbookInfo ReadWorkbookInfo(const std::string& path);

// The worksheet at the given tab (from 0), keeping only cells within rows
// 1..maxRow and columns 1..maxCol. A tab that is not a worksheet throws.
Sheet ReadSheet(const std::string& path, int tab, int maxRow, int maxCol);

// The sheet that was active when the workbook was saved; when that is a chart
// sheet (or any other sheet without cells), the first worksheet instead.
Sheet ReadActiveSheet(const std::string& path, int maxRow, int maxCol);

}  // namespace vp
