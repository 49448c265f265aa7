// The main window: painting, the phone's keys, menu commands and clipboard.
#include "windows/main_window.h"

#include "core/seam.h"
#include "core/text/text16.h"
#include "resources/menu_commands.h"
#include "resources/resource.h"
#include "windows/dialogs/dialogs.h"
#include "windows/dialogs/fields.h"
#include "windows/shell/message_box.h"
#include "windows/shell/shell.h"
#include "windows/skin_paint.h"

MainWindowState mainWindowState;

namespace {

// The hidden edit control: off the screen's bottom, numbers only.
constexpr DWORD kEditStyle = WS_CHILD | ES_NUMBER | ES_NOHIDESEL;
constexpr int kEditTop = 200;
constexpr int kEditHeight = 20;

MainWindowState& ui = mainWindowState;
Calculator& calculator = mainWindowState.calculator;
EngineState& engine = mainWindowState.calculator.engine;

// The three repaint regions of the keypad handling.
void RequestRepaint(HWND window, Repaint region)
{
    if (region == kRepaintNone) return;
    RECT rect;
    GetClientRect(window, &rect);
    const int keypadTop = rect.bottom - KeypadImageHeight(calculator.keypad.keyLayer);
    if (region == kRepaintDisplay) rect.bottom = keypadTop;
    if (region == kRepaintKeypad) rect.top = keypadTop + 1;
    InvalidateRect(window, &rect, TRUE);
}

DialogContext Context() { return {&calculator, ui.programFolder}; }

// --- The display font --------------------------------------------------------

void CreateDisplayFont()
{
    if (ui.displayFont != nullptr) DeleteObject(ui.displayFont);
    ui.displayFont = nullptr;
    if (ui.baseFontHeight == 0) return;
    ui.displayLogFont.lfHeight = ui.baseFontHeight - 2 * calculator.options.fontSize + 2;
    ui.displayLogFont.lfWeight = calculator.options.fontBold != 0 ? FW_BOLD : FW_NORMAL;
    ui.displayFont = CreateFontIndirectW(&ui.displayLogFont);
}

void ReadSystemFont()
{
    ui.displayLogFont = LOGFONTW{};
    ui.baseFontHeight = 0;
    if (GetObjectW(GetStockObject(SYSTEM_FONT), sizeof ui.displayLogFont, &ui.displayLogFont) != 0)
        ui.baseFontHeight = ui.displayLogFont.lfHeight;
    CreateDisplayFont();
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
    ui.editControl = CreateWindowExW(0, L"EDIT", L"", kEditStyle, 0, kEditTop, kPhoneScreenWidth, kEditHeight,
                                     window, nullptr, ui.instance, nullptr);
    if (ui.editControl == nullptr) return;
    ShowWindow(ui.editControl, SW_SHOW);
    UpdateWindow(ui.editControl);
    MakeDecimalKeyEdit(ui.editControl);
    ShowWindow(ui.editControl, SW_HIDE);
}

LRESULT OnCreate(HWND window)
{
    ui.mainWindow = window;
    if (!CreateMenuBar(window)) return -1;
    ModesChanged();
    char16_t constantsFile[kListNameCapacity];
    ConstantsFileName(calculator.options, constantsFile);
    const char16_t* folder = AsUtf16(ui.programFolder);
    LoadList(calculator.currencies, folder, kCurrencyKind.file.fileName);
    LoadList(calculator.constants, folder, constantsFile);
    CreateEditControl(window);
    ReadSystemFont();
    return 0;
}

// --- WM_PAINT --------------------------------------------------------------

// The display line: the mode indicator at the left, the number (or the
// message of a keypad image that could not be drawn) at the right.
void PaintDisplay(HDC dc, RECT rect, UINT messageId)
{
    HBRUSH brush = CreateSolidBrush(ui.skin.backColor);
    FillRect(dc, &rect, brush);
    COLORREF oldBack = SetBkColor(dc, ui.skin.backColor);
    COLORREF oldText = SetTextColor(dc, ui.skin.textColor);
    HGDIOBJ oldFont = ui.displayFont != nullptr ? SelectObject(dc, ui.displayFont) : nullptr;

    DrawTextW(dc, AsWide(DisplayIndicator(engine)), -1, &rect, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    char16_t grouped[kGroupedCapacity];
    std::wstring message = messageId != 0 ? LoadText(messageId) : std::wstring();
    const wchar_t* text = messageId != 0 ? message.c_str() : AsWide(DisplayValueText(grouped, kGroupedCapacity));
    DrawTextW(dc, text, -1, &rect, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);

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
    const int layer = calculator.keypad.keyLayer;
    UINT messageId = PaintKeypadImage(dc, rect, layer);
    rect.bottom -= KeypadImageHeight(layer);
    PaintDisplay(dc, rect, messageId);
    EndPaint(window, &paint);
    return 0;
}

// --- Keys ------------------------------------------------------------------

LRESULT OnKeyDown(HWND window, WPARAM key)
{
    KeyOutcome outcome = KeypadKeyDown(calculator.keypad, engine, ui.skin.keyMap, static_cast<int>(key));
    if (!outcome.handled) return 1;
    if (outcome.postCycleOpen) PostMessageW(window, kMsgCycleOpen, 0, 0);
    RequestRepaint(window, outcome.repaint);
    return 0;
}

LRESULT OnHotKey(HWND window, LPARAM lParam)
{
    if (HIWORD(lParam) == VK_TBACK)
        RequestRepaint(window, BackKeyHotkey(calculator.keypad, engine, (LOWORD(lParam) & MOD_KEYUP) != 0));
    return 1;
}

LRESULT OnCycleOpen(HWND window)
{
    if (HexCycleOpened(calculator.keypad) && SetTimer(window, kCycleTimerId, kCycleTimerPeriodMs, nullptr) == 0)
        calculator.keypad.hexTimer = 0;
    return 0;
}

LRESULT OnTimer(HWND window)
{
    if (HexCycleTick(calculator.keypad)) PostMessageW(window, kMsgCycleClose, 0, 0);
    return 0;
}

LRESULT OnCycleClose(HWND window)
{
    UINT_PTR timer = static_cast<UINT_PTR>(calculator.keypad.hexTimer);
    if (HexCycleEnded(calculator.keypad)) KillTimer(window, timer);
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
    SetWindowTextW(ui.editControl, L"");
    ShowWindow(ui.editControl, SW_SHOW);
    SetFocus(ui.editControl);
    SendMessageW(ui.editControl, WM_PASTE, 0, 0);
    ShowWindow(ui.editControl, SW_HIDE);
    SetFocus(window);
    TakeEditText(window);
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
    ShowMessageBox(window, LoadText(IDS_ABOUT).c_str(), LoadText(IDS_ABOUT_CAPTION).c_str(),
                   MB_OK | MB_ICONINFORMATION);
}

void CmdFont(HWND window, int)
{
    if (!ShowFontDialog(window, Context())) return;
    CreateDisplayFont();
    RequestRepaint(window, kRepaintDisplay);
}

void CmdPrecision(HWND window, int)
{
    if (!ShowPrecisionDialog(window, Context())) return;
    BuildFormats(engine);
    FormatValue(engine, engine.value);
    RequestRepaint(window, kRepaintDisplay);
}

void CmdSkin(HWND window, int)
{
    if (!ChooseSkin(window, Context())) return;
    ReleaseSkinImages(ui.skin);
    LoadSkin(window);
    RequestRepaint(window, kRepaintWhole);
}

void CmdCurrencyChoice(HWND window, int)
{
    EndEntry(calculator.keypad, engine);
    if (ShowCurrencyChoiceDialog(window, Context())) ShowConvertedValue(engine);
    RequestRepaint(window, kRepaintWhole);
}

void CmdCurrencies(HWND window, int) { ShowListDialog(window, ListDialogKind::Currencies, Context()); }

void CmdConstantChoice(HWND window, int)
{
    EndEntry(calculator.keypad, engine);
    if (RunConstantPick(window, Context())) FormatValue(engine, engine.value);
    RequestRepaint(window, kRepaintWhole);
}

void CmdConstants(HWND window, int) { ShowListDialog(window, ListDialogKind::Constants, Context()); }

bool LoadChosenConstants(HWND window)
{
    if (!RunConstantFiles(window, Context())) return false;
    char16_t name[kListNameCapacity];
    ConstantsFileName(calculator.options, name);
    LoadList(calculator.constants, AsUtf16(ui.programFolder), name);
    return true;
}

void CmdConstantFiles(HWND window, int) { LoadChosenConstants(window); }

void CmdConstantFilesPick(HWND window, int index)
{
    if (LoadChosenConstants(window)) CmdConstantChoice(window, index);
}

void CmdCopy(HWND window, int) { CopyDisplay(window); }
void CmdPaste(HWND window, int) { PasteIntoDisplay(window); }

struct WindowCommand {
    Command command;
    void (*run)(HWND window, int index);
};

// The commands that need the window; the calculator's own go through
// RunCommand first.
const WindowCommand kWindowCommands[] = {
    {Command::Exit, CmdExit},
    {Command::About, CmdAbout},
    {Command::Font, CmdFont},
    {Command::Precision, CmdPrecision},
    {Command::Skin, CmdSkin},
    {Command::CurrencyChoice, CmdCurrencyChoice},
    {Command::Currencies, CmdCurrencies},
    {Command::ConstantChoice, CmdConstantChoice},
    {Command::Constants, CmdConstants},
    {Command::ConstantFiles, CmdConstantFiles},
    {Command::ConstantFilesPick, CmdConstantFilesPick},
    {Command::Copy, CmdCopy},
    {Command::Paste, CmdPaste},
};

// 1 when the command was one of ours, else 0 (the default procedure gets it).
int OnCommand(HWND window, int id)
{
    const CommandRequest request = CommandOfMenuId(id);
    CommandOutcome outcome = RunCommand(calculator, request);
    if (outcome.handled) {
        RequestRepaint(window, outcome.repaint);
        return 1;
    }
    for (const WindowCommand& command : kWindowCommands) {
        if (command.command == request.command) {
            command.run(window, request.index);
            return 1;
        }
    }
    return 0;
}

LRESULT OnDestroy(HWND window)
{
    if (ui.displayFont != nullptr) DeleteObject(ui.displayFont);
    ui.displayFont = nullptr;
    if (calculator.keypad.hexTimer != 0) KillTimer(window, static_cast<UINT_PTR>(calculator.keypad.hexTimer));
    calculator.keypad.hexTimer = 0;
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

std::wstring LoadText(UINT id)
{
    const wchar_t* text = nullptr;
    // With no buffer, LoadString hands out the resource's own text, which has
    // no NUL of its own.
    int length = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text != nullptr ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

const char16_t* DisplayValueText(char16_t* buffer, size_t capacity)
{
    if (calculator.options.groupDigits != 1) return engine.text;
    GroupedText(engine, buffer, capacity);
    return buffer;
}

void DispatchProgramMessage(MSG& msg)
{
    if (!TranslateDesktopKey(msg)) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
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
        if (OnCommand(window, LOWORD(wParam))) return 1;
        break;
    case WM_DESTROY: return OnDestroy(window);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
