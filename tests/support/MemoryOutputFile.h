#pragma once
// An OutputFile in memory whose disk can fill up and whose seek or close can
// fail. The contents outlive the file object (writers own and close their
// files), so tests hold a MemoryFileContents and hand out files on it.
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

#include "base/File.h"

namespace wc {

struct MemoryFileContents {
  std::vector<uint8_t> bytes;
  // Bytes the "disk" can hold; a write past it stores what fits and fails.
  uint64_t capacity = std::numeric_limits<uint64_t>::max();
  bool failSeek = false;
  bool failClose = false;
  bool closed = false;
  int failedWrites = 0;
};

class MemoryOutputFile final : public OutputFile {
 public:
  explicit MemoryOutputFile(MemoryFileContents& contents) : contents_(contents) {}
  static std::unique_ptr<OutputFile> on(MemoryFileContents& contents) {
    return std::make_unique<MemoryOutputFile>(contents);
  }

  bool write(const void* src, size_t bytes) override;
  bool seek(uint64_t offset) override;
  bool close() override;

 private:
  MemoryFileContents& contents_;
  uint64_t position_ = 0;
};

}  // namespace wc
