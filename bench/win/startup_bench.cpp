// Start-up to first paint of vela.exe against a minimal Win32 program that
// only opens a window (vela_minimal_window.exe), measured from outside the
// same way for both:
//
//   clock starts -> CreateProcess -> poll until the program's window exists,
//   is visible and has no update region left (its first WM_PAINT is done)
//   -> clock stops -> post the program's own close command and wait for it
//   to end.
//
// vela.exe is timed at zoom 1 and at zoom 2: before the rounds of each, the
// "Zoom" value under HKEY_CURRENT_USER (read before the machine's) is set to
// it, and each painted window's client size is checked against it. The
// values found under both keys before the run are put back at the end: the
// program writes its zoom back at its close.
//
// Rounds alternate between the two programs so that a slow moment of the
// machine hits both alike; medians and the ratio are printed per zoom. The
// minimal window is the same 176x180 program for both zooms. The minimal
// program is also run in its self-timed mode, which gives its own view of
// process creation to first paint, without the polling.
//
//   vela_startup_bench.exe [rounds] [vela.exe] [minimal_window.exe]
//
// Defaults: 10 rounds per zoom, ..\..\windows\vela.exe and
// vela_minimal_window.exe beside this program (the layout of the build folder).
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr DWORD kTimeoutMs = 30000;
constexpr int kWarmUpRounds = 2;
constexpr int kZooms[] = {1, 2};
constexpr int kScreenWidth = 176;  // vela's client area at zoom 1
constexpr int kScreenHeight = 180;
constexpr wchar_t kOptionsKey[] = L"Software\\Vela2003";
constexpr wchar_t kZoomValue[] = L"Zoom";

struct Target {
    const char* label;
    std::wstring path;
    const wchar_t* className;
    UINT closeMessage;
    WPARAM closeParam;
};

struct Run {
    bool ok;
    double paintMs;  // CreateProcess to painted window
    double exitMs;   // close message to process end
    SIZE client;     // of the painted window
};

double NowMs()
{
    static LARGE_INTEGER frequency{};
    if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

std::wstring OwnFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    size_t cut = folder.rfind(L'\\');
    return cut == std::wstring::npos ? std::wstring() : folder.substr(0, cut + 1);
}

std::wstring FolderOf(const std::wstring& path)
{
    size_t cut = path.rfind(L'\\');
    return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
}

// --- The stored zoom ------------------------------------------------------------------

// A "Zoom" value as found under one root, to be put back afterwards.
struct StoredZoom {
    HKEY root;
    bool present;
    DWORD type;
    BYTE bytes[64];
    DWORD size;
};

StoredZoom ReadZoomValue(HKEY root)
{
    StoredZoom stored{root, false, 0, {}, sizeof stored.bytes};
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, kOptionsKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return stored;
    stored.present = RegQueryValueExW(key, kZoomValue, nullptr, &stored.type, stored.bytes, &stored.size) ==
                     ERROR_SUCCESS;
    RegCloseKey(key);
    return stored;
}

bool WriteZoomValue(HKEY root, DWORD type, const BYTE* bytes, DWORD size)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, kOptionsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    bool ok = RegSetValueExW(key, kZoomValue, 0, type, bytes, size) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

bool SetUserZoom(int zoom)
{
    const DWORD value = static_cast<DWORD>(zoom);
    return WriteZoomValue(HKEY_CURRENT_USER, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

void RestoreZoomValue(const StoredZoom& stored)
{
    if (stored.present) {
        WriteZoomValue(stored.root, stored.type, stored.bytes, stored.size);
        return;
    }
    HKEY key = nullptr;
    if (RegOpenKeyExW(stored.root, kOptionsKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    RegDeleteValueW(key, kZoomValue);
    RegCloseKey(key);
}

// --- One start ------------------------------------------------------------------------

bool Launch(const std::wstring& path, const std::wstring& arguments, PROCESS_INFORMATION& process)
{
    std::wstring command = L"\"" + path + L"\"" + arguments;
    std::wstring folder = FolderOf(path);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    process = PROCESS_INFORMATION{};
    return CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &startup, &process) != 0;
}

void Release(PROCESS_INFORMATION& process)
{
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

bool Ended(const PROCESS_INFORMATION& process) { return WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; }

// The window once it has been painted for the first time, or null.
HWND WaitForPaintedWindow(const Target& target, const PROCESS_INFORMATION& process, double start)
{
    for (;;) {
        HWND window = FindWindowW(target.className, nullptr);
        if (window != nullptr && IsWindowVisible(window) && !GetUpdateRect(window, nullptr, FALSE))
            return window;
        if (NowMs() - start > kTimeoutMs || Ended(process)) return nullptr;
        Sleep(1);
    }
}

Run RunOnce(const Target& target)
{
    Run run{false, 0, 0, {0, 0}};
    PROCESS_INFORMATION process;
    double start = NowMs();
    if (!Launch(target.path, L"", process)) {
        std::fprintf(stderr, "%s: cannot start (error %lu)\n", target.label, GetLastError());
        return run;
    }
    HWND window = WaitForPaintedWindow(target, process, start);
    double painted = NowMs();
    if (window == nullptr) {
        std::fprintf(stderr, "%s: no painted window\n", target.label);
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, kTimeoutMs);
        Release(process);
        return run;
    }
    RECT client{};
    GetClientRect(window, &client);
    run.client = SIZE{client.right, client.bottom};
    PostMessageW(window, target.closeMessage, target.closeParam, 0);
    bool ended = WaitForSingleObject(process.hProcess, kTimeoutMs) == WAIT_OBJECT_0;
    double exited = NowMs();
    if (!ended) {
        std::fprintf(stderr, "%s: did not end after its close command\n", target.label);
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, kTimeoutMs);
    }
    Release(process);
    run.ok = ended;
    run.paintMs = painted - start;
    run.exitMs = exited - painted;
    return run;
}

// The minimal program's own figure: process creation to its first paint.
bool RunSelfTimed(const std::wstring& path, double& ms)
{
    wchar_t folder[MAX_PATH] = {};
    wchar_t file[MAX_PATH] = {};
    if (GetTempPathW(MAX_PATH, folder) == 0 || GetTempFileNameW(folder, L"vsb", 0, file) == 0) return false;
    PROCESS_INFORMATION process;
    bool ok = Launch(path, std::wstring(L" --self-timed \"") + file + L"\"", process);
    if (ok) {
        ok = WaitForSingleObject(process.hProcess, kTimeoutMs) == WAIT_OBJECT_0;
        if (!ok) TerminateProcess(process.hProcess, 1);
        Release(process);
    }
    FILE* report = ok ? _wfopen(file, L"r") : nullptr;
    ok = report != nullptr && std::fscanf(report, "%lf", &ms) == 1;
    if (report != nullptr) std::fclose(report);
    DeleteFileW(file);
    return ok;
}

// --- Figures --------------------------------------------------------------------------

struct Summary {
    double median;
    double low;
    double high;
};

Summary Summarise(std::vector<double> values)
{
    if (values.empty()) return {0, 0, 0};
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    double median = n % 2 != 0 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return {median, values.front(), values.back()};
}

void PrintLine(const char* label, const std::vector<double>& values)
{
    Summary s = Summarise(values);
    std::printf("  %-28s median %8.1f ms   min %8.1f   max %8.1f   (%zu runs)\n", label, s.median, s.low,
                s.high, values.size());
}

struct ZoomRuns {
    int zoom;
    std::vector<double> minimalPaint, velaPaint, minimalExit, velaExit, selfTimed;
    int wrongSize;  // vela windows whose client area was not the screen at this zoom
    SIZE lastClient;
};

// Warm-up, then `rounds` alternating rounds, with the stored zoom set to `runs.zoom`.
bool RunZoom(const Target& minimal, const Target& vela, int rounds, ZoomRuns& runs)
{
    if (!SetUserZoom(runs.zoom)) {
        std::fprintf(stderr, "cannot store zoom %d\n", runs.zoom);
        return false;
    }
    for (int i = 0; i < kWarmUpRounds; ++i) {
        if (!RunOnce(minimal).ok || !RunOnce(vela).ok) {
            std::fprintf(stderr, "warm-up at zoom %d failed\n", runs.zoom);
            return false;
        }
    }
    for (int i = 0; i < rounds; ++i) {
        // Alternate which program goes first in a round.
        const Target* order[2] = {&minimal, &vela};
        if (i % 2 != 0) std::swap(order[0], order[1]);
        for (const Target* target : order) {
            Run run = RunOnce(*target);
            if (!run.ok) continue;
            bool isVela = target == &vela;
            (isVela ? runs.velaPaint : runs.minimalPaint).push_back(run.paintMs);
            (isVela ? runs.velaExit : runs.minimalExit).push_back(run.exitMs);
            if (isVela) {
                runs.lastClient = run.client;
                if (run.client.cx != kScreenWidth * runs.zoom || run.client.cy != kScreenHeight * runs.zoom)
                    ++runs.wrongSize;
            }
        }
        double own = 0;
        if (RunSelfTimed(minimal.path, own)) runs.selfTimed.push_back(own);
    }
    return !runs.velaPaint.empty() && !runs.minimalPaint.empty();
}

void PrintZoom(const ZoomRuns& runs, int rounds)
{
    std::printf("Zoom %d: start to first paint, CreateProcess to painted window, %d rounds:\n", runs.zoom, rounds);
    std::printf("  (vela.exe client area %ldx%ld", runs.lastClient.cx, runs.lastClient.cy);
    if (runs.wrongSize != 0) std::printf(", %d runs NOT at %dx%d", runs.wrongSize, kScreenWidth * runs.zoom,
                                         kScreenHeight * runs.zoom);
    std::printf(")\n");
    PrintLine("minimal window", runs.minimalPaint);
    PrintLine("vela.exe", runs.velaPaint);
    Summary vela = Summarise(runs.velaPaint), minimal = Summarise(runs.minimalPaint);
    std::printf("  ratio vela.exe / minimal (medians): %.2f\n", vela.median / minimal.median);
    // On a busy machine the fastest runs are the better guess of the cost itself.
    std::printf("  ratio vela.exe / minimal (fastest runs): %.2f\n", vela.low / minimal.low);
    std::printf("  close command to process end:\n");
    PrintLine("minimal window (WM_CLOSE)", runs.minimalExit);
    PrintLine("vela.exe (command 1)", runs.velaExit);
    if (!runs.selfTimed.empty()) PrintLine("minimal, its own clock", runs.selfTimed);
}

}  // namespace

int main()
{
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    int rounds = count > 1 && args != nullptr ? _wtoi(args[1]) : 10;
    if (rounds < 1) rounds = 10;
    std::wstring folder = OwnFolder();
    Target minimal{"minimal window", count > 3 ? args[3] : folder + L"vela_minimal_window.exe",
                   L"VelaBenchMinimal", WM_CLOSE, 0};
    Target vela{"vela.exe", count > 2 ? args[2] : folder + L"..\\..\\windows\\vela.exe", L"DravnikVela", WM_COMMAND,
                1 /* "Выход" */};
    if (args != nullptr) LocalFree(args);

    const StoredZoom before[] = {ReadZoomValue(HKEY_CURRENT_USER), ReadZoomValue(HKEY_LOCAL_MACHINE)};
    std::vector<ZoomRuns> all;
    bool ok = true;
    for (int zoom : kZooms) {
        all.push_back(ZoomRuns{zoom, {}, {}, {}, {}, {}, 0, {0, 0}});
        if (!RunZoom(minimal, vela, rounds, all.back())) {
            ok = false;
            break;
        }
    }
    for (const StoredZoom& stored : before) RestoreZoomValue(stored);
    if (!ok) {
        std::fprintf(stderr, "no complete runs\n");
        return 1;
    }

    for (const ZoomRuns& runs : all) PrintZoom(runs, rounds);
    std::printf("Summary, vela.exe / minimal window (medians):");
    for (const ZoomRuns& runs : all)
        std::printf("  zoom %d %.2f", runs.zoom, Summarise(runs.velaPaint).median / Summarise(runs.minimalPaint).median);
    std::printf("\n");
    return 0;
}
