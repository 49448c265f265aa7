// The two places where the calculator engine reaches the window system.
// The engine only declares them: the Windows program implements them on the
// real soft-key menu and main window, the native tools and tests record them.
#pragma once

// Sets or clears the check mark of menu item `itemId` in the popup that the
// soft-key button `buttonId` opens (40016 "Функции", 40001 "Настройки").
void SetMenuCheck(int buttonId, int itemId, bool checked);

// Posts WM_COMMAND `commandId` to the main window (class "DravnikVela"),
// without waiting. Does nothing when no main window exists.
void PostMenuCommand(int commandId);
