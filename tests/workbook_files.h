#pragma once
// Building workbook files byte by byte for the reader tests, and looking
// inside written ones.

#include <gsf/gsf.h>
#include <gtest/gtest.h>
#include <zip.h>

#include "output_files.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace vp::test {

using Bytes = std::vector<uint8_t>;
using Parts = std::vector<std::pair<std::string, std::string>>;

inline void WriteZip(const std::string& path, const Parts& parts) {
  std::filesystem::remove(path);
  int error = 0;
  zip_t* zip = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  ASSERT_NE(zip, nullptr);
  for (const auto& [name, content] : parts) {
    zip_source_t* src = zip_source_buffer(zip, content.data(), content.size(), 0);
    ASSERT_GE(zip_file_add(zip, name.c_str(), src, ZIP_FL_OVERWRITE), 0);
  }
  ASSERT_EQ(zip_close(zip), 0);
}

// Every part of a zip archive, in archive order.
inline Parts ZipParts(const std::string& path) {
  Parts parts;
  int error = 0;
  zip_t* zip = zip_open(path.c_str(), ZIP_RDONLY, &error);
  if (!zip) return parts;
  for (zip_int64_t i = 0; i < zip_get_num_entries(zip, 0); ++i) {
    zip_stat_t st;
    zip_stat_index(zip, i, 0, &st);
    std::string data(st.size, '\0');
    zip_file_t* f = zip_fopen_index(zip, i, 0);
    if (f) {
      zip_fread(f, data.data(), data.size());
      zip_fclose(f);
    }
    parts.emplace_back(st.name, std::move(data));
  }
  zip_discard(zip);
  return parts;
}

// One part of a zip archive, or empty when there is none.
inline std::string ZipPart(const std::string& path, const std::string& name) {
  for (auto& [n, data] : ZipParts(path))
    if (n == name) return data;
  return {};
}

// An OLE2 compound file holding the given streams.
inline void WriteOle2(const std::string& path, const std::vector<std::pair<std::string, Bytes>>& streams) {
  gsf_init();
  GError* error = nullptr;
  GsfOutput* out = gsf_output_stdio_new(path.c_str(), &error);
  ASSERT_NE(out, nullptr);
  GsfOutfile* ole = gsf_outfile_msole_new(out);
  for (const auto& [name, data] : streams) {
    GsfOutput* child = gsf_outfile_new_child(ole, name.c_str(), FALSE);
    gsf_output_write(child, data.size(), data.data());
    gsf_output_close(child);
    g_object_unref(child);
  }
  gsf_output_close(GSF_OUTPUT(ole));
  g_object_unref(ole);
  g_object_unref(out);
}

// One stream of an OLE2 compound file.
inline Bytes OleStream(const std::string& path, const char* name) {
  gsf_init();
  GError* error = nullptr;
  GsfInput* in = gsf_input_stdio_new(path.c_str(), &error);
  GsfInfile* ole = in ? gsf_infile_msole_new(in, &error) : nullptr;
  GsfInput* stream = ole ? gsf_infile_child_by_name(ole, name) : nullptr;
  Bytes bytes(stream ? gsf_input_size(stream) : 0);
  if (stream) gsf_input_read(stream, bytes.size(), bytes.data());
  for (void* object : {(void*)stream, (void*)ole, (void*)in})
    if (object) g_object_unref(object);
  return bytes;
}

// The growth of the process's peak resident memory while f runs, in MB, read
// from Linux's /proc after resetting the peak; NaN where the system does not tell.
template <typename F>
inline double PeakGrowthMb(F f) {
  auto kb = [](const std::string& field) {
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);)
      if (line.rfind(field, 0) == 0) return std::stod(line.substr(field.size()));
    return std::nan("");
  };
  {
    std::ofstream reset("/proc/self/clear_refs");
    reset << "5";
    if (!reset) return std::nan("");
  }
  const double before = kb("VmRSS:");
  f();
  return (kb("VmHWM:") - before) / 1024;
}

// ---- BIFF8 records ----

struct BiffRecord {
  uint16_t type;
  Bytes data;
};

inline void Put16(Bytes& b, unsigned v) {
  b.push_back(v & 0xFF);
  b.push_back((v >> 8) & 0xFF);
}
inline void Put32(Bytes& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}
inline void PutF64(Bytes& b, double v) {
  const uint64_t bits = std::bit_cast<uint64_t>(v);
  Put32(b, static_cast<uint32_t>(bits));
  Put32(b, static_cast<uint32_t>(bits >> 32));
}
inline Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}
// Characters as BIFF stores them: one byte each, or UTF-16LE.
inline Bytes Narrow(const std::string& latin) { return Bytes(latin.begin(), latin.end()); }
inline Bytes Wide(const std::u16string& text) {
  Bytes b;
  for (char16_t c : text) Put16(b, c);
  return b;
}
inline Bytes Cell(int row, int col) {  // row, column (from 0), format index 0
  Bytes b;
  Put16(b, row);
  Put16(b, col);
  Put16(b, 0);
  return b;
}

namespace biff {
inline BiffRecord Bof(uint16_t kind, uint16_t version = 0x0600) {
  Bytes b;
  Put16(b, version);
  Put16(b, kind);
  Put16(b, 0x0DBB);
  Put16(b, 0x07CC);
  Put32(b, 0);
  Put32(b, 0x0206);
  return {0x0809, b};
}
inline BiffRecord Eof() { return {0x000A, {}}; }
inline BiffRecord Window1(uint16_t activeTab) {
  Bytes b;
  for (int v : {0, 0, 0x4000, 0x2000, 0x38}) Put16(b, v);
  Put16(b, activeTab);
  for (int v : {0, 1, 600}) Put16(b, v);
  return {0x003D, b};
}
inline BiffRecord Number(int row, int col, double v) {
  Bytes b = Cell(row, col);
  PutF64(b, v);
  return {0x0203, b};
}
inline BiffRecord Rk(int row, int col, uint32_t rk) {
  Bytes b = Cell(row, col);
  Put32(b, rk);
  return {0x027E, b};
}
inline BiffRecord MulRk(int row, int firstCol, const std::vector<uint32_t>& rks) {
  Bytes b;
  Put16(b, row);
  Put16(b, firstCol);
  for (uint32_t rk : rks) {
    Put16(b, 0);
    Put32(b, rk);
  }
  Put16(b, firstCol + rks.size() - 1);
  return {0x00BD, b};
}
inline BiffRecord LabelSst(int row, int col, uint32_t index) {
  Bytes b = Cell(row, col);
  Put32(b, index);
  return {0x00FD, b};
}
inline BiffRecord Label(int row, int col, const std::string& latin) {
  Bytes b = Cell(row, col);
  Put16(b, latin.size());
  b.push_back(0);
  return {0x0204, Cat({b, Narrow(latin)})};
}
// A formula cell with its cached result (8 bytes), options and no tokens.
inline BiffRecord Formula(int row, int col, const Bytes& result) {
  Bytes b = Cat({Cell(row, col), result});
  Put16(b, 0);
  Put32(b, 0);
  Put16(b, 0);  // formula length
  return {0x0006, b};
}
inline Bytes FlaggedResult(uint8_t type, uint8_t value) { return {type, 0, value, 0, 0, 0, 0xFF, 0xFF}; }
inline Bytes NumberResult(double v) {
  Bytes b;
  PutF64(b, v);
  return b;
}
inline BiffRecord BoolErr(int row, int col, uint8_t value, bool isError) {
  Bytes b = Cell(row, col);
  b.push_back(value);
  b.push_back(isError ? 1 : 0);
  return {0x0205, b};
}
inline BiffRecord Continue(const Bytes& data) { return {0x003C, data}; }
}  // namespace biff

struct BiffSheet {
  std::string name;
  uint8_t type;  // 0 worksheet, 2 chart sheet
  std::vector<BiffRecord> records;
};

inline void Append(Bytes& stream, const BiffRecord& r) {
  Put16(stream, r.type);
  Put16(stream, r.data.size());
  stream.insert(stream.end(), r.data.begin(), r.data.end());
}

// The Workbook stream: globals (BOF, the given records, the sheet list, EOF),
// then each sheet's substream, with the sheet offsets filled in.
inline Bytes BiffStream(const std::vector<BiffRecord>& globals, const std::vector<BiffSheet>& sheets) {
  Bytes stream;
  Append(stream, biff::Bof(0x0005));
  for (const auto& r : globals) Append(stream, r);
  std::vector<size_t> offsetAt;
  for (const auto& s : sheets) {
    Bytes b;
    Put32(b, 0);
    b.push_back(0);  // visible
    b.push_back(s.type);
    b.push_back(static_cast<uint8_t>(s.name.size()));
    b.push_back(0);
    b.insert(b.end(), s.name.begin(), s.name.end());
    offsetAt.push_back(stream.size() + 4);
    Append(stream, {0x0085, b});
  }
  Append(stream, biff::Eof());
  for (size_t i = 0; i < sheets.size(); ++i) {
    const uint32_t offset = static_cast<uint32_t>(stream.size());
    for (int k = 0; k < 4; ++k) stream[offsetAt[i] + k] = (offset >> (8 * k)) & 0xFF;
    Append(stream, biff::Bof(sheets[i].type == 2 ? 0x0020 : 0x0010));
    for (const auto& r : sheets[i].records) Append(stream, r);
    Append(stream, biff::Eof());
  }
  return stream;
}

}  // namespace vp::test
