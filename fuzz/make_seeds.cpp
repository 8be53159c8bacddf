// Writes the seed corpora of the fuzz targets from the examples and the test
// data, one folder per target:
//   fuzz_seeds EXAMPLES_DIR TEST_DATA_DIR OUT_DIR
// text_loader and run: the example inputs; xlsx: the .xlsx files; xlsx_parts:
// the parts of those the reader reads, joined (fuzz_input.h); xls: the .xls
// files and their Workbook streams. The inputs kept from earlier findings (TEST_DATA_DIR/fuzz/<target>)
// join their target's seeds.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "fuzz_input.h"

namespace fs = std::filesystem;

namespace {

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void Write(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  vp::fuzz::WriteBytes(path.string(), bytes);
}

// The relationships, the workbook, its sheets and shared strings; not the
// styles, themes, charts and document properties, which the reader never opens.
vp::test::Parts ReadParts(const fs::path& xlsx) {
  vp::test::Parts kept;
  for (auto& part : vp::test::ZipParts(xlsx.string())) {
    const std::string& name = part.first;
    if (name.ends_with(".rels") || name == "[Content_Types].xml" || name == "xl/workbook.xml" ||
        name == "xl/sharedStrings.xml" || name.starts_with("xl/worksheets/") || name.starts_with("xl/chartsheets/"))
      kept.push_back(std::move(part));
  }
  return kept;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: fuzz_seeds EXAMPLES_DIR TEST_DATA_DIR OUT_DIR\n");
    return 2;
  }
  const fs::path examples = argv[1], data = argv[2], out = argv[3];
  for (const auto& entry : fs::directory_iterator(examples))
    if (entry.path().extension() == ".txt")
      for (const char* target : {"text_loader", "run"}) Write(out / target / entry.path().filename(), Read(entry.path()));
  for (const auto& entry : fs::directory_iterator(data)) {
    const fs::path& file = entry.path();
    const std::string name = file.filename().string();
    if (file.extension() == ".xlsx") {
      Write(out / "xlsx" / name, Read(file));
      Write(out / "xlsx_parts" / name, vp::fuzz::JoinParts(ReadParts(file)));
    } else if (file.extension() == ".xls") {
      Write(out / "xls" / name, Read(file));
      const vp::test::Bytes stream = vp::test::OleStream(file.string(), "Workbook");
      Write(out / "xls" / (name + ".stream"), std::string(stream.begin(), stream.end()));
    }
  }
  if (fs::is_directory(data / "fuzz"))
    for (const auto& entry : fs::recursive_directory_iterator(data / "fuzz"))
      if (entry.is_regular_file())
        Write(out / entry.path().parent_path().filename() / entry.path().filename(), Read(entry.path()));
  return 0;
}
