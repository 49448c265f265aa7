// The two places where the calculator engine reaches the window system,
// and the menu edits of the constant list and the currency table.
// The core only declares them: the Windows program implements them on the
// real soft-key menu and main window, the native tools and tests record them.
#pragma once

#include <cstdint>

// Sets or clears the check mark of menu item `itemId` in the popup that the
// soft-key button `buttonId` opens (40016 "Функции", 40001 "Настройки").
void SetMenuCheck(int buttonId, int itemId, bool checked);

// Posts WM_COMMAND `commandId` to the main window (class "DravnikVela"),
// without waiting. Does nothing when no main window exists.
void PostMenuCommand(int commandId);

// The menus of `window`'s soft-key bar, by an opaque window handle (the
// Windows program passes its HWND). Each addresses the popup that button
// `buttonId` opens, taken at its sub-menu at position `subMenu`, or the popup
// itself when it has no sub-menu there. A window without a bar, or whose bar
// has no such button, has no such menu (a dialog's bar has no 40016).

// Sets the text of item `itemId`. False when there is no such menu or item.
bool SetSoftKeyMenuText(uintptr_t window, int buttonId, int subMenu, int itemId, const char16_t* text);

// Inserts a string item `itemId` before position `position`. False when there
// is no such menu or the insertion failed.
bool InsertSoftKeyMenuItem(uintptr_t window, int buttonId, int subMenu, int position, int itemId,
                           const char16_t* text);

// Deletes item `itemId`; no such menu or item is no error.
void DeleteSoftKeyMenuItem(uintptr_t window, int buttonId, int subMenu, int itemId);
