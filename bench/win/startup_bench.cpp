// Start-up to first paint of vela.exe against a minimal Win32 program that
// only opens a window (vela_minimal_window.exe), measured from outside the
// same way for both:
//
//   clock starts -> CreateProcess -> poll until the program's window exists,
//   is visible and has no update region left (its first WM_PAINT is done)
//   -> clock stops -> post the program's own close command and wait for it
//   to end.
//
// Rounds alternate between the two programs so that a slow moment of the
// machine hits both alike; medians and the ratio are printed. The minimal
// program is also run in its self-timed mode, which gives its own view of
// process creation to first paint, without the polling.
//
//   vela_startup_bench.exe [rounds] [vela.exe] [minimal_window.exe]
//
// Defaults: 10 rounds, ..\..\windows\vela.exe and vela_minimal_window.exe beside this
// program (the layout of the build folder).
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
    Run run{false, 0, 0};
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

    for (int i = 0; i < kWarmUpRounds; ++i) {
        if (!RunOnce(minimal).ok || !RunOnce(vela).ok) {
            std::fprintf(stderr, "warm-up failed\n");
            return 1;
        }
    }

    std::vector<double> minimalPaint, velaPaint, minimalExit, velaExit, selfTimed;
    for (int i = 0; i < rounds; ++i) {
        // Alternate which program goes first in a round.
        const Target* order[2] = {&minimal, &vela};
        if (i % 2 != 0) std::swap(order[0], order[1]);
        for (const Target* target : order) {
            Run run = RunOnce(*target);
            if (!run.ok) continue;
            (target == &vela ? velaPaint : minimalPaint).push_back(run.paintMs);
            (target == &vela ? velaExit : minimalExit).push_back(run.exitMs);
        }
        double own = 0;
        if (RunSelfTimed(minimal.path, own)) selfTimed.push_back(own);
    }
    if (velaPaint.empty() || minimalPaint.empty()) {
        std::fprintf(stderr, "no complete runs\n");
        return 1;
    }

    std::printf("Start to first paint, CreateProcess to painted window, %d rounds:\n", rounds);
    PrintLine("minimal window", minimalPaint);
    PrintLine("vela.exe", velaPaint);
    double ratio = Summarise(velaPaint).median / Summarise(minimalPaint).median;
    std::printf("  ratio vela.exe / minimal (medians): %.2f\n", ratio);
    // On a busy machine the fastest runs are the better guess of the cost itself.
    std::printf("  ratio vela.exe / minimal (fastest runs): %.2f\n",
                Summarise(velaPaint).low / Summarise(minimalPaint).low);
    std::printf("Close command to process end:\n");
    PrintLine("minimal window (WM_CLOSE)", minimalExit);
    PrintLine("vela.exe (command 1)", velaExit);
    if (!selfTimed.empty()) {
        std::printf("Minimal window, its own clock (process creation to first WM_PAINT):\n");
        PrintLine("minimal window, self-timed", selfTimed);
    }
    return 0;
}
