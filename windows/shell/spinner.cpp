// Spinners: a one-line list box paired with a horizontal up-down, worked as
// on the phone. The list box is subclassed and draws the whole field itself
// (the selected item and two small arrows), so that neither the list box's
// own scrolling nor the desktop's up-down control decides what it shows;
// the up-down stays in the dialog, hidden, as the record of the spinner's
// styles (UDS_WRAP, UDS_EXPANDABLE) and its caption.
#include "windows/shell/spinner.h"

#include "resources/resource.h"
#include "windows/shell/accessible.h"
#include "windows/shell/common_controls.h"

namespace {

constexpr UINT_PTR kListSubclassId = 0x5E1B;
constexpr UINT_PTR kUpDownSubclassId = 0x5E1C;
constexpr UINT_PTR kPopupSubclassId = 0x5E1D;
constexpr UINT_PTR kReadListSubclassId = 0x5E1E;
constexpr UINT_PTR kReadCheckSubclassId = 0x5E1F;
constexpr wchar_t kSpinnerProperty[] = L"VelaSpinner";  // on the list: its up-down

enum : int {
    kShortText = 128,       // item texts longer than this are read into the heap
    kTitleCapacity = 64,
    kArrowGap = 2,          // pixels between the arrows and round them
};

// The list opened over the dialog by the action key; one at a time.
struct Expansion {
    HWND popup;
    bool done;
    bool picked;
};
Expansion* openExpansion;

bool HasClass(HWND window, const wchar_t* name)
{
    wchar_t found[32];
    if (GetClassNameW(window, found, 32) == 0) return false;
    return lstrcmpiW(found, name) == 0;
}

bool HasStyle(HWND window, DWORD style)
{
    return (static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)) & style) == style;
}

int ItemCount(HWND list) { return static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0)); }
int Selection(HWND list) { return static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0)); }

// The text of item `index`: in `buffer` when it fits, else in the heap
// (release with ReleaseItemText). Null when there is none.
wchar_t* ItemText(HWND list, int index, wchar_t* buffer, int capacity)
{
    LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR || length < 0) return nullptr;
    wchar_t* text = buffer;
    if (length >= capacity) {
        const SIZE_T bytes = (static_cast<SIZE_T>(length) + 1) * sizeof(wchar_t);
        text = static_cast<wchar_t*>(HeapAlloc(GetProcessHeap(), 0, bytes));
        if (text == nullptr) return nullptr;
    }
    text[0] = 0;
    LRESULT got = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    if (got == LB_ERR || got > length) text[0] = 0;
    else text[got] = 0;
    return text;
}

void ReleaseItemText(wchar_t* text, const wchar_t* buffer)
{
    if (text != nullptr && text != buffer) HeapFree(GetProcessHeap(), 0, text);
}

void NotifySelectionChange(HWND list)
{
    HWND parent = GetParent(list);
    if (parent == nullptr) return;
    SendMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}

// Where a step of `delta` from `current` lands; the ends hold unless `wrap`.
int NextIndex(int current, int count, int delta, bool wrap)
{
    if (current < 0 || current >= count) return delta > 0 || !wrap ? 0 : count - 1;
    int next = current + delta;
    if (next < 0) return wrap ? count - 1 : 0;
    if (next >= count) return wrap ? 0 : count - 1;
    return next;
}

void Step(HWND list, HWND updown, int delta)
{
    int count = ItemCount(list);
    if (count <= 0) return;
    int current = Selection(list);
    int next = NextIndex(current, count, delta, HasStyle(updown, UDS_WRAP));
    if (next == current) return;
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(next), 0);
    NotifySelectionChange(list);
}

// Up and Down leave the spinner for the control before or after it.
void MoveFocus(HWND list, bool backwards)
{
    HWND parent = GetParent(list);
    if (parent != nullptr) SendMessageW(parent, WM_NEXTDLGCTL, backwards ? 1 : 0, FALSE);
}

// --- The field --------------------------------------------------------------

struct FieldLayout {
    RECT text;
    RECT leftArrow;
    RECT rightArrow;
    int split;  // clicks at or right of this x are on the right arrow
};

FieldLayout Layout(HWND list)
{
    RECT client;
    GetClientRect(list, &client);
    int height = client.bottom - client.top;
    int half = height / 3;  // arrow width; its height is 2 * half - 1
    if (half < 3) half = 3;
    if (half > 6) half = 6;
    FieldLayout f{};
    int middle = (client.top + client.bottom) / 2;
    f.rightArrow = RECT{client.right - kArrowGap - half, middle - half + 1, client.right - kArrowGap, middle + half};
    f.leftArrow = RECT{f.rightArrow.left - kArrowGap - half, f.rightArrow.top, f.rightArrow.left - kArrowGap,
                       f.rightArrow.bottom};
    f.text = RECT{client.left, client.top, f.leftArrow.left - kArrowGap, client.bottom};
    if (f.text.right < f.text.left) f.text.right = f.text.left;
    f.split = f.rightArrow.left - kArrowGap / 2;
    return f;
}

void DrawArrow(HDC dc, const RECT& box, bool pointsLeft, bool enabled)
{
    int half = box.right - box.left;
    int middle = (box.top + box.bottom) / 2;
    POINT points[3];
    if (pointsLeft) {
        points[0] = POINT{box.right - 1, middle - (half - 1)};
        points[1] = POINT{box.right - 1, middle + (half - 1)};
        points[2] = POINT{box.left, middle};
    } else {
        points[0] = POINT{box.left, middle - (half - 1)};
        points[1] = POINT{box.left, middle + (half - 1)};
        points[2] = POINT{box.right - 1, middle};
    }
    int color = enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT;
    HGDIOBJ oldBrush = SelectObject(dc, GetSysColorBrush(color));
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(color));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    Polygon(dc, points, 3);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
}

void PaintField(HWND list, HWND updown, HDC dc)
{
    RECT client;
    GetClientRect(list, &client);
    FieldLayout f = Layout(list);
    bool enabled = IsWindowEnabled(list) != FALSE;
    bool focused = enabled && GetFocus() == list;
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    if (focused) FillRect(dc, &f.text, GetSysColorBrush(COLOR_HIGHLIGHT));

    int count = ItemCount(list);
    int current = Selection(list);
    if (current >= 0 && current < count) {
        wchar_t buffer[kShortText];
        wchar_t* text = ItemText(list, current, buffer, kShortText);
        if (text != nullptr) {
            auto font = reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0));
            HGDIOBJ oldFont = SelectObject(dc, font != nullptr ? font : GetStockObject(DEFAULT_GUI_FONT));
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, GetSysColor(!enabled ? COLOR_GRAYTEXT : focused ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
            RECT area = f.text;
            area.left += 2;
            DrawTextW(dc, text, -1, &area, DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
            SelectObject(dc, oldFont);
            ReleaseItemText(text, buffer);
        }
    }
    bool wrap = HasStyle(updown, UDS_WRAP);
    bool several = count > 1;
    DrawArrow(dc, f.leftArrow, true, enabled && several && (wrap || current != 0));
    DrawArrow(dc, f.rightArrow, false, enabled && several && (wrap || current != count - 1));
}

// --- The list opened over the dialog ------------------------------------------

void FinishExpansion(Expansion& expansion, bool picked)
{
    expansion.done = true;
    expansion.picked = picked;
    PostMessageW(expansion.popup, WM_NULL, 0, 0);  // wakes the loop
}

LRESULT CALLBACK PopupProc(HWND popup, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR ref)
{
    auto* expansion = reinterpret_cast<Expansion*>(ref);
    switch (message) {
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
        switch (wParam) {
        case VK_RETURN:
        case VK_F1:  // the left soft key of the dialog's bar: "Ok"
            FinishExpansion(*expansion, true);
            return 0;
        case VK_ESCAPE:
        case VK_BACK:
        case VK_F2:
            FinishExpansion(*expansion, false);
            return 0;
        }
        break;
    case WM_CHAR:
        if (wParam == L'\r' || wParam == 0x1B || wParam == L'\b') return 0;
        break;
    case WM_LBUTTONDBLCLK: {
        LRESULT result = DefaultSubclass(popup, message, wParam, lParam);
        FinishExpansion(*expansion, true);
        return result;
    }
    case WM_CLOSE:
        FinishExpansion(*expansion, false);
        return 0;
    case WM_NCDESTROY:
        expansion->done = true;
        DetachSubclass(popup, PopupProc, id);
        break;
    }
    return DefaultSubclass(popup, message, wParam, lParam);
}

HWND CreatePopup(HWND list, HWND updown, HWND root)
{
    wchar_t title[kTitleCapacity] = {};
    if (GetWindowTextW(updown, title, kTitleCapacity) <= 0) GetWindowTextW(root, title, kTitleCapacity);
    RECT area;
    GetWindowRect(root, &area);
    auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(list, GWLP_HINSTANCE));
    HWND popup = CreateWindowExW(0, L"ListBox", title,
                                 WS_POPUP | WS_CAPTION | WS_VSCROLL | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT,
                                 area.left, area.top, area.right - area.left, area.bottom - area.top, root,
                                 nullptr, instance, nullptr);
    if (popup == nullptr) return nullptr;
    SendMessageW(popup, WM_SETFONT, SendMessageW(list, WM_GETFONT, 0, 0), FALSE);
    int count = ItemCount(list);
    for (int i = 0; i < count; ++i) {
        wchar_t buffer[kShortText];
        wchar_t* text = ItemText(list, i, buffer, kShortText);
        LRESULT added = SendMessageW(popup, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text != nullptr ? text : L""));
        ReleaseItemText(text, buffer);
        if (added < 0) {  // out of memory: no list rather than a wrong one
            DestroyWindow(popup);
            return nullptr;
        }
    }
    int current = Selection(list);
    SendMessageW(popup, LB_SETCURSEL, static_cast<WPARAM>(current >= 0 ? current : 0), 0);
    return popup;
}

LRESULT CALLBACK ReadListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR);

// Runs the full-screen list until Enter or Back, then takes its choice.
void Expand(HWND list, HWND updown)
{
    if (openExpansion != nullptr || ItemCount(list) <= 0) return;
    HWND root = GetAncestor(list, GA_ROOT);
    HWND popup = CreatePopup(list, updown, root);
    if (popup == nullptr) return;
    Expansion expansion{popup, false, false};
    AttachSubclass(popup, PopupProc, kPopupSubclassId, reinterpret_cast<DWORD_PTR>(&expansion));
    AttachSubclass(popup, ReadListProc, kReadListSubclassId, 0);
    openExpansion = &expansion;
    EnableWindow(root, FALSE);
    ShowWindow(popup, SW_SHOW);
    SetActiveWindow(popup);
    SetFocus(popup);

    while (!expansion.done && IsWindow(popup)) {
        MSG msg;
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop that owns the quit
            break;
        }
        if (got == -1) break;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }

    int chosen = -1;
    if (expansion.picked && IsWindow(popup)) chosen = static_cast<int>(SendMessageW(popup, LB_GETCURSEL, 0, 0));
    openExpansion = nullptr;
    EnableWindow(root, TRUE);
    if (IsWindow(popup)) {
        DetachSubclass(popup, PopupProc, kPopupSubclassId);
        SetActiveWindow(root);
        DestroyWindow(popup);
    }
    if (!IsWindow(list)) return;
    SetFocus(list);
    if (chosen >= 0 && chosen < ItemCount(list) && chosen != Selection(list)) {
        SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
        NotifySelectionChange(list);
    }
}

// --- The subclassed controls ---------------------------------------------------

bool OnKey(HWND list, HWND updown, WPARAM key)
{
    switch (key) {
    case VK_LEFT: Step(list, updown, -1); return true;
    case VK_RIGHT: Step(list, updown, 1); return true;
    case VK_UP: MoveFocus(list, true); return true;
    case VK_DOWN: MoveFocus(list, false); return true;
    case VK_RETURN:
        if (!HasStyle(updown, UDS_EXPANDABLE)) return false;
        Expand(list, updown);
        return true;
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
        return true;  // the list box would scroll its one line away
    }
    return false;
}

void OnClick(HWND list, HWND updown, int x, bool doubleClick)
{
    SetFocus(list);
    FieldLayout f = Layout(list);
    if (x >= f.leftArrow.left - kArrowGap) Step(list, updown, x >= f.split ? 1 : -1);
    else if (doubleClick && HasStyle(updown, UDS_EXPANDABLE)) Expand(list, updown);
}

// List box messages after which the field shows something else.
bool ChangesField(UINT message)
{
    switch (message) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_SIZE:
    case WM_SETFONT:
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_DELETESTRING:
    case LB_RESETCONTENT:
    case LB_SETCURSEL:
    case LB_SELECTSTRING:
    case LB_SETSEL:
    case LB_SETTOPINDEX:
    case LB_SETCARETINDEX:
    case LB_DIR:
    case LB_ADDFILE:
        return true;
    }
    return false;
}

// --- The spinner as a screen reader reads it -----------------------------------
// One control, not a list of items: named by its up-down's caption, its value
// the item it shows.

int SpinnerChildCount(HWND) { return 0; }

// A list read as one control of `role`: its name, the selected item as its
// value, its place.
bool DescribeListAs(HWND list, LONG role, const wchar_t* name, AccessibleItem& item)
{
    item.role = role;
    item.state = STATE_SYSTEM_FOCUSABLE | (IsWindowEnabled(list) ? 0 : STATE_SYSTEM_UNAVAILABLE);
    item.name = name;
    wchar_t buffer[kShortText];
    wchar_t* text = ItemText(list, Selection(list), buffer, kShortText);
    if (text != nullptr) item.value = text;
    ReleaseItemText(text, buffer);
    GetWindowRect(list, &item.screen);
    return true;
}

bool DescribeSpinner(HWND list, int child, AccessibleItem& item)
{
    if (child != 0) return false;
    auto updown = static_cast<HWND>(GetPropW(list, kSpinnerProperty));
    wchar_t name[kTitleCapacity] = {};
    if (updown != nullptr) GetWindowTextW(updown, name, kTitleCapacity);
    return DescribeListAs(list, ROLE_SYSTEM_SPINBUTTON, name, item);
}

const AccessibleTree kSpinnerTree = {SpinnerChildCount, DescribeSpinner, nullptr, nullptr};

// Messages after which the spinner may show another item.
bool ChangesItem(UINT message)
{
    return message == LB_SETCURSEL || message == LB_SELECTSTRING || message == LB_RESETCONTENT ||
           message == LB_DELETESTRING;
}

LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR ref)
{
    auto updown = reinterpret_cast<HWND>(ref);
    switch (message) {
    case WM_GETDLGCODE: {
        // The arrows stay here; Enter too where it opens the list.
        LRESULT code = DLGC_WANTARROWS;
        const MSG* msg = reinterpret_cast<const MSG*>(lParam);
        if (msg != nullptr && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN &&
            HasStyle(updown, UDS_EXPANDABLE))
            code |= DLGC_WANTMESSAGE;
        return code;
    }
    case WM_KEYDOWN:
        if (OnKey(list, updown, wParam)) return 0;
        break;
    case WM_CHAR:
        return 0;  // no type-ahead: the selection moves by steps only
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        OnClick(list, updown, static_cast<short>(LOWORD(lParam)), message == WM_LBUTTONDBLCLK);
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
        return 0;
    case WM_MOUSEWHEEL:
        Step(list, updown, static_cast<short>(HIWORD(wParam)) > 0 ? -1 : 1);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_GETOBJECT:
        if (LRESULT object = AnswerGetObject(list, wParam, lParam, kSpinnerTree)) return object;
        break;
    case WM_PRINTCLIENT:
        PaintField(list, updown, reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_PAINT: {
        if (wParam != 0) {
            PaintField(list, updown, reinterpret_cast<HDC>(wParam));
            return 0;
        }
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(list, &paint);
        PaintField(list, updown, dc);
        EndPaint(list, &paint);
        return 0;
    }
    case WM_NCDESTROY:
        RemovePropW(list, kSpinnerProperty);
        DetachSubclass(list, ListProc, id);
        break;
    default:
        if (ChangesField(message)) {
            LRESULT result = DefaultSubclass(list, message, wParam, lParam);
            // The list box may have drawn or scrolled on its own: draw over it.
            InvalidateRect(list, nullptr, FALSE);
            if (ChangesItem(message)) NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, list, OBJID_CLIENT, CHILDID_SELF);
            return result;
        }
    }
    return DefaultSubclass(list, message, wParam, lParam);
}

// The hidden up-down passes whatever still reaches it to its list.
LRESULT CALLBACK UpDownProc(HWND updown, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR ref)
{
    auto list = reinterpret_cast<HWND>(ref);
    switch (message) {
    case WM_SETFOCUS:
        if (IsWindow(list)) SetFocus(list);
        return 0;
    case WM_KEYDOWN:
        if (IsWindow(list)) return SendMessageW(list, message, wParam, lParam);
        break;
    case WM_LBUTTONDOWN: {
        if (!IsWindow(list)) break;
        SetFocus(list);
        RECT rect;
        GetClientRect(updown, &rect);
        Step(list, updown, static_cast<short>(LOWORD(lParam)) >= rect.right / 2 ? 1 : -1);
        return 0;
    }
    case WM_NCDESTROY:
        DetachSubclass(updown, UpDownProc, id);
        break;
    }
    return DefaultSubclass(updown, message, wParam, lParam);
}

// The field runs from the list's left edge to the up-down's right edge at
// the list's height, inside the dialog.
void PlaceField(HWND list, HWND updown, HWND dialog)
{
    RECT field, arrows, client;
    GetWindowRect(list, &field);
    GetWindowRect(updown, &arrows);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&field), 2);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&arrows), 2);
    GetClientRect(dialog, &client);
    if (arrows.right > field.right) field.right = arrows.right;
    if (field.right > client.right - 1) field.right = client.right - 1;
    if (field.right <= field.left) return;
    SetWindowPos(list, nullptr, field.left, field.top, field.right - field.left, field.bottom - field.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void Attach(HWND list, HWND updown, HWND dialog)
{
    if (GetPropW(list, kSpinnerProperty) != nullptr) return;
    if (!AttachSubclass(list, ListProc, kListSubclassId, reinterpret_cast<DWORD_PTR>(updown))) return;
    SetPropW(list, kSpinnerProperty, updown);
    AttachSubclass(updown, UpDownProc, kUpDownSubclassId, reinterpret_cast<DWORD_PTR>(list));
    PlaceField(list, updown, dialog);
    ShowWindow(updown, SW_HIDE);
    InvalidateRect(list, nullptr, TRUE);
}

// --- Lists and check boxes as a screen reader reads them ----------------------
// The system's proxies for them differ (under Wine a check box is a "client"
// without state, a list has no value): ours say the same everywhere.

// A list over a whole dialog is named by the dialog's title (a spinner's
// list opened over its dialog by its own, the spinner's name); its value is
// the selected item, announced when the selection moves.
bool DescribeWholeList(HWND list, int child, AccessibleItem& item)
{
    if (child != 0) return false;
    wchar_t name[kTitleCapacity] = {};
    if (GetWindowTextW(list, name, kTitleCapacity) <= 0) GetWindowTextW(GetParent(list), name, kTitleCapacity);
    return DescribeListAs(list, ROLE_SYSTEM_LIST, name, item);
}

const AccessibleTree kWholeListTree = {SpinnerChildCount, DescribeWholeList, nullptr, nullptr};

// The messages by which a list's selection moves.
bool MovesSelection(UINT message)
{
    switch (message) {
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
    case WM_MOUSEWHEEL:
    case LB_SETCURSEL:
    case LB_SELECTSTRING:
    case LB_RESETCONTENT:
    case LB_DELETESTRING:
        return true;
    }
    return false;
}

LRESULT CALLBACK ReadListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR)
{
    if (message == WM_GETOBJECT) {
        if (LRESULT object = AnswerGetObject(list, wParam, lParam, kWholeListTree)) return object;
    } else if (message == WM_NCDESTROY) {
        DetachSubclass(list, ReadListProc, id);
    } else if (MovesSelection(message)) {
        const int before = Selection(list);
        const LRESULT result = DefaultSubclass(list, message, wParam, lParam);
        if (IsWindow(list) && Selection(list) != before)
            NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, list, OBJID_CLIENT, CHILDID_SELF);
        return result;
    }
    return DefaultSubclass(list, message, wParam, lParam);
}

bool IsCheckBox(HWND button)
{
    const DWORD type = static_cast<DWORD>(GetWindowLongPtrW(button, GWL_STYLE)) & BS_TYPEMASK;
    return HasClass(button, L"Button") && (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE ||
                                           type == BS_AUTO3STATE);
}

bool DescribeCheckBox(HWND button, int child, AccessibleItem& item)
{
    if (child != 0) return false;
    item.role = ROLE_SYSTEM_CHECKBUTTON;
    item.state = STATE_SYSTEM_FOCUSABLE | (IsWindowEnabled(button) ? 0 : STATE_SYSTEM_UNAVAILABLE);
    if (SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED) item.state |= STATE_SYSTEM_CHECKED;
    wchar_t name[kTitleCapacity] = {};
    GetWindowTextW(button, name, kTitleCapacity);
    for (const wchar_t* p = name; *p != 0; ++p)  // "&" marks the access key, not a sound
        if (*p != L'&' || p[1] == L'&') item.name += *p == L'&' ? *++p : *p;
    wchar_t action[kTitleCapacity];
    const UINT actionId = (item.state & STATE_SYSTEM_CHECKED) != 0 ? IDS_ACC_UNCHECK : IDS_ACC_CHECK;
    if (LoadStringW(GetModuleHandleW(nullptr), actionId, action, kTitleCapacity) > 0) item.defaultAction = action;
    GetWindowRect(button, &item.screen);
    return true;
}

bool ClickCheckBox(HWND button, int child)
{
    if (child != 0) return false;
    PostMessageW(button, BM_CLICK, 0, 0);
    return true;
}

const AccessibleTree kCheckBoxTree = {SpinnerChildCount, DescribeCheckBox, ClickCheckBox, nullptr};

LRESULT CALLBACK ReadCheckProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR)
{
    if (message == WM_GETOBJECT) {
        if (LRESULT object = AnswerGetObject(button, wParam, lParam, kCheckBoxTree)) return object;
    } else if (message == WM_NCDESTROY) {
        DetachSubclass(button, ReadCheckProc, id);
    } else if (message == BM_SETCHECK) {
        const LRESULT result = DefaultSubclass(button, message, wParam, lParam);
        NotifyWinEvent(EVENT_OBJECT_STATECHANGE, button, OBJID_CLIENT, CHILDID_SELF);
        return result;
    }
    return DefaultSubclass(button, message, wParam, lParam);
}

}  // namespace

void NameControlsForScreenReaders(HWND dialog)
{
    if (dialog == nullptr || !LoadCommonControls()) return;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (HasClass(child, L"ListBox") && GetPropW(child, kSpinnerProperty) == nullptr)
            AttachSubclass(child, ReadListProc, kReadListSubclassId, 0);
        else if (IsCheckBox(child))
            AttachSubclass(child, ReadCheckProc, kReadCheckSubclassId, 0);
    }
}

void AttachSpinners(HWND dialog)
{
    if (dialog == nullptr || !LoadCommonControls()) return;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!HasClass(child, UPDOWN_CLASSW)) continue;
        auto buddy = reinterpret_cast<HWND>(SendMessageW(child, UDM_GETBUDDY, 0, 0));
        if (buddy == nullptr) buddy = GetWindow(child, GW_HWNDPREV);
        if (buddy == nullptr || GetParent(buddy) != dialog || !HasClass(buddy, L"ListBox")) continue;
        Attach(buddy, child, dialog);
    }
}

HWND SpinnerPopup() { return openExpansion != nullptr ? openExpansion->popup : nullptr; }

