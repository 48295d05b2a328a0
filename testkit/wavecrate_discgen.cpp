// Writes a small synthetic disc or cache, so the program can be tried and
// demonstrated without the game disc. All audio is generated.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <thread>

#include "gamedata/AnnotationFile.h"
#include "testkit/discgen/BareDisc.h"
#include "testkit/discgen/DemoDisc.h"
#include "testkit/discgen/DiscBuilder.h"
#include "testkit/discgen/LongPlaylist.h"
#include "testkit/discgen/ParallelEncode.h"

namespace {

constexpr const char* kUsage =
    "Usage: wavecrate-discgen (--cache DIR | --disc DIR) [options]\n"
    "\n"
    "Writes a small synthetic set of radio stations into DIR:\n"
    "  --cache DIR     DIR/CACHE/TRAKLKUP.DAT and DIR/CACHE/<pack>.PAK; run the\n"
    "                  program with DIR as its working directory\n"
    "  --disc DIR      DIR/AUDIO/CONFIG/TRAKLKUP.DAT and DIR/AUDIO/STREAMS/<pack>.PAK\n"
    "                  for all 16 packs, as on the game disc; mount or point the\n"
    "                  disc search at DIR\n"
    "Both also write DIR/WavecrateInfo.dat, the annotated catalogue.\n"
    "\n"
    "Options:\n"
    "  --iso-names     with --disc: lower-case names with \";1\" (traklkup.dat;1),\n"
    "                  as a disc mounted without Rock Ridge shows them\n"
    "  --interleave    mix the stations' records in the lookup table\n"
    "  --song-seconds N  length of each song (default 9, at most 600)\n"
    "  --demo          write the demo station set instead (see below)\n"
    "  --bare SEED     write a bare disc instead: CH, DS and RE with songs whose\n"
    "                  intros and outros are cut from one performance, chatter and\n"
    "                  identifications, no catalogue file, and DIR/truth.csv (the\n"
    "                  right annotations, in the Export Annotations format)\n"
    "  --bare-songs N  with --bare: song blocks per station (default 12)\n"
    "  --synthetic-voice  with --demo: speak with the built-in babble even if\n"
    "                  espeak-ng is installed\n"
    "  --threads N     encode on N threads (default: one per processor)\n"
    "  --playlist FILE  also write a playlist file (.wcpl) for the new stations:\n"
    "                  their songs in turn with varied intros and outros, then\n"
    "                  chatter and commercials between them to fill the length\n"
    "                  (at most 99 tracks, never longer than asked)\n"
    "  --playlist-minutes N  length of that playlist (default 74, at most 400)\n"
    "  --help          show this text\n"
    "\n"
    "Demo set (--demo): \"Harbor 88\" (CH), \"Velvet 102\" (DS) and \"Canyon 94.5\"\n"
    "(RE), four songs each with two or three intros and outros, chatter of\n"
    "classes 5, 6, 2 and 7, and five commercials in ADVERTS; spoken lines by\n"
    "espeak-ng when it is on PATH.\n"
    "\n"
    "Default contents: two listed stations, CH (\"Chime FM\") and DS (\"Dusk 101\"), each\n"
    "with three songs (two intros and two outros each; one intro and one outro\n"
    "per song without speech) and one chatter clip each of classes 2, 5, 6 and 7;\n"
    "ADVERTS with four commercials. Other stations are empty and unlisted.\n";

using namespace wc;

// A 44100 Hz wave file of 400 minutes is just under the 4 GiB that its
// 32-bit sizes allow.
constexpr double kMaxPlaylistMinutes = 400.0;

// Whole seconds of `samples` at 24000 Hz as m:ss.
std::string minutesAndSeconds(int64_t samples) {
  const int64_t seconds = roundedSeconds(samples);
  char text[32];
  std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(seconds / 60),
                static_cast<long long>(seconds % 60));
  return text;
}

ClipPlan speech(std::string title, ClipClass clipClass, double seconds, uint32_t seed) {
  ClipPlan c;
  c.title = std::move(title);
  c.clipClass = clipClass;
  c.generate = [seconds, seed] { return makeBabble(samplesFor(seconds), seed); };
  return c;
}

ClipPlan musicOnly(double seconds, uint32_t seed) {
  ClipPlan c;
  c.clipClass = ClipClass::Chatter;
  c.generate = [seconds, seed] { return makeMusic(samplesFor(seconds), seed); };
  return c;
}

struct SongInfo {
  const char* title;
  const char* artist;
};

StationPlan station(int index, const char* label, const SongInfo (&songs)[3], double songSeconds, uint32_t seed) {
  StationPlan s;
  s.index = index;
  s.label = label;
  s.listed = true;
  for (const SongInfo& info : songs) {
    ClipPlan song;
    song.title = info.title;
    song.artist = info.artist;
    song.clipClass = ClipClass::Song;
    const uint32_t songSeed = seed++;
    song.generate = [songSeconds, songSeed] { return makeMusic(samplesFor(songSeconds), songSeed); };
    song.intros.push_back(
        speech(std::string("Here's ") + info.artist + " with " + info.title, ClipClass::Chatter, 3.0, seed++));
    song.intros.push_back(musicOnly(2.5, songSeed));
    song.outros.push_back(speech(std::string("That was ") + info.title, ClipClass::Chatter, 3.0, seed++));
    song.outros.push_back(musicOnly(2.0, songSeed));
    s.clips.push_back(std::move(song));
  }
  s.clips.push_back(speech(std::string("You're listening to ") + label, ClipClass::Chatter, 4.0, seed++));
  s.clips.push_back(speech("The weather, and then more music", ClipClass::ChatterFive, 4.0, seed++));
  s.clips.push_back(speech("Stay with us", ClipClass::ChatterSix, 3.0, seed++));
  s.clips.push_back(speech("Traffic on the bridge", ClipClass::ChatterSeven, 3.5, seed++));
  return s;
}

DiscPlan demoDisc(double songSeconds) {
  static const SongInfo chime[3] = {
      {"Glass Harbour", "The Lanterns"}, {"Paper Skyline", "Mira Vale"}, {"Slow Engine", "North Ferry"}};
  static const SongInfo dusk[3] = {
      {"Amber Street", "Low Tide Club"}, {"Night Market", "The Cartographers"}, {"Last Bus", "Juno Park"}};
  DiscPlan plan;
  plan.unlistEmptyStations = true;

  StationPlan adverts;
  adverts.index = kAdvertsStation;
  const char* adTitles[4] = {"Burger Planet", "Sunny Motors", "Cloud Cola", "Harbour Insurance"};
  for (uint32_t k = 0; k < 4; ++k) adverts.clips.push_back(speech(adTitles[k], ClipClass::Commercial, 5.0, 900 + k));
  plan.stations.push_back(std::move(adverts));
  plan.stations.push_back(station(4, "Chime FM", chime, songSeconds, 100));
  plan.stations.push_back(station(8, "Dusk 101", dusk, songSeconds, 200));
  return plan;
}

}  // namespace

int main(int argc, char** argv) {
  DiscWriteOptions options;
  std::string directory;
  double songSeconds = 9.0;
  bool demo = false;
  std::optional<uint32_t> bareSeed;
  int bareSongs = 12;
  bool syntheticVoice = false;
  std::string playlistFile;
  LongPlaylistTarget playlistTarget;
  bool playlistMinutesGiven = false;
  unsigned threads = std::max(1u, std::thread::hardware_concurrency());
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if ((arg == "--cache" || arg == "--disc") && hasValue && directory.empty()) {
      options.layout = arg == "--cache" ? DiscLayout::Cache : DiscLayout::Disc;
      directory = argv[++i];
    } else if (arg == "--iso-names") {
      options.isoNames = true;
    } else if (arg == "--interleave") {
      options.interleave = true;
    } else if (arg == "--demo") {
      demo = true;
    } else if ((arg == "--bare" || arg == "--bare-songs") && hasValue) {
      char* end = nullptr;
      const long n = std::strtol(argv[++i], &end, 10);
      if (*end != '\0' || n < 1 || n > 100000) {
        std::fprintf(stderr, "wavecrate-discgen: %s wants a number from 1 to 100000\n", arg.c_str());
        return 2;
      }
      if (arg == "--bare")
        bareSeed = uint32_t(n);
      else
        bareSongs = int(std::min(n, 60L));
    } else if (arg == "--synthetic-voice") {
      syntheticVoice = true;
    } else if (arg == "--threads" && hasValue) {
      char* end = nullptr;
      const long n = std::strtol(argv[++i], &end, 10);
      if (*end != '\0' || n < 1 || n > 64) {
        std::fprintf(stderr, "wavecrate-discgen: --threads wants a number from 1 to 64\n");
        return 2;
      }
      threads = unsigned(n);
    } else if (arg == "--playlist" && hasValue) {
      playlistFile = argv[++i];
    } else if (arg == "--playlist-minutes" && hasValue) {
      char* end = nullptr;
      playlistTarget.minutes = std::strtod(argv[++i], &end);
      playlistMinutesGiven = true;
      if (*end != '\0' || !(playlistTarget.minutes > 0.0 && playlistTarget.minutes <= kMaxPlaylistMinutes)) {
        std::fprintf(stderr, "wavecrate-discgen: --playlist-minutes wants a number from 0 to 400\n");
        return 2;
      }
    } else if (arg == "--song-seconds" && hasValue) {
      char* end = nullptr;
      songSeconds = std::strtod(argv[++i], &end);
      if (*end != '\0' || !(songSeconds > 0.0 && songSeconds <= 600.0)) {
        std::fprintf(stderr, "wavecrate-discgen: --song-seconds wants a number from 0 to 600\n");
        return 2;
      }
    } else {
      std::fprintf(stderr, "wavecrate-discgen: unexpected argument '%s'\n\n%s", arg.c_str(), kUsage);
      return 2;
    }
  }
  if (directory.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  if (playlistFile.empty() && playlistMinutesGiven) {
    std::fprintf(stderr, "wavecrate-discgen: --playlist-minutes goes with --playlist\n");
    return 2;
  }
  if (options.isoNames && options.layout == DiscLayout::Cache) {
    std::fprintf(stderr, "wavecrate-discgen: --iso-names applies to --disc only\n");
    return 2;
  }

  DiscPlan plan;
  if (bareSeed) {
    plan = bareDiscPlan(randomBareStations(*bareSeed, bareSongs, songSeconds), *bareSeed);
    options.writeCatalogueFile = false;
  } else if (demo) {
    DemoOptions demoOptions;
    demoOptions.speech = syntheticVoice ? SpeechEngine::Synthetic : detectSpeechEngine();
    if (demoOptions.speech == SpeechEngine::Synthetic && !syntheticVoice)
      std::fprintf(stderr, "wavecrate-discgen: espeak-ng not found; spoken lines use the synthetic voice\n");
    plan = demoDiscPlan(demoOptions);
  } else {
    plan = demoDisc(songSeconds);
  }
  encodeClipsAhead(plan, threads);

  std::string error;
  const auto written = writeDisc(plan, directory, options, &error);
  if (!written) {
    std::fprintf(stderr, "wavecrate-discgen: %s\n", error.c_str());
    return 1;
  }
  if (bareSeed) {
    const std::string truth = exportAnnotations(*written->catalogue);
    const Path truthPath = Path(directory) / "truth.csv";
    if (!replaceFileAtomically(realFileSystem(), truthPath,
                               {reinterpret_cast<const uint8_t*>(truth.data()), truth.size()})) {
      std::fprintf(stderr, "wavecrate-discgen: cannot write %s\n", truthPath.string().c_str());
      return 1;
    }
    std::printf("Wrote %zu clips to %s and the truth to %s\n", written->records.size(),
                written->paths.audioRoot.string().c_str(), truthPath.string().c_str());
  } else {
    std::printf("Wrote %zu clips to %s and the catalogue to %s\n", written->records.size(),
                written->paths.audioRoot.string().c_str(), written->paths.catalogueFile.string().c_str());
  }
  if (playlistFile.empty()) return 0;

  const auto playlist = writeLongPlaylist(*written, playlistFile, playlistTarget, &error);
  if (!playlist) {
    std::fprintf(stderr, "wavecrate-discgen: %s\n", error.c_str());
    return 1;
  }
  std::printf("Wrote the playlist %s: %zu tracks, %s (%s asked)\n", playlistFile.c_str(), playlist->records.size(),
              minutesAndSeconds(playlist->samples).c_str(), minutesAndSeconds(playlist->targetSamples).c_str());
  // A few seconds short is the rule; much more means the clips ran out of
  // tracks (songs too short for 99 tracks) or there was nothing short to pad with.
  constexpr int64_t kNoticeableShortfall = 5 * 24000;
  if (playlist->targetSamples - playlist->samples > kNoticeableShortfall)
    std::fprintf(stderr, "wavecrate-discgen: the playlist falls %s short of the length asked\n",
                 minutesAndSeconds(playlist->targetSamples - playlist->samples).c_str());
  return 0;
}
