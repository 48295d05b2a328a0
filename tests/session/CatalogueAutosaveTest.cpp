// An edit is saved at once, the replaced version kept beside the file; a
// failed save is reported and stays marked, and closing tries once more.
#include <gtest/gtest.h>

#include "gamedata/CatalogueFile.h"
#include "session/Command.h"
#include "support/ViewFixture.h"

namespace wc::test {
namespace {

TEST(CatalogueAutosaveTest, EveryEditIsSavedAtOnceOrReportedAndKept) {
  const struct {
    const char* name;
    bool diskFull, renamesFail;
    const char* failed;  // the file the error box names, after the catalogue's path; null: saved
  } cases[] = {
      {"saved", false, false, nullptr},
      {"disk full", true, false, " failed"},
      {"renames refused", false, true, ".prev failed"},  // the previous version is copied first
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SessionFixture f;
    const Path file = f.disc.catalogueFile();
    const std::vector<uint8_t> before = readBytes(file);
    if (c.diskFull) f.fs.failWritesTo(file, 1000);
    f.fs.failRenames(c.renamesFail);
    f.session->selectStation(testdisc::kMusic);
    f.dialogs.clipEdits.push_back(ClipEdit{ClipAnnotation{classNumber(ClipClass::Chatter), "", "Typed", 0, 0}, {}});
    f.session->editClip(testdisc::kChatter2);
    ASSERT_STREQ(f.catalogue().stations[testdisc::kMusic].clips[testdisc::kChatter2].title, "Typed");

    const bool saved = !c.failed;
    EXPECT_EQ(readBytes(file), saved ? serializeCatalogue(f.catalogue()) : before);
    EXPECT_EQ(f.session->commandState(Command::SaveCatalogue)->enabled, !saved);
    EXPECT_EQ(f.dialogs.boxes.size(), saved ? 0u : 1u);
    EXPECT_TRUE(!saved || readBytes(file.string() + ".prev") == before);
    if (!saved) {
      const std::string expected = "could not be saved to WavecrateInfo.dat: writing " + file.string() + c.failed;
      EXPECT_NE(f.dialogs.boxes[0].text.find(expected), std::string::npos) << f.dialogs.boxes[0].text;
    }
    // Closing asks nothing after a save; after a failure, whether to stay.
    f.dialogs.questionAnswers = {SessionPrompts::Answer::No, SessionPrompts::Answer::Yes};
    EXPECT_EQ(f.session->queryClose(), saved);
    EXPECT_EQ(f.session->queryClose(), true);
    EXPECT_EQ(f.dialogs.questions.size(), saved ? 0u : 2u);
    EXPECT_EQ(f.session->catalogueModified(), !saved);
  }
}

}  // namespace
}  // namespace wc::test
