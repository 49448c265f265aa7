// The menu's command ids and the calculator commands they stand for. The
// Windows program maps WM_COMMAND through this table, and a key action's
// request back to the menu item whose text names it; the key-script runner
// maps "cmd:N".
#pragma once

#include "core/commands.h"
#include "resources/resource.h"

struct MenuCommand {
    int firstId;
    int lastId;        // ids firstId..lastId are indices 0.. of `command`
    Command command;
};

inline constexpr MenuCommand kMenuCommands[] = {
    {IDM_EXIT, IDM_EXIT, Command::Exit},
    {IDM_ABOUT, IDM_ABOUT, Command::About},
    {IDM_FONT, IDM_FONT, Command::Font},
    {IDM_PRECISION, IDM_PRECISION, Command::Precision},
    {IDM_SKIN, IDM_SKIN, Command::Skin},
    {IDM_GROUP_DIGITS, IDM_GROUP_DIGITS, Command::GroupDigits},
    {IDM_ANGLE_RADIAN, IDM_ANGLE_DEGREE, Command::AngleUnit},
    {IDM_REPR_DECIMAL, IDM_REPR_EXPONENT, Command::Representation},
    {IDM_CURRENCY_QUICK1, IDM_CURRENCY_QUICK6, Command::QuickConversion},
    {IDM_CURRENCY_CHOICE, IDM_CURRENCY_CHOICE, Command::CurrencyChoice},
    {IDM_CURRENCIES, IDM_CURRENCIES, Command::Currencies},
    {IDM_CONSTANT_PI, IDM_CONSTANT_PI, Command::PutPi},
    {IDM_CONSTANT_E, IDM_CONSTANT_E, Command::PutE},
    {IDM_CONSTANT_SLOT1, IDM_CONSTANT_SLOT6, Command::ConstantSlot},
    {IDM_CONSTANT_CHOICE, IDM_CONSTANT_CHOICE, Command::ConstantChoice},
    {IDM_CONSTANTS, IDM_CONSTANTS, Command::Constants},
    {IDM_PASTE, IDM_PASTE, Command::Paste},
    {IDM_CONSTANT_FILES, IDM_CONSTANT_FILES, Command::ConstantFiles},
    {IDM_CONSTANT_FILES_PICK, IDM_CONSTANT_FILES_PICK, Command::ConstantFilesPick},
    {IDM_COPY, IDM_COPY, Command::Copy},
    {IDM_ZOOM_1, IDM_ZOOM_4, Command::Zoom},
};

// The command of a menu id; Command::None for an id of no command.
constexpr CommandRequest CommandOfMenuId(int id)
{
    for (const MenuCommand& entry : kMenuCommands)
        if (id >= entry.firstId && id <= entry.lastId) return {entry.command, id - entry.firstId};
    return {Command::None, 0};
}

// The menu id of a command; 0 when the menu has none.
constexpr int MenuIdOf(CommandRequest request)
{
    for (const MenuCommand& entry : kMenuCommands)
        if (entry.command == request.command && request.index >= 0 &&
            request.index <= entry.lastId - entry.firstId)
            return entry.firstId + request.index;
    return 0;
}
