// The engine's window-system seam on the real program: check marks and menu
// texts on the soft-key bar, and commands posted to the main window.
#include <windows.h>

#include "engine/platform_seam.h"
#include "shell/shell.h"
#include "ui/main_window.h"

namespace {

// The popup of button `buttonId` of `window`'s bar, or null when the window
// has no such bar or button (a dialog's bar has no "Функции").
HMENU ButtonPopup(HWND window, int buttonId)
{
    HWND bar = SHFindMenuBar(window);
    if (bar == nullptr) return nullptr;
    return reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, static_cast<LPARAM>(buttonId)));
}

// That popup's sub-menu at `subMenu`, or the popup itself when it has none there.
HMENU SoftKeyMenu(uintptr_t window, int buttonId, int subMenu)
{
    HMENU popup = ButtonPopup(reinterpret_cast<HWND>(window), buttonId);
    if (popup == nullptr) return nullptr;
    HMENU sub = GetSubMenu(popup, subMenu);
    return sub != nullptr ? sub : popup;
}

}  // namespace

void SetMenuCheck(int buttonId, int itemId, bool checked)
{
    HMENU popup = ButtonPopup(mainWindowState.mainWindow, buttonId);
    if (popup != nullptr)
        CheckMenuItem(popup, static_cast<UINT>(itemId), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void PostMenuCommand(int commandId)
{
    HWND window = FindWindowW(kMainWindowClass, nullptr);
    if (window != nullptr) PostMessageW(window, WM_COMMAND, MAKEWPARAM(commandId, 0), 0);
}

bool SetSoftKeyMenuText(uintptr_t window, int buttonId, int subMenu, int itemId, const char16_t* text)
{
    HMENU menu = SoftKeyMenu(window, buttonId, subMenu);
    if (menu == nullptr || GetMenuState(menu, static_cast<UINT>(itemId), MF_BYCOMMAND) == static_cast<UINT>(-1))
        return false;
    return ModifyMenuW(menu, static_cast<UINT>(itemId), MF_BYCOMMAND | MF_STRING, static_cast<UINT_PTR>(itemId),
                       AsWide(text)) != FALSE;
}

bool InsertSoftKeyMenuItem(uintptr_t window, int buttonId, int subMenu, int position, int itemId,
                           const char16_t* text)
{
    HMENU menu = SoftKeyMenu(window, buttonId, subMenu);
    if (menu == nullptr) return false;
    return InsertMenuW(menu, static_cast<UINT>(position), MF_BYPOSITION | MF_STRING,
                       static_cast<UINT_PTR>(itemId), AsWide(text)) != FALSE;
}

void DeleteSoftKeyMenuItem(uintptr_t window, int buttonId, int subMenu, int itemId)
{
    HMENU menu = SoftKeyMenu(window, buttonId, subMenu);
    if (menu != nullptr) DeleteMenu(menu, static_cast<UINT>(itemId), MF_BYCOMMAND);
}
