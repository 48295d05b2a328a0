#pragma once
// The "Edit Clip" exchange between the session and its dialog: what the dialog
// is shown, and what it hands back. A song's intro and outro clips are hidden
// from the browser while "Show all clips" is off, so the dialog may retitle
// them along with the song.
#include <optional>
#include <string>
#include <vector>

#include "gamedata/ClipAnnotation.h"

namespace wc {

struct ClipEditRequest {
  int station = 0;
  int clipIndex = 0;
  std::string stationLabel;
  ClipAnnotation current;
  // Titles of the clips behind this one, in order: [i] is clip clipIndex + 1 + i.
  // Its size is how many intros and outros the clip may own together.
  std::vector<std::string> followingTitles;

  int followOnRoom() const { return int(followingTitles.size()); }
};

struct RetitledClip {
  int clipIndex = 0;
  std::string title;
  bool operator==(const RetitledClip&) const = default;
};

struct ClipEdit {
  ClipAnnotation annotation;
  // New titles of intro and outro clips; each must lie among the clip's
  // intros and outros as `annotation` counts them.
  std::vector<RetitledClip> followOnTitles;
};

// The request for clip `clipIndex` of `station`; nullopt outside the catalogue.
std::optional<ClipEditRequest> makeClipEditRequest(const Catalogue& catalogue, int station, int clipIndex);

// What is wrong with `edit` of clip `clipIndex` with `room` clips behind it.
AnnotationProblem checkClipEdit(const ClipEdit& edit, int clipIndex, int room);

// Checks the whole edit, then applies all of it or nothing.
AnnotationProblem applyClipEdit(Catalogue& catalogue, int station, int clipIndex, const ClipEdit& edit);

}  // namespace wc
