#pragma once
// TrackExportServices for the window: the Qt dialog (remembering the last
// folder, format and qualities for as long as the window lives), the real
// encoders, covers painted on a QImage and saved as PNG, and a
// QProgressDialog whose Cancel stops the export.
#include <map>

#include "ui/TrackExportServices.h"

class QWidget;

namespace wc {

class QtTrackExportServices final : public TrackExportServices {
 public:
  explicit QtTrackExportServices(QWidget* parent) : parent_(parent) {}

  std::optional<TrackExportChoice> chooseTrackExport(const TrackExportChoice& proposal) override;
  std::unique_ptr<TrackEncoder> makeEncoder(TrackFormat format, int quality) override;
  std::vector<uint8_t> paintPng(int size, const std::function<void(DrawSurface&)>& paint) override;
  std::unique_ptr<ProgressWindow> showProgress(const std::string& title) override;

 private:
  QWidget* parent_;
  std::optional<TrackExportChoice> last_;
  std::map<TrackFormat, int> qualities_;
};

}  // namespace wc
