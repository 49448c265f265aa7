// Skin files judged, built, taken apart and drawn, on bytes in memory: what
// the skin authors' tool (tools/skin) says about a skin file is decided here.
//
//   SkinCheck check = CheckSkin(bytes);   // "loads", or why the program falls back
//   std::fputs(CheckReport(check).c_str(), stdout);
//
// Every verdict comes from the program's own reader (ReadSkinFile) and
// drawing preparation (PrepareKeypadImage), so that nothing here can judge a
// file differently from the program.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/skin/keymap_text.h"
#include "core/skin/skin.h"

// The layers by the names of their files: base.bmp, left.bmp ...
extern const char* const kLayerNames[kSkinLayerCount];

// A skin file in memory as the program's reader reads it.
struct MemorySkinSource {
    const std::string* bytes;
    size_t at;
};
SkinSource SourceOf(MemorySkinSource& memory);

// Why the program's reader refuses a skin file, in words: "left: 12 bytes:
// too short for a bitmap file (54 at least)". `layer` is the layer whose
// record the reader stopped in (-1: the key map and colours).
struct SkinRefusal {
    int layer;
    std::string reason;
};
// Loads the file with the program's reader. True when it loads; else false
// with why. The memory for its images is released again.
bool SkinLoads(const std::string& skin, SkinRefusal& refusal);

// --- pack
struct PackImage {
    std::string fileName;  // for messages; empty: no image for the layer
    std::string bytes;     // a bitmap file (BMP)
};
// A set of sharper images: `scale` (2 to 4) times the size of each layer's
// image, where the layer has one.
struct PackSharpSet {
    int scale;
    PackImage images[kSkinLayerCount];
};

// Builds a skin file from the key map, its colours and one bitmap file a
// layer, each stored as it is, and the sets of sharper images after them
// (in the order given). False, with `error` naming the image's file and what
// is wrong, when an image is empty, the program would refuse the skin or
// leave its sharper images out.
bool PackSkinBitmaps(const KeyMapText& keys, const PackImage (&images)[kSkinLayerCount], std::string& skin,
                     std::string& error, const std::vector<PackSharpSet>& sharp = {});

// `width` x `height` pixels of red, green, blue, alpha (top row first) as a
// bitmap file with a 40-byte header, bottom-up: 8 bits with a colour table of
// the image's colours when it has 256 or fewer, else 24 bits. Alpha blends
// onto `backColor` (0x00BBGGRR). Empty when the sizes are not positive or the
// file would not fit a skin's image record.
std::string BitmapFromRgba(const uint8_t* rgba, int width, int height, uint32_t backColor);

// --- unpack
struct UnpackedSkin {
    KeyMapText keys;                      // colours always present
    std::string images[kSkinLayerCount];  // each record's bitmap file; empty: none
    // The sharper images by scale 2, 3, 4, in the file's order of sets
    // (scales the file has none of, and those the program leaves out, are
    // not there).
    std::vector<int> sharpScales;
    std::string sharpImages[kLargestImageScale - 1][kSkinLayerCount];
};
// The file name unpack gives a layer's image at `scale`: "base.bmp",
// "base@2x.bmp".
std::string LayerFileName(int layer, int scale);
// Splits a skin file the program loads. False (and `out` untouched) with why
// when the program would refuse it.
bool UnpackSkin(const std::string& skin, UnpackedSkin& out, SkinRefusal& refusal);
// The key map text of an unpacked skin, with a comment naming the command
// that packs the folder again.
std::string UnpackedKeysText(const UnpackedSkin& unpacked);

// --- check
struct SkinCheck {
    SkinResult result;
    SkinRefusal refusal;                // why it does not load
    std::vector<std::string> warnings;  // what loads but will look wrong
};
SkinCheck CheckSkin(const std::string& skin);
// The verdict line ("loads", or "falls back to the built-in skin: " and the
// program's message), then "why: ..." for a file that does not load, or one
// line per warning.
std::string CheckReport(const SkinCheck& check);
// 0: loads, no warning; 1: loads with warnings; 2: the program falls back.
int CheckStatus(const SkinCheck& check);

// --- preview
// The five layers side by side, each the 176 x 180 screen at zoom 1 as the
// program draws it: layer L in columns 176 L to 176 L + 175. The whole screen
// has the back colour; the layer's image takes the bottom rows (its bottom
// kMaxImageRows rows at most, its left 176 columns at most), and the rows
// above it are the display line. A layer that draws nothing (no palette, or
// a format the graphics system refuses) is back colour all over, its display
// line the whole screen. The display line's text is left to the caller, who
// draws it in `textRgb` within each screen's `displayRows` top rows (rows of
// the zoomed preview).
constexpr int kPreviewScreenHeight = 180;
constexpr int kPreviewWidth = kScreenWidth * kSkinLayerCount;
struct PreviewImage {
    int zoom = 1;                               // everything above, this many times as large
    std::vector<uint8_t> rgb;                   // kPreviewWidth x kPreviewScreenHeight times zoom, top row first
    int displayRows[kSkinLayerCount] = {};      // rows from the top of each screen that show the display line
    uint32_t textRgb = 0;                       // the text colour as 0x00RRGGBB
};
// At a zoom above 1 (`preview.zoom`) each screen is what the program draws at
// that zoom: the layer's sharpest image for it (SharpImageScale), enlarged
// by a whole factor.
bool RenderPreviewScreens(const std::string& skin, PreviewImage& preview, SkinRefusal& refusal);
int PreviewWidth(const PreviewImage& preview);
int PreviewHeight(const PreviewImage& preview);
// Sets one pixel (0x00RRGGBB); pixels outside the preview are ignored.
void PutPreviewPixel(PreviewImage& preview, int x, int y, uint32_t rgb);
