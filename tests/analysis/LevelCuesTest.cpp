// What a clip's level envelope says about speech and fades: the cues that
// decide whether a clip can belong to a song block. Faded outros, with or
// without a voice over them, must not read as speech; speech alone must.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "analysis/ClipFeatures.h"

namespace wc::test {
namespace {

enum class Fade { None, LinearAmplitude, RaisedCosine, LinearDb };

// An envelope in 10 ms steps: music with a beat (a 6 dB swell every half
// second), or speech (syllables and the gaps between words, over an
// optional bed), ending in a fade over `fadeShare` of its length.
std::vector<float> envelope(bool speech, double bedDb, Fade fade, double fadeShare, int steps = 800) {
  std::vector<float> env(static_cast<size_t>(steps));
  const int fadeFrom = int(steps * (1.0 - fadeShare));
  for (int i = 0; i < steps; ++i) {
    double db = -20.0 + 3.0 * std::cos(2.0 * 3.14159265 * i / 50.0);
    if (speech) {
      // Words of 4 syllables (180 ms each), then a 150 ms pause.
      const int inWord = i % 87;
      const bool voiced = inWord < 72 && inWord % 18 < 14;
      db = voiced ? -18.0 : std::max(bedDb, -80.0);
    }
    if (fade != Fade::None && i >= fadeFrom) {
      const double t = double(i - fadeFrom) / double(steps - fadeFrom);
      double gainDb = 0.0;
      switch (fade) {
        case Fade::LinearAmplitude: gainDb = 20.0 * std::log10(std::max(1e-4, 1.0 - t)); break;
        case Fade::RaisedCosine:
          gainDb = 20.0 * std::log10(std::max(1e-4, 0.5 + 0.5 * std::cos(3.14159265 * t)));
          break;
        case Fade::LinearDb: gainDb = -60.0 * t; break;
        case Fade::None: break;
      }
      db += gainDb;
    }
    env[size_t(i)] = float(db);
  }
  return env;
}

TEST(LevelCuesTest, FadesAreFoundAndNeverReadAsSpeech) {
  struct Case {
    const char* name;
    bool speech;
    double bedDb;
    Fade fade;
    double fadeShare;
    bool speechAlone;  // pauses that fall to silence
  };
  const Case cases[] = {
      {"music", false, -80, Fade::None, 0.0, false},
      {"music, linear fade over 35%", false, -80, Fade::LinearAmplitude, 0.35, false},
      {"music, raised-cosine fade over 60%", false, -80, Fade::RaisedCosine, 0.6, false},
      {"music, fade linear in dB over 80%", false, -80, Fade::LinearDb, 0.8, false},
      {"speech alone", true, -80, Fade::None, 0.0, true},
      {"speech alone, faded", true, -80, Fade::RaisedCosine, 0.4, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const LevelCues cues = levelCues(envelope(c.speech, c.bedDb, c.fade, c.fadeShare));
    if (!c.speech) {
      EXPECT_LT(cues.pauseShare, 0.05);
      EXPECT_EQ(cues.silenceShare, 0.0);
    }
    EXPECT_EQ(cues.silenceShare > 0.02, c.speechAlone);
    if (c.fade == Fade::None) {
      EXPECT_EQ(cues.fadeOutShare, 0.0);
    } else if (!c.speech) {
      // The fade is found from where the level leaves the usual, which a
      // slow start (raised cosine, linear amplitude) does a little late.
      EXPECT_GT(cues.fadeOutShare, 0.5 * c.fadeShare);
      EXPECT_LE(cues.fadeOutShare, c.fadeShare + 0.02);
    }
    EXPECT_EQ(cues.fadeInShare, 0.0);
  }
}

}  // namespace
}  // namespace wc::test
