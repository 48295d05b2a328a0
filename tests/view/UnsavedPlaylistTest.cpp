// The playlist's mark of unsaved changes: which actions set it, the question
// New, Open and closing ask while it is set, and the notices the window title
// follows.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "support/ViewFixture.h"
#include "ui/CommandIds.h"

namespace wc::test {
namespace {

using Answer = ViewDialogs::Answer;

constexpr int kEntryX = 262 + 200;
int clipRowY(int row) { return 29 + 17 * row + 8; }
int entryY(int entry, int offset = 30) { return 38 + 65 * entry + offset; }
int gapY(int entry) { return 38 + 65 * entry + 61; }

void drag(StudioView& view, int x1, int y1, int x2, int y2) {
  view.onLButtonDown(x1, y1);
  view.onMouseMove((x1 + x2) / 2, (y1 + y2) / 2);
  view.onMouseMove(x2, y2);
  view.onLButtonUp(x2, y2);
}

// Three tracks saved as `name` in the fixture's directory.
std::string saveThreeTracks(ViewFixture& f, const std::string& name) {
  f.addTrack(testdisc::kSongs[0]);
  f.addTrack(testdisc::kChatter6);
  f.addTrack(testdisc::kSongs[2]);
  const std::string path = f.workPath(name).string();
  f.dialogs.fileAnswers.push_back(path);
  f.view->onCommand(cmd::FileSaveAs);
  return path;
}

TEST(UnsavedPlaylistTest, EditsSetTheMarkAndPlaybackOrScrollingDoNot) {
  struct Case {
    const char* name;
    std::function<void(ViewFixture&)> act;
    bool modified;
  };
  const Case cases[] = {
      {"a clip dropped into the playlist", [](ViewFixture& f) { drag(*f.view, 100, clipRowY(0), kEntryX, entryY(3)); },
       true},
      {"an entry moved", [](ViewFixture& f) { drag(*f.view, kEntryX, entryY(0), kEntryX, entryY(2)); }, true},
      {"an entry dragged out",
       [](ViewFixture& f) { drag(*f.view, kEntryX, entryY(1, 20), f.host.width + 40, entryY(1, 20)); }, true},
      {"another intro chosen",
       [](ViewFixture& f) {
         f.view->onLButtonDown(262 + 50, entryY(0, 5));
         f.view->onLButtonUp(262 + 50, entryY(0, 5));
       },
       true},
      {"a tool", [](ViewFixture& f) { f.view->onCommand(cmd::AddAllSongs); }, true},
      {"an entry dropped onto itself", [](ViewFixture& f) { drag(*f.view, kEntryX, entryY(1), kEntryX, entryY(1)); },
       false},
      {"an entry dropped into the gap in front of it",
       [](ViewFixture& f) { drag(*f.view, kEntryX, entryY(1), kEntryX, gapY(0)); }, false},
      {"an entry dropped onto the one behind it",
       [](ViewFixture& f) { drag(*f.view, kEntryX, entryY(0), kEntryX, entryY(1)); }, false},
      {"playback",
       [](ViewFixture& f) {
         f.view->onCommand(cmd::Play);
         f.tick();
         f.view->onCommand(cmd::Next);
         f.view->onCommand(cmd::Stop);
       },
       false},
      {"scrolling",
       [](ViewFixture& f) {
         f.view->onWheel(500, {-240, WheelUnit::Eighths});
         f.view->onKey(ViewKey::PageDown);
       },
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ViewFixture f;
    const std::string path = saveThreeTracks(f, "mix.wcpl");
    f.view->paintAll(f.surface);
    ASSERT_FALSE(f.view->playlistModified());
    const auto tracksBefore = f.view->playlist().records();
    c.act(f);
    // The action did what it should, or the case proves nothing.
    EXPECT_EQ(f.view->playlist().records() != tracksBefore, c.modified);
    EXPECT_EQ(f.view->playlistModified(), c.modified);
    ASSERT_FALSE(f.host.playlistStatuses.empty());
    EXPECT_EQ(f.host.playlistStatuses.back(), std::make_pair(path, c.modified));
  }
}

// Everything that replaces the playlist asks: New, Open, closing the window
// and the two tools that build a new playlist.
TEST(UnsavedPlaylistTest, NewOpenCloseAndMixesAskFirstAndFollowTheAnswer) {
  enum class Trigger { New, Open, Close, MusicMix };
  struct Case {
    const char* name;
    bool named;  // the playlist has a file already
    Answer answer;
    std::optional<std::string> saveAsAnswer;  // file name in the work directory; nullopt cancels
    bool proceeds;
  };
  const Case cases[] = {
      {"discard", true, Answer::No, std::nullopt, true},
      {"cancel", true, Answer::Cancel, std::nullopt, false},
      {"save to its file", true, Answer::Yes, std::nullopt, true},
      {"save as, then go on", false, Answer::Yes, "new.wcpl", true},
      {"save as cancelled", false, Answer::Yes, std::nullopt, false},
      {"save as failed", false, Answer::Yes, "no-such-dir/new.wcpl", false},
  };
  for (const Trigger trigger : {Trigger::New, Trigger::Open, Trigger::Close, Trigger::MusicMix}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + " / trigger " + std::to_string(int(trigger)));
      ViewFixture f;
      StudioView& view = *f.view;
      std::string file;
      if (c.named) {
        file = saveThreeTracks(f, "mix.wcpl");
        f.addTrack(testdisc::kSongs[1]);  // the fourth track is not saved yet
      } else {
        f.addTrack(testdisc::kSongs[0]);
        if (c.saveAsAnswer) file = f.workPath(*c.saveAsAnswer).string();
      }
      ASSERT_TRUE(view.playlistModified());
      const size_t requestsBefore = f.dialogs.fileRequests.size();
      f.dialogs.questionAnswers.push_back(c.answer);
      if (!c.named) f.dialogs.fileAnswers.push_back(c.saveAsAnswer ? std::optional(file) : std::nullopt);
      f.dialogs.fileAnswers.push_back(std::nullopt);  // Open's own dialog, if it comes, is cancelled

      bool proceeded = false;
      switch (trigger) {
        case Trigger::New:
          view.onCommand(cmd::FileNew);
          proceeded = view.playlist().empty();
          break;
        case Trigger::Open:
          view.onCommand(cmd::FileOpen);
          proceeded = !f.dialogs.fileRequests.empty() && f.dialogs.fileRequests.back().title == "Open track list";
          break;
        case Trigger::Close: proceeded = view.queryClose(); break;
        case Trigger::MusicMix: {
          const auto before = view.playlist().records();
          view.onCommand(cmd::CreateMusicMix);
          proceeded = view.playlist().records() != before;
          break;
        }
      }
      ASSERT_EQ(f.dialogs.questions.size(), 1u);
      EXPECT_EQ(f.dialogs.questions[0].text, "Save changes to the playlist?");
      EXPECT_EQ(f.dialogs.choiceLabels.back(), std::make_pair(std::string("Save"), std::string("Discard")));
      EXPECT_EQ(proceeded, c.proceeds);
      if (c.answer == Answer::Yes && c.proceeds) {
        // What was asked to be saved is on disk: every track, the fourth too.
        EXPECT_EQ(std::filesystem::file_size(file), 4u + 16u * (c.named ? 4u : 1u));
      }
      if (!c.proceeds) {
        EXPECT_TRUE(view.playlistModified());
        EXPECT_FALSE(view.playlist().empty());
      }
      if (c.answer == Answer::No) {
        EXPECT_EQ(f.dialogs.fileRequests.size() - requestsBefore, size_t(trigger == Trigger::Open ? 1 : 0));
      }
    }
  }
}

TEST(UnsavedPlaylistTest, TheHostHearsOfNameAndMarkOnlyWhenTheyChange) {
  ViewFixture f;
  StudioView& view = *f.view;
  using Status = std::pair<std::string, bool>;
  const std::string path = saveThreeTracks(f, "mix.wcpl");
  // The first track marked the unnamed playlist; the save named it.
  EXPECT_EQ(f.host.playlistStatuses, (std::vector<Status>{{"", true}, {path, false}}));
  EXPECT_EQ(f.host.playlistFilesUsed, std::vector<std::string>{path});

  f.host.playlistStatuses.clear();
  f.addTrack(testdisc::kSongs[1]);
  f.addTrack(testdisc::kSongs[0]);  // still changed: no second notice
  view.onCommand(cmd::FileSave);
  view.onCommand(cmd::FileSave);  // saving the saved playlist changes nothing the title shows
  f.dialogs.questionAnswers.push_back(Answer::No);
  view.onCommand(cmd::FileNew);
  // Opening five tracks is one notice, not one per track.
  ASSERT_TRUE(view.openPlaylistFile(path));
  EXPECT_EQ(f.host.playlistStatuses, (std::vector<Status>{{path, true}, {path, false}, {"", false}, {path, false}}));
  EXPECT_EQ(f.host.playlistFilesUsed, (std::vector<std::string>{path, path, path, path}));

  // Opened again over itself: the old tracks going is no change to show.
  const size_t notices = f.host.playlistStatuses.size();
  ASSERT_TRUE(view.openPlaylistFile(path));
  EXPECT_EQ(f.host.playlistStatuses.size(), notices);
}

}  // namespace
}  // namespace wc::test
