// Turning the stored settings value into a record the program can trust.
//
// The value may have been written by anyone with access to the registry, so
// nothing in it is taken on faith: a value of the wrong size is ignored whole,
// and every field that the program indexes or prints with is brought into range.
#pragma once

#include <cstddef>
#include <cstdint>

#include "settings/options.h"

// Fills `options` from a stored value; size 0 (missing value or wrong type) or
// any size other than sizeof(Options) gives the defaults. Then makes every field
// safe (out of range -> default, names cut to 15 units + NUL, empty
// constantsFile -> u"constant").
void OptionsFromRecord(Options& options, const uint8_t* bytes, size_t size);

// Out-of-range fields take their defaults: reprMode 0..3, angleUnit 0..2,
// precision 1..12, fontSize 0..4, groupDigits 0 or 1 (fontBold is a flag where
// any value other than 0 means bold). Both names end at unit 15 at the latest,
// and an empty constantsFile becomes "constant".
void SanitizeOptions(Options& options);
