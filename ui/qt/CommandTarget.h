#pragma once
// Something that may handle commands: the view, the frame, the application.
// The frame offers each command to its targets in turn until one takes it.
#include <optional>

#include "session/Command.h"

namespace wc {

class CommandTarget {
 public:
  virtual ~CommandTarget() = default;
  // True if this target handles `command` (and ran it).
  virtual bool onCommand(Command command) = 0;
  // The enable state of a command this target handles, nullopt otherwise.
  virtual std::optional<CommandState> commandState(Command command) const = 0;
};

}  // namespace wc
