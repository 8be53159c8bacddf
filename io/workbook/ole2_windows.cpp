// The OLE2 container through Windows' own structured storage (ole32): the
// system reads the compound file, so no GLib and libgsf are shipped.

#include <windows.h>
#include <objbase.h>

#include <QString>
#include <algorithm>

#include "ole2_container.h"
#include "platform.h"
#include "reader_internal.h"

namespace vp::wbread {

namespace {

// COM for the calling thread while it lives; a thread that already has it
// (Qt's GUI thread) keeps its own.
class ComScope {
 public:
  ComScope() : ok_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComScope() {
    if (ok_) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  bool ok_;
};

template <typename T>
struct ComPtr {
  T* p = nullptr;
  ComPtr() = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() {
    if (p) p->Release();
  }
};

class StorageContainer : public Ole2Container {
 public:
  explicit StorageContainer(const std::string& path) {
    const std::wstring name = platform::Utf8Path(path).wstring();
    // Read-only; a workbook that another program holds open is read through a
    // transacted view, as a copy of what is on disk.
    HRESULT hr = StgOpenStorageEx(name.c_str(), STGM_READ | STGM_SHARE_DENY_WRITE, STGFMT_STORAGE, 0, nullptr,
                                  nullptr, IID_IStorage, reinterpret_cast<void**>(&storage_.p));
    if (hr == STG_E_SHAREVIOLATION || hr == STG_E_LOCKVIOLATION)
      hr = StgOpenStorageEx(name.c_str(), STGM_READ | STGM_TRANSACTED | STGM_SHARE_DENY_NONE, STGFMT_STORAGE, 0,
                            nullptr, nullptr, IID_IStorage, reinterpret_cast<void**>(&storage_.p));
    if (hr == STG_E_FILENOTFOUND || hr == STG_E_PATHNOTFOUND || hr == STG_E_ACCESSDENIED ||
        hr == STG_E_SHAREVIOLATION || hr == STG_E_LOCKVIOLATION)
      Fail(Fault::Open);
    if (FAILED(hr) || !storage_.p) Damaged("составной файл OLE2 поврежден");
    ComPtr<IEnumSTATSTG> entries;
    if (FAILED(storage_.p->EnumElements(0, nullptr, 0, &entries.p))) Damaged("составной файл OLE2 поврежден");
    STATSTG stat;
    ULONG fetched = 0;
    while (entries.p->Next(1, &stat, &fetched) == S_OK && fetched == 1) {
      names_.push_back(QString::fromWCharArray(stat.pwcsName));
      CoTaskMemFree(stat.pwcsName);
    }
  }

  const std::vector<QString>& Names() const override { return names_; }

  std::vector<uint8_t> Read(int index) const override {
    const std::wstring name = names_.at(static_cast<size_t>(index)).toStdWString();
    ComPtr<IStream> stream;
    if (FAILED(storage_.p->OpenStream(name.c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream.p)))
      Damaged("поток книги не читается");
    STATSTG stat;
    if (FAILED(stream.p->Stat(&stat, STATFLAG_NONAME))) Damaged("поток книги не читается");
    CheckStreamSize(stat.cbSize.QuadPart);
    std::vector<uint8_t> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
    size_t done = 0;
    while (done < bytes.size()) {
      const ULONG chunk = static_cast<ULONG>(std::min<size_t>(bytes.size() - done, 1 << 16));
      ULONG read = 0;
      if (FAILED(stream.p->Read(bytes.data() + done, chunk, &read)) || read != chunk)
        Damaged("поток книги не читается");
      done += chunk;
    }
    return bytes;
  }

 private:
  ComScope com_;  // first in, last out
  ComPtr<IStorage> storage_;
  std::vector<QString> names_;
};

}  // namespace

std::unique_ptr<Ole2Container> OpenOle2(const std::string& path) { return std::make_unique<StorageContainer>(path); }

}  // namespace vp::wbread
