#include "core/text/numbers.h"

#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/text/text16.h"

namespace {

// A span of sign, digits, point and exponent only: from_chars reads it
// exactly and whatever the locale; strtod takes what it refuses (a leading
// "+", a number out of range: the infinity or the zero).
double Convert(const char* first, const char* last)
{
    double value = 0;
    const std::from_chars_result result = std::from_chars(first, last, value);
    if (result.ec == std::errc()) return value;
    const std::string copy(first, last);
    return std::strtod(copy.c_str(), nullptr);
}

double Convert(const char16_t* first, const char16_t* last)
{
    std::string narrow;
    for (const char16_t* p = first; p != last; ++p) narrow += static_cast<char>(*p);
    return Convert(narrow.data(), narrow.data() + narrow.size());
}

// One scan finds the number's span and gathers its digits. Clinger's fast
// path then: at most 15 significant digits times a power of ten up to 10^22
// is one exact product or quotient of two doubles, so it rounds as the full
// conversion would; most stored and typed values are such. Any other number
// goes to the full conversion.
template <typename Unit>
double ReadDecimal(const Unit* text, size_t length)
{
    static const double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                     1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    size_t i = 0;
    while (i < length && IsAsciiSpace(text[i])) ++i;
    const size_t start = i;
    const bool negative = i < length && text[i] == '-';
    if (i < length && (text[i] == '+' || text[i] == '-')) ++i;
    uint64_t mantissa = 0;
    int digits = 0;
    int exponent = 0;  // of ten, applied to the mantissa
    for (; i < length && IsAsciiDigit(text[i]); ++i, ++digits) mantissa = mantissa * 10 + (text[i] - '0');
    if (i < length && text[i] == '.')
        for (++i; i < length && IsAsciiDigit(text[i]); ++i, ++digits, --exponent)
            mantissa = mantissa * 10 + (text[i] - '0');
    if (digits == 0) return 0;
    if (i < length && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        const bool down = j < length && text[j] == '-';
        if (j < length && (text[j] == '+' || text[j] == '-')) ++j;
        if (j < length && IsAsciiDigit(text[j])) {
            int written = 0;
            for (; j < length && IsAsciiDigit(text[j]); ++j)
                if (written < 100000) written = written * 10 + (text[j] - '0');
            exponent += down ? -written : written;
            i = j;
        }
    }
    if (digits > 15 || exponent < -22 || exponent > 22) return Convert(text + start, text + i);
    const double m = static_cast<double>(mantissa);
    const double value = exponent >= 0 ? m * kPowers[exponent] : m / kPowers[-exponent];
    return negative ? -value : value;
}

}  // namespace

double ReadLeadingDecimal(const char* text, size_t length) { return ReadDecimal(text, length); }

double ReadLeadingDecimal(const char16_t* text, size_t length) { return ReadDecimal(text, length); }
