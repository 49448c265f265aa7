// Number entry: typing, the keypad's typing rules, backspace, the 40-unit
// limit and reading the text back in each representation.
#include <cmath>
#include <string>

#include "tests/script_support.h"

namespace {

TEST(Entry, TypingBuildsTheNumber)
{
    const ScriptCase cases[] = {
        {"1 2 3", "rd 123"},
        {"0 0 7", "rd 007"},           // leading zeros stay as typed
        {"1 # # 5", "rd 1e5"},         // a second "e" is refused
        {"# 5", "rd 5"},               // "e" cannot start a number
        {"*", "rd 0."},                // a point never starts bare
        {"* * 5 *", "rd 0.5"},         // and never comes twice
        {"1 * 5 # 3", "rd 1.5e3"},
        {"1 2 ok 3", "rd 123"},        // nothing to evaluate: the entry stays open
    };
    ExpectDisplays(cases);
}

TEST(Entry, ValueFollowsTheText)
{
    KeySession session;
    RunOn(session, "1 # # 5");
    EXPECT_EQ(session.engine.value, 100000);
    EXPECT_EQ(session.engine.entryState, kEntryExponent);

    RunOn(session, "5 #");
    EXPECT_EQ(session.engine.value, 5);  // an exponent without digits does not count

    RunOn(session, "1 * 2 5 # 2");
    EXPECT_EQ(session.engine.value, 125);
}

TEST(Entry, ShownResultIsReplacedByANewNumber)
{
    const ScriptCase cases[] = {
        {"2 right 1 3 ok 4", "rd 4"},
        {"2 right 1 3 ok *", "rd 0."},  // star on a shown result
        {"2 right 1 3 ok # 4", "rd 4"}, // "e" on a result is refused, then 4 starts anew
    };
    ExpectDisplays(cases);
}

TEST(Backspace, EditsTheText)
{
    const ScriptCase cases[] = {
        {"1 2 3 back", "rd 12"},
        {"7 back", "rd 0"},
        {"0 back", "rd 0"},
        {"back back", "rd 0"},
        {"1 * back", "rd 1"},
        {"1 # back 2", "rd 12"},        // over the "e": typing the mantissa again
        {"1 # 5 back 7", "rd 1e7"},     // within the exponent
        {"1 2 3 right 1 back", "rd 123"},  // over the operator: the operation is dropped
        {"1 right 7 0 ok back", "rd 0"},   // on "ERROR"
        {"1 up 4 back", "rd -"},        // "-1" has two units: back leaves "-", read as 0
        {"1 up 4 back back", "rd 0"},
    };
    ExpectDisplays(cases);
}

TEST(Backspace, ReopensAShownResult)
{
    KeySession session;
    RunOn(session, "1 0 0 right 1 2 3 ok");  // 123
    ASSERT_EQ(session.engine.entryState, kEntryNone);
    RunKeyScript(session, "back");
    EXPECT_EQ(DisplayLine(session), "rd 12");
    EXPECT_EQ(session.engine.entryState, kEntryMantissa);
    RunKeyScript(session, "4");
    EXPECT_EQ(DisplayLine(session), "rd 124");
}

TEST(Backspace, OverAnOperatorDropsThePendingOperation)
{
    KeySession session;
    RunOn(session, "5 right 1 back");
    EXPECT_EQ(session.engine.opPending, 0);
    EXPECT_EQ(session.engine.op, 0);
    EXPECT_EQ(session.engine.entryState, kEntryNone);
    RunKeyScript(session, "3 ok");
    EXPECT_EQ(DisplayLine(session), "rd 3");
}

TEST(Backspace, RemovesTheAndPairWhole)
{
    KeySession session;
    RunOn(session, "5 act:50");
    EXPECT_EQ(TextOf(session), "5&&");
    RunKeyScript(session, "back");
    EXPECT_EQ(TextOf(session), "5");
    EXPECT_EQ(session.engine.opPending, 0);
}

TEST(Backspace, OnANonFiniteValueResets)
{
    KeySession session;
    RunOn(session, "1 # 4 0 0");  // 1e400 reads as infinity
    ASSERT_TRUE(std::isinf(session.engine.value));
    RunKeyScript(session, "back");
    EXPECT_EQ(TextOf(session), "0");
    EXPECT_EQ(session.engine.value, 0);
}

TEST(Entry, FortyUnitLimit)
{
    std::string forty;
    for (int i = 0; i < 40; ++i) forty += (i % 9 + 1) + '0', forty += ' ';
    std::string text = TextAfter(forty + "5 5 * #");
    EXPECT_EQ(text.size(), 40u);
    EXPECT_EQ(text.back(), '4');  // the 41st digit, the point and "e" are refused

    // Thirty-nine units then "&": the pair makes 41, the longest text there is.
    std::string thirtyNine;
    for (int i = 0; i < 39; ++i) thirtyNine += "1 ";
    KeySession session;
    RunOn(session, thirtyNine + "act:50");
    EXPECT_EQ(U16Len(session.engine.text), 41u);
    EXPECT_EQ(session.engine.op, u'&');

    // At 40 units the operator is recorded but not shown.
    RunOn(session, forty + "right 1");
    EXPECT_EQ(U16Len(session.engine.text), 40u);
    EXPECT_EQ(session.engine.opPending, 1);
    EXPECT_EQ(session.engine.op, u'+');
}

TEST(Entry, KeypadRulesPerRepresentation)
{
    ExpectDisplays({{"1 2 9 0", "B 10"}, {"5 * # 1", "B 1"}, {"1 1 1", "B 111"}},
                   {.reprMode = kReprBinary});
    ExpectDisplays({{"9 *", "H 9"}, {"1 # 2", "H 1A2"}}, {.reprMode = kReprHex});
    ExpectDisplays({{"1 * 5 # 2", "rd 1.5e2"}}, {.reprMode = kReprExponent});
}

struct ReadCase {
    int reprMode;
    const char16_t* text;
    double value;
};

TEST(ReadText, EachRepresentation)
{
    const ReadCase cases[] = {
        {kReprDecimal, u"12+", 12},
        {kReprDecimal, u"5e", 5},
        {kReprDecimal, u"5e+", 5},
        {kReprDecimal, u"-2.5e-1x", -0.25},
        {kReprDecimal, u"1E3", 1000},
        {kReprDecimal, u"ERROR", 0},
        {kReprDecimal, u"", 0},
        {kReprDecimal, u".", 0},
        {kReprDecimal, u"-", 0},
        {kReprDecimal, u"12abc", 12},
        {kReprDecimal, u"inf", 0},      // only digits make a number
        {kReprDecimal, u"nan", 0},
        {kReprDecimal, u"0x10", 0},
        {kReprDecimal, u" 7", 7},
        {kReprExponent, u"1.000000e+02", 100},
        {kReprHex, u"FF", 255},
        {kReprHex, u"ff+", 255},
        {kReprHex, u"FFFFFFFF", 4294967295.0},  // unsigned, not -1
        {kReprHex, u"1FFFFFFFF", 4294967295.0}, // only the last 32 bits count
        {kReprHex, u"G1", 0},
        {kReprHex, u"", 0},
        {kReprBinary, u"101", 5},
        {kReprBinary, u"101+", 5},              // the operator symbol is not a bit
        {kReprBinary, u"11111111111111111111111111111111", 4294967295.0},
        {kReprBinary, u"111111111111111111111111111111110", 4294967294.0},
        {kReprBinary, u"2", 0},
    };
    BareEngine bare;
    Options& options = bare.options;
    EngineState& engine = bare.engine;
    for (const ReadCase& c : cases) {
        options.reprMode = c.reprMode;
        U16Copy(engine.text, kTextCapacity, c.text);
        engine.value = -12345;
        ReadText(engine);
        std::string text;
        AppendUtf8(text, c.text);
        EXPECT_EQ(engine.value, c.value) << "mode " << c.reprMode << " text \"" << text << '"';
    }
}

TEST(SignChange, ToggledInTheExponent)
{
    const ScriptCase cases[] = {
        {"1 # 5 up 4", "rd 1e-5"},
        {"1 # 5 up 4 up 4", "rd 1e+5"},
        {"1 # up 4", "rd 1e-"},
        {"1 # up 4 5", "rd 1e-5"},
        {"1 2 up 4", "rd -12"},
        {"1 2 up 4 3", "rd -123"},       // the entry stays open after the sign
        {"1 2 up 4 up 4", "rd 12"},
    };
    ExpectDisplays(cases);

    KeySession session;
    RunOn(session, "1 # 5 up 4");
    EXPECT_DOUBLE_EQ(session.engine.value, 1e-5);
    EXPECT_EQ(session.engine.entryState, kEntryExponent);
    RunKeyScript(session, "up 4");
    EXPECT_EQ(session.engine.value, 1e5);
}

TEST(SignChange, InsertsTheSignAtTheTypingLimit)
{
    // 37 digits, "e", two exponent digits: 40 units. The sign would make 41.
    std::string keys;
    for (int i = 0; i < 37; ++i) keys += "1 ";
    std::string text = TextAfter(keys + "# 1 2 up 4");
    EXPECT_EQ(text.size(), 40u);
    EXPECT_EQ(text.substr(text.size() - 3), "e12");

    // One digit fewer: the sign goes in before the digits.
    keys.erase(0, 2);
    text = TextAfter(keys + "# 1 2 up 4");
    EXPECT_EQ(text.substr(text.size() - 4), "e-12");
}

}  // namespace
