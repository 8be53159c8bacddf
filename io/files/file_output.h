#pragma once
// Writing a file whole or not at all. Every output of the program (the PDF
// printout, the results workbook, the saved input) goes through here:
// - the target is checked first: a folder, a device or a write-protected file
//   ("Файл … защищен от записи", decided on the permission bits, so that it
//   holds for an administrator too; on Windows the read-only attribute) is refused;
// - the contents go into a new file beside the target, created exclusively
//   (an existing name, a symbolic link planted there included, is never opened);
// - the new file is checked to hold everything that was written to it, gets
//   the permissions of the file it replaces, and only then is renamed over the
//   target. A failure at any step removes the new file and leaves the target
//   as it was, and throws Failure with the system's reason.
// A target that is a symbolic link to a file replaces the file it points to.
// Names are UTF-8 on every system; one that is not valid UTF-8 is refused.

#include <memory>
#include <string>
#include <string_view>
#include <system_error>

#include <QFileDevice>
#include <QString>

#include "errors.h"

class QIODevice;

namespace vp {

class FileReplacement {
 public:
  // Checks the target and creates the new file. Throws Failure.
  explicit FileReplacement(const std::string& target);
  // Removes the new file unless Commit() succeeded.
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // The new file, open for sequential writing. Every byte offered to it is
  // counted; Commit() fails when a write failed or the file on disk holds less.
  QIODevice& Device();
  // The new file's name in UTF-8, for a writer that opens the file by name
  // itself (and checks what it wrote); the device is closed.
  std::string NewFileName();
  // Checks the new file, gives it the target's permissions and renames it over
  // the target. Throws Failure; the target then stays as it was.
  void Commit();

  // Throws Failure naming the target.
  [[noreturn]] void Fail(ErrorCode code, std::error_code system = {}) const;

 private:
  class CountingFile;

  std::string target_;  // as given, for messages
  QString final_;       // where the file goes: the target, or the file its link points to
  QString new_;         // the new file beside it
  bool replaces_ = false;
  QFileDevice::Permissions permissions_;
  std::unique_ptr<CountingFile> file_;
  bool committed_ = false;
};

// Writes `contents` into `path` through a FileReplacement. Throws Failure.
void WriteWholeFile(const std::string& path, std::string_view contents);

}  // namespace vp
