#pragma once
// CD tracks shorter than 4 seconds: burning programs refuse a CUE sheet that
// has one. Joining drops the marks between such a track and its neighbour in
// the CUE sheet only; the audio stays the same.
#include <cstdint>
#include <string>
#include <vector>

#include "playlist/Playlist.h"

namespace wc {

// 4 seconds of 75 sectors: the shortest track the CD format allows.
inline constexpr int64_t kMinTrackSectors = 300;

struct TrackSectors {
  std::vector<int64_t> starts;  // INDEX 01 of every track with a clip, in sectors
  int64_t end = 0;              // sectors of the whole image
};

// Where the CD image export puts each track's mark.
TrackSectors cdTrackSectors(const Playlist& playlist);

// Numbers (from 1) of the tracks shorter than kMinTrackSectors.
std::vector<int> shortTrackNumbers(const TrackSectors& sectors);

// Which tracks keep their mark when the short ones are joined: a short track
// takes in the tracks after it until it is long enough (their marks go); a
// short last track joins the one before it (its own mark goes). The first
// mark always stays.
std::vector<bool> marksAfterJoining(const TrackSectors& sectors);

// "Tracks 10, 11 and 15 are shorter than 4 seconds, ..." as the Export CD
// command asks it.
std::string shortTracksQuestion(const std::vector<int>& numbers);

}  // namespace wc
