#pragma once
// Shared by the .xlsx and .xls readers: their failures and the interface both
// offer to the functions of workbook_reader.h.

#include <cstddef>
#include <memory>
#include <string>

#include "workbook_reader.h"

namespace vp::wbread {

enum class Fault { Open, NotWorkbook, Damaged, Encrypted, OldFormat, NoWorksheet, TooLarge };

// Thrown inside the readers; the public functions turn it into the message
// that names the file. The detail is Russian and says what was wrong.
struct ReadFault {
  Fault fault;
  std::string detail;
};

[[noreturn]] inline void Fail(Fault fault, std::string detail = {}) { throw ReadFault{fault, std::move(detail)}; }
[[noreturn]] inline void Damaged(std::string detail) { Fail(Fault::Damaged, std::move(detail)); }

// No single part of a workbook (a sheet's XML, the .xls stream) may exceed
// this: a legitimate input workbook is far smaller, and a zip bomb stops here.
constexpr std::size_t kMaxPartBytes = 64u << 20;

// An opened workbook: its sheet list, and the cells of any worksheet.
class Book {
 public:
  virtual ~Book() = default;
  const WorkbookInfo& Info() const { return info_; }
  // Fills the sheet (whose window is already set) from the worksheet at tab.
  virtual void ReadCells(int tab, Sheet& sheet) const = 0;

 protected:
  WorkbookInfo info_;
};

std::unique_ptr<Book> OpenXlsx(const std::string& path);
std::unique_ptr<Book> OpenXls(const std::string& path);

}  // namespace vp::wbread
