#pragma once
// A small file layer. Everything the program reads or writes goes through a
// FileSystem, so tests can make a disk fill up, a write fail or a file shrink
// without touching the machine's real file systems.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace wc {

using Path = std::filesystem::path;

class InputFile {
 public:
  virtual ~InputFile() = default;
  virtual std::optional<uint64_t> size() = 0;
  virtual bool seek(uint64_t offset) = 0;
  // Reads up to `bytes`; returns how many were read (short at end of file or on error).
  virtual size_t read(void* dst, size_t bytes) = 0;
};

class OutputFile {
 public:
  virtual ~OutputFile() = default;
  // False unless every byte was written.
  virtual bool write(const void* src, size_t bytes) = 0;
  virtual bool seek(uint64_t offset) = 0;
  // Flushes and closes; false if anything written so far failed to reach the
  // file. A file destroyed without close() is closed silently.
  virtual bool close() = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  virtual std::unique_ptr<InputFile> openRead(const Path& path) = 0;
  // Creates or truncates.
  virtual std::unique_ptr<OutputFile> openWrite(const Path& path) = 0;
  // Creates or truncates a file that is written front to back in large
  // pieces, like an exported CD image; the machine's own file systems write
  // it past the page cache while the disk keeps up (StreamingOutputFile.h).
  virtual std::unique_ptr<OutputFile> openStreamingWrite(const Path& path) { return openWrite(path); }
  virtual bool rename(const Path& from, const Path& to) = 0;
  virtual bool remove(const Path& path) = 0;
  // True if the directory exists afterwards.
  virtual bool createDirectory(const Path& path) = 0;
  // The names in a directory; empty if it cannot be read.
  virtual std::vector<std::string> listDirectory(const Path& path) = 0;
  virtual bool isDirectory(const Path& path) = 0;
};

// The machine's own file systems, through the C library's streams.
FileSystem& realFileSystem();

// Reads a whole file; nullopt if it cannot be opened or read completely.
std::optional<std::vector<uint8_t>> readWholeFile(FileSystem& fs, const Path& path);

// The temporary name a replacement of `target` is written under: a hidden
// file in the same directory, so the final rename never crosses devices.
Path temporarySibling(const Path& target);

// Writes `bytes` to a temporary beside `target` and renames it into place only
// when everything was written, so a failure never damages an existing file.
enum class ReplaceError { None, NotCreated, NotWritten };
ReplaceError replaceFile(FileSystem& fs, const Path& target, std::span<const uint8_t> bytes);
inline bool replaceFileAtomically(FileSystem& fs, const Path& target, std::span<const uint8_t> bytes) {
  return replaceFile(fs, target, bytes) == ReplaceError::None;
}

}  // namespace wc
