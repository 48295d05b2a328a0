#include "gamedata/GameData.h"

#include <algorithm>
#include <cstring>

#include "base/FileReplacement.h"
#include "gamedata/CaseInsensitivePath.h"
#include "gamedata/CatalogueBuilder.h"
#include "gamedata/CatalogueFile.h"
#include "gamedata/ClipLoader.h"

namespace wc {
namespace {

// Up to `limit` bytes from the start of `file`, fewer if it is shorter.
std::vector<uint8_t> readPrefix(InputFile& file, size_t limit) {
  std::vector<uint8_t> bytes(limit);
  size_t filled = 0;
  while (filled < limit) {
    const size_t n = file.read(bytes.data() + filled, limit - filled);
    if (n == 0) break;
    filled += n;
  }
  bytes.resize(filled);
  return bytes;
}

bool isPlainFileName(const char* text, size_t capacity) {
  const size_t length = strnlen(text, capacity);
  if (length == 0 || length == capacity) return false;
  return std::all_of(text, text + length, [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
  });
}

}  // namespace

GameData::GameData(FileSystem& fs, Path workingDirectory, MountTableSource& mounts, MessagePrompts& prompts,
                   ExitFunction exit)
    : fs_(fs),
      workingDirectory_(std::move(workingDirectory)),
      prompts_(prompts),
      locator_(fs, mounts, prompts, std::move(exit)),
      catalogue_(std::make_unique<Catalogue>()) {}

std::string GameData::packName(int station) const {
  if (station < 0 || station >= kStationCount) return {};
  // The name comes from the catalogue file; only a plain name may become
  // part of a path.
  const Station& s = catalogue_->stations[station];
  if (isPlainFileName(s.name, sizeof s.name)) return std::string(s.name, strnlen(s.name, sizeof s.name));
  return kPackNames[size_t(station)];
}

void GameData::loadCatalogue() {
  Catalogue& catalogue = *catalogue_;
  bool fromFile = false;
  if (auto file = fs_.openRead(workingDirectory_ / kCatalogueFileName)) {
    // A short file reads as one whose missing tail is zero.
    parseCatalogue(readPrefix(*file, kCatalogueFileSize), catalogue);
    fromFile = true;
  } else {
    resetToBareCatalogue(catalogue);
  }

  // A missing lookup table reads as no records at all.
  const auto table = readConfigFile(kLookupTableName);
  const std::vector<LookupRecord> records =
      table ? parseLookupTable(*table) : std::vector<LookupRecord>{};

  if (fromFile) {
    if (catalogueMatchesLookup(catalogue, records)) return;
    prompts_.showMessage(kMismatchCaption, kMismatchText, MessageButtons::Ok);
    fileDoesNotMatch_ = true;
    resetToBareCatalogue(catalogue);
  }
  fillClipsFromLookup(catalogue, records);
}

bool GameData::saveCatalogue() {
  catalogueBackup_.reset();
  const std::vector<uint8_t> image = serializeCatalogue(*catalogue_);
  FileReplacement replacement(fs_, workingDirectory_ / kCatalogueFileName);
  if (!replacement.created() || !replacement.file()->write(image.data(), image.size())) return false;

  // The user's file is copied, not moved, so that it stays under its own
  // name until the new file takes its place.
  std::optional<Path> backup;
  if (fileDoesNotMatch_) {
    // Far above any catalogue file; a larger one is kept by refusing to save.
    constexpr uint64_t kMaxCopiedBytes = 64u << 20;
    if (auto userFile = fs_.openRead(replacement.target())) {
      const auto size = userFile->size();
      if (!size || *size > kMaxCopiedBytes) return false;
      userFile.reset();
      const auto bytes = readWholeFile(fs_, replacement.target());
      backup = freeBackupName(replacement.target());
      if (!bytes || !backup || !replaceFileAtomically(fs_, *backup, *bytes)) return false;
    }
  }
  if (!replacement.commit()) {
    if (backup) fs_.remove(*backup);
    return false;
  }
  fileDoesNotMatch_ = false;
  catalogueBackup_ = backup;
  return true;
}

std::optional<Path> GameData::freeBackupName(const Path& file) {
  const std::string base = file.string() + ".bak";
  for (int n = 0; n < 1000; ++n) {
    const Path candidate = n == 0 ? Path(base) : Path(base + "." + std::to_string(n));
    if (!fs_.openRead(candidate) && !fs_.isDirectory(candidate)) return candidate;
  }
  return std::nullopt;
}

std::optional<Path> GameData::onDisc(std::string_view directory, std::string_view name) {
  if (!locateDisc() || !discRoot()) return std::nullopt;
  return resolveIgnoringCase(fs_, *discRoot(), {directory, name});
}

std::optional<std::vector<uint8_t>> GameData::readConfigFile(std::string_view name) {
  if (auto cached = readWholeFile(fs_, cacheDirectory() / name)) return cached;
  const auto path = onDisc("CONFIG", name);
  if (!path) return std::nullopt;
  return readWholeFile(fs_, *path);
}

std::unique_ptr<InputFile> GameData::openPack(int station) {
  const std::string fileName = packName(station) + ".PAK";
  if (auto cached = fs_.openRead(cacheDirectory() / fileName)) return cached;
  const auto path = onDisc("STREAMS", fileName);
  return path ? fs_.openRead(*path) : nullptr;
}

std::unique_ptr<ClipAudio> GameData::loadClipAudio(int station, int clipIndex) {
  if (station < 0 || station >= kStationCount) return nullptr;
  const Station& s = catalogue_->stations[station];
  if (clipIndex < 0 || clipIndex >= validClipCount(s)) return nullptr;
  const Clip& clip = s.clips[clipIndex];
  // The pack is opened for this clip alone; no handle is kept between loads.
  auto pack = openPack(station);
  return pack ? readClipAudio(*pack, clip.offset, clip.size) : nullptr;
}

bool GameData::copyFile(std::string_view sourcePath, const std::string& cacheName, const CopyProgress& progress) {
  if (!locateDisc() || !discRoot()) return false;
  const auto source = resolveIgnoringCase(fs_, *discRoot(), Path(sourcePath));
  return source && copyIntoCache(fs_, *source, cacheDirectory(), cacheName, progress);
}

bool GameData::copyAudioFiles(const CopyProgress& progress) {
  // The directory may exist already; a failure to create it shows up as a
  // failed copy.
  fs_.createDirectory(cacheDirectory());
  if (!copyFile("CONFIG/TRAKLKUP.DAT", std::string(kLookupTableName), progress)) return false;
  for (int i = 0; i < kStationCount; ++i) {
    if (!catalogue_->stations[i].listed) continue;
    const std::string fileName = packName(i) + ".PAK";
    if (!copyFile("STREAMS/" + fileName, fileName, progress)) return false;
  }
  return true;
}

}  // namespace wc
