// The main window's menu commands that recall a constant slot (40042..40047)
// or convert by a quick-conversion entry (40022..40027), free of the window
// system: the Windows window procedure and the native runner both call this.
#pragma once

#include "constants/constant_list.h"
#include "currency/currency_table.h"
#include "engine/engine.h"
#include "ui/keypad.h"

// Ends the entry and drops the key layer, runs the command and writes the
// display text: two decimals after a conversion, the engine's format after a
// recall. handled 0 for any other command.
CommandOutcome RunListCommand(KeypadState& keypad, EngineState& engine, ConstantList& constants,
                              CurrencyTable& currencies, int commandId);
