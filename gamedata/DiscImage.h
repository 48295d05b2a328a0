#pragma once
// An ISO 9660 image of the game disc, read through libcdio's ISO 9660
// library without mounting it. Only the primary ISO 9660 tree is used (with
// Rock Ridge names where the image has them); a DVD's UDF bridge and a
// Joliet tree are ignored. Entry names are those the library reports:
// "CH.PAK;1" on a plain image, "CH.PAK" with Rock Ridge.
//
// One library handle serves every reader; reads are serialised on it, so
// files opened from the same image may be read from different threads.
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "base/File.h"

namespace wc {

inline constexpr uint64_t kImageSectorSize = 2048;

enum class DiscImageProblem {
  CannotOpen,        // the file does not exist or cannot be read
  NotIso9660,        // no ISO 9660 volume descriptor where one belongs
  Truncated,         // shorter than its volume, or a needed file ends past it
  NoAudioDirectory,  // no AUDIO/CONFIG/TRAKLKUP.DAT in the image
  FileTooLarge,      // a file of 4 GiB or more (stored in several extents)
};

struct DiscImageError {
  DiscImageProblem problem;
  std::string detail;  // what was found, for the message
};

// "The disc image <file> cannot be used: <reason>." for the user.
std::string discImageErrorMessage(const Path& image, const DiscImageError& error);

struct ImageEntry {
  std::string name;
  bool directory = false;
  uint32_t firstSector = 0;  // logical sector of the data in the image
  uint64_t size = 0;         // bytes; the sum of all extents for a split file
  bool split = false;        // recorded in more than one extent: too large to read
};

class DiscImage {
 public:
  // Opens `file` (made absolute) and reads its volume descriptor. The image
  // is checked only for being ISO 9660 and complete; what it holds is for
  // checkGameDiscImage.
  static std::variant<std::unique_ptr<DiscImage>, DiscImageError> open(const Path& file);
  ~DiscImage();
  DiscImage(const DiscImage&) = delete;
  DiscImage& operator=(const DiscImage&) = delete;

  const Path& file() const { return file_; }
  uint64_t imageBytes() const { return imageBytes_; }

  // The entry reached by `components` from the root; each name matches
  // exactly, else ignoring case and the ";1" version. The root for none.
  std::optional<ImageEntry> find(const std::vector<std::string>& components);
  // The entries of the directory reached by `components` (matched as by
  // find), without "." and "..". A file recorded in several extents appears
  // once, marked `split`. Nullopt if it is not a directory or cannot be read.
  std::optional<std::vector<ImageEntry>> listDirectory(const std::vector<std::string>& components);

  // Reads up to `bytes` of `file` from `offset`; returns how many were read,
  // short at the file's end or where the image cannot be read. Nothing for a
  // directory or a split file.
  size_t read(const ImageEntry& file, uint64_t offset, void* dst, size_t bytes);

  // True if every byte of the entry lies inside the image file.
  bool fitsInImage(const ImageEntry& entry) const;

 private:
  struct Library;
  DiscImage(Path file, uint64_t imageBytes, std::unique_ptr<Library> library);
  // The entry and the image's own spelling of its path.
  struct Resolved {
    ImageEntry entry;
    std::vector<std::string> exactNames;
  };
  std::optional<Resolved> resolve(const std::vector<std::string>& components);
  // The listing of the directory at exactly these names; cached.
  std::optional<std::vector<ImageEntry>> listExact(const std::vector<std::string>& exactNames);

  Path file_;
  uint64_t imageBytes_;
  std::mutex mutex_;  // guards the library handle and the listing cache
  std::unique_ptr<Library> library_;
  std::map<std::string, std::vector<ImageEntry>> listings_;
};

// Checks that an opened image is the game disc: AUDIO/CONFIG/TRAKLKUP.DAT is
// there, and no file under AUDIO/CONFIG or AUDIO/STREAMS is split into
// several extents or ends past the image. Returns the AUDIO directory's name
// as the image spells it, or the reason.
std::variant<std::string, DiscImageError> checkGameDiscImage(DiscImage& image);

}  // namespace wc
