#pragma once
// Shared by the .xlsx and .xls readers: their failures and the interface both
// offer to the functions of workbook_reader.h.

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "workbook_reader.h"

namespace vp::wbread {

enum class Fault { Open, NotWorkbook, Damaged, Encrypted, OldFormat, NoWorksheet, TooLarge };

// Thrown inside the readers; the public functions turn it into the error
// value that names the file. The detail says, in Russian, what was wrong.
struct ReadFault {
  Fault fault;
  std::string detail;
};

[[noreturn]] inline void Fail(Fault fault, std::string detail = {}) { throw ReadFault{fault, std::move(detail)}; }
[[noreturn]] inline void Damaged(std::string detail) { Fail(Fault::Damaged, std::move(detail)); }

// No single part of a workbook (a sheet's XML, the .xls stream) may exceed
// this: a legitimate input workbook is far smaller, and a zip bomb stops here.
constexpr std::size_t kMaxPartBytes = 64u << 20;

// The texts kept from one sheet's window, all together: the cells the loader
// reads hold numbers, and labels beside them are short.
constexpr std::size_t kMaxSheetTextBytes = 16u << 20;

// Fails when the sheet's texts have outgrown their bound.
inline void CheckTextBytes(const Sheet& sheet) {
  if (sheet.TextBytes() > kMaxSheetTextBytes)
    Fail(Fault::TooLarge, "в ячейках листа больше " + std::to_string(kMaxSheetTextBytes >> 20) + " МБ текста");
}

// Stores a text cell within that bound.
inline void StoreText(Sheet& sheet, int row, int col, std::string text) {
  sheet.SetText(row, col, std::move(text));
  CheckTextBytes(sheet);
}

// The cells of a sheet's window that show shared strings. The readers read the
// sheet first and then the shared-string table, keeping only the strings that
// these cells show: a table of millions of strings costs no memory, and the
// table is read only as far as the last string wanted.
class SharedStringCells {
 public:
  void Add(int row, int col, uint64_t index) {
    cells_.push_back({row, col, index});
    if (texts_.try_emplace(index).second) ++missing_;
  }
  bool Empty() const { return cells_.empty(); }
  bool AllFound() const { return missing_ == 0; }
  // True when a cell shows the string at index and it is not found yet.
  bool Wanted(uint64_t index) const {
    auto it = texts_.find(index);
    return it != texts_.end() && !it->second;
  }
  void Found(uint64_t index, std::string text) {
    auto& slot = texts_.at(index);
    if (!slot) --missing_;
    slot = std::move(text);
  }
  // Fills the cells; an index the table did not hold is damage.
  void Fill(Sheet& sheet, const std::string& where) const {
    for (const Ref& c : cells_) {
      const auto& text = texts_.at(c.index);
      if (!text) Damaged("неверный номер общей строки" + where);
      StoreText(sheet, c.row, c.col, *text);
    }
  }

 private:
  struct Ref {
    int row, col;
    uint64_t index;
  };
  std::vector<Ref> cells_;
  std::map<uint64_t, std::optional<std::string>> texts_;
  size_t missing_ = 0;
};

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
