#include "base/FileReplacement.h"

namespace wc {

FileReplacement::FileReplacement(FileSystem& fs, const Path& target, bool streaming)
    : fs_(fs), target_(fs.resolveLinks(target)) {
  TemporaryFile temporary = fs_.createTemporary(target_, streaming);
  temporary_ = std::move(temporary.path);
  file_ = std::move(temporary.file);
  reason_ = std::move(temporary.reason);
  created_ = pending_ = file_ != nullptr;
  if (!created_) error_ = {FileErrorKind::Create, target_, reason_};
}

FileReplacement::~FileReplacement() { discard(); }

bool FileReplacement::commit() {
  if (!pending_) return false;
  const bool closed = !file_ || file_->close();
  if (!closed) error_ = FileError::fromErrno(FileErrorKind::Write, target_, file_->errorNumber());
  file_.reset();
  if (closed && !fs_.rename(temporary_, target_)) error_ = {FileErrorKind::Rename, target_, {}};
  if (error_.failed()) {
    discard();
    return false;
  }
  pending_ = false;
  return true;
}

void FileReplacement::discard() {
  file_.reset();  // closed before the name goes
  if (!pending_) return;
  fs_.remove(temporary_);
  pending_ = false;
}

ReplaceResult replaceFileContents(FileSystem& fs, const Path& target, std::span<const uint8_t> bytes) {
  FileReplacement replacement(fs, target);
  if (!replacement.created()) return {ReplaceStatus::NotCreated, replacement.reason()};
  if (!replacement.file()->write(bytes.data(), bytes.size()) || !replacement.commit())
    return {ReplaceStatus::WriteFailed, {}};
  return {};
}

bool replaceFileAtomically(FileSystem& fs, const Path& target, std::span<const uint8_t> bytes) {
  return bool(replaceFileContents(fs, target, bytes));
}

}  // namespace wc
