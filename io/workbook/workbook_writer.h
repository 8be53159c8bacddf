#pragma once
// Writing an .xlsx workbook: worksheets with number and text cells, merged and
// filled ranges, fitted column widths, and chart sheets with a line chart or
// a scatter chart.
// The file appears only when the whole workbook has been written: it is built
// in a new file beside the target and renamed into place by Save(), with the
// checks of FileReplacement (a write-protected target is refused).

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vp {

class FileReplacement;

struct Rgb {
  uint8_t r, g, b;
};

// A further series of a line chart: a row range of the same worksheet.
struct ChartSeries {
  int row = 1, firstCol = 1, lastCol = 1;
  std::string name;
  bool marked = false;  // drawn black and dashed, with large diamond markers
  bool dotted = false;  // a thin dotted line with small markers, left out of the legend
  std::optional<Rgb> colour;  // of the line and its markers; none: the spreadsheet's own
};

// A line chart of row ranges of a worksheet of the same workbook: the first
// series, then any further ones.
struct LineChart {
  std::string sheet;  // name of the worksheet holding the data
  int row = 1, firstCol = 1, lastCol = 1;
  std::string title, categoryAxisTitle, valueAxisTitle;
  bool legend = true;
  std::vector<ChartSeries> more;
  int categoriesRow = 0;      // a row of the sheet with the category labels, 0 for none
  std::string firstName;      // name of the first series, empty for none
  bool markers = false;       // a marker at every point
  std::optional<Rgb> firstColour;  // of the first series
};

// A series of a scatter chart: x and y in two rows of the same columns.
struct ScatterSeries {
  int xRow = 1, yRow = 1, firstCol = 1, lastCol = 1;
  std::string name;
  bool markersOnly = false;  // no line, large black markers (each such series its own shape)
};

// A scatter chart with straight lines and no markers (but for the series that
// are only markers), its data on one worksheet of the same workbook. An axis
// may be logarithmic (base 10) and have fixed bounds.
struct ScatterChart {
  std::string sheet;
  std::string title, xAxisTitle, yAxisTitle;
  std::vector<ScatterSeries> series;
  bool logX = false, logY = false;
  double xMin = 0, xMax = 0, yMin = 0, yMax = 0;  // both 0: the spreadsheet chooses
};

class WorkbookWriter;

// Rows and columns count from 1. An address outside the sheet's limits
// (1048576 rows, 16384 columns) throws Failure.
class WorksheetWriter {
 public:
  void WriteNumber(int row, int col, double value);
  void WriteText(int row, int col, const std::string& text);
  // A text that runs on over the empty cells to its right: it does not widen
  // its column.
  void WriteTitle(int row, int col, const std::string& text);
  // Merges columns firstCol..lastCol of the row into one cell holding the text;
  // with a fill, every cell of the range gets that background colour.
  void MergeText(int row, int firstCol, int lastCol, const std::string& text, const Rgb* fill = nullptr);
  // Sets the widths of the columns to fit what they hold so far, as a
  // spreadsheet's auto-fit does: merged cells are not counted, and a column
  // with nothing in it keeps its width.
  void AutoFitColumns(int firstCol, int lastCol);
  // Makes this the sheet shown when the workbook opens.
  void Activate();

  const std::string& Name() const { return name_; }
  // The last row written so far, 0 before any.
  int LastRow() const { return lastRow_; }
  // The last column holding a number or a text that widens it, 0 before any.
  int LastCol() const { return widths_.empty() ? 0 : static_cast<int>(widths_.size()) - 1; }

 private:
  friend class WorkbookWriter;
  WorksheetWriter(WorkbookWriter& book, void* sheet, std::string name)
      : book_(book), sheet_(sheet), name_(std::move(name)) {}
  void Check(int row, int col) const;
  // A cell of the column was written, its text `width` characters wide.
  void Written(int row, int col, double width);
  void Fit(int col, double width);

  WorkbookWriter& book_;
  void* sheet_;  // lxw_worksheet
  std::string name_;
  std::vector<double> widths_;  // widest content of each column so far, in characters
  int lastRow_ = 0;
};

class ChartSheetWriter {
 public:
  void Activate();
  const std::string& Name() const { return name_; }

 private:
  friend class WorkbookWriter;
  ChartSheetWriter(void* sheet, std::string name) : sheet_(sheet), name_(std::move(name)) {}
  void* sheet_;  // lxw_chartsheet
  std::string name_;
};

class WorkbookWriter {
 public:
  // Checks the target and creates the new file beside it; throws Failure when
  // the target is refused or the folder cannot take the file.
  explicit WorkbookWriter(std::string path);
  // Without Save() nothing is left behind: the temporary file is removed.
  ~WorkbookWriter();
  WorkbookWriter(const WorkbookWriter&) = delete;
  WorkbookWriter& operator=(const WorkbookWriter&) = delete;

  // Sheets appear in the order they are added. Names follow the spreadsheet's
  // rules (at most 31 characters, unique, none of []:*?/\); a bad name throws.
  WorksheetWriter& AddWorksheet(const std::string& name);
  ChartSheetWriter& AddLineChartSheet(const std::string& name, const LineChart& chart);
  ChartSheetWriter& AddScatterChartSheet(const std::string& name, const ScatterChart& chart);

  // Writes the workbook and renames it into place, replacing a file of that
  // name. On failure the temporary file is removed and an existing file of
  // that name stays as it was.
  void Save();

  const std::string& Path() const { return path_; }

 private:
  friend class WorksheetWriter;
  [[noreturn]] void Fail(const std::string& detail) const;
  void CheckResult(int lxwError) const;

  std::string path_, tempPath_;
  std::unique_ptr<FileReplacement> file_;  // removes the new file unless saved
  void* FillFormat(const Rgb& colour);
  // A new chart of the given library type, after checking the sheet name.
  void* NewChart(const std::string& name, int type);
  void CheckRange(const std::string& name, int row, int firstCol, int lastCol) const;
  // Titles, legend, and the chart sheet that holds the chart.
  ChartSheetWriter& AddChartSheet(const std::string& name, void* chart, const std::string& title,
                                  const std::string& xAxisTitle, const std::string& yAxisTitle, bool legend);

  void* workbook_ = nullptr;  // lxw_workbook, until Save()
  std::map<uint32_t, void*> fills_;  // lxw_format of each fill colour
  std::vector<std::unique_ptr<WorksheetWriter>> worksheets_;
  std::vector<std::unique_ptr<ChartSheetWriter>> chartSheets_;
};

}  // namespace vp
