#pragma once
// What a user may say about a clip: its class, artist, title and how many
// intro and outro clips follow it. The catalogue holds text as single-byte
// Latin-1 (the byte values the clip browser draws), at most 63 bytes plus the
// terminating NUL; these helpers check an annotation against that and against
// the station, and write it into the records only when it fits.
#include <cstdint>
#include <string>
#include <string_view>

#include "gamedata/CatalogueRecords.h"

namespace wc {

inline constexpr size_t kMaxClipTextLength = sizeof(Clip::title) - 1;  // 63

struct ClipAnnotation {
  int32_t clipClass = classNumber(ClipClass::Chatter);  // a number, checked before use
  std::string artist;                                   // Latin-1
  std::string title;                                    // Latin-1
  int32_t intros = 0;
  int32_t outros = 0;
  bool operator==(const ClipAnnotation&) const = default;
};

enum class AnnotationProblem {
  None,
  NoSuchClip,
  ClassOutOfRange,
  ArtistNotValid,  // too long or holds a control character
  TitleNotValid,
  NegativeCount,
  PastStation,  // the intros and outros would reach past the station's last clip
};

// A record's text field up to its NUL, never past the field.
std::string clipText(const char (&field)[64]);
ClipAnnotation annotationOf(const Clip& clip);

// True if `text` fits a record's text field and holds no control character
// (a NUL would cut it short, a line break would not show in a row).
bool isValidClipText(std::string_view text);

// How many intro and outro clips clip `clipIndex` may own together: the
// clips of the station behind it. 0 for a clip outside the station.
int followOnRoom(const Station& station, int clipIndex);

// What is wrong with `annotation` for a clip with `room` clips behind it.
AnnotationProblem checkAnnotation(const ClipAnnotation& annotation, int room);
AnnotationProblem checkAnnotation(const Station& station, int clipIndex, const ClipAnnotation& annotation);
// A sentence for the user saying what is wrong; empty for None.
std::string describeProblem(AnnotationProblem problem, int room);

// Writes `annotation` into clip `clipIndex` if checkAnnotation finds nothing
// wrong; otherwise leaves the station untouched.
AnnotationProblem applyAnnotation(Station& station, int clipIndex, const ClipAnnotation& annotation);
// Sets only the title, for the intro and outro clips of a song.
bool applyTitle(Station& station, int clipIndex, std::string_view title);

// The role of a class in words, for the editor's class list.
const char* clipClassRole(int32_t clipClass);

// Latin-1 bytes to UTF-8 and back. toLatin1 fails on malformed UTF-8 and on
// characters beyond U+00FF.
std::string latin1ToUtf8(std::string_view latin1);
bool utf8ToLatin1(std::string_view utf8, std::string& latin1);

// Catalogue text as it may leave the program (playlists, file tags, desktop
// metadata): one line of printable text, every control character (C0, DEL,
// C1) a space. The catalogue file is edited by other programs too, so a
// title may hold a line break that would add an entry to a playlist, or an
// escape sequence that would reach a terminal.
std::string printableLatin1(std::string_view latin1);
std::string printableUtf8(std::string_view utf8);

}  // namespace wc
