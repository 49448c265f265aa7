#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "skin/keymap.h"
#include "skin/palette.h"
#include "skin/skin.h"
#include "tests/skin/skin_bytes.h"

namespace {

SkinResult Load(SkinState& skin, const Bytes& file)
{
    SkinMemory memory{file.data(), file.size(), 0};
    SkinSource source = SkinSourceFromMemory(memory);
    return ReadSkinFile(skin, source);
}

class SkinFileTest : public ::testing::Test {
protected:
    void TearDown() override { ReleaseSkinImages(skin); }

    void ExpectBuiltinSkin()
    {
        EXPECT_EQ(skin.builtinSkin, 1);
        EXPECT_EQ(0, std::memcmp(skin.keyMap, defaultKeyMap, sizeof skin.keyMap));
        EXPECT_EQ(skin.backColor, 0u);
        EXPECT_EQ(skin.textColor, 0u);
        for (const SkinImage& image : skin.images) {
            EXPECT_EQ(image.header, nullptr);
            EXPECT_EQ(image.bits, nullptr);
        }
    }

    SkinState skin{};
};

std::u16string Str(const char16_t* s)
{
    return s == nullptr ? u"(null)" : std::u16string(s);
}

// --- The file as a whole -------------------------------------------------------

TEST_F(SkinFileTest, FileShorterThanKeyMapAndColoursFallsBackToBuiltin)
{
    Bytes head = SkinHead();
    for (size_t size : {size_t{0}, size_t{1}, size_t{47}, size_t{48}, size_t{52}, size_t{55}}) {
        SCOPED_TRACE(size);
        Bytes file(head.begin(), head.begin() + static_cast<long>(size));
        EXPECT_EQ(Load(skin, file), kSkinReadFailed);
        ExpectBuiltinSkin();
    }
}

TEST_F(SkinFileTest, FileOfExactly56BytesFailsAtFirstRecordAndDropsItsKeyMap)
{
    Bytes file = SkinHead();
    ASSERT_EQ(file.size(), 56u);
    EXPECT_EQ(Load(skin, file), kSkinReadFailed);
    ExpectBuiltinSkin();
}

TEST_F(SkinFileTest, FiveEmptyRecordsLoadWithoutImages)
{
    Bytes file = SkinFileOf(EmptyRecord());
    EXPECT_EQ(Load(skin, file), kSkinLoaded);
    EXPECT_EQ(skin.builtinSkin, 0);
    for (int i = 0; i < 48; ++i) EXPECT_EQ(skin.keyMap[i], 100 + i);  // 75 and above kept as stored
    for (const SkinImage& image : skin.images) {
        EXPECT_EQ(image.header, nullptr);
        EXPECT_EQ(image.bits, nullptr);
    }
    // Every layer then shows the palette text and draws nothing.
    KeypadImageDraw draw;
    for (const SkinImage& image : skin.images)
        EXPECT_EQ(PrepareKeypadImage(image, draw), kImageNoPalette);
}

TEST_F(SkinFileTest, ColoursAreLittleEndian)
{
    Bytes file = SkinHead();
    const uint8_t back[] = {0xC3, 0xB2, 0xA1, 0x00};
    const uint8_t text[] = {0x01, 0x02, 0x03, 0x04};
    std::memcpy(&file[48], back, 4);
    std::memcpy(&file[52], text, 4);
    for (int i = 0; i < 5; ++i) Put32(file, 0);
    EXPECT_EQ(Load(skin, file), kSkinLoaded);
    EXPECT_EQ(skin.backColor, 0x00A1B2C3u);
    EXPECT_EQ(skin.textColor, 0x04030201u);
}

TEST_F(SkinFileTest, EveryLayerGetsItsOwnRecordAndTrailingBytesAreIgnored)
{
    std::vector<Bytes> bitmaps;
    std::vector<Bytes> records;
    for (int layer = 0; layer < 5; ++layer) {
        BmpShape shape;
        shape.width = 4 + layer;
        shape.height = 1 + layer;
        bitmaps.push_back(MakeBitmapFile(shape));
        records.push_back(Record(bitmaps.back()));
    }
    Bytes file = SkinFile(records);
    file.insert(file.end(), {0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3});
    ASSERT_EQ(Load(skin, file), kSkinLoaded);
    for (int layer = 0; layer < 5; ++layer) {
        SCOPED_TRACE(layer);
        const SkinImage& image = skin.images[layer];
        const Bytes& bmp = bitmaps[layer];
        size_t infoSize = 40 + 4 * 256;
        ASSERT_EQ(image.headerSize, infoSize);
        ASSERT_EQ(image.bitsSize, bmp.size() - 14 - infoSize);
        EXPECT_EQ(0, std::memcmp(image.header, bmp.data() + 14, infoSize));
        EXPECT_EQ(0, std::memcmp(image.bits, bmp.data() + 14 + infoSize, image.bitsSize));
    }
}

TEST_F(SkinFileTest, AbsentLayersBetweenImagesStayAbsent)
{
    Bytes rec = Record(MakeBitmapFile(BmpShape{}));
    Bytes file = SkinFile({rec, EmptyRecord(), rec, EmptyRecord(), rec});
    ASSERT_EQ(Load(skin, file), kSkinLoaded);
    EXPECT_NE(skin.images[0].header, nullptr);
    EXPECT_EQ(skin.images[1].header, nullptr);
    EXPECT_NE(skin.images[2].header, nullptr);
    EXPECT_EQ(skin.images[3].bits, nullptr);
    EXPECT_NE(skin.images[4].bits, nullptr);
}

TEST_F(SkinFileTest, FailureInLastLayerDropsTheWholeSkin)
{
    Bytes good = Record(MakeBitmapFile(BmpShape{}));
    Bytes file = SkinFile({good, good, good, good});
    Bytes last = good;
    last.pop_back();  // the fifth record is one byte short
    file.insert(file.end(), last.begin(), last.end());
    EXPECT_EQ(Load(skin, file), kSkinReadFailed);
    ExpectBuiltinSkin();
}

TEST_F(SkinFileTest, LoadingAgainReplacesTheImagesOfTheFirstLoad)
{
    BmpShape first;
    first.width = 8;
    BmpShape second;
    second.width = 12;
    ASSERT_EQ(Load(skin, SkinFileOf(Record(MakeBitmapFile(first)))), kSkinLoaded);
    ASSERT_EQ(Load(skin, SkinFileOf(Record(MakeBitmapFile(second)))), kSkinLoaded);
    BitmapHeader h;
    ASSERT_TRUE(ReadBitmapHeader(skin.images[4].header, skin.images[4].headerSize, h));
    EXPECT_EQ(h.width, 12);
    // A failed load after a good one leaves no image of either behind.
    EXPECT_EQ(Load(skin, SkinHead()), kSkinReadFailed);
    ExpectBuiltinSkin();
}

TEST_F(SkinFileTest, UseBuiltinSkinReleasesImagesAndResetsColours)
{
    ASSERT_EQ(Load(skin, SkinFileOf(Record(MakeBitmapFile(BmpShape{})))), kSkinLoaded);
    UseBuiltinSkin(skin);
    ExpectBuiltinSkin();
    const int ids[] = {108, 116, 109, 105, 107};
    for (int layer = 0; layer < 5; ++layer) EXPECT_EQ(builtinBitmapIds[layer], ids[layer]);
}

// --- Sources --------------------------------------------------------------------

struct Trickle {
    const Bytes* file;
    size_t offset;
};

size_t ReadOneByte(void* context, uint8_t* dest, size_t count)
{
    Trickle& t = *static_cast<Trickle*>(context);
    if (count == 0 || t.offset >= t.file->size()) return 0;
    *dest = (*t.file)[t.offset++];
    return 1;
}

TEST_F(SkinFileTest, SourceDeliveringOneByteAtATimeReadsTheSameSkin)
{
    Bytes file = SkinFileOf(Record(MakeBitmapFile(BmpShape{})));
    Trickle trickle{&file, 0};
    SkinSource source{ReadOneByte, &trickle, file.size(), 0};
    ASSERT_EQ(ReadSkinFile(skin, source), kSkinLoaded);
    EXPECT_EQ(source.position, file.size());
    EXPECT_EQ(skin.images[3].bits[5], PixelByte(5));
}

TEST_F(SkinFileTest, SourceEndingBeforeItsDeclaredSizeIsAFailedRead)
{
    Bytes file = SkinFileOf(Record(MakeBitmapFile(BmpShape{})));
    Bytes shortFile(file.begin(), file.end() - 3);
    SkinMemory memory{shortFile.data(), shortFile.size(), 0};
    SkinSource source = SkinSourceFromMemory(memory);
    source.size = file.size();  // claims more than it has
    EXPECT_EQ(ReadSkinFile(skin, source), kSkinReadFailed);
    ExpectBuiltinSkin();
}

TEST_F(SkinFileTest, RecordLongerThanTheDeclaredSizeIsRefusedBeforeReading)
{
    Bytes file = SkinFileOf(Record(MakeBitmapFile(BmpShape{})));
    SkinMemory memory{file.data(), file.size(), 0};
    SkinSource source = SkinSourceFromMemory(memory);
    source.size = 56 + 4 + 100;  // the first record's N exceeds this
    EXPECT_EQ(ReadSkinFile(skin, source), kSkinReadFailed);
    EXPECT_EQ(source.position, 60u);
    ExpectBuiltinSkin();
}

// --- Memory ---------------------------------------------------------------------

int allocationsLeft;
void* FailingAllocate(size_t size)
{
    if (allocationsLeft-- <= 0) return nullptr;
    return std::malloc(size);
}

TEST_F(SkinFileTest, BlockThatCannotBeAllocatedNamesTheMemoryMessage)
{
    Bytes file = SkinFileOf(Record(MakeBitmapFile(BmpShape{})));
    // Header of layer 0, bits of layer 0, then header and bits of layer 2.
    for (int allowed : {0, 1, 4, 5}) {
        SCOPED_TRACE(allowed);
        allocationsLeft = allowed;
        skinAllocate = FailingAllocate;
        SkinResult result = Load(skin, file);
        skinAllocate = std::malloc;
        EXPECT_EQ(result, kSkinOutOfMemory);
        ExpectBuiltinSkin();
    }
}

TEST(SkinResultMessageTest, EachResultNamesItsMessage)
{
    EXPECT_EQ(SkinResultMessage(kSkinLoaded), nullptr);
    EXPECT_EQ(Str(SkinResultMessage(kSkinReadFailed)), u"Загрузка скина");
    EXPECT_EQ(Str(SkinResultMessage(kSkinOutOfMemory)), u"Недостаточно памяти");
    EXPECT_EQ(SkinResultMessage(static_cast<SkinResult>(7)), nullptr);
}

// --- Checks of one image record ---------------------------------------------------

struct RecordCase {
    const char* name;
    BmpShape shape;
    SkinResult expected;
};

void PrintTo(const RecordCase& c, std::ostream* os)
{
    *os << c.name;
}

BmpShape With(void (*change)(BmpShape&))
{
    BmpShape s;
    change(s);
    return s;
}

const RecordCase kRecordCases[] = {
    {"plain 8-bit", BmpShape{}, kSkinLoaded},
    {"info header of 12 bytes", With([](BmpShape& s) { s.infoSize = 12; s.pixelOffset = 14 + 40 + 1024; }), kSkinReadFailed},
    {"info header of 124 bytes", With([](BmpShape& s) { s.infoSize = 124; }), kSkinReadFailed},
    {"8 bits, 257 colours", With([](BmpShape& s) { s.usedColours = 257; }), kSkinReadFailed},
    {"1 bit, 3 colours", With([](BmpShape& s) { s.bitCount = 1; s.usedColours = 3; }), kSkinReadFailed},
    {"1 bit, 2 colours", With([](BmpShape& s) { s.bitCount = 1; s.usedColours = 2; }), kSkinLoaded},
    {"4 bits, 17 colours", With([](BmpShape& s) { s.bitCount = 4; s.usedColours = 17; }), kSkinReadFailed},
    {"4 bits, 16 colours", With([](BmpShape& s) { s.bitCount = 4; s.usedColours = 16; }), kSkinLoaded},
    {"24 bits, 256 colours", With([](BmpShape& s) { s.bitCount = 24; s.usedColours = 256; }), kSkinLoaded},
    {"24 bits, 257 colours", With([](BmpShape& s) { s.bitCount = 24; s.usedColours = 257; }), kSkinReadFailed},
    {"8 bits, table of 255 of 256", With([](BmpShape& s) { s.tableEntries = 255; }), kSkinReadFailed},
    {"8 bits, 16 used, table of 15", With([](BmpShape& s) { s.usedColours = 16; s.tableEntries = 15; }), kSkinReadFailed},
    {"8 bits, 16 used, gap before pixels", With([](BmpShape& s) { s.usedColours = 16; s.tableEntries = 20; }), kSkinLoaded},
    {"bit fields without masks", With([](BmpShape& s) { s.bitCount = 16; s.compression = 3; s.masks = 0; }), kSkinReadFailed},
    {"bit fields with masks", With([](BmpShape& s) { s.bitCount = 16; s.compression = 3; }), kSkinLoaded},
    {"width 0", With([](BmpShape& s) { s.width = 0; s.pixelBytes = 8; }), kSkinReadFailed},
    {"width -4", With([](BmpShape& s) { s.width = -4; s.pixelBytes = 8; }), kSkinReadFailed},
    {"width 176", With([](BmpShape& s) { s.width = 176; }), kSkinLoaded},
    {"width 177", With([](BmpShape& s) { s.width = 177; }), kSkinLoaded},
    {"width 2^31-1, little data", With([](BmpShape& s) { s.width = INT32_MAX; s.pixelBytes = 64; }), kSkinReadFailed},
    {"height 0", With([](BmpShape& s) { s.height = 0; s.pixelBytes = 8; }), kSkinReadFailed},
    {"height -2^31, little data", With([](BmpShape& s) { s.height = INT32_MIN; s.pixelBytes = 64; }), kSkinReadFailed},
    {"height 2^31-1, little data", With([](BmpShape& s) { s.height = INT32_MAX; s.pixelBytes = 64; }), kSkinReadFailed},
    {"top-down", With([](BmpShape& s) { s.height = -2; }), kSkinLoaded},
    {"0 bits per pixel", With([](BmpShape& s) { s.bitCount = 0; s.pixelBytes = 8; }), kSkinReadFailed},
    {"33 bits per pixel", With([](BmpShape& s) { s.bitCount = 33; s.pixelBytes = 64; }), kSkinReadFailed},
    {"pixels one byte short", With([](BmpShape& s) { s.pixelBytes = 7; }), kSkinReadFailed},
    {"pixels one byte over", With([](BmpShape& s) { s.pixelBytes = 9; }), kSkinLoaded},
    {"rows padded to 4 bytes, unpadded data", With([](BmpShape& s) { s.width = 3; s.pixelBytes = 6; }), kSkinReadFailed},
    {"rows padded to 4 bytes", With([](BmpShape& s) { s.width = 3; s.pixelBytes = 8; }), kSkinLoaded},
    {"1 bit, 33 wide, 4-byte rows", With([](BmpShape& s) { s.bitCount = 1; s.width = 33; s.pixelBytes = 8; }), kSkinReadFailed},
    {"1 bit, 33 wide, 8-byte rows", With([](BmpShape& s) { s.bitCount = 1; s.width = 33; s.pixelBytes = 16; }), kSkinLoaded},
    {"24 bits, 5 wide", With([](BmpShape& s) { s.bitCount = 24; s.width = 5; s.pixelBytes = 2 * 16; }), kSkinLoaded},
    {"24 bits, 5 wide, short", With([](BmpShape& s) { s.bitCount = 24; s.width = 5; s.pixelBytes = 2 * 15; }), kSkinReadFailed},
    {"pixel offset inside the header", With([](BmpShape& s) { s.tableEntries = 0; s.usedColours = 0; s.bitCount = 24; s.pixelOffset = 53; }), kSkinReadFailed},
    {"pixel offset inside the table", With([](BmpShape& s) { s.pixelOffset = 14 + 40 + 1020; }), kSkinReadFailed},
    {"pixel offset 2^32-1", With([](BmpShape& s) { s.pixelOffset = UINT32_MAX; }), kSkinReadFailed},
    {"no pixel data at all", With([](BmpShape& s) { s.pixelBytes = 0; }), kSkinReadFailed},
    {"run-length compressed, data enough", With([](BmpShape& s) { s.compression = 1; }), kSkinLoaded},
};

class RecordCheckTest : public ::testing::TestWithParam<RecordCase> {
protected:
    void TearDown() override { ReleaseSkinImages(skin); }
    SkinState skin{};
};

TEST_P(RecordCheckTest, RecordIsCheckedBeforeItIsKept)
{
    const RecordCase& c = GetParam();
    Bytes rec = Record(MakeBitmapFile(c.shape));
    // The record in the last layer, so that earlier layers were already read.
    Bytes good = Record(MakeBitmapFile(BmpShape{}));
    Bytes file = SkinFile({good, EmptyRecord(), good, good, rec});
    EXPECT_EQ(Load(skin, file), c.expected);
    EXPECT_EQ(skin.builtinSkin, c.expected == kSkinLoaded ? 0 : 1);
    EXPECT_EQ(skin.images[4].bits != nullptr, c.expected == kSkinLoaded);
    if (c.expected != kSkinLoaded) {
        EXPECT_EQ(skin.images[0].header, nullptr);
        EXPECT_EQ(skin.images[2].bits, nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(Records, RecordCheckTest, ::testing::ValuesIn(kRecordCases),
                         [](const auto& info) {
                             std::string name;
                             for (const char* p = info.param.name; *p; ++p)
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });

// Record lengths that do not match their contents or the file.
TEST_F(SkinFileTest, RecordLengthIsCheckedAgainstTheFileAndTheHeaders)
{
    Bytes bmp = MakeBitmapFile(BmpShape{});
    struct Case {
        const char* name;
        uint32_t length;
        SkinResult expected;
    } cases[] = {
        {"exact", static_cast<uint32_t>(bmp.size()), kSkinLoaded},
        {"one past the file", static_cast<uint32_t>(bmp.size() + 1), kSkinReadFailed},
        {"2^32-1", UINT32_MAX, kSkinReadFailed},
        {"shorter than the file header", 13, kSkinReadFailed},
        {"file header and 39 bytes", 53, kSkinReadFailed},
        {"ends before the pixel offset", 14 + 40 + 1023, kSkinReadFailed},
        {"ends at the pixel offset", 14 + 40 + 1024, kSkinReadFailed},
        {"ends one pixel byte short", static_cast<uint32_t>(bmp.size() - 1), kSkinReadFailed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes rec;
        Put32(rec, c.length);
        rec.insert(rec.end(), bmp.begin(), bmp.end());
        // Only a record read at its own length is followed by the other four.
        Bytes file = SkinFile({rec});
        if (c.length == bmp.size())
            for (int i = 0; i < 4; ++i) Put32(file, 0);
        EXPECT_EQ(Load(skin, file), c.expected);
        if (c.expected != kSkinLoaded) ExpectBuiltinSkin();
        ReleaseSkinImages(skin);
    }
}

// --- Top-down images ------------------------------------------------------------

TEST_F(SkinFileTest, TopDownImageIsStoredBottomUp)
{
    BmpShape shape;
    shape.height = -3;
    Bytes bmp = MakeBitmapFile(shape);
    ASSERT_EQ(Load(skin, SkinFileOf(Record(bmp))), kSkinLoaded);
    const SkinImage& image = skin.images[0];
    BitmapHeader h;
    ASSERT_TRUE(ReadBitmapHeader(image.header, image.headerSize, h));
    EXPECT_EQ(h.height, 3);
    // File rows top to bottom are 0, 1, 2; stored rows bottom to top must be 2, 1, 0.
    for (int row = 0; row < 3; ++row)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(image.bits[row * 4 + x], PixelByte(static_cast<size_t>((2 - row) * 4 + x)));
    KeypadImageDraw draw;
    ASSERT_EQ(PrepareKeypadImage(image, draw), kImageReady);
    EXPECT_EQ(draw.dib.height, 3);
}

TEST_F(SkinFileTest, TopDownImageWithExtraDataKeepsTheExtraInPlace)
{
    BmpShape shape;
    shape.height = -2;
    shape.pixelBytes = 8 + 3;
    ASSERT_EQ(Load(skin, SkinFileOf(Record(MakeBitmapFile(shape)))), kSkinLoaded);
    const SkinImage& image = skin.images[1];
    EXPECT_EQ(image.bits[0], PixelByte(4));
    EXPECT_EQ(image.bits[4], PixelByte(0));
    EXPECT_EQ(image.bits[8], PixelByte(8));
    EXPECT_EQ(image.bits[10], PixelByte(10));
}

// --- Title and path -------------------------------------------------------------

TEST(SkinTitleTest, BuiltinSkinAndNamedSkin)
{
    char16_t title[32];
    SkinWindowTitle(u"", title, 32);
    EXPECT_EQ(std::u16string(title), u"Vela Skin");
    SkinWindowTitle(nullptr, title, 32);
    EXPECT_EQ(std::u16string(title), u"Vela Skin");
    SkinWindowTitle(u"Синий", title, 32);
    EXPECT_EQ(std::u16string(title), u"Vela - Синий");
    SkinWindowTitle(u"abcdefghijklmno", title, 10);
    EXPECT_EQ(std::u16string(title), u"Vela - ab");
    SkinWindowTitle(u"abc", title, 5);
    EXPECT_EQ(std::u16string(title), u"Vela");
}

TEST(SkinPathTest, PathIsBuiltOrRefusedWhole)
{
    char16_t path[64];
    const char16_t* folder = u"\\Program Files\\Vela\\";  // 20 units
    ASSERT_TRUE(SkinFilePath(folder, u"Blue", path, 64));
    EXPECT_EQ(std::u16string(path), u"\\Program Files\\Vela\\Blue.skin");
    // 20 + 4 + 5 units and the NUL: 30 fit exactly, 29 do not.
    EXPECT_TRUE(SkinFilePath(folder, u"Blue", path, 30));
    EXPECT_EQ(std::u16string(path), u"\\Program Files\\Vela\\Blue.skin");
    EXPECT_FALSE(SkinFilePath(folder, u"Blue", path, 29));
    EXPECT_EQ(path[0], 0);
    EXPECT_FALSE(SkinFilePath(folder, u"Blue", path, 0));
}

}  // namespace
