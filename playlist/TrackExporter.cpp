#include "playlist/TrackExporter.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

#include "audio/WaveWriter.h"
#include "base/TemporaryCleanup.h"
#include "playlist/Exporter.h"
#include "playlist/OfflineRenderer.h"

namespace wc {
namespace {

constexpr int32_t kStreamRate = 24000;
constexpr int32_t kCdRate = 44100;
constexpr auto kReportInterval = std::chrono::milliseconds(100);

// Everything the export's threads share, under one mutex.
struct SharedState {
  struct Job {
    size_t index = 0;
    std::vector<int16_t> samples;
  };

  std::mutex mutex;
  std::condition_variable changed;
  std::deque<Job> jobs;
  bool renderingDone = false;
  int tracksSubmitted = 0;  // cut from the image and queued
  int tracksEncoded = 0;
  int64_t framesEncoded = 0;
  std::vector<bool> encoded;
  std::vector<bool> created;  // the temporary file exists
  TrackExportResult failure;  // the first one
  std::atomic<bool> stop{false};

  void fail(TrackExportError error, const std::string& fileName, const FileError& cause = {}) {
    std::lock_guard lock(mutex);
    if (failure.error == TrackExportError::None) failure = {error, fileName, cause};
    stop = true;
    changed.notify_all();
  }
};

// The wave writer's output file: drops the header and hands the data bytes,
// cut at the tracks' boundaries, to the encoder threads' queue. The writer
// writes the data front to back, so the bytes of a track arrive in order.
class TrackSplitter final : public OutputFile {
 public:
  TrackSplitter(SharedState& state, const TrackExportPlan& plan) : state_(state), plan_(plan) {}

  bool write(const void* src, size_t bytes) override {
    if (state_.stop) return false;
    auto* in = static_cast<const uint8_t*>(src);
    // The placeholder and the final header.
    if (offset_ < WaveWriter::kHeaderBytes) {
      const size_t skip = std::min<size_t>(bytes, size_t(WaveWriter::kHeaderBytes - offset_));
      in += skip;
      bytes -= skip;
      offset_ += skip;
    }
    while (bytes > 0 && track_ < plan_.tracks.size()) {
      const PlannedTrack& track = plan_.tracks[track_];
      if (current_.empty()) current_.resize(size_t(track.frames) * 2);
      const size_t wanted = current_.size() * sizeof(int16_t) - filled_;
      const size_t n = std::min(bytes, wanted);
      std::memcpy(reinterpret_cast<uint8_t*>(current_.data()) + filled_, in, n);
      filled_ += n;
      in += n;
      bytes -= n;
      offset_ += n;
      if (filled_ == current_.size() * sizeof(int16_t)) {
        std::lock_guard lock(state_.mutex);
        state_.jobs.push_back({track_, std::move(current_)});
        ++state_.tracksSubmitted;
        state_.changed.notify_all();
        current_.clear();
        filled_ = 0;
        ++track_;
      }
    }
    offset_ += bytes;  // nothing lies past the last track but a broken writer's bytes
    return true;
  }
  bool seek(uint64_t offset) override {
    offset_ = offset;
    return true;
  }
  bool close() override { return !state_.stop; }

 private:
  SharedState& state_;
  const TrackExportPlan& plan_;
  uint64_t offset_ = 0;
  size_t track_ = 0;
  std::vector<int16_t> current_;
  size_t filled_ = 0;  // bytes of current_
};

// Passes the renderer's frames on to the wave writer and reports progress
// between blocks; after a stop it swallows them, so the rest of the track
// renders in no time.
class ReportingSink final : public FrameSink {
 public:
  ReportingSink(FrameSink& writer, SharedState& state, const std::function<void()>& report)
      : writer_(writer), state_(state), report_(report) {}
  void pushFrames(const float* left, const float* right, size_t count) override {
    if (state_.stop) return;
    writer_.pushFrames(left, right, count);
    if (++calls_ % 256 == 0) report_();
  }
  int64_t sectorsSoFar() const override { return writer_.sectorsSoFar(); }
  bool finish() override { return writer_.finish(); }

 private:
  FrameSink& writer_;
  SharedState& state_;
  const std::function<void()>& report_;
  uint64_t calls_ = 0;
};

// Writes `bytes` into a fresh temporary beside `target` (never through a
// planted link); its name goes to `temporary` as soon as it exists.
FileError writeTemporary(FileSystem& fs, const Path& target, const std::vector<uint8_t>& bytes, Path& temporary) {
  TemporaryFile out = fs.createTemporary(target, false);
  if (!out.file) return {FileErrorKind::Create, target, out.reason};
  temporary = out.path;
  const bool written = out.file->write(bytes.data(), bytes.size());
  if (out.file->close() && written) return {};
  return FileError::fromErrno(FileErrorKind::Write, target, out.file->errorNumber());
}

// One run of the export. The playlist renders on the calling thread into a
// TrackSplitter, encoder threads turn each finished track into a file under
// a temporary name, and only when every file (the M3U8 playlist last) was
// written do they all move under their names (commit); any failure or a
// cancel removes everything this run wrote (rollback).
//
// Lock order: fsMutex_ before state_.mutex, never the reverse. fsMutex_
// serialises the encoder threads' calls into the FileSystem, which is not
// assumed to be thread-safe; state_.mutex guards the queue, the counters and
// the first failure and is never held across an encode or a file operation.
// Commit and rollback run after every encoder thread has been joined, so
// they take neither.
class TrackExportJob {
 public:
  TrackExportJob(FileSystem& fs, const TrackExportPlan& plan, const Path& folder, const TrackExportOptions& options,
                 TrackExportObserver& observer)
      : fs_(fs),
        plan_(plan),
        folder_(folder),
        options_(options),
        observer_(observer),
        trackCount_(plan.tracks.size()),
        temporaries_(trackCount_ + 1) {
    state_.encoded.assign(trackCount_, false);
    state_.created.assign(trackCount_ + 1, false);
    for (const PlannedTrack& t : plan_.tracks) totalFrames_ += t.frames;
  }

  TrackExportResult run(Playlist& playlist) {
    const int threads =
        options_.threads > 0 ? options_.threads : int(std::max(1u, std::thread::hardware_concurrency()));
    std::vector<std::jthread> workers;
    for (int i = 0; i < threads; ++i) workers.emplace_back([this] { encodeLoop(); });
    render(playlist, threads);
    {
      std::lock_guard lock(state_.mutex);
      state_.renderingDone = true;
      state_.changed.notify_all();
    }
    waitFor([&] { return state_.tracksEncoded == int(trackCount_); });
    for (auto& w : workers) w.join();

    if (!state_.stop) writePlaylistFile();
    const size_t renamed = state_.stop ? 0 : commit();
    if (!state_.stop) return {};
    rollback(renamed);
    return state_.failure;
  }

 private:
  Path targetPath(size_t i) const {
    return folder_ / (i < trackCount_ ? plan_.tracks[i].fileName : plan_.playlistName);
  }

  // An encoder thread: takes finished tracks off the queue until rendering
  // is done and the queue empty, or the export stops.
  void encodeLoop() {
    for (;;) {
      SharedState::Job job;
      {
        std::unique_lock lock(state_.mutex);
        state_.changed.wait(lock, [&] { return !state_.jobs.empty() || state_.renderingDone || state_.stop; });
        if (state_.stop || state_.jobs.empty()) return;
        job = std::move(state_.jobs.front());
        state_.jobs.pop_front();
      }
      if (!encodeTrack(job)) return;
    }
  }

  // Encodes one track and writes it under a temporary name; false when the
  // export stops.
  bool encodeTrack(SharedState::Job& job) {
    const PlannedTrack& track = plan_.tracks[job.index];
    TrackTags tags = track.tags;
    tags.coverPng = options_.coverPng;
    const auto bytes = options_.encoder->encode(job.samples, tags, state_.stop);
    job.samples = {};
    if (!bytes) {
      if (!state_.stop) state_.fail(TrackExportError::EncodeFailed, track.fileName);
      return false;
    }
    {
      std::lock_guard fsLock(fsMutex_);
      if (state_.stop) return false;
      TemporaryFile out = fs_.createTemporary(targetPath(job.index), false);
      if (!out.file) {
        state_.fail(TrackExportError::FileNotCreated, track.fileName,
                    {FileErrorKind::Create, targetPath(job.index), out.reason});
        return false;
      }
      temporaries_[job.index] = out.path;
      {
        std::lock_guard lock(state_.mutex);
        state_.created[job.index] = true;
      }
      const bool written = out.file->write(bytes->data(), bytes->size());
      if (!out.file->close() || !written) {
        state_.fail(TrackExportError::WriteFailed, track.fileName,
                    FileError::fromErrno(FileErrorKind::Write, targetPath(job.index), out.file->errorNumber()));
        return false;
      }
    }
    std::lock_guard lock(state_.mutex);
    state_.encoded[job.index] = true;
    ++state_.tracksEncoded;
    state_.framesEncoded += track.frames;
    state_.changed.notify_all();
    return true;
  }

  // Asks the observer, at most every kReportInterval; a false answer stops
  // every thread of the export.
  void report() {
    const auto now = std::chrono::steady_clock::now();
    if (now - lastReport_ < kReportInterval || state_.stop) return;
    lastReport_ = now;
    TrackExportProgress p;
    {
      std::lock_guard lock(state_.mutex);
      p.tracksDone = state_.tracksEncoded;
      p.fraction = totalFrames_ > 0 ? double(state_.framesEncoded) / double(totalFrames_) : 1.0;
      p.currentTrack = int(std::find(state_.encoded.begin(), state_.encoded.end(), false) - state_.encoded.begin()) + 1;
    }
    p.trackTotal = int(trackCount_);
    p.currentTrack = std::min(p.currentTrack, p.trackTotal);
    const double elapsed = std::chrono::duration<double>(now - start_).count();
    if (p.fraction > 0.02) p.secondsLeft = elapsed * (1.0 - p.fraction) / p.fraction;
    if (!observer_.progress(p)) {
      std::lock_guard lock(state_.mutex);
      if (state_.failure.error == TrackExportError::None) state_.failure.error = TrackExportError::Cancelled;
      state_.stop = true;
      state_.changed.notify_all();
    }
  }

  // Waits (reporting) until `done` holds or the export stops.
  template <typename Done>
  void waitFor(Done done) {
    for (;;) {
      {
        std::unique_lock lock(state_.mutex);
        if (state_.stop || done()) return;
        state_.changed.wait_for(lock, kReportInterval / 2);
      }
      report();
    }
  }

  void render(Playlist& playlist, int threads) {
    auto splitter = std::make_unique<TrackSplitter>(state_, plan_);
    std::unique_ptr<FrameSink> writer = openWaveSink(std::move(splitter), kStreamRate, kCdRate, options_.writer);
    ReportingSink sink(*writer, state_, reportFunction_);
    const OfflineRenderer renderer;
    report();
    // At most a few finished tracks wait for an encoder: the memory stays
    // bounded however long the playlist is.
    const int backlog = threads + 2;
    int number = 0;
    for (Track* t = playlist.first(); t && !state_.stop; t = Playlist::after(t), ++number) {
      waitFor([&] { return number - state_.tracksEncoded <= backlog; });
      renderer.renderTrack(t, sink);
    }
    if (!state_.stop && !sink.finish()) state_.fail(TrackExportError::WriteFailed, "");
    // The plan's ranges and the image must agree to the frame; if they did
    // not, a track would never be queued and the wait for the encoders never
    // end.
    bool allQueued = false;
    {
      std::lock_guard lock(state_.mutex);
      allQueued = state_.tracksSubmitted == int(trackCount_);
    }
    if (!state_.stop && !allQueued) state_.fail(TrackExportError::EncodeFailed, "");
    // An unfinished writer stops its threads when it goes out of scope.
  }

  void writePlaylistFile() {
    const std::string m3u = m3u8Text(plan_);
    const FileError error = writeTemporary(fs_, targetPath(trackCount_), std::vector<uint8_t>(m3u.begin(), m3u.end()),
                                           temporaries_[trackCount_]);
    state_.created[trackCount_] = !temporaries_[trackCount_].empty();
    if (error.failed()) state_.fail(TrackExportError::WriteFailed, plan_.playlistName, error);
  }

  // Moves every temporary under its name; the number moved.
  size_t commit() {
    const std::vector<std::string> names = plan_.fileNames();
    for (size_t i = 0; i < names.size(); ++i) {
      if (!fs_.rename(temporaries_[i], folder_ / names[i])) {
        state_.fail(TrackExportError::FileNotCreated, names[i], {FileErrorKind::Rename, folder_ / names[i], {}});
        return i;
      }
    }
    return names.size();
  }

  // Nothing of this export stays: its temporaries and the first `renamed`
  // files, already moved into place.
  void rollback(size_t renamed) {
    const std::vector<std::string> names = plan_.fileNames();
    for (size_t i = 0; i < names.size(); ++i) {
      if (i < renamed)
        fs_.remove(folder_ / names[i]);
      else if (state_.created[i])
        fs_.remove(temporaries_[i]);
    }
  }

  FileSystem& fs_;
  const TrackExportPlan& plan_;
  const Path folder_;
  const TrackExportOptions& options_;
  TrackExportObserver& observer_;
  const size_t trackCount_;
  SharedState state_;
  std::mutex fsMutex_;
  // The temporaries the files are written under, by index (the playlist
  // last); each is set, under fsMutex_, once its file exists.
  std::vector<Path> temporaries_;
  int64_t totalFrames_ = 0;
  const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point lastReport_ = start_ - kReportInterval;  // the first report comes at once
  const std::function<void()> reportFunction_ = [this] { report(); };
};

}  // namespace

TrackExportResult exportTracks(FileSystem& fs, Playlist& playlist, const TrackExportPlan& plan, const Path& folder,
                               const TrackExportOptions& options, TrackExportObserver& observer) {
  if (plan.tracks.empty() || !options.encoder) return {TrackExportError::EmptyPlaylist, "", {}};
  if (exportDataBytes(playlist, true) > WaveWriter::kMaxDataBytes) return {TrackExportError::TooLarge, "", {}};
  // A track shorter than one CD sector owns no frame of the image: it would
  // never be cut from it, and codecs do not all survive an empty stream.
  for (const PlannedTrack& t : plan.tracks)
    if (t.frames <= 0) return {TrackExportError::EmptyTrack, t.fileName, {}};
  // What an export of these names that was killed outright left behind.
  sweepStaleTemporaries(fs, folder, plan.fileNames());
  TrackExportJob job(fs, plan, folder, options, observer);
  TrackExportResult result = job.run(playlist);
  if (result.error == TrackExportError::None)
    for (const std::string& name : options.removeAfterwards) fs.remove(folder / name);
  return result;
}

std::string trackExportMessage(const TrackExportResult& result) {
  const std::string where = result.fileName.empty() ? "" : " (" + result.fileName + ")";
  const std::string& why = result.cause.reason;
  switch (result.error) {
    case TrackExportError::None:
    case TrackExportError::Cancelled: return "";
    case TrackExportError::EmptyPlaylist: return "The playlist has no tracks to export.";
    case TrackExportError::EmptyTrack:
      return "A track has no audio to export" + where +
             ". Remove it from the playlist and export again; no file was written.";
    case TrackExportError::TooLarge: return exportErrorMessage(ExportError::TooLarge);
    case TrackExportError::FileNotCreated:
      return "Failed to create the file" + where + (why.empty() ? "" : ": " + why) + ".";
    case TrackExportError::WriteFailed:
      return "Writing the exported files failed" + where + (why.empty() ? "; the disk may be full" : ": " + why) +
             ". The files of this export were removed.";
    case TrackExportError::EncodeFailed:
      return "The encoder failed" + where + ". The files of this export were removed.";
  }
  return "";
}

}  // namespace wc
