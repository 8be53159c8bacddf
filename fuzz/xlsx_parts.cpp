// The .xlsx reader part by part: the input is the workbook's parts
// (fuzz_input.h, SplitParts), written into a sound zip archive, so that every
// mutation reaches the XML of the parts and the relations between them.

#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = vp::fuzz::ScratchPath(".xlsx");
  if (!vp::test::WriteZipFile(path, vp::fuzz::SplitParts(std::string_view(reinterpret_cast<const char*>(data), size))))
    return 0;
  vp::fuzz::ReadWorkbook(path);
  return 0;
}
