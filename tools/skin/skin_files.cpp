// PNG files made into the bitmap files a skin stores, before the core packs
// them.
#include <climits>
#include <string>

#include "stb_image.h"

#include "tools/skin/skin_tool.h"

namespace {

constexpr int kLargestPngSide = 2048;  // the screen is 176 wide: anything larger is a mistake

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

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
    if (!stbi_info_from_memory(Bytes(png), size, &width, &height, &channels)) {
        error = std::string("not a PNG file that can be read: ") + stbi_failure_reason();
        return false;
    }
    if (width > kLargestPngSide || height > kLargestPngSide) {
        const std::string largest = std::to_string(kLargestPngSide);
        error = std::to_string(width) + " x " + std::to_string(height) + " pixels: larger than " + largest + " x " +
                largest;
        return false;
    }
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

bool PackSkin(const KeyMapText& keys, const PackImage (&images)[kSkinLayerCount], std::string& skin,
              std::string& error)
{
    PackImage bitmaps[kSkinLayerCount];
    for (int layer = 0; layer < kSkinLayerCount; ++layer) {
        const PackImage& image = images[layer];
        bitmaps[layer].fileName = image.fileName;
        if (image.fileName.empty() || !NamedPng(image.fileName)) {
            bitmaps[layer].bytes = image.bytes;
        } else if (!BitmapFromPng(image.bytes, keys.backColor, bitmaps[layer].bytes, error)) {
            error = image.fileName + ": " + error;
            return false;
        }
    }
    return PackSkinBitmaps(keys, bitmaps, skin, error);
}
