// The transport display's text: the playing track's number and time, or the
// playlist's track count and length, overridden by the copy progress, the
// busy mark and the export's arrows.
#include "ui/TransportText.h"

#include <cstdio>

namespace wc {
namespace {

constexpr Rgb kTransportGreen = rgb(0, 192, 0);
constexpr Rgb kTransportRed = rgb(192, 0, 0);
constexpr int kSamplesPerSecond = 24000;
// From 78 whole minutes on the playlist no longer fits a CD.
constexpr int kLastGreenMinute = 77;

}  // namespace

std::string transportText(const TransportMarks& marks, const Playlist& playlist, const Transport& transport,
                          Rgb* colour) {
  Rgb textColour = kTransportGreen;
  char field[32];
  std::string text;

  const Track* playing = transport.playingTrack();
  if (playing && playing->next) {
    int position = 1;
    for (const Track* t = playing->prev; t && t->clip; t = t->prev) ++position;
    std::snprintf(field, sizeof field, "%02d ", position);
    text = field;
  } else {
    text = "-- ";
  }
  if (playing) {
    const int32_t seconds = transport.playingSeconds();
    std::snprintf(field, sizeof field, "%02d:%02d", (seconds / 60) % 60, seconds % 60);
    text += field;
  } else {
    text += "--:--";
  }

  if (!playing) {
    const int64_t total = playlist.playlistSamples();
    if (total > 0) {
      const int64_t seconds = (total + kSamplesPerSecond - 1) / kSamplesPerSecond;
      int64_t m = seconds / 60, s = seconds % 60;
      if (m > 99) {
        m = 99;
        s = 59;
      }
      if (m > kLastGreenMinute) textColour = kTransportRed;
      std::snprintf(field, sizeof field, "%02d %02d:%02d", int(playlist.trackCount()), int(m), int(s));
      text = field;
    }
  }

  if (marks.copying) {
    if (marks.copyPercent < 100) {
      std::snprintf(field, sizeof field, "%02d%%", marks.copyPercent);
      text = "Copying " + marks.copyFileName + " : " + field;
    } else {
      text = "Copying " + marks.copyFileName + " : OK ";
    }
  }
  if (marks.busy) text = "PLEASE WAIT";
  if (marks.rendering) text = ">> " + text + " <<";

  if (colour) *colour = textColour;
  return text;
}

}  // namespace wc
