#pragma once
// A StudioSession and its StudioView running headless on the default test
// disc (in the cache layout, so the disc is never searched), with a sound
// engine on the fake device, scripted prompts, a recording window, and every
// repaint painted into a software surface so painting runs on every path the
// commands take. SessionFixture is the same without the view: nothing is
// drawn.
#include <memory>
#include <vector>

#include "audio/AudioEngine.h"
#include "audio/TickClock.h"
#include "base/CRandom.h"
#include "gamedata/GameData.h"
#include "playlist/Voice.h"
#include "session/StudioSession.h"
#include "support/FakeSessionPrompts.h"
#include "support/FakeSoundDevice.h"
#include "support/FakeViewServices.h"
#include "support/FaultyFileSystem.h"
#include "support/GameDataFakes.h"
#include "support/RasterSurface.h"
#include "support/TestDisc.h"
#include "ui/StudioView.h"

namespace wc::test {

class RecordingAudioHost final : public AudioHost {
 public:
  std::vector<std::string> errors;
  int closeRequests = 0;
  void showAudioError(const char* message) override { errors.push_back(message); }
  void closeMainWindow() override { ++closeRequests; }
};

struct SessionFixture {
  explicit SessionFixture(const DiscPlan& plan = defaultTestDiscPlan());
  ~SessionFixture();

  // Lets the device play `bytes` and runs one timer tick: the count and
  // reseed, then the refill.
  void tick(uint32_t bytes = 480);
  // Ticks until `done` holds, at most `maxTicks` times; false if it never did.
  template <class Predicate>
  bool tickUntil(Predicate done, int maxTicks = 10000, uint32_t bytes = 4800) {
    for (int i = 0; i < maxTicks; ++i) {
      if (done()) return true;
      tick(bytes);
    }
    return done();
  }
  // A loaded track of the music station appended to the playlist.
  Track* addTrack(int clipIndex, int station = testdisc::kMusic);
  std::vector<Track*> tracks();
  // Class of each track's clip, in playlist order.
  std::vector<int> trackClasses();
  Catalogue& catalogue() { return gameData->catalogue(); }
  // The catalogue was edited by hand: the clip lists follow, the mark of
  // unsaved annotations stays as it was.
  void catalogueEdited() { session->catalogueChanged(!session->catalogueModified()); }
  Path workPath(const std::string& name) const { return disc.directory() / name; }

  TestDisc disc;
  FaultyFileSystem fs;
  FakeMountTable mounts;
  ScriptedPrompts prompts;
  RecordedExits exits;
  std::unique_ptr<GameData> gameData;
  FakeSessionPrompts dialogs;
  RecordingSessionObserver observer;
  RecordingAudioHost audioHost;
  // The tools' generator and the timer count that reseeds it on every tick.
  CRandom random;
  TickClock ticks{random};
  FakeSoundDevice* device = nullptr;  // owned by the engine
  std::unique_ptr<AudioEngine> engine;
  std::unique_ptr<StudioSession> session;
};

struct ViewFixture : SessionFixture {
  explicit ViewFixture(const DiscPlan& plan = defaultTestDiscPlan());
  ~ViewFixture();

  FakeViewHost host;
  RasterSurface surface{896, 560};
  std::unique_ptr<StudioView> view;
};

}  // namespace wc::test
