#pragma once
// The game's audio data as the rest of the program sees it: the clip
// catalogue, the disc (found lazily), the local cache that is always tried
// first, clip loading and the copy into the cache.
//
// Path rules: the cache is <working directory>/CACHE with the exact names
// TRAKLKUP.DAT and <PACK>.PAK; on the disc the same files are looked up
// ignoring case below the AUDIO directory (CONFIG/<name>, STREAMS/<PACK>.PAK).
// The disc is searched for only when a file is missing from the cache, so a
// complete cache never touches the disc nor asks for it.
//
// Everything runs on the user-interface thread; locateDisc may block on a
// message box or end the process.
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/File.h"
#include "base/FileError.h"
#include "gamedata/AudioCache.h"
#include "gamedata/CatalogueRecords.h"
#include "gamedata/ClipAudio.h"
#include "gamedata/DiscLocator.h"
#include "gamedata/MessagePrompts.h"
#include "gamedata/MountTable.h"

namespace wc {

inline constexpr std::string_view kCatalogueFileName = "WavecrateInfo.dat";
inline constexpr std::string_view kPreviousCatalogueSuffix = ".prev";
inline constexpr std::string_view kCacheDirectoryName = "CACHE";
inline constexpr std::string_view kLookupTableName = "TRAKLKUP.DAT";
// The largest configuration file read. A lookup table holds at most 4096
// records the catalogue can use (16 stations of 256 clips, 48 KiB); records
// it skips may sit between them, so the cap leaves twenty times that room.
// Anything larger is no lookup table, and reading it whole could take all
// memory (a sparse file, a disc image's directory claiming gigabytes).
inline constexpr uint64_t kMaxConfigFileBytes = 1u << 20;

// What a catalogue save did: nothing failed, or what failed on which file.
struct CatalogueSaveResult {
  FileError error;
  explicit operator bool() const { return !error.failed(); }
};

class GameData {
 public:
  // The file system, mount source and prompts must outlive this object.
  GameData(FileSystem& fs, Path workingDirectory, MountTableSource& mounts, MessagePrompts& prompts,
           ExitFunction exit = processExit());
  GameData(const GameData&) = delete;
  GameData& operator=(const GameData&) = delete;

  // ---- Catalogue ----
  // Loads WavecrateInfo.dat and checks it against the lookup table; without
  // the file, or when it does not fit (after one "Warning" box), builds the
  // bare catalogue from the lookup table. Never fails for the caller.
  void loadCatalogue();
  // Replaces WavecrateInfo.dat with the catalogue's 623488-byte image, via a
  // temporary so a failed save leaves the old file intact. False on failure.
  // A file that did not match the disc holds the user's annotations for
  // another disc, and a file another program (or window) wrote since this
  // one loaded or saved it holds their work: the save keeps such a file as
  // WavecrateInfo.dat.bak (or .bak.1, .bak.2, ... when that name is taken)
  // instead of writing over it. Any other file it replaces is this program's
  // own last version: it stays as WavecrateInfo.dat.prev, so a save that
  // went wrong in another way can still be undone by hand.
  CatalogueSaveResult saveCatalogue();
  // True when WavecrateInfo.dat no longer holds what this process last read
  // or wrote there (written, created or removed by someone else): a save
  // would replace their work, so the caller asks first.
  bool catalogueFileChanged();
  // True when the last load found no catalogue file, or one that did not fit
  // the disc: the bare catalogue is in use and no song is known.
  bool startedBare() const { return startedBare_; }
  // Where the last successful save kept the non-matching file; empty when
  // that save kept nothing.
  const std::optional<Path>& catalogueBackup() const { return catalogueBackup_; }
  const Catalogue& catalogue() const { return *catalogue_; }
  Catalogue& catalogue() { return *catalogue_; }
  // The pack name of a station as used in paths: its stored name when that
  // is a plain file name, else the fixed name of its index. Empty outside 0..15.
  std::string packName(int station) const;

  // ---- Disc and files ----
  // See DiscLocator::locate. False only if an injected exit function returned.
  bool locateDisc() { return locator_.locate(); }
  // The disc's AUDIO directory once located.
  const std::optional<Path>& discRoot() const { return locator_.root(); }
  // For choosing disc images (DiscLocator::useDiscImages).
  DiscLocator& discLocator() { return locator_; }
  const Path& workingDirectory() const { return workingDirectory_; }
  Path cacheDirectory() const { return workingDirectory_ / kCacheDirectoryName; }
  FileSystem& fileSystem() { return fs_; }

  // A whole configuration file (TRAKLKUP.DAT): the cached copy, else the
  // disc's CONFIG/<name>. Nullopt if neither can be read. A file larger than
  // kMaxConfigFileBytes is not read; it is reported by the next
  // reportOversizedFiles().
  std::optional<std::vector<uint8_t>> readConfigFile(std::string_view name);
  // Shows one "Warning" box for each file refused for its size since the
  // last call, naming it.
  void reportOversizedFiles();

  // ---- Clips ----
  // Clip `clipIndex` of `station`: `size` + 8068 bytes from its offset in the
  // cached pack, else the disc's. Null if the clip is outside the catalogue,
  // no pack opens, or the pack is too short to hold the clip.
  std::unique_ptr<ClipAudio> loadClipAudio(int station, int clipIndex);
  // A handle of its own on the pack of `station`: the cached pack, else the
  // disc's (which may search for the disc). Null when neither opens. The
  // handle may be read on another thread, also from a disc image.
  std::unique_ptr<InputFile> openPack(int station);

  // ---- Cache ----
  enum class CopyOutcome { Copied, Failed, Declined };
  // Copy Audio Files with its safety questions: when the disc's lookup table
  // does not fit the catalogue in use (another edition or data set is
  // mounted), and before a cached pack would be replaced by a shorter one,
  // the user is asked first; Cancel stops the copy (Declined) and leaves
  // the cache as it is from there on.
  CopyOutcome copyAudioFilesChecked(const CopyProgress& progress);
  // Copies TRAKLKUP.DAT and the packs of the listed stations (index order)
  // from the disc into CACHE, overwriting what is there (after the questions
  // above). Stops at the first failure and returns false: files copied before
  // it are complete, later ones untouched, and no partial file is left in
  // CACHE. False as well when the user declined.
  bool copyAudioFiles(const CopyProgress& progress);
  // Copies one file from below the disc's AUDIO directory (`sourcePath` such
  // as "STREAMS/CH.PAK", matched ignoring case) into CACHE/`cacheName`.
  // Always makes sure of the disc first, even if the file is cached.
  bool copyFile(std::string_view sourcePath, const std::string& cacheName, const CopyProgress& progress);

 private:
  std::optional<Path> onDisc(std::string_view directory, std::string_view name);
  // The first of file.bak, file.bak.1, file.bak.2, ... that names nothing.
  std::optional<Path> freeBackupName(const Path& file);
  std::optional<uint64_t> fileSize(const Path& path);
  // The whole file when it is no larger than kMaxConfigFileBytes; a larger
  // one is remembered for reportOversizedFiles().
  std::optional<std::vector<uint8_t>> readConfigBytes(const Path& path);
  // The catalogue file's size and first bytes as they are now; nullopt
  // when there is no file to read.
  struct FileState {
    uint64_t size = 0;
    std::vector<uint8_t> head;
    bool operator==(const FileState&) const = default;
  };
  std::optional<FileState> catalogueFileState();

  FileSystem& fs_;
  Path workingDirectory_;
  MessagePrompts& prompts_;
  DiscLocator locator_;
  std::unique_ptr<Catalogue> catalogue_;
  bool startedBare_ = false;
  bool fileDoesNotMatch_ = false;  // WavecrateInfo.dat is not what the catalogue holds; keep it
  std::optional<Path> catalogueBackup_;
  std::optional<FileState> knownFile_;                // the catalogue file as last loaded or saved
  std::vector<std::pair<Path, uint64_t>> oversized_;  // refused configuration files and their sizes
};

}  // namespace wc
