// The main window of the Windows program: the phone's screen with the display
// line above the keypad image and the soft-key bar below.
#pragma once

#include <windows.h>

#include <cstddef>

#include "core/calculator.h"
#include "core/skin/skin.h"
#include "windows/text.h"

constexpr wchar_t kMainWindowClass[] = L"DravnikVela";

// Messages the main window posts to itself.
enum : UINT {
    kMsgCycleOpen = WM_APP,       // a letter cycle has started
    kMsgCycleClose = WM_APP + 1,  // the cycle's seventh quiet tick
    kMsgPasteText = WM_APP + 2,   // the hidden edit's text becomes the number
};

enum : int {
    kProgramFolderCapacity = MAX_PATH,
    kTitleCapacity = 40,
    kEditTextCapacity = kTypingLimit + 1,  // paste keeps 40 units and the NUL
};

struct MainWindowState {
    HWND mainWindow;
    HINSTANCE instance;
    Calculator calculator;   // engine, options, keypad handling, the two lists
    SkinState skin;
    HBITMAP builtinImages[kSkinLayerCount];  // the built-in skin's, loaded once
    HWND editControl;        // hidden; carries copy and paste
    HFONT displayFont;
    LOGFONTW displayLogFont;
    int baseFontHeight;      // lfHeight of the system font; 0: the font is missing
    wchar_t programFolder[kProgramFolderCapacity];  // ends in "\"
};

// The program's one main window, for the whole run.
extern MainWindowState mainWindowState;

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The message loop's step for one message: the desktop keyboard becomes the
// phone's keypad here, before the window procedure sees a key.
void DispatchProgramMessage(MSG& msg);

// The value text as the display draws it (grouped when grouping is on).
// Returns `buffer` or the engine's own text.
const char16_t* DisplayValueText(char16_t* buffer, size_t capacity);
