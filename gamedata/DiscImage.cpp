#include "gamedata/DiscImage.h"

#include <cdio/iso9660.h>
#include <cdio/logging.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "gamedata/CaseInsensitivePath.h"

namespace wc {
namespace {

// The volume descriptors start at sector 16; an image must hold at least the
// primary one and the terminator after it.
constexpr uint64_t kSmallestImage = 18 * kImageSectorSize;
// Whole sectors handed to the library in one read: large enough that a clip
// costs few calls, small enough to keep the lock short.
constexpr uint64_t kSectorsPerRead = 512;

// libcdio reports what it dislikes about an image on standard error; the
// user gets one message of ours naming the file and the reason instead.
void quietLibraryLog(cdio_log_level_t, const char*) {}

void silenceLibraryOnce() {
  static std::once_flag once;
  std::call_once(once, [] { cdio_log_set_handler(quietLibraryLog); });
}

uint64_t sectorsFor(uint64_t bytes) { return (bytes + kImageSectorSize - 1) / kImageSectorSize; }

// The size of an image file or of a drive holding the disc, opened without
// blocking: a FIFO or a terminal named as the image would stop the program
// for good before any window appears.
std::variant<uint64_t, DiscImageError> imageSize(const Path& file) {
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0) return DiscImageError{DiscImageProblem::CannotOpen, std::strerror(errno)};
  if (S_ISDIR(st.st_mode)) return DiscImageError{DiscImageProblem::CannotOpen, "it is a directory"};
  const auto usable = [](const struct stat& s) { return S_ISREG(s.st_mode) || S_ISBLK(s.st_mode); };
  if (!usable(st)) return DiscImageError{DiscImageProblem::CannotOpen, "it is neither a file nor a drive"};
  const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return DiscImageError{DiscImageProblem::CannotOpen, std::strerror(errno)};
  // Checked again on what was opened, in case the name changed meanwhile.
  const bool same = ::fstat(fd, &st) == 0 && usable(st);
  // A drive's size is where its end lies; its st_size is 0.
  const off_t end = same && S_ISBLK(st.st_mode) ? ::lseek(fd, 0, SEEK_END) : off_t(st.st_size);
  const int error = errno;
  ::close(fd);
  if (!same) return DiscImageError{DiscImageProblem::CannotOpen, "it is neither a file nor a drive"};
  if (end < 0) return DiscImageError{DiscImageProblem::CannotOpen, std::strerror(error)};
  return uint64_t(end);
}

std::string joined(const std::vector<std::string>& components) {
  std::string text;
  for (const auto& c : components) text += (text.empty() ? "" : "/") + c;
  return text;
}

}  // namespace

struct DiscImage::Library {
  iso9660_t* handle = nullptr;
  ~Library() {
    if (handle) iso9660_close(handle);
  }
};

std::string discImageErrorMessage(const Path& image, const DiscImageError& error) {
  std::string reason;
  switch (error.problem) {
    case DiscImageProblem::CannotOpen: reason = "it cannot be opened"; break;
    case DiscImageProblem::NotIso9660: reason = "it is not an ISO 9660 image"; break;
    case DiscImageProblem::Truncated: reason = "it is cut short"; break;
    case DiscImageProblem::NoAudioDirectory: reason = "it holds no AUDIO/CONFIG/TRAKLKUP.DAT"; break;
    case DiscImageProblem::FileTooLarge:
      reason = "it holds a file of 4 GiB or more, which cannot be read from an image";
      break;
  }
  if (!error.detail.empty()) reason += " (" + error.detail + ")";
  return "The disc image " + image.string() + " cannot be used: " + reason + ".";
}

DiscImage::DiscImage(Path file, uint64_t imageBytes, std::unique_ptr<Library> library)
    : file_(std::move(file)), imageBytes_(imageBytes), library_(std::move(library)) {}

DiscImage::~DiscImage() = default;

std::variant<std::unique_ptr<DiscImage>, DiscImageError> DiscImage::open(const Path& given) {
  std::error_code ec;
  const Path file = std::filesystem::absolute(given, ec).lexically_normal();
  if (ec) return DiscImageError{DiscImageProblem::CannotOpen, ec.message()};
  // Opened once here so that a missing or unreadable file is told apart
  // from one the library does not recognise.
  const auto size = imageSize(file);
  if (const auto* error = std::get_if<DiscImageError>(&size)) return *error;
  const uint64_t bytes = std::get<uint64_t>(size);
  if (bytes < kSmallestImage)
    return DiscImageError{DiscImageProblem::NotIso9660, "the file holds only " + std::to_string(bytes) + " bytes"};

  silenceLibraryOnce();
  auto library = std::make_unique<Library>();
  library->handle = iso9660_open(file.c_str());
  if (!library->handle) return DiscImageError{DiscImageProblem::NotIso9660, ""};
  iso9660_pvd_t pvd;
  if (!iso9660_ifs_read_pvd(library->handle, &pvd)) return DiscImageError{DiscImageProblem::NotIso9660, ""};
  const int volumeSectors = iso9660_get_pvd_space_size(&pvd);
  const uint64_t volumeBytes = volumeSectors > 0 ? uint64_t(volumeSectors) * kImageSectorSize : 0;
  if (volumeBytes > bytes)
    return DiscImageError{DiscImageProblem::Truncated, "the file holds " + std::to_string(bytes) + " bytes of the " +
                                                           std::to_string(volumeBytes) + " its volume takes"};
  return std::unique_ptr<DiscImage>(new DiscImage(file, bytes, std::move(library)));
}

std::optional<std::vector<ImageEntry>> DiscImage::listExact(const std::vector<std::string>& exactNames) {
  const std::string path = "/" + joined(exactNames);
  std::lock_guard lock(mutex_);
  if (auto cached = listings_.find(path); cached != listings_.end()) return cached->second;

  CdioList_t* list = iso9660_ifs_readdir(library_->handle, path.c_str());
  if (!list) return std::nullopt;
  std::vector<ImageEntry> entries;
  for (CdioListNode_t* node = _cdio_list_begin(list); node; node = _cdio_list_node_next(node)) {
    const auto* stat = static_cast<const iso9660_stat_t*>(_cdio_list_node_data(node));
    if (!stat) continue;
    const std::string name = stat->filename;
    if (name.empty() || name == "." || name == "..") continue;
    // A file of 4 GiB or more is recorded as several entries of one name,
    // one per extent; ISO 9660 allows a name once otherwise.
    auto same = std::find_if(entries.begin(), entries.end(), [&](const ImageEntry& e) { return e.name == name; });
    if (same != entries.end()) {
      same->split = true;
      same->size += stat->size;
      continue;
    }
    ImageEntry entry;
    entry.name = name;
    entry.directory = stat->type == iso9660_stat_s::_STAT_DIR;
    // A negative sector (a corrupt record) becomes one far past any image.
    entry.firstSector = uint32_t(stat->lsn);
    entry.size = stat->size;
    entries.push_back(std::move(entry));
  }
  iso9660_filelist_free(list);
  listings_.emplace(path, entries);
  return entries;
}

std::optional<DiscImage::Resolved> DiscImage::resolve(const std::vector<std::string>& components) {
  ImageEntry current;
  current.directory = true;
  std::vector<std::string> exact;
  for (const std::string& wanted : components) {
    if (!current.directory) return std::nullopt;
    const auto entries = listExact(exact);
    if (!entries) return std::nullopt;
    auto match = std::find_if(entries->begin(), entries->end(), [&](const ImageEntry& e) { return e.name == wanted; });
    if (match == entries->end())
      match = std::find_if(entries->begin(), entries->end(),
                           [&](const ImageEntry& e) { return entryNameMatches(e.name, wanted); });
    if (match == entries->end()) return std::nullopt;
    current = *match;
    exact.push_back(match->name);
  }
  return Resolved{std::move(current), std::move(exact)};
}

std::optional<ImageEntry> DiscImage::find(const std::vector<std::string>& components) {
  auto resolved = resolve(components);
  if (!resolved) return std::nullopt;
  return std::move(resolved->entry);
}

std::optional<std::vector<ImageEntry>> DiscImage::listDirectory(const std::vector<std::string>& components) {
  const auto resolved = resolve(components);
  if (!resolved || !resolved->entry.directory) return std::nullopt;
  return listExact(resolved->exactNames);
}

bool DiscImage::fitsInImage(const ImageEntry& entry) const {
  const uint64_t end = (uint64_t(entry.firstSector) + sectorsFor(entry.size)) * kImageSectorSize;
  return end <= imageBytes_;
}

size_t DiscImage::read(const ImageEntry& file, uint64_t offset, void* dst, size_t bytes) {
  if (file.directory || file.split || offset >= file.size) return 0;
  bytes = size_t(std::min<uint64_t>(bytes, file.size - offset));
  auto* out = static_cast<uint8_t*>(dst);
  std::lock_guard lock(mutex_);
  size_t done = 0;
  while (done < bytes) {
    const uint64_t position = offset + done;
    const uint64_t sector = file.firstSector + position / kImageSectorSize;
    const size_t within = size_t(position % kImageSectorSize);
    const size_t wanted = bytes - done;
    // The library addresses sectors with a signed 32-bit number.
    if (sector > uint64_t(INT32_MAX)) break;
    if (within == 0 && wanted >= kImageSectorSize) {
      const uint64_t sectors =
          std::min({uint64_t(wanted / kImageSectorSize), kSectorsPerRead, uint64_t(INT32_MAX) - sector + 1});
      const long got = iso9660_iso_seek_read(library_->handle, out + done, lsn_t(sector), long(sectors));
      if (got <= 0) break;
      done += size_t(got);
      if (uint64_t(got) < sectors * kImageSectorSize) break;
    } else {
      uint8_t block[kImageSectorSize];
      if (iso9660_iso_seek_read(library_->handle, block, lsn_t(sector), 1) != long(kImageSectorSize)) break;
      const size_t take = std::min(kImageSectorSize - within, wanted);
      std::memcpy(out + done, block + within, take);
      done += take;
    }
  }
  return done;
}

std::variant<std::string, DiscImageError> checkGameDiscImage(DiscImage& image) {
  const auto audio = image.find({"AUDIO"});
  const auto table = image.find({"AUDIO", "CONFIG", "TRAKLKUP.DAT"});
  if (!audio || !audio->directory || !table || table->directory)
    return DiscImageError{DiscImageProblem::NoAudioDirectory, ""};
  for (const char* directory : {"CONFIG", "STREAMS"}) {
    const auto entries = image.listDirectory({audio->name, directory});
    if (!entries) continue;
    for (const ImageEntry& entry : *entries) {
      const std::string where = audio->name + "/" + directory + "/" + entry.name;
      if (entry.split) return DiscImageError{DiscImageProblem::FileTooLarge, where};
      if (!image.fitsInImage(entry))
        return DiscImageError{DiscImageProblem::Truncated, where + " ends past the end of the file"};
    }
  }
  return audio->name;
}

}  // namespace wc
