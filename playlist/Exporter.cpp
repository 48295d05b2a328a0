#include "playlist/Exporter.h"

#include <atomic>
#include <cctype>

#include "audio/WaveWriter.h"
#include "base/FileReplacement.h"
#include "base/TemporaryCleanup.h"
#include "playlist/CueSheet.h"
#include "playlist/OfflineRenderer.h"
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
  bool ok() const { return ok_; }

 private:
  std::unique_ptr<OutputFile> file_;
  bool ok_ = true;
};

// The wave file as its writer sees it, noting the first failed write so the
// export can stop rendering instead of running on to the end. The flag is
// atomic because a writer may write from its own threads.
class WatchedOutputFile final : public OutputFile {
 public:
  WatchedOutputFile(std::unique_ptr<OutputFile> inner, std::shared_ptr<std::atomic<bool>> failed)
      : inner_(std::move(inner)), failed_(std::move(failed)) {}
  bool write(const void* src, size_t bytes) override { return note(inner_->write(src, bytes)); }
  bool seek(uint64_t offset) override { return note(inner_->seek(offset)); }
  bool close() override { return note(inner_->close()); }

 private:
  bool note(bool ok) {
    if (!ok) failed_->store(true, std::memory_order_relaxed);
    return ok;
  }
  std::unique_ptr<OutputFile> inner_;
  std::shared_ptr<std::atomic<bool>> failed_;
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

bool cueCanNamePath(const std::string& wavePath) { return wavePath.find_first_of("\"\r\n") == std::string::npos; }

ExportResult exportPlaylistFiles(FileSystem& fs, Playlist& playlist, const std::string& wavePath, bool cdImage,
                                 const OfflineRenderer& renderer, ExportObserver& observer,
                                 const WaveSinkOptions& writerOptions, bool joinShortTracks) {
  if (exportDataBytes(playlist, cdImage) > WaveWriter::kMaxDataBytes) return {ExportError::TooLarge, {}};
  if (cdImage && !cueCanNamePath(wavePath)) return {ExportError::UnsafeCuePath, {}};
  // What an export of these names that was killed outright left behind.
  const Path waveFile(wavePath);
  const std::string names[] = {waveFile.filename().string(), Path(cuePathFor(wavePath)).filename().string()};
  sweepStaleTemporaries(fs, waveFile.has_parent_path() ? waveFile.parent_path() : Path("."), names);

  // Until both commits below, only the temporaries exist; leaving this
  // function any other way removes them and the old files stay.
  FileReplacement wave(fs, wavePath, /*streaming=*/true);
  if (!wave.created()) return {ExportError::WaveNotCreated, wave.reason()};
  std::unique_ptr<FileReplacement> cueFile;
  std::unique_ptr<CueWriter> cue;
  if (cdImage) {
    cueFile = std::make_unique<FileReplacement>(fs, cuePathFor(wavePath));
    if (!cueFile->created()) return {ExportError::CueNotCreated, cueFile->reason()};
    cue = std::make_unique<CueWriter>(cueFile->releaseFile());
    cue->write(cueFileLine(wavePath));
  }
  observer.filesOpened();

  auto waveFailed = std::make_shared<std::atomic<bool>>(false);
  const std::unique_ptr<FrameSink> sink =
      openWaveSink(std::make_unique<WatchedOutputFile>(wave.releaseFile(), waveFailed), kStreamRate,
                   cdImage ? kCdRate : kStreamRate, writerOptions);
  FrameSink& writer = *sink;  // never null: the file exists and the rates are positive
  std::vector<bool> marks;
  if (cue && joinShortTracks) marks = marksAfterJoining(cdTrackSectors(playlist));
  observer.renderingStarts();
  int number = 1;
  int cueNumber = 0;
  for (Track* t = playlist.first(); t; t = Playlist::after(t), ++number) {
    if (waveFailed->load(std::memory_order_relaxed) || (cue && !cue->ok())) break;
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
  ok = writer.finish() && ok && !waveFailed->load();
  // The CUE sheet last, so that it never names a wave file not yet in place.
  if (!ok || !wave.commit() || (cueFile && !cueFile->commit())) return {ExportError::WriteFailed, {}};
  return {};
}

ExportError exportPlaylist(FileSystem& fs, Playlist& playlist, const std::string& wavePath, bool cdImage,
                           const OfflineRenderer& renderer, ExportObserver& observer,
                           const WaveSinkOptions& writerOptions, bool joinShortTracks) {
  return exportPlaylistFiles(fs, playlist, wavePath, cdImage, renderer, observer, writerOptions, joinShortTracks).error;
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
    case ExportError::UnsafeCuePath:
      return "A CUE sheet cannot name a wave file whose path holds a double quote or a line break; "
             "choose another name.";
  }
  return "";
}

std::string exportFailureMessage(const ExportResult& result, const std::string& wavePath) {
  const std::string message = exportErrorMessage(result.error);
  switch (result.error) {
    case ExportError::WaveNotCreated: return message + " " + wavePath + ": " + result.reason;
    case ExportError::CueNotCreated: return message + " " + cuePathFor(wavePath) + ": " + result.reason;
    default: return message;
  }
}

}  // namespace wc
