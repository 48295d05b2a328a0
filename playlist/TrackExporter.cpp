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

  void fail(TrackExportError error, const std::string& fileName) {
    std::lock_guard lock(mutex);
    if (failure.error == TrackExportError::None) failure = {error, fileName};
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
bool writeTemporary(FileSystem& fs, const Path& target, const std::vector<uint8_t>& bytes, Path& temporary) {
  TemporaryFile out = fs.createTemporary(target, false);
  if (!out.file) return false;
  temporary = out.path;
  const bool written = out.file->write(bytes.data(), bytes.size());
  return out.file->close() && written;
}

}  // namespace

TrackExportResult exportTracks(FileSystem& fs, Playlist& playlist, const TrackExportPlan& plan, const Path& folder,
                               const TrackExportOptions& options, TrackExportObserver& observer) {
  if (plan.tracks.empty() || !options.encoder) return {TrackExportError::EmptyPlaylist, ""};
  if (exportDataBytes(playlist, true) > WaveWriter::kMaxDataBytes) return {TrackExportError::TooLarge, ""};
  // A track shorter than one CD sector owns no frame of the image: it would
  // never be cut from it, and codecs do not all survive an empty stream.
  for (const PlannedTrack& t : plan.tracks)
    if (t.frames <= 0) return {TrackExportError::EmptyTrack, t.fileName};
  // What an export of these names that was killed outright left behind.
  sweepStaleTemporaries(fs, folder, plan.fileNames());

  const size_t trackCount = plan.tracks.size();
  SharedState state;
  state.encoded.assign(trackCount, false);
  state.created.assign(trackCount + 1, false);
  std::mutex fsMutex;  // the file system is not assumed to be thread-safe
  // The temporaries the files are written under, by index (the playlist
  // last); each is set, under fsMutex, once its file exists.
  std::vector<Path> temporaries(trackCount + 1);
  auto targetPath = [&](size_t i) { return folder / (i < trackCount ? plan.tracks[i].fileName : plan.playlistName); };
  auto tempPath = [&](size_t i) { return temporaries[i]; };

  const int threads = options.threads > 0 ? options.threads : int(std::max(1u, std::thread::hardware_concurrency()));
  auto encodeLoop = [&] {
    for (;;) {
      SharedState::Job job;
      {
        std::unique_lock lock(state.mutex);
        state.changed.wait(lock, [&] { return !state.jobs.empty() || state.renderingDone || state.stop; });
        if (state.stop || state.jobs.empty()) return;
        job = std::move(state.jobs.front());
        state.jobs.pop_front();
      }
      const PlannedTrack& track = plan.tracks[job.index];
      TrackTags tags = track.tags;
      tags.coverPng = options.coverPng;
      const auto bytes = options.encoder->encode(job.samples, tags, state.stop);
      job.samples = {};
      if (!bytes) {
        if (!state.stop) state.fail(TrackExportError::EncodeFailed, track.fileName);
        return;
      }
      bool written = false;
      {
        std::lock_guard fsLock(fsMutex);
        if (state.stop) return;
        TemporaryFile out = fs.createTemporary(targetPath(job.index), false);
        if (!out.file) {
          state.fail(TrackExportError::FileNotCreated, track.fileName);
          return;
        }
        temporaries[job.index] = out.path;
        {
          std::lock_guard lock(state.mutex);
          state.created[job.index] = true;
        }
        written = out.file->write(bytes->data(), bytes->size());
        written = out.file->close() && written;
      }
      if (!written) {
        state.fail(TrackExportError::WriteFailed, track.fileName);
        return;
      }
      std::lock_guard lock(state.mutex);
      state.encoded[job.index] = true;
      ++state.tracksEncoded;
      state.framesEncoded += track.frames;
      state.changed.notify_all();
    }
  };
  std::vector<std::jthread> workers;
  for (int i = 0; i < threads; ++i) workers.emplace_back(encodeLoop);

  int64_t totalFrames = 0;
  for (const PlannedTrack& t : plan.tracks) totalFrames += t.frames;
  const auto start = std::chrono::steady_clock::now();
  auto lastReport = start - kReportInterval;  // the first report comes at once
  // Asks the observer, at most every kReportInterval; a false answer stops
  // every thread of the export.
  const std::function<void()> report = [&] {
    const auto now = std::chrono::steady_clock::now();
    if (now - lastReport < kReportInterval || state.stop) return;
    lastReport = now;
    TrackExportProgress p;
    {
      std::lock_guard lock(state.mutex);
      p.tracksDone = state.tracksEncoded;
      p.fraction = totalFrames > 0 ? double(state.framesEncoded) / double(totalFrames) : 1.0;
      p.currentTrack = int(std::find(state.encoded.begin(), state.encoded.end(), false) - state.encoded.begin()) + 1;
    }
    p.trackTotal = int(trackCount);
    p.currentTrack = std::min(p.currentTrack, p.trackTotal);
    const double elapsed = std::chrono::duration<double>(now - start).count();
    if (p.fraction > 0.02) p.secondsLeft = elapsed * (1.0 - p.fraction) / p.fraction;
    if (!observer.progress(p)) {
      std::lock_guard lock(state.mutex);
      if (state.failure.error == TrackExportError::None) state.failure.error = TrackExportError::Cancelled;
      state.stop = true;
      state.changed.notify_all();
    }
  };
  // Waits (reporting) until `done` holds or the export stops.
  auto waitFor = [&](auto done) {
    for (;;) {
      {
        std::unique_lock lock(state.mutex);
        if (state.stop || done()) return;
        state.changed.wait_for(lock, kReportInterval / 2);
      }
      report();
    }
  };

  {
    auto splitter = std::make_unique<TrackSplitter>(state, plan);
    std::unique_ptr<FrameSink> writer = openWaveSink(std::move(splitter), kStreamRate, kCdRate, options.writer);
    ReportingSink sink(*writer, state, report);
    const OfflineRenderer renderer;
    report();
    // At most a few finished tracks wait for an encoder: the memory stays
    // bounded however long the playlist is.
    const int backlog = threads + 2;
    int number = 0;
    for (Track* t = playlist.first(); t && !state.stop; t = Playlist::after(t), ++number) {
      waitFor([&] { return number - state.tracksEncoded <= backlog; });
      renderer.renderTrack(t, sink);
    }
    if (!state.stop && !sink.finish()) state.fail(TrackExportError::WriteFailed, "");
    // The plan's ranges and the image must agree to the frame; if they did
    // not, a track would never be queued and the wait below never end.
    bool allQueued = false;
    {
      std::lock_guard lock(state.mutex);
      allQueued = state.tracksSubmitted == int(trackCount);
    }
    if (!state.stop && !allQueued) state.fail(TrackExportError::EncodeFailed, "");
    // An unfinished writer stops its threads when it goes out of scope.
  }
  {
    std::lock_guard lock(state.mutex);
    state.renderingDone = true;
    state.changed.notify_all();
  }
  waitFor([&] { return state.tracksEncoded == int(trackCount); });
  for (auto& w : workers) w.join();

  if (!state.stop) {
    const std::string m3u = m3u8Text(plan);
    const bool written = writeTemporary(fs, targetPath(trackCount), std::vector<uint8_t>(m3u.begin(), m3u.end()),
                                        temporaries[trackCount]);
    state.created[trackCount] = !temporaries[trackCount].empty();
    if (!written) state.fail(TrackExportError::WriteFailed, plan.playlistName);
  }
  size_t renamed = 0;
  if (!state.stop) {
    const std::vector<std::string> names = plan.fileNames();
    for (; renamed < names.size(); ++renamed) {
      if (!fs.rename(tempPath(renamed), folder / names[renamed])) {
        state.fail(TrackExportError::FileNotCreated, names[renamed]);
        break;
      }
    }
  }
  if (state.stop) {
    // Nothing of this export stays: its temporaries and any file already
    // moved into place.
    const std::vector<std::string> names = plan.fileNames();
    for (size_t i = 0; i < names.size(); ++i) {
      if (i < renamed)
        fs.remove(folder / names[i]);
      else if (state.created[i])
        fs.remove(tempPath(i));
    }
    return state.failure;
  }
  for (const std::string& name : options.removeAfterwards) fs.remove(folder / name);
  return {};
}

std::string trackExportMessage(const TrackExportResult& result) {
  const std::string where = result.fileName.empty() ? "" : " (" + result.fileName + ")";
  switch (result.error) {
    case TrackExportError::None:
    case TrackExportError::Cancelled: return "";
    case TrackExportError::EmptyPlaylist: return "The playlist has no tracks to export.";
    case TrackExportError::EmptyTrack:
      return "A track has no audio to export" + where +
             ". Remove it from the playlist and export again; no file was written.";
    case TrackExportError::TooLarge: return exportErrorMessage(ExportError::TooLarge);
    case TrackExportError::FileNotCreated: return "Failed to create the file" + where + ".";
    case TrackExportError::WriteFailed:
      return "Writing the exported files failed" + where +
             "; the disk may be full. The files of this export were removed.";
    case TrackExportError::EncodeFailed:
      return "The encoder failed" + where + ". The files of this export were removed.";
  }
  return "";
}

}  // namespace wc
