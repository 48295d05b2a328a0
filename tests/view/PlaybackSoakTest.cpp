// A soak of live playback: a 99-track playlist played from its first track to
// its end on the fake sound device, the clock advanced most of a second per
// tick, while tracks are moved, removed, previewed and given other intros at
// random (seeded) moments. Every position report is checked as it arrives:
// the voice's track is always in the playlist or the live preview, positions
// never go backwards within a track, and a track that ends hands over to its
// successor in the playlist as it is at that moment. Reading freed audio is
// left to AddressSanitizer in the sanitizer pass.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <random>
#include <vector>

#include "base/LittleEndian.h"
#include "playlist/Voice.h"
#include "support/ViewFixture.h"

namespace wc::test {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// About an hour of audio per run in a normal build; the sanitizers decode
// many times slower, so they get a sixth of it.
constexpr int kMinSongSeconds = kSanitized ? 4 : 20;
constexpr int kMaxSongSeconds = kSanitized ? 8 : 50;
constexpr uint32_t kLargeStep = 88000;  // bytes the device plays per tick: 0.92 s
// Chance in percent of an edit after a tick: some 60 edits a run either way.
constexpr int kEditPercent = kSanitized ? 10 : 2;
constexpr int kEntryX = StudioView::kPlaylistLeft;

// A song of `seconds` whose every frame decodes to a small, changing signal.
std::unique_ptr<ClipAudio> longSong(int seconds) {
  const uint32_t frames = uint32_t(seconds) * 24000 / 28;
  const uint32_t chunks = (frames + ClipAudio::kFramesPerChunk - 1) / ClipAudio::kFramesPerChunk;
  std::vector<uint8_t> bytes(ClipAudio::kHeaderSize + size_t(chunks) * ClipAudio::kChunkSize, 0x11);
  writeU32LE(bytes.data() + ClipAudio::kChannelLengthOffset, frames * uint32_t(ClipAudio::kFrameSize));
  return std::make_unique<ClipAudio>(std::move(bytes));
}

class PlaybackSoak {
 public:
  explicit PlaybackSoak(uint32_t seed) : random_(seed) {}

  void build() {
    const int clips[] = {testdisc::kSongs[0], testdisc::kSongs[1], testdisc::kSongs[2], testdisc::kChatter2,
                         testdisc::kChatter5};
    std::uniform_int_distribution<int> seconds(kMinSongSeconds, kMaxSongSeconds);
    for (int i = 0; i < kMaxCdTracks; ++i) {
      Track* t = f.addTrack(clips[i % 5]);
      t->songAudio = longSong(seconds(random_));
      ids_[t] = i;
    }
    ASSERT_EQ(f.session->playlist().trackCount(), kMaxCdTracks);
    Transport& transport = f.session->transport();
    transport.voice().callback = [this, &transport](Track* track, int32_t position) {
      check(track, position);
      transport.report(track, position);
    };
  }

  ~PlaybackSoak() {
    if (Voice* voice = f.session->transport().existingVoice()) voice->callback = f.session->transport().reporter();
  }

  // Plays the playlist through, with edits at random moments, until the
  // voice goes idle after the last track.
  void run() {
    start(f.session->playlist().first());
    std::uniform_int_distribution<int> percent(0, 99);
    std::uniform_int_distribution<uint32_t> smallStep(1, 2000);
    const int maxTicks = 20 * kMaxCdTracks * kMaxSongSeconds;
    int ticks = 0;
    for (; ticks < maxTicks && !finished_; ++ticks) {
      f.tick(percent(random_) < 5 ? smallStep(random_) * 4 : kLargeStep);
      ASSERT_FALSE(::testing::Test::HasFailure());
      if (previewTicksLeft_ > 0 && --previewTicksLeft_ == 0) resumeAfterPreview();
      if (!f.session->transport().existingVoice()->track() && previewTicksLeft_ == 0) {
        // Idle: after the last track, or a preview that ended by itself.
        if (resume_) {
          resumeAfterPreview();
        } else {
          finished_ = true;
        }
        continue;
      }
      if (percent(random_) < kEditPercent) randomEdit();
    }
    ASSERT_TRUE(finished_) << "still playing after " << ticks << " ticks";
  }

  std::vector<int> visitedStillListed() const {
    std::vector<int> order;
    for (int id : visits_)
      if (removed_.count(id) == 0 && (order.empty() || order.back() != id)) order.push_back(id);
    return order;
  }
  std::vector<int> playlistIds() {
    std::vector<int> order;
    for (Track* t : f.tracks()) order.push_back(ids_.at(t));
    return order;
  }

  ViewFixture f;
  int edits[4] = {};  // moves, removals, previews, intro changes
  int lastVisited = -1;
  int reports = 0;

 private:
  void check(Track* track, int32_t position) {
    ++reports;
    if (!track) return;  // stops, and the hand-over inside every advance
    const auto id = ids_.find(track);
    if (id == ids_.end()) {
      ASSERT_EQ(track, preview_) << "the voice plays a track that is neither listed nor the preview";
    } else if (track == pendingStart_) {
      pendingStart_ = nullptr;
      visits_.push_back(id->second);
    } else if (track == last_) {
      ASSERT_GE(position, lastPosition_) << "position went back within track " << id->second;
    } else {
      ASSERT_NE(last_, nullptr) << "track " << id->second << " started without being played";
      ASSERT_EQ(track, last_->next) << "track " << ids_.at(last_) << " was followed by " << id->second;
      ASSERT_EQ(position, 0);
      visits_.push_back(id->second);
    }
    last_ = id == ids_.end() ? last_ : track;
    lastPosition_ = id == ids_.end() ? lastPosition_ : position;
    if (id != ids_.end()) lastVisited = id->second;
  }

  void start(Track* track) {
    pendingStart_ = track;
    last_ = nullptr;
    f.session->transport().play(track, StartPart::Intro);
  }

  // The playlist track that plays now (the voice may be on the preview).
  Track* playing() const { return last_; }
  int indexOf(const Track* t) { return f.session->playlist().trackIndexOf(t); }

  void resumeAfterPreview() {
    previewTicksLeft_ = 0;
    preview_ = nullptr;
    Track* track = resume_;
    resume_ = nullptr;
    if (track) start(track);
  }

  void randomEdit() {
    if (resume_ || !playing()) return;  // a preview is on: wait for it
    const int head = indexOf(playing());
    const int count = f.session->playlist().trackCount();
    std::uniform_int_distribution<int> kind(0, 3);
    switch (kind(random_)) {
      case 0: moveAfterHead(head, count); break;
      case 1: removeOne(head, count); break;
      case 2: previewAClip(); break;
      case 3: changeAnIntro(head, count); break;
    }
  }

  // Drags a track that has not played yet to another place after the one
  // that plays, within one page of the playlist pane.
  void moveAfterHead(int head, int count) {
    if (count - head < 3) return;
    std::uniform_int_distribution<int> top(head + 1, count - 2);
    f.view->scrollTo(Pane::Playlist, top(random_));
    std::uniform_int_distribution<int> row(0, std::min(6, count - 1 - f.view->state().scroll(Pane::Playlist)));
    const int from = row(random_), to = row(random_);
    if (from == to) return;
    const int x = kEntryX + 200;
    f.view->onLButtonDown(x, StudioView::kPlaylistTop + StudioView::kEntryHeight * from + 30);
    f.view->onMouseMove(x, StudioView::kPlaylistTop + StudioView::kEntryHeight * to + 30);
    f.view->onLButtonUp(x, StudioView::kPlaylistTop + StudioView::kEntryHeight * to + 30);
    ++edits[0];
  }

  // Drags a track out of the window: the playing one a few times, otherwise
  // any other one.
  void removeOne(int head, int count) {
    if (count <= 85) return;
    std::uniform_int_distribution<int> any(0, count - 1);
    std::uniform_int_distribution<int> coin(0, 2);
    const int index = coin(random_) == 0 ? head : any(random_);
    Track* victim = f.session->playlist().trackAt(index);
    const bool isPlaying = victim == playing();
    Track* successor = victim->next;
    f.view->scrollTo(Pane::Playlist, index);
    const int y = StudioView::kPlaylistTop + 30;
    f.view->onLButtonDown(kEntryX + 200, y);
    f.view->onLButtonUp(f.host.width + 40, y);
    ASSERT_EQ(f.session->playlist().trackCount(), count - 1);
    removed_[ids_.at(victim)] = true;
    ids_.erase(victim);
    ++edits[1];
    if (isPlaying) {
      ASSERT_EQ(f.session->transport().existingVoice()->track(), nullptr) << "removing the playing track must stop it";
      if (successor->clip)
        start(successor);
      else
        finished_ = true;
    }
  }

  // Previews a clip of the browser for a few ticks, then plays on from the
  // start of the interrupted track.
  void previewAClip() {
    resume_ = playing();
    std::uniform_int_distribution<int> row(0, f.view->state().visibleClips().size() - 1);
    f.session->preview(f.view->state().visibleClips()[size_t(row(random_))], true);
    preview_ = f.session->transport().existingVoice()->track();
    ASSERT_NE(preview_, nullptr);
    ASSERT_TRUE(preview_->isPreview());
    std::uniform_int_distribution<int> ticks(1, 3);
    previewTicksLeft_ = ticks(random_);
    ++edits[2];
  }

  // Clicks the next-intro button of a song, the playing one now and then.
  void changeAnIntro(int head, int count) {
    std::uniform_int_distribution<int> any(0, count - 1);
    std::uniform_int_distribution<int> coin(0, 3);
    const int index = coin(random_) == 0 ? head : any(random_);
    Track* entry = f.session->playlist().trackAt(index);
    if (entry->clip->kind() != ClipClass::Song) return;
    const int32_t before = entry->intro;
    if (entry == playing()) pendingStart_ = entry;  // restarts from its new intro
    f.view->scrollTo(Pane::Playlist, index);
    f.view->onLButtonDown(kEntryX + 50, StudioView::kPlaylistTop + 5);
    ASSERT_NE(entry->intro, before);
    ASSERT_NE(entry->introAudio, nullptr);
    ++edits[3];
  }

  std::mt19937 random_;
  std::map<const Track*, int> ids_;  // live playlist tracks
  std::map<int, bool> removed_;
  std::vector<int> visits_;  // ids as each visit began
  Track* last_ = nullptr;    // the playlist track last reported
  int32_t lastPosition_ = 0;
  Track* pendingStart_ = nullptr;  // played by the test, not reached by itself
  Track* preview_ = nullptr;
  Track* resume_ = nullptr;
  int previewTicksLeft_ = 0;
  bool finished_ = false;
};

TEST(PlaybackSoakTest, NinetyNineTracksPlayThroughInOrderWhileTheyAreEdited) {
  for (uint32_t seed : {20240601u, 7u}) {
    SCOPED_TRACE(seed);
    PlaybackSoak soak(seed);
    soak.build();
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    soak.run();
    ASSERT_FALSE(::testing::Test::HasFatalFailure());

    // Every track still listed was heard once, in the final order, and the
    // voice stopped after the last one.
    EXPECT_EQ(soak.visitedStillListed(), soak.playlistIds());
    EXPECT_EQ(soak.lastVisited, soak.playlistIds().back());
    EXPECT_EQ(soak.f.session->transport().existingVoice()->track(), nullptr);
    EXPECT_EQ(soak.f.session->transport().playingTrack(), nullptr);
    for (int kind = 0; kind < 4; ++kind) EXPECT_GT(soak.edits[kind], 0) << "edit kind " << kind << " never ran";
    EXPECT_GT(soak.f.session->playlist().trackCount(), 80);
  }
}

}  // namespace
}  // namespace wc::test
