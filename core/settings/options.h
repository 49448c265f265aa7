// The settings record: 88 bytes, stored whole as one registry value, and the
// rules that make a stored value safe to use. The byte layout is the stored
// format and must never change.
#pragma once

#include <cstddef>
#include <cstdint>

struct Options {
    int32_t fontBold;          // display font weight 700 when not 0
    int32_t fontSize;          // 0 "Очень мелкий" .. 4 "Очень крупный"
    int32_t reprMode;          // 0 decimal, 1 hexadecimal, 2 binary, 3 decimal exponent
    int32_t precision;         // digits after the point, 1..12
    int32_t angleUnit;         // 0 radian, 1 grad, 2 degree
    char16_t skinName[16];     // without folder and ".skin"; empty: built-in skin
    int32_t groupDigits;       // 1: the display separates digit groups
    char16_t constantsFile[16];  // without folder and ".txt"
};

static_assert(sizeof(Options) == 88, "the stored record is 88 bytes");
static_assert(offsetof(Options, reprMode) == 8);
static_assert(offsetof(Options, precision) == 12);
static_assert(offsetof(Options, angleUnit) == 16);
static_assert(offsetof(Options, skinName) == 20);
static_assert(offsetof(Options, groupDigits) == 52);
static_assert(offsetof(Options, constantsFile) == 56);

enum { kReprDecimal = 0, kReprHex = 1, kReprBinary = 2, kReprExponent = 3 };
enum { kAngleRadian = 0, kAngleGrad = 1, kAngleDegree = 2 };

// All bytes 0, then font size 2 and precision 6.
void DefaultOptions(Options& options);

// The stored value may have been written by anyone with access to the
// registry, so nothing in it is taken on faith.
//
// Fills `options` from a stored value. A value shorter than the record (an
// older writer's) fills its start, the rest keeps the defaults; size 0
// (missing value or wrong type) or a longer value gives the defaults. Then
// makes every field safe with SanitizeOptions.
void OptionsFromRecord(Options& options, const uint8_t* bytes, size_t size);

// The stored value of `options`: its fields little-endian, in record order.
void OptionsToRecord(const Options& options, uint8_t (&bytes)[sizeof(Options)]);

// Out-of-range fields take their defaults: reprMode 0..3, angleUnit 0..2,
// precision 1..12, fontSize 0..4, groupDigits 0 or 1 (fontBold is a flag where
// any value other than 0 means bold). Both names end at unit 15 at the latest,
// and an empty constantsFile becomes "constant".
void SanitizeOptions(Options& options);
