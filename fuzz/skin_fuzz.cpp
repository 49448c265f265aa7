// Skin files from anywhere: the reader must either keep a skin whose every
// image can be handed to the graphics system as prepared, or fall back to the
// built-in skin whole. The input is the file; it is also tried as a bare
// information block for the palette builder. The skin tool judges, draws and
// unpacks the same file (a skin the program loads packs again to the same
// bytes), and reads the input as key map text (what it reads, it writes as
// text that reads back the same).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include <string>

#include "core/skin/palette.h"
#include "core/skin/skin.h"
#include "tools/skin/keymap_text.h"
#include "tools/skin/skin_tool.h"

namespace {

volatile uint32_t touched;  // keeps the reads of the pixel data alive

void Require(bool condition)
{
    if (!condition) __builtin_trap();
}

// Reads what SetDIBitsToDevice would read: every row of pixel data, and for
// up to 8 bits the colour-table entry of every drawn pixel.
uint32_t TouchLikeTheGraphicsSystem(const ImageDib& dib)
{
    BitmapHeader h;
    Require(ReadBitmapHeader(dib.info, dib.infoSize, h));
    Require(h.size == 40 && h.height > 0 && dib.height == h.height);
    Require(dib.drawWidth >= 1 && dib.drawWidth <= kScreenWidth && dib.drawWidth <= h.width);
    size_t stride = static_cast<size_t>(DibRowStride(h.width, h.bitCount));
    size_t table = ColourTableOffset(h);
    Require(table <= dib.infoSize);
    size_t entries = (dib.infoSize - table) / 4;
    uint32_t sum = 0;
    for (int32_t row = 0; row < h.height; ++row) {
        const uint8_t* line = dib.bits + static_cast<size_t>(row) * stride;
        sum += line[0] + line[stride - 1];
        if (h.bitCount > 8) continue;
        for (int32_t x = 0; x < dib.drawWidth; ++x) {
            size_t bit = static_cast<size_t>(x) * h.bitCount;
            size_t index = (line[bit / 8] >> (8 - h.bitCount - bit % 8)) & ((1u << h.bitCount) - 1);
            Require(index < entries);
            sum += dib.info[table + 4 * index];
        }
    }
    return sum;
}

void TrySkinTool(const std::string& bytes, bool loads)
{
    const SkinCheck check = CheckSkin(bytes);
    Require((check.result == kSkinLoaded) == loads);
    Require(!CheckReport(check).empty());
    PreviewImage preview;
    SkinRefusal refusal;
    Require(RenderPreview(bytes, preview, refusal) == loads);
    UnpackedSkin unpacked;
    if (!UnpackSkin(bytes, unpacked, refusal)) {
        Require(!loads && !refusal.reason.empty());
        return;
    }
    KeyMapText keys;
    KeyMapTextError error;
    Require(ReadKeyMapText(UnpackedKeysText(unpacked), keys, error));
    PackImage images[kSkinLayerCount];
    for (int layer = 0; layer < kSkinLayerCount; ++layer)
        if (!unpacked.images[layer].empty()) images[layer] = {"layer.bmp", unpacked.images[layer]};
    std::vector<PackSharpSet> sharp;
    for (int scale : unpacked.sharpScales) {
        sharp.push_back({scale, {}});
        for (int layer = 0; layer < kSkinLayerCount; ++layer)
            if (!unpacked.sharpImages[scale - 2][layer].empty())
                sharp.back().images[layer] = {"layer.bmp", unpacked.sharpImages[scale - 2][layer]};
    }
    std::string again, fault;
    Require(PackSkinBitmaps(keys, images, again, fault, sharp) && bytes.compare(0, again.size(), again) == 0);
    // The tool converts editors' bitmaps as it packs: what it makes loads, or it says why not.
    std::string converted;
    if (PackSkin(keys, images, converted, fault, sharp)) Require(SkinLoads(converted, refusal));
    else Require(!fault.empty());
}

void TryKeyMapText(const std::string& text)
{
    KeyMapText map, again;
    KeyMapTextError error;
    if (!ReadKeyMapText(text, map, error)) {
        Require(error.line >= 0 && std::strlen(error.message) > 0);
        return;
    }
    Require(ReadKeyMapText(WriteKeyMapText(map), again, error));
    Require(std::memcmp(map.keyMap, again.keyMap, kKeyMapSize) == 0 && map.backColor == again.backColor &&
            map.textColor == again.textColor && map.hasBackColor == again.hasBackColor &&
            map.hasTextColor == again.hasTextColor);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SkinState skin{};
    struct Memory {
        const uint8_t* data;
        size_t size, offset;
    } memory{data, size, 0};
    SkinSource source{[](void* context, uint8_t* dest, size_t count) {
                          Memory& m = *static_cast<Memory*>(context);
                          const size_t n = std::min(count, m.size - m.offset);
                          std::memcpy(dest, m.data + m.offset, n);
                          m.offset += n;
                          return n;
                      },
                      &memory, size, 0};
    SkinResult result = ReadSkinFile(skin, source);
    if (result != kSkinLoaded) {
        Require(result == kSkinReadFailed);  // memory is plentiful here
        Require(skin.builtinSkin == 1 && skin.backColor == 0 && skin.textColor == 0);
        Require(std::memcmp(skin.keyMap, defaultKeyMap, sizeof skin.keyMap) == 0);
    } else {
        Require(skin.builtinSkin == 0);
    }

    for (const SkinImage& image : skin.images) {
        Require((image.header == nullptr) == (image.bits == nullptr));
        Require(result == kSkinLoaded || image.header == nullptr);
        KeypadImageDraw draw;
        ImageDrawStatus status = PrepareKeypadImage(image, draw);
        if (status == kImageReady) {
            Require(draw.palette.count >= 1 && draw.palette.count <= kMaxPaletteEntries);
            touched = TouchLikeTheGraphicsSystem(draw.dib);
        }
    }
    // Sharper images: all of them or none, each drawn within its scale's limits.
    Require(skin.sharpImagesFault == nullptr || result == kSkinLoaded);
    for (int scale = 2; scale <= kLargestImageScale; ++scale) {
        for (int layer = 0; layer < kSkinLayerCount; ++layer) {
            const SkinImage& image = skin.sharpImages[scale - 2][layer];
            Require((image.header == nullptr) == (image.bits == nullptr));
            Require(skin.sharpImagesFault == nullptr || image.header == nullptr);
            Require((image.header == nullptr) || (skin.images[layer].header != nullptr));
            KeypadImageDraw draw;
            if (PrepareKeypadImage(image, draw, scale) == kImageReady) {
                Require(draw.dib.drawWidth <= kScreenWidth * scale && draw.dib.height <= kMaxImageRows * scale);
                touched = TouchLikeTheGraphicsSystem(draw.dib);
            }
        }
        for (int zoom = 1; zoom <= kLargestImageScale; ++zoom) Require(zoom % SharpImageScale(skin, 0, zoom) == 0);
    }
    ReleaseSkinImages(skin);
    Require(skin.sharpImagesFault == nullptr);

    ImagePalette palette;
    if (CreateImagePalette(data, size, palette))
        Require(palette.count >= 1 && palette.count <= kMaxPaletteEntries);

    const std::string bytes(reinterpret_cast<const char*>(data), size);
    TrySkinTool(bytes, result == kSkinLoaded);
    TryKeyMapText(bytes);
    return 0;
}
