// The .xls branch: the "Workbook" stream of an OLE2 compound file (opened
// through ole2_container.h) holds BIFF8 records: the workbook globals (sheet list, window with
// the active tab, shared strings), then one substream per sheet with its cells.

#include <QString>
#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "ole2_container.h"
#include "reader_internal.h"

namespace vp::wbread {

namespace {

using Bytes = std::span<const uint8_t>;

enum : uint16_t {
  kBof = 0x0809,
  kEof = 0x000A,
  kFilePass = 0x002F,
  kBoundSheet = 0x0085,
  kWindow1 = 0x003D,
  kSst = 0x00FC,
  kContinue = 0x003C,
  kLabelSst = 0x00FD,
  kLabel = 0x0204,
  kNumber = 0x0203,
  kRk = 0x027E,
  kMulRk = 0x00BD,
  kFormula = 0x0006,
  kString = 0x0207,
  kBoolErr = 0x0205,
  kBlank = 0x0201,
  kMulBlank = 0x00BE,
  kUncalced = 0x005E,  // the sheet's formulas were not recalculated before saving
};
constexpr uint16_t kBiff8 = 0x0600;
constexpr uint8_t kWorksheetType = 0, kChartType = 2;  // BOUNDSHEET's sheet types

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p) { return U16(p) | static_cast<uint32_t>(U16(p + 2)) << 16; }
double F64(const uint8_t* p) { return std::bit_cast<double>(static_cast<uint64_t>(U32(p)) | uint64_t{U32(p + 4)} << 32); }

// RK: a compressed number, either a 30-bit integer or the upper 30 bits of a
// double, optionally divided by 100.
double RkValue(uint32_t rk) {
  double value = (rk & 2) ? static_cast<double>(static_cast<int32_t>(rk) >> 2)
                          : std::bit_cast<double>(uint64_t{rk & 0xFFFFFFFCu} << 32);
  return (rk & 1) ? value / 100 : value;
}

const char* ErrorCode(uint8_t code) {
  switch (code) {
    case 0x00: return "#NULL!";
    case 0x07: return "#DIV/0!";
    case 0x0F: return "#VALUE!";
    case 0x17: return "#REF!";
    case 0x1D: return "#NAME?";
    case 0x24: return "#NUM!";
    case 0x2A: return "#N/A";
    default: return "#ERROR!";
  }
}

struct Record {
  uint16_t type = 0;
  Bytes data;
};

// Walks the records of the stream from a given offset.
class RecordCursor {
 public:
  RecordCursor(Bytes stream, size_t offset) : stream_(stream), pos_(offset) {}

  // False at the end of the stream. A header or body cut off by the end fails.
  bool Next(Record& r) {
    if (pos_ >= stream_.size()) return false;
    if (stream_.size() - pos_ < 4) Damaged("обрывается запись BIFF");
    r.type = U16(&stream_[pos_]);
    const size_t length = U16(&stream_[pos_ + 2]);
    if (stream_.size() - pos_ - 4 < length) Damaged("длина записи BIFF выходит за конец потока");
    r.data = stream_.subspan(pos_ + 4, length);
    pos_ += 4 + length;
    return true;
  }
  // Where the next record starts.
  size_t Offset() const { return pos_; }
  // The record after the current one, without moving.
  bool PeekType(uint16_t& type) const {
    if (pos_ >= stream_.size() || stream_.size() - pos_ < 4) return false;
    type = U16(&stream_[pos_]);
    return true;
  }

 private:
  Bytes stream_;
  size_t pos_;
};

// A record body followed by its CONTINUE records, read as one sequence. A
// string's characters that run into the next record start it with a new
// option byte (compressed or UTF-16), which Chars() takes into account. Every
// read past what the records hold means a damaged file.
class ContinuedData {
 public:
  ContinuedData(const Record& first, RecordCursor& cursor) {
    segments_.push_back(first.data);
    uint16_t type = 0;
    Record r;
    while (cursor.PeekType(type) && type == kContinue && cursor.Next(r)) segments_.push_back(r.data);
  }

  bool AtEnd() {
    SkipExhausted();
    return seg_ >= segments_.size();
  }
  uint8_t U8() {
    SkipExhausted();
    if (seg_ >= segments_.size()) Cut();
    return segments_[seg_][pos_++];
  }
  uint16_t U16() {
    const uint8_t lo = U8();
    return static_cast<uint16_t>(lo | U8() << 8);
  }
  uint32_t U32() {
    const uint32_t lo = U16();
    return lo | static_cast<uint32_t>(U16()) << 16;
  }
  void Skip(uint64_t n) {
    while (n > 0) {
      SkipExhausted();
      if (seg_ >= segments_.size()) Cut();
      const uint64_t step = std::min<uint64_t>(n, segments_[seg_].size() - pos_);
      pos_ += step;
      n -= step;
    }
  }
  // cch characters, one byte each (Latin-1) or two (UTF-16LE), appended to
  // text, or only passed over when text is null.
  void Chars(size_t cch, bool wide, QString* text) {
    if (text) text->reserve(static_cast<qsizetype>(std::min<size_t>(cch, 8224)));
    while (cch > 0) {
      if (pos_ >= segments_[seg_].size()) {
        // The characters go on in the next record, after its own option byte.
        if (++seg_ >= segments_.size()) Cut();
        pos_ = 0;
        if (segments_[seg_].empty()) Cut();
        wide = segments_[seg_][pos_++] & 1;
        continue;  // that record may hold nothing more
      }
      const Bytes s = segments_[seg_];
      const size_t width = wide ? 2 : 1;
      if (s.size() - pos_ < width) Cut();
      const size_t n = std::min(cch, (s.size() - pos_) / width);
      if (text)
        for (size_t i = 0; i < n; ++i)
          *text += QChar(wide ? ::vp::wbread::U16(&s[pos_ + 2 * i]) : static_cast<char16_t>(s[pos_ + i]));
      pos_ += n * width;
      cch -= n;
    }
  }

 private:
  [[noreturn]] static void Cut() { Damaged("обрывается строка"); }
  void SkipExhausted() {
    while (seg_ < segments_.size() && pos_ >= segments_[seg_].size()) {
      ++seg_;
      pos_ = 0;
    }
  }

  std::vector<Bytes> segments_;  // never empty: the first record's body comes first
  size_t seg_ = 0, pos_ = 0;
};

// The SST's XLUnicodeRichExtendedStrings: each has its length, options,
// optional run and extension counts, characters, then the runs and extension.
// Only the strings the cells want are kept; the table is read as far as the
// last of them.
void ReadSst(ContinuedData d, SharedStringCells& cells) {
  d.U32();  // total count of references
  const uint32_t unique = d.U32();
  for (uint32_t i = 0; i < unique && !cells.AllFound() && !d.AtEnd(); ++i) {
    const uint16_t cch = d.U16();
    const uint8_t options = d.U8();
    const uint16_t runs = (options & 0x08) ? d.U16() : 0;
    const uint32_t extLength = (options & 0x04) ? d.U32() : 0;
    if (cells.Wanted(i)) {
      QString text;
      d.Chars(cch, options & 1, &text);
      cells.Found(i, text.toStdString());
    } else {
      d.Chars(cch, options & 1, nullptr);
    }
    d.Skip(uint64_t{runs} * 4 + extLength);
  }
}

// A string in a single record (LABEL): 16-bit length, option byte, characters.
std::string ShortString(Bytes data, size_t offset) {
  if (data.size() < offset + 3) Damaged("обрывается строка");
  const uint16_t cch = U16(&data[offset]);
  const bool wide = data[offset + 2] & 1;
  const size_t bytes = size_t{cch} * (wide ? 2 : 1);
  if (data.size() - offset - 3 < bytes) Damaged("обрывается строка");
  QString text;
  for (size_t i = 0; i < cch; ++i) {
    const uint8_t* p = &data[offset + 3 + i * (wide ? 2 : 1)];
    text += QChar(wide ? U16(p) : static_cast<char16_t>(*p));
  }
  return text.toStdString();
}

struct Globals {
  WorkbookInfo info;
  std::vector<uint32_t> offsets;  // each sheet's BOF in the stream
  std::optional<size_t> sstOffset;  // the shared-string table's record, read when a sheet needs it
};

void CheckBof(const Record& r, uint16_t expectedKind) {
  if (r.type != kBof) {
    // BIFF2..4 BOF records: a file older than Excel 97.
    if (r.type == 0x0009 || r.type == 0x0209 || r.type == 0x0409) Fail(Fault::OldFormat);
    Damaged("нет записи начала потока BIFF");
  }
  if (r.data.size() < 4) Damaged("короткая запись начала потока");
  if (U16(&r.data[0]) != kBiff8) Fail(Fault::OldFormat);
  if (expectedKind != 0 && U16(&r.data[2]) != expectedKind) Damaged("неверный тип потока BIFF");
}

Globals ReadGlobals(Bytes stream) {
  Globals g;
  RecordCursor cursor(stream, 0);
  Record r;
  if (!cursor.Next(r)) Damaged("пустой поток книги");
  CheckBof(r, 0x0005);
  bool windowSeen = false;
  for (size_t at = cursor.Offset(); cursor.Next(r); at = cursor.Offset()) {
    switch (r.type) {
      case kFilePass:
        Fail(Fault::Encrypted);
      case kBoundSheet: {
        if (r.data.size() < 8) Damaged("короткая запись листа");
        const uint8_t type = r.data[5];
        SheetEntry s{{}, type == kWorksheetType ? SheetKind::Worksheet
                         : type == kChartType  ? SheetKind::Chart
                                               : SheetKind::Other};
        // The name: 8-bit length, option byte, characters.
        const size_t cch = r.data[6];
        const bool wide = r.data[7] & 1;
        if (r.data.size() - 8 >= cch * (wide ? 2 : 1)) {
          QString name;
          for (size_t i = 0; i < cch; ++i)
            name += QChar(wide ? U16(&r.data[8 + 2 * i]) : static_cast<char16_t>(r.data[8 + i]));
          s.name = name.toStdString();
        }
        g.info.sheets.push_back(std::move(s));
        g.offsets.push_back(U32(&r.data[0]));
        break;
      }
      case kWindow1:
        if (!windowSeen && r.data.size() >= 12) g.info.activeTab = U16(&r.data[10]);
        windowSeen = true;
        break;
      case kSst:
        if (!g.sstOffset) g.sstOffset = at;
        break;
      case kEof:
        return g;
      default:
        break;
    }
  }
  Damaged("нет конца глобальной части книги");
}

bool IsCellRecord(uint16_t type) {
  switch (type) {
    case kLabelSst: case kLabel: case kNumber: case kRk: case kMulRk:
    case kFormula: case kBoolErr: case kBlank: case kMulBlank:
      return true;
    default:
      return false;
  }
}

void ReadSheetCells(Bytes stream, const Globals& globals, int tab, Sheet& sheet) {
  const uint32_t offset = globals.offsets[tab];
  if (offset >= stream.size()) Damaged("лист начинается за концом потока");
  RecordCursor cursor(stream, offset);
  Record r;
  if (!cursor.Next(r)) Damaged("пустой лист");
  CheckBof(r, 0);
  auto need = [](const Record& rec, size_t size) {
    if (rec.data.size() < size) Damaged("короткая запись ячейки");
  };
  // BIFF rows and columns count from 0.
  auto row = [](const Record& rec) { return U16(&rec.data[0]) + 1; };
  auto col = [](const Record& rec) { return U16(&rec.data[2]) + 1; };
  SharedStringCells shared;
  int nested = 0;  // embedded charts are whole BOF..EOF substreams inside the sheet
  // A formula whose text result follows in a STRING record; when the next cell
  // or the sheet's end comes first, the file holds no result for it.
  int pendingRow = 0, pendingCol = 0;
  auto settlePending = [&] {
    if (pendingRow != 0) sheet.SetUncalculated(pendingRow, pendingCol);
    pendingRow = pendingCol = 0;
  };
  while (cursor.Next(r)) {
    if (r.type == kBof) {
      ++nested;
      continue;
    }
    if (r.type == kEof) {
      if (nested-- > 0) continue;
      settlePending();
      if (!shared.Empty()) {
        if (globals.sstOffset) {
          RecordCursor sst(stream, *globals.sstOffset);
          sst.Next(r);
          ReadSst(ContinuedData(r, sst), shared);
        }
        shared.Fill(sheet, "");
      }
      return;
    }
    if (nested > 0) continue;
    if (IsCellRecord(r.type)) settlePending();
    switch (r.type) {
      case kLabelSst: {
        need(r, 10);
        if (sheet.Holds(row(r), col(r))) shared.Add(row(r), col(r), U32(&r.data[6]));
        break;
      }
      case kLabel:
        need(r, 6);
        if (sheet.Holds(row(r), col(r))) StoreText(sheet, row(r), col(r), ShortString(r.data, 6));
        break;
      case kNumber:
        need(r, 14);
        sheet.SetNumber(row(r), col(r), F64(&r.data[6]));
        break;
      case kRk:
        need(r, 10);
        sheet.SetNumber(row(r), col(r), RkValue(U32(&r.data[6])));
        break;
      case kMulRk: {
        need(r, 6);
        const size_t count = (r.data.size() - 6) / 6;
        for (size_t i = 0; i < count; ++i)
          sheet.SetNumber(row(r), col(r) + static_cast<int>(i), RkValue(U32(&r.data[4 + 6 * i + 2])));
        break;
      }
      case kFormula: {
        need(r, 20);
        const uint8_t* v = &r.data[6];
        if (U16(v + 6) != 0xFFFF) {
          sheet.SetNumber(row(r), col(r), F64(v));
        } else if (v[0] == 0) {
          pendingRow = row(r);
          pendingCol = col(r);
        } else if (v[0] == 1) {
          sheet.SetBoolean(row(r), col(r), v[2] != 0);
        } else if (v[0] == 2) {
          sheet.SetError(row(r), col(r), ErrorCode(v[2]));
        } else {
          sheet.SetText(row(r), col(r), "");
        }
        sheet.MarkFormula(row(r), col(r));
        break;
      }
      case kString:
        if (pendingRow != 0) {
          ContinuedData d(r, cursor);
          const uint16_t cch = d.U16();
          const bool wide = d.U8() & 1;
          QString text;
          d.Chars(cch, wide, sheet.Holds(pendingRow, pendingCol) ? &text : nullptr);
          StoreText(sheet, pendingRow, pendingCol, text.toStdString());
          sheet.MarkFormula(pendingRow, pendingCol);
          pendingRow = pendingCol = 0;
        }
        break;
      case kBoolErr:
        need(r, 8);
        if (r.data[7]) sheet.SetError(row(r), col(r), ErrorCode(r.data[6]));
        else sheet.SetBoolean(row(r), col(r), r.data[6] != 0);
        break;
      case kUncalced:
        sheet.SetFormulasStale();
        break;
      default:
        break;  // BLANK, MULBLANK, formats, dimensions, drawings and the rest
    }
  }
  Damaged("нет конца листа");
}

// The bytes of the "Workbook" stream, after checking what else the container holds.
std::vector<uint8_t> ReadWorkbookStream(const std::string& path) {
  const auto ole = OpenOle2(path);
  int workbook = -1;
  const std::vector<QString>& names = ole->Names();
  for (int i = 0; i < static_cast<int>(names.size()); ++i) {
    const QString& name = names[i];
    // A password-protected .xlsx is stored as an OLE2 file with these streams.
    if (name == u"EncryptionInfo" || name == u"EncryptedPackage") Fail(Fault::Encrypted);
    if (name.compare(u"Workbook", Qt::CaseInsensitive) == 0) workbook = i;
    if (name.compare(u"Book", Qt::CaseInsensitive) == 0 && workbook < 0) workbook = -2;
  }
  if (workbook == -2) Fail(Fault::OldFormat);
  if (workbook < 0) Fail(Fault::NotWorkbook);
  return ole->Read(workbook);
}

class XlsBook : public Book {
 public:
  explicit XlsBook(const std::string& path) : bytes_(ReadWorkbookStream(path)), globals_(ReadGlobals(bytes_)) {
    info_ = globals_.info;
  }
  void ReadCells(int tab, Sheet& sheet) const override {
    ReadSheetCells(bytes_, globals_, tab, sheet);
  }

 private:
  std::vector<uint8_t> bytes_;
  Globals globals_;
};

}  // namespace

void CheckStreamSize(uint64_t size) {
  if (size > kMaxPartBytes)
    Fail(Fault::TooLarge, "поток книги больше " + std::to_string(kMaxPartBytes >> 20) + " МБ");
}

std::unique_ptr<Book> OpenXls(const std::string& path) { return std::make_unique<XlsBook>(path); }

}  // namespace vp::wbread
