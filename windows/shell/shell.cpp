// Soft-key bars, the Back-key override and full-screen dialogs on a desktop.
#include "windows/shell/shell.h"

#include <commctrl.h>

#include "resources/resource.h"
#include "windows/shell/accessible.h"
#include "windows/shell/spinner.h"

#include <cwchar>

namespace {

constexpr wchar_t kBarClass[] = L"VelaSoftKeyBar";
constexpr wchar_t kBarProperty[] = L"VelaSoftKeyBar";  // on the bar's window
constexpr wchar_t kParentProcProperty[] = L"VelaBarParentProc";  // on the parent: its own procedure
constexpr UINT kMsgPressButton = WM_USER + 1;  // to the bar: wParam = button

enum : int { kMaxButtons = 2, kMaxOverrides = 4, kLabelCapacity = 32 };

struct SoftKey {
    UINT command;
    UINT popupIndex;  // kSoftKeyNoPopup: the key sends `command`
    wchar_t label[kLabelCapacity];
};

struct KeyOverride {
    UINT key;
    UINT flags;  // SHMBOF_*
};

struct SoftKeyBar {
    HWND window;
    HWND parent;
    HMENU menu;  // owned
    int buttonCount;
    SoftKey buttons[kMaxButtons];
    int overrideCount;
    KeyOverride overrides[kMaxOverrides];
    int pressed;  // button shown pressed while its popup is open, or -1
};

// The shell's thread-wide state: one thread runs every window.
struct ShellState {
    ATOM barClass;
    HHOOK messageHook;
    int barCount;
    HWND menuOwner;     // parent whose popup is open
    POINT screenOrigin; // client origin of the first full-screen window
    bool hasScreen;
    HFONT labelFont;
    bool backDown;      // a Back press went out as WM_HOTKEY; its release follows it
    int zoom = 1;       // the phone's screen is this many times its size
};
ShellState shell;

SoftKeyBar* BarData(HWND bar)
{
    if (bar == nullptr) return nullptr;
    return reinterpret_cast<SoftKeyBar*>(GetWindowLongPtrW(bar, GWLP_USERDATA));
}

// Keeps the bar right under the parent's client area, as wide as it.
void PlaceBar(SoftKeyBar& bar)
{
    RECT client;
    GetClientRect(bar.parent, &client);
    POINT origin{0, 0};
    ClientToScreen(bar.parent, &origin);
    SetWindowPos(bar.window, nullptr, origin.x, origin.y + client.bottom, client.right,
                 kSoftKeyBarHeight * shell.zoom, SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOOWNERZORDER);
    bool shown = IsWindowVisible(bar.parent) && !IsIconic(bar.parent);
    if (shown != (IsWindowVisible(bar.window) != FALSE))
        ShowWindow(bar.window, shown ? SW_SHOWNOACTIVATE : SW_HIDE);
}

// The window rectangle around a client area that is the screen at `zoom`,
// relative to the client's origin.
RECT ScreenFrame(HWND window, int zoom)
{
    RECT frame{0, 0, kPhoneScreenWidth * zoom, kPhoneScreenHeight * zoom};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
    return frame;
}

// Sizes a window so that its client area is the phone's screen.
void SizeToScreen(HWND window, const POINT* clientOrigin)
{
    const RECT frame = ScreenFrame(window, shell.zoom);
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    int x = 0, y = 0;
    if (clientOrigin != nullptr) {
        x = clientOrigin->x + frame.left;
        y = clientOrigin->y + frame.top;
    } else {
        RECT now;
        GetWindowRect(window, &now);
        // Keep the window where it is, but never partly off the screen's top left.
        x = now.left < 0 ? 0 : now.left;
        y = now.top < 0 ? 0 : now.top;
    }
    SetWindowPos(window, nullptr, x, y, frame.right - frame.left, frame.bottom - frame.top, flags);
}

// The desktop's dialog font is wider than the phone's: a control that would
// reach past the screen's right edge ends at it instead.
void FitControlsToScreen(HWND dialog)
{
    RECT client;
    GetClientRect(dialog, &client);
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        int right = client.right - 1;
        if (rect.right <= client.right || rect.left >= right) continue;
        SetWindowPos(child, nullptr, 0, 0, right - rect.left, rect.bottom - rect.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

KeyOverride* FindOverride(SoftKeyBar& bar, UINT key)
{
    for (int i = 0; i < bar.overrideCount; ++i)
        if (bar.overrides[i].key == key) return &bar.overrides[i];
    return nullptr;
}

// Escape and Backspace are the desktop's Back key; Backspace not where the
// bar keeps it as a key of its own (an override for VK_BACK).
bool IsBackKey(SoftKeyBar& bar, WPARAM key)
{
    return key == VK_ESCAPE || (key == VK_BACK && FindOverride(bar, VK_BACK) == nullptr);
}

// Rewrites the desktop keys that the phone's shell handles before any window
// sees them: F1/F2 press the soft keys, Back becomes WM_HOTKEY where overridden.
void RewriteKeyMessage(MSG& msg)
{
    if (msg.hwnd == nullptr || shell.menuOwner != nullptr) return;
    bool down = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
    bool up = msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP;
    if (!down && !up) return;
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    SoftKeyBar* bar = BarData(SHFindMenuBar(root));
    if (bar == nullptr) return;

    if (msg.wParam == VK_TSOFT1 || msg.wParam == VK_TSOFT2) {
        if (down && (msg.lParam & (1 << 30)) == 0) {
            msg.hwnd = bar->window;
            msg.message = kMsgPressButton;
            msg.wParam = msg.wParam == VK_TSOFT1 ? 0 : 1;
            msg.lParam = 0;
        } else {
            msg.message = WM_NULL;
        }
        return;
    }
    if (!IsBackKey(*bar, msg.wParam)) return;
    const KeyOverride* over = FindOverride(*bar, VK_TBACK);
    if (over == nullptr) return;
    if (up && !shell.backDown) {
        // The press went elsewhere (it closed a popup menu): so does the release.
        msg.message = WM_NULL;
        return;
    }
    shell.backDown = down;
    if (over->flags & SHMBOF_NOTIFY) {
        UINT modifiers = up ? MOD_KEYUP : 0;
        msg.hwnd = root;
        msg.message = WM_HOTKEY;
        msg.wParam = 0;
        msg.lParam = MAKELPARAM(modifiers, VK_TBACK);
    } else if (over->flags & SHMBOF_NODEFAULT) {
        msg.message = WM_NULL;
    }
}

LRESULT CALLBACK MessageHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && wParam == PM_REMOVE)
        RewriteKeyMessage(*reinterpret_cast<MSG*>(lParam));
    return CallNextHookEx(shell.messageHook, code, wParam, lParam);
}

HFONT LabelFont()
{
    if (shell.labelFont == nullptr) {
        LOGFONTW font{};
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
        font.lfWeight = FW_BOLD;
        font.lfHeight = -12 * shell.zoom;
        shell.labelFont = CreateFontIndirectW(&font);
    }
    return shell.labelFont;
}

// The bar's colours: the phone's, or in high contrast the system's.
struct BarColours {
    COLORREF back, edge, pressed, label, pressedLabel, divider;
};

BarColours ColoursOfBar()
{
    if (HighContrastOn())
        return {GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNTEXT), GetSysColor(COLOR_HIGHLIGHT),
                GetSysColor(COLOR_BTNTEXT), GetSysColor(COLOR_HIGHLIGHTTEXT), GetSysColor(COLOR_BTNTEXT)};
    return {RGB(28, 44, 84), RGB(120, 150, 210), RGB(70, 110, 190), RGB(255, 255, 255), RGB(255, 255, 255),
            RGB(90, 110, 150)};
}

void Fill(HDC dc, const RECT& rect, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

// The phone's bar: a dark strip, a lighter top edge, white labels at both ends.
void PaintBar(SoftKeyBar& bar, HDC dc)
{
    const BarColours colours = ColoursOfBar();
    RECT rect;
    GetClientRect(bar.window, &rect);
    Fill(dc, rect, colours.back);
    Fill(dc, RECT{rect.left, rect.top, rect.right, rect.top + 1}, colours.edge);

    int half = (rect.right - rect.left) / 2;
    if (bar.pressed >= 0) {
        RECT hot{bar.pressed == 0 ? rect.left : rect.left + half, rect.top + 1,
                 bar.pressed == 0 ? rect.left + half : rect.right, rect.bottom};
        Fill(dc, hot, colours.pressed);
    }
    HGDIOBJ oldFont = SelectObject(dc, LabelFont());
    SetBkMode(dc, TRANSPARENT);
    for (int i = 0; i < bar.buttonCount; ++i) {
        RECT text{rect.left + 4, rect.top + 1, rect.right - 4, rect.bottom};
        if (i == 0) text.right = rect.left + half;
        if (i == 1) text.left = rect.left + half;
        UINT align = i == 0 ? DT_LEFT : DT_RIGHT;
        SetTextColor(dc, i == bar.pressed ? colours.pressedLabel : colours.label);
        DrawTextW(dc, bar.buttons[i].label, -1, &text,
                  align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    if (bar.buttonCount == 2) Fill(dc, RECT{rect.left + half, rect.top + 6, rect.left + half + 1, rect.bottom - 5},
                                   colours.divider);
    SelectObject(dc, oldFont);
}

HMENU ButtonPopup(const SoftKeyBar& bar, int button)
{
    if (button < 0 || button >= bar.buttonCount || bar.menu == nullptr) return nullptr;
    if (bar.buttons[button].popupIndex == kSoftKeyNoPopup) return nullptr;
    return GetSubMenu(bar.menu, static_cast<int>(bar.buttons[button].popupIndex));
}

BOOL Press(SoftKeyBar& bar, int button)
{
    if (button < 0 || button >= bar.buttonCount) return FALSE;
    if (!IsWindowEnabled(bar.parent) || shell.menuOwner != nullptr) return FALSE;
    const SoftKey& key = bar.buttons[button];
    if (key.popupIndex == kSoftKeyNoPopup) {
        PostMessageW(bar.parent, WM_COMMAND, MAKEWPARAM(key.command, 0),
                     reinterpret_cast<LPARAM>(bar.window));
        return TRUE;
    }
    HMENU popup = ButtonPopup(bar, button);
    if (popup == nullptr) return FALSE;
    RECT rect;
    GetWindowRect(bar.window, &rect);
    UINT flags = TPM_BOTTOMALIGN | TPM_LEFTBUTTON | (button == 0 ? TPM_LEFTALIGN : TPM_RIGHTALIGN);
    int x = button == 0 ? rect.left : rect.right;
    bar.pressed = button;
    InvalidateRect(bar.window, nullptr, TRUE);
    UpdateWindow(bar.window);
    SetForegroundWindow(bar.parent);
    shell.menuOwner = bar.parent;
    HWND window = bar.window;
    TrackPopupMenuEx(popup, flags, x, rect.top, bar.parent, nullptr);
    shell.menuOwner = nullptr;
    // The bar may be gone when a command of the popup closed its window.
    SoftKeyBar* still = BarData(window);
    if (still != nullptr) {
        still->pressed = -1;
        InvalidateRect(window, nullptr, TRUE);
    }
    return TRUE;
}

// Soft key `button`'s part of the bar, in the bar's client area: its half,
// or the whole bar for a single key (a click anywhere presses that one).
RECT ButtonRect(const SoftKeyBar& bar, int button)
{
    RECT rect;
    GetClientRect(bar.window, &rect);
    if (bar.buttonCount == 2) {
        const int half = (rect.right - rect.left) / 2;
        if (button == 0) rect.right = rect.left + half;
        else rect.left += half;
    }
    return rect;
}

// --- The bar as a screen reader reads it: its soft keys as push buttons ------

int BarChildCount(HWND window)
{
    SoftKeyBar* bar = BarData(window);
    return bar != nullptr ? bar->buttonCount : 0;
}

bool DescribeBar(HWND window, int child, AccessibleItem& item)
{
    SoftKeyBar* bar = BarData(window);
    if (bar == nullptr || child < 0 || child > bar->buttonCount) return false;
    if (child == 0) {
        item.role = ROLE_SYSTEM_TOOLBAR;
        wchar_t name[kLabelCapacity];
        if (LoadStringW(GetModuleHandleW(nullptr), IDS_ACC_SOFT_KEYS, name, kLabelCapacity) > 0) item.name = name;
        GetClientRect(window, &item.screen);
    } else {
        return SoftKeyAccessible(window, child - 1, item);
    }
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&item.screen), 2);
    return true;
}

bool PressBarChild(HWND window, int child) { return child > 0 && PostSoftKeyPress(window, child - 1); }

const AccessibleTree kBarTree = {BarChildCount, DescribeBar, PressBarChild, nullptr};

LRESULT CALLBACK BarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    SoftKeyBar* bar = BarData(window);
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        if (bar != nullptr) PaintBar(*bar, dc);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_GETOBJECT:
        if (LRESULT object = AnswerGetObject(window, wParam, lParam, kBarTree)) return object;
        break;
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:  // high contrast on or off: other colours
        InvalidateRect(window, nullptr, TRUE);
        break;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_LBUTTONDOWN:
        if (bar != nullptr && bar->buttonCount > 0) {
            RECT rect;
            GetClientRect(window, &rect);
            int x = static_cast<short>(LOWORD(lParam));
            int button = (bar->buttonCount == 2 && x >= rect.right / 2) ? 1 : 0;
            Press(*bar, button);
        }
        return 0;
    case kMsgPressButton:
        return bar != nullptr ? Press(*bar, static_cast<int>(wParam)) : FALSE;
    case SHCMBM_GETSUBMENU:
        if (bar != nullptr) {
            UINT command = lParam != 0 ? static_cast<UINT>(lParam) : static_cast<UINT>(wParam);
            for (int i = 0; i < bar->buttonCount; ++i)
                if (bar->buttons[i].command == command)
                    return reinterpret_cast<LRESULT>(ButtonPopup(*bar, i));
        }
        return 0;
    case SHCMBM_GETMENU:
        return bar != nullptr ? reinterpret_cast<LRESULT>(bar->menu) : 0;
    case SHCMBM_OVERRIDEKEY: {
        if (bar == nullptr) return FALSE;
        UINT key = static_cast<UINT>(wParam);
        UINT mask = LOWORD(lParam);
        UINT value = HIWORD(lParam);
        KeyOverride* over = FindOverride(*bar, key);
        if (over == nullptr) {
            if (bar->overrideCount == kMaxOverrides) return FALSE;
            over = &bar->overrides[bar->overrideCount++];
            over->key = key;
            over->flags = 0;
        }
        over->flags = (over->flags & ~mask) | (value & mask);
        return TRUE;
    }
    case WM_NCDESTROY:
        if (bar != nullptr) {
            if (GetPropW(bar->parent, kBarProperty) == window) RemovePropW(bar->parent, kBarProperty);
            if (bar->menu != nullptr) DestroyMenu(bar->menu);
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            HeapFree(GetProcessHeap(), 0, bar);
            if (--shell.barCount == 0 && shell.messageHook != nullptr) {
                UnhookWindowsHookEx(shell.messageHook);
                shell.messageHook = nullptr;
            }
        }
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CallParent(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto own = reinterpret_cast<WNDPROC>(GetPropW(window, kParentProcProperty));
    if (own == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    return CallWindowProcW(own, window, message, wParam, lParam);
}

// Follows the parent: moves, shows and hides the bar with it. The parent's
// own procedure is swapped for this one (no subclassing library needed at
// start-up) and put back as the parent goes.
LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_WINDOWPOSCHANGED:
    case WM_SIZE:
    case WM_MOVE:
    case WM_SHOWWINDOW: {
        LRESULT result = CallParent(window, message, wParam, lParam);
        SoftKeyBar* bar = BarData(SHFindMenuBar(window));
        if (bar != nullptr) {
            if (message == WM_SHOWWINDOW)
                ShowWindow(bar->window, wParam ? SW_SHOWNOACTIVATE : SW_HIDE);
            else
                PlaceBar(*bar);
        }
        return result;
    }
    case WM_NCDESTROY: {
        HWND barWindow = SHFindMenuBar(window);
        RemovePropW(window, kBarProperty);
        if (barWindow != nullptr) DestroyWindow(barWindow);
        auto own = reinterpret_cast<WNDPROC>(RemovePropW(window, kParentProcProperty));
        if (own == nullptr) break;
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
        return CallWindowProcW(own, window, message, wParam, lParam);
    }
    }
    return CallParent(window, message, wParam, lParam);
}

void FollowParent(HWND parent)
{
    if (GetPropW(parent, kParentProcProperty) != nullptr) return;  // a bar was there before
    auto own = reinterpret_cast<HANDLE>(GetWindowLongPtrW(parent, GWLP_WNDPROC));
    if (own == nullptr || !SetPropW(parent, kParentProcProperty, own)) return;
    SetWindowLongPtrW(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ParentProc));
}

bool RegisterBarClass(HINSTANCE instance)
{
    if (shell.barClass != 0) return true;
    WNDCLASSW wc{};
    wc.lpfnWndProc = BarProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = kBarClass;
    shell.barClass = RegisterClassW(&wc);
    return shell.barClass != 0;
}

// Reads a bar resource into `bar`; false if it is missing or malformed.
bool ReadBarResource(SoftKeyBar& bar, HINSTANCE instance, UINT id)
{
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));  // RT_RCDATA
    if (found == nullptr) return false;
    DWORD size = SizeofResource(instance, found);
    HGLOBAL loaded = LoadResource(instance, found);
    const WORD* words = loaded != nullptr ? static_cast<const WORD*>(LockResource(loaded)) : nullptr;
    if (words == nullptr || size < 4) return false;
    size_t count = size / sizeof(WORD);
    UINT menuId = words[0];
    int buttons = words[1];
    if (buttons < 0 || buttons > kMaxButtons || count < 2 + 3 * static_cast<size_t>(buttons))
        return false;
    if (menuId != 0) {
        bar.menu = LoadMenuW(instance, MAKEINTRESOURCEW(menuId));
        if (bar.menu == nullptr) return false;
    }
    bar.buttonCount = buttons;
    for (int i = 0; i < buttons; ++i) {
        SoftKey& key = bar.buttons[i];
        key.command = words[2 + 3 * i];
        UINT label = words[3 + 3 * i];
        key.popupIndex = words[4 + 3 * i];
        if (LoadStringW(instance, label, key.label, kLabelCapacity) <= 0) key.label[0] = 0;
        if (key.popupIndex != kSoftKeyNoPopup &&
            (bar.menu == nullptr || GetSubMenu(bar.menu, static_cast<int>(key.popupIndex)) == nullptr))
            return false;
    }
    return true;
}

}  // namespace

BOOL SHCreateMenuBar(SHMENUBARINFO* info)
{
    if (info == nullptr || info->cbSize < sizeof(SHMENUBARINFO) || !IsWindow(info->hwndParent))
        return FALSE;
    info->hwndMB = nullptr;
    HINSTANCE instance = info->hInstRes != nullptr ? info->hInstRes : GetModuleHandleW(nullptr);
    if (!RegisterBarClass(GetModuleHandleW(nullptr))) return FALSE;
    if (SHFindMenuBar(info->hwndParent) != nullptr) return FALSE;

    auto* bar = static_cast<SoftKeyBar*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(SoftKeyBar)));
    if (bar == nullptr) return FALSE;
    bar->parent = info->hwndParent;
    bar->pressed = -1;
    if ((info->dwFlags & SHCMBF_EMPTYBAR) == 0 && !ReadBarResource(*bar, instance, info->nToolBarId)) {
        if (bar->menu != nullptr) DestroyMenu(bar->menu);
        HeapFree(GetProcessHeap(), 0, bar);
        return FALSE;
    }
    // An owned popup, not a child: the parent's client area stays the screen.
    HWND window = CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, kBarClass, L"",
                                  WS_POPUP | WS_CLIPSIBLINGS, 0, 0, kPhoneScreenWidth * shell.zoom,
                                  kSoftKeyBarHeight * shell.zoom, info->hwndParent, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (window == nullptr) {
        if (bar->menu != nullptr) DestroyMenu(bar->menu);
        HeapFree(GetProcessHeap(), 0, bar);
        return FALSE;
    }
    bar->window = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(bar));
    SetPropW(info->hwndParent, kBarProperty, window);
    FollowParent(info->hwndParent);
    if (shell.barCount++ == 0)
        shell.messageHook = SetWindowsHookExW(WH_GETMESSAGE, MessageHook, nullptr, GetCurrentThreadId());

    // A top-level window without owner is a full-screen program window.
    HWND parent = info->hwndParent;
    if (GetWindow(parent, GW_OWNER) == nullptr && (GetWindowLongPtrW(parent, GWL_STYLE) & WS_CHILD) == 0) {
        SizeToScreen(parent, nullptr);
        POINT origin{0, 0};
        ClientToScreen(parent, &origin);
        shell.screenOrigin = origin;
        shell.hasScreen = true;
    }
    PlaceBar(*bar);
    if (info->dwFlags & SHCMBF_HIDDEN) ShowWindow(window, SW_HIDE);
    info->hwndMB = window;
    return TRUE;
}

HWND SHFindMenuBar(HWND window)
{
    if (window == nullptr) return nullptr;
    return static_cast<HWND>(GetPropW(window, kBarProperty));
}

BOOL SHInitDialog(SHINITDLGINFO* info)
{
    if (info == nullptr || !IsWindow(info->hDlg)) return FALSE;
    const DWORD sizing = SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_FULLSCREENNOMENUBAR;
    if ((info->dwMask & SHIDIM_FLAGS) != 0 && (info->dwFlags & sizing) != 0) {
        // Over the main window's screen when there is one, else where it is.
        POINT origin = shell.screenOrigin;
        HWND owner = GetWindow(info->hDlg, GW_OWNER);
        if (owner != nullptr) {
            HWND root = GetAncestor(owner, GA_ROOT);
            origin = POINT{0, 0};
            ClientToScreen(root, &origin);
        }
        SizeToScreen(info->hDlg, (owner != nullptr || shell.hasScreen) ? &origin : nullptr);
        FitControlsToScreen(info->hDlg);
    }
    // Every list box with an up-down becomes the phone's spinner.
    AttachSpinners(info->hDlg);
    NameControlsForScreenReaders(info->hDlg);
    return TRUE;
}

HMENU SoftKeyBarMenu(HWND bar)
{
    SoftKeyBar* data = BarData(bar);
    return data != nullptr ? data->menu : nullptr;
}

BOOL PressSoftKey(HWND bar, int button)
{
    SoftKeyBar* data = BarData(bar);
    return data != nullptr ? Press(*data, button) : FALSE;
}

const wchar_t* SoftKeyLabel(HWND bar, int button)
{
    SoftKeyBar* data = BarData(bar);
    if (data == nullptr || button < 0 || button >= data->buttonCount) return L"";
    return data->buttons[button].label;
}

HWND SoftKeyMenuOwner() { return shell.menuOwner; }

HighContrastProbe highContrastProbe = nullptr;

bool HighContrastOn()
{
    if (highContrastProbe != nullptr) return highContrastProbe();
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

bool PostSoftKeyPress(HWND bar, int button)
{
    SoftKeyBar* data = BarData(bar);
    if (data == nullptr || button < 0 || button >= data->buttonCount) return false;
    return PostMessageW(bar, kMsgPressButton, static_cast<WPARAM>(button), 0) != FALSE;
}

bool SoftKeyAccessible(HWND bar, int button, AccessibleItem& item)
{
    SoftKeyBar* data = BarData(bar);
    if (data == nullptr || button < 0 || button >= data->buttonCount) return false;
    item.role = ROLE_SYSTEM_PUSHBUTTON;
    item.name = data->buttons[button].label;
    wchar_t action[kLabelCapacity];
    if (LoadStringW(GetModuleHandleW(nullptr), IDS_ACC_PRESS, action, kLabelCapacity) > 0) item.defaultAction = action;
    if (data->buttons[button].popupIndex != kSoftKeyNoPopup) item.state |= STATE_SYSTEM_HASPOPUP;
    if (data->pressed == button) item.state |= STATE_SYSTEM_PRESSED;
    if (!IsWindowEnabled(data->parent)) item.state |= STATE_SYSTEM_UNAVAILABLE;
    item.screen = ButtonRect(*data, button);
    MapWindowPoints(bar, nullptr, reinterpret_cast<POINT*>(&item.screen), 2);
    return true;
}

void SetScreenZoom(int zoom)
{
    if (zoom == shell.zoom) return;
    shell.zoom = zoom;
    if (shell.labelFont != nullptr) DeleteObject(shell.labelFont);
    shell.labelFont = nullptr;
}

void FitToScreen(HWND window)
{
    SizeToScreen(window, nullptr);
    SoftKeyBar* bar = BarData(SHFindMenuBar(window));
    if (bar != nullptr) InvalidateRect(bar->window, nullptr, TRUE);
}

SIZE ScreenFrameSize(HWND window, int zoom)
{
    const RECT frame = ScreenFrame(window, zoom);
    return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}
