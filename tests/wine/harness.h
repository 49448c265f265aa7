// Drives the real program in this process: the same window procedure,
// resources, shell and message dispatch as vela.exe, with message boxes
// recorded instead of shown. The program folder is this test program's own.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/wine/processes.h"
#include "windows/main_window.h"
#include "windows/system/registry.h"

extern std::wstring boxes;  // every message box since the last start: "text/caption "

inline void DeleteStoredOptions()
{
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) RegDeleteKeyW(root, kOptionsKeyPath);
}
inline void StoreValue(HKEY root, const void* bytes, DWORD size, DWORD type = REG_BINARY)
{
    RegSetKeyValueW(root, kOptionsKeyPath, kOptionsValueName, type, bytes, size);
}
inline void StoreOptions(HKEY root, const Options& options) { StoreValue(root, &options, sizeof options); }
DWORD ReadStored(HKEY root, Options& options);  // the value's size; 0 when there is none (or a longer one)
Options StoredOptions(int reprMode, const char16_t* skinName = u"");  // the defaults but these

inline Calculator& Calc() { return mainWindowState.calculator; }
inline HWND Window() { return mainWindowState.mainWindow; }
void EndVela(bool saveOptions);
void Pump(DWORD ms = 0);  // handles what is queued, for `ms` at least
void Command(int id);
// Keys as the desktop keyboard gives them, one character each: digits; the
// characters * # + - / = . , and a..f E as TranslateMessage makes them; L U R
// D arrows, T talk, A action (Enter), < > the soft keys (F1, F2), k Backspace
// pressed and released, K Backspace held one more repeat, x and y Escape down
// and up; n, s and ^ before a key: from the numeric keypad (digits, + - * / .
// and A its Enter), with Shift, with Control.
void Keys(const char* script);
inline std::wstring WindowText(HWND window)
{
    wchar_t text[64] = {};
    return std::wstring(text, GetWindowTextW(window, text, 64));
}
inline RECT Client() { RECT client{}; GetClientRect(Window(), &client); return client; }
std::wstring Display();  // the value text as the display line draws it
HMENU ButtonPopup(int buttonId);
// The pixels of a bitmap, or of an area of the main window's client area
// drawn afresh, as COLORREFs row by row from the top.
std::vector<COLORREF> BitmapPixels(HBITMAP bitmap, int width, int height);
std::vector<COLORREF> WindowPixels(int x, int y, int width, int height);
// The main window (or the dialog over it) and its soft-key bar as the screen
// shows them: a BMP in VELA_SHOT_DIR when that is set.
bool SaveScreenshot(const char* name);

// A screen reader in another process (vela_msaa_client) reading `window`
// with `commands` (see that program); the result is what it wrote, in UTF-8.
// Start returns its process, which Finish waits for while this one handles
// the reader's calls: the main window pumps in Finish, a dialog's own loop
// while a step waits (ScreenReaderDone).
HANDLE StartScreenReader(HWND window, const std::wstring& commands);
bool ScreenReaderDone(HANDLE reader);
std::string FinishScreenReader(HANDLE reader);
// Each of `lines` is found in `text`, in this order; the first missing one.
::testing::AssertionResult HasLinesInOrder(const std::string& text, const std::vector<const char*>& lines);

std::wstring TestFolder();  // the program folder, ending in "\"
inline std::string ReadTestFile(const std::wstring& name) { return ReadBytes(TestFolder() + name); }
std::string ReadBuildFile(const char* utf8);  // a path the build gave, on Wine's drive for the root
std::string Lines(std::initializer_list<const wchar_t*> lines);  // Windows-1251, CR LF
// A skin file: key map, colours, an image for the base layer only.
std::string SkinBytes(const uint8_t (&keyMap)[48], const std::string& baseImage);
// A bitmap file of `bits` per pixel with an information header of
// `headerSize` bytes (40, or an editor's 108 or 124); up to 8 bits with a
// colour table of dark entries, above without one.
std::string Bitmap(int width, int height, int bits, DWORD headerSize = 40);

// A fresh program per test, no stored options; the files a test writes
// replace what was in the folder until the test ends.
class Vela : public ::testing::Test {
public:
    static void Start();  // again: the program ends first

protected:
    void SetUp() override { DeleteStoredOptions(); }
    void TearDown() override;
    void Write(const std::wstring& name, const std::string& bytes);  // empty: no such file
    void StartWithSkin(const std::string& file);  // skin "s" of these bytes; empty: the built-in skin

private:
    std::vector<std::pair<std::wstring, std::string>> kept_;  // name, bytes before
};
