#include "app/HelpDialog.h"

#include <QPlainTextEdit>
#include <QPushButton>

namespace wc {

const std::string& helpText() {
  static const std::string text =
      "Wavecrate\r\n"
      "\r\n"
      "The left window shows available audio clips.  The right window shows the\r\n"
      "current CD playlist.\r\n"
      "\r\n"
      "Select a radio station in the left window using the left and right arrows in\r\n"
      "the green banner at the top.  Double-click a clip to preview it, or use its\r\n"
      "preview button.  Each colour indicates a different type of clip.\r\n"
      "\r\n"
      "Drag clips to the CD playlist.  Move the tracks around at will.  Drag them\r\n"
      "off the list to remove them.  Click the track number to play the CD from\r\n"
      "that track.  Click the bottom of the track number to just play the outro of\r\n"
      "a song.\r\n"
      "\r\n"
      "The CD transport at the top can also be used to control playback.\r\n"
      "\r\n"
      "You can use commands in the Tools menu to help you make playlists.\r\n"
      "\r\n"
      "When you are finished, use the File->Export CD command to export a\r\n"
      "WAV file ready for direct-to-CD burning.  This also exports a CUE file\r\n"
      "which can be used with many CD burning programs.\r\n"
      "\r\n"
      "To optimize performance you can cache the data files from the DVD onto\r\n"
      "your hard drive.  Select File->Copy Audio Files to do this.  It takes about\r\n"
      "10 minutes to copy them all.\r\n";
  return text;
}

namespace {
// The box was laid out in dialog units of an 8-point dialog font: one
// horizontal unit is 6/4 pixel, one vertical unit 13/8 pixel.
QRect fromDialogUnits(int x, int y, int w, int h) { return QRect(x * 6 / 4, y * 13 / 8, w * 6 / 4, h * 13 / 8); }
}  // namespace

CHelpDialog::CHelpDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("About Wavecrate"));
  setModal(true);
  setFixedSize(fromDialogUnits(0, 0, 314, 266).size());

  edit_ = new QPlainTextEdit(this);
  edit_->setGeometry(fromDialogUnits(7, 7, 243, 252));
  edit_->setReadOnly(true);
  edit_->setLineWrapMode(QPlainTextEdit::NoWrap);
  // Long lines scroll with the caret, without a horizontal scroll bar.
  edit_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  edit_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

  ok_ = new QPushButton(QStringLiteral("OK"), this);
  ok_->setGeometry(fromDialogUnits(257, 243, 50, 16));
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
}

void CHelpDialog::showEvent(QShowEvent* event) {
  // A text block ends at every '\r' as well as at '\n', so the field gets
  // plain line feeds; text() keeps the exact string.
  QString shown = QString::fromStdString(text_);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  edit_->setPlainText(shown);
  QDialog::showEvent(event);
}

}  // namespace wc
