// The stored files' fields at their fixed byte offsets, checked against
// numbers worked out by hand rather than against the other half of the code:
// a writer and a reader that both swapped two fields would still round-trip.
#include <gtest/gtest.h>

#include <cstring>

#include "gamedata/CatalogueFile.h"
#include "playlist/PlaylistFile.h"
#include "support/ViewFixture.h"

namespace wc::test {
namespace {

uint32_t u32At(const std::vector<uint8_t>& bytes, size_t offset) {
  return uint32_t(bytes[offset]) | uint32_t(bytes[offset + 1]) << 8 | uint32_t(bytes[offset + 2]) << 16 |
         uint32_t(bytes[offset + 3]) << 24;
}

// Station 4 starts at 4 x 38968 = 155872; its clip 2 at 155872 + 52 + 2 x 152 = 156228.
constexpr size_t kStation4 = 155872;
constexpr size_t kClip2 = 156228;

struct CatalogueField {
  const char* name;
  size_t offset;  // in the 623488-byte image
  uint32_t value;
};

const CatalogueField kCatalogueFields[] = {
    {"station 4 clipCount", kStation4 + 48, 7},  {"clip 2 clipClass", kClip2 + 128, 5},
    {"clip 2 intros", kClip2 + 132, 2},          {"clip 2 outros", kClip2 + 136, 1},
    {"clip 2 offset", kClip2 + 140, 0x11223344}, {"clip 2 size", kClip2 + 144, 0x55667788},
};

TEST(FileImageOffsetsTest, CatalogueFieldsSitAtTheirOffsets) {
  auto catalogue = std::make_unique<Catalogue>();
  std::memset(catalogue.get(), 0, sizeof(Catalogue));
  Station& s = catalogue->stations[4];
  std::strcpy(s.name, "CH");
  std::strcpy(s.label, "Test FM");
  s.clipCount = 7;
  s.listed = 1;
  Clip& c = s.clips[2];
  std::strcpy(c.title, "Song");
  std::strcpy(c.artist, "Band");
  c.clipClass = 5;
  c.intros = 2;
  c.outros = 1;
  c.offset = 0x11223344;
  c.size = 0x55667788;

  const std::vector<uint8_t> image = serializeCatalogue(*catalogue);
  ASSERT_EQ(image.size(), 623488u);
  for (const auto& field : kCatalogueFields) EXPECT_EQ(u32At(image, field.offset), field.value) << field.name;
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&image[kStation4])), "CH");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&image[kStation4 + 16])), "Test FM");
  EXPECT_EQ(image[kStation4 + 38964], 1);  // listed
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&image[kClip2])), "Song");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&image[kClip2 + 64])), "Band");

  // The reader takes each field from the same offset of a hand-made image.
  std::vector<uint8_t> handMade(623488, 0);
  for (const auto& field : kCatalogueFields)
    for (int b = 0; b < 4; ++b) handMade[field.offset + size_t(b)] = uint8_t(field.value >> (8 * b));
  handMade[kStation4 + 38964] = 1;
  std::memcpy(&handMade[kClip2], "Song", 5);
  auto parsed = std::make_unique<Catalogue>();
  parseCatalogue(handMade, *parsed);
  const Clip& p = parsed->stations[4].clips[2];
  EXPECT_EQ(parsed->stations[4].clipCount, 7);
  EXPECT_EQ(parsed->stations[4].listed, 1);
  EXPECT_EQ(p.clipClass, 5);
  EXPECT_EQ(p.intros, 2);
  EXPECT_EQ(p.outros, 1);
  EXPECT_EQ(p.offset, 0x11223344u);
  EXPECT_EQ(p.size, 0x55667788u);
  EXPECT_STREQ(p.title, "Song");
}

TEST(FileImageOffsetsTest, PlaylistRecordsAreStationClipIntroOutro) {
  // count 2; (station 4, clip 8, intro 1, outro 0); (station 1, clip 2, intro 0, outro 0)
  const std::vector<uint8_t> expected = {2, 0, 0, 0,                                      //
                                         4, 0, 0, 0, 8, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0,  //
                                         1, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  const std::vector<PlaylistRecord> records = {{4, 8, 1, 0}, {1, 2, 0, 0}};
  EXPECT_EQ(encodePlaylistFile(records), expected);

  SessionFixture f;  // station 4 clip 8 is Song C with two intros; station 1 clip 2 an advert
  EXPECT_EQ(decodePlaylistFile(expected, f.catalogue()), records);
  // Intro and outro swapped in the file name an outro 1 that Song C lacks.
  std::vector<uint8_t> swapped = expected;
  std::swap(swapped[12], swapped[16]);
  EXPECT_EQ(decodePlaylistFile(swapped, f.catalogue()), (std::vector<PlaylistRecord>{{1, 2, 0, 0}}));
}

}  // namespace
}  // namespace wc::test
