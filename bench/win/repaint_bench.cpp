// The cost of one keypad repaint of the real main window, against a bare
// SetDIBitsToDevice of the same 176x153 8-bit image to the same window DC.
//
// The window is the program's own, started in this process through
// StartProgram as vela.exe starts it. Its skin is a skin file written beside
// this program from the built-in skin's five bitmaps, so both skins show the
// same pictures. A keypad repaint is what a direction key asks for: the
// keypad region invalidated, then WM_PAINT (keypad image with its palette,
// and the display line, clipped to the region). The baseline draws the
// prepared image of the same layer with nothing around it.
//
//   vela_repaint_bench.exe [calls per batch]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/skin/palette.h"
#include "core/skin/skin.h"
#include "windows/main_window.h"
#include "windows/registry.h"
#include "windows/shell/message_box.h"
#include "windows/startup.h"

namespace {

constexpr int kBatches = 15;
constexpr char16_t kSkinName[] = u"benchskin";
const std::wstring kSkinFile = L"benchskin.skin";

// --- The program in this process ----------------------------------------------------

int messageBoxes = 0;

int CountBox(HWND, const wchar_t*, const wchar_t*, UINT)
{
    ++messageBoxes;
    return IDOK;
}

void Pump(DWORD ms = 0)
{
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            DispatchProgramMessage(msg);
        }
        DWORD spent = GetTickCount() - start;
        if (spent >= ms) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - spent, QS_ALLINPUT);
    }
}

HWND Start()
{
    messageBoxes = 0;
    messageBoxHandler = CountBox;
    HWND window = StartProgram(GetModuleHandleW(nullptr), SW_SHOWNORMAL);
    if (window != nullptr) {
        SetForegroundWindow(window);
        Pump(100);
    }
    return window;
}

void End()
{
    HWND window = mainWindowState.mainWindow;
    if (window != nullptr && IsWindow(window)) DestroyWindow(window);
    MSG msg;
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 2000) {
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            continue;
        }
        if (msg.message == WM_QUIT) break;
        DispatchProgramMessage(msg);
    }
    EndProgram(false);
    mainWindowState.mainWindow = nullptr;
}

void DeleteStoredOptions()
{
    RegDeleteKeyW(HKEY_CURRENT_USER, kOptionsKeyPath);
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kOptionsKeyPath);
}

void StoreSkinName(const char16_t* name)
{
    Options options;
    DefaultOptions(options);
    std::memcpy(options.skinName, name, (std::char_traits<char16_t>::length(name) + 1) * sizeof(char16_t));
    SaveOptions(options);
}

// --- The skin file ------------------------------------------------------------------

std::wstring SkinPath()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.rfind(L'\\') + 1) + kSkinFile;
}

void PutLe32(std::string& out, uint32_t value)
{
    for (int i = 0; i < 4; ++i) out += static_cast<char>(value >> (8 * i) & 0xFF);
}

// A bitmap resource is a bitmap file without its 14-byte file header.
bool AppendBitmapResource(std::string& skin, int id)
{
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(2) /* RT_BITMAP */);
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    const uint8_t* dib = loaded != nullptr ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
    DWORD size = found != nullptr ? SizeofResource(module, found) : 0;
    if (dib == nullptr || size < sizeof(BITMAPINFOHEADER)) return false;
    BITMAPINFOHEADER header;
    std::memcpy(&header, dib, sizeof header);
    DWORD colours = header.biClrUsed != 0 ? header.biClrUsed : (header.biBitCount <= 8 ? 1u << header.biBitCount : 0);
    DWORD pixelOffset = 14 + header.biSize + 4 * colours;
    PutLe32(skin, 14 + size);
    skin += "BM";
    PutLe32(skin, 14 + size);
    PutLe32(skin, 0);
    PutLe32(skin, pixelOffset);
    skin.append(reinterpret_cast<const char*>(dib), size);
    return true;
}

bool WriteSkinFile()
{
    std::string skin(reinterpret_cast<const char*>(defaultKeyMap), sizeof defaultKeyMap);
    PutLe32(skin, 0x00E8E0D8);  // back colour
    PutLe32(skin, 0x00201008);  // text colour
    for (int id : builtinBitmapIds)
        if (!AppendBitmapResource(skin, id)) return false;
    FILE* file = _wfopen(SkinPath().c_str(), L"wb");
    if (file == nullptr) return false;
    bool written = std::fwrite(skin.data(), 1, skin.size(), file) == skin.size();
    return std::fclose(file) == 0 && written;
}

void RemoveSkinFile() { DeleteFileW(SkinPath().c_str()); }

// --- Timed steps ------------------------------------------------------------------------

double NowUs()
{
    static LARGE_INTEGER frequency{};
    if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}

struct PerCall {
    double median;  // microseconds per call, median of the batches
    double low;
    double high;
};

// Runs `step` in batches of `calls`, after one unmeasured batch.
template <typename Step>
PerCall Measure(int calls, Step step)
{
    for (int i = 0; i < calls; ++i) step();
    std::vector<double> batches;
    for (int b = 0; b < kBatches; ++b) {
        Pump();  // whatever else queued up is not counted
        double start = NowUs();
        for (int i = 0; i < calls; ++i) step();
        batches.push_back((NowUs() - start) / calls);
    }
    std::sort(batches.begin(), batches.end());
    return {batches[batches.size() / 2], batches.front(), batches.back()};
}

void Print(const char* label, const PerCall& t)
{
    std::printf("  %-44s %9.2f us/call   (batch medians %.2f .. %.2f)\n", label, t.median, t.low, t.high);
}


// The repaint a direction key causes, painted at once.
void RepaintKeypad(HWND window)
{
    RequestRepaint(window, kRepaintKeypad);
    UpdateWindow(window);
}

void RepaintWhole(HWND window)
{
    RequestRepaint(window, kRepaintWhole);
    UpdateWindow(window);
}

}  // namespace

int main(int argc, char** argv)
{
    int calls = argc > 1 ? std::atoi(argv[1]) : 200;
    if (calls < 1) calls = 200;

    DeleteStoredOptions();
    if (!WriteSkinFile()) {
        std::fprintf(stderr, "cannot write the skin file\n");
        return 1;
    }
    StoreSkinName(kSkinName);
    HWND window = Start();
    if (window == nullptr || mainWindowState.skin.builtinSkin != 0 || messageBoxes != 0) {
        std::fprintf(stderr, "the skin file did not load\n");
        if (window != nullptr) End();
        RemoveSkinFile();
        DeleteStoredOptions();
        return 1;
    }
    // The baseline: the base layer's image as the paint prepares it, drawn
    // where the paint puts it, without palette, region or display.
    static KeypadImageDraw draw;
    if (PrepareKeypadImage(mainWindowState.skin.images[0], draw) != kImageReady) {
        std::fprintf(stderr, "the skin image cannot be drawn\n");
        return 1;
    }
    RECT client;
    GetClientRect(window, &client);
    const int top = client.bottom - draw.dib.height;
    HDC dc = GetDC(window);
    int drawnLines = 0;
    PerCall bare = Measure(calls, [&] {
        drawnLines = SetDIBitsToDevice(dc, 0, top, draw.dib.drawWidth, draw.dib.height, 0, 0, 0, draw.dib.height,
                                       draw.dib.bits, reinterpret_cast<const BITMAPINFO*>(draw.dib.info),
                                       DIB_RGB_COLORS);
    });
    // The paint's own drawing calls for the image: its palette made, selected
    // and realised around the same SetDIBitsToDevice.
    PerCall paletted = Measure(calls, [&] {
        HPALETTE palette = CreatePalette(reinterpret_cast<const LOGPALETTE*>(&draw.palette));
        HPALETTE old = SelectPalette(dc, palette, FALSE);
        RealizePalette(dc);
        SetDIBitsToDevice(dc, 0, top, draw.dib.drawWidth, draw.dib.height, 0, 0, 0, draw.dib.height,
                          draw.dib.bits, reinterpret_cast<const BITMAPINFO*>(draw.dib.info), DIB_RGB_COLORS);
        SelectPalette(dc, old, FALSE);
        DeleteObject(palette);
    });
    ReleaseDC(window, dc);
    RequestRepaint(window, kRepaintWhole);
    UpdateWindow(window);

    PerCall keypad = Measure(calls, [&] { RepaintKeypad(window); });
    PerCall whole = Measure(calls, [&] { RepaintWhole(window); });
    End();
    RemoveSkinFile();

    // The built-in skin draws its resource bitmaps instead.
    DeleteStoredOptions();
    window = Start();
    PerCall builtin{0, 0, 0};
    if (window != nullptr) {
        builtin = Measure(calls, [&] { RepaintKeypad(window); });
        End();
    }
    DeleteStoredOptions();

    std::printf("Keypad repaint of the main window, %d calls per batch, %d batches:\n", calls, kBatches);
    std::printf("  (image %dx%d at 8 bits, %d lines per bare call)\n", draw.dib.drawWidth, draw.dib.height,
                drawnLines);
    Print("bare SetDIBitsToDevice, same image and DC", bare);
    Print("palette + SetDIBitsToDevice, same image and DC", paletted);
    Print("keypad repaint, skin file (Invalidate+Update)", keypad);
    Print("whole repaint, skin file", whole);
    if (window != nullptr) Print("keypad repaint, built-in skin", builtin);
    std::printf("  ratio keypad repaint / bare SetDIBitsToDevice (medians): %.2f\n", keypad.median / bare.median);
    std::printf("  ratio keypad repaint / bare SetDIBitsToDevice (fastest batches): %.2f\n", keypad.low / bare.low);
    return 0;
}
