#include "tools/export/TerminalExport.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "audio/encode/TrackEncoders.h"
#include "gamedata/GameData.h"
#include "playlist/Exporter.h"
#include "playlist/TrackExporter.h"
#include "session/ExportQuestions.h"
#include "session/StudioSession.h"
#if WAVECRATE_CLI_COVER
#include "tools/export/CoverPng.h"
#endif

namespace wc {

// The track export's line: redrawn in place on a terminal, one line per
// change otherwise.
class TerminalExport::TrackLine final : public ProgressWindow {
 public:
  explicit TrackLine(TerminalExport& terminal) : terminal_(terminal) {}
  bool update(const std::string&, double) override { return true; }
  bool trackProgress(const TrackExportProgress& p) override {
    const int permille = int(p.fraction * 1000);
    if (permille == lastPermille_) return true;
    lastPermille_ = permille;
    const bool tty = terminal_.tty_;
    std::fprintf(stderr, "%s%d of %d tracks encoded, track %d  %5.1f%%", tty ? "\r" : "", p.tracksDone, p.trackTotal,
                 p.currentTrack, permille / 10.0);
    if (p.secondsLeft >= 0) std::fprintf(stderr, "  about %.0f s left   ", p.secondsLeft);
    if (!tty) std::fputc('\n', stderr);
    terminal_.lineOpen_ = tty;
    return true;
  }

 private:
  TerminalExport& terminal_;
  int lastPermille_ = -1;
};

TerminalExport::TerminalExport(FileSystem& fs, TerminalAnswers answers)
    : fs_(fs), answers_(std::move(answers)), tty_(isatty(fileno(stderr)) != 0) {}

bool TerminalExport::run(StudioSession& session) {
  session_ = &session;
  session.addObserver(*this);
  const Command command = answers_.tracks    ? Command::ExportTracks
                          : answers_.cdImage ? Command::ExportCd
                                             : Command::ExportWave;
  if (!session.execute(command)) fail("the playlist holds no track to export");
  session.removeObserver(*this);
  session_ = nullptr;
  if (failed_) return false;
  // A terminal is left with the completed bar.
  if (!answers_.tracks && tty_) {
    render_.lastPermille = -1;
    drawRenderBar(render_.samplesTotal);
  }
  endProgressLine();
  return true;
}

void TerminalExport::fail(const std::string& message) {
  endProgressLine();
  std::fprintf(stderr, "wavecrate-export: %s\n", message.c_str());
  failed_ = true;
}

void TerminalExport::endProgressLine() {
  if (lineOpen_) std::fputc('\n', stderr);
  lineOpen_ = false;
}

std::optional<std::string> TerminalExport::saveFileName(const FileDialogRequest&) { return answers_.wavePath; }

std::optional<std::string> TerminalExport::openFileName(const FileDialogRequest&) { return std::nullopt; }

void TerminalExport::messageBox(const std::string& text, const std::string&) { fail(text); }

void TerminalExport::exportFailed(const ExportResult& result, const std::string& wavePath) {
  fail(exportFailureMessage(result, wavePath));
}

// The only such question of the exports: replace the CUE sheet beside the
// wave file. Existing files are replaced, as the help says.
SessionPrompts::Answer TerminalExport::askYesNoCancel(const std::string& text, const std::string& caption) {
  if (caption == kReplaceCueCaption) return Answer::Yes;
  fail("cannot answer here: " + text);
  return Answer::Cancel;
}

SessionPrompts::Answer TerminalExport::askChoice(const std::string& text, const std::string& caption,
                                                 const std::string& yes, const std::string& no) {
  if (yes == kJoinShortButton) return answers_.joinShortTracks ? Answer::Yes : Answer::No;
  if (yes == kReplaceFilesButton) {
    std::fprintf(stderr, "wavecrate-export: replacing %zu existing files\n", replacedFiles_);
    return Answer::Yes;
  }
  if (yes == kRemoveStaleButton) {
    if (answers_.removeStale) return Answer::Yes;
    std::fprintf(stderr,
                 "wavecrate-export: %zu file(s) of an earlier export of this album stay in the folder "
                 "(--remove-stale removes them)\n",
                 staleFiles_);
    return Answer::No;
  }
  return SessionPrompts::askChoice(text, caption, yes, no);
}

TrackExportServices* TerminalExport::trackExport() { return answers_.tracks ? this : nullptr; }

std::optional<TrackExportChoice> TerminalExport::chooseTrackExport(const TrackExportChoice& proposal) {
  TrackExportChoice choice = *answers_.tracks;
  // The session names an album without a name as it does for the window.
  const std::string album = choice.album.empty() ? proposal.album : choice.album;
  const TrackExportPlan plan = planTrackExport(session_->playlist(), session_->catalogue(), album, choice.format);
  replacedFiles_ = existingExportFiles(fs_, choice.folder, plan).size();
  staleFiles_ = staleAlbumFiles(fs_, choice.folder, plan).size();
  return choice;
}

std::unique_ptr<TrackEncoder> TerminalExport::makeEncoder(TrackFormat format, int quality) {
  return makeTrackEncoder(format, quality);
}

std::vector<uint8_t> TerminalExport::coverPng([[maybe_unused]] const std::string& stationLabel,
                                              [[maybe_unused]] const std::string& album) {
#if WAVECRATE_CLI_COVER
  return wc::coverPng(stationLabel, album);
#else
  return {};
#endif
}

std::unique_ptr<ProgressWindow> TerminalExport::showProgress(const std::string&) {
  return std::make_unique<TrackLine>(*this);
}

// The session places the entry being exported at the top of the pane: here
// it starts the track's part of the bar.
void TerminalExport::playlistScroll(PlaylistScroll how, int index) {
  if (how != PlaylistScroll::Place || !session_) return;
  Track* track = session_->playlist().first();
  for (int i = 0; track && i < index; ++i) track = Playlist::after(track);
  if (track) trackStarts(index + 1, *track);
}

void TerminalExport::trackStarts(int number, Track& track) {
  if (!render_.current) {
    render_.trackTotal = session_->playlist().trackCount();
    render_.samplesTotal = session_->playlist().playlistSamples();
  }
  if (render_.current) render_.samplesBefore += trackSamples(*render_.current);
  render_.current = &track;
  render_.trackNumber = number;
  drawRenderBar(render_.samplesBefore);
}

// Within a track the bar moves only on a terminal; a log gets one line per track.
void TerminalExport::showTransport(bool) {
  if (!session_ || !session_->marks().rendering || !tty_) return;
  const Transport& transport = session_->transport();
  if (transport.playingTrack() != render_.current) return;
  drawRenderBar(render_.samplesBefore + transport.playingPosition());
}

void TerminalExport::drawRenderBar(int64_t done) {
  const int permille = render_.samplesTotal > 0 ? int(done * 1000 / render_.samplesTotal) : 1000;
  if (permille == render_.lastPermille) return;
  render_.lastPermille = permille;
  const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  constexpr int kWidth = 30;
  char bar[kWidth + 1];
  const int filled = permille * kWidth / 1000;
  for (int i = 0; i < kWidth; ++i) bar[i] = i < filled ? '#' : '.';
  bar[kWidth] = '\0';
  std::fprintf(stderr, "%s[%s] track %2d of %d  %5.1f%%  %6.1f s%s", tty_ ? "\r" : "", bar, render_.trackNumber,
               render_.trackTotal, permille / 10.0, elapsed, tty_ ? "" : "\n");
  lineOpen_ = tty_;
}

}  // namespace wc
