#include "ui/qt/QtTrackExportServices.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMessageBox>
#include <QPainter>
#include <QProgressDialog>
#include <QPushButton>
#include <QStandardPaths>
#include <QUrl>

#include "audio/encode/TrackEncoders.h"
#include "ui/CoverArt.h"
#include "ui/qt/QtDrawSurface.h"
#include "ui/qt/TrackExportDialog.h"
#include "ui/qt/TrackExportMemory.h"

namespace wc {
namespace {

// Puts `dialog` in the middle of its parent's main window. Qt does so when a
// dialog first shows, but a progress window grows with its text afterwards.
void centreOnMainWindow(QWidget& dialog) {
  const QWidget* parent = dialog.parentWidget();
  if (!parent) return;
  const QRect main = parent->window()->frameGeometry();
  const QRect frame = dialog.frameGeometry();
  dialog.move(dialog.pos() + main.center() - frame.center());
}

class QtProgressWindow final : public ProgressWindow {
 public:
  QtProgressWindow(const std::string& title, QWidget* parent)
      : dialog_(QString(), QStringLiteral("Cancel"), 0, 1000, parent) {
    dialog_.setWindowTitle(QString::fromStdString(title));
    dialog_.setWindowModality(Qt::WindowModal);
    dialog_.setMinimumDuration(0);
    dialog_.setAutoClose(false);
    dialog_.setAutoReset(false);
    dialog_.setMinimumWidth(380);
    dialog_.show();
    centreOnMainWindow(dialog_);
    shownSize_ = dialog_.size();
  }
  bool update(const std::string& text, double fraction) override {
    dialog_.setLabelText(QString::fromStdString(text));
    dialog_.setValue(int(fraction * 1000));
    if (dialog_.size() != shownSize_) {
      centreOnMainWindow(dialog_);
      shownSize_ = dialog_.size();
    }
    QCoreApplication::processEvents();
    return !dialog_.wasCanceled();
  }

 private:
  QProgressDialog dialog_;
  QSize shownSize_;
};

}  // namespace

QtTrackExportServices::QtTrackExportServices(QWidget* parent, QSettings* settings)
    : parent_(parent), settings_(settings) {
  if (!settings_) return;
  if (auto remembered = loadTrackExportChoice(*settings_)) {
    last_ = remembered->choice;
    qualities_ = std::move(remembered->qualities);
  }
}

std::optional<TrackExportChoice> QtTrackExportServices::chooseTrackExport(const TrackExportChoice& proposal) {
  TrackExportChoice initial = last_.value_or(proposal);
  initial.album = proposal.album;  // the album follows the playlist, not the last export
  if (!last_) {
    initial.format = TrackFormat::Flac;
    initial.quality = trackFormatQuality(TrackFormat::Flac)->standard;
  }
  TrackExportDialog dialog(initial, qualities_, parent_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  last_ = dialog.choice();
  qualities_ = dialog.qualities();
  if (settings_) saveTrackExportChoice(*settings_, {*last_, qualities_});
  return last_;
}

std::unique_ptr<TrackEncoder> QtTrackExportServices::makeEncoder(TrackFormat format, int quality) {
  return makeTrackEncoder(format, quality);
}

std::vector<uint8_t> QtTrackExportServices::coverPng(const std::string& stationLabel, const std::string& album) {
  return paintPng(kCoverSize, [&](DrawSurface& s) { paintCover(s, stationLabel, album, kCoverSize); });
}

std::vector<uint8_t> QtTrackExportServices::paintPng(int size, const std::function<void(DrawSurface&)>& paint) {
  QImage image(size, size, QImage::Format_RGB32);
  {
    QPainter painter(&image);
    QtDrawSurface surface(painter);
    paint(surface);
  }
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) return {};
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

std::unique_ptr<ProgressWindow> QtTrackExportServices::showProgress(const std::string& title) {
  return std::make_unique<QtProgressWindow>(title, parent_);
}

std::string QtTrackExportServices::musicFolder() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
  if (folder.isEmpty()) folder = QDir::homePath();
  return QFile::encodeName(folder).toStdString();
}

bool QtTrackExportServices::showResult(const std::string& text) {
  QMessageBox box(QMessageBox::Information, QStringLiteral("Export Tracks"), QString::fromStdString(text),
                  QMessageBox::Ok, parent_);
  QPushButton* open = box.addButton(QStringLiteral("&Open Folder"), QMessageBox::ActionRole);
  box.setDefaultButton(QMessageBox::Ok);
  box.exec();
  return box.clickedButton() == open;
}

bool QtTrackExportServices::openFolder(const std::string& folder) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(folder.c_str())));
}

}  // namespace wc
