#include "ui/list_commands.h"

#include "resources/resource.h"

namespace {

void ResetEntry(KeypadState& keypad, EngineState& engine)
{
    engine.entryState = kEntryNone;
    keypad.keyLayer = kLayerNone;
}

struct ListCommand {
    int first;
    int last;
    void (*run)(EngineState&, ConstantList&, CurrencyTable&, int id);
};

void QuickConversion(EngineState& engine, ConstantList&, CurrencyTable& currencies, int id)
{
    ConvertQuick(currencies, engine, id - IDM_CURRENCY_QUICK1);
    ShowConvertedValue(engine);
}

void ConstantSlot(EngineState& engine, ConstantList& constants, CurrencyTable&, int id)
{
    RecallConstantSlot(constants, engine, id - IDM_CONSTANT_SLOT1);
    FormatValue(engine, engine.value);
}

const ListCommand kListCommands[] = {
    {IDM_CURRENCY_QUICK1, IDM_CURRENCY_QUICK6, QuickConversion},
    {IDM_CONSTANT_SLOT1, IDM_CONSTANT_SLOT6, ConstantSlot},
};

}  // namespace

CommandOutcome RunListCommand(KeypadState& keypad, EngineState& engine, ConstantList& constants,
                              CurrencyTable& currencies, int commandId)
{
    for (const ListCommand& command : kListCommands) {
        if (commandId < command.first || commandId > command.last) continue;
        ResetEntry(keypad, engine);
        command.run(engine, constants, currencies, commandId);
        return {1, kRepaintWhole};
    }
    return {0, kRepaintNone};
}
