#include "app/CommandTable.h"

#include <array>
#include <cstring>

#include "session/Command.h"

namespace wc {

namespace {

using H = CommandHandler;
using M = MenuName;

constexpr CommandInfo sep(MenuName menu) { return {kSeparator, menu, "", "", kNoImage, H::Frame}; }

constexpr std::array kCommands{
    CommandInfo{Command::FileNew, M::File, "&New", "New playlist", kNoImage, H::View},
    CommandInfo{Command::FileOpen, M::File, "&Open...", "Load playlist", kNoImage, H::View},
    CommandInfo{Command::FileSave, M::File, "&Save", "Save playlist", kNoImage, H::View},
    CommandInfo{Command::FileSaveAs, M::File, "Save &As...", "Save playlist", kNoImage, H::View},
    sep(M::File),
    CommandInfo{Command::ExportCd, M::File, "&Export CD...", "Export CD image as 44.1kHz wave file and CUE file",
                kNoImage, H::View},
    CommandInfo{Command::ExportWave, M::File, "Export &Wave...", "Export playlist as 24kHz wave file", kNoImage,
                H::View},
    CommandInfo{Command::ExportTracks, M::File, "Export Trac&ks...", "Export the playlist as one tagged file per track",
                kNoImage, H::View},
    sep(M::File),
    CommandInfo{Command::CopyAudioFiles, M::File, "Co&py Audio Files",
                "Copy audio files from the DVD to your hard drive for faster access", kNoImage, H::View},
    sep(M::File),
    CommandInfo{Command::ImportAnnotations, M::File, "&Import Annotations...",
                "Apply clip annotations that another user of the same disc exported", kNoImage, H::View},
    CommandInfo{Command::ExportAnnotations, M::File, "Expor&t Annotations...",
                "Save the clip annotations to share them with other users of the same disc", kNoImage, H::View},
    sep(M::File),
    CommandInfo{Command::AppExit, M::File, "E&xit", "Quit the application; prompts to save documents\nExit", kNoImage,
                H::Frame},
    CommandInfo{Command::EditUndo, M::Edit, "&Undo", "Undo the last change to the playlist\nUndo", kNoImage, H::View},
    CommandInfo{Command::EditRedo, M::Edit, "&Redo", "Redo the change to the playlist undone last\nRedo", kNoImage,
                H::View},
    CommandInfo{Command::ViewToolbar, M::View, "&Toolbar", "Show or hide the toolbar\nToggle ToolBar", kNoImage,
                H::Frame},
    CommandInfo{Command::ViewStatusBar, M::View, "&Status Bar", "Show or hide the status bar\nToggle StatusBar",
                kNoImage, H::Frame},
    CommandInfo{Command::Play, M::Playback, "&Play", "Start playback\nPlay", 4, H::View},
    CommandInfo{Command::Stop, M::Playback, "&Stop", "Stop playback\nStop", 3, H::View},
    CommandInfo{Command::Previous, M::Playback, "Pre&vious", "Previous track\nPrevious", 1, H::View},
    CommandInfo{Command::Next, M::Playback, "&Next", "Next track\nNext", 2, H::View},
    CommandInfo{Command::AddAllSongs, M::Tools, "Add all &Songs",
                "Add all songs from the radio station to the current playlist", kNoImage, H::View},
    CommandInfo{Command::RandomizeIntros, M::Tools, "Randomize &Intros",
                "Randomize intros and outros of all songs in the playlist", kNoImage, H::View},
    CommandInfo{Command::Pad, M::Tools, "&Pad", "Pad playlist with chatter and commercials", kNoImage, H::View},
    sep(M::Tools),
    CommandInfo{Command::CreateMusicMix, M::Tools, "Create &Music Mix",
                "Create a playlist for this radio station with as little DJ chatter as possible", kNoImage, H::View},
    CommandInfo{Command::CreateRadioMix, M::Tools, "Create &Radio Mix",
                "Create a playlist for this radio station with commercials and chatter", kNoImage, H::View},
    sep(M::Tools),
    CommandInfo{Command::DetectSongs, M::Tools, "&Detect Songs...",
                "Find the songs, intros and outros of every station from the audio", kNoImage, H::View},
    CommandInfo{Command::AppAbout, M::Help, "&Help...", "Display help\nHelp", 0, H::App},
    // Reachable from no menu, button or key.
    CommandInfo{Command::ShowAllClips, M::None, "", "Show all clips", kNoImage, H::View},
    CommandInfo{Command::SaveCatalogue, M::None, "", "", kNoImage, H::View},
};

constexpr std::array kMenuTitles{
    MenuTitle{M::File, "&File"},         MenuTitle{M::Edit, "&Edit"},   MenuTitle{M::View, "&View"},
    MenuTitle{M::Playback, "&Playback"}, MenuTitle{M::Tools, "&Tools"}, MenuTitle{M::Help, "&Help"},
};

constexpr std::array kToolbar{Command::AppAbout, kSeparator,    Command::Previous,
                              Command::Next,     Command::Stop, Command::Play};

}  // namespace

std::span<const CommandInfo> commandTable() { return kCommands; }

const CommandInfo* findCommand(Command id) {
  if (id == kSeparator) return nullptr;
  for (const CommandInfo& c : kCommands)
    if (c.id == id) return &c;
  return nullptr;
}

std::span<const MenuTitle> menuTitles() { return kMenuTitles; }

std::span<const Command> toolbarLayout() { return kToolbar; }

std::string promptStatusText(const char* prompt) {
  const char* end = std::strchr(prompt, '\n');
  return end ? std::string(prompt, end) : std::string(prompt);
}

std::string promptTooltip(const char* prompt) {
  const char* start = std::strchr(prompt, '\n');
  return start ? std::string(start + 1) : std::string();
}

}  // namespace wc
