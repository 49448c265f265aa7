// Skin files as the program shows them: the check's verdict and warnings, and
// the preview's screens drawn from the images prepared for the graphics
// system, pixel by pixel as that system reads them.
#include <algorithm>
#include <bit>
#include <memory>

#include "core/engine/engine.h"
#include "core/skin/palette.h"
#include "core/text/little_endian.h"
#include "tools/skin/skin_pack.h"

namespace {

constexpr const char* kKeyNames[12] = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "*", "0", "#"};

// A loaded skin whose images are released when it goes.
struct LoadedSkin {
    SkinState state{};
    SkinResult result;
    explicit LoadedSkin(const std::string& bytes)
    {
        MemorySkinSource memory{&bytes, 0};
        SkinSource source = SourceOf(memory);
        result = ReadSkinFile(state, source);
    }
    ~LoadedSkin() { ReleaseSkinImages(state); }
    LoadedSkin(const LoadedSkin&) = delete;
    LoadedSkin& operator=(const LoadedSkin&) = delete;
};

void LayerWarnings(const SkinState& skin, int layer, bool& noPalette, std::vector<std::string>& warnings)
{
    const std::string name = kLayerNames[layer];
    const SkinImage& image = skin.images[layer];
    auto draw = std::make_unique<KeypadImageDraw>();
    const ImageDrawStatus status = PrepareKeypadImage(image, *draw);
    if (image.header == nullptr) {
        warnings.push_back(name + ": no image: nothing is drawn " +
                           (layer == 0 ? "while no direction key is pressed" : "in this layer"));
        return;
    }
    BitmapHeader h;
    ReadBitmapHeader(image.header, image.headerSize, h);
    if (status == kImageNoPalette) {
        warnings.push_back(name + ": " + std::to_string(h.bitCount) +
                           " bits per pixel and no colour table the program can make a palette of: nothing is drawn");
        noPalette = true;
        return;
    }
    if (status == kImageBadFormat) {
        warnings.push_back(name + ": the graphics system cannot draw " + std::to_string(h.bitCount) +
                           " bits per pixel with compression " + std::to_string(h.compression) + " and " +
                           std::to_string(h.planes) + " planes: nothing is drawn, the display reads "
                           "\"Неверный формат скина\"");
        return;
    }
    if (h.width != kScreenWidth)
        warnings.push_back(name + ": width " + std::to_string(h.width) + ", not 176: " +
                           (h.width > kScreenWidth ? "its columns from 176 on are not shown"
                                                   : "the screen right of it is not drawn"));
    if (h.height > kMaxImageRows)
        warnings.push_back(name + ": height " + std::to_string(h.height) + ": only its bottom " +
                           std::to_string(kMaxImageRows) + " rows are shown");
}

// --- Drawing the preview

uint32_t Rgb(uint8_t red, uint8_t green, uint8_t blue) { return uint32_t{red} << 16 | uint32_t{green} << 8 | blue; }

// A colour reference 0x00BBGGRR as 0x00RRGGBB.
uint32_t RgbOfColourRef(uint32_t colour) { return Rgb(colour & 0xFF, colour >> 8 & 0xFF, colour >> 16 & 0xFF); }

// One channel of a pixel value under a bit-field mask, widened to 8 bits by
// repeating its bits (5-bit 31 gives 255).
uint32_t Channel(uint32_t value, uint32_t mask)
{
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask);
    const int bits = std::bit_width(mask >> shift);
    const uint32_t field = (value & mask) >> shift;
    if (bits >= 8) return field >> (bits - 8);
    uint32_t wide = 0;
    int filled = 0;
    for (; filled < 8; filled += bits) wide = wide << bits | field;
    return wide >> (filled - 8) & 0xFF;
}

// Reads pixels out of a prepared image as the graphics system would.
struct DibReader {
    const ImageDib* dib;
    BitmapHeader header;
    uint64_t stride;
    size_t table;       // offset of the colour table in dib.info
    uint32_t masks[3];  // red, green, blue above 8 bits
};

DibReader ReaderOf(const ImageDib& dib)
{
    DibReader r{&dib, {}, 0, 0, {}};
    ReadBitmapHeader(dib.info, dib.infoSize, r.header);
    r.stride = DibRowStride(r.header.width, r.header.bitCount);
    r.table = ColourTableOffset(r.header);
    const bool bitfields = r.header.compression == kCompressionBitfields;
    const uint32_t rgb16[3] = {0x7C00, 0x03E0, 0x001F};
    const uint32_t rgb32[3] = {0xFF0000, 0x00FF00, 0x0000FF};
    for (int c = 0; c < 3; ++c)
        r.masks[c] = bitfields ? Le32(dib.info + kBitmapInfoHeaderSize + 4 * c)
                               : (r.header.bitCount == 16 ? rgb16[c] : rgb32[c]);
    return r;
}

// Pixel x of row `row` (0: the bottom one) as 0x00RRGGBB.
uint32_t PixelAt(const DibReader& r, int row, int x)
{
    const uint8_t* line = r.dib->bits + static_cast<uint64_t>(row) * r.stride;
    const unsigned bits = r.header.bitCount;
    const size_t ux = static_cast<size_t>(x);
    if (bits <= 8) {
        const size_t bit = ux * bits;
        const unsigned index = (line[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
        const size_t at = r.table + 4 * size_t{index};
        if (at + 4 > r.dib->infoSize) return 0;
        const uint8_t* quad = r.dib->info + at;  // blue, green, red, reserved
        return Rgb(quad[2], quad[1], quad[0]);
    }
    if (bits == 24) return Rgb(line[3 * ux + 2], line[3 * ux + 1], line[3 * ux]);
    const uint32_t value = bits == 16 ? Le16(line + 2 * ux) : Le32(line + 4 * ux);
    return Rgb(static_cast<uint8_t>(Channel(value, r.masks[0])), static_cast<uint8_t>(Channel(value, r.masks[1])),
               static_cast<uint8_t>(Channel(value, r.masks[2])));
}

void DrawScreen(const SkinState& skin, int layer, PreviewImage& preview)
{
    const int zoom = preview.zoom, screenWidth = kScreenWidth * zoom, screenHeight = kPreviewScreenHeight * zoom;
    const int left = layer * screenWidth;
    const uint32_t back = RgbOfColourRef(skin.backColor);
    for (int y = 0; y < screenHeight; ++y)
        for (int x = 0; x < screenWidth; ++x) PutPreviewPixel(preview, left + x, y, back);

    int displayRows = screenHeight;
    auto draw = std::make_unique<KeypadImageDraw>();
    // As the program: the sharpest image for the zoom, else the layer's own.
    int scale = SharpImageScale(skin, layer, zoom);
    ImageDrawStatus status = PrepareKeypadImage(ImageAtScale(skin, layer, scale), *draw, scale);
    if (scale > 1 && status != kImageReady) {
        scale = 1;
        status = PrepareKeypadImage(skin.images[layer], *draw);
    }
    if (status == kImageReady) {
        const int factor = zoom / scale;
        const DibReader reader = ReaderOf(draw->dib);
        const int rows = std::min(draw->dib.height, kMaxImageRows * scale);
        for (int row = 0; row < rows; ++row)
            for (int x = 0; x < draw->dib.drawWidth; ++x) {
                const uint32_t pixel = PixelAt(reader, row, x);
                for (int j = 0; j < factor; ++j)
                    for (int i = 0; i < factor; ++i)
                        PutPreviewPixel(preview, left + x * factor + i, screenHeight - 1 - row * factor - j, pixel);
            }
        displayRows -= rows * factor;
    }
    preview.displayRows[layer] = displayRows;
}

void SharpWarnings(const SkinState& skin, std::vector<std::string>& warnings)
{
    if (skin.sharpImagesFault != nullptr)
        warnings.push_back(std::string("sharper images: ") + skin.sharpImagesFault +
                           ": the program leaves them all out, shows the x1 images and says so as the skin loads");
    auto draw = std::make_unique<KeypadImageDraw>();
    for (int scale = 2; scale <= kLargestImageScale; ++scale)
        for (int layer = 0; layer < kSkinLayerCount; ++layer) {
            const SkinImage& image = skin.sharpImages[scale - 2][layer];
            if (image.header != nullptr && PrepareKeypadImage(image, *draw, scale) != kImageReady)
                warnings.push_back(LayerFileName(layer, scale) +
                                   ": cannot be drawn as it is: the program draws the x1 image instead");
        }
}

}  // namespace

SkinCheck CheckSkin(const std::string& bytes)
{
    SkinCheck check{};
    LoadedSkin skin(bytes);
    check.result = skin.result;
    if (skin.result != kSkinLoaded) {
        SkinLoads(bytes, check.refusal);
        return check;
    }
    bool noPalette = false;
    for (int layer = 0; layer < kSkinLayerCount; ++layer) LayerWarnings(skin.state, layer, noPalette, check.warnings);
    if (noPalette)
        check.warnings.push_back("the program says \"Не могу создать палитру\" once, as the skin loads");
    SharpWarnings(skin.state, check.warnings);
    for (int i = 0; i < kKeyMapSize; ++i) {
        const int action = skin.state.keyMap[i];
        if (action >= kActionCount)
            check.warnings.push_back(std::string(kLayerNames[1 + i / 12]) + " key " + kKeyNames[i % 12] + ": action " +
                                     std::to_string(action) + " does nothing (actions are 0-74)");
    }
    return check;
}

std::string CheckReport(const SkinCheck& check)
{
    static const char* const kVerdicts[] = {
        "loads",
        "falls back to the built-in skin: \"Загрузка скина\"",
        "falls back to the built-in skin: \"Недостаточно памяти\"",
    };
    const int verdict = check.result >= kSkinLoaded && check.result <= kSkinOutOfMemory ? check.result : kSkinReadFailed;
    std::string out = std::string(kVerdicts[verdict]) + "\n";
    if (check.result != kSkinLoaded) {
        const SkinRefusal& why = check.refusal;
        out += "why: " + (why.layer >= 0 ? std::string(kLayerNames[why.layer]) + ": " : std::string()) + why.reason + "\n";
    }
    for (const std::string& warning : check.warnings) out += warning + "\n";
    return out;
}

int CheckStatus(const SkinCheck& check)
{
    if (check.result != kSkinLoaded) return 2;
    return check.warnings.empty() ? 0 : 1;
}

int PreviewWidth(const PreviewImage& preview) { return kPreviewWidth * preview.zoom; }
int PreviewHeight(const PreviewImage& preview) { return kPreviewScreenHeight * preview.zoom; }

void PutPreviewPixel(PreviewImage& preview, int x, int y, uint32_t rgb)
{
    const int width = PreviewWidth(preview), height = PreviewHeight(preview);
    if (x < 0 || x >= width || y < 0 || y >= height) return;
    if (preview.rgb.size() < static_cast<size_t>(width) * static_cast<size_t>(height) * 3) return;  // not rendered
    uint8_t* p = preview.rgb.data() + (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3;
    p[0] = static_cast<uint8_t>(rgb >> 16);
    p[1] = static_cast<uint8_t>(rgb >> 8);
    p[2] = static_cast<uint8_t>(rgb);
}

bool RenderPreviewScreens(const std::string& bytes, PreviewImage& preview, SkinRefusal& refusal)
{
    LoadedSkin skin(bytes);
    if (skin.result != kSkinLoaded) {
        SkinLoads(bytes, refusal);
        return false;
    }
    preview.zoom = std::clamp(preview.zoom, 1, kLargestImageScale);
    preview.rgb.assign(static_cast<size_t>(PreviewWidth(preview)) * static_cast<size_t>(PreviewHeight(preview)) * 3, 0);
    for (int layer = 0; layer < kSkinLayerCount; ++layer) DrawScreen(skin.state, layer, preview);
    preview.textRgb = RgbOfColourRef(skin.state.textColor);
    return true;
}
