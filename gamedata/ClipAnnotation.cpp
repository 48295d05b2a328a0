#include "gamedata/ClipAnnotation.h"

#include <algorithm>
#include <cstring>

namespace wc {
namespace {

void storeText(char (&field)[64], std::string_view text) {
  std::memset(field, 0, sizeof field);
  std::memcpy(field, text.data(), std::min(text.size(), kMaxClipTextLength));
}

}  // namespace

std::string clipText(const char (&field)[64]) { return std::string(field, strnlen(field, sizeof field)); }

ClipAnnotation annotationOf(const Clip& clip) {
  return ClipAnnotation{clip.clipClass, clipText(clip.artist), clipText(clip.title), clip.intros, clip.outros};
}

bool isValidClipText(std::string_view text) {
  return text.size() <= kMaxClipTextLength &&
         std::none_of(text.begin(), text.end(), [](char c) { return uint8_t(c) < 0x20; });
}

int followOnRoom(const Station& station, int clipIndex) {
  const int count = station.validCount();
  return (clipIndex < 0 || clipIndex >= count) ? 0 : count - clipIndex - 1;
}

AnnotationProblem checkAnnotation(const Station& station, int clipIndex, const ClipAnnotation& a) {
  if (clipIndex < 0 || clipIndex >= station.validCount()) return AnnotationProblem::NoSuchClip;
  return checkAnnotation(a, followOnRoom(station, clipIndex));
}

AnnotationProblem checkAnnotation(const ClipAnnotation& a, int room) {
  if (a.clipClass < 0 || a.clipClass >= kClipClassCount) return AnnotationProblem::ClassOutOfRange;
  if (!isValidClipText(a.artist)) return AnnotationProblem::ArtistNotValid;
  if (!isValidClipText(a.title)) return AnnotationProblem::TitleNotValid;
  if (a.intros < 0 || a.outros < 0) return AnnotationProblem::NegativeCount;
  // In 64 bits: the counts come from files and may be near INT32_MAX.
  if (int64_t(a.intros) + a.outros > room) return AnnotationProblem::PastStation;
  return AnnotationProblem::None;
}

std::string describeProblem(AnnotationProblem problem, int room) {
  switch (problem) {
    case AnnotationProblem::None: return {};
    case AnnotationProblem::NoSuchClip: return "The clip does not exist on this disc.";
    case AnnotationProblem::ClassOutOfRange: return "The class must be a number from 0 to 7.";
    case AnnotationProblem::ArtistNotValid: return "The artist may have at most 63 characters and no line breaks.";
    case AnnotationProblem::TitleNotValid: return "The title may have at most 63 characters and no line breaks.";
    case AnnotationProblem::NegativeCount: return "The numbers of intros and outros cannot be negative.";
    case AnnotationProblem::PastStation:
      return "Intros and outros together can be at most " + std::to_string(room) +
             ": only that many clips of the station follow this one.";
  }
  return {};
}

AnnotationProblem applyAnnotation(Station& station, int clipIndex, const ClipAnnotation& a) {
  const AnnotationProblem problem = checkAnnotation(station, clipIndex, a);
  if (problem != AnnotationProblem::None) return problem;
  Clip& clip = station.clips[clipIndex];
  clip.clipClass = a.clipClass;
  storeText(clip.artist, a.artist);
  storeText(clip.title, a.title);
  clip.intros = a.intros;
  clip.outros = a.outros;
  return AnnotationProblem::None;
}

bool applyTitle(Station& station, int clipIndex, std::string_view title) {
  if (clipIndex < 0 || clipIndex >= station.validCount() || !isValidClipText(title)) return false;
  storeText(station.clips[clipIndex].title, title);
  return true;
}

const char* clipClassRole(int32_t clipClass) {
  switch (clipClass) {
    case 0: return "Song";
    case 1: return "Commercial";
    case 2: return "Chatter";
    case 3:
    case 4: return "Other (not picked by the tools)";
    case 5: return "Chatter, opening a mix and between songs";
    case 6: return "Chatter, second clip of a mix";
    case 7: return "Chatter, picked with class 2";
    default: return "Unknown";
  }
}

std::string latin1ToUtf8(std::string_view latin1) {
  std::string out;
  out.reserve(latin1.size());
  for (char c : latin1) {
    const auto b = uint8_t(c);
    if (b < 0x80) {
      out += c;
    } else {
      out += char(0xC0 | (b >> 6));
      out += char(0x80 | (b & 0x3F));
    }
  }
  return out;
}

bool utf8ToLatin1(std::string_view utf8, std::string& latin1) {
  latin1.clear();
  for (size_t i = 0; i < utf8.size(); ++i) {
    const auto b = uint8_t(utf8[i]);
    if (b < 0x80) {
      latin1 += char(b);
      continue;
    }
    // Only two-byte sequences for U+0080..U+00FF (lead byte C2 or C3) have a
    // Latin-1 equivalent; anything else is beyond it or malformed.
    if ((b != 0xC2 && b != 0xC3) || i + 1 >= utf8.size()) return false;
    const auto next = uint8_t(utf8[i + 1]);
    if ((next & 0xC0) != 0x80) return false;
    latin1 += char(((b & 0x03) << 6) | (next & 0x3F));
    ++i;
  }
  return true;
}

std::string printableLatin1(std::string_view latin1) {
  std::string out(latin1);
  for (char& c : out) {
    const auto b = uint8_t(c);
    if (b < 0x20 || (b >= 0x7F && b < 0xA0)) c = ' ';
  }
  return out;
}

std::string printableUtf8(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size(); ++i) {
    const auto b = uint8_t(utf8[i]);
    // C1 controls are U+0080..U+009F: C2 80 .. C2 9F.
    if (b == 0xC2 && i + 1 < utf8.size() && uint8_t(utf8[i + 1]) < 0xA0 && uint8_t(utf8[i + 1]) >= 0x80) {
      out += ' ';
      ++i;
    } else {
      out += (b < 0x20 || b == 0x7F) ? ' ' : char(b);
    }
  }
  return out;
}

}  // namespace wc
