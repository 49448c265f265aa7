// make-skin-images OUTDIR
//
// Draws the five keypad images of the built-in skin and writes them to OUTDIR
// as base.bmp, left.bmp, up.bmp, right.bmp and down.bmp: 176 x 153 pixels,
// 8 bits per pixel with a 256-entry colour table, bottom-up rows.
//
// The output is committed next to the resource script, and a test reruns this
// program and compares byte for byte, so everything here must be
// deterministic: integer arithmetic only, no clock, no locale, no platform
// fonts. The text is drawn with the small pixel fonts below.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/engine/engine.h"
#include "core/skin/skin.h"

namespace {

constexpr int kWidth = 176;
constexpr int kHeight = 153;

// ---------------------------------------------------------------------------
// Colours

struct Rgb {
  int r, g, b;
};

bool SameRgb(Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

// Key cells: 58 x 38 pixels, one free column between the columns, one free
// row above the first row.
constexpr int kCellW = 58;
constexpr int kCellH = 38;
constexpr int kCellX[3] = {0, 59, 118};
constexpr int kTopMargin = 1;

// Key ovals, in eighths of a pixel: centre inside the cell, half axes of the
// outline and of the face within it.
constexpr int kOvalCx8 = 8 * kCellW / 2;
constexpr int kOvalCy8 = 8 * 19;
constexpr int kOvalA8 = 8 * 28;
constexpr int kOvalB8 = 8 * 35 / 2;
constexpr int kFaceA8 = kOvalA8 - 9;
constexpr int kFaceB8 = kOvalB8 - 9;

// Mixes `over` onto `under` with a coverage of cov/16.
Rgb Mix(Rgb under, Rgb over, int cov) {
  return {(under.r * (16 - cov) + over.r * cov + 8) / 16,
          (under.g * (16 - cov) + over.g * cov + 8) / 16,
          (under.b * (16 - cov) + over.b * cov + 8) / 16};
}

// Light panel: the window samples it at (5,5) of the base image and paints
// the display line with it, black text on top.
constexpr Rgb kPanel = {0xCF, 0xD8, 0xE2};
constexpr Rgb kShadow = {0x9A, 0xA6, 0xB4};
constexpr Rgb kRim = {0x6B, 0x77, 0x86};
constexpr Rgb kFaceTop = {0xFF, 0xFF, 0xFF};
constexpr Rgb kFaceBottom = {0xE3, 0xE7, 0xEC};

constexpr Rgb kDigit = {0x16, 0x1C, 0x24};       // key characters, emphasised
constexpr Rgb kDigitDim = {0xB4, 0xBA, 0xC2};    // key characters in a layer
constexpr Rgb kLabelDim = {0x8E, 0x95, 0x9F};    // other layers' labels

// Per direction (Left, Up, Right, Down): the label colour in the base image,
// and the highlight behind the labels in that layer's image.
struct LayerLook {
  Rgb label;
  Rgb strong;
  Rgb pill;
};
constexpr std::array<LayerLook, 4> kLayerLooks = {{
    {{0x1F, 0x4F, 0xA8}, {0x0B, 0x2F, 0x7A}, {0xCD, 0xE0, 0xFF}},  // Left
    {{0x1E, 0x74, 0x2E}, {0x0B, 0x4A, 0x18}, {0xC8, 0xF0, 0xC8}},  // Up
    {{0xB0, 0x22, 0x1C}, {0x80, 0x0C, 0x08}, {0xFF, 0xD6, 0xCC}},  // Right
    {{0x6E, 0x2E, 0xA0}, {0x4A, 0x12, 0x78}, {0xE8, 0xD4, 0xFA}},  // Down
}};

// ---------------------------------------------------------------------------
// Canvas

struct Canvas {
  std::vector<Rgb> px = std::vector<Rgb>(kWidth * kHeight, kPanel);
};

void Put(Canvas& c, int x, int y, Rgb col) {
  if (x >= 0 && x < kWidth && y >= 0 && y < kHeight) c.px[static_cast<std::size_t>(y * kWidth + x)] = col;
}

Rgb Get(const Canvas& c, int x, int y) { return c.px[static_cast<std::size_t>(y * kWidth + x)]; }

// Coverage (0..16) of pixel (x, y) by the ellipse with centre (cx8, cy8) and
// half axes (a8, b8), all in eighths of a pixel; 4 x 4 samples per pixel.
int EllipseCoverage(int x, int y, int cx8, int cy8, int a8, int b8) {
  const std::int64_t a2 = std::int64_t{a8} * a8;
  const std::int64_t b2 = std::int64_t{b8} * b8;
  int hits = 0;
  for (int j = 0; j < 4; ++j) {
    for (int i = 0; i < 4; ++i) {
      const std::int64_t dx = 8 * x + 2 * i + 1 - cx8;
      const std::int64_t dy = 8 * y + 2 * j + 1 - cy8;
      if (dx * dx * b2 + dy * dy * a2 <= a2 * b2) ++hits;
    }
  }
  return hits;
}

// Fills the ellipse; the colour runs from `top` to `bottom` over its height.
// Coverage is rounded to quarters to keep the colour count small.
void FillEllipse(Canvas& c, int cx8, int cy8, int a8, int b8, Rgb top,
                 Rgb bottom) {
  const int y0 = (cy8 - b8) / 8 - 1;
  const int y1 = (cy8 + b8) / 8 + 1;
  const int x0 = (cx8 - a8) / 8 - 1;
  const int x1 = (cx8 + a8) / 8 + 1;
  for (int y = y0; y <= y1; ++y) {
    const int t = std::clamp((y - y0) * 16 / std::max(1, y1 - y0), 0, 16);
    const Rgb col = Mix(top, bottom, t);
    for (int x = x0; x <= x1; ++x) {
      if (x < 0 || x >= kWidth || y < 0 || y >= kHeight) continue;
      const int cov = (EllipseCoverage(x, y, cx8, cy8, a8, b8) + 2) / 4 * 4;
      if (cov == 0) continue;
      Put(c, x, y, Mix(Get(c, x, y), col, cov));
    }
  }
}

// A rectangle with its four corner pixels left out, kept inside the face of
// the key whose oval centre is (cx8, cy8).
void FillPill(Canvas& c, int x0, int y0, int x1, int y1, int cx8, int cy8,
              Rgb col) {
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) {
      const bool corner = (x == x0 || x == x1) && (y == y0 || y == y1);
      if (corner) continue;
      if (EllipseCoverage(x, y, cx8, cy8, kFaceA8, kFaceB8) < 16) continue;
      Put(c, x, y, col);
    }
  }
}

// ---------------------------------------------------------------------------
// Label font: capitals 7 rows high (rows 0..6, baseline under row 6),
// x-height 5, descenders 2. `top` is the row of the glyph's first line;
// superscripts start above the capitals, subscripts sit low.

struct Glyph {
  char32_t code;
  int top;
  const char* rows;  // rows separated by '/', '#' is ink
};

constexpr Glyph kLabelFont[] = {
    {U'a', 2, ".##./...#/.###/#..#/.###"},
    {U'b', 0, "#.../#.../###./#..#/#..#/#..#/###."},
    {U'c', 2, ".###/#.../#.../#.../.###"},
    {U'd', 0, "...#/...#/.###/#..#/#..#/#..#/.###"},
    {U'e', 2, ".##./#..#/####/#.../.###"},
    {U'g', 2, ".###/#..#/#..#/#..#/.###/...#/.##."},
    {U'h', 0, "#.../#.../###./#..#/#..#/#..#/#..#"},
    {U'i', 0, "#/./#/#/#/#/#"},
    {U'l', 0, "#./#./#./#./#./#./.#"},
    {U'n', 2, "###./#..#/#..#/#..#/#..#"},
    {U'o', 2, ".##./#..#/#..#/#..#/.##."},
    {U'r', 2, "#.##/##../#.../#.../#..."},
    {U's', 2, ".###/#.../.##./...#/###."},
    {U't', 0, ".#./.#./###/.#./.#./.#./..#"},
    {U'x', 2, "#...#/.#.#./..#../.#.#./#...#"},
    {U'y', 2, "#..#/#..#/#..#/#..#/.###/...#/.##."},
    {U'C', 0, ".###./#...#/#..../#..../#..../#...#/.###."},
    {U'E', 0, "####/#.../#.../###./#.../#.../####"},
    {U'F', 0, "####/#.../#.../###./#.../#.../#..."},
    {U'M', 0, "#...#/##.##/#.#.#/#.#.#/#...#/#...#/#...#"},
    {U'R', 0, "####./#...#/#...#/####./#.#../#..#./#...#"},
    {U'S', 0, ".###./#...#/#..../.###./....#/#...#/.###."},
    {U'0', 0, ".##./#..#/#..#/#..#/#..#/#..#/.##."},
    {U'1', 0, ".#./##./.#./.#./.#./.#./###"},
    {U'2', 0, ".##./#..#/...#/..#./.#../#.../####"},
    {U'+', 1, "..#../..#../#####/..#../..#.."},
    {U'-', 3, "###"},
    {U'\u2212', 3, "#####"},  // minus
    {U'/', 0, "....#/...#./...#./..#../.#.../.#.../#...."},
    {U'*', 1, "..#../#.#.#/.###./#.#.#/..#.."},
    {U'%', 0, ".#.../#.#.#/.#.#./..#../.#.#./#.#.#/...#."},
    {U'!', 0, "#/#/#/#/#/./#"},
    {U'\u00B1', 0, "..#../..#../#####/..#../..#../...../#####"},  // plus-minus
    {U'\u03C0', 1, "#####/.#.#./.#.#./.#.#./.#.#./.#.#."},         // pi
    {U'\u221A', 0, "...##/...#./...#./...#./#..#./.#.#./..#.."},  // root
    {U'\u00B2', -1, "##./..#/.#./#../###"},                   // superscript 2
    {U'\u00B3', -1, "##./..#/.#./..#/##."},                   // superscript 3
    {U'\u02E3', -1, "#.#/.#./#.#"},                           // superscript x
    {U'\u02B8', -1, "#.#/#.#/.##/..#/##."},                   // superscript y
    {U'\u2082', 4, "##./..#/.#./#../###"},                    // subscript 2
};

// Big key characters: 11 rows, strokes two pixels wide.
constexpr Glyph kKeyFont[] = {
    {U'0', 0,
     "..###../.##.##./##...##/##...##/##...##/##...##/##...##/##...##/"
     "##...##/.##.##./..###.."},
    {U'1', 0,
     "...##../..###../.####../...##../...##../...##../...##../...##../"
     "...##../...##../.######"},
    {U'2', 0,
     ".#####./##...##/.....##/.....##/....##./...##../..##.../.##..../"
     "##...../##...../#######"},
    {U'3', 0,
     ".#####./##...##/.....##/.....##/...###./...###./.....##/.....##/"
     ".....##/##...##/.#####."},
    {U'4', 0,
     "....##./...###./..####./.##.##./##..##./##..##./#######/....##./"
     "....##./....##./....##."},
    {U'5', 0,
     "#######/##...../##...../##...../######./.....##/.....##/.....##/"
     ".....##/##...##/.#####."},
    {U'6', 0,
     "..####./.##..../##...../##...../######./##...##/##...##/##...##/"
     "##...##/##...##/.#####."},
    {U'7', 0,
     "#######/.....##/.....##/....##./....##./...##../...##../..##.../"
     "..##.../..##.../..##..."},
    {U'8', 0,
     ".#####./##...##/##...##/##...##/.#####./##...##/##...##/##...##/"
     "##...##/##...##/.#####."},
    {U'9', 0,
     ".#####./##...##/##...##/##...##/##...##/.######/.....##/.....##/"
     ".....##/....##./.####.."},
    {U'E', 0,
     "#######/##...../##...../##...../##...../######./##...../##...../"
     "##...../##...../#######"},
};

constexpr int kKeyFontHeight = 11;

// The glyph of `code`, or null when the font has none.
const Glyph* FindGlyph(const Glyph* font, std::size_t count, char32_t code) {
  for (std::size_t i = 0; i < count; ++i) {
    if (font[i].code == code) return &font[i];
  }
  return nullptr;
}

// Width of a glyph: the length of its first row.
int GlyphWidth(const Glyph& g) {
  int w = 0;
  while (g.rows[w] != '\0' && g.rows[w] != '/') ++w;
  return w;
}

// Every row of every glyph must be as wide as its first row.
bool FontIsWellFormed(const Glyph* font, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const int w = GlyphWidth(font[i]);
    int run = 0;
    for (const char* p = font[i].rows;; ++p) {
      if (*p == '/' || *p == '\0') {
        if (run != w) return false;
        run = 0;
        if (*p == '\0') break;
      } else {
        ++run;
      }
    }
  }
  return true;
}

void DrawGlyph(Canvas& c, const Glyph& g, int x, int y, Rgb col) {
  int row = 0, colIx = 0;
  for (const char* p = g.rows; *p != '\0'; ++p) {
    if (*p == '/') {
      ++row;
      colIx = 0;
      continue;
    }
    if (*p == '#') Put(c, x + colIx, y + g.top + row, col);
    ++colIx;
  }
}

constexpr std::size_t kLabelGlyphs = sizeof kLabelFont / sizeof kLabelFont[0];
constexpr std::size_t kKeyGlyphs = sizeof kKeyFont / sizeof kKeyFont[0];

int LabelWidth(const std::u32string& text) {
  int w = 0;
  for (char32_t ch : text) {
    const Glyph* g = FindGlyph(kLabelFont, kLabelGlyphs, ch);
    if (g != nullptr) w += GlyphWidth(*g) + 1;
  }
  return w > 0 ? w - 1 : 0;
}

// Rows a label's ink occupies relative to the capital top: [top, bottom].
void LabelRows(const std::u32string& text, int& top, int& bottom) {
  top = 0;
  bottom = 6;
  for (char32_t ch : text) {
    const Glyph* g = FindGlyph(kLabelFont, kLabelGlyphs, ch);
    if (g == nullptr) continue;
    int rows = 1;
    for (const char* p = g->rows; *p != '\0'; ++p) rows += *p == '/';
    top = std::min(top, g->top);
    bottom = std::max(bottom, g->top + rows - 1);
  }
}

// Draws a label with its capital top at y. A root sign extends its bar over
// the rest of the label.
void DrawLabel(Canvas& c, const std::u32string& text, int x, int y, Rgb col) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const Glyph* g = FindGlyph(kLabelFont, kLabelGlyphs, text[i]);
    if (g == nullptr) continue;
    DrawGlyph(c, *g, x, y, col);
    const int w = GlyphWidth(*g);
    if (text[i] == U'\u221A') {
      const int barEnd = x + w + LabelWidth(text.substr(i + 1));
      for (int bx = x + w; bx <= barEnd; ++bx) Put(c, bx, y + g->top, col);
    }
    x += w + 1;
  }
}

// ---------------------------------------------------------------------------
// The keypad

// Key faces in key-index order: 1..9, star, 0, hash. U'*' draws the raised
// dot of the star key; the hash key types the exponent.
constexpr std::array<char32_t, 12> kFaces = {U'1', U'2', U'3', U'4', U'5', U'6',
                                             U'7', U'8', U'9', U'*', U'0', U'E'};
// Label places inside a cell (capital top rows; horizontal centres).
constexpr int kUpY = 4;
constexpr int kSideY = 16;
constexpr int kDownY = 26;
constexpr int kLeftCentre = 13;
constexpr int kRightCentre = 45;
constexpr int kFaceY = 14;

enum Side { kLeft, kUp, kRight, kDown };

void DrawKeyOval(Canvas& c, int ox, int oy) {
  const int cx8 = 8 * ox + kOvalCx8;
  const int cy8 = 8 * oy + kOvalCy8;
  FillEllipse(c, cx8 + 8, cy8 + 8, kOvalA8, kOvalB8, kShadow, kShadow);
  FillEllipse(c, cx8, cy8, kOvalA8, kOvalB8, kRim, kRim);
  FillEllipse(c, cx8, cy8, kFaceA8, kFaceB8, kFaceTop, kFaceBottom);
}

// The star key's raised dot: a small disc with a light upper left.
void DrawStarDot(Canvas& c, int cx, int cy, Rgb col) {
  const Rgb light = Mix(col, kFaceTop, 9);
  for (int dy = -3; dy <= 3; ++dy) {
    for (int dx = -3; dx <= 3; ++dx) {
      const int d2 = dx * dx + dy * dy;
      if (d2 > 10) continue;
      const bool shine = (dx == -1 && dy == -1) || (dx == -1 && dy == -2) ||
                         (dx == -2 && dy == -1);
      Put(c, cx + dx, cy + dy, shine ? light : col);
    }
  }
}

void DrawKeyFace(Canvas& c, char32_t face, int ox, int oy, Rgb col) {
  if (face == U'*') {
    DrawStarDot(c, ox + kCellW / 2 - 1, oy + kFaceY + kKeyFontHeight / 2, col);
    return;
  }
  const Glyph* g = FindGlyph(kKeyFont, kKeyGlyphs, face);
  if (g == nullptr) return;
  const int x = ox + (kCellW - GlyphWidth(*g)) / 2;
  DrawGlyph(c, *g, x, oy + kFaceY, col);
}

// Where a label goes: its left column and capital top row.
void LabelPlace(const std::u32string& text, Side side, int ox, int oy, int& x,
                int& y) {
  const int w = LabelWidth(text);
  switch (side) {
    case kLeft:
      x = ox + kLeftCentre - w / 2;
      y = oy + kSideY;
      break;
    case kRight:
      x = ox + kRightCentre - w / 2;
      y = oy + kSideY;
      break;
    case kUp:
      x = ox + (kCellW - w) / 2;
      y = oy + kUpY;
      break;
    case kDown:
      x = ox + (kCellW - w) / 2;
      y = oy + kDownY;
      break;
  }
}

// The label of key `key` in the layer of `side`: the name of the action the
// built-in key map gives it there, as the calculator names it.
std::u32string LabelOf(int key, Side side) {
  std::u32string label;
  for (const char16_t* p = ActionLabel(defaultKeyMap[static_cast<int>(side) * 12 + key]); *p != 0; ++p)
    label += static_cast<char32_t>(*p);
  return label;
}

// Layer 0 is the base image; layers 1..4 are Left, Up, Right, Down.
Canvas DrawImage(int layer) {
  Canvas c;
  for (int k = 0; k < 12; ++k) {
    const int ox = kCellX[k % 3];
    const int oy = kTopMargin + (k / 3) * kCellH;
    DrawKeyOval(c, ox, oy);
  }
  for (int k = 0; k < 12; ++k) {
    const int ox = kCellX[k % 3];
    const int oy = kTopMargin + (k / 3) * kCellH;
    for (std::size_t s = 0; s < 4; ++s) {
      const Side side = static_cast<Side>(s);
      const std::u32string text = LabelOf(k, side);
      int x = 0, y = 0;
      LabelPlace(text, side, ox, oy, x, y);
      Rgb col = kLayerLooks[s].label;
      if (layer != 0) {
        col = kLabelDim;
        if (layer == static_cast<int>(s) + 1) {
          int top = 0, bottom = 0;
          LabelRows(text, top, bottom);
          FillPill(c, x - 2, y + top - 1, x + LabelWidth(text) + 1,
                   y + bottom + 1, 8 * ox + kOvalCx8, 8 * oy + kOvalCy8,
                   kLayerLooks[s].pill);
          col = kLayerLooks[s].strong;
        }
      }
      DrawLabel(c, text, x, y, col);
    }
    DrawKeyFace(c, kFaces[static_cast<std::size_t>(k)], ox, oy, layer == 0 ? kDigit : kDigitDim);
  }
  return c;
}

// ---------------------------------------------------------------------------
// BMP output

void PutU16(std::vector<std::uint8_t>& out, unsigned v) {
  out.push_back(static_cast<std::uint8_t>(v & 0xFF));
  out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

std::uint32_t Pack(Rgb c) {
  return (static_cast<std::uint32_t>(c.r) << 16) |
         (static_cast<std::uint32_t>(c.g) << 8) | static_cast<std::uint32_t>(c.b);
}

// One colour table for all five images: every colour used, in ascending
// order, padded with black.
bool BuildPalette(const std::vector<Canvas>& images,
                  std::vector<std::uint32_t>& palette, std::size_t& used) {
  palette.clear();
  for (const Canvas& c : images) {
    for (Rgb p : c.px) palette.push_back(Pack(p));
  }
  std::sort(palette.begin(), palette.end());
  palette.erase(std::unique(palette.begin(), palette.end()), palette.end());
  used = palette.size();
  if (used > 256) return false;
  palette.resize(256, 0);
  return true;
}

std::vector<std::uint8_t> EncodeBmp(const Canvas& c,
                                    const std::vector<std::uint32_t>& palette,
                                    std::size_t colours) {
  constexpr std::uint32_t kStride = (kWidth + 3) / 4 * 4;
  constexpr std::uint32_t kBitsOffset = 14 + 40 + 256 * 4;
  constexpr std::uint32_t kBitsSize = kStride * kHeight;
  std::vector<std::uint8_t> out;
  out.reserve(kBitsOffset + kBitsSize);
  // File header.
  out.push_back('B');
  out.push_back('M');
  PutU32(out, kBitsOffset + kBitsSize);
  PutU16(out, 0);
  PutU16(out, 0);
  PutU32(out, kBitsOffset);
  // Information header.
  PutU32(out, 40);
  PutU32(out, kWidth);
  PutU32(out, kHeight);  // positive: bottom-up
  PutU16(out, 1);        // planes
  PutU16(out, 8);        // bits per pixel
  PutU32(out, 0);        // uncompressed
  PutU32(out, kBitsSize);
  PutU32(out, 2835);  // 72 dpi
  PutU32(out, 2835);
  PutU32(out, 256);
  PutU32(out, 0);
  // Colour table, blue green red reserved.
  for (std::uint32_t rgb : palette) {
    out.push_back(static_cast<std::uint8_t>(rgb & 0xFF));
    out.push_back(static_cast<std::uint8_t>((rgb >> 8) & 0xFF));
    out.push_back(static_cast<std::uint8_t>((rgb >> 16) & 0xFF));
    out.push_back(0);
  }
  const auto used = palette.begin() + static_cast<std::ptrdiff_t>(colours);
  for (int y = kHeight - 1; y >= 0; --y) {
    for (int x = 0; x < kWidth; ++x) {
      const auto it = std::lower_bound(palette.begin(), used, Pack(Get(c, x, y)));
      out.push_back(static_cast<std::uint8_t>(it - palette.begin()));
    }
    for (std::uint32_t pad = kWidth; pad < kStride; ++pad) out.push_back(0);
  }
  return out;
}

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make-skin-images OUTDIR\n");
    return 2;
  }
  if (!FontIsWellFormed(kLabelFont, kLabelGlyphs) ||
      !FontIsWellFormed(kKeyFont, kKeyGlyphs)) {
    std::fprintf(stderr, "make-skin-images: a glyph has rows of unequal width\n");
    return 1;
  }
  // File names by layer: base, Left, Up, Right, Down.
  static const char* const kNames[5] = {"base.bmp", "left.bmp", "up.bmp",
                                        "right.bmp", "down.bmp"};
  std::vector<Canvas> images;
  for (int layer = 0; layer < 5; ++layer) images.push_back(DrawImage(layer));

  // The display line takes its colour from (5,5): it must be the panel in
  // every image.
  for (const Canvas& c : images) {
    if (!SameRgb(Get(c, 5, 5), kPanel)) {
      std::fprintf(stderr, "make-skin-images: pixel (5,5) is not the panel\n");
      return 1;
    }
  }
  std::vector<std::uint32_t> palette;
  std::size_t colours = 0;
  if (!BuildPalette(images, palette, colours)) {
    std::fprintf(stderr, "make-skin-images: more than 256 colours\n");
    return 1;
  }

  std::string dir = argv[1];
  if (!dir.empty() && dir.back() != '/') dir += '/';
  for (std::size_t layer = 0; layer < 5; ++layer) {
    const std::string path = dir + kNames[layer];
    if (!WriteFile(path, EncodeBmp(images[layer], palette, colours))) {
      std::fprintf(stderr, "make-skin-images: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
