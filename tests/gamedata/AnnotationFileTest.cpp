// Clip annotations: the checks an edit must pass before it reaches the
// records, and the shareable CSV form with its disc matching.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "gamedata/AnnotationFile.h"
#include "gamedata/CatalogueBuilder.h"
#include "gamedata/CatalogueFile.h"
#include "gamedata/ClipAnnotation.h"
#include "session/ClipEdit.h"

namespace wc {
namespace {

// A bare catalogue of station 4 with `clips` clips and station 1 with two,
// each clip's offset a multiple of `spacing` from `leadIn`.
std::unique_ptr<Catalogue> bareCatalogue(int clips = 8, uint32_t leadIn = 2048, uint32_t spacing = 4096) {
  std::vector<LookupRecord> records;
  for (int k = 0; k < clips; ++k) records.push_back({4, leadIn + uint32_t(k) * spacing, 1000u + uint32_t(k)});
  for (int k = 0; k < 2; ++k) records.push_back({1, leadIn + uint32_t(k) * spacing, 2000u + uint32_t(k)});
  auto catalogue = std::make_unique<Catalogue>();
  resetToBareCatalogue(*catalogue);
  fillClipsFromLookup(*catalogue, records);
  return catalogue;
}

ClipAnnotation song(const char* artist, const char* title, int intros, int outros) {
  return ClipAnnotation{classNumber(ClipClass::Song), artist, title, intros, outros};
}

std::string_view bytesOf(const std::string& s) { return s; }

// ---- Checking and applying one annotation --------------------------------

TEST(ClipAnnotation, CountsMayFillTheStationButNotReachPastIt) {
  auto catalogue = bareCatalogue(8);
  Station& s = catalogue->stations[4];
  EXPECT_EQ(followOnRoom(s, 0), 7);
  EXPECT_EQ(followOnRoom(s, 7), 0);
  EXPECT_EQ(followOnRoom(s, 8), 0);
  EXPECT_EQ(checkAnnotation(s, 5, song("", "", 1, 1)), AnnotationProblem::None);
  EXPECT_EQ(checkAnnotation(s, 5, song("", "", 2, 1)), AnnotationProblem::PastStation);
  EXPECT_EQ(checkAnnotation(s, 7, song("", "", 0, 1)), AnnotationProblem::PastStation);
  EXPECT_EQ(checkAnnotation(s, 0, song("", "", -1, 1)), AnnotationProblem::NegativeCount);
  // Sums that overflow 32 bits must not wrap into range.
  EXPECT_EQ(checkAnnotation(s, 0, song("", "", INT32_MAX, INT32_MAX)), AnnotationProblem::PastStation);
  EXPECT_EQ(checkAnnotation(s, 8, song("", "", 0, 0)), AnnotationProblem::NoSuchClip);
  EXPECT_EQ(checkAnnotation(s, -1, song("", "", 0, 0)), AnnotationProblem::NoSuchClip);
}

TEST(ClipAnnotation, ClassAndTextLimits) {
  auto catalogue = bareCatalogue();
  Station& s = catalogue->stations[4];
  ClipAnnotation a = song("", "", 0, 0);
  for (int c : {0, 7}) {
    a.clipClass = c;
    EXPECT_EQ(checkAnnotation(s, 0, a), AnnotationProblem::None) << c;
  }
  for (int c : {-1, 8}) {
    a.clipClass = c;
    EXPECT_EQ(checkAnnotation(s, 0, a), AnnotationProblem::ClassOutOfRange) << c;
  }
  a.clipClass = 0;
  a.title = std::string(63, 'x');
  EXPECT_EQ(checkAnnotation(s, 0, a), AnnotationProblem::None);
  a.title = std::string(64, 'x');
  EXPECT_EQ(checkAnnotation(s, 0, a), AnnotationProblem::TitleNotValid);
  a.title = "line\nbreak";
  EXPECT_EQ(checkAnnotation(s, 0, a), AnnotationProblem::TitleNotValid);
  a.title = std::string("nul\0inside", 10);
  EXPECT_EQ(checkAnnotation(s, 0, a), AnnotationProblem::TitleNotValid);
  a.title = "Caf\xE9";  // Latin-1 bytes above 0x7F are text
  a.artist = std::string(64, 'y');
  EXPECT_EQ(checkAnnotation(s, 0, a), AnnotationProblem::ArtistNotValid);
}

TEST(ClipAnnotation, ApplyWritesFullFieldsOrNothing) {
  auto catalogue = bareCatalogue();
  Station& s = catalogue->stations[4];
  std::memset(s.clips[2].title, 'Z', sizeof s.clips[2].title);  // stale bytes behind the new NUL
  const Clip before = s.clips[2];
  EXPECT_EQ(applyAnnotation(s, 2, song("Artist", "Title", 9, 0)), AnnotationProblem::PastStation);
  EXPECT_EQ(std::memcmp(&before, &s.clips[2], sizeof before), 0);

  ASSERT_EQ(applyAnnotation(s, 2, song("Artist", "Title", 2, 1)), AnnotationProblem::None);
  EXPECT_EQ(annotationOf(s.clips[2]), song("Artist", "Title", 2, 1));
  EXPECT_TRUE(std::all_of(s.clips[2].title + 5, s.clips[2].title + 64, [](char c) { return c == 0; }));
  EXPECT_EQ(s.clips[2].offset, before.offset);
  EXPECT_EQ(s.clips[2].size, before.size);
}

TEST(ClipAnnotation, ClipEditRetitlesOnlyTheClipsItOwns) {
  auto catalogue = bareCatalogue(8);
  ClipEdit edit{song("A", "S", 2, 1), {{1, "Hello"}, {2, ""}, {3, "Bye"}}};
  ASSERT_EQ(applyClipEdit(*catalogue, 4, 0, edit), AnnotationProblem::None);
  const Station& s = catalogue->stations[4];
  EXPECT_STREQ(s.clips[1].title, "Hello");
  EXPECT_STREQ(s.clips[2].title, "");
  EXPECT_STREQ(s.clips[3].title, "Bye");

  // Clip 4 is not one of its follow-ons: the whole edit is refused.
  const auto image = serializeCatalogue(*catalogue);
  edit.followOnTitles.push_back({4, "Not mine"});
  edit.annotation.title = "Changed";
  EXPECT_EQ(applyClipEdit(*catalogue, 4, 0, edit), AnnotationProblem::NoSuchClip);
  EXPECT_EQ(serializeCatalogue(*catalogue), image);
  EXPECT_EQ(applyClipEdit(*catalogue, 16, 0, edit), AnnotationProblem::NoSuchClip);
}

TEST(ClipAnnotation, Latin1AndUtf8) {
  EXPECT_EQ(latin1ToUtf8("Caf\xE9 \xFF"), "Caf\xC3\xA9 \xC3\xBF");
  std::string back;
  ASSERT_TRUE(utf8ToLatin1("Caf\xC3\xA9 \xC3\xBF", back));
  EXPECT_EQ(back, "Caf\xE9 \xFF");
  EXPECT_FALSE(utf8ToLatin1("\xE2\x82\xAC", back));  // the euro sign has no Latin-1 code
  EXPECT_FALSE(utf8ToLatin1("\xC3", back));          // cut short
  EXPECT_FALSE(utf8ToLatin1("\xC3\x41", back));      // not a continuation byte
}

// ---- CSV ---------------------------------------------------------------

TEST(AnnotationCsv, QuotingLineEndsAndBlankLines) {
  std::vector<std::vector<std::string>> records;
  ASSERT_TRUE(parseCsv("a,\"b,c\",\"say \"\"hi\"\"\"\r\n\r\n\"multi\nline\",,x\nlast", records));
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0], (std::vector<std::string>{"a", "b,c", "say \"hi\""}));
  EXPECT_EQ(records[1], (std::vector<std::string>{"multi\nline", "", "x"}));
  EXPECT_EQ(records[2], (std::vector<std::string>{"last"}));
  ASSERT_TRUE(parseCsv("a,\n", records));
  EXPECT_EQ(records[0], (std::vector<std::string>{"a", ""}));

  EXPECT_FALSE(parseCsv("a,\"open", records));
  EXPECT_FALSE(parseCsv("\"closed\"junk,b", records));
}

TEST(AnnotationCsv, ExportIsUtf8WithQuotedTextWhereNeeded) {
  auto catalogue = bareCatalogue(4);
  Station& s = catalogue->stations[4];
  ASSERT_EQ(applyAnnotation(s, 0, song("Caf\xE9, Inc.", "Say \"Yes\"", 1, 1)), AnnotationProblem::None);
  const std::string text = exportAnnotations(*catalogue);
  const std::string header = std::string(kAnnotationHeader) + "\r\n";
  ASSERT_EQ(text.substr(0, header.size()), header);
  EXPECT_NE(text.find("\r\n4,0,2048,1000,0,\"Caf\xC3\xA9, Inc.\",\"Say \"\"Yes\"\"\",1,1\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\n1,1,6144,2001,1,,Clip #2 00:00,0,0\r\n"), std::string::npos);
  // One row per clip of every station.
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1 + 4 + 2);
}

TEST(AnnotationCsv, ExportThenImportRoundTripsEveryByte) {
  auto annotated = bareCatalogue(8);
  Station& s = annotated->stations[4];
  ASSERT_EQ(applyClipEdit(*annotated, 4, 0, {song("Art, \"Q\"", " padded ", 2, 1), {{1, "Hi \xE9"}, {3, "Bye"}}}),
            AnnotationProblem::None);
  ASSERT_EQ(applyAnnotation(s, 4, ClipAnnotation{classNumber(ClipClass::ChatterSix), "", "", 0, 0}),
            AnnotationProblem::None);
  ASSERT_EQ(applyAnnotation(s, 5, ClipAnnotation{classNumber(ClipClass::ChatterFive), "", "", 0, 0}),
            AnnotationProblem::None);
  ASSERT_TRUE(applyTitle(s, 6, ""));
  const std::string text = exportAnnotations(*annotated);

  auto bare = bareCatalogue(8);
  const AnnotationImport result = importAnnotations(bytesOf(text), *bare);
  EXPECT_TRUE(result.recognised);
  EXPECT_EQ(result.rows, 10);
  EXPECT_EQ(result.applied, 10);
  EXPECT_EQ(result.skipped(), 0);
  EXPECT_EQ(serializeCatalogue(*bare), serializeCatalogue(*annotated));
  EXPECT_EQ(describeImport(result), "Applied 10 of 10 annotations.");

  // Spreadsheet programs put a byte order mark in front.
  auto again = bareCatalogue(8);
  EXPECT_EQ(importAnnotations("\xEF\xBB\xBF" + text, *again).applied, 10);
  EXPECT_EQ(serializeCatalogue(*again), serializeCatalogue(*annotated));
}

TEST(AnnotationCsv, FileFromAnotherDiscAppliesNothingAndSaysSo) {
  auto other = bareCatalogue(8, /*leadIn=*/4096);
  ASSERT_EQ(applyAnnotation(other->stations[4], 0, song("A", "S", 1, 0)), AnnotationProblem::None);
  auto mine = bareCatalogue(8);
  const auto image = serializeCatalogue(*mine);
  const AnnotationImport result = importAnnotations(exportAnnotations(*other), *mine);
  EXPECT_TRUE(result.fromOtherDisc());
  EXPECT_EQ(result.applied, 0);
  EXPECT_EQ(result.mismatched, 10);
  EXPECT_EQ(serializeCatalogue(*mine), image);
  const std::string message = describeImport(result);
  EXPECT_NE(message.find("nothing was applied"), std::string::npos);
  EXPECT_NE(message.find("different disc"), std::string::npos);
}

TEST(AnnotationCsv, OnlyMatchingValidRowsApply) {
  auto mine = bareCatalogue(8);
  const std::string text = std::string(kAnnotationHeader) +
                           "\n4,0,2048,1000,0,A,Song,1,1\n"       // applies
                           "4,1,2048,1001,2,,Wrong offset,0,0\n"  // offset of another clip
                           "4,8,34816,1008,2,,No such clip,0,0\n"
                           "16,0,2048,1000,2,,No such station,0,0\n"
                           "4,4,18432,1004,9,,Class 9,0,0\n"
                           "4,5,22528,1005,0,,Past the end,2,1\n"
                           "4,6,26624,1006,2,,\xE2\x82\xAC,0,0\n"  // beyond Latin-1
                           "4,7,30720,1007,2,,Too few fields\n"
                           "x,0,2048,1000,2,,Not a number,0,0\n";
  const AnnotationImport result = importAnnotations(text, *mine);
  EXPECT_EQ(result.rows, 9);
  EXPECT_EQ(result.applied, 1);
  EXPECT_EQ(result.mismatched, 3);
  EXPECT_EQ(result.invalid, 5);
  EXPECT_FALSE(result.fromOtherDisc());
  EXPECT_EQ(annotationOf(mine->stations[4].clips[0]), song("A", "Song", 1, 1));
  for (int k = 1; k < 8; ++k) EXPECT_EQ(mine->stations[4].clips[k].kind(), ClipClass::Chatter) << k;
  EXPECT_EQ(describeImport(result),
            "Applied 1 of 9 annotations.\nSkipped 3 that do not match a clip of your disc.\n"
            "Skipped 5 with values that are not valid.");
}

// Neither other files nor damaged annotations files change anything; a
// damaged one (its header right) is told apart and names the line.
TEST(AnnotationCsv, NotAnAnnotationsFileChangesNothing) {
  auto mine = bareCatalogue();
  const auto image = serializeCatalogue(*mine);
  const std::string header = "station,clip,offset,size,class,artist,title,intros,outros\n";
  const std::pair<std::string, std::string> cases[] = {
      {"station,clip\n4,0\n", "not an annotations file"},
      {"", "not an annotations file"},
      {"\"unclosed,header\n", "not an annotations file"},
      {header + "\"4", "damaged at line 2"},
      {header + "4,0,2048,1000,0,A,B,0,0\n4,1,6144,1001,0,\"A\"x,B,0,0\n", "damaged at line 3"},
      {"\xef\xbb\xbf" + header + "\r\n\r\n4,0,2048,1000,0,\"A, B,0,0\n", "damaged at line 4"},
  };
  for (const auto& [bytes, says] : cases) {
    SCOPED_TRACE(bytes);
    const AnnotationImport result = importAnnotations(bytes, *mine);
    EXPECT_FALSE(result.recognised);
    EXPECT_EQ(result.applied, 0);
    EXPECT_NE(describeImport(result).find(says), std::string::npos) << describeImport(result);
  }
  EXPECT_EQ(serializeCatalogue(*mine), image);
  const AnnotationImport empty = importAnnotations(kAnnotationHeader, *mine);
  EXPECT_TRUE(empty.recognised);
  EXPECT_FALSE(empty.fromOtherDisc());
  EXPECT_EQ(describeImport(empty), "The file holds no annotations; nothing was applied.");
}

}  // namespace
}  // namespace wc
