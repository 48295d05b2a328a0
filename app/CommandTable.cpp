#include "app/CommandTable.h"

#include <array>
#include <cstring>

#include "ui/CommandIds.h"

namespace wc {

namespace {

using H = CommandHandler;
using M = MenuName;

constexpr CommandInfo sep(MenuName menu) { return {kSeparator, menu, "", "", kNoImage, H::Frame}; }

constexpr std::array kCommands{
    CommandInfo{cmd::FileNew, M::File, "&New", "New playlist", kNoImage, H::View},
    CommandInfo{cmd::FileOpen, M::File, "&Open...", "Load playlist", kNoImage, H::View},
    CommandInfo{cmd::FileSave, M::File, "&Save", "Save playlist", kNoImage, H::View},
    CommandInfo{cmd::FileSaveAs, M::File, "Save &As...", "Save playlist", kNoImage, H::View},
    sep(M::File),
    CommandInfo{cmd::ExportCd, M::File, "&Export CD...", "Export CD image as 44.1kHz wave file and CUE file", kNoImage,
                H::View},
    CommandInfo{cmd::ExportWave, M::File, "Export &Wave...", "Export playlist as 24kHz wave file", kNoImage, H::View},
    CommandInfo{cmd::ExportTracks, M::File, "Export Trac&ks...", "Export the playlist as one tagged file per track",
                kNoImage, H::View},
    sep(M::File),
    CommandInfo{cmd::CopyAudioFiles, M::File, "Co&py Audio Files",
                "Copy audio files from the DVD to your hard drive for faster access", kNoImage, H::View},
    sep(M::File),
    CommandInfo{cmd::ImportAnnotations, M::File, "&Import Annotations...",
                "Apply clip annotations that another user of the same disc exported", kNoImage, H::View},
    CommandInfo{cmd::ExportAnnotations, M::File, "Expor&t Annotations...",
                "Save the clip annotations to share them with other users of the same disc", kNoImage, H::View},
    sep(M::File),
    CommandInfo{cmd::AppExit, M::File, "E&xit", "Quit the application; prompts to save documents\nExit", kNoImage,
                H::Frame},
    CommandInfo{cmd::ViewToolbar, M::View, "&Toolbar", "Show or hide the toolbar\nToggle ToolBar", kNoImage, H::Frame},
    CommandInfo{cmd::ViewStatusBar, M::View, "&Status Bar", "Show or hide the status bar\nToggle StatusBar", kNoImage,
                H::Frame},
    CommandInfo{cmd::Play, M::Playback, "&Play", "Start playback\nPlay", 4, H::View},
    CommandInfo{cmd::Stop, M::Playback, "&Stop", "Stop playback\nStop", 3, H::View},
    CommandInfo{cmd::Previous, M::Playback, "Pre&vious", "Previous track\nPrevious", 1, H::View},
    CommandInfo{cmd::Next, M::Playback, "&Next", "Next track\nNext", 2, H::View},
    CommandInfo{cmd::AddAllSongs, M::Tools, "Add all &Songs",
                "Add all songs from the radio station to the current playlist", kNoImage, H::View},
    CommandInfo{cmd::RandomizeIntros, M::Tools, "Randomize &Intros",
                "Randomize intros and outros of all songs in the playlist", kNoImage, H::View},
    CommandInfo{cmd::Pad, M::Tools, "&Pad", "Pad playlist with chatter and commercials", kNoImage, H::View},
    sep(M::Tools),
    CommandInfo{cmd::CreateMusicMix, M::Tools, "Create &Music Mix",
                "Create a playlist for this radio station with as little DJ chatter as possible", kNoImage, H::View},
    CommandInfo{cmd::CreateRadioMix, M::Tools, "Create &Radio Mix",
                "Create a playlist for this radio station with commercials and chatter", kNoImage, H::View},
    sep(M::Tools),
    CommandInfo{cmd::DetectSongs, M::Tools, "&Detect Songs...",
                "Find the songs, intros and outros of every station from the audio", kNoImage, H::View},
    CommandInfo{cmd::AppAbout, M::Help, "&Help...", "Display help\nHelp", 0, H::App},
    // Reachable from no menu, button or key.
    CommandInfo{cmd::ShowAllClips, M::None, "", "Show all clips", kNoImage, H::View},
    CommandInfo{cmd::SaveCatalogue, M::None, "", "", kNoImage, H::View},
};

constexpr std::array kMenuTitles{
    MenuTitle{M::File, "&File"},   MenuTitle{M::View, "&View"}, MenuTitle{M::Playback, "&Playback"},
    MenuTitle{M::Tools, "&Tools"}, MenuTitle{M::Help, "&Help"},
};

constexpr std::array kToolbar{cmd::AppAbout, kSeparator, cmd::Previous, cmd::Next, cmd::Stop, cmd::Play};

}  // namespace

std::span<const CommandInfo> commandTable() { return kCommands; }

const CommandInfo* findCommand(int id) {
  if (id == kSeparator) return nullptr;
  for (const CommandInfo& c : kCommands)
    if (c.id == id) return &c;
  return nullptr;
}

std::span<const MenuTitle> menuTitles() { return kMenuTitles; }

std::span<const int> toolbarLayout() { return kToolbar; }

std::string promptStatusText(const char* prompt) {
  const char* end = std::strchr(prompt, '\n');
  return end ? std::string(prompt, end) : std::string(prompt);
}

std::string promptTooltip(const char* prompt) {
  const char* start = std::strchr(prompt, '\n');
  return start ? std::string(start + 1) : std::string();
}

}  // namespace wc
