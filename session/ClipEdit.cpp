#include "session/ClipEdit.h"

namespace wc {

std::optional<ClipEditRequest> makeClipEditRequest(const Catalogue& catalogue, int station, int clipIndex) {
  if (station < 0 || station >= kStationCount) return std::nullopt;
  const Station& s = catalogue.stations[station];
  if (!s.hasClip(clipIndex)) return std::nullopt;
  ClipEditRequest request;
  request.station = station;
  request.clipIndex = clipIndex;
  request.stationLabel = s.labelText();
  request.current = annotationOf(s.clips[clipIndex]);
  for (const Clip& c : s.validClips().subspan(size_t(clipIndex) + 1))
    request.followingTitles.emplace_back(c.titleText());
  return request;
}

AnnotationProblem checkClipEdit(const ClipEdit& edit, int clipIndex, int room) {
  const AnnotationProblem problem = checkAnnotation(edit.annotation, room);
  if (problem != AnnotationProblem::None) return problem;
  // The counts are checked, so every follow-on index up to `last` is a clip.
  const int last = clipIndex + edit.annotation.intros + edit.annotation.outros;
  for (const RetitledClip& r : edit.followOnTitles) {
    if (r.clipIndex <= clipIndex || r.clipIndex > last) return AnnotationProblem::NoSuchClip;
    if (!isValidClipText(r.title)) return AnnotationProblem::TitleNotValid;
  }
  return AnnotationProblem::None;
}

AnnotationProblem applyClipEdit(Catalogue& catalogue, int station, int clipIndex, const ClipEdit& edit) {
  if (station < 0 || station >= kStationCount) return AnnotationProblem::NoSuchClip;
  Station& s = catalogue.stations[station];
  if (!s.hasClip(clipIndex)) return AnnotationProblem::NoSuchClip;
  const AnnotationProblem problem = checkClipEdit(edit, clipIndex, followOnRoom(s, clipIndex));
  if (problem != AnnotationProblem::None) return problem;
  applyAnnotation(s, clipIndex, edit.annotation);
  for (const RetitledClip& r : edit.followOnTitles) applyTitle(s, r.clipIndex, r.title);
  return AnnotationProblem::None;
}

}  // namespace wc
