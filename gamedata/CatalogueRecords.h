#pragma once
// The clip catalogue: 16 stations of up to 256 clips each. The in-memory
// records have exactly the layout of the catalogue file, but the file is
// always read and written field by field in little-endian order.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace wc {

inline constexpr int kStationCount = 16;
inline constexpr int kMaxClipsPerStation = 256;
inline constexpr int kAdvertsStation = 1;

// What a clip is; decides its row colour and which playlist tool may pick it.
// The values are the class numbers of the catalogue file.
enum class ClipClass : int32_t {
  Song = 0,
  Commercial = 1,
  Chatter = 2,  // picked with class 7
  Other3 = 3,
  Other4 = 4,
  ChatterFive = 5,   // opens a mix, follows every third or fourth song
  ChatterSix = 6,    // second clip of a mix
  ChatterSeven = 7,  // picked with class 2
};
inline constexpr int32_t kClipClassCount = 8;

// A record's class number read as a class. A number outside 0..7 reads as
// class 3: such rows always drew in its colour, no tool picks it, and it is
// neither a song nor a commercial anywhere.
constexpr ClipClass clipClassOf(int32_t number) {
  return (number >= 0 && number < kClipClassCount) ? ClipClass(number) : ClipClass::Other3;
}
constexpr int32_t classNumber(ClipClass c) { return int32_t(c); }
// The class's bit in the playlist tools' class masks.
constexpr uint32_t classBit(ClipClass c) { return 1u << uint32_t(c); }

// A fixed-size text field up to its NUL, never past the field even when
// a file from outside left it unterminated.
template <size_t N>
constexpr std::string_view fieldView(const char (&field)[N]) {
  size_t n = 0;
  while (n < N && field[n] != '\0') ++n;
  return {field, n};
}

struct Clip {
  char title[64];
  char artist[64];
  int32_t clipClass;
  int32_t intros;
  int32_t outros;
  uint32_t offset;  // where the clip's 8068-byte header starts in its pack
  uint32_t size;    // bytes of audio chunks after the header
  uint32_t reserved;

  // Checked reading: what callers outside the catalogue's own code use.
  ClipClass kind() const { return clipClassOf(clipClass); }
  std::string_view titleText() const { return fieldView(title); }
  std::string_view artistText() const { return fieldView(artist); }
  bool isSong() const { return kind() == ClipClass::Song; }

  void setKind(ClipClass c) { clipClass = classNumber(c); }
  // Stores at most 63 bytes and zero-fills the rest of the field.
  void setTitle(std::string_view text) { storeFieldText(title, text); }
  void setArtist(std::string_view text) { storeFieldText(artist, text); }

 private:
  static void storeFieldText(char (&field)[64], std::string_view text) {
    const size_t n = text.size() < sizeof field - 1 ? text.size() : sizeof field - 1;
    for (size_t i = 0; i < sizeof field; ++i) field[i] = i < n ? text[i] : '\0';
  }
};
static_assert(sizeof(Clip) == 152);
static_assert(offsetof(Clip, clipClass) == 128);
static_assert(offsetof(Clip, intros) == 132);
static_assert(offsetof(Clip, outros) == 136);
static_assert(offsetof(Clip, offset) == 140);
static_assert(offsetof(Clip, size) == 144);
static_assert(offsetof(Clip, reserved) == 148);

// How many intro and outro clips follow a clip, clamped so that both lie
// inside the station's valid clips.
struct FollowOns {
  int32_t intros = 0;
  int32_t outros = 0;
  bool operator==(const FollowOns&) const = default;
};

struct Station {
  char name[16];   // pack name
  char label[32];  // shown in the banner and beside playlist tracks
  int32_t clipCount;
  Clip clips[kMaxClipsPerStation];
  uint8_t listed;  // 1 for radio stations
  uint8_t padding[3];

  // ---- Checked reading ----------------------------------------------------
  // The catalogue file comes from outside; none of these index past the
  // records whatever its counts say.

  // clipCount clamped to 0..256.
  int validCount() const {
    return clipCount < 0 ? 0 : (clipCount > kMaxClipsPerStation ? kMaxClipsPerStation : clipCount);
  }
  std::span<const Clip> validClips() const { return {clips, size_t(validCount())}; }
  std::span<Clip> validClips() { return {clips, size_t(validCount())}; }
  bool hasClip(int k) const { return k >= 0 && k < validCount(); }
  // The clip at k, or null when k is not a valid clip of the station.
  const Clip* clipAt(int k) const { return hasClip(k) ? &clips[k] : nullptr; }
  Clip* clipAt(int k) { return hasClip(k) ? &clips[k] : nullptr; }

  // The intros and outros of clip k that exist: intros first, then outros,
  // none past the station's last valid clip. Zero for a clip outside it.
  FollowOns followOns(int k) const {
    if (!hasClip(k)) return {};
    const int32_t room = validCount() - k - 1;
    const int32_t intros = clampTo(clips[k].intros, room);
    return {intros, clampTo(clips[k].outros, room - intros)};
  }
  // Index of the next top-level clip after clip k: past its follow-ons,
  // always above k and never past the station's valid clips.
  int nextTopLevel(int k) const {
    const FollowOns f = followOns(k);
    return k + 1 + f.intros + f.outros;
  }
  // Calls visit(clipIndex, clip) for each top-level clip in order.
  template <typename Visit>
  void forEachTopLevel(Visit&& visit) const {
    for (int k = 0; k < validCount(); k = nextTopLevel(k)) visit(k, clips[k]);
  }
  bool hasClassAnywhere(ClipClass c) const {
    for (const Clip& clip : validClips())
      if (clip.kind() == c) return true;
    return false;
  }

  std::string_view nameText() const { return fieldView(name); }
  std::string_view labelText() const { return fieldView(label); }

  // Sets clip k's follow-on counts if they fit the clips behind it.
  bool setFollowOns(int k, FollowOns f) {
    if (!hasClip(k) || f.intros < 0 || f.outros < 0 || int64_t(f.intros) + f.outros > validCount() - k - 1)
      return false;
    clips[k].intros = f.intros;
    clips[k].outros = f.outros;
    return true;
  }

 private:
  static int32_t clampTo(int32_t n, int32_t most) { return n < 0 ? 0 : (n > most ? most : n); }
};
static_assert(sizeof(Station) == 38968);
static_assert(offsetof(Station, label) == 16);
static_assert(offsetof(Station, clipCount) == 48);
static_assert(offsetof(Station, clips) == 52);
static_assert(offsetof(Station, listed) == 38964);

struct Catalogue {
  Station stations[kStationCount];
};
static_assert(sizeof(Catalogue) == 623488);

inline constexpr std::array<const char*, kStationCount> kPackNames = {
    "AA", "ADVERTS", "AMBIENCE", "BEATS", "CH", "CO", "CR", "CUTSCENE", "DS", "HC", "MH", "MR", "NJ", "RE", "RG", "TK"};

// Colour of each clip class, as 0xRRGGBB.
inline constexpr std::array<uint32_t, kClipClassCount> kClipClassColours = {0xFF8080, 0xC0C080, 0x8080C0, 0x8080FF,
                                                                            0x8080FF, 0x80C0C0, 0x80C0FF, 0xFF80C0};

inline uint32_t clipClassColour(ClipClass c) { return kClipClassColours[size_t(c)]; }

}  // namespace wc
