// Speed of the audio engine's hot paths. Every benchmark also reports
// "s_per_74min": seconds of work per 74 minutes of CD audio.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "audio/Decoder.h"
#include "audio/Mixer.h"
#include "audio/StereoDecoder.h"
#include "audio/WaveWriter.h"
#include "base/LittleEndian.h"
#include "bench/DiscardingFile.h"
#include "gamedata/ClipAudio.h"
#include "playlist/OfflineRenderer.h"
#include "playlist/Track.h"
#include "playlist/Voice.h"

namespace wc {
namespace {

constexpr double kSamplesPer74Minutes = 74.0 * 60.0 * 24000.0;  // per channel, input rate

// `pairsPerIteration` stereo sample pairs at 24000 Hz as a fraction of 74
// minutes, inverted into seconds per 74 minutes.
benchmark::Counter per74Minutes(double pairsPerIteration) {
  return benchmark::Counter(pairsPerIteration / kSamplesPer74Minutes,
                            benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Random ADPCM frames in the clip layout; filters 0..4 with shifts that keep
// the signal mostly inside the range.
std::vector<uint8_t> randomClipBytes(uint32_t frames, uint32_t seed) {
  uint32_t state = seed;
  auto next = [&state] {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
  };
  const size_t chunks = (frames + ClipAudio::kFramesPerChunk - 1) / ClipAudio::kFramesPerChunk;
  std::vector<uint8_t> bytes(ClipAudio::kHeaderSize + chunks * ClipAudio::kChunkSize, 0);
  writeU32LE(bytes.data() + ClipAudio::kChannelLengthOffset, frames * 16);
  for (uint32_t i = 0; i < frames; ++i) {
    const size_t chunk = ClipAudio::kHeaderSize + (i / ClipAudio::kFramesPerChunk) * ClipAudio::kChunkSize;
    for (size_t channel : {ClipAudio::kLeftOffset, ClipAudio::kRightOffset}) {
      uint8_t* f = bytes.data() + chunk + channel + (i % ClipAudio::kFramesPerChunk) * 16;
      f[0] = uint8_t((next() % 5) << 4 | (6 + next() % 7));
      for (int b = 2; b < 16; ++b) f[b] = uint8_t(next());
    }
  }
  return bytes;
}

using bench::DiscardingFile;

void BM_DecodeStereoFrames(benchmark::State& state) {
  const std::vector<uint8_t> bytes = randomClipBytes(4096, 1);
  const ClipAudio clip(bytes);
  int16_t out[2][28];
  for (auto _ : state) {
    DecoderState left, right;
    for (uint32_t i = 0; i < 4096; ++i) {
      decodeFrame(clip.leftFrame(0, i), out[0], left);
      decodeFrame(clip.rightFrame(0, i), out[1], right);
      benchmark::DoNotOptimize(out);
    }
  }
  state.counters["s_per_74min"] = per74Minutes(4096.0 * 28);
}
BENCHMARK(BM_DecodeStereoFrames);

// Both channels as the two lanes of one register, as playback and the
// export decode them: to 16-bit samples, and to floats for the export.
template <bool kScaled>
void BM_DecodeTwoLanes(benchmark::State& state) {
  const std::vector<uint8_t> bytes = randomClipBytes(4096, 1);
  const ClipAudio clip(bytes);
  int16_t out[2][28];
  float scaled[2][28];
  for (auto _ : state) {
    DecoderState left, right;
    for (uint32_t i = 0; i < 4096; ++i) {
      if constexpr (kScaled) {
        decodeStereoFrameScaled(clip.leftFrame(0, i), clip.rightFrame(0, i), scaled[0], scaled[1], left, right);
        benchmark::DoNotOptimize(scaled);
      } else {
        decodeStereoFrame(clip.leftFrame(0, i), clip.rightFrame(0, i), out[0], out[1], left, right);
        benchmark::DoNotOptimize(out);
      }
    }
  }
  state.counters["s_per_74min"] = per74Minutes(4096.0 * 28);
}
BENCHMARK(BM_DecodeTwoLanes<false>);
BENCHMARK(BM_DecodeTwoLanes<true>);

void BM_WaveWriter(benchmark::State& state) {
  const int32_t outRate = int32_t(state.range(0));
  WaveWriter writer;
  writer.open(std::make_unique<DiscardingFile>(), 24000, outRate);
  std::vector<float> input(2 * 24000);
  uint32_t seed = 5;
  for (float& v : input) {
    seed = seed * 1664525u + 1013904223u;
    v = float(int16_t(seed >> 16)) / 32768.0f;
  }
  for (auto _ : state) {
    for (size_t i = 0; i < 24000; ++i) writer.pushFrame(input[2 * i], input[2 * i + 1]);
  }
  writer.finish();
  state.counters["s_per_74min"] = per74Minutes(24000.0);
}
BENCHMARK(BM_WaveWriter)->Arg(44100)->Arg(24000)->Unit(benchmark::kMillisecond);

// A track that follows itself, so the voice never runs out.
struct LoopingTrack {
  Clip clip{};
  Track track;
  explicit LoopingTrack(uint32_t frames) {
    track.clip = &clip;
    track.next = track.prev = &track;
    track.songAudio = std::make_unique<ClipAudio>(randomClipBytes(frames, 3));
  }
};

void BM_MixerTick(benchmark::State& state) {
  LoopingTrack looping(4096);
  Voice voice;
  voice.play(&looping.track, StartPart::Intro);
  Mixer mixer;
  mixer.addSource(voice);
  std::vector<int16_t> out(2 * 120);
  std::vector<float> scratch(2 * 120);
  for (auto _ : state) {
    mixer.mixSources(out.data(), 120, scratch.data());
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["s_per_74min"] = per74Minutes(120.0);
}
BENCHMARK(BM_MixerTick);

void BM_RenderTrackTo44100(benchmark::State& state) {
  constexpr uint32_t kFrames = 4096 * 6;  // about 29 seconds
  LoopingTrack looping(kFrames);
  const OfflineRenderer renderer;
  for (auto _ : state) {
    WaveWriter writer;
    writer.open(std::make_unique<DiscardingFile>(), 24000, 44100);
    benchmark::DoNotOptimize(renderer.renderTrack(&looping.track, writer));
    writer.finish();
  }
  state.counters["s_per_74min"] = per74Minutes(double(kFrames) * 28);
}
BENCHMARK(BM_RenderTrackTo44100)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace wc

BENCHMARK_MAIN();
