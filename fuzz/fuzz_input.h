#pragma once
// What the fuzz targets share: the input as a file (the readers take a path),
// a workbook read the way the loader reads it, and the .xlsx parts format.

#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "container_files.h"
#include "errors.h"
#include "input_loader.h"
#include "main_form_model.h"
#include "workbook_reader.h"

namespace vp::fuzz {

// A file of the process's own temporary folder, named "input" + extension.
inline std::string ScratchPath(const std::string& extension) {
  static const QTemporaryDir dir;
  return dir.path().toStdString() + "/input" + extension;
}

inline void WriteBytes(const std::string& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Every worksheet's window (the first four tabs) and then the load into the
// main form: any failure must be a Failure or an error value.
inline void ReadWorkbook(const std::string& path) {
  try {
    const WorkbookInfo info = ReadWorkbookInfo(path);
    for (size_t tab = 0; tab < info.sheets.size() && tab < 4; ++tab)
      if (info.sheets[tab].kind == SheetKind::Worksheet) ReadSheet(path, static_cast<int>(tab), 31, 201);
  } catch (const Failure&) {
  }
  TMainFormModel form;
  std::vector<Warning> warnings;
  (void)LoadInputFile(path, form, ',', &warnings);
}

// An .xlsx workbook as the parts target takes it: each part's name, the byte
// 0x02 and its content, the parts joined by the byte 0x01. Neither byte
// occurs in well-formed XML, so every input splits into parts.
inline constexpr char kPartSeparator = '\x01', kNameEnd = '\x02';

inline test::Parts SplitParts(std::string_view data) {
  test::Parts parts;
  for (size_t begin = 0; begin <= data.size();) {
    size_t end = data.find(kPartSeparator, begin);
    if (end == std::string_view::npos) end = data.size();
    const std::string_view part = data.substr(begin, end - begin);
    const size_t name = part.find(kNameEnd);
    if (name == std::string_view::npos)
      parts.emplace_back(std::string(part), "");
    else
      parts.emplace_back(std::string(part.substr(0, name)), std::string(part.substr(name + 1)));
    begin = end + 1;
  }
  return parts;
}

inline std::string JoinParts(const test::Parts& parts) {
  std::string data;
  for (const auto& [name, content] : parts) data += (data.empty() ? "" : std::string(1, kPartSeparator)) + name + kNameEnd + content;
  return data;
}

}  // namespace vp::fuzz
