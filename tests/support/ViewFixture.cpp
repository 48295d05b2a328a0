#include "support/ViewFixture.h"

#include "playlist/TrackAudio.h"

namespace wc::test {

SessionFixture::SessionFixture(const DiscPlan& plan)
    : disc(TestDisc::cache(plan, DiscWriteOptions{.layout = DiscLayout::Cache})) {
  gameData = std::make_unique<GameData>(fs, disc.directory(), mounts, prompts, exits.function());
  gameData->loadCatalogue();
  auto fake = std::make_unique<FakeSoundDevice>();
  device = fake.get();
  engine = std::make_unique<AudioEngine>();
  engine->start(std::move(fake), audioHost);
  session = std::make_unique<StudioSession>(*gameData, dialogs, random, engine.get(), fs);
  session->addObserver(observer);
  // The browser starts on the first listed station, ADVERTS; the tests work
  // on the music station.
  session->selectStation(testdisc::kMusic);
}

SessionFixture::~SessionFixture() {
  session->removeObserver(observer);
  session.reset();
  engine.reset();
}

ViewFixture::ViewFixture(const DiscPlan& plan) : SessionFixture(plan) {
  host.width = surface.width();
  host.height = surface.height();
  view = std::make_unique<StudioView>(*session, host);
  host.onRepaintAll = [this] { view->paintAll(surface); };
  host.onRepaintTransport = [this](bool clear) {
    view->drawTransport(surface, 0, StudioView::kPlaylistLeft, host.width - StudioView::kPlaylistLeft, clear);
  };
  view->paintAll(surface);  // the window is painted before it can be clicked
}

ViewFixture::~ViewFixture() { view.reset(); }

void SessionFixture::tick(uint32_t bytes) {
  device->advance(bytes);
  ticks.tick();
  engine->refillPlayed();
}

Track* SessionFixture::addTrack(int clipIndex, int station) {
  Track* t = session->playlist().append(createTrack(gameData->catalogue(), station, clipIndex));
  loadTrackAudio(*gameData, *t, true, LoadIndicatorMode::Silent, nullptr);
  return t;
}

std::vector<Track*> SessionFixture::tracks() {
  std::vector<Track*> all;
  for (Track* t = session->playlist().first(); t; t = Playlist::after(t)) all.push_back(t);
  return all;
}

std::vector<int> SessionFixture::trackClasses() {
  std::vector<int> classes;
  for (Track* t : tracks()) classes.push_back(t->clip->clipClass);
  return classes;
}

}  // namespace wc::test
