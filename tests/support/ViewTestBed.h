#pragma once
// A StudioSession (and a StudioView over it) on a catalogue filled by hand,
// with fakes of the user and the window and no disc: for tests of the tools,
// the view's layout, painting and state changes.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "base/CRandom.h"
#include "base/LittleEndian.h"
#include "gamedata/GameData.h"
#include "session/StudioSession.h"
#include "support/FakeSessionPrompts.h"
#include "support/FakeViewServices.h"
#include "support/GameDataFakes.h"
#include "support/RasterSurface.h"
#include "ui/StudioView.h"

namespace wc::test {

inline void setClip(Clip& c, const char* title, int clipClass, int intros = 0, int outros = 0,
                    const char* artist = "") {
  std::memset(&c, 0, sizeof c);
  std::strncpy(c.title, title, sizeof c.title - 1);
  std::strncpy(c.artist, artist, sizeof c.artist - 1);
  c.clipClass = clipClass;
  c.intros = intros;
  c.outros = outros;
}

inline void setStation(Station& s, const char* label, bool listed) {
  std::strncpy(s.label, label, sizeof s.label - 1);
  s.listed = listed ? 1 : 0;
}

// A clip buffer whose header claims `frames` frames per channel, backed by
// enough zero chunks for all of them to count.
inline std::unique_ptr<ClipAudio> audioOfFrames(uint32_t frames) {
  const uint32_t chunks = (frames + ClipAudio::kFramesPerChunk - 1) / ClipAudio::kFramesPerChunk;
  std::vector<uint8_t> bytes(ClipAudio::kHeaderSize + size_t(chunks) * ClipAudio::kChunkSize);
  writeU32LE(bytes.data() + ClipAudio::kChannelLengthOffset, frames * uint32_t(ClipAudio::kFrameSize));
  return std::make_unique<ClipAudio>(std::move(bytes));
}

// Fill the catalogue through `catalogue()`, then `makeSession()`: the session
// picks its first station when it is built.
struct SessionTestBed {
  FakeMountTable mounts;  // no disc anywhere
  ScriptedPrompts prompts;
  RecordedExits exits;
  GameData gameData{realFileSystem(), "/nonexistent/wavecrate-view-test", mounts, prompts, exits.function()};
  FakeSessionPrompts dialogs;
  CRandom random;
  std::unique_ptr<StudioSession> session;

  Catalogue& catalogue() { return gameData.catalogue(); }
  // The catalogue was edited by hand: the clip lists follow, the mark of
  // unsaved annotations stays as it was.
  void catalogueEdited() { session->catalogueChanged(!session->catalogueModified()); }
  StudioSession& makeSession() {
    session = std::make_unique<StudioSession>(gameData, dialogs, random, nullptr);
    return *session;
  }
  // Appends a track for clip `clipIndex` of `station` and counts it.
  Track* addTrack(int station, int clipIndex) {
    auto t = createTrack(catalogue(), station, clipIndex);
    return t ? session->playlist().append(std::move(t)) : nullptr;
  }
};

// The same with a view over the session: fill the catalogue, then
// `makeView()`.
struct ViewTestBed : SessionTestBed {
  FakeViewHost host;
  std::unique_ptr<StudioView> view;

  StudioView& makeView() {
    view.reset();
    makeSession();
    view = std::make_unique<StudioView>(*session, host);
    return *view;
  }
  // A full paint into a fresh surface of the host's size.
  std::unique_ptr<RasterSurface> paint(Rgb background = 0xABCDEF) {
    auto surface = std::make_unique<RasterSurface>(host.width, host.height, background);
    view->paintAll(*surface);
    return surface;
  }
};

}  // namespace wc::test
