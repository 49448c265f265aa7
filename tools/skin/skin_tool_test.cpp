// The skin authors' tool on bytes: key map text both ways, pack and unpack,
// the check's verdicts and the preview's pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "tools/skin/keymap_text.h"
#include "tools/skin/skin_tool.h"

namespace {

const std::string kCorpus = VELA_SOURCE "/fuzz/corpus/skin_fuzz/";

// The built-in key map as an author writes it.
const std::string kBuiltinLines =
    "left: ln log₂ lg eˣ 2ˣ 10ˣ √x ³√x ˣ√y x² x³ xʸ\n"
    "up: C CE 1/x ± F-E x! π e abs rd gr deg\n"
    "right: + M+ MC − M− MS / M/ MR * M* %\n"
    "down: sin asin sinh cos acos cosh tg atg tgh ctg actg ctgh\n";

std::string Replaced(std::string text, const std::string& from, const std::string& to)
{
    for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) text.replace(at, from.size(), to);
    return text;
}

// "ok", the key map bytes that differ from the built-in map ("5=200") and the
// colours given; or "line: message".
std::string ReadOutcome(const std::string& text)
{
    KeyMapText map;
    KeyMapTextError error;
    if (!ReadKeyMapText(text, map, error)) return std::to_string(error.line) + ": " + error.message;
    std::string out = "ok";
    for (int i = 0; i < kKeyMapSize; ++i)
        if (map.keyMap[i] != defaultKeyMap[i]) out += " " + std::to_string(i) + "=" + std::to_string(map.keyMap[i]);
    char colours[48] = "";
    if (map.hasBackColor) std::snprintf(colours, sizeof colours, " back=%08X", map.backColor);
    if (map.hasTextColor) std::snprintf(colours + std::strlen(colours), 24, " text=%08X", map.textColor);
    return out + colours;
}

TEST(KeyMapText, TextGivesTheBytesOrTheFaultyLine)
{
    const std::string b = kBuiltinLines;
    const std::string down = "down: sin asin sinh cos acos cosh tg atg tgh ctg actg ctgh";
    const struct {
        std::string text;
        std::string outcome;
    } rows[] = {
        {b, "ok"},
        {"\xEF\xBB\xBF# mine\r\n\r\n" + Replaced(b, "\n", " # keys\r\n") + "back:\tcfd8e2\r\ntext:000000", "ok back=00E2D8CF text=00000000"},
        {down + "\n  up : C CE 1/x ± F-E x! π e abs rd gr deg\n" + b.substr(0, b.find("up:")) + b.substr(b.find("right"), b.find("down") - b.find("right")), "ok"},
        {Replaced(b, "ln log₂", "200 007") + "back: 01AABBCC", "ok 0=200 1=7 back=01CCBBAA"},
        {Replaced(b, "\n", "\r").substr(0, b.find("right")) + "right: +\r", "3: 1 action where 12 are needed, one per key 1 2 3 4 5 6 7 8 9 * 0 #"},
        {Replaced(b, "ctgh", "ctgh ln"), "4: 13 actions where 12 are needed, one per key 1 2 3 4 5 6 7 8 9 * 0 #"},
        {Replaced(b, "asin", "a\x01\xFF\xC1\x80\xDF\xBF\xF4\x80\x80sin"),
         "4: unknown action \"a\\x01\\xFF\\xC1\\x80\xDF\xBF\\xF4\\x80\\x80sin\" (a label such as sin or M+, or a number 0-255)"},
        {Replaced(b, "MC −", "MC -"), "3: unknown action \"-\" (a label such as sin or M+, or a number 0-255)"},
        {Replaced(b, "asin", std::string(50, 'x')), "4: unknown action \"" + std::string(39, 'x') + "...\" (a label such as sin or M+, or a number 0-255)"},
        {Replaced(b, "ln", "256"), "1: action number \"256\" is not 0-255"},
        {b + "# again\nup: C CE 1/x ± F-E x! π e abs rd gr deg\n", "6: up: given twice (first on line 2)"},
        {b.substr(0, b.find("down")), "0: no down: line; every layer needs one"},
        {"", "0: no left: line; every layer needs one"},
        {b + "back: 00112233\nback: 000000", "6: back: given twice (first on line 5)"},
        {b + "text: 12345", "5: bad colour \"12345\": RRGGBB in hexadecimal is needed"},
        {b + "text: 12345G", "5: bad colour \"12345G\": RRGGBB in hexadecimal is needed"},
        {b + "back: #123456", "5: back: needs a colour RRGGBB (without \"#\", which starts a comment)"},
        {b + "lft: x", "5: expected a line left:, up:, right:, down:, back: or text:, not \"lft: x\""},
        {Replaced(b, "left:", "left"), "1: expected a line left:, up:, right:, down:, back: or text:, not \"left ln log₂ lg eˣ 2ˣ 10ˣ √x ³√...\""},
    };
    for (const auto& row : rows) EXPECT_EQ(ReadOutcome(row.text), row.outcome) << row.text;
}

// --- Skin files

std::string Corpus(const std::string& name)
{
    std::ifstream file(kCorpus + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// A 2 x 2 RGBA image: opaque red, transparent; blue at half alpha, opaque white.
const std::string kTwoByTwoPng(
    "\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\0\x02\0\0\0\x02\x08\x06\0\0\0\x72\xB6\x0D\x24\0\0\0\x14IDAT\x78\xDA\x63\xF8"
    "\xCF\xC0\0\x44\x60\xF0\xBF\xE1\x3F\x10\0\0\x31\x63\x07\x7A\x4D\xAF\x70\x45\0\0\0\0IEND\xAE\x42\x60\x82", 77);

// The preview as a PNG: 880 x 180 pixels of more than 256 colours.
std::string ManyColoursPng()
{
    PreviewImage image;
    image.rgb.resize(kPreviewWidth * kPreviewScreenHeight * 3);
    for (size_t i = 0; i < image.rgb.size(); ++i) image.rgb[i] = static_cast<uint8_t>(i / 3 >> (8 * (i % 3)));
    return PreviewPng(image);
}

// "packed" or why not; files[layer] empty: no image.
std::string Packed(const KeyMapText& keys, const std::string (&files)[kSkinLayerCount], std::string& skin)
{
    PackImage images[kSkinLayerCount];
    for (int layer = 0; layer < kSkinLayerCount; ++layer)
        if (!files[layer].empty())
            images[layer] = {kLayerNames[layer] + std::string(files[layer].starts_with("BM") ? ".bmp" : ".png"), files[layer]};
    std::string error;
    return PackSkin(keys, images, skin, error) ? "packed" : error;
}

// 0x00BBGGRR as 0xRRGGBB.
constexpr uint32_t RgbOf(uint32_t colour) { return (colour & 0xFF) << 16 | (colour & 0xFF00) | (colour >> 16 & 0xFF); }

// Unpacks and packs again from the key map text and the images: the same
// bytes, but for what lies after the fifth record.
void ExpectRepackedTheSame(const std::string& skin, const std::string& what)
{
    UnpackedSkin unpacked;
    SkinRefusal refusal;
    ASSERT_TRUE(UnpackSkin(skin, unpacked, refusal)) << what << ": " << refusal.reason;
    KeyMapText keys;
    KeyMapTextError error;
    ASSERT_TRUE(ReadKeyMapText(UnpackedKeysText(unpacked), keys, error)) << what << ": " << error.message;
    PackImage images[kSkinLayerCount];
    for (int layer = 0; layer < kSkinLayerCount; ++layer)
        if (!unpacked.images[layer].empty()) images[layer] = {kLayerNames[layer], unpacked.images[layer]};
    std::vector<PackSharpSet> sharp;
    for (int scale : unpacked.sharpScales) {
        sharp.push_back({scale, {}});
        for (int layer = 0; layer < kSkinLayerCount; ++layer)
            if (!unpacked.sharpImages[scale - 2][layer].empty())
                sharp.back().images[layer] = {LayerFileName(layer, scale), unpacked.sharpImages[scale - 2][layer]};
    }
    std::string again, fault;
    ASSERT_TRUE(PackSkin(keys, images, again, fault, sharp)) << what << ": " << fault;
    EXPECT_EQ(again, skin.substr(0, again.size())) << what;
}

TEST(SkinTool, PngBecomesABitmapThatUnpacksAndPacksTheSame)
{
    const struct {
        std::string base, down;
        const char* outcome;
        int bits;
    } rows[] = {
        {kTwoByTwoPng, "", "packed", 8}, {ManyColoursPng(), kTwoByTwoPng, "packed", 24},
        {kTwoByTwoPng.substr(0, 60), "", "base.png: cannot decode the PNG file: outofdata", 0},
        {kTwoByTwoPng.substr(0, 8) + std::string("\0\0\0\x0DIHDR\0\0\x0B\xB8\0\0\0\x01\x08\0\0\0\0\x6B\xBC\xBC\xE2", 25), "",
         "base.png: 3000 x 1 pixels: larger than 2048 x 2048, the largest image vela-skin takes", 0},
        {"", "GIF89a", "down.png: not a PNG file that can be read: unknown image type", 0},
    };
    for (const auto& row : rows) {
        std::string skin;
        EXPECT_EQ(Packed(BuiltinKeyMapText(), {row.base, "", "", "", row.down}, skin), row.outcome);
        if (row.bits == 0) continue;
        EXPECT_EQ(skin[56 + 4 + 28], row.bits);  // the base bitmap's bit count
        ExpectRepackedTheSame(skin, row.outcome);
    }
}

// A bitmap file: 40-byte header, the colour table (0xRRGGBB each), `pixels`.
std::string EditorBmp(int width, int height, int bits, int compression, std::initializer_list<uint32_t> table,
                      const std::string& pixels)
{
    std::string out = "BM";
    auto put = [&](uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) out += static_cast<char>(v >> (8 * i) & 0xFF);
    };
    const uint32_t offset = 54 + 4 * static_cast<uint32_t>(table.size());
    put(offset + static_cast<uint32_t>(pixels.size()), 4), put(0, 4), put(offset, 4);
    put(40, 4), put(static_cast<uint32_t>(width), 4), put(static_cast<uint32_t>(height), 4), put(1, 2), put(static_cast<uint32_t>(bits), 2);
    put(static_cast<uint32_t>(compression), 4), put(static_cast<uint32_t>(pixels.size()), 4), put(0, 4), put(0, 4);
    put(static_cast<uint32_t>(table.size()), 4), put(0, 4);
    for (uint32_t rgb : table) put(rgb, 4);
    return out + pixels;
}

// An uncompressed 8- or 24-bit bitmap file's pixels, top row first: "RRGGBB ...".
std::string PixelsOf(const std::string& bmp)
{
    auto at = [&](size_t i) { return static_cast<uint32_t>(static_cast<uint8_t>(bmp[i])); };
    const int width = static_cast<int>(at(18) | at(19) << 8), height = static_cast<int>(at(22) | at(23) << 8);
    const int bits = static_cast<int>(at(28));
    const size_t offset = at(10) | at(11) << 8, stride = (static_cast<size_t>(width) * bits / 8 + 3) / 4 * 4;
    std::string out;
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            size_t p = offset + static_cast<size_t>(y) * stride + static_cast<size_t>(x) * (bits / 8);
            if (bits == 8) p = 54 + 4 * at(p);
            char rgb[8];
            std::snprintf(rgb, sizeof rgb, "%02X%02X%02X", at(p + 2), at(p + 1), at(p));
            out += std::string(out.empty() ? "" : " ") + rgb;
        }
    }
    return out;
}

// What image editors write is converted as a PNG is: the same pixels, in a
// bitmap the program draws.
TEST(SkinTool, EditorsBitmapsBecomeOnesTheProgramDraws)
{
    const struct {
        const char* name;
        std::string bmp;
        std::string pixels;  // or the error
    } rows[] = {
        {"RLE8", EditorBmp(4, 2, 8, 1, {0xFF0000, 0x0000FF}, std::string("\2\0\2\1\0\0\0\3\1\0\1\0\1\0\0\1", 16)),
         "0000FF FF0000 0000FF FF0000 FF0000 FF0000 0000FF 0000FF"},
        {"RLE4", EditorBmp(4, 2, 4, 2, {0xFF0000, 0x0000FF}, std::string("\4\x01\0\0\2\x11\2\0\0\1", 10)),
         "0000FF 0000FF FF0000 FF0000 FF0000 0000FF FF0000 0000FF"},
        {"16 bits", EditorBmp(2, 1, 16, 0, {}, std::string("\0\x7C\x1F\0", 4)), "FF0000 0000FF"},
        {"32 bits", EditorBmp(2, 1, 32, 0, {}, std::string("\0\0\xFF\xFF\xFF\0\0\xFF", 8)), "FF0000 0000FF"},
        {"too large", EditorBmp(3000, 2, 8, 1, {0}, std::string("\0\1", 2)),
         "base.bmp: 3000 x 2 pixels: larger than 2048 x 2048, the largest image vela-skin takes"},
    };
    for (const auto& row : rows) {
        PackImage images[kSkinLayerCount] = {{"base.bmp", row.bmp}};
        std::string skin, error;
        if (!PackSkin(BuiltinKeyMapText(), images, skin, error)) {
            EXPECT_EQ(error, row.pixels) << row.name;
            continue;
        }
        UnpackedSkin unpacked;
        SkinRefusal refusal;
        ASSERT_TRUE(UnpackSkin(skin, unpacked, refusal)) << row.name;
        EXPECT_EQ(PixelsOf(unpacked.images[0]), row.pixels) << row.name;
        ExpectRepackedTheSame(skin, row.name);
    }
}

// Sizes no bitmap file holds give none, and no pixel is read for them.
TEST(SkinTool, PixelsNoBitmapFileHoldsGiveNone)
{
    const struct {
        int width, height;
    } rows[] = {{0, 1}, {1, -1}, {40000, 40000}};
    for (const auto& row : rows) EXPECT_EQ(BitmapFromRgba(nullptr, row.width, row.height, 0), "") << row.width;
}

// Exit status, then the refusal or "loads" and the warnings, key map ones counted.
std::string CheckOutcome(const std::string& skin)
{
    const SkinCheck check = CheckSkin(skin);
    if (check.result != kSkinLoaded) {
        const std::string where = check.refusal.layer >= 0 ? std::string(kLayerNames[check.refusal.layer]) + ": " : "";
        return std::to_string(CheckStatus(check)) + " " + where + check.refusal.reason;
    }
    return std::to_string(CheckStatus(check)) + " loads, " + std::to_string(check.warnings.size()) + " warnings";
}

// Every corpus file: one that loads unpacks, and packs again the same unless packing converts an image.
TEST(SkinTool, CheckGivesTheProgramsVerdictOnEveryCorpusFile)
{
    // Files not listed load with 53 warnings: the hostile key map's 48 and one a layer.
    const std::map<std::string, std::string> outcomes = {
        {"builtin_images.skin", "0 loads, 0 warnings"}, {"eight_bit.skin", "1 loads, 5 warnings"},
        {"empty_records.skin", "1 loads, 5 warnings"},
        {"head_only.skin", "2 base: the file ends before this layer's image record"},
        {"mixed_depths.skin", "1 loads, 5 warnings"}, {"top_down.skin", "1 loads, 5 warnings"},
        {"wide_and_cube.skin", "1 loads, 6 warnings"}, {"sharp_2x.skin", "1 loads, 5 warnings"},
        {"hostile_sharp_cut_short.skin", "1 loads, 6 warnings"},
        {"hostile_empty.skin", "2 0 bytes: shorter than the 56 bytes of key map and colours"},
        {"hostile_key_map_only.skin", "2 48 bytes: shorter than the 56 bytes of key map and colours"},
        {"hostile_no_first_record.skin", "2 base: the file ends before this layer's image record"},
        {"hostile_last_layer_broken.skin", "2 down: 7 bytes of pixel data where 4 x 2 pixels of 8 bits need more"},
        {"hostile_record_past_the_file.skin", "2 base: an image record of 1086 bytes, but only 4 bytes follow"},
        {"hostile_record_of_2_gb.skin", "2 base: an image record of 2147483632 bytes, but only 1086 bytes follow"},
        {"hostile_32_bit_bit_fields.skin", "1 loads, 54 warnings"},
        {"hostile_16_bit_no_table.skin", "1 loads, 54 warnings"},
        {"hostile_table_beyond_the_block.skin", "2 base: its colour table of 3 entries does not end before the pixel data"},
        {"hostile_more_colours_than_bits.skin", "2 base: 17 colours for 4 bits per pixel (16 at most)"},
        {"hostile_36_byte_header.skin", "2 base: information header of 36 bytes (40 at least)"},
        {"hostile_header_longer_than_its_block.skin", "2 base: information header of 108 bytes, with its masks, does not end before the pixel data"},
        {"hostile_taller_than_the_screen_leaves.skin", "1 loads, 54 warnings"},
        {"hostile_width_0.skin", "2 base: width 0"}, {"hostile_height_0.skin", "2 base: height 0"},
        {"hostile_bits_0.skin", "2 base: 0 bits per pixel"}, {"hostile_bits_33.skin", "2 base: 33 bits per pixel"},
        {"hostile_pixels_short.skin", "2 base: 7 bytes of pixel data where 4 x 2 pixels of 8 bits need more"},
        {"hostile_rows_overflow.skin", "2 base: 0 bytes of pixel data where 2147483647 x 2147483647 pixels of 32 bits need more"},
        {"hostile_rows_overflow_some_pixels.skin", "2 base: 8 bytes of pixel data where 2147483647 x 2147483647 pixels of 32 bits need more"},
        {"hostile_offset_inside_the_header.skin", "2 base: pixel data offset 53 lies outside the file (54 to 1086)"},
        {"hostile_offset_past_the_record.skin", "2 base: pixel data offset 1087 lies outside the file (54 to 1086)"},
        {"keys_faults.txt", "2 base: an image record of 3474989432 bytes, but only 106 bytes follow"},
        {"keys_numbers.txt", "2 base: an image record of 876027956 bytes, but only 131 bytes follow"},
        {"keys_written.txt", "2 base: an image record of 1768169576 bytes, but only 1031 bytes follow"},
    };
    size_t repacked = 0, listedSeen = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kCorpus)) {
        const std::string file = entry.path().filename().string();
        const auto listed = outcomes.find(file);
        listedSeen += listed != outcomes.end();
        const std::string outcome = listed != outcomes.end() ? listed->second : "1 loads, 53 warnings";
        const std::string skin = Corpus(file);
        EXPECT_EQ(CheckOutcome(skin), outcome) << file;
        UnpackedSkin unpacked;
        SkinRefusal refusal;
        const bool loads = outcome.find(" loads") != std::string::npos;
        EXPECT_EQ(UnpackSkin(skin, unpacked, refusal), loads) << file;
        if (loads && std::none_of(std::begin(unpacked.images), std::end(unpacked.images), BitmapNeedsConverting)) {
            ExpectRepackedTheSame(skin, file);
            ++repacked;
        }
    }
    EXPECT_EQ(repacked, 20u);
    EXPECT_EQ(listedSeen, outcomes.size());
}

TEST(SkinTool, CheckNamesWhatWillLookWrong)
{
    UnpackedSkin builtin;
    SkinRefusal refusal;
    ASSERT_TRUE(UnpackSkin(Corpus("builtin_images.skin"), builtin, refusal));
    const std::string(&images)[kSkinLayerCount] = builtin.images;
    KeyMapText keys = BuiltinKeyMapText();
    keys.keyMap[12 + 5] = 200;
    const struct {
        std::string base;
        const char* report;
    } rows[] = {
        {ManyColoursPng(),
         "loads\nbase: width 880, not 176: its columns from 176 on are not shown\nbase: height 180: only its bottom 160 rows are shown\n"
         "up key 6: action 200 does nothing (actions are 0-74)\n"},
        {"", "loads\nbase: no image: nothing is drawn while no direction key is pressed\n"
             "up key 6: action 200 does nothing (actions are 0-74)\n"},
    };
    for (const auto& row : rows) {
        std::string skin;
        ASSERT_EQ(Packed(keys, {row.base, images[1], images[2], images[3], images[4]}, skin), "packed");
        const SkinCheck check = CheckSkin(skin);
        EXPECT_EQ(CheckReport(check), row.report);
        EXPECT_EQ(CheckStatus(check), 1);
    }
    EXPECT_EQ(CheckReport(CheckSkin("")),
              "falls back to the built-in skin: \"Загрузка скина\"\nwhy: 0 bytes: shorter than the 56 bytes of key map and colours\n");
}

// A bitmap file of `width` x `height` pixels of one opaque colour.
std::string PlainBitmap(int width, int height, uint8_t red, uint8_t green, uint8_t blue)
{
    std::vector<uint8_t> rgba;
    for (int i = 0; i < width * height; ++i) rgba.insert(rgba.end(), {red, green, blue, 255});
    return BitmapFromRgba(rgba.data(), width, height, 0);
}

// Sharper images go into the file after the five records, come out again as
// they went in, are judged by check and drawn by the preview as the program
// draws them: the sharpest whose scale divides the zoom.
TEST(SkinTool, SharperImagesPackUnpackCheckAndPreview)
{
    const std::string base = PlainBitmap(176, 2, 200, 0, 0), sharpBase = PlainBitmap(352, 4, 0, 200, 0);
    const struct {
        std::string sharp, down;
        const char* outcome;
    } rows[] = {
        {sharpBase, "", "packed"},
        {PlainBitmap(350, 4, 0, 200, 0), "", "base@2x.bmp: 350 x 4 pixels, where 2 times the base image is 352 x 4"},
        {sharpBase, PlainBitmap(352, 4, 0, 0, 9),
         "down@2x.bmp: down has an image at one size and none at the other (x1 and x2)"},
    };
    for (const auto& row : rows) {
        PackImage images[kSkinLayerCount] = {{"base.bmp", base}};
        std::vector<PackSharpSet> sharp{{2, {{"base@2x.bmp", row.sharp}}}};
        if (!row.down.empty()) sharp[0].images[4] = {"down@2x.bmp", row.down};
        std::string skin, error;
        EXPECT_EQ(PackSkin(BuiltinKeyMapText(), images, skin, error, sharp) ? "packed" : error, row.outcome);
        if (error.empty()) ExpectRepackedTheSame(skin, "2x");
    }
    PackImage images[kSkinLayerCount] = {{"base.bmp", base}};
    std::string skin, error;
    ASSERT_TRUE(PackSkin(BuiltinKeyMapText(), images, skin, error, {{2, {{"base@2x.bmp", sharpBase}}}}));
    UnpackedSkin unpacked;
    SkinRefusal refusal;
    ASSERT_TRUE(UnpackSkin(skin, unpacked, refusal));
    EXPECT_EQ(unpacked.sharpScales, std::vector<int>{2});
    EXPECT_EQ(unpacked.sharpImages[0][0], sharpBase);
    EXPECT_NE(UnpackedKeysText(unpacked).find("--scale 2 base@2x.bmp - - - -"), std::string::npos);

    // Zooms 1 to 4: the colour at the base screen's bottom left.
    std::string colours;
    for (int zoom = 1; zoom <= 4; ++zoom) {
        PreviewImage preview;
        preview.zoom = zoom;
        ASSERT_TRUE(RenderPreviewScreens(skin, preview, refusal));
        const uint8_t* p = &preview.rgb[static_cast<size_t>(PreviewHeight(preview) - 1) * PreviewWidth(preview) * 3];
        colours += p[0] != 0 ? "x1 " : "x2 ";
        EXPECT_EQ(preview.displayRows[0], (kPreviewScreenHeight - 2) * zoom) << zoom;
    }
    EXPECT_EQ(colours, "x1 x2 x1 x2 ");

    const std::string cut = skin.substr(0, skin.size() - 1);
    EXPECT_NE(CheckReport(CheckSkin(cut)).find("\nsharper images: an image record that cannot be read: the program "
                                               "leaves them all out, shows the x1 images and says so as the skin loads\n"),
              std::string::npos);
    EXPECT_EQ(CheckStatus(CheckSkin(cut)), 1);
    ASSERT_TRUE(UnpackSkin(cut, unpacked, refusal));
    EXPECT_TRUE(unpacked.sharpScales.empty());
}

// --- The preview

uint32_t PreviewPixel(const PreviewImage& preview, int x, int y)
{
    const uint8_t* p = &preview.rgb[(static_cast<size_t>(y) * kPreviewWidth + static_cast<size_t>(x)) * 3];
    return uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2];
}

TEST(SkinTool, PreviewDrawsWhatTheProgramDraws)
{
    std::string twoByTwo;  // base and down, on the built-in look
    Packed(BuiltinKeyMapText(), {kTwoByTwoPng, "", "", "", kTwoByTwoPng}, twoByTwo);
    KeyMapText keys = BuiltinKeyMapText();
    keys.textColor = 0x00563412;
    std::string textColour;  // the number, right-aligned: its last column is 174
    Packed(keys, {kTwoByTwoPng, "", "", "", ""}, textColour);
    const struct {
        std::string skin;
        int x, y;
        uint32_t rgb;
    } rows[] = {
        {Corpus("builtin_images.skin"), 5, 180 - 153 + 5, RgbOf(kBuiltinBackColor)},  // where the window samples the panel
        {twoByTwo, 0, 178, 0xFF0000},                               // the PNG's top left
        {twoByTwo, 1, 178, RgbOf(kBuiltinBackColor)},               // transparent: the back colour
        {twoByTwo, 0, 179, 0x676CF1},                               // half blue on the back colour
        {twoByTwo, 4 * 176 + 1, 179, 0xFFFFFF},                     // the down layer
        {twoByTwo, 2 * 176 + 1, 179, RgbOf(kBuiltinBackColor)},     // a layer without image
        {Corpus("hostile_16_bit_2_colours_used.skin"), 1, 179, 0x29847B},  // 5-5-5: 0x160F, two bytes in
        {Corpus("hostile_32_bit_bit_fields_and_a_table.skin"), 0, 179, 0x60B050},  // 0x160F0801, top 8 bits of each mask
        {Corpus("hostile_1_bit_wide_one_row.skin"), 7, 179, 0x030201},     // bit 7 of 0x01: table entry 1
        {Corpus("hostile_1_bit_wide_one_row.skin"), 6, 179, 0x000000},
        {Corpus("hostile_24_bit_the_colour_cube.skin"), 0, 179, 0x0F0801},
        {Corpus("hostile_taller_than_the_screen_leaves.skin"), 0, 20, 0x2FCA65},  // row 159 of 170, entry 101
        {Corpus("hostile_taller_than_the_screen_leaves.skin"), 0, 19, 0xC3B2A1},  // the display line above it
        {Corpus("hostile_16_bit_no_table.skin"), 0, 179, 0xC3B2A1},               // no palette: nothing drawn
        {textColour, 174, 85, 0x123456}, {textColour, 175, 85, RgbOf(kBuiltinBackColor)},
    };
    for (const auto& row : rows) {
        PreviewImage preview;
        SkinRefusal refusal;
        ASSERT_TRUE(RenderPreview(row.skin, preview, refusal)) << refusal.reason;
        EXPECT_EQ(PreviewPixel(preview, row.x, row.y), row.rgb) << row.x << "," << row.y;
    }
}

}  // namespace
