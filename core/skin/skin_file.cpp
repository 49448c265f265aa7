#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "core/skin/palette.h"
#include "core/skin/skin.h"
#include "core/text/file_names.h"
#include "core/text/little_endian.h"
#include "core/text/text16.h"

void* (*skinAllocate)(size_t size) = std::malloc;

namespace {

uint64_t Remaining(const SkinSource& source)
{
    return source.size > source.position ? source.size - source.position : 0;
}

// Exactly n bytes or failure; a source may deliver a read in pieces.
bool ReadExactly(SkinSource& source, uint8_t* dest, size_t n)
{
    size_t got = 0;
    while (got < n) {
        size_t r = source.read(source.context, dest + got, n - got);
        if (r == 0 || r > n - got) return false;
        got += r;
        source.position += r;
    }
    return true;
}

bool ReadLe32(SkinSource& source, uint32_t& value)
{
    uint8_t bytes[4];
    if (!ReadExactly(source, bytes, sizeof bytes)) return false;
    value = Le32(bytes);
    return true;
}

void FreeImage(SkinImage& image)
{
    std::free(image.header);
    std::free(image.bits);
    image = SkinImage{};
}

// The information block describes an image whose rows the record can hold.
// Returns the bytes of pixel data the image needs, or 0 if the block is unusable.
uint64_t CheckInfoBlock(const uint8_t* block, size_t size)
{
    BitmapHeader h;
    if (!ReadBitmapHeader(block, size, h) || !HeaderFitsBlock(h, size)) return 0;
    uint32_t colours = DeclaredColourCount(h);
    if (colours > AllowedColourCount(h.bitCount) ||
        ColourTableOffset(h) + 4 * uint64_t{colours} > size)
        return 0;
    if (h.width <= 0 || h.height == 0 || h.bitCount == 0 || h.bitCount > 32) return 0;
    uint64_t rows = h.height < 0 ? 0 - static_cast<uint64_t>(static_cast<int64_t>(h.height))
                                 : static_cast<uint64_t>(h.height);
    uint64_t stride = DibRowStride(h.width, h.bitCount);  // 4 at least
    if (rows > UINT64_MAX / stride) return 0;
    return stride * rows;
}

// Stored images are bottom-up: a top-down image gets its rows reversed.
void MakeBottomUp(SkinImage& image)
{
    BitmapHeader h;
    ReadBitmapHeader(image.header, image.headerSize, h);
    if (h.height >= 0) return;
    size_t rows = static_cast<size_t>(0 - static_cast<int64_t>(h.height));
    size_t stride = static_cast<size_t>(DibRowStride(h.width, h.bitCount));
    uint8_t* top = image.bits;
    uint8_t* bottom = image.bits + (rows - 1) * stride;
    for (; top < bottom; top += stride, bottom -= stride) {
        for (size_t i = 0; i < stride; ++i) {
            uint8_t t = top[i];
            top[i] = bottom[i];
            bottom[i] = t;
        }
    }
    PutLe32(image.header + 8, static_cast<uint32_t>(rows));
}

// Reads the image record at the current position into `target`. On a
// failure the target stays without blocks.
SkinResult ReadImageRecord(SkinImage& target, SkinSource& source)
{
    FreeImage(target);

    uint32_t length;  // bytes of the bitmap file that follows
    if (!ReadLe32(source, length)) return kSkinReadFailed;
    if (length == 0) return kSkinLoaded;  // no image for this layer

    // Every size is checked against what the record and the file can hold
    // before a block of that size is allocated.
    uint8_t fileHeader[kBitmapFileHeaderSize];
    if (length > Remaining(source) || length < kBitmapFileHeaderSize + kBitmapInfoHeaderSize ||
        !ReadExactly(source, fileHeader, sizeof fileHeader))
        return kSkinReadFailed;
    uint32_t pixelOffset = Le32(fileHeader + 10);  // from the start of the file header
    if (pixelOffset < kBitmapFileHeaderSize + kBitmapInfoHeaderSize || pixelOffset > length)
        return kSkinReadFailed;

    SkinImage image{};
    image.headerSize = pixelOffset - kBitmapFileHeaderSize;
    image.header = static_cast<uint8_t*>(skinAllocate(image.headerSize));
    if (image.header == nullptr) return kSkinOutOfMemory;
    if (!ReadExactly(source, image.header, image.headerSize)) {
        FreeImage(image);
        return kSkinReadFailed;
    }

    image.bitsSize = length - pixelOffset;
    uint64_t needed = CheckInfoBlock(image.header, image.headerSize);
    if (needed == 0 || needed > image.bitsSize) {
        FreeImage(image);
        return kSkinReadFailed;
    }
    image.bits = static_cast<uint8_t*>(skinAllocate(image.bitsSize));
    if (image.bits == nullptr) {
        FreeImage(image);
        return kSkinOutOfMemory;
    }
    if (!ReadExactly(source, image.bits, image.bitsSize)) {
        FreeImage(image);
        return kSkinReadFailed;
    }
    MakeBottomUp(image);
    target = image;
    return kSkinLoaded;
}

void ReleaseSharpImages(SkinState& skin)
{
    for (auto& set : skin.sharpImages)
        for (SkinImage& image : set) FreeImage(image);
}

// Width and rows of a loaded (bottom-up) image; 0 x 0 for none.
void ImageSize(const SkinImage& image, int64_t& width, int64_t& rows)
{
    BitmapHeader h{};
    width = rows = 0;
    if (image.header == nullptr || !ReadBitmapHeader(image.header, image.headerSize, h)) return;
    width = h.width;
    rows = h.height;
}

// One set of sharper images: the scale and five records. Null, or why the
// set is broken.
const char* ReadSharpSet(SkinState& skin, SkinSource& source)
{
    uint32_t scale = 0;
    if (!ReadLe32(source, scale)) return "the file ends inside the sharper images";
    if (scale < 2 || scale > kLargestImageScale) return "a scale other than 2, 3 or 4";
    SkinImage(&set)[kSkinLayerCount] = skin.sharpImages[scale - 2];
    for (const SkinImage& image : set)
        if (image.header != nullptr) return "a scale given twice";
    for (int layer = 0; layer < kSkinLayerCount; ++layer) {
        if (ReadImageRecord(set[layer], source) != kSkinLoaded) return "an image record that cannot be read";
        int64_t width = 0, rows = 0, sharpWidth = 0, sharpRows = 0;
        ImageSize(skin.images[layer], width, rows);
        ImageSize(set[layer], sharpWidth, sharpRows);
        if ((set[layer].header == nullptr) != (skin.images[layer].header == nullptr))
            return "a layer with an image at one size and none at the other";
        if (sharpWidth != width * scale || sharpRows != rows * scale)
            return "an image that is not the scale times the size of its layer's image";
    }
    return nullptr;
}

// The sharper images after the fifth record, if the file has them.
void ReadSharpImages(SkinState& skin, SkinSource& source)
{
    uint8_t tag[sizeof kSharpImagesTag];
    if (Remaining(source) < sizeof tag || !ReadExactly(source, tag, sizeof tag) ||
        std::memcmp(tag, kSharpImagesTag, sizeof tag) != 0)
        return;  // no tag: whatever follows is ignored, as ever
    uint32_t sets = 0;
    const char* fault = nullptr;
    if (!ReadLe32(source, sets)) fault = "the file ends inside the sharper images";
    else if (sets < 1 || sets > kLargestImageScale - 1) fault = "a count of sets other than 1 to 3";
    for (uint32_t i = 0; fault == nullptr && i < sets; ++i) fault = ReadSharpSet(skin, source);
    if (fault == nullptr) return;
    ReleaseSharpImages(skin);
    skin.sharpImagesFault = fault;
}

}  // namespace

void ReleaseSkinImages(SkinState& skin)
{
    for (SkinImage& image : skin.images) FreeImage(image);
    ReleaseSharpImages(skin);
    skin.sharpImagesFault = nullptr;
}

int SharpImageScale(const SkinState& skin, int layer, int zoom)
{
    if (layer < 0 || layer >= kSkinLayerCount) return 1;
    for (int scale = std::min(zoom, kLargestImageScale); scale >= 2; --scale)
        if (zoom % scale == 0 && skin.sharpImages[scale - 2][layer].header != nullptr) return scale;
    return 1;
}

const SkinImage& ImageAtScale(const SkinState& skin, int layer, int scale)
{
    return scale >= 2 && scale <= kLargestImageScale ? skin.sharpImages[scale - 2][layer] : skin.images[layer];
}

void UseBuiltinSkin(SkinState& skin)
{
    std::memcpy(skin.keyMap, defaultKeyMap, sizeof skin.keyMap);
    skin.builtinSkin = 1;
    ReleaseSkinImages(skin);
    skin.backColor = 0;
    skin.textColor = 0;
}

SkinResult ReadSkinFile(SkinState& skin, SkinSource& source)
{
    ReleaseSkinImages(skin);
    skin.builtinSkin = 0;
    SkinResult result = kSkinReadFailed;
    if (ReadExactly(source, skin.keyMap, sizeof skin.keyMap) &&
        ReadLe32(source, skin.backColor) && ReadLe32(source, skin.textColor)) {
        result = kSkinLoaded;
        for (int layer = 0; layer < kSkinLayerCount && result == kSkinLoaded; ++layer)
            result = ReadImageRecord(skin.images[layer], source);
    }
    if (result == kSkinLoaded) ReadSharpImages(skin, source);
    // Never half a skin: any failure gives the built-in one whole.
    if (result != kSkinLoaded) UseBuiltinSkin(skin);
    return result;
}

bool SkinFilePath(const char16_t* programFolder, const char16_t* skinName, char16_t* out,
                  size_t capacity)
{
    static const char16_t kExtension[] = u".skin";
    size_t folder = U16Len(programFolder);
    size_t name = U16Len(skinName);
    size_t extension = U16Len(kExtension);
    if (capacity == 0) return false;
    if (!IsPlainFileName(skinName) || folder + name + extension >= capacity) {
        out[0] = 0;
        return false;
    }
    U16Copy(out, capacity, programFolder);
    U16Copy(out + folder, capacity - folder, skinName);
    U16Copy(out + folder + name, capacity - folder - name, kExtension);
    return true;
}
