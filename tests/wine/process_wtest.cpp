// vela.exe as a whole process: one copy at a time, and the options saved by
// "Выход" and restored at the next start.
#include <cstring>

#include "resources/resource.h"
#include "tests/wine/harness.h"
#include "ui/main_window.h"

#include <gtest/gtest.h>

namespace {

struct Process {
    PROCESS_INFORMATION info{};
    bool started = false;
};

std::wstring ProgramPath()
{
    // The test program lives in <build>\tests\wine\, vela.exe in <build>\.
    return TestFolder() + L"..\\..\\vela.exe";
}

Process Launch()
{
    Process process;
    std::wstring command = L"\"" + ProgramPath() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    process.started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                     nullptr, &startup, &process.info) != 0;
    return process;
}

// The window of a running copy, waiting up to `ms` for it.
HWND WaitForWindow(DWORD ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        HWND window = FindWindowW(kMainWindowClass, nullptr);
        if (window != nullptr || GetTickCount() - start > ms) return window;
        Sleep(100);
    }
}

bool WaitForExit(Process& process, DWORD ms, DWORD* code)
{
    if (WaitForSingleObject(process.info.hProcess, ms) != WAIT_OBJECT_0) return false;
    GetExitCodeProcess(process.info.hProcess, code);
    CloseHandle(process.info.hProcess);
    CloseHandle(process.info.hThread);
    return true;
}

std::wstring TitleOf(HWND window)
{
    wchar_t title[64] = {};
    GetWindowTextW(window, title, 64);
    return title;
}

class WholeProgram : public ::testing::Test {
protected:
    void SetUp() override { DeleteStoredOptions(); }
    void TearDown() override
    {
        HWND left = FindWindowW(kMainWindowClass, nullptr);
        if (left != nullptr) PostMessageW(left, WM_COMMAND, IDM_EXIT, 0);
        Sleep(500);
        DeleteStoredOptions();
    }
};

TEST_F(WholeProgram, SecondCopyEndsWithoutSavingAndExitSaves)
{
    Process first = Launch();
    ASSERT_TRUE(first.started);
    HWND window = WaitForWindow(20000);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(TitleOf(window), L"Vela Skin");
    PostMessageW(window, WM_COMMAND, IDM_REPR_HEX, 0);

    Process second = Launch();
    ASSERT_TRUE(second.started);
    DWORD code = 99;
    ASSERT_TRUE(WaitForExit(second, 20000, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(IsWindow(window));  // the first copy runs on
    Options stored;
    EXPECT_FALSE(ReadStoredOptions(HKEY_LOCAL_MACHINE, stored));
    EXPECT_FALSE(ReadStoredOptions(HKEY_CURRENT_USER, stored));

    PostMessageW(window, WM_COMMAND, IDM_EXIT, 0);
    ASSERT_TRUE(WaitForExit(first, 20000, &code));
    EXPECT_EQ(code, 0u);
    DWORD size = 0;
    ASSERT_TRUE(ReadStoredOptions(HKEY_LOCAL_MACHINE, stored, &size));
    EXPECT_EQ(size, 88u);
    EXPECT_EQ(stored.reprMode, kReprHex);

    // The next start reads it back (and saves it again unchanged).
    Process again = Launch();
    ASSERT_TRUE(again.started);
    window = WaitForWindow(20000);
    ASSERT_NE(window, nullptr);
    PostMessageW(window, WM_COMMAND, IDM_ANGLE_DEGREE, 0);
    PostMessageW(window, WM_COMMAND, IDM_EXIT, 0);
    ASSERT_TRUE(WaitForExit(again, 20000, &code));
    ASSERT_TRUE(ReadStoredOptions(HKEY_LOCAL_MACHINE, stored));
    EXPECT_EQ(stored.reprMode, kReprHex);
    EXPECT_EQ(stored.angleUnit, kAngleDegree);
}

}  // namespace
