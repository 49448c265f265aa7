// The main window's soft-key menus: check marks, the list items that the
// calculator's lists fill, and the core's listener that keeps both up to date.
#include "windows/menus.h"

#include <iterator>

#include "core/lists/record_list.h"
#include "core/settings/options.h"
#include "resources/resource.h"
#include "windows/shell/shell.h"
#include "windows/system/text.h"

namespace {

// Sub-menus of "Функции" that the lists fill, by position.
enum : int { kCurrencySubMenu = 0, kConstantsSubMenu = 1 };

// The popup of button `buttonId` of the window's bar, or null.
HMENU ButtonPopup(HWND window, int buttonId)
{
    HWND bar = SHFindMenuBar(window);
    if (bar == nullptr) return nullptr;
    return reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, static_cast<LPARAM>(buttonId)));
}

void CheckRange(HWND window, int buttonId, int firstId, int lastId, int checkedId)
{
    HMENU popup = ButtonPopup(window, buttonId);
    if (popup == nullptr) return;
    for (int id = firstId; id <= lastId; ++id)
        CheckMenuItem(popup, static_cast<UINT>(id), MF_BYCOMMAND | (id == checkedId ? MF_CHECKED : MF_UNCHECKED));
}

bool SetItemText(HMENU menu, int id, const char16_t* text)
{
    if (GetMenuState(menu, static_cast<UINT>(id), MF_BYCOMMAND) == static_cast<UINT>(-1)) return false;
    return ModifyMenuW(menu, static_cast<UINT>(id), MF_BYCOMMAND | MF_STRING, static_cast<UINT_PTR>(id),
                       AsWide(text)) != FALSE;
}

// The constant slots take their texts. The currency menu has one item per
// quick pair, in slot order, inserted where missing; the items of pairs that
// are no longer there go.
void RebuildListItems(void* context, const RecordList& list)
{
    HWND window = static_cast<HWND>(context);
    const bool currencies = list.kind == &kCurrencyKind;
    HMENU popup = ButtonPopup(window, IDM_FUNCTIONS_BUTTON);
    HMENU menu = popup != nullptr ? GetSubMenu(popup, currencies ? kCurrencySubMenu : kConstantsSubMenu) : nullptr;
    if (menu == nullptr) return;
    MenuTexts menuTexts;
    ListMenuTexts(list, menuTexts);
    if (!currencies) {
        for (int slot = 0; slot < menuTexts.count; ++slot)
            SetItemText(menu, IDM_CONSTANT_SLOT1 + slot, menuTexts.texts[slot]);
        return;
    }
    int shown = 0;
    for (; shown < menuTexts.count; ++shown) {
        const int id = IDM_CURRENCY_QUICK1 + shown;
        const char16_t* label = menuTexts.texts[shown];
        if (!SetItemText(menu, id, label) &&
            !InsertMenuW(menu, static_cast<UINT>(shown), MF_BYPOSITION | MF_STRING, static_cast<UINT_PTR>(id),
                         AsWide(label)))
            break;
    }
    for (int id = IDM_CURRENCY_QUICK1 + shown; id <= IDM_CURRENCY_QUICK6; ++id)
        DeleteMenu(menu, static_cast<UINT>(id), MF_BYCOMMAND);
}

void ShowModes(void* context, const Options& options)
{
    HWND window = static_cast<HWND>(context);
    CheckRange(window, IDM_FUNCTIONS_BUTTON, IDM_REPR_DECIMAL, IDM_REPR_EXPONENT, IDM_REPR_DECIMAL + options.reprMode);
    CheckRange(window, IDM_SETTINGS_BUTTON, IDM_ANGLE_RADIAN, IDM_ANGLE_DEGREE, IDM_ANGLE_RADIAN + options.angleUnit);
    CheckRange(window, IDM_SETTINGS_BUTTON, IDM_GROUP_DIGITS, IDM_GROUP_DIGITS,
               options.groupDigits == 1 ? IDM_GROUP_DIGITS : 0);
}

}  // namespace

CoreListener MenuListener(HWND window) { return {window, ShowModes, RebuildListItems}; }

void ShowZoomChecked(HWND window, int zoom)
{
    CheckRange(window, IDM_SETTINGS_BUTTON, IDM_ZOOM_1, IDM_ZOOM_4, IDM_ZOOM_1 + zoom - 1);
}

std::wstring MenuItemText(HWND window, int id)
{
    for (int button : {IDM_FUNCTIONS_BUTTON, IDM_SETTINGS_BUTTON}) {
        wchar_t text[kFieldTextLimit + 8] = {};
        if (GetMenuStringW(ButtonPopup(window, button), static_cast<UINT>(id), text, static_cast<int>(std::size(text)),
                           MF_BYCOMMAND) > 0)
            return text;
    }
    return std::wstring();
}
