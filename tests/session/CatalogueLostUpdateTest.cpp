// Another program (wavecrate-annotate, a second window) may write the
// catalogue file while the window has it loaded. Saving then must not write
// over their work unasked: the window asks whose version to keep, and the
// version a save replaces is kept beside the file.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "gamedata/CatalogueFile.h"
#include "support/ViewFixture.h"

namespace wc::test {
namespace {

namespace fs = std::filesystem;

enum class Meanwhile { Nothing, Rewritten, Removed };

TEST(CatalogueLostUpdateTest, ASaveOverAnotherProgramsVersionAsksAndKeepsABackup) {
  using Answer = SessionPrompts::Answer;
  const struct {
    const char* name;
    Meanwhile meanwhile;
    std::optional<Answer> answer;  // none: no question may come
    bool written;                  // the window's version is in the file afterwards
    bool closes;
  } cases[] = {
      {"unchanged file", Meanwhile::Nothing, std::nullopt, true, true},
      {"rewritten, keep mine", Meanwhile::Rewritten, Answer::Yes, true, true},
      {"rewritten, keep theirs", Meanwhile::Rewritten, Answer::No, false, true},
      {"rewritten, cancel", Meanwhile::Rewritten, Answer::Cancel, false, false},
      {"removed, keep mine", Meanwhile::Removed, Answer::Yes, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SessionFixture f;
    const Path file = f.workPath("WavecrateInfo.dat");
    writeBytes(file, serializeCatalogue(f.catalogue()));
    f.gameData->loadCatalogue();

    // The window edits a title; the other program gives a clip an artist.
    std::strcpy(f.catalogue().stations[testdisc::kMusic].clips[testdisc::kSongs[0]].title, "Mine");
    f.session->catalogueChanged(false);
    Catalogue theirs = f.catalogue();
    std::strcpy(theirs.stations[testdisc::kMusic].clips[testdisc::kSongs[0]].title, "Theirs");
    const std::vector<uint8_t> theirBytes = serializeCatalogue(theirs);
    if (c.meanwhile == Meanwhile::Rewritten) writeBytes(file, theirBytes);
    if (c.meanwhile == Meanwhile::Removed) fs::remove(file);

    // Closing saves what is still unsaved, asking only about their version.
    if (c.answer) f.dialogs.questionAnswers.push_back(*c.answer);
    EXPECT_EQ(f.session->queryClose(), c.closes);
    EXPECT_EQ(f.dialogs.questions.size(), c.answer ? 1u : 0u);
    EXPECT_TRUE(f.dialogs.questionAnswers.empty());

    const Path backup = f.workPath("WavecrateInfo.dat.bak");
    if (c.written) {
      EXPECT_EQ(readBytes(file), serializeCatalogue(f.catalogue()));
      EXPECT_EQ(fs::exists(backup), c.meanwhile == Meanwhile::Rewritten);
      if (c.meanwhile == Meanwhile::Rewritten) {
        EXPECT_EQ(readBytes(backup), theirBytes);
      }
    } else {
      EXPECT_EQ(readBytes(file), theirBytes);
      EXPECT_FALSE(fs::exists(backup));
    }
    // Once the window saved, its own file is no news to it.
    EXPECT_EQ(f.gameData->catalogueFileChanged(), !c.written);
  }
}

}  // namespace
}  // namespace wc::test
