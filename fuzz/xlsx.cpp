// The .xlsx reader on whole files: the input is the workbook's bytes.

#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = vp::fuzz::ScratchPath(".xlsx");
  vp::fuzz::WriteBytes(path, std::string_view(reinterpret_cast<const char*>(data), size));
  vp::fuzz::ReadWorkbook(path);
  return 0;
}
