// Export for music players of a generated playlist (74 minutes unless
// WAVECRATE_BENCH_MINUTES says otherwise), measured in one run per format:
// the whole export on every core against the encoder alone on one thread
// for the same tracks (the parallel speed-up), and FLAC against the CD
// export of the same playlist. Files go to a file system that discards
// them: the benchmark measures the rendering and the encoders, not the disk.
// Run with --benchmark_filter=TrackExport.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "audio/encode/TrackEncoders.h"
#include "bench/DiscardingFile.h"
#include "bench/TiledClip.h"
#include "playlist/Exporter.h"
#include "playlist/OfflineRenderer.h"
#include "playlist/TrackExporter.h"
#include "testkit/discgen/ClipBuilder.h"
#include "testkit/discgen/Signals.h"

namespace wc {
namespace {

using bench::Clock;
using bench::secondsSince;
using bench::tiledClip;

double benchMinutes() {
  const char* text = std::getenv("WAVECRATE_BENCH_MINUTES");
  const double minutes = text ? std::atof(text) : 74.0;
  return minutes > 0 ? minutes : 74.0;
}

// Every file is thrown away; listing finds nothing, so nothing is replaced.
class DiscardingFileSystem final : public FileSystem {
 public:
  std::unique_ptr<InputFile> openRead(const Path&) override { return nullptr; }
  std::unique_ptr<OutputFile> openWrite(const Path&) override { return std::make_unique<bench::DiscardingFile>(); }
  bool rename(const Path&, const Path&) override { return true; }
  bool remove(const Path&) override { return true; }
  bool createDirectory(const Path&) override { return true; }
  std::vector<std::string> listDirectory(const Path&) override { return {}; }
  // Only the export's folder: a temporary name must look free.
  bool isDirectory(const Path& path) override { return path == Path("/bench"); }
};

// Sixteen tracks of music with spoken intros and outros.
struct GeneratedMix {
  std::unique_ptr<Catalogue> catalogue = std::make_unique<Catalogue>();
  Playlist playlist;
  explicit GeneratedMix(double minutes) {
    std::memset(catalogue.get(), 0, sizeof(Catalogue));
    Station& station = catalogue->stations[4];
    std::strcpy(station.label, "Bench FM");
    const EncodedClip music = encodeStereo(makeMusic(samplesFor(40.0), 7));
    const EncodedClip talk = encodeStereo(makeBabble(samplesFor(12.0), 3));
    const double trackSeconds = minutes * 60.0 / 16.0;
    for (int n = 0; n < 16; ++n) {
      Clip& clip = station.clips[n];
      std::snprintf(clip.title, sizeof clip.title, "Song %d", n + 1);
      std::strcpy(clip.artist, "Bench Band");
      auto* t = new Track;
      t->station = 4;
      t->clip = &clip;
      t->clipIndex = n;
      const double talkSeconds = std::min(8.0, trackSeconds / 4);
      t->introAudio = tiledClip(talk, talkSeconds, size_t(n) * 101);
      t->songAudio = tiledClip(music, trackSeconds - talkSeconds - n % 3 * 0.1, size_t(n) * 1009);
      playlist.append(std::unique_ptr<Track>(t));
    }
  }
};

// The CD image's samples of every track, cut as the export cuts them.
std::vector<std::vector<int16_t>> trackSamples(GeneratedMix& mix, const TrackExportPlan& plan) {
  // The writer frees its file when it finishes: the bytes live out here.
  std::vector<uint8_t> image;
  struct Capture final : OutputFile {
    explicit Capture(std::vector<uint8_t>& out) : bytes(out) {}
    std::vector<uint8_t>& bytes;
    uint64_t at = 0;
    bool write(const void* src, size_t n) override {
      if (at + n > bytes.size()) bytes.resize(at + n);
      std::memcpy(bytes.data() + at, src, n);
      at += n;
      return true;
    }
    bool seek(uint64_t offset) override {
      at = offset;
      return true;
    }
    bool close() override { return true; }
  };
  auto sink = openWaveSink(std::make_unique<Capture>(image), 24000, 44100);
  const OfflineRenderer renderer;
  for (Track* t = mix.playlist.first(); t && t->clip; t = t->next) renderer.renderTrack(t, *sink);
  sink->finish();
  std::vector<std::vector<int16_t>> tracks;
  for (const PlannedTrack& t : plan.tracks) {
    std::vector<int16_t> s(size_t(t.frames) * 2);
    std::memcpy(s.data(), image.data() + 44 + t.firstFrame * 4, s.size() * 2);
    tracks.push_back(std::move(s));
  }
  return tracks;
}

void BM_TrackExport(benchmark::State& state) {
  const auto format = TrackFormat(state.range(0));
  const double minutes = benchMinutes();
  GeneratedMix mix(minutes);
  const TrackExportPlan plan = planTrackExport(mix.playlist, *mix.catalogue, "Bench", format);
  const auto encoder = makeTrackEncoder(format, trackFormatQuality(format)->standard);
  DiscardingFileSystem fs;

  double parallel = 0;
  for (auto _ : state) {
    TrackExportOptions options;
    options.encoder = encoder.get();
    TrackExportObserver observer;
    const auto start = Clock::now();
    const TrackExportResult result = exportTracks(fs, mix.playlist, plan, "/bench", options, observer);
    parallel = secondsSince(start);
    if (result.error != TrackExportError::None) state.SkipWithError("the export failed");
    state.SetIterationTime(parallel);
  }

  // The encoder alone, one track after another on this thread.
  const auto tracks = trackSamples(mix, plan);
  std::atomic<bool> stop{false};
  auto start = Clock::now();
  for (size_t i = 0; i < tracks.size(); ++i)
    benchmark::DoNotOptimize(encoder->encode(tracks[i], plan.tracks[i].tags, stop));
  const double single = secondsSince(start);

  // The CD export of the same playlist.
  const OfflineRenderer renderer;
  ExportObserver observer;
  start = Clock::now();
  exportPlaylist(fs, mix.playlist, "/bench/cd.wav", true, renderer, observer);
  const double cd = secondsSince(start);

  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  state.counters["minutes"] = minutes;
  state.counters["cores"] = cores;
  state.counters["encoder_1thread_s"] = single;
  state.counters["speedup"] = single / parallel;
  state.counters["speedup_per_core"] = single / parallel / cores;
  state.counters["cd_export_s"] = cd;
  state.counters["over_cd_export"] = parallel / cd;
}

BENCHMARK(BM_TrackExport)
    ->ArgName("format")
    ->Arg(int(TrackFormat::Flac))
    ->Arg(int(TrackFormat::Opus))
    ->Arg(int(TrackFormat::Mp3))
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

}  // namespace
}  // namespace wc
