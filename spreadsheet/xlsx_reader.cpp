// The .xlsx branch: a zip archive of XML parts (Office Open XML). The parts read
// are the package relationships, the workbook with its relationships, the
// shared strings and the one worksheet chosen.

#include <zip.h>

#include <QByteArray>
#include <QString>
#include <QXmlStreamReader>
#include <charconv>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "reader_internal.h"

namespace vp::wbread {

namespace {

constexpr int kMaxXmlDepth = 64;  // real parts nest well under 10 levels
constexpr long long kMaxRows = 1048576, kMaxCols = 16384;

class ZipArchive {
 public:
  explicit ZipArchive(const std::string& path) {
    int error = 0;
    zip_ = zip_open(path.c_str(), ZIP_RDONLY, &error);
    if (zip_) return;
    switch (error) {
      case ZIP_ER_OPEN:
      case ZIP_ER_NOENT:
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

  // The part's bytes, or nothing when the archive has no such part.
  std::optional<QByteArray> Read(const std::string& name) const {
    const zip_int64_t index = zip_name_locate(zip_, name.c_str(), ZIP_FL_NOCASE);
    if (index < 0) return std::nullopt;
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
    QByteArray data;
    char buffer[65536];
    for (;;) {
      const zip_int64_t n = zip_fread(file, buffer, sizeof buffer);
      if (n < 0) {
        zip_fclose(file);
        Damaged("часть " + name + " повреждена");
      }
      if (n == 0) break;
      if (data.size() + n > static_cast<qsizetype>(kMaxPartBytes)) {
        zip_fclose(file);
        TooBig(name);
      }
      data.append(buffer, n);
    }
    zip_fclose(file);
    return data;
  }

  QByteArray Require(const std::string& name) const {
    auto data = Read(name);
    if (!data) Damaged("нет части " + name);
    return *data;
  }

 private:
  [[noreturn]] static void TooBig(const std::string& name) {
    Fail(Fault::TooLarge, "часть " + name + " больше " + std::to_string(kMaxPartBytes >> 20) + " МБ");
  }

  zip_t* zip_ = nullptr;
};

// A QXmlStreamReader that refuses DTDs (no entity tricks) and deep nesting,
// and reports malformed XML as a damaged part.
class Xml {
 public:
  Xml(const QByteArray& data, std::string part) : reader_(data), part_(std::move(part)) {}

  // Advances to the next start or end element; false at the end of the document.
  bool Next() {
    while (!reader_.atEnd()) {
      switch (reader_.readNext()) {
        case QXmlStreamReader::StartElement:
          if (++depth_ > kMaxXmlDepth) Damaged("слишком глубокая вложенность XML в части " + part_);
          return true;
        case QXmlStreamReader::EndElement:
          --depth_;
          return true;
        case QXmlStreamReader::DTD:
          Damaged("недопустимое объявление DTD в части " + part_);
        case QXmlStreamReader::Characters:
          if (collecting_) text_ += reader_.text();
          break;
        default:
          break;
      }
    }
    if (reader_.hasError())
      Damaged("ошибка XML в части " + part_ + " (строка " + std::to_string(reader_.lineNumber()) + ")");
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

  const std::string& Part() const { return part_; }

 private:
  QXmlStreamReader reader_;
  std::string part_;
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
  auto data = zip.Read(relsPart);
  if (!data) return rels;
  Xml xml(*data, relsPart);
  while (xml.Next()) {
    if (!xml.Start(QLatin1StringView("Relationship"))) continue;
    if (xml.Attr(QLatin1StringView("TargetMode")) == u"External") continue;
    rels[xml.Attr(QLatin1StringView("Id")).toString()] = {xml.Attr(QLatin1StringView("Type")).toString(),
                                                          xml.Attr(QLatin1StringView("Target")).toString()};
  }
  return rels;
}

bool TypeIs(const QString& type, QLatin1StringView last) { return type.endsWith(u'/' + QString(last)); }

std::vector<std::string> ReadSharedStrings(const ZipArchive& zip, const std::string& part) {
  std::vector<std::string> strings;
  auto data = zip.Read(part);
  if (!data) return strings;
  Xml xml(*data, part);
  bool inItem = false;
  int phonetic = 0;  // inside <rPh>: a reading guide, not part of the text
  QString item;
  while (xml.Next()) {
    if (xml.Start(QLatin1StringView("si"))) {
      inItem = true;
      item.clear();
    } else if (xml.End(QLatin1StringView("si"))) {
      inItem = false;
      strings.push_back(item.toStdString());
    } else if (xml.Start(QLatin1StringView("rPh"))) {
      ++phonetic;
    } else if (xml.End(QLatin1StringView("rPh"))) {
      --phonetic;
    } else if (inItem && phonetic == 0 && xml.Start(QLatin1StringView("t"))) {
      xml.StartText();
    } else if (xml.End(QLatin1StringView("t")) && xml.Collecting()) {
      item += xml.TakeText();
    }
  }
  return strings;
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

bool ParseCount(QStringView text, long long& value) {
  bool ok = false;
  value = text.toLongLong(&ok);
  return ok && value >= 1;
}

bool ParseNumber(const QString& text, double& value) {
  const std::string s = text.trimmed().toStdString();
  const char* end = s.data() + s.size();
  const auto result = std::from_chars(s.data(), end, value);
  return result.ec == std::errc() && result.ptr == end;
}

struct CellDraft {
  long long row = 0, col = 0;
  QString type, value, inlineText;
  bool hasValue = false;
};

class SheetParser {
 public:
  SheetParser(Sheet& sheet, const std::vector<std::string>& strings) : sheet_(sheet), strings_(strings) {}

  void Parse(const QByteArray& data, const std::string& part) {
    Xml xml(data, part);
    long long row = 0, lastCol = 0;
    bool inCell = false, inInline = false;
    int phonetic = 0;
    CellDraft cell;
    while (xml.Next()) {
      if (xml.Start(QLatin1StringView("row"))) {
        const QStringView r = xml.Attr(QLatin1StringView("r"));
        if (r.isEmpty()) ++row;
        else if (!ParseCount(r, row)) Bad(part, "неверный номер строки");
        lastCol = 0;
      } else if (xml.Start(QLatin1StringView("c"))) {
        cell = CellDraft();
        const QStringView ref = xml.Attr(QLatin1StringView("r"));
        if (ref.isEmpty()) {
          cell.row = row;
          cell.col = lastCol + 1;
        } else if (!ParseCellRef(ref, cell.row, cell.col)) {
          Bad(part, "неверная ссылка на ячейку");
        }
        lastCol = cell.col;
        cell.type = xml.Attr(QLatin1StringView("t")).toString();
        inCell = true;
      } else if (inCell && xml.Start(QLatin1StringView("v"))) {
        xml.StartText();
      } else if (inCell && xml.End(QLatin1StringView("v"))) {
        cell.value = xml.TakeText();
        cell.hasValue = true;
      } else if (inCell && xml.Start(QLatin1StringView("is"))) {
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
      } else if (xml.End(QLatin1StringView("c"))) {
        inCell = false;
        Store(cell, part);
      }
    }
  }

 private:
  [[noreturn]] static void Bad(const std::string& part, const std::string& what) {
    Damaged(what + " в части " + part);
  }

  void Store(const CellDraft& c, const std::string& part) {
    if (c.row > kMaxRows || c.col > kMaxCols) Bad(part, "ячейка за пределами листа");
    const int row = static_cast<int>(c.row), col = static_cast<int>(c.col);
    if (!sheet_.Holds(row, col)) return;
    const QString& t = c.type;
    if (t == u"inlineStr") {
      sheet_.SetText(row, col, c.inlineText.toStdString());
    } else if (!c.hasValue) {
      return;  // a formula without a cached result, or a formatted empty cell
    } else if (t == u"s") {
      bool ok = false;
      const qulonglong index = c.value.trimmed().toULongLong(&ok);
      if (!ok || index >= strings_.size()) Bad(part, "неверный номер общей строки");
      sheet_.SetText(row, col, strings_[index]);
    } else if (t == u"str" || t == u"d") {
      sheet_.SetText(row, col, c.value.toStdString());
    } else if (t == u"b") {
      sheet_.SetBoolean(row, col, c.value.trimmed() != u"0");
    } else if (t == u"e") {
      sheet_.SetError(row, col, c.value.toStdString());
    } else if (t.isEmpty() || t == u"n") {
      double value = 0;
      if (!ParseNumber(c.value, value)) Bad(part, "неверное число");
      sheet_.SetNumber(row, col, value);
    } else {
      Bad(part, "неизвестный тип ячейки");
    }
  }

  Sheet& sheet_;
  const std::vector<std::string>& strings_;
};

class XlsxBook : public Book {
 public:
  explicit XlsxBook(const std::string& path) : zip_(path) {
    // The package relationships name the workbook part; most files use the usual name.
    std::string workbookPart = "xl/workbook.xml";
    for (const auto& [id, rel] : ReadRelationships(zip_, "_rels/.rels"))
      if (TypeIs(rel.type, QLatin1StringView("officeDocument"))) workbookPart = ResolvePart("", rel.target);
    auto workbook = zip_.Read(workbookPart);
    if (!workbook) {
      // An OpenDocument file or another zip archive, not a workbook.
      if (!zip_.Read("[Content_Types].xml")) Fail(Fault::NotWorkbook);
      Damaged("нет части " + workbookPart);
    }
    const auto rels = ReadRelationships(zip_, RelsPartOf(workbookPart));
    const std::string folder = FolderOf(workbookPart);

    bool viewSeen = false;
    Xml xml(*workbook, workbookPart);
    while (xml.Next()) {
      if (xml.Start(QLatin1StringView("sheet"))) {
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
    const std::vector<std::string> strings = ReadSharedStrings(zip_, stringsPart_);
    SheetParser(sheet, strings).Parse(zip_.Require(parts_[tab]), parts_[tab]);
  }

 private:
  ZipArchive zip_;
  std::vector<std::string> parts_;  // each sheet's part
  std::string stringsPart_;
};

}  // namespace

std::unique_ptr<Book> OpenXlsx(const std::string& path) { return std::make_unique<XlsxBook>(path); }

}  // namespace vp::wbread
