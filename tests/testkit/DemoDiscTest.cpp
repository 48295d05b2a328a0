// The demo station set as the program meets it: generated, loaded through
// the game data layer with no disc, and filled into playlists by every tool.
//
// By default the tests generate the sketch of the set (same stations, clips,
// classes, titles and counts, every clip a fraction of a second). With
// WAVECRATE_DEMO_DIR set (the demo_stations test of the build does that),
// they check the full set the build generated there instead.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <set>

#include "base/CRandom.h"
#include "session/Command.h"
#include "support/ViewFixture.h"
#include "testkit/discgen/DemoDisc.h"
#include "testkit/discgen/ParallelEncode.h"
#include "testkit/discgen/Speech.h"

namespace wc::test {
namespace {

constexpr double kSketchSeconds = 0.05;

DiscPlan sketchPlan() {
  return demoDiscPlan(DemoOptions{.speech = SpeechEngine::Synthetic, .sketchSeconds = kSketchSeconds});
}

// The directory holding the demo set's catalogue file and CACHE.
class DemoSet {
 public:
  DemoSet() {
    if (const char* dir = std::getenv("WAVECRATE_DEMO_DIR"); dir && *dir) {
      directory_ = dir;
      return;
    }
    temp_ = std::make_unique<ScopedTempDir>();
    directory_ = temp_->path();
    DiscPlan plan = sketchPlan();
    encodeClipsAhead(plan, 2);
    std::string error;
    const bool written = writeDisc(plan, directory_, DiscWriteOptions{.layout = DiscLayout::Cache}, &error).has_value();
    EXPECT_TRUE(written) << error;
  }
  const Path& directory() const { return directory_; }

 private:
  std::unique_ptr<ScopedTempDir> temp_;
  Path directory_;
};

class DemoDiscTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // No disc anywhere: everything must come from the set's cache.
    gameData = std::make_unique<GameData>(realFileSystem(), demo.directory(), mounts, prompts, exits.function());
    gameData->loadCatalogue();
  }
  const Catalogue& catalogue() const { return gameData->catalogue(); }

  DemoSet demo;
  FakeMountTable mounts;
  ScriptedPrompts prompts;
  RecordedExits exits;
  std::unique_ptr<GameData> gameData;
};

TEST_F(DemoDiscTest, CatalogueMatchesTheLookupTableAndNeedsNoDisc) {
  EXPECT_TRUE(prompts.shown.empty()) << prompts.shown.front().caption << ": " << prompts.shown.front().text;
  EXPECT_TRUE(exits.statuses.empty());
  EXPECT_EQ(mounts.reads, 0);

  std::set<int> listed;
  for (int s = 0; s < kStationCount; ++s)
    if (catalogue().stations[s].listed) listed.insert(s);
  std::set<int> expected(kDemoMusicStations.begin(), kDemoMusicStations.end());
  expected.insert(kAdvertsStation);
  EXPECT_EQ(listed, expected);
  EXPECT_STREQ(catalogue().stations[kDemoMusicStations[0]].label, "Harbor 88");

  const Station& adverts = catalogue().stations[kAdvertsStation];
  ASSERT_EQ(adverts.clipCount, kDemoCommercials);
  for (int k = 0; k < adverts.clipCount; ++k) {
    EXPECT_EQ(adverts.clips[k].kind(), ClipClass::Commercial);
    EXPECT_NE(adverts.clips[k].title[0], '\0');
  }
}

TEST_F(DemoDiscTest, EveryStationHasSongsWithIntrosOutrosAndEveryKindOfChatter) {
  for (int s : kDemoMusicStations) {
    SCOPED_TRACE("station " + std::to_string(s));
    const Station& station = catalogue().stations[s];
    int songs = 0;
    bool plainIntro = false, spokenIntro = false, plainOutro = false, spokenOutro = false;
    std::multiset<int> chatter;
    for (int k = 0; k < station.clipCount; k += 1 + station.clips[k].intros + station.clips[k].outros) {
      const Clip& clip = station.clips[k];
      if (clip.kind() != ClipClass::Song) {
        EXPECT_EQ(clip.intros + clip.outros, 0) << clip.title;
        chatter.insert(clip.clipClass);
        continue;
      }
      ++songs;
      EXPECT_NE(clip.artist[0], '\0');
      EXPECT_GE(clip.intros, 2) << clip.title;
      EXPECT_LE(clip.intros, 3) << clip.title;
      EXPECT_GE(clip.outros, 2) << clip.title;
      EXPECT_LE(clip.outros, 3) << clip.title;
      ASSERT_LE(k + clip.intros + clip.outros, station.clipCount - 1);
      for (int j = 1; j <= clip.intros + clip.outros; ++j) {
        const bool isIntro = j <= clip.intros;
        const bool spoken = station.clips[k + j].title[0] != '\0';
        (isIntro ? (spoken ? spokenIntro : plainIntro) : (spoken ? spokenOutro : plainOutro)) = true;
      }
    }
    EXPECT_EQ(songs, kDemoSongsPerStation);
    EXPECT_TRUE(plainIntro && spokenIntro && plainOutro && spokenOutro);
    for (int cls : {5, 6, 2, 7}) EXPECT_EQ(chatter.count(cls), size_t(kDemoChatterPerClass)) << "class " << cls;
  }
}

TEST_F(DemoDiscTest, EveryClipLoadsFromTheCacheWithAudio) {
  for (int s = 0; s < kStationCount; ++s) {
    for (int k = 0; k < catalogue().stations[s].clipCount; ++k) {
      const auto audio = gameData->loadClipAudio(s, k);
      ASSERT_NE(audio, nullptr) << "station " << s << " clip " << k;
      EXPECT_GT(audio->frames(), 0u) << "station " << s << " clip " << k;
    }
  }
  EXPECT_EQ(mounts.reads, 0);
}

// Each tool, on each music station, through the session's commands.
class DemoToolsTest : public DemoDiscTest {
 protected:
  void SetUp() override {
    DemoDiscTest::SetUp();
    auto fake = std::make_unique<FakeSoundDevice>();
    engine = std::make_unique<AudioEngine>();
    engine->start(std::move(fake), audioHost);
    session = std::make_unique<StudioSession>(*gameData, dialogs, random, engine.get());
  }
  void TearDown() override {
    session.reset();
    engine.reset();
  }
  void selectStation(int s) {
    session->clearPlaylist();
    session->selectStation(s);
  }
  // Runs a command that must be enabled; true if it was.
  bool run(Command command) { return session->execute(command); }
  std::vector<const Track*> tracks() const {
    std::vector<const Track*> all;
    for (const Track* t = session->playlist().first(); t; t = Playlist::after(t)) all.push_back(t);
    return all;
  }
  int countClass(ClipClass cls) const {
    int n = 0;
    for (const Track* t : tracks()) n += t->clip->kind() == cls;
    return n;
  }

  FakeSessionPrompts dialogs;
  RecordingAudioHost audioHost;
  std::unique_ptr<AudioEngine> engine;
  CRandom random{2024};
  std::unique_ptr<StudioSession> session;
};

TEST_F(DemoToolsTest, AddAllSongsThenRandomizeAndPad) {
  for (int s : kDemoMusicStations) {
    SCOPED_TRACE("station " + std::to_string(s));
    selectStation(s);
    ASSERT_TRUE(run(Command::AddAllSongs));
    EXPECT_EQ(session->playlist().trackCount(), kDemoSongsPerStation);
    EXPECT_EQ(countClass(ClipClass::Song), kDemoSongsPerStation);

    ASSERT_TRUE(run(Command::RandomizeIntros));
    EXPECT_EQ(session->playlist().trackCount(), kDemoSongsPerStation);
    for (const Track* t : tracks()) {
      EXPECT_GE(t->intro, 0);
      EXPECT_LT(t->intro, t->clip->intros);
      EXPECT_GE(t->outro, 0);
      EXPECT_LT(t->outro, t->clip->outros);
      EXPECT_NE(t->songAudio, nullptr);
    }

    ASSERT_TRUE(run(Command::Pad));
    EXPECT_GT(session->playlist().trackCount(), kDemoSongsPerStation);
    EXPECT_EQ(countClass(ClipClass::Song), kDemoSongsPerStation);
    EXPECT_GT(countClass(ClipClass::Commercial), 0);
    EXPECT_GT(countClass(ClipClass::ChatterFive), 0);
  }
  EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(DemoToolsTest, MusicMixAndRadioMix) {
  for (int s : kDemoMusicStations) {
    SCOPED_TRACE("station " + std::to_string(s));
    selectStation(s);
    ASSERT_TRUE(run(Command::CreateMusicMix));
    EXPECT_GT(session->playlist().trackCount(), 0);
    EXPECT_EQ(countClass(ClipClass::Song), session->playlist().trackCount());

    selectStation(s);
    ASSERT_TRUE(run(Command::CreateRadioMix));
    EXPECT_GT(countClass(ClipClass::Song), 0);
    EXPECT_GT(countClass(ClipClass::Commercial), 0);
    EXPECT_GT(countClass(ClipClass::ChatterFive), 0);
    for (const Track* t : tracks()) EXPECT_TRUE(t->station == s || t->station == kAdvertsStation);
  }
  EXPECT_TRUE(dialogs.boxes.empty());
}

// ---- Generation ----

TEST(DemoGenerationTest, SameBytesForAnyNumberOfThreads) {
  DiscPlan one = sketchPlan();
  DiscPlan three = sketchPlan();
  encodeClipsAhead(one, 1);
  encodeClipsAhead(three, 3);
  ASSERT_EQ(one.stations.size(), three.stations.size());
  for (size_t s = 0; s < one.stations.size(); ++s) {
    ASSERT_EQ(one.stations[s].clips.size(), three.stations[s].clips.size());
    for (size_t k = 0; k < one.stations[s].clips.size(); ++k) {
      const ClipPlan& a = one.stations[s].clips[k];
      const ClipPlan& b = three.stations[s].clips[k];
      ASSERT_TRUE(a.frames && b.frames);
      EXPECT_FALSE(a.frames->left.empty());
      EXPECT_EQ(a.frames->left, b.frames->left);
      EXPECT_EQ(a.frames->right, b.frames->right);
      ASSERT_EQ(a.intros.size(), b.intros.size());
      for (size_t j = 0; j < a.intros.size(); ++j) EXPECT_EQ(a.intros[j].frames->left, b.intros[j].frames->left);
    }
  }
}

TEST(DemoGenerationTest, TitlesFitTheCatalogueAndSpokenLinesAreCutAtAWord) {
  const DiscPlan plan = sketchPlan();
  int cut = 0;
  for (const StationPlan& station : plan.stations) {
    for (const ClipPlan& clip : station.clips) {
      std::vector<const ClipPlan*> all{&clip};
      for (const ClipPlan& f : clip.intros) all.push_back(&f);
      for (const ClipPlan& f : clip.outros) all.push_back(&f);
      for (const ClipPlan* c : all) {
        EXPECT_LE(c->title.size(), 63u) << c->title;
        EXPECT_LE(c->artist.size(), 63u) << c->artist;
        if (c->title.size() > 3 && c->title.ends_with("...")) {
          ++cut;
          EXPECT_NE(c->title[c->title.size() - 4], ' ') << c->title;
        }
      }
    }
  }
  EXPECT_GT(cut, 0);  // some chatter lines are longer than a title holds
}

// ---- Spoken lines ----

std::vector<uint8_t> waveImage(int rate, int channels, const std::vector<int16_t>& samples, uint32_t declaredData) {
  std::vector<uint8_t> bytes(44 + samples.size() * 2);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = uint8_t(v >> (8 * i));
  };
  auto put16 = [&](size_t at, uint16_t v) {
    bytes[at] = uint8_t(v);
    bytes[at + 1] = uint8_t(v >> 8);
  };
  std::memcpy(bytes.data(), "RIFF", 4);
  put32(4, 0x7FFFFFFF);
  std::memcpy(bytes.data() + 8, "WAVEfmt ", 8);
  put32(16, 16);
  put16(20, 1);
  put16(22, uint16_t(channels));
  put32(24, uint32_t(rate));
  put32(28, uint32_t(rate * channels * 2));
  put16(32, uint16_t(channels * 2));
  put16(34, 16);
  std::memcpy(bytes.data() + 36, "data", 4);
  put32(40, declaredData);
  for (size_t i = 0; i < samples.size(); ++i) put16(44 + 2 * i, uint16_t(samples[i]));
  return bytes;
}

TEST(SpeechTest, ParsesAStreamedWaveWhoseSizesAreUnknown) {
  // What a synthesiser writing to a pipe produces: sizes of 0x7FFFFFFF.
  const auto bytes = waveImage(22050, 1, {0, 16384, -32768, 32767, 5}, 0x7FFFFFFF);
  const auto sound = parseWave(bytes);
  ASSERT_TRUE(sound);
  EXPECT_EQ(sound->rate, 22050);
  ASSERT_EQ(sound->samples.size(), 5u);
  EXPECT_FLOAT_EQ(sound->samples[1], 0.5f);
  EXPECT_FLOAT_EQ(sound->samples[2], -1.0f);

  const auto stereo = parseWave(waveImage(8000, 2, {1000, 3000, -2000, -4000}, 8));
  ASSERT_TRUE(stereo);
  ASSERT_EQ(stereo->samples.size(), 2u);
  EXPECT_FLOAT_EQ(stereo->samples[0], 2000.0f / 32768.0f);
  EXPECT_FLOAT_EQ(stereo->samples[1], -3000.0f / 32768.0f);

  auto eightBit = waveImage(8000, 1, {1, 2}, 4);
  eightBit[34] = 8;
  EXPECT_FALSE(parseWave(eightBit));
  EXPECT_FALSE(parseWave(std::vector<uint8_t>(20, 0)));
}

// Amplitude of `hz` in `x` at `rate` (one bin of a DFT).
double amplitudeAt(const std::vector<float>& x, double hz, int rate) {
  double re = 0.0, im = 0.0;
  for (size_t n = 0; n < x.size(); ++n) {
    const double phase = 2.0 * std::numbers::pi * hz * double(n) / rate;
    re += x[n] * std::cos(phase);
    im += x[n] * std::sin(phase);
  }
  return 2.0 * std::hypot(re, im) / double(x.size());
}

TEST(SpeechTest, ResamplingKeepsPitchAndLevelAndDropsWhatCannotBeRepresented) {
  constexpr int kFrom = 22050, kTo = 24000;
  std::vector<float> tone(kFrom), high(kTo);
  for (size_t n = 0; n < tone.size(); ++n)
    tone[n] = 0.5f * float(std::sin(2.0 * std::numbers::pi * 1000.0 * n / kFrom));
  const std::vector<float> up = resample(tone, kFrom, kTo);
  EXPECT_NEAR(double(up.size()), double(kTo), 1.0);
  // Away from the edges, where the kernel runs out of input.
  const std::vector<float> middle(up.begin() + 1200, up.end() - 1200);
  EXPECT_NEAR(amplitudeAt(middle, 1000.0, kTo), 0.5, 0.01);
  EXPECT_LT(amplitudeAt(middle, 1100.0, kTo), 0.01);

  // 11 kHz fits at 24000 but not at 22050: it must not fold back as 11050 Hz.
  for (size_t n = 0; n < high.size(); ++n) high[n] = 0.5f * float(std::sin(2.0 * std::numbers::pi * 11500.0 * n / kTo));
  const std::vector<float> down = resample(high, kTo, kFrom);
  const std::vector<float> downMiddle(down.begin() + 1200, down.end() - 1200);
  EXPECT_LT(amplitudeAt(downMiddle, 22050.0 - 11500.0, kFrom), 0.02);
}

TEST(SpeechTest, EveryLineHasAVoiceWithOrWithoutTheSynthesiser) {
  const Speaker speaker;
  const auto synthetic = speak("Harbor 88, all night long.", speaker, SpeechEngine::Synthetic);
  EXPECT_GT(synthetic.size(), samplesFor(1.0));
  float peak = 0.0f;
  for (float v : synthetic) peak = std::max(peak, std::fabs(v));
  EXPECT_NEAR(peak, 0.9f, 1e-4f);

  if (detectSpeechEngine() != SpeechEngine::Espeak) GTEST_SKIP() << "espeak-ng is not installed";
  const auto spoken = speak("Harbor 88, all night long.", speaker, SpeechEngine::Espeak);
  // Four or five words take a second or two, without the silence around them.
  EXPECT_GT(spoken.size(), samplesFor(0.8));
  EXPECT_LT(spoken.size(), samplesFor(4.0));
  EXPECT_GT(std::fabs(spoken.front()), 0.0f);
}

}  // namespace
}  // namespace wc::test
