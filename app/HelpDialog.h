#pragma once
// The help box: a fixed text in a read-only, unwrapped edit field and an OK
// button. OK, Escape and the window's close button all just close it.
#include <QDialog>
#include <string>

class QPlainTextEdit;
class QPushButton;

namespace wc {

// The help text exactly as the box receives it: 25 lines, each ended by CR LF.
const std::string& helpText();

class CHelpDialog final : public QDialog {
  Q_OBJECT

 public:
  explicit CHelpDialog(QWidget* parent = nullptr);

  // The text shown in the edit field; it is moved into the field when the
  // box opens.
  void setText(std::string text) { text_ = std::move(text); }
  const std::string& text() const { return text_; }

  QPlainTextEdit* edit() const { return edit_; }
  QPushButton* okButton() const { return ok_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  std::string text_;
  QPlainTextEdit* edit_;
  QPushButton* ok_;
};

}  // namespace wc
