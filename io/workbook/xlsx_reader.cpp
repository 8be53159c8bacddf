// The .xlsx branch: a zip archive of XML parts (Office Open XML). The parts read
// are the package relationships, the workbook with its relationships, the
// shared strings and the one worksheet chosen.

#include <zip.h>

#include <QByteArray>
#include <QString>
#include <QXmlStreamReader>
#include <charconv>
#include <cmath>
#include <map>
#include <memory>
#include <vector>

#include "reader_internal.h"

namespace vp::wbread {

namespace {

constexpr int kMaxXmlDepth = 64;  // real parts nest well under 10 levels
constexpr long long kMaxRows = 1048576, kMaxCols = 16384;
// The most characters a cell's text may have (as in the spreadsheet programs).
constexpr qsizetype kMaxTextChars = 32767;
// The most sheets, or relationships of a part, a workbook may have.
constexpr size_t kMaxEntries = 65536;
// The longest stretch of a part without '<' or '>': the XML reader holds a
// whole text, tag or comment in memory, and the longest cell text written with
// character references is a third of this.
constexpr size_t kMaxRunBytes = 1u << 20;

[[noreturn]] void TooBig(const std::string& name) {
  Fail(Fault::TooLarge, "часть " + name + " больше " + std::to_string(kMaxPartBytes >> 20) + " МБ");
}

void CheckTextLength(const QString& text, const std::string& part) {
  if (text.size() > kMaxTextChars)
    Fail(Fault::TooLarge, "текст длиннее " + std::to_string(kMaxTextChars) + " знаков в части " + part);
}

// One part of the archive, decompressed piece by piece, so that a large part
// never sits in memory whole; beyond kMaxPartBytes, or with a stretch longer
// than kMaxRunBytes between markup, it is refused.
class PartStream {
 public:
  PartStream(zip_file_t* file, std::string name) : file_(file), name_(std::move(name)) {}
  ~PartStream() { zip_fclose(file_); }
  PartStream(const PartStream&) = delete;
  PartStream& operator=(const PartStream&) = delete;

  const std::string& Name() const { return name_; }

  // The next piece; empty at the end of the part.
  QByteArray Read() {
    QByteArray piece(1 << 16, Qt::Uninitialized);
    const zip_int64_t n = zip_fread(file_, piece.data(), piece.size());
    if (n < 0) Damaged("часть " + name_ + " повреждена");
    total_ += static_cast<uint64_t>(n);
    if (total_ > kMaxPartBytes) TooBig(name_);
    piece.truncate(static_cast<qsizetype>(n));
    for (const char c : piece) {
      run_ = (c == '<' || c == '>') ? 0 : run_ + 1;
      if (run_ > kMaxRunBytes)
        Fail(Fault::TooLarge, "в части " + name_ + " текст или тег длиннее " + std::to_string(kMaxRunBytes >> 20) + " МБ");
    }
    return piece;
  }

 private:
  zip_file_t* file_;
  std::string name_;
  uint64_t total_ = 0;
  size_t run_ = 0;  // bytes since the last '<' or '>'
};

class ZipArchive {
 public:
  explicit ZipArchive(const std::string& path) {
    int error = 0;
    zip_ = zip_open(path.c_str(), ZIP_RDONLY, &error);
    if (zip_) return;
    // The file was found and read before: libzip's "no such file" means an
    // entry it cannot find, in a damaged archive.
    switch (error) {
      case ZIP_ER_OPEN:
      case ZIP_ER_READ:
        Fail(Fault::Open);
      case ZIP_ER_MEMORY:
        Fail(Fault::TooLarge, "не хватает памяти");
      case ZIP_ER_NOZIP:
        Damaged("архив ZIP не распознан");
      default:
        Damaged("архив ZIP поврежден");
    }
  }
  ~ZipArchive() { zip_discard(zip_); }
  ZipArchive(const ZipArchive&) = delete;
  ZipArchive& operator=(const ZipArchive&) = delete;

  bool Has(const std::string& name) const { return zip_name_locate(zip_, name.c_str(), ZIP_FL_NOCASE) >= 0; }

  // The part opened for reading, or null when the archive has no such part.
  std::unique_ptr<PartStream> Open(const std::string& name) const {
    const zip_int64_t index = zip_name_locate(zip_, name.c_str(), ZIP_FL_NOCASE);
    if (index < 0) return nullptr;
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(zip_, index, 0, &st) != 0) Damaged("часть " + name + " не читается");
    if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE) Fail(Fault::Encrypted);
    if ((st.valid & ZIP_STAT_SIZE) && st.size > kMaxPartBytes) TooBig(name);
    zip_file_t* file = zip_fopen_index(zip_, index, 0);
    if (!file) {
      const int code = zip_error_code_zip(zip_get_error(zip_));
      if (code == ZIP_ER_NOPASSWD || code == ZIP_ER_WRONGPASSWD) Fail(Fault::Encrypted);
      Damaged("часть " + name + " не читается");
    }
    return std::make_unique<PartStream>(file, name);
  }

  std::unique_ptr<PartStream> Require(const std::string& name) const {
    auto part = name.empty() ? nullptr : Open(name);
    if (!part) Damaged(name.empty() ? "ссылка на часть без имени" : "нет части " + name);
    return part;
  }

 private:
  zip_t* zip_ = nullptr;
};

// A QXmlStreamReader fed from a part piece by piece, that refuses DTDs (no
// entity tricks), deep nesting and overlong texts, and reports malformed XML
// as a damaged part.
class Xml {
 public:
  explicit Xml(std::unique_ptr<PartStream> part) : part_(std::move(part)) {}

  // Advances to the next start or end element; false at the end of the document.
  bool Next() {
    for (;;) {
      while (!reader_.atEnd()) {
        switch (reader_.readNext()) {
          case QXmlStreamReader::StartElement:
            if (++depth_ > kMaxXmlDepth) Damaged("слишком глубокая вложенность XML в части " + Part());
            return true;
          case QXmlStreamReader::EndElement:
            --depth_;
            return true;
          case QXmlStreamReader::DTD:
            Damaged("недопустимое объявление DTD в части " + Part());
          case QXmlStreamReader::Characters:
            if (collecting_) {
              text_ += reader_.text();
              CheckTextLength(text_, Part());
            }
            break;
          default:
            break;
        }
      }
      if (reader_.error() != QXmlStreamReader::PrematureEndOfDocumentError) break;
      const QByteArray piece = part_->Read();
      if (piece.isEmpty()) break;
      reader_.addData(piece);
    }
    if (reader_.hasError())
      Damaged("ошибка XML в части " + Part() + " (строка " + std::to_string(reader_.lineNumber()) + ")");
    return false;
  }

  bool Start(QLatin1StringView name) const { return reader_.isStartElement() && reader_.name() == name; }
  bool End(QLatin1StringView name) const { return reader_.isEndElement() && reader_.name() == name; }

  // An attribute without a namespace, or empty.
  QStringView Attr(QLatin1StringView name) const {
    for (const auto& a : reader_.attributes())
      if (a.namespaceUri().isEmpty() && a.name() == name) return a.value();
    return {};
  }
  // An attribute of the given local name in some namespace (r:id).
  QStringView QualifiedAttr(QLatin1StringView name) const {
    for (const auto& a : reader_.attributes())
      if (!a.namespaceUri().isEmpty() && a.name() == name) return a.value();
    return {};
  }

  // Character data is gathered between StartText and TakeText.
  void StartText() {
    collecting_ = true;
    text_.clear();
  }
  QString TakeText() {
    collecting_ = false;
    return std::move(text_);
  }
  bool Collecting() const { return collecting_; }

  const std::string& Part() const { return part_->Name(); }

 private:
  std::unique_ptr<PartStream> part_;
  QXmlStreamReader reader_;
  int depth_ = 0;
  bool collecting_ = false;
  QString text_;
};

struct Relationship {
  QString type, target;
};

// "xl/worksheets/sheet1.xml" from the folder "xl/" and the target
// "worksheets/sheet1.xml", "/xl/worksheets/sheet1.xml" or "../xl/...".
std::string ResolvePart(const std::string& folder, const QString& target) {
  std::string t = target.toStdString();
  std::string joined = !t.empty() && t[0] == '/' ? t.substr(1) : folder + t;
  std::vector<std::string> segments;
  size_t start = 0;
  while (start <= joined.size()) {
    size_t end = joined.find('/', start);
    if (end == std::string::npos) end = joined.size();
    std::string seg = joined.substr(start, end - start);
    if (seg == "..") {
      if (!segments.empty()) segments.pop_back();
    } else if (!seg.empty() && seg != ".") {
      segments.push_back(seg);
    }
    start = end + 1;
  }
  std::string result;
  for (const auto& s : segments) result += (result.empty() ? "" : "/") + s;
  return result;
}

std::string FolderOf(const std::string& part) {
  const size_t slash = part.rfind('/');
  return slash == std::string::npos ? "" : part.substr(0, slash + 1);
}

// "xl/_rels/workbook.xml.rels" for "xl/workbook.xml".
std::string RelsPartOf(const std::string& part) {
  const size_t slash = part.rfind('/');
  const std::string file = slash == std::string::npos ? part : part.substr(slash + 1);
  return FolderOf(part) + "_rels/" + file + ".rels";
}

std::map<QString, Relationship> ReadRelationships(const ZipArchive& zip, const std::string& relsPart) {
  std::map<QString, Relationship> rels;
  auto part = zip.Open(relsPart);
  if (!part) return rels;
  Xml xml(std::move(part));
  while (xml.Next()) {
    if (!xml.Start(QLatin1StringView("Relationship"))) continue;
    if (xml.Attr(QLatin1StringView("TargetMode")) == u"External") continue;
    if (rels.size() == kMaxEntries) Fail(Fault::TooLarge, "слишком много связей в части " + relsPart);
    rels[xml.Attr(QLatin1StringView("Id")).toString()] = {xml.Attr(QLatin1StringView("Type")).toString(),
                                                          xml.Attr(QLatin1StringView("Target")).toString()};
  }
  return rels;
}

bool TypeIs(const QString& type, QLatin1StringView last) { return type.endsWith(u'/' + QString(last)); }

// The strings that the cells want, from the shared-string part; the part is
// read only as far as the last of them.
void ReadSharedStrings(const ZipArchive& zip, const std::string& partName, SharedStringCells& cells) {
  auto part = zip.Open(partName);
  if (!part) return;
  Xml xml(std::move(part));
  uint64_t index = 0;
  bool wanted = false;
  int phonetic = 0;  // inside <rPh>: a reading guide, not part of the text
  QString item;
  while (!cells.AllFound() && xml.Next()) {
    if (xml.Start(QLatin1StringView("si"))) {
      wanted = cells.Wanted(index);
      item.clear();
    } else if (xml.End(QLatin1StringView("si"))) {
      if (wanted) cells.Found(index, item.toStdString());
      wanted = false;
      ++index;
    } else if (xml.Start(QLatin1StringView("rPh"))) {
      ++phonetic;
    } else if (xml.End(QLatin1StringView("rPh"))) {
      --phonetic;
    } else if (wanted && phonetic == 0 && xml.Start(QLatin1StringView("t"))) {
      xml.StartText();
    } else if (xml.End(QLatin1StringView("t")) && xml.Collecting()) {
      item += xml.TakeText();
      CheckTextLength(item, partName);
    }
  }
}

// "AB12" → row 12, column 28. False when the text is not a cell reference.
bool ParseCellRef(QStringView ref, long long& row, long long& col) {
  qsizetype i = 0;
  col = 0;
  for (; i < ref.size() && i < 4; ++i) {
    const char16_t c = ref[i].unicode();
    if (c >= 'A' && c <= 'Z') col = col * 26 + (c - 'A' + 1);
    else if (c >= 'a' && c <= 'z') col = col * 26 + (c - 'a' + 1);
    else break;
  }
  if (col == 0 || i == ref.size()) return false;
  row = 0;
  const qsizetype digitsStart = i;
  for (; i < ref.size() && i - digitsStart < 8; ++i) {
    const char16_t c = ref[i].unicode();
    if (c < '0' || c > '9') return false;
    row = row * 10 + (c - '0');
  }
  return i == ref.size() && row >= 1;
}

// A number as the file format writes it: '.' as the decimal point, no '+',
// within the range of doubles.
bool ParseNumber(const QString& text, double& value) {
  const std::string s = text.trimmed().toStdString();
  const char* end = s.data() + s.size();
  const auto result = std::from_chars(s.data(), end, value);
  return result.ec == std::errc() && result.ptr == end && std::isfinite(value);
}

struct CellDraft {
  int row = 0, col = 0;
  QString type, value, inlineText;
  bool hasValue = false, hasFormula = false;
};

// Reads a worksheet part, keeping only the cells within the sheet's window:
// cells beyond it are passed over without gathering their contents.
class SheetParser {
 public:
  SheetParser(Sheet& sheet, SharedStringCells& shared) : sheet_(sheet), shared_(shared) {}

  void Parse(Xml& xml) {
    long long row = 0, lastCol = 0;
    bool inCell = false, inInline = false;
    int phonetic = 0;
    CellDraft cell;
    while (xml.Next()) {
      if (xml.Start(QLatin1StringView("row"))) {
        const QStringView r = xml.Attr(QLatin1StringView("r"));
        if (r.isEmpty()) {
          ++row;
        } else {
          bool ok = false;
          row = r.toLongLong(&ok);
          if (!ok || row < 1 || row > kMaxRows) Bad(xml, "неверный номер строки");
        }
        lastCol = 0;
      } else if (xml.Start(QLatin1StringView("c"))) {
        const QStringView ref = xml.Attr(QLatin1StringView("r"));
        long long cellRow = row, cellCol = lastCol + 1;
        if (!ref.isEmpty() && !ParseCellRef(ref, cellRow, cellCol)) Bad(xml, "неверная ссылка на ячейку");
        if (cellRow > kMaxRows || cellCol > kMaxCols) Bad(xml, "ячейка за пределами листа");
        lastCol = cellCol;
        inCell = sheet_.Holds(static_cast<int>(cellRow), static_cast<int>(cellCol));
        if (inCell) {
          cell = CellDraft();
          cell.row = static_cast<int>(cellRow);
          cell.col = static_cast<int>(cellCol);
          cell.type = xml.Attr(QLatin1StringView("t")).toString();
        }
      } else if (!inCell) {
        continue;
      } else if (xml.Start(QLatin1StringView("v"))) {
        xml.StartText();
      } else if (xml.End(QLatin1StringView("v"))) {
        cell.value = xml.TakeText();
        cell.hasValue = true;
      } else if (xml.Start(QLatin1StringView("f"))) {
        cell.hasFormula = true;
      } else if (xml.Start(QLatin1StringView("is"))) {
        inInline = true;
      } else if (xml.End(QLatin1StringView("is"))) {
        inInline = false;
      } else if (xml.Start(QLatin1StringView("rPh"))) {
        ++phonetic;
      } else if (xml.End(QLatin1StringView("rPh"))) {
        --phonetic;
      } else if (inInline && phonetic == 0 && xml.Start(QLatin1StringView("t"))) {
        xml.StartText();
      } else if (inInline && xml.End(QLatin1StringView("t")) && xml.Collecting()) {
        cell.inlineText += xml.TakeText();
        CheckTextLength(cell.inlineText, xml.Part());
      } else if (xml.End(QLatin1StringView("c"))) {
        inCell = inInline = false;
        phonetic = 0;
        Store(cell, xml);
      }
    }
  }

 private:
  [[noreturn]] static void Bad(const Xml& xml, const std::string& what) { Damaged(what + " в части " + xml.Part()); }

  void Store(const CellDraft& c, const Xml& xml) {
    const QString& t = c.type;
    if (t == u"inlineStr") {
      sheet_.SetText(c.row, c.col, c.inlineText.toStdString());
    } else if (c.hasFormula && (!c.hasValue || (t != u"str" && c.value.trimmed().isEmpty()))) {
      // A formula saved without its result: no value, or an empty one where
      // only a text result may be empty (openpyxl writes <v></v>).
      sheet_.SetUncalculated(c.row, c.col);
    } else if (!c.hasValue) {
      // A formatted empty cell.
    } else if (t == u"s") {
      bool ok = false;
      const qulonglong index = c.value.trimmed().toULongLong(&ok);
      if (!ok) Bad(xml, "неверный номер общей строки");
      shared_.Add(c.row, c.col, index);
    } else if (t == u"str" || t == u"d") {
      sheet_.SetText(c.row, c.col, c.value.toStdString());
    } else if (t == u"b") {
      sheet_.SetBoolean(c.row, c.col, c.value.trimmed() != u"0");
    } else if (t == u"e") {
      sheet_.SetError(c.row, c.col, c.value.toStdString());
    } else if (t.isEmpty() || t == u"n") {
      // A value that is no number in the file's own notation is kept as
      // written: the loader then names the cell it could not read.
      double value = 0;
      if (ParseNumber(c.value, value)) sheet_.SetNumber(c.row, c.col, value);
      else sheet_.SetError(c.row, c.col, c.value.toStdString());
    } else {
      Bad(xml, "неизвестный тип ячейки");
    }
    if (c.hasFormula) sheet_.MarkFormula(c.row, c.col);
    CheckTextBytes(sheet_);
  }

  Sheet& sheet_;
  SharedStringCells& shared_;
};

class XlsxBook : public Book {
 public:
  explicit XlsxBook(const std::string& path) : zip_(path) {
    // The package relationships name the workbook part; most files use the usual name.
    std::string workbookPart = "xl/workbook.xml";
    for (const auto& [id, rel] : ReadRelationships(zip_, "_rels/.rels"))
      if (TypeIs(rel.type, QLatin1StringView("officeDocument"))) workbookPart = ResolvePart("", rel.target);
    auto workbook = zip_.Open(workbookPart);
    if (!workbook) {
      // An OpenDocument file or another zip archive, not a workbook.
      if (!zip_.Has("[Content_Types].xml")) Fail(Fault::NotWorkbook);
      Damaged("нет части " + workbookPart);
    }
    const auto rels = ReadRelationships(zip_, RelsPartOf(workbookPart));
    const std::string folder = FolderOf(workbookPart);

    bool viewSeen = false;
    Xml xml(std::move(workbook));
    while (xml.Next()) {
      if (xml.Start(QLatin1StringView("sheet"))) {
        if (parts_.size() == kMaxEntries) Fail(Fault::TooLarge, "слишком много листов");
        SheetEntry entry{xml.Attr(QLatin1StringView("name")).toString().toStdString(), SheetKind::Other};
        std::string part;
        auto it = rels.find(xml.QualifiedAttr(QLatin1StringView("id")).toString());
        if (it != rels.end()) {
          part = ResolvePart(folder, it->second.target);
          if (TypeIs(it->second.type, QLatin1StringView("worksheet"))) entry.kind = SheetKind::Worksheet;
          else if (TypeIs(it->second.type, QLatin1StringView("chartsheet"))) entry.kind = SheetKind::Chart;
        }
        info_.sheets.push_back(std::move(entry));
        parts_.push_back(std::move(part));
      } else if (xml.Start(QLatin1StringView("calcPr"))) {
        const QStringView full = xml.Attr(QLatin1StringView("fullCalcOnLoad"));
        recalcOnLoad_ = full == u"1" || full == u"true";
      } else if (xml.Start(QLatin1StringView("workbookView")) && !viewSeen) {
        viewSeen = true;
        bool ok = false;
        const int tab = xml.Attr(QLatin1StringView("activeTab")).toInt(&ok);
        info_.activeTab = ok ? tab : 0;
      }
    }

    stringsPart_ = folder + "sharedStrings.xml";
    for (const auto& [id, rel] : rels)
      if (TypeIs(rel.type, QLatin1StringView("sharedStrings"))) stringsPart_ = ResolvePart(folder, rel.target);
  }

  void ReadCells(int tab, Sheet& sheet) const override {
    if (recalcOnLoad_) sheet.SetFormulasStale();
    SharedStringCells shared;
    Xml xml(zip_.Require(parts_[tab]));
    SheetParser(sheet, shared).Parse(xml);
    if (shared.Empty()) return;
    ReadSharedStrings(zip_, stringsPart_, shared);
    shared.Fill(sheet, " в части " + parts_[tab]);
  }

 private:
  ZipArchive zip_;
  std::vector<std::string> parts_;  // each sheet's part
  std::string stringsPart_;
  bool recalcOnLoad_ = false;  // <calcPr fullCalcOnLoad="1"/>: the saved results may be out of date
};

}  // namespace

std::unique_ptr<Book> OpenXlsx(const std::string& path) { return std::make_unique<XlsxBook>(path); }

}  // namespace vp::wbread
