// Speed of the song detection against decoding the same audio once: both
// are timed in the same run over the same clips, and the benchmark reports
// seconds per hour of audio for each and their ratio (the analysis should
// stay within twice one decode).
#include <benchmark/benchmark.h>

#include <ctime>
#include <memory>
#include <vector>

#include "analysis/DiscAnalysis.h"
#include "audio/StereoDecoder.h"
#include "gamedata/CatalogueBuilder.h"
#include "testkit/discgen/BareDisc.h"
#include "testkit/discgen/ParallelEncode.h"

namespace wc {
namespace {

// CPU seconds of this thread: the machine is shared, and wall time would
// count the other processes' turns too.
double threadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// A bare station's clips in memory, as the cache would deliver them.
struct StationInMemory {
  std::unique_ptr<Catalogue> catalogue = std::make_unique<Catalogue>();
  std::vector<std::vector<uint8_t>> clips;  // layOutClip images of station 4
  double seconds = 0.0;
};

const StationInMemory& station() {
  static const StationInMemory s = [] {
    StationInMemory m;
    std::vector<BareStation> stations = randomBareStations(42, 6, 6.0);
    stations.resize(1);  // station 4 only
    DiscPlan plan = bareDiscPlan(stations, 42);
    encodeClipsAhead(plan, 2);
    resetToBareCatalogue(*m.catalogue);
    Station& st = m.catalogue->stations[4];
    auto add = [&](const ClipPlan& c) {
      m.clips.push_back(layOutClip(*c.frames));
      st.clips[st.clipCount].size = uint32_t(m.clips.back().size() - ClipAudio::kHeaderSize);
      st.clips[st.clipCount].offset = uint32_t(m.clips.size());
      ++st.clipCount;
      m.seconds += double(c.frames->frames()) * 28.0 / 24000.0;
    };
    for (const ClipPlan& c : plan.stations[0].clips) {
      add(c);
      for (const ClipPlan& i : c.intros) add(i);
      for (const ClipPlan& o : c.outros) add(o);
    }
    return m;
  }();
  return s;
}

double decodeOnce(const StationInMemory& m) {
  const double start = threadSeconds();
  int64_t sum = 0;
  int16_t left[28], right[28];
  for (const auto& bytes : m.clips) {
    const ClipAudio clip(bytes);  // the copy a load makes
    DecoderState l, r;
    for (uint32_t chunk = 0; chunk < clip.chunkCount(); ++chunk)
      for (uint32_t f = 0; f < clip.framesInChunk(chunk); ++f) {
        decodeStereoFrame(clip.leftFrame(chunk, f), clip.rightFrame(chunk, f), left, right, l, r);
        sum += left[0];
      }
  }
  benchmark::DoNotOptimize(sum);
  return threadSeconds() - start;
}

double analyseOnce(const StationInMemory& m) {
  const double start = threadSeconds();
  const auto proposal = analyseStations(
      *m.catalogue, {4}, [&m](int, int clip) { return std::make_unique<ClipAudio>(m.clips[size_t(clip)]); });
  benchmark::DoNotOptimize(proposal);
  return threadSeconds() - start;
}

void BM_SongDetectionAgainstOneDecode(benchmark::State& state) {
  const StationInMemory& m = station();
  double decode = 0.0, analyse = 0.0;
  for (auto _ : state) {
    decode += decodeOnce(m);
    analyse += analyseOnce(m);
  }
  const double hours = m.seconds / 3600.0 * double(state.iterations());
  state.counters["decode_s_per_hour"] = decode / hours;
  state.counters["analyse_s_per_hour"] = analyse / hours;
  state.counters["analyse_over_decode"] = analyse / decode;
  state.counters["s_per_11h_disc"] = analyse / hours * 11.0;
}
BENCHMARK(BM_SongDetectionAgainstOneDecode)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
}  // namespace wc
