#include "base/FileError.h"

#include <cerrno>
#include <cstring>

namespace wc {

std::string reasonForErrno(int errorNumber) {
  switch (errorNumber) {
    case 0: return {};
    case ENOSPC: return "disk full";
    case EDQUOT: return "disk quota exceeded";
    case EACCES:
    case EPERM: return "permission denied";
    case EROFS: return "read-only file system";
    case ENOENT: return "no such file or folder";
    case ENOTDIR: return "a part of the path is not a folder";
    case EISDIR: return "it is a folder";
    case EEXIST: return "the file already exists";
    case ENAMETOOLONG: return "file name too long";
    case EFBIG: return "file too large for the file system";
    case EIO: return "input/output error";
    case EMFILE:
    case ENFILE: return "too many open files";
    case EXDEV: return "not on the same file system";
    default: return std::strerror(errorNumber);
  }
}

FileError FileError::fromErrno(FileErrorKind kind, const Path& path, int errorNumber) {
  return {kind, path, reasonForErrno(errorNumber)};
}

}  // namespace wc
