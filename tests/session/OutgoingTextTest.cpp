// Catalogue text leaves the program in the M3U8 playlist, the file tags and
// the desktop's media metadata. The catalogue file is written by other
// programs too: whatever a title, artist, station label or album holds, each
// of these gets one line of printable text, never a second playlist entry or
// a terminal's escape sequence.
#include <gtest/gtest.h>

#include <cstring>

#include "playlist/TrackExporter.h"
#include "session/MediaPlayerState.h"
#include "support/ViewTestBed.h"

namespace wc {
namespace {

constexpr int kStation = 6;

bool printable(const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const auto b = uint8_t(text[i]);
    if (b < 0x20 || b == 0x7f) return false;
    if (b == 0xc2 && i + 1 < text.size() && uint8_t(text[i + 1]) < 0xa0) return false;  // C1 in UTF-8
  }
  return true;
}
bool printableLatin1(const std::string& text) {
  for (const char c : text)
    if (uint8_t(c) < 0x20 || (uint8_t(c) >= 0x7f && uint8_t(c) < 0xa0)) return false;
  return true;
}

TEST(OutgoingText, CatalogueTextLeavesAsOneLineOfPrintableText) {
  const struct {
    const char* name;
    const char* text;
  } cases[] = {
      {"line feed and a URL", "a\nhttp://example.invalid/x.mp3"},
      {"carriage return", "Song\r#EXTINF:1,Fake"},
      {"terminal escape", "\x1b]0;owned\x07Title\x1b[2J"},
      {"C1 control sequence introducer",
       "Ti\x9b"
       "2Jtle"},
      {"delete and tab", "Ti\x7ftle\tTwo"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::SessionTestBed bed;
    Station& s = bed.catalogue().stations[kStation];
    test::setStation(s, c.text, true);
    s.clipCount = 2;
    test::setClip(s.clips[0], c.text, 0, 0, 0, c.text);
    test::setClip(s.clips[1], c.text, 2);
    bed.makeSession();
    Track* song = bed.addTrack(kStation, 0);
    song->songAudio = test::audioOfFrames(24000);
    bed.addTrack(kStation, 1)->songAudio = test::audioOfFrames(24000);

    const TrackExportPlan plan = planTrackExport(bed.session->playlist(), bed.catalogue(), c.text, TrackFormat::Flac);
    const std::string m3u = m3u8Text(plan);
    size_t lines = 0;
    for (size_t at = 0; (at = m3u.find('\n', at)) != std::string::npos; ++at) ++lines;
    EXPECT_EQ(lines, 1 + 2 * plan.tracks.size()) << m3u;
    EXPECT_EQ(m3u.find('\r'), std::string::npos);
    for (const PlannedTrack& t : plan.tracks) {
      for (const std::string* tag : {&t.tags.title, &t.tags.artist, &t.tags.album})
        EXPECT_TRUE(printable(*tag)) << *tag;
      EXPECT_NE(m3u.find("\n" + t.fileName + "\n"), std::string::npos);
    }

    bed.session->transport().play(song);
    const MediaPlayerState state = mediaPlayerState(bed.catalogue(), bed.session->transport());
    ASSERT_TRUE(state.track);
    for (const std::string* field : {&state.track->title, &state.track->artist, &state.track->station})
      EXPECT_TRUE(printableLatin1(*field)) << *field;
    bed.session->transport().stop();
  }
}

}  // namespace
}  // namespace wc
