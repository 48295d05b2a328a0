// Errors of the file layer in words a user can act on.
#include <gtest/gtest.h>

#include <cerrno>

#include "base/File.h"
#include "base/FileError.h"

namespace wc {
namespace {

TEST(FileErrorTest, ErrnoValuesReadAsReasons) {
  const struct {
    int errorNumber;
    const char* reason;
  } cases[] = {
      {0, ""},
      {ENOSPC, "disk full"},
      {EDQUOT, "disk quota exceeded"},
      {EACCES, "permission denied"},
      {EPERM, "permission denied"},
      {EROFS, "read-only file system"},
      {ENOENT, "no such file or folder"},
      {ENOTDIR, "a part of the path is not a folder"},
      {EISDIR, "it is a folder"},
      {EEXIST, "the file already exists"},
      {ENAMETOOLONG, "file name too long"},
      {EFBIG, "file too large for the file system"},
      {EIO, "input/output error"},
      {EMFILE, "too many open files"},
      {EXDEV, "not on the same file system"},
  };
  for (const auto& c : cases) EXPECT_EQ(reasonForErrno(c.errorNumber), c.reason) << c.errorNumber;
  // Anything else still says something.
  EXPECT_FALSE(reasonForErrno(ENOTSUP).empty());

  const FileError e = FileError::fromErrno(FileErrorKind::Write, "/music/01 - A.flac", ENOSPC);
  EXPECT_TRUE(e.failed());
  EXPECT_EQ(e.path, Path("/music/01 - A.flac"));
  EXPECT_EQ(e.reason, "disk full");
  EXPECT_FALSE(FileError{}.failed());
}

// A device that is always full: the real files report why their close
// failed, the buffered one as much as the one written past the cache.
TEST(FileErrorTest, RealFilesTellWhyAWriteFailed) {
  auto file = realFileSystem().openWrite("/dev/full");
  if (!file) GTEST_SKIP() << "no /dev/full here";
  EXPECT_EQ(file->errorNumber(), 0);
  const char bytes[64] = {};
  file->write(bytes, sizeof bytes);  // buffered: may succeed
  EXPECT_FALSE(file->close());
  EXPECT_EQ(file->errorNumber(), ENOSPC);
}

}  // namespace
}  // namespace wc
