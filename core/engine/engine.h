// The calculator engine: one state record and the plain functions on it.
//
// The engine has no window. It is driven by characters, operator presses,
// evaluation and key actions, and it talks out only through core/seam.h: a
// changed representation or angle unit. The commands that key actions 59 to
// 74 ask for come back to the keypad handling as values (ActionRequest).
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/commands.h"
#include "core/seam.h"
#include "core/settings/options.h"

enum : int {
    kTextCapacity = 42,  // code units of `text`, NUL included
    kTypingLimit = 40,   // typing stops at this many code units
    kActionCount = 75,   // key actions 0..74
};

enum EntryState : int {
    kEntryNone = 0,      // the next typed character starts a new number
    kEntryMantissa = 1,
    kEntryExponent = 2,  // after "e"
};

constexpr char16_t kRootSymbol = u'\u221A';
// The twelve operator symbols; "&" is stored in the text as "&&".
constexpr char16_t kOperatorSymbols[] = u"+-/*^|&xm<>\u221A";

constexpr double kPi = 3.141592653589793;
constexpr double kE = 2.718281828459045;

struct EngineState {
    double value;        // the shown number, second operand, argument of unary actions
    double operand;      // first operand of the pending binary operation
    double memory;
    int opPending;       // 1 from an operator press until it is evaluated
    int op;              // last operator symbol pressed (one code unit); 0 = none
    int entryState;      // EntryState
    char16_t text[kTextCapacity];  // entry and display text, NUL-terminated
    char fixedFormat[8];           // "%.6f" for precision 6
    char expFormat[8];             // "%.6e"
    // reprMode, angleUnit, precision and groupDigits live in the settings
    // record, so that they are saved without copying.
    Options* options;
    const CoreListener* listener;  // told of changed modes; null: nobody
};

// Resets the record to its start-up state ("0", no operation) on `options`
// and builds the formats, with no listener. The options must outlive the
// engine.
void InitEngine(EngineState& engine, Options& options);

// --- Number entry ---------------------------------------------------------
void ReadText(EngineState& engine);
// Types `ch` (8: backspace); false when the text did not take it.
bool TypeChar(EngineState& engine, char16_t ch);
void ReplaceLastChar(EngineState& engine, char16_t ch);
void ChangeSign(EngineState& engine);               // key action 12
bool IsOperatorSymbol(char16_t ch);
// A paste: at most kTypingLimit units of `text` (`length` units, or fewer up
// to a NUL) become the text and are read in the current representation and
// formatted. Spaces between digits are dropped first, a lone "," with no "."
// is the decimal point, and a leading U+2212 the minus sign. Returns at once
// however long the text is.
void PasteText(EngineState& engine, const char16_t* text, size_t length);

// --- Binary operators -----------------------------------------------------
void PressOperator(EngineState& engine, char16_t symbol);
int Evaluate(EngineState& engine);                   // 1 if an operation ran
double ApplyOperator(char16_t symbol, double a, double b);

// --- Formatting -----------------------------------------------------------
void BuildFormats(EngineState& engine);
void FormatValue(EngineState& engine, double x);
void SetReprMode(EngineState& engine, int mode);
void SetAngleUnit(EngineState& engine, int unit);
// The indicator drawn left of the number: "H", "B", or "rd"/"gr"/"dg".
const char16_t* DisplayIndicator(const EngineState& engine);
// The indicator in words, as a screen reader speaks it ("радианы").
const char16_t* DisplayIndicatorWords(const EngineState& engine);
// The text with digit-group spaces, for drawing only. Writes at most
// `capacity` units including the NUL; returns the length written.
enum : int { kGroupedCapacity = 64 };  // enough for any text with its spaces
size_t GroupedText(const EngineState& engine, char16_t* out, size_t capacity);
// The number as the display draws it: grouped when grouping is on, "&&" as
// one "&". Same bounds as GroupedText.
size_t DrawnText(const EngineState& engine, char16_t* out, size_t capacity);

// --- Key actions ----------------------------------------------------------
// Runs action n (0..74); 1 when `value` changed and must be formatted.
// Actions 59 to 74 change nothing here: their command (ActionRequest) runs
// after the key.
int RunKeyAction(EngineState& engine, int n);
// The short name of action n as a keypad label prints it ("sin", "M+", "x²"),
// or null outside 0..74.
const char16_t* ActionLabel(int n);
// The words a screen reader speaks for action n ("синус", "сменить знак"),
// or null outside 0..74.
const char16_t* ActionSpokenName(int n);
// The command that action n asks for (actions 59 to 74), else Command::None.
CommandRequest ActionRequest(int n);
double ReduceAngle(const EngineState& engine, double x);
// The angle unit in use: a stored unit out of range counts as radians.
int AngleUnitOf(const EngineState& engine);
double AngleFromRadians(const EngineState& engine, double r);
double ClampTangent(double t);

// Double to 32-bit integer, defined for every double: truncation toward zero,
// then wrapping modulo 2^32; not-a-number and infinities give 0.
int32_t ToInt32(double x);
