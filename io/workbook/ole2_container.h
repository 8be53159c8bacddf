#pragma once
// The top level of an OLE2 compound file, the container of an .xls workbook:
// the names of its streams and storages, and a stream's bytes. Read through
// libgsf on Linux (ole2_gsf.cpp) and through the system's structured storage
// on Windows (ole2_windows.cpp). Both throw ReadFault.

#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vp::wbread {

class Ole2Container {
 public:
  virtual ~Ole2Container() = default;
  // The top-level entries, in the container's order.
  virtual const std::vector<QString>& Names() const = 0;
  // The whole stream at that place in Names(): Damaged when it cannot be read,
  // TooLarge when it holds more than kMaxPartBytes.
  virtual std::vector<uint8_t> Read(int index) const = 0;
};

// Fault::Open when the file cannot be opened, Damaged when it is no container.
std::unique_ptr<Ole2Container> OpenOle2(const std::string& path);

// Fails with TooLarge when a stream of that size exceeds kMaxPartBytes.
void CheckStreamSize(uint64_t size);

}  // namespace vp::wbread
