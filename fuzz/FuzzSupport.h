#pragma once
// Shared pieces of the fuzz targets: a reader that splits the fuzzer's bytes
// into the parts an input is made of, a drawing surface that reads every
// string the view paints, and a headless view over an in-memory file system.
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string>

#include "base/CRandom.h"
#include "fuzz/MemoryFileSystem.h"
#include "gamedata/GameData.h"
#include "session/StudioSession.h"
#include "support/FakeSessionPrompts.h"
#include "support/FakeViewServices.h"
#include "support/GameDataFakes.h"
#include "ui/DrawSurface.h"
#include "ui/StudioView.h"

namespace wc::fuzz {

// Takes the fuzzer's bytes front to back; past the end everything reads as
// zero or empty, so every input is a valid one.
class FuzzInput {
 public:
  explicit FuzzInput(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  uint8_t byte() { return pos_ < bytes_.size() ? bytes_[pos_++] : 0; }
  uint32_t u32() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= uint32_t(byte()) << (8 * i);
    return v;
  }
  // The next `n` bytes (fewer at the end).
  std::span<const uint8_t> take(size_t n) {
    n = std::min(n, bytes_.size() - pos_);
    auto part = bytes_.subspan(pos_, n);
    pos_ += n;
    return part;
  }
  // A part stored as a 32-bit little-endian length followed by its bytes.
  std::span<const uint8_t> prefixed() { return take(u32()); }
  std::span<const uint8_t> rest() { return take(bytes_.size() - pos_); }
  bool empty() const { return pos_ >= bytes_.size(); }

 private:
  std::span<const uint8_t> bytes_;
  size_t pos_ = 0;
};

// Paints nowhere but reads every byte of every string it is handed, so the
// sanitizers see any text that runs past its buffer.
class ReadingSurface final : public DrawSurface {
 public:
  void fillRect(int, int, int, int, Rgb) override {}
  void selectPen(Pen) override {}
  void line(int, int, int, int) override {}
  void selectFont(const FontSpec& font) override { checksum_ += std::strlen(font.face); }
  void setTextColour(Rgb) override {}
  void setBackColour(Rgb) override {}
  void drawText(const std::string& text, int, int, int, int, TextAlign) override {
    for (unsigned char c : text) checksum_ += c;
  }
  void xorDottedRect(int, int, int, int) override {}
  uint64_t checksum() const { return checksum_; }

 private:
  uint64_t checksum_ = 0;
};

// A StudioSession and its StudioView over `fs` with the working directory
// "/work": no disc in any
// drive (every search is cancelled and the exit recorded), dialogs that
// cancel, and every repaint painted through a ReadingSurface.
struct HeadlessView {
  explicit HeadlessView(MemoryFileSystem& fs);
  ~HeadlessView();

  MemoryFileSystem& fs;
  test::FakeMountTable mounts;
  test::ScriptedPrompts prompts;
  test::RecordedExits exits;
  std::unique_ptr<GameData> gameData;
  test::FakeViewHost host;
  test::FakeSessionPrompts dialogs;
  CRandom random;
  ReadingSurface surface;
  std::unique_ptr<StudioSession> session;
  std::unique_ptr<StudioView> view;

  // Builds the session and the view on the catalogue as it is now.
  StudioView& makeView();
  // Ends the view, then its session.
  void reset();
};

inline const Path kWorkDirectory = "/work";

// Writes the tests' default disc (a music station with songs, intros, outros
// and chatter, and an adverts station) into `fs` in the cache layout below
// kWorkDirectory, with its annotated catalogue file. Aborts if it cannot.
void writeTestDisc(MemoryFileSystem& fs);

}  // namespace wc::fuzz
