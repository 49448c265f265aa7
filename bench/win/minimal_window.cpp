// The baseline of the start-up benchmark: the least a Win32 program does to
// show a window of the calculator's size with something painted in it. It
// registers a class, opens one window, paints a filled rectangle and a word,
// and runs a message loop until the window is closed.
//
// Started as "minimal_window.exe --self-timed FILE" it ends itself after its
// first WM_PAINT and writes to FILE the milliseconds from its own process
// creation to that paint, as the system saw them.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>

namespace {

constexpr wchar_t kClassName[] = L"VelaBenchMinimal";
constexpr int kClientWidth = 176;  // the phone's screen, as the calculator's window
constexpr int kClientHeight = 180;

struct MinimalState {
    bool selfTimed;
    bool painted;
    wchar_t reportPath[MAX_PATH];
};
MinimalState minimal;

double MillisecondsSinceProcessStart()
{
    FILETIME created, exited, kernel, user, now;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return -1;
    GetSystemTimePreciseAsFileTime(&now);
    ULARGE_INTEGER a{}, b{};
    a.LowPart = created.dwLowDateTime;
    a.HighPart = created.dwHighDateTime;
    b.LowPart = now.dwLowDateTime;
    b.HighPart = now.dwHighDateTime;
    return static_cast<double>(b.QuadPart - a.QuadPart) / 10000.0;  // 100 ns units
}

void Report(double ms)
{
    FILE* file = _wfopen(minimal.reportPath, L"w");
    if (file == nullptr) return;
    std::fprintf(file, "%.3f\n", ms);
    std::fclose(file);
}

LRESULT CALLBACK MinimalProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT rect;
        GetClientRect(window, &rect);
        HBRUSH brush = CreateSolidBrush(RGB(216, 224, 232));
        FillRect(dc, &rect, brush);
        DeleteObject(brush);
        DrawTextW(dc, L"0", -1, &rect, DT_SINGLELINE | DT_RIGHT | DT_TOP);
        EndPaint(window, &paint);
        if (minimal.selfTimed && !minimal.painted) {
            Report(MillisecondsSinceProcessStart());
            PostMessageW(window, WM_CLOSE, 0, 0);
        }
        minimal.painted = true;
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void ReadArguments()
{
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (args == nullptr) return;
    if (count >= 3 && lstrcmpW(args[1], L"--self-timed") == 0) {
        minimal.selfTimed = true;
        lstrcpynW(minimal.reportPath, args[2], MAX_PATH);
    }
    LocalFree(args);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int showCommand)
{
    ReadArguments();
    WNDCLASSW wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MinimalProc;
    wc.hInstance = instance;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    if (RegisterClassW(&wc) == 0) return 1;

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    HWND window = CreateWindowExW(0, kClassName, L"Minimal", style, 0, 0, frame.right - frame.left,
                                  frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    ShowWindow(window, showCommand);
    UpdateWindow(window);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
