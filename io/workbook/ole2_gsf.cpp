// The OLE2 container through libgsf.

#include <gsf/gsf.h>

#include <algorithm>
#include <array>
#include <mutex>

#include "ole2_container.h"
#include "reader_internal.h"

namespace vp::wbread {

namespace {

struct GObjectDeleter {
  void operator()(void* object) const {
    if (object) g_object_unref(object);
  }
};
template <typename T>
using GPtr = std::unique_ptr<T, GObjectDeleter>;

// While it lives, the log lines of libgsf and of GLib under it go nowhere:
// libgsf logs every oddity of a damaged container (some lines without a log
// domain), and the reader reports its own message.
class QuietLibgsf {
 public:
  QuietLibgsf() {
    for (size_t i = 0; i < kDomains.size(); ++i)
      ids_[i] = g_log_set_handler(kDomains[i], GLogLevelFlags(G_LOG_LEVEL_MASK & ~G_LOG_LEVEL_ERROR),
                                  [](const gchar*, GLogLevelFlags, const gchar*, gpointer) {}, nullptr);
  }
  ~QuietLibgsf() {
    for (size_t i = 0; i < kDomains.size(); ++i) g_log_remove_handler(kDomains[i], ids_[i]);
  }
  QuietLibgsf(const QuietLibgsf&) = delete;
  QuietLibgsf& operator=(const QuietLibgsf&) = delete;

 private:
  static constexpr std::array<const char*, 5> kDomains = {nullptr, "libgsf", "libgsf:msole", "GLib", "GLib-GObject"};
  std::array<guint, kDomains.size()> ids_{};
};

class GsfContainer : public Ole2Container {
 public:
  explicit GsfContainer(const std::string& path) {
    static std::once_flag once;
    std::call_once(once, [] { gsf_init(); });
    const QuietLibgsf quiet;
    GError* error = nullptr;
    GPtr<GsfInput> input(gsf_input_stdio_new(path.c_str(), &error));
    if (!input) {
      g_clear_error(&error);
      Fail(Fault::Open);
    }
    ole_.reset(gsf_infile_msole_new(input.get(), &error));
    if (!ole_) {
      g_clear_error(&error);
      Damaged("составной файл OLE2 поврежден");
    }
    const int count = gsf_infile_num_children(ole_.get());
    for (int i = 0; i < count; ++i) {
      const char* raw = gsf_infile_name_by_index(ole_.get(), i);
      names_.push_back(QString::fromUtf8(raw ? raw : ""));
    }
  }

  const std::vector<QString>& Names() const override { return names_; }

  std::vector<uint8_t> Read(int index) const override {
    const QuietLibgsf quiet;
    GPtr<GsfInput> stream(gsf_infile_child_by_index(ole_.get(), index));
    if (!stream) Damaged("поток книги не читается");
    const gsf_off_t size = gsf_input_size(stream.get());
    if (size < 0) Damaged("поток книги не читается");
    CheckStreamSize(static_cast<uint64_t>(size));
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    size_t done = 0;
    while (done < bytes.size()) {
      const size_t chunk = std::min<size_t>(bytes.size() - done, 1 << 16);
      if (!gsf_input_read(stream.get(), chunk, bytes.data() + done)) Damaged("поток книги не читается");
      done += chunk;
    }
    return bytes;
  }

 private:
  GPtr<GsfInfile> ole_;
  std::vector<QString> names_;
};

}  // namespace

std::unique_ptr<Ole2Container> OpenOle2(const std::string& path) { return std::make_unique<GsfContainer>(path); }

}  // namespace vp::wbread
