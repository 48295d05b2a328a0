#pragma once
// The clip catalogue: 16 stations of up to 256 clips each. The in-memory
// records have exactly the layout of the catalogue file, but the file is
// always read and written field by field in little-endian order.
#include <array>
#include <cstddef>
#include <cstdint>

namespace wc {

inline constexpr int kStationCount = 16;
inline constexpr int kMaxClipsPerStation = 256;
inline constexpr int kAdvertsStation = 1;

// What a clip is; decides its row colour and which playlist tool may pick it.
namespace ClipClass {
inline constexpr int32_t Song = 0;
inline constexpr int32_t Commercial = 1;
inline constexpr int32_t Chatter = 2;  // picked with class 7
inline constexpr int32_t Other3 = 3;
inline constexpr int32_t Other4 = 4;
inline constexpr int32_t ChatterFive = 5;   // opens a mix, follows every third or fourth song
inline constexpr int32_t ChatterSix = 6;    // second clip of a mix
inline constexpr int32_t ChatterSeven = 7;  // picked with class 2
inline constexpr int32_t Count = 8;
}  // namespace ClipClass

struct Clip {
  char title[64];
  char artist[64];
  int32_t clipClass;
  int32_t intros;
  int32_t outros;
  uint32_t offset;  // where the clip's 8068-byte header starts in its pack
  uint32_t size;    // bytes of audio chunks after the header
  uint32_t reserved;
};
static_assert(sizeof(Clip) == 152);
static_assert(offsetof(Clip, clipClass) == 128);
static_assert(offsetof(Clip, intros) == 132);
static_assert(offsetof(Clip, outros) == 136);
static_assert(offsetof(Clip, offset) == 140);
static_assert(offsetof(Clip, size) == 144);
static_assert(offsetof(Clip, reserved) == 148);

struct Station {
  char name[16];   // pack name
  char label[32];  // shown in the banner and beside playlist tracks
  int32_t clipCount;
  Clip clips[kMaxClipsPerStation];
  uint8_t listed;  // 1 for radio stations
  uint8_t padding[3];
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
inline constexpr std::array<uint32_t, ClipClass::Count> kClipClassColours = {0xFF8080, 0xC0C080, 0x8080C0, 0x8080FF,
                                                                             0x8080FF, 0x80C0C0, 0x80C0FF, 0xFF80C0};

// ---- Guarded readers -------------------------------------------------------
// The catalogue file comes from outside; these never index past the records
// whatever its counts say.

// A station's clip count clamped to 0..256.
inline int validClipCount(const Station& s) {
  return s.clipCount < 0 ? 0 : (s.clipCount > kMaxClipsPerStation ? kMaxClipsPerStation : s.clipCount);
}

// The row colour of a class; out-of-range classes show as class 3/4 do.
inline uint32_t clipClassColour(int32_t clipClass) {
  return (clipClass >= 0 && clipClass < ClipClass::Count) ? kClipClassColours[size_t(clipClass)] : kClipClassColours[3];
}

// A count of follow-on clips (intros or outros) clamped to what exists.
inline int32_t clampCount(int32_t n) { return n < 0 ? 0 : (n > kMaxClipsPerStation ? kMaxClipsPerStation : n); }

// Index of the next top-level clip after clip k: k + 1 + intros + outros,
// computed without overflow and never below k + 1.
inline int nextTopLevelClip(const Clip& c, int k) { return k + 1 + clampCount(c.intros) + clampCount(c.outros); }

}  // namespace wc
