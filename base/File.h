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
  // The errno of the first operation that failed; 0 while none did, or when
  // the file cannot tell why.
  virtual int errorNumber() const { return 0; }
};

// A fresh file for writing the replacement of another one (FileReplacement.h).
struct TemporaryFile {
  std::unique_ptr<OutputFile> file;  // null when it could not be created
  Path path;                         // the temporary's own name
  std::string reason;                // why it could not be created, in words (FileError.h)
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

  // Creates a new, empty file in the directory of `target` under a random
  // hidden name, never through a symbolic link nor over an existing file.
  // Fails, with the reason, when `target` exists but is not a regular file
  // this process may write. `streaming` as for openStreamingWrite. This
  // default serves file systems without links; the real one overrides it.
  virtual TemporaryFile createTemporary(const Path& target, bool streaming);
  // The file that writing to `path` should replace: the file a symbolic link
  // names (followed to its end), any other path as it is.
  virtual Path resolveLinks(const Path& path) { return path; }
};

// The machine's own file systems, through the C library's streams.
FileSystem& realFileSystem();

// Reads a whole file; nullopt if it cannot be opened or read completely.
std::optional<std::vector<uint8_t>> readWholeFile(FileSystem& fs, const Path& path);
// Reads at most `limit` bytes from the start of a file, fewer if it is
// shorter; nullopt if it cannot be opened. Never allocates more than `limit`.
std::optional<std::vector<uint8_t>> readFilePrefix(FileSystem& fs, const Path& path, size_t limit);

// The name of a temporary beside `target`: ".NAME.<16 hex digits>.partial",
// in the same directory so the final rename never crosses devices.
Path temporaryNameFor(const Path& target, uint64_t randomSuffix);

// Writes `bytes` to a temporary beside `target` and renames it into place only
// when everything was written, so a failure never damages an existing file
// (FileReplacement.h).
bool replaceFileAtomically(FileSystem& fs, const Path& target, std::span<const uint8_t> bytes);

}  // namespace wc
