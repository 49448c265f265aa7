#include "core/calculator/calculator.h"

namespace {

using CommandRun = CommandOutcome (*)(Calculator&, int index);

CommandOutcome ToggleGrouping(Calculator& calculator, int)
{
    int& group = calculator.options.groupDigits;
    group = group == 0 ? 1 : 0;
    TellModesChanged(&calculator.listener, calculator.options);
    return {1, kRepaintDisplay};
}

CommandOutcome ChooseAngleUnit(Calculator& calculator, int unit)
{
    if (unit < kAngleRadian || unit > kAngleDegree) return {0, kRepaintNone};
    if (unit == calculator.options.angleUnit) return {1, kRepaintNone};
    SetAngleUnit(calculator.engine, unit);
    return {1, kRepaintDisplay};
}

CommandOutcome ChooseRepresentation(Calculator& calculator, int mode)
{
    if (mode < kReprDecimal || mode > kReprExponent) return {0, kRepaintNone};
    if (mode == calculator.options.reprMode) return {1, kRepaintNone};
    EngineState& engine = calculator.engine;
    SetReprMode(engine, mode);
    FormatValue(engine, engine.value);
    EndEntry(calculator.keypad, engine);
    return {1, kRepaintDisplay};
}

// A value put in from outside ends the entry; a pending operation stays
// pending and takes it as its second operand.
CommandOutcome PutValue(Calculator& calculator, double value)
{
    EngineState& engine = calculator.engine;
    engine.value = value;
    FormatValue(engine, engine.value);
    EndEntry(calculator.keypad, engine);
    return {1, kRepaintWhole};
}

CommandOutcome PutPi(Calculator& calculator, int) { return PutValue(calculator, kPi); }
CommandOutcome PutE(Calculator& calculator, int) { return PutValue(calculator, kE); }

CommandOutcome RecallSlot(Calculator& calculator, int slot)
{
    EndEntry(calculator.keypad, calculator.engine);
    RecallConstantSlot(calculator.constants, calculator.engine, slot);
    FormatValue(calculator.engine, calculator.engine.value);
    return {1, kRepaintWhole};
}

CommandOutcome ConvertByQuickEntry(Calculator& calculator, int entry)
{
    EndEntry(calculator.keypad, calculator.engine);
    ConvertQuick(calculator.currencies, calculator.engine, entry);
    ShowConvertedValue(calculator.engine);
    return {1, kRepaintWhole};
}

struct CoreCommand {
    Command command;
    CommandRun run;
};

const CoreCommand kCoreCommands[] = {
    {Command::GroupDigits, ToggleGrouping},
    {Command::AngleUnit, ChooseAngleUnit},
    {Command::Representation, ChooseRepresentation},
    {Command::PutPi, PutPi},
    {Command::PutE, PutE},
    {Command::ConstantSlot, RecallSlot},
    {Command::QuickConversion, ConvertByQuickEntry},
};

}  // namespace

void StartCalculator(Calculator& calculator, const Options& options, const CoreListener& listener)
{
    calculator.listener = listener;
    calculator.options = options;
    InitEngine(calculator.engine, calculator.options);
    calculator.engine.listener = &calculator.listener;
    InitKeypad(calculator.keypad);
    ReleaseList(calculator.constants);
    ReleaseList(calculator.currencies);
    InitList(calculator.constants, kConstantsKind);
    InitList(calculator.currencies, kCurrencyKind);
    calculator.constants.listener = &calculator.listener;
    calculator.currencies.listener = &calculator.listener;
}

void EndCalculator(Calculator& calculator)
{
    ReleaseList(calculator.constants);
    ReleaseList(calculator.currencies);
}

CommandOutcome RunCommand(Calculator& calculator, CommandRequest request)
{
    // Whatever the command does, the next hash starts a new letter.
    if (request.command != Command::None) calculator.keypad.hexCycleClosed = 1;
    for (const CoreCommand& entry : kCoreCommands)
        if (entry.command == request.command) return entry.run(calculator, request.index);
    return {0, kRepaintNone};
}
