#include "fuzz/MemoryFileSystem.h"

#include <algorithm>
#include <cstring>

namespace wc::fuzz {
namespace {

class MemoryInputFile final : public InputFile {
 public:
  MemoryInputFile(std::shared_ptr<const std::vector<uint8_t>> bytes, std::optional<uint64_t> claimedSize)
      : bytes_(std::move(bytes)), claimedSize_(claimedSize) {}
  std::optional<uint64_t> size() override { return claimedSize_.value_or(bytes_->size()); }
  bool seek(uint64_t offset) override {
    position_ = offset;
    return true;
  }
  size_t read(void* dst, size_t bytes) override {
    if (position_ >= bytes_->size()) return 0;
    const size_t n = size_t(std::min<uint64_t>(bytes, bytes_->size() - position_));
    std::memcpy(dst, bytes_->data() + position_, n);
    position_ += n;
    return n;
  }

 private:
  std::shared_ptr<const std::vector<uint8_t>> bytes_;
  std::optional<uint64_t> claimedSize_;
  uint64_t position_ = 0;
};

class MemoryFile final : public OutputFile {
 public:
  explicit MemoryFile(std::shared_ptr<std::vector<uint8_t>> bytes) : bytes_(std::move(bytes)) {}
  bool write(const void* src, size_t bytes) override {
    if (closed_) return false;
    if (position_ + bytes > bytes_->size()) bytes_->resize(size_t(position_ + bytes));
    if (bytes) std::memcpy(bytes_->data() + position_, src, bytes);
    position_ += bytes;
    return true;
  }
  bool seek(uint64_t offset) override {
    position_ = offset;
    return !closed_;
  }
  bool close() override {
    const bool wasOpen = !closed_;
    closed_ = true;
    return wasOpen;
  }

 private:
  std::shared_ptr<std::vector<uint8_t>> bytes_;
  uint64_t position_ = 0;
  bool closed_ = false;
};

}  // namespace

std::string MemoryFileSystem::key(const Path& path) {
  std::string k = path.lexically_normal().string();
  while (k.size() > 1 && k.back() == '/') k.pop_back();
  return k;
}

void MemoryFileSystem::addParents(const Path& path) {
  for (Path p = path.lexically_normal().parent_path(); !p.empty() && p != p.parent_path(); p = p.parent_path())
    directories_.insert(key(p));
}

void MemoryFileSystem::put(const Path& path, std::vector<uint8_t> bytes) {
  addParents(path);
  files_[key(path)] = std::make_shared<std::vector<uint8_t>>(std::move(bytes));
}

const std::vector<uint8_t>* MemoryFileSystem::find(const Path& path) const {
  const auto it = files_.find(key(path));
  return it == files_.end() ? nullptr : it->second.get();
}

std::unique_ptr<InputFile> MemoryFileSystem::openRead(const Path& path) {
  const auto it = files_.find(key(path));
  if (it == files_.end()) return nullptr;
  const auto claimed = claimedSizes_.find(it->first);
  return std::make_unique<MemoryInputFile>(
      it->second, claimed == claimedSizes_.end() ? std::nullopt : std::optional<uint64_t>(claimed->second));
}

std::unique_ptr<OutputFile> MemoryFileSystem::openWrite(const Path& path) {
  if (!directories_.count(key(path.lexically_normal().parent_path())) && path.has_parent_path()) return nullptr;
  auto bytes = std::make_shared<std::vector<uint8_t>>();
  files_[key(path)] = bytes;
  return std::make_unique<MemoryFile>(std::move(bytes));
}

bool MemoryFileSystem::rename(const Path& from, const Path& to) {
  const auto it = files_.find(key(from));
  if (it == files_.end()) return false;
  Bytes bytes = it->second;
  files_.erase(it);
  files_[key(to)] = std::move(bytes);
  return true;
}

bool MemoryFileSystem::remove(const Path& path) { return files_.erase(key(path)) > 0; }

bool MemoryFileSystem::createDirectory(const Path& path) {
  addParents(path);
  directories_.insert(key(path));
  return true;
}

std::vector<std::string> MemoryFileSystem::listDirectory(const Path& path) {
  const std::string prefix = key(path) + "/";
  std::set<std::string> names;
  auto collect = [&](const std::string& entry) {
    if (entry.compare(0, prefix.size(), prefix) != 0) return;
    const std::string rest = entry.substr(prefix.size());
    if (!rest.empty()) names.insert(rest.substr(0, rest.find('/')));
  };
  for (const auto& [k, bytes] : files_) collect(k);
  for (const auto& d : directories_) collect(d);
  return {names.begin(), names.end()};
}

bool MemoryFileSystem::isDirectory(const Path& path) { return directories_.count(key(path)) > 0; }

}  // namespace wc::fuzz
