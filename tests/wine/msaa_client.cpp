// A screen reader's view of a window of another process, through MSAA only:
// the client object and its children (role, name, value, place), default
// actions, and the WinEvents the window raises. The Wine tests start it on
// the program's window and compare what it writes.
//
//   vela_msaa_client OUT.txt HWND COMMAND...
//
//   tree         the window's client object and its children
//   controls     each child window's client object
//   hook         from now on, events of the window's process are collected
//   keys:TEXT    sends each character as the keyboard would (L U R D the
//                arrows, T Talk, A the action key, digits; + - * / = . as
//                typed), then writes the events that key raised
//   press:N      the default action of child N, then the events it raised
//   activate     a window of this process comes to the front, then the
//                target again; the events that raised
#include <windows.h>
#include <oleacc.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

HWND target;
std::wstring out;
struct Event { DWORD event; HWND window; LONG child; };
std::vector<Event> events;

std::wstring RoleWord(LONG role)
{
    static const struct { LONG role; const wchar_t* word; } kRoles[] = {
        {ROLE_SYSTEM_CLIENT, L"client"},       {ROLE_SYSTEM_TEXT, L"text"},
        {ROLE_SYSTEM_STATICTEXT, L"static"},   {ROLE_SYSTEM_PUSHBUTTON, L"button"},
        {ROLE_SYSTEM_SPINBUTTON, L"spin"},     {ROLE_SYSTEM_CHECKBUTTON, L"check"},
    };
    for (const auto& row : kRoles)
        if (row.role == role) return row.word;
    return L"role" + std::to_wstring(role);
}

VARIANT Child(LONG id)
{
    VARIANT child;
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

// The quoted name, then " = " and the quoted value when asked for and there is one.
std::wstring Said(IAccessible* object, LONG child, bool withValue)
{
    BSTR name = nullptr, value = nullptr;
    object->get_accName(Child(child), &name);
    if (withValue) object->get_accValue(Child(child), &value);
    std::wstring said = L"\"" + std::wstring(name != nullptr ? name : L"") + L"\"";
    if (value != nullptr) said += L" = \"" + std::wstring(value) + L"\"";
    SysFreeString(name);
    SysFreeString(value);
    return said;
}

// "role "name" = "value" [action] x,y wxh", the place relative to the target's client area.
std::wstring Describe(IAccessible* object, LONG child)
{
    VARIANT role;
    VariantInit(&role);
    BSTR action = nullptr;
    object->get_accRole(Child(child), &role);
    object->get_accDefaultAction(Child(child), &action);
    long x = 0, y = 0, w = 0, h = 0;
    object->accLocation(&x, &y, &w, &h, Child(child));
    POINT zero{0, 0};
    ClientToScreen(target, &zero);
    std::wstring line = (role.vt == VT_I4 ? RoleWord(role.lVal) : L"?") + L" " + Said(object, child, true);
    if (action != nullptr) line += L" [" + std::wstring(action) + L"]";
    line += L" " + std::to_wstring(x - zero.x) + L"," + std::to_wstring(y - zero.y) + L" " + std::to_wstring(w) +
            L"x" + std::to_wstring(h);
    SysFreeString(action);
    return line;
}

// A window's client object, asked for once: as a screen reader keeps them
// (and as AccessibleObjectFromEvent would give them to it); null when there is none.
IAccessible* ClientObject(HWND window)
{
    static std::vector<std::pair<HWND, IAccessible*>> cache;
    for (const auto& entry : cache)
        if (entry.first == window) return entry.second;
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&object))))
        return nullptr;
    cache.emplace_back(window, object);
    return object;
}

void Tree()
{
    IAccessible* object = ClientObject(target);
    if (object == nullptr) {
        out += L"(no object)\n";
        return;
    }
    out += Describe(object, CHILDID_SELF) + L"\n";
    long count = 0;
    object->get_accChildCount(&count);
    for (long child = 1; child <= count; ++child)
        out += L"  " + std::to_wstring(child) + L" " + Describe(object, child) + L"\n";
}

void Controls()
{
    for (HWND child = GetWindow(target, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        IAccessible* object = IsWindowVisible(child) ? ClientObject(child) : nullptr;
        if (object != nullptr) out += Describe(object, CHILDID_SELF) + L"\n";
    }
}

void CALLBACK OnEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD)
{
    if (object == OBJID_CLIENT) events.push_back({event, window, child});
}

// Waits until the window's events have come: the program handles each key
// before SendMessage returns, and its events follow at once; 40 ms without
// one ends the wait.
void CollectEvents()
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < 500;) {
        if (MsgWaitForMultipleObjects(0, nullptr, FALSE, 40, QS_ALLINPUT) == WAIT_TIMEOUT) break;  // quiet
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    for (const Event& e : events) {
        const wchar_t* kind = e.event == EVENT_OBJECT_VALUECHANGE ? L"value"
                              : e.event == EVENT_OBJECT_NAMECHANGE ? L"name"
                              : e.event == EVENT_OBJECT_FOCUS     ? L"focus"
                                                                  : L"other";
        IAccessible* object = ClientObject(e.window);
        const std::wstring said = object != nullptr ? Said(object, e.child, e.event == EVENT_OBJECT_VALUECHANGE) : L"";
        out += L"    " + std::wstring(kind) + L" " + std::to_wstring(e.child) + L" " + said + L"\n";
    }
    events.clear();
}

// Keys go to the window with the keyboard focus in the target's thread: the
// main window itself, or a dialog's control.
void SendKey(wchar_t key)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    const bool focus = GetGUIThreadInfo(GetWindowThreadProcessId(target, nullptr), &info) && info.hwndFocus != nullptr;
    static const wchar_t kWords[] = L"LURDTA";
    static const WPARAM kCodes[] = {VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN, VK_F3, VK_RETURN};
    const wchar_t* word = std::wcschr(kWords, key);
    if (word != nullptr || (key >= L'0' && key <= L'9'))
        SendMessageW(focus ? info.hwndFocus : target, WM_KEYDOWN, word != nullptr ? kCodes[word - kWords] : key, 1);
    else
        SendMessageW(focus ? info.hwndFocus : target, WM_CHAR, key, 1);
}

void Press(long child)
{
    IAccessible* object = ClientObject(target);
    if (object == nullptr) return;
    const HRESULT hr = object->accDoDefaultAction(Child(child));
    out += L"press " + std::to_wstring(child) + (SUCCEEDED(hr) ? L"" : L" failed") + L"\n";
    CollectEvents();
}

void Activate()
{
    HWND own = CreateWindowExW(0, L"STATIC", L"reader", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
    SetForegroundWindow(own);
    CollectEvents();
    events.clear();
    out += L"activate\n";
    SetForegroundWindow(target);
    CollectEvents();
    DestroyWindow(own);
}

void Run(const std::wstring& command)
{
    if (command == L"activate") return Activate();
    if (command == L"tree") return Tree();
    if (command == L"controls") return Controls();
    if (command == L"hook") {
        DWORD process = 0;
        GetWindowThreadProcessId(target, &process);
        // Out of context, filtered by process alone: Wine drops events for
        // a thread filter or WINEVENT_SKIPOWNPROCESS.
        SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_VALUECHANGE, nullptr, OnEvent, process, 0,
                        WINEVENT_OUTOFCONTEXT);
        return;
    }
    if (command.rfind(L"keys:", 0) == 0) {
        for (wchar_t key : command.substr(5)) {
            out += L"key " + std::wstring(1, key) + L"\n";
            SendKey(key);
            CollectEvents();
        }
        return;
    }
    if (command.rfind(L"press:", 0) == 0) return Press(std::wcstol(command.c_str() + 6, nullptr, 10));
    out += L"unknown command " + command + L"\n";
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) return 2;
    target = reinterpret_cast<HWND>(static_cast<INT_PTR>(std::wcstoll(argv[2], nullptr, 10)));
    CoInitialize(nullptr);
    for (int i = 3; i < argc; ++i) Run(argv[i]);
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, out.c_str(), static_cast<int>(out.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, out.c_str(), static_cast<int>(out.size()), utf8.data(), bytes, nullptr, nullptr);
    FILE* file = _wfopen(argv[1], L"wb");
    if (file == nullptr) return 1;
    fwrite(utf8.data(), 1, utf8.size(), file);
    fclose(file);
    CoUninitialize();
    return 0;
}
