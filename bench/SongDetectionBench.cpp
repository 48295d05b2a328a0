// Speed of the song detection on a whole disc against decoding it once:
// a 1 GB disc as the game has it (ten music stations, each an hour of
// full-length songs with their intros and outros and chatter between), both
// timed by the wall clock in the same run over the same clips. The decode
// runs on one thread as playback does; the analysis uses every core, as it
// does in the program. The ratio is the figure to watch: at most 2.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "TiledClip.h"
#include "analysis/DiscAnalysis.h"
#include "audio/StereoDecoder.h"
#include "gamedata/CatalogueBuilder.h"
#include "testkit/discgen/ClipBuilder.h"
#include "testkit/discgen/Signals.h"
#include "testkit/discgen/XorShift.h"

namespace wc {
namespace {

// Where each clip is cut from the encoded source, and how long it runs.
struct TiledPlace {
  double seconds = 0.0;
  size_t offsetFrames = 0;
};

struct DiscInMemory {
  std::unique_ptr<Catalogue> catalogue = std::make_unique<Catalogue>();
  EncodedClip source;  // a minute of music, cut and repeated into every clip
  std::array<std::vector<TiledPlace>, kStationCount> places;
  std::vector<int> stations;
  double bytes = 0.0;
};

const DiscInMemory& disc() {
  static const DiscInMemory d = [] {
    DiscInMemory m;
    m.source = encodeStereo(makeMusic(60 * 24000, 42));
    resetToBareCatalogue(*m.catalogue);
    XorShift32 draw(42, 0x5EED5EEDu);
    for (int station : {4, 5, 6, 8, 9, 10, 11, 12, 13, 14}) {
      Station& s = m.catalogue->stations[station];
      m.stations.push_back(station);
      double seconds = 0.0;
      auto add = [&](double length) {
        const TiledPlace place{length, size_t(draw.below(1 << 20))};
        m.places[size_t(station)].push_back(place);
        const uint32_t frames = uint32_t(length * 24000.0 / 28.0);
        s.clips[s.clipCount].size =
            uint32_t((frames + ClipAudio::kFramesPerChunk - 1) / ClipAudio::kFramesPerChunk * ClipAudio::kChunkSize);
        s.clips[s.clipCount].offset = uint32_t(s.clipCount);
        ++s.clipCount;
        seconds += length;
        m.bytes += double(frames) * 32.0;
      };
      while (seconds < 3600.0 && s.clipCount < 240) {
        add(draw.between(150.0, 300.0));  // the song
        const int followOns = int(draw.below(4)) + int(draw.below(4));
        for (int i = 0; i < followOns; ++i) add(draw.between(5.0, 20.0));
        if (draw.chance(0.6)) add(draw.between(4.0, 15.0));  // chatter or an identification
      }
    }
    return m;
  }();
  return d;
}

std::unique_ptr<ClipAudio> loadClip(const DiscInMemory& m, int station, int clip) {
  const TiledPlace& place = m.places[size_t(station)][size_t(clip)];
  return bench::tiledClip(m.source, place.seconds, place.offsetFrames);
}

double decodeOnce(const DiscInMemory& m) {
  const auto start = bench::Clock::now();
  int64_t sum = 0;
  int16_t left[28], right[28];
  for (int station : m.stations)
    for (size_t k = 0; k < m.places[size_t(station)].size(); ++k) {
      const auto clip = loadClip(m, station, int(k));
      DecoderState l, r;
      for (uint32_t chunk = 0; chunk < clip->chunkCount(); ++chunk)
        for (uint32_t f = 0; f < clip->framesInChunk(chunk); ++f) {
          decodeStereoFrame(clip->leftFrame(chunk, f), clip->rightFrame(chunk, f), left, right, l, r);
          sum += left[0];
        }
    }
  benchmark::DoNotOptimize(sum);
  return bench::secondsSince(start);
}

double analyseOnce(const DiscInMemory& m) {
  const auto start = bench::Clock::now();
  const auto proposal =
      analyseStations(*m.catalogue, m.stations, [&m](int station, int clip) { return loadClip(m, station, clip); });
  benchmark::DoNotOptimize(proposal);
  return bench::secondsSince(start);
}

void BM_SongDetectionWholeDisc(benchmark::State& state) {
  const DiscInMemory& m = disc();
  double decode = 0.0, analyse = 0.0;
  for (auto _ : state) {
    decode += decodeOnce(m);
    analyse += analyseOnce(m);
  }
  const double runs = double(state.iterations());
  state.counters["disc_GB"] = m.bytes / 1e9;
  state.counters["decode_s"] = decode / runs;
  state.counters["analyse_s"] = analyse / runs;
  state.counters["analyse_over_decode"] = analyse / decode;
}
BENCHMARK(BM_SongDetectionWholeDisc)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
}  // namespace wc
