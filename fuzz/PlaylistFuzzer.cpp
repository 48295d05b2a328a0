// A playlist file opened against a generated catalogue, as File Open does:
// a file that is no playlist is refused and leaves the session as it was;
// otherwise the tracks it names are created, their intro, song and outro
// loaded from the packs, painted with their strings, played from each start
// part and saved again.
//
// Input: the playlist file's bytes.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "playlist/PlaylistFile.h"
#include "playlist/PlaylistFileReader.h"
#include "playlist/Voice.h"

namespace wc::fuzz {
namespace {

// The disc and its catalogue are made once; every input gets a fresh view.
struct World {
  MemoryFileSystem fs;
  std::unique_ptr<HeadlessView> harness;
  World() {
    writeTestDisc(fs);
    harness = std::make_unique<HeadlessView>(fs);
    harness->gameData->loadCatalogue();
    if (!harness->prompts.shown.empty()) std::abort();  // the catalogue file must fit the disc
  }
};

World& world() {
  static World* w = new World;  // lives until the process ends
  return *w;
}

const Path kInput = kWorkDirectory / "input.wcpl";
const Path kSaved = kWorkDirectory / "saved.wcpl";

bool inPlaylist(Playlist& playlist, const Track* track) {
  for (Track* t = playlist.first(); t; t = Playlist::after(t))
    if (t == track) return true;
  return false;
}

void playEveryTrack(StudioSession& session) {
  std::vector<float> block(2 * 1024);
  int part = 0;
  Transport& transport = session.transport();
  for (Track* t = session.playlist().first(); t; t = Playlist::after(t), part = (part + 1) % 3) {
    transport.play(t, StartPart(part));
    Voice& voice = transport.voice();
    voice.render(block.data(), 1024);
    voice.mix(block.data(), 700);
    if (voice.track() && !inPlaylist(session.playlist(), voice.track())) std::abort();
  }
  // The last track runs out and the voice goes idle by itself.
  if (Track* last = session.playlist().last()) {
    transport.play(last, StartPart::OutroOnly);
    Voice& voice = transport.voice();
    for (int i = 0; i < 64 && voice.track(); ++i) voice.render(block.data(), 1024);
    if (voice.track()) std::abort();
  }
}

}  // namespace
}  // namespace wc::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace wc;
  using namespace wc::fuzz;
  World& w = world();
  HeadlessView& h = *w.harness;
  w.fs.put(kInput, {data, data + size});

  StudioView& view = h.makeView();
  StudioSession& session = *h.session;
  const auto contents = inspectPlaylistFile(std::span<const uint8_t>(data, size), h.gameData->catalogue());
  const bool opened = session.openPlaylistFile(kInput.string());
  if (opened != (contents.problem == PlaylistFileProblem::None)) std::abort();
  if (!opened) {
    if (session.playlist().trackCount() != 0 || !session.playlistPath().empty() || h.dialogs.boxes.size() != 1)
      std::abort();
    h.reset();
    h.dialogs.boxes.clear();
    h.host.events.clear();
    return 0;
  }
  const auto& expected = contents.records;
  if (session.playlist().trackCount() != int32_t(expected.size()) || session.playlist().trackCount() > kMaxCdTracks)
    std::abort();
  view.paintAll(h.surface);
  view.pageScroll(Pane::Playlist, +1);
  view.paintAll(h.surface);

  playEveryTrack(session);
  view.paintAll(h.surface);

  // Saving writes back exactly the records that were opened.
  if (!session.writePlaylistFile(kSaved.string())) std::abort();
  const auto* saved = w.fs.find(kSaved);
  if (!saved || decodePlaylistFile(*saved, h.gameData->catalogue()) != expected) std::abort();
  if (saved->size() != 4 + 16 * expected.size()) std::abort();

  h.reset();
  h.dialogs.boxes.clear();
  h.host.events.clear();
  return 0;
}
