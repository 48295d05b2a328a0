#include "testkit/discgen/LongPlaylist.h"

#include <cmath>
#include <map>
#include <memory>
#include <utility>

#include "gamedata/ClipLoader.h"
#include "playlist/Track.h"

namespace wc {
namespace {

constexpr int32_t kStreamRate = 24000;
constexpr int32_t kCdRate = 44100;

struct Candidate {
  int station;
  int clipIndex;
  int32_t intros;
  int32_t outros;
};

// The top-level clips of every station, songs and the rest apart.
void collectCandidates(const Catalogue& catalogue, std::vector<Candidate>& songs, std::vector<Candidate>& others) {
  for (int s = 0; s < kStationCount; ++s) {
    const Station& station = catalogue.stations[s];
    station.forEachTopLevel([&](int k, const Clip& clip) {
      const FollowOns f = station.followOns(k);
      (clip.isSong() ? songs : others).push_back({s, k, f.intros, f.outros});
    });
  }
}

// Choice `combination` of the song's intro and outro pairs, intro changing
// fastest, so consecutive rounds of one song go through every pair.
PlaylistRecord recordFor(const Candidate& c, int combination) {
  const int32_t intros = c.intros > 0 ? c.intros : 1;
  const int32_t outros = c.outros > 0 ? c.outros : 1;
  return {c.station, c.clipIndex, combination % intros, (combination / intros) % outros};
}

int pairCount(const Candidate& c) { return (c.intros > 0 ? c.intros : 1) * (c.outros > 0 ? c.outros : 1); }

}  // namespace

int64_t recordSamples(const Catalogue& catalogue, const PlaylistRecord& record,
                      const ClipSamplesFunction& clipSamples) {
  if (!isValidPlaylistRecord(record, catalogue)) return 0;
  Track track;
  track.station = record.station;
  track.clipIndex = record.clipIndex;
  track.clip = &catalogue.stations[record.station].clips[record.clipIndex];
  track.intro = record.intro;
  track.outro = record.outro;
  int64_t total = clipSamples(record.station, record.clipIndex);
  for (const int index : {introClipIndexOf(catalogue, track), outroClipIndexOf(catalogue, track)})
    if (index >= 0) total += clipSamples(record.station, index);
  return total;
}

LongPlaylist planLongPlaylist(const Catalogue& catalogue, const ClipSamplesFunction& clipSamples,
                              const LongPlaylistTarget& target) {
  LongPlaylist result;
  const double requested = target.minutes * 60.0 * kStreamRate;
  result.targetSamples = requested > 0.0 ? int64_t(std::llround(requested)) : 0;

  std::vector<Candidate> songs, others;
  collectCandidates(catalogue, songs, others);

  int64_t total = 0;
  size_t tracks = 0;
  const size_t maxTracks = target.maxTracks > 0 ? size_t(target.maxTracks) : 0;
  auto fits = [&](int64_t samples) {
    return samples > 0 && total + samples <= result.targetSamples &&
           WaveWriter::predictedDataBytes(total + samples, kStreamRate, kCdRate) <= target.maxCdDataBytes;
  };

  // Songs in turn; when the one due no longer fits, the first of the others
  // (and of its intro and outro pairs) that still does.
  std::vector<PlaylistRecord> songTracks;
  std::vector<int> rounds(songs.size(), 0);
  for (size_t turn = 0; tracks < maxTracks && !songs.empty(); ++turn) {
    bool placed = false;
    for (size_t k = 0; k < songs.size() && !placed; ++k) {
      const size_t which = (turn + k) % songs.size();
      const Candidate& song = songs[which];
      const int pairs = pairCount(song);
      for (int p = 0; p < pairs && !placed; ++p) {
        const PlaylistRecord record = recordFor(song, rounds[which] + int(which) + p);
        const int64_t samples = recordSamples(catalogue, record, clipSamples);
        if (!fits(samples)) continue;
        songTracks.push_back(record);
        total += samples;
        ++rounds[which];
        ++tracks;
        placed = true;
      }
    }
    if (!placed) break;
  }

  // The gap left is shorter than any song track: close it with the short
  // clips, taken in turn so none repeats before the others had their go.
  std::vector<PlaylistRecord> fillers;
  for (size_t next = 0; tracks < maxTracks && !others.empty();) {
    bool placed = false;
    for (size_t k = 0; k < others.size() && !placed; ++k) {
      const size_t which = (next + k) % others.size();
      const PlaylistRecord record = recordFor(others[which], 0);
      const int64_t samples = recordSamples(catalogue, record, clipSamples);
      if (!fits(samples)) continue;
      fillers.push_back(record);
      total += samples;
      ++tracks;
      next = which + 1;
      placed = true;
    }
    if (!placed) break;
  }

  // Short clips spread evenly behind the songs, as a station plays them.
  const size_t s = songTracks.size(), f = fillers.size();
  result.records.reserve(s + f);
  if (s == 0) result.records = fillers;
  for (size_t k = 0; k < s; ++k) {
    result.records.push_back(songTracks[k]);
    for (size_t j = k * f / s; j < (k + 1) * f / s; ++j) result.records.push_back(fillers[j]);
  }
  result.samples = total;
  return result;
}

ClipSamplesFunction packClipSamples(const WrittenDisc& disc, FileSystem& fs) {
  struct Lengths {
    std::map<std::pair<int, int>, int64_t> known;
  };
  auto lengths = std::make_shared<Lengths>();
  const Catalogue* catalogue = disc.catalogue.get();
  const DiscPaths paths = disc.paths;
  return [lengths, catalogue, paths, &fs](int station, int clipIndex) -> int64_t {
    if (!catalogue || station < 0 || station >= kStationCount) return 0;
    const Station& s = catalogue->stations[station];
    if (!s.hasClip(clipIndex)) return 0;
    const auto key = std::make_pair(station, clipIndex);
    if (const auto it = lengths->known.find(key); it != lengths->known.end()) return it->second;
    int64_t samples = 0;
    if (auto pack = fs.openRead(paths.packs[size_t(station)])) {
      const Clip& clip = s.clips[clipIndex];
      if (const auto audio = readClipAudio(*pack, clip.offset, clip.size)) samples = audio->samples();
    }
    lengths->known.emplace(key, samples);
    return samples;
  };
}

std::optional<LongPlaylist> writeLongPlaylist(const WrittenDisc& disc, const Path& file,
                                              const LongPlaylistTarget& target, std::string* error, FileSystem& fs) {
  if (!disc.catalogue) {
    if (error) *error = "no catalogue to build a playlist from";
    return std::nullopt;
  }
  LongPlaylist playlist = planLongPlaylist(*disc.catalogue, packClipSamples(disc, fs), target);
  if (playlist.records.empty()) {
    if (error) *error = "no clip of the catalogue fits a playlist of that length";
    return std::nullopt;
  }
  const std::vector<uint8_t> bytes = encodePlaylistFile(playlist.records);
  if (!replaceFileAtomically(fs, file, bytes)) {
    if (error) *error = "cannot write the playlist file " + file.string();
    return std::nullopt;
  }
  return playlist;
}

}  // namespace wc
