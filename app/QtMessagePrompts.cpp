#include "app/QtMessagePrompts.h"

#include <QMessageBox>
#include <QString>

namespace wc {

MessageAnswer QtMessagePrompts::showMessage(std::string_view caption, std::string_view text,
                                            MessageButtons buttons) {
  const bool okCancel = buttons == MessageButtons::OkCancel;
  QMessageBox box(okCancel ? QMessageBox::Warning : QMessageBox::Information,
                  QString::fromUtf8(caption.data(), qsizetype(caption.size())),
                  QString::fromUtf8(text.data(), qsizetype(text.size())),
                  okCancel ? (QMessageBox::Ok | QMessageBox::Cancel) : QMessageBox::Ok);
  box.setEscapeButton(okCancel ? QMessageBox::Cancel : QMessageBox::Ok);
  // Closing the box with its close button counts as Cancel.
  return box.exec() == QMessageBox::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

}  // namespace wc
