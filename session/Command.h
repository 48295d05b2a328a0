#pragma once
// The commands of the menus, the toolbar and the hidden ones. Their values are
// the identifiers the program has always given them; a switch over Command
// without a default is checked by the compiler for a forgotten command.
#include <string>
#include <utility>

namespace wc {

enum class Command : int {
  FileNew = 57600,
  FileOpen = 32788,
  FileSave = 57603,
  FileSaveAs = 32791,
  ExportCd = 32792,
  ExportWave = 32793,
  ExportTracks = 32805,
  CopyAudioFiles = 32802,
  ImportAnnotations = 32803,
  ExportAnnotations = 32804,
  AppExit = 57665,
  ViewToolbar = 59392,
  ViewStatusBar = 59393,
  Play = 32777,
  Stop = 32776,
  Previous = 32780,
  Next = 32781,
  AddAllSongs = 32796,
  RandomizeIntros = 32799,
  Pad = 32798,
  CreateMusicMix = 32800,
  CreateRadioMix = 32801,
  DetectSongs = 32806,
  AppAbout = 57664,
  ShowAllClips = 32774,
  SaveCatalogue = 32771,
  EditUndo = 57643,
  EditRedo = 57644,
};

struct CommandState {
  CommandState(bool isEnabled = false, bool isChecked = false, std::string what = {})
      : enabled(isEnabled), checked(isChecked), detail(std::move(what)) {}

  bool enabled = false;
  bool checked = false;
  // What the command would act on, for its menu item ("Pad" makes "Undo
  // Pad"); empty for most commands.
  std::string detail;
};

}  // namespace wc
