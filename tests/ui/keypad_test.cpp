// Keypad handling as the main window runs it: layers, the Talk and Back
// keys, the hexadecimal letter cycle over time, repaint requests and the
// engine's menu commands.
#include <string>

#include "skin/keymap.h"
#include "tests/script_support.h"

namespace {

TEST(Layers, LastForExactlyOneKeypadKey)
{
    const ScriptCase cases[] = {
        {"2 right 1 3 ok", "rd 5"},        // the worked example
        {"5 left 1", "rd 1.609438"},       // Left 1 is the natural logarithm
        {"5 left 1 1", "rd 1"},            // the layer is gone: 1 types
        {"5 left up 1", "rd 0"},           // Up replaced Left: 1 is clear all
        {"5 left talk 1", "rd 51"},        // Talk drops the layer, nothing runs
        {"5 right left 1", "rd 1.609438"},
        {"5 down down 1", "rd -0.958924"},
    };
    ExpectDisplays(cases);
}

TEST(Layers, KeyLayerFollowsDirectionKeys)
{
    KeySession session;
    const struct {
        const char* key;
        int layer;
    } steps[] = {{"left", kLayerLeft}, {"up", kLayerUp},   {"right", kLayerRight}, {"down", kLayerDown},
                 {"talk", kLayerNone}, {"up", kLayerUp},   {"7", kLayerNone},      {"right", kLayerRight},
                 {"ok", kLayerRight},  {"1", kLayerNone},  {"4", kLayerNone},      {"ok", kLayerNone}};
    RunOn(session, "");
    for (const auto& step : steps) {
        RunKeyScript(session, step.key);
        EXPECT_EQ(session.keypad.keyLayer, step.layer) << step.key;
    }
    EXPECT_EQ(DisplayLine(session), "rd 7.141593");  // pi + 4
}

TEST(Layers, SkinKeyMapReachesEveryAction)
{
    // A skin may map actions that the built-in keys do not have.
    KeySession session;
    RunOn(session, "");
    session.keyMap[0] = 53;     // Left 1: not
    session.keyMap[12] = 57;    // Up 1: hexadecimal
    session.keyMap[24] = 200;   // Right 1: no such action
    RunKeyScript(session, "5 left 1");
    EXPECT_EQ(DisplayLine(session), "rd -6");
    RunKeyScript(session, "up 1");
    EXPECT_EQ(DisplayLine(session), "H FFFFFFFA");
    RunKeyScript(session, "right 1");
    EXPECT_EQ(DisplayLine(session), "H FFFFFFFA");
    EXPECT_EQ(session.keypad.keyLayer, kLayerNone);
}

TEST(Keypad, TypingRulesWithoutALayer)
{
    ExpectDisplays({{"5 * #", "B 0"}, {"1 5 * # 0", "B 10"}}, {.reprMode = kReprBinary});
    ExpectDisplays({{"1 2 ok *", "rd 12."}, {"2 right 1 3 ok * *", "rd 0."}, {"2 # * 5", "rd 2e.5"}});
}

TEST(LetterCycle, CyclesWhileHashFollowsQuickly)
{
    const ScriptCase cases[] = {
        {"#", "H A"},
        {"# # #", "H C"},
        {"# # # # # #", "H F"},
        {"# # # # # # #", "H A"},           // after F comes A again
        {"# wait:1000 #", "H AA"},
        {"# 1 #", "H A1A"},                 // another key ends the cycle at once
        {"# left talk #", "H AA"},
        {"# ok #", "H AA"},
        {"1 # back #", "H 1A"},             // so does the Back key
        {"# wait:600 #", "H B"},            // six ticks: still open
        {"# wait:700 #", "H AA"},           // the seventh tick closes it
        {"# # wait:650 #", "H C"},
        {"# wait:50 # wait:650 #", "H BA"}, // seven ticks after the last press, not the first
        {"# wait:300 # wait:300 # wait:300 #", "H D"},
    };
    ExpectDisplays(cases, {.reprMode = kReprHex});
}

TEST(LetterCycle, TimerStopsWhenTheCycleCloses)
{
    KeySession session;
    RunOn(session, "#", {.reprMode = kReprHex});
    EXPECT_EQ(session.keypad.hexCycleClosed, 0);
    EXPECT_NE(session.keypad.hexTimer, 0);
    RunKeyScript(session, "wait:700");
    EXPECT_EQ(session.keypad.hexCycleClosed, 1);
    EXPECT_EQ(session.keypad.hexTimer, 0);

    // A key closes the cycle at once; the timer runs out on its own later.
    RunOn(session, "# 1", {.reprMode = kReprHex});
    EXPECT_EQ(session.keypad.hexCycleClosed, 1);
    EXPECT_NE(session.keypad.hexTimer, 0);
    RunKeyScript(session, "wait:2000");
    EXPECT_EQ(session.keypad.hexTimer, 0);
}

TEST(LetterCycle, KeysTheWindowDoesNotHandleLeaveItOpen)
{
    KeySession session;
    RunOn(session, "#", {.reprMode = kReprHex});
    KeyOutcome outcome = KeypadKeyDown(session.keypad, session.engine, session.keyMap, 'Q');
    EXPECT_EQ(outcome.handled, 0);
    EXPECT_EQ(session.keypad.hexCycleClosed, 0);
    RunKeyScript(session, "#");
    EXPECT_EQ(DisplayLine(session), "H B");
}

TEST(LetterCycle, HashInALayerRunsTheActionAndClosesTheCycle)
{
    ExpectDisplays({{"# right # #", "H A"}}, {.reprMode = kReprHex});  // A% = 0, then a new A
}

TEST(BackKey, DeletesOnReleaseOnly)
{
    KeySession session;
    RunOn(session, "1 2 3");
    EXPECT_EQ(BackKeyHotkey(session.keypad, session.engine, false), kRepaintNone);
    EXPECT_EQ(DisplayLine(session), "rd 123");
    EXPECT_EQ(BackKeyHotkey(session.keypad, session.engine, true), kRepaintDisplay);
    EXPECT_EQ(DisplayLine(session), "rd 12");
}

TEST(Keypad, RepaintRequests)
{
    KeySession session;
    RunOn(session, "");
    const struct {
        int key;
        int handled;
        Repaint repaint;
    } steps[] = {
        {kKeyDigit0 + 5, 1, kRepaintDisplay}, {kKeyStar, 1, kRepaintDisplay}, {kKeyPound, 1, kRepaintDisplay},
        {kKeyLeft, 1, kRepaintKeypad},        {kKeyDigit0 + 1, 1, kRepaintWhole}, {kKeyTalk, 1, kRepaintKeypad},
        {kKeyAction, 1, kRepaintWhole},       {kKeyBack, 0, kRepaintNone},     {'A', 0, kRepaintNone},
        {0, 0, kRepaintNone},                 {kKeyDigit0 + 10, 0, kRepaintNone},
    };
    for (const auto& step : steps) {
        KeyOutcome outcome = KeypadKeyDown(session.keypad, session.engine, session.keyMap, step.key);
        EXPECT_EQ(outcome.handled, step.handled) << step.key;
        EXPECT_EQ(outcome.repaint, step.repaint) << step.key;
    }
}

TEST(Keypad, KeyIndexOrder)
{
    const int keys[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9', kKeyStar, '0', kKeyPound};
    for (int index = 0; index < 12; ++index) EXPECT_EQ(KeyIndexOf(keys[index]), index);
    EXPECT_EQ(KeyIndexOf(kKeyAction), -1);
    EXPECT_EQ(KeyIndexOf('A'), -1);
}

TEST(Keypad, BuiltInKeyMapMatchesTheLabels)
{
    // Spot checks across the four rows of the built-in map.
    EXPECT_EQ(defaultKeyMap[0], 32);        // Left 1: ln
    EXPECT_EQ(defaultKeyMap[11], 6);        // Left #: x^y
    EXPECT_EQ(defaultKeyMap[12 + 5], 46);   // Up 6: x!
    EXPECT_EQ(defaultKeyMap[24 + 9], 2);    // Right *: multiply
    EXPECT_EQ(defaultKeyMap[36 + 10], 40);  // Down 0: arccotangent
    int seen[75] = {};
    for (uint8_t action : defaultKeyMap) ++seen[action];
    for (int action = 0; action < 75; ++action)
        EXPECT_EQ(seen[action], (action == 13 || action >= 49) ? 0 : 1) << action;
}

TEST(EngineCommands, ConstantsKeepThePendingOperation)
{
    const ScriptCase cases[] = {
        {"2 right 1 cmd:40040", "rd 3.141593"},
        {"2 right 1 cmd:40040 ok", "rd 5.141593"},
        {"cmd:40041", "rd 2.718282"},
        {"cmd:40041 5", "rd 5"},          // the entry was ended
        {"1 2 cmd:12345 3", "rd 123"},    // not an engine command: nothing happens
    };
    ExpectDisplays(cases);
    KeySession session;
    RunOn(session, "cmd:40040");
    EXPECT_EQ(session.engine.value, kPi);
}

TEST(EngineCommands, OutcomesAskForTheRightRepaint)
{
    KeySession session;
    RunOn(session, "left");
    EXPECT_EQ(RunEngineCommand(session.keypad, session.engine, 40011).repaint, kRepaintDisplay);
    EXPECT_EQ(RunEngineCommand(session.keypad, session.engine, 40013).repaint, kRepaintNone);  // already radian
    EXPECT_EQ(RunEngineCommand(session.keypad, session.engine, 40015).repaint, kRepaintDisplay);
    EXPECT_EQ(session.keypad.keyLayer, kLayerLeft);  // an angle unit keeps the layer
    EXPECT_EQ(RunEngineCommand(session.keypad, session.engine, 40020).repaint, kRepaintDisplay);
    EXPECT_EQ(session.keypad.keyLayer, kLayerNone);  // a representation change drops it
    EXPECT_EQ(RunEngineCommand(session.keypad, session.engine, 40041).repaint, kRepaintWhole);
    EXPECT_EQ(RunEngineCommand(session.keypad, session.engine, 40022).handled, 0);
    EXPECT_EQ(RunEngineCommand(session.keypad, session.engine, 1).handled, 0);
}

}  // namespace
