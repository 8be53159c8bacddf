#include "library_messages.h"

#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#define VP_DUP _dup
#define VP_DUP2 _dup2
#define VP_CLOSE _close
#define VP_OPEN_NULL() _open("NUL", _O_WRONLY)
#define VP_IS_OPEN(fd) (_get_osfhandle(fd) >= 0)
#else
#include <fcntl.h>
#include <unistd.h>
#define VP_DUP dup
#define VP_DUP2 dup2
#define VP_CLOSE close
#define VP_OPEN_NULL() open("/dev/null", O_WRONLY)
#define VP_IS_OPEN(fd) (fcntl(fd, F_GETFD) != -1)
#endif

namespace vp {

void SilenceQtMessages() {
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type != QtFatalMsg) return;
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    std::abort();
  });
}

bool OccupyClosedStandardStreams() {
  bool outputOpen = true;
  for (int fd = 0; fd <= 2; ++fd) {
    if (VP_IS_OPEN(fd)) continue;
    outputOpen = outputOpen && fd != 1;
    const int null = VP_OPEN_NULL();  // the lowest free descriptor, which is this one
    if (null >= 0 && null != fd) {
      VP_DUP2(null, fd);
      VP_CLOSE(null);
    }
  }
  return outputOpen;
}

MutedStandardError::MutedStandardError() {
  std::fflush(stderr);
  const int null = VP_OPEN_NULL();
  if (null < 0) return;
  saved_ = VP_DUP(2);
  if (saved_ >= 0) VP_DUP2(null, 2);
  VP_CLOSE(null);
}

MutedStandardError::~MutedStandardError() {
  if (saved_ < 0) return;
  std::fflush(stderr);
  VP_DUP2(saved_, 2);
  VP_CLOSE(saved_);
}

}  // namespace vp
