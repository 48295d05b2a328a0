// Cancel in the disc box ends the program, but not over annotations typed
// and not yet saved: closing saves them first, and when that fails the
// user's No keeps the program (and what was typed) alive.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "base/CRandom.h"
#include "gamedata/CatalogueFile.h"
#include "gamedata/GuardedExit.h"
#include "support/ViewFixture.h"

namespace wc::test {
namespace {

namespace fs = std::filesystem;

TEST(DiscCancelAsksToSaveTest, TheCloseQuestionDecidesWhetherTheProgramEnds) {
  const struct {
    const char* name;
    bool modified;
    bool saveFails;
    std::optional<SessionPrompts::Answer> answer;  // none: no question expected
    bool exits;
    bool saved;
  } cases[] = {
      {"nothing typed", false, false, std::nullopt, true, false},
      {"typed, saved and ends", true, false, std::nullopt, true, true},
      {"typed, save fails, Yes ends without it", true, true, SessionPrompts::Answer::Yes, true, false},
      {"typed, save fails, No keeps the program", true, true, SessionPrompts::Answer::No, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SessionFixture f;
    StudioSession* session = nullptr;  // made after the game data, as in the program
    GameData gameData(f.fs, f.disc.directory(), f.mounts, f.prompts,
                      exitUnlessObjected([&] { return !session || session->queryClose(); }, f.exits.function()));
    gameData.loadCatalogue();
    CRandom random;
    StudioSession studio(gameData, f.dialogs, random, nullptr, f.fs);
    session = &studio;
    const auto savedBefore = readBytes(f.disc.catalogueFile());
    if (c.modified) {
      std::strcpy(gameData.catalogue().stations[testdisc::kMusic].clips[0].title, "Typed by the user");
      studio.catalogueChanged(false);
    }
    if (c.answer) f.dialogs.questionAnswers.push_back(*c.answer);
    f.fs.failRenames(c.saveFails);

    // A pack missing from the cache sends the loader to the disc, which is
    // not there; the user cancels the disc box.
    fs::remove(f.disc.pack(testdisc::kMusic));
    f.prompts.answers = {MessageAnswer::Cancel};
    EXPECT_EQ(gameData.loadClipAudio(testdisc::kMusic, 0), nullptr);

    EXPECT_EQ(f.dialogs.questions.size(), c.answer ? 1u : 0u);
    EXPECT_EQ(f.exits.statuses, c.exits ? std::vector<int>{0} : std::vector<int>{});
    EXPECT_EQ(readBytes(f.disc.catalogueFile()) != savedBefore, c.saved);
    EXPECT_EQ(studio.catalogueModified(), c.modified && !c.saved);
  }
}

}  // namespace
}  // namespace wc::test
