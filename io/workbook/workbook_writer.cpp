#include "workbook_writer.h"

#include <xlsxwriter.h>

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <iterator>

#include "errors.h"
#include "file_output.h"
#include "library_messages.h"
#include "numtext.h"
#include "platform.h"
#include "printable.h"
#include "sheet.h"

namespace vp {

namespace {

constexpr int kMaxRows = 1048576, kMaxCols = 16384;
// A number in a cell of the "General" format shows at most this many characters.
constexpr size_t kGeneralNumberChars = 11;

lxw_worksheet* Ws(void* p) { return static_cast<lxw_worksheet*>(p); }

size_t CharCount(const std::string& utf8) {
  return static_cast<size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

// Failures of the workbook library's files: errno then holds the system's reason.
bool FileFailure(lxw_error error) {
  switch (error) {
    case LXW_ERROR_CREATING_XLSX_FILE:
    case LXW_ERROR_CREATING_TMPFILE:
    case LXW_ERROR_READING_TMPFILE:
    case LXW_ERROR_ZIP_FILE_OPERATION:
    case LXW_ERROR_ZIP_FILE_ADD:
    case LXW_ERROR_ZIP_CLOSE: return true;
    default: return false;
  }
}

// What any other failure of the workbook library means, in Russian.
std::string LibraryFailure(lxw_error error) {
  switch (error) {
    case LXW_ERROR_MEMORY_MALLOC_FAILED: return "не хватает памяти";
    case LXW_ERROR_SHEETNAME_LENGTH_EXCEEDED: return "имя листа длиннее 31 символа";
    case LXW_ERROR_INVALID_SHEETNAME_CHARACTER: return "имя листа содержит недопустимый символ ([]:*?/\\)";
    case LXW_ERROR_SHEETNAME_START_END_APOSTROPHE: return "имя листа начинается или кончается апострофом";
    case LXW_ERROR_SHEETNAME_ALREADY_USED: return "лист с таким именем уже есть";
    case LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED: return "текст ячейки длиннее 32767 символов";
    case LXW_ERROR_32_STRING_LENGTH_EXCEEDED:
    case LXW_ERROR_128_STRING_LENGTH_EXCEEDED:
    case LXW_ERROR_255_STRING_LENGTH_EXCEEDED: return "слишком длинный текст";
    default: return "внутренняя ошибка записи книги (код " + std::to_string(static_cast<int>(error)) + ")";
  }
}

// A zip archive written whole ends with its end-of-central-directory record
// (22 bytes, no archive comment).
bool EndsLikeAZip(const std::string& fileName) {
  QFile file(QString::fromStdString(fileName));
  if (!file.open(QIODevice::ReadOnly) || file.size() < 22 || !file.seek(file.size() - 22)) return false;
  return file.read(4) == QByteArray("PK\x05\x06", 4);
}

// Column width in the spreadsheet's units (the width of one digit) for a text
// of n characters, with a little room on both sides.
double WidthFor(size_t n) { return static_cast<double>(n) + 1.0; }

}  // namespace

// ---- WorksheetWriter ----

void WorksheetWriter::Check(int row, int col) const {
  if (row < 1 || row > kMaxRows || col < 1 || col > kMaxCols)
    book_.Fail("ячейка " + (col >= 1 && row >= 1 ? CellName(row, col) : std::to_string(row) + ":" + std::to_string(col)) +
               " листа «" + name_ + "» выходит за пределы листа (" + std::to_string(kMaxRows) + " строк, " +
               std::to_string(kMaxCols) + " столбцов)");
}

void WorksheetWriter::Written(int row, int col, double width) {
  lastRow_ = std::max(lastRow_, row);
  Fit(col, width);
}

void WorksheetWriter::Fit(int col, double width) {
  if (static_cast<size_t>(col) >= widths_.size()) widths_.resize(col + 1, 0);
  widths_[col] = std::max(widths_[col], width);
}

void WorksheetWriter::WriteNumber(int row, int col, double value) {
  Check(row, col);
  book_.CheckResult(worksheet_write_number(Ws(sheet_), row - 1, static_cast<lxw_col_t>(col - 1), value, nullptr));
  Written(row, col, WidthFor(std::min(GeneralFormat(value, '.').size(), kGeneralNumberChars)));
}

void WorksheetWriter::WriteText(int row, int col, const std::string& text) {
  WriteTitle(row, col, text);
  Fit(col, WidthFor(CharCount(text)));
}

void WorksheetWriter::WriteTitle(int row, int col, const std::string& text) {
  Check(row, col);
  book_.CheckResult(worksheet_write_string(Ws(sheet_), row - 1, static_cast<lxw_col_t>(col - 1), text.c_str(), nullptr));
  lastRow_ = std::max(lastRow_, row);
}

void WorksheetWriter::MergeText(int row, int firstCol, int lastCol, const std::string& text, const Rgb* fill) {
  Check(row, firstCol);
  Check(row, lastCol);
  auto* format = static_cast<lxw_format*>(fill ? book_.FillFormat(*fill) : nullptr);
  if (firstCol == lastCol) {
    book_.CheckResult(
        worksheet_write_string(Ws(sheet_), row - 1, static_cast<lxw_col_t>(firstCol - 1), text.c_str(), format));
    Written(row, firstCol, WidthFor(CharCount(text)));
    return;
  }
  book_.CheckResult(worksheet_merge_range(Ws(sheet_), row - 1, static_cast<lxw_col_t>(firstCol - 1), row - 1,
                                          static_cast<lxw_col_t>(lastCol - 1), text.c_str(), format));
  lastRow_ = std::max(lastRow_, row);
}

void WorksheetWriter::AutoFitColumns(int firstCol, int lastCol) {
  for (int col = firstCol; col <= lastCol; ++col) {
    Check(1, col);
    if (static_cast<size_t>(col) >= widths_.size() || widths_[col] == 0) continue;
    const auto c = static_cast<lxw_col_t>(col - 1);
    book_.CheckResult(worksheet_set_column(Ws(sheet_), c, c, widths_[col], nullptr));
  }
}

void WorksheetWriter::Activate() { worksheet_activate(Ws(sheet_)); }

void ChartSheetWriter::Activate() { chartsheet_activate(static_cast<lxw_chartsheet*>(sheet_)); }

// ---- WorkbookWriter ----

WorkbookWriter::WorkbookWriter(std::string path)
    : path_(std::move(path)), file_(std::make_unique<FileReplacement>(path_)) {
  tempPath_ = file_->NewFileName();
  workbook_ = workbook_new(tempPath_.c_str());
  if (!workbook_) Fail("не хватает памяти");
}

WorkbookWriter::~WorkbookWriter() {
  if (workbook_) lxw_workbook_free(static_cast<lxw_workbook*>(workbook_));
}

void WorkbookWriter::Fail(const std::string& detail) const {
  Raise(Error{ErrorCode::WorkbookWrite, 0, 0, "", path_, detail});
}

void WorkbookWriter::CheckResult(int lxwError) const {
  if (lxwError != LXW_NO_ERROR) Fail(LibraryFailure(static_cast<lxw_error>(lxwError)));
}

void* WorkbookWriter::FillFormat(const Rgb& colour) {
  const uint32_t rgb = uint32_t{colour.r} << 16 | uint32_t{colour.g} << 8 | colour.b;
  auto& format = fills_[rgb];
  if (!format) {
    lxw_format* f = workbook_add_format(static_cast<lxw_workbook*>(workbook_));
    if (!f) Fail("не хватает памяти");
    format_set_pattern(f, LXW_PATTERN_SOLID);
    format_set_bg_color(f, rgb);
    format = f;
  }
  return format;
}

WorksheetWriter& WorkbookWriter::AddWorksheet(const std::string& name) {
  auto* book = static_cast<lxw_workbook*>(workbook_);
  CheckResult(workbook_validate_sheet_name(book, name.c_str()));
  lxw_worksheet* sheet = workbook_add_worksheet(book, name.c_str());
  if (!sheet) Fail("лист «" + name + "» не создан");
  worksheets_.push_back(std::unique_ptr<WorksheetWriter>(new WorksheetWriter(*this, sheet, name)));
  return *worksheets_.back();
}

void WorkbookWriter::CheckRange(const std::string& name, int row, int firstCol, int lastCol) const {
  if (row < 1 || row > kMaxRows || firstCol < 1 || lastCol < firstCol || lastCol > kMaxCols)
    Fail("неверный диапазон данных диаграммы «" + name + "»");
}

void* WorkbookWriter::NewChart(const std::string& name, int type) {
  auto* book = static_cast<lxw_workbook*>(workbook_);
  CheckResult(workbook_validate_sheet_name(book, name.c_str()));
  lxw_chart* chart = workbook_add_chart(book, static_cast<uint8_t>(type));
  if (!chart) Fail("не хватает памяти");
  return chart;
}

ChartSheetWriter& WorkbookWriter::AddChartSheet(const std::string& name, void* chart, const std::string& title,
                                                const std::string& xAxisTitle, const std::string& yAxisTitle,
                                                bool legend) {
  auto* c = static_cast<lxw_chart*>(chart);
  if (!title.empty()) chart_title_set_name(c, title.c_str());
  if (!xAxisTitle.empty()) chart_axis_set_name(c->x_axis, xAxisTitle.c_str());
  if (!yAxisTitle.empty()) chart_axis_set_name(c->y_axis, yAxisTitle.c_str());
  chart_legend_set_position(c, legend ? LXW_CHART_LEGEND_RIGHT : LXW_CHART_LEGEND_NONE);
  lxw_chartsheet* sheet = workbook_add_chartsheet(static_cast<lxw_workbook*>(workbook_), name.c_str());
  if (!sheet) Fail("лист диаграммы «" + name + "» не создан");
  CheckResult(chartsheet_set_chart(sheet, c));
  chartSheets_.push_back(std::unique_ptr<ChartSheetWriter>(new ChartSheetWriter(sheet, name)));
  return *chartSheets_.back();
}

ChartSheetWriter& WorkbookWriter::AddLineChartSheet(const std::string& name, const LineChart& chart) {
  std::vector<ChartSeries> all{
      {chart.row, chart.firstCol, chart.lastCol, chart.firstName, false, false, chart.firstColour}};
  all.insert(all.end(), chart.more.begin(), chart.more.end());
  for (const ChartSeries& s : all) CheckRange(name, s.row, s.firstCol, s.lastCol);
  if (chart.categoriesRow < 0 || chart.categoriesRow > kMaxRows) Fail("неверный диапазон подписей диаграммы «" + name + "»");
  auto* line = static_cast<lxw_chart*>(NewChart(name, LXW_CHART_LINE));
  std::vector<int16_t> unnamed;  // series left out of the legend, then -1
  for (const ChartSeries& s : all) {
    lxw_chart_series* series = chart_add_series(line, nullptr, nullptr);
    if (!series) Fail("не хватает памяти");
    chart_series_set_values(series, chart.sheet.c_str(), s.row - 1, static_cast<lxw_col_t>(s.firstCol - 1), s.row - 1,
                            static_cast<lxw_col_t>(s.lastCol - 1));
    if (chart.categoriesRow > 0)
      chart_series_set_categories(series, chart.sheet.c_str(), chart.categoriesRow - 1,
                                  static_cast<lxw_col_t>(s.firstCol - 1), chart.categoriesRow - 1,
                                  static_cast<lxw_col_t>(s.lastCol - 1));
    if (!s.name.empty()) chart_series_set_name(series, s.name.c_str());
    if (s.marked) {
      lxw_chart_line pen{};
      pen.color = LXW_COLOR_BLACK;
      pen.width = 1.5;
      pen.dash_type = LXW_CHART_LINE_DASH_DASH;
      chart_series_set_line(series, &pen);
      chart_series_set_marker_type(series, LXW_CHART_MARKER_DIAMOND);
      chart_series_set_marker_size(series, 9);
      continue;
    }
    const lxw_color_t rgb = s.colour ? lxw_color_t{s.colour->r} << 16 | s.colour->g << 8 | s.colour->b : 0;
    const lxw_color_t colour = rgb == 0 ? lxw_color_t{LXW_COLOR_BLACK} : rgb;  // the library takes 0 for "none"
    lxw_chart_line pen{};
    pen.color = colour;
    pen.width = s.dotted ? 1 : 2.25;
    pen.dash_type = s.dotted ? LXW_CHART_LINE_DASH_ROUND_DOT : LXW_CHART_LINE_DASH_SOLID;
    if (s.colour || s.dotted) chart_series_set_line(series, &pen);
    if (s.dotted) unnamed.push_back(static_cast<int16_t>(&s - all.data()));
    if (!chart.markers && !s.dotted) continue;
    if (!s.colour) {
      chart_series_set_marker_type(series, LXW_CHART_MARKER_AUTOMATIC);
      continue;
    }
    // The markers in the line's colour (the spreadsheet's own would differ from it).
    chart_series_set_marker_type(series, LXW_CHART_MARKER_CIRCLE);
    chart_series_set_marker_size(series, s.dotted ? 3 : 5);
    lxw_chart_fill fill{};
    fill.color = colour;
    chart_series_set_marker_fill(series, &fill);
    lxw_chart_line border{};
    border.color = colour;
    chart_series_set_marker_line(series, &border);
  }
  if (!unnamed.empty()) {
    unnamed.push_back(-1);
    CheckResult(chart_legend_delete_series(line, unnamed.data()));
  }
  return AddChartSheet(name, line, chart.title, chart.categoryAxisTitle, chart.valueAxisTitle, chart.legend);
}

ChartSheetWriter& WorkbookWriter::AddScatterChartSheet(const std::string& name, const ScatterChart& chart) {
  for (const ScatterSeries& s : chart.series) {
    CheckRange(name, s.xRow, s.firstCol, s.lastCol);
    CheckRange(name, s.yRow, s.firstCol, s.lastCol);
  }
  auto* scatter = static_cast<lxw_chart*>(NewChart(name, LXW_CHART_SCATTER_STRAIGHT));
  // Series of markers only tell themselves apart by their shapes.
  static const uint8_t kShapes[] = {LXW_CHART_MARKER_DIAMOND, LXW_CHART_MARKER_SQUARE, LXW_CHART_MARKER_TRIANGLE,
                                    LXW_CHART_MARKER_CIRCLE,  LXW_CHART_MARKER_X,      LXW_CHART_MARKER_STAR};
  size_t marked = 0;
  for (const ScatterSeries& s : chart.series) {
    lxw_chart_series* series = chart_add_series(scatter, nullptr, nullptr);
    if (!series) Fail("не хватает памяти");
    const auto first = static_cast<lxw_col_t>(s.firstCol - 1), last = static_cast<lxw_col_t>(s.lastCol - 1);
    chart_series_set_categories(series, chart.sheet.c_str(), s.xRow - 1, first, s.xRow - 1, last);
    chart_series_set_values(series, chart.sheet.c_str(), s.yRow - 1, first, s.yRow - 1, last);
    if (!s.name.empty()) chart_series_set_name(series, s.name.c_str());
    if (s.markersOnly) {
      lxw_chart_line none{};
      none.none = 1;
      chart_series_set_line(series, &none);
      chart_series_set_marker_type(series, kShapes[marked++ % std::size(kShapes)]);
      chart_series_set_marker_size(series, 9);
      lxw_chart_fill black{};
      black.color = LXW_COLOR_BLACK;
      chart_series_set_marker_fill(series, &black);
    }
  }
  auto axis = [](lxw_chart_axis* a, bool log, double min, double max) {
    if (log) chart_axis_set_log_base(a, 10);
    if (min != 0 || max != 0) {
      chart_axis_set_min(a, min);
      chart_axis_set_max(a, max);
    }
  };
  axis(scatter->x_axis, chart.logX, chart.xMin, chart.xMax);
  axis(scatter->y_axis, chart.logY, chart.yMin, chart.yMax);
  return AddChartSheet(name, scatter, chart.title, chart.xAxisTitle, chart.yAxisTitle, true);
}

void WorkbookWriter::Save() {
  if (!workbook_) Fail("книга уже записана");
  lxw_error result;
  int errorNumber;
  {
    // The library prints its own English report of a failure; ours follows.
    MutedStandardError quiet;
    // It writes every number of the workbook now, through printf.
    platform::CNumbersOnThisThread cNumbers;
    errno = 0;
    result = workbook_close(static_cast<lxw_workbook*>(workbook_));
    errorNumber = errno;
  }
  workbook_ = nullptr;  // closed and freed, whatever the result
  if (result != LXW_NO_ERROR && FileFailure(result))
    file_->Fail(ErrorCode::WriteSystem, errorNumber ? std::error_code(errorNumber, std::generic_category())
                                                    : std::make_error_code(std::errc::io_error));
  if (result != LXW_NO_ERROR) Fail(LibraryFailure(result));
  if (!EndsLikeAZip(tempPath_)) file_->Fail(ErrorCode::WriteIncomplete);
  file_->Commit();
}

}  // namespace vp
