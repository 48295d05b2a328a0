#pragma once
// Writes the tags and the cover picture into an encoded file held in memory,
// through TagLib: Vorbis comments for FLAC and Opus, ID3v2.4 for MP3, a LIST
// INFO chunk and an ID3v2.4 chunk for WAV.
#include <cstdint>
#include <vector>

#include "audio/TrackEncoder.h"

namespace wc {

// False when TagLib cannot parse `file` as `format` or cannot save it.
bool writeTrackTags(TrackFormat format, std::vector<uint8_t>& file, const TrackTags& tags);

}  // namespace wc
