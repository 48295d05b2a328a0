#pragma once
// What the Export Tracks command needs of the window system and the codec
// libraries: its dialog, the encoders, the cover picture as a PNG and a
// progress window with a Cancel button, the box with the result and the
// file manager it may open. The Qt window implements it; tests
// use a fake that answers from a script.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "audio/TrackEncoder.h"

namespace wc {

struct TrackExportProgress;

struct TrackExportChoice {
  std::string folder;
  TrackFormat format = TrackFormat::Flac;
  int quality = 5;  // see trackFormatQuality
  std::string album;
};

class ProgressWindow {
 public:
  virtual ~ProgressWindow() = default;
  // Shows `text` and `fraction` (0..1) and lets the window system run; false
  // once the user pressed Cancel.
  virtual bool update(const std::string& text, double fraction) = 0;
  // The export's progress: by default as text and a bar through update(); a
  // terminal prints its own line.
  virtual bool trackProgress(const TrackExportProgress& progress);
};

class TrackExportServices {
 public:
  virtual ~TrackExportServices() = default;
  // The dialog, filled with `proposal`; nullopt when the user cancels.
  virtual std::optional<TrackExportChoice> chooseTrackExport(const TrackExportChoice& proposal) = 0;
  virtual std::unique_ptr<TrackEncoder> makeEncoder(TrackFormat format, int quality) = 0;
  // The cover of the album `album` whose first track comes from the station
  // labelled `stationLabel` (empty: none), both UTF-8, as PNG bytes; empty if
  // it cannot be made.
  virtual std::vector<uint8_t> coverPng(const std::string& stationLabel, const std::string& album) = 0;
  virtual std::unique_ptr<ProgressWindow> showProgress(const std::string& title) = 0;
  // The user's music folder (empty where there is none): the first export's
  // folder is made in it.
  virtual std::string musicFolder() = 0;
  // The box that ends a finished export, saying `text`; true when the user
  // asked for the folder to be opened.
  virtual bool showResult(const std::string& text) = 0;
  // Opens `folder` in the desktop's file manager; false when nothing opened it.
  virtual bool openFolder(const std::string& folder) = 0;
};

}  // namespace wc
