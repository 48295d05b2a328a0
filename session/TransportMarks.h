#pragma once
// What the transport display shows besides playback: the marks that long
// flows set while they hold the user-interface thread.
#include <string>

namespace wc {

struct TransportMarks {
  bool busy = false;       // "PLEASE WAIT" while a load or a tool blocks
  bool rendering = false;  // an export runs: the text between ">> " and " <<"
  bool copying = false;    // Copy Audio Files runs: its file and percentage
  int copyPercent = 0;
  std::string copyFileName;
};

}  // namespace wc
