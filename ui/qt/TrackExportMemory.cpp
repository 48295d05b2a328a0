#include "ui/qt/TrackExportMemory.h"

#include <QFile>
#include <QSettings>
#include <string>

namespace wc {
namespace {

constexpr TrackFormat kFormats[] = {TrackFormat::Flac, TrackFormat::Opus, TrackFormat::Mp3, TrackFormat::Wave};

QString key(std::string_view name) { return QStringLiteral("TrackExport/") + QString::fromLatin1(name); }

QString qualityKey(TrackFormat format) { return key("quality-" + std::string(trackFormatName(format))); }

// A quality the format accepts, else nullopt.
std::optional<int> validQuality(TrackFormat format, const QVariant& value) {
  const auto range = trackFormatQuality(format);
  bool ok = false;
  const int quality = value.toInt(&ok);
  if (!range || !ok || quality < range->lowest || quality > range->highest) return std::nullopt;
  return quality;
}

}  // namespace

std::optional<RememberedTrackExport> loadTrackExportChoice(const QSettings& settings) {
  const auto format = parseTrackFormat(settings.value(key("format")).toString().toStdString());
  if (!format) return std::nullopt;
  RememberedTrackExport remembered;
  // Folder names are bytes on Linux; the settings keep them as the file
  // system's encoding decodes them.
  remembered.choice.folder = QFile::encodeName(settings.value(key("folder")).toString()).toStdString();
  remembered.choice.format = *format;
  for (TrackFormat f : kFormats)
    if (const auto quality = validQuality(f, settings.value(qualityKey(f)))) remembered.qualities[f] = *quality;
  const auto range = trackFormatQuality(*format);
  const auto known = remembered.qualities.find(*format);
  remembered.choice.quality = known != remembered.qualities.end() ? known->second : range ? range->standard : 0;
  return remembered;
}

void saveTrackExportChoice(QSettings& settings, const RememberedTrackExport& remembered) {
  settings.setValue(key("folder"), QFile::decodeName(remembered.choice.folder.c_str()));
  settings.setValue(key("format"), QString::fromLatin1(trackFormatName(remembered.choice.format)));
  for (const auto& [format, quality] : remembered.qualities)
    if (trackFormatQuality(format)) settings.setValue(qualityKey(format), quality);
  settings.sync();
}

}  // namespace wc
