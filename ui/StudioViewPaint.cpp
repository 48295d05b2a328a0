// Painting of the whole view: the clip browser, the dividers, the transport
// display and the CD playlist.
#include <cstdio>
#include <cstring>

#include "playlist/Track.h"
#include "ui/StudioView.h"
#include "ui/TransportText.h"

namespace wc {
namespace {

constexpr Rgb kBlack = rgb(0, 0, 0);
constexpr Rgb kWhite = rgb(255, 255, 255);
constexpr Rgb kArrowBox = rgb(96, 144, 96);
constexpr Rgb kBannerMiddle = rgb(128, 192, 128);
constexpr Rgb kHighlightBox = rgb(0, 0, 128);
constexpr Rgb kTransportGreen = rgb(0, 192, 0);
constexpr Rgb kNumberBox = rgb(128, 128, 255);
constexpr Rgb kEmptySlot = rgb(128, 128, 128);
constexpr Rgb kIntroOutroLine = rgb(224, 112, 112);
constexpr Rgb kLabelBox = rgb(128, 192, 128);

constexpr FontSpec kBannerFont{"Arial", 28, 0};
constexpr FontSpec kClipRowFont{"Arial", 16, 700};
constexpr FontSpec kIntroOutroFont{"Arial", 14, 0};
constexpr FontSpec kEntryFont{"Arial", 28, 0};
constexpr FontSpec kTransportFont{"Lucida Console", 33, 0};

constexpr int kPlaylistSlots = kMaxCdTracks;

// The first drawing step of a banner and of a clip row.
void topLine(DrawSurface& surface, int y, int width) {
  surface.selectPen(Pen::Black);
  surface.setTextColour(kBlack);
  surface.line(0, y, width, y);
}

}  // namespace

void StudioView::paintAll(DrawSurface& surface) {
  const int W = host_.clientWidth();
  const int H = host_.clientHeight();

  // Left pane: banner, clip list scroll bar, clip rows, black below.
  if (state_.clipRowCount == 0) rebuildClipList();
  const std::string label = std::string(station().labelText());
  int y = drawBanner(surface, 0, label.c_str(), kLeftPaneWidth);
  drawScrollBar(surface, Pane::Clips, kClipRowsTop, H, kClipRowWidth, kLeftPaneWidth, state_.clipScroll,
                state_.clipRowCount, kClipRowHeight);
  for (int i = state_.clipScroll < 0 ? 0 : state_.clipScroll; y < H && i < state_.clipRowCount; ++i) {
    const Clip& clip = station().clips[state_.clipRows[size_t(i)]];
    const bool highlight = session_.transport().playingTrack() && session_.transport().playingTrack()->clip == &clip;
    y = drawClipRow(surface, y, highlight, clip, kClipRowWidth);
  }
  surface.fillRect(0, y, kClipRowWidth, H - y, kBlack);

  // Pane divider: 2 black, 2 white, 2 black.
  surface.fillRect(256, 0, 2, H, kBlack);
  surface.fillRect(258, 0, 2, H, kWhite);
  surface.fillRect(260, 0, 2, H, kBlack);

  const int h = drawTransport(surface, 0, kPlaylistLeft, W - kPlaylistLeft, true);
  surface.fillRect(260, h, W - 260, 2, kBlack);
  surface.fillRect(260, h + 2, W - 260, 2, kWhite);
  surface.fillRect(260, h + 4, W - 260, 2, kBlack);

  // The playlist always shows 99 slots: the tracks, then grey empty slots.
  y = h + 6;
  drawScrollBar(surface, Pane::Playlist, y, H, W - kScrollBarWidth, W, state_.playlistScroll, kPlaylistSlots,
                kEntryHeight);
  const int entryWidth = W - kPlaylistLeft - kScrollBarWidth;
  int slot = state_.playlistScroll;
  for (const Track* t = session_.playlist().trackAt(state_.playlistScroll); y < H && t && t->clip; t = t->next, ++slot)
    y = drawPlaylistEntry(surface, slot, y, kPlaylistLeft, entryWidth, t);
  for (; y < H && slot < kPlaylistSlots; ++slot)
    y = drawPlaylistEntry(surface, slot, y, kPlaylistLeft, entryWidth, nullptr);
  surface.fillRect(kPlaylistLeft, y, entryWidth, H - y, kBlack);
  if (state_.focusRow) drawFocusRow(surface, h + 6, entryWidth);

  // The drag outline lives in the view state and is drawn last, over the
  // freshly painted pixels.
  if (state_.outlineShown)
    surface.xorDottedRect(state_.dragRect.x, state_.dragRect.y, state_.dragRect.width, state_.dragRect.height);
}

int StudioView::drawBanner(DrawSurface& surface, int y, const char* label, int width) {
  topLine(surface, y, width);
  surface.fillRect(0, y + 1, 28, 28, kArrowBox);
  surface.fillRect(29, y + 1, width - 58, 28, kBannerMiddle);
  surface.fillRect(width - 28, y + 1, 28, 28, kArrowBox);
  surface.line(28, y, 28, y + 29);
  surface.line(width - 29, y, width - 29, y + 29);

  surface.selectFont(kBannerFont);
  surface.setBackColour(kBannerMiddle);
  surface.drawText(label ? label : "", 29, y + 1, width - 29, y + 29, TextAlign::Centre);
  surface.setBackColour(kArrowBox);
  surface.drawText("<", 0, y + 1, 28, y + 29, TextAlign::Centre);
  surface.drawText(">", width - 28, y + 1, width, y + 29, TextAlign::Centre);
  return y + 29;
}

int StudioView::drawClipRow(DrawSurface& surface, int y, bool highlight, const Clip& clip, int width) {
  const Rgb colour = clipClassColour(clip.kind());
  const Rgb box = highlight ? kHighlightBox : colour;
  const bool song = clip.isSong();

  topLine(surface, y, width);
  surface.fillRect(0, y + 1, 10, 16, box);
  if (song) {
    // Artist column up to the line at x = 112, title column after it.
    surface.fillRect(11, y + 1, 101, 16, colour);
    surface.fillRect(113, y + 1, width - 113, 16, colour);
  } else {
    surface.fillRect(11, y + 1, width - 11, 16, colour);
  }
  surface.line(10, y + 1, 10, y + 17);
  if (song) surface.line(112, y + 1, 112, y + 17);

  surface.selectPen(highlight ? Pen::White : Pen::Black);
  drawArrow(surface, 4, y + 9, -1);
  surface.selectPen(Pen::Black);

  surface.selectFont(kClipRowFont);
  surface.setBackColour(colour);
  if (song) {
    surface.drawText(std::string(clip.artistText()), 14, y + 1, 112, y + 17, TextAlign::Left);
    surface.drawText(std::string(clip.titleText()), 116, y + 1, width, y + 17, TextAlign::Left);
  } else {
    surface.drawText(std::string(clip.titleText()), 14, y + 1, width, y + 17, TextAlign::Left);
  }
  return y + 17;
}

void StudioView::drawArrow(DrawSurface& surface, int cx, int cy, int d) {
  // Nine rows, 6 pixels long at cy down to 2 at cy +- 4; d = -1 points right,
  // d = +1 points left.
  for (int k = -4; k <= 4; ++k) {
    const int a = k < 0 ? -k : k;
    surface.line(cx + (a - 3) * d, cy + k, cx + 3 * d, cy + k);
  }
}

int StudioView::drawPlaylistEntry(DrawSurface& surface, int slot, int y, int x, int w, const Track* track) {
  if (track && !track->clip) track = nullptr;  // the end marker is drawn as an empty slot
  const Clip* clip = track ? track->clip : nullptr;
  const bool isSong = clip && clip->isSong();
  const bool playing = track && track == session_.transport().playingTrack();
  const Rgb band = clip ? clipClassColour(clip->kind()) : kEmptySlot;
  const Rgb numberBox = !clip ? kEmptySlot : playing ? kHighlightBox : kNumberBox;
  const Rgb numberText = playing ? kWhite : kBlack;

  // The adverts pack and commercials carry no station label. A station index
  // outside the catalogue gets none either.
  const bool hasLabel = clip && clip->kind() != ClipClass::Commercial && track->station != kAdvertsStation &&
                        track->station >= 0 && track->station < kStationCount;
  const std::string label = hasLabel ? std::string(catalogue().stations[track->station].labelText()) : std::string();
  const int textLeft = x + (hasLabel ? 160 : 32);

  std::string songText;
  if (clip) {
    const std::string artist(clip->artistText());
    songText = artist.empty() ? std::string(clip->titleText()) : artist + " - " + std::string(clip->titleText());
  }
  std::string introText, outroText;
  if (isSong) {
    if (const Clip* intro = introClipOf(catalogue(), *track)) introText = intro->titleText();
    if (const Clip* outro = outroClipOf(catalogue(), *track)) outroText = outro->titleText();
    if (introText.empty()) introText = "(no speech over intro)";
    if (outroText.empty()) outroText = "(no speech over outro)";
  }

  surface.selectPen(Pen::Black);
  surface.line(x, y, x + w, y);
  if (isSong) {
    surface.line(x + 32, y + 15, x + w, y + 15);
    surface.line(x + 32, y + 44, x + w, y + 44);
  }
  if (hasLabel) {
    if (isSong)
      surface.line(x + 159, y + 16, x + 159, y + 44);
    else
      surface.line(x + 159, y + 1, x + 159, y + 59);
  }
  surface.line(x + 31, y + 1, x + 31, y + 59);

  if (isSong) {
    surface.fillRect(x + 32, y + 1, w - 32, 14, kIntroOutroLine);
    if (hasLabel) surface.fillRect(x + 32, y + 16, 127, 28, kLabelBox);
    surface.fillRect(textLeft, y + 16, x + w - textLeft, 28, band);
    surface.fillRect(x + 32, y + 45, w - 32, 14, kIntroOutroLine);
  } else {
    if (hasLabel) surface.fillRect(x + 32, y + 1, 127, 58, kLabelBox);
    surface.fillRect(textLeft, y + 1, x + w - textLeft, 58, band);
  }
  surface.fillRect(x, y + 1, 31, 58, numberBox);
  if (isSong) surface.line(x, y + 44, x + 32, y + 44);

  surface.setTextColour(kBlack);
  if (isSong) {
    surface.selectFont(kIntroOutroFont);
    surface.setBackColour(kIntroOutroLine);
    surface.drawText(introText, x + 60, y + 1, x + w, y + 15, TextAlign::Left);
    surface.drawText(outroText, x + 60, y + 45, x + w, y + 59, TextAlign::Left);
  }
  surface.selectFont(kEntryFont);
  surface.setBackColour(band);
  surface.drawText(songText, textLeft + 6, y + 16, x + w, y + 44, TextAlign::Left);
  if (hasLabel) {
    surface.setBackColour(kLabelBox);
    surface.drawText(label, x + 32, y + 16, x + 159, y + 44, TextAlign::Centre);
  }
  char number[16];
  std::snprintf(number, sizeof number, "%d", slot + 1);
  surface.setBackColour(numberBox);
  surface.setTextColour(numberText);
  surface.drawText(number, x, y + 16, x + 31, y + 44, TextAlign::Centre);
  surface.setTextColour(kBlack);

  if (isSong) {
    // Previous-choice buttons point left, next-choice buttons right.
    surface.selectPen(Pen::Black);
    drawArrow(surface, x + 39, y + 8, +1);
    drawArrow(surface, x + 51, y + 8, -1);
    drawArrow(surface, x + 39, y + 52, +1);
    drawArrow(surface, x + 51, y + 52, -1);
  }
  surface.fillRect(x, y + 59, w, 6, kBlack);
  return y + 65;
}

int StudioView::drawTransport(DrawSurface& surface, int y, int x, int width, bool clear) {
  Rgb colour = kTransportGreen;
  const std::string text = transportText(session_.marks(), session_.playlist(), session_.transport(), &colour);
  surface.selectFont(kTransportFont);
  surface.setBackColour(kBlack);
  surface.setTextColour(colour);
  if (clear) surface.fillRect(x, y, width, kTransportHeight, kBlack);
  surface.drawText(text, x, y + 2, x + width, y + kTransportHeight, TextAlign::Centre);
  return kTransportHeight;
}

}  // namespace wc
