// What a menu command or a key action asks of the calculator, in the core's
// own words. The Windows program maps its menu ids onto these, the key-script
// runner its "cmd:N" words; both then hand them to RunCommand
// (core/calculator/calculator.h), which runs what the core can run alone and leaves the
// rest (dialogs, clipboard, exit) to the program.
#pragma once

#include <cstdint>

enum class Command : uint8_t {
    None,
    // Run by the core.
    GroupDigits,       // toggle digit grouping
    AngleUnit,         // index: kAngleRadian..kAngleDegree
    Representation,    // index: kReprDecimal..kReprExponent
    PutPi,
    PutE,
    QuickConversion,   // index: quick entry 0..5 of the currency menu
    ConstantSlot,      // index: constant slot 0..5 of the constants menu
    // Run by the program: they need a dialog, the clipboard or the window.
    CurrencyChoice,
    Currencies,
    ConstantChoice,
    Constants,
    ConstantFiles,
    ConstantFilesPick,
    Copy,
    Paste,
    Font,
    Precision,
    Skin,
    About,
    Exit,
    Zoom,              // index: zoom 1..4 less one
};

struct CommandRequest {
    Command command;
    int index;  // for the commands that name one of several; else 0
};

constexpr bool operator==(const CommandRequest& a, const CommandRequest& b)
{
    return a.command == b.command && a.index == b.index;
}
