// The CD export of a generated 74-minute playlist, measured in one run: the
// fast writer, the straightforward reference writer and sox converting the
// same 24 kHz audio, with the ratios, plus the decoder on its own. Run with
// --benchmark_filter=Export74 (the reference alone takes over a minute).
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "audio/Decoder.h"
#include "audio/FastWaveWriter.h"
#include "audio/FrameSink.h"
#include "audio/ResamplePlan.h"
#include "audio/StereoDecoder.h"
#include "bench/TiledClip.h"
#include "playlist/Exporter.h"
#include "playlist/OfflineRenderer.h"
#include "testkit/discgen/ClipBuilder.h"
#include "testkit/discgen/Signals.h"

namespace wc {
namespace {

using bench::Clock;
using bench::secondsSince;
using bench::tiledClip;

// Sixteen tracks of music with spoken intros and outros, 74 minutes in all.
struct GeneratedPlaylist {
  Clip clip{};
  Playlist playlist;
  GeneratedPlaylist() {
    const EncodedClip music = encodeStereo(makeMusic(samplesFor(40.0), 7));
    const EncodedClip talk = encodeStereo(makeBabble(samplesFor(12.0), 3));
    const double trackSeconds = 74.0 * 60.0 / 16.0;
    for (int n = 0; n < 16; ++n) {
      auto* t = new Track;
      t->clip = &clip;
      t->introAudio = tiledClip(talk, 9.0 + n % 3, size_t(n) * 101);
      t->outroAudio = tiledClip(talk, 7.0 + n % 2, size_t(n) * 57);
      const double songSeconds = trackSeconds - 16.0 - n % 3 - n % 2;
      t->songAudio = tiledClip(music, songSeconds, size_t(n) * 1009);
      playlist.append(std::unique_ptr<Track>(t));
    }
  }
};

bool sameFiles(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::ifstream fa(a, std::ios::binary), fb(b, std::ios::binary);
  std::vector<char> ba(1 << 20), bb(1 << 20);
  while (fa && fb) {
    fa.read(ba.data(), std::streamsize(ba.size()));
    fb.read(bb.data(), std::streamsize(bb.size()));
    if (fa.gcount() != fb.gcount() || std::memcmp(ba.data(), bb.data(), size_t(fa.gcount())) != 0) return false;
  }
  return fa.eof() && fb.eof();
}

// User and system time of the whole process (every thread), in seconds.
double processCpuSeconds(bool systemOnly = false) {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
  return (systemOnly ? 0.0 : seconds(usage.ru_utime)) + seconds(usage.ru_stime);
}

double timedExport(Playlist& playlist, const std::filesystem::path& wave, bool cdImage, const WaveSinkOptions& options,
                   double* cpuSeconds = nullptr) {
  const OfflineRenderer renderer;
  ExportObserver observer;
  const double cpuStart = processCpuSeconds();
  const auto start = Clock::now();
  const ExportError error =
      exportPlaylist(realFileSystem(), playlist, wave.string(), cdImage, renderer, observer, options);
  const double seconds = secondsSince(start);
  if (cpuSeconds) *cpuSeconds = processCpuSeconds() - cpuStart;
  if (error != ExportError::None) std::fprintf(stderr, "export failed: %s\n", exportErrorMessage(error).c_str());
  return seconds;
}

// Decodes every clip of the playlist with the one-channel or the two-lane
// decoder; returns seconds.
template <bool kStereo>
double timedDecode(Playlist& playlist) {
  int16_t left[28], right[28];
  int64_t checksum = 0;
  const auto start = Clock::now();
  for (Track* t = playlist.first(); t; t = Playlist::after(t)) {
    DecoderState l, r;
    for (const ClipAudio* clip : {t->introAudio.get(), t->songAudio.get(), t->outroAudio.get()}) {
      for (uint32_t c = 0; c < clip->chunkCount(); ++c) {
        for (uint32_t i = 0; i < clip->framesInChunk(c); ++i) {
          if constexpr (kStereo) {
            decodeStereoFrame(clip->leftFrame(c, i), clip->rightFrame(c, i), left, right, l, r);
          } else {
            decodeFrame(clip->leftFrame(c, i), left, l);
            decodeFrame(clip->rightFrame(c, i), right, r);
          }
          checksum += left[5] + right[17];
        }
      }
    }
  }
  benchmark::DoNotOptimize(checksum);
  return secondsSince(start);
}

// The renderer into a sink that drops the frames: decoding plus conversion.
class NullSink final : public FrameSink {
 public:
  void pushFrames(const float* left, const float*, size_t count) override {
    benchmark::DoNotOptimize(left);
    frames += int64_t(count);
  }
  int64_t sectorsSoFar() const override { return 0; }
  bool finish() override { return true; }
  int64_t frames = 0;
};

void BM_Export74MinuteCd(benchmark::State& state) {
  GeneratedPlaylist generated;
  Playlist& playlist = generated.playlist;
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "wavecrate-export-bench";
  std::filesystem::create_directories(dir);
  const auto fastWave = dir / "fast.wav", referenceWave = dir / "reference.wav", wave24 = dir / "stream24.wav",
             soxWave = dir / "sox.wav";
  const double minutes = double(playlist.playlistSamples()) / 24000.0 / 60.0;

  double fast = 0.0, fastCpu = 0.0;
  for (auto _ : state) {
    fast = timedExport(playlist, fastWave, true, {}, &fastCpu);
    state.SetIterationTime(fast);
  }
  const double reference = timedExport(playlist, referenceWave, true, {/*reference=*/true, {}});
  const bool identical = sameFiles(fastWave, referenceWave);
  const double fast24 = timedExport(playlist, wave24, false, {});
  const auto soxStart = Clock::now();
  const std::string command = "sox '" + wave24.string() + "' -r 44100 '" + soxWave.string() + "'";
  const int soxStatus = std::system(command.c_str());
  const double sox = secondsSince(soxStart);
  const double decodeScalar = timedDecode<false>(playlist);
  const double decodeStereo = timedDecode<true>(playlist);
  NullSink sink;
  const OfflineRenderer renderer;
  const auto renderStart = Clock::now();
  for (Track* t = playlist.first(); t; t = Playlist::after(t)) renderer.renderTrack(t, sink);
  const double render = secondsSince(renderStart);

  const SimdLevel level = bestSimdLevel();
  std::printf(
      "\nCD export of a generated %.1f-minute playlist (%.0f MB wave file), %s kernel, %u processors:\n"
      "  fast writer           %7.3f s   (%.3f s of processor time in all threads)\n"
      "  reference writer      %7.3f s   %6.1f x the fast one; files %s\n"
      "  sox 24 kHz -> 44.1 kHz %6.3f s   %6.1f x the fast one%s\n"
      "  fast 24 kHz export    %7.3f s\n"
      "  decoder, one channel at a time  %6.3f s\n"
      "  decoder, two lanes              %6.3f s\n"
      "  render to a null sink           %6.3f s (decoding and float conversion)\n",
      minutes, double(std::filesystem::file_size(fastWave)) / 1e6, simdLevelName(level),
      std::thread::hardware_concurrency(), fast, fastCpu, reference, reference / fast,
      identical ? "identical" : "DIFFER", sox, sox / fast, soxStatus == 0 ? "" : " (sox FAILED)", fast24, decodeScalar,
      decodeStereo, render);
  state.counters["minutes"] = minutes;
  state.counters["reference_s"] = reference;
  state.counters["sox_s"] = sox;
  state.counters["reference_over_fast"] = reference / fast;
  state.counters["sox_over_fast"] = sox / fast;
  state.counters["identical"] = identical ? 1 : 0;
  state.counters["decode_scalar_s"] = decodeScalar;
  state.counters["decode_stereo_s"] = decodeStereo;
  state.counters["render_null_s"] = render;
  state.counters["wave24_s"] = fast24;
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_Export74MinuteCd)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// The fast CD export alone, repeated: for working on its speed.
void BM_QuickCdExport(benchmark::State& state) {
  GeneratedPlaylist generated;
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "wavecrate-quick-export-bench";
  std::filesystem::create_directories(dir);
  double cpu = 0.0, cpuTotal = 0.0;
  const double systemStart = processCpuSeconds(true);
  for (auto _ : state) {
    state.SetIterationTime(timedExport(generated.playlist, dir / "fast.wav", true, {}, &cpu));
    cpuTotal += cpu;
  }
  state.counters["cpu_s"] = benchmark::Counter(cpuTotal, benchmark::Counter::kAvgIterations);
  state.counters["system_s"] =
      benchmark::Counter(processCpuSeconds(true) - systemStart, benchmark::Counter::kAvgIterations);
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_QuickCdExport)->Iterations(3)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace
}  // namespace wc
