#include "playlist/Exporter.h"

#include <cctype>

#include "playlist/Voice.h"
#include "audio/WaveWriter.h"
#include "playlist/CueSheet.h"
#include "playlist/ShortTracks.h"

namespace wc {
namespace {

constexpr int32_t kStreamRate = 24000;
constexpr int32_t kCdRate = 44100;

// Writes the CUE sheet line by line and remembers whether every write made it.
class CueWriter {
 public:
  explicit CueWriter(std::unique_ptr<OutputFile> file) : file_(std::move(file)) {}
  void write(const std::string& text) { ok_ &= file_->write(text.data(), text.size()); }
  bool close() { return file_->close() && ok_; }

 private:
  std::unique_ptr<OutputFile> file_;
  bool ok_ = true;
};

}  // namespace

std::string cuePathFor(const std::string& wavePath) {
  if (wavePath.size() < 4) return wavePath + ".cue";
  return wavePath.substr(0, wavePath.size() - 4) + ".cue";
}

bool hasWaveExtension(const std::string& path) {
  if (path.size() < 4) return false;
  const std::string ext = path.substr(path.size() - 4);
  return ext[0] == '.' && std::tolower(static_cast<unsigned char>(ext[1])) == 'w' &&
         std::tolower(static_cast<unsigned char>(ext[2])) == 'a' &&
         std::tolower(static_cast<unsigned char>(ext[3])) == 'v';
}

uint64_t exportDataBytes(const Playlist& playlist, bool cdImage) {
  return WaveWriter::predictedDataBytes(playlist.playlistSamples(), kStreamRate, cdImage ? kCdRate : kStreamRate);
}

ExportError exportPlaylist(FileSystem& fs, Playlist& playlist, const std::string& wavePath, bool cdImage,
                           Voice& renderer, ExportObserver& observer, const WaveSinkOptions& writerOptions,
                           bool joinShortTracks) {
  if (exportDataBytes(playlist, cdImage) > WaveWriter::kMaxDataBytes) return ExportError::TooLarge;

  auto waveFile = fs.openStreamingWrite(wavePath);
  if (!waveFile) return ExportError::WaveNotCreated;
  const std::string cuePath = cuePathFor(wavePath);
  std::unique_ptr<CueWriter> cue;
  if (cdImage) {
    auto cueFile = fs.openWrite(cuePath);
    if (!cueFile) {
      // We created (or emptied) it a moment ago: an empty wave file that
      // looks like an export helps nobody.
      waveFile.reset();
      fs.remove(wavePath);
      return ExportError::CueNotCreated;
    }
    cue = std::make_unique<CueWriter>(std::move(cueFile));
    cue->write(cueFileLine(wavePath));
  }
  observer.filesOpened();

  const std::unique_ptr<FrameSink> sink =
      openWaveSink(std::move(waveFile), kStreamRate, cdImage ? kCdRate : kStreamRate, writerOptions);
  FrameSink& writer = *sink;  // never null: the file exists and the rates are positive
  std::vector<bool> marks;
  if (cue && joinShortTracks) marks = marksAfterJoining(cdTrackSectors(playlist));
  observer.renderingStarts();
  int number = 1;
  int cueNumber = 0;
  for (Track* t = playlist.head.next; t != &playlist.head && t->clip; t = t->next, ++number) {
    const bool marked = marks.empty() || marks[size_t(number - 1)];
    if (cue && marked) {
      cue->write(cueTrackLine(++cueNumber));
      cue->write(cueIndexLine(writer.sectorsSoFar()));
    }
    observer.trackStarts(number, *t);
    renderer.renderTrack(t, writer);
  }
  bool ok = true;
  if (cue) {
    cue->write(kCueTrailer);
    ok = cue->close();
  }
  observer.renderingEnds();
  ok = writer.finish() && ok;
  if (!ok) {
    fs.remove(wavePath);
    if (cdImage) fs.remove(cuePath);
    return ExportError::WriteFailed;
  }
  return ExportError::None;
}

std::string exportErrorMessage(ExportError error) {
  switch (error) {
    case ExportError::None: return "";
    case ExportError::TooLarge:
      return "This playlist is too long to export: a wave file holds at most 4 GB of audio "
             "(about 6 hours 45 minutes at 44.1 kHz, 12 hours 25 minutes at 24 kHz).";
    case ExportError::WaveNotCreated: return "Failed to open wave file";
    case ExportError::CueNotCreated: return "Failed to open CUE file";
    case ExportError::WriteFailed:
      return "Writing the exported files failed; the disk may be full. The incomplete files were removed.";
  }
  return "";
}

}  // namespace wc
