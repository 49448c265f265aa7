// Colour palettes and drawing descriptions for the skin's layer images.
//
// Everything about drawing a layer image that can be decided without the
// graphics system is decided here. The Windows side is left with:
//   status = PrepareKeypadImage(skin.images[layer], draw);
//   kImageReady: on a palette screen CreatePalette((LOGPALETTE*)&draw.palette),
//     select and realise it; then, at zoom z,
//     lines = StretchDIBits(dc, 0, rect.bottom - z * draw.dib.height,
//                           z * draw.dib.drawWidth, z * draw.dib.height,
//                           0, 0, draw.dib.drawWidth, draw.dib.height, draw.dib.bits,
//                           (BITMAPINFO*)draw.dib.info, DIB_RGB_COLORS, SRCCOPY);
//     lines 0 or -1 count as kImageBadFormat, whose message the display
//     shows instead of the number; the display line ends where the image starts.
//   kImageNoPalette: nothing is drawn and the display line takes the screen
//     (the program says so once, when the skin loads).
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/skin/skin.h"

constexpr int kMaxPaletteEntries = 256;
constexpr size_t kBitfieldMasksSize = 12;  // three 32-bit masks after the header with BI_BITFIELDS
constexpr uint32_t kCompressionRgb = 0;
constexpr uint32_t kCompressionBitfields = 3;
constexpr uint16_t kPaletteVersion = 0x300;

// The fields of a bitmap information header that the skin uses: the first
// 40 bytes of it (editors write 108- and 124-byte headers with the same start).
struct BitmapHeader {
    uint32_t size;         // offset 0: 40 or more
    int32_t width;         // offset 4
    int32_t height;        // offset 8: negative for a top-down image
    uint16_t planes;       // offset 12
    uint16_t bitCount;     // offset 14
    uint32_t compression;  // offset 16
    uint32_t usedColours;  // offset 32: only the low 16 bits count
};

// Decodes the header at the start of an information block; false if the
// block is shorter than 40 bytes.
bool ReadBitmapHeader(const uint8_t* block, size_t size, BitmapHeader& header);

// The number of colour-table entries the header declares: the used-colours
// field if not 0, else 2, 16 or 256 for 1, 4 or 8 bits, else 0.
uint32_t DeclaredColourCount(const BitmapHeader& header);

// The most colour-table entries an image of this bit count may carry:
// 2^bits up to 8 bits, 256 (an optimising table) above.
uint32_t AllowedColourCount(uint16_t bitCount);

// Where the colour table starts in the information block: after the whole
// header, and after the three masks of a 16- or 32-bit BI_BITFIELDS image
// with a 40-byte header (longer headers hold the masks).
size_t ColourTableOffset(const BitmapHeader& header);

// The header is 40 bytes or more and lies within a block of `blockSize`
// bytes, with its masks where it needs them.
bool HeaderFitsBlock(const BitmapHeader& header, size_t blockSize);

// Bytes of one row of pixels: width (at least 1) x bits rounded up to 4
// bytes. 64-bit, so that any width and bit count from a file are safe.
uint64_t DibRowStride(int32_t width, uint16_t bitCount);

// The logical palette of an image, in the layout of LOGPALETTE.
struct PaletteEntry {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
    uint8_t flags;
};
struct ImagePalette {
    uint16_t version;  // 0x300
    uint16_t count;    // entries used, 1..256
    PaletteEntry entries[kMaxPaletteEntries];
};
static_assert(sizeof(PaletteEntry) == 4);
static_assert(offsetof(ImagePalette, entries) == 4);

// Fills `palette` for an information block: its colour table when it declares
// one, the 256-colour cube for 24 bits without one. False (no palette) for a
// missing block, a header that does not fit it, no colours and not 24 bits,
// more than 256 colours, or a colour table that the block does not hold.
bool CreateImagePalette(const uint8_t* header, size_t headerSize, ImagePalette& palette);

// An image ready for drawing. `info` is the information block handed to the
// graphics system: a 40-byte header (the file's first 40 bytes, its height
// cut to the rows drawn), the bit-field masks if any, and for up
// to 8 bits the colour table with the full count for the bit depth (entries
// the file does not hold are zero), so that no pixel value indexes outside it.
struct ImageDib {
    alignas(4) uint8_t info[kBitmapInfoHeaderSize + kBitfieldMasksSize +
                            4 * kMaxPaletteEntries];
    size_t infoSize;
    const uint8_t* bits;
    int32_t drawWidth;  // the image's width, at most kScreenWidth (times the scale)
    int32_t height;     // rows drawn, bottom-up: at most kMaxImageRows (times the scale), the image's bottom part
};

// Fills `dib` for a loaded image; false if it cannot be drawn (bit count,
// planes or compression the graphics system does not take, a top-down image
// that was not normalised, or pixel data too short). `dib.height` is set even
// then, for the layout (0 when the header gives no positive height). An
// image of a skin's sharper images at `scale` is cut at `scale` times the
// width and rows.
bool PrepareImageDib(const SkinImage& image, ImageDib& dib, int scale = 1);

// The outcome of preparing the image of a key layer for painting.
enum ImageDrawStatus : int {
    kImageReady = 0,   // draw `dib` with `palette` selected
    kImageNoPalette,   // nothing drawn, layout unchanged; "Не могу создать палитру"
    kImageBadFormat,   // nothing drawn, the layer's area is `dib.height` rows; "Неверный формат скина"
};
struct KeypadImageDraw {
    ImagePalette palette;
    ImageDib dib;
};
ImageDrawStatus PrepareKeypadImage(const SkinImage& image, KeypadImageDraw& draw, int scale = 1);
