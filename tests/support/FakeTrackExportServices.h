#pragma once
// Export Tracks' services for tests: the dialog answers from a script, the
// encoders are the real ones, the cover is painted into a RasterSurface and
// "encoded" as its pixels, and the progress window cancels on request.
#include <deque>

#include "audio/encode/TrackEncoders.h"
#include "session/TrackExportServices.h"
#include "support/RasterSurface.h"
#include "ui/CoverArt.h"

namespace wc::test {

class FakeTrackExportServices final : public TrackExportServices {
 public:
  // Answers for the next dialogs; nullopt cancels. An empty queue cancels.
  std::deque<std::optional<TrackExportChoice>> choices;
  std::vector<TrackExportChoice> proposals;
  std::vector<std::string> coverTexts;  // the texts painted on the last cover
  std::vector<std::string> progressTexts;
  int cancelAtUpdate = 0;  // 0: never

  std::optional<TrackExportChoice> chooseTrackExport(const TrackExportChoice& proposal) override {
    proposals.push_back(proposal);
    if (choices.empty()) return std::nullopt;
    auto c = choices.front();
    choices.pop_front();
    return c;
  }
  std::unique_ptr<TrackEncoder> makeEncoder(TrackFormat format, int quality) override {
    return makeTrackEncoder(format, quality);
  }
  std::vector<uint8_t> coverPng(const std::string& stationLabel, const std::string& album) override {
    RasterSurface surface(kCoverSize, kCoverSize);
    paintCover(surface, stationLabel, album, kCoverSize);
    coverTexts.clear();
    for (const auto& call : surface.texts()) coverTexts.push_back(call.text);
    std::vector<uint8_t> bytes;
    for (Rgb p : surface.pixels()) bytes.push_back(uint8_t(p));
    return bytes;
  }
  std::unique_ptr<ProgressWindow> showProgress(const std::string&) override {
    struct Window final : ProgressWindow {
      FakeTrackExportServices& owner;
      explicit Window(FakeTrackExportServices& o) : owner(o) {}
      bool update(const std::string& text, double) override {
        owner.progressTexts.push_back(text);
        return owner.cancelAtUpdate == 0 || int(owner.progressTexts.size()) < owner.cancelAtUpdate;
      }
    };
    return std::make_unique<Window>(*this);
  }
};

}  // namespace wc::test
