// Binary operators: left-to-right chains, swapping the operator, repeated
// evaluation, the integer operators and their edge values.
#include <cmath>
#include <limits>
#include <string>

#include "tests/script_support.h"

namespace {

// right 1 "+", right 4 "-", right * "*", right 7 "/", left # "^", left 9 root;
// act:49 "|", act:50 "&", act:51 "x", act:52 "m", act:54 "<", act:55 ">".

TEST(Operators, ChainsFromLeftToRight)
{
    const ScriptCase cases[] = {
        {"2 right 1 3 right * 4 ok", "rd 20"},
        {"2 right 1 3 right *", "rd 5*"},           // the pending sum is shown first
        {"5 right 1 right 4", "rd 5-"},             // the second operator replaces the first
        {"5 right 1 right 4 3 ok", "rd 2"},
        {"5 right 1 ok", "rd 10"},                  // the shown number is also the second operand
        {"2 right 1 3 ok ok", "rd 7"},              // the last operation repeats
        {"2 right 1 3 ok ok ok", "rd 9"},
        {"2 right * 3 ok ok", "rd 12"},
        {"2 right 1 3 ok right 1 1 ok", "rd 6"},
        {"9 right 1 4 left 7 ok", "rd 11"},         // a unary action leaves the operation pending
        {"2 left # 1 0 ok", "rd 1024"},
        {"3 left 9 8 ok", "rd 2"},                  // the root degree comes first
        {"0 left 9", "rd 0"},                       // no root of degree 0
        {"1 right 7 0 ok", "rd ERROR"},
        {"1 right 7 0 ok right 1 5 ok", "rd ERROR"},  // errors go on into later operations
        {"2 up 4 left 9 8 ok", "rd 0.353553"},
        {"ok", "rd 0"},
    };
    ExpectDisplays(cases);
}

TEST(Operators, AndIsStoredAsAPair)
{
    KeySession session;
    RunOn(session, "5 act:50");
    EXPECT_EQ(TextOf(session), "5&&");
    EXPECT_EQ(DisplayLine(session), "rd 5&");
    RunKeyScript(session, "act:49");
    EXPECT_EQ(TextOf(session), "5|");
    RunKeyScript(session, "act:50");
    EXPECT_EQ(TextOf(session), "5&&");
    RunKeyScript(session, "3 ok");
    EXPECT_EQ(DisplayLine(session), "rd 1");
}

TEST(Operators, IntegerOperators)
{
    const ScriptCase cases[] = {
        {"6 act:49 3 ok", "rd 7"},
        {"6 act:50 3 ok", "rd 2"},
        {"6 act:51 3 ok", "rd 5"},
        {"7 act:52 3 ok", "rd 1"},
        {"7 up 4 act:52 3 ok", "rd -1"},            // the sign follows the first operand
        {"7 * 9 act:52 2 * 5 ok", "rd 1"},          // both operands are truncated
        {"1 act:54 4 ok", "rd 16"},
        {"1 6 up 4 act:55 2 ok", "rd -4"},          // arithmetic shift
        {"1 act:54 4 0 ok", "rd 0"},
        {"1 act:54 3 2 ok", "rd 0"},
        {"1 act:54 3 1 ok", "rd -2147483648"},
        {"1 act:54 2 5 6 ok", "rd 1"},              // only the low 8 bits count
        {"1 act:54 1 up 4 ok", "rd 0"},             // -1 counts 255
        {"1 up 4 act:55 4 0 ok", "rd -1"},          // a right shift of 32 or more acts as 31
        {"8 act:55 1 0 0 0 ok", "rd 0"},
    };
    ExpectDisplays(cases);
}

TEST(Operators, RemainderEdgeValues)
{
    const ScriptCase cases[] = {
        {"7 act:52 0 ok", "rd ERROR"},              // integer part 0: no division
        {"7 act:52 * 5 ok", "rd ERROR"},
        {"2 1 4 7 4 8 3 6 4 8 up 4 act:52 1 up 4 ok", "rd 0"},  // the one overflowing case
        {"5 act:52 1 up 4 ok", "rd 0"},
    };
    ExpectDisplays(cases);
}

TEST(Operators, BinaryModeKeepsTheValueWhenTheSymbolIsAppended)
{
    KeySession session;
    RunOn(session, "1 0 1 right 1", {.reprMode = kReprBinary});
    EXPECT_EQ(DisplayLine(session), "B 101+");
    EXPECT_EQ(session.engine.value, 5);
    EXPECT_EQ(session.engine.operand, 5);
    RunKeyScript(session, "1 ok");
    EXPECT_EQ(DisplayLine(session), "B 110");
}

TEST(Operators, ExponentSignIsPartOfTheNumber)
{
    // An operator after "e-" evaluates instead of replacing the sign.
    EXPECT_EQ(Display("1 right 1 2 # up 4 right 1"), "rd 3+");
    EXPECT_EQ(Display("1 # up 4 right 1 2 ok"), "rd 3");

    // Backspace over the sign keeps the pending operation and the exponent.
    KeySession session;
    RunOn(session, "1 right 1 2 # up 4 back");
    EXPECT_EQ(TextOf(session), "2e");
    EXPECT_EQ(session.engine.opPending, 1);
    EXPECT_EQ(session.engine.entryState, kEntryExponent);
    RunKeyScript(session, "5 ok");
    EXPECT_EQ(DisplayLine(session), "rd 200001");
}

TEST(Operators, EvaluateWithoutAnOperation)
{
    BareEngine bare;
    EngineState& engine = bare.engine;
    engine.opPending = 1;
    engine.op = 'q';  // not an operator
    EXPECT_EQ(Evaluate(engine), 0);
    EXPECT_EQ(engine.op, 0);
    EXPECT_EQ(engine.opPending, 0);
    engine.op = 0x1002B;  // '+' beyond the 16 bits of a code unit
    EXPECT_EQ(Evaluate(engine), 0);
}

TEST(ToInt32, DefinedForEveryDouble)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double in;
        int32_t out;
    } cases[] = {
        {0, 0},
        {-0.9, 0},
        {5.9, 5},
        {-5.9, -5},
        {2147483647.9, 2147483647},
        {2147483648.0, INT32_MIN},
        {4294967295.0, -1},
        {4294967296.0, 0},
        {-2147483649.0, 2147483647},
        {-4294967297.0, -1},
        {4503599627370501.0, 5},   // 2^52 + 5
        {1e300, 0},                // a multiple of 2^32
        {nan, 0},
        {inf, 0},
        {-inf, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(ToInt32(c.in), c.out) << c.in;
}

TEST(ToInt32, HexadecimalRoundTrip)
{
    // "FFFFFFFF" reads as 4294967295 and shows as "FFFFFFFF" again.
    std::string keys;
    for (int letter = 0; letter < 8; ++letter) keys += "# # # # # # wait:1000 ";
    KeySession session;
    RunOn(session, keys, {.reprMode = kReprHex});
    ASSERT_EQ(TextOf(session), "FFFFFFFF");
    EXPECT_EQ(session.engine.value, 4294967295.0);
    RunKeyScript(session, "right 1 1 ok");
    EXPECT_EQ(DisplayLine(session), "H 0");
    RunOn(session, keys + "act:57", {.reprMode = kReprHex});
    EXPECT_EQ(DisplayLine(session), "H FFFFFFFF");
}

}  // namespace
