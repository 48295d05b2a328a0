#include "base/File.h"

#include "base/StreamingOutputFile.h"
#include "base/TemporaryCleanup.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
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
  bool seek(uint64_t offset) override { return std::fseek(file_, long(offset), SEEK_SET) == 0; }
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
  // Only regular files: a FIFO would block the program for good, a device
  // such as /dev/zero never ends, and neither is a file the program wrote.
  // Opened without blocking, then checked on the descriptor itself.
  std::unique_ptr<InputFile> openRead(const Path& path) override {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return nullptr;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      ::close(fd);
      return nullptr;
    }
    std::FILE* f = ::fdopen(fd, "rb");
    if (!f) {
      ::close(fd);
      return nullptr;
    }
    return std::make_unique<StdioInputFile>(f);
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
    if (!ec) untrackTemporary(from);
    return !ec;
  }
  bool remove(const Path& path) override {
    std::error_code ec;
    const bool removed = std::filesystem::remove(path, ec) && !ec;
    untrackTemporary(path);
    return removed;
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

  TemporaryFile createTemporary(const Path& target, bool streaming) override {
    if (auto refusal = refusalToReplace(target)) return {nullptr, {}, *refusal};
    std::random_device entropy;
    for (int attempt = 0; attempt < 64; ++attempt) {
      const Path path = temporaryNameFor(target, temporarySuffix(entropy()));
      // Known before it exists, so a signal never finds it untracked.
      trackTemporary(path);
      auto file = streaming ? createStreamingOutputFile(path) : createStdioFile(path);
      if (file) return {std::move(file), path, {}};
      const int error = errno;
      untrackTemporary(path);
      if (error != EEXIST) return {nullptr, path, std::strerror(error)};
    }
    return {nullptr, {}, std::strerror(EEXIST)};
  }

  Path resolveLinks(const Path& path) override {
    std::error_code ec;
    if (!std::filesystem::is_symlink(path, ec)) return path;
    const Path resolved = std::filesystem::weakly_canonical(path, ec);
    return ec ? path : resolved;
  }

 private:
  // O_EXCL with O_CREAT never follows a link at the last component, and
  // O_NOFOLLOW says so twice; 0666 leaves the permissions to the umask, as
  // for any file the program creates.
  static std::unique_ptr<OutputFile> createStdioFile(const Path& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    std::FILE* f = ::fdopen(fd, "wb");
    if (!f) {
      const int error = errno;
      ::close(fd);
      ::unlink(path.c_str());
      errno = error;
      return nullptr;
    }
    return std::make_unique<StdioOutputFile>(f);
  }

  // Why an existing `target` must not be replaced: renaming over a file the
  // user made read-only, a directory or a device would destroy what a plain
  // open for writing refuses.
  static std::optional<std::string> refusalToReplace(const Path& target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0) return std::nullopt;  // nothing there yet
    if (!S_ISREG(st.st_mode)) return std::string("it is not a regular file");
    if (::access(target.c_str(), W_OK) != 0) return std::string(std::strerror(errno));
    return std::nullopt;
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

std::optional<std::vector<uint8_t>> readFilePrefix(FileSystem& fs, const Path& path, size_t limit) {
  auto file = fs.openRead(path);
  if (!file) return std::nullopt;
  std::vector<uint8_t> bytes(limit);
  size_t filled = 0;
  while (filled < limit) {
    const size_t n = file->read(bytes.data() + filled, limit - filled);
    if (n == 0) break;
    filled += n;
  }
  bytes.resize(filled);
  return bytes;
}

Path temporaryNameFor(const Path& target, uint64_t randomSuffix) {
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(randomSuffix));
  // The 27 bytes around the name must not make a name the file system
  // refuses when the target's own is long but valid: the name is cut to fit
  // (on a character boundary; the temporary is renamed anyway).
  constexpr size_t kMaxNameBytes = 255;
  constexpr size_t kAddedBytes = 27;
  std::string name = target.filename().string();
  if (name.size() > kMaxNameBytes - kAddedBytes) {
    size_t cut = kMaxNameBytes - kAddedBytes;
    while (cut > 0 && (uint8_t(name[cut]) & 0xC0) == 0x80) --cut;
    name.resize(cut);
  }
  Path tmp = target;
  tmp.replace_filename("." + name + "." + hex + ".partial");
  return tmp;
}

TemporaryFile FileSystem::createTemporary(const Path& target, bool streaming) {
  std::random_device entropy;
  for (int attempt = 0; attempt < 64; ++attempt) {
    const Path path = temporaryNameFor(target, (uint64_t(entropy()) << 32) ^ entropy());
    if (openRead(path) || isDirectory(path)) continue;
    auto file = streaming ? openStreamingWrite(path) : openWrite(path);
    if (!file) return {nullptr, path, "the file cannot be created"};
    return {std::move(file), path, {}};
  }
  return {nullptr, {}, "no free temporary name"};
}

}  // namespace wc
