// The 75 key actions, reached through the built-in layers where they have a
// key and through act:N where they have none.
#include <cmath>
#include <set>
#include <string>

#include "tests/script_support.h"

namespace {

const ScriptSettings kDegrees{.angleUnit = kAngleDegree};
const ScriptSettings kGrads{.angleUnit = kAngleGrad};

TEST(KeyActions, PowersRootsAndLogarithms)
{
    const ScriptCase cases[] = {
        {"4 up 3", "rd 0.25"},
        {"0 up 3", "rd ERROR"},
        {"3 left *", "rd 9"},
        {"3 left 0", "rd 27"},
        {"9 left 7", "rd 3"},
        {"2 up 4 left 7", "rd ERROR"},
        {"8 left 8", "rd 2"},
        {"2 7 up 4 left 8", "rd ERROR"},   // the power function has no real cube root of -27
        {"1 0 left 5", "rd 1024"},
        {"3 left 6", "rd 1000"},
        {"1 left 4", "rd 2.718282"},
        {"8 left 2", "rd 3"},
        {"1 0 0 left 3", "rd 2"},
        {"0 left 3", "rd ERROR"},
        {"1 left 1", "rd 0"},
        {"0 left 1", "rd ERROR"},
        {"2 up 4 left 1", "rd ERROR"},
    };
    ExpectDisplays(cases);
}

TEST(KeyActions, TrigonometryInDegrees)
{
    const ScriptCase cases[] = {
        {"3 0 down 1", "dg 0.5"},
        {"3 9 0 down 1", "dg 0.5"},
        {"3 9 0 up 4 down 1", "dg -0.5"},
        {"6 0 down 4", "dg 0.5"},
        {"4 5 down 7", "dg 1"},
        {"9 0 down 7", "dg ERROR"},
        {"1 8 0 down 7", "dg 0"},
        {"4 5 down *", "dg 1"},
        {"0 down *", "dg ERROR"},
        {"9 0 down *", "dg 0"},
        {"1 down 2", "dg 90"},
        {"2 down 2", "dg ERROR"},
        {"0 down 5", "dg 90"},
        {"1 down 8", "dg 45"},
        {"1 down 0", "dg 45"},
        {"0 down 0", "dg 90"},          // atan of 1/0
        {"7 2 0 0 3 0 down 1", "dg 0.5"},  // many whole turns
    };
    ExpectDisplays(cases, kDegrees);
}

TEST(KeyActions, TrigonometryInGradsAndRadians)
{
    ExpectDisplays({{"1 0 0 down 1", "gr 1"}, {"1 down 2", "gr 100"}, {"5 0 down 7", "gr 1"},
                    {"4 5 0 down 1", "gr 0.707107"}},
                   kGrads);
    ExpectDisplays({{"1 down 2", "rd 1.570796"}, {"0 down 1", "rd 0"}, {"0 down 4", "rd 1"},
                    {"1 down 8", "rd 0.785398"}, {"7 down 1", "rd 0.656987"}});
}

TEST(KeyActions, AsinOfOneInRadiansKeepsFullPrecision)
{
    KeySession session;
    RunOn(session, "1 down 2");
    EXPECT_EQ(session.engine.value, 1.5707963267948966);
}

TEST(KeyActions, AngleHelpers)
{
    BareEngine bare;
    Options& options = bare.options;
    EngineState& engine = bare.engine;

    options.angleUnit = kAngleDegree;
    EXPECT_DOUBLE_EQ(ReduceAngle(engine, 390), 30 * 0.017453292519943295);
    EXPECT_DOUBLE_EQ(ReduceAngle(engine, -390), -30 * 0.017453292519943295);
    EXPECT_DOUBLE_EQ(ReduceAngle(engine, 360), 0);
    EXPECT_DOUBLE_EQ(AngleFromRadians(engine, 1), 57.29577951308232);
    // Far beyond the 32-bit range the whole turns are still counted.
    double far = ReduceAngle(engine, 1e12 * 360 + 90);
    EXPECT_TRUE(std::isfinite(far));
    EXPECT_LT(std::fabs(far), 2 * kPi);
    EXPECT_TRUE(std::isnan(ReduceAngle(engine, HUGE_VAL)));
    EXPECT_TRUE(std::isfinite(ReduceAngle(engine, 1e308)));

    options.angleUnit = kAngleGrad;
    EXPECT_DOUBLE_EQ(ReduceAngle(engine, 500), 100 * 0.015707963267948967);
    EXPECT_DOUBLE_EQ(AngleFromRadians(engine, 1), 63.66197723675814);

    options.angleUnit = kAngleRadian;
    EXPECT_DOUBLE_EQ(ReduceAngle(engine, 7), 7 - 6.283185307179586);
    EXPECT_EQ(AngleFromRadians(engine, 1), 1);

    options.angleUnit = 9;  // a broken stored unit behaves as radians
    EXPECT_EQ(AngleFromRadians(engine, 1), 1);
}

TEST(KeyActions, ClampTangent)
{
    EXPECT_EQ(ClampTangent(1), 1);
    EXPECT_EQ(ClampTangent(1e14), 1e14);
    EXPECT_EQ(ClampTangent(-1e14), -1e14);
    EXPECT_TRUE(std::isinf(ClampTangent(1.1e14)));
    EXPECT_TRUE(std::isinf(ClampTangent(-1.1e14)));
    EXPECT_EQ(ClampTangent(1e-15), 0);
    EXPECT_EQ(ClampTangent(-1e-15), 0);
    EXPECT_EQ(ClampTangent(1e-14), 1e-14);
    EXPECT_TRUE(std::isnan(ClampTangent(NAN)));
}

TEST(KeyActions, HyperbolicAbsoluteAndConstants)
{
    const ScriptCase cases[] = {
        {"0 down 3", "rd 0"},
        {"1 down 3", "rd 1.175201"},
        {"0 down 6", "rd 1"},
        {"1 down 9", "rd 0.761594"},
        {"1 down #", "rd 1.313035"},
        {"0 down #", "rd ERROR"},
        {"5 up 4 up 9", "rd 5"},
        {"5 up 9", "rd 5"},
        {"up 7", "rd 3.141593"},
        {"up 8", "rd 2.718282"},
    };
    ExpectDisplays(cases);
}

TEST(KeyActions, Factorial)
{
    const ScriptCase cases[] = {
        {"5 up 6", "rd 120"},
        {"5 * 9 up 6", "rd 120"},
        {"0 up 6", "rd 0"},
        {"1 up 6", "rd 1"},
        {"2 up 6", "rd 2"},
        {"3 up 4 up 6", "rd -3"},
        {"1 7 0 up 6", "rd 7.257416e+306"},
        {"1 7 1 up 6", "rd ERROR"},
        {"2 0 0 0 0 0 0 0 0 0 up 6", "rd ERROR"},   // stops once the product is infinite
        {"2 1 4 7 4 8 3 6 4 8 up 4 up 6", "rd -2147483648"},
    };
    ExpectDisplays(cases);
}

TEST(KeyActions, IntegerPartAndNot)
{
    const ScriptCase cases[] = {
        {"5 * 9 act:13", "rd 5"},
        {"5 * 9 up 4 act:13", "rd -5"},
        {"4 2 9 4 9 6 7 2 9 6 act:13", "rd 0"},
        {"4 2 9 4 9 6 7 2 9 5 act:13", "rd -1"},
        {"act:53", "rd -1"},
        {"5 act:53", "rd -6"},
    };
    ExpectDisplays(cases);
    ExpectDisplays({{"act:53", "H FFFFFFFF"}}, {.reprMode = kReprHex});
}

TEST(KeyActions, PercentUsesTheFirstOperand)
{
    const ScriptCase cases[] = {
        {"2 0 0 right 1 1 0 right # ok", "rd 220"},
        {"5 0 right #", "rd 0"},                   // no operand yet
        {"2 0 0 right 1 1 0 ok 5 0 right #", "rd 100"},  // the last first operand stays
    };
    ExpectDisplays(cases);
}

TEST(KeyActions, Memory)
{
    const ScriptCase cases[] = {
        {"5 right 6 3 right 2 right 9", "rd 8"},
        {"5 right 6 2 right 5 right 9", "rd 3"},
        {"5 right 6 2 right 0 right 9", "rd 10"},
        {"5 right 6 2 right 8 right 9", "rd 2.5"},
        {"5 right 6 right 3 right 9", "rd 0"},
        {"5 right 6 up 1 right 9", "rd 5"},        // the memory survives clear all
        {"2 right 1 3 right 2", "rd 5"},           // the pending sum is evaluated first
        {"2 right 1 3 right 2 right 9", "rd 5"},
        {"5 right 6 7", "rd 7"},                   // a store ends the entry
    };
    ExpectDisplays(cases);

    KeySession session;
    RunOn(session, "2 right 1 3 right 2");
    EXPECT_EQ(session.engine.memory, 5);
    EXPECT_EQ(session.engine.opPending, 0);
}

TEST(KeyActions, ClearAllAndClearEntry)
{
    const ScriptCase cases[] = {
        {"5 right 1 3 up 1", "rd 0"},
        {"5 right 1 3 up 1 2 ok", "rd 2"},         // the operation is gone
        {"5 right 1 3 up 2", "rd 0"},
        {"5 right 1 3 up 2 2 ok", "rd 7"},         // the operation stays pending
    };
    ExpectDisplays(cases);
}

TEST(KeyActions, MenuShortcutsPostTheirCommands)
{
    KeySession session;
    RunOn(session, "4 2");
    for (int action = 59; action <= 74; ++action) RunKeyScript(session, "act:" + std::to_string(action));
    const std::vector<int> expected = {40022, 40023, 40024, 40025, 40026, 40027, 40028, 40042,
                                       40043, 40044, 40045, 40046, 40047, 40048, 40054, 40055};
    EXPECT_EQ(session.postedCommands, expected);
    EXPECT_EQ(DisplayLine(session), "rd 42");
}

TEST(KeyActions, ResultsSayWhetherTheValueMustBeShown)
{
    const std::set<int> showing = {4,  5,  8,  9,  10, 11, 13, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37,
                                   38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48, 53, 56, 57, 58};
    for (int action = 0; action < 256; ++action) {
        KeySession session;
        RunOn(session, "2");
        int shown = RunKeyAction(session.engine, action);
        EXPECT_EQ(shown, showing.count(action) ? 1 : 0) << "action " << action;
    }
}

TEST(KeyActions, NumbersOutsideTheTableRunNothing)
{
    for (const char* script : {"1 2 left act:75", "1 2 left act:200", "1 2 left act:255"}) {
        KeySession session;
        RunOn(session, script);
        EXPECT_EQ(DisplayLine(session), "rd 12");
        EXPECT_EQ(session.keypad.keyLayer, kLayerNone);
    }
}

}  // namespace
