#include "core/settings/options.h"

#include <cstring>

#include "core/text/file_names.h"
#include "core/text/little_endian.h"
#include "core/text/text16.h"

namespace {

// The value is little-endian whatever the host; it is decoded field by field.
int32_t LeInt(const uint8_t* p) { return static_cast<int32_t>(Le32(p)); }

void LeName(char16_t (&name)[16], const uint8_t* p)
{
    for (int i = 0; i < 16; ++i) name[i] = Le16(p + 2 * i);
}

void PutLeName(uint8_t* p, const char16_t (&name)[16])
{
    for (int i = 0; i < 16; ++i) {
        p[2 * i] = static_cast<uint8_t>(name[i]);
        p[2 * i + 1] = static_cast<uint8_t>(name[i] >> 8);
    }
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

void DefaultOptions(Options& options)
{
    std::memset(&options, 0, sizeof options);
    options.fontSize = 2;
    options.precision = 6;
}

void OptionsFromRecord(Options& options, const uint8_t* bytes, size_t size)
{
    DefaultOptions(options);
    if (bytes != nullptr && size > 0 && size <= sizeof(Options)) {
        uint8_t record[sizeof(Options)];
        OptionsToRecord(options, record);
        std::memcpy(record, bytes, size);
        options.fontBold = LeInt(record + offsetof(Options, fontBold));
        options.fontSize = LeInt(record + offsetof(Options, fontSize));
        options.reprMode = LeInt(record + offsetof(Options, reprMode));
        options.precision = LeInt(record + offsetof(Options, precision));
        options.angleUnit = LeInt(record + offsetof(Options, angleUnit));
        LeName(options.skinName, record + offsetof(Options, skinName));
        options.groupDigits = LeInt(record + offsetof(Options, groupDigits));
        LeName(options.constantsFile, record + offsetof(Options, constantsFile));
    }
    SanitizeOptions(options);
}

void OptionsToRecord(const Options& options, uint8_t (&bytes)[sizeof(Options)])
{
    PutLe32(bytes + offsetof(Options, fontBold), static_cast<uint32_t>(options.fontBold));
    PutLe32(bytes + offsetof(Options, fontSize), static_cast<uint32_t>(options.fontSize));
    PutLe32(bytes + offsetof(Options, reprMode), static_cast<uint32_t>(options.reprMode));
    PutLe32(bytes + offsetof(Options, precision), static_cast<uint32_t>(options.precision));
    PutLe32(bytes + offsetof(Options, angleUnit), static_cast<uint32_t>(options.angleUnit));
    PutLeName(bytes + offsetof(Options, skinName), options.skinName);
    PutLe32(bytes + offsetof(Options, groupDigits), static_cast<uint32_t>(options.groupDigits));
    PutLeName(bytes + offsetof(Options, constantsFile), options.constantsFile);
}

void SanitizeOptions(Options& options)
{
    for (const RangeRule& rule : kRangeRules) {
        int32_t& value = options.*rule.field;
        if (value < rule.lowest || value > rule.highest) value = rule.fallback;
    }
    options.skinName[15] = 0;
    options.constantsFile[15] = 0;
    // A name that could reach outside the program's folder (a path, a device)
    // is no name: the built-in skin, the default constants file.
    if (options.skinName[0] != 0 && !IsPlainFileName(options.skinName))
        std::memset(options.skinName, 0, sizeof options.skinName);
    if (!IsPlainFileName(options.constantsFile)) {
        std::memset(options.constantsFile, 0, sizeof options.constantsFile);
        U16Copy(options.constantsFile, 16, u"constant");
    }
}
