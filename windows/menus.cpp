// The core's seam in the Windows program: check marks and the list items of
// the main window's soft-key menus, and key-action commands posted to it.
#include <windows.h>

#include "core/seam.h"
#include "resources/menu_commands.h"
#include "resources/resource.h"
#include "windows/main_window.h"
#include "windows/menus.h"
#include "windows/shell/shell.h"

namespace {

// Sub-menus of "Функции" that the lists fill, by position.
enum : int { kCurrencySubMenu = 0, kConstantsSubMenu = 1 };

// The popup of button `buttonId` of the main window's bar, or null.
HMENU ButtonPopup(int buttonId)
{
    HWND bar = SHFindMenuBar(mainWindowState.mainWindow);
    if (bar == nullptr) return nullptr;
    return reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, static_cast<LPARAM>(buttonId)));
}

void CheckRange(int buttonId, int firstId, int lastId, int checkedId)
{
    HMENU popup = ButtonPopup(buttonId);
    if (popup == nullptr) return;
    for (int id = firstId; id <= lastId; ++id)
        CheckMenuItem(popup, static_cast<UINT>(id), MF_BYCOMMAND | (id == checkedId ? MF_CHECKED : MF_UNCHECKED));
}

HMENU FunctionsSubMenu(int position)
{
    HMENU popup = ButtonPopup(IDM_FUNCTIONS_BUTTON);
    return popup != nullptr ? GetSubMenu(popup, position) : nullptr;
}

bool SetItemText(HMENU menu, int id, const char16_t* text)
{
    if (GetMenuState(menu, static_cast<UINT>(id), MF_BYCOMMAND) == static_cast<UINT>(-1)) return false;
    return ModifyMenuW(menu, static_cast<UINT>(id), MF_BYCOMMAND | MF_STRING, static_cast<UINT_PTR>(id),
                       AsWide(text)) != FALSE;
}

// One item per quick pair, in slot order, inserted where missing; the items
// of pairs that are no longer there go.
void RebuildCurrencyItems(const RecordList& table)
{
    HMENU menu = FunctionsSubMenu(kCurrencySubMenu);
    if (menu == nullptr) return;
    int pairs[kQuickEntryCount][2];
    const int count = QuickPairs(table, pairs);
    int shown = 0;
    for (; shown < count; ++shown) {
        char16_t label[kQuickLabelCapacity];
        QuickLabel(table, pairs[shown], label);
        const int id = IDM_CURRENCY_QUICK1 + shown;
        if (!SetItemText(menu, id, label) &&
            !InsertMenuW(menu, static_cast<UINT>(shown), MF_BYPOSITION | MF_STRING, static_cast<UINT_PTR>(id),
                         AsWide(label)))
            break;
    }
    for (int id = IDM_CURRENCY_QUICK1 + shown; id <= IDM_CURRENCY_QUICK6; ++id)
        DeleteMenu(menu, static_cast<UINT>(id), MF_BYCOMMAND);
}

void RebuildConstantItems(const RecordList& list)
{
    HMENU menu = FunctionsSubMenu(kConstantsSubMenu);
    if (menu == nullptr) return;
    for (int slot = 0; slot < kConstantSlotCount; ++slot) {
        char16_t text[kFieldTextLimit + 1];
        if (!ConstantSlotText(list, slot, text, kFieldTextLimit + 1)) return;
        SetItemText(menu, IDM_CONSTANT_SLOT1 + slot, text);
    }
}

}  // namespace

void ModesChanged()
{
    const Options& options = mainWindowState.calculator.options;
    CheckRange(IDM_FUNCTIONS_BUTTON, IDM_REPR_DECIMAL, IDM_REPR_EXPONENT, IDM_REPR_DECIMAL + options.reprMode);
    CheckRange(IDM_SETTINGS_BUTTON, IDM_ANGLE_RADIAN, IDM_ANGLE_DEGREE, IDM_ANGLE_RADIAN + options.angleUnit);
    CheckRange(IDM_SETTINGS_BUTTON, IDM_GROUP_DIGITS, IDM_GROUP_DIGITS,
               options.groupDigits == 1 ? IDM_GROUP_DIGITS : 0);
}

void ListTextsChanged(const RecordList& list)
{
    if (list.kind == &kCurrencyKind)
        RebuildCurrencyItems(list);
    else
        RebuildConstantItems(list);
}

// Posted to this copy's own window, not to any window of the class: the
// command runs after the key, as if it came from the menu.
void RequestCommand(CommandRequest request)
{
    HWND window = mainWindowState.mainWindow;
    const int id = MenuIdOf(request);
    if (window != nullptr && id != 0) PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

void ShowZoomChecked(int zoom) { CheckRange(IDM_SETTINGS_BUTTON, IDM_ZOOM_1, IDM_ZOOM_4, IDM_ZOOM_1 + zoom - 1); }

std::wstring MenuItemText(int id)
{
    for (int button : {IDM_FUNCTIONS_BUTTON, IDM_SETTINGS_BUTTON}) {
        wchar_t text[kFieldTextLimit + 8] = {};
        if (GetMenuStringW(ButtonPopup(button), static_cast<UINT>(id), text, static_cast<int>(std::size(text)),
                           MF_BYCOMMAND) > 0)
            return text;
    }
    return std::wstring();
}
