#include "base/StreamingOutputFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace wc {
namespace {

constexpr size_t kAlignment = 4096;          // covers every logical block size in use
constexpr size_t kPieceBytes = 4u << 20;     // one direct write
constexpr uint64_t kJudgeAfter = 64u << 20;  // bytes written before the disk's pace is judged
// The share of the time since the first write spent inside direct writes
// above which the disk, not the data, sets the pace.
constexpr double kDiskBoundShare = 0.8;

struct FreeDeleter {
  void operator()(uint8_t* p) const { std::free(p); }
};

// write() until every byte is out. Returns the bytes written; fewer than
// asked means an error, left in `error`.
size_t writeAll(int fd, const uint8_t* src, size_t bytes, int* error) {
  size_t done = 0;
  while (done < bytes) {
    const ssize_t n = ::write(fd, src + done, bytes - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      *error = n < 0 ? errno : ENOSPC;
      break;
    }
    done += size_t(n);
  }
  return done;
}

class StreamingOutputFile final : public OutputFile {
 public:
  StreamingOutputFile(int fd, bool direct) : fd_(fd), direct_(direct) {
    if (direct_) {
      buffer_.reset(static_cast<uint8_t*>(std::aligned_alloc(kAlignment, kPieceBytes)));
      if (!buffer_) leaveDirectMode();
    }
  }
  // Abandoned without close(): what was written still reaches the file.
  ~StreamingOutputFile() override {
    if (fd_ < 0) return;
    finishDirect();
    ::close(fd_);
  }

  bool write(const void* src, size_t bytes) override {
    if (fd_ < 0 || failed_) return false;
    const auto* from = static_cast<const uint8_t*>(src);
    while (direct_ && bytes > 0) {
      const size_t take = std::min(bytes, kPieceBytes - pending_);
      std::memcpy(buffer_.get() + pending_, from, take);
      pending_ += take;
      from += take;
      bytes -= take;
      if (pending_ == kPieceBytes && !writePiece()) return false;
    }
    int error = 0;
    if (bytes > 0 && writeAll(fd_, from, bytes, &error) != bytes) fail(error);
    return !failed_;
  }

  bool seek(uint64_t offset) override {
    if (fd_ < 0 || !finishDirect()) return false;
    if (::lseek(fd_, off_t(offset), SEEK_SET) < 0) fail(errno);
    return !failed_;
  }

  bool close() override {
    if (fd_ < 0) return false;
    const bool flushed = finishDirect();
    const bool closed = ::close(fd_) == 0;
    if (!closed) fail(errno);
    fd_ = -1;
    return flushed && closed && !failed_;
  }
  int errorNumber() const override { return errorNumber_; }

 private:
  using Clock = std::chrono::steady_clock;

  // Writes the full buffer past the cache, then judges the disk's pace.
  bool writePiece() {
    const auto start = Clock::now();
    if (written_ == 0) firstWrite_ = start;
    if (!writeOut(buffer_.get(), pending_)) {
      fail(lastError_);
      return false;
    }
    const auto end = Clock::now();
    writeSeconds_ += std::chrono::duration<double>(end - start).count();
    written_ += pending_;
    pending_ = 0;
    if (direct_ && written_ >= kJudgeAfter &&
        writeSeconds_ > kDiskBoundShare * std::chrono::duration<double>(end - firstWrite_).count())
      leaveDirectMode();
    return true;
  }

  // Before a seek or the close: what is buffered goes out, its whole blocks
  // past the cache and the rest through it; the file stays buffered.
  bool finishDirect() {
    if (!direct_) return !failed_;
    const size_t whole = pending_ / kAlignment * kAlignment;
    const size_t rest = pending_ - whole;
    int error = 0;
    bool ok = !failed_ && writeOut(buffer_.get(), whole);
    if (!leaveDirectMode()) ok = false;
    if (ok && rest > 0) ok = writeAll(fd_, buffer_.get() + whole, rest, &error) == rest;
    pending_ = 0;
    if (!ok) fail(error != 0 ? error : lastError_);
    return ok;
  }

  // Writes whole blocks past the cache. A file system that refuses a direct
  // write (EINVAL, nothing of that call written) gets the rest through the
  // cache; any other error is a failure.
  bool writeOut(const uint8_t* src, size_t bytes) {
    int& error = lastError_;
    const size_t done = writeAll(fd_, src, bytes, &error);
    if (done == bytes) return true;
    if (error != EINVAL || !direct_ || !leaveDirectMode()) return false;
    return writeAll(fd_, src + done, bytes - done, &error) == bytes - done;
  }

  void fail(int error) {
    if (!failed_) errorNumber_ = error;
    failed_ = true;
  }

  bool leaveDirectMode() {
    direct_ = false;
    const int flags = ::fcntl(fd_, F_GETFL);
    return flags >= 0 && ::fcntl(fd_, F_SETFL, flags & ~O_DIRECT) == 0;
  }

  int fd_;
  bool direct_;
  bool failed_ = false;
  int errorNumber_ = 0;  // of the first failure
  int lastError_ = 0;    // of the last writeOut
  std::unique_ptr<uint8_t, FreeDeleter> buffer_;
  size_t pending_ = 0;    // bytes in the buffer
  uint64_t written_ = 0;  // bytes written past the cache
  double writeSeconds_ = 0.0;
  Clock::time_point firstWrite_{};
};

}  // namespace

namespace {

std::unique_ptr<OutputFile> openWithFlags(const Path& path, int flags) {
  bool direct = true;
  int fd = ::open(path.c_str(), flags | O_DIRECT, 0666);
  if (fd < 0 && errno == EINVAL) {  // the file system has no direct writes
    direct = false;
    fd = ::open(path.c_str(), flags, 0666);
  }
  if (fd < 0) return nullptr;
  return std::make_unique<StreamingOutputFile>(fd, direct);
}

}  // namespace

std::unique_ptr<OutputFile> openStreamingOutputFile(const Path& path) {
  return openWithFlags(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC);
}

std::unique_ptr<OutputFile> createStreamingOutputFile(const Path& path) {
  return openWithFlags(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC);
}

}  // namespace wc
