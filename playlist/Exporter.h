#pragma once
// Renders the whole playlist into one wave file: a 44100 Hz CD image with a
// CUE sheet beside it, or a 24000 Hz wave file. The window program's Export
// commands and the command-line exporter both run this, so their files are
// the same byte for byte.
#include <cstdint>
#include <string>

#include "audio/FastWaveWriter.h"
#include "base/File.h"
#include "playlist/Playlist.h"

namespace wc {

class Voice;

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
};

// The CUE sheet's path: the wave path with its last four characters
// replaced by ".cue".
std::string cuePathFor(const std::string& wavePath);
// Whether the path ends in ".wav", ignoring case.
bool hasWaveExtension(const std::string& path);
// Bytes of the data chunk the export would write.
uint64_t exportDataBytes(const Playlist& playlist, bool cdImage);

// Writes `wavePath` (and with `cdImage` its CUE sheet) from the loaded audio
// of every track, rendering through `renderer` (whose callback hears the
// progress, on the calling thread). Nothing is written when the result would
// be too large; when a write fails, both files are removed. `writer` chooses
// the wave writer (tests force the reference, a SIMD level or a thread
// count); every choice writes the same bytes. With `joinShortTracks` the CUE
// sheet leaves out the marks marksAfterJoining drops (ShortTracks.h) and
// numbers the remaining tracks from 1; the wave file is the same.
ExportError exportPlaylist(FileSystem& fs, Playlist& playlist, const std::string& wavePath, bool cdImage,
                           Voice& renderer, ExportObserver& observer, const WaveSinkOptions& writer = {},
                           bool joinShortTracks = false);

// The message shown for an error, as the Export commands show it.
std::string exportErrorMessage(ExportError error);

}  // namespace wc
