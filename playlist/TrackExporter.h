#pragma once
// Exports the playlist for music players: one tagged file per track and an
// M3U8 playlist in a folder. The audio is the CD image's, cut at the tracks'
// INDEX 01 sectors, so the files played one after another give the CD image
// back without a gap: the playlist renders once through the export's wave
// writer (no second resampling), each finished track goes to a pool of
// encoder threads, and the files appear under their names only when all of
// them were written.
#include <cstdint>
#include <string>
#include <vector>

#include "audio/FastWaveWriter.h"
#include "audio/TrackEncoder.h"
#include "base/File.h"
#include "base/FileError.h"
#include "gamedata/CatalogueRecords.h"
#include "playlist/Playlist.h"

namespace wc {

inline constexpr const char* kDefaultAlbumName = "Wavecrate Mix";

struct PlannedTrack {
  std::string fileName;    // "NN - Title.ext"
  TrackTags tags;          // without the cover, which the export adds
  int64_t firstFrame = 0;  // in the 44100 Hz CD image
  int64_t frames = 0;
};

struct TrackExportPlan {
  std::vector<PlannedTrack> tracks;
  std::string playlistName;  // "ALBUM.m3u8"
  TrackFormat format = TrackFormat::Flac;

  // Every file the export writes: the tracks, then the playlist.
  std::vector<std::string> fileNames() const;
};

// Names, tags and CD-image ranges of every track with a clip. `album` is used
// as given (the caller picks the default).
TrackExportPlan planTrackExport(const Playlist& playlist, const Catalogue& catalogue, const std::string& album,
                                TrackFormat format);

// `name` made safe as a file name on the common file systems: path
// separators, characters Windows refuses and control characters become '_',
// leading and trailing dots and spaces go, an empty result becomes "_".
std::string safeFileName(const std::string& name);

// The names of the plan's files that already exist in `folder`.
std::vector<std::string> existingExportFiles(FileSystem& fs, const Path& folder, const TrackExportPlan& plan);

// The M3U8 playlist's text: #EXTINF seconds (rounded), "artist - title" (the
// title alone when the artist is unknown) and relative names.
std::string m3u8Text(const TrackExportPlan& plan);

// The tracks of an earlier export of the same album into `folder` that this
// plan does not write again (its playlist had more tracks, or other titles):
// the names its M3U8 lists that exist there, are plain names in the folder,
// look like track files ("NN - TITLE.ext", an export format's extension) and
// are not among the plan's own files. Nothing else is ever offered.
std::vector<std::string> staleAlbumFiles(FileSystem& fs, const Path& folder, const TrackExportPlan& plan);

struct TrackExportProgress {
  int tracksDone = 0;  // files encoded
  int trackTotal = 0;
  int currentTrack = 0;       // from 1: the lowest track not yet encoded
  double fraction = 0.0;      // 0..1
  double secondsLeft = -1.0;  // negative until an estimate exists
};

class TrackExportObserver {
 public:
  virtual ~TrackExportObserver() = default;
  // Called on the exporting thread about ten times a second; false cancels.
  virtual bool progress(const TrackExportProgress&) { return true; }
};

enum class TrackExportError {
  None,
  Cancelled,  // the observer asked to stop; no file of the export remains
  EmptyPlaylist,
  EmptyTrack,  // a track would be a file without audio; refused before any file is made
  TooLarge,    // the CD image would not fit a wave file
  FileNotCreated,
  WriteFailed,  // a write failed (full disk); no file of the export remains
  EncodeFailed,
};

struct TrackExportResult {
  TrackExportError error = TrackExportError::None;
  std::string fileName;  // the file the error concerns, where there is one
  FileError cause;       // what the file layer said, where a file operation failed
};

struct TrackExportOptions {
  const TrackEncoder* encoder = nullptr;  // must match the plan's format
  std::vector<uint8_t> coverPng;          // empty: no cover
  int threads = 0;                        // encoding threads; 0: one per processor
  WaveSinkOptions writer;
  // Files of `folder` removed once the export succeeded (staleAlbumFiles
  // the user agreed to remove); a failed export leaves them.
  std::vector<std::string> removeAfterwards;
};

// Writes the plan's files into `folder`, replacing files of the same names
// (the caller asked the user first). Nothing else in the folder is touched.
TrackExportResult exportTracks(FileSystem& fs, Playlist& playlist, const TrackExportPlan& plan, const Path& folder,
                               const TrackExportOptions& options, TrackExportObserver& observer);

// The message shown for a failed export, with the file layer's reason where
// it gave one; empty for None and Cancelled.
std::string trackExportMessage(const TrackExportResult& result);

}  // namespace wc
