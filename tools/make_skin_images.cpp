// make-skin-images [--style builtin|contrast] [--keys KEYMAP.txt] OUTDIR
//
// Draws the five keypad images of a skin and writes them to OUTDIR as
// base.bmp, left.bmp, up.bmp, right.bmp and down.bmp: 176 x 153 pixels,
// 8 bits per pixel with one 256-entry colour table, bottom-up rows.
//
// --style builtin (the default) is the program's own skin: light panel, oval
// keys. --style contrast is a dark, high-contrast skin for poor light:
// near-black keys on a near-black panel, bold white key characters and one
// strong colour per key layer.
//
// Each key shows its own character in the middle and the labels of its four
// layer actions around it (Up above, Left and Right beside it, Down below),
// as the calculator names the actions. The actions are those of the built-in
// key map, or of the key map text KEYMAP.txt; a "back:" colour given there is
// also the keypad's panel, so that the display line and the keypad read as
// one surface. Every label must fit inside its key, clear of the key
// character and of the other labels, or nothing is written.
//
// The output is committed (the built-in skin next to the resource script,
// the other skins under skins/), and tests rerun this program and compare
// byte for byte, so everything here must be deterministic: integer
// arithmetic only, no clock, no locale, no platform fonts. The text is drawn
// with the small pixel fonts below.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/engine/engine.h"
#include "core/skin/keymap_text.h"
#include "core/skin/skin.h"

namespace {

constexpr int kWidth = 176;
constexpr int kHeight = 153;

// ---------------------------------------------------------------------------
// Colours and styles

struct Rgb {
    int r, g, b;
};

bool SameRgb(Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

// Mixes `over` onto `under` with a coverage of cov/16.
Rgb Mix(Rgb under, Rgb over, int cov)
{
    return {(under.r * (16 - cov) + over.r * cov + 8) / 16, (under.g * (16 - cov) + over.g * cov + 8) / 16,
            (under.b * (16 - cov) + over.b * cov + 8) / 16};
}

// Per direction (Left, Up, Right, Down): the label colour in the base image,
// and in that layer's image the label colour and the highlight behind it.
struct LayerLook {
    Rgb label;
    Rgb strong;
    Rgb pill;
};

// A key's outline around the centre of its cell, in eighths of a pixel: an
// ellipse with half axes a8 and b8, or a rectangle of half sides a8 and b8
// with corners rounded to the radius corner8.
struct KeyOutline {
    bool oval;
    int a8;
    int b8;
    int corner8;
};

struct Style {
    const char* name;
    // The program's own skin: its window samples (5,5) of the base image for
    // the display line's colour, so that pixel must be the panel. A skin
    // file names that colour itself.
    bool builtIn;
    Rgb panel;
    Rgb shadow;
    Rgb rim;
    Rgb faceTop;
    Rgb faceBottom;
    Rgb digit;       // key characters, emphasised in the base image
    Rgb digitDim;    // key characters in a layer image
    Rgb labelDim;    // other layers' labels in a layer image
    std::array<LayerLook, 4> layers;
    KeyOutline outline;
    int faceInset8;   // the rim's width
    int labelInset8;  // how far inside the outline every label's ink stays
    bool boldDigits;  // key characters drawn two columns wide
};

constexpr Style kStyles[] = {
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

const Style* FindStyle(const char* name)
{
    for (const Style& style : kStyles) {
        if (std::strcmp(style.name, name) == 0) return &style;
    }
    return nullptr;
}

// ---------------------------------------------------------------------------
// Canvas

struct Canvas {
    std::vector<Rgb> px;
};

Canvas BlankCanvas(Rgb panel) { return Canvas{std::vector<Rgb>(kWidth * kHeight, panel)}; }

void Put(Canvas& c, int x, int y, Rgb col)
{
    if (x >= 0 && x < kWidth && y >= 0 && y < kHeight) c.px[static_cast<std::size_t>(y * kWidth + x)] = col;
}

Rgb Get(const Canvas& c, int x, int y) { return c.px[static_cast<std::size_t>(y * kWidth + x)]; }

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
// 4 x 4 samples per pixel.
int Coverage(const KeyOutline& o, int x, int y, int cx8, int cy8)
{
    int hits = 0;
    for (int j = 0; j < 4; ++j) {
        for (int i = 0; i < 4; ++i) {
            const std::int64_t dx = 8 * x + 2 * i + 1 - cx8;
            const std::int64_t dy = 8 * y + 2 * j + 1 - cy8;
            if (InsideOutline(o, dx, dy)) ++hits;
        }
    }
    return hits;
}

// The outline made smaller by `inset8` on every side: the key's face.
KeyOutline Inset(const KeyOutline& o, int inset8)
{
    return {o.oval, o.a8 - inset8, o.b8 - inset8, std::max(0, o.corner8 - inset8)};
}

// Fills the outline; the colour runs from `top` to `bottom` over its height.
// Coverage is rounded to quarters to keep the colour count small.
void FillOutline(Canvas& c, const KeyOutline& o, int cx8, int cy8, Rgb top, Rgb bottom)
{
    const int y0 = (cy8 - o.b8) / 8 - 1;
    const int y1 = (cy8 + o.b8) / 8 + 1;
    const int x0 = (cx8 - o.a8) / 8 - 1;
    const int x1 = (cx8 + o.a8) / 8 + 1;
    for (int y = y0; y <= y1; ++y) {
        const int t = std::clamp((y - y0) * 16 / std::max(1, y1 - y0), 0, 16);
        const Rgb col = Mix(top, bottom, t);
        for (int x = x0; x <= x1; ++x) {
            if (x < 0 || x >= kWidth || y < 0 || y >= kHeight) continue;
            const int cov = (Coverage(o, x, y, cx8, cy8) + 2) / 4 * 4;
            if (cov == 0) continue;
            Put(c, x, y, Mix(Get(c, x, y), col, cov));
        }
    }
}

// A rectangle with its four corner pixels left out, kept inside `face`
// centred at (cx8, cy8).
void FillPill(Canvas& c, int x0, int y0, int x1, int y1, const KeyOutline& face, int cx8, int cy8, Rgb col)
{
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const bool corner = (x == x0 || x == x1) && (y == y0 || y == y1);
            if (corner) continue;
            if (Coverage(face, x, y, cx8, cy8) < 16) continue;
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

void DrawGlyph(Canvas& c, const Glyph& g, int x, int y, Rgb col)
{
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
            for (int bx = x + w; bx <= barEnd; ++bx) Put(c, bx, y + g->top, col);
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

void DrawKey(Canvas& c, const Style& s, const Cell& cell)
{
    FillOutline(c, s.outline, cell.cx8 + 8, cell.cy8 + 8, s.shadow, s.shadow);
    FillOutline(c, s.outline, cell.cx8, cell.cy8, s.rim, s.rim);
    FillOutline(c, Inset(s.outline, s.faceInset8), cell.cx8, cell.cy8, s.faceTop, s.faceBottom);
}

// The star key's raised dot: a small disc with a light upper left.
void DrawStarDot(Canvas& c, const Style& s, int cx, int cy, Rgb col)
{
    const Rgb light = Mix(col, s.faceTop, 9);
    for (int dy = -kStarDotRadius; dy <= kStarDotRadius; ++dy) {
        for (int dx = -kStarDotRadius; dx <= kStarDotRadius; ++dx) {
            const int d2 = dx * dx + dy * dy;
            if (d2 > 10) continue;
            const bool shine = (dx == -1 && dy == -1) || (dx == -1 && dy == -2) || (dx == -2 && dy == -1);
            Put(c, cx + dx, cy + dy, shine ? light : col);
        }
    }
}

// The pixels a key character or a label covers: [x0, x1] x [y0, y1].
struct Box {
    int x0, y0, x1, y1;
};

Box KeyFaceBox(const Style& s, char32_t face, const Cell& cell)
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

void DrawKeyFace(Canvas& c, const Style& s, char32_t face, const Cell& cell, Rgb col)
{
    const Box box = KeyFaceBox(s, face, cell);
    if (face == U'*') {
        DrawStarDot(c, s, (box.x0 + box.x1) / 2, (box.y0 + box.y1) / 2, col);
        return;
    }
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
std::string LabelMisfit(const Style& s, const uint8_t keyMap[kKeyMapSize])
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

// Layer 0 is the base image; layers 1..4 are Left, Up, Right, Down.
Canvas DrawImage(const Style& s, const uint8_t keyMap[kKeyMapSize], int layer)
{
    Canvas c = BlankCanvas(s.panel);
    for (int k = 0; k < 12; ++k) DrawKey(c, s, CellOf(k));
    const KeyOutline face = Inset(s.outline, s.faceInset8);
    for (int k = 0; k < 12; ++k) {
        const Cell cell = CellOf(k);
        for (std::size_t side = 0; side < 4; ++side) {
            const std::u32string text = LabelOf(keyMap, k, static_cast<Side>(side));
            int x = 0, y = 0;
            LabelPlace(text, static_cast<Side>(side), cell, x, y);
            Rgb col = s.layers[side].label;
            if (layer != 0) {
                col = s.labelDim;
                if (layer == static_cast<int>(side) + 1 && !text.empty()) {
                    int top = 0, bottom = 0;
                    LabelRows(text, top, bottom);
                    FillPill(c, x - 2, y + top - 1, x + LabelWidth(text) + 1, y + bottom + 1, face, cell.cx8,
                             cell.cy8, s.layers[side].pill);
                    col = s.layers[side].strong;
                }
            }
            DrawLabel(c, text, x, y, col);
        }
        DrawKeyFace(c, s, kFaces[static_cast<std::size_t>(k)], cell, layer == 0 ? s.digit : s.digitDim);
    }
    return c;
}

// ---------------------------------------------------------------------------
// BMP output

void PutU16(std::vector<std::uint8_t>& out, unsigned v)
{
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

std::uint32_t Pack(Rgb c)
{
    return (static_cast<std::uint32_t>(c.r) << 16) | (static_cast<std::uint32_t>(c.g) << 8) |
           static_cast<std::uint32_t>(c.b);
}

// One colour table for all five images: every colour used, in ascending
// order, padded with black.
bool BuildPalette(const std::vector<Canvas>& images, std::vector<std::uint32_t>& palette, std::size_t& used)
{
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

std::vector<std::uint8_t> EncodeBmp(const Canvas& c, const std::vector<std::uint32_t>& palette, std::size_t colours)
{
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

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

// A colour reference 0x00BBGGRR.
Rgb RgbOf(uint32_t colour)
{
    return {static_cast<int>(colour & 0xFF), static_cast<int>(colour >> 8 & 0xFF),
            static_cast<int>(colour >> 16 & 0xFF)};
}

// Key map texts are a few hundred bytes; anything this large is not one.
constexpr size_t kMaxKeysFileSize = 64 * 1024;

// Reads the key map text file at `path`; false with the message to print,
// which names the file and, for a fault in the text, the line.
bool ReadKeysFile(const char* path, KeyMapText& keys, std::string& error)
{
    std::FILE* f = std::fopen(path, "rb");
    if (f == nullptr) {
        error = std::string(path) + ": cannot open";
        return false;
    }
    std::string text;
    char block[4096];
    size_t got = 0;
    while ((got = std::fread(block, 1, sizeof block, f)) > 0 && text.size() <= kMaxKeysFileSize)
        text.append(block, got);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) {
        error = std::string(path) + ": cannot read";
        return false;
    }
    if (text.size() > kMaxKeysFileSize) {
        error = std::string(path) + ": larger than 64 KiB, not a key map";
        return false;
    }
    KeyMapTextError fault{};
    if (!ReadKeyMapText(text, keys, fault)) {
        error = std::string(path) + (fault.line > 0 ? ":" + std::to_string(fault.line) : "") + ": " + fault.message;
        return false;
    }
    return true;
}

int Usage()
{
    std::fprintf(stderr, "usage: make-skin-images [--style builtin|contrast] [--keys KEYMAP.txt] OUTDIR\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    const Style* style = &kStyles[0];
    const char* keysPath = nullptr;
    const char* outDir = nullptr;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--style") == 0 && hasValue) {
            style = FindStyle(argv[++i]);
            if (style == nullptr) {
                std::fprintf(stderr, "make-skin-images: unknown style: %s\n", argv[i]);
                return Usage();
            }
        } else if (std::strcmp(argv[i], "--keys") == 0 && hasValue) {
            keysPath = argv[++i];
        } else if (argv[i][0] == '-' || outDir != nullptr) {
            return Usage();
        } else {
            outDir = argv[i];
        }
    }
    if (outDir == nullptr) return Usage();
    if (!FontIsWellFormed(kLabelFont, kLabelGlyphs) || !FontIsWellFormed(kKeyFont, kKeyGlyphs)) {
        std::fprintf(stderr, "make-skin-images: a glyph has rows of unequal width\n");
        return 1;
    }

    Style look = *style;
    uint8_t keyMap[kKeyMapSize];
    std::memcpy(keyMap, defaultKeyMap, sizeof keyMap);
    if (keysPath != nullptr) {
        KeyMapText keys{};
        std::string error;
        if (!ReadKeysFile(keysPath, keys, error)) {
            std::fprintf(stderr, "make-skin-images: %s\n", error.c_str());
            return 1;
        }
        std::memcpy(keyMap, keys.keyMap, sizeof keyMap);
        if (keys.hasBackColor) look.panel = RgbOf(keys.backColor);
    }
    const std::string misfit = LabelMisfit(look, keyMap);
    if (!misfit.empty()) {
        std::fprintf(stderr, "make-skin-images: %s\n", misfit.c_str());
        return 1;
    }

    // File names by layer: base, Left, Up, Right, Down.
    static const char* const kNames[5] = {"base.bmp", "left.bmp", "up.bmp", "right.bmp", "down.bmp"};
    std::vector<Canvas> images;
    for (int layer = 0; layer < 5; ++layer) images.push_back(DrawImage(look, keyMap, layer));

    for (const Canvas& c : images) {
        if (look.builtIn && !SameRgb(Get(c, 5, 5), look.panel)) {
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

    std::string dir = outDir;
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
