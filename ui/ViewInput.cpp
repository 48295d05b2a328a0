#include "ui/ViewInput.h"

#include <filesystem>

namespace wc {

namespace {

constexpr const char* kProgramName = "Wavecrate";
// An unnamed playlist with unsaved changes.
constexpr const char* kUnnamedPlaylist = "Untitled";

// Adds `amount` to `rest` and takes the whole multiples of `perNotch` out.
int takeNotches(int& rest, int amount, int perNotch) {
  if ((rest > 0 && amount < 0) || (rest < 0 && amount > 0)) rest = 0;
  rest += amount;
  const int notches = rest / perNotch;  // truncates towards zero: the rest keeps its sign
  rest -= notches * perNotch;
  return notches;
}

}  // namespace

int WheelNotches::add(WheelDelta delta) {
  switch (delta.unit) {
    case WheelUnit::Eighths: return takeNotches(restEighths_, delta.amount, kEighthsPerNotch);
    case WheelUnit::Pixels: return takeNotches(restPixels_, delta.amount, pixelsPerNotch_);
  }
  return 0;
}

std::string windowTitleFor(const std::string& path, bool modified) {
  if (path.empty() && !modified) return kProgramName;
  std::string name = path.empty() ? std::string(kUnnamedPlaylist) : std::filesystem::path(path).filename().string();
  if (modified) name += '*';
  return name + " - " + kProgramName;
}

}  // namespace wc
