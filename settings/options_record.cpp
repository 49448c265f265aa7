#include "settings/options_record.h"

#include "engine/text16.h"

namespace {

// The value is little-endian whatever the host; decode it field by field.
int32_t Le32(const uint8_t* p)
{
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}

void LeName(char16_t (&name)[16], const uint8_t* p)
{
    for (int i = 0; i < 16; ++i)
        name[i] = static_cast<char16_t>(p[2 * i] | p[2 * i + 1] << 8);
}

struct RangeRule {
    int32_t Options::*field;
    int32_t lowest;
    int32_t highest;
    int32_t fallback;
};

const RangeRule kRangeRules[] = {
    {&Options::fontSize, 0, 4, 2},
    {&Options::reprMode, kReprDecimal, kReprExponent, kReprDecimal},
    {&Options::precision, 1, 12, 6},
    {&Options::angleUnit, kAngleRadian, kAngleDegree, kAngleRadian},
    {&Options::groupDigits, 0, 1, 0},
};

}  // namespace

void OptionsFromRecord(Options& options, const uint8_t* bytes, size_t size)
{
    DefaultOptions(options);
    if (bytes != nullptr && size == sizeof(Options)) {
        options.fontBold = Le32(bytes + offsetof(Options, fontBold));
        options.fontSize = Le32(bytes + offsetof(Options, fontSize));
        options.reprMode = Le32(bytes + offsetof(Options, reprMode));
        options.precision = Le32(bytes + offsetof(Options, precision));
        options.angleUnit = Le32(bytes + offsetof(Options, angleUnit));
        LeName(options.skinName, bytes + offsetof(Options, skinName));
        options.groupDigits = Le32(bytes + offsetof(Options, groupDigits));
        LeName(options.constantsFile, bytes + offsetof(Options, constantsFile));
    }
    SanitizeOptions(options);
}

void SanitizeOptions(Options& options)
{
    for (const RangeRule& rule : kRangeRules) {
        int32_t& value = options.*rule.field;
        if (value < rule.lowest || value > rule.highest) value = rule.fallback;
    }
    options.skinName[15] = 0;
    options.constantsFile[15] = 0;
    if (options.constantsFile[0] == 0) U16Copy(options.constantsFile, 16, u"constant");
}
