#include "ui/qt/EditClipDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValidator>

namespace wc {

namespace {

QColor classColour(ClipClass clipClass) {
  const uint32_t c = clipClassColour(clipClass);
  return QColor(int(c >> 16) & 0xFF, int(c >> 8) & 0xFF, int(c) & 0xFF);
}

// The records hold single bytes; the browser draws them as Latin-1.
class ClipTextValidator final : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    if (input.size() > qsizetype(kMaxClipTextLength)) return Invalid;
    for (QChar c : input)
      if (c.unicode() < 0x20 || c.unicode() > 0xFF) return Invalid;
    return Acceptable;
  }
};

}  // namespace

std::string toClipText(const QString& text) { return text.toLatin1().toStdString(); }

QString fromClipText(const std::string& text) { return QString::fromLatin1(text.data(), qsizetype(text.size())); }

QLineEdit* makeClipTextEdit(const QString& text, QWidget* parent) {
  auto* edit = new QLineEdit(text, parent);
  edit->setMaxLength(int(kMaxClipTextLength));
  edit->setValidator(new ClipTextValidator(edit));
  return edit;
}

EditClipDialog::EditClipDialog(const ClipEditRequest& request, QWidget* parent) : QDialog(parent), request_(request) {
  setWindowTitle(QStringLiteral("Edit Clip"));
  for (const std::string& t : request_.followingTitles) followingTitles_.push_back(fromClipText(t));

  auto* heading = new QLabel(
      QStringLiteral("%1, clip #%2").arg(fromClipText(request_.stationLabel)).arg(request_.clipIndex + 1), this);

  class_ = new QComboBox(this);
  for (int c = 0; c < kClipClassCount; ++c) {
    class_->addItem(QStringLiteral("%1 - %2").arg(c).arg(QString::fromLatin1(clipClassRole(c))), c);
    class_->setItemData(c, classColour(ClipClass(c)), Qt::BackgroundRole);
    class_->setItemData(c, QColor(Qt::black), Qt::ForegroundRole);
  }
  const int32_t current = request_.current.clipClass;
  class_->setCurrentIndex(current >= 0 && current < kClipClassCount ? current : -1);

  artist_ = makeClipTextEdit(fromClipText(request_.current.artist), this);
  title_ = makeClipTextEdit(fromClipText(request_.current.title), this);

  const int room = request_.followOnRoom();
  intros_ = new QSpinBox(this);
  outros_ = new QSpinBox(this);
  // Ranges first, so values a broken catalogue file holds are clamped.
  intros_->setRange(0, room);
  outros_->setRange(0, room);
  intros_->setValue(std::max(request_.current.intros, 0));
  outros_->setValue(std::max(request_.current.outros, 0));
  if (intros_->value() + outros_->value() > room) outros_->setValue(room - intros_->value());

  followOn_ = new QTableWidget(0, 2, this);
  followOn_->setHorizontalHeaderLabels({QStringLiteral("Clip"), QStringLiteral("Words spoken over it")});
  followOn_->horizontalHeader()->setStretchLastSection(true);
  followOn_->verticalHeader()->hide();
  followOn_->setSelectionMode(QAbstractItemView::NoSelection);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("&Class:"), class_);
  form->addRow(QStringLiteral("&Artist:"), artist_);
  form->addRow(QStringLiteral("&Title:"), title_);
  form->addRow(QStringLiteral("&Intros:"), intros_);
  form->addRow(QStringLiteral("&Outros:"), outros_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &EditClipDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &EditClipDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(heading);
  layout->addLayout(form);
  layout->addWidget(new QLabel(QStringLiteral("Intros and outros of this clip:"), this));
  layout->addWidget(followOn_);
  layout->addWidget(buttons);

  connect(class_, &QComboBox::currentIndexChanged, this, &EditClipDialog::showClassColour);
  connect(intros_, &QSpinBox::valueChanged, this, [this] {
    updateCountLimits();
    rebuildFollowOnTable();
  });
  connect(outros_, &QSpinBox::valueChanged, this, [this] {
    updateCountLimits();
    rebuildFollowOnTable();
  });
  updateCountLimits();
  rebuildFollowOnTable();
  showClassColour();
  resize(480, 420);
}

void EditClipDialog::updateCountLimits() {
  // Intros and outros share the clips behind this one.
  const int room = request_.followOnRoom();
  intros_->setMaximum(room - outros_->value());
  outros_->setMaximum(room - intros_->value());
}

void EditClipDialog::rebuildFollowOnTable() {
  const int intros = intros_->value();
  const int rows = intros + outros_->value();
  followOn_->setRowCount(rows);
  for (int row = 0; row < rows; ++row) {
    const bool isIntro = row < intros;
    const int number = isIntro ? row + 1 : row - intros + 1;
    const int clipIndex = request_.clipIndex + 1 + row;
    auto* name = new QTableWidgetItem(
        QStringLiteral("%1 %2 (clip #%3)").arg(isIntro ? "Intro" : "Outro").arg(number).arg(clipIndex + 1));
    name->setFlags(Qt::ItemIsEnabled);
    followOn_->setItem(row, 0, name);
    auto* edit = makeClipTextEdit(followingTitles_[size_t(row)], followOn_);
    edit->setPlaceholderText(isIntro ? QStringLiteral("(no speech over intro)")
                                     : QStringLiteral("(no speech over outro)"));
    connect(edit, &QLineEdit::textChanged, this,
            [this, row](const QString& text) { followingTitles_[size_t(row)] = text; });
    followOn_->setCellWidget(row, 1, edit);
  }
  followOn_->resizeColumnToContents(0);
}

void EditClipDialog::showClassColour() {
  QPalette palette = class_->palette();
  const int c = class_->currentIndex();
  if (c >= 0) {
    palette.setColor(QPalette::Button, classColour(ClipClass(c)));
    palette.setColor(QPalette::ButtonText, Qt::black);
  }
  class_->setPalette(palette);
}

QLineEdit* EditClipDialog::followOnTitleEdit(int row) const {
  return qobject_cast<QLineEdit*>(followOn_->cellWidget(row, 1));
}

ClipEdit EditClipDialog::edit() const {
  ClipEdit edit;
  edit.annotation.clipClass = class_->currentIndex() >= 0 ? class_->currentData().toInt() : -1;
  edit.annotation.artist = toClipText(artist_->text());
  edit.annotation.title = toClipText(title_->text());
  edit.annotation.intros = intros_->value();
  edit.annotation.outros = outros_->value();
  const int rows = edit.annotation.intros + edit.annotation.outros;
  for (int row = 0; row < rows; ++row) {
    const std::string title = toClipText(followingTitles_[size_t(row)]);
    if (title != request_.followingTitles[size_t(row)])
      edit.followOnTitles.push_back({request_.clipIndex + 1 + row, title});
  }
  return edit;
}

QString EditClipDialog::problem() const {
  const ClipEdit e = edit();
  if (e.annotation.clipClass < 0) return QStringLiteral("Choose a class for the clip.");
  // The checks the view applies, against the station as the request saw it.
  const int room = request_.followOnRoom();
  return QString::fromStdString(describeProblem(checkClipEdit(e, request_.clipIndex, room), room));
}

void EditClipDialog::accept() {
  const QString why = problem();
  if (!why.isEmpty()) {
    QMessageBox::warning(this, QStringLiteral("Edit Clip"), why);
    return;
  }
  QDialog::accept();
}

}  // namespace wc
