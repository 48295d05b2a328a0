#include "playlist/CueSheet.h"

#include <cstdio>

namespace wc {

std::string cueFileLine(const std::string& wavePath) { return "FILE \"" + wavePath + "\" WAVE\r\n"; }

std::string cueTrackLine(int trackNumber) {
  char line[32];
  std::snprintf(line, sizeof line, "  TRACK %02d AUDIO\r\n", trackNumber);
  return line;
}

std::string cueIndexLine(int64_t sectors) {
  char line[48];
  std::snprintf(line, sizeof line, "    INDEX 01 %02d:%02d:%02d\r\n", int((sectors / 4500) % 99),
                int((sectors / 75) % 60), int(sectors % 75));
  return line;
}

}  // namespace wc
