#pragma once
// The discs not to offer song detection for again, as a list of disc
// fingerprints in the program's settings ("songDetection/declinedDiscs").
#include "analysis/DetectionReport.h"

class QSettings;

namespace wc {

class DetectionOfferSettings final : public DetectionOfferMemory {
 public:
  // `settings` must outlive this object.
  explicit DetectionOfferSettings(QSettings& settings) : settings_(settings) {}
  bool declined(const std::string& disc) override;
  void decline(const std::string& disc) override;

 private:
  QSettings& settings_;
};

}  // namespace wc
