#pragma once
// Test doubles for the game data layer's window-system hooks: a scripted
// mount table, scripted message boxes, a recording exit and load indicator.
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "gamedata/DiscLocator.h"
#include "gamedata/MessagePrompts.h"
#include "gamedata/MountTable.h"
#include "playlist/TrackAudio.h"

namespace wc::test {

class FakeMountTable final : public MountTableSource {
 public:
  std::string text;
  int reads = 0;
  std::string read() override {
    ++reads;
    return text;
  }
  // Appends a line for a mount of `type` at `mountPoint` (spaces escaped as
  // the kernel does).
  void addMount(const std::string& mountPoint, const std::string& type, const std::string& device = "/dev/fake");
};

struct ShownMessage {
  std::string caption;
  std::string text;
  MessageButtons buttons;
};

// Answers boxes from a queue; with the queue empty every box is cancelled, so
// a test never waits for a user. `beforeAnswer` may change the world (insert
// the disc) while the box is open.
class ScriptedPrompts final : public MessagePrompts {
 public:
  std::deque<MessageAnswer> answers;
  std::vector<ShownMessage> shown;
  std::function<void()> beforeAnswer;

  MessageAnswer showMessage(std::string_view caption, std::string_view text, MessageButtons buttons) override {
    shown.push_back({std::string(caption), std::string(text), buttons});
    if (beforeAnswer) beforeAnswer();
    if (answers.empty()) return MessageAnswer::Cancel;
    const MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

// Records exit statuses instead of ending the process.
struct RecordedExits {
  std::vector<int> statuses;
  ExitFunction function() {
    return [this](int status) { statuses.push_back(status); };
  }
};

class RecordingLoadIndicator final : public LoadIndicator {
 public:
  std::vector<std::string> events;
  void setBusy(bool busy) override { events.push_back(busy ? "busy" : "idle"); }
  void repaintTransport(bool clear) override { events.push_back(clear ? "transport(clear)" : "transport"); }
  void repaintAll() override { events.push_back("all"); }
};

}  // namespace wc::test
