// The binary operators: one pending operation, evaluated strictly from left
// to right.
#include <cmath>
#include <limits>

#include "core/engine/engine.h"
#include "core/text/text16.h"

namespace {

double Remainder(int32_t a, int32_t b)
{
    if (b == 0) return std::numeric_limits<double>::quiet_NaN();  // shown as "ERROR"
    if (b == -1) return 0;  // INT32_MIN % -1 overflows; every remainder by -1 is 0
    return a % b;
}

double ShiftLeft(int32_t a, int32_t b)
{
    uint32_t n = static_cast<uint32_t>(b) & 0xFF;
    if (n >= 32) return 0;
    return static_cast<int32_t>(static_cast<uint32_t>(a) << n);
}

double ShiftRight(int32_t a, int32_t b)
{
    uint32_t n = static_cast<uint32_t>(b) & 0xFF;
    if (n > 31) n = 31;
    return a >> n;  // arithmetic: the sign bit is copied
}

// The operator's symbol ends the text: the user is swapping operators.
// An "&&" pair is one symbol, an exponent sign is not an operator at all.
bool EndsInOperator(const char16_t* text, size_t len)
{
    if (len == 0 || !IsOperatorSymbol(text[len - 1])) return false;
    return !(len >= 2 && text[len - 2] == u'e' && (text[len - 1] == u'+' || text[len - 1] == u'-'));
}

void ReplaceOperatorSymbol(EngineState& engine, char16_t symbol)
{
    char16_t* text = engine.text;
    size_t len = U16Len(text);
    if (text[len - 1] == u'&' && len >= 2 && text[len - 2] == u'&') --len;
    text[len - 1] = symbol;
    if (symbol == u'&') text[len++] = u'&';
    text[len] = 0;
}

void RecordOperator(EngineState& engine, char16_t symbol)
{
    engine.opPending = 1;
    engine.op = symbol;
    engine.entryState = kEntryNone;
}

}  // namespace

int32_t ToInt32(double x)
{
    if (!std::isfinite(x)) return 0;
    double t = std::trunc(x);
    double wrapped = std::fmod(t, 4294967296.0);  // exact, keeps the sign of t
    if (wrapped < 0) wrapped += 4294967296.0;
    return static_cast<int32_t>(static_cast<uint32_t>(wrapped));
}

double ApplyOperator(char16_t symbol, double a, double b)
{
    switch (symbol) {
    case u'+': return a + b;
    case u'-': return a - b;
    case u'*': return a * b;
    case u'/': return a / b;
    case u'^': return std::pow(a, b);
    case kRootSymbol: return std::pow(b, 1 / a);
    case u'|': return ToInt32(a) | ToInt32(b);
    case u'&': return ToInt32(a) & ToInt32(b);
    case u'x': return ToInt32(a) ^ ToInt32(b);
    case u'm': return Remainder(ToInt32(a), ToInt32(b));
    case u'<': return ShiftLeft(ToInt32(a), ToInt32(b));
    case u'>': return ShiftRight(ToInt32(a), ToInt32(b));
    default: return 0;
    }
}

int Evaluate(EngineState& engine)
{
    engine.opPending = 0;
    if (!IsOperatorSymbol(static_cast<char16_t>(engine.op))) {
        engine.op = 0;
        return 0;
    }
    engine.value = ApplyOperator(static_cast<char16_t>(engine.op), engine.operand, engine.value);
    FormatValue(engine, engine.value);
    return 1;
}

void PressOperator(EngineState& engine, char16_t symbol)
{
    // The caller drops the key layer: operators are reached only through one.
    if (engine.value == 0 && symbol == kRootSymbol) return;  // no root of degree 0
    engine.entryState = kEntryMantissa;  // append the symbol to the shown number

    if (!engine.opPending) {
        engine.operand = engine.value;
        TypeChar(engine, symbol);
        RecordOperator(engine, symbol);
        return;
    }

    size_t len = U16Len(engine.text);
    if (len == 0) return;
    if (EndsInOperator(engine.text, len)) {
        ReplaceOperatorSymbol(engine, symbol);
        RecordOperator(engine, symbol);
        return;
    }
    Evaluate(engine);
    engine.operand = engine.value;
    TypeChar(engine, symbol);
    RecordOperator(engine, symbol);
}
