#include "ui/qt/TrackExportDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace wc {
namespace {

constexpr TrackFormat kFormats[] = {TrackFormat::Flac, TrackFormat::Opus, TrackFormat::Mp3, TrackFormat::Wave};

QString formatTitle(TrackFormat format) {
  switch (format) {
    case TrackFormat::Flac: return QStringLiteral("FLAC (lossless)");
    case TrackFormat::Opus: return QStringLiteral("Opus");
    case TrackFormat::Mp3: return QStringLiteral("MP3");
    case TrackFormat::Wave: return QStringLiteral("WAV (uncompressed)");
  }
  return {};
}

QString qualityTitle(TrackFormat format) {
  switch (format) {
    case TrackFormat::Flac: return QStringLiteral("Compression level (0 fastest, 8 smallest):");
    case TrackFormat::Opus: return QStringLiteral("Bitrate (kb/s):");
    case TrackFormat::Mp3: return QStringLiteral("VBR quality (0 best, 9 smallest):");
    case TrackFormat::Wave: return QStringLiteral("Quality:");
  }
  return {};
}

}  // namespace

TrackExportDialog::TrackExportDialog(const TrackExportChoice& initial, const std::map<TrackFormat, int>& qualities,
                                     QWidget* parent)
    : QDialog(parent), qualities_(qualities) {
  setWindowTitle(QStringLiteral("Export Tracks"));
  folder_ = new QLineEdit(QFile::decodeName(initial.folder.c_str()), this);
  browse_ = new QPushButton(QStringLiteral("&Browse..."), this);
  format_ = new QComboBox(this);
  for (TrackFormat f : kFormats) format_->addItem(formatTitle(f), int(f));
  qualityLabel_ = new QLabel(this);
  quality_ = new QSpinBox(this);
  album_ = new QLineEdit(QString::fromStdString(initial.album), this);
  buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  okButton()->setText(QStringLiteral("Export"));

  auto* folderRow = new QHBoxLayout;
  folderRow->addWidget(folder_, 1);
  folderRow->addWidget(browse_);
  auto* form = new QFormLayout(this);
  auto* folderLabel = new QLabel(QStringLiteral("&Folder:"), this);
  folderLabel->setBuddy(folder_);
  folder_->setMinimumWidth(folder_->fontMetrics().averageCharWidth() * 40);
  form->addRow(folderLabel, folderRow);
  form->addRow(QStringLiteral("F&ormat:"), format_);
  form->addRow(qualityLabel_, quality_);
  form->addRow(QStringLiteral("&Album:"), album_);
  form->addRow(new QLabel(QStringLiteral("One file per track, named \"NN - Title\", and a playlist named after the "
                                         "album."),
                          this));
  form->addRow(buttons_);
  qualityLabel_->setBuddy(quality_);

  // Each format keeps its own quality while the user switches between them.
  if (initial.quality > 0 || initial.format == TrackFormat::Flac || initial.format == TrackFormat::Mp3)
    qualities_[initial.format] = initial.quality;
  format_->setCurrentIndex(format_->findData(int(initial.format)));
  showQualityOf(initial.format);
  connect(format_, &QComboBox::currentIndexChanged, this, [this] { showQualityOf(currentFormat()); });
  connect(quality_, &QSpinBox::valueChanged, this, [this](int q) { qualities_[currentFormat()] = q; });
  connect(browse_, &QPushButton::clicked, this, &TrackExportDialog::chooseFolder);
  auto updateOk = [this] { okButton()->setEnabled(!folder_->text().trimmed().isEmpty()); };
  connect(folder_, &QLineEdit::textChanged, this, updateOk);
  updateOk();
  connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QPushButton* TrackExportDialog::okButton() const { return buttons_->button(QDialogButtonBox::Ok); }

TrackFormat TrackExportDialog::currentFormat() const { return TrackFormat(format_->currentData().toInt()); }

void TrackExportDialog::showQualityOf(TrackFormat format) {
  const auto range = trackFormatQuality(format);
  qualityLabel_->setText(qualityTitle(format));
  quality_->setEnabled(range.has_value());
  if (!range) {
    quality_->setSpecialValueText(QStringLiteral("-"));
    QSignalBlocker block(quality_);
    quality_->setRange(0, 0);
    return;
  }
  quality_->setSpecialValueText(QString());
  const auto known = qualities_.find(format);
  const int value = known != qualities_.end() ? known->second : range->standard;
  QSignalBlocker block(quality_);
  quality_->setRange(range->lowest, range->highest);
  quality_->setValue(value);
  qualities_[format] = quality_->value();
}

void TrackExportDialog::chooseFolder() {
  QFileDialog dialog(this, QStringLiteral("Choose the folder for the tracks"), folder_->text());
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly, true);
  if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
    folder_->setText(dialog.selectedFiles().first());
}

TrackExportChoice TrackExportDialog::choice() const {
  TrackExportChoice c;
  c.folder = QFile::encodeName(folder_->text().trimmed()).toStdString();
  c.format = currentFormat();
  c.quality = trackFormatQuality(c.format) ? quality_->value() : 0;
  c.album = album_->text().trimmed().toStdString();
  return c;
}

}  // namespace wc
