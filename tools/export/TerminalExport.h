#pragma once
// wavecrate-export's side of the session: the export commands' questions
// answered from the command line, their progress drawn on standard error and
// their failures printed there. The session runs the same flows as for the
// window; this is what the window's dialogs are to it.
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "session/SessionObserver.h"
#include "session/SessionPrompts.h"
#include "session/TrackExportServices.h"

namespace wc {

class FileSystem;
class StudioSession;
struct Track;

// What the command line decided beforehand, for the questions to come.
struct TerminalAnswers {
  bool cdImage = true;                      // Export CD, or Export Wave with --wave24
  std::string wavePath;                     // the save dialog's answer
  bool joinShortTracks = false;             // --join-short
  std::optional<TrackExportChoice> tracks;  // --tracks: the dialog's answer
  bool removeStale = false;                 // --remove-stale
};

class TerminalExport final : public SessionPrompts, public SessionObserver, private TrackExportServices {
 public:
  TerminalExport(FileSystem& fs, TerminalAnswers answers);
  TerminalExport(const TerminalExport&) = delete;
  TerminalExport& operator=(const TerminalExport&) = delete;

  // Runs the export command on `session` (its playlist loaded, not empty);
  // false when it failed (the reason said).
  bool run(StudioSession& session);

  // SessionPrompts
  std::optional<std::string> saveFileName(const FileDialogRequest& request) override;
  std::optional<std::string> openFileName(const FileDialogRequest& request) override;
  void messageBox(const std::string& text, const std::string& caption) override;
  Answer askYesNoCancel(const std::string& text, const std::string& caption) override;
  Answer askChoice(const std::string& text, const std::string& caption, const std::string& yes,
                   const std::string& no) override;
  void exportFailed(const ExportResult& result, const std::string& wavePath) override;
  TrackExportServices* trackExport() override;

  // SessionObserver: the render's progress.
  void playlistScroll(PlaylistScroll how, int index) override;
  void showTransport(bool clear) override;

 private:
  class TrackLine;

  // TrackExportServices
  std::optional<TrackExportChoice> chooseTrackExport(const TrackExportChoice& proposal) override;
  std::unique_ptr<TrackEncoder> makeEncoder(TrackFormat format, int quality) override;
  std::vector<uint8_t> coverPng(const std::string& stationLabel, const std::string& album) override;
  std::unique_ptr<ProgressWindow> showProgress(const std::string& title) override;
  // The command line names its folder and prints its own summary, and has
  // no file manager to open.
  std::string musicFolder() override { return {}; }
  bool showResult(const std::string&) override { return false; }
  bool openFolder(const std::string&) override { return false; }

  void fail(const std::string& message);
  void trackStarts(int number, Track& track);
  void drawRenderBar(int64_t done);
  // Ends a progress line left open on the terminal.
  void endProgressLine();

  FileSystem& fs_;
  TerminalAnswers answers_;
  StudioSession* session_ = nullptr;
  bool failed_ = false;
  const bool tty_;
  bool lineOpen_ = false;  // a bar was drawn on the terminal without its line break
  // Counted when the track export is chosen, said when its questions come.
  size_t replacedFiles_ = 0;
  size_t staleFiles_ = 0;

  // The render's bar, one line per track when standard error is no terminal.
  struct RenderProgress {
    Track* current = nullptr;
    int trackNumber = 0;
    int trackTotal = 0;
    int64_t samplesBefore = 0;  // of the tracks already rendered
    int64_t samplesTotal = 0;
    int lastPermille = -1;
  } render_;
  const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace wc
