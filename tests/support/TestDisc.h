#pragma once
// Small synthetic discs and caches for tests, each in a fresh temporary
// directory that is removed with the TestDisc.
//
// The default layout (defaultTestDiscPlan):
//   Station 1, ADVERTS (listed): clips 0, 1, 2, class 1, titled "Advert 1".."Advert 3";
//     each a sine of 300, 400, 500 Hz.
//   Station 4, CH (listed, label "Test FM"), 16 clips:
//     0  song "Song A" by "Artist A", class 0, 2 intros, 1 outro
//     1  intro "Intro A"        2  intro "" (no speech)     3  outro "Outro A"
//     4  song "Song B" by "Artist B", class 0, 2 intros, 1 outro
//     5  intro "Intro B"        6  intro ""                 7  outro "Outro B"
//     8  song "Song C" by "Artist C", class 0, 2 intros, 1 outro
//     9  intro "Intro C"       10  intro ""                11  outro "Outro C"
//    12  "Chatter 2", class 2   13  "Chatter 5", class 5
//    14  "Chatter 6", class 6   15  "Chatter 7", class 7
//   Every other station has no clips and is unlisted; the disc layout still
//   has an (empty) pack for each of them, the cache layout has none.
// Every clip is shorter than one chunk (its size is 135168) and has its own
// frame count, testDiscFrames(station, clip), so a test can tell clips apart
// by their length: songs 400 + 10k frames, other CH clips 100 + 10k, adverts
// 500 + 10k (k = clip index).
#include <memory>
#include <vector>

#include "support/DiscFixture.h"  // ScopedTempDir
#include "testkit/discgen/DiscBuilder.h"

namespace wc::test {

namespace testdisc {
inline constexpr int kAdverts = 1;
inline constexpr int kMusic = 4;
inline constexpr int kSongs[3] = {0, 4, 8};
inline constexpr int kChatter2 = 12;
inline constexpr int kChatter5 = 13;
inline constexpr int kChatter6 = 14;
inline constexpr int kChatter7 = 15;
inline constexpr int kMusicClipCount = 16;
inline constexpr int kAdvertCount = 3;
}  // namespace testdisc

DiscPlan defaultTestDiscPlan();

// Frames per channel of a clip of the default layout (0 for clips it lacks).
uint32_t testDiscFrames(int station, int clip);

class TestDisc {
 public:
  // Writes `plan` in the cache layout: <directory>/CACHE/..., plus
  // <directory>/WavecrateInfo.dat unless the options say otherwise.
  static TestDisc cache(const DiscPlan& plan = defaultTestDiscPlan(), DiscWriteOptions options = {});
  // Writes `plan` in the disc layout: <directory>/AUDIO/... (or audio/... with
  // options.isoNames), plus <directory>/WavecrateInfo.dat.
  static TestDisc disc(const DiscPlan& plan = defaultTestDiscPlan(), DiscWriteOptions options = {});

  TestDisc(TestDisc&&) noexcept = default;
  TestDisc& operator=(TestDisc&&) noexcept = default;
  ~TestDisc();

  // The temporary directory: the working directory of a cache, the mount
  // point of a disc.
  const Path& directory() const { return directory_->path(); }
  const Path& audioRoot() const { return written_.paths.audioRoot; }  // AUDIO or CACHE
  const Path& lookupTable() const { return written_.paths.lookupTable; }
  const Path& pack(int station) const { return written_.paths.packs[size_t(station)]; }
  const Path& catalogueFile() const { return written_.paths.catalogueFile; }
  const Catalogue& catalogue() const { return *written_.catalogue; }
  const std::vector<LookupRecord>& records() const { return written_.records; }
  const WrittenDisc& written() const { return written_; }

 private:
  TestDisc(std::unique_ptr<ScopedTempDir> directory, WrittenDisc written);
  static TestDisc make(const DiscPlan& plan, DiscWriteOptions options);

  std::unique_ptr<ScopedTempDir> directory_;  // removed last, after everything in it is closed
  WrittenDisc written_;
};

}  // namespace wc::test
