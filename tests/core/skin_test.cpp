// Skin files as bytes: what the reader keeps of them and how each layer's
// image is then drawn (palette, drawing description), or why not.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/skin/palette.h"
#include "core/skin/skin.h"
#include "core/text/little_endian.h"
#include "tests/core/support.h"

namespace {

void Put32(std::string& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i) out += static_cast<char>(v >> (8 * i));
}

// A bitmap file as a skin record carries it: by default a 4 x 2, 8-bit
// image with a full table. Table entry i is blue i, green 2i, red 3i.
struct Bmp {
    int32_t width = 4;
    int32_t height = 2;
    uint16_t bits = 8;
    uint32_t compression = 0;
    uint32_t used = 0;
    uint32_t infoSize = 40;
    uint16_t planes = 1;
    int table = -1;          // entries stored; -1: as declared
    int masks = -1;          // -1: three with BI_BITFIELDS
    int pixelBytes = -1;     // -1: stride x rows
    int64_t offset = -1;     // -1: right after the table
};

std::string BitmapFile(const Bmp& b)
{
    const uint32_t declared = (b.used & 0xFFFF) != 0 ? b.used & 0xFFFF : b.bits <= 8 ? 1u << b.bits : 0;
    const int entries = b.table >= 0 ? b.table : static_cast<int>(declared);
    const int masks = b.masks >= 0 ? b.masks : b.compression == 3 ? 3 : 0;
    const uint32_t stride = static_cast<uint32_t>((int64_t{b.width} * b.bits + 31) / 32 * 4);
    const uint32_t rows = static_cast<uint32_t>(b.height < 0 ? -b.height : b.height);
    const size_t pixels = b.pixelBytes >= 0 ? static_cast<size_t>(b.pixelBytes) : size_t{stride} * rows;
    std::string f = "BM";
    Put32(f, 0);
    Put32(f, 0);
    // A header longer than 40 bytes holds the masks; a 40-byte one is followed by them.
    const int masksAfter = b.infoSize > 40 ? 0 : masks;
    Put32(f, b.offset >= 0 ? static_cast<uint32_t>(b.offset) : 14 + b.infoSize + 4 * (masksAfter + entries));
    Put32(f, b.infoSize);
    Put32(f, static_cast<uint32_t>(b.width));
    Put32(f, static_cast<uint32_t>(b.height));
    f += static_cast<char>(b.planes);
    f += '\0';
    f += static_cast<char>(b.bits);
    f += static_cast<char>(b.bits >> 8);
    Put32(f, b.compression);
    Put32(f, 0x7777);  // image size: rewritten for drawing
    Put32(f, 2835);
    Put32(f, 2835);
    Put32(f, b.used);
    Put32(f, 0xEEEE);  // colours important: rewritten for drawing
    for (int m = 0; m < masks; ++m) Put32(f, 0x0F0F0F0Fu << m);
    if (b.infoSize > 40) f.append(b.infoSize - 40 - 4 * size_t(masks), '\0');
    for (int i = 0; i < entries; ++i) Put32(f, 0x55000000u | (3u * i & 0xFF) << 16 | (2u * i & 0xFF) << 8 | (i & 0xFF));
    for (size_t i = 0; i < pixels; ++i) f += static_cast<char>(i * 7 + 1);
    return f;
}

std::string Record(const std::string& bitmap)
{
    std::string r;
    Put32(r, static_cast<uint32_t>(bitmap.size()));
    return r + bitmap;
}

// Key map bytes 100.., colours 0x00A1B2C3 and 0x04030201, then the records.
std::string SkinFile(const std::vector<std::string>& records)
{
    std::string f;
    for (int i = 0; i < kKeyMapSize; ++i) f += static_cast<char>(100 + i);
    Put32(f, 0x00A1B2C3);
    Put32(f, 0x04030201);
    for (const std::string& record : records) f += record;
    return f;
}

std::string Layers(const std::string& a, const std::string& b = {}, const std::string& c = {},
                   const std::string& d = {}, const std::string& e = {})
{
    std::string zero;
    Put32(zero, 0);
    std::string out;
    for (const std::string* layer : {&a, &b, &c, &d, &e}) out += layer->empty() ? zero : Record(*layer);
    return SkinFile({out});
}

std::string Hex(const uint8_t* p, size_t n)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < n; ++i) out += {digits[p[i] >> 4], digits[p[i] & 15]};
    return out;
}

// The verdict: the result, then per layer "-" (no image) or how it draws:
// "nopal", "bad <rows>", or "<width>x<rows> p<entries>:<entry 1>/<last
// entry> t<table bytes> i<image size, colours used, important> b<first and
// last pixel bytes>".
std::string Verdict(SkinState& skin, const std::string& file, size_t piece = SIZE_MAX)
{
    struct Memory {
        const std::string* data;
        size_t at, piece;
    } memory{&file, 0, piece};
    SkinSource source{[](void* context, uint8_t* dest, size_t count) {
                          Memory& m = *static_cast<Memory*>(context);
                          size_t n = std::min({count, m.piece, m.data->size() - m.at});
                          std::memcpy(dest, m.data->data() + m.at, n);
                          m.at += n;
                          return n;
                      },
                      &memory, file.size(), 0};
    const SkinResult result = ReadSkinFile(skin, source);
    std::string out = result == kSkinLoaded ? "loaded" : result == kSkinReadFailed ? "failed" : "memory";
    if (skin.builtinSkin) {
        bool whole = std::memcmp(skin.keyMap, defaultKeyMap, kKeyMapSize) == 0 && skin.backColor == 0 && skin.textColor == 0;
        for (const SkinImage& image : skin.images) whole = whole && image.header == nullptr && image.bits == nullptr;
        return out + (whole ? " builtin" : " ?");
    }
    // Every loaded row's file has the key map and colours SkinFile writes: shown only when they differ.
    if (skin.keyMap[47] != 147 || skin.backColor != 0xA1B2C3 || skin.textColor != 0x04030201) out += " colours?";
    for (const SkinImage& image : skin.images) {
        static KeypadImageDraw draw;
        const ImageDrawStatus status = PrepareKeypadImage(image, draw);
        if (image.header == nullptr) {
            out += status == kImageNoPalette ? " -" : " ?";
            continue;
        }
        if (status == kImageNoPalette) {
            out += " nopal";
            continue;
        }
        if (status == kImageBadFormat) {
            out += " bad " + std::to_string(draw.dib.height);
            continue;
        }
        const ImagePalette& p = draw.palette;
        const PaletteEntry& one = p.entries[1];
        const PaletteEntry& last = p.entries[p.count - 1];
        char text[160];
        std::snprintf(text, sizeof text, " %dx%d p%d:%d,%d,%d/%d,%d,%d t%zu i%s b%d,%d", draw.dib.drawWidth,
                      draw.dib.height, p.count, one.red, one.green, one.blue, last.red, last.green, last.blue,
                      draw.dib.infoSize - 40, Hex(draw.dib.info + 20, 4).c_str(), draw.dib.bits[0],
                      draw.dib.bits[image.bitsSize - 1]);
        out += text;
        out += "," + Hex(draw.dib.info + 32, 8);
        if (one.flags != 0 || last.flags != 0) out += " flagged";
    }
    return out;
}

struct SkinRow {
    const char* what;
    std::string file;
    const char* verdict;
};

std::vector<SkinRow> SkinRows()
{
    const std::string bmp = BitmapFile({});
    std::string head = SkinFile({});
    return {
        {"empty", "", "failed builtin"}, {"key map only", head.substr(0, 48), "failed builtin"},
        {"no first record", head, "failed builtin"}, {"five empty records", Layers(""), "loaded - - - - -"},
        {"8-bit base, trailing bytes", Layers(bmp) + "\xFF\xFF\xFF\xFF", 
         "loaded 4x2 p256:3,2,1/253,254,255 t1024 i08000000 b1,50,0001000000000000 - - - -"},
        {"last layer broken", Layers(bmp, "", bmp, "", bmp.substr(0, bmp.size() - 1)), "failed builtin"},
        {"record past the file", Layers(bmp).substr(0, 60) + std::string(4, '\xFF'), "failed builtin"},
        {"record of 2 GB", SkinFile({}) + "\xF0\xFF\xFF\x7F" + bmp, "failed builtin"},
        {"4-bit, 5 colours used", Layers(BitmapFile({.bits = 4, .used = 5})),
         "loaded 4x2 p5:3,2,1/12,8,4 t64 i08000000 b1,50,1000000000000000 - - - -"},
        {"1-bit, wide, one row", Layers(BitmapFile({.width = 300, .height = 1, .bits = 1})),
         "loaded 176x1 p2:3,2,1/3,2,1 t8 i28000000 b1,18,0200000000000000 - - - -"},
        {"24-bit: the colour cube", Layers(BitmapFile({.width = 50, .bits = 24})),
         "loaded 50x2 p256:32,0,0/224,224,192 t0 i30010000 b1,74,0000000000000000 - - - -"},
        {"32-bit bit fields", Layers(BitmapFile({.bits = 32, .compression = 3})), "loaded nopal - - - -"},
        {"32-bit bit fields and a table", Layers(BitmapFile({.bits = 32, .compression = 3, .used = 2})),
         "loaded 4x2 p2:3,2,1/3,2,1 t12 i20000000 b1,218,0000000000000000 - - - -"},
        {"16-bit, no table", Layers(BitmapFile({.bits = 16})), "loaded nopal - - - -"},
        {"16-bit, 2 colours used", Layers(BitmapFile({.bits = 16, .used = 2})),
         "loaded 4x2 p2:3,2,1/3,2,1 t0 i10000000 b1,106,0000000000000000 - - - -"},
        {"2 bits, 4 colours", Layers(BitmapFile({.bits = 2, .used = 4})), "loaded bad 2 - - - -"},
        {"one pixel wide", Layers(BitmapFile({.width = 1})),
         "loaded 1x2 p256:3,2,1/253,254,255 t1024 i08000000 b1,50,0001000000000000 - - - -"},
        {"8 bits, short table", Layers(BitmapFile({.used = 3, .table = 3})),
         "loaded 4x2 p3:3,2,1/6,4,2 t1024 i08000000 b1,50,0001000000000000 - - - -"},
        {"table beyond the block", Layers(BitmapFile({.used = 3, .table = 2})), "failed builtin"},
        {"more colours than bits", Layers(BitmapFile({.bits = 4, .used = 17})), "failed builtin"},
        {"108-byte header", Layers(BitmapFile({.infoSize = 108})),
         "loaded 4x2 p256:3,2,1/253,254,255 t1024 i08000000 b1,50,0001000000000000 - - - -"},
        {"124-byte header, bit fields in it", Layers(BitmapFile({.bits = 32, .compression = 3, .used = 2, .infoSize = 124})),
         "loaded 4x2 p2:3,2,1/3,2,1 t12 i20000000 b1,218,0000000000000000 - - - -"},
        {"36-byte header", Layers(BitmapFile({.infoSize = 36})), "failed builtin"},
        {"header longer than its block", Layers(BitmapFile({.infoSize = 108, .offset = 14 + 60})), "failed builtin"},
        {"taller than the screen leaves", Layers(BitmapFile({.height = 170})),
         "loaded 4x160 p256:3,2,1/253,254,255 t1024 i80020000 b1,146,0001000000000000 - - - -"},
        {"planes 2", Layers(BitmapFile({.planes = 2})), "loaded bad 2 - - - -"},
        {"RLE8", Layers(BitmapFile({.compression = 1})), "loaded bad 2 - - - -"},
        {"width 0", Layers(BitmapFile({.width = 0})), "failed builtin"},
        {"height 0", Layers(BitmapFile({.height = 0})), "failed builtin"},
        {"bits 0", Layers(BitmapFile({.bits = 0, .table = 0})), "failed builtin"},
        {"bits 33", Layers(BitmapFile({.bits = 33, .table = 0})), "failed builtin"},
        {"pixels short", Layers(BitmapFile({.pixelBytes = 7})), "failed builtin"},
        {"rows overflow", Layers(BitmapFile({.width = 0x7FFFFFFF, .height = 0x7FFFFFFF, .bits = 32, .table = 0, .pixelBytes = 0})),
         "failed builtin"},
        {"rows overflow, some pixels", Layers(BitmapFile({.width = 0x7FFFFFFF, .height = 0x7FFFFFFF, .bits = 32, .table = 0, .pixelBytes = 8})),
         "failed builtin"},
        {"offset inside the header", Layers(BitmapFile({.offset = 53})), "failed builtin"},
        {"offset past the record", Layers(BitmapFile({.offset = 14 + 40 + 1024 + 9})), "failed builtin"},
        {"top-down", Layers(BitmapFile({.height = -2})),
         "loaded 4x2 p256:3,2,1/253,254,255 t1024 i08000000 b29,22,0001000000000000 - - - -"},
        {"top-down, extra data", Layers(BitmapFile({.height = -2, .pixelBytes = 9})),
         "loaded 4x2 p256:3,2,1/253,254,255 t1024 i08000000 b29,57,0001000000000000 - - - -"},
        {"each layer its own", Layers(bmp, "", BitmapFile({.width = 8, .height = 3, .bits = 4}), "", bmp),
         "loaded 4x2 p256:3,2,1/253,254,255 t1024 i08000000 b1,50,0001000000000000 - "
         "8x3 p16:3,2,1/45,30,15 t64 i0c000000 b1,78,1000000000000000 - "
         "4x2 p256:3,2,1/253,254,255 t1024 i08000000 b1,50,0001000000000000"},
    };
}

// No block larger than what is left of the file is ever asked for.
size_t largestBlock;

TEST(Skins, FilesGiveTheirVerdict)
{
    skinAllocate = [](size_t size) {
        largestBlock = std::max(largestBlock, size);
        return std::malloc(size);
    };
    for (const SkinRow& row : SkinRows()) {
        SkinState skin{};
        largestBlock = 0;
        EXPECT_EQ(Verdict(skin, row.file), row.verdict) << row.what;
        EXPECT_EQ(Verdict(skin, row.file, 1), row.verdict) << row.what << ", a byte at a time";
        EXPECT_LE(largestBlock, row.file.size()) << row.what;
        ReleaseSkinImages(skin);
    }
    skinAllocate = std::malloc;
}

// Sharper images after the fifth record: the tag, the count, then per set
// the scale and five records ("" for none).
std::string Sharp(uint32_t count, const std::vector<std::pair<uint32_t, std::vector<std::string>>>& sets)
{
    std::string out = "ZOOM";
    Put32(out, count);
    for (const auto& [scale, images] : sets) {
        Put32(out, scale);
        for (const std::string& image : images) {
            if (image.empty()) Put32(out, 0);
            else out += Record(image);
        }
    }
    return out;
}

// A set of sharper images at `scale` for the skin below.
std::pair<uint32_t, std::vector<std::string>> Scaled(int32_t scale)
{
    const std::string image = BitmapFile({.width = 4 * scale, .height = 2 * scale});
    return {static_cast<uint32_t>(scale), {image, "", image, "", ""}};
}

// A skin whose base and Up layers have 4 x 2 images and the others none,
// followed by `tail`: what is left out, and the scale drawn at zooms 1 to 4
// for the base layer.
const struct {
    const char* what;
    std::string tail;
    const char* fault;
    const char* scales;
} kSharpRows[] = {
    {"none", "", nullptr, "1111"},
    {"bytes without the tag, ignored as ever", "junk after the records", nullptr, "1111"},
    {"2x", Sharp(1, {Scaled(2)}), nullptr, "1212"}, {"3x", Sharp(1, {Scaled(3)}), nullptr, "1131"},
    {"4x then 2x", Sharp(2, {Scaled(4), Scaled(2)}), nullptr, "1214"},
    {"cut short", Sharp(1, {{2, {BitmapFile({.width = 8, .height = 4})}}}), "an image record that cannot be read", "1111"},
    {"a record longer than the file", Sharp(1, {}) + std::string("\2\0\0\0\xFF\xFF\0\0", 8),
     "an image record that cannot be read", "1111"},
    {"the tag alone", "ZOOM", "the file ends inside the sharper images", "1111"},
    {"no sets", Sharp(0, {}), "a count of sets other than 1 to 3", "1111"},
    {"scale 5", Sharp(1, {{5, {}}}), "a scale other than 2, 3 or 4", "1111"},
    {"a wrong width", Sharp(1, {{2, {BitmapFile({.width = 9, .height = 4}), "", BitmapFile({.width = 8, .height = 4}), "", ""}}}),
     "an image that is not the scale times the size of its layer's image", "1111"},
    {"a layer without its image", Sharp(1, {{2, {BitmapFile({.width = 8, .height = 4}), "", "", "", ""}}}),
     "a layer with an image at one size and none at the other", "1111"},
    {"a scale twice", Sharp(2, {Scaled(2), Scaled(2)}), "a scale given twice", "1111"},
};

TEST(Skins, SharperImagesLoadOrAreLeftOutWhole)
{
    for (const auto& row : kSharpRows) {
        SkinState skin{};
        const std::string file = Layers(BitmapFile({}), "", BitmapFile({})) + row.tail;
        EXPECT_EQ(Verdict(skin, file).substr(0, 6), "loaded") << row.what;  // the 1x images whatever follows
        EXPECT_EQ(skin.images[0].header != nullptr && skin.images[2].header != nullptr, true) << row.what;
        EXPECT_STREQ(skin.sharpImagesFault, row.fault) << row.what;
        std::string scales;
        for (int zoom = 1; zoom <= 4; ++zoom) scales += static_cast<char>('0' + SharpImageScale(skin, 0, zoom));
        EXPECT_EQ(scales, row.scales) << row.what;
        if (row.fault != nullptr) {
            for (const auto& set : skin.sharpImages)
                for (const SkinImage& image : set) EXPECT_EQ(image.header, nullptr) << row.what;
        }
        ReleaseSkinImages(skin);
        EXPECT_EQ(skin.sharpImagesFault, nullptr);
    }
}

TEST(Skins, WhenMemoryRunsOutTheSkinIsTheBuiltInOne)
{
    static int failAt, calls;
    skinAllocate = [](size_t size) { return calls++ == failAt ? nullptr : std::malloc(size); };
    const std::string file = Layers(BitmapFile({}), BitmapFile({}));
    for (failAt = 0; failAt < 4; ++failAt) {
        SkinState skin{};
        calls = 0;
        EXPECT_EQ(Verdict(skin, file), "memory builtin") << failAt;
        ReleaseSkinImages(skin);
    }
    skinAllocate = std::malloc;
}

// Images the reader refuses are not drawn either, should one reach the drawing.
TEST(Skins, TheDrawingTrustsNoImage)
{
    const struct {
        Bmp bmp;
        size_t shortBy;
        ImageDrawStatus status;
    } rows[] = {{{}, 1, kImageBadFormat}, {{.bits = 16, .used = 300}, 0, kImageNoPalette}};
    for (const auto& row : rows) {
        std::string file = BitmapFile(row.bmp);
        const size_t headerSize = Le32(reinterpret_cast<const uint8_t*>(file.data()) + 10) - 14;
        uint8_t* bytes = reinterpret_cast<uint8_t*>(file.data());
        const SkinImage image{bytes + 14, headerSize, bytes + 14 + headerSize, file.size() - 14 - headerSize - row.shortBy};
        static KeypadImageDraw draw;
        EXPECT_EQ(PrepareKeypadImage(image, draw), row.status) << row.shortBy;
    }
}

TEST(Skins, PathsAreBuiltWholeOrNotAtAll)
{
    char16_t path[24];
    EXPECT_TRUE(SkinFilePath(u"C:\\Vela\\", u"dark", path, 24));
    EXPECT_EQ(std::u16string(path), u"C:\\Vela\\dark.skin");
    EXPECT_FALSE(SkinFilePath(u"C:\\Vela\\", u"darker_1234", path, 24));
    EXPECT_EQ(path[0], 0);
    EXPECT_TRUE(SkinFilePath(u"C:\\Vela\\", u"darker_123", path, 24));
    EXPECT_FALSE(SkinFilePath(u"", u"", path, 0));
}

}  // namespace
