// make-icon OUTFILE
//
// Draws the program's icon, a small calculator in the colours of the built-in
// skin's keypad, and writes it to OUTFILE as a Windows .ico with 16 x 16,
// 32 x 32 and 48 x 48 images: 32-bit BGRA device-independent bitmaps, each
// with its AND mask. Every size has its own layout, drawn on whole pixels
// where it matters, so the small images stay sharp instead of being shrunk.
//
// The output is committed next to the resource script, and a test reruns this
// program and compares byte for byte, so everything here must be
// deterministic: integer arithmetic only, no clock, no locale, no platform
// fonts.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------------------
// Colours, those of the keypad images

struct Rgb {
  int r, g, b;
};

constexpr Rgb kPanel = {0xCF, 0xD8, 0xE2};
constexpr Rgb kShadow = {0x9A, 0xA6, 0xB4};
constexpr Rgb kRim = {0x6B, 0x77, 0x86};
constexpr Rgb kFaceTop = {0xFF, 0xFF, 0xFF};
constexpr Rgb kFaceBottom = {0xE3, 0xE7, 0xEC};
constexpr Rgb kDigit = {0x16, 0x1C, 0x24};
constexpr Rgb kDisplay = {0xCD, 0xE0, 0xFF};  // the Left layer's highlight

// Mixes `over` onto `under` with a coverage of cov/16.
Rgb Mix(Rgb under, Rgb over, int cov) {
  return {(under.r * (16 - cov) + over.r * cov + 8) / 16,
          (under.g * (16 - cov) + over.g * cov + 8) / 16,
          (under.b * (16 - cov) + over.b * cov + 8) / 16};
}

// ---------------------------------------------------------------------------
// Canvas: straight (not premultiplied) alpha, 0..255, transparent at first.

struct Pixel {
  Rgb c;
  int a;
};

struct Canvas {
  int size = 0;
  std::vector<Pixel> px;
};

Canvas MakeCanvas(int size) {
  Canvas c;
  c.size = size;
  c.px.assign(static_cast<std::size_t>(size * size), Pixel{{0, 0, 0}, 0});
  return c;
}

Pixel Get(const Canvas& c, int x, int y) {
  return c.px[static_cast<std::size_t>(y * c.size + x)];
}

// Lays `col` over pixel (x, y) with a coverage of cov/16.
void Paint(Canvas& c, int x, int y, Rgb col, int cov) {
  if (x < 0 || x >= c.size || y < 0 || y >= c.size || cov <= 0) return;
  Pixel& p = c.px[static_cast<std::size_t>(y * c.size + x)];
  const int sa = (std::min(cov, 16) * 255 + 8) / 16;
  const int da = p.a * (255 - sa) / 255;  // what still shows of the old pixel
  const int oa = sa + da;
  if (oa == 0) return;
  p.c = {(col.r * sa + p.c.r * da + oa / 2) / oa,
         (col.g * sa + p.c.g * da + oa / 2) / oa,
         (col.b * sa + p.c.b * da + oa / 2) / oa};
  p.a = oa;
}

// ---------------------------------------------------------------------------
// Shapes, in eighths of a pixel; coverage 0..16 from 4 x 4 samples per pixel.

struct Box {
  int x0, y0, x1, y1;  // edges, x1 and y1 excluded
};

// Pixel edges to eighths: the box covering pixels x0..x1 and y0..y1.
Box Pixels(int x0, int y0, int x1, int y1) {
  return {8 * x0, 8 * y0, 8 * (x1 + 1), 8 * (y1 + 1)};
}

Box Inset(Box b, int d8) { return {b.x0 + d8, b.y0 + d8, b.x1 - d8, b.y1 - d8}; }

Box Shift(Box b, int d8) { return {b.x0 + d8, b.y0 + d8, b.x1 + d8, b.y1 + d8}; }

// Whether the sample point (sx, sy) lies in the box with corners rounded to
// radius r8, or, with `oval`, in the ellipse inscribed in the box.
bool Inside(Box b, int r8, bool oval, std::int64_t sx, std::int64_t sy) {
  if (sx < b.x0 || sx >= b.x1 || sy < b.y0 || sy >= b.y1) return false;
  if (oval) {
    const std::int64_t a = b.x1 - b.x0;  // doubled half axes
    const std::int64_t h = b.y1 - b.y0;
    const std::int64_t dx = 2 * sx - b.x0 - b.x1;
    const std::int64_t dy = 2 * sy - b.y0 - b.y1;
    return dx * dx * h * h + dy * dy * a * a <= a * a * h * h;
  }
  const std::int64_t cx = std::clamp<std::int64_t>(sx, b.x0 + r8, b.x1 - r8);
  const std::int64_t cy = std::clamp<std::int64_t>(sy, b.y0 + r8, b.y1 - r8);
  const std::int64_t dx = sx - cx;
  const std::int64_t dy = sy - cy;
  return dx * dx + dy * dy <= std::int64_t{r8} * r8;
}

int Coverage(Box b, int r8, bool oval, int x, int y) {
  int hits = 0;
  for (int j = 0; j < 4; ++j) {
    for (int i = 0; i < 4; ++i) {
      hits += Inside(b, r8, oval, 8 * x + 2 * i + 1, 8 * y + 2 * j + 1);
    }
  }
  return hits;
}

// Fills the shape; the colour runs from `top` to `bottom` over its height.
// Coverage is rounded to quarters to keep the edges calm.
void Fill(Canvas& c, Box b, int r8, bool oval, Rgb top, Rgb bottom) {
  const int y0 = b.y0 / 8;
  const int y1 = (b.y1 - 1) / 8;
  for (int y = y0; y <= y1; ++y) {
    const int t = y1 > y0 ? (y - y0) * 16 / (y1 - y0) : 0;
    const Rgb col = Mix(top, bottom, t);
    for (int x = b.x0 / 8; x <= (b.x1 - 1) / 8; ++x) {
      Paint(c, x, y, col, (Coverage(b, r8, oval, x, y) + 2) / 4 * 4);
    }
  }
}

// ---------------------------------------------------------------------------
// Display font: digits 3 x 5 and 4 x 7, '#' is ink.

struct Glyph {
  char code;
  const char* rows;  // rows separated by '/'
};

constexpr Glyph kSmallDigits[] = {
    {'0', "###/#.#/#.#/#.#/###"}, {'1', ".#./##./.#./.#./###"},
    {'2', "###/..#/###/#../###"}, {'3', "###/..#/.##/..#/###"},
    {'4', "#.#/#.#/###/..#/..#"}, {'5', "###/#../###/..#/###"},
    {'7', "###/..#/.#./.#./.#."}, {'8', "###/#.#/###/#.#/###"},
    {'.', "././././#"},
};

constexpr Glyph kLargeDigits[] = {
    {'0', ".##./#..#/#..#/#..#/#..#/#..#/.##."},
    {'1', ".#./##./.#./.#./.#./.#./###"},
    {'2', ".##./#..#/...#/..#./.#../#.../####"},
    {'3', ".##./#..#/...#/..#./...#/#..#/.##."},
    {'4', "..#./.##./#.#./#.#./####/..#./..#."},
    {'5', "####/#.../###./...#/...#/#..#/.##."},
    {'7', "####/...#/..#./..#./.#../.#../.#.."},
    {'8', ".##./#..#/#..#/.##./#..#/#..#/.##."},
    {'.', "././././././#"},
};

struct Font {
  const Glyph* glyphs;
  std::size_t count;
  int height;
};

constexpr Font kSmallFont = {kSmallDigits, std::size(kSmallDigits), 5};
constexpr Font kLargeFont = {kLargeDigits, std::size(kLargeDigits), 7};

const Glyph* FindGlyph(const Font& font, char code) {
  for (std::size_t i = 0; i < font.count; ++i) {
    if (font.glyphs[i].code == code) return &font.glyphs[i];
  }
  return nullptr;
}

int GlyphWidth(const Glyph& g) {
  int w = 0;
  while (g.rows[w] != '\0' && g.rows[w] != '/') ++w;
  return w;
}

// Every row as wide as the first, and as many rows as the font is high.
bool FontIsWellFormed(const Font& font) {
  for (std::size_t i = 0; i < font.count; ++i) {
    const int w = GlyphWidth(font.glyphs[i]);
    int run = 0, rows = 1;
    for (const char* p = font.glyphs[i].rows;; ++p) {
      if (*p == '/' || *p == '\0') {
        if (run != w) return false;
        run = 0;
        if (*p == '\0') break;
        ++rows;
      } else {
        ++run;
      }
    }
    if (rows != font.height) return false;
  }
  return true;
}

// Width of `text` with one free column between glyphs; -1 when the font
// lacks a character.
int TextWidth(const Font& font, const char* text) {
  int w = -1;
  for (const char* p = text; *p != '\0'; ++p) {
    const Glyph* g = FindGlyph(font, *p);
    if (g == nullptr) return -1;
    w += GlyphWidth(*g) + 1;
  }
  return std::max(w, 0);
}

void DrawText(Canvas& c, const Font& font, const char* text, int x, int y,
              Rgb col) {
  for (const char* t = text; *t != '\0'; ++t) {
    const Glyph* g = FindGlyph(font, *t);
    if (g == nullptr) return;
    int row = 0, column = 0;
    for (const char* p = g->rows; *p != '\0'; ++p) {
      if (*p == '/') {
        ++row;
        column = 0;
        continue;
      }
      if (*p == '#') Paint(c, x + column, y + row, col, 16);
      ++column;
    }
    x += GlyphWidth(*g) + 1;
  }
}

// ---------------------------------------------------------------------------
// The picture: a body with a rim, a display with digits, a grid of keys.

// Whole pixels, both corners included.
struct Rect {
  int x0, y0, x1, y1;
};

Box Pixels(Rect r) { return Pixels(r.x0, r.y0, r.x1, r.y1); }

struct Layout {
  int size;
  Rect body;  // its rim is one pixel wide
  int bodyRadius8;
  Rect display;       // with its rim
  const Font* font;   // null: a bar stands for the digits
  const char* digits;
  int cols, rows;
  int keyX0, keyY0;  // the top left key's face
  int keyW, keyH;    // face size; the shadow adds a pixel right and below
  int stepX, stepY;  // from one key to the next
  bool ovalKeys;     // outlined ovals as on the keypad, else white blocks
};

constexpr std::array<Layout, 3> kLayouts = {{
    {16, {1, 0, 14, 15}, 12, {3, 2, 12, 4}, nullptr, "", 3, 3, 3, 6, 2, 2, 4, 3,
     false},
    {32, {3, 1, 28, 30}, 28, {6, 4, 25, 11}, &kSmallFont, "3.14", 3, 4, 6, 14, 5,
     3, 7, 4, false},
    {48, {5, 1, 42, 46}, 44, {7, 4, 39, 16}, &kLargeFont, "3.1415", 3, 4, 8, 19,
     8, 5, 11, 7, true},
}};

// Everything must lie inside the body's rim (the keys' shadows may fall on
// it), the keys below the display, and the digits inside the display with a
// free pixel around them.
bool LayoutFits(const Layout& l) {
  const Rect& b = l.body;
  const Rect& d = l.display;
  if (b.x0 < 0 || b.y0 < 0 || b.x1 >= l.size || b.y1 >= l.size) return false;
  if (d.x0 <= b.x0 || d.y0 <= b.y0 || d.x1 >= b.x1) return false;
  const int keysX1 = l.keyX0 + (l.cols - 1) * l.stepX + l.keyW - 1;
  const int keysY1 = l.keyY0 + (l.rows - 1) * l.stepY + l.keyH - 1;
  if (l.keyX0 <= b.x0 || l.keyY0 <= d.y1 || keysX1 >= b.x1 || keysY1 >= b.y1) {
    return false;
  }
  if (l.font != nullptr) {
    const int w = TextWidth(*l.font, l.digits);
    if (w < 0 || w > d.x1 - d.x0 - 3 || l.font->height > d.y1 - d.y0 - 2) {
      return false;
    }
  }
  return true;
}

void DrawKey(Canvas& c, const Layout& l, int x, int y) {
  const Box face = Pixels(x, y, x + l.keyW - 1, y + l.keyH - 1);
  if (!l.ovalKeys) {
    // Too small for an outline: a white block set off by its shadow.
    Fill(c, Shift(face, 8), 0, false, kShadow, kShadow);
    Fill(c, face, 0, false, kFaceTop, kFaceTop);
    return;
  }
  // As on the keypad: shadow, dark rim, face lighter at the top.
  const Box rim = Inset(face, -8);
  Fill(c, Shift(rim, 8), 0, true, kShadow, kShadow);
  Fill(c, rim, 0, true, kRim, kRim);
  Fill(c, face, 0, true, kFaceTop, kFaceBottom);
}

Canvas DrawIcon(const Layout& l) {
  Canvas c = MakeCanvas(l.size);
  const Box body = Pixels(l.body);
  Fill(c, body, l.bodyRadius8, false, kRim, kRim);
  Fill(c, Inset(body, 8), std::max(l.bodyRadius8 - 8, 0), false, kPanel,
       kPanel);

  const Rect& d = l.display;
  Fill(c, Pixels(d), 0, false, kRim, kRim);
  Fill(c, Inset(Pixels(d), 8), 0, false, kDisplay, kDisplay);
  if (l.font != nullptr) {
    // Right-aligned as on the calculator's own display, centred in height.
    const int w = TextWidth(*l.font, l.digits);
    const int y = d.y0 + 1 + (d.y1 - d.y0 - 1 - l.font->height) / 2;
    DrawText(c, *l.font, l.digits, d.x1 - 2 - w, y, kDigit);
  } else {
    // Too small for digits: a dark run on the right reads as a number.
    const int y = (d.y0 + d.y1) / 2;
    Fill(c, Pixels(d.x1 - 5, y, d.x1 - 2, y), 0, false, kDigit, kDigit);
  }

  for (int row = 0; row < l.rows; ++row) {
    for (int col = 0; col < l.cols; ++col) {
      DrawKey(c, l, l.keyX0 + col * l.stepX, l.keyY0 + row * l.stepY);
    }
  }
  return c;
}

// ---------------------------------------------------------------------------
// ICO output

void PutU8(std::vector<std::uint8_t>& out, unsigned v) {
  out.push_back(static_cast<std::uint8_t>(v & 0xFF));
}

void PutU16(std::vector<std::uint8_t>& out, unsigned v) {
  PutU8(out, v);
  PutU8(out, v >> 8);
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) PutU8(out, v >> (8 * i));
}

// One image as the .ico holds it: an information header of twice the height
// (colour bits and mask), bottom-up BGRA rows, then the mask, set where the
// picture is fully transparent, in rows padded to four bytes.
std::vector<std::uint8_t> EncodeDib(const Canvas& c) {
  const auto n = static_cast<std::uint32_t>(c.size);
  const std::uint32_t maskStride = (n + 31) / 32 * 4;
  const std::uint32_t bitsSize = n * n * 4 + maskStride * n;
  std::vector<std::uint8_t> out;
  out.reserve(40 + bitsSize);
  PutU32(out, 40);
  PutU32(out, n);
  PutU32(out, 2 * n);
  PutU16(out, 1);   // planes
  PutU16(out, 32);  // bits per pixel
  PutU32(out, 0);   // uncompressed
  PutU32(out, bitsSize);
  PutU32(out, 0);
  PutU32(out, 0);
  PutU32(out, 0);
  PutU32(out, 0);
  for (int y = c.size - 1; y >= 0; --y) {
    for (int x = 0; x < c.size; ++x) {
      const Pixel p = Get(c, x, y);
      const Pixel q = p.a == 0 ? Pixel{{0, 0, 0}, 0} : p;
      PutU8(out, static_cast<unsigned>(q.c.b));
      PutU8(out, static_cast<unsigned>(q.c.g));
      PutU8(out, static_cast<unsigned>(q.c.r));
      PutU8(out, static_cast<unsigned>(q.a));
    }
  }
  for (int y = c.size - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(maskStride, 0);
    for (int x = 0; x < c.size; ++x) {
      if (Get(c, x, y).a == 0) {
        row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
      }
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

std::vector<std::uint8_t> EncodeIco(const std::vector<Canvas>& images) {
  std::vector<std::vector<std::uint8_t>> dibs;
  for (const Canvas& c : images) dibs.push_back(EncodeDib(c));
  std::vector<std::uint8_t> out;
  PutU16(out, 0);  // reserved
  PutU16(out, 1);  // icon
  PutU16(out, static_cast<unsigned>(images.size()));
  auto offset = static_cast<std::uint32_t>(6 + 16 * images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    const auto n = static_cast<unsigned>(images[i].size);
    PutU8(out, n);  // width and height; every size here is below 256
    PutU8(out, n);
    PutU8(out, 0);  // no colour table
    PutU8(out, 0);
    PutU16(out, 1);
    PutU16(out, 32);
    PutU32(out, static_cast<std::uint32_t>(dibs[i].size()));
    PutU32(out, offset);
    offset += static_cast<std::uint32_t>(dibs[i].size());
  }
  for (const auto& dib : dibs) out.insert(out.end(), dib.begin(), dib.end());
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
    std::fprintf(stderr, "usage: make-icon OUTFILE\n");
    return 2;
  }
  if (!FontIsWellFormed(kSmallFont) || !FontIsWellFormed(kLargeFont)) {
    std::fprintf(stderr, "make-icon: a glyph does not fit its font\n");
    return 1;
  }
  std::vector<Canvas> images;
  for (const Layout& l : kLayouts) {
    if (l.size <= 0 || l.size >= 256 || !LayoutFits(l)) {
      std::fprintf(stderr, "make-icon: the %d x %d layout does not fit\n",
                   l.size, l.size);
      return 1;
    }
    images.push_back(DrawIcon(l));
  }
  if (!WriteFile(argv[1], EncodeIco(images))) {
    std::fprintf(stderr, "make-icon: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
