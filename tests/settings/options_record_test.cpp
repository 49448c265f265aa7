#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "settings/options.h"
#include "settings/options_record.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A stored value built byte by byte, little-endian, as the registry holds it.
struct StoredValue {
    StoredValue() : bytes(88, 0) {}
    StoredValue& Int(size_t offset, int32_t v)
    {
        for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
        return *this;
    }
    StoredValue& Name(size_t offset, const std::u16string& s)
    {
        for (size_t i = 0; i < s.size() && i < 16; ++i) {
            bytes[offset + 2 * i] = static_cast<uint8_t>(s[i]);
            bytes[offset + 2 * i + 1] = static_cast<uint8_t>(s[i] >> 8);
        }
        return *this;
    }
    Bytes bytes;
};

// Every field set to a valid value other than its default.
StoredValue GoodValue()
{
    StoredValue v;
    v.Int(0, 1).Int(4, 4).Int(8, 3).Int(12, 12).Int(16, 2).Name(20, u"Синий").Int(52, 1)
        .Name(56, u"physics");
    return v;
}

Options Read(const Bytes& bytes)
{
    Options o;
    std::memset(&o, 0xAB, sizeof o);  // nothing of what was there may survive
    OptionsFromRecord(o, bytes.data(), bytes.size());
    return o;
}

void ExpectDefaults(const Options& o)
{
    EXPECT_EQ(o.fontBold, 0);
    EXPECT_EQ(o.fontSize, 2);
    EXPECT_EQ(o.reprMode, 0);
    EXPECT_EQ(o.precision, 6);
    EXPECT_EQ(o.angleUnit, 0);
    EXPECT_EQ(std::u16string(o.skinName), u"");
    EXPECT_EQ(o.groupDigits, 0);
    EXPECT_EQ(std::u16string(o.constantsFile), u"constant");
}

TEST(OptionsRecordTest, MissingValueGivesDefaultsWithConstantsFile)
{
    Options o;
    std::memset(&o, 0xAB, sizeof o);
    OptionsFromRecord(o, nullptr, 0);
    ExpectDefaults(o);
    // Beyond the names' NUL the record is zero, so it is saved back clean.
    for (int i = 9; i < 16; ++i) EXPECT_EQ(o.constantsFile[i], 0);
    for (char16_t c : o.skinName) EXPECT_EQ(c, 0);
}

TEST(OptionsRecordTest, ValueOfAnyOtherSizeIsIgnoredWhole)
{
    Bytes good = GoodValue().bytes;
    for (size_t size : {size_t{1}, size_t{4}, size_t{20}, size_t{87}, size_t{89}, size_t{176}}) {
        SCOPED_TRACE(size);
        Bytes value = good;
        value.resize(size, 0x01);
        ExpectDefaults(Read(value));
    }
    Options o;
    OptionsFromRecord(o, nullptr, 88);
    ExpectDefaults(o);
}

TEST(OptionsRecordTest, ValidValueIsTakenFieldByField)
{
    Options o = Read(GoodValue().bytes);
    EXPECT_EQ(o.fontBold, 1);
    EXPECT_EQ(o.fontSize, 4);
    EXPECT_EQ(o.reprMode, 3);
    EXPECT_EQ(o.precision, 12);
    EXPECT_EQ(o.angleUnit, 2);
    EXPECT_EQ(std::u16string(o.skinName), u"Синий");
    EXPECT_EQ(o.groupDigits, 1);
    EXPECT_EQ(std::u16string(o.constantsFile), u"physics");
}

TEST(OptionsRecordTest, ValueIsTheRecordsOwnBytes)
{
    // What the program writes back is read again unchanged.
    Options written;
    DefaultOptions(written);
    written.reprMode = 2;
    written.precision = 1;
    written.fontBold = 700;
    std::memcpy(written.skinName, u"abc", 8);
    std::memcpy(written.constantsFile, u"constant", 18);
    Bytes value(sizeof written);
    std::memcpy(value.data(), &written, sizeof written);
    Options read = Read(value);
    EXPECT_EQ(0, std::memcmp(&read, &written, sizeof read));
}

TEST(OptionsRecordTest, EmptyConstantsFileBecomesConstant)
{
    StoredValue v = GoodValue();
    for (int i = 0; i < 32; ++i) v.bytes[56 + i] = 0;
    Options o = Read(v.bytes);
    EXPECT_EQ(std::u16string(o.constantsFile), u"constant");
    EXPECT_EQ(std::u16string(o.skinName), u"Синий");  // an empty skin name stays the built-in skin
}

struct FieldCase {
    const char* name;
    size_t offset;
    int32_t stored;
    int32_t expected;
    int32_t Options::*field;
};

const FieldCase kFieldCases[] = {
    {"fontSize -1", 4, -1, 2, &Options::fontSize},
    {"fontSize 0", 4, 0, 0, &Options::fontSize},
    {"fontSize 5", 4, 5, 2, &Options::fontSize},
    {"fontSize min", 4, INT32_MIN, 2, &Options::fontSize},
    {"reprMode -1", 8, -1, 0, &Options::reprMode},
    {"reprMode 3", 8, 3, 3, &Options::reprMode},
    {"reprMode 4", 8, 4, 0, &Options::reprMode},
    {"reprMode max", 8, INT32_MAX, 0, &Options::reprMode},
    {"precision 0", 12, 0, 6, &Options::precision},
    {"precision 1", 12, 1, 1, &Options::precision},
    {"precision 12", 12, 12, 12, &Options::precision},
    {"precision 13", 12, 13, 6, &Options::precision},
    {"precision -6", 12, -6, 6, &Options::precision},
    {"angleUnit -1", 16, -1, 0, &Options::angleUnit},
    {"angleUnit 2", 16, 2, 2, &Options::angleUnit},
    {"angleUnit 3", 16, 3, 0, &Options::angleUnit},
    {"groupDigits 2", 52, 2, 0, &Options::groupDigits},
    {"groupDigits -1", 52, -1, 0, &Options::groupDigits},
    {"fontBold any value is bold", 0, -7, -7, &Options::fontBold},
};

class OptionsFieldTest : public ::testing::TestWithParam<FieldCase> {};

TEST_P(OptionsFieldTest, OutOfRangeFieldTakesItsDefaultAloneOthersKept)
{
    const FieldCase& c = GetParam();
    StoredValue v = GoodValue();
    v.Int(c.offset, c.stored);
    Options o = Read(v.bytes);
    EXPECT_EQ(o.*c.field, c.expected);
    // The other fields keep their stored values.
    Options good = Read(GoodValue().bytes);
    o.*c.field = good.*c.field;
    EXPECT_EQ(0, std::memcmp(&o, &good, sizeof o));
}

INSTANTIATE_TEST_SUITE_P(Fields, OptionsFieldTest, ::testing::ValuesIn(kFieldCases),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(OptionsRecordTest, UnterminatedNamesAreCutTo15Units)
{
    StoredValue v = GoodValue();
    v.Name(20, u"ABCDEFGHIJKLMNOP").Name(56, u"abcdefghijklmnop");  // 16 units, no NUL
    Options o = Read(v.bytes);
    EXPECT_EQ(std::u16string(o.skinName), u"ABCDEFGHIJKLMNO");
    EXPECT_EQ(std::u16string(o.constantsFile), u"abcdefghijklmno");
    // The field after skinName is untouched by the cut.
    EXPECT_EQ(o.groupDigits, 1);
}

TEST(OptionsRecordTest, NameOf15UnitsIsKept)
{
    StoredValue v = GoodValue();
    v.Name(20, u"ABCDEFGHIJKLMNO");
    Options o = Read(v.bytes);
    EXPECT_EQ(std::u16string(o.skinName), u"ABCDEFGHIJKLMNO");
}

TEST(OptionsRecordTest, SanitizeRepairsARecordInPlace)
{
    Options o;
    std::memset(&o, 0x7F, sizeof o);  // every field out of range, names unterminated
    SanitizeOptions(o);
    EXPECT_EQ(o.fontSize, 2);
    EXPECT_EQ(o.reprMode, 0);
    EXPECT_EQ(o.precision, 6);
    EXPECT_EQ(o.angleUnit, 0);
    EXPECT_EQ(o.groupDigits, 0);
    EXPECT_EQ(o.skinName[15], 0);
    EXPECT_EQ(std::u16string(o.skinName).size(), 15u);
    EXPECT_EQ(std::u16string(o.constantsFile).size(), 15u);

    Options d;
    DefaultOptions(d);
    SanitizeOptions(d);
    EXPECT_EQ(std::u16string(d.constantsFile), u"constant");
    EXPECT_EQ(d.precision, 6);
}

}  // namespace
