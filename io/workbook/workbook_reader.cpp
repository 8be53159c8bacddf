#include "workbook_reader.h"

#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <new>

#include "errors.h"
#include "platform.h"
#include "reader_internal.h"

namespace vp {

namespace {

using wbread::Fault;

[[noreturn]] void Raise(const wbread::ReadFault& f, const std::string& path) {
  static constexpr ErrorCode kCodes[] = {ErrorCode::WorkbookOpen,      ErrorCode::NotWorkbook,
                                         ErrorCode::WorkbookDamaged,   ErrorCode::WorkbookEncrypted,
                                         ErrorCode::WorkbookOldFormat, ErrorCode::WorkbookNoWorksheet,
                                         ErrorCode::WorkbookTooLarge};
  vp::Raise(Error{kCodes[static_cast<int>(f.fault)], 0, 0, "", path, f.detail});
}

std::unique_ptr<wbread::Book> Open(const std::string& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(platform::Utf8Path(path), ec)) wbread::Fail(Fault::Open, "это папка");
  std::ifstream in(platform::Utf8Path(path), std::ios::binary);
  if (!in) wbread::Fail(Fault::Open, "файл не найден или недоступен");
  std::array<unsigned char, 8> head{};
  in.read(reinterpret_cast<char*>(head.data()), head.size());
  static const unsigned char kZip[4] = {'P', 'K', 3, 4};
  static const unsigned char kOle2[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  if (in.gcount() >= 4 && std::memcmp(head.data(), kZip, 4) == 0) return wbread::OpenXlsx(path);
  if (in.gcount() == 8 && std::memcmp(head.data(), kOle2, 8) == 0) return wbread::OpenXls(path);
  wbread::Fail(Fault::NotWorkbook);
}

// Runs a reading step, turning every failure into a Failure naming the file.
template <typename F>
auto Guarded(const std::string& path, F step) {
  try {
    return step();
  } catch (const wbread::ReadFault& f) {
    Raise(f, path);
  } catch (const std::bad_alloc&) {
    Raise({Fault::TooLarge, "не хватает памяти"}, path);
  }
}

Sheet Read(const wbread::Book& book, int tab, int maxRow, int maxCol) {
  const auto& sheets = book.Info().sheets;
  if (tab < 0 || tab >= static_cast<int>(sheets.size()) || sheets[tab].kind != SheetKind::Worksheet)
    wbread::Fail(Fault::NoWorksheet, "лист с номером " + std::to_string(tab + 1) + " не является рабочим");
  Sheet sheet(maxRow, maxCol);
  sheet.SetName(sheets[tab].name);
  book.ReadCells(tab, sheet);
  return sheet;
}

}  // namespace

WorkbookInfo ReadWorkbookInfo(const std::string& path) {
  return Guarded(path, [&] { return Open(path)->Info(); });
}

Sheet ReadSheet(const std::string& path, int tab, int maxRow, int maxCol) {
  return Guarded(path, [&] { return Read(*Open(path), tab, maxRow, maxCol); });
}

Sheet ReadActiveSheet(const std::string& path, int maxRow, int maxCol) {
  return Guarded(path, [&] {
    const auto book = Open(path);
    const WorkbookInfo& info = book->Info();
    int tab = info.activeTab;
    if (tab < 0 || tab >= static_cast<int>(info.sheets.size()) || info.sheets[tab].kind != SheetKind::Worksheet) {
      tab = 0;
      while (tab < static_cast<int>(info.sheets.size()) && info.sheets[tab].kind != SheetKind::Worksheet) ++tab;
      if (tab == static_cast<int>(info.sheets.size())) wbread::Fail(Fault::NoWorksheet);
    }
    return Read(*book, tab, maxRow, maxCol);
  });
}

}  // namespace vp
