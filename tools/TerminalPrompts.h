#pragma once
// The game data layer's message boxes for a command-line program, answered on
// the terminal: the disc search gives up at once (the program then exits with
// its "no disc" status), warnings are printed to standard error.
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>

#include "gamedata/MessagePrompts.h"

namespace wc {

class TerminalPrompts final : public MessagePrompts {
 public:
  // `program` prefixes every line; `discHint` says how to give the program
  // the disc it needs.
  TerminalPrompts(std::string program, std::string discHint)
      : program_(std::move(program)), discHint_(std::move(discHint)) {}

  MessageAnswer showMessage(std::string_view caption, std::string_view text, MessageButtons buttons) override {
    if (buttons != MessageButtons::Ok) {
      std::fprintf(stderr, "%s: the game disc is needed but was not found: %s\n", program_.c_str(), discHint_.c_str());
      return MessageAnswer::Cancel;
    }
    std::fprintf(stderr, "%s: %.*s: %.*s\n", program_.c_str(), int(caption.size()), caption.data(), int(text.size()),
                 text.data());
    return MessageAnswer::Ok;
  }

 private:
  std::string program_;
  std::string discHint_;
};

}  // namespace wc
