// The cost of a key press with a screen reader listening: the real main
// window, started in this process, takes rounds of keys with no event hook
// installed and with an out-of-context WinEvent hook whose callback only
// counts (it reads nothing back), placed as a screen reader places it, in
// another process (this program started again with "listen"), and in this
// process, where its callback runs in the program's own thread. Each key is
// posted to the window, as a typed key comes through the queue, handled and
// drawn; the keys' events are told before the next round. (Under Wine 8.0 a
// program that sends itself its keys with SendMessage never learns that
// another process listens, and tells it nothing.) Rounds with and without
// the hook alternate, so that a slow moment of the machine hits both alike;
// the figures are the median round of each, and their ratio, for two
// rounds: digits and operators ("1 2 + 3 =": a value change each) and a
// layer ("Left 1": the layer's name, twice; a reader that has read no key
// names is told of no keys).
//
//   vela_keypress_hook_bench.exe [rounds]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "windows/main_window.h"
#include "windows/system/registry.h"
#include "windows/shell/message_box.h"
#include "windows/startup.h"

namespace {

constexpr WPARAM kTyping[] = {'1', '2', VK_ADD, '3', VK_RETURN};
constexpr WPARAM kLayer[] = {VK_LEFT, '1'};
long eventsSeen;
constexpr char kReadyEvent[] = "VelaBenchListenerReady";
constexpr UINT kMsgHook = WM_APP + 1, kMsgUnhook = WM_APP + 2;

void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) return;
        DispatchProgramMessage(msg);
    }
}

void CALLBACK CountEvent(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD) { ++eventsSeen; }

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// One round of keys, each come through the message queue as a typed key
// does, handled and drawn; then whatever the keys queued is handled.
template <size_t N>
double Round(HWND window, const WPARAM (&keys)[N])
{
    const double start = Now();
    for (WPARAM key : keys) {
        if (key == VK_ADD) PostMessageW(window, WM_CHAR, L'+', 1);
        else PostMessageW(window, WM_KEYDOWN, key, 1);
        Pump();
        UpdateWindow(window);
    }
    Pump();
    return Now() - start;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// How a listener is put in place and taken away: a hook of this process
// (its callback runs in the program's own thread), or the listener process.
struct Listener {
    const char* name;
    DWORD thread;  // the listener process's thread; 0: hook here
    HANDLE ready;
    HWINEVENTHOOK hook;
};

void StartListening(Listener& listener)
{
    if (listener.thread == 0) {
        listener.hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_VALUECHANGE, nullptr, CountEvent,
                                        GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
        return;
    }
    PostThreadMessageW(listener.thread, kMsgHook, 0, 0);
    WaitForSingleObject(listener.ready, 5000);
}

void StopListening(Listener& listener)
{
    if (listener.thread == 0) {
        UnhookWinEvent(listener.hook);
        return;
    }
    PostThreadMessageW(listener.thread, kMsgUnhook, 0, 0);
    WaitForSingleObject(listener.ready, 5000);
}

template <size_t N>
void Measure(HWND window, const char* name, const WPARAM (&keys)[N], Listener& listener, int rounds)
{
    std::vector<double> quiet, listened;
    eventsSeen = 0;
    for (int i = 0; i < rounds; ++i) {
        quiet.push_back(Round(window, keys));
        StartListening(listener);
        Pump();  // the program learns that somebody listens
        listened.push_back(Round(window, keys));
        StopListening(listener);
        Pump();
    }
    const double a = Median(quiet), b = Median(listened);
    std::printf("%-8s (%zu keys), %-16s median of %d: no listener %7.1f us, listener %7.1f us, ratio %.3f\n",
                name, N, listener.name, rounds, a * 1e6, b * 1e6, b / a);
}

}  // namespace

// The listener in another process, as a screen reader is: hooks the events
// of process `pid` at kMsgHook, lets go at kMsgUnhook, says it is done each
// time by the ready event, and ends at WM_QUIT.
int Listen(DWORD pid)
{
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, kReadyEvent);
    HWINEVENTHOOK hook = nullptr;
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue, for the requests
    SetEvent(ready);
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == kMsgHook)
            hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_VALUECHANGE, nullptr, CountEvent, pid, 0,
                                   WINEVENT_OUTOFCONTEXT);
        if (msg.message == kMsgUnhook && hook != nullptr) UnhookWinEvent(hook), hook = nullptr;
        if (msg.message == kMsgHook || msg.message == kMsgUnhook) SetEvent(ready);
        DispatchMessageW(&msg);
    }
    std::fprintf(stderr, "listener in another process: %ld events\n", eventsSeen);
    return 0;
}

// Starts this program again as the listener; its thread, or 0.
DWORD StartListener(HANDLE ready)
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring line = L"\"" + std::wstring(self) + L"\" listen " + std::to_wstring(GetCurrentProcessId());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return 0;
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return WaitForSingleObject(ready, 10000) == WAIT_OBJECT_0 ? process.dwThreadId : 0;
}

int main(int argc, char** argv)
{
    if (argc > 2 && std::strcmp(argv[1], "listen") == 0) return Listen(static_cast<DWORD>(std::atol(argv[2])));
    const int rounds = argc > 1 ? std::max(5, std::atoi(argv[1])) : 300;
    messageBoxHandler = [](HWND, const wchar_t*, const wchar_t*, UINT) { return IDOK; };
    RegDeleteKeyW(HKEY_CURRENT_USER, kOptionsKeyPath);
    HWND window = StartProgram(GetModuleHandleW(nullptr), SW_SHOWNORMAL);
    if (window == nullptr) return 1;
    SetForegroundWindow(window);
    Pump();
    HANDLE ready = CreateEventA(nullptr, FALSE, FALSE, kReadyEvent);
    Listener here{"hook here", 0, nullptr, nullptr};
    Listener apart{"another process", StartListener(ready), ready, nullptr};
    for (Listener* listener : {&apart, &here}) {
        if (listener == &apart && apart.thread == 0) continue;
        Measure(window, "typing", kTyping, *listener, rounds);
        Measure(window, "layer", kLayer, *listener, rounds);
    }
    if (apart.thread != 0) PostThreadMessageW(apart.thread, WM_QUIT, 0, 0);
    DestroyWindow(window);
    Pump();
    EndProgram(false);
    return 0;
}
