// Skin files built and taken apart: the refusal reasons, pack and unpack, and
// the bitmap files made from decoded pixels.
#include "tools/skin/skin_pack.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "core/skin/palette.h"
#include "core/text/little_endian.h"

const char* const kLayerNames[kSkinLayerCount] = {"base", "left", "up", "right", "down"};

namespace {

constexpr size_t kSkinHeadSize = kKeyMapSize + 8;  // key map and two colours

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

// mingw-w64 prints through its own C99 printf (__USE_MINGW_ANSI_STDIO), whose
// formats the compiler knows as gnu_printf.
#ifdef __MINGW32__
#define VELA_PRINTF_FORMAT gnu_printf
#else
#define VELA_PRINTF_FORMAT printf
#endif

[[gnu::format(VELA_PRINTF_FORMAT, 1, 2)]] std::string Printed(const char* format, ...)
{
    char text[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

void AppendLe16(std::string& out, uint32_t value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8 & 0xFF);
}

void AppendLe32(std::string& out, uint32_t value)
{
    AppendLe16(out, value & 0xFFFF);
    AppendLe16(out, value >> 16);
}

constexpr char kPngSignature[] = "\x89PNG\r\n\x1A\n";

// What is wrong with a bitmap file that the program's reader refused, in the
// order the reader looks; empty when none of these is the reason.
std::string BitmapProblem(const uint8_t* file, size_t size)
{
    const size_t least = kBitmapFileHeaderSize + kBitmapInfoHeaderSize;
    if (size >= 8 && std::memcmp(file, kPngSignature, 8) == 0) return "a PNG file: it is converted when its name ends in .png";
    if (size < 2 || file[0] != 'B' || file[1] != 'M') return "not a bitmap file (BMP) nor a PNG file";
    if (size < least) return Printed("%zu bytes: too short for a bitmap file (54 at least)", size);
    const uint32_t offset = Le32(file + 10);
    if (offset < least || offset > size)
        return Printed("pixel data offset %u lies outside the file (54 to %zu)", offset, size);
    const uint8_t* block = file + kBitmapFileHeaderSize;
    const size_t blockSize = offset - kBitmapFileHeaderSize;
    BitmapHeader h;
    ReadBitmapHeader(block, blockSize, h);
    if (!HeaderFitsBlock(h, blockSize))
        return h.size < kBitmapInfoHeaderSize
                   ? Printed("information header of %u bytes (40 at least)", h.size)
                   : Printed("information header of %u bytes, with its masks, does not end before the pixel data", h.size);
    if (h.width <= 0) return Printed("width %d", h.width);
    if (h.height == 0) return "height 0";
    if (h.bitCount == 0 || h.bitCount > 32) return Printed("%u bits per pixel", h.bitCount);
    const uint32_t colours = DeclaredColourCount(h);
    if (colours > AllowedColourCount(h.bitCount))
        return Printed("%u colours for %u bits per pixel (%u at most)", colours, h.bitCount,
                       AllowedColourCount(h.bitCount));
    if (ColourTableOffset(h) + 4 * uint64_t{colours} > blockSize)
        return Printed("its colour table of %u entries does not end before the pixel data", colours);
    const uint64_t rows = h.height < 0 ? 0 - static_cast<uint64_t>(static_cast<int64_t>(h.height)) : h.height;
    const uint64_t stride = DibRowStride(h.width, h.bitCount);
    if (rows > UINT64_MAX / stride || stride * rows > size - offset)
        return Printed("%zu bytes of pixel data where %d x %llu pixels of %u bits need more", size - offset, h.width,
                       static_cast<unsigned long long>(rows), h.bitCount);
    return "";
}

// The reader stopped at byte `stoppedAt` of the file: the record it was in,
// and why it refused it.
SkinRefusal Explain(const std::string& skin, SkinResult result, size_t stoppedAt)
{
    if (skin.size() < kSkinHeadSize)
        return {-1, Printed("%zu bytes: shorter than the %zu bytes of key map and colours", skin.size(), kSkinHeadSize)};
    size_t at = kSkinHeadSize;
    for (int layer = 0; layer < kSkinLayerCount; ++layer) {
        if (skin.size() - at < 4) return {layer, "the file ends before this layer's image record"};
        const uint32_t length = Le32(Bytes(skin) + at);
        const size_t start = at + 4;
        if (length > skin.size() - start)
            return {layer, Printed("an image record of %u bytes, but only %zu bytes follow", length, skin.size() - start)};
        at = start + length;
        const std::string problem = length == 0 ? std::string() : BitmapProblem(Bytes(skin) + start, length);
        // The reader may refuse a record after reading it to its last byte
        // (an image without pixel data): a stop at the record's end is this
        // record's fault only if something is wrong with it.
        const bool readWhole = stoppedAt > at || (stoppedAt == at && problem.empty());
        if (layer + 1 < kSkinLayerCount && readWhole) continue;
        if (result == kSkinOutOfMemory) return {layer, "not enough memory for its image"};
        return {layer, problem.empty() ? "the program's skin reader refuses this image" : problem};
    }
    return {-1, result == kSkinOutOfMemory ? "not enough memory" : "the program's skin reader refuses it"};
}

// `over` (0..255 each) with coverage alpha/255 on `under`.
uint32_t Blend(const uint8_t* rgba, uint32_t backColor)
{
    const uint32_t alpha = rgba[3];
    uint32_t rgb = 0;
    for (int channel = 0; channel < 3; ++channel) {
        const uint32_t under = backColor >> (8 * channel) & 0xFF;  // 0x00BBGGRR: red first
        const uint32_t mixed = (rgba[channel] * alpha + under * (255 - alpha) + 127) / 255;
        rgb |= mixed << (16 - 8 * channel);                       // 0x00RRGGBB
    }
    return rgb;
}

}  // namespace

SkinSource SourceOf(MemorySkinSource& memory)
{
    auto read = [](void* context, uint8_t* dest, size_t count) {
        MemorySkinSource& m = *static_cast<MemorySkinSource*>(context);
        const size_t n = std::min(count, m.bytes->size() - m.at);
        std::memcpy(dest, m.bytes->data() + m.at, n);
        m.at += n;
        return n;
    };
    return SkinSource{read, &memory, memory.bytes->size(), 0};
}

bool SkinLoads(const std::string& skin, SkinRefusal& refusal)
{
    MemorySkinSource memory{&skin, 0};
    SkinSource source = SourceOf(memory);
    SkinState state{};
    const SkinResult result = ReadSkinFile(state, source);
    ReleaseSkinImages(state);
    if (result == kSkinLoaded) return true;
    refusal = Explain(skin, result, memory.at);
    return false;
}

std::string BitmapFromRgba(const uint8_t* rgba, int width, int height, uint32_t backColor)
{
    // The file's size and the pixel data's are 32-bit fields: judged before
    // anything is allocated, as if 24 bits a pixel and a full colour table.
    const uint64_t largestHead = kBitmapFileHeaderSize + kBitmapInfoHeaderSize + 4 * 256;
    if (width <= 0 || height <= 0 || DibRowStride(width, 24) * static_cast<uint64_t>(height) > UINT32_MAX - largestHead)
        return "";
    const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
    std::vector<uint32_t> image(pixels);  // 0x00RRGGBB, top row first
    for (size_t i = 0; i < pixels; ++i) image[i] = Blend(rgba + 4 * i, backColor);

    std::vector<uint32_t> colours = image;
    std::sort(colours.begin(), colours.end());
    colours.erase(std::unique(colours.begin(), colours.end()), colours.end());
    const bool indexed = colours.size() <= 256;
    const uint32_t bits = indexed ? 8 : 24;
    const uint32_t entries = indexed ? static_cast<uint32_t>(colours.size()) : 0;
    const uint32_t stride = static_cast<uint32_t>(DibRowStride(width, static_cast<uint16_t>(bits)));
    const uint32_t offset = static_cast<uint32_t>(kBitmapFileHeaderSize + kBitmapInfoHeaderSize) + 4 * entries;

    std::string out = "BM";
    AppendLe32(out, offset + stride * static_cast<uint32_t>(height));
    AppendLe32(out, 0);  // two reserved fields
    AppendLe32(out, offset);
    AppendLe32(out, kBitmapInfoHeaderSize);
    AppendLe32(out, static_cast<uint32_t>(width));
    AppendLe32(out, static_cast<uint32_t>(height));  // positive: bottom-up rows
    AppendLe16(out, 1);                               // planes
    AppendLe16(out, bits);
    AppendLe32(out, kCompressionRgb);
    AppendLe32(out, stride * static_cast<uint32_t>(height));
    AppendLe32(out, 2835);  // 72 dots per inch, in dots per metre
    AppendLe32(out, 2835);
    AppendLe32(out, entries);
    AppendLe32(out, 0);
    for (uint32_t i = 0; i < entries; ++i) AppendLe32(out, colours[i]);  // blue, green, red, 0
    for (int y = height - 1; y >= 0; --y) {
        const size_t rowStart = out.size();
        for (int x = 0; x < width; ++x) {
            const uint32_t rgb = image[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
            if (indexed) {
                out += static_cast<char>(std::lower_bound(colours.begin(), colours.end(), rgb) - colours.begin());
            } else {
                out += static_cast<char>(rgb & 0xFF);
                out += static_cast<char>(rgb >> 8 & 0xFF);
                out += static_cast<char>(rgb >> 16 & 0xFF);
            }
        }
        out.append(stride - (out.size() - rowStart), '\0');
    }
    return out;
}

namespace {

// Width and height a bitmap file claims, absolute; false for no bitmap file.
bool BitmapSize(const std::string& file, int64_t& width, int64_t& height)
{
    if (file.size() < kBitmapFileHeaderSize + kBitmapInfoHeaderSize) return false;
    width = static_cast<int32_t>(Le32(Bytes(file) + 18));
    const int64_t rows = static_cast<int32_t>(Le32(Bytes(file) + 22));
    height = rows < 0 ? -rows : rows;
    return true;
}

// Why a set of sharper images does not go with the layers' images, naming
// the file; "" when it does.
std::string SharpSetMisfit(const PackImage (&images)[kSkinLayerCount], const PackSharpSet& set)
{
    if (set.scale < 2 || set.scale > kLargestImageScale) return Printed("scale %d: 2, 3 or 4 is needed", set.scale);
    for (int layer = 0; layer < kSkinLayerCount; ++layer) {
        const PackImage& sharp = set.images[layer];
        const PackImage& plain = images[layer];
        if (sharp.fileName.empty() != plain.fileName.empty())
            return (sharp.fileName.empty() ? plain.fileName : sharp.fileName) +
                   Printed(": %s has an image at one size and none at the other (x1 and x%d)", kLayerNames[layer],
                           set.scale);
        int64_t width = 0, height = 0, sharpWidth = 0, sharpHeight = 0;
        if (sharp.fileName.empty() || !BitmapSize(plain.bytes, width, height) ||
            !BitmapSize(sharp.bytes, sharpWidth, sharpHeight))
            continue;  // the reader names what is wrong with the file itself
        if (sharpWidth != width * set.scale || sharpHeight != height * set.scale)
            return sharp.fileName + Printed(": %lld x %lld pixels, where %d times the %s image is %lld x %lld",
                                            static_cast<long long>(sharpWidth), static_cast<long long>(sharpHeight),
                                            set.scale, kLayerNames[layer], static_cast<long long>(width * set.scale),
                                            static_cast<long long>(height * set.scale));
    }
    return "";
}

bool AppendRecord(std::string& out, const PackImage& image, std::string& error)
{
    if (image.fileName.empty()) {
        AppendLe32(out, 0);
        return true;
    }
    if (image.bytes.empty() || image.bytes.size() > UINT32_MAX) {
        error = image.fileName + (image.bytes.empty() ? ": an empty file" : ": too large for a skin's image record");
        return false;
    }
    AppendLe32(out, static_cast<uint32_t>(image.bytes.size()));
    out += image.bytes;
    return true;
}

// Loads the skin: the reason its sharper images are left out, or null.
const char* SharpImagesFaultOf(const std::string& skin)
{
    MemorySkinSource memory{&skin, 0};
    SkinSource source = SourceOf(memory);
    SkinState state{};
    ReadSkinFile(state, source);
    const char* fault = state.sharpImagesFault;
    ReleaseSkinImages(state);
    return fault;
}

}  // namespace

std::string LayerFileName(int layer, int scale)
{
    std::string name = kLayerNames[layer];
    if (scale > 1) {
        name += '@';
        name += std::to_string(scale);
        name += 'x';
    }
    name += ".bmp";
    return name;
}

bool PackSkinBitmaps(const KeyMapText& keys, const PackImage (&images)[kSkinLayerCount], std::string& skin,
                     std::string& error, const std::vector<PackSharpSet>& sharp)
{
    std::string out(reinterpret_cast<const char*>(keys.keyMap), kKeyMapSize);
    AppendLe32(out, keys.backColor);
    AppendLe32(out, keys.textColor);
    for (const PackImage& image : images)
        if (!AppendRecord(out, image, error)) return false;
    SkinRefusal refusal;
    if (!SkinLoads(out, refusal)) {
        const std::string where = refusal.layer >= 0 ? images[refusal.layer].fileName : "the skin";
        error = where + ": " + refusal.reason + "; the program would not load the skin";
        return false;
    }
    if (!sharp.empty()) {
        out.append(kSharpImagesTag, sizeof kSharpImagesTag);
        AppendLe32(out, static_cast<uint32_t>(sharp.size()));
        for (const PackSharpSet& set : sharp) {
            const std::string misfit = SharpSetMisfit(images, set);
            if (!misfit.empty()) {
                error = misfit;
                return false;
            }
            AppendLe32(out, static_cast<uint32_t>(set.scale));
            for (const PackImage& image : set.images)
                if (!AppendRecord(out, image, error)) return false;
        }
        if (const char* fault = SharpImagesFaultOf(out)) {
            error = std::string("the sharper images: ") + fault + "; the program would leave them out";
            return false;
        }
    }
    skin = std::move(out);
    return true;
}

bool UnpackSkin(const std::string& skin, UnpackedSkin& out, SkinRefusal& refusal)
{
    if (!SkinLoads(skin, refusal)) return false;
    UnpackedSkin unpacked{};
    std::memcpy(unpacked.keys.keyMap, skin.data(), kKeyMapSize);
    unpacked.keys.backColor = Le32(Bytes(skin) + kKeyMapSize);
    unpacked.keys.textColor = Le32(Bytes(skin) + kKeyMapSize + 4);
    unpacked.keys.hasBackColor = true;
    unpacked.keys.hasTextColor = true;
    // The reader took every record whole, so each lies inside the file.
    size_t at = kSkinHeadSize;
    for (std::string& image : unpacked.images) {
        const uint32_t length = Le32(Bytes(skin) + at);
        image.assign(skin, at + 4, length);
        at += 4 + size_t{length};
    }
    // The sharper images, when the reader takes them: then every record of
    // theirs lies inside the file too.
    if (SharpImagesFaultOf(skin) == nullptr && skin.size() - at >= 8 &&
        std::memcmp(skin.data() + at, kSharpImagesTag, sizeof kSharpImagesTag) == 0) {
        const uint32_t sets = Le32(Bytes(skin) + at + 4);
        at += 8;
        for (uint32_t i = 0; i < sets; ++i) {
            const int scale = static_cast<int>(Le32(Bytes(skin) + at));
            at += 4;
            unpacked.sharpScales.push_back(scale);
            for (std::string& image : unpacked.sharpImages[scale - 2]) {
                const uint32_t length = Le32(Bytes(skin) + at);
                image.assign(skin, at + 4, length);
                at += 4 + size_t{length};
            }
        }
    }
    out = std::move(unpacked);
    return true;
}

std::string UnpackedKeysText(const UnpackedSkin& unpacked)
{
    std::string command = "vela-skin pack -o NAME.skin --keys keys.txt";
    for (int layer = 0; layer < kSkinLayerCount; ++layer) {
        command += ' ';
        command += unpacked.images[layer].empty() ? std::string("-") : LayerFileName(layer, 1);
    }
    for (int scale : unpacked.sharpScales) {
        command += " --scale ";
        command += std::to_string(scale);
        for (int layer = 0; layer < kSkinLayerCount; ++layer) {
            command += ' ';
            command += unpacked.images[layer].empty() ? std::string("-") : LayerFileName(layer, scale);
        }
    }
    return WriteKeyMapText(unpacked.keys) + "\n# Unpacked from a skin file; in this folder\n#   " + command +
           "\n# packs it again.\n";
}
