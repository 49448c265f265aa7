// Display formatting: the value in four representations, the representation
// and angle-unit switches, digit grouping and the mode indicator.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/engine/engine.h"
#include "core/text/text16.h"

namespace {

// A fixed-format text ("%.6f": it has a point) loses its trailing zeros and
// then a bare point; "-0.000000" becomes "-0".
void TrimFixed(char* s)
{
    size_t len = std::strlen(s);
    while (s[len - 1] == '0') --len;  // the point stops it
    if (s[len - 1] == '.') --len;
    s[len] = 0;
}

void FormatBinary(char* out, uint32_t bits)
{
    size_t n = 0;
    bool started = false;
    for (int i = 31; i >= 0; --i) {
        bool one = (bits >> i) & 1u;
        started = started || one;
        if (started) out[n++] = one ? '1' : '0';
    }
    if (n == 0) out[n++] = '0';
    out[n] = 0;
}

int GroupSize(int reprMode)
{
    return (reprMode == kReprHex || reprMode == kReprBinary) ? 4 : 3;
}

bool IsGroupDigit(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F');
}

}  // namespace

void BuildFormats(EngineState& engine)
{
    int precision = engine.options->precision;
    // A precision outside 1..12 would let a fixed-format text outgrow the display.
    if (precision < 1) precision = 1;
    if (precision > 12) precision = 12;
    std::snprintf(engine.fixedFormat, sizeof engine.fixedFormat, "%%.%df", precision);
    std::snprintf(engine.expFormat, sizeof engine.expFormat, "%%.%de", precision);
}

void FormatValue(EngineState& engine, double x)
{
    static const char16_t kError[] = u"ERROR";
    if (!std::isfinite(x)) {
        U16Copy(engine.text, kTextCapacity, kError);
        return;
    }

    char printed[64];
    switch (engine.options->reprMode) {
    case kReprHex:
        std::snprintf(printed, sizeof printed, "%X", static_cast<unsigned>(static_cast<uint32_t>(ToInt32(x))));
        break;
    case kReprBinary:
        FormatBinary(printed, static_cast<uint32_t>(ToInt32(x)));
        break;
    case kReprExponent:
        std::snprintf(printed, sizeof printed, engine.expFormat, x);
        break;
    default:
        if (x > -1e16 && x < 1e16) {
            std::snprintf(printed, sizeof printed, engine.fixedFormat, x);
            TrimFixed(printed);
        } else {
            std::snprintf(printed, sizeof printed, engine.expFormat, x);
        }
        break;
    }
    U16FromAscii(engine.text, kTextCapacity, printed);
}

void SetReprMode(EngineState& engine, int mode)
{
    engine.options->reprMode = mode;
    TellModesChanged(engine.listener, *engine.options);
}

void SetAngleUnit(EngineState& engine, int unit)
{
    engine.options->angleUnit = unit;
    TellModesChanged(engine.listener, *engine.options);
}

namespace {

// The indicator before the number, as drawn and as a screen reader says it:
// the representation for hexadecimal and binary, else the angle unit.
struct Indicator {
    const char16_t* shown;
    const char16_t* spoken;
};

const Indicator& IndicatorOf(const EngineState& engine)
{
    static const Indicator kHex{u"H", u"шестнадцатеричная система"}, kBinary{u"B", u"двоичная система"};
    static const Indicator kAngles[] = {{u"rd", u"радианы"}, {u"gr", u"грады"}, {u"dg", u"градусы"}};
    if (engine.options->reprMode == kReprHex) return kHex;
    if (engine.options->reprMode == kReprBinary) return kBinary;
    return kAngles[AngleUnitOf(engine)];
}

}  // namespace

const char16_t* DisplayIndicator(const EngineState& engine) { return IndicatorOf(engine).shown; }

const char16_t* DisplayIndicatorWords(const EngineState& engine) { return IndicatorOf(engine).spoken; }

size_t GroupedText(const EngineState& engine, char16_t* out, size_t capacity)
{
    if (capacity == 0) return 0;
    const char16_t* text = engine.text;
    size_t run = 0;
    while (IsGroupDigit(text[run])) ++run;

    size_t group = static_cast<size_t>(GroupSize(engine.options->reprMode));
    size_t n = 0;
    for (size_t i = 0; i < run && n + 1 < capacity; ++i) {
        if (i > 0 && (run - i) % group == 0) {
            out[n++] = u' ';
            if (n + 1 >= capacity) break;
        }
        out[n++] = text[i];
    }
    out[n] = 0;
    return n + U16Copy(out + n, capacity - n, text + run);
}

size_t DrawnText(const EngineState& engine, char16_t* out, size_t capacity)
{
    if (capacity == 0) return 0;
    char16_t grouped[kGroupedCapacity];
    const char16_t* text = engine.text;
    if (engine.options->groupDigits == 1) {
        GroupedText(engine, grouped, kGroupedCapacity);
        text = grouped;
    }
    size_t n = 0;
    for (size_t i = 0; text[i] != 0 && n + 1 < capacity; ++i) {
        if (text[i] == u'&' && text[i + 1] == u'&') ++i;
        out[n++] = text[i];
    }
    out[n] = 0;
    return n;
}
