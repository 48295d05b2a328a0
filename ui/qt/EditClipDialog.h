#pragma once
// The "Edit Clip" dialog: Class, Artist, Title, Intros and Outros of one clip,
// and the titles of its intro and outro clips (the words spoken over them),
// which the browser hides while "Show all clips" is off. The counts cannot be
// set past the station's last clip; OK refuses anything the catalogue could
// not hold and says why.
#include <QDialog>
#include <QString>
#include <vector>

#include "session/ClipEdit.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTableWidget;

namespace wc {

class EditClipDialog final : public QDialog {
  Q_OBJECT

 public:
  explicit EditClipDialog(const ClipEditRequest& request, QWidget* parent = nullptr);

  // The edit as the fields stand now; follow-on titles only where changed.
  ClipEdit edit() const;
  // What keeps OK from closing the dialog; empty when nothing does.
  QString problem() const;

  // Refuses, with a box saying why, while problem() is not empty.
  void accept() override;

  QComboBox* classBox() const { return class_; }
  QLineEdit* artistEdit() const { return artist_; }
  QLineEdit* titleEdit() const { return title_; }
  QSpinBox* introsBox() const { return intros_; }
  QSpinBox* outrosBox() const { return outros_; }
  // One row per intro and outro: its name, then an editor for its title.
  QTableWidget* followOnTable() const { return followOn_; }
  QLineEdit* followOnTitleEdit(int row) const;

 private:
  void updateCountLimits();
  void rebuildFollowOnTable();
  void showClassColour();

  ClipEditRequest request_;
  // Working titles of the clips behind this one, as edited so far.
  std::vector<QString> followingTitles_;
  QComboBox* class_;
  QLineEdit* artist_;
  QLineEdit* title_;
  QSpinBox* intros_;
  QSpinBox* outros_;
  QTableWidget* followOn_;
};

// A line editor for a record's text field: at most 63 Latin-1 characters
// and no control characters.
QLineEdit* makeClipTextEdit(const QString& text, QWidget* parent);
std::string toClipText(const QString& text);
QString fromClipText(const std::string& text);

}  // namespace wc
