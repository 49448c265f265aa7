// PNG files made into the bitmap files a skin stores, before the core packs
// them.
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "stb_image.h"

#include "tools/skin/skin_tool.h"

namespace {

constexpr int kLargestSide = 2048;  // the screen is 176 wide (704 at zoom 4): anything larger is a mistake

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

uint32_t Little(const std::string& s, size_t at, int bytes)
{
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | static_cast<uint8_t>(s[at + static_cast<size_t>(i)]);
    return value;
}

uint32_t Big32(const std::string& s, size_t at)
{
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<uint8_t>(s[at + i]);
    return value;
}

bool TooLarge(int64_t width, int64_t height, std::string& error)
{
    if (width <= kLargestSide && height <= kLargestSide) return false;
    const std::string largest = std::to_string(kLargestSide);
    error = std::to_string(width) + " x " + std::to_string(height) + " pixels: larger than " + largest + " x " + largest +
            ", the largest image vela-skin takes";
    return true;
}

// The size a PNG file's header claims, read before the decoder, which calls
// images too large for its memory "unknown".
bool PngHeaderSize(const std::string& png, int64_t& width, int64_t& height)
{
    if (png.size() < 24 || png.compare(0, 8, "\x89PNG\r\n\x1A\n", 8) != 0 || png.compare(12, 4, "IHDR") != 0) return false;
    width = Big32(png, 16);
    height = Big32(png, 20);
    return true;
}

// Run-length encoded pixels (8 or 4 bits a pixel) as red, green, blue,
// alpha, top row first. Pixels the runs skip take colour 0; a run past the
// row's or the image's end stops there.
bool DecodeRle(const std::string& bmp, std::vector<uint8_t>& rgba, int& width, int& height, std::string& error)
{
    const uint32_t headerSize = Little(bmp, 14, 4);
    const int64_t w = static_cast<int32_t>(Little(bmp, 18, 4)), h = static_cast<int32_t>(Little(bmp, 22, 4));
    const int bits = static_cast<int>(Little(bmp, 28, 2));
    if (w <= 0 || h <= 0 || (bits != 8 && bits != 4)) {
        error = "a run-length encoded bitmap needs a positive size and 8 or 4 bits a pixel";
        return false;
    }
    if (TooLarge(w, h, error)) return false;
    const uint32_t used = Little(bmp, 46, 4) & 0xFFFF;
    const uint32_t colours = used != 0 && used < (1u << bits) ? used : 1u << bits;
    const size_t table = 14 + static_cast<size_t>(headerSize), offset = Little(bmp, 10, 4);
    if (headerSize < 40 || headerSize > bmp.size() || table + 4 * colours > bmp.size() || offset > bmp.size()) {
        error = "the colour table or the pixels lie outside the file";
        return false;
    }
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    rgba.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 4, 0);
    auto put = [&](int x, int row, uint32_t index) {
        if (x >= width || row >= height) return;
        if (index >= colours) index = 0;
        uint8_t* p = &rgba[(static_cast<size_t>(height - 1 - row) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 4];
        const size_t entry = table + 4 * static_cast<size_t>(index);
        p[0] = static_cast<uint8_t>(bmp[entry + 2]);
        p[1] = static_cast<uint8_t>(bmp[entry + 1]);
        p[2] = static_cast<uint8_t>(bmp[entry]);
        p[3] = 255;
    };
    for (int x = 0; x < width; ++x)
        for (int row = 0; row < height; ++row) put(x, row, 0);
    size_t at = offset;
    int x = 0, row = 0;
    auto byte = [&]() -> int { return at < bmp.size() ? static_cast<uint8_t>(bmp[at++]) : -1; };
    while (row < height) {
        const int count = byte(), value = byte();
        if (count < 0 || value < 0) break;  // the data ends early: the rest stays colour 0
        if (count > 0) {
            for (int i = 0; i < count; ++i, ++x)
                put(x, row, bits == 8 ? static_cast<uint32_t>(value) : static_cast<uint32_t>(i % 2 == 0 ? value >> 4 : value & 15));
        } else if (value == 0) {
            x = 0;
            ++row;
        } else if (value == 1) {
            break;
        } else if (value == 2) {
            const int dx = byte(), dy = byte();
            if (dx < 0 || dy < 0) break;
            x += dx;
            row += dy;
        } else {
            const int stored = bits == 8 ? value : (value + 1) / 2;
            int data = 0;
            for (int i = 0; i < value; ++i, ++x) {
                if (bits == 8 || i % 2 == 0) data = byte();
                if (data < 0) break;
                put(x, row, bits == 8 ? static_cast<uint32_t>(data) : static_cast<uint32_t>(i % 2 == 0 ? data >> 4 : data & 15));
            }
            if (stored % 2 == 1) byte();  // absolute runs end on a 16-bit boundary
        }
        if (x > width + 255) x = width + 255;  // a column past the row draws nothing, however far
    }
    return true;
}

}  // namespace

bool BitmapNeedsConverting(const std::string& bmp)
{
    if (bmp.size() < 54 || bmp[0] != 'B' || bmp[1] != 'M' || Little(bmp, 14, 4) < 40) return false;
    const uint32_t bits = Little(bmp, 28, 2), compression = Little(bmp, 30, 4);
    return compression == 1 || compression == 2 || bits == 16 || bits == 32;
}

namespace {

// PNG files are known by their name, so that any bitmap file the program
// loads, whatever its first bytes, is stored as it is.
bool NamedPng(const std::string& fileName)
{
    if (fileName.size() < 4) return false;
    std::string extension = fileName.substr(fileName.size() - 4);
    for (char& c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return extension == ".png";
}

}  // namespace

bool BitmapFromPng(const std::string& png, uint32_t backColor, std::string& bmp, std::string& error)
{
    int width = 0, height = 0, channels = 0;
    if (png.size() > INT_MAX) {
        error = "too large for a PNG file";
        return false;
    }
    const int size = static_cast<int>(png.size());
    int64_t claimedWidth = 0, claimedHeight = 0;
    if (PngHeaderSize(png, claimedWidth, claimedHeight) && TooLarge(claimedWidth, claimedHeight, error)) return false;
    if (!stbi_info_from_memory(Bytes(png), size, &width, &height, &channels)) {
        error = std::string("not a PNG file that can be read: ") + stbi_failure_reason();
        return false;
    }
    if (TooLarge(width, height, error)) return false;
    uint8_t* rgba = stbi_load_from_memory(Bytes(png), size, &width, &height, &channels, 4);
    if (rgba == nullptr) {
        error = std::string("cannot decode the PNG file: ") + stbi_failure_reason();
        return false;
    }
    std::string converted = BitmapFromRgba(rgba, width, height, backColor);
    stbi_image_free(rgba);
    if (converted.empty()) {  // the side limit above keeps every image within a record
        error = "cannot be made a bitmap file";
        return false;
    }
    bmp = std::move(converted);
    return true;
}

bool BitmapFromEditorBmp(const std::string& bmp, uint32_t backColor, std::string& converted, std::string& error)
{
    const uint32_t compression = Little(bmp, 30, 4);
    if (compression == 1 || compression == 2) {
        std::vector<uint8_t> rgba;
        int width = 0, height = 0;
        if (!DecodeRle(bmp, rgba, width, height, error)) return false;
        converted = BitmapFromRgba(rgba.data(), width, height, backColor);
        return !converted.empty() || (error = "cannot be made a bitmap file", false);
    }
    if (bmp.size() > INT_MAX) {
        error = "too large for a bitmap file";
        return false;
    }
    int width = 0, height = 0, channels = 0;
    const int size = static_cast<int>(bmp.size());
    if (!stbi_info_from_memory(Bytes(bmp), size, &width, &height, &channels)) {
        error = std::string("not a bitmap file that can be read: ") + stbi_failure_reason();
        return false;
    }
    if (TooLarge(width, height, error)) return false;
    uint8_t* rgba = stbi_load_from_memory(Bytes(bmp), size, &width, &height, &channels, 4);
    if (rgba == nullptr) {
        error = std::string("cannot decode the bitmap file: ") + stbi_failure_reason();
        return false;
    }
    converted = BitmapFromRgba(rgba, width, height, backColor);
    stbi_image_free(rgba);
    return !converted.empty() || (error = "cannot be made a bitmap file", false);
}

namespace {

// A layer's image as the skin stores it: PNG files and editors' bitmaps
// converted. False with why, naming the file.
bool StoredImage(const PackImage& image, uint32_t backColor, PackImage& stored, std::string& error)
{
    stored.fileName = image.fileName;
    bool converted = true;
    if (image.fileName.empty()) {
        stored.bytes = image.bytes;
    } else if (NamedPng(image.fileName)) {
        converted = BitmapFromPng(image.bytes, backColor, stored.bytes, error);
    } else if (BitmapNeedsConverting(image.bytes)) {
        converted = BitmapFromEditorBmp(image.bytes, backColor, stored.bytes, error);
    } else {
        stored.bytes = image.bytes;
    }
    if (!converted) error = image.fileName + ": " + error;
    return converted;
}

}  // namespace

bool PackSkin(const KeyMapText& keys, const PackImage (&images)[kSkinLayerCount], std::string& skin,
              std::string& error, const std::vector<PackSharpSet>& sharp)
{
    PackImage bitmaps[kSkinLayerCount];
    for (int layer = 0; layer < kSkinLayerCount; ++layer)
        if (!StoredImage(images[layer], keys.backColor, bitmaps[layer], error)) return false;
    std::vector<PackSharpSet> sharpBitmaps(sharp.size());
    for (size_t set = 0; set < sharp.size(); ++set) {
        sharpBitmaps[set].scale = sharp[set].scale;
        for (int layer = 0; layer < kSkinLayerCount; ++layer)
            if (!StoredImage(sharp[set].images[layer], keys.backColor, sharpBitmaps[set].images[layer], error))
                return false;
    }
    return PackSkinBitmaps(keys, bitmaps, skin, error, sharpBitmaps);
}
