// The Export Tracks dialog and the window's services behind the command.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>

#include "ui/CoverArt.h"
#include "ui/qt/QtTrackExportServices.h"
#include "ui/qt/TrackExportDialog.h"
#include "ui/qt/TrackExportMemory.h"

namespace wc {
namespace {

void selectFormat(TrackExportDialog& d, TrackFormat format) {
  d.formatBox()->setCurrentIndex(d.formatBox()->findData(int(format)));
}

TEST(TrackExportDialogTest, EachFormatShowsItsOwnQuality) {
  TrackExportDialog dialog({"", TrackFormat::Flac, 5, "Mix"}, {});
  struct Case {
    TrackFormat format;
    bool hasQuality;
    int lowest, highest, standard;
    const char* label;
  };
  const Case cases[] = {{TrackFormat::Opus, true, 6, 256, 160, "Bitrate"},
                        {TrackFormat::Mp3, true, 0, 9, 2, "VBR quality"},
                        {TrackFormat::Wave, false, 0, 0, 0, "Quality"},
                        {TrackFormat::Flac, true, 0, 8, 5, "Compression level"}};
  for (const Case& c : cases) {
    selectFormat(dialog, c.format);
    SCOPED_TRACE(dialog.formatBox()->currentText().toStdString());
    EXPECT_EQ(dialog.qualityBox()->isEnabled(), c.hasQuality);
    EXPECT_TRUE(dialog.qualityLabel()->text().startsWith(c.label));
    if (!c.hasQuality) continue;
    EXPECT_EQ(dialog.qualityBox()->minimum(), c.lowest);
    EXPECT_EQ(dialog.qualityBox()->maximum(), c.highest);
    EXPECT_EQ(dialog.qualityBox()->value(), c.standard);
  }
  // A quality set for one format survives a look at another.
  selectFormat(dialog, TrackFormat::Opus);
  dialog.qualityBox()->setValue(96);
  selectFormat(dialog, TrackFormat::Mp3);
  dialog.qualityBox()->setValue(0);
  selectFormat(dialog, TrackFormat::Opus);
  EXPECT_EQ(dialog.qualityBox()->value(), 96);
  EXPECT_EQ(dialog.qualities().at(TrackFormat::Mp3), 0);
}

TEST(TrackExportDialogTest, ExportNeedsAFolderAndReturnsTheChoice) {
  TrackExportDialog dialog({"", TrackFormat::Flac, 5, "Friday Mix"}, {});
  EXPECT_FALSE(dialog.okButton()->isEnabled());
  dialog.folderEdit()->setText("  ");
  EXPECT_FALSE(dialog.okButton()->isEnabled());
  dialog.folderEdit()->setText("/tmp/music ");
  EXPECT_TRUE(dialog.okButton()->isEnabled());
  selectFormat(dialog, TrackFormat::Wave);
  const TrackExportChoice c = dialog.choice();
  EXPECT_EQ(c.folder, "/tmp/music");
  EXPECT_EQ(c.format, TrackFormat::Wave);
  EXPECT_EQ(c.album, "Friday Mix");
}

// The services run the dialog modally: a timer plays the user.
void answer(std::function<void(TrackExportDialog&)> act) {
  QTimer::singleShot(0, [act] {
    auto* d = qobject_cast<TrackExportDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(d, nullptr);
    act(*d);
  });
}

// The choices outlive the dialog, and with settings the program: a second
// services object on the same settings file is the next run.
TEST(TrackExportDialogTest, TheServicesRememberTheLastChoiceAcrossRuns) {
  QTemporaryDir dir;
  QSettings settings(dir.filePath("wavecrate.conf"), QSettings::IniFormat);
  QWidget window;
  {
    QtTrackExportServices services(&window, &settings);
    answer([](TrackExportDialog& d) {
      EXPECT_EQ(d.formatBox()->currentData().toInt(), int(TrackFormat::Flac));
      d.folderEdit()->setText("/srv/music");
      selectFormat(d, TrackFormat::Mp3);
      d.qualityBox()->setValue(4);
      selectFormat(d, TrackFormat::Opus);
      d.qualityBox()->setValue(128);
      d.accept();
    });
    const auto first = services.chooseTrackExport({"", TrackFormat::Flac, 5, "One"});
    ASSERT_TRUE(first);
    EXPECT_EQ(first->quality, 128);
    answer([](TrackExportDialog& d) {
      EXPECT_EQ(d.folderEdit()->text(), "/srv/music");
      EXPECT_EQ(d.formatBox()->currentData().toInt(), int(TrackFormat::Opus));
      EXPECT_EQ(d.qualityBox()->value(), 128);
      EXPECT_EQ(d.albumEdit()->text(), "Two");  // the album follows the playlist
      d.reject();
    });
    EXPECT_FALSE(services.chooseTrackExport({"", TrackFormat::Flac, 5, "Two"}));
  }
  QtTrackExportServices nextRun(&window, &settings);
  answer([](TrackExportDialog& d) {
    EXPECT_EQ(d.folderEdit()->text(), "/srv/music");
    EXPECT_EQ(d.formatBox()->currentData().toInt(), int(TrackFormat::Opus));
    EXPECT_EQ(d.qualityBox()->value(), 128);
    EXPECT_EQ(d.albumEdit()->text(), "Three");
    selectFormat(d, TrackFormat::Mp3);  // each format brings back its own quality
    EXPECT_EQ(d.qualityBox()->value(), 4);
    d.accept();
  });
  const auto third = nextRun.chooseTrackExport({"", TrackFormat::Flac, 5, "Three"});
  ASSERT_TRUE(third);
  EXPECT_EQ(third->format, TrackFormat::Mp3);
  EXPECT_EQ(third->quality, 4);
}

// A settings file edited by hand or left by another version: what cannot be
// used falls back to the defaults instead of reaching the encoders.
TEST(TrackExportDialogTest, DamagedSettingsFallBackToDefaults) {
  struct Case {
    const char* format;
    const char* quality;
    std::optional<TrackFormat> expectFormat;
    int expectQuality;
  };
  const Case cases[] = {
      {"opus", "96", TrackFormat::Opus, 96},
      {"opus", "9999", TrackFormat::Opus, 160},
      {"mp3", "high", TrackFormat::Mp3, 2},
      {"mp3", "-1", TrackFormat::Mp3, 2},
      {"wav", "3", TrackFormat::Wave, 0},
      {"ogg", "5", std::nullopt, 0},
      {"", "", std::nullopt, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.format) + " " + c.quality);
    QTemporaryDir dir;
    QSettings settings(dir.filePath("wavecrate.conf"), QSettings::IniFormat);
    if (*c.format) settings.setValue("TrackExport/format", c.format);
    settings.setValue(QString("TrackExport/quality-") + c.format, c.quality);
    const auto loaded = loadTrackExportChoice(settings);
    ASSERT_EQ(loaded.has_value(), c.expectFormat.has_value());
    if (!loaded) continue;
    EXPECT_EQ(loaded->choice.format, *c.expectFormat);
    EXPECT_EQ(loaded->choice.quality, c.expectQuality);
  }
}

// The same names give the same bytes, so exports stay reproducible; the
// names are what changes the picture.
TEST(TrackExportDialogTest, CoverIsASquarePngMadeOfTheNames) {
  QWidget window;
  QtTrackExportServices services(&window);
  const auto png = services.coverPng("Test FM", "Friday Mix");
  QImage image;
  ASSERT_TRUE(image.loadFromData(png.data(), int(png.size()), "PNG"));
  EXPECT_EQ(image.size(), QSize(kCoverSize, kCoverSize));
  EXPECT_EQ(services.coverPng("Test FM", "Friday Mix"), png);
  EXPECT_NE(services.coverPng("Test FM", "Saturday Mix"), png);
  EXPECT_NE(services.coverPng("", "Friday Mix"), png);
}

}  // namespace
}  // namespace wc
