#pragma once
// Command identifiers of the menu, the toolbar and the hidden commands.
namespace wc::cmd {

inline constexpr int FileNew = 57600;
inline constexpr int FileOpen = 32788;
inline constexpr int FileSave = 57603;
inline constexpr int FileSaveAs = 32791;
inline constexpr int ExportCd = 32792;
inline constexpr int ExportWave = 32793;
inline constexpr int ExportTracks = 32805;
inline constexpr int CopyAudioFiles = 32802;
inline constexpr int ImportAnnotations = 32803;
inline constexpr int ExportAnnotations = 32804;
inline constexpr int AppExit = 57665;
inline constexpr int ViewToolbar = 59392;
inline constexpr int ViewStatusBar = 59393;
inline constexpr int Play = 32777;
inline constexpr int Stop = 32776;
inline constexpr int Previous = 32780;
inline constexpr int Next = 32781;
inline constexpr int AddAllSongs = 32796;
inline constexpr int RandomizeIntros = 32799;
inline constexpr int Pad = 32798;
inline constexpr int CreateMusicMix = 32800;
inline constexpr int CreateRadioMix = 32801;
inline constexpr int DetectSongs = 32806;
inline constexpr int AppAbout = 57664;
inline constexpr int ShowAllClips = 32774;
inline constexpr int SaveCatalogue = 32771;

}  // namespace wc::cmd
