#include "tests/wine/harness.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include <gtest/gtest.h>

#include "records/record_file.h"
#include "resources/resource.h"
#include "settings/options_registry.h"
#include "shell/message_box.h"
#include "shell/shell.h"
#include "shell/spinner.h"
#include "ui/main_window.h"
#include "ui/startup.h"

std::vector<RecordedBox> recordedBoxes;

namespace {

int RecordBox(HWND, const wchar_t* text, const wchar_t* caption, UINT style)
{
    recordedBoxes.push_back({text != nullptr ? text : L"", caption != nullptr ? caption : L"", style});
    return IDOK;
}

HWND Window() { return mainWindowState.mainWindow; }

struct KeyWord {
    const char* word;
    WPARAM key;
};
const KeyWord kKeyWords[] = {
    {"left", VK_TLEFT},   {"up", VK_TUP},         {"right", VK_TRIGHT}, {"down", VK_TDOWN},
    {"talk", VK_TTALK},   {"action", VK_TACTION}, {"*", VK_TSTAR},      {"#", VK_TPOUND},
};

}  // namespace

std::wstring Widen(const char16_t* text) { return std::wstring(reinterpret_cast<const wchar_t*>(text)); }

void DeleteStoredOptions()
{
    RegDeleteKeyW(HKEY_CURRENT_USER, kOptionsKeyPath);
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kOptionsKeyPath);
}

void StoreOptionsBytes(HKEY root, const void* bytes, DWORD size, DWORD type)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, kOptionsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExW(key, kOptionsValueName, 0, type, static_cast<const BYTE*>(bytes), size);
    RegCloseKey(key);
}

void StoreOptions(HKEY root, const Options& options) { StoreOptionsBytes(root, &options, sizeof options); }

bool ReadStoredOptions(HKEY root, Options& options, DWORD* size)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, kOptionsKeyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    uint8_t bytes[512] = {};
    DWORD got = sizeof bytes;
    DWORD type = 0;
    LONG status = RegQueryValueExW(key, kOptionsValueName, nullptr, &type, bytes, &got);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return false;
    if (size != nullptr) *size = got;
    std::memcpy(&options, bytes, sizeof options);
    return true;
}

HWND StartVela()
{
    recordedBoxes.clear();
    messageBoxHandler = RecordBox;
    HWND window = StartProgram(GetModuleHandleW(nullptr), SW_SHOWNORMAL);
    if (window != nullptr) {
        SetForegroundWindow(window);
        SetFocus(window);
        Pump(50);
    }
    return window;
}

void EndVela(bool save)
{
    if (Window() != nullptr && IsWindow(Window())) DestroyWindow(Window());
    PumpUntilQuit(2000);
    EndProgram(save);
    mainWindowState.mainWindow = nullptr;
}

void Pump(DWORD ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));  // leave it for PumpUntilQuit
                return;
            }
            DispatchProgramMessage(msg);
        }
        DWORD spent = GetTickCount() - start;
        if (spent >= ms) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - spent, QS_ALLINPUT);
    }
}

bool PumpUntilQuit(DWORD ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return true;
            DispatchProgramMessage(msg);
        }
        DWORD spent = GetTickCount() - start;
        if (spent >= ms) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - spent, QS_ALLINPUT);
    }
}

void KeyDown(WPARAM key)
{
    PostMessageW(Window(), WM_KEYDOWN, key, 1);
    Pump();
}

void KeyUp(WPARAM key)
{
    PostMessageW(Window(), WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
    Pump();
}

void PressKey(WPARAM key)
{
    KeyDown(key);
    KeyUp(key);
}

void TypeCharacter(wchar_t ch)
{
    PostMessageW(Window(), WM_CHAR, ch, 1);
    Pump();
}

void Command(int id)
{
    PostMessageW(Window(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
    Pump();
}

void Keys(const char* script)
{
    const char* p = script;
    while (*p != 0) {
        while (*p == ' ') ++p;
        const char* end = p;
        while (*end != 0 && *end != ' ') ++end;
        std::string word(p, end);
        p = end;
        if (word.empty()) continue;
        if (word == "back") {
            PressKey(VK_ESCAPE);
            continue;
        }
        bool known = false;
        for (const KeyWord& k : kKeyWords) {
            if (word == k.word) {
                PressKey(k.key);
                known = true;
            }
        }
        if (!known && word.size() == 1 && word[0] >= '0' && word[0] <= '9') {
            PressKey(static_cast<WPARAM>(word[0]));
            known = true;
        }
        if (!known) std::fprintf(stderr, "unknown key word %s\n", word.c_str());
    }
}

std::wstring DisplayText()
{
    char16_t grouped[kGroupedCapacity];
    std::wstring value = Widen(DisplayValueText(grouped, kGroupedCapacity));
    // DrawText's prefix processing: "&&" is drawn as one "&".
    std::wstring drawn;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == L'&' && i + 1 < value.size() && value[i + 1] == L'&') ++i;
        drawn += value[i];
    }
    return Widen(DisplayIndicator(programEngine)) + L" " + drawn;
}

std::wstring WindowTitle()
{
    wchar_t title[64] = {};
    GetWindowTextW(Window(), title, 64);
    return title;
}

HMENU ButtonPopup(int buttonId)
{
    HWND bar = SHFindMenuBar(Window());
    return reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, buttonId));
}

bool MenuChecked(int buttonId, int itemId)
{
    UINT state = GetMenuState(ButtonPopup(buttonId), static_cast<UINT>(itemId), MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & MF_CHECKED) != 0;
}

std::wstring MenuText(int buttonId, int itemId)
{
    wchar_t text[64] = {};
    GetMenuStringW(ButtonPopup(buttonId), static_cast<UINT>(itemId), text, 64, MF_BYCOMMAND);
    return text;
}

std::wstring TestFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    size_t cut = folder.rfind(L'\\');
    return cut == std::wstring::npos ? std::wstring() : folder.substr(0, cut + 1);
}

bool SaveScreenshot(const char* name)
{
    const wchar_t* dir = _wgetenv(L"VELA_SHOT_DIR");
    if (dir == nullptr || *dir == 0 || Window() == nullptr) return false;
    RECT area;  // the window with its title, and the bar under it
    GetWindowRect(Window(), &area);
    RECT bar;
    if (GetWindowRect(SHFindMenuBar(Window()), &bar)) UnionRect(&area, &area, &bar);
    int width = area.right - area.left;
    int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return false;

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    SelectObject(memory, old);

    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    DWORD stride = static_cast<DWORD>((width * 3 + 3) & ~3);
    std::vector<uint8_t> pixels(static_cast<size_t>(stride) * height);
    GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    std::wstring path = std::wstring(dir) + L"\\";
    for (const char* p = name; *p != 0; ++p) path += static_cast<wchar_t>(*p);
    path += L".bmp";
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (file == nullptr) return false;
    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof header + sizeof info;
    header.bfSize = header.bfOffBits + static_cast<DWORD>(pixels.size());
    std::fwrite(&header, sizeof header, 1, file);
    std::fwrite(&info, sizeof info, 1, file);
    std::fwrite(pixels.data(), 1, pixels.size(), file);
    std::fclose(file);
    return true;
}

bool WriteTestFile(const std::wstring& name, const std::string& bytes)
{
    FILE* file = _wfopen((TestFolder() + name).c_str(), L"wb");
    if (file == nullptr) return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

bool ReadTestFile(const std::wstring& name, std::string& bytes)
{
    FILE* file = _wfopen((TestFolder() + name).c_str(), L"rb");
    if (file == nullptr) return false;
    bytes.clear();
    char block[4096];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0) bytes.append(block, got);
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    return !failed;
}

void RemoveTestFile(const std::wstring& name) { DeleteFileW((TestFolder() + name).c_str()); }

std::string Cp1251(const std::wstring& text)
{
    std::string bytes;
    for (wchar_t unit : text) bytes += static_cast<char>(EncodeNameUnit(static_cast<char16_t>(unit)));
    return bytes;
}

namespace {

void PutLe32(std::string& out, uint32_t value)
{
    for (int i = 0; i < 4; ++i) out += static_cast<char>(value >> (8 * i) & 0xFF);
}

void PutLe16(std::string& out, uint16_t value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}

// A complete 8-bit bitmap file, bottom-up, 256 greys.
std::string GreyBitmap(int width, int height, int layer)
{
    const uint32_t stride = static_cast<uint32_t>((width + 3) & ~3);
    const uint32_t pixelOffset = 14 + 40 + 256 * 4;
    const uint32_t pixelBytes = stride * static_cast<uint32_t>(height);
    std::string bmp;
    bmp += "BM";
    PutLe32(bmp, pixelOffset + pixelBytes);
    PutLe32(bmp, 0);
    PutLe32(bmp, pixelOffset);
    PutLe32(bmp, 40);
    PutLe32(bmp, static_cast<uint32_t>(width));
    PutLe32(bmp, static_cast<uint32_t>(height));
    PutLe16(bmp, 1);
    PutLe16(bmp, 8);
    PutLe32(bmp, 0);           // BI_RGB
    PutLe32(bmp, pixelBytes);
    PutLe32(bmp, 2835);
    PutLe32(bmp, 2835);
    PutLe32(bmp, 256);
    PutLe32(bmp, 0);
    for (int i = 0; i < 256; ++i) {
        char grey = static_cast<char>(i);
        bmp += grey;
        bmp += grey;
        bmp += grey;
        bmp += '\0';
    }
    for (int y = 0; y < height; ++y)
        for (uint32_t x = 0; x < stride; ++x)
            bmp += static_cast<char>((x / 8 + static_cast<uint32_t>(y) / 8 + 37u * static_cast<uint32_t>(layer)) * 29u);
    return bmp;
}

}  // namespace

std::string SkinFileBytes(const uint8_t (&keyMap)[48], bool images)
{
    std::string skin(reinterpret_cast<const char*>(keyMap), 48);
    PutLe32(skin, 0x00E8E0D8);  // back colour
    PutLe32(skin, 0x00201008);  // text colour
    for (int layer = 0; layer < 5; ++layer) {
        if (!images) {
            PutLe32(skin, 0);
            continue;
        }
        std::string bmp = GreyBitmap(176, 153, layer);
        PutLe32(skin, static_cast<uint32_t>(bmp.size()));
        skin += bmp;
    }
    return skin;
}

std::vector<MenuItemText> SubMenuItems(int buttonId, int position)
{
    std::vector<MenuItemText> items;
    HMENU menu = GetSubMenu(ButtonPopup(buttonId), position);
    int count = menu != nullptr ? GetMenuItemCount(menu) : 0;
    for (int i = 0; i < count; ++i) {
        wchar_t text[64] = {};
        GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
        items.push_back({GetMenuItemID(menu, i), text});
    }
    return items;
}

// --- Modal dialogs ---------------------------------------------------------------

namespace {

struct DialogScript {
    std::vector<DialogStep> steps;
    size_t next;
    int cleanupTicks;  // ticks spent closing what the steps left open
    UINT_PTR timer;
};
DialogScript dialogScript;

BOOL CALLBACK FindDialog(HWND window, LPARAM found)
{
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (std::wcscmp(name, L"#32770") == 0 && IsWindowVisible(window) && IsWindowEnabled(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

// Back to an expanded list; to a dialog its cancel command and, for the
// dialogs that take Back themselves, the "Отмена" soft key's.
void CancelFront(HWND popup, HWND dialog)
{
    if (popup != nullptr) {
        PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 1);
    } else if (dialog != nullptr) {
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        PostMessageW(dialog, WM_COMMAND, IDM_DLG_CANCEL, 0);
    }
}

void CALLBACK DialogScriptTick(HWND, UINT, UINT_PTR, DWORD)
{
    DialogScript& script = dialogScript;
    // A dialog shows itself only when its loop first runs dry: the steps
    // start once it is there, as a user's keys would.
    if (script.next == 0 && FrontDialog() == nullptr) return;
    if (script.next < script.steps.size()) {
        DialogStep step = script.steps[script.next++];
        step();
        return;
    }
    // The steps are done: close whatever they left open.
    HWND popup = SpinnerPopup();
    HWND dialog = FrontDialog();
    if ((popup == nullptr && dialog == nullptr) || ++script.cleanupTicks > 50) {
        KillTimer(nullptr, script.timer);
        script.timer = 0;
        return;
    }
    CancelFront(popup, dialog);
}

}  // namespace

HWND FrontDialog()
{
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

void PostKeyToFocus(WPARAM key)
{
    HWND focus = GetFocus();
    if (focus == nullptr) return;
    PostMessageW(focus, WM_KEYDOWN, key, 1);
    PostMessageW(focus, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
}

size_t RunDialog(int command, std::vector<DialogStep> steps)
{
    return RunModal([command] { Command(command); }, std::move(steps));
}

size_t RunModal(const std::function<void()>& open, std::vector<DialogStep> steps)
{
    dialogScript = DialogScript{std::move(steps), 0, 0, 0};
    dialogScript.timer = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, DialogScriptTick);
    open();
    if (dialogScript.timer != 0) KillTimer(nullptr, dialogScript.timer);
    dialogScript.timer = 0;
    size_t ran = dialogScript.next;
    dialogScript.steps.clear();
    return ran;
}

namespace {

BOOL CALLBACK PaintNow(HWND window, LPARAM)
{
    if (IsWindowVisible(window))
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    return TRUE;
}

}  // namespace

bool SaveDialogScreenshot(const char* name)
{
    EnumThreadWindows(GetCurrentThreadId(), PaintNow, 0);
    GdiFlush();
    // An idle peek makes Wine copy what was drawn to the X screen.
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
    Sleep(100);
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
    return SaveScreenshot(name);
}

// --- Dialogs left open by a test ------------------------------------------------------

namespace {

constexpr UINT kStrayCheckMs = 250;
constexpr DWORD kStrayDialogMs = 3000;

struct StrayDialogWatch : ::testing::EmptyTestEventListener {
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        HWND popup = SpinnerPopup();
        HWND dialog = FrontDialog();
        if (dialogScript.timer != 0 || (popup == nullptr && dialog == nullptr)) {
            since = 0;
            return;
        }
        DWORD now = GetTickCount();
        if (since == 0) since = now;
        if (now - since < kStrayDialogMs) return;
        since = 0;
        wchar_t title[64] = {};
        GetWindowTextW(popup != nullptr ? popup : dialog, title, 64);
        char utf8[256] = {};
        WideCharToMultiByte(CP_UTF8, 0, title, -1, utf8, sizeof utf8, nullptr, nullptr);
        std::fprintf(stderr, "note: \"%s\" was open with nobody driving it: cancelled\n", utf8);
        CancelFront(popup, dialog);
    }
    void OnTestStart(const ::testing::TestInfo&) override
    {
        since = 0;
        timer = SetTimer(nullptr, 0, kStrayCheckMs, Tick);
    }
    void OnTestEnd(const ::testing::TestInfo&) override
    {
        if (timer != 0) KillTimer(nullptr, timer);
        timer = 0;
    }
    static inline DWORD since = 0;
    static inline UINT_PTR timer = 0;
};

// Registered before main runs the tests; GoogleTest owns it from then on.
const bool strayDialogWatch = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new StrayDialogWatch);
    return true;
}();

}  // namespace

// --- Shared by the dialog tests ---------------------------------------------------------

std::wstring DescribeMenuItems(const std::vector<MenuItemText>& items)
{
    std::wstring out;
    for (const MenuItemText& item : items) {
        if (!out.empty()) out += L" | ";
        out += std::to_wstring(item.id) + L" " + item.text;
    }
    return out;
}

std::vector<KeptTestFile> SetAsideTestFiles(std::initializer_list<std::wstring> names)
{
    std::vector<KeptTestFile> files;
    for (const std::wstring& name : names) {
        KeptTestFile file{name, false, {}};
        file.existed = ReadTestFile(name, file.bytes);
        RemoveTestFile(name);
        files.push_back(file);
    }
    return files;
}

void RestoreTestFiles(const std::vector<KeptTestFile>& files)
{
    for (const KeptTestFile& file : files) {
        RemoveTestFile(file.name);
        if (file.existed) WriteTestFile(file.name, file.bytes);
    }
}

DialogStep Key(WPARAM key)
{
    return [key] { PostKeyToFocus(key); };
}

DialogStep Repeat(WPARAM key, int times)
{
    return [key, times] {
        for (int i = 0; i < times; ++i) PostKeyToFocus(key);
    };
}

std::wstring WindowTextOf(HWND window)
{
    wchar_t text[128] = {};
    GetWindowTextW(window, text, 128);
    return text;
}

std::wstring ListItemText(HWND list, int row)
{
    wchar_t text[128] = {};
    LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
    if (length < 0 || length >= 128) return L"?";
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text));
    return text;
}

std::vector<std::wstring> ListItems(HWND dialog, int id)
{
    HWND list = GetDlgItem(dialog, id);
    std::vector<std::wstring> items;
    int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) items.push_back(ListItemText(list, i));
    return items;
}

std::wstring ShownItem(HWND dialog, int id)
{
    HWND list = GetDlgItem(dialog, id);
    int row = static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0));
    return row < 0 ? L"" : ListItemText(list, row);
}

void ExpectControlsOnScreen(HWND dialog)
{
    ASSERT_NE(dialog, nullptr);
    RECT client;
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, kPhoneScreenWidth);
    EXPECT_EQ(client.bottom, kPhoneScreenHeight);
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child)) continue;
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_GE(rect.left, 0) << GetDlgCtrlID(child);
        EXPECT_GE(rect.top, 0) << GetDlgCtrlID(child);
        EXPECT_LE(rect.right, client.right) << GetDlgCtrlID(child);
        EXPECT_LE(rect.bottom, client.bottom) << GetDlgCtrlID(child);
    }
}
