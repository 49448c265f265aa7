// The main window of the Windows program: the phone's screen with the display
// line above the keypad image and the soft-key bar below.
#pragma once

#include <windows.h>

#include <cstddef>

#include "constants/constant_list.h"
#include "currency/currency_table.h"
#include "engine/engine.h"
#include "settings/options.h"
#include "skin/skin.h"
#include "ui/keypad.h"

constexpr wchar_t kMainWindowClass[] = L"DravnikVela";

enum : int {
    kProgramFolderCapacity = MAX_PATH,  // 260 code units
    kTitleCapacity = 20,
    kEditTextCapacity = kTypingLimit + 1,  // paste keeps 40 units and the NUL
};

struct MainWindowState {
    HWND mainWindow;         // stored again at every message
    HINSTANCE instance;
    KeypadState keypad;      // keyLayer and the hexadecimal letter cycle
    int displayBottom;       // top row of the keypad image; set by every paint
    HWND editControl;        // hidden; carries copy and paste
    HFONT displayFont;       // exists only while baseFontHeight is not 0
    int baseFontHeight;      // lfHeight of the system font; 0 until read
    LOGFONTW displayLogFont;
    wchar_t programFolder[kProgramFolderCapacity];  // ends in "\"
};

// The program's records, one each for the whole run.
extern MainWindowState mainWindowState;
extern EngineState programEngine;
extern Options programOptions;
extern SkinState programSkin;
extern ConstantList programConstants;
extern CurrencyTable programCurrencies;

// Always empty; clears edit controls.
extern const wchar_t emptyText[];

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The message loop's step for one message: the desktop keyboard becomes the
// phone's keypad here, before the window procedure sees a key.
void DispatchProgramMessage(MSG& msg);

// The display font from displayLogFont, baseFontHeight and the options.
void CreateDisplayFont();

// The value text as the display draws it (grouped when grouping is on).
// Returns `buffer` or the engine's own text.
const char16_t* DisplayValueText(char16_t* buffer, size_t capacity);

// The three repaint regions of the keypad handling.
void RequestRepaint(HWND window, Repaint region);

// Converts between the engine's UTF-16 and the window system's wide text;
// both are 16-bit on Windows.
inline wchar_t* AsWide(char16_t* text) { return reinterpret_cast<wchar_t*>(text); }
inline const wchar_t* AsWide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wide text");
