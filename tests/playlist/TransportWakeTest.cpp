#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "audio/SoundOutput.h"
#include "playlist/Playlist.h"
#include "playlist/Transport.h"
#include "support/AdpcmTestClips.h"

namespace wc {
namespace {

const Clip kSomeClip{};

// Records each wake with whether the transport was already sounding then.
class WakeLog final : public SoundOutput {
 public:
  void addSource(SoundSource&) override {}
  void pauseOutput() override {}
  void resumeOutput() override {}
  void soundComing() override { soundingAtWake.push_back(transport && transport->somethingPlays()); }
  const Transport* transport = nullptr;
  std::vector<bool> soundingAtWake;
};

std::unique_ptr<Track> trackWithSong() {
  auto track = std::make_unique<Track>();
  track->clip = &kSomeClip;
  track->songAudio = test::TestClip().addRepeated(400, test::flatFrame(3), test::flatFrame(3)).build();
  return track;
}

// Every way to start sound wakes the output before the voice takes the
// track; stopping or a refused command does not.
TEST(TransportWakeTest, WakesTheOutputBeforeEverySoundAndOnlyThen) {
  struct Case {
    std::string name;
    std::function<void(Transport&, Playlist&)> action;
    size_t wakes;
  };
  const std::vector<Case> cases = {
      {"play a track", [](Transport& t, Playlist& p) { t.play(p.first()); }, 1},
      {"play from start", [](Transport& t, Playlist&) { t.playFromStart(); }, 1},
      {"preview", [](Transport& t, Playlist&) { t.playPreview(trackWithSong()); }, 1},
      {"stop", [](Transport& t, Playlist&) { t.stop(); }, 0},
      {"play nothing", [](Transport& t, Playlist&) { t.play(nullptr); }, 0},
      {"next while idle", [](Transport& t, Playlist&) { t.next(); }, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Playlist playlist;
    playlist.append(trackWithSong());
    WakeLog output;
    Transport transport(playlist, &output);
    output.transport = &transport;
    c.action(transport, playlist);
    EXPECT_EQ(output.soundingAtWake, std::vector<bool>(c.wakes, false));
    EXPECT_EQ(transport.somethingPlays(), c.wakes > 0);
  }
}

}  // namespace
}  // namespace wc
