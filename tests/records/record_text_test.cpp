// Names, header lines and record lines, without files.
#include "records/record_file.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// ---- Character conversion ---------------------------------------------------

struct ByteUnit {
    unsigned char byte;
    char16_t unit;
};

TEST(NameConversion, DecodesEveryByteClass)
{
    const ByteUnit cases[] = {
        {0x01, 0x0001}, {'A', u'A'},    {'=', u'='},    {0x7F, 0x007F}, {0x80, 0x0080}, {0xA7, 0x00A7},
        {0xA8, u'Ё'},   {0xA9, 0x00A9}, {0xB7, 0x00B7}, {0xB8, u'ё'},   {0xB9, 0x00B9}, {0xBF, 0x00BF},
        {0xC0, u'А'},   {0xDF, u'Я'},   {0xE0, u'а'},   {0xFF, u'я'},   {0xC9, u'Й'},   {0xF9, u'щ'},
    };
    for (const ByteUnit& c : cases)
        EXPECT_EQ(DecodeNameByte(c.byte), c.unit) << "byte " << int(c.byte);
}

TEST(NameConversion, EncodesEveryUnitClass)
{
    const ByteUnit cases[] = {
        {0xA8, u'Ё'},   {0xB8, u'ё'},   {0xC0, u'А'},   {0xFF, u'я'},   {0xDF, u'Я'},   {0xE0, u'а'},
        {0x00, 0x0400},  // Ѐ ends the name
        {0x20, 0x0402}, {0x20, 0x0450}, {0x20, 0x0452}, {0x20, 0x04FF},  // the rest of the block
        {'A', u'A'},    {0xE9, u'é'},   {0x41, 0x0141}, {0x00, 0x0100},  // low byte, 0 ends the name
        {0xA3, 0x20A3}, {0x3D, 0x013D}, {0x00, 0x0500}, {0xFF, 0x03FF},
    };
    for (const ByteUnit& c : cases)
        EXPECT_EQ(EncodeNameUnit(c.unit), c.byte) << "unit " << int(c.unit);
}

TEST(NameConversion, EveryNonZeroByteSurvivesARoundTrip)
{
    for (int b = 1; b < 256; ++b)
        EXPECT_EQ(EncodeNameUnit(DecodeNameByte(static_cast<unsigned char>(b))), b) << b;
}

TEST(NameConversion, RussianAlphabetWithYoSurvivesARoundTrip)
{
    const char16_t name[] = u"Ёлка ёж ЩЪЫЬЭЮЯ абвгдежзийклмнопрстуфхцчшщъыьэюя";
    char bytes[128];
    const size_t size = EncodeName(name, bytes, sizeof bytes);
    ASSERT_EQ(size, std::char_traits<char16_t>::length(name));
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xA8);
    EXPECT_EQ(static_cast<unsigned char>(bytes[5]), 0xB8);
    char16_t back[128];
    DecodeName(bytes, back, 128);
    EXPECT_EQ(std::u16string(back), std::u16string(name));
}

TEST(NameConversion, EncodeStopsWhereTheByteIsZero)
{
    char bytes[16];
    EXPECT_EQ(EncodeName(u"ab\u0400cd", bytes, sizeof bytes), 2u);
    EXPECT_STREQ(bytes, "ab");
    EXPECT_EQ(EncodeName(u"x\u0100y", bytes, sizeof bytes), 1u);
    EXPECT_STREQ(bytes, "x");
}

TEST(NameConversion, OutputsAreBoundedAndTerminated)
{
    char bytes[4] = {'#', '#', '#', '#'};
    EXPECT_EQ(EncodeName(u"abcdef", bytes, 4), 3u);
    EXPECT_STREQ(bytes, "abc");
    char16_t units[3] = {u'#', u'#', u'#'};
    EXPECT_EQ(DecodeName("\xC0\xC1\xC2\xC3", units, 3), 2u);
    EXPECT_EQ(std::u16string(units), u"АБ");
    EXPECT_EQ(EncodeName(u"abc", bytes, 0), 0u);
    EXPECT_EQ(DecodeName("abc", units, 0), 0u);
}

TEST(NameConversion, CopyRecordNameCutsToTheLimit)
{
    char16_t* copy = CopyRecordName(u"Доллар США", 6);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(std::u16string(copy), u"Доллар");
    std::free(copy);
    copy = CopyRecordName(u"pi", 14);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(std::u16string(copy), u"pi");
    std::free(copy);
}

// ---- Header line -------------------------------------------------------------

struct HeaderCase {
    const char* line;
    int n;
    int expected[6];
};

TEST(HeaderLine, NumbersBecomeZeroBasedIndices)
{
    const HeaderCase cases[] = {
        {"1,2,3,4,5,6", 6, {0, 1, 2, 3, 4, 5}},
        {"3,,5", 6, {2, 0, 4, 0, 0, 0}},
        {"0,2", 6, {0, 1, 0, 0, 0, 0}},
        {"2,2,2,2,2,2", 6, {1, 1, 1, 1, 1, 1}},
        {"5,1,2", 3, {4, 0, 1}},
        {"x,7,y", 3, {0, 6, 0}},
        {"-3,4", 3, {-4, 3, 0}},
        {" 4, +5 ,6", 3, {3, 4, 5}},
        {"0x10,2", 3, {0, 1, 0}},
        {"pi=3.14159", 3, {0, 0, 0}},  // a record taken as the header
        {"1,2,3,4,5,6,7,8", 3, {0, 1, 2}},
        {"", 3, {0, 0, 0}},
        {",,,", 3, {0, 0, 0}},
    };
    for (const HeaderCase& c : cases) {
        int indices[6] = {77, 77, 77, 77, 77, 77};
        ParseHeaderLine(c.line, indices, c.n);
        for (int k = 0; k < c.n; ++k)
            EXPECT_EQ(indices[k], c.expected[k]) << '"' << c.line << "\" index " << k;
        for (int k = c.n; k < 6; ++k) EXPECT_EQ(indices[k], 77) << "written past n";
    }
}

TEST(HeaderLine, HugeNumbersAreClampedNotOverflowed)
{
    int indices[3];
    ParseHeaderLine("99999999999999999999,-99999999999999999999,2147483647", indices, 3);
    EXPECT_EQ(indices[0], INT_MAX - 1);
    EXPECT_EQ(indices[1], INT_MIN);
    EXPECT_EQ(indices[2], INT_MAX - 1);
}

// ---- Record line -------------------------------------------------------------

struct RecordCase {
    const char* line;
    size_t limit;
    RecordParse result;
    const char16_t* name;
    double value;
};

RecordParse Parse(const char* text, size_t limit, std::u16string& name, double& value)
{
    std::string line(text);
    char16_t* parsed = nullptr;
    value = -12345;
    const RecordParse result = ParseRecordLine(line.data(), line.size(), limit, false, &parsed, &value);
    name = parsed != nullptr ? std::u16string(parsed) : u"<none>";
    std::free(parsed);
    return result;
}

TEST(RecordLine, WhatIsARecordAndWhatItHolds)
{
    const RecordCase cases[] = {
        {"pi=3.14159", 14, kRecord, u"pi", 3.14159},
        {"a=b", 14, kRecord, u"a", 0.0},
        {"a=1.5kg", 14, kRecord, u"a", 1.5},
        {"a= 2", 14, kRecord, u"a", 2.0},
        {"a=\t-2.5e3x", 14, kRecord, u"a", -2500.0},
        {"k=1=2", 14, kRecord, u"k", 1.0},
        {"a==", 14, kRecord, u"a", 0.0},
        {" sp ace =7", 14, kRecord, u" sp ace ", 7.0},
        {"e=+.5", 14, kRecord, u"e", 0.5},
        {"e=5.", 14, kRecord, u"e", 5.0},
        {"e=1e", 14, kRecord, u"e", 1.0},
        {"e=1e+", 14, kRecord, u"e", 1.0},
        {"e=2E-3", 14, kRecord, u"e", 0.002},
        {"e=1e400", 14, kRecord, u"e", HUGE_VAL},
        {"h=0x1A", 14, kRecord, u"h", 0.0},
        {"i=inf", 14, kRecord, u"i", 0.0},
        {"n=nan", 14, kRecord, u"n", 0.0},
        {"d=.", 14, kRecord, u"d", 0.0},
        {"d=-", 14, kRecord, u"d", 0.0},
        {"=5", 14, kNotRecord, nullptr, 0},
        {"ab=", 14, kNotRecord, nullptr, 0},
        {"a=", 14, kNotRecord, nullptr, 0},
        {"ab", 14, kNotRecord, nullptr, 0},
        {"abcdef", 14, kNotRecord, nullptr, 0},
        {"", 14, kNotRecord, nullptr, 0},
        // Name limits: 14 bytes for constants, 6 for currencies.
        {"abcdefghijklmn=1", 14, kRecord, u"abcdefghijklmn", 1.0},
        {"abcdefghijklmno=1", 14, kRecord, u"abcdefghijklmn", 1.0},
        {"abcdefghijklmnopqrstuvwxyz=1", 14, kRecord, u"abcdefghijklmn", 1.0},
        {"ABCDEF=2", 6, kRecord, u"ABCDEF", 2.0},
        {"ABCDEFGH=2.25", 6, kRecord, u"ABCDEF", 2.25},
        {"\xD0\xF3\xE1\xEB\xFC=1", 6, kRecord, u"Рубль", 1.0},
        {"\xA8\xB8=3", 6, kRecord, u"Ёё", 3.0},
    };
    for (const RecordCase& c : cases) {
        std::u16string name;
        double value;
        const RecordParse result = Parse(c.line, c.limit, name, value);
        EXPECT_EQ(result, c.result) << '"' << c.line << '"';
        if (c.result != kRecord || result != kRecord) continue;
        EXPECT_EQ(name, std::u16string(c.name)) << '"' << c.line << '"';
        EXPECT_EQ(value, c.value) << '"' << c.line << '"';
    }
}

TEST(RecordLine, CountOnlyTouchesNothing)
{
    std::string line = "pi=3.14159";
    char16_t sentinel[] = u"keep";
    char16_t* name = sentinel;
    double value = 9;
    EXPECT_EQ(ParseRecordLine(line.data(), line.size(), 14, true, &name, &value), kRecord);
    EXPECT_EQ(name, sentinel);
    EXPECT_EQ(value, 9);
    EXPECT_EQ(line, "pi=3.14159");
    EXPECT_EQ(ParseRecordLine(line.data(), line.size(), 14, true, nullptr, nullptr), kRecord);
    std::string none = "=5";
    EXPECT_EQ(ParseRecordLine(none.data(), none.size(), 14, true, nullptr, nullptr), kNotRecord);
}

TEST(RecordLine, LongValueTextReadsBackExactly)
{
    // A "%f" text of 1e300 is over 300 bytes: it must be read whole.
    char text[400];
    std::snprintf(text, sizeof text, "big=%f", 1e300);
    std::u16string name;
    double value;
    ASSERT_EQ(Parse(text, 6, name, value), kRecord);
    EXPECT_EQ(value, 1e300);
    std::snprintf(text, sizeof text, "max=%f", DBL_MAX);
    ASSERT_EQ(Parse(text, 6, name, value), kRecord);
    EXPECT_EQ(value, DBL_MAX);
}

}  // namespace
