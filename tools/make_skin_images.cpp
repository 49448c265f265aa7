// make-skin-images [--style builtin|contrast] [--keys KEYMAP.txt] [--scale N] OUTDIR
//
// Draws the five keypad images of a skin and writes them to OUTDIR as
// base.bmp, left.bmp, up.bmp, right.bmp and down.bmp: 176 x 153 pixels,
// 8 bits per pixel with one 256-entry colour table, bottom-up rows. With
// --scale N (2 to 4) they are N times as large, drawn at that size, and
// named base@Nx.bmp and so on: a skin's sharper images.
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
// arithmetic only, no clock, no locale, no platform fonts. The drawing, the
// styles and the pixel fonts are core/skin/keypad_art.*, which the program
// also draws its zoomed built-in keypad with.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/engine/engine.h"
#include "core/skin/keypad_art.h"
#include "core/skin/skin.h"
#include "tools/skin/keymap_text.h"

namespace {

using Canvas = KeypadCanvas;

bool SameRgb(Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

Rgb Get(const Canvas& c, int x, int y) { return c.px[static_cast<std::size_t>(y * c.width + x)]; }

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
    const int kWidth = c.width, kHeight = c.height;
    const std::uint32_t kStride = (static_cast<std::uint32_t>(kWidth) + 3) / 4 * 4;
    constexpr std::uint32_t kBitsOffset = 14 + 40 + 256 * 4;
    const std::uint32_t kBitsSize = kStride * static_cast<std::uint32_t>(kHeight);
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
    PutU32(out, static_cast<std::uint32_t>(kWidth));
    PutU32(out, static_cast<std::uint32_t>(kHeight));  // positive: bottom-up
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
        for (std::uint32_t pad = static_cast<std::uint32_t>(kWidth); pad < kStride; ++pad) out.push_back(0);
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
    std::fprintf(stderr, "usage: make-skin-images [--style builtin|contrast] [--keys KEYMAP.txt] [--scale 1-4] OUTDIR\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    const KeypadStyle* style = &keypadStyles[0];
    const char* keysPath = nullptr;
    const char* outDir = nullptr;
    int scale = 1;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--style") == 0 && hasValue) {
            style = FindKeypadStyle(argv[++i]);
            if (style == nullptr) {
                std::fprintf(stderr, "make-skin-images: unknown style: %s\n", argv[i]);
                return Usage();
            }
        } else if (std::strcmp(argv[i], "--keys") == 0 && hasValue) {
            keysPath = argv[++i];
        } else if (std::strcmp(argv[i], "--scale") == 0 && hasValue) {
            const char* value = argv[++i];
            if (value[0] < '1' || value[0] > '4' || value[1] != '\0') return Usage();
            scale = value[0] - '0';
        } else if (argv[i][0] == '-' || outDir != nullptr) {
            return Usage();
        } else {
            outDir = argv[i];
        }
    }
    if (outDir == nullptr) return Usage();
    if (!KeypadFontsWellFormed()) {
        std::fprintf(stderr, "make-skin-images: a glyph has rows of unequal width\n");
        return 1;
    }

    KeypadStyle look = *style;
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
    const std::string misfit = KeypadLabelMisfit(look, keyMap);
    if (!misfit.empty()) {
        std::fprintf(stderr, "make-skin-images: %s\n", misfit.c_str());
        return 1;
    }

    // File names by layer: base, Left, Up, Right, Down; base@2x.bmp and so on
    // at a larger scale.
    static const char* const kNames[5] = {"base", "left", "up", "right", "down"};
    std::vector<Canvas> images;
    for (int layer = 0; layer < 5; ++layer) images.push_back(DrawKeypadImage(look, keyMap, layer, scale, kDrawBitmapFile));

    for (const Canvas& c : images) {
        if (look.builtIn && scale == 1 && !SameRgb(Get(c, 5, 5), look.panel)) {
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
        const std::string path =
            dir + kNames[layer] + (scale > 1 ? "@" + std::to_string(scale) + "x" : std::string()) + ".bmp";
        if (!WriteFile(path, EncodeBmp(images[layer], palette, colours))) {
            std::fprintf(stderr, "make-skin-images: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
