// Drives the real main window in this process: the same window procedure,
// resources and message dispatch as vela.exe, with message boxes answered and
// recorded instead of shown.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
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

// --- Files beside the test program -------------------------------------------------
// The program reads its lists and skins from its own folder, which for these
// tests is TestFolder(). Names are bare file names with their extension.
bool WriteTestFile(const std::wstring& name, const std::string& bytes);
// False when there is no such file (or it cannot be read).
bool ReadTestFile(const std::wstring& name, std::string& bytes);
void RemoveTestFile(const std::wstring& name);

// Text as the record files hold it: one Windows-1251 byte per character.
std::string Cp1251(const std::wstring& text);

// A skin file: the key map, back and text colours, then five layer images of
// 176x153 pixels at 8 bits with a grey palette, each layer its own pattern;
// with `images` false, five empty image records instead.
std::string SkinFileBytes(const uint8_t (&keyMap)[48], bool images);

// The items of the sub-menu at `position` of button `buttonId`'s popup, in
// menu order.
struct MenuItemText {
    UINT id;
    std::wstring text;
};
std::vector<MenuItemText> SubMenuItems(int buttonId, int position);
// "40022 A->B | 40028 Выбор...": ids and texts together, so that a wrong
// order, a wrong id or a left-over item all show in one comparison.
std::wstring DescribeMenuItems(const std::vector<MenuItemText>& items);

// Files of the test folder that a test replaces with its own: set aside
// before it, put back after it (and the test's own removed).
struct KeptTestFile {
    std::wstring name;
    bool existed;
    std::string bytes;
};
std::vector<KeptTestFile> SetAsideTestFiles(std::initializer_list<std::wstring> names);
void RestoreTestFiles(const std::vector<KeptTestFile>& files);

// --- Modal dialogs --------------------------------------------------------------
// A modal dialog runs its own message loop, so a test cannot act between the
// command that opens it and that command's return. RunDialog therefore queues
// the test's steps first and then sends the command (as Command does). Each
// step runs from a thread timer inside whatever loop is running at the time
// (the dialog's own, or the nested one of an expanded spinner list), one step
// per tick, the first once the dialog is shown; a tick comes only after the
// messages posted by the step before it have been handled. Steps post their keys (PostKeyToFocus, PressSoftKey) and
// never send them: a nested loop started by a sent key would run the next
// steps inside that step. After the last step, whatever is still open is
// cancelled (Escape to an expanded list, IDCANCEL to a dialog), so that a
// failed test never hangs. Returns the number of steps that ran.
// A modal dialog that a test opens without RunDialog (Command or
// SendMessage of a dialog's command) is cancelled after 3 seconds, with a
// note on stderr, for the same reason.
using DialogStep = std::function<void()>;
size_t RunDialog(int command, std::vector<DialogStep> steps);
// The same around any call that runs a modal loop (DialogBox...).
size_t RunModal(const std::function<void()>& open, std::vector<DialogStep> steps);
// The enabled dialog window ("#32770") of this thread in front, or null.
HWND FrontDialog();
// A key press, down and up, posted to the window with the focus.
void PostKeyToFocus(WPARAM key);
// SaveScreenshot from inside a step: paints every window of this thread that
// waits for it and lets Wine put it on the screen first.
bool SaveDialogScreenshot(const char* name);

// Steps that post a key, or the same key `times` times, to the focus.
DialogStep Key(WPARAM key);
DialogStep Repeat(WPARAM key, int times);

// --- Reading a dialog back ------------------------------------------------------
std::wstring WindowTextOf(HWND window);
std::wstring ListItemText(HWND list, int row);  // "?" for a row it cannot read
std::vector<std::wstring> ListItems(HWND dialog, int id);
// What a one-line spinner list shows: its selected item, "" without one.
std::wstring ShownItem(HWND dialog, int id);
// The dialog fills the phone's screen and every visible control lies inside it.
void ExpectControlsOnScreen(HWND dialog);
