#include "support/FaultyFileSystem.h"

#include <algorithm>
#include <cerrno>

namespace wc::test {
namespace {

class FaultyInputFile final : public InputFile {
 public:
  FaultyInputFile(std::unique_ptr<InputFile> inner, std::optional<uint64_t> limit, std::shared_ptr<uint64_t> counter)
      : inner_(std::move(inner)), limit_(limit), counter_(std::move(counter)) {}

  std::optional<uint64_t> size() override {
    auto size = inner_->size();
    if (size && limit_) size = std::min(*size, *limit_);
    return size;
  }
  bool seek(uint64_t offset) override {
    if (!inner_->seek(offset)) return false;
    position_ = offset;
    return true;
  }
  size_t read(void* dst, size_t bytes) override {
    if (limit_) bytes = position_ >= *limit_ ? 0 : size_t(std::min<uint64_t>(bytes, *limit_ - position_));
    const size_t n = bytes ? inner_->read(dst, bytes) : 0;
    position_ += n;
    *counter_ += n;
    return n;
  }

 private:
  std::unique_ptr<InputFile> inner_;
  std::optional<uint64_t> limit_;
  std::shared_ptr<uint64_t> counter_;
  uint64_t position_ = 0;
};

class FaultyOutputFile final : public OutputFile {
 public:
  FaultyOutputFile(std::unique_ptr<OutputFile> inner, std::optional<uint64_t>& budget,
                   std::optional<uint64_t> fileBudget)
      : inner_(std::move(inner)), budget_(budget), fileBudget_(fileBudget) {}

  bool write(const void* src, size_t bytes) override {
    size_t allowed = bytes;
    if (budget_) allowed = size_t(std::min<uint64_t>(allowed, *budget_));
    if (fileBudget_) allowed = size_t(std::min<uint64_t>(allowed, *fileBudget_));
    const bool ok = inner_->write(src, allowed);
    if (budget_) *budget_ -= allowed;
    if (fileBudget_) *fileBudget_ -= allowed;
    const bool complete = ok && allowed == bytes;
    // A write cut short by a budget is a full disk.
    if (!complete && !failed_) errorNumber_ = ok ? ENOSPC : inner_->errorNumber();
    failed_ |= !complete;
    return complete;
  }
  bool seek(uint64_t offset) override { return inner_->seek(offset); }
  bool close() override { return inner_->close() && !failed_; }
  int errorNumber() const override { return failed_ ? errorNumber_ : inner_->errorNumber(); }

 private:
  std::unique_ptr<OutputFile> inner_;
  std::optional<uint64_t>& budget_;
  std::optional<uint64_t> fileBudget_;
  bool failed_ = false;
  int errorNumber_ = 0;
};

}  // namespace

std::unique_ptr<InputFile> FaultyFileSystem::openRead(const Path& path) {
  auto file = inner_.openRead(path);
  if (!file) return nullptr;
  opened_.push_back(path);
  std::optional<uint64_t> limit;
  if (auto it = shrunk_.find(path); it != shrunk_.end()) limit = it->second;
  return std::make_unique<FaultyInputFile>(std::move(file), limit, bytesRead_);
}

std::unique_ptr<OutputFile> FaultyFileSystem::openWrite(const Path& path) {
  auto file = inner_.openWrite(path);
  if (!file) return nullptr;
  std::optional<uint64_t> fileBudget;
  if (auto it = failingFiles_.find(path); it != failingFiles_.end()) fileBudget = it->second;
  return std::make_unique<FaultyOutputFile>(std::move(file), writeBudget_, fileBudget);
}

TemporaryFile FaultyFileSystem::createTemporary(const Path& target, bool streaming) {
  if (std::find(refusedTargets_.begin(), refusedTargets_.end(), target) != refusedTargets_.end())
    return {nullptr, {}, "refused by the test"};
  TemporaryFile temporary = inner_.createTemporary(target, streaming);
  if (!temporary.file) return temporary;
  temporaries_.emplace_back(temporary.path, target);
  std::optional<uint64_t> fileBudget;
  if (auto it = failingFiles_.find(target); it != failingFiles_.end()) fileBudget = it->second;
  temporary.file = std::make_unique<FaultyOutputFile>(std::move(temporary.file), writeBudget_, fileBudget);
  return temporary;
}

bool FaultyFileSystem::rename(const Path& from, const Path& to) {
  if (failRenames_) return false;
  if (std::find(failingRenameTargets_.begin(), failingRenameTargets_.end(), to) != failingRenameTargets_.end())
    return false;
  return inner_.rename(from, to);
}

}  // namespace wc::test
