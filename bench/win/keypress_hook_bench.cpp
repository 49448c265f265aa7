// The cost of a key press with a screen reader listening: the real main
// window, started in this process, takes rounds of keys with no event hook
// installed and with an out-of-context WinEvent hook for this process whose
// callback only counts (it reads nothing back). Under Wine 8.0 a listener in
// another process hears nothing of a program that sends itself its keys, so
// the listener is here: its delivery is timed with the program's telling,
// which makes the figure an upper bound. Each key is sent and its repaint
// drawn, as a user's press would be; the events are delivered before the
// next round. Rounds with and without the hook alternate, so that a slow
// moment of the machine hits both alike; the figures are the median round
// of each, and their ratio, for two rounds: digits and operators ("1 2 + 3
// =": a value change each) and a layer ("Left 1": the layer's and twelve
// keys' names, twice, and a value change).
//
//   vela_keypress_hook_bench.exe [rounds]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "windows/main_window.h"
#include "windows/registry.h"
#include "windows/shell/message_box.h"
#include "windows/startup.h"

namespace {

constexpr WPARAM kTyping[] = {'1', '2', VK_ADD, '3', VK_RETURN};
constexpr WPARAM kLayer[] = {VK_LEFT, '1'};
long eventsSeen;

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

// One round of keys, each drawn; then whatever the keys queued is handled.
template <size_t N>
double Round(HWND window, const WPARAM (&keys)[N])
{
    const double start = Now();
    for (WPARAM key : keys) {
        if (key == VK_ADD) SendMessageW(window, WM_CHAR, L'+', 1);
        else SendMessageW(window, WM_KEYDOWN, key, 1);
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

template <size_t N>
void Measure(HWND window, const char* name, const WPARAM (&keys)[N], int rounds)
{
    std::vector<double> quiet, listened;
    eventsSeen = 0;
    for (int i = 0; i < rounds; ++i) {
        quiet.push_back(Round(window, keys));
        HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_VALUECHANGE, nullptr, CountEvent,
                                             GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
        listened.push_back(Round(window, keys));
        UnhookWinEvent(hook);
        Pump();
    }
    const double a = Median(quiet), b = Median(listened);
    std::printf("%-8s (%zu keys), median of %d: no listener %7.1f us, listener %7.1f us, ratio %.3f "
                "(%.1f events a round)\n",
                name, N, rounds, a * 1e6, b * 1e6, b / a, static_cast<double>(eventsSeen) / rounds);
}

}  // namespace

// The listener: hooks the events of process `pid`, says so by `ready`,
// and ends at WM_QUIT, reporting in its exit code how many it saw.
int Listen(DWORD pid, const char* ready)
{
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_VALUECHANGE, nullptr, CountEvent, pid, 0,
                                         WINEVENT_OUTOFCONTEXT);
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue, for WM_QUIT
    SetEvent(OpenEventA(EVENT_MODIFY_STATE, FALSE, ready));
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    UnhookWinEvent(hook);
    std::fprintf(stderr, "listener: hook %p, %ld events\n", static_cast<void*>(hook), eventsSeen);
    return static_cast<int>(eventsSeen);
}

constexpr char kReadyEvent[] = "VelaBenchListenerReady";

PROCESS_INFORMATION StartListener()
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring line = L"\"" + std::wstring(self) + L"\" listen " + std::to_wstring(GetCurrentProcessId());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, kReadyEvent);
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        WaitForSingleObject(ready, 10000);
    CloseHandle(ready);
    return process;
}

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(5, std::atoi(argv[1])) : 300;
    messageBoxHandler = [](HWND, const wchar_t*, const wchar_t*, UINT) { return IDOK; };
    RegDeleteKeyW(HKEY_CURRENT_USER, kOptionsKeyPath);
    HWND window = StartProgram(GetModuleHandleW(nullptr), SW_SHOWNORMAL);
    if (window == nullptr) return 1;
    SetForegroundWindow(window);
    Pump();
    Measure(window, "typing", kTyping, rounds);
    Measure(window, "layer", kLayer, rounds);
    DestroyWindow(window);
    Pump();
    EndProgram(false);
    return 0;
}
