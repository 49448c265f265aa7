// The calculator as a whole: the engine on its options, the keypad handling
// and the two lists, and the one command router that the Windows program and
// the key-script runner both send their menu commands through.
#pragma once

#include "core/commands.h"
#include "core/engine/engine.h"
#include "core/keypad/keypad.h"
#include "core/lists/record_list.h"
#include "core/seam.h"
#include "core/settings/options.h"

struct Calculator {
    CoreListener listener;  // the engine and both lists tell it of changes
    Options options;        // the engine's four settings live here
    EngineState engine;     // points into `options`
    KeypadState keypad;
    RecordList constants;
    RecordList currencies;

    Calculator() = default;
    Calculator(const Calculator&) = delete;  // the engine points into `options` and `listener`
    Calculator& operator=(const Calculator&) = delete;
};

// Start-up state on `options`: the engine reset and its formats built, no key
// layer, both lists empty (loading them is the program's, from its folder).
// The engine and the lists tell `listener` of their changes; the program may
// change calculator.listener later (once its window exists, say).
void StartCalculator(Calculator& calculator, const Options& options, const CoreListener& listener = {});

// Releases both lists.
void EndCalculator(Calculator& calculator);

struct CommandOutcome {
    int handled;        // 0: not one of the core's; the program runs it
    Repaint repaint;
};

// Runs a command that acts on the calculator alone: digit grouping, angle
// unit, representation, pi and e, a quick conversion, a constant slot. The
// rest (dialogs, clipboard, exit) come back unhandled.
CommandOutcome RunCommand(Calculator& calculator, CommandRequest request);
