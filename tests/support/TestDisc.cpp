#include "support/TestDisc.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace wc::test {

uint32_t testDiscFrames(int station, int clip) {
  using namespace testdisc;
  if (station == kAdverts && clip >= 0 && clip < kAdvertCount) return 500 + 10 * uint32_t(clip);
  if (station != kMusic || clip < 0 || clip >= kMusicClipCount) return 0;
  for (int song : kSongs)
    if (clip == song) return 400 + 10 * uint32_t(clip);
  return 100 + 10 * uint32_t(clip);
}

namespace {

// Test set-up that cannot go on: say why and stop the binary, since every
// later check would only fail for the same reason.
[[noreturn]] void setupFailed(const std::string& what) {
  std::fprintf(stderr, "TestDisc: %s\n", what.c_str());
  std::abort();
}

ClipPlan clip(std::string title, ClipClass clipClass, uint32_t frames, StereoSignal (*make)(size_t, uint32_t),
              uint32_t seed) {
  ClipPlan c;
  c.title = std::move(title);
  c.clipClass = clipClass;
  c.signal = make(size_t(frames) * 28, seed);
  return c;
}

DiscPlan buildDefaultPlan() {
  using namespace testdisc;
  DiscPlan plan;
  plan.unlistEmptyStations = true;

  StationPlan adverts;
  adverts.index = kAdverts;
  for (int k = 0; k < kAdvertCount; ++k) {
    ClipPlan c;
    c.title = "Advert " + std::to_string(k + 1);
    c.clipClass = ClipClass::Commercial;
    const double hz = 300.0 + 100.0 * k;
    c.signal = makeSine(size_t(testDiscFrames(kAdverts, k)) * 28, hz, hz, 0.4);
    adverts.clips.push_back(std::move(c));
  }
  plan.stations.push_back(std::move(adverts));

  StationPlan music;
  music.index = kMusic;
  music.label = "Test FM";
  const char* letters[3] = {"A", "B", "C"};
  for (int s = 0; s < 3; ++s) {
    const int k = kSongs[s];
    const std::string letter = letters[s];
    ClipPlan song = clip("Song " + letter, ClipClass::Song, testDiscFrames(kMusic, k), makeMusic, uint32_t(k));
    song.artist = "Artist " + letter;
    song.intros.push_back(
        clip("Intro " + letter, ClipClass::Chatter, testDiscFrames(kMusic, k + 1), makeBabble, uint32_t(k + 1)));
    song.intros.push_back(clip("", ClipClass::Chatter, testDiscFrames(kMusic, k + 2), makeMusic, uint32_t(k + 2)));
    song.outros.push_back(
        clip("Outro " + letter, ClipClass::Chatter, testDiscFrames(kMusic, k + 3), makeBabble, uint32_t(k + 3)));
    music.clips.push_back(std::move(song));
  }
  const std::pair<int, ClipClass> chatter[4] = {{kChatter2, ClipClass::Chatter},
                                                {kChatter5, ClipClass::ChatterFive},
                                                {kChatter6, ClipClass::ChatterSix},
                                                {kChatter7, ClipClass::ChatterSeven}};
  for (const auto& [index, cls] : chatter)
    music.clips.push_back(clip("Chatter " + std::to_string(classNumber(cls)), cls, testDiscFrames(kMusic, index),
                               makeBabble, uint32_t(index)));
  plan.stations.push_back(std::move(music));

  // Encode once: every test that writes a default disc then only copies frames.
  auto encode = [](ClipPlan& c) {
    c.frames = encodeStereo(c.signal);
    c.signal = {};
  };
  for (StationPlan& station : plan.stations) {
    for (ClipPlan& top : station.clips) {
      encode(top);
      for (ClipPlan& intro : top.intros) encode(intro);
      for (ClipPlan& outro : top.outros) encode(outro);
    }
  }
  return plan;
}

}  // namespace

DiscPlan defaultTestDiscPlan() {
  static const DiscPlan plan = buildDefaultPlan();
  return plan;
}

TestDisc::TestDisc(std::unique_ptr<ScopedTempDir> directory, WrittenDisc written)
    : directory_(std::move(directory)), written_(std::move(written)) {}

TestDisc::~TestDisc() = default;

TestDisc TestDisc::make(const DiscPlan& plan, DiscWriteOptions options) {
  auto directory = std::make_unique<ScopedTempDir>();
  std::string error;
  auto written = wc::writeDisc(plan, directory->path(), options, &error);
  if (!written) setupFailed(error);
  return TestDisc(std::move(directory), std::move(*written));
}

TestDisc TestDisc::cache(const DiscPlan& plan, DiscWriteOptions options) {
  options.layout = DiscLayout::Cache;
  return make(plan, options);
}

TestDisc TestDisc::disc(const DiscPlan& plan, DiscWriteOptions options) {
  options.layout = DiscLayout::Disc;
  return make(plan, options);
}

}  // namespace wc::test
