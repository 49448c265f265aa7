#include "core/skin/palette.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "core/text/little_endian.h"

namespace {

bool HasBitfieldMasks(const BitmapHeader& header)
{
    return header.compression == kCompressionBitfields &&
           (header.bitCount == 16 || header.bitCount == 32);
}

// Bit counts and compressions that the graphics system draws from memory.
bool IsDrawableFormat(const BitmapHeader& header)
{
    switch (header.bitCount) {
    case 1:
    case 4:
    case 8:
    case 24:
        return header.compression == kCompressionRgb;
    case 16:
    case 32:
        return header.compression == kCompressionRgb ||
               header.compression == kCompressionBitfields;
    default:
        return false;
    }
}

}  // namespace

bool ReadBitmapHeader(const uint8_t* block, size_t size, BitmapHeader& header)
{
    if (block == nullptr || size < kBitmapInfoHeaderSize) return false;
    header.size = Le32(block);
    header.width = static_cast<int32_t>(Le32(block + 4));
    header.height = static_cast<int32_t>(Le32(block + 8));
    header.planes = Le16(block + 12);
    header.bitCount = Le16(block + 14);
    header.compression = Le32(block + 16);
    header.usedColours = Le32(block + 32);
    return true;
}

uint32_t DeclaredColourCount(const BitmapHeader& header)
{
    uint32_t used = header.usedColours & 0xFFFF;
    if (used != 0) return used;
    switch (header.bitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

uint32_t AllowedColourCount(uint16_t bitCount)
{
    if (bitCount >= 1 && bitCount <= 8) return 1u << bitCount;
    return kMaxPaletteEntries;
}

size_t ColourTableOffset(const BitmapHeader& header)
{
    // The masks follow a 40-byte header; the longer headers hold them.
    if (header.size > kBitmapInfoHeaderSize) return header.size;
    return kBitmapInfoHeaderSize + (HasBitfieldMasks(header) ? kBitfieldMasksSize : 0);
}

bool HeaderFitsBlock(const BitmapHeader& header, size_t blockSize)
{
    if (header.size < kBitmapInfoHeaderSize || header.size > blockSize) return false;
    return !HasBitfieldMasks(header) || kBitmapInfoHeaderSize + kBitfieldMasksSize <= blockSize;
}

uint64_t DibRowStride(int32_t width, uint16_t bitCount)
{
    return (static_cast<uint64_t>(width) * bitCount + 31) / 32 * 4;
}

bool CreateImagePalette(const uint8_t* header, size_t headerSize, ImagePalette& palette)
{
    BitmapHeader h;
    if (!ReadBitmapHeader(header, headerSize, h) || !HeaderFitsBlock(h, headerSize)) return false;

    std::memset(&palette, 0, sizeof palette);
    palette.version = kPaletteVersion;
    uint32_t count = DeclaredColourCount(h);
    if (count != 0) {
        size_t table = ColourTableOffset(h);
        if (count > kMaxPaletteEntries || table + 4 * size_t{count} > headerSize) return false;
        palette.count = static_cast<uint16_t>(count);
        const uint8_t* quad = header + table;  // blue, green, red, reserved
        for (PaletteEntry& entry : std::span(palette.entries, count)) {
            entry = PaletteEntry{quad[2], quad[1], quad[0], 0};
            quad += 4;
        }
        return true;
    }
    if (h.bitCount == 24) {
        // A colour cube: red fastest in steps of 32, then green, then blue in steps of 64.
        palette.count = kMaxPaletteEntries;
        for (int i = 0; i < kMaxPaletteEntries; ++i) {
            palette.entries[i] = PaletteEntry{static_cast<uint8_t>((i & 7) * 32),
                                              static_cast<uint8_t>((i >> 3 & 7) * 32),
                                              static_cast<uint8_t>((i >> 6) * 64), 0};
        }
        return true;
    }
    return false;
}

bool PrepareImageDib(const SkinImage& image, ImageDib& dib, int scale)
{
    const int32_t mostRows = int32_t{kMaxImageRows} * scale, mostColumns = int32_t{kScreenWidth} * scale;
    std::memset(&dib, 0, sizeof dib);
    BitmapHeader h;
    if (!ReadBitmapHeader(image.header, image.headerSize, h)) return false;
    dib.height = h.height > 0 ? std::min(h.height, mostRows) : 0;
    if (!HeaderFitsBlock(h, image.headerSize) || h.planes != 1 || !IsDrawableFormat(h) ||
        h.width <= 0 || h.height <= 0 || image.bits == nullptr)
        return false;

    const uint64_t stride = DibRowStride(h.width, h.bitCount);
    if (stride * static_cast<uint64_t>(h.height) > image.bitsSize) return false;
    // Rows are bottom-up: the first ones in memory are the image's bottom part.
    const int32_t rows = std::min(h.height, mostRows);
    const uint64_t pixelBytes = stride * static_cast<uint64_t>(rows);
    if (pixelBytes > UINT32_MAX) return false;

    size_t table = ColourTableOffset(h);
    if (table > image.headerSize) return false;
    // The graphics system gets a 40-byte header whatever the file's was, the
    // masks right after it, then the colour table.
    std::memcpy(dib.info, image.header, kBitmapInfoHeaderSize);
    PutLe32(dib.info, kBitmapInfoHeaderSize);
    PutLe32(dib.info + 8, static_cast<uint32_t>(rows));
    size_t infoTable = kBitmapInfoHeaderSize;
    if (HasBitfieldMasks(h)) {
        std::memcpy(dib.info + infoTable, image.header + kBitmapInfoHeaderSize, kBitfieldMasksSize);
        infoTable += kBitfieldMasksSize;
    }

    uint32_t fullCount = 0;
    if (h.bitCount <= 8) {
        // Every pixel value must find an entry: the table gets all 2^bits of
        // them, those the file does not hold left black.
        fullCount = 1u << h.bitCount;
        uint32_t stored = DeclaredColourCount(h);
        size_t held = (image.headerSize - table) / 4;
        stored = static_cast<uint32_t>(std::min({size_t{stored}, size_t{fullCount}, held}));
        std::memcpy(dib.info + infoTable, image.header + table, 4 * size_t{stored});
    }
    // Above 8 bits the pixels are colours; an optimising table is not passed on.
    PutLe32(dib.info + 20, static_cast<uint32_t>(pixelBytes));  // image size
    PutLe32(dib.info + 32, fullCount);                          // colours used
    PutLe32(dib.info + 36, 0);                                  // colours important
    dib.infoSize = infoTable + 4 * size_t{fullCount};
    dib.bits = image.bits;
    dib.drawWidth = h.width < mostColumns ? h.width : mostColumns;
    dib.height = rows;
    return true;
}

ImageDrawStatus PrepareKeypadImage(const SkinImage& image, KeypadImageDraw& draw, int scale)
{
    if (!CreateImagePalette(image.header, image.headerSize, draw.palette)) {
        std::memset(&draw.dib, 0, sizeof draw.dib);
        return kImageNoPalette;
    }
    return PrepareImageDib(image, draw.dib, scale) ? kImageReady : kImageBadFormat;
}
