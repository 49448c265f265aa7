#include "tests/wine/harness.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "settings/options_registry.h"
#include "shell/message_box.h"
#include "shell/shell.h"
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
