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
  startedBare_ = true;
  knownFile_ = catalogueFileState();
  if (knownFile_) {
    // A short file reads as one whose missing tail is zero.
    parseCatalogue(knownFile_->head, catalogue);
    fromFile = true;
  } else {
    resetToBareCatalogue(catalogue);
  }

  // A missing lookup table reads as no records at all.
  const auto table = readConfigFile(kLookupTableName);
  const std::vector<LookupRecord> records = table ? parseLookupTable(*table) : std::vector<LookupRecord>{};
  reportOversizedFiles();

  if (fromFile) {
    if (catalogueMatchesLookup(catalogue, records)) {
      startedBare_ = false;
      return;
    }
    prompts_.showMessage(kMismatchCaption, kMismatchText, MessageButtons::Ok);
    fileDoesNotMatch_ = true;
    resetToBareCatalogue(catalogue);
  }
  fillClipsFromLookup(catalogue, records);
}

CatalogueSaveResult GameData::saveCatalogue() {
  catalogueBackup_.reset();
  const std::vector<uint8_t> image = serializeCatalogue(*catalogue_);
  FileReplacement replacement(fs_, workingDirectory_ / kCatalogueFileName);
  if (!replacement.created()) return {replacement.error()};
  if (!replacement.file()->write(image.data(), image.size()))
    return {FileError::fromErrno(FileErrorKind::Write, replacement.target(), replacement.file()->errorNumber())};

  // The user's file is copied, not moved, so that it stays under its own
  // name until the new file takes its place.
  std::optional<Path> backup;
  const bool foreign = fileDoesNotMatch_ || catalogueFileChanged();
  // Far above any catalogue file; a larger one is kept by refusing to save.
  constexpr uint64_t kMaxCopiedBytes = 64u << 20;
  if (auto userFile = fs_.openRead(replacement.target())) {
    const auto size = userFile->size();
    if (!size || *size > kMaxCopiedBytes)
      return {{FileErrorKind::Write, replacement.target(), "the file there is not a catalogue file"}};
    userFile.reset();
    const auto bytes = readWholeFile(fs_, replacement.target());
    // Someone else's file gets a name of its own; the program's own last
    // version replaces the one before it.
    backup = foreign ? freeBackupName(replacement.target())
                     : Path(replacement.target().string() + std::string(kPreviousCatalogueSuffix));
    if (!backup) return {{FileErrorKind::Create, replacement.target().string() + ".bak", "no free backup name"}};
    if (!bytes) return {{FileErrorKind::Write, *backup, "the previous file could not be read"}};
    const ReplaceResult copied = replaceFileContents(fs_, *backup, *bytes);
    if (!copied)
      return {{copied.status == ReplaceStatus::NotCreated ? FileErrorKind::Create : FileErrorKind::Write, *backup,
               copied.reason}};
  }
  if (!replacement.commit()) {
    if (backup && foreign) fs_.remove(*backup);
    return {replacement.error()};
  }
  fileDoesNotMatch_ = false;
  if (foreign) catalogueBackup_ = backup;
  knownFile_ = FileState{image.size(), image};
  return {};
}

std::optional<GameData::FileState> GameData::catalogueFileState() {
  auto file = fs_.openRead(workingDirectory_ / kCatalogueFileName);
  if (!file) return std::nullopt;
  const auto size = file->size();
  // Only the part a load reads decides; a tail past it is noticed by its size.
  return FileState{size.value_or(0), readPrefix(*file, kCatalogueFileSize)};
}

bool GameData::catalogueFileChanged() { return catalogueFileState() != knownFile_; }

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
  if (auto cached = readConfigBytes(cacheDirectory() / name)) return cached;
  const auto path = onDisc("CONFIG", name);
  if (!path) return std::nullopt;
  return readConfigBytes(*path);
}

std::optional<std::vector<uint8_t>> GameData::readConfigBytes(const Path& path) {
  auto file = fs_.openRead(path);
  const auto size = file ? file->size() : std::nullopt;
  if (!size) return std::nullopt;
  if (*size > kMaxConfigFileBytes) {
    oversized_.emplace_back(path, *size);
    return std::nullopt;
  }
  std::vector<uint8_t> bytes = readPrefix(*file, size_t(*size));
  if (bytes.size() != *size) return std::nullopt;
  return bytes;
}

void GameData::reportOversizedFiles() {
  for (const auto& [path, size] : oversized_)
    prompts_.showMessage(kMismatchCaption,
                         path.string() + " is " + std::to_string(size) + " bytes long, more than a file of its kind " +
                             "can be (at most " + std::to_string(kMaxConfigFileBytes) + " bytes). It was not read.",
                         MessageButtons::Ok);
  oversized_.clear();
}

std::unique_ptr<InputFile> GameData::openPack(int station) {
  if (station < 0 || station >= kStationCount) return nullptr;
  const std::string fileName = packName(station) + ".PAK";
  if (auto cached = fs_.openRead(cacheDirectory() / fileName)) return cached;
  const auto path = onDisc("STREAMS", fileName);
  return path ? fs_.openRead(*path) : nullptr;
}

std::unique_ptr<ClipAudio> GameData::loadClipAudio(int station, int clipIndex) {
  if (station < 0 || station >= kStationCount) return nullptr;
  const Station& s = catalogue_->stations[station];
  if (clipIndex < 0 || clipIndex >= s.validCount()) return nullptr;
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

namespace {

constexpr std::string_view kCopyQuestionCaption = "Copy Audio Files";
constexpr std::string_view kOtherDiscQuestion =
    "The disc's audio data does not match the catalogue in use: it seems to be another edition "
    "or another data set.\n\nCopying it replaces the files in CACHE with the disc's. Copy anyway?";

}  // namespace

std::optional<uint64_t> GameData::fileSize(const Path& path) {
  auto file = fs_.openRead(path);
  return file ? file->size() : std::nullopt;
}

GameData::CopyOutcome GameData::copyAudioFilesChecked(const CopyProgress& progress) {
  if (!locateDisc() || !discRoot()) return CopyOutcome::Failed;
  // The same test as at start-up, against the disc's own table (not the cached one).
  const auto discTable = onDisc("CONFIG", kLookupTableName);
  const auto tableBytes = discTable ? readConfigBytes(*discTable) : std::nullopt;
  reportOversizedFiles();
  if (!tableBytes) return CopyOutcome::Failed;
  bool confirmed = false;
  if (!catalogueMatchesLookup(*catalogue_, parseLookupTable(*tableBytes))) {
    if (prompts_.showMessage(kCopyQuestionCaption, kOtherDiscQuestion, MessageButtons::OkCancel) != MessageAnswer::Ok)
      return CopyOutcome::Declined;
    confirmed = true;
  }

  fs_.createDirectory(cacheDirectory());
  if (!copyFile("CONFIG/TRAKLKUP.DAT", std::string(kLookupTableName), progress)) return CopyOutcome::Failed;
  for (int i = 0; i < kStationCount; ++i) {
    if (!catalogue_->stations[i].listed) continue;
    const std::string fileName = packName(i) + ".PAK";
    // A cached pack longer than the disc's holds clips the disc's lacks.
    const auto source = onDisc("STREAMS", fileName);
    const auto discSize = source ? fileSize(*source) : std::nullopt;
    const auto cachedSize = fileSize(cacheDirectory() / fileName);
    const uint64_t discBytes = discSize.value_or(0);
    const uint64_t cachedBytes = cachedSize.value_or(0);
    if (!confirmed && discSize && cachedSize && discBytes < cachedBytes) {
      const std::string question = "The disc's " + fileName + " (" + std::to_string(discBytes) +
                                   " bytes) is shorter than the one in CACHE (" + std::to_string(cachedBytes) +
                                   " bytes). Replace the cached file anyway?";
      if (prompts_.showMessage(kCopyQuestionCaption, question, MessageButtons::OkCancel) != MessageAnswer::Ok)
        return CopyOutcome::Declined;
    }
    if (!copyFile("STREAMS/" + fileName, fileName, progress)) return CopyOutcome::Failed;
  }
  return CopyOutcome::Copied;
}

bool GameData::copyAudioFiles(const CopyProgress& progress) {
  return copyAudioFilesChecked(progress) == CopyOutcome::Copied;
}

}  // namespace wc
