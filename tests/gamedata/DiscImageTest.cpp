// Reading the game disc from an ISO 9660 image: the same bytes as from the
// mounted disc, the disc box's "Open Disc Image..." answer and the memory of
// the picked image, and a clear refusal of images that cannot be used.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>
#include <utility>

#include "gamedata/CatalogueFile.h"
#include "gamedata/DiscImage.h"
#include "gamedata/DiscImageFileSystem.h"
#include "gamedata/GameData.h"
#include "support/DiscImageFakes.h"
#include "support/GameDataFakes.h"
#include "support/IsoImage.h"
#include "support/TestDisc.h"

namespace wc::test {
namespace {

// How an image spells the disc's names, and what a reader then sees.
struct ImageKind {
  const char* name;
  IsoNames names;
  bool lowerCaseTree;  // made from a copy of a disc mounted without Rock Ridge
  const char* audioDirectory;
  const char* lookupTable;
};

const ImageKind kImageKinds[] = {
    {"Plain", IsoNames::Plain, false, "AUDIO", "TRAKLKUP.DAT;1"},
    {"RockRidgeJoliet", IsoNames::RockRidgeJoliet, false, "AUDIO", "TRAKLKUP.DAT"},
    {"RockRidgeLowerCase", IsoNames::RockRidgeJoliet, true, "audio", "traklkup.dat;1"},
};

// The default test disc as a directory and as an image of it.
struct ImageDisc {
  explicit ImageDisc(const ImageKind& kind)
      : disc(TestDisc::disc(defaultTestDiscPlan(), DiscWriteOptions{.isoNames = kind.lowerCaseTree})),
        image(dir.path() / "game.iso") {
    makeIsoImage(image, {{std::string("/") + kind.audioDirectory, disc.audioRoot()}}, kind.names);
  }
  TestDisc disc;
  ScopedTempDir dir;
  Path image;
};

const ImageDisc& imageDisc(const ImageKind& kind) {
  static std::map<std::string, std::unique_ptr<ImageDisc>> made;
  auto& disc = made[kind.name];
  if (!disc) disc = std::make_unique<ImageDisc>(kind);
  return *disc;
}
const ImageDisc& plainImageDisc() { return imageDisc(kImageKinds[0]); }

// One start of the program in `work`, finding its disc as a mounted
// directory, or through images only.
struct Start {
  enum class Picker { None, Offered };
  Start(const Path& work, const std::optional<Path>& mountedDisc, const std::optional<Path>& givenImage,
        Picker offer = Picker::None) {
    if (mountedDisc) mounts.addMount(mountedDisc->string(), "iso9660");
    gameData = std::make_unique<GameData>(files, work, mounts, prompts, exits.function());
    gameData->discLocator().useDiscImages({&files, givenImage, offer == Picker::Offered ? &picker : nullptr, &memory});
  }

  DiscImageFileSystem files{realFileSystem()};
  FakeMountTable mounts;
  ScriptedPrompts prompts;
  RecordedExits exits;
  ScriptedImagePicker picker;
  RecordingImageMemory memory;
  std::unique_ptr<GameData> gameData;
};

std::map<std::string, std::vector<uint8_t>> filesIn(const Path& dir) {
  std::map<std::string, std::vector<uint8_t>> files;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
    files[it->path().filename().string()] = readBytes(it->path());
  return files;
}

class DiscImageReadTest : public ::testing::TestWithParam<ImageKind> {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(dirWork);
    std::filesystem::create_directories(imageWork);
    for (const Path& work : {dirWork, imageWork})
      writeBytes(work / kCatalogueFileName, readBytes(source.disc.catalogueFile()));
  }

  const ImageDisc& source = imageDisc(GetParam());
  ScopedTempDir temp;
  Path dirWork = temp.path() / "from-directory";
  Path imageWork = temp.path() / "from-image";
  Start fromDirectory{dirWork, source.disc.directory(), std::nullopt};
  Start fromImage{imageWork, std::nullopt, source.image};
};

TEST_P(DiscImageReadTest, CatalogueAndEveryClipEqualTheMountedDisc) {
  fromDirectory.gameData->loadCatalogue();
  fromImage.gameData->loadCatalogue();
  // A lookup table read wrongly would not fit the catalogue file: a warning box.
  EXPECT_TRUE(fromImage.prompts.shown.empty());
  ASSERT_TRUE(fromImage.gameData->discRoot());
  EXPECT_EQ(*fromImage.gameData->discRoot(), source.image / GetParam().audioDirectory);
  EXPECT_EQ(serializeCatalogue(fromImage.gameData->catalogue()),
            serializeCatalogue(fromDirectory.gameData->catalogue()));

  // Names as the image spells them, found ignoring case and version.
  EXPECT_EQ(fromImage.files.listDirectory(source.image / "Audio" / "Config"),
            std::vector<std::string>{GetParam().lookupTable});

  int clips = 0;
  for (int station = 0; station < kStationCount; ++station) {
    const int count = fromDirectory.gameData->catalogue().stations[station].validCount();
    for (int clip = 0; clip < count; ++clip, ++clips) {
      const auto expected = fromDirectory.gameData->loadClipAudio(station, clip);
      const auto actual = fromImage.gameData->loadClipAudio(station, clip);
      ASSERT_TRUE(expected && actual) << station << "/" << clip;
      EXPECT_TRUE(std::equal(actual->data(), actual->data() + actual->size(), expected->data(),
                             expected->data() + expected->size()))
          << station << "/" << clip;
    }
  }
  EXPECT_EQ(clips, testdisc::kMusicClipCount + testdisc::kAdvertCount);
  EXPECT_TRUE(fromImage.exits.statuses.empty());
}

TEST_P(DiscImageReadTest, CacheCopyEqualsTheCopyFromTheMountedDisc) {
  using Reports = std::vector<std::pair<std::string, float>>;
  Reports dirReports, imageReports;
  for (auto [start, reports] : {std::pair{&fromDirectory, &dirReports}, std::pair{&fromImage, &imageReports}}) {
    start->gameData->loadCatalogue();
    ASSERT_TRUE(start->gameData->copyAudioFiles(
        [reports](const char* name, float percent) { reports->emplace_back(name, percent); }));
  }
  EXPECT_EQ(imageReports, dirReports);
  const auto copied = filesIn(imageWork / "CACHE");
  EXPECT_EQ(copied, filesIn(dirWork / "CACHE"));
  EXPECT_EQ(copied.count("TRAKLKUP.DAT"), 1u);
  EXPECT_EQ(copied.count("CH.PAK"), 1u);
  EXPECT_TRUE(fromImage.prompts.shown.empty());
}

TEST_P(DiscImageReadTest, ByteRangesAcrossSectorsReadAsInTheFile) {
  ASSERT_TRUE(fromImage.gameData->locateDisc());
  const std::vector<uint8_t> pack = readBytes(source.disc.pack(testdisc::kMusic));
  ASSERT_GT(pack.size(), 3 * kImageSectorSize);
  auto file = fromImage.files.openRead(source.image / "AUDIO" / "STREAMS" / "ch.pak");
  ASSERT_TRUE(file);
  EXPECT_EQ(file->size(), pack.size());

  struct Range {
    uint64_t offset;
    size_t length;
    size_t expected;
  };
  const uint64_t end = pack.size();
  const Range ranges[] = {
      {0, 1, 1},                                                // first byte
      {2047, 2, 2},                                             // across a sector boundary
      {2048, 2 * kImageSectorSize, 2 * kImageSectorSize},       // whole sectors
      {1, 3 * kImageSectorSize + 5, 3 * kImageSectorSize + 5},  // ragged on both ends
      {end - 3, 10, 3},                                         // short at the end
      {end, 1, 0},                                              // at the end
  };
  for (const Range& r : ranges) {
    std::vector<uint8_t> bytes(r.length, 0xA5);
    ASSERT_TRUE(file->seek(r.offset)) << r.offset;
    ASSERT_EQ(file->read(bytes.data(), bytes.size()), r.expected) << r.offset;
    EXPECT_TRUE(
        std::equal(bytes.begin(), bytes.begin() + std::ptrdiff_t(r.expected), pack.begin() + std::ptrdiff_t(r.offset)))
        << r.offset;
  }
  EXPECT_FALSE(file->seek(end + 1));

  // The image's tree is read-only; the rest of the file system is not.
  const Path inImage = source.image / "AUDIO" / "STREAMS";
  EXPECT_EQ(fromImage.files.openWrite(inImage / "NEW.PAK"), nullptr);
  EXPECT_FALSE(fromImage.files.remove(inImage / "CH.PAK;1"));
  EXPECT_FALSE(fromImage.files.rename(inImage / "CH.PAK", imageWork / "CH.PAK"));
  EXPECT_TRUE(fromImage.files.isDirectory(inImage));
  EXPECT_TRUE(fromImage.files.createDirectory(imageWork / "CACHE"));
}

void putBothEndian32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) {
    bytes[at + size_t(i)] = uint8_t(value >> (8 * i));
    bytes[at + 7 - size_t(i)] = uint8_t(value >> (8 * i));
  }
}

TEST(DiscImageLargeTest, PackStoredPastFourGibibytesReadsWhole) {
  // The plain image with CH.PAK's data moved to just past 4 GiB, in a sparse
  // file, as on a full DVD image.
  ScopedTempDir temp;
  const Path image = temp.path() / "dvd.iso";
  std::vector<uint8_t> bytes = readBytes(plainImageDisc().image);
  const std::vector<uint8_t> pack = readBytes(plainImageDisc().disc.pack(testdisc::kMusic));
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  const size_t record = text.find("CH.PAK;1") - 33;
  constexpr uint32_t kFarSector = (uint32_t(1) << 21) + 5;  // 4 GiB + 10 KiB
  const uint32_t sectors = uint32_t((pack.size() + kImageSectorSize - 1) / kImageSectorSize);
  putBothEndian32(bytes, record + 2, kFarSector);                            // the extent's first sector
  putBothEndian32(bytes, 16 * kImageSectorSize + 80, kFarSector + sectors);  // the volume's size
  writeBytes(image, bytes);
  {
    std::FILE* f = std::fopen(image.c_str(), "r+b");
    ASSERT_TRUE(f);
    ASSERT_EQ(fseeko(f, off_t(kFarSector) * off_t(kImageSectorSize), SEEK_SET), 0);
    ASSERT_EQ(std::fwrite(pack.data(), 1, pack.size(), f), pack.size());
    std::fclose(f);
  }
  std::filesystem::resize_file(image, uint64_t(kFarSector + sectors) * kImageSectorSize);

  Start start(temp.path(), std::nullopt, image);
  ASSERT_TRUE(start.gameData->locateDisc()) << (start.prompts.shown.empty() ? "" : start.prompts.shown[0].text);
  auto file = start.files.openRead(image / "AUDIO" / "STREAMS" / "CH.PAK");
  ASSERT_TRUE(file);
  std::vector<uint8_t> read(pack.size());
  ASSERT_TRUE(file->seek(0));
  EXPECT_EQ(file->read(read.data(), read.size()), pack.size());
  EXPECT_EQ(read, pack);
}

INSTANTIATE_TEST_SUITE_P(Names, DiscImageReadTest, ::testing::ValuesIn(kImageKinds),
                         [](const auto& paramInfo) { return std::string(paramInfo.param.name); });

// ---- Images that cannot be used ----

// A plain image whose CH.PAK is recorded as the first of two extents (the
// second is CO.PAK's data under CH's name), as a file of 4 GiB or more is.
void splitThePack(const Path& image) {
  std::vector<uint8_t> bytes = readBytes(image);
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  const size_t name = text.find("CH.PAK;1");
  ASSERT_NE(name, std::string_view::npos);
  // The name starts 33 bytes into its directory record; the flags are at 25.
  bytes[name - 33 + 25] |= 0x80;
  writeBytes(image, bytes);
  ASSERT_EQ(patchBytes(image, "CO.PAK;1", "CH.PAK;1"), 1);
}

struct BadImage {
  const char* name;
  DiscImageProblem problem;
  const char* reason;  // part of the message
  void (*make)(const Path& image, const Path& scratch);
};

const BadImage kBadImages[] = {
    {"missing", DiscImageProblem::CannotOpen, "cannot be opened", [](const Path&, const Path&) {}},
    {"directory", DiscImageProblem::CannotOpen, "cannot be opened",
     [](const Path& image, const Path&) { std::filesystem::create_directories(image); }},
    {"FIFO", DiscImageProblem::CannotOpen, "neither a file nor a drive",
     [](const Path& image, const Path&) { ASSERT_EQ(::mkfifo(image.c_str(), 0600), 0); }},
    {"character device", DiscImageProblem::CannotOpen, "neither a file nor a drive",
     [](const Path& image, const Path&) { std::filesystem::create_symlink("/dev/zero", image); }},
    {"empty", DiscImageProblem::NotIso9660, "not an ISO 9660 image",
     [](const Path& image, const Path&) { writeBytes(image, {}); }},
    {"garbage", DiscImageProblem::NotIso9660, "not an ISO 9660 image",
     [](const Path& image, const Path&) {
       std::vector<uint8_t> bytes(200000);
       for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = packByte(7, i);
       writeBytes(image, bytes);
     }},
    {"truncated", DiscImageProblem::Truncated, "cut short",
     [](const Path& image, const Path&) {
       std::vector<uint8_t> bytes = readBytes(imageDisc(kImageKinds[1]).image);
       bytes.resize(bytes.size() / 2);
       writeBytes(image, bytes);
     }},
    {"without AUDIO", DiscImageProblem::NoAudioDirectory, "no AUDIO/CONFIG/TRAKLKUP.DAT",
     [](const Path& image, const Path& scratch) {
       writeBytes(scratch / "README.TXT", std::vector<uint8_t>{'h', 'i'});
       makeIsoImage(image, {{"/DATA/README.TXT", scratch / "README.TXT"}}, IsoNames::Plain);
     }},
    {"pack of 4 GiB", DiscImageProblem::FileTooLarge, "4 GiB or more",
     [](const Path& image, const Path&) {
       std::filesystem::copy_file(plainImageDisc().image, image);
       splitThePack(image);
     }},
};

std::optional<DiscImageProblem> problemOf(const Path& image) {
  auto opened = DiscImage::open(image);
  if (auto* error = std::get_if<DiscImageError>(&opened)) return error->problem;
  auto checked = checkGameDiscImage(*std::get<std::unique_ptr<DiscImage>>(opened));
  if (auto* error = std::get_if<DiscImageError>(&checked)) return error->problem;
  return std::nullopt;
}

class BadImageTest : public ::testing::TestWithParam<BadImage> {};

TEST_P(BadImageTest, NamedWithItsReasonThenTheDiscBoxAndNothingWritten) {
  const BadImage& bad = GetParam();
  ScopedTempDir temp;
  const Path image = temp.path() / "bad image.iso";
  bad.make(image, temp.path());

  EXPECT_EQ(problemOf(image), bad.problem);

  const Path work = temp.path() / "work";
  std::filesystem::create_directories(work);
  Start start(work, std::nullopt, image);
  start.prompts.answers = {MessageAnswer::Ok, MessageAnswer::Cancel};
  start.gameData->loadCatalogue();

  ASSERT_EQ(start.prompts.shown.size(), 2u);
  const std::string& message = start.prompts.shown[0].text;
  EXPECT_EQ(start.prompts.shown[0].buttons, MessageButtons::Ok);
  EXPECT_NE(message.find("The disc image " + std::filesystem::absolute(image).string()), std::string::npos) << message;
  EXPECT_NE(message.find(bad.reason), std::string::npos) << message;
  EXPECT_EQ(start.prompts.shown[1].text, kDiscMissingText);
  EXPECT_EQ(start.exits.statuses, std::vector<int>{0});
  EXPECT_FALSE(start.gameData->discRoot());
  EXPECT_TRUE(filesIn(work).empty());
}

INSTANTIATE_TEST_SUITE_P(Images, BadImageTest, ::testing::ValuesIn(kBadImages), [](const auto& paramInfo) {
  std::string name = paramInfo.param.name;
  std::replace(name.begin(), name.end(), ' ', '_');
  return name;
});

// ---- Choosing the image from the disc box, and remembering it ----

enum class Image { Good, Garbage, Missing, Fifo };

struct ChoiceCase {
  const char* name;
  std::optional<Image> remembered;
  std::vector<std::optional<Image>> picks;  // nullopt: the dialog is cancelled
  std::vector<MessageAnswer> answers;
  std::vector<MessageButtons> boxes;  // every box shown, in order
  bool found;
  bool rememberedAfter;  // the good image, or nothing
};

const ChoiceCase kChoiceCases[] = {
    {"PickedImageIsUsedAtOnceAndRemembered",
     std::nullopt,
     {Image::Good},
     {MessageAnswer::OpenImage},
     {MessageButtons::OkCancelOpenImage},
     true,
     true},
    {"BadPickIsNamedThenTheBoxAgain",
     std::nullopt,
     {Image::Garbage},
     {MessageAnswer::OpenImage, MessageAnswer::Ok, MessageAnswer::Cancel},
     {MessageButtons::OkCancelOpenImage, MessageButtons::Ok, MessageButtons::OkCancelOpenImage},
     false,
     false},
    {"CancelledDialogSearchesAgain",
     std::nullopt,
     {std::nullopt, Image::Good},
     {MessageAnswer::OpenImage, MessageAnswer::OpenImage},
     {MessageButtons::OkCancelOpenImage, MessageButtons::OkCancelOpenImage},
     true,
     true},
    {"RememberedImageIsUsedWithoutAsking", Image::Good, {}, {}, {}, true, true},
    {"RememberedImageThatWentIsForgottenSilently",
     Image::Missing,
     {},
     {MessageAnswer::Cancel},
     {MessageButtons::OkCancelOpenImage},
     false,
     false},
    {"RememberedImageThatBrokeIsNamedAndForgotten",
     Image::Garbage,
     {},
     {MessageAnswer::Ok, MessageAnswer::Cancel},
     {MessageButtons::Ok, MessageButtons::OkCancelOpenImage},
     false,
     false},
    // Would block every start before a window appears.
    {"RememberedFifoIsNamedAndForgottenWithoutBlocking",
     Image::Fifo,
     {},
     {MessageAnswer::Ok, MessageAnswer::Cancel},
     {MessageButtons::Ok, MessageButtons::OkCancelOpenImage},
     false,
     false},
    {"PickedFifoIsNamedThenTheBoxAgain",
     std::nullopt,
     {Image::Fifo},
     {MessageAnswer::OpenImage, MessageAnswer::Ok, MessageAnswer::Cancel},
     {MessageButtons::OkCancelOpenImage, MessageButtons::Ok, MessageButtons::OkCancelOpenImage},
     false,
     false},
};

class DiscImageChoiceTest : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(DiscImageChoiceTest, Flow) {
  const ChoiceCase& c = GetParam();
  ScopedTempDir temp;
  const Path good = plainImageDisc().image;
  const Path garbage = temp.path() / "garbage.iso";
  writeBytes(garbage, std::vector<uint8_t>(100000, 0x5A));
  const Path fifo = temp.path() / "pipe.iso";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  auto path = [&](Image image) {
    return image == Image::Good      ? good
           : image == Image::Garbage ? garbage
           : image == Image::Fifo    ? fifo
                                     : temp.path() / "gone.iso";
  };

  Start start(temp.path(), std::nullopt, std::nullopt, Start::Picker::Offered);
  if (c.remembered) start.memory.image = path(*c.remembered);
  for (const auto& pick : c.picks) start.picker.picks.push_back(pick ? std::optional(path(*pick)) : std::nullopt);
  start.prompts.answers.assign(c.answers.begin(), c.answers.end());

  EXPECT_EQ(start.gameData->locateDisc(), c.found);
  std::vector<MessageButtons> boxes;
  for (const auto& shown : start.prompts.shown) boxes.push_back(shown.buttons);
  EXPECT_EQ(boxes, c.boxes);
  EXPECT_EQ(start.picker.shown, int(c.picks.size()));
  EXPECT_EQ(start.memory.image, c.rememberedAfter ? std::optional(good) : std::nullopt);
  if (c.found) {
    EXPECT_EQ(start.gameData->discRoot(), good / "AUDIO");
    EXPECT_NE(start.gameData->readConfigFile(kLookupTableName), std::nullopt);
    EXPECT_TRUE(start.exits.statuses.empty());
  } else {
    EXPECT_EQ(start.exits.statuses, std::vector<int>{0});
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, DiscImageChoiceTest, ::testing::ValuesIn(kChoiceCases),
                         [](const auto& paramInfo) { return std::string(paramInfo.param.name); });

}  // namespace
}  // namespace wc::test
