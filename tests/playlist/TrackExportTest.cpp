// Export for music players: the per-track files checked against the CD image
// and read back by the codecs' own tools and TagLib.
#include <gtest/gtest.h>

#include <taglib/attachedpictureframe.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/tpropertymap.h>
#include <taglib/wavfile.h>

#include <array>
#include <cmath>
#include <cstring>
#include <fstream>
#include <thread>

#include "audio/encode/PngInfo.h"
#include "audio/encode/TrackEncoders.h"
#include "base/LittleEndian.h"
#include "playlist/Exporter.h"
#include "playlist/OfflineRenderer.h"
#include "playlist/TrackExporter.h"
#include "support/CliRun.h"
#include "support/DiscFixture.h"
#include "support/FaultyFileSystem.h"
#include "support/SyntheticPlaylist.h"

namespace wc::test {
namespace {

// Standard output of a shell command; nullopt when it fails.
std::optional<std::string> output(const std::string& command) {
  CliResult result = runShell(command);
  if (result.status != 0) return std::nullopt;
  return std::move(result.output);
}

bool haveTool(const char* name) {
  return std::system((std::string("command -v ") + name + " >/dev/null").c_str()) == 0;
}

std::vector<int16_t> samplesOf(const std::string& bytes) {
  std::vector<int16_t> s(bytes.size() / 2);
  std::memcpy(s.data(), bytes.data(), s.size() * 2);
  return s;
}

// The data chunk of a RIFF/WAVE file, wherever TagLib put its other chunks.
std::string waveData(const std::string& file) {
  size_t at = 12;
  while (at + 8 <= file.size()) {
    const uint32_t size = readU32LE(reinterpret_cast<const uint8_t*>(file.data()) + at + 4);
    if (file.compare(at, 4, "data") == 0) return file.substr(at + 8, size);
    at += 8 + size + (size & 1);
  }
  return "";
}

// A mix of songs and short speech: tracks 2 and 4 are shorter than a CD
// track may be.
struct Mix : SyntheticPlaylist {
  Mix() {
    add("First Song", "Band One", ClipClass::Song, 6.0, 1);
    add("Chatter", "", ClipClass::Chatter, 2.25, 2);
    add("AC/DC: Live?", "Band Two", ClipClass::Song, 5.0, 3);
    add("Station ID", "", ClipClass::Chatter, 1.0, 4);
    add("Last Song", "", ClipClass::Song, 4.5, 5);  // artist unknown
  }
};

class TrackExportTest : public ::testing::Test {
 protected:
  Mix mix;
  ScopedTempDir dir;
  // A PNG's signature and header (600 x 600, 8-bit RGB) with the rest cut off:
  // the tagger reads what the picture block states from it.
  const std::vector<uint8_t> cover = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0,    0, 0, 13, 'I', 'H', 'D',
                                      'R',  0,   0,   2,   0x58, 0,    0,    2,    0x58, 8, 2, 0,  0,   0,   9};

  // The CD image's data bytes for the same playlist.
  std::string cdImageData() {
    const OfflineRenderer renderer;
    ExportObserver observer;
    const Path wave = dir.path() / "image.wav";
    EXPECT_EQ(exportPlaylist(realFileSystem(), mix.playlist, wave.string(), true, renderer, observer),
              ExportError::None);
    const std::string file = readText(wave);
    std::filesystem::remove(wave);
    std::filesystem::remove(dir.path() / "image.cue");
    return file.substr(44);
  }

  TrackExportPlan plan(TrackFormat format) {
    return planTrackExport(mix.playlist, *mix.catalogue, "Test Album", format);
  }

  TrackExportResult run(TrackFormat format, int quality, FileSystem& fs, TrackExportObserver& observer, int threads = 0,
                        const TrackEncoder* encoderOverride = nullptr) {
    const auto encoder = makeTrackEncoder(format, quality);
    TrackExportOptions options;
    options.encoder = encoderOverride ? encoderOverride : encoder.get();
    options.coverPng = cover;
    options.threads = threads;
    return exportTracks(fs, mix.playlist, plan(format), dir.path(), options, observer);
  }
  TrackExportResult run(TrackFormat format, int quality = 0) {
    TrackExportObserver observer;
    return run(format, quality, realFileSystem(), observer);
  }

  std::vector<std::string> listing() {
    std::vector<std::string> names = realFileSystem().listDirectory(dir.path());
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST_F(TrackExportTest, LosslessTracksHoldExactlyTheCdImageSamples) {
  const std::string image = cdImageData();
  for (const TrackFormat format : {TrackFormat::Flac, TrackFormat::Wave}) {
    SCOPED_TRACE(std::string(trackFormatName(format)));
    if (format == TrackFormat::Flac && !haveTool("flac")) GTEST_SKIP() << "flac is not installed";
    // One thread and many: the files do not depend on the encoding order.
    for (const int threads : {1, 4}) {
      TrackExportObserver observer;
      ASSERT_EQ(run(format, 5, realFileSystem(), observer, threads).error, TrackExportError::None);
      std::string joined;
      int64_t offset = 0;
      for (const PlannedTrack& t : plan(format).tracks) {
        const Path file = dir.path() / t.fileName;
        const std::string pcm =
            format == TrackFormat::Wave
                ? waveData(readText(file))
                : output("flac -d -s -c --force-raw-format --endian=little --sign=signed '" + file.string() + "'")
                      .value_or("");
        EXPECT_EQ(int64_t(pcm.size()), t.frames * 4) << t.fileName;
        EXPECT_EQ(t.firstFrame * 4, offset) << t.fileName;
        EXPECT_TRUE(pcm == image.substr(size_t(offset), pcm.size())) << t.fileName << " differs from the image";
        joined += pcm;
        offset += int64_t(pcm.size());
      }
      EXPECT_TRUE(joined == image) << "the tracks in order are not the CD image";
      // Every track starts on a CD sector.
      for (const PlannedTrack& t : plan(format).tracks) EXPECT_EQ(t.firstFrame % 588, 0);
    }
  }
}

// Decoded length and fidelity: a decoder that trims the encoder delay by
// the gapless metadata lines the audio up with the original; an untrimmed
// delay of even a millisecond ruins the signal-to-noise ratio.
TEST_F(TrackExportTest, LossyTracksDecodeGaplessToTheirLength) {
  if (!haveTool("ffmpeg")) GTEST_SKIP() << "ffmpeg is not installed";
  const std::string image = cdImageData();
  struct Case {
    TrackFormat format;
    int quality;
    int64_t toleranceFrames;  // the decoders' documented trimming accuracy
    double minSnrDb;
  };
  // Opus is decoded at 48 kHz and resampled, which may round the length by
  // a frame or two; LAME's delay and padding fields are exact.
  for (const Case c : {Case{TrackFormat::Opus, 160, 2, 12.0}, Case{TrackFormat::Mp3, 2, 0, 12.0}}) {
    SCOPED_TRACE(std::string(trackFormatName(c.format)));
    ASSERT_EQ(run(c.format, c.quality).error, TrackExportError::None);
    for (const PlannedTrack& t : plan(c.format).tracks) {
      const Path file = dir.path() / t.fileName;
      const auto pcm = output("ffmpeg -v fatal -i '" + file.string() + "' -vn -f s16le -ac 2 -ar 44100 -");
      ASSERT_TRUE(pcm) << t.fileName;
      const int64_t frames = int64_t(pcm->size() / 4);
      EXPECT_NEAR(double(frames), double(t.frames), double(c.toleranceFrames)) << t.fileName;
      const std::vector<int16_t> decoded = samplesOf(*pcm);
      const std::vector<int16_t> original = samplesOf(image.substr(size_t(t.firstFrame * 4), size_t(t.frames * 4)));
      double signal = 0, noise = 0;
      for (size_t i = 0; i < std::min(decoded.size(), original.size()); ++i) {
        signal += double(original[i]) * original[i];
        noise += double(original[i] - decoded[i]) * (original[i] - decoded[i]);
      }
      EXPECT_GT(10 * std::log10(signal / std::max(noise, 1.0)), c.minSnrDb) << t.fileName;
    }
  }
}

TEST_F(TrackExportTest, TagsAndCoverReadBack) {
  for (const TrackFormat format : {TrackFormat::Flac, TrackFormat::Opus, TrackFormat::Mp3, TrackFormat::Wave}) {
    SCOPED_TRACE(std::string(trackFormatName(format)));
    const auto range = trackFormatQuality(format);
    ASSERT_EQ(run(format, range ? range->standard : 0).error, TrackExportError::None);
    const auto tracks = plan(format).tracks;
    const char* artists[] = {"Band One", SyntheticPlaylist::kLabel, "Band Two", SyntheticPlaylist::kLabel, ""};
    for (size_t i = 0; i < tracks.size(); ++i) {
      const Path file = dir.path() / tracks[i].fileName;
      TagLib::FileRef ref(file.c_str());
      ASSERT_FALSE(ref.isNull()) << file;
      EXPECT_EQ(ref.tag()->title().to8Bit(true), mix.catalogue->stations[4].clips[i].title);
      EXPECT_EQ(ref.tag()->artist().to8Bit(true), artists[i]);
      EXPECT_EQ(ref.tag()->album().to8Bit(true), "Test Album");
      EXPECT_EQ(ref.tag()->genre().to8Bit(true), "Radio");
      EXPECT_EQ(ref.tag()->track(), i + 1);
      EXPECT_EQ(ref.tag()->year(), 0u);
      if (auto* wave = dynamic_cast<TagLib::RIFF::WAV::File*>(ref.file())) {
        EXPECT_EQ(wave->InfoTag()->title().to8Bit(true), mix.catalogue->stations[4].clips[i].title);
        EXPECT_EQ(wave->InfoTag()->artist().to8Bit(true), artists[i]);
        EXPECT_EQ(wave->InfoTag()->album().to8Bit(true), "Test Album");
      }
      const TagLib::PropertyMap p = ref.file()->properties();
      EXPECT_EQ(p["ALBUMARTIST"].toString().to8Bit(true), "Various Artists");
      const std::string number = p["TRACKNUMBER"].toString().to8Bit(true);
      if (format == TrackFormat::Mp3 || format == TrackFormat::Wave) {
        EXPECT_EQ(number, std::to_string(i + 1) + "/5");
      } else {
        EXPECT_EQ(p["TRACKTOTAL"].toString().to8Bit(true), "5");
      }
      TagLib::ByteVector picture;
      TagLib::FLAC::Picture* block = nullptr;
      if (auto* flac = dynamic_cast<TagLib::FLAC::File*>(ref.file()); flac && !flac->pictureList().isEmpty())
        block = flac->pictureList().front();
      if (auto* opus = dynamic_cast<TagLib::Ogg::Opus::File*>(ref.file());
          opus && !opus->tag()->pictureList().isEmpty())
        block = opus->tag()->pictureList().front();
      if (block) {
        picture = block->data();
        EXPECT_EQ(std::vector<int>({block->width(), block->height(), block->colorDepth(), block->numColors()}),
                  std::vector<int>({600, 600, 24, 0}));
      }
      TagLib::ID3v2::Tag* id3 = nullptr;
      if (auto* mp3 = dynamic_cast<TagLib::MPEG::File*>(ref.file())) id3 = mp3->ID3v2Tag();
      if (auto* wave = dynamic_cast<TagLib::RIFF::WAV::File*>(ref.file())) id3 = wave->ID3v2Tag();
      if (id3) {
        EXPECT_EQ(id3->header()->majorVersion(), 4u);
        const auto frames = id3->frameListMap()["APIC"];
        if (!frames.isEmpty()) picture = static_cast<TagLib::ID3v2::AttachedPictureFrame*>(frames.front())->picture();
      }
      EXPECT_EQ(std::vector<uint8_t>(picture.begin(), picture.end()), cover);
    }
  }
}

TEST_F(TrackExportTest, NamesAndPlaylistFollowTheTrackOrder) {
  ASSERT_EQ(run(TrackFormat::Wave).error, TrackExportError::None);
  EXPECT_EQ(listing(), (std::vector<std::string>{"01 - First Song.wav", "02 - Chatter.wav", "03 - AC_DC_ Live_.wav",
                                                 "04 - Station ID.wav", "05 - Last Song.wav", "Test Album.m3u8"}));
  const std::string m3u = readText(dir.path() / "Test Album.m3u8");
  EXPECT_EQ(m3u,
            "#EXTM3U\n"
            "#EXTINF:6,Band One - First Song\n01 - First Song.wav\n"
            "#EXTINF:2,Test FM - Chatter\n02 - Chatter.wav\n"
            "#EXTINF:5,Band Two - AC/DC: Live?\n03 - AC_DC_ Live_.wav\n"
            "#EXTINF:1,Test FM - Station ID\n04 - Station ID.wav\n"
            "#EXTINF:5,Last Song\n05 - Last Song.wav\n");
}

// What a cover's picture block states, read from PNG headers of each colour
// type; a palette may follow other chunks.
TEST(CoverPictureInfo, SizeAndDepthComeFromTheHeader) {
  auto png = [](uint8_t bitDepth, uint8_t colourType, const std::vector<uint8_t>& chunks = {}) {
    std::vector<uint8_t> b = {0x89, 'P', 'N',      'G',        '\r', '\n', 0x1a, '\n', 0,    0, 0,
                              13,   'I', 'H',      'D',        'R',  0,    0,    1,    0x2c, 0, 0,
                              0,    200, bitDepth, colourType, 0,    0,    0,    1,    2,    3, 4};
    for (const uint8_t byte : chunks) b.push_back(byte);
    return b;
  };
  const std::vector<uint8_t> gammaThenPalette = {0, 0, 0, 4, 'g', 'A', 'M', 'A', 0,   1,   0x86, 0xa0,
                                                 9, 9, 9, 9, 0,   0,   0,   15,  'P', 'L', 'T',  'E'};
  std::vector<uint8_t> cutHeader = png(8, 2);
  cutHeader.resize(20);
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    std::optional<std::array<int, 4>> info;  // width, height, bits per pixel, palette colours
  };
  const Case cases[] = {
      {"RGB", png(8, 2), std::array{300, 200, 24, 0}},
      {"RGBA", png(8, 6), std::array{300, 200, 32, 0}},
      {"16-bit grey", png(16, 0), std::array{300, 200, 16, 0}},
      {"grey and alpha", png(8, 4), std::array{300, 200, 16, 0}},
      {"palette", png(4, 3, gammaThenPalette), std::array{300, 200, 4, 5}},
      {"unknown colour type", png(8, 5), std::nullopt},
      {"cut in the header", cutHeader, std::nullopt},
      {"JPEG",
       {0xff, 0xd8, 0xff, 0xe0, 0, 16, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
       std::nullopt},
  };
  for (const Case& c : cases) {
    const auto info = readPngInfo(c.bytes);
    ASSERT_EQ(info.has_value(), c.info.has_value()) << c.name;
    if (info) {
      EXPECT_EQ((std::array{info->width, info->height, info->bitsPerPixel, info->paletteColours}), *c.info) << c.name;
    }
  }
}

TEST(TrackFileNames, TroublesomeCharactersAreReplaced) {
  const std::pair<std::string, std::string> cases[] = {
      {"Plain Title", "Plain Title"}, {"a/b\\c", "a_b_c"}, {"What? *Now*", "What_ _Now_"}, {"<x>|\"y\":z", "_x___y__z"},
      {"tab\there", "tab_here"},      {"...", "_"},        {" .hidden. ", "hidden"},       {"", "_"},
      {"Caf\xc3\xa9", "Caf\xc3\xa9"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(safeFileName(in), out) << in;
}

// Cancel and a full disk: nothing of the export stays, and a file the
// export would have replaced keeps its content.
TEST_F(TrackExportTest, FailuresLeaveNoFileOfTheExport) {
  struct StopAt final : TrackExportObserver {
    int calls = 0;
    int stopAt = 0;
    bool progress(const TrackExportProgress&) override { return ++calls < stopAt; }
  };
  const std::string existing = "01 - First Song.flac";
  std::ofstream(dir.path() / existing) << "keep me";
  std::ofstream(dir.path() / "unrelated.txt") << "mine";
  const auto before = listing();

  // Slow enough that the export reports a few times while tracks are being
  // encoded and some are already written.
  struct SlowEncoder final : TrackEncoder {
    std::unique_ptr<TrackEncoder> real = makeTrackEncoder(TrackFormat::Flac, 5);
    TrackFormat format() const override { return TrackFormat::Flac; }
    std::optional<std::vector<uint8_t>> encode(std::span<const int16_t> frames, const TrackTags& tags,
                                               const std::atomic<bool>& stop) const override {
      std::this_thread::sleep_for(std::chrono::milliseconds(120));
      return real->encode(frames, tags, stop);
    }
  } slow;
  for (const int stopAt : {1, 2, 4}) {
    StopAt observer;
    observer.stopAt = stopAt;
    EXPECT_EQ(run(TrackFormat::Flac, 5, realFileSystem(), observer, 1, &slow).error, TrackExportError::Cancelled);
    EXPECT_EQ(observer.calls, stopAt);
    EXPECT_EQ(listing(), before) << "cancelled at report " << stopAt;
  }
  for (const uint64_t room : {uint64_t(0), uint64_t(20000), uint64_t(900000)}) {
    FaultyFileSystem full;
    full.failWritesAfter(room);
    TrackExportObserver observer;
    const TrackExportResult result = run(TrackFormat::Flac, 5, full, observer);
    EXPECT_EQ(result.error, TrackExportError::WriteFailed) << room;
    EXPECT_FALSE(result.fileName.empty());
    EXPECT_NE(trackExportMessage(result).find(result.fileName), std::string::npos);
    EXPECT_EQ(listing(), before) << "with " << room << " bytes of room";
  }
  EXPECT_TRUE(readText(dir.path() / existing) == "keep me") << "the existing file was touched";
  // The export that finally runs replaces the file and reports it beforehand.
  EXPECT_EQ(existingExportFiles(realFileSystem(), dir.path(), plan(TrackFormat::Flac)),
            std::vector<std::string>{existing});
  EXPECT_EQ(run(TrackFormat::Flac, 5).error, TrackExportError::None);
  EXPECT_FALSE(readText(dir.path() / existing) == "keep me");
}

// Re-exporting an album into its folder: the tracks of the earlier export
// that are not written again are offered for removal, as its M3U8 lists
// them; nothing else in the folder ever is, and they go only once the new
// export succeeded.
TEST_F(TrackExportTest, StaleTracksOfAnEarlierExportAreOfferedAndRemovedOnlyAfterSuccess) {
  ASSERT_EQ(run(TrackFormat::Wave).error, TrackExportError::None);
  // Entries a hand-edited or hostile M3U8 may hold besides our tracks.
  const std::string extra = "../outside.wav\nsub/05 - Inner.wav\nnotes.txt\n06 - Gone.wav\n.07 - Hidden.wav\n";
  {
    std::ofstream m3u(dir.path() / "Test Album.m3u8", std::ios::app);
    m3u << extra;
  }
  std::ofstream(dir.path() / "notes.txt") << "mine";
  std::ofstream(dir.path() / ".07 - Hidden.wav") << "mine";

  SyntheticPlaylist shorter;
  shorter.add("First Song", "Band One", ClipClass::Song, 6.0, 1);
  shorter.add("Chatter", "", ClipClass::Chatter, 2.25, 2);
  shorter.add("New Song", "Band Four", ClipClass::Song, 3.0, 6);
  const TrackExportPlan plan = planTrackExport(shorter.playlist, *shorter.catalogue, "Test Album", TrackFormat::Wave);
  const std::vector<std::string> stale = {"03 - AC_DC_ Live_.wav", "04 - Station ID.wav", "05 - Last Song.wav"};
  EXPECT_EQ(staleAlbumFiles(realFileSystem(), dir.path(), plan), stale);

  const auto encoder = makeTrackEncoder(TrackFormat::Wave, 0);
  TrackExportOptions options;
  options.encoder = encoder.get();
  options.removeAfterwards = stale;
  struct Cancel final : TrackExportObserver {
    bool progress(const TrackExportProgress&) override { return false; }
  } cancel;
  EXPECT_EQ(exportTracks(realFileSystem(), shorter.playlist, plan, dir.path(), options, cancel).error,
            TrackExportError::Cancelled);
  for (const auto& name : stale) EXPECT_TRUE(std::filesystem::exists(dir.path() / name)) << name;

  TrackExportObserver observer;
  EXPECT_EQ(exportTracks(realFileSystem(), shorter.playlist, plan, dir.path(), options, observer).error,
            TrackExportError::None);
  EXPECT_EQ(listing(), (std::vector<std::string>{".07 - Hidden.wav", "01 - First Song.wav", "02 - Chatter.wav",
                                                 "03 - New Song.wav", "Test Album.m3u8", "notes.txt"}));
  EXPECT_TRUE(staleAlbumFiles(realFileSystem(), dir.path(), plan).empty());
}

// A track without audio (a clip with no frames, or one shorter than a CD
// sector) is named and refused before any file is made, in every format and
// wherever it lies; no encoder is ever handed an empty stream.
TEST(TrackExportEmptyTracks, AreNamedAndRefusedBeforeAnyFile) {
  const struct {
    const char* name;
    double emptyAt;  // seconds of the odd track
    bool last;
  } cases[] = {
      {"no frames, last", 0.0, true}, {"no frames, between songs", 0.0, false}, {"under a sector", 0.001, true}};
  for (const auto& c : cases) {
    for (const TrackFormat format : {TrackFormat::Flac, TrackFormat::Opus, TrackFormat::Mp3, TrackFormat::Wave}) {
      SCOPED_TRACE(std::string(c.name) + ", " + std::string(trackFormatName(format)));
      SyntheticPlaylist list;
      list.add("Song", "Band", ClipClass::Song, 2.0, 1);
      if (!c.last) list.add("Nothing", "", ClipClass::Chatter, c.emptyAt, 2);
      list.add("Song Two", "Band", ClipClass::Song, 1.5, 3);
      if (c.last) list.add("Nothing", "", ClipClass::Chatter, c.emptyAt, 2);
      ScopedTempDir dir;
      const auto encoder =
          makeTrackEncoder(format, trackFormatQuality(format) ? trackFormatQuality(format)->standard : 0);
      TrackExportOptions options;
      options.encoder = encoder.get();
      TrackExportObserver observer;
      const TrackExportPlan plan = planTrackExport(list.playlist, *list.catalogue, "Album", format);
      const TrackExportResult result =
          exportTracks(realFileSystem(), list.playlist, plan, dir.path(), options, observer);
      EXPECT_EQ(result.error, TrackExportError::EmptyTrack);
      EXPECT_EQ(result.fileName,
                std::string(c.last ? "03" : "02") + " - Nothing." + std::string(trackFormatName(format)));
      EXPECT_NE(trackExportMessage(result).find(result.fileName), std::string::npos);
      EXPECT_TRUE(realFileSystem().listDirectory(dir.path()).empty());
      const std::atomic<bool> stop{false};
      EXPECT_FALSE(encoder->encode({}, TrackTags{}, stop) && format == TrackFormat::Opus);
    }
  }
}

}  // namespace
}  // namespace wc::test
