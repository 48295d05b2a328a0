// The window program's side of disc images: the disc box's third button,
// the image remembered per working directory, and --disc-image.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QSettings>
#include <QTimer>

#include "app/QtDiscImageChoice.h"
#include "app/QtMessagePrompts.h"
#include "app/StartupArguments.h"
#include "gamedata/DiscLocator.h"
#include "support/DiscFixture.h"

namespace wc::test {
namespace {

// Presses the button of the next modal box whose text is `button` ("" for
// the Escape key), noting every button text the box had.
void pressInNextBox(const QString& button, QStringList& seen) {
  QTimer::singleShot(0, [button, &seen] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    for (QAbstractButton* b : box->buttons()) seen << b->text().remove(QLatin1Char('&'));
    if (button.isEmpty()) {
      box->reject();
      return;
    }
    for (QAbstractButton* b : box->buttons())
      if (b->text().remove(QLatin1Char('&')) == button) b->click();
  });
}

struct BoxCase {
  MessageButtons buttons;
  const char* press;
  MessageAnswer expected;
  int buttonCount;
};

TEST(DiscBoxButtonsTest, ThirdButtonAnswersOpenImageAndTheOthersKeepTheirMeaning) {
  const BoxCase cases[] = {
      {MessageButtons::OkCancelOpenImage, kOpenDiscImageButton, MessageAnswer::OpenImage, 3},
      {MessageButtons::OkCancelOpenImage, "OK", MessageAnswer::Ok, 3},
      {MessageButtons::OkCancelOpenImage, "Cancel", MessageAnswer::Cancel, 3},
      {MessageButtons::OkCancelOpenImage, "", MessageAnswer::Cancel, 3},  // closed
      {MessageButtons::OkCancel, "OK", MessageAnswer::Ok, 2},
  };
  QtMessagePrompts prompts;
  for (const BoxCase& c : cases) {
    QStringList seen;
    pressInNextBox(QString::fromLatin1(c.press), seen);
    EXPECT_EQ(prompts.showMessage(kDiscMissingCaption, kDiscMissingText, c.buttons), c.expected) << c.press;
    EXPECT_EQ(seen.size(), c.buttonCount) << seen.join(',').toStdString();
    EXPECT_EQ(seen.contains(QString::fromLatin1(kOpenDiscImageButton)), c.buttonCount == 3);
  }
}

TEST(DiscImageMemoryTest, OneImagePerWorkingDirectoryKeptAcrossRuns) {
  ScopedTempDir dir;
  const QString file = QString::fromStdString((dir.path() / "settings.ini").string());
  const Path a = "/home/me/radio mixes";
  const Path b = "/home/me/radio mixes/more";
  {
    QSettings settings(file, QSettings::IniFormat);
    QtDiscImageMemory first(settings, a);
    QtDiscImageMemory second(settings, b);
    EXPECT_EQ(first.recall(), std::nullopt);
    first.remember("/isos/game.iso");
    second.remember("/isos/other.iso");
    second.remember("/isos/newer.iso");
  }
  QSettings settings(file, QSettings::IniFormat);  // as at the next start
  QtDiscImageMemory first(settings, a);
  QtDiscImageMemory second(settings, b);
  QtDiscImageMemory unrelated(settings, "/home/me");
  EXPECT_EQ(first.recall(), Path("/isos/game.iso"));
  EXPECT_EQ(second.recall(), Path("/isos/newer.iso"));
  EXPECT_EQ(unrelated.recall(), std::nullopt);
  first.forget();
  EXPECT_EQ(QtDiscImageMemory(settings, a).recall(), std::nullopt);
  EXPECT_EQ(second.recall(), Path("/isos/newer.iso"));
}

TEST(StartupArgumentsTest, DiscImageOption) {
  struct Case {
    QStringList arguments;
    std::optional<Path> image;
    bool error;
  };
  const Case cases[] = {
      {{"wavecrate"}, std::nullopt, false},
      {{"wavecrate", "--disc-image", "game.iso"}, Path("game.iso"), false},
      {{"wavecrate", "--disc-image=/isos/a b.iso"}, Path("/isos/a b.iso"), false},
      {{"wavecrate", "other", "--disc-image", "x.iso"}, Path("x.iso"), false},
      {{"wavecrate", "--disc-image"}, std::nullopt, true},
      {{"wavecrate", "--disc-image="}, std::nullopt, true},
  };
  for (const Case& c : cases) {
    const auto parsed = parseStartupArguments(c.arguments);
    const auto* ok = std::get_if<StartupArguments>(&parsed);
    EXPECT_EQ(ok == nullptr, c.error) << c.arguments.join(' ').toStdString();
    if (ok) {
      EXPECT_EQ(ok->discImage, c.image) << c.arguments.join(' ').toStdString();
    }
  }
}

}  // namespace
}  // namespace wc::test
