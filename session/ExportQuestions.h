#pragma once
// What tells the exports' questions apart for a program that answers them
// from its command line instead of asking anyone: the caption of the CUE
// sheet's replace question and the first button of each choice.
namespace wc {

inline constexpr const char* kReplaceCueCaption = "Export CD Image";
inline constexpr const char* kJoinShortButton = "Join";
inline constexpr const char* kReplaceFilesButton = "Replace";
inline constexpr const char* kRemoveStaleButton = "Remove";

}  // namespace wc
