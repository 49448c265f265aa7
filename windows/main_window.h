// The main window of the Windows program: the phone's screen with the display
// line above the keypad image and the soft-key bar below, drawn whole times
// its size.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

#include "core/calculator/calculator.h"
#include "windows/skin_paint.h"
#include "windows/system/text.h"

constexpr wchar_t kMainWindowClass[] = L"DravnikVela";

// Messages the main window posts to itself.
enum : UINT {
    kMsgCycleOpen = WM_APP,       // a letter cycle has started
    kMsgCycleClose = WM_APP + 1,  // the cycle's seventh quiet tick
    kMsgFollowUp = WM_APP + 2,    // after a key: wParam a Command, lParam its index
    kMsgDrawZoomedKeypad = WM_APP + 3,  // after the first paint: the keypad drawn for the zoom
};

enum : int {
    kProgramFolderCapacity = MAX_PATH,
    kTitleCapacity = 40,
    kDisplayFontCount = 16,  // the chosen size and the smaller ones a long number may need
};

struct MainWindowState {
    HWND mainWindow;
    HINSTANCE instance;
    Calculator calculator;   // engine, options, keypad handling, the two lists
    SkinView skinView;       // the skin and the images drawn of it
    bool painted;  // the window has been painted once
    int zoom;                // 1..4: the screen is drawn this many times its size
    bool zoomChosen;         // by the user (menu, resizing, stored), not by the monitor
    HWND tooltip;            // names the action of the label under the mouse
    KeypadSpot hoverSpot;    // the keypad spot the tooltip names
    HFONT displayFonts[kDisplayFontCount];  // the chosen size first, then smaller ones
    int displayFontCount;
    LOGFONTW displayLogFont;
    int baseFontHeight;      // lfHeight of the system font at 96 dots per inch; 0: the font is missing
    wchar_t programFolder[kProgramFolderCapacity];  // ends in "\"
    // What screen readers were last told: the display, the indicator, the layer.
    std::wstring announcedText;
    const char16_t* announcedIndicator;
    int announcedLayer;
    unsigned keyNamesRead;   // bit per key: a reader holds its name since the last layer change
};

// The program's one main window, for the whole run.
extern MainWindowState mainWindowState;

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The message loop's step for one message: the desktop keyboard becomes the
// phone's keypad here, before the window procedure sees a key.
void DispatchProgramMessage(MSG& msg);

// The number as the display draws it (grouped when grouping is on, "&&" as
// "&"), in `buffer`.
const char16_t* DisplayValueText(char16_t* buffer, size_t capacity);

// The window's zoom from now on: the window, its bar and fonts take the new
// size. `chosen`: by the user, so it is kept in the registry.
void SetZoom(HWND window, int zoom, bool chosen);
