// The calculator as the keys drive it: one row per behaviour, each a key
// script on a fresh phone with its settings and the display line it leaves
// (and, where the digits shown are not enough, the value itself).
#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "core/screen/screen.h"
#include "core/text/numbers.h"
#include "core/text/text16.h"
#include "tests/core/support.h"

namespace {

struct KeyRow {
    const char* settings;  // see OptionsFrom
    const char* keys;
    const char* display;
    const char* value = nullptr;  // "%.17g" of the value, when it matters
};

// Layer keys of the built-in map: right 1 "+", right 4 "-", right * "*",
// right 7 "/", left # "^", left 9 root; up 4 sign, up 5 exponent form.
const KeyRow kKeyRows[] = {
    // Typing.
    {"", "1 2 3", "rd 123"}, {"", "0 0 7", "rd 007"}, {"", "1 # # 5", "rd 1e5", "100000"}, {"", "5 #", "rd 5e", "5"},
    {"", "* * 5 *", "rd 0.5"}, {"", "1 * 2 5 # 2", "rd 1.25e2", "125"}, {"", "1 2 ok 3", "rd 123"},
    {"", "2 right 1 3 ok 4", "rd 4"}, {"", "2 right 1 3 ok *", "rd 0."}, {"", "2 right 1 3 ok # 4", "rd 4"},
    {"", "2 # * 5", "rd 2e.5"}, {"", "1 # 4 0 0", "rd 1e400", "inf"}, {"bin", "1 2 9 0", "B 10"},
    {"bin", "5 * # 1", "B 1"}, {"hex", "9 *", "H 9"}, {"hex", "1 # 2", "H 1A2"},
    {"hex", "1 # # # # # # wait:700 # # # # # # wait:700 # # # # # # wait:700 # # # # # # wait:700 # # # # # #"
            " wait:700 # # # # # # wait:700 # # # # # # wait:700 # # # # # # wait:700 right 1 1 ok",
     "H 0"},
    {"exp", "1 * 5 # 2", "rd 1.5e2"},
    // The 40-unit limit; an "&" pair may make 41.
    {"", "1 2 3 4 5 6 7 8 9 1 2 3 4 5 6 7 8 9 1 2 3 4 5 6 7 8 9 1 2 3 4 5 6 7 8 9 1 2 3 4 5 5 * #",
     "rd 1234567891234567891234567891234567891234"},
    {"", "1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 act:50 2 ok",
     "rd 0"},
    {"", "1 2 3 4 5 6 7 8 9 1 2 3 4 5 6 7 8 9 1 2 3 4 5 6 7 8 9 1 2 3 4 5 6 7 8 9 1 2 3 4 right 1 1 ok",
     "rd 2.469136e+39"},
    // Back.
    {"", "1 2 3 back", "rd 12"}, {"", "7 back", "rd 0"}, {"", "0 back 5", "rd 05"}, {"", "1 * back", "rd 1"},
    {"", "1 # back 2", "rd 12"}, {"", "1 # back 2 # 3", "rd 12e3", "12000"}, {"", "7 back right 1 2 ok", "rd 2"},
    {"", "5 act:50 3 back", "rd 0"}, {"", "1 # 5 back 7", "rd 1e7"}, {"", "1 2 3 right 1 back 3 ok", "rd 3"},
    {"", "1 right 7 0 ok back", "rd 0"}, {"", "1 # 4 0 0 back", "rd 0", "0"}, {"", "1 up 4 back", "rd -"},
    {"", "1 up 4 back back", "rd 0"}, {"", "1 0 0 right 1 2 3 ok back 4", "rd 124"}, {"", "5 act:50 back 3 ok", "rd 3"},
    {"", "1 2 act:50 back back", "rd 1"}, {"", "1 right 1 2 # up 4 back 5 ok", "rd 200001"},
    // Sign change, in the exponent too, and at the typing limit.
    {"", "1 # 5 up 4", "rd 1e-5", "1.0000000000000001e-05"}, {"", "1 # 5 up 4 up 4", "rd 1e+5", "100000"},
    {"", "1 # up 4 5", "rd 1e-5"}, {"", "1 2 up 4 3", "rd -123"}, {"", "1 2 up 4 up 4", "rd 12"},
    {"", "1 # 5 5 5 5 5 5 5 5 5 5 5 5 5 5 5 5 5 5 5 5 5 5 5 5 5 5 5 5 5 5 5 5 5 5 5 5 5 5 up 4",
     "rd 1e-55555555555555555555555555555555555555"},
    {"", "1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 # 1 2 up 4 up 4 3",
     "rd 1111111111111111111111111111111111111e+12"},
    // Operators, strictly left to right.
    {"", "2 right 1 3 right * 4 ok", "rd 20"}, {"", "2 right 1 3 right *", "rd 5*"}, {"", "5 right 1 right 4", "rd 5-"},
    {"", "5 right 1 right 4 3 ok", "rd 2"}, {"", "5 right 1 ok", "rd 10"}, {"", "2 right 1 3 ok ok ok", "rd 9"},
    {"", "2 right * 3 ok ok", "rd 12"}, {"", "9 right 1 4 left 7 ok", "rd 11"}, {"", "2 left # 1 0 ok", "rd 1024"},
    {"", "3 left 9 8 ok", "rd 2"}, {"", "0 left 9", "rd 0"}, {"", "1 right 7 0 ok right 1 5 ok", "rd ERROR"},
    {"", "2 up 4 left 9 8 ok", "rd 0.353553"}, {"", "ok", "rd 0"}, {"", "5 act:50", "rd 5&"},
    {"", "5 right 1 act:50", "rd 5&"}, {"", "5 act:50 act:49 act:50 3 ok", "rd 1"}, {"", "6 act:49 3 ok", "rd 7"},
    {"", "6 act:51 3 ok", "rd 5"}, {"", "7 up 4 act:52 3 ok", "rd -1"}, {"", "7 * 9 act:52 2 * 5 ok", "rd 1"},
    {"", "7 act:52 * 5 ok", "rd ERROR"}, {"", "2 1 4 7 4 8 3 6 4 8 up 4 act:52 1 up 4 ok", "rd 0"},
    {"", "1 act:54 3 1 ok", "rd -2147483648"}, {"", "1 act:54 3 2 ok", "rd 0"}, {"", "1 act:54 2 5 6 ok", "rd 1"},
    {"", "1 6 up 4 act:55 2 ok", "rd -4"}, {"", "1 6 up 4 act:55 3 2 ok", "rd -1"}, {"", "8 act:55 3 ok", "rd 1"},
    {"", "1 right 1 2 # up 4 right 1", "rd 3+"}, {"", "2 right 1 1 # up 4 up 4 right 1", "rd 3+"},
    {"", "5 act:50 right 1", "rd 5+"}, {"", "1 # up 4 right 1 2 ok", "rd 3"}, {"bin", "1 0 1 right 1 1 ok", "B 110"},
    {"", "3 * 7 act:57 right 1", "H 3+", "3"}, {"", "3 act:46", "rd 6"}, {"", "2 act:46", "rd 2"},
    // Formatting: representations, precisions, grouping, the indicator.
    {"", "1 right 7 3 ok", "rd 0.333333", "0.33333333333333331"}, {"p1", "1 right 7 3 ok", "rd 0.3"},
    {"p1", "9 6 right 7 1 0 0 ok", "rd 1"}, {"p13", "1 right 7 3 ok", "rd 0.333333333333"},
    {"p0", "1 right 7 3 ok", "rd 0.3"}, {"bin", "1 right 4 1 ok", "B 0"}, {"", "1 right 7 3 ok right * 3 ok", "rd 1"},
    {"", "1 up 4 right 7 3 # 7 ok", "rd -0"}, {"", "1 # 1 5 right 4 1 ok", "rd 999999999999999"},
    {"", "9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 ok", "rd 9999999999999999"}, {"", "1 # 1 6 right 1 0 ok", "rd 1.000000e+16"},
    {"p12", "1 # 3 0 0 right 1 0 ok", "rd 1.000000000000e+300"}, {"exp", "2 right 1 0 ok", "rd 2.000000e+00"},
    {"exp p1", "1 2 3 4 5 right 1 0 ok", "rd 1.2e+04"}, {"hex", "act:53", "H FFFFFFFF"},
    {"hex", "2 5 5 cmd:40018 right 1 2 ok", "rd 599"},
    {"bin", "1 1 1 1 1 1 1 1 act:56 right * 2 ok act:58", "B 111111110"},
    {"group", "1 2 3 4 5 6 9 * 5", "rd 1 234 569.5"}, {"group", "1 2 3 4 up 4", "rd -1234"},
    {"group", "1 2 3 4 # 5", "rd 1 234e5"}, {"group", "1 2 3 4 5 right 1", "rd 12 345+"},
    {"group exp", "1 2 3 4 right 1 0 ok", "rd 1.234000e+03"}, {"group bin", "1 0 1 0 1 0 1 0 1", "B 1 0101 0101"},
    {"group hex", "act:53", "H FFFF FFFF"}, {"group hex", "1 2 3 4 5", "H 1 2345"},
    {"group hex", "# 1 2 3 4", "H A 1234"}, {"", "up #", "dg 0"}, {"", "up 0", "gr 0"}, {"exp deg", "1", "dg 1"},
    {"hex deg", "1", "H 1"},
    // The representation and angle unit keys and commands.
    {"", "3 * 7 act:57", "H 3", "3.7000000000000002"}, {"", "3 * 7 act:57 act:56", "rd 3.7"},
    {"", "2 up 5", "rd 2.000000e+00"}, {"", "1 2 up 5 3", "rd 1.200000e+013"}, {"", "2 up 5 up 5", "rd 2"},
    {"", "2 act:58 up 5", "B 10"}, {"", "2 5 5 cmd:40019", "H FF"}, {"", "2 5 5 cmd:40020", "B 11111111"},
    {"", "2 5 5 cmd:40021", "rd 2.550000e+02"}, {"", "2 5 cmd:40018 5", "rd 255"}, {"", "2 5 cmd:40019 1", "H 1"},
    {"", "4 5 up # cmd:40014", "gr 45", "45"}, {"", "1 2 cmd:40011 3 4 cmd:40011", "rd 1234"},
    {"", "1 2 3 4 cmd:40011", "rd 1 234"}, {"", "left cmd:40015 1", "dg ERROR"}, {"", "left cmd:40013 1", "rd ERROR"},
    {"", "left cmd:40019 1", "H 1"}, {"", "2 right 1 cmd:40040 ok", "rd 5.141593"}, {"", "cmd:40041 5", "rd 5"},
    {"", "cmd:40040", "rd 3.141593", "3.1415926535897931"}, {"", "1 2 cmd:12345 3", "rd 123"},
    // Layers last one keypad key; Talk drops them.
    {"", "5 left 1", "rd 1.609438"}, {"", "5 left 1 1", "rd 1"}, {"", "5 left up 1", "rd 0"},
    {"", "5 left talk 1", "rd 51"}, {"", "5 down down 1", "rd -0.958924"}, {"", "up 7 right ok 1 4 ok", "rd 7.141593"},
    {"", "1 2 left act:75 3", "rd 123"}, {"", "1 2 left act:255 3", "rd 123"},
    // Key actions.
    {"", "4 up 3", "rd 0.25"}, {"", "0 up 3", "rd ERROR"}, {"", "3 left *", "rd 9"}, {"", "3 left 0", "rd 27"},
    {"", "9 left 7", "rd 3"}, {"", "2 up 4 left 7", "rd ERROR"}, {"", "8 left 8", "rd 2"},
    {"", "2 7 up 4 left 8", "rd ERROR"}, {"", "1 0 left 5", "rd 1024"}, {"", "3 left 6", "rd 1000"},
    {"", "1 left 4", "rd 2.718282", "2.7182818284590451"}, {"", "8 left 2", "rd 3"}, {"", "1 0 0 left 3", "rd 2"},
    {"", "0 left 1", "rd ERROR"}, {"deg", "3 0 down 1", "dg 0.5"}, {"deg", "3 9 0 up 4 down 1", "dg -0.5"},
    {"deg", "6 0 down 4", "dg 0.5"}, {"deg", "9 0 down 7", "dg ERROR"}, {"deg", "1 8 0 down 7", "dg 0"},
    {"deg", "0 down *", "dg ERROR"}, {"deg", "9 0 down *", "dg 0"}, {"deg", "1 down 2", "dg 90"},
    {"deg", "2 down 2", "dg ERROR"}, {"deg", "0 down 5", "dg 90"}, {"deg", "3 down 8", "dg 71.565051"},
    {"deg", "1 down 0", "dg 45"}, {"deg", "0 down 0", "dg 90"}, {"deg", "7 2 0 0 3 0 down 1", "dg 0.5"},
    {"deg", "1 # 1 4 down 4", "dg 0.173648"}, {"deg", "1 # 3 0 8 down 4", "dg 1"}, {"grad", "1 0 0 down 1", "gr 1"},
    {"grad", "1 down 2", "gr 100"}, {"grad", "4 5 0 down 1", "gr 0.707107"},
    {"", "1 down 2", "rd 1.570796", "1.5707963267948966"}, {"", "7 down 1", "rd 0.656987"},
    {"", "1 down 3", "rd 1.175201"}, {"", "0 down 6", "rd 1"}, {"", "1 down 9", "rd 0.761594"},
    {"", "1 down #", "rd 1.313035"}, {"", "5 up 4 up 9", "rd 5"}, {"", "0 up 9", "rd 0"}, {"", "up 8", "rd 2.718282"},
    {"", "5 up 6", "rd 120"}, {"", "5 * 9 up 6", "rd 120"}, {"", "3 up 4 up 6", "rd -3"},
    {"", "1 7 0 up 6", "rd 7.257416e+306"}, {"", "1 7 1 up 6", "rd ERROR"},
    {"", "2 0 0 0 0 0 0 0 0 0 up 6", "rd ERROR"}, {"", "5 * 9 up 4 act:13", "rd -5"},
    {"", "4 2 9 4 9 6 7 2 9 5 act:13", "rd -1"}, {"", "5 act:53", "rd -6"},
    {"", "2 0 0 right 1 1 0 right # ok", "rd 220"}, {"", "5 0 right #", "rd 0"},
    {"", "2 0 0 right 1 1 0 ok 5 0 right #", "rd 100"}, {"", "5 right 6 3 right 2 right 9", "rd 8"},
    {"", "5 right 6 2 right 5 right 9", "rd 3"}, {"", "5 right 6 2 right 0 right 9", "rd 10"},
    {"", "5 right 6 2 right 8 right 9", "rd 2.5"}, {"", "5 right 6 right 3 right 9", "rd 0"},
    {"", "5 right 6 up 1 right 9", "rd 5"}, {"", "2 right 1 3 right 2 right 9", "rd 5"}, {"", "5 right 6 7", "rd 7"},
    {"", "1 * right 3", "rd 1."}, {"", "5 right 1 3 up 1 2 ok", "rd 2"}, {"exp", "5 up 1", "rd 0"},
    {"exp", "5 up 2", "rd 0"}, {"", "5 right 1 3 up 2", "rd 0"}, {"", "5 right 1 3 up 2 2 ok", "rd 7"},
    {"", "5 right 1 3 up 2 ok", "rd 5"}, {"", "5 up 1 right 1 2 ok", "rd 2"}, {"", "1 2 up # 3", "dg 123"},
    {"", "4 2 act:65 act:72 act:73 act:74 1", "rd 421"}, {"", "1 * 5 0 right 2", "rd 1.50"},
    // A desktop keyboard's characters, whatever the key map and layer; clicks on the keypad image.
    {"", "2 char:+ 3 char:=", "rd 5"}, {"", "7 char:- 2 char:=", "rd 5"}, {"", "6 char:* 7 char:=", "rd 42"},
    {"", "8 char:/ 2 char:=", "rd 4"}, {"", "2 right char:+ 3 ok", "rd 5"}, {"", "1 left char:, 5", "rd 1.5"},
    {"", "left char:. 5", "rd 0.5"}, {"", "1 char:e char:- 5", "rd 1e-5"}, {"", "1 left char:E char:+ 5", "rd 1e5"},
    {"", "5 char:#", "rd 5e"}, {"", "char:a 1", "rd 1"}, {"bin", "1 char:e 1", "B 11"},
    {"hex", "# char:b char:f", "H ABF"}, {"hex", "1 char:e", "H 1E"}, {"", "5 tap:down:1", "rd -0.958924"},
    {"", "2 right tap:1 3 ok", "rd 5"}, {"", "tap:5 tap:right:1 tap:3 tap:4 char:=", "rd 39"},
    {"deg", "tap:up:*", "rd 0"},
    // The hexadecimal letter cycle.
    {"hex", "#", "H A"}, {"hex", "# # #", "H C"}, {"hex", "# # # # # # #", "H A"}, {"hex", "# 1 #", "H A1A"},
    {"hex", "1 # back #", "H 1A"}, {"hex", "# wait:600 #", "H B"}, {"hex", "# wait:700 #", "H AA"},
    {"hex", "# wait:50 # wait:650 #", "H BA"}, {"hex", "# wait:50 # wait:620 #", "H C"},
    {"hex", "# wait:300 # wait:300 # wait:300 #", "H D"}, {"hex", "# right # #", "H A"},
    {"hex", "# 1 wait:2000 # #", "H A1B"},
    {"hex", "# 1 wait:50 # wait:660 #", "H A1AA"},  // the timer keeps its beat
    // A hash that types nothing opens no cycle; a command closes an open one.
    {"hex", "1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 act:50 # #",
     "H 11111111111111111111111111111111111111&"},
    {"hex", "1 2 # cmd:40040 #", "H A"}, {"hex", "1 2 # cmd:40011 #", "H 12AA"}, {"hex", "1 2 # cmd:12345 #", "H 12B"},
};

TEST(Keys, ScriptsLeaveTheirDisplay)
{
    KeySession session;
    for (const KeyRow& row : kKeyRows) {
        RunScript(session, row.settings, "");
        for (size_t at = 0, end = 0; at < std::strlen(row.keys); at = end + 1) {
            end = std::min(std::strcspn(row.keys + at, " ") + at, std::strlen(row.keys));
            RunKeyScript(session, std::string(row.keys + at, end - at));
            // After every key, "&" stands in the text only as the pair that draws one.
            const std::u16string text = session.calculator.engine.text;
            for (size_t amp = text.find(u'&'); amp != std::u16string::npos; amp = text.find(u'&', amp + 2))
                EXPECT_EQ(text[amp + 1], u'&') << row.keys;
        }
        EXPECT_EQ(DisplayLine(session), row.display) << row.settings << ": " << row.keys;
        if (row.value != nullptr) {
            EXPECT_EQ(ValueText(session.calculator.engine.value), row.value) << row.settings << ": " << row.keys;
        }
    }
}

// What a key or command changed on the screen is in the repaint it asks
// for: the display line when the number or its indicator changed, the keypad
// when the layer did. (More is allowed: it only costs a drawing.)
void ExpectRepaintCovers(const KeySession& session, const std::string& lineBefore, int layerBefore, Repaint asked,
                         const std::string& what)
{
    const bool displayChanged = DisplayLine(session) != lineBefore;
    const bool layerChanged = session.calculator.keypad.keyLayer != layerBefore;
    EXPECT_TRUE(!displayChanged || (asked & kRepaintDisplay)) << what << ": the display is not redrawn";
    EXPECT_TRUE(!layerChanged || (asked & kRepaintKeypad)) << what << ": the keypad is not redrawn";
}

// Which keys are the keypad's, what the window must redraw after one, and
// when the hexadecimal letter cycle's timer starts.
TEST(Keys, WhatAKeyAsksOfTheWindow)
{
    // A typed character (typed, not key) drops a key layer.
    const struct {
        const char* settings;
        const char* before;
        int key;
        char16_t typed;
        int handled;
        bool cycleOpens;
    } rows[] = {
        {"", "", '5', 0, 1, false}, {"", "", kKeyStar, 0, 1, false}, {"hex", "", kKeyPound, 0, 1, true},
        {"hex", "#", kKeyPound, 0, 1, false}, {"", "", kKeyLeft, 0, 1, false}, {"", "left", '1', 0, 1, false},
        {"", "left", kKeyTalk, 0, 1, false}, {"", "1 right 1", kKeyAction, 0, 1, false},
        {"", "", kKeyBack, 0, 0, false}, {"", "left", ':', 0, 0, false}, {"", "", '0' - 1, 0, 0, false},
        {"", "", 'A', 0, 0, false}, {"", "", 0, u'.', 1, false}, {"", "left", 0, u'.', 1, false},
        {"hex", "", 0, u'a', 1, false}, {"hex", "up", 0, u'a', 1, false}, {"", "1 # left", 0, u'-', 1, false},
        {"", "1 #", 0, u'-', 1, false}, {"", "left", 0, u'x', 0, false}, {"", "2", 0, u'/', 1, false},
    };
    KeySession session;
    for (const auto& row : rows) {
        RunScript(session, row.settings, row.before);
        Calculator& c = session.calculator;
        const std::string line = DisplayLine(session);
        const int layer = c.keypad.keyLayer;
        const KeyOutcome outcome = row.typed != 0 ? TypedCharacter(c.keypad, c.engine, session.keyMap, row.typed)
                                                  : KeypadKeyDown(c.keypad, c.engine, session.keyMap, row.key);
        const std::string what = row.before + std::string(" then ") + std::to_string(row.key + row.typed);
        EXPECT_EQ(outcome.handled, row.handled) << what;
        ExpectRepaintCovers(session, line, layer, outcome.repaint, what);
        EXPECT_EQ(outcome.postCycleOpen, row.cycleOpens) << what;
        EXPECT_EQ(outcome.followUp.command, Command::None) << what;
    }
    RunScript(session, "", "1 2");
    EXPECT_EQ(BackKeyHotkey(session.calculator.keypad, session.calculator.engine, false), kRepaintNone);
    EXPECT_EQ(BackKeyHotkey(session.calculator.keypad, session.calculator.engine, true), kRepaintDisplay);
    EXPECT_EQ(DisplayLine(session), "rd 1");
    // A list action's command comes back with the key, for the window to run after it.
    RunScript(session, "", "left");
    session.keyMap[0] = 65;  // Left 1: the choice of currencies
    Calculator& c = session.calculator;
    EXPECT_EQ(KeypadKeyDown(c.keypad, c.engine, session.keyMap, '1').followUp,
              (CommandRequest{Command::CurrencyChoice, 0}));
}

// The router runs what the calculator can run alone and hands back the rest.
TEST(Keys, TheRouterRunsWhatTheCalculatorCanAlone)
{
    const struct {
        CommandRequest request;
        const char* before;
        int handled;
        const char* display;
    } rows[] = {
        {{Command::GroupDigits, 0}, "1 2 3 4", 1, "rd 1 234"}, {{Command::AngleUnit, 0}, "", 1, "rd 0"},
        {{Command::AngleUnit, 2}, "", 1, "dg 0"}, {{Command::AngleUnit, 3}, "", 0, "rd 0"},
        {{Command::AngleUnit, -1}, "", 0, "rd 0"}, {{Command::Representation, 0}, "", 1, "rd 0"},
        {{Command::Representation, 3}, "", 1, "rd 0.000000e+00"}, {{Command::Representation, 4}, "", 0, "rd 0"},
        {{Command::PutE, 0}, "left", 1, "rd 2.718282"}, {{Command::QuickConversion, 0}, "left", 1, "rd 0.00"},
        {{Command::ConstantSlot, 0}, "left", 1, "rd 0"}, {{Command::Copy, 0}, "", 0, "rd 0"},
        {{Command::CurrencyChoice, 0}, "", 0, "rd 0"}, {{Command::None, 0}, "", 0, "rd 0"},
    };
    KeySession session;
    for (const auto& row : rows) {
        RunScript(session, "", row.before);
        const std::string line = DisplayLine(session);
        const int layer = session.calculator.keypad.keyLayer;
        const CommandOutcome outcome = RunCommand(session.calculator, row.request);
        const std::string what = std::to_string(static_cast<int>(row.request.command)) + " " +
                                 std::to_string(row.request.index);
        EXPECT_EQ(outcome.handled, row.handled) << what;
        EXPECT_EQ(DisplayLine(session), row.display) << what;
        ExpectRepaintCovers(session, line, layer, outcome.repaint, what);
    }
}

// Where a click on the built-in keypad image (176 x 153) lands.
TEST(Keys, ClicksFindTheKeyAndItsLabel)
{
    const struct {
        int x, y, keyIndex, layer;
    } rows[] = {{29, 19, 0, kLayerNone}, {29, 6, 0, kLayerUp},      {29, 30, 0, kLayerDown}, {10, 19, 0, kLayerLeft},
                {45, 19, 0, kLayerRight}, {150, 140, 11, kLayerNone}, {64, 96, 7, kLayerLeft},
                {175, 152, 11, kLayerDown},
                {176, 0, -1, kLayerNone}, {-1, 5, -1, kLayerNone},   {0, 153, -1, kLayerNone}};
    for (const auto& row : rows) {
        const KeypadSpot spot = SpotAt(row.x, row.y, 176, 153);
        EXPECT_EQ(spot.keyIndex, row.keyIndex) << row.x << "," << row.y;
        EXPECT_EQ(spot.layer, row.layer) << row.x << "," << row.y;
    }
    EXPECT_EQ(SpotAt(0, 0, 0, 153).keyIndex, -1);
    KeySession session;  // a spot past the keypad presses nothing, whatever its layer
    Calculator& c = session.calculator;
    for (int layer : {kLayerNone, kLayerLeft})
        EXPECT_EQ(ClickKeypad(c.keypad, c.engine, session.keyMap, KeypadSpot{12, layer}).handled, 0) << layer;
    EXPECT_EQ(PhoneKeyOfIndex(12), 0);  // past the keypad: no key
}

// Pastes: whatever the clipboard holds, at most 40 units are read.
TEST(Keys, PastesReadTheNumberAPersonMeant)
{
    const struct {
        const char* settings;
        std::u16string text;
        const char* value;
    } rows[] = {{"", u"1234567890123456789012345", "1.2345678901234568e+24"},
                {"", u"0.000000000000000000001234", "1.234e-21"}, {"", u"12abc", "12"}, {"", u"1,5", "1.5"},
                {"", u"1 234", "1234"}, {"", u"9 999", "9999"}, {"", u"1\u00A0234\u202F567,25", "1234567.25"},
                {"", u"1,234.5", "1"}, {"", u"1,2,3", "1"}, {"", u"\u22120", "-0"}, {"", u" \t\u22122.5\r\n", "-2.5"},
                {"", u"1e\u22125", "1.0000000000000001e-05"}, {"", u"1 -2", "1"}, {"", u"1. 2", "1"},
                {"", std::u16string(100000, u'1'), "1.1111111111111112e+39"},
                {"", std::u16string(41, u'9') + u"e-300", "1e+40"}, {"hex", u"ff ff", "65535"},
                {"bin", u"1010 1010", "170"}, {"hex", u"fg", "15"}, {"", u"2E\u22123", "0.002"},
                {"", std::u16string(u"7\0" u"8", 3), "7"},
                // Hexadecimal and binary: the leading digits, the last 32 bits of a longer run.
                {"hex", u"Af", "175"}, {"hex", u"1FFFFFFFF", "4294967295"}, {"hex", u"G1", "0"}, {"bin", u"101+", "5"},
                {"bin", u"2", "0"}, {"bin", u"111111111111111111111111111111110", "4294967294"}};
    KeySession session;
    for (const auto& row : rows) {
        RunScript(session, row.settings, "");
        PasteText(session.calculator.engine, row.text.data(), row.text.size());
        EXPECT_EQ(ValueText(session.calculator.engine.value), row.value) << row.settings << " " << row.text.size();
    }
}

// The window's zoom, and how the display's number fits its line.
TEST(Keys, ZoomAndFitting)
{
    for (auto [dpi, zoom] : {std::pair{96, 1}, {120, 1}, {144, 2}, {192, 2}, {288, 3}, {480, 4}, {0, 1}, {-96, 1}})
        EXPECT_EQ(ZoomForDpi(dpi), zoom) << dpi;
    const struct {
        int width, height;
        DragEdge edge;
        int zoom;
    } sizes[] = {{176, 180, DragEdge::Corner, 1}, {352, 360, DragEdge::Corner, 2}, {300, 180, DragEdge::Width, 2},
                 {263, 999, DragEdge::Width, 1}, {264, 999, DragEdge::Width, 2}, {176, 450, DragEdge::Height, 3},
                 {400, 200, DragEdge::Corner, 2},
                 {9999, 9999, DragEdge::Corner, 4}, {0, 0, DragEdge::Corner, 1}};
    for (const auto& row : sizes) EXPECT_EQ(ZoomForScreenSize(row.width, row.height, row.edge), row.zoom) << row.width;
    // The stored zoom: four bytes, little-endian, 1..4; anything else is none (0).
    const struct {
        unsigned char bytes[4];
        size_t size;
        int zoom;
    } stored[] = {{{1, 0, 0, 0}, 4, 1}, {{4, 0, 0, 0}, 4, 4}, {{4, 0, 0, 0}, 3, 0}, {{5, 0, 0, 0}, 4, 0},
                  {{1, 0, 0, 1}, 4, 0}};
    for (const auto& row : stored)
        EXPECT_EQ(StoredZoom(row.bytes, row.size), row.zoom) << int{row.bytes[0]} << " of " << row.size << " bytes";

    // Each unit is 10 - size pixels wide.
    const TextWidth width = [](void*, int size, const char16_t*, size_t length) {
        return static_cast<int>(length) * (10 - size);
    };
    const struct {
        const char16_t* text;
        int width, sizes, size;
        const char16_t* drawn;
    } fits[] = {{u"12345", 50, 5, 0, u"12345"}, {u"12345", 45, 5, 1, u"12345"},     {u"12345", 20, 5, 4, u"\u202645"},
                {u"1e-12", 24, 5, 4, u"\u2026-12"}, {u"12345", 3, 5, 4, u"\u2026"}, {u"", 0, 1, 0, u""}};
    for (const auto& row : fits) {
        char16_t out[kFittedCapacity];
        const DisplayFit fit = FitDisplayText(row.text, row.width, row.sizes, width, nullptr, out);
        EXPECT_EQ(fit.size, row.size) << row.width;
        EXPECT_EQ(std::u16string(out), row.drawn) << row.width;
        EXPECT_EQ(fit.length, std::u16string(row.drawn).size()) << row.width;
    }
}

// Functions whose edges no key script reaches exactly.
TEST(Keys, EdgesOfTheNumericHelpers)
{
    const struct {
        double in, tangent;
    } tangents[] = {{1, 1}, {1e14, 1e14}, {-1e14, -1e14}, {1.1e14, -HUGE_VAL}, {-1.1e14, -HUGE_VAL},
                    {1e-15, 0}, {-1e-15, 0}, {1e-14, 1e-14}, {-1e-14, -1e-14}};
    for (const auto& row : tangents) EXPECT_EQ(ClampTangent(row.in), row.tangent) << row.in;

    const struct {
        double in;
        int32_t out;
    } integers[] = {{-0.9, 0},  {2147483647.9, 2147483647}, {2147483648.0, INT32_MIN}, {4294967296.0, 0},
                    {-2147483649.0, 2147483647}, {-4294967297.0, -1}, {4503599627370501.0, 5}, {1e300, 0},
                    {NAN, 0}, {HUGE_VAL, 0}, {-HUGE_VAL, 0}};
    for (const auto& row : integers) EXPECT_EQ(ToInt32(row.in), row.out) << row.in;

    const struct {
        const char* text;
        double value;
    } numbers[] = {{"12+", 12},     {"5e+", 5},   {"-2.5e-1x", -0.25}, {"1E3", 1000}, {"+7", 7},
                   {"ERROR", 0}, {"", 0}, {".", 0}, {"-", 0}, {"inf", 0}, {"nan", 0}, {"0x10", 0}, {" \t7", 7},
                   {"1.", 1}, {".5", 0.5}, {"1e400", HUGE_VAL}, {"-1e400", -HUGE_VAL}, {"1e-400", 0}, {"2e 5", 2},
                   {"1e23", 1e23}, {"1e-23", 1e-23}, {"1e22", 1e22}, {"2.5e-22", 2.5e-22},
                   {"900719925474099.5", 900719925474099.5}, {"123456789012345.6", 123456789012345.6}};
    for (const auto& row : numbers) {
        EXPECT_EQ(ReadLeadingDecimal(row.text, std::string(row.text).size()), row.value) << row.text;
        std::u16string wide(row.text, row.text + std::string(row.text).size());
        EXPECT_EQ(ReadLeadingDecimal(wide.c_str(), wide.size() + 1), row.value) << row.text;
    }
    EXPECT_EQ(ReadLeadingDecimal("123", 2), 12);  // the length bounds the text
    EXPECT_EQ(ReadLeadingDecimal("1e5", 2), 1);

    KeySession session;  // leading spaces, which a paste drops before reading
    RunScript(session, "hex", "");
    U16Copy(session.calculator.engine.text, kTextCapacity, u" 9");
    ReadText(session.calculator.engine);
    EXPECT_EQ(session.calculator.engine.value, 9);
}

}  // namespace

// A screen reader speaks each action's name: every action has one of its own,
// in words a voice says (Cyrillic letters, spaces and the slot digits only).
TEST(Keys, EveryActionHasASpokenNameOfItsOwn)
{
    std::vector<std::u16string> seen;
    for (int n = 0; n < kActionCount; ++n) {
        const char16_t* name = ActionSpokenName(n);
        ASSERT_NE(name, nullptr) << n;
        const std::u16string text(name);
        EXPECT_FALSE(text.empty()) << n;
        for (char16_t c : text)
            EXPECT_TRUE((c >= u'а' && c <= u'я') || c == u'ё' || c == u' ' || (c >= u'1' && c <= u'6')) << n;
        EXPECT_EQ(std::count(seen.begin(), seen.end(), text), 0) << n;
        seen.push_back(text);
    }
    EXPECT_EQ(ActionSpokenName(kActionCount), nullptr);
    // A key is named by what it does in the layer shown: its digit in none.
    KeySession session;
    const struct { const char* before; int index; std::u16string name; } keys[] = {
        {"", 6, u"7"}, {"left", 0, u"натуральный логарифм"}, {"down", 11, u"гиперболический котангенс"},
    };
    for (const auto& row : keys) {
        RunScript(session, "", row.before);
        const Calculator& c = session.calculator;
        EXPECT_EQ(std::u16string(KeySpokenName(c.keypad, c.engine, session.keyMap, row.index)), row.name) << row.before;
    }
}
