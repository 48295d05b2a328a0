// Annotations are saved as soon as they change: the catalogue file is
// replaced whole, the version it replaces stays beside it, and a save that
// fails is reported and keeps the changes marked as unsaved, so that the
// Save command and closing try again.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "gamedata/AnnotationFile.h"
#include "gamedata/CatalogueFile.h"
#include "session/Command.h"
#include "support/ViewFixture.h"

namespace wc::test {
namespace {

namespace fs = std::filesystem;

enum class Change { Edit, Import };
enum class Fault { None, WriteFails, RenameFails };

TEST(CatalogueAutosaveTest, EveryChangeIsSavedAtOnceOrReportedAndKept) {
  using Answer = SessionPrompts::Answer;
  const struct {
    const char* name;
    Change change;
    Fault fault;
    const char* failed;  // the file the error box names, after the catalogue's path
  } cases[] = {
      {"edit", Change::Edit, Fault::None, ""},
      {"import", Change::Import, Fault::None, ""},
      {"edit, disk full", Change::Edit, Fault::WriteFails, " failed"},
      // The copy of the previous version is made first, through a rename too.
      {"edit, renames refused", Change::Edit, Fault::RenameFails, ".prev failed"},
      {"import, disk full", Change::Import, Fault::WriteFails, " failed"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SessionFixture f;
    const Path file = f.disc.catalogueFile();
    const Path previous = file.string() + ".prev";
    const std::vector<uint8_t> before = readBytes(file);
    f.session->selectStation(testdisc::kMusic);
    if (c.fault == Fault::WriteFails) f.fs.failWritesTo(file, 1000);
    if (c.fault == Fault::RenameFails) f.fs.failRenames(true);

    if (c.change == Change::Edit) {
      f.dialogs.clipEdits.push_back(ClipEdit{ClipAnnotation{classNumber(ClipClass::Chatter), "", "Typed", 0, 0}, {}});
      f.session->editClip(testdisc::kChatter2);
    } else {
      Catalogue edited = f.catalogue();
      std::strcpy(edited.stations[testdisc::kMusic].clips[testdisc::kChatter2].title, "Typed");
      const std::string csv = exportAnnotations(edited);
      const Path csvFile = f.workPath("notes.csv");
      writeBytes(csvFile, std::vector<uint8_t>(csv.begin(), csv.end()));
      f.dialogs.fileAnswers.push_back(csvFile.string());
      f.session->onCommand(Command::ImportAnnotations);
    }
    ASSERT_STREQ(f.catalogue().stations[testdisc::kMusic].clips[testdisc::kChatter2].title, "Typed");
    std::vector<std::string> errors;
    for (const auto& box : f.dialogs.boxes)
      if (box.caption == "Error") errors.push_back(box.text);

    if (c.fault == Fault::None) {
      EXPECT_TRUE(errors.empty());
      EXPECT_EQ(readBytes(file), serializeCatalogue(f.catalogue()));
      EXPECT_EQ(readBytes(previous), before);
      EXPECT_FALSE(f.session->catalogueModified());
      EXPECT_FALSE(f.session->commandState(Command::SaveCatalogue)->enabled);
      EXPECT_TRUE(f.session->queryClose());
      EXPECT_TRUE(f.dialogs.questions.empty());  // nothing left to ask about
      continue;
    }
    ASSERT_EQ(errors.size(), 1u);
    const std::string expected =
        "The clip annotations could not be saved to WavecrateInfo.dat: writing " + file.string() + c.failed;
    EXPECT_EQ(errors[0].rfind(expected, 0), 0u) << errors[0];
    EXPECT_EQ(readBytes(file), before);
    EXPECT_TRUE(f.session->catalogueModified());
    EXPECT_TRUE(f.session->commandState(Command::SaveCatalogue)->enabled);

    // Closing tries once more; while that fails the user may stay or leave
    // without the changes.
    f.dialogs.questionAnswers = {Answer::No, Answer::Yes};
    EXPECT_FALSE(f.session->queryClose());
    EXPECT_TRUE(f.session->catalogueModified());
    EXPECT_TRUE(f.session->queryClose());
    EXPECT_EQ(f.dialogs.questions.size(), 2u);
    EXPECT_EQ(readBytes(file), before);
    if (c.fault != Fault::RenameFails) continue;

    // Once the file can be written again, the Save command writes it.
    f.fs.failRenames(false);
    ASSERT_TRUE(f.session->execute(Command::SaveCatalogue));
    EXPECT_FALSE(f.session->catalogueModified());
    EXPECT_EQ(readBytes(file), serializeCatalogue(f.catalogue()));
    EXPECT_EQ(readBytes(previous), before);
  }
}

}  // namespace
}  // namespace wc::test
