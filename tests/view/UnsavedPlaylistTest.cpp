// The playlist's mark of unsaved changes: which of the user's actions in the
// view set it. (The questions and notices that follow it are the session's.)
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "session/Command.h"
#include "support/ViewFixture.h"

namespace wc::test {
namespace {

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
std::string saveThreeTracks(SessionFixture& f, const std::string& name) {
  f.addTrack(testdisc::kSongs[0]);
  f.addTrack(testdisc::kChatter6);
  f.addTrack(testdisc::kSongs[2]);
  const std::string path = f.workPath(name).string();
  f.dialogs.fileAnswers.push_back(path);
  f.session->onCommand(Command::FileSaveAs);
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
      {"a tool", [](ViewFixture& f) { f.session->onCommand(Command::AddAllSongs); }, true},
      {"an entry dropped onto itself", [](ViewFixture& f) { drag(*f.view, kEntryX, entryY(1), kEntryX, entryY(1)); },
       false},
      {"an entry dropped into the gap in front of it",
       [](ViewFixture& f) { drag(*f.view, kEntryX, entryY(1), kEntryX, gapY(0)); }, false},
      {"an entry dropped onto the one behind it",
       [](ViewFixture& f) { drag(*f.view, kEntryX, entryY(0), kEntryX, entryY(1)); }, false},
      {"playback",
       [](ViewFixture& f) {
         f.session->onCommand(Command::Play);
         f.tick();
         f.session->onCommand(Command::Next);
         f.session->onCommand(Command::Stop);
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
    ASSERT_FALSE(f.session->playlistModified());
    const auto tracksBefore = f.session->playlist().records();
    c.act(f);
    // The action did what it should, or the case proves nothing.
    EXPECT_EQ(f.session->playlist().records() != tracksBefore, c.modified);
    EXPECT_EQ(f.session->playlistModified(), c.modified);
    ASSERT_FALSE(f.observer.playlistStatuses.empty());
    EXPECT_EQ(f.observer.playlistStatuses.back(), std::make_pair(path, c.modified));
  }
}

}  // namespace
}  // namespace wc::test
