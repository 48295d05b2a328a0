#pragma once
// TrackExportServices for the window: the Qt dialog (remembering the last
// folder, format and qualities, across runs when given the settings), the real
// encoders, covers painted on a QImage and saved as PNG, and a
// QProgressDialog whose Cancel stops the export.
#include <functional>
#include <map>

#include "session/TrackExportServices.h"
#include "ui/DrawSurface.h"

class QSettings;
class QWidget;

namespace wc {

class QtTrackExportServices final : public TrackExportServices {
 public:
  // `settings` (may be null: nothing outlives this object) keeps the
  // dialog's choices for the next run; it must outlive this object.
  explicit QtTrackExportServices(QWidget* parent, QSettings* settings = nullptr);

  std::optional<TrackExportChoice> chooseTrackExport(const TrackExportChoice& proposal) override;
  std::unique_ptr<TrackEncoder> makeEncoder(TrackFormat format, int quality) override;
  std::vector<uint8_t> coverPng(const std::string& stationLabel, const std::string& album) override;
  // A `size` x `size` picture painted by `paint`, as PNG bytes; empty if it
  // cannot be made.
  static std::vector<uint8_t> paintPng(int size, const std::function<void(DrawSurface&)>& paint);
  std::unique_ptr<ProgressWindow> showProgress(const std::string& title) override;

 private:
  QWidget* parent_;
  QSettings* settings_;
  std::optional<TrackExportChoice> last_;
  std::map<TrackFormat, int> qualities_;
};

}  // namespace wc
