#include "tests/wine/harness.h"

#include <array>
#include <cstring>

#include "core/lists/record_file.h"
#include "windows/shell/message_box.h"
#include "windows/shell/shell.h"
#include "windows/startup.h"

std::wstring boxes;

namespace {

// Every box of the program is answered at once, from the first test on.
const bool boxesRecorded = (messageBoxHandler = [](HWND, const wchar_t* text, const wchar_t* caption, UINT) {
    boxes += std::wstring(text) + L"/" + caption + L" ";
    return IDOK;
}, true);

bool quitSeen;

void PostKey(WPARAM key, bool down, bool up)
{
    if (down) PostMessageW(Window(), WM_KEYDOWN, key, 1);
    if (up) PostMessageW(Window(), WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
}

void Hold(int key, BYTE state)  // in the thread's keyboard state
{
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[key] = state;
    SetKeyboardState(keys);
}

std::string Bytes(const void* data, size_t size) { return std::string(static_cast<const char*>(data), size); }

std::wstring ReaderOutput() { return TestFolder() + L"msaa-client.txt"; }

}  // namespace

DWORD ReadStored(HKEY root, Options& out)
{
    DWORD size = sizeof out;  // a longer value is not read
    return RegGetValueW(root, kOptionsKeyPath, kOptionsValueName, RRF_RT_REG_BINARY, nullptr, &out, &size) ? 0 : size;
}

Options StoredOptions(int reprMode, const char16_t* skinName)
{
    Options options;
    DefaultOptions(options);
    options.reprMode = reprMode;
    std::memcpy(options.skinName, skinName, (std::char_traits<char16_t>::length(skinName) + 1) * 2);
    return options;
}

void EndVela(bool saveOptions)
{
    if (IsWindow(Window())) DestroyWindow(Window());
    for (DWORD start = GetTickCount(); !quitSeen && GetTickCount() - start < 2000;) Pump(10);
    EndProgram(saveOptions);
    mainWindowState.mainWindow = nullptr;
}

void Pump(DWORD ms)
{
    for (const DWORD start = GetTickCount();;) {
        MSG msg;
        while (!quitSeen && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) quitSeen = true;
            else DispatchProgramMessage(msg);
        }
        const DWORD spent = GetTickCount() - start;
        if (quitSeen || spent >= ms) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - spent, QS_ALLINPUT);
    }
}

void Command(int id)
{
    PostMessageW(Window(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
    Pump();
}

void Keys(const char* script)
{
    static const char kWords[] = "LURDTA<>kK";
    static const WPARAM kKeys[] = {VK_TLEFT, VK_TUP, VK_TRIGHT, VK_TDOWN, VK_TTALK, VK_RETURN, VK_F1, VK_F2,
                                   VK_BACK, VK_BACK};
    static const char kPadWords[] = "+-*/.A";
    static const WPARAM kPadKeys[] = {VK_ADD, VK_SUBTRACT, VK_MULTIPLY, VK_DIVIDE, VK_DECIMAL, VK_RETURN};
    for (const char* p = script; *p != 0; ++p) {
        const char prefix = std::strchr("ns^", *p) != nullptr ? *p++ : 0;
        const char* word = std::strchr(kWords, *p);
        const char* pad = prefix == 'n' ? std::strchr(kPadWords, *p) : nullptr;
        const WPARAM key = pad != nullptr      ? kPadKeys[pad - kPadWords]
                           : prefix == 'n'     ? VK_NUMPAD0 + (*p - '0')
                           : word != nullptr   ? kKeys[word - kWords]
                                               : *p;
        const int held = prefix == 's' ? VK_SHIFT : VK_CONTROL;
        Hold(held, prefix == 's' || prefix == '^' ? 0x80 : 0);
        if (prefix != 'n' && std::strchr("*#+-/=.,abcdefE", *p) != nullptr)
            PostMessageW(Window(), WM_CHAR, key, 1);  // as TranslateMessage makes them
        else if (*p == 'K')  // held: the first press, then a repeat
            PostMessageW(Window(), WM_KEYDOWN, key, 0x40000001);
        else
            PostKey(*p == 'x' || *p == 'y' ? VK_ESCAPE : key, *p != 'y', *p != 'x');
        Pump();
        Hold(held, 0);
    }
}

std::wstring Display()
{
    char16_t grouped[kGroupedCapacity];
    return AsWide(DisplayValueText(grouped, kGroupedCapacity));
}

HMENU ButtonPopup(int buttonId)
{
    return reinterpret_cast<HMENU>(SendMessageW(SHFindMenuBar(Window()), SHCMBM_GETSUBMENU, 0, buttonId));
}

namespace {

std::vector<COLORREF> Pixels(HDC source, int x, int y, int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(source);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
    GdiFlush();
    std::vector<COLORREF> pixels(static_cast<const uint32_t*>(bits), static_cast<const uint32_t*>(bits) + width * height);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    for (COLORREF& p : pixels) p = RGB(GetBValue(p), GetGValue(p), GetRValue(p));  // the DIB's order is BGR
    return pixels;
}

}  // namespace

std::vector<COLORREF> BitmapPixels(HBITMAP bitmap, int width, int height)
{
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, bitmap);
    std::vector<COLORREF> pixels = Pixels(memory, 0, 0, width, height);
    SelectObject(memory, old);
    DeleteDC(memory);
    return pixels;
}

std::vector<COLORREF> WindowPixels(int x, int y, int width, int height)
{
    RedrawWindow(Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    HDC dc = GetDC(Window());
    std::vector<COLORREF> pixels = Pixels(dc, x, y, width, height);
    ReleaseDC(Window(), dc);
    return pixels;
}

bool SaveScreenshot(const char* name)
{
    const wchar_t* folder = _wgetenv(L"VELA_SHOT_DIR");
    if (folder == nullptr || *folder == 0) return true;
    MSG msg;  // an idle peek lets Wine put what was drawn on the screen
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
    Sleep(100);
    RECT area, bar;  // the window with its title, and the bar under it
    GetWindowRect(Window(), &area);
    if (GetWindowRect(SHFindMenuBar(Window()), &bar)) UnionRect(&area, &area, &bar);
    const int width = area.right - area.left, height = area.bottom - area.top;
    HDC screen = GetDC(nullptr);
    std::vector<COLORREF> pixels = Pixels(screen, area.left, area.top, width, height);
    ReleaseDC(nullptr, screen);
    for (COLORREF& p : pixels) p = RGB(GetBValue(p), GetGValue(p), GetRValue(p));  // the file's order is BGR
    const BITMAPINFOHEADER info{sizeof info, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};  // rows from the top
    const DWORD size = static_cast<DWORD>(pixels.size() * 4), offset = sizeof(BITMAPFILEHEADER) + sizeof info;
    const BITMAPFILEHEADER header{0x4D42, offset + size, 0, 0, offset};
    return WriteBytes(std::wstring(folder) + L"\\" + std::wstring(name, name + std::strlen(name)) + L".bmp",
                      Bytes(&header, sizeof header) + Bytes(&info, sizeof info) + Bytes(pixels.data(), size));
}

std::wstring TestFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::wstring(path, std::wcsrchr(path, L'\\') + 1);
}

std::string ReadBuildFile(const char* utf8)
{
    wchar_t path[MAX_PATH] = {};
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, path, MAX_PATH);
    return ReadBytes(L"Z:" + std::wstring(path));
}

std::string Lines(std::initializer_list<const wchar_t*> lines)
{
    std::string bytes;
    for (const wchar_t* line : lines) {
        for (const wchar_t* p = line; *p != 0; ++p) bytes += static_cast<char>(EncodeNameUnit(*p));
        bytes += "\r\n";
    }
    return bytes;
}

std::string SkinBytes(const uint8_t (&keyMap)[48], const std::string& baseImage)
{
    const uint32_t words[3] = {0x00E8E0D8, 0x00201008, static_cast<uint32_t>(baseImage.size())};  // colours, length
    return Bytes(keyMap, 48) + Bytes(words, 12) + baseImage + std::string(16, '\0');  // no other images
}

std::string Bitmap(int width, int height, int bits, DWORD headerSize)
{
    const BITMAPINFOHEADER info{headerSize, width, height, 1, static_cast<WORD>(bits), BI_RGB, 0, 0, 0, 0, 0};
    std::string table;
    for (int i = 0; bits <= 8 && i < 1 << bits; ++i) table += Bytes(std::array<uint8_t, 4>{40, 20, 10, 0}.data(), 4);
    const DWORD size = static_cast<DWORD>((width * bits + 31) / 32 * 4) * height;
    const DWORD offset = static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + headerSize + table.size());
    const BITMAPFILEHEADER file{0x4D42, offset + size, 0, 0, offset};
    return Bytes(&file, sizeof file) + Bytes(&info, sizeof info) + std::string(headerSize - sizeof info, '\0') + table +
           std::string(size, '\x5A');
}

void Vela::TearDown()
{
    if (Window() != nullptr) EndVela(false);
    DeleteStoredOptions();
    for (auto kept = kept_.rbegin(); kept != kept_.rend(); ++kept) WriteBytes(TestFolder() + kept->first, kept->second);
}

void Vela::Start()
{
    if (Window() != nullptr) EndVela(false);
    boxes.clear();
    quitSeen = false;
    ASSERT_NE(StartProgram(GetModuleHandleW(nullptr), SW_SHOWNORMAL), nullptr);
    SetForegroundWindow(Window());
    SetFocus(Window());
    Pump(50);
}

void Vela::StartWithSkin(const std::string& file)
{
    Write(L"s.skin", file);
    StoreOptions(HKEY_CURRENT_USER, StoredOptions(kReprDecimal, file.empty() ? u"" : u"s"));
    Start();
}

void Vela::Write(const std::wstring& name, const std::string& bytes)
{
    kept_.emplace_back(name, ReadTestFile(name));
    ASSERT_TRUE(WriteBytes(TestFolder() + name, bytes.empty() ? "(missing)" : bytes));
}

HANDLE StartScreenReader(HWND window, const std::wstring& commands)
{
    DeleteFileW(ReaderOutput().c_str());
    return Spawn(Quoted(TestFolder() + L"vela_msaa_client.exe") + L" " + Quoted(ReaderOutput()) + L" " +
                 std::to_wstring(reinterpret_cast<INT_PTR>(window)) + L" " + commands);
}

bool ScreenReaderDone(HANDLE reader) { return reader == nullptr || WaitForSingleObject(reader, 0) != WAIT_TIMEOUT; }

std::string FinishScreenReader(HANDLE reader)
{
    if (reader == nullptr) return "(no reader)";
    for (const DWORD start = GetTickCount(); !ScreenReaderDone(reader) && GetTickCount() - start < 20000;) {
        MsgWaitForMultipleObjects(1, &reader, FALSE, 20, QS_ALLINPUT);
        Pump();
    }
    if (!ScreenReaderDone(reader)) TerminateProcess(reader, 1);
    CloseHandle(reader);
    return ReadBytes(ReaderOutput());
}

::testing::AssertionResult HasLinesInOrder(const std::string& text, const std::vector<const char*>& lines)
{
    size_t at = 0;
    for (const char* line : lines) {
        const size_t found = text.find(line, at);
        if (found == std::string::npos) return ::testing::AssertionFailure() << "missing: " << line << "\nin:\n" << text;
        at = found + std::strlen(line);
    }
    return ::testing::AssertionSuccess();
}
