// The main window: painting, the phone's keys, menu commands and clipboard.
#include "ui/main_window.h"

#include "currency/currency_table.h"
#include "engine/platform_seam.h"
#include "engine/text16.h"
#include "resources/resource.h"
#include "shell/message_box.h"
#include "shell/shell.h"
#include "ui/list_commands.h"
#include "ui/window_links.h"

MainWindowState mainWindowState;
EngineState programEngine;
Options programOptions;
SkinState programSkin;

const wchar_t emptyText[] = L"";

namespace {

constexpr wchar_t kAboutText[] =
    L"Инженерный калькулятор\n\r"
    L"с поддержкой скинов\n\r"
    L"для смартфона с WM2003\n\r"
    L"\n\r"
    L"Vela\n\r"
    L"2026";
constexpr wchar_t kAboutCaption[] = L"О программе";

// The hidden edit control: off the screen's bottom, numbers only.
constexpr DWORD kEditStyle = WS_CHILD | ES_NUMBER | ES_NOHIDESEL;  // 1073750272
constexpr int kEditTop = 200;
constexpr int kEditHeight = 20;

MainWindowState& ui = mainWindowState;
EngineState& engine = programEngine;

void ResetEntry()
{
    engine.entryState = kEntryNone;
    ui.keypad.keyLayer = kLayerNone;
}


// --- WM_CREATE -------------------------------------------------------------

bool CreateMenuBar(HWND window)
{
    SHMENUBARINFO info{};
    info.cbSize = sizeof info;
    info.hwndParent = window;
    info.nToolBarId = IDM_MAIN;
    info.hInstRes = ui.instance;
    if (!SHCreateMenuBar(&info)) return false;
    // Back stays in the program and arrives as WM_HOTKEY.
    const WORD both = SHMBOF_NODEFAULT | SHMBOF_NOTIFY;
    SendMessageW(info.hwndMB, SHCMBM_OVERRIDEKEY, VK_TBACK, MAKELPARAM(both, both));
    return true;
}

void CreateEditControl(HWND window)
{
    ui.editControl = CreateWindowExW(0, L"EDIT", emptyText, kEditStyle, 0, kEditTop,
                                     kPhoneScreenWidth, kEditHeight, window, nullptr,
                                     ui.instance, nullptr);
    if (ui.editControl == nullptr) return;
    ShowWindow(ui.editControl, SW_SHOW);
    UpdateWindow(ui.editControl);
    MakeDecimalKeyEdit(ui.editControl);
    ShowWindow(ui.editControl, SW_HIDE);
}

LRESULT OnCreate(HWND window)
{
    if (!CreateMenuBar(window)) return -1;
    if (programOptions.groupDigits == 1) SetMenuCheck(IDM_SETTINGS_BUTTON, IDM_GROUP_DIGITS, true);
    ui.mainWindow = window;
    SetAngleUnit(engine, programOptions.angleUnit);
    SetReprMode(engine, programOptions.reprMode);
    LoadCurrencies(window);
    LoadConstants(window);
    CreateEditControl(window);
    return 0;
}

// --- WM_PAINT --------------------------------------------------------------

void ReadSystemFont()
{
    ui.displayLogFont = LOGFONTW{};
    if (GetObjectW(GetStockObject(SYSTEM_FONT), sizeof ui.displayLogFont, &ui.displayLogFont) == 0)
        return;
    ui.baseFontHeight = ui.displayLogFont.lfHeight;
    if (ui.baseFontHeight != 0) CreateDisplayFont();
}

void PaintDisplay(HDC dc, RECT rect)
{
    if (ui.baseFontHeight == 0) ReadSystemFont();
    HBRUSH brush = CreateSolidBrush(programSkin.backColor);
    FillRect(dc, &rect, brush);
    COLORREF oldBack = SetBkColor(dc, programSkin.backColor);
    COLORREF oldText = SetTextColor(dc, programSkin.textColor);
    HGDIOBJ oldFont = nullptr;
    if (ui.baseFontHeight != 0 && ui.displayFont != nullptr) oldFont = SelectObject(dc, ui.displayFont);

    DrawTextW(dc, AsWide(DisplayIndicator(engine)), -1, &rect, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    char16_t grouped[kGroupedCapacity];
    DrawTextW(dc, AsWide(DisplayValueText(grouped, kGroupedCapacity)), -1, &rect,
              DT_SINGLELINE | DT_VCENTER | DT_RIGHT);

    if (oldFont != nullptr) SelectObject(dc, oldFont);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
    DeleteObject(brush);
}

LRESULT OnPaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT rect;
    GetClientRect(window, &rect);
    PaintKeypadImage(dc, rect);
    PaintDisplay(dc, rect);
    EndPaint(window, &paint);
    return 0;
}

// --- Keys ------------------------------------------------------------------

LRESULT OnKeyDown(HWND window, WPARAM key)
{
    KeyOutcome outcome = KeypadKeyDown(ui.keypad, engine, programSkin.keyMap, static_cast<int>(key));
    if (!outcome.handled) return 1;
    if (outcome.postCycleOpen) PostMessageW(window, kMsgCycleOpen, 0, 0);
    RequestRepaint(window, outcome.repaint);
    return 0;
}

LRESULT OnHotKey(HWND window, LPARAM lParam)
{
    if (HIWORD(lParam) == VK_TBACK)
        RequestRepaint(window, BackKeyHotkey(ui.keypad, engine, (LOWORD(lParam) & MOD_KEYUP) != 0));
    return 1;
}

LRESULT OnCycleOpen(HWND window)
{
    if (HexCycleOpened(ui.keypad) &&
        SetTimer(window, kCycleTimerId, kCycleTimerPeriodMs, nullptr) == 0)
        ui.keypad.hexTimer = 0;
    return 0;
}

LRESULT OnTimer(HWND window)
{
    if (HexCycleTick(ui.keypad)) PostMessageW(window, kMsgCycleClose, 0, 0);
    return 0;
}

LRESULT OnCycleClose(HWND window)
{
    UINT_PTR timer = static_cast<UINT_PTR>(ui.keypad.hexTimer);
    if (HexCycleEnded(ui.keypad)) KillTimer(window, timer);
    return 0;
}

// --- Clipboard ---------------------------------------------------------------

void CopyDisplay(HWND window)
{
    if (ui.editControl == nullptr) return;
    ShowWindow(ui.editControl, SW_SHOW);
    SetWindowTextW(ui.editControl, AsWide(engine.text));
    SetFocus(ui.editControl);
    SendMessageW(ui.editControl, EM_SETSEL, 0, -1);
    SendMessageW(ui.editControl, WM_COPY, 0, 0);
    ShowWindow(ui.editControl, SW_HIDE);
    SetFocus(window);
}

// The edit control's text becomes the calculator's, read in the current
// representation and shown in the calculator's own format.
void TakeEditText(HWND window)
{
    GetWindowTextW(ui.editControl, AsWide(engine.text), kEditTextCapacity);
    ReadText(engine);
    FormatValue(engine, engine.value);
    RequestRepaint(window, kRepaintDisplay);
}

void PasteIntoDisplay(HWND window)
{
    if (ui.editControl == nullptr) return;
    SetWindowTextW(ui.editControl, emptyText);
    ShowWindow(ui.editControl, SW_SHOW);
    SetFocus(ui.editControl);
    SendMessageW(ui.editControl, WM_PASTE, 0, 0);
    GetWindowTextW(ui.editControl, AsWide(engine.text), kEditTextCapacity);
    ShowWindow(ui.editControl, SW_HIDE);
    SetFocus(window);
    ReadText(engine);
    FormatValue(engine, engine.value);
    RequestRepaint(window, kRepaintDisplay);
}

LRESULT OnPasteText(HWND window)
{
    if (ui.editControl != nullptr) TakeEditText(window);
    return 0;
}

// --- WM_COMMAND ----------------------------------------------------------------

void CmdExit(HWND window, int) { DestroyWindow(window); }

void CmdAbout(HWND window, int)
{
    ShowMessageBox(window, kAboutText, kAboutCaption, MB_OK | MB_ICONINFORMATION);
}

void CmdFont(HWND window, int)
{
    if (ShowFontDialog(window) && ui.baseFontHeight != 0) {
        DeleteObject(ui.displayFont);
        ui.displayFont = nullptr;
        CreateDisplayFont();
        RequestRepaint(window, kRepaintDisplay);
    }
}

void CmdPrecision(HWND window, int)
{
    if (!ShowPrecisionDialog(window)) return;
    BuildFormats(engine);
    FormatValue(engine, engine.value);
    RequestRepaint(window, kRepaintDisplay);
}

void CmdSkin(HWND window, int)
{
    if (!ChooseSkin(window)) return;
    ReleaseSkinImages(programSkin);
    LoadSkin(ui.mainWindow);
    RequestRepaint(window, kRepaintWhole);
}

// Quick conversions and constant slots, as the native runner runs them.
void CmdListEntry(HWND window, int id)
{
    CommandOutcome outcome = RunListCommand(ui.keypad, engine, programConstants, programCurrencies, id);
    RequestRepaint(window, outcome.repaint);
}

void CmdCurrencyChoice(HWND window, int)
{
    ResetEntry();
    if (ShowCurrencyChoiceDialog(window)) ShowConvertedValue(engine);
    RequestRepaint(window, kRepaintWhole);
}

void CmdCurrencies(HWND window, int)
{
    if (ShowCurrenciesDialog(window)) BuildCurrencyMenu(window);
}

void CmdConstantChoice(HWND window, int)
{
    ResetEntry();
    if (RunConstantPick(window)) FormatValue(engine, engine.value);
    RequestRepaint(window, kRepaintWhole);
}

void CmdConstants(HWND window, int)
{
    if (RunConstantsDialog(window)) RebuildConstantMenu(window);
}

void CmdConstantFiles(HWND window, int)
{
    if (RunConstantFiles(window)) LoadConstants(window);
}

void CmdConstantFilesPick(HWND window, int id)
{
    if (!RunConstantFiles(window)) return;
    LoadConstants(window);
    CmdConstantChoice(window, id);
}

void CmdCopy(HWND window, int) { CopyDisplay(window); }
void CmdPaste(HWND window, int) { PasteIntoDisplay(window); }

struct WindowCommand {
    int first;
    int last;
    void (*run)(HWND window, int id);
};

// The commands that need the window; the engine's own (grouping, angle unit,
// representation, pi and e) go through the keypad handling first.
const WindowCommand kWindowCommands[] = {
    {IDM_EXIT, IDM_EXIT, CmdExit},
    {IDM_ABOUT, IDM_ABOUT, CmdAbout},
    {IDM_FONT, IDM_FONT, CmdFont},
    {IDM_PRECISION, IDM_PRECISION, CmdPrecision},
    {IDM_SKIN, IDM_SKIN, CmdSkin},
    {IDM_CURRENCY_QUICK1, IDM_CURRENCY_QUICK6, CmdListEntry},
    {IDM_CURRENCY_CHOICE, IDM_CURRENCY_CHOICE, CmdCurrencyChoice},
    {IDM_CURRENCIES, IDM_CURRENCIES, CmdCurrencies},
    {IDM_CONSTANT_SLOT1, IDM_CONSTANT_SLOT6, CmdListEntry},
    {IDM_CONSTANT_CHOICE, IDM_CONSTANT_CHOICE, CmdConstantChoice},
    {IDM_CONSTANTS, IDM_CONSTANTS, CmdConstants},
    {IDM_PASTE, IDM_PASTE, CmdPaste},
    {IDM_CONSTANT_FILES, IDM_CONSTANT_FILES, CmdConstantFiles},
    {IDM_CONSTANT_FILES_PICK, IDM_CONSTANT_FILES_PICK, CmdConstantFilesPick},
    {IDM_COPY, IDM_COPY, CmdCopy},
};

// 1 when the command was one of ours, else 0 (the default procedure gets it).
int RunCommand(HWND window, int id)
{
    CommandOutcome outcome = RunEngineCommand(ui.keypad, engine, id);
    if (outcome.handled) {
        RequestRepaint(window, outcome.repaint);
        return 1;
    }
    for (const WindowCommand& command : kWindowCommands) {
        if (id >= command.first && id <= command.last) {
            command.run(window, id);
            return 1;
        }
    }
    return 0;
}

LRESULT OnDestroy(HWND window)
{
    if (ui.baseFontHeight != 0 && ui.displayFont != nullptr) DeleteObject(ui.displayFont);
    ui.displayFont = nullptr;
    if (ui.keypad.hexTimer != 0) KillTimer(window, static_cast<UINT_PTR>(ui.keypad.hexTimer));
    ui.keypad.hexTimer = 0;
    PostQuitMessage(0);
    return 0;
}

// --- The desktop keyboard as the phone's keypad ---------------------------------

bool KeyIsDown(int key) { return (GetKeyState(key) & 0x8000) != 0; }

// Rewrites `msg` in place; false when it must not be dispatched at all.
bool TranslateDesktopKey(MSG& msg)
{
    if (msg.hwnd != ui.mainWindow || ui.mainWindow == nullptr) return true;
    if (msg.message == WM_CHAR) {
        // "*" and "#" come as characters, whatever keyboard layout made them.
        if (msg.wParam == L'*' || msg.wParam == L'#') {
            msg.message = WM_KEYDOWN;
            msg.wParam = msg.wParam == L'*' ? VK_TSTAR : VK_TPOUND;
        }
        return true;
    }
    if (msg.message != WM_KEYDOWN) return true;
    bool control = KeyIsDown(VK_CONTROL);
    if (control && (msg.wParam == 'C' || msg.wParam == 'V')) {
        msg.message = WM_COMMAND;
        msg.wParam = MAKEWPARAM(msg.wParam == 'C' ? IDM_COPY : IDM_PASTE, 0);
        msg.lParam = 0;
        return true;
    }
    if (msg.wParam >= VK_NUMPAD0 && msg.wParam <= VK_NUMPAD9) {
        msg.wParam = '0' + (msg.wParam - VK_NUMPAD0);
        return true;
    }
    // A shifted or controlled digit is no digit: its character ("*", "#") follows.
    if (msg.wParam >= '0' && msg.wParam <= '9' && (control || KeyIsDown(VK_SHIFT) || KeyIsDown(VK_MENU))) {
        TranslateMessage(&msg);
        return false;
    }
    return true;
}

}  // namespace

void CreateDisplayFont()
{
    ui.displayLogFont.lfHeight = ui.baseFontHeight - 2 * programOptions.fontSize + 2;
    ui.displayLogFont.lfWeight = programOptions.fontBold != 0 ? FW_BOLD : FW_NORMAL;
    ui.displayFont = CreateFontIndirectW(&ui.displayLogFont);
}

const char16_t* DisplayValueText(char16_t* buffer, size_t capacity)
{
    if (programOptions.groupDigits != 1) return engine.text;
    GroupedText(engine, buffer, capacity);
    return buffer;
}

void RequestRepaint(HWND window, Repaint region)
{
    if (region == kRepaintNone) return;
    RECT rect;
    GetClientRect(window, &rect);
    if (region == kRepaintDisplay) rect.bottom = ui.displayBottom;
    if (region == kRepaintKeypad) rect.top = ui.displayBottom + 1;
    InvalidateRect(window, &rect, TRUE);
}

void DispatchProgramMessage(MSG& msg)
{
    if (!TranslateDesktopKey(msg)) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    ui.mainWindow = window;
    switch (message) {
    case WM_CREATE: return OnCreate(window);
    case WM_PAINT: return OnPaint(window);
    case WM_KEYDOWN: return OnKeyDown(window, wParam);
    case WM_HOTKEY: return OnHotKey(window, lParam);
    case WM_TIMER: return OnTimer(window);
    case kMsgCycleOpen: return OnCycleOpen(window);
    case kMsgCycleClose: return OnCycleClose(window);
    case kMsgPasteText: return OnPasteText(window);
    case WM_COMMAND:
        if (RunCommand(window, LOWORD(wParam))) return 1;
        break;
    case WM_DESTROY: return OnDestroy(window);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
