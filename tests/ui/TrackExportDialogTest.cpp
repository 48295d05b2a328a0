// The Export Tracks dialog and the window's services behind the command.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

#include "ui/CoverArt.h"
#include "ui/qt/QtTrackExportServices.h"
#include "ui/qt/TrackExportDialog.h"

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
TEST(TrackExportDialogTest, TheServicesRememberTheLastChoice) {
  QWidget window;
  QtTrackExportServices services(&window);
  auto answer = [](std::function<void(TrackExportDialog&)> act) {
    QTimer::singleShot(0, [act] {
      auto* d = qobject_cast<TrackExportDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(d, nullptr);
      act(*d);
    });
  };
  answer([](TrackExportDialog& d) {
    EXPECT_EQ(d.formatBox()->currentData().toInt(), int(TrackFormat::Flac));
    d.folderEdit()->setText("/srv/music");
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

TEST(TrackExportDialogTest, CoverIsASquarePngOfTheBanner) {
  QWidget window;
  QtTrackExportServices services(&window);
  const auto png = services.paintPng(kCoverSize, [](DrawSurface& s) { paintStationCover(s, "Test FM", kCoverSize); });
  ASSERT_GT(png.size(), 8u);
  QImage image;
  ASSERT_TRUE(image.loadFromData(png.data(), int(png.size()), "PNG"));
  EXPECT_EQ(image.width(), kCoverSize);
  EXPECT_EQ(image.height(), kCoverSize);
  EXPECT_EQ(image.pixel(kCoverSize / 2, kCoverSize / 4) & 0xffffff, 0x80c080u);  // the banner's green
  EXPECT_EQ(image.pixel(2, 2) & 0xffffff, 0x609060u);                            // the arrow boxes' frame
}

}  // namespace
}  // namespace wc
