// The .xls reader: the input is the BIFF8 Workbook stream, written into a
// sound OLE2 container, or, when it starts with the container's signature,
// the whole file.

#include <cstring>

#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const uint8_t kOle2[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  const std::string path = vp::fuzz::ScratchPath(".xls");
  if (size >= sizeof kOle2 && std::memcmp(data, kOle2, sizeof kOle2) == 0)
    vp::fuzz::WriteBytes(path, std::string_view(reinterpret_cast<const char*>(data), size));
  else if (!vp::test::WriteOle2File(path, {{"Workbook", vp::test::Bytes(data, data + size)}}))
    return 0;
  vp::fuzz::ReadWorkbook(path);
  return 0;
}
