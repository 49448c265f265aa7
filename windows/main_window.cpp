// The main window: painting, the phone's keys, menu commands and clipboard.
#include "windows/main_window.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <cwchar>

#include "core/screen/screen.h"
#include "core/text/text16.h"
#include "resources/menu_commands.h"
#include "resources/resource.h"
#include "windows/dialogs/dialogs.h"
#include "windows/menus.h"
#include "windows/system/registry.h"
#include "windows/shell/accessible.h"
#include "windows/shell/common_controls.h"
#include "windows/shell/message_box.h"
#include "windows/shell/shell.h"
#include "windows/skin_paint.h"

MainWindowState mainWindowState;

namespace {

// The smallest readable display font, in pixels at zoom 1.
constexpr int kSmallestFontHeight = 8;

MainWindowState& ui = mainWindowState;
Calculator& calculator = mainWindowState.calculator;
EngineState& engine = mainWindowState.calculator.engine;
SkinView& skinView = mainWindowState.skinView;
const uint8_t* const keyMap = mainWindowState.skinView.skin.keyMap;

// The keypad image of the current layer at zoom 1, and where it starts, in client pixels.
SIZE LayerImageSize() { return KeypadImageSize(skinView, calculator.keypad.keyLayer); }
int KeypadTop(const RECT& client) { return client.bottom - LayerImageSize().cy * ui.zoom; }

// The three repaint regions of the keypad handling. A layer change repaints
// from the top of the tallest image down: the old layer's may reach higher.
void RequestRepaint(HWND window, Repaint region)
{
    if (region == kRepaintNone) return;
    RECT rect;
    GetClientRect(window, &rect);
    if (region == kRepaintDisplay) rect.bottom = KeypadTop(rect);
    if (region == kRepaintKeypad) rect.top = rect.bottom - TallestKeypadImage(skinView) * ui.zoom;
    InvalidateRect(window, &rect, TRUE);
}

DialogContext Context() { return {&calculator, ui.programFolder}; }

// What the display line shows: the number, or the message of a keypad image
// that cannot be drawn.
std::wstring ShownText()
{
    const UINT message = KeypadImageMessage(skinView, calculator.keypad.keyLayer);
    if (message != 0) return LoadText(message);
    char16_t number[kGroupedCapacity];
    return AsWide(DisplayValueText(number, kGroupedCapacity));
}

// --- The display fonts -------------------------------------------------------

void ReleaseDisplayFonts()
{
    for (int i = 0; i < ui.displayFontCount; ++i) DeleteObject(ui.displayFonts[i]);
    ui.displayFontCount = 0;
}

// The chosen size, then one step of the zoom smaller each, down to the
// smallest readable one. Each size up the list is 2 pixels taller: the system
// font's height grows in magnitude, whether it gives the character height
// (negative) or the cell height (positive).
void CreateDisplayFonts()
{
    ReleaseDisplayFonts();
    if (ui.baseFontHeight == 0) return;
    const int base = ui.baseFontHeight;
    const int magnitude = (base < 0 ? -base : base) + 2 * calculator.options.fontSize - 2;
    LOGFONTW font = ui.displayLogFont;
    font.lfWeight = calculator.options.fontBold != 0 ? FW_BOLD : FW_NORMAL;
    font.lfQuality = ANTIALIASED_QUALITY;  // smooth at every zoom
    font.lfWidth = 0;  // the system font's fixed width would keep every size as wide
    for (int height = magnitude * ui.zoom; ui.displayFontCount < kDisplayFontCount; height -= ui.zoom) {
        if (ui.displayFontCount > 0 && height < kSmallestFontHeight * ui.zoom) break;
        font.lfHeight = base < 0 ? -height : height;
        HFONT created = CreateFontIndirectW(&font);
        if (created == nullptr) break;
        ui.displayFonts[ui.displayFontCount++] = created;
    }
}

// The system font's description, its height as at 96 dots per inch: the zoom
// alone scales the display. The face is the desktop's message font where
// there is one: the system font's own is a relic of bitmap screens, coarse
// at any other size.
void ReadSystemFont()
{
    ui.displayLogFont = LOGFONTW{};
    ui.baseFontHeight = 0;
    if (GetObjectW(GetStockObject(SYSTEM_FONT), sizeof ui.displayLogFont, &ui.displayLogFont) != 0) {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0) &&
            metrics.lfMessageFont.lfFaceName[0] != 0)
            std::memcpy(ui.displayLogFont.lfFaceName, metrics.lfMessageFont.lfFaceName,
                        sizeof ui.displayLogFont.lfFaceName);
        HDC screen = GetDC(nullptr);
        const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : kBaseDpi;
        if (screen != nullptr) ReleaseDC(nullptr, screen);
        ui.baseFontHeight = MulDiv(ui.displayLogFont.lfHeight, kBaseDpi, dpi > 0 ? dpi : kBaseDpi);
    }
    CreateDisplayFonts();
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
    // Back stays in the program and arrives as WM_HOTKEY; Backspace stays a
    // key of its own, which deletes as often as it repeats.
    const WORD both = SHMBOF_NODEFAULT | SHMBOF_NOTIFY;
    SendMessageW(info.hwndMB, SHCMBM_OVERRIDEKEY, VK_TBACK, MAKELPARAM(both, both));
    SendMessageW(info.hwndMB, SHCMBM_OVERRIDEKEY, VK_BACK, MAKELPARAM(both, 0));
    return true;
}

// One tool over the whole client area; its text follows the mouse. Made at
// the first hover: the library behind it is slow to load at start-up.
void CreateTooltip(HWND window)
{
    if (!LoadCommonControls()) return;
    ui.tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr,
                                 ui.instance, nullptr);
    if (ui.tooltip == nullptr) return;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = window;
    tool.uId = 1;
    tool.lpszText = const_cast<wchar_t*>(L"");
    GetClientRect(window, &tool.rect);
    SendMessageW(ui.tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

LRESULT OnCreate(HWND window)
{
    ui.mainWindow = window;
    ui.painted = false;
    if (!CreateMenuBar(window)) return -1;
    calculator.listener = MenuListener(window);
    TellModesChanged(&calculator.listener, calculator.options);
    ShowZoomChecked(window, ui.zoom);
    char16_t constantsFile[kListNameCapacity];
    ConstantsFileName(calculator.options, constantsFile);
    LoadListOrSay(nullptr, ui.programFolder, calculator.currencies, kCurrencyKind.file.fileName);
    LoadListOrSay(nullptr, ui.programFolder, calculator.constants, constantsFile);
    ReadSystemFont();
    ui.announcedText = ShownText();  // the start is no change
    ui.announcedIndicator = DisplayIndicatorWords(engine);
    ui.announcedLayer = calculator.keypad.keyLayer;
    ui.keyNamesRead = 0;
    return 0;
}

// --- WM_PAINT --------------------------------------------------------------

int MeasureText(void* context, int size, const char16_t* text, size_t length)
{
    HDC dc = static_cast<HDC>(context);
    if (size < ui.displayFontCount) SelectObject(dc, ui.displayFonts[size]);
    SIZE extent{};
    GetTextExtentPoint32W(dc, AsWide(text), static_cast<int>(length), &extent);
    return extent.cx;
}

// The display line: the mode indicator at the left, always whole, and the
// number (or the message of a keypad image that could not be drawn) at the
// right, smaller or cut on its left where it would not fit beside it.
void PaintDisplay(HDC dc, RECT rect, UINT messageId)
{
    // High contrast: the system's colours, whatever the skin's.
    const bool system = HighContrastOn();
    HBRUSH brush = CreateSolidBrush(system ? GetSysColor(COLOR_WINDOW) : skinView.skin.backColor);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldText = SetTextColor(dc, system ? GetSysColor(COLOR_WINDOWTEXT) : skinView.skin.textColor);
    HGDIOBJ oldFont = ui.displayFontCount > 0 ? SelectObject(dc, ui.displayFonts[0]) : nullptr;

    const wchar_t* indicator = AsWide(DisplayIndicator(engine));
    const UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    DrawTextW(dc, indicator, -1, &rect, format | DT_LEFT);
    SIZE indicatorSize{};
    GetTextExtentPoint32W(dc, indicator, static_cast<int>(std::wcslen(indicator)), &indicatorSize);
    rect.left += indicatorSize.cx + 2 * ui.zoom;
    rect.right -= ui.zoom;  // the last digit's edge stays inside

    char16_t number[kGroupedCapacity];
    const std::wstring message = messageId != 0 ? LoadText(messageId) : std::wstring();
    const char16_t* text = messageId != 0 ? AsUtf16(message.c_str()) : DisplayValueText(number, kGroupedCapacity);
    char16_t fitted[kFittedCapacity];
    const int sizes = ui.displayFontCount > 0 ? ui.displayFontCount : 1;
    const DisplayFit fit = FitDisplayText(text, rect.right - rect.left, sizes, MeasureText, dc, fitted);
    if (fit.size < ui.displayFontCount) SelectObject(dc, ui.displayFonts[fit.size]);
    DrawTextW(dc, AsWide(fitted), static_cast<int>(fit.length), &rect, format | DT_RIGHT);

    if (oldFont != nullptr) SelectObject(dc, oldFont);
    SetTextColor(dc, oldText);
    SetBkMode(dc, oldMode);
}

LRESULT OnPaint(HWND window)
{
    // The built-in keypad's image for this zoom and layer, drawn the first
    // time it shows: painting itself only reads. The window's first paint
    // shows the enlarged image at once, and the sharp one follows it.
    if (ui.painted) DrawZoomedKeypadImage(skinView, calculator.keypad.keyLayer, ui.zoom);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT rect;
    GetClientRect(window, &rect);
    // The keypad image is drawn even when only the display needs it: a
    // message in the display says whether the image could be drawn.
    UINT messageId = PaintKeypadImage(dc, rect, skinView, calculator.keypad.keyLayer, ui.zoom);
    rect.bottom = KeypadTop(rect);
    if (paint.rcPaint.top < rect.bottom) PaintDisplay(dc, rect, messageId);
    EndPaint(window, &paint);
    if (!ui.painted) PostMessageW(window, kMsgDrawZoomedKeypad, 0, 0);
    ui.painted = true;
    return 0;
}

LRESULT OnDrawZoomedKeypad(HWND window)
{
    if (DrawZoomedKeypadImage(skinView, calculator.keypad.keyLayer, ui.zoom)) RequestRepaint(window, kRepaintKeypad);
    return 0;
}

// --- Keys and the mouse ----------------------------------------------------------

// A list action's command is posted, so that it runs once the key has been
// handled: a dialog it opens comes after the key's repaint, and after the
// return of a screen reader's call that pressed the key.
void Follow(HWND window, const KeyOutcome& outcome)
{
    if (outcome.postCycleOpen) PostMessageW(window, kMsgCycleOpen, 0, 0);
    RequestRepaint(window, outcome.repaint);
    const CommandRequest followUp = outcome.followUp;
    if (followUp.command != Command::None)
        PostMessageW(window, kMsgFollowUp, static_cast<WPARAM>(followUp.command), static_cast<LPARAM>(followUp.index));
}

LRESULT OnKeyDown(HWND window, WPARAM key)
{
    if (key == VK_BACK) {
        RequestRepaint(window, BackKeyHotkey(calculator.keypad, engine, true));
        return 0;
    }
    KeyOutcome outcome = KeypadKeyDown(calculator.keypad, engine, keyMap, static_cast<int>(key));
    if (!outcome.handled) return 1;
    Follow(window, outcome);
    return 0;
}

LRESULT OnChar(HWND window, WPARAM character)
{
    if (character > 0xFFFF) return 1;
    KeyOutcome outcome = TypedCharacter(calculator.keypad, engine, keyMap, static_cast<char16_t>(character));
    if (!outcome.handled) return 1;
    Follow(window, outcome);
    return 0;
}

LRESULT OnHotKey(HWND window, LPARAM lParam)
{
    if (HIWORD(lParam) == VK_TBACK)
        RequestRepaint(window, BackKeyHotkey(calculator.keypad, engine, (LOWORD(lParam) & MOD_KEYUP) != 0));
    return 1;
}

// The keypad spot under a client point.
KeypadSpot SpotUnder(HWND window, LPARAM point)
{
    RECT client;
    GetClientRect(window, &client);
    const int x = GET_X_LPARAM(point), y = GET_Y_LPARAM(point) - KeypadTop(client);
    const SIZE image = LayerImageSize();
    if (x < 0 || y < 0) return {-1, kLayerNone};
    return SpotAt(x / ui.zoom, y / ui.zoom, image.cx, image.cy);
}

LRESULT OnLeftButtonDown(HWND window, LPARAM point)
{
    SetFocus(window);
    Follow(window, ClickKeypad(calculator.keypad, engine, keyMap, SpotUnder(window, point)));
    return 0;
}

// The name of the action a label zone runs: the menu's text for the actions
// of the menus, else the label's.
std::wstring SpotName(HWND window, KeypadSpot spot)
{
    if (spot.keyIndex < 0 || spot.layer == kLayerNone) return std::wstring();
    const int action = keyMap[(spot.layer - 1) * 12 + spot.keyIndex];
    const std::wstring item = MenuItemText(window, MenuIdOf(ActionRequest(action)));
    if (!item.empty()) return item;
    const char16_t* label = ActionLabel(action);
    return label != nullptr ? std::wstring(AsWide(label)) : std::to_wstring(action);
}

LRESULT OnMouseMove(HWND window, LPARAM point)
{
    if (ui.tooltip == nullptr) CreateTooltip(window);
    const KeypadSpot spot = SpotUnder(window, point);
    if (ui.tooltip == nullptr || (spot.keyIndex == ui.hoverSpot.keyIndex && spot.layer == ui.hoverSpot.layer))
        return 0;
    ui.hoverSpot = spot;
    const std::wstring name = SpotName(window, spot);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = window;
    tool.uId = 1;
    tool.lpszText = const_cast<wchar_t*>(name.c_str());
    SendMessageW(ui.tooltip, TTM_POP, 0, 0);
    SendMessageW(ui.tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    return 0;
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

// --- Size, zoom and the monitor's dots per inch -------------------------------

void FitTooltipTool(HWND window)
{
    if (ui.tooltip == nullptr) return;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = window;
    tool.uId = 1;
    GetClientRect(window, &tool.rect);
    SendMessageW(ui.tooltip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
}

// A client area of a size that is no whole zoom (the frame was dragged, or
// moved by another program) takes the nearest one.
LRESULT OnSize(HWND window, WPARAM kind, LPARAM size)
{
    if (kind == SIZE_MINIMIZED || ui.mainWindow != window) return 0;
    const int width = LOWORD(size), height = HIWORD(size);
    const int zoom = ZoomForScreenSize(width, height, DragEdge::Corner);
    if (zoom != ui.zoom) SetZoom(window, zoom, true);
    else if (width != kScreenWidth * zoom || height != kScreenHeight * zoom) FitToScreen(window);
    FitTooltipTool(window);
    return 0;
}

// While the frame is dragged it snaps to whole zooms, by the edge dragged.
LRESULT OnSizing(HWND window, WPARAM edge, LPARAM lParam)
{
    RECT& rect = *reinterpret_cast<RECT*>(lParam);
    const SIZE unzoomed = ScreenFrameSize(window, 0);  // the frame alone
    const int width = rect.right - rect.left - unzoomed.cx, height = rect.bottom - rect.top - unzoomed.cy;
    const bool sideways = edge == WMSZ_LEFT || edge == WMSZ_RIGHT, upright = edge == WMSZ_TOP || edge == WMSZ_BOTTOM;
    const DragEdge drag = sideways ? DragEdge::Width : upright ? DragEdge::Height : DragEdge::Corner;
    const SIZE frame = ScreenFrameSize(window, ZoomForScreenSize(width, height, drag));
    if (edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT) rect.left = rect.right - frame.cx;
    else rect.right = rect.left + frame.cx;
    if (edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT) rect.top = rect.bottom - frame.cy;
    else rect.bottom = rect.top + frame.cy;
    return TRUE;
}

LRESULT OnGetMinMaxInfo(HWND window, LPARAM lParam)
{
    MINMAXINFO& info = *reinterpret_cast<MINMAXINFO*>(lParam);
    const SIZE smallest = ScreenFrameSize(window, kMinZoom), largest = ScreenFrameSize(window, kMaxZoom);
    info.ptMinTrackSize = POINT{smallest.cx, smallest.cy};
    info.ptMaxTrackSize = POINT{largest.cx, largest.cy};
    return 0;
}

// A monitor of other dots per inch: the zoom follows it unless the user chose one.
LRESULT OnDpiChanged(HWND window, WPARAM dpi)
{
    if (!ui.zoomChosen) SetZoom(window, ZoomForDpi(HIWORD(dpi)), false);
    return 0;
}

// --- Clipboard ---------------------------------------------------------------

void CopyDisplay(HWND window)
{
    const size_t bytes = (U16Len(engine.text) + 1) * sizeof(char16_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    void* copy = block != nullptr ? GlobalLock(block) : nullptr;
    if (copy == nullptr) {
        if (block != nullptr) GlobalFree(block);
        return;
    }
    std::memcpy(copy, engine.text, bytes);
    GlobalUnlock(block);
    if (OpenClipboard(window)) {
        EmptyClipboard();
        if (SetClipboardData(CF_UNICODETEXT, block) != nullptr) block = nullptr;  // the clipboard's now
        CloseClipboard();
    }
    if (block != nullptr) GlobalFree(block);
}

// The clipboard's text, read in the current representation and shown in the
// calculator's own format; however long it is, only its start is looked at.
void PasteIntoDisplay(HWND window)
{
    if (!OpenClipboard(window)) return;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const void* text = data != nullptr ? GlobalLock(data) : nullptr;
    if (text != nullptr) {
        PasteText(engine, static_cast<const char16_t*>(text), GlobalSize(data) / sizeof(char16_t));
        GlobalUnlock(data);
        RequestRepaint(window, kRepaintDisplay);
    }
    CloseClipboard();
}

// --- WM_COMMAND ----------------------------------------------------------------

void ReloadSkin(HWND window)
{
    ReleaseSkinImages(skinView.skin);
    LoadSkin(window, skinView, calculator.options.skinName, ui.programFolder);
}

void CmdExit(HWND window, int) { DestroyWindow(window); }

void CmdAbout(HWND window, int)
{
    ShowMessageBox(window, LoadText(IDS_ABOUT).c_str(), LoadText(IDS_ABOUT_CAPTION).c_str(),
                   MB_OK | MB_ICONINFORMATION);
}

void CmdFont(HWND window, int)
{
    if (!ShowFontDialog(window, Context())) return;
    CreateDisplayFonts();
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
    ReloadSkin(window);
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
    LoadListOrSay(window, ui.programFolder, calculator.constants, name);
    return true;
}

void CmdConstantFiles(HWND window, int) { LoadChosenConstants(window); }

void CmdConstantFilesPick(HWND window, int index)
{
    if (LoadChosenConstants(window)) CmdConstantChoice(window, index);
}

void CmdCopy(HWND window, int) { CopyDisplay(window); }
void CmdPaste(HWND window, int) { PasteIntoDisplay(window); }
void CmdZoom(HWND window, int index) { SetZoom(window, index + 1, true); }

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
    {Command::Zoom, CmdZoom},
};

// A menu's command or a key's follow-up: 1 when it was one of ours, else 0
// (the default procedure gets a menu's).
int RunRequest(HWND window, CommandRequest request)
{
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

// High contrast turned on or off: the keypad follows it where the user chose
// no skin, the display and the bar take their colours anew.
LRESULT OnSettingChange(HWND window)
{
    if (HighContrastOn() != skinView.highContrast && calculator.options.skinName[0] == 0) ReloadSkin(window);
    InvalidateRect(window, nullptr, TRUE);
    return 0;
}

LRESULT OnDestroy(HWND window)
{
    ReleaseDisplayFonts();
    if (calculator.keypad.hexTimer != 0) KillTimer(window, static_cast<UINT_PTR>(calculator.keypad.hexTimer));
    calculator.keypad.hexTimer = 0;
    ui.tooltip = nullptr;  // destroyed with its owner
    calculator.listener = CoreListener{};  // the menus go with the window
    PostQuitMessage(0);
    return 0;
}

// Windows is shutting down: the settings are kept now, as at "Выход".
LRESULT OnEndSession(WPARAM ending)
{
    if (ending) SaveOptions(calculator.options, ui.zoomChosen ? ui.zoom : 0);
    return 0;
}

// --- The desktop keyboard as the phone's keypad ---------------------------------

bool KeyIsDown(int key) { return (GetKeyState(key) & 0x8000) != 0; }

// Rewrites `msg` in place; false when it must not be dispatched at all.
bool TranslateDesktopKey(MSG& msg)
{
    if (msg.hwnd != ui.mainWindow || ui.mainWindow == nullptr || msg.message != WM_KEYDOWN) return true;
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

// --- The window as a screen reader reads it --------------------------------
//
// The client object's children: the display, the mode indicator, the key
// layer, the twelve keys of the keypad and the two soft keys.
enum : int {
    kChildDisplay = 1,
    kChildIndicator,
    kChildLayer,
    kChildFirstKey,
    kChildFirstSoftKey = kChildFirstKey + 12,
    kChildCount = kChildFirstSoftKey + 1,
};

int ChildCount(HWND) { return kChildCount; }

RECT DisplayRect(HWND window)
{
    RECT rect;
    GetClientRect(window, &rect);
    rect.bottom = KeypadTop(rect);
    return rect;
}

// The indicator's place at the display's left, as PaintDisplay puts it.
RECT IndicatorRect(HWND window)
{
    RECT rect = DisplayRect(window);
    HDC dc = GetDC(window);
    if (dc == nullptr) return rect;
    HGDIOBJ old = ui.displayFontCount > 0 ? SelectObject(dc, ui.displayFonts[0]) : nullptr;
    const wchar_t* indicator = AsWide(DisplayIndicator(engine));
    SIZE size{};
    GetTextExtentPoint32W(dc, indicator, static_cast<int>(std::wcslen(indicator)), &size);
    if (old != nullptr) SelectObject(dc, old);
    ReleaseDC(window, dc);
    rect.right = rect.left + size.cx;
    return rect;
}

RECT KeypadRect(HWND window)
{
    RECT rect;
    GetClientRect(window, &rect);
    rect.top = KeypadTop(rect);
    rect.right = rect.left + LayerImageSize().cx * ui.zoom;
    return rect;
}

// Key `index`'s cell of the 3 by 4 grid, the cells SpotAt finds a point in.
RECT KeyRect(HWND window, int index)
{
    const RECT keypad = KeypadRect(window);
    const SIZE image = LayerImageSize();
    const int column = index % 3, row = index / 3;
    auto across = [&](int c) { return keypad.left + (c * image.cx + 2) / 3 * ui.zoom; };
    auto down = [&](int r) { return keypad.top + (r * image.cy + 3) / 4 * ui.zoom; };
    return RECT{across(column), down(row), across(column + 1), down(row + 1)};
}

bool DescribeChild(HWND window, int child, AccessibleItem& item)
{
    if (child < 0 || child > kChildCount) return false;
    if (child >= kChildFirstSoftKey) return SoftKeyAccessible(SHFindMenuBar(window), child - kChildFirstSoftKey, item);
    if (child == 0) {
        wchar_t title[kTitleCapacity];
        GetWindowTextW(window, title, kTitleCapacity);
        item.name = title;
        GetClientRect(window, &item.screen);
    } else if (child == kChildDisplay) {
        item.role = ROLE_SYSTEM_TEXT;
        item.state = STATE_SYSTEM_READONLY | STATE_SYSTEM_FOCUSABLE;
        item.name = LoadText(IDS_ACC_DISPLAY);
        item.value = ShownText();
        item.screen = DisplayRect(window);
    } else if (child == kChildIndicator) {
        item.role = ROLE_SYSTEM_STATICTEXT;
        item.state = STATE_SYSTEM_READONLY;
        item.name = AsWide(DisplayIndicatorWords(engine));
        item.screen = IndicatorRect(window);
    } else if (child == kChildLayer) {
        item.role = ROLE_SYSTEM_STATICTEXT;
        item.state = STATE_SYSTEM_READONLY;
        item.name = AsWide(LayerSpokenName(calculator.keypad.keyLayer));
        item.screen = KeypadRect(window);
    } else {
        const int index = child - kChildFirstKey;
        item.role = ROLE_SYSTEM_PUSHBUTTON;
        item.name = AsWide(KeySpokenName(calculator.keypad, engine, keyMap, index));
        ui.keyNamesRead |= 1u << index;
        item.defaultAction = LoadText(IDS_ACC_PRESS);
        item.screen = KeyRect(window, index);
    }
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&item.screen), 2);
    return true;
}

// A key is pressed in the current layer as the keypad presses it; a soft key
// opens its menu after the screen reader's call has returned.
bool PressChild(HWND window, int child)
{
    if (child >= kChildFirstSoftKey) return PostSoftKeyPress(SHFindMenuBar(window), child - kChildFirstSoftKey);
    if (child < kChildFirstKey) return false;
    OnKeyDown(window, static_cast<WPARAM>(PhoneKeyOfIndex(child - kChildFirstKey)));
    return true;
}

int FocusedChild(HWND) { return kChildDisplay; }

const AccessibleTree kWindowTree = {ChildCount, DescribeChild, PressChild, FocusedChild};

// After each message: what a screen reader reads that has changed since the
// last is announced. Comparing costs a copy of a short text; a listener, if
// any, is told only of real changes. A layer change is spoken by the layer's
// text; of the keys, only those whose names a reader has read are told they
// changed (it reads them again, and is told again next time): a reader that
// has read none asks afresh when it comes to them, and a key press does not
// pay for twelve events it has no use for.
void AnnounceChanges(HWND window)
{
    if (window != ui.mainWindow) return;
    const std::wstring shown = ShownText();
    if (shown != ui.announcedText) {
        ui.announcedText = shown;
        AnnounceChild(window, EVENT_OBJECT_VALUECHANGE, kChildDisplay);
    }
    const char16_t* indicator = DisplayIndicatorWords(engine);
    if (indicator != ui.announcedIndicator) {
        ui.announcedIndicator = indicator;
        AnnounceChild(window, EVENT_OBJECT_NAMECHANGE, kChildIndicator);
    }
    if (calculator.keypad.keyLayer != ui.announcedLayer) {
        ui.announcedLayer = calculator.keypad.keyLayer;
        AnnounceChild(window, EVENT_OBJECT_NAMECHANGE, kChildLayer);
        const unsigned read = ui.keyNamesRead;
        ui.keyNamesRead = 0;
        for (int key = 0; key < 12; ++key)
            if (read & (1u << key)) AnnounceChild(window, EVENT_OBJECT_NAMECHANGE, kChildFirstKey + key);
    }
}

// The window took the keyboard focus: the display is where a screen reader
// starts, so that it says the number on arrival.
LRESULT OnSetFocus(HWND window)
{
    AnnounceChild(window, EVENT_OBJECT_FOCUS, kChildDisplay);
    return 0;
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
    DrawnText(engine, buffer, capacity);
    return buffer;
}

void SetZoom(HWND window, int zoom, bool chosen)
{
    ui.zoomChosen = ui.zoomChosen || chosen;
    ui.zoom = std::clamp(zoom, static_cast<int>(kMinZoom), static_cast<int>(kMaxZoom));
    SetScreenZoom(ui.zoom);
    FitToScreen(window);
    CreateDisplayFonts();
    ShowZoomChecked(window, ui.zoom);
    InvalidateRect(window, nullptr, TRUE);
}

void DispatchProgramMessage(MSG& msg)
{
    if (!TranslateDesktopKey(msg)) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

namespace {

LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: return OnCreate(window);
    case WM_PAINT: return OnPaint(window);
    case WM_KEYDOWN: return OnKeyDown(window, wParam);
    case WM_CHAR: return OnChar(window, wParam);
    case WM_HOTKEY: return OnHotKey(window, lParam);
    case WM_LBUTTONDOWN: return OnLeftButtonDown(window, lParam);
    case WM_MOUSEMOVE: return OnMouseMove(window, lParam);
    case WM_TIMER: return OnTimer(window);
    case kMsgCycleOpen: return OnCycleOpen(window);
    case kMsgCycleClose: return OnCycleClose(window);
    case kMsgDrawZoomedKeypad: return OnDrawZoomedKeypad(window);
    case WM_SIZE: return OnSize(window, wParam, lParam);
    case WM_SIZING: return OnSizing(window, wParam, lParam);
    case WM_GETMINMAXINFO: return OnGetMinMaxInfo(window, lParam);
    case WM_DPICHANGED: return OnDpiChanged(window, wParam);
    case WM_ENDSESSION: return OnEndSession(wParam);
    case WM_COMMAND:
        if (RunRequest(window, CommandOfMenuId(LOWORD(wParam)))) return 1;
        break;
    case kMsgFollowUp: return RunRequest(window, {static_cast<Command>(wParam), static_cast<int>(lParam)});
    case WM_DESTROY: return OnDestroy(window);
    case WM_SETFOCUS: return OnSetFocus(window);
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE: return OnSettingChange(window);
    case WM_GETOBJECT:
        if (LRESULT object = AnswerGetObject(window, wParam, lParam, kWindowTree)) return object;
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = HandleMessage(window, message, wParam, lParam);
    if (message != WM_GETOBJECT && message != WM_PAINT) AnnounceChanges(window);
    return result;
}
