#include "ui/CoverArt.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "gamedata/ClipAnnotation.h"

namespace wc {
namespace {

struct Palette {
  Rgb background;
  Rgb accent;
  Rgb text;
};

// Dark grounds with one warm or bright accent each: light type on them stays
// readable when a player shrinks the cover to a thumbnail.
constexpr Palette kPalettes[] = {
    {rgb(27, 42, 65), rgb(242, 165, 65), rgb(246, 241, 232)},   // navy, amber
    {rgb(16, 58, 60), rgb(255, 138, 101), rgb(240, 244, 240)},  // teal, coral
    {rgb(52, 30, 58), rgb(233, 196, 106), rgb(245, 238, 245)},  // plum, gold
    {rgb(28, 56, 44), rgb(181, 228, 140), rgb(238, 245, 236)},  // forest, lime
    {rgb(32, 32, 36), rgb(236, 72, 80), rgb(244, 244, 244)},    // charcoal, red
    {rgb(70, 27, 42), rgb(244, 170, 110), rgb(248, 236, 232)},  // burgundy, peach
    {rgb(40, 42, 64), rgb(64, 206, 190), rgb(236, 240, 248)},   // slate, turquoise
    {rgb(18, 32, 58), rgb(140, 200, 232), rgb(240, 246, 252)},  // ink, sky
};

constexpr const char* kFace = "Arial";

// FNV-1a: the same station name always picks the same colours and waveform.
uint32_t nameHash(const std::string& name) {
  uint32_t h = 2166136261u;
  for (unsigned char c : name) h = (h ^ c) * 16777619u;
  return h;
}

// Integers only, so the picture is the same on every machine and compiler.
uint32_t nextRandom(uint32_t& state) {
  state = state * 1664525u + 1013904223u;
  return state >> 8;
}

// `weight` of 256 is all `b`.
Rgb blend(Rgb a, Rgb b, int weight) {
  Rgb out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int ca = int(a >> shift & 0xff), cb = int(b >> shift & 0xff);
    out |= Rgb(ca + (cb - ca) * weight / 256) << shift;
  }
  return out;
}

// UTF-8 to the Latin-1 the surface draws, one line of printable text; a
// character beyond Latin-1 or a broken sequence becomes '?'.
std::string drawableText(const std::string& utf8) {
  std::string latin1;
  if (!utf8ToLatin1(utf8, latin1)) {
    latin1.clear();
    for (size_t i = 0; i < utf8.size(); ++i) {
      const auto b = uint8_t(utf8[i]);
      const bool pair = (b == 0xC2 || b == 0xC3) && i + 1 < utf8.size() && (uint8_t(utf8[i + 1]) & 0xC0) == 0x80;
      if (b < 0x80) {
        latin1 += char(b);
      } else if (pair) {
        latin1 += char(((b & 0x03) << 6) | (uint8_t(utf8[++i]) & 0x3F));
      } else if ((b & 0xC0) != 0x80) {
        latin1 += '?';  // the lead byte stands for the whole character
      }
    }
  }
  return printableLatin1(latin1);
}

struct TextBlock {
  FontSpec font{kFace, 0, 0};
  std::vector<std::string> lines;
  int height() const { return font.cellHeight * int(lines.size()); }
};

// `text` broken at spaces into lines no wider than `width`; no lines at all
// when a single word is wider than that.
std::vector<std::string> wrapWords(const DrawSurface& surface, const std::string& text, const FontSpec& font,
                                   int width) {
  std::vector<std::string> lines;
  std::string line;
  size_t at = 0;
  while (at < text.size()) {
    const size_t start = text.find_first_not_of(' ', at);
    if (start == std::string::npos) break;
    size_t end = text.find(' ', start);
    if (end == std::string::npos) end = text.size();
    const std::string word = text.substr(start, end - start);
    at = end;
    if (surface.textWidth(word, font) > width) return {};
    const std::string joined = line.empty() ? word : line + " " + word;
    if (surface.textWidth(joined, font) <= width) {
      line = joined;
    } else {
      lines.push_back(line);
      line = word;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

// The last line cut short enough to end in "..." within `width`.
std::string withEllipsis(const DrawSurface& surface, std::string line, const FontSpec& font, int width) {
  while (!line.empty() && surface.textWidth(line + "...", font) > width) line.pop_back();
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line + "...";
}

// The largest font, from `largest` down to `smallest` cell height, at which
// `text` wraps into `width` x `height`. Text too long even then is cut off
// with an ellipsis at the smallest size.
TextBlock fitText(const DrawSurface& surface, const std::string& text, int weight, int largest, int smallest, int width,
                  int height) {
  TextBlock block;
  block.font.weight = weight;
  for (int cell = largest; cell >= smallest; cell -= std::max(1, largest / 24)) {
    block.font.cellHeight = cell;
    block.lines = wrapWords(surface, text, block.font, width);
    if (!block.lines.empty() && block.height() <= height) return block;
  }
  block.font.cellHeight = smallest;
  const size_t maxLines = size_t(std::max(1, height / smallest));
  // Words wider than the line are broken by characters instead.
  std::vector<std::string> lines = wrapWords(surface, text, block.font, width);
  if (lines.empty()) {
    std::string line;
    for (char c : text) {
      if (surface.textWidth(line + c, block.font) > width) {
        lines.push_back(line);
        line.clear();
      }
      line += c;
    }
    if (!line.empty()) lines.push_back(line);
  }
  if (lines.size() > maxLines) {
    lines.resize(maxLines);
    lines.back() = withEllipsis(surface, lines.back() + " ", block.font, width);
  }
  block.lines = lines;
  return block;
}

void drawBlock(DrawSurface& surface, const TextBlock& block, int left, int top, int right, Rgb colour) {
  surface.selectFont(block.font);
  surface.setTextColour(colour);
  for (const std::string& line : block.lines) {
    surface.drawText(line, left, top, right, top + block.font.cellHeight, TextAlign::Left);
    top += block.font.cellHeight;
  }
}

// A row of bars mirrored about a centre line, like a recording's waveform:
// a smoothed random envelope that rises from both ends, fading toward the
// edges.
void drawWaveform(DrawSurface& surface, const Palette& colours, uint32_t seed, int left, int right, int centre,
                  int halfHeight, int unit) {
  const int barWidth = std::max(1, unit * 8 / 10);
  const int pitch = std::max(barWidth + 1, unit * 13 / 10);
  const int count = (right - left + pitch - barWidth) / pitch;
  if (count <= 0) return;
  std::vector<int> raw(size_t(count) + 2);
  uint32_t state = seed;
  for (int& r : raw) r = 15 + int(nextRandom(state) % 86);
  const int ramp = std::max(1, count / 5);
  const int used = (count - 1) * pitch + barWidth;
  const int x0 = left + (right - left - used) / 2;
  surface.fillRect(left, centre - std::max(1, unit / 10), right - left, std::max(1, unit / 5),
                   blend(colours.background, colours.accent, 56));
  for (int i = 0; i < count; ++i) {
    const int smooth = (raw[size_t(i)] + 2 * raw[size_t(i) + 1] + raw[size_t(i) + 2]) / 4;  // percent
    const int edge = std::min({i + 1, count - i, ramp});                                    // 1..ramp
    const int h = std::max(unit / 5, halfHeight * smooth * edge / (100 * ramp));
    surface.fillRect(x0 + i * pitch, centre - h, barWidth, 2 * h,
                     blend(colours.background, colours.accent, 96 + 160 * edge / ramp));
  }
}

}  // namespace

void paintCover(DrawSurface& surface, const std::string& station, const std::string& album, int size) {
  const std::string stationText = drawableText(station);
  const std::string albumText = drawableText(album);
  const uint32_t seed = nameHash(stationText.empty() ? albumText : stationText);
  const Palette& colours = kPalettes[seed % std::size(kPalettes)];
  // The layout is drawn for 600 pixels and scales with the size.
  auto px = [size](int at600) { return size * at600 / 600; };
  const int margin = px(48);
  const int width = size - 2 * margin;
  const int unit = px(10);

  surface.fillRect(0, 0, size, size, colours.background);
  surface.setBackColour(colours.background);

  // The station is the title and the album its subtitle; an album from no
  // known station is the title itself.
  int top = px(52);
  const bool titleOnly = stationText.empty();
  const TextBlock title =
      fitText(surface, titleOnly ? albumText : stationText, 700, px(104), px(44), width, px(titleOnly ? 300 : 200));
  drawBlock(surface, title, margin, top, size - margin, colours.text);
  top += title.height() + px(18);
  surface.fillRect(margin, top, px(64), px(8), colours.accent);
  top += px(8) + px(24);
  const int waveTop = px(396);
  if (!titleOnly) {
    const TextBlock subtitle =
        fitText(surface, albumText, 0, px(48), px(26), width, std::max(px(26), waveTop - px(24) - top));
    drawBlock(surface, subtitle, margin, top, size - margin, colours.accent);
  }

  drawWaveform(surface, colours, seed, margin, size - margin, px(474), px(62), unit);
}

}  // namespace wc
