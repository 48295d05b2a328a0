#include "base/File.h"

#include "base/StreamingOutputFile.h"

#include <cstdio>
#include <system_error>

namespace wc {
namespace {

class StdioInputFile final : public InputFile {
 public:
  explicit StdioInputFile(std::FILE* f) : file_(f) {}
  ~StdioInputFile() override { std::fclose(file_); }

  std::optional<uint64_t> size() override {
    const long here = std::ftell(file_);
    if (here < 0 || std::fseek(file_, 0, SEEK_END) != 0) return std::nullopt;
    const long end = std::ftell(file_);
    std::fseek(file_, here, SEEK_SET);
    if (end < 0) return std::nullopt;
    return uint64_t(end);
  }
  bool seek(uint64_t offset) override {
    return std::fseek(file_, long(offset), SEEK_SET) == 0;
  }
  size_t read(void* dst, size_t bytes) override { return std::fread(dst, 1, bytes, file_); }

 private:
  std::FILE* file_;
};

class StdioOutputFile final : public OutputFile {
 public:
  explicit StdioOutputFile(std::FILE* f) : file_(f) {}
  ~StdioOutputFile() override {
    if (file_) std::fclose(file_);
  }

  bool write(const void* src, size_t bytes) override {
    if (!file_) return false;
    const bool ok = std::fwrite(src, 1, bytes, file_) == bytes;
    failed_ |= !ok;
    return ok;
  }
  bool seek(uint64_t offset) override {
    if (!file_) return false;
    const bool ok = std::fseek(file_, long(offset), SEEK_SET) == 0;
    failed_ |= !ok;
    return ok;
  }
  bool close() override {
    if (!file_) return false;
    const bool flushed = std::fflush(file_) == 0 && !std::ferror(file_);
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    return flushed && closed && !failed_;
  }

 private:
  std::FILE* file_;
  bool failed_ = false;
};

class RealFileSystem final : public FileSystem {
 public:
  std::unique_ptr<InputFile> openRead(const Path& path) override {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return nullptr;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    return f ? std::make_unique<StdioInputFile>(f) : nullptr;
  }
  std::unique_ptr<OutputFile> openWrite(const Path& path) override {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    return f ? std::make_unique<StdioOutputFile>(f) : nullptr;
  }
  std::unique_ptr<OutputFile> openStreamingWrite(const Path& path) override {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return nullptr;
    return openStreamingOutputFile(path);
  }
  bool rename(const Path& from, const Path& to) override {
    std::error_code ec;
    std::filesystem::rename(from, to, ec);
    return !ec;
  }
  bool remove(const Path& path) override {
    std::error_code ec;
    return std::filesystem::remove(path, ec) && !ec;
  }
  bool createDirectory(const Path& path) override {
    std::error_code ec;
    std::filesystem::create_directory(path, ec);
    return std::filesystem::is_directory(path, ec);
  }
  std::vector<std::string> listDirectory(const Path& path) override {
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec))
      names.push_back(it->path().filename().string());
    return names;
  }
  bool isDirectory(const Path& path) override {
    std::error_code ec;
    return std::filesystem::is_directory(path, ec);
  }
};

}  // namespace

FileSystem& realFileSystem() {
  static RealFileSystem fs;
  return fs;
}

std::optional<std::vector<uint8_t>> readWholeFile(FileSystem& fs, const Path& path) {
  auto file = fs.openRead(path);
  if (!file) return std::nullopt;
  const auto size = file->size();
  if (!size) return std::nullopt;
  std::vector<uint8_t> bytes(*size);
  if (file->read(bytes.data(), bytes.size()) != bytes.size()) return std::nullopt;
  return bytes;
}

Path temporarySibling(const Path& target) {
  Path tmp = target;
  tmp.replace_filename("." + target.filename().string() + ".partial");
  return tmp;
}

ReplaceError replaceFile(FileSystem& fs, const Path& target, std::span<const uint8_t> bytes) {
  const Path tmp = temporarySibling(target);
  auto out = fs.openWrite(tmp);
  if (!out) return ReplaceError::NotCreated;
  const bool written = out->write(bytes.data(), bytes.size());
  const bool closed = out->close();
  if (!written || !closed || !fs.rename(tmp, target)) {
    fs.remove(tmp);
    return ReplaceError::NotWritten;
  }
  return ReplaceError::None;
}

}  // namespace wc
