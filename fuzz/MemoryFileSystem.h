#pragma once
// A FileSystem held entirely in memory, so a fuzz run reads and writes
// thousands of files a second without touching a disk. Paths are compared
// after lexical normalisation; directories exist once created or once a file
// was placed below them.
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "base/File.h"

namespace wc::fuzz {

class MemoryFileSystem final : public FileSystem {
 public:
  // Puts `bytes` at `path`, creating its parent directories.
  void put(const Path& path, std::vector<uint8_t> bytes);
  // The bytes at `path`, or null.
  const std::vector<uint8_t>* find(const Path& path) const;
  // Makes the file at `path` report `size` bytes while holding only its own,
  // as a disc image's directory may claim a file of gigabytes.
  void claimSize(const Path& path, uint64_t size) { claimedSizes_[key(path)] = size; }

  std::unique_ptr<InputFile> openRead(const Path& path) override;
  std::unique_ptr<OutputFile> openWrite(const Path& path) override;
  bool rename(const Path& from, const Path& to) override;
  bool remove(const Path& path) override;
  bool createDirectory(const Path& path) override;
  std::vector<std::string> listDirectory(const Path& path) override;
  bool isDirectory(const Path& path) override;

 private:
  using Bytes = std::shared_ptr<std::vector<uint8_t>>;
  static std::string key(const Path& path);
  void addParents(const Path& path);

  std::map<std::string, Bytes> files_;
  std::set<std::string> directories_;
  std::map<std::string, uint64_t> claimedSizes_;
};

}  // namespace wc::fuzz
