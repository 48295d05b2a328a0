#include "ui/qt/DetectionOfferSettings.h"

#include <QSettings>
#include <QStringList>

namespace wc {
namespace {

const QString kKey = QStringLiteral("songDetection/declinedDiscs");

}  // namespace

bool DetectionOfferSettings::declined(const std::string& disc) {
  return settings_.value(kKey).toStringList().contains(QString::fromStdString(disc));
}

void DetectionOfferSettings::decline(const std::string& disc) {
  QStringList discs = settings_.value(kKey).toStringList();
  const QString name = QString::fromStdString(disc);
  if (discs.contains(name)) return;
  discs.append(name);
  settings_.setValue(kKey, discs);
}

}  // namespace wc
