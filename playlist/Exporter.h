#pragma once
// Renders the whole playlist into one wave file: a 44100 Hz CD image with a
// CUE sheet beside it, or a 24000 Hz wave file. The window program's Export
// commands and the command-line exporter both run this, so their files are
// the same byte for byte.
#include <cstdint>
#include <string>

#include "audio/FastWaveWriter.h"
#include "base/File.h"
#include "base/FileError.h"
#include "playlist/Playlist.h"

namespace wc {

class OfflineRenderer;

// The moments of an export at which its user redraws or changes state.
class ExportObserver {
 public:
  virtual ~ExportObserver() = default;
  // The wave file (and CUE sheet) exist; rendering has not begun.
  virtual void filesOpened() {}
  // Right before the first track renders.
  virtual void renderingStarts() {}
  // Before track `number` (from 1) renders.
  virtual void trackStarts(int /*number*/, Track& /*track*/) {}
  // After the last track, before the wave file is completed.
  virtual void renderingEnds() {}
};

enum class ExportError {
  None,
  TooLarge,        // the audio would not fit a wave file's 32-bit sizes
  WaveNotCreated,  // "Failed to open wave file"
  CueNotCreated,   // "Failed to open CUE file"
  WriteFailed,     // a write failed (full disk); the incomplete files were removed
  UnsafeCuePath,   // the CUE sheet cannot name this wave path (a quote or line break in it)
};

struct ExportResult {
  ExportError error = ExportError::None;
  std::string reason;  // the system's reason when a file could not be created
  FileError cause;     // for WriteFailed: the file and, where the system said, why
  explicit operator bool() const { return error == ExportError::None; }
};

// The CUE sheet's path: the wave path with its last four characters
// replaced by ".cue".
std::string cuePathFor(const std::string& wavePath);
// Whether the path ends in ".wav", ignoring case.
bool hasWaveExtension(const std::string& path);
// Bytes of the data chunk the export would write.
uint64_t exportDataBytes(const Playlist& playlist, bool cdImage);

// Whether the CUE sheet's FILE line can name `wavePath`: the format has no
// escape, so a double quote or a line break would end the name early.
bool cueCanNamePath(const std::string& wavePath);

// Writes `wavePath` (and with `cdImage` its CUE sheet) from the loaded audio
// of every track, rendering through `renderer` (whose callback hears the
// progress, on the calling thread). Both files are written under temporary
// names beside their targets and renamed into place only when both are
// complete, the CUE sheet last, so a failed or interrupted export leaves any
// earlier export as it was. Rendering stops at the first failed write. A
// target that is a symbolic link keeps its link; the file it names is
// replaced. The CUE sheet's FILE line names `wavePath` as given. `writer`
// chooses the wave writer (tests force the reference, a SIMD level or a
// thread count); every choice writes the same bytes. With `joinShortTracks`
// the CUE sheet leaves out the marks marksAfterJoining drops (ShortTracks.h)
// and numbers the remaining tracks from 1; the wave file is the same.
ExportResult exportPlaylistFiles(FileSystem& fs, Playlist& playlist, const std::string& wavePath, bool cdImage,
                                 const OfflineRenderer& renderer, ExportObserver& observer,
                                 const WaveSinkOptions& writer = {}, bool joinShortTracks = false);
ExportError exportPlaylist(FileSystem& fs, Playlist& playlist, const std::string& wavePath, bool cdImage,
                           const OfflineRenderer& renderer, ExportObserver& observer,
                           const WaveSinkOptions& writer = {}, bool joinShortTracks = false);

// The message shown for an error, as the Export commands show it.
std::string exportErrorMessage(ExportError error);
// The same naming the file concerned and the system's reason, for the
// command-line exporter.
std::string exportFailureMessage(const ExportResult& result, const std::string& wavePath);

}  // namespace wc
