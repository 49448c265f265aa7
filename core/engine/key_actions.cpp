// The 75 key actions. Skin key maps store action numbers, so the order of
// the table is part of the skin file format and must never change.
#include <cmath>
#include <iterator>

#include "core/engine/engine.h"

namespace {

struct AngleUnitConstants {
    double turn;
    double inverseTurn;
    double toRadians;
    double fromRadians;
};

constexpr AngleUnitConstants kAngleUnits[] = {
    {6.283185307179586, 0.15915494309189535, 1, 1},
    {400, 0.0025, 0.015707963267948967, 63.66197723675814},
    {360, 0.002777777777777778, 0.017453292519943295, 57.29577951308232},
};

const AngleUnitConstants& UnitOf(const EngineState& engine) { return kAngleUnits[AngleUnitOf(engine)]; }

using Action = int (*)(EngineState&);

// Unary functions of the value: the result is shown.
template <double (*F)(const EngineState&, double)>
int Unary(EngineState& e)
{
    e.value = F(e, e.value);
    return 1;
}

template <char16_t Symbol>
int Operator(EngineState& e)
{
    PressOperator(e, Symbol);
    return 0;
}

// Actions 59 to 74 reach the lists' menu commands, which run after the key:
// the keypad handling hands them back with its outcome.
constexpr int kFirstRequest = 59;
const CommandRequest kActionRequests[] = {
    {Command::QuickConversion, 0}, {Command::QuickConversion, 1}, {Command::QuickConversion, 2},
    {Command::QuickConversion, 3}, {Command::QuickConversion, 4}, {Command::QuickConversion, 5},
    {Command::CurrencyChoice, 0},  {Command::ConstantSlot, 0},    {Command::ConstantSlot, 1},
    {Command::ConstantSlot, 2},    {Command::ConstantSlot, 3},    {Command::ConstantSlot, 4},
    {Command::ConstantSlot, 5},    {Command::ConstantChoice, 0},  {Command::ConstantFiles, 0},
    {Command::ConstantFilesPick, 0},
};

// A list action changes nothing itself: its command follows the key.
int ListCommand(EngineState&) { return 0; }

template <int Unit>
int AngleUnit(EngineState& e)
{
    SetAngleUnit(e, Unit);
    return 0;
}

template <int Mode>
int Representation(EngineState& e)
{
    SetReprMode(e, Mode);
    return 1;
}

// The memory actions evaluate a pending operation first, so that
// 2 + 3 M+ adds 5.
template <double (*Combine)(double memory, double x)>
int MemoryOp(EngineState& e)
{
    if (e.opPending) Evaluate(e);
    e.memory = Combine(e.memory, e.value);
    e.entryState = kEntryNone;
    return 0;
}

double Percent(const EngineState& e, double x) { return e.operand * x * 0.01; }
double Reciprocal(const EngineState&, double x) { return 1 / x; }
double Square(const EngineState&, double x) { return x * x; }
double Cube(const EngineState&, double x) { return (x * x) * x; }
double SquareRoot(const EngineState&, double x) { return std::sqrt(x); }
double CubeRoot(const EngineState&, double x) { return std::pow(x, 0.3333333333333333); }
double IntegerPart(const EngineState&, double x) { return ToInt32(x); }
double PowerOfTwo(const EngineState&, double x) { return std::pow(2.0, x); }
double PowerOfTen(const EngineState&, double x) { return std::pow(10.0, x); }
double Exponential(const EngineState&, double x) { return std::pow(kE, x); }
double Log2(const EngineState&, double x) { return std::log(x) / std::log(2.0); }
double Log10(const EngineState&, double x) { return std::log10(x); }
double LogE(const EngineState&, double x) { return std::log(x); }
double Sine(const EngineState& e, double x) { return std::sin(ReduceAngle(e, x)); }
double Cosine(const EngineState& e, double x) { return std::cos(ReduceAngle(e, x)); }
double Tangent(const EngineState& e, double x) { return ClampTangent(std::tan(ReduceAngle(e, x))); }
double Cotangent(const EngineState& e, double x) { return ClampTangent(1 / std::tan(ReduceAngle(e, x))); }
double ArcSine(const EngineState& e, double x) { return AngleFromRadians(e, std::asin(x)); }
double ArcCosine(const EngineState& e, double x) { return AngleFromRadians(e, std::acos(x)); }
double ArcTangent(const EngineState& e, double x) { return AngleFromRadians(e, std::atan(x)); }
double ArcCotangent(const EngineState& e, double x) { return AngleFromRadians(e, std::atan(1 / x)); }
double HypSine(const EngineState&, double x) { return std::sinh(x); }
double HypCosine(const EngineState&, double x) { return std::cosh(x); }
double HypTangent(const EngineState&, double x) { return std::tanh(x); }
double HypCotangent(const EngineState&, double x) { return 1 / std::tanh(x); }
double Absolute(const EngineState&, double x) { return x < 0 ? -x : x; }
double Not(const EngineState&, double x) { return ~ToInt32(x); }
double Pi(const EngineState&, double) { return kPi; }
double EulerE(const EngineState&, double) { return kE; }

// n x (n - 1) x ... x 2 in doubles from n down; n itself for n of 2 or less.
// Stops once the product is infinite, so a huge n answers at once.
double Factorial(const EngineState&, double x)
{
    int32_t n = ToInt32(x);
    double product = n;
    if (n <= 2) return product;
    for (int32_t k = n - 1; k >= 2 && std::isfinite(product); --k) product *= k;
    return product;
}

double MemoryAdd(double memory, double x) { return x + memory; }
double MemorySubtract(double memory, double x) { return memory - x; }
double MemoryMultiply(double memory, double x) { return x * memory; }
double MemoryDivide(double memory, double x) { return memory / x; }
double MemoryStore(double, double x) { return x; }

int SignChange(EngineState& e)
{
    ChangeSign(e);
    return 0;
}

int ExponentFormat(EngineState& e)
{
    int mode = e.options->reprMode;
    if (mode == kReprDecimal)
        SetReprMode(e, kReprExponent);
    else if (mode == kReprExponent)
        SetReprMode(e, kReprDecimal);
    FormatValue(e, e.value);
    return 0;
}

int ClearAll(EngineState& e)
{
    e.text[0] = u'0';
    e.text[1] = 0;
    e.value = e.operand = 0;
    e.opPending = e.op = 0;
    e.entryState = kEntryNone;
    return 0;
}

int ClearEntry(EngineState& e)
{
    e.text[0] = u'0';
    e.text[1] = 0;
    e.value = 0;
    e.entryState = kEntryNone;
    return 0;
}

int MemoryClear(EngineState& e)
{
    e.memory = 0;
    e.entryState = kEntryNone;
    return 0;
}

int MemoryRecall(EngineState& e)
{
    e.value = e.memory;
    return 1;
}

const Action kKeyActions[kActionCount] = {
    /*  0 */ Operator<u'+'>,
    /*  1 */ Operator<u'-'>,
    /*  2 */ Operator<u'*'>,
    /*  3 */ Operator<u'/'>,
    /*  4 */ Unary<Percent>,
    /*  5 */ Unary<Reciprocal>,
    /*  6 */ Operator<u'^'>,
    /*  7 */ Operator<kRootSymbol>,
    /*  8 */ Unary<Square>,
    /*  9 */ Unary<Cube>,
    /* 10 */ Unary<SquareRoot>,
    /* 11 */ Unary<CubeRoot>,
    /* 12 */ SignChange,
    /* 13 */ Unary<IntegerPart>,
    /* 14 */ ExponentFormat,
    /* 15 */ AngleUnit<kAngleRadian>,
    /* 16 */ AngleUnit<kAngleGrad>,
    /* 17 */ AngleUnit<kAngleDegree>,
    /* 18 */ ClearAll,
    /* 19 */ ClearEntry,
    /* 20 */ MemoryOp<MemoryAdd>,
    /* 21 */ MemoryOp<MemorySubtract>,
    /* 22 */ MemoryOp<MemoryMultiply>,
    /* 23 */ MemoryOp<MemoryDivide>,
    /* 24 */ MemoryOp<MemoryStore>,
    /* 25 */ MemoryClear,
    /* 26 */ MemoryRecall,
    /* 27 */ Unary<PowerOfTwo>,
    /* 28 */ Unary<PowerOfTen>,
    /* 29 */ Unary<Exponential>,
    /* 30 */ Unary<Log2>,
    /* 31 */ Unary<Log10>,
    /* 32 */ Unary<LogE>,
    /* 33 */ Unary<Sine>,
    /* 34 */ Unary<Cosine>,
    /* 35 */ Unary<Tangent>,
    /* 36 */ Unary<Cotangent>,
    /* 37 */ Unary<ArcSine>,
    /* 38 */ Unary<ArcCosine>,
    /* 39 */ Unary<ArcTangent>,
    /* 40 */ Unary<ArcCotangent>,
    /* 41 */ Unary<HypSine>,
    /* 42 */ Unary<HypCosine>,
    /* 43 */ Unary<HypTangent>,
    /* 44 */ Unary<HypCotangent>,
    /* 45 */ Unary<Absolute>,
    /* 46 */ Unary<Factorial>,
    /* 47 */ Unary<Pi>,
    /* 48 */ Unary<EulerE>,
    /* 49 */ Operator<u'|'>,
    /* 50 */ Operator<u'&'>,
    /* 51 */ Operator<u'x'>,
    /* 52 */ Operator<u'm'>,
    /* 53 */ Unary<Not>,
    /* 54 */ Operator<u'<'>,
    /* 55 */ Operator<u'>'>,
    /* 56 */ Representation<kReprDecimal>,
    /* 57 */ Representation<kReprHex>,
    /* 58 */ Representation<kReprBinary>,
    /* 59 */ ListCommand,
    /* 60 */ ListCommand,
    /* 61 */ ListCommand,
    /* 62 */ ListCommand,
    /* 63 */ ListCommand,
    /* 64 */ ListCommand,
    /* 65 */ ListCommand,
    /* 66 */ ListCommand,
    /* 67 */ ListCommand,
    /* 68 */ ListCommand,
    /* 69 */ ListCommand,
    /* 70 */ ListCommand,
    /* 71 */ ListCommand,
    /* 72 */ ListCommand,
    /* 73 */ ListCommand,
    /* 74 */ ListCommand,
};

}  // namespace

int RunKeyAction(EngineState& engine, int n)
{
    if (n < 0 || n >= kActionCount) return 0;
    return kKeyActions[n](engine);
}

CommandRequest ActionRequest(int n)
{
    const int at = n - kFirstRequest;
    return at >= 0 && at < static_cast<int>(std::size(kActionRequests)) ? kActionRequests[at] : CommandRequest{};
}

// Whole turns are counted in a double, which holds every integer a 32-bit
// count would and never overflows; arguments within the 32-bit range reduce
// exactly as with an integer count.
double ReduceAngle(const EngineState& engine, double x)
{
    const AngleUnitConstants& unit = UnitOf(engine);
    // Truncation toward zero treats both signs alike.
    const double turns = std::trunc(x * unit.inverseTurn);
    const double r = x - turns * unit.turn;
    return r * unit.toRadians;
}

double AngleFromRadians(const EngineState& engine, double r)
{
    const AngleUnitConstants& unit = UnitOf(engine);
    return r * unit.fromRadians;
}

int AngleUnitOf(const EngineState& engine)
{
    const int unit = engine.options->angleUnit;
    return static_cast<unsigned>(unit) <= kAngleDegree ? unit : kAngleRadian;
}

double ClampTangent(double t)
{
    if (!std::isfinite(t)) return t;
    if (std::fabs(t) > 1e14) return -HUGE_VAL;  // shown as "ERROR"
    if (t != 0 && std::fabs(t) < 1e-14) return 0;
    return t;
}
