#pragma once
// Replacing a file without ever leaving it damaged: the new content goes into
// a fresh temporary beside the target (FileSystem::createTemporary) and is
// renamed over the target only once every byte of it was written. A target
// that is a symbolic link keeps its link: the file it names is replaced.
#include <memory>
#include <span>
#include <string>

#include "base/File.h"
#include "base/FileError.h"

namespace wc {

class FileReplacement {
 public:
  FileReplacement(FileSystem& fs, const Path& target, bool streaming = false);
  // A replacement never committed removes its temporary.
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // False when the temporary could not be created; reason() says why.
  bool created() const { return created_; }
  const std::string& reason() const { return reason_; }
  // What failed last: the creation, the writing (as the close found it) or
  // the rename; None while nothing did.
  const FileError& error() const { return error_; }
  // The file the commit replaces (links resolved) and the temporary's name.
  const Path& target() const { return target_; }
  const Path& temporary() const { return temporary_; }

  // The temporary, open for writing; null once released or when not created.
  OutputFile* file() { return file_.get(); }
  // Hands the open temporary to a writer that closes it itself; commit()
  // then trusts that writer's own check of the close.
  std::unique_ptr<OutputFile> releaseFile() { return std::move(file_); }

  // Closes the temporary (if still held) and renames it over the target.
  // False, with the temporary removed and the target untouched, if the close
  // or the rename fails.
  bool commit();
  // Removes the temporary; the target stays as it was.
  void discard();

 private:
  FileSystem& fs_;
  Path target_;
  Path temporary_;
  std::unique_ptr<OutputFile> file_;
  std::string reason_;
  FileError error_;
  bool created_ = false;
  bool pending_ = false;  // the temporary exists and is neither committed nor removed
};

enum class ReplaceStatus { Replaced, NotCreated, WriteFailed };

struct ReplaceResult {
  ReplaceStatus status = ReplaceStatus::Replaced;
  std::string reason;  // for NotCreated: why the temporary could not be made
  explicit operator bool() const { return status == ReplaceStatus::Replaced; }
};

// Replaces `target` with `bytes` through a FileReplacement.
ReplaceResult replaceFileContents(FileSystem& fs, const Path& target, std::span<const uint8_t> bytes);

}  // namespace wc
