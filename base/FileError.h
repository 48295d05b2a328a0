#pragma once
// What went wrong with a file, told the way a user can act on it: which
// operation failed, on which file, and why ("disk full", "permission
// denied"), so a message never has to guess the cause.
#include <string>

#include "base/File.h"

namespace wc {

enum class FileErrorKind { None, Create, Write, Rename };

struct FileError {
  FileErrorKind kind = FileErrorKind::None;
  Path path;
  std::string reason;  // in words; empty when the system gave none

  bool failed() const { return kind != FileErrorKind::None; }
  static FileError fromErrno(FileErrorKind kind, const Path& path, int errorNumber);
};

// An errno value in words for a message: "disk full", "permission denied"...
// Empty for 0, the C library's text for values without a phrase of our own.
std::string reasonForErrno(int errorNumber);

}  // namespace wc
