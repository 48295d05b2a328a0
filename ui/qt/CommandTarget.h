#pragma once
// Something that may handle commands: the view, the frame, the application.
// The frame offers each command to its targets in turn until one takes it.
#include <optional>

#include "ui/StudioView.h"  // CommandState

namespace wc {

class CommandTarget {
 public:
  virtual ~CommandTarget() = default;
  // True if this target handles `id` (and ran it).
  virtual bool onCommand(int id) = 0;
  // The enable state of a command this target handles, nullopt otherwise.
  virtual std::optional<CommandState> commandState(int id) const = 0;
};

}  // namespace wc
