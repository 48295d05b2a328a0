// The playlist's mark of unsaved changes as the session keeps it: the
// question New, Open, closing and the mixes ask while it is set, and the
// notices the window title follows.
#include <gtest/gtest.h>

#include <filesystem>

#include "session/Command.h"
#include "support/ViewFixture.h"

namespace wc::test {
namespace {

using Answer = SessionPrompts::Answer;

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
      SessionFixture f;
      StudioSession& session = *f.session;
      std::string file;
      if (c.named) {
        file = saveThreeTracks(f, "mix.wcpl");
        f.addTrack(testdisc::kSongs[1]);  // the fourth track is not saved yet
      } else {
        f.addTrack(testdisc::kSongs[0]);
        if (c.saveAsAnswer) file = f.workPath(*c.saveAsAnswer).string();
      }
      ASSERT_TRUE(session.playlistModified());
      const size_t requestsBefore = f.dialogs.fileRequests.size();
      f.dialogs.questionAnswers.push_back(c.answer);
      if (!c.named) f.dialogs.fileAnswers.push_back(c.saveAsAnswer ? std::optional(file) : std::nullopt);
      f.dialogs.fileAnswers.push_back(std::nullopt);  // Open's own dialog, if it comes, is cancelled

      bool proceeded = false;
      switch (trigger) {
        case Trigger::New:
          session.onCommand(Command::FileNew);
          proceeded = session.playlist().empty();
          break;
        case Trigger::Open:
          session.onCommand(Command::FileOpen);
          proceeded = !f.dialogs.fileRequests.empty() && f.dialogs.fileRequests.back().title == "Open track list";
          break;
        case Trigger::Close: proceeded = session.queryClose(); break;
        case Trigger::MusicMix: {
          const auto before = session.playlist().records();
          session.onCommand(Command::CreateMusicMix);
          proceeded = session.playlist().records() != before;
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
        EXPECT_TRUE(session.playlistModified());
        EXPECT_FALSE(session.playlist().empty());
      }
      if (c.answer == Answer::No) {
        EXPECT_EQ(f.dialogs.fileRequests.size() - requestsBefore, size_t(trigger == Trigger::Open ? 1 : 0));
      }
    }
  }
}

TEST(UnsavedPlaylistTest, ObserversHearOfNameAndMarkOnlyWhenTheyChange) {
  SessionFixture f;
  StudioSession& session = *f.session;
  using Status = std::pair<std::string, bool>;
  const std::string path = saveThreeTracks(f, "mix.wcpl");
  // The first track marked the unnamed playlist; the save named it.
  EXPECT_EQ(f.observer.playlistStatuses, (std::vector<Status>{{"", true}, {path, false}}));
  EXPECT_EQ(f.observer.playlistFilesUsed, std::vector<std::string>{path});

  f.observer.playlistStatuses.clear();
  f.addTrack(testdisc::kSongs[1]);
  f.addTrack(testdisc::kSongs[0]);  // still changed: no second notice
  session.onCommand(Command::FileSave);
  session.onCommand(Command::FileSave);  // saving the saved playlist changes nothing the title shows
  f.dialogs.questionAnswers.push_back(Answer::No);
  session.onCommand(Command::FileNew);
  // Opening five tracks is one notice, not one per track.
  ASSERT_TRUE(session.openPlaylistFile(path));
  EXPECT_EQ(f.observer.playlistStatuses,
            (std::vector<Status>{{path, true}, {path, false}, {"", false}, {path, false}}));
  EXPECT_EQ(f.observer.playlistFilesUsed, (std::vector<std::string>{path, path, path, path}));

  // Opened again over itself: the old tracks going is no change to show.
  const size_t notices = f.observer.playlistStatuses.size();
  ASSERT_TRUE(session.openPlaylistFile(path));
  EXPECT_EQ(f.observer.playlistStatuses.size(), notices);
}

}  // namespace
}  // namespace wc::test
