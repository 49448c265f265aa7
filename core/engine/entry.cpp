// Number entry: reading the text into the value, typing, backspace and the
// sign change.
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/engine/engine.h"
#include "core/text/numbers.h"
#include "core/text/text16.h"

namespace {

int HexDigitValue(char16_t c)
{
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    return -1;
}

const char16_t* SkipSpaces(const char16_t* s)
{
    while (IsAsciiSpace(*s)) ++s;
    return s;
}

double ReadDecimal(const char16_t* text) { return ReadLeadingDecimal(text, kTextCapacity); }

// Leading hexadecimal digits as an unsigned 32-bit integer; only the last
// 32 bits of a longer run count, as in the binary reading.
double ReadHex(const char16_t* text)
{
    uint32_t bits = 0;
    for (const char16_t* s = SkipSpaces(text); HexDigitValue(*s) >= 0; ++s)
        bits = (bits << 4) | static_cast<uint32_t>(HexDigitValue(*s));
    return bits;
}

// The leading run of "0" and "1", most significant first; the last 32 count.
// Stopping at the first other unit keeps an appended operator symbol from
// shifting the value ("101+" reads as 5).
double ReadBinary(const char16_t* text)
{
    uint32_t bits = 0;
    for (const char16_t* s = SkipSpaces(text); *s == u'0' || *s == u'1'; ++s)
        bits = (bits << 1) | static_cast<uint32_t>(*s - u'0');
    return bits;
}

// "+" or "-" directly after "e" belongs to the number, not to an operator.
bool IsExponentSign(const char16_t* text, size_t index)
{
    return index > 0 && (text[index] == u'+' || text[index] == u'-') && text[index - 1] == u'e';
}

void ResetText(EngineState& engine)
{
    engine.text[0] = u'0';
    engine.text[1] = 0;
}

void Backspace(EngineState& engine)
{
    char16_t* text = engine.text;
    size_t len = U16Len(text);
    if (len == 0) return;
    if (len == 1) {
        if (text[0] == u'0') return;
        ResetText(engine);
        engine.value = 0;
        engine.entryState = kEntryNone;
        return;
    }
    if (!std::isfinite(engine.value)) {
        engine.value = 0;
        ResetText(engine);
        return;
    }

    char16_t last = text[len - 1];
    if (IsOperatorSymbol(last) && !IsExponentSign(text, len - 1)) {
        engine.opPending = 0;
        engine.op = 0;
        engine.entryState = kEntryNone;
    } else if (last == u'e' || U16Find(text, u'e') == nullptr) {
        engine.entryState = kEntryMantissa;
    }

    size_t cut = (last == u'&' && text[len - 2] == u'&') ? 2 : 1;
    text[len - cut] = 0;
    ReadText(engine);
}

}  // namespace

bool IsOperatorSymbol(char16_t ch)
{
    return ch != 0 && U16Find(kOperatorSymbols, ch) != nullptr;
}

void ReadText(EngineState& engine)
{
    switch (engine.options->reprMode) {
    case kReprHex: engine.value = ReadHex(engine.text); break;
    case kReprBinary: engine.value = ReadBinary(engine.text); break;
    default: engine.value = ReadDecimal(engine.text); break;
    }
}

bool TypeChar(EngineState& engine, char16_t ch)
{
    if (ch == 8) {
        Backspace(engine);
        return true;
    }
    size_t len = U16Len(engine.text);
    if (len >= kTypingLimit) return false;

    int wasState = engine.entryState;
    if (wasState == kEntryNone) {
        if (ch == u'e') return false;
        len = 0;  // a new number replaces what was shown
    } else if (wasState == kEntryExponent && ch == u'e') {
        return false;
    }

    engine.text[len++] = ch;
    if (ch == u'&') engine.text[len++] = u'&';
    engine.text[len] = 0;

    if (wasState == kEntryNone)
        engine.entryState = kEntryMantissa;
    else if (ch == u'e')
        engine.entryState = kEntryExponent;
    ReadText(engine);
    return true;
}

void ReplaceLastChar(EngineState& engine, char16_t ch)
{
    size_t len = U16Len(engine.text);
    if (len == 0) return;
    engine.text[len - 1] = ch;
    ReadText(engine);
}

void ChangeSign(EngineState& engine)
{
    if (engine.entryState != kEntryExponent) {
        engine.value = -engine.value;
        FormatValue(engine, engine.value);
        return;
    }

    char16_t* text = engine.text;
    size_t len = U16Len(text);
    size_t e = len;
    for (size_t i = len; i-- > 0;) {
        if (text[i] == u'e') {
            e = i;
            break;
        }
    }
    if (e == len) {
        engine.value = -engine.value;
        return;
    }

    char16_t next = text[e + 1];
    if (next == u'+' || next == u'-') {
        text[e + 1] = next == u'+' ? u'-' : u'+';
    } else if (len + 1 < kTextCapacity) {
        // The exponent digits and the NUL move one place right; the sign goes
        // in front of them. Past the typing limit too: the text has room for
        // one more unit, and a number typed up to the limit keeps its sign key.
        std::memmove(text + e + 2, text + e + 1, (len - e) * sizeof(char16_t));
        text[e + 1] = u'-';
    }
    engine.value = ReadDecimal(text);
}

namespace {

bool IsPastedDigit(char16_t c, bool hex) { return (c >= u'0' && c <= u'9') || (hex && HexDigitValue(c) >= 0); }

// What other programs put between digit groups.
bool IsGroupSpace(char16_t c) { return c == u' ' || c == u'\u00A0' || c == u'\u2009' || c == u'\u202F'; }

}  // namespace

void PasteText(EngineState& engine, const char16_t* text, size_t length)
{
    const bool hex = engine.options->reprMode == kReprHex;
    char16_t* out = engine.text;
    size_t n = 0;
    size_t commas = 0, points = 0, comma = 0;
    for (size_t i = 0; i < length && text[i] != 0 && n < kTypingLimit; ++i) {
        char16_t c = text[i];
        const bool spaceLike = IsAsciiSpace(c) || IsGroupSpace(c);
        if (n == 0 && spaceLike) continue;
        if (IsGroupSpace(c) && IsPastedDigit(out[n - 1], hex) && i + 1 < length && IsPastedDigit(text[i + 1], hex))
            continue;
        if (c == u'\u2212' && (n == 0 || out[n - 1] == u'e' || out[n - 1] == u'E')) c = u'-';
        if (c == u',') {
            comma = n;
            ++commas;
        }
        points += c == u'.';
        out[n++] = c;
    }
    out[n] = 0;
    if (commas == 1 && points == 0) out[comma] = u'.';
    ReadText(engine);
    FormatValue(engine, engine.value);
}

void InitEngine(EngineState& engine, Options& options)
{
    engine = EngineState{};
    engine.options = &options;
    ResetText(engine);
    BuildFormats(engine);
}
