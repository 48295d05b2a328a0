#pragma once
// A FileSystem for tests that forwards to another one and injects faults: a
// disk that fills up after a number of bytes, files that read shorter than
// they are, renames that fail. It also logs what was opened for reading.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "base/File.h"

namespace wc::test {

class FaultyFileSystem final : public FileSystem {
 public:
  explicit FaultyFileSystem(FileSystem& inner = realFileSystem()) : inner_(inner) {}

  // From now on all writes together may store only `bytes` more; the write
  // that crosses the limit stores what fits and fails, as on a full disk.
  void failWritesAfter(uint64_t bytes) { writeBudget_ = bytes; }
  // `path` reads as if it held only its first `size` bytes.
  void shrinkFile(const Path& path, uint64_t size) { shrunk_[path] = size; }
  void failRenames(bool fail) { failRenames_ = fail; }
  // Renames onto `path` fail from now on.
  void failRenamesTo(const Path& path) { failingRenameTargets_.push_back(path); }
  // Files opened for writing at `path`, and temporaries created to replace
  // it, accept `bytes` bytes from now on and then fail, whatever room the
  // disk has.
  void failWritesTo(const Path& path, uint64_t bytes = 0) { failingFiles_[path] = bytes; }
  // Temporaries to replace `path` cannot be created from now on.
  void refuseTemporariesFor(const Path& path) { refusedTargets_.push_back(path); }
  // Every temporary created, in order, with the target it was made for.
  const std::vector<std::pair<Path, Path>>& temporariesCreated() const { return temporaries_; }

  // Every successful openRead, in order.
  const std::vector<Path>& openedForReading() const { return opened_; }
  uint64_t bytesRead() const { return *bytesRead_; }
  void clearLog() {
    opened_.clear();
    *bytesRead_ = 0;
  }

  std::unique_ptr<InputFile> openRead(const Path& path) override;
  std::unique_ptr<OutputFile> openWrite(const Path& path) override;
  bool rename(const Path& from, const Path& to) override;
  bool remove(const Path& path) override { return inner_.remove(path); }
  bool createDirectory(const Path& path) override { return inner_.createDirectory(path); }
  std::vector<std::string> listDirectory(const Path& path) override { return inner_.listDirectory(path); }
  bool isDirectory(const Path& path) override { return inner_.isDirectory(path); }
  TemporaryFile createTemporary(const Path& target, bool streaming) override;
  Path resolveLinks(const Path& path) override { return inner_.resolveLinks(path); }

 private:
  FileSystem& inner_;
  std::optional<uint64_t> writeBudget_;
  std::map<Path, uint64_t> shrunk_;
  std::map<Path, uint64_t> failingFiles_;
  bool failRenames_ = false;
  std::vector<Path> failingRenameTargets_;
  std::vector<Path> refusedTargets_;
  std::vector<std::pair<Path, Path>> temporaries_;
  std::vector<Path> opened_;
  std::shared_ptr<uint64_t> bytesRead_ = std::make_shared<uint64_t>(0);
};

}  // namespace wc::test
