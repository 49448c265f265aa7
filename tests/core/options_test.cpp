// The stored options value as bytes: what the program takes from it.
#include <cstring>
#include <string>
#include <vector>

#include "core/settings/options.h"
#include "tests/core/support.h"

namespace {

// "bold size repr precision angle skin group constants": every field, as read.
std::string Describe(const Options& o)
{
    std::string out;
    for (int32_t field : {o.fontBold, o.fontSize, o.reprMode, o.precision, o.angleUnit}) out += std::to_string(field) + ' ';
    AppendUtf8(out, o.skinName);
    out += ' ' + std::to_string(o.groupDigits) + ' ';
    AppendUtf8(out, o.constantsFile);
    return out;
}

// A stored value: 88 bytes, little-endian; fields given as they are stored.
std::vector<uint8_t> Stored(std::vector<int32_t> ints, const std::u16string& skin, int32_t group,
                            const std::u16string& constants)
{
    std::vector<uint8_t> bytes(88, 0);
    auto put = [&](size_t at, int32_t v) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
    };
    auto name = [&](size_t at, const std::u16string& s) {
        for (size_t i = 0; i < s.size() && i < 16; ++i) {
            bytes[at + 2 * i] = static_cast<uint8_t>(s[i]);
            bytes[at + 2 * i + 1] = static_cast<uint8_t>(s[i] >> 8);
        }
    };
    for (size_t i = 0; i < ints.size(); ++i) put(4 * i, ints[i]);
    name(20, skin);
    put(52, group);
    name(56, constants);
    return bytes;
}

struct OptionsRow {
    std::vector<uint8_t> bytes;
    const char* options;
};

TEST(Options, StoredValuesReadAs)
{
    const std::vector<uint8_t> good = Stored({1, 4, 3, 12, 2}, u"Синий", 1, u"physics");
    std::vector<uint8_t> longer = good;
    longer.push_back(1);
    // An older writer's shorter value fills the start; a field it cuts keeps
    // the default's remaining bytes.
    const std::vector<uint8_t> shorter(good.begin(), good.end() - 1), eight(good.begin(), good.begin() + 8),
        ten(good.begin(), good.begin() + 10), cutName(good.begin(), good.begin() + 24);
    const OptionsRow rows[] = {
        {{}, "0 2 0 6 0  0 constant"}, {good, "1 4 3 12 2 Синий 1 physics"}, {longer, "0 2 0 6 0  0 constant"},
        {shorter, "1 4 3 12 2 Синий 1 physics"}, {eight, "1 4 0 6 0  0 constant"}, {ten, "1 4 3 6 0  0 constant"},
        {cutName, "1 4 3 12 2 Си 0 constant"}, {Stored({-7, 5, 4, 13, 3}, u"", 2, u""), "-7 2 0 6 0  0 constant"},
        {Stored({0, -1, -1, 0, -1}, u"", -1, u"x"), "0 2 0 6 0  0 x"},
        {Stored({0, 0, 0, 1, 0}, u"ABCDEFGHIJKLMNOPQ", 0, u"0123456789abcdefXYZ"),
         "0 0 0 1 0 ABCDEFGHIJKLMNO 0 0123456789abcde"},
        // Names that could reach outside the program's folder are no names.
        {Stored({}, u"..\\up", 0, u"a/b"), "0 0 0 6 0  0 constant"},
        {Stored({}, u"C:skin", 0, u"x:y"), "0 0 0 6 0  0 constant"},
        {Stored({}, u"a..b", 0, u"tab\there"), "0 0 0 6 0 a..b 0 constant"},
        {Stored({}, u"..", 0, u"."), "0 0 0 6 0  0 constant"},
        {Stored({}, u"CON", 0, u"com1.txt"), "0 0 0 6 0  0 constant"},
        {Stored({}, u"lpt9 .skin", 0, u"Nul"), "0 0 0 6 0  0 constant"},
        {Stored({}, u"conin$", 0, u"COM\u00B9"), "0 0 0 6 0  0 constant"},
        {Stored({}, u"a*b", 0, u"<x>"), "0 0 0 6 0  0 constant"},
        {Stored({}, u"CONSOLE", 0, u"com10"), "0 0 0 6 0 CONSOLE 0 com10"},
        {Stored({}, u"a.b", 0, u"aux_1"), "0 0 0 6 0 a.b 0 aux_1"},
    };
    for (const OptionsRow& row : rows) {
        Options options;
        std::memset(&options, 0xAB, sizeof options);  // nothing of what was there survives
        OptionsFromRecord(options, row.bytes.empty() ? nullptr : row.bytes.data(), row.bytes.size());
        EXPECT_EQ(Describe(options), row.options) << row.bytes.size();
        if (&row == &rows[1]) {
            uint8_t written[88];
            OptionsToRecord(options, written);
            EXPECT_EQ(std::memcmp(written, good.data(), 88), 0);  // written back byte for byte
        }
    }
    Options defaults;
    OptionsFromRecord(defaults, nullptr, 0);
    for (int i = 9; i < 16; ++i) EXPECT_EQ(defaults.constantsFile[i], 0);  // saved back clean
}

}  // namespace
