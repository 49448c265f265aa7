// The packages as a user gets them, under Wine in a fresh prefix
// (tools/package-tests.sh): the installer run silently, the installed
// program started and a constant saved through its own dialog, the package
// installed again, the uninstaller; the zip unpacked into a folder whose name
// has spaces and Cyrillic letters. The program runs as a process of its own
// and is worked through the messages its menus and soft keys send.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/wine/processes.h"
#include "vela_version.h"

namespace {

const std::wstring kVersion = L"" VELA_VERSION;
const wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vela";
// Where package-tests.sh unpacks the zip.
const std::wstring kUnpacked = L"C:\\Мои программы\\vela-" + kVersion + L"\\";

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Runs a command line to its end: its exit code, or ~0 when it could not run
// or did not end in a minute.
DWORD RunToEnd(const std::wstring& commandLine) { return ExitCode(Spawn(commandLine)); }

std::wstring KnownFolder(REFKNOWNFOLDERID id)
{
    PWSTR path = nullptr;
    std::wstring folder;
    if (SHGetKnownFolderPath(id, 0, nullptr, &path) == S_OK) folder = path;
    CoTaskMemFree(path);
    return folder;
}

std::wstring InstallFolder() { return KnownFolder(FOLDERID_LocalAppData) + L"\\Programs\\Vela\\"; }
std::wstring Shortcut() { return KnownFolder(FOLDERID_Programs) + L"\\Vela.lnk"; }

// A text of the uninstall entry; "" when there is none.
std::wstring Uninstall(const wchar_t* name)
{
    wchar_t text[512] = {};
    DWORD size = sizeof text;
    RegGetValueW(HKEY_CURRENT_USER, kUninstallKey, name, RRF_RT_REG_SZ, nullptr, text, &size);
    return text;
}

// The "ProductVersion" of a program's version resource, and its fixed
// numbers as "a.b.c.d".
std::wstring ProductVersion(const std::wstring& program)
{
    std::vector<char> data(GetFileVersionInfoSizeW(program.c_str(), nullptr));
    wchar_t* text = nullptr;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    if (data.empty() || !GetFileVersionInfoW(program.c_str(), 0, static_cast<DWORD>(data.size()), data.data()) ||
        !VerQueryValueW(data.data(), L"\\StringFileInfo\\041904B0\\ProductVersion", reinterpret_cast<void**>(&text),
                        &size) ||
        !VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &size))
        return L"(none)";
    const DWORD ms = fixed->dwProductVersionMS, ls = fixed->dwProductVersionLS;
    return std::wstring(text) + L" " + std::to_wstring(HIWORD(ms)) + L"." + std::to_wstring(LOWORD(ms)) + L"." +
           std::to_wstring(HIWORD(ls)) + L"." + std::to_wstring(LOWORD(ls));
}

// Posts `command` to `window` and waits for the dialog captioned `caption`.
HWND OpenDialog(HWND window, int command, const wchar_t* caption)
{
    PostMessageW(window, WM_COMMAND, command, 0);
    HWND dialog = nullptr;
    WaitFor([&] { return (dialog = FindWindowW(L"#32770", caption)) != nullptr && IsWindowVisible(dialog); });
    return dialog;
}

// vela.exe of `folder`, started from another current folder as a shortcut or
// Explorer would: "Настройки" → "Константы...", "Меню" → "Добавить", name and
// value, "Ok" twice (the list is saved in the program's folder), then the
// window's close box (the settings are saved, the program ends).
void AddConstantIn(const std::wstring& folder, const wchar_t* name, const wchar_t* value)
{
    HANDLE process = Spawn(Quoted(folder + L"vela.exe"), KnownFolder(FOLDERID_Profile).c_str());
    HWND window = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (window = FindWindowW(L"DravnikVela", nullptr)) && IsWindowVisible(window); }))
        << "no window of " << testing::PrintToString(folder + L"vela.exe");
    [&] {
        HWND constants = OpenDialog(window, IDM_CONSTANTS, L"Константы");
        ASSERT_NE(constants, nullptr);
        HWND editor = OpenDialog(constants, IDM_DLG_ADD, L"Добавить");
        ASSERT_NE(editor, nullptr);
        SetDlgItemTextW(editor, IDC_RECORD_NAME, name);
        SetDlgItemTextW(editor, IDC_RECORD_VALUE, value);
        for (HWND dialog : {editor, constants}) {
            PostMessageW(dialog, WM_COMMAND, IDM_DLG_OK, 0);
            ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
        }
    }();
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(ExitCode(process, 20000), 0u);
}

// The CRC-32 and size under which the installer remembers a file it installed.
std::wstring InstalledSignature(const std::string& bytes)
{
    using Crc32 = DWORD(WINAPI*)(DWORD, const BYTE*, INT);
    const auto crc32 = reinterpret_cast<Crc32>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlComputeCrc32")));
    const int crc = static_cast<int>(crc32(0, reinterpret_cast<const BYTE*>(bytes.data()), static_cast<INT>(bytes.size())));
    return std::to_wstring(bytes.size()) + L":" + std::to_wstring(crc);
}

using Packages = ::testing::Test;

TEST_F(Packages, InstallUpgradeAndRemovalKeepTheUsersLists)
{
    const wchar_t* setup = _wgetenv(L"VELA_SETUP");
    ASSERT_NE(setup, nullptr) << "VELA_SETUP names the installer";
    const std::wstring folder = InstallFolder(), install = Quoted(setup) + L" /S";
    ASSERT_EQ(RunToEnd(install), 0u);

    // What the system's list of programs and the Start menu show.
    EXPECT_EQ(Uninstall(L"DisplayName"), L"Vela");
    EXPECT_EQ(Uninstall(L"DisplayVersion"), kVersion);
    EXPECT_EQ(Uninstall(L"UninstallString"), Quoted(folder + L"uninstall.exe"));
    EXPECT_TRUE(Exists(Shortcut()));
    for (const wchar_t* program : {L"vela.exe", L"vela-skin.exe", L"vela-rates.exe"})
        EXPECT_EQ(ProductVersion(folder + program), kVersion + L" " + kVersion + L".0") << program;

    // The user's changes, and an older release's list still as it shipped.
    AddConstantIn(folder, L"Моя", L"42");
    const std::string mine = ReadBytes(folder + L"constant.txt");
    ASSERT_NE(mine.find("\xCC\xEE\xFF=4.200000e+01"), std::string::npos) << mine;  // "Моя" in Windows-1251
    WriteBytes(folder + L"Мой.skin", "my own skin");
    const std::string shipped = ReadBytes(folder + L"currency.txt"), older = "1,1,1\r\nРубль=1\r\n";
    WriteBytes(folder + L"currency.txt", older);
    const std::wstring signature = InstalledSignature(older);
    RegSetKeyValueW(HKEY_CURRENT_USER, kUninstallKey, L"Shipped currency.txt", REG_SZ, signature.c_str(),
                    static_cast<DWORD>(signature.size() + 1) * 2);

    ASSERT_EQ(RunToEnd(install), 0u);
    EXPECT_TRUE(ReadBytes(folder + L"constant.txt") == mine) << "the user's constant.txt was replaced";
    EXPECT_EQ(ReadBytes(folder + L"Мой.skin"), "my own skin");
    EXPECT_TRUE(ReadBytes(folder + L"currency.txt") == shipped) << "the older currency.txt was kept";

    // The uninstaller goes on from a copy of itself: wait for its work.
    ASSERT_EQ(RunToEnd(Quoted(folder + L"uninstall.exe") + L" /S"), 0u);
    EXPECT_TRUE(WaitFor([&] { return !Exists(folder + L"vela.exe") && Uninstall(L"DisplayName").empty(); }));
    for (const wchar_t* gone : {L"vela.exe", L"vela-skin.exe", L"vela-rates.exe", L"uninstall.exe", L"currency.txt",
                                L"Контраст.skin", L"LICENSE.txt"})
        EXPECT_FALSE(Exists(folder + gone)) << testing::PrintToString(std::wstring(gone));
    EXPECT_FALSE(Exists(Shortcut()));
    EXPECT_TRUE(ReadBytes(folder + L"constant.txt") == mine) << "the user's constant.txt was removed";
    EXPECT_EQ(ReadBytes(folder + L"Мой.skin"), "my own skin");
    // The settings vela.exe wrote at its end stay (Wine lets it write them
    // under HKEY_LOCAL_MACHINE; on Windows a user's land in HKEY_CURRENT_USER).
    int settingsKept = 0;
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
        settingsKept += !RegGetValueW(root, L"Software\\Vela2003", L"Options", RRF_RT_REG_BINARY, nullptr, nullptr, nullptr);
    EXPECT_GT(settingsKept, 0);
}

TEST_F(Packages, TheUnpackedZipRunsAndSavesInItsOwnFolder)
{
    ASSERT_TRUE(Exists(kUnpacked + L"vela.exe")) << "package-tests.sh unpacks the zip there";
    AddConstantIn(kUnpacked, L"Из zip", L"7");
    EXPECT_NE(ReadBytes(kUnpacked + L"constant.txt").find("\xC8\xE7 zip=7.000000e+00"), std::string::npos);
}

}  // namespace
