#include "ui/qt/QtTrackExportServices.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QProgressDialog>

#include "audio/encode/TrackEncoders.h"
#include "ui/CoverArt.h"
#include "ui/qt/QtDrawSurface.h"
#include "ui/qt/TrackExportDialog.h"
#include "ui/qt/TrackExportMemory.h"

namespace wc {
namespace {

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
  }
  bool update(const std::string& text, double fraction) override {
    dialog_.setLabelText(QString::fromStdString(text));
    dialog_.setValue(int(fraction * 1000));
    QCoreApplication::processEvents();
    return !dialog_.wasCanceled();
  }

 private:
  QProgressDialog dialog_;
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

}  // namespace wc
