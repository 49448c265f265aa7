// The 75 key actions. Skin key maps store action numbers, so the order of
// the table is part of the skin file format and must never change.
#include <cmath>
#include <iterator>

#include "core/engine/engine.h"
#include "core/seam.h"

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

// Actions 59 to 74 reach the lists' menu commands, which run after the key.
constexpr int kFirstRequest = 59;
const CommandRequest kActionRequests[] = {
    {Command::QuickConversion, 0}, {Command::QuickConversion, 1}, {Command::QuickConversion, 2},
    {Command::QuickConversion, 3}, {Command::QuickConversion, 4}, {Command::QuickConversion, 5},
    {Command::CurrencyChoice, 0},  {Command::ConstantSlot, 0},    {Command::ConstantSlot, 1},
    {Command::ConstantSlot, 2},    {Command::ConstantSlot, 3},    {Command::ConstantSlot, 4},
    {Command::ConstantSlot, 5},    {Command::ConstantChoice, 0},  {Command::ConstantFiles, 0},
    {Command::ConstantFilesPick, 0},
};

template <int N>
int Request(EngineState&)
{
    RequestCommand(kActionRequests[N - kFirstRequest]);
    return 0;
}

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
    /* 59 */ Request<59>,
    /* 60 */ Request<60>,
    /* 61 */ Request<61>,
    /* 62 */ Request<62>,
    /* 63 */ Request<63>,
    /* 64 */ Request<64>,
    /* 65 */ Request<65>,
    /* 66 */ Request<66>,
    /* 67 */ Request<67>,
    /* 68 */ Request<68>,
    /* 69 */ Request<69>,
    /* 70 */ Request<70>,
    /* 71 */ Request<71>,
    /* 72 */ Request<72>,
    /* 73 */ Request<73>,
    /* 74 */ Request<74>,
};

// The labels the built-in keypad images print, and short names for the
// actions that no built-in key carries.
const char16_t* const kActionLabels[kActionCount] = {
    u"+", u"\u2212", u"*", u"/", u"%", u"1/x", u"x\u02B8", u"\u02E3\u221Ay",           // 0..7
    u"x\u00B2", u"x\u00B3", u"\u221Ax", u"\u00B3\u221Ax", u"\u00B1", u"int", u"F-E",  // 8..14
    u"rd", u"gr", u"deg", u"C", u"CE",                                                // 15..19
    u"M+", u"M\u2212", u"M*", u"M/", u"MS", u"MC", u"MR",                               // 20..26
    u"2\u02E3", u"10\u02E3", u"e\u02E3", u"log\u2082", u"lg", u"ln",                    // 27..32
    u"sin", u"cos", u"tg", u"ctg", u"asin", u"acos", u"atg", u"actg",                 // 33..40
    u"sinh", u"cosh", u"tgh", u"ctgh", u"abs", u"x!", u"\u03C0", u"e",                 // 41..48
    u"or", u"and", u"xor", u"mod", u"not", u"<<", u">>",                              // 49..55
    u"dec", u"hex", u"bin",                                                           // 56..58
    u"conv1", u"conv2", u"conv3", u"conv4", u"conv5", u"conv6", u"conv",              // 59..65
    u"const1", u"const2", u"const3", u"const4", u"const5", u"const6", u"const",       // 66..72
    u"files", u"files+const",                                                         // 73..74
};

// The names a screen reader speaks for the actions: words only, no symbols
// or abbreviations a voice would spell out. One table, in action order.
const char16_t* const kActionSpokenNames[kActionCount] = {
    u"плюс", u"минус", u"умножить", u"разделить", u"процент",                         // 0..4
    u"обратное число", u"возвести в степень", u"корень степени", u"квадрат",         // 5..8
    u"куб", u"квадратный корень", u"кубический корень", u"сменить знак",              // 9..12
    u"целая часть", u"формат с порядком", u"радианы", u"грады", u"градусы",          // 13..17
    u"сбросить всё", u"сбросить число",                                              // 18..19
    u"прибавить к памяти", u"вычесть из памяти", u"умножить память",                 // 20..22
    u"разделить память", u"записать в память", u"очистить память",                   // 23..25
    u"вызвать из памяти", u"два в степени", u"десять в степени", u"е в степени",     // 26..29
    u"двоичный логарифм", u"десятичный логарифм", u"натуральный логарифм",           // 30..32
    u"синус", u"косинус", u"тангенс", u"котангенс",                                  // 33..36
    u"арксинус", u"арккосинус", u"арктангенс", u"арккотангенс",                      // 37..40
    u"гиперболический синус", u"гиперболический косинус",                            // 41..42
    u"гиперболический тангенс", u"гиперболический котангенс",                        // 43..44
    u"модуль", u"факториал", u"число пи", u"число е",                                // 45..48
    u"побитовое или", u"побитовое и", u"исключающее или", u"остаток от деления",     // 49..52
    u"побитовое не", u"сдвиг влево", u"сдвиг вправо",                                // 53..55
    u"десятичная система", u"шестнадцатеричная система", u"двоичная система",        // 56..58
    u"перевод валюты 1", u"перевод валюты 2", u"перевод валюты 3",                   // 59..61
    u"перевод валюты 4", u"перевод валюты 5", u"перевод валюты 6",                   // 62..64
    u"выбор валют",                                                                  // 65
    u"константа 1", u"константа 2", u"константа 3",                                  // 66..68
    u"константа 4", u"константа 5", u"константа 6",                                  // 69..71
    u"выбор константы", u"файл констант", u"файл констант и выбор константы",        // 72..74
};

}  // namespace

int RunKeyAction(EngineState& engine, int n)
{
    if (n < 0 || n >= kActionCount) return 0;
    return kKeyActions[n](engine);
}

const char16_t* ActionLabel(int n) { return n >= 0 && n < kActionCount ? kActionLabels[n] : nullptr; }

const char16_t* ActionSpokenName(int n) { return n >= 0 && n < kActionCount ? kActionSpokenNames[n] : nullptr; }

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
