#include "core/skin/keypad_art.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/engine/engine.h"

namespace {


// Mixes `over` onto `under` with a coverage of cov/16.
Rgb Mix(Rgb under, Rgb over, int cov)
{
    return {(under.r * (16 - cov) + over.r * cov + 8) / 16, (under.g * (16 - cov) + over.g * cov + 8) / 16,
            (under.b * (16 - cov) + over.b * cov + 8) / 16};
}

}  // namespace

const KeypadStyle keypadStyles[2] = {
    {"builtin",
     true,
     {0xCF, 0xD8, 0xE2},
     {0x9A, 0xA6, 0xB4},
     {0x6B, 0x77, 0x86},
     {0xFF, 0xFF, 0xFF},
     {0xE3, 0xE7, 0xEC},
     {0x16, 0x1C, 0x24},
     {0xB4, 0xBA, 0xC2},
     {0x8E, 0x95, 0x9F},
     {{
         {{0x1F, 0x4F, 0xA8}, {0x0B, 0x2F, 0x7A}, {0xCD, 0xE0, 0xFF}},  // Left
         {{0x1E, 0x74, 0x2E}, {0x0B, 0x4A, 0x18}, {0xC8, 0xF0, 0xC8}},  // Up
         {{0xB0, 0x22, 0x1C}, {0x80, 0x0C, 0x08}, {0xFF, 0xD6, 0xCC}},  // Right
         {{0x6E, 0x2E, 0xA0}, {0x4A, 0x12, 0x78}, {0xE8, 0xD4, 0xFA}},  // Down
     }},
     {true, 8 * 28, 8 * 35 / 2, 0},
     9,
     0,  // descenders may touch the rim
     false},
    // Dark and flat: no shadow (it would not show on black), a grey rim to
    // tell the keys from the panel, white key characters. In a layer image
    // that layer's labels turn black on a pill of their colour and everything
    // else steps back.
    {"contrast",
     false,
     {0x0A, 0x0A, 0x0A},
     {0x0A, 0x0A, 0x0A},
     {0x80, 0x80, 0x80},
     {0x1E, 0x1E, 0x1E},
     {0x1E, 0x1E, 0x1E},
     {0xFF, 0xFF, 0xFF},
     {0x60, 0x60, 0x60},
     {0x58, 0x58, 0x58},
     {{
         {{0x40, 0xDC, 0xFF}, {0x00, 0x00, 0x00}, {0x40, 0xDC, 0xFF}},  // Left: cyan
         {{0xFF, 0xE0, 0x30}, {0x00, 0x00, 0x00}, {0xFF, 0xE0, 0x30}},  // Up: yellow
         {{0xFF, 0x6C, 0xD8}, {0x00, 0x00, 0x00}, {0xFF, 0x6C, 0xD8}},  // Right: pink
         {{0x64, 0xF0, 0x5A}, {0x00, 0x00, 0x00}, {0x64, 0xF0, 0x5A}},  // Down: green
     }},
     {false, 8 * 55 / 2, 8 * 35 / 2, 8 * 5},
     10,
     10,  // on the face, clear of the rim
     true},
};

const KeypadStyle* FindKeypadStyle(const char* name)
{
    for (const KeypadStyle& style : keypadStyles) {
        if (std::strcmp(style.name, name) == 0) return &style;
    }
    return nullptr;
}

namespace {

// ---------------------------------------------------------------------------
// Canvas

using Canvas = KeypadCanvas;

Canvas BlankCanvas(Rgb panel, int scale, KeypadDrawing drawing)
{
    const int w = kKeypadWidth * scale, h = kKeypadHeight * scale;
    return Canvas{w, h, scale, drawing == kDrawBitmapFile,
                  std::vector<Rgb>(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), panel)};
}

void Put(Canvas& c, int x, int y, Rgb col)
{
    if (x >= 0 && x < c.width && y >= 0 && y < c.height) c.px[static_cast<std::size_t>(y * c.width + x)] = col;
}

Rgb Get(const Canvas& c, int x, int y) { return c.px[static_cast<std::size_t>(y * c.width + x)]; }

// ---------------------------------------------------------------------------
// Key shapes

// Key cells: 58 x 38 pixels, one free column between the columns, one free
// row above the first row.
constexpr int kCellW = 58;
constexpr int kCellH = 38;
constexpr int kCellX[3] = {0, 59, 118};
constexpr int kTopMargin = 1;

// The outline's centre inside the cell, in eighths of a pixel.
constexpr int kKeyCx8 = 8 * kCellW / 2;
constexpr int kKeyCy8 = 8 * 19;

// Whether the point (dx, dy) from the centre, in eighths, lies inside.
bool InsideOutline(const KeyOutline& o, std::int64_t dx, std::int64_t dy)
{
    if (o.oval) {
        const std::int64_t a2 = std::int64_t{o.a8} * o.a8;
        const std::int64_t b2 = std::int64_t{o.b8} * o.b8;
        return dx * dx * b2 + dy * dy * a2 <= a2 * b2;
    }
    const std::int64_t ax = dx < 0 ? -dx : dx;
    const std::int64_t ay = dy < 0 ? -dy : dy;
    if (ax > o.a8 || ay > o.b8) return false;
    const std::int64_t cx = ax - (o.a8 - o.corner8);
    const std::int64_t cy = ay - (o.b8 - o.corner8);
    return cx <= 0 || cy <= 0 || cx * cx + cy * cy <= std::int64_t{o.corner8} * o.corner8;
}

// Coverage (0..16) of pixel (x, y) by the outline centred at (cx8, cy8);
// 4 x 4 samples per pixel. The outline is convex: a pixel whose four corners
// lie inside is covered whole, which spares the samples inside the keys.
int Coverage(const KeyOutline& o, int x, int y, int cx8, int cy8)
{
    const std::int64_t left = 8 * x - cx8, top = 8 * y - cy8;
    // A pixel whose centre lies outside the outline grown by a pixel is
    // outside whole: the grown outline holds every point within a pixel of it.
    const KeyOutline grown{o.oval, o.a8 + 8, o.b8 + 8, o.corner8 + 8};
    if (!InsideOutline(grown, left + 4, top + 4)) return 0;
    if (InsideOutline(o, left, top) && InsideOutline(o, left + 8, top) && InsideOutline(o, left, top + 8) &&
        InsideOutline(o, left + 8, top + 8))
        return 16;
    int hits = 0;
    for (int j = 0; j < 4; ++j) {
        for (int i = 0; i < 4; ++i) {
            if (InsideOutline(o, left + 2 * i + 1, top + 2 * j + 1)) ++hits;
        }
    }
    return hits;
}

// The outline made smaller by `inset8` on every side: the key's face.
KeyOutline Inset(const KeyOutline& o, int inset8)
{
    return {o.oval, o.a8 - inset8, o.b8 - inset8, std::max(0, o.corner8 - inset8)};
}

// The outline as it is on a canvas of `scale`: eighths of the canvas's pixels.
KeyOutline Scaled(const KeyOutline& o, int scale) { return {o.oval, o.a8 * scale, o.b8 * scale, o.corner8 * scale}; }

// Fills the outline, centred at (cx8, cy8) in eighths of a scale-1 pixel;
// the colour runs from `top` to `bottom` over its height. At scale 1 the
// coverage is rounded to quarters to keep the colour count of the bitmaps
// small.
void FillOutline(Canvas& c, const KeyOutline& shape, int cx8, int cy8, Rgb top, Rgb bottom)
{
    const KeyOutline o = Scaled(shape, c.scale);
    cx8 *= c.scale;
    cy8 *= c.scale;
    const int y0 = (cy8 - o.b8) / 8 - 1;
    const int y1 = (cy8 + o.b8) / 8 + 1;
    const int x0 = (cx8 - o.a8) / 8 - 1;
    const int x1 = (cx8 + o.a8) / 8 + 1;
    for (int y = y0; y <= y1; ++y) {
        const int t = std::clamp((y - y0) * 16 / std::max(1, y1 - y0), 0, 16);
        const Rgb col = Mix(top, bottom, t);
        for (int x = x0; x <= x1; ++x) {
            if (x < 0 || x >= c.width || y < 0 || y >= c.height) continue;
            int cov = Coverage(o, x, y, cx8, cy8);
            if (c.bitmapFile) cov = (cov + 2) / 4 * 4;
            if (cov == 0) continue;
            Put(c, x, y, Mix(Get(c, x, y), col, cov));
        }
    }
}

// A rectangle [x0, x1] x [y0, y1] of scale-1 pixels with its corners cut
// (at scale 1 the four corner pixels; larger, a rounding of one scale-1
// pixel), kept inside `face` centred at (cx8, cy8).
void FillPill(Canvas& c, int x0, int y0, int x1, int y1, const KeyOutline& face, int cx8, int cy8, Rgb col)
{
    const int s = c.scale;
    const KeyOutline room = Scaled(face, s);
    const KeyOutline pill{false, 8 * s * (x1 - x0 + 1) / 2, 8 * s * (y1 - y0 + 1) / 2, 8 * s};
    const int px8 = 8 * s * (x0 + x1 + 1) / 2, py8 = 8 * s * (y0 + y1 + 1) / 2;
    for (int y = y0 * s; y < (y1 + 1) * s; ++y) {
        for (int x = x0 * s; x < (x1 + 1) * s; ++x) {
            int cov = 16;
            if (s == 1) {
                if ((x == x0 || x == x1) && (y == y0 || y == y1)) continue;
            } else {
                cov = Coverage(pill, x, y, px8, py8);
                if (c.bitmapFile) cov = (cov + 2) / 4 * 4;
            }
            if (cov == 0 || Coverage(room, x, y, cx8 * s, cy8 * s) < 16) continue;
            Put(c, x, y, Mix(Get(c, x, y), col, cov));
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
    {U'f', 0, "..#/.#./###/.#./.#./.#./.#."},
    {U'g', 2, ".###/#..#/#..#/#..#/.###/...#/.##."},
    {U'h', 0, "#.../#.../###./#..#/#..#/#..#/#..#"},
    {U'i', 0, "#/./#/#/#/#/#"},
    {U'l', 0, "#./#./#./#./#./#./.#"},
    {U'm', 2, "####./#.#.#/#.#.#/#.#.#/#.#.#"},
    {U'n', 2, "###./#..#/#..#/#..#/#..#"},
    {U'o', 2, ".##./#..#/#..#/#..#/.##."},
    {U'r', 2, "#.##/##../#.../#.../#..."},
    {U's', 2, ".###/#.../.##./...#/###."},
    {U't', 0, ".#./.#./###/.#./.#./.#./..#"},
    {U'v', 2, "#...#/#...#/.#.#./.#.#./..#.."},
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
    {U'3', 0, "###./...#/...#/.##./...#/...#/###."},
    {U'4', 0, "..#./.##./#.#./#.#./####/..#./..#."},
    {U'5', 0, "####/#.../###./...#/...#/#..#/.##."},
    {U'6', 0, ".##./#.../#.../###./#..#/#..#/.##."},
    {U'+', 1, "..#../..#../#####/..#../..#.."},
    {U'-', 3, "###"},
    {U'\u2212', 3, "#####"},  // minus
    {U'/', 0, "....#/...#./...#./..#../.#.../.#.../#...."},
    {U'*', 1, "..#../#.#.#/.###./#.#.#/..#.."},
    {U'%', 0, ".#.../#.#.#/.#.#./..#../.#.#./#.#.#/...#."},
    {U'!', 0, "#/#/#/#/#/./#"},
    {U'<', 1, "..#/.#./#../.#./..#"},
    {U'>', 1, "#../.#./..#/.#./#.."},
    {U'\u00B1', 0, "..#../..#../#####/..#../..#../...../#####"},  // plus-minus
    {U'\u03C0', 1, "#####/.#.#./.#.#./.#.#./.#.#./.#.#."},         // pi
    {U'\u221A', 0, "...##/...#./...#./...#./#..#./.#.#./..#.."},  // root
    {U'\u00B2', -1, "##./..#/.#./#../###"},                        // superscript 2
    {U'\u00B3', -1, "##./..#/.#./..#/##."},                        // superscript 3
    {U'\u02E3', -1, "#.#/.#./#.#"},                                // superscript x
    {U'\u02B8', -1, "#.#/#.#/.##/..#/##."},                        // superscript y
    {U'\u2082', 4, "##./..#/.#./#../###"},                         // subscript 2
};

// Big key characters: 11 rows, strokes two pixels wide.
constexpr Glyph kKeyFont[] = {
    {U'0', 0, "..###../.##.##./##...##/##...##/##...##/##...##/##...##/##...##/##...##/.##.##./..###.."},
    {U'1', 0, "...##../..###../.####../...##../...##../...##../...##../...##../...##../...##../.######"},
    {U'2', 0, ".#####./##...##/.....##/.....##/....##./...##../..##.../.##..../##...../##...../#######"},
    {U'3', 0, ".#####./##...##/.....##/.....##/...###./...###./.....##/.....##/.....##/##...##/.#####."},
    {U'4', 0, "....##./...###./..####./.##.##./##..##./##..##./#######/....##./....##./....##./....##."},
    {U'5', 0, "#######/##...../##...../##...../######./.....##/.....##/.....##/.....##/##...##/.#####."},
    {U'6', 0, "..####./.##..../##...../##...../######./##...##/##...##/##...##/##...##/##...##/.#####."},
    {U'7', 0, "#######/.....##/.....##/....##./....##./...##../...##../..##.../..##.../..##.../..##..."},
    {U'8', 0, ".#####./##...##/##...##/##...##/.#####./##...##/##...##/##...##/##...##/##...##/.#####."},
    {U'9', 0, ".#####./##...##/##...##/##...##/##...##/.######/.....##/.....##/.....##/....##./.####.."},
    {U'E', 0, "#######/##...../##...../##...../##...../######./##...../##...../##...../##...../#######"},
};

constexpr int kKeyFontHeight = 11;

// The glyph of `code`, or null when the font has none.
const Glyph* FindGlyph(const Glyph* font, std::size_t count, char32_t code)
{
    for (std::size_t i = 0; i < count; ++i) {
        if (font[i].code == code) return &font[i];
    }
    return nullptr;
}

// Width of a glyph: the length of its first row.
int GlyphWidth(const Glyph& g)
{
    int w = 0;
    while (g.rows[w] != '\0' && g.rows[w] != '/') ++w;
    return w;
}

int GlyphRows(const Glyph& g)
{
    int rows = 1;
    for (const char* p = g.rows; *p != '\0'; ++p) rows += *p == '/';
    return rows;
}

// Every row of every glyph must be as wide as its first row.
bool FontIsWellFormed(const Glyph* font, std::size_t count)
{
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

// Fills scale-1 pixel (x, y): at a larger scale the square of pixels it
// becomes.
void PutCell(Canvas& c, int x, int y, Rgb col)
{
    for (int j = 0; j < c.scale; ++j)
        for (int i = 0; i < c.scale; ++i) Put(c, x * c.scale + i, y * c.scale + j, col);
}

// Whether a glyph has ink at column `col` of row `row`.
bool GlyphInk(const Glyph& g, int col, int row)
{
    const int w = GlyphWidth(g);
    if (col < 0 || col >= w || row < 0 || row >= GlyphRows(g)) return false;
    return g.rows[row * (w + 1) + col] == '#';
}

// Whether the point (px, py) lies within `radius` of the segment from
// (ax, ay) to (bx, by).
bool NearSegment(std::int64_t px, std::int64_t py, std::int64_t ax, std::int64_t ay, std::int64_t bx, std::int64_t by,
                 std::int64_t radius)
{
    const std::int64_t dx = bx - ax, dy = by - ay;
    const std::int64_t length2 = dx * dx + dy * dy;
    std::int64_t t = length2 == 0 ? 0 : (px - ax) * dx + (py - ay) * dy;  // times length2
    t = std::clamp<std::int64_t>(t, 0, length2);
    const std::int64_t qx = length2 == 0 ? ax : ax + dx * t / length2, qy = length2 == 0 ? ay : ay + dy * t / length2;
    return (px - qx) * (px - qx) + (py - qy) * (py - qy) <= radius * radius;
}

// Whether the point (px, py), in units where a glyph pixel is 8 x 8 and the
// glyph's top left is (0, 0), is inked by the glyph drawn smoothly: each ink
// pixel a round dot as wide as a pixel, joined by strokes to its ink
// neighbours; diagonal neighbours only where no orthogonal pixel joins them.
bool SmoothGlyphCovers(const Glyph& g, std::int64_t px, std::int64_t py)
{
    const int col = static_cast<int>(px >= 0 ? px / 8 : -1), row = static_cast<int>(py >= 0 ? py / 8 : -1);
    for (int r = row - 1; r <= row + 1; ++r) {
        for (int k = col - 1; k <= col + 1; ++k) {
            if (!GlyphInk(g, k, r)) continue;
            const std::int64_t ax = 8 * k + 4, ay = 8 * r + 4;
            static const int kSteps[4][2] = {{1, 0}, {0, 1}, {1, 1}, {-1, 1}};
            if (NearSegment(px, py, ax, ay, ax, ay, 4)) return true;  // its dot
            for (const auto& step : kSteps) {
                if (!GlyphInk(g, k + step[0], r + step[1])) continue;
                const bool diagonal = step[0] != 0 && step[1] != 0;
                if (diagonal && (GlyphInk(g, k + step[0], r) || GlyphInk(g, k, r + step[1]))) continue;
                if (NearSegment(px, py, ax, ay, ax + 8 * step[0], ay + 8 * step[1], 4)) return true;
            }
        }
    }
    return false;
}

// Draws a glyph with its top-left cell at scale-1 pixel (x, y + top). At
// scale 1 pixel for pixel; larger, smoothly (SmoothGlyphCovers), coverage in
// quarters like the outlines so that the colours stay few.
void DrawGlyph(Canvas& c, const Glyph& g, int x, int y, Rgb col)
{
    const int s = c.scale;
    if (s == 1) {
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
        return;
    }
    const int left = x * s, top = (y + g.top) * s;
    for (int py = top - s; py < top + (GlyphRows(g) + 1) * s; ++py) {
        for (int px = left - s; px < left + (GlyphWidth(g) + 1) * s; ++px) {
            if (px < 0 || px >= c.width || py < 0 || py >= c.height) continue;
            int hits = 0;
            for (int j = 0; j < 4; ++j)
                for (int i = 0; i < 4; ++i) {
                    // The sample in eighths of a glyph pixel: 8 * s canvas eighths make one.
                    const std::int64_t sx = (8 * (px - left) + 2 * i + 1), sy = (8 * (py - top) + 2 * j + 1);
                    hits += SmoothGlyphCovers(g, sx / s, sy / s) ? 1 : 0;
                }
            const int cov = (hits + 2) / 4 * 4;
            if (cov > 0) Put(c, px, py, Mix(Get(c, px, py), col, cov));
        }
    }
}

constexpr std::size_t kLabelGlyphs = sizeof kLabelFont / sizeof kLabelFont[0];
constexpr std::size_t kKeyGlyphs = sizeof kKeyFont / sizeof kKeyFont[0];

int LabelWidth(const std::u32string& text)
{
    int w = 0;
    for (char32_t ch : text) {
        const Glyph* g = FindGlyph(kLabelFont, kLabelGlyphs, ch);
        if (g != nullptr) w += GlyphWidth(*g) + 1;
    }
    return w > 0 ? w - 1 : 0;
}

// Rows a label's ink occupies relative to the capital top: [top, bottom].
void LabelRows(const std::u32string& text, int& top, int& bottom)
{
    top = 0;
    bottom = 6;
    for (char32_t ch : text) {
        const Glyph* g = FindGlyph(kLabelFont, kLabelGlyphs, ch);
        if (g == nullptr) continue;
        top = std::min(top, g->top);
        bottom = std::max(bottom, g->top + GlyphRows(*g) - 1);
    }
}

// Draws a label with its capital top at y. A root sign extends its bar over
// the rest of the label.
void DrawLabel(Canvas& c, const std::u32string& text, int x, int y, Rgb col)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const Glyph* g = FindGlyph(kLabelFont, kLabelGlyphs, text[i]);
        if (g == nullptr) continue;
        DrawGlyph(c, *g, x, y, col);
        const int w = GlyphWidth(*g);
        if (text[i] == U'\u221A') {
            const int barEnd = x + w + LabelWidth(text.substr(i + 1));
            for (int bx = x + w; bx <= barEnd; ++bx) PutCell(c, bx, y + g->top, col);
        }
        x += w + 1;
    }
}

// ---------------------------------------------------------------------------
// The keypad

// Key faces in key-index order: 1..9, star, 0, hash. U'*' draws the raised
// dot of the star key; the hash key types the exponent.
constexpr std::array<char32_t, 12> kFaces = {U'1', U'2', U'3', U'4', U'5', U'6', U'7', U'8', U'9', U'*', U'0', U'E'};
constexpr const char* kKeyNames[12] = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "*", "0", "#"};

// Label places inside a cell (capital top rows; horizontal centres).
constexpr int kUpY = 4;
constexpr int kSideY = 16;
constexpr int kDownY = 26;
constexpr int kLeftCentre = 13;
constexpr int kRightCentre = 45;
constexpr int kFaceY = 14;
constexpr int kStarDotRadius = 3;

enum Side { kLeft, kUp, kRight, kDown };
constexpr const char* kSideNames[4] = {"left", "up", "right", "down"};

// A key's cell: its top-left pixel and the centre of its outline in eighths.
struct Cell {
    int ox, oy;
    int cx8, cy8;
};

Cell CellOf(int key)
{
    const int ox = kCellX[key % 3];
    const int oy = kTopMargin + (key / 3) * kCellH;
    return {ox, oy, 8 * ox + kKeyCx8, 8 * oy + kKeyCy8};
}

void DrawKey(Canvas& c, const KeypadStyle& s, const Cell& cell)
{
    FillOutline(c, s.outline, cell.cx8 + 8, cell.cy8 + 8, s.shadow, s.shadow);
    FillOutline(c, s.outline, cell.cx8, cell.cy8, s.rim, s.rim);
    FillOutline(c, Inset(s.outline, s.faceInset8), cell.cx8, cell.cy8, s.faceTop, s.faceBottom);
}

// The star key's raised dot: a small disc with a light upper left, centred
// on scale-1 pixel (cx, cy). Larger, the disc and its light are drawn round.
void DrawStarDot(Canvas& c, const KeypadStyle& s, int cx, int cy, Rgb col)
{
    const Rgb light = Mix(col, s.faceTop, 9);
    if (c.scale == 1) {
        for (int dy = -kStarDotRadius; dy <= kStarDotRadius; ++dy) {
            for (int dx = -kStarDotRadius; dx <= kStarDotRadius; ++dx) {
                const int d2 = dx * dx + dy * dy;
                if (d2 > 10) continue;
                const bool shine = (dx == -1 && dy == -1) || (dx == -1 && dy == -2) || (dx == -2 && dy == -1);
                Put(c, cx + dx, cy + dy, shine ? light : col);
            }
        }
        return;
    }
    // In eighths of a scale-1 pixel: the disc reaches as far as the pixels
    // of the small one, its light sits where their light pixels do.
    const int centreX8 = 8 * cx + 4, centreY8 = 8 * cy + 4;
    const KeyOutline disc{true, 27, 27, 0};
    const KeyOutline shine{true, 10, 10, 0};
    FillOutline(c, disc, centreX8, centreY8, col, col);
    FillOutline(c, shine, centreX8 - 11, centreY8 - 11, light, light);
}

// The pixels a key character or a label covers: [x0, x1] x [y0, y1].
using Box = KeypadBox;

Box KeyFaceBox(const KeypadStyle& s, char32_t face, const Cell& cell)
{
    if (face == U'*') {
        const int cx = cell.ox + kCellW / 2 - 1, cy = cell.oy + kFaceY + kKeyFontHeight / 2;
        return {cx - kStarDotRadius, cy - kStarDotRadius, cx + kStarDotRadius, cy + kStarDotRadius};
    }
    const Glyph* g = FindGlyph(kKeyFont, kKeyGlyphs, face);
    const int w = (g != nullptr ? GlyphWidth(*g) : 0) + (s.boldDigits ? 1 : 0);
    const int x = cell.ox + (kCellW - w) / 2;
    return {x, cell.oy + kFaceY, x + w - 1, cell.oy + kFaceY + kKeyFontHeight - 1};
}

void DrawKeyFace(Canvas& c, const KeypadStyle& s, char32_t face, const Cell& cell, Rgb col)
{
    const Box box = KeyFaceBox(s, face, cell);
    if (face == U'*') {
        DrawStarDot(c, s, (box.x0 + box.x1) / 2, (box.y0 + box.y1) / 2, col);
        return;
    }
    if (!c.bitmapFile) return;  // the caller's fonts draw it
    const Glyph* g = FindGlyph(kKeyFont, kKeyGlyphs, face);
    if (g == nullptr) return;
    DrawGlyph(c, *g, box.x0, box.y0, col);
    if (s.boldDigits) DrawGlyph(c, *g, box.x0 + 1, box.y0, col);
}

// Where a label goes: its left column and capital top row.
void LabelPlace(const std::u32string& text, Side side, const Cell& cell, int& x, int& y)
{
    const int w = LabelWidth(text);
    switch (side) {
        case kLeft:
            x = cell.ox + kLeftCentre - w / 2;
            y = cell.oy + kSideY;
            break;
        case kRight:
            x = cell.ox + kRightCentre - w / 2;
            y = cell.oy + kSideY;
            break;
        case kUp:
            x = cell.ox + (kCellW - w) / 2;
            y = cell.oy + kUpY;
            break;
        case kDown:
            x = cell.ox + (kCellW - w) / 2;
            y = cell.oy + kDownY;
            break;
    }
}

// The box of a label's ink, placed.
Box LabelBox(const std::u32string& text, Side side, const Cell& cell)
{
    int x = 0, y = 0, top = 0, bottom = 0;
    LabelPlace(text, side, cell, x, y);
    LabelRows(text, top, bottom);
    return {x, y + top, x + LabelWidth(text) - 1, y + bottom};
}

// The label of key `key` in the layer of `side`: the name of the action the
// key map gives it there, as the calculator names it. An action number
// outside the table runs nothing and has no label.
std::u32string LabelOf(const uint8_t keyMap[kKeyMapSize], int key, Side side)
{
    std::u32string label;
    const char16_t* name = ActionLabel(keyMap[static_cast<int>(side) * 12 + key]);
    for (const char16_t* p = name; p != nullptr && *p != 0; ++p) label += static_cast<char32_t>(*p);
    return label;
}

// Why the labels of a key map cannot be drawn in a style, or "" when they
// all can: each label needs a glyph for every character and must lie inside
// its key. Inside the key the places keep the labels clear of each other and
// of the key character: the Up and Down rows lie above and below the
// character's, and a side label that reached the character would stick out
// of the key on its other side.
}  // namespace

std::string KeypadLabelMisfit(const KeypadStyle& s, const uint8_t keyMap[kKeyMapSize])
{
    const KeyOutline room = Inset(s.outline, s.labelInset8);
    for (int k = 0; k < 12; ++k) {
        const Cell cell = CellOf(k);
        for (int side = 0; side < 4; ++side) {
            const std::u32string text = LabelOf(keyMap, k, static_cast<Side>(side));
            const std::string where = std::string(kSideNames[side]) + " " + kKeyNames[k];
            for (char32_t ch : text) {
                if (FindGlyph(kLabelFont, kLabelGlyphs, ch) == nullptr) {
                    char code[16];
                    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(ch));
                    return where + ": the label font has no " + code;
                }
            }
            if (text.empty()) continue;
            const Box b = LabelBox(text, static_cast<Side>(side), cell);
            for (int y = b.y0; y <= b.y1; ++y) {
                for (int x = b.x0; x <= b.x1; ++x) {
                    if (Coverage(room, x, y, cell.cx8, cell.cy8) < 16)
                        return where + ": the label does not fit inside the key";
                }
            }
        }
    }
    return "";
}

bool KeypadFontsWellFormed()
{
    return FontIsWellFormed(kLabelFont, kLabelGlyphs) && FontIsWellFormed(kKeyFont, kKeyGlyphs);
}

namespace {

// The colour of key `k`'s label on `side` in the image of `layer`, and
// whether it stands on its layer's highlight.
Rgb LabelColour(const KeypadStyle& s, int layer, int side, bool& highlighted)
{
    highlighted = layer == side + 1;
    if (layer == 0) return s.layers[static_cast<std::size_t>(side)].label;
    return highlighted ? s.layers[static_cast<std::size_t>(side)].strong : s.labelDim;
}

}  // namespace

// Layer 0 is the base image; layers 1..4 are Left, Up, Right, Down.
KeypadCanvas DrawKeypadImage(const KeypadStyle& s, const uint8_t keyMap[kKeyMapSize], int layer, int scale,
                             KeypadDrawing drawing)
{
    Canvas c = BlankCanvas(s.panel, std::clamp(scale, 1, kMaxKeypadScale), drawing);
    for (int k = 0; k < 12; ++k) DrawKey(c, s, CellOf(k));
    const KeyOutline face = Inset(s.outline, s.faceInset8);
    for (int k = 0; k < 12; ++k) {
        const Cell cell = CellOf(k);
        for (int side = 0; side < 4; ++side) {
            const std::u32string text = LabelOf(keyMap, k, static_cast<Side>(side));
            int x = 0, y = 0;
            LabelPlace(text, static_cast<Side>(side), cell, x, y);
            bool highlighted = false;
            const Rgb col = LabelColour(s, layer, side, highlighted);
            if (highlighted && !text.empty()) {
                int top = 0, bottom = 0;
                LabelRows(text, top, bottom);
                FillPill(c, x - 2, y + top - 1, x + LabelWidth(text) + 1, y + bottom + 1, face, cell.cx8, cell.cy8,
                         s.layers[static_cast<std::size_t>(side)].pill);
            }
            if (c.bitmapFile) DrawLabel(c, text, x, y, col);
        }
        DrawKeyFace(c, s, kFaces[static_cast<std::size_t>(k)], cell, layer == 0 ? s.digit : s.digitDim);
    }
    return c;
}

std::vector<KeypadText> KeypadTexts(const KeypadStyle& s, const uint8_t keyMap[kKeyMapSize], int layer)
{
    std::vector<KeypadText> texts;
    for (int k = 0; k < 12; ++k) {
        const Cell cell = CellOf(k);
        for (int side = 0; side < 4; ++side) {
            const std::u32string text = LabelOf(keyMap, k, static_cast<Side>(side));
            if (text.empty()) continue;
            bool highlighted = false;
            const Rgb col = LabelColour(s, layer, side, highlighted);
            texts.push_back({std::u16string(text.begin(), text.end()), LabelBox(text, static_cast<Side>(side), cell),
                             col, false});
        }
        const char32_t face = kFaces[static_cast<std::size_t>(k)];
        if (face == U'*') continue;
        texts.push_back({std::u16string(1, static_cast<char16_t>(face)), KeyFaceBox(s, face, cell),
                         layer == 0 ? s.digit : s.digitDim, true});
    }
    return texts;
}
