#include "file_output.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include "errors.h"
#include "platform.h"

namespace vp {

using platform::ClearFileError;
using platform::LastFileError;

class FileReplacement::CountingFile : public QFile {
 public:
  using QFile::QFile;

  qint64 offered = 0;
  std::error_code failure;  // of the first write that failed

  void Record() {
    if (!failure) failure = LastFileError();
  }

 protected:
  qint64 writeData(const char* data, qint64 length) override {
    ClearFileError();
    const qint64 written = QFile::writeData(data, length);
    offered += length;
    if (written != length) Record();
    return written;
  }
};

FileReplacement::FileReplacement(const std::string& target) : target_(target) {
  if (target.empty()) Fail(ErrorCode::WriteNoName);
  // Names are UTF-8; bytes that are not would come out as another name.
  const QString name = QString::fromStdString(target);
  if (name.toStdString() != target) Fail(ErrorCode::WriteBadName);
  QFileInfo info(name);
  if (info.isSymLink() && info.exists()) info = QFileInfo(info.canonicalFilePath());
  final_ = info.absoluteFilePath();
  if (info.isDir()) Fail(ErrorCode::WriteIsFolder);
  if (info.exists()) {
    if (!info.isFile()) Fail(ErrorCode::WriteNotRegular);
    // An administrator may write any file; a file whose owner may not write it
    // is protected all the same.
    if (!info.permissions().testFlag(QFileDevice::WriteOwner) || !info.isWritable())
      Fail(ErrorCode::WriteProtected);
    replaces_ = true;
    // The file's own bits; Qt's "user" flags say what this process may do.
    const auto bits = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                      QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                      QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    permissions_ = info.permissions() & bits;
  }
  // A new name each try; an existing one (a file or a link planted there) is
  // never opened, since NewOnly creates the file or fails.
  const QString stem = info.absolutePath() + "/.~" + info.fileName().left(32) + ".";
  for (int attempt = 0;; ++attempt) {
    new_ = stem + QString::number(QRandomGenerator::global()->generate() % 0x1000000, 36);
    file_ = std::make_unique<CountingFile>(new_);
    ClearFileError();
    const auto all = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                     QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther;
    if (file_->open(QIODevice::WriteOnly | QIODevice::NewOnly, all)) break;  // the umask applies
    const std::error_code error = LastFileError();
    if (error != std::errc::file_exists || attempt == 100) {
      file_.reset();
      new_.clear();
      if (error == std::errc::no_such_file_or_directory) Fail(ErrorCode::WriteNoFolder);
      Fail(ErrorCode::WriteSystem, error);
    }
  }
}

FileReplacement::~FileReplacement() {
  if (committed_ || new_.isEmpty()) return;
  if (file_) file_->close();
  QFile::remove(new_);
}

QIODevice& FileReplacement::Device() { return *file_; }

std::string FileReplacement::NewFileName() {
  file_->close();
  return new_.toStdString();
}

void FileReplacement::Commit() {
  if (file_->isOpen()) {
    ClearFileError();
    if (!file_->flush()) file_->Record();
    ClearFileError();
    file_->close();
    if (file_->error() != QFileDevice::NoError) file_->Record();
    if (!file_->failure && QFileInfo(new_).size() != file_->offered)
      file_->failure = std::make_error_code(std::errc::io_error);
    if (file_->failure) Fail(ErrorCode::WriteSystem, file_->failure);
  }
  if (!QFileInfo::exists(new_)) Fail(ErrorCode::WriteVanished);
  ClearFileError();
  if (replaces_ && !QFile::setPermissions(new_, permissions_)) Fail(ErrorCode::WriteSystem, LastFileError());
  if (const std::error_code error = platform::RenameOver(new_.toStdString(), final_.toStdString()))
    Fail(ErrorCode::WriteSystem, error);
  committed_ = true;
}

void FileReplacement::Fail(ErrorCode code, std::error_code system) const {
  Error error{code, 0, 0, "", target_};
  error.system = system;
  Raise(std::move(error));
}

void WriteWholeFile(const std::string& path, std::string_view contents) {
  FileReplacement file(path);
  file.Device().write(contents.data(), static_cast<qint64>(contents.size()));
  file.Commit();
}

}  // namespace vp
