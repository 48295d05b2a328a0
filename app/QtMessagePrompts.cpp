#include "app/QtMessagePrompts.h"

#include <QMessageBox>
#include <QPushButton>
#include <QString>

#include "app/QtDiscImageChoice.h"

namespace wc {

MessageAnswer QtMessagePrompts::showMessage(std::string_view caption, std::string_view text, MessageButtons buttons) {
  const bool okCancel = buttons != MessageButtons::Ok;
  QMessageBox box(okCancel ? QMessageBox::Warning : QMessageBox::Information,
                  QString::fromUtf8(caption.data(), qsizetype(caption.size())),
                  QString::fromUtf8(text.data(), qsizetype(text.size())),
                  okCancel ? (QMessageBox::Ok | QMessageBox::Cancel) : QMessageBox::Ok);
  box.setEscapeButton(okCancel ? QMessageBox::Cancel : QMessageBox::Ok);
  QPushButton* openImage = nullptr;
  if (buttons == MessageButtons::OkCancelOpenImage)
    openImage = box.addButton(QString::fromLatin1(kOpenDiscImageButton), QMessageBox::ActionRole);
  // Closing the box with its close button counts as Cancel.
  const int result = box.exec();
  if (openImage && box.clickedButton() == openImage) return MessageAnswer::OpenImage;
  return result == QMessageBox::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

}  // namespace wc
