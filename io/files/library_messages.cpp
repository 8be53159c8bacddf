#include "library_messages.h"

#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

#include "platform.h"

namespace vp {

void SilenceQtMessages() {
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type != QtFatalMsg) return;
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
    std::abort();
  });
}

bool OccupyClosedStandardStreams() {
  bool outputOpen = true;
  for (int fd = 0; fd <= 2; ++fd) {
    if (platform::DescriptorOpen(fd)) continue;
    outputOpen = outputOpen && fd != 1;
    const int null = platform::OpenNullDevice();  // the lowest free descriptor, which is this one
    if (null >= 0 && null != fd) {
      platform::MoveDescriptor(null, fd);
      platform::CloseDescriptor(null);
    }
  }
  return outputOpen;
}

MutedStandardError::MutedStandardError() {
  std::fflush(stderr);
  const int null = platform::OpenNullDevice();
  if (null < 0) return;
  saved_ = platform::DuplicateDescriptor(2);
  if (saved_ >= 0) platform::MoveDescriptor(null, 2);
  platform::CloseDescriptor(null);
}

MutedStandardError::~MutedStandardError() {
  if (saved_ < 0) return;
  std::fflush(stderr);
  platform::MoveDescriptor(saved_, 2);
  platform::CloseDescriptor(saved_);
}

}  // namespace vp
