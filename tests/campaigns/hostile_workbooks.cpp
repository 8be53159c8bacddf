// A campaign of hostile workbooks against the readers, built and run on request
// by scripts/hostile_workbooks.sh (in the sanitizer build, and in a release
// build for the memory figures). Each test is one class of damaged or
// malicious .xlsx or .xls files; every file is read the way the loader reads
// it and must give cells or a message naming the file: no crash, no exception
// of another kind, no line on the terminal, no long run, no large memory.
// Each class prints its count, how many were read and refused, the slowest
// file, the largest memory growth and its most frequent messages.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>

#include "cell_values.h"
#include "errors.h"
#include "messages.h"
#include "workbook_files.h"
#include "workbook_reader.h"

using namespace vp;
using namespace vp::test;

namespace {

const std::string kData = VP_TEST_DATA_DIR;
constexpr int kRows = 31, kCols = 201;  // the loader's window

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
// A file at the parts' size bound is read twice in some 13 s, three times slower with the sanitizers.
constexpr double kMaxSeconds = kSanitized ? 90 : 30, kMaxMb = 150;

std::string Repeat(const std::string& s, size_t n) {
  std::string out;
  out.reserve(s.size() * n);
  for (size_t i = 0; i < n; ++i) out += s;
  return out;
}

const char* kNs = " xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";
const char* kRelNs = " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";

std::string Rel(const std::string& id, const std::string& type, const std::string& target) {
  return "<Relationship Id=\"" + id + "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/" +
         type + "\" Target=\"" + target + "\"/>";
}
std::string Rels(const std::string& body) {
  return "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" + body +
         "</Relationships>";
}

// The parts of a small valid workbook in the loader's layout, by index.
enum { kTypes, kPackageRels, kWorkbook, kWorkbookRels, kSheetPart, kStrings };
const char* kPartNames[] = {"[Content_Types].xml", "_rels/.rels", "xl/workbook.xml", "xl/_rels/workbook.xml.rels",
                            "xl/worksheets/sheet1.xml", "xl/sharedStrings.xml"};

std::string SheetXml(const std::string& rows) {
  return std::string("<worksheet") + kNs + "><sheetData>" + rows + "</sheetData></worksheet>";
}
std::string Row(int r, const std::string& cells) { return "<row r=\"" + std::to_string(r) + "\">" + cells + "</row>"; }
std::string NumberCell(const std::string& ref, const std::string& v) { return "<c r=\"" + ref + "\"><v>" + v + "</v></c>"; }

Parts BaseXlsx(const std::string& sheetRows = "", const std::string& strings = "") {
  const std::string rows = sheetRows.empty()
                               ? Row(1, "<c r=\"A1\" t=\"s\"><v>0</v></c>" + NumberCell("B1", "2")) +
                                     Row(2, NumberCell("B2", "3")) + Row(17, "<c r=\"C17\" t=\"s\"><v>1</v></c>")
                               : sheetRows;
  return {{kPartNames[kTypes], "<?xml version=\"1.0\"?><Types xmlns=\"http://schemas.openxmlformats.org/package/2006/"
                               "content-types\"/>"},
          {kPartNames[kPackageRels], Rels(Rel("rId1", "officeDocument", "xl/workbook.xml"))},
          {kPartNames[kWorkbook], std::string("<workbook") + kNs + kRelNs +
                                      "><bookViews><workbookView activeTab=\"0\"/></bookViews><sheets>"
                                      "<sheet name=\"Лист1\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"},
          {kPartNames[kWorkbookRels],
           Rels(Rel("rId1", "worksheet", "worksheets/sheet1.xml") + Rel("rId2", "sharedStrings", "sharedStrings.xml"))},
          {kPartNames[kSheetPart], SheetXml(rows)},
          {kPartNames[kStrings], strings.empty() ? std::string("<sst") + kNs +
                                                       "><si><t>число опор:</t></si><si><t>2,5</t></si></sst>"
                                                 : strings}};
}

// ---- BIFF8 streams ----

struct RawRecord {
  size_t offset;  // of the header in the stream
  uint16_t type, length;
};

std::vector<RawRecord> Records(const Bytes& stream) {
  std::vector<RawRecord> out;
  for (size_t at = 0; at + 4 <= stream.size();) {
    const uint16_t type = stream[at] | stream[at + 1] << 8, length = stream[at + 2] | stream[at + 3] << 8;
    out.push_back({at, type, length});
    at += 4 + length;
  }
  return out;
}

class Campaign : public ::testing::Test {
 protected:
  void SetUp() override {
    name_ = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    dir_ = FreshDir("hostile_" + name_);
  }
  void TearDown() override {
    std::printf("%-28s %5d files: %5d read, %5d refused; slowest %.2f s; memory %s\n", name_.c_str(), files_, read_,
                refused_, slowest_, std::isnan(maxMb_) ? "-" : (std::to_string(int(maxMb_ + 0.5)) + " MB").c_str());
    std::vector<std::pair<int, std::string>> top;
    for (const auto& [m, n] : messages_) top.push_back({n, m});
    std::sort(top.rbegin(), top.rend());
    for (size_t i = 0; i < top.size() && i < 6; ++i) std::printf("    %5d  %s\n", top[i].first, top[i].second.c_str());
    std::filesystem::remove_all(dir_);
  }

  // Reads a file the way the loader does; anything but cells or a Failure
  // naming the file fails.
  void Read(const std::string& path, const std::string& what) {
    ++files_;
    ::testing::internal::CaptureStderr();
    const auto start = std::chrono::steady_clock::now();
    const double mb = PeakGrowthMb([&] {
      try {
        const WorkbookInfo info = ReadWorkbookInfo(path);
        const Sheet active = ReadActiveSheet(path, kRows, kCols);
        for (size_t tab = 0; tab < info.sheets.size() && tab < 4; ++tab)
          if (info.sheets[tab].kind == SheetKind::Worksheet) ReadSheet(path, static_cast<int>(tab), kRows, kCols);
        for (int r = 1; r <= kRows; ++r)
          for (int c = 1; c <= kCols; ++c) try {
              CellAsReal(active, r, c, ',');
            } catch (const Failure&) {
            }
        ++read_;
      } catch (const Failure& e) {
        ++refused_;
        std::string m = Message(e.error());
        EXPECT_NE(m.find("«"), std::string::npos) << what << ": " << m;
        const size_t open = m.find("«"), close = m.find("»", open);
        if (open != std::string::npos && close != std::string::npos) m.replace(open, close - open, "«…");
        ++messages_[m.substr(0, 160)];
      } catch (const std::exception& e) {
        ADD_FAILURE() << what << ": not a Failure: " << e.what();
      }
    });
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const std::string log = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(log, "") << what;
    EXPECT_LT(seconds, kMaxSeconds) << what;
    slowest_ = std::max(slowest_, seconds);
    if (!kSanitized && !std::isnan(mb)) {
      EXPECT_LT(mb, kMaxMb) << what;
      maxMb_ = std::isnan(maxMb_) ? mb : std::max(maxMb_, mb);
    }
  }

  void ReadXlsx(const Parts& parts, const std::string& what) {
    const std::string path = dir_ + "/case.xlsx";
    WriteZip(path, parts);
    Read(path, what);
  }
  void ReadXls(const Bytes& stream, const std::string& what) {
    const std::string path = dir_ + "/case.xls";
    WriteOle2(path, {{"Workbook", stream}});
    Read(path, what);
  }
  void ReadBytes(const std::string& bytes, const std::string& name, const std::string& what) {
    const std::string path = dir_ + "/" + name;
    WriteFile(path, bytes);
    Read(path, what);
  }

  std::string name_, dir_;
  int files_ = 0, read_ = 0, refused_ = 0;
  double slowest_ = 0, maxMb_ = std::nan("");
  std::map<std::string, int> messages_;
};

// ---- .xlsx ----

TEST_F(Campaign, XlsxTruncatedFixtures) {
  for (const char* name : {"input.xlsx", "results.xlsx", "results_lo.xlsx"}) {
    const std::string bytes = ReadFile(kData + "/" + name);
    for (size_t cut = 0; cut < bytes.size(); cut += 1 + bytes.size() / 150)
      ReadBytes(bytes.substr(0, cut), "cut.xlsx", std::string(name) + " cut at " + std::to_string(cut));
    for (size_t cut = bytes.size() - 64; cut < bytes.size(); ++cut)  // the central directory
      ReadBytes(bytes.substr(0, cut), "cut.xlsx", std::string(name) + " cut at " + std::to_string(cut));
  }
}

TEST_F(Campaign, XlsxTruncatedParts) {
  for (const std::string& source : {kData + "/input.xlsx", kData + "/results.xlsx"}) {
    const Parts parts = ZipParts(source);
    for (size_t p = 0; p < parts.size(); ++p)
      for (int k = 0; k < 12; ++k) {
        Parts cut = parts;
        cut[p].second.resize(cut[p].second.size() * k / 12);
        ReadXlsx(cut, source + " part " + parts[p].first + " cut " + std::to_string(k));
      }
  }
}

TEST_F(Campaign, XlsxEntityExpansion) {
  const std::string laughs =
      "<!DOCTYPE x [<!ENTITY a \"aaaaaaaaaa\">" + [] {
        std::string d;
        for (char e = 'b'; e <= 'j'; ++e) d += std::string("<!ENTITY ") + e + " \"" + Repeat(std::string("&") + char(e - 1) + ";", 10) + "\">";
        return d;
      }() + "]>";
  const std::string dtds[] = {laughs, "<!DOCTYPE x [<!ENTITY e SYSTEM \"file:///etc/passwd\">]>",
                              "<!DOCTYPE x [<!ENTITY % p \"<!ENTITY q 'x'>\"> %p;]>", "<!DOCTYPE x SYSTEM \"http://example.invalid/x.dtd\">"};
  for (int part = kPackageRels; part <= kStrings; ++part)
    for (const std::string& dtd : dtds) {
      Parts parts = BaseXlsx();
      parts[part].second = "<?xml version=\"1.0\"?>" + dtd + parts[part].second;
      ReadXlsx(parts, std::string(kPartNames[part]) + " DTD");
    }
  // References to entities never declared, and character references to no character.
  for (const std::string ref : {"&j;", "&e;", "&#0;", "&#xD800;", "&#x110000;", "&#99999999999;", "&#x;", "&"}) {
    ReadXlsx(BaseXlsx("", std::string("<sst") + kNs + "><si><t>a" + ref + "b</t></si></sst>"), "sst " + ref);
    ReadXlsx(BaseXlsx(Row(1, "<c r=\"B1\" t=\"inlineStr\"><is><t>" + ref + "</t></is></c>")), "inline " + ref);
    Parts parts = BaseXlsx();
    parts[kWorkbook].second.replace(parts[kWorkbook].second.find("Лист1"), 5, ref);
    ReadXlsx(parts, "sheet name " + ref);
  }
}

TEST_F(Campaign, XlsxDeepNesting) {
  for (int part = kPackageRels; part <= kStrings; ++part)
    for (size_t depth : {63, 65, 1000, 100000, 1000000}) {
      Parts parts = BaseXlsx();
      std::string& xml = parts[part].second;
      const size_t close = xml.rfind("</");
      xml = xml.substr(0, close) + Repeat("<a>", depth) + Repeat("</a>", depth) + xml.substr(close);
      ReadXlsx(parts, std::string(kPartNames[part]) + " depth " + std::to_string(depth));
      Parts unclosed = BaseXlsx();
      unclosed[part].second += Repeat("<a>", depth);
      ReadXlsx(unclosed, std::string(kPartNames[part]) + " unclosed depth " + std::to_string(depth));
    }
}

TEST_F(Campaign, XlsxInvalidUtf8AndEncodings) {
  for (std::string b : {std::string("\xFF"), std::string("\xC0\xAF"), std::string("\xED\xA0\x80"),
                        std::string("\xF4\x90\x80\x80"), std::string("\xE2\x82"), std::string("\x01"),
                        std::string("\0", 1), std::string("\x1B[2J")}) {
    ReadXlsx(BaseXlsx("", std::string("<sst") + kNs + "><si><t>a" + b + "</t></si><si><t>1</t></si></sst>"), "sst");
    ReadXlsx(BaseXlsx(Row(1, "<c r=\"B1\" t=\"inlineStr\"><is><t>" + b + "</t></is></c>")), "inline");
    ReadXlsx(BaseXlsx(Row(1, "<c r=\"B1\"><v>1" + b + "</v></c>")), "number");
    ReadXlsx(BaseXlsx(Row(1, "<c" + b + " r=\"B1\"><v>1</v></c>")), "element name");
    Parts parts = BaseXlsx();
    parts[kWorkbook].second.replace(parts[kWorkbook].second.find("Лист1"), 5, "Л" + b);
    ReadXlsx(parts, "sheet name");
    parts = BaseXlsx();
    parts[kWorkbookRels].second.replace(parts[kWorkbookRels].second.find("worksheets/sheet1"), 10, "works" + b);
    ReadXlsx(parts, "target");
  }
  // Declared encodings that differ from the bytes, unknown ones, UTF-16 and byte-order marks.
  for (const std::string decl : {"<?xml version=\"1.0\" encoding=\"UTF-16\"?>", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>",
                                  "<?xml version=\"1.0\" encoding=\"x-unknown\"?>", "<?xml version=\"1.0\" encoding=\"EBCDIC-US\"?>",
                                  "\xEF\xBB\xBF", "\xEF\xBB\xBF\xEF\xBB\xBF", "<?xml version=\"9.9\"?>"}) {
    for (int part = kPackageRels; part <= kStrings; ++part) {
      Parts parts = BaseXlsx();
      parts[part].second = decl + parts[part].second;
      ReadXlsx(parts, std::string(kPartNames[part]) + " " + decl);
    }
  }
  Parts utf16 = BaseXlsx();
  std::string& sheet = utf16[kSheetPart].second;  // ASCII only
  std::string wide = "\xFF\xFE";
  for (char c : sheet) wide += std::string{c, '\0'};
  sheet = wide;
  ReadXlsx(utf16, "UTF-16 sheet");
}

TEST_F(Campaign, XlsxHugeRowAndColumnNumbers) {
  for (const std::string r : {"0", "-1", "1048576", "1048577", "2147483648", "9223372036854775807",
                               "99999999999999999999", "1.5", "", " 1", "1e3", "٣", "0x10"})
    ReadXlsx(BaseXlsx("<row r=\"" + r + "\"><c><v>1</v></c></row><row><c><v>2</v></c></row>"), "row " + r);
  for (const std::string ref : {"A0", "A1048576", "A1048577", "XFD1", "XFE1", "ZZZZ1", "AAAAA1", "A99999999",
                                 "A999999999999", "1A", "$A$1", "a1", "A 1", "Ж1", "A-1", "A+1", "", "B"})
    ReadXlsx(BaseXlsx(Row(1, "<c r=\"" + ref + "\"><v>1</v></c><c><v>2</v></c>")), "ref " + ref);
  for (const std::string tab : {"-1", "1", "2147483647", "2147483648", "99999999999", "x", "1e3", ""}) {
    Parts parts = BaseXlsx();
    parts[kWorkbook].second.replace(parts[kWorkbook].second.find("activeTab=\"0\""), 13, "activeTab=\"" + tab + "\"");
    ReadXlsx(parts, "activeTab " + tab);
  }
  const std::string dimension = std::string("<worksheet") + kNs + "><dimension ref=\"A1:XFD1048576\"/><sheetData>";
  Parts parts = BaseXlsx();
  parts[kSheetPart].second.replace(0, parts[kSheetPart].second.find("<sheetData>") + 11, dimension);
  ReadXlsx(parts, "dimension");
  // Rows and cells without numbers running past the sheet's end.
  ReadXlsx(BaseXlsx("<row r=\"1048576\"/>" + Repeat("<row><c><v>1</v></c></row>", 3)), "implicit rows");
  ReadXlsx(BaseXlsx("<row>" + Repeat("<c><v>1</v></c>", 16385) + "</row>"), "implicit columns");
  ReadXlsx(BaseXlsx(Repeat("<row>" + Repeat("<c/>", 100) + "</row>", 20000)), "two million blank cells");
}

TEST_F(Campaign, XlsxSharedStrings) {
  for (const std::string index : {"-1", "2", "4294967296", "18446744073709551616", "99999999999999999999", "1e3",
                                   " 1", "0x1", "", "1.0", "+1", "١"})
    ReadXlsx(BaseXlsx(Row(1, "<c r=\"B1\" t=\"s\"><v>" + index + "</v></c>")), "index " + index);
  const std::string sst = std::string("<sst") + kNs + " count=\"4294967295\" uniqueCount=\"4294967295\">";
  ReadXlsx(BaseXlsx("", sst + "<si><t>a</t></si><si><t>1</t></si></sst>"), "huge counts");
  ReadXlsx(BaseXlsx("", sst + "<t>a</t><si><t>a</t></si><t>1</t><si><t>1</t></si></sst>"), "texts outside items");
  ReadXlsx(BaseXlsx("", sst + "<si><si><t>a</t></si></si><si><t>1</t></si></sst>"), "nested items");
  ReadXlsx(BaseXlsx("", sst + "<si><rPh><t>a</t></si><si><t>1</t></si></sst>"), "unbalanced reading guide");
  ReadXlsx(BaseXlsx("", sst + "<si>" + Repeat("<r><t>x</t></r>", 40000) + "</si><si><t>1</t></si></sst>"), "many runs");
  ReadXlsx(BaseXlsx(Row(1, "<c r=\"B1\" t=\"s\"><v>2999999</v></c>"), sst + Repeat("<si/>", 3000000) + "</sst>"),
           "three million empty strings, the last shown");
  ReadXlsx(BaseXlsx(Row(1, "<c r=\"B1\" t=\"s\"><v>0</v></c>"), sst + "<si><t>" + Repeat("x", 60000000) + "</t></si></sst>"),
           "one string of 60 MB shown");
  ReadXlsx(BaseXlsx(Row(1, "<c r=\"B1\" t=\"s\"><v>1</v></c>"),
                    sst + "<si><t>" + Repeat("x", 60000000) + "</t></si><si><t>1</t></si></sst>"),
           "one string of 60 MB passed over");
}

TEST_F(Campaign, XlsxZipBombsAndLyingSizes) {
  for (int part = kTypes; part <= kStrings; ++part) {
    Parts parts = BaseXlsx();
    parts[part].second += std::string(200u << 20, ' ');
    ReadXlsx(parts, std::string(kPartNames[part]) + " 200 MB");
  }
  // Sizes in the archive's headers that understate the part: 40 MB of rows claimed as 1000 bytes.
  Parts parts = BaseXlsx(Repeat("<row/>", 7000000));
  const std::string path = dir_ + "/liar.xlsx";
  WriteZip(path, parts);
  std::string bytes = ReadFile(path);
  const uint32_t real = static_cast<uint32_t>(parts[kSheetPart].second.size());
  std::string realLe(4, '\0');
  for (int k = 0; k < 4; ++k) realLe[k] = static_cast<char>(real >> (8 * k));
  for (uint32_t claimed : {1000u, 0u, 0xFFFFFFFFu}) {
    std::string patched = bytes;
    std::string claimedLe(4, '\0');
    for (int k = 0; k < 4; ++k) claimedLe[k] = static_cast<char>(claimed >> (8 * k));
    for (size_t at = patched.find(realLe); at != std::string::npos; at = patched.find(realLe, at + 4))
      patched.replace(at, 4, claimedLe);
    ReadBytes(patched, "liar.xlsx", "claimed size " + std::to_string(claimed));
  }
  // Just under the bound: 63 MB of blank rows, read in full.
  ReadXlsx(BaseXlsx(Repeat("<row/>", 11000000)), "63 MB of blank rows");
}

TEST_F(Campaign, XlsxDuplicateAndStrayParts) {
  // Two entries of one name: the archive is written with a stand-in name, then renamed in place.
  for (int part = kPackageRels; part <= kStrings; ++part)
    for (bool garbageFirst : {false, true}) {
      Parts parts = BaseXlsx();
      std::string twin = kPartNames[part];
      twin.back() = '~';
      parts.insert(parts.begin() + part + (garbageFirst ? 0 : 1), {twin, "<garbage"});
      const std::string path = dir_ + "/twins.xlsx";
      WriteZip(path, parts);
      std::string bytes = ReadFile(path);
      for (size_t at = bytes.find(twin); at != std::string::npos; at = bytes.find(twin, at + 1))
        bytes.replace(at, twin.size(), kPartNames[part]);
      ReadBytes(bytes, "twins.xlsx", std::string("duplicate ") + kPartNames[part]);
    }
  // Relationships that lead anywhere.
  for (const std::string& target : std::vector<std::string>{"../../../../etc/passwd", "/", "", "xl/", "/xl/workbook.xml", "/xl/_rels/workbook.xml.rels",
        "/xl/sharedStrings.xml", "/[Content_Types].xml", "worksheets/../../../xl/worksheets/sheet1.xml",
        Repeat("../", 10000) + "x", "%2e%2e/x", "..\\..\\x", "worksheets/sheet1.xml#x", "file:///etc/passwd",
        "worksheets/SHEET1.XML", Repeat("a/", 30000)}) {
    Parts parts = BaseXlsx();
    parts[kWorkbookRels].second =
        Rels(Rel("rId1", "worksheet", target) + Rel("rId2", "sharedStrings", target));
    ReadXlsx(parts, "target " + target.substr(0, 40));
    parts = BaseXlsx();
    parts[kPackageRels].second = Rels(Rel("rId1", "officeDocument", target));
    ReadXlsx(parts, "workbook at " + target.substr(0, 40));
  }
  Parts parts = BaseXlsx();
  parts[kWorkbookRels].second = Rels(Rel("rId1", "worksheet", "worksheets/sheet1.xml") +
                                     Rel("rId1", "chartsheet", "worksheets/sheet1.xml"));
  ReadXlsx(parts, "one id twice");
  parts = BaseXlsx();
  parts[kWorkbook].second.replace(parts[kWorkbook].second.find("<sheets>"), 8,
                                  "<sheets>" + Repeat("<sheet name=\"Лист1\" sheetId=\"1\" r:id=\"rId1\"/>", 3));
  ReadXlsx(parts, "one sheet three times");
  parts = BaseXlsx();
  parts.erase(parts.begin() + kTypes);
  parts.erase(parts.begin());  // the package relationships too
  ReadXlsx(parts, "no content types, no package relationships");
}

TEST_F(Campaign, XlsxManyEntries) {
  Parts parts = BaseXlsx();
  parts[kWorkbook].second.replace(parts[kWorkbook].second.find("<sheets>"), 8,
                                  "<sheets>" + Repeat("<sheet name=\"x\" r:id=\"rId9\"/>", 70000));
  ReadXlsx(parts, "70000 sheets");
  parts = BaseXlsx();
  std::string rels;
  for (int i = 0; i < 70000; ++i) rels += Rel("r" + std::to_string(i), "worksheet", "worksheets/sheet1.xml");
  parts[kWorkbookRels].second = Rels(rels + Rel("rId1", "worksheet", "worksheets/sheet1.xml"));
  ReadXlsx(parts, "70000 relationships");
  parts = BaseXlsx();
  for (int i = 0; i < 20000; ++i) parts.push_back({"xl/media/x" + std::to_string(i), "x"});
  ReadXlsx(parts, "20000 parts");
}

TEST_F(Campaign, XlsxLongTokens) {
  const std::string big(60u << 20, 'x');
  ReadXlsx(BaseXlsx(Row(1, "<c r=\"B1\" a=\"" + big + "\"><v>1</v></c>")), "attribute");
  ReadXlsx(BaseXlsx(Row(1, "<c" + big + "/>")), "element name");
  ReadXlsx(BaseXlsx(Row(1, "<!--" + big + "-->")), "comment");
  ReadXlsx(BaseXlsx(Row(1, "<?pi " + big + "?>")), "processing instruction");
  ReadXlsx(BaseXlsx(Row(1, std::string(60u << 20, ' '))), "blanks");
  ReadXlsx(BaseXlsx(Row(1, "<c r=\"ZZ1\"><v>" + big + "</v></c>")), "value beyond the window");
  ReadXlsx(BaseXlsx(Row(1, "<c r=\"B1\"><v><![CDATA[" + big + "]]></v></c>")), "value in the window");
  ReadXlsx(BaseXlsx(Row(1, "<c r=\"B1\"><v>" + Repeat("1", 100000) + "</v></c>")), "a number of 100000 digits");
}

TEST_F(Campaign, XlsxTextsFillingTheWindow) {
  std::string rows;
  for (int r = 1; r <= 5; ++r) {  // 1005 cells: 33 MB of XML
    std::string cells;
    for (int c = 1; c <= kCols; ++c) cells += "<c t=\"inlineStr\"><is><t>" + std::string(32767, char('a' + c % 26)) + "</t></is></c>";
    rows += Row(r, cells);
  }
  ReadXlsx(BaseXlsx(rows), "1005 cells of 32767 letters");
  rows.clear();
  for (int r = 1; r <= kRows; ++r) rows += Row(r, Repeat("<c t=\"s\"><v>0</v></c>", kCols));
  ReadXlsx(BaseXlsx(rows, std::string("<sst") + kNs + "><si><t>" + std::string(32767, 'x') + "</t></si></sst>"),
           "one long string in every cell");
}

TEST_F(Campaign, XlsxOddStructure) {
  for (int part = kTypes; part <= kStrings; ++part)
    for (const std::string& content : {std::string(), std::string("<?xml version=\"1.0\"?>"), std::string("<a/><b/>"),
                                       std::string("<a/>text"), std::string("\0\0\0", 3), std::string("<a>\0</a>", 8),
                                       std::string("<![CDATA[x]]>"), std::string("<x:worksheet xmlns:x=\"urn:x\"/>")}) {
      Parts parts = BaseXlsx();
      parts[part].second = content;
      ReadXlsx(parts, std::string(kPartNames[part]) + " replaced");
    }
  for (const std::string& rows :
       {std::string("<c r=\"B1\"><v>1</v></c>"), std::string("<v>1</v>"), std::string("<row><c r=\"B1\"><row/><v>1</v></c></row>"),
        std::string("<row><c r=\"B1\"><c r=\"B2\"><v>2</v></c><v>1</v></c></row>"),
        std::string("<row><c r=\"B1\"><v>1</v><v>2</v></c></row>"), std::string("<row><c r=\"B1\"><is><t>x</t></is></c></row>"),
        std::string("<row><c r=\"B1\" t=\"inlineStr\"/></row>"), std::string("<row><c r=\"B1\"><v><!-- c -->1<?p?></v></c></row>"),
        std::string("<row><c r=\"B1\" r=\"B2\"><v>1</v></c></row>"), std::string("</sheetData><sheetData>")})
    ReadXlsx(BaseXlsx(rows), "sheet " + rows);
}

TEST_F(Campaign, XlsxCellValues) {
  for (const std::string v : {"1e-400", "+2", "1,5", "NaN", "inf", "-inf", "1e309", "0x1p3", "", " ", "1 2", "١",
                               "1e", ".", "-", "1..2", "0000000000000000000001", "4.9e-324", "1.7976931348623157e308"})
    ReadXlsx(BaseXlsx(Row(1, NumberCell("B1", "2")) + Row(6, NumberCell("B6", v))), "number " + v);
  for (const std::string& typed : std::vector<std::string>{"t=\"b\"><v>2", "t=\"b\"><v>true", "t=\"e\"><v>" + std::string(40000, '#'),
                                   "t=\"d\"><v>2024-01-01T00:00:00", "t=\"q\"><v>1", "t=\"\"><v>1", "t=\"str\"><v>1,5",
                                   "t=\"n\"><f>1</f><v>", "t=\"inlineStr\"><v>1", "t=\"s\" t=\"n\"><v>1"})
    ReadXlsx(BaseXlsx(Row(1, NumberCell("B1", "2")) + Row(6, "<c r=\"B6\" " + typed + "</v></c>")), "typed " + typed);
}

TEST_F(Campaign, XlsxContainers) {
  ReadBytes("", "empty.xlsx", "empty");
  ReadBytes("PK\3\4", "head.xlsx", "a zip header only");
  ReadBytes(std::string("PK\5\6") + std::string(18, '\0'), "eocd.xlsx", "an empty archive");
  ReadBytes(std::string("PK\5\6") + std::string(16, '\xFF') + std::string(2, '\0'), "eocd.xlsx", "a lying directory");
  std::string bytes = ReadFile(kData + "/input.xlsx");
  ReadBytes(bytes + std::string(70000, 'x'), "tail.xlsx", "junk after the archive");
  ReadBytes(std::string(70000, 'x') + bytes, "lead.xlsx", "junk before the archive");
  ReadBytes(bytes + bytes, "twice.xlsx", "the archive twice");
  // Other compression methods and encrypted parts, where this libzip writes them.
  for (int method : {ZIP_CM_STORE, ZIP_CM_BZIP2, ZIP_CM_XZ}) {
    const std::string path = dir_ + "/method.xlsx";
    std::filesystem::remove(path);
    int error = 0;
    zip_t* zip = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    const Parts parts = BaseXlsx();
    for (const auto& [name, content] : parts) {
      const zip_int64_t i = zip_file_add(zip, name.c_str(), zip_source_buffer(zip, content.data(), content.size(), 0), 0);
      zip_set_file_compression(zip, i, method, 0);
      if (name == kPartNames[kSheetPart] && method == ZIP_CM_STORE) zip_file_set_encryption(zip, i, ZIP_EM_AES_256, "pw");
    }
    if (zip_close(zip) != 0) {
      zip_discard(zip);
      continue;
    }
    Read(path, "method " + std::to_string(method));
  }
}

// ---- .xls ----

TEST_F(Campaign, XlsTruncatedFixturesAndStreams) {
  for (const char* name : {"input.xls", "results_lo.xls"}) {
    const std::string bytes = ReadFile(kData + "/" + name);
    for (size_t cut = 0; cut < bytes.size(); cut += 1 + bytes.size() / 150)
      ReadBytes(bytes.substr(0, cut), "cut.xls", std::string(name) + " cut at " + std::to_string(cut));
    const Bytes stream = OleStream(kData + "/" + name, "Workbook");
    for (size_t cut = 0; cut < stream.size(); cut += 1 + stream.size() / 300)
      ReadXls(Bytes(stream.begin(), stream.begin() + cut), std::string(name) + " stream cut at " + std::to_string(cut));
  }
}

TEST_F(Campaign, XlsRecordLengths) {
  const Bytes stream = OleStream(kData + "/input.xls", "Workbook");
  for (const RawRecord& r : Records(stream))
    for (int length : {0, 1, r.length - 1, r.length + 1, 0xFFFF}) {
      if (length < 0 || length > 0xFFFF || length == r.length) continue;
      Bytes s = stream;
      s[r.offset + 2] = length & 0xFF;
      s[r.offset + 3] = length >> 8;
      ReadXls(s, "record " + std::to_string(r.type) + " at " + std::to_string(r.offset) + " length " + std::to_string(length));
    }
}

TEST_F(Campaign, XlsRecordBodies) {
  // Every record's body filled with 0xFF, or with zeros: huge and null counts, offsets and indices.
  const Bytes stream = OleStream(kData + "/input.xls", "Workbook");
  for (const RawRecord& r : Records(stream))
    for (uint8_t fill : {0x00, 0xFF}) {
      if (r.type == 0x0809 || r.length == 0) continue;
      Bytes s = stream;
      std::fill(s.begin() + r.offset + 4, s.begin() + r.offset + 4 + r.length, fill);
      ReadXls(s, "record " + std::to_string(r.type) + " filled");
    }
}

TEST_F(Campaign, XlsStringsAndContinueRecords) {
  using namespace biff;
  for (const Bytes& option : {Bytes{0}, Bytes{1}, Bytes{}, Bytes{1, 0x41}})
    for (bool atEnd : {false, true}) {
      Bytes sst;
      Put32(sst, 1);
      Put32(sst, 1);
      sst = Cat({sst, {3, 0, 0}, Narrow("ab")});
      const BiffSheet sheet{"S", 0, {LabelSst(0, 1, 0)}};
      Bytes s = BiffStream({{0x00FC, sst}, Continue(option)}, atEnd ? std::vector<BiffSheet>{} : std::vector{sheet});
      if (atEnd) s = Bytes(s.begin(), s.end() - 4);  // no EOF: the records end the stream
      ReadXls(s, "SST continued by " + std::to_string(option.size()) + " bytes");
      const std::vector<BiffRecord> cells = {Formula(0, 1, FlaggedResult(0, 0)), {0x0207, Cat({{3, 0, 0}, Narrow("ab")})},
                                             Continue(option)};
      s = BiffStream({}, {{"S", 0, cells}});
      if (atEnd) s = Bytes(s.begin(), s.end() - 4);
      ReadXls(s, "STRING continued by " + std::to_string(option.size()) + " bytes");
    }
  // Counts in the table's header and strings that promise more than they hold.
  for (const Bytes& entry : {Bytes{0xFF, 0xFF, 0}, Bytes{0xFF, 0xFF, 1}, Bytes{1, 0, 0x04, 0xFF, 0xFF, 0xFF, 0xFF, 'x'},
                             Bytes{1, 0, 0x08, 0xFF, 0xFF, 'x'}, Bytes{1, 0, 0x0C, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'x'},
                             Bytes{1}, Bytes{}}) {
    Bytes sst;
    Put32(sst, 0xFFFFFFFF);
    Put32(sst, 0xFFFFFFFF);
    const BiffSheet sheet{"S", 0, {LabelSst(0, 1, 0), LabelSst(0, 2, 0xFFFFFFFF)}};
    ReadXls(BiffStream({{0x00FC, Cat({sst, entry})}}, {sheet}), "SST entry of " + std::to_string(entry.size()) + " bytes");
  }
  // The most strings a stream can hold: some 21 million empty ones over CONTINUE records, the last shown.
  Bytes sst;
  Put32(sst, 21000000);
  Put32(sst, 21000000);
  std::vector<BiffRecord> globals = {{0x00FC, Cat({sst, Bytes(65520 - 8, 0)})}};
  const size_t perRecord = 65520 / 3;
  for (size_t held = (65520 - 8) / 3; held < 21000000; held += perRecord) globals.push_back(Continue(Bytes(65520, 0)));
  ReadXls(BiffStream(globals, {{"S", 0, {LabelSst(0, 1, 20999999)}}}), "21 million empty shared strings");
}

TEST_F(Campaign, XlsSheetsAndCells) {
  using namespace biff;
  const BiffSheet sheet{"S", 0, {Number(0, 1, 2), Number(1, 1, 3)}};
  const Bytes good = BiffStream({}, {sheet});
  const size_t offsetAt = 4 + 16 + 4;  // the BOUNDSHEET's offset field
  for (uint32_t offset : {0u, 4u, 20u, 24u, uint32_t(good.size() - 1), uint32_t(good.size()), 0xFFFFFFFFu}) {
    Bytes s = good;
    for (int k = 0; k < 4; ++k) s[offsetAt + k] = (offset >> (8 * k)) & 0xFF;
    ReadXls(s, "sheet at " + std::to_string(offset));
  }
  std::vector<BiffSheet> many(20000, sheet);
  ReadXls(BiffStream({}, many), "20000 sheets");
  for (uint8_t type : {1, 6, 0xFF}) ReadXls(BiffStream({}, {{"S", type, sheet.records}}), "sheet type " + std::to_string(type));
  // Cell records of every length from empty to one byte short, and at the last row and column.
  for (uint16_t type : {0x00FD, 0x0204, 0x0203, 0x027E, 0x00BD, 0x0006, 0x0207, 0x0205, 0x0201, 0x00BE})
    for (size_t length = 0; length <= 24; ++length) {
      Bytes body(length, 0xFF);
      ReadXls(BiffStream({}, {{"S", 0, {{type, body}}}}), "cell record " + std::to_string(type) + " of " + std::to_string(length));
    }
  std::vector<BiffRecord> nested;
  for (int i = 0; i < 100000; ++i) nested.push_back(Bof(0x0020));
  ReadXls(BiffStream({}, {{"S", 0, nested}}), "100000 nested substreams");
  ReadXls(BiffStream({{0x002F, {}}}, {sheet}), "FILEPASS without a body");
  ReadXls(BiffStream({}, {{"S", 0, {Bof(0x0010, 0x0500), Number(0, 1, 1), Eof()}}}), "BIFF5 inside a sheet");
}

TEST_F(Campaign, XlsContainers) {
  using namespace biff;
  const Bytes good = BiffStream({}, {{"S", 0, {Number(0, 1, 2)}}});
  const std::vector<std::vector<std::pair<std::string, Bytes>>> containers = {
      {}, {{"Book", good}}, {{"Book", good}, {"Workbook", good}}, {{"WORKBOOK", good}},
      {{"EncryptionInfo", good}, {"Workbook", good}}, {{"Workbook", Bytes(65u << 20, 0)}}, {{"Workbook", {}}}};
  for (size_t i = 0; i < containers.size(); ++i) {
    const std::string path = dir_ + "/c.xls";
    WriteOle2(path, containers[i]);
    Read(path, "container " + std::to_string(i));
  }
  std::vector<std::pair<std::string, Bytes>> streams;
  for (int i = 0; i < 2000; ++i) streams.push_back({"s" + std::to_string(i), {1}});
  streams.push_back({"Workbook", good});
  WriteOle2(dir_ + "/many.xls", streams);
  Read(dir_ + "/many.xls", "2000 streams");
  // The container's own bytes: every 4-byte word of the header and of the first sectors set to odd values.
  const std::string bytes = ReadFile(kData + "/input.xls");
  for (size_t at = 0; at < 2048 && at + 4 <= bytes.size(); at += 4)
    for (uint32_t v : {0u, 0xFFFFFFFFu, 0xFFFFFFFEu, 0x7FFFFFFFu}) {
      std::string s = bytes;
      for (int k = 0; k < 4; ++k) s[at + k] = static_cast<char>(v >> (8 * k));
      ReadBytes(s, "ole.xls", "OLE2 word at " + std::to_string(at));
    }
}

}  // namespace
