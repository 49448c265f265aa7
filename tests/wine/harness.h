// Drives the real main window in this process: the same window procedure,
// resources and message dispatch as vela.exe, with message boxes answered and
// recorded instead of shown.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "settings/options.h"

struct RecordedBox {
    std::wstring text;
    std::wstring caption;
    UINT style;
};

// Every message box since the program was last started.
extern std::vector<RecordedBox> recordedBoxes;

// --- Registry ----------------------------------------------------------------
void DeleteStoredOptions();  // both keys, HKCU and HKLM
void StoreOptionsBytes(HKEY root, const void* bytes, DWORD size, DWORD type = REG_BINARY);
void StoreOptions(HKEY root, const Options& options);
// The stored value under `root`: false when there is none; `size` its length.
bool ReadStoredOptions(HKEY root, Options& options, DWORD* size = nullptr);

// --- The program ---------------------------------------------------------------
// Starts the program as vela.exe would (options from the registry, window,
// skin); null when it ended before the message loop.
HWND StartVela();
// Ends it: destroys the window if it still exists, runs the loop until the
// quit message and shuts down, saving the options only when `save`.
void EndVela(bool save);

// Handles posted and sent messages for `ms` milliseconds (at least one pass).
void Pump(DWORD ms = 0);
// True when WM_QUIT arrived within `ms`.
bool PumpUntilQuit(DWORD ms);

// Keys as the keyboard delivers them: posted key-down and key-up through
// the program's own message dispatch.
void PressKey(WPARAM key);
void KeyDown(WPARAM key);
void KeyUp(WPARAM key);
void TypeCharacter(wchar_t ch);  // a WM_CHAR, as TranslateMessage makes it
// A menu command as the soft-key menu sends it.
void Command(int id);
// Runs "2 Right 1 3 action"-like scripts: digits, "*", "#", and the words
// left up right down talk action back.
void Keys(const char* script);

// --- Reading the window back ------------------------------------------------------
// What the display line shows: indicator, a space, the value text as drawn.
std::wstring DisplayText();
std::wstring WindowTitle();
bool MenuChecked(int buttonId, int itemId);
std::wstring MenuText(int buttonId, int itemId);
HMENU ButtonPopup(int buttonId);

// Writes a 24-bit BMP of the window (frame, title, client area) and its
// soft-key bar as the X display shows them, into the folder named by
// VELA_SHOT_DIR, if set.
bool SaveScreenshot(const char* name);

// The folder of this test program, ending in "\".
std::wstring TestFolder();

std::wstring Widen(const char16_t* text);
