#include "session/ClipEdit.h"

#include <cstring>

namespace wc {

std::optional<ClipEditRequest> makeClipEditRequest(const Catalogue& catalogue, int station, int clipIndex) {
  if (station < 0 || station >= kStationCount) return std::nullopt;
  const Station& s = catalogue.stations[station];
  if (clipIndex < 0 || clipIndex >= validClipCount(s)) return std::nullopt;
  ClipEditRequest request;
  request.station = station;
  request.clipIndex = clipIndex;
  request.stationLabel = std::string(s.label, strnlen(s.label, sizeof s.label));
  request.current = annotationOf(s.clips[clipIndex]);
  for (int k = clipIndex + 1; k < validClipCount(s); ++k) request.followingTitles.push_back(clipText(s.clips[k].title));
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
  if (clipIndex < 0 || clipIndex >= validClipCount(s)) return AnnotationProblem::NoSuchClip;
  const AnnotationProblem problem = checkClipEdit(edit, clipIndex, followOnRoom(s, clipIndex));
  if (problem != AnnotationProblem::None) return problem;
  applyAnnotation(s, clipIndex, edit.annotation);
  for (const RetitledClip& r : edit.followOnTitles) applyTitle(s, r.clipIndex, r.title);
  return AnnotationProblem::None;
}

}  // namespace wc
