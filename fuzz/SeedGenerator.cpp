// Writes the fuzz targets' seed corpora, made from the tests' generated disc:
//   fuzz-seeds <directory>
// creates <directory>/<target>/<name> for the targets catalogue, playlist,
// clip_audio and wave_cue.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/LittleEndian.h"
#include "fuzz/FuzzSupport.h"
#include "gamedata/CatalogueBuilder.h"
#include "playlist/PlaylistFile.h"
#include "support/IsoImage.h"
#include "support/TestDisc.h"

namespace wc::fuzz {
namespace {

using Bytes = std::vector<uint8_t>;

class SeedWriter {
 public:
  explicit SeedWriter(Path directory) : directory_(std::move(directory)) {}
  void write(const std::string& target, const std::string& name, const Bytes& bytes) {
    const Path dir = directory_ / target;
    std::filesystem::create_directories(dir);
    std::ofstream out(dir / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out) {
      std::fprintf(stderr, "cannot write %s\n", (dir / name).c_str());
      std::exit(1);
    }
  }

 private:
  Path directory_;
};

void append(Bytes& to, std::span<const uint8_t> part) { to.insert(to.end(), part.begin(), part.end()); }
void appendU32(Bytes& to, uint32_t v) {
  uint8_t b[4];
  writeU32LE(b, v);
  to.insert(to.end(), b, b + 4);
}

Bytes catalogueInput(uint8_t control, const Bytes& table, const Bytes& catalogue, size_t catalogueBytes,
                     uint32_t claimedQuarters = 0) {
  Bytes in{control};
  appendU32(in, claimedQuarters);
  appendU32(in, uint32_t(table.size()));
  append(in, table);
  append(in, std::span(catalogue).first(std::min(catalogueBytes, catalogue.size())));
  return in;
}

void catalogueSeeds(SeedWriter& out, const Bytes& table, const Bytes& catalogue) {
  // The used part of the file: up to the music station's last clip.
  const size_t used = size_t(test::testdisc::kMusic) * sizeof(Station) + offsetof(Station, clips) +
                      size_t(test::testdisc::kMusicClipCount) * sizeof(Clip);
  out.write("catalogue", "annotated-full", catalogueInput(0, table, catalogue, catalogue.size()));
  out.write("catalogue", "annotated-used-part", catalogueInput(0x3e, table, catalogue, used));
  out.write("catalogue", "bare", catalogueInput(1, table, {}, 0));
  Bytes shifted = catalogue;  // clip 5 of the music station one byte off: the mismatch warning
  const size_t offsetField = size_t(test::testdisc::kMusic) * sizeof(Station) + offsetof(Station, clips) +
                             5 * sizeof(Clip) + offsetof(Clip, offset);
  writeU32LE(shifted.data() + offsetField, readU32LE(shifted.data() + offsetField) + 1);
  out.write("catalogue", "mismatch", catalogueInput(0, table, shifted, used));
  Bytes stretched = catalogue;  // intro and outro counts past the station's clips
  const size_t song = size_t(test::testdisc::kMusic) * sizeof(Station) + offsetof(Station, clips) + 8 * sizeof(Clip);
  writeU32LE(stretched.data() + song + offsetof(Clip, intros), 300);
  writeU32LE(stretched.data() + song + offsetof(Clip, outros), 0x7fffffff);
  writeU32LE(stretched.data() + song + offsetof(Clip, clipClass), 9);
  out.write("catalogue", "counts-out-of-range", catalogueInput(0x3c, table, stretched, used));
  // A table claiming 4 GiB, and one a byte past the cap.
  out.write("catalogue", "table-claims-4GiB", catalogueInput(0x40, table, catalogue, used, 1u << 30));
  out.write("catalogue", "table-claims-past-cap",
            catalogueInput(0x40, table, catalogue, used, uint32_t(kMaxConfigFileBytes / 4 + 1)));
}

void playlistSeeds(SeedWriter& out) {
  using test::testdisc::kAdverts;
  using test::testdisc::kMusic;
  const std::vector<PlaylistRecord> three = {{kMusic, 0, 1, 0}, {kMusic, 12, 0, 0}, {kMusic, 4, 0, 0}};
  out.write("playlist", "three-tracks", encodePlaylistFile(three));
  std::vector<PlaylistRecord> many;
  for (int i = 0; i < 120; ++i) many.push_back({i % 3 ? kMusic : kAdverts, (i * 4) % 16, i % 2, 0});
  out.write("playlist", "more-than-99", encodePlaylistFile(many));
  const std::vector<PlaylistRecord> odd = {{kMusic, 8, 1, 0}, {17, 0, 0, 0},      {kMusic, 16, 0, 0},
                                           {kMusic, 0, 2, 0}, {kMusic, 0, -1, 0}, {kAdverts, 2, 0, 0}};
  out.write("playlist", "invalid-records", encodePlaylistFile(odd));
  Bytes negative = encodePlaylistFile(three);
  writeU32LE(negative.data(), 0xFFFFFFFFu);
  out.write("playlist", "negative-count", negative);
  Bytes cut = encodePlaylistFile(three);
  cut.resize(cut.size() - 7);
  out.write("playlist", "truncated", cut);
}

Bytes clipInput(uint32_t claimed, uint32_t length, uint8_t control, std::span<const uint8_t> content) {
  Bytes in;
  appendU32(in, claimed);
  appendU32(in, length);
  in.push_back(control);
  append(in, content);
  return in;
}

void clipSeeds(SeedWriter& out, MemoryFileSystem& fs) {
  const Bytes& pack = *fs.find(kWorkDirectory / "CACHE" / "CH.PAK");
  const Bytes& table = *fs.find(kWorkDirectory / "CACHE" / "TRAKLKUP.DAT");
  for (const auto& r : parseLookupTable(table)) {
    if (r.station != uint32_t(test::testdisc::kMusic)) continue;
    const auto clip = std::span(pack).subspan(r.offset, ClipAudio::kHeaderSize + r.size);
    const uint32_t claimed = readU32LE(clip.data() + ClipAudio::kChannelLengthOffset);
    out.write("clip_audio", "real-clip", clipInput(claimed, uint32_t(clip.size()), 0x07, clip));
    out.write("clip_audio", "real-clip-song-only-44k", clipInput(claimed, uint32_t(clip.size()), 0x42, clip));
    out.write("clip_audio", "claims-more-than-it-holds",
              clipInput(0xFFFFFFF0u, uint32_t(clip.size()) - 70000, 0x0f, clip));
    break;
  }
  const uint8_t frame[16] = {0x1c, 0,    0x12, 0x34, 0x56, 0x78, 0x9a, 0xbc,
                             0xde, 0xf0, 0x0f, 0xed, 0xcb, 0xa9, 0x87, 0x65};
  out.write("clip_audio", "header-only", clipInput(0x1000, ClipAudio::kHeaderSize, 0x07, frame));
  // Song detection: claimed length, split byte, then the content repeated.
  for (const auto& [name, claimed, split] :
       {std::tuple{"frames-split-half", 0x4000u, uint8_t(128)},
        std::tuple{"claims-everything", 0xFFFFFFF0u, uint8_t(3)}, std::tuple{"claims-nothing", 0u, uint8_t(250)}}) {
    Bytes in;
    appendU32(in, claimed);
    in.push_back(split);
    in.insert(in.end(), frame, frame + 16);
    out.write("song_detection", name, in);
  }
  out.write("clip_audio", "shorter-than-header", clipInput(0x1000, 8019, 0x07, frame));
  out.write("clip_audio", "two-chunks-and-a-bit",
            clipInput(2 * 4096 * 16 + 160, uint32_t(ClipAudio::kHeaderSize + 2 * ClipAudio::kChunkSize + 69632 + 160),
                      0x1a, frame));
}

void waveCueSeeds(SeedWriter& out) {
  auto push = [](Bytes& in, uint32_t count, int16_t left, int16_t right, uint8_t gain) {
    in.push_back(0);
    appendU32(in, count);
    appendU32(in, uint16_t(left));
    appendU32(in, uint16_t(right));
    in.push_back(gain);
  };
  Bytes cd{1};
  appendU32(cd, 0);
  appendU32(cd, 0);
  cd.push_back(3);
  appendU32(cd, 1);
  push(cd, 100, 12000, -32768, 0);
  cd.push_back(1);
  cd.push_back(3);
  appendU32(cd, 2);
  push(cd, 4000, 32767, 32767, 255);
  cd.push_back(1);
  cd.push_back(2);
  appendU32(cd, 0x7fffffff);
  appendU32(cd, 0xffffffff);
  out.write("wave_cue", "cd-two-tracks", cd);

  Bytes wave{0};
  appendU32(wave, 0);
  appendU32(wave, 0);
  push(wave, 321, -100, 100, 0);
  wave.push_back(1);
  wave.push_back(4);
  appendU32(wave, 0x12345678);
  wave.push_back(0x9a);
  out.write("wave_cue", "wave-one-sector-and-a-frame", wave);

  Bytes full{1};
  appendU32(full, 4 * 600);  // a size limit inside the first sector
  appendU32(full, 5000);     // and a disk that fills up
  push(full, 3000, 1, -1, 0);
  out.write("wave_cue", "limits", full);
}

}  // namespace
}  // namespace wc::fuzz

namespace wc::fuzz {
namespace {

// Small images of a disc holding the start of the test disc's lookup table
// and music pack, with plain ISO 9660 names and with Rock Ridge and Joliet.
void discImageSeeds(SeedWriter& out, MemoryFileSystem& fs) {
  test::ScopedTempDir dir;
  const Bytes& table = *fs.find(kWorkDirectory / "CACHE" / "TRAKLKUP.DAT");
  const Bytes& pack = *fs.find(kWorkDirectory / "CACHE" / "CH.PAK");
  test::writeBytes(dir.path() / "TRAKLKUP.DAT", std::span(table).first(std::min<size_t>(table.size(), 36)));
  test::writeBytes(dir.path() / "CH.PAK", std::span(pack).first(std::min<size_t>(pack.size(), 16384)));
  const std::vector<test::IsoGraft> grafts{{"/AUDIO/CONFIG/TRAKLKUP.DAT", dir.path() / "TRAKLKUP.DAT"},
                                           {"/AUDIO/STREAMS/CH.PAK", dir.path() / "CH.PAK"}};
  for (auto [names, seed] :
       {std::pair{test::IsoNames::Plain, "plain"}, std::pair{test::IsoNames::RockRidgeJoliet, "rock-ridge-joliet"}}) {
    const Path image = dir.path() / (std::string(seed) + ".iso");
    test::makeIsoImage(image, grafts, names);
    out.write("disc_image", seed, test::readBytes(image));
  }
}

void exportTextSeeds(SeedWriter& out) {
  auto input = [](const std::string& album, const std::string& oldM3u, const std::vector<std::string>& texts) {
    Bytes in{0};
    appendU32(in, uint32_t(album.size()));
    append(in, Bytes(album.begin(), album.end()));
    appendU32(in, uint32_t(oldM3u.size()));
    append(in, Bytes(oldM3u.begin(), oldM3u.end()));
    for (const std::string& text : texts) {
      in.push_back(0);
      for (const size_t width : {size_t(64), size_t(64), size_t(32)}) {
        Bytes field(width, 0);
        std::memcpy(field.data(), text.data(), std::min(width - 1, text.size()));
        append(in, field);
      }
    }
    return in;
  };
  out.write("export_text", "plain", input("Mix", "", {"Song", "Other Song"}));
  out.write("export_text", "line-breaks",
            input("a\nb", "#EXTM3U\n01 - A.flac\n../x.flac\nnotes.txt\n04 - D.opus\n",
                  {"a\nhttp://example.invalid/", "\x1b[2J\x9b", "x\r#EXTINF:1,y"}));
}

}  // namespace
}  // namespace wc::fuzz

int main(int argc, char** argv) {
  using namespace wc::fuzz;
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <seed directory>\n", argv[0]);
    return 2;
  }
  MemoryFileSystem fs;
  writeTestDisc(fs);
  SeedWriter out{wc::Path(argv[1])};
  catalogueSeeds(out, *fs.find(kWorkDirectory / "CACHE" / "TRAKLKUP.DAT"),
                 *fs.find(kWorkDirectory / wc::kCatalogueFileName));
  playlistSeeds(out);
  clipSeeds(out, fs);
  waveCueSeeds(out);
  discImageSeeds(out, fs);
  exportTextSeeds(out);
  return 0;
}
