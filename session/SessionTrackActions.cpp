// One track's own actions: its context menu and what the playlist's keys do
// to the track under the focus row. Each runs through one of the playlist's
// own edits, so each is one change of the playlist's revision.
#include "session/StudioSession.h"

namespace wc {
namespace {

constexpr const char* kIntroMenu = "Intro";
constexpr const char* kOutroMenu = "Outro";

// Follow-on clip `clipIndex`'s title as the entry shows it, or the entry's own words
// for a follow-on without speech.
std::string followOnLabel(const Station& station, int clipIndex, bool outro) {
  const std::string title(station.clips[clipIndex].titleText());
  if (!title.empty()) return title;
  return outro ? "(no speech over outro)" : "(no speech over intro)";
}

}  // namespace

std::vector<TrackMenuItem> StudioSession::trackMenu(int row) {
  const Track* track = playlist_.trackAt(row);
  if (!track) return {};
  const int last = playlist_.trackCount() - 1;
  const auto plain = [](const char* label, TrackActionKind kind, bool enabled) {
    return TrackMenuItem{label, {kind, 0}, "", enabled, false, false};
  };
  std::vector<TrackMenuItem> items = {
      plain("Play From Here", TrackActionKind::PlayFromHere, true),
      plain("Remove Track", TrackActionKind::Remove, true),
      plain("Move Up", TrackActionKind::MoveUp, row > 0),
      plain("Move Down", TrackActionKind::MoveDown, row < last),
  };
  if (!track->clip->isSong() || track->station < 0 || track->station >= kStationCount) return items;
  const Station& station = catalogue().stations[track->station];
  const FollowOns f = station.followOns(track->clipIndex);
  const auto choice = [&](TrackActionKind kind, int32_t j, int clipIndex, bool checked) {
    const bool outro = kind == TrackActionKind::ChooseOutro;
    return TrackMenuItem{
        followOnLabel(station, clipIndex, outro), {kind, j}, outro ? kOutroMenu : kIntroMenu, true, true, checked};
  };
  for (int32_t j = 0; j < f.intros; ++j)
    items.push_back(choice(TrackActionKind::ChooseIntro, j, track->clipIndex + 1 + j, j == track->intro));
  for (int32_t j = 0; j < f.outros; ++j)
    items.push_back(choice(TrackActionKind::ChooseOutro, j, track->clipIndex + 1 + f.intros + j, j == track->outro));
  return items;
}

bool StudioSession::runTrackAction(int row, const TrackAction& action) {
  Track* track = playlist_.trackAt(row);
  if (!track) return false;
  switch (action.kind) {
    case TrackActionKind::PlayFromHere: transport_.play(track, StartPart::Intro); return true;
    case TrackActionKind::Remove: playlist_.removeTrack(track); break;  // stopped first if it plays
    case TrackActionKind::MoveUp:
      if (row == 0) return false;
      playlist_.moveBefore(track, playlist_.trackAt(row - 1));
      break;
    case TrackActionKind::MoveDown: {
      Track* next = Playlist::after(track);
      if (!next) return false;
      playlist_.moveAfter(track, next);
      break;
    }
    case TrackActionKind::ChooseIntro:
    case TrackActionKind::ChooseOutro:
      return chooseFollowOn(*track, action.choice, action.kind == TrackActionKind::ChooseOutro);
  }
  notify([](SessionObserver& o) { o.showChanges(); });
  return true;
}

}  // namespace wc
