#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "skin/palette.h"
#include "skin/skin.h"
#include "tests/skin/skin_bytes.h"

namespace {

// The information block of a bitmap file (what a skin image keeps as header).
Bytes InfoBlock(const BmpShape& shape)
{
    Bytes file = MakeBitmapFile(shape);
    uint32_t offset = file[10] | file[11] << 8 | file[12] << 16 | uint32_t{file[13]} << 24;
    return Bytes(file.begin() + 14, file.begin() + offset);
}

Bytes PixelData(const BmpShape& shape)
{
    Bytes file = MakeBitmapFile(shape);
    uint32_t offset = file[10] | file[11] << 8 | file[12] << 16 | uint32_t{file[13]} << 24;
    return Bytes(file.begin() + offset, file.end());
}

uint32_t At32(const uint8_t* p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | uint32_t{p[3]} << 24;
}

// An image as the reader leaves it, over vectors owned by the test.
struct TestImage {
    explicit TestImage(const BmpShape& shape) : header(InfoBlock(shape)), bits(PixelData(shape)) {}
    SkinImage view()
    {
        return SkinImage{header.data(), header.size(), bits.empty() ? nullptr : bits.data(),
                         bits.size()};
    }
    Bytes header;
    Bytes bits;
};

// --- CreateImagePalette -----------------------------------------------------------

struct PaletteCase {
    const char* name;
    uint16_t bitCount;
    uint32_t usedColours;
    int tableEntries;  // -1: as declared
    int expectedCount; // 0: no palette
};

const PaletteCase kPaletteCases[] = {
    {"1 bit, full table", 1, 0, -1, 2},
    {"4 bits, full table", 4, 0, -1, 16},
    {"8 bits, used 0 gives 256", 8, 0, -1, 256},
    {"8 bits, used 16", 8, 16, -1, 16},
    {"8 bits, only the low 16 bits of used count", 8, 0x10010, 16, 16},
    {"8 bits, used 0x10000 counts as 0", 8, 0x10000, 256, 256},
    {"24 bits with a table uses the table", 24, 5, -1, 5},
    {"16 bits with a table uses the table", 16, 4, -1, 4},
    {"16 bits without a table: none", 16, 0, -1, 0},
    {"32 bits without a table: none", 32, 0, -1, 0},
    {"2 bits without a table: none", 2, 0, 0, 0},
    {"more than 256 colours: none", 16, 300, -1, 0},
    {"table the block does not hold: none", 8, 0, 16, 0},
};

class PaletteRuleTest : public ::testing::TestWithParam<PaletteCase> {};

TEST_P(PaletteRuleTest, EntriesComeFromTheColourTable)
{
    const PaletteCase& c = GetParam();
    BmpShape shape;
    shape.bitCount = c.bitCount;
    shape.usedColours = c.usedColours;
    shape.tableEntries = c.tableEntries;
    Bytes info = InfoBlock(shape);
    ImagePalette palette;
    std::memset(&palette, 0xCC, sizeof palette);
    bool made = CreateImagePalette(info.data(), info.size(), palette);
    ASSERT_EQ(made, c.expectedCount != 0);
    if (!made) return;
    EXPECT_EQ(palette.version, 0x300);
    ASSERT_EQ(palette.count, c.expectedCount);
    for (int i = 0; i < c.expectedCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(palette.entries[i].red, TableRed(i));
        EXPECT_EQ(palette.entries[i].green, TableGreen(i));
        EXPECT_EQ(palette.entries[i].blue, TableBlue(i));
        EXPECT_EQ(palette.entries[i].flags, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Rules, PaletteRuleTest, ::testing::ValuesIn(kPaletteCases),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(PaletteTest, TwentyFourBitsWithoutTableGetTheColourCube)
{
    BmpShape shape;
    shape.bitCount = 24;
    Bytes info = InfoBlock(shape);
    ASSERT_EQ(info.size(), 40u);
    ImagePalette palette;
    ASSERT_TRUE(CreateImagePalette(info.data(), info.size(), palette));
    EXPECT_EQ(palette.version, 0x300);
    ASSERT_EQ(palette.count, 256);
    struct Entry {
        int index, red, green, blue;
    } expected[] = {
        {0, 0, 0, 0},     {1, 32, 0, 0},    {7, 224, 0, 0},     {8, 0, 32, 0},
        {9, 32, 32, 0},   {63, 224, 224, 0}, {64, 0, 0, 64},    {128, 0, 0, 128},
        {192, 0, 0, 192}, {255, 224, 224, 192},
    };
    for (const Entry& e : expected) {
        SCOPED_TRACE(e.index);
        EXPECT_EQ(palette.entries[e.index].red, e.red);
        EXPECT_EQ(palette.entries[e.index].green, e.green);
        EXPECT_EQ(palette.entries[e.index].blue, e.blue);
        EXPECT_EQ(palette.entries[e.index].flags, 0);
    }
}

TEST(PaletteTest, BitFieldMasksAreNotTakenForColours)
{
    BmpShape shape;
    shape.bitCount = 16;
    shape.compression = 3;
    shape.usedColours = 2;
    Bytes info = InfoBlock(shape);
    ImagePalette palette;
    ASSERT_TRUE(CreateImagePalette(info.data(), info.size(), palette));
    ASSERT_EQ(palette.count, 2);
    EXPECT_EQ(palette.entries[1].red, TableRed(1));
    EXPECT_EQ(palette.entries[1].blue, TableBlue(1));
}

TEST(PaletteTest, HeaderOtherThan40BytesOrMissingGivesNone)
{
    ImagePalette palette;
    EXPECT_FALSE(CreateImagePalette(nullptr, 0, palette));
    EXPECT_FALSE(CreateImagePalette(nullptr, 1064, palette));
    Bytes info = InfoBlock(BmpShape{});
    EXPECT_FALSE(CreateImagePalette(info.data(), 39, palette));  // block cut inside the header
    for (uint32_t size : {0u, 12u, 39u, 41u, 108u, 124u}) {
        SCOPED_TRACE(size);
        Bytes changed = info;
        Poke32(changed, 0, size);
        EXPECT_FALSE(CreateImagePalette(changed.data(), changed.size(), palette));
    }
}

// --- Drawing descriptions ------------------------------------------------------------

TEST(ImageDibTest, ShortTableIsPaddedToTheFullCountWithZeros)
{
    struct Case {
        uint16_t bits;
        uint32_t used;
        size_t full;
    } cases[] = {{8, 16, 256}, {4, 3, 16}, {1, 1, 2}, {8, 0, 256}, {1, 0, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bits * 1000 + c.used);
        BmpShape shape;
        shape.bitCount = c.bits;
        shape.usedColours = c.used;
        shape.width = 40;
        TestImage image(shape);
        ImageDib dib;
        std::memset(&dib, 0xCC, sizeof dib);
        ASSERT_TRUE(PrepareImageDib(image.view(), dib));
        ASSERT_EQ(dib.infoSize, 40 + 4 * c.full);
        size_t stored = c.used != 0 ? c.used : c.full;
        EXPECT_EQ(0, std::memcmp(dib.info + 40, image.header.data() + 40, 4 * stored));
        for (size_t i = 4 * stored; i < 4 * c.full; ++i) ASSERT_EQ(dib.info[40 + i], 0) << i;
        EXPECT_EQ(At32(dib.info + 32), c.full);  // colours used: the whole table
        EXPECT_EQ(At32(dib.info + 36), 0u);
        EXPECT_EQ(At32(dib.info + 20), TestStride(40, c.bits) * 2);  // image size
        EXPECT_EQ(0, std::memcmp(dib.info, image.header.data(), 20));  // size .. compression
        EXPECT_EQ(dib.bits, image.bits.data());
    }
}

TEST(ImageDibTest, TrueColourImagesPassNoTable)
{
    BmpShape rgb;
    rgb.bitCount = 24;
    rgb.usedColours = 5;
    TestImage image(rgb);
    ImageDib dib;
    ASSERT_TRUE(PrepareImageDib(image.view(), dib));
    EXPECT_EQ(dib.infoSize, 40u);
    EXPECT_EQ(At32(dib.info + 32), 0u);

    BmpShape fields;
    fields.bitCount = 16;
    fields.compression = 3;
    TestImage masked(fields);
    ASSERT_TRUE(PrepareImageDib(masked.view(), dib));
    ASSERT_EQ(dib.infoSize, 52u);
    EXPECT_EQ(0, std::memcmp(dib.info + 40, masked.header.data() + 40, 12));
}

TEST(ImageDibTest, WidthIsClippedTo176AndRowsKeepTheirLayout)
{
    for (int width : {1, 100, 176, 177, 500}) {
        SCOPED_TRACE(width);
        BmpShape shape;
        shape.width = width;
        shape.height = 3;
        TestImage image(shape);
        ImageDib dib;
        ASSERT_TRUE(PrepareImageDib(image.view(), dib));
        EXPECT_EQ(dib.drawWidth, width < 176 ? width : 176);
        EXPECT_EQ(At32(dib.info + 4), static_cast<uint32_t>(width));
        EXPECT_EQ(dib.height, 3);
    }
}

TEST(ImageDibTest, BuiltinSizedImageIsReady)
{
    BmpShape shape;
    shape.width = 176;
    shape.height = 153;
    TestImage image(shape);
    KeypadImageDraw draw;
    ASSERT_EQ(PrepareKeypadImage(image.view(), draw), kImageReady);
    EXPECT_EQ(draw.palette.count, 256);
    EXPECT_EQ(draw.dib.drawWidth, 176);
    EXPECT_EQ(draw.dib.height, 153);
    EXPECT_EQ(ImageDrawMessage(kImageReady), nullptr);
}

struct DrawCase {
    const char* name;
    BmpShape shape;
    ImageDrawStatus expected;
    int layoutHeight;
};

BmpShape Shape(uint16_t bits, uint32_t used, uint32_t compression = 0, uint16_t planes = 1)
{
    BmpShape s;
    s.bitCount = bits;
    s.usedColours = used;
    s.compression = compression;
    s.planes = planes;
    return s;
}

const DrawCase kDrawCases[] = {
    {"8 bits", Shape(8, 0), kImageReady, 2},
    {"24 bits", Shape(24, 0), kImageReady, 2},
    {"32 bits with a table", Shape(32, 2), kImageReady, 2},
    {"16 bits without a table", Shape(16, 0), kImageNoPalette, 0},
    {"16 bits with a table", Shape(16, 4), kImageReady, 2},
    {"2 bits with a table", Shape(2, 4), kImageBadFormat, 2},
    {"run-length 8 bits", Shape(8, 0, 1), kImageBadFormat, 2},
    {"24 bits with bit fields", Shape(24, 0, 3), kImageBadFormat, 2},
    {"two planes", Shape(8, 0, 0, 2), kImageBadFormat, 2},
};

class KeypadImageTest : public ::testing::TestWithParam<DrawCase> {};

TEST_P(KeypadImageTest, StatusNamesWhatThePainterDoes)
{
    const DrawCase& c = GetParam();
    TestImage image(c.shape);
    KeypadImageDraw draw;
    EXPECT_EQ(PrepareKeypadImage(image.view(), draw), c.expected);
    EXPECT_EQ(draw.dib.height, c.layoutHeight);
}

INSTANTIATE_TEST_SUITE_P(Formats, KeypadImageTest, ::testing::ValuesIn(kDrawCases),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(KeypadImageTest, AbsentImageHasNoPalette)
{
    KeypadImageDraw draw;
    EXPECT_EQ(PrepareKeypadImage(SkinImage{}, draw), kImageNoPalette);
    EXPECT_EQ(draw.dib.height, 0);
}

TEST(KeypadImageTest, ImagesTheReaderWouldRefuseAreNotDrawn)
{
    // Built directly, not through the reader: the preparation checks for itself.
    BmpShape topDown;
    topDown.height = -2;
    TestImage a(topDown);
    ImageDib dib;
    EXPECT_FALSE(PrepareImageDib(a.view(), dib));
    EXPECT_EQ(dib.height, 0);

    BmpShape shortData;
    shortData.pixelBytes = 7;
    TestImage b(shortData);
    EXPECT_FALSE(PrepareImageDib(b.view(), dib));

    TestImage c(BmpShape{});
    SkinImage noBits = c.view();
    noBits.bits = nullptr;
    EXPECT_FALSE(PrepareImageDib(noBits, dib));
}

TEST(ImageDibTest, TableShorterThanDeclaredIsNotReadPastItsBlock)
{
    // 256 colours declared, 16 held: the rest is black, and nothing past the block is read.
    BmpShape shape;
    shape.tableEntries = 16;
    TestImage image(shape);
    ASSERT_EQ(image.header.size(), 40u + 64u);
    ImageDib dib;
    ASSERT_TRUE(PrepareImageDib(image.view(), dib));
    EXPECT_EQ(dib.infoSize, 40u + 1024u);
    EXPECT_EQ(0, std::memcmp(dib.info + 40, image.header.data() + 40, 64));
    for (size_t i = 64; i < 1024; ++i) ASSERT_EQ(dib.info[40 + i], 0) << i;
}

TEST(KeypadImageTest, MessagesForTheDisplay)
{
    EXPECT_EQ(std::u16string(ImageDrawMessage(kImageNoPalette)), u"Не могу создать палитру");
    EXPECT_EQ(std::u16string(ImageDrawMessage(kImageBadFormat)), u"Неверный формат скина");
    EXPECT_EQ(ImageDrawMessage(static_cast<ImageDrawStatus>(9)), nullptr);
}

}  // namespace
