#pragma once
// The "Export Tracks" dialog: the folder (typed or chosen with the standard
// folder chooser), the format, its quality where it has one (each format
// keeps its own) and the album name. OK needs a folder.
#include <QDialog>
#include <map>

#include "session/TrackExportServices.h"

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace wc {

class TrackExportDialog final : public QDialog {
  Q_OBJECT

 public:
  // `qualities` holds the quality last used with each format.
  TrackExportDialog(const TrackExportChoice& initial, const std::map<TrackFormat, int>& qualities,
                    QWidget* parent = nullptr);

  TrackExportChoice choice() const;
  const std::map<TrackFormat, int>& qualities() const { return qualities_; }

  QLineEdit* folderEdit() const { return folder_; }
  QPushButton* browseButton() const { return browse_; }
  QComboBox* formatBox() const { return format_; }
  QSpinBox* qualityBox() const { return quality_; }
  QLabel* qualityLabel() const { return qualityLabel_; }
  QLineEdit* albumEdit() const { return album_; }
  QPushButton* okButton() const;

 private:
  TrackFormat currentFormat() const;
  void showQualityOf(TrackFormat format);
  void chooseFolder();

  std::map<TrackFormat, int> qualities_;
  QLineEdit* folder_;
  QPushButton* browse_;
  QComboBox* format_;
  QLabel* qualityLabel_;
  QSpinBox* quality_;
  QLineEdit* album_;
  QDialogButtonBox* buttons_;
};

}  // namespace wc
