#pragma once
// An output file that throws its bytes away: the benchmarks measure the
// writers, not the disk.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "base/File.h"

namespace wc::bench {

class DiscardingFile final : public OutputFile {
 public:
  bool write(const void* src, size_t bytes) override {
    benchmark::DoNotOptimize(src);
    written += bytes;
    return true;
  }
  bool seek(uint64_t) override { return true; }
  bool close() override { return true; }
  uint64_t written = 0;
};

}  // namespace wc::bench
