// Formatting in the four representations, precisions, grouping, the
// indicator and the menu check marks of the two setters.
#include <cmath>
#include <limits>
#include <string>

#include "tests/script_support.h"

namespace {

struct FormatCase {
    int reprMode;
    int precision;
    double value;
    const char* text;
};

std::string Formatted(int reprMode, int precision, double value)
{
    BareEngine bare;
    bare.options.reprMode = reprMode;
    bare.options.precision = precision;
    BuildFormats(bare.engine);
    EngineState& engine = bare.engine;
    FormatValue(engine, value);
    std::string text;
    AppendUtf8(text, engine.text);
    return text;
}

TEST(FormatValue, AllRepresentationsAndPrecisions)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const FormatCase cases[] = {
        {kReprDecimal, 6, 1.0 / 3, "0.333333"},
        {kReprDecimal, 6, 2, "2"},
        {kReprDecimal, 6, 2.5, "2.5"},
        {kReprDecimal, 6, 100, "100"},
        {kReprDecimal, 6, 1e15, "1000000000000000"},
        {kReprDecimal, 6, 9999999999999998.0, "9999999999999998"},
        {kReprDecimal, 6, 1e16, "1.000000e+16"},
        {kReprDecimal, 6, -1e16, "-1.000000e+16"},
        {kReprDecimal, 6, 0.0000001, "0"},         // no switch to exponents for small numbers
        {kReprDecimal, 6, -0.0000001, "-0"},
        {kReprDecimal, 6, 0, "0"},
        {kReprDecimal, 1, 1.0 / 3, "0.3"},
        {kReprDecimal, 1, 0.96, "1"},
        {kReprDecimal, 2, 1.0 / 3, "0.33"},
        {kReprDecimal, 12, 1.0 / 3, "0.333333333333"},
        {kReprDecimal, 12, -9999999999999998.0, "-9999999999999998"},
        {kReprDecimal, 12, 1e300, "1.000000000000e+300"},
        {kReprDecimal, 6, 1.5707963267948966, "1.570796"},
        {kReprExponent, 6, 2, "2.000000e+00"},     // every decimal stays
        {kReprExponent, 1, 12345, "1.2e+04"},
        {kReprExponent, 12, -1e-300, "-1.000000000000e-300"},
        {kReprExponent, 6, 0, "0.000000e+00"},
        {kReprHex, 6, 255, "FF"},
        {kReprHex, 6, 3.7, "3"},
        {kReprHex, 6, -1, "FFFFFFFF"},
        {kReprHex, 6, 0, "0"},
        {kReprHex, 6, 4294967296.0 + 26, "1A"},    // wraps modulo 2^32
        {kReprBinary, 6, 255, "11111111"},
        {kReprBinary, 6, 0, "0"},
        {kReprBinary, 6, -1, "11111111111111111111111111111111"},
        {kReprBinary, 6, 5.9, "101"},
        {kReprDecimal, 6, inf, "ERROR"},
        {kReprExponent, 6, -inf, "ERROR"},
        {kReprHex, 6, nan, "ERROR"},
        {kReprBinary, 6, inf, "ERROR"},
    };
    for (const FormatCase& c : cases)
        EXPECT_EQ(Formatted(c.reprMode, c.precision, c.value), c.text)
            << "mode " << c.reprMode << " precision " << c.precision << " value " << c.value;
}

TEST(FormatValue, OutOfRangePrecisionIsClamped)
{
    EXPECT_EQ(Formatted(kReprDecimal, 0, 1.0 / 3), "0.3");
    EXPECT_EQ(Formatted(kReprDecimal, 1000, 1.0 / 3), "0.333333333333");
    EXPECT_EQ(Formatted(kReprDecimal, -5, 1.0 / 3), "0.3");
}

TEST(FormatValue, LongestTextsFitWithRoomForAnOperator)
{
    const double extremes[] = {-9999999999999998.0, -1.7976931348623157e308, -4.9e-324, -2147483648.0};
    for (int mode = 0; mode <= 3; ++mode)
        for (double x : extremes) EXPECT_LE(Formatted(mode, 12, x).size(), 32u) << mode << " " << x;
}

TEST(FormatValue, ReadsBackWhatItWrites)
{
    const double values[] = {0.1, -2.5, 1e15, 1e20, 123456.789, -1e-5};
    for (int mode : {kReprDecimal, kReprExponent}) {
        for (double x : values) {
            BareEngine bare;
            bare.options.reprMode = mode;
            bare.options.precision = 12;
            BuildFormats(bare.engine);
            EngineState& engine = bare.engine;
            FormatValue(engine, x);
            ReadText(engine);
            EXPECT_NEAR(engine.value, x, std::fabs(x) * 1e-12) << mode << " " << x;
        }
    }
}

struct GroupCase {
    int reprMode;
    const char16_t* text;
    const char* grouped;
};

TEST(GroupedText, SplitsTheLeadingRun)
{
    const GroupCase cases[] = {
        {kReprDecimal, u"12", "12"},
        {kReprDecimal, u"1234", "1 234"},
        {kReprDecimal, u"123456", "123 456"},
        {kReprDecimal, u"1234567.5", "1 234 567.5"},
        {kReprDecimal, u"1000.25", "1 000.25"},
        {kReprDecimal, u"-1234", "-1234"},
        {kReprDecimal, u"ERROR", "ERROR"},
        {kReprDecimal, u"1234e5", "1 234e5"},
        {kReprDecimal, u"12345+", "12 345+"},
        {kReprDecimal, u"", ""},
        {kReprExponent, u"1.234560e+03", "1.234560e+03"},
        {kReprHex, u"FFFFFFFF", "FFFF FFFF"},
        {kReprHex, u"12345", "1 2345"},
        {kReprBinary, u"100000", "10 0000"},
        {kReprBinary, u"11111", "1 1111"},
        {kReprBinary, u"101010101", "1 0101 0101"},
        {kReprBinary, u"11111111111111111111111111111111",
         "1111 1111 1111 1111 1111 1111 1111 1111"},
    };
    BareEngine bare;
    Options& options = bare.options;
    EngineState& engine = bare.engine;
    for (const GroupCase& c : cases) {
        options.reprMode = c.reprMode;
        U16Copy(engine.text, kTextCapacity, c.text);
        char16_t out[kGroupedCapacity];
        GroupedText(engine, out, kGroupedCapacity);
        std::string grouped;
        AppendUtf8(grouped, out);
        EXPECT_EQ(grouped, c.grouped);
    }
}

TEST(GroupedText, LongestTextFitsAndSmallBuffersAreCut)
{
    BareEngine bare;
    EngineState& engine = bare.engine;
    for (int i = 0; i < 41; ++i) engine.text[i] = u'9';
    engine.text[41] = 0;
    char16_t out[kGroupedCapacity];
    EXPECT_EQ(GroupedText(engine, out, kGroupedCapacity), 41u + 13u);

    char16_t small[6];
    EXPECT_EQ(GroupedText(engine, small, 6), 5u);
    EXPECT_EQ(small[5], 0);
}

TEST(Display, GroupingAndIndicatorAsDrawn)
{
    ExpectDisplays({{"1 2 3 4 5 6 7 * 5", "rd 1 234 567.5"}, {"1 2 3 4 up 4", "rd -1234"}},
                   {.groupDigits = 1});
    ExpectDisplays({{"1 0 1 0 1 0 1 0 1", "B 1 0101 0101"}}, {.reprMode = kReprBinary, .groupDigits = 1});
    ExpectDisplays({{"up #", "dg 0"}, {"up 0", "gr 0"}, {"up # up *", "rd 0"}});
    ExpectDisplays({{"1", "dg 1"}}, {.reprMode = kReprExponent, .angleUnit = kAngleDegree});
    ExpectDisplays({{"1", "H 1"}}, {.reprMode = kReprHex, .angleUnit = kAngleDegree});
}

TEST(Representation, ChangesFromTheKeysAndTheMenu)
{
    const ScriptCase cases[] = {
        {"3 * 7 act:57", "H 3"},
        {"3 * 7 act:57 act:56", "rd 3.7"},       // the value keeps its fraction
        {"2 up 5", "rd 2.000000e+00"},           // action 14 toggles to exponents
        {"2 up 5 up 5", "rd 2"},
        {"2 act:58", "B 10"},
        {"2 act:58 up 5", "B 10"},               // no toggle in binary
        {"2 5 5 cmd:40019", "H FF"},
        {"2 5 5 cmd:40020", "B 11111111"},
        {"2 5 5 cmd:40021", "rd 2.550000e+02"},
        {"2 5 cmd:40018 5", "rd 255"},           // the current one: the entry stays open
        {"2 5 cmd:40019 1", "H 1"},              // another one ends the entry
    };
    ExpectDisplays(cases);
}

TEST(Representation, HexadecimalCutsTheFractionOnlyWhenTheTextIsRead)
{
    KeySession session;
    RunOn(session, "3 * 7 act:57");
    EXPECT_EQ(session.engine.value, 3.7);
    RunKeyScript(session, "right 1");
    EXPECT_EQ(DisplayLine(session), "H 3+");
    EXPECT_EQ(session.engine.value, 3);
}

TEST(Representation, ActionFourteenKeepsTheEntryOpen)
{
    KeySession session;
    RunOn(session, "1 2 up 5");
    EXPECT_EQ(session.engine.entryState, kEntryMantissa);
    EXPECT_EQ(session.options.reprMode, kReprExponent);
}

TEST(Setters, MoveTheCheckMarks)
{
    KeySession session;
    RunOn(session, "", {.reprMode = kReprHex, .angleUnit = kAngleGrad});
    EXPECT_TRUE(session.menuChecks[40019]);
    EXPECT_TRUE(session.menuChecks[40014]);
    EXPECT_EQ(session.menuChecks.count(40011), 0u);

    RunKeyScript(session, "cmd:40021 cmd:40015");
    EXPECT_FALSE(session.menuChecks[40019]);
    EXPECT_TRUE(session.menuChecks[40021]);
    EXPECT_FALSE(session.menuChecks[40014]);
    EXPECT_TRUE(session.menuChecks[40015]);
    EXPECT_EQ(session.options.reprMode, kReprExponent);
    EXPECT_EQ(session.options.angleUnit, kAngleDegree);

    RunKeyScript(session, "cmd:40011");
    EXPECT_TRUE(session.menuChecks[40011]);
    EXPECT_EQ(session.options.groupDigits, 1);
    RunKeyScript(session, "cmd:40011");
    EXPECT_FALSE(session.menuChecks[40011]);
    EXPECT_EQ(session.options.groupDigits, 0);
}

TEST(Setters, AngleUnitLeavesTheValue)
{
    KeySession session;
    RunOn(session, "4 5 up # cmd:40014");
    EXPECT_EQ(DisplayLine(session), "gr 45");
    EXPECT_EQ(session.engine.value, 45);
}

}  // namespace
