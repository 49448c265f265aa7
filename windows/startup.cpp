// The program's entry: settings, the single-instance rule, the main window,
// the message loop, and the orderly end.
#include "windows/startup.h"

#include "core/screen/screen.h"
#include "resources/resource.h"
#include "windows/main_window.h"
#include "windows/system/registry.h"
#include "windows/shell/shell.h"
#include "windows/shell/system_function.h"
#include "windows/skin_paint.h"

namespace {

constexpr int kInstanceAttempts = 5;
constexpr DWORD kFirstCopyWaitMs = 500;

struct StartupState {
    HANDLE instanceMutex;  // held while this copy runs
    ATOM windowClass;
};
StartupState startup;

void FindProgramFolder()
{
    wchar_t* folder = mainWindowState.programFolder;
    DWORD length = GetModuleFileNameW(nullptr, folder, kProgramFolderCapacity);
    if (length == 0 || length >= kProgramFolderCapacity) {
        folder[0] = 0;
        return;
    }
    wchar_t* cut = nullptr;
    for (wchar_t* p = folder; *p != 0; ++p)
        if (*p == L'\\') cut = p + 1;
    if (cut != nullptr) *cut = 0;
}

bool RegisterMainClass(HINSTANCE instance)
{
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_VELA));
    wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_VELA), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kMainWindowClass;
    startup.windowClass = RegisterClassExW(&wc);
    return startup.windowClass != 0;
}

// The zoom to start with: the user's, else the one of the screen's dots per
// inch. The manifest makes the program aware of each monitor's; where it
// was not read, the process says so itself.
int StartingZoom(bool& chosen)
{
    using SetContext = BOOL(WINAPI*)(HANDLE);
    const auto setContext = SystemFunction<SetContext>(L"user32.dll", "SetProcessDpiAwarenessContext");
    if (setContext == nullptr || !setContext(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4))))  // per monitor, v2
        SetProcessDPIAware();
    const int stored = LoadZoom();
    chosen = stored != 0;
    if (chosen) return stored;
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : kBaseDpi;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    return ZoomForDpi(dpi);
}

HWND FindRunningWindow(const wchar_t* name, const wchar_t* windowName)
{
    HWND window = FindWindowW(name, windowName);
    if (window != nullptr) return window;
    Sleep(kFirstCopyWaitMs);
    return FindWindowW(name, windowName);
}

}  // namespace

bool FindSingleInstance(const wchar_t* name, const wchar_t* windowName, int& found)
{
    found = 0;
    for (int attempt = 0; attempt < kInstanceAttempts; ++attempt) {
        HANDLE mutex = CreateMutexW(nullptr, FALSE, name);
        if (mutex == nullptr) return false;
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            startup.instanceMutex = mutex;
            return true;
        }
        CloseHandle(mutex);
        HWND running = FindRunningWindow(name, windowName);
        if (running != nullptr) {
            // The phone brings the owned windows (an open dialog) along when
            // the handle's low bit is set; a desktop handle must stay intact,
            // so the running copy's last active popup is brought forward itself.
            if (IsIconic(running)) ShowWindow(running, SW_RESTORE);
            SetForegroundWindow(GetLastActivePopup(running));
            found = 1;
            return true;
        }
    }
    return false;
}

HWND StartProgram(HINSTANCE instance, int showCommand)
{
    MainWindowState& ui = mainWindowState;
    ui.mainWindow = nullptr;
    ui.instance = instance;
    ui.skinView.skin = SkinState{};
    ui.tooltip = nullptr;
    ui.hoverSpot = KeypadSpot{-1, 0};
    ui.displayFontCount = 0;
    FindProgramFolder();
    Options options;
    LoadOptions(options);
    StartCalculator(ui.calculator, options);
    ui.zoom = StartingZoom(ui.zoomChosen);
    SetScreenZoom(ui.zoom);
    LoadBuiltinImages(ui.skinView, instance);

    wchar_t title[kTitleCapacity];
    if (LoadStringW(instance, IDS_TITLE, title, kTitleCapacity) <= 0) return nullptr;
    int found = 0;
    if (!FindSingleInstance(kMainWindowClass, nullptr, found) || found) return nullptr;
    if (!RegisterMainClass(instance)) return nullptr;
    // A desktop window: a title with the system menu, minimisable, and a
    // frame that resizes in whole zooms.
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_THICKFRAME | WS_CLIPCHILDREN;
    HWND window = CreateWindowExW(0, kMainWindowClass, title, style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return nullptr;
    LoadSkin(window, ui.skinView, ui.calculator.options.skinName, ui.programFolder);
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return window;
}

int RunMessageLoop()
{
    MSG msg{};
    int code = 0;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchProgramMessage(msg);
    if (msg.message == WM_QUIT) code = static_cast<int>(msg.wParam);
    return code;
}

void EndProgram(bool saveOptions)
{
    if (saveOptions)
        SaveOptions(mainWindowState.calculator.options, mainWindowState.zoomChosen ? mainWindowState.zoom : 0);
    ReleaseSkinImages(mainWindowState.skinView.skin);
    ReleaseBuiltinImages(mainWindowState.skinView);
    EndCalculator(mainWindowState.calculator);
    // The process ends next; a test that starts again needs both back.
    if (startup.windowClass != 0) UnregisterClassW(kMainWindowClass, mainWindowState.instance);
    startup.windowClass = 0;
    if (startup.instanceMutex != nullptr) CloseHandle(startup.instanceMutex);
    startup.instanceMutex = nullptr;
}

int RunProgram(HINSTANCE instance, HINSTANCE, LPWSTR, int showCommand)
{
    int code = 0;
    HWND window = StartProgram(instance, showCommand);
    if (window != nullptr) code = RunMessageLoop();
    EndProgram(window != nullptr);
    return code;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previousInstance, LPWSTR commandLine, int showCommand)
{
    return RunProgram(instance, previousInstance, commandLine, showCommand);
}
