// The cost of one keypad repaint of the real main window at zoom 1 and 3,
// against a window of our own that paints the least the same picture needs;
// and the time a zoom change from 3 to 4 by the menu takes to its repaint,
// the built-in keypad drawn anew for the zoom.
//
// The program's window is started in this process through StartProgram as
// vela.exe starts it, then zoomed with SetZoom. Its skin is a skin file
// written beside this program from the built-in skin's five bitmaps, so both
// skins show the same pictures. A keypad repaint is what a direction key asks
// for: the keypad region invalidated, then WM_PAINT (the keypad image; the
// display line lies outside the region and is not drawn).
//
// The baseline is a second window class registered here, of the same styles
// and client size as the program's window at that zoom. Its WM_PAINT does
// BeginPaint, SetStretchBltMode(COLORONCOLOR), one StretchDIBits of the base
// layer's 176x153 8-bit DIB (the same one the skin file holds) scaled by the
// zoom, one DrawTextW of a short number and EndPaint.
//
// Both windows stand side by side, unobscured, and are timed the same way:
// the same client rectangle invalidated (with erasing), then UpdateWindow;
// `calls` of these per batch, the windows' batches taken in turn so that a
// slow moment of the machine hits both alike. Figures are per call, from the
// median batch (and the fastest one).
//
//   vela_repaint_bench.exe [calls per batch]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/skin/skin.h"
#include "resources/resource.h"
#include "windows/main_window.h"
#include "windows/system/registry.h"
#include "windows/shell/message_box.h"
#include "windows/skin_paint.h"
#include "windows/startup.h"
#include "windows/zoomed_keypad.h"

namespace {

constexpr int kBatches = 15;
constexpr int kZooms[] = {1, 3};
constexpr int kScreenHeightAt1 = 180;  // vela's client area at zoom 1: kScreenWidth x this
constexpr char16_t kSkinName[] = u"benchskin";
const std::wstring kSkinFile = L"benchskin.skin";
constexpr wchar_t kBaselineClass[] = L"VelaBenchRepaint";
constexpr wchar_t kBaselineText[] = L"3.14159";

// The built-in skin's bitmaps, in the layer order of a skin file.
constexpr int kBuiltinBitmapIds[kSkinLayerCount] = {
    IDB_SKIN_BASE, IDB_SKIN_LEFT, IDB_SKIN_UP, IDB_SKIN_RIGHT, IDB_SKIN_DOWN,
};

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
    SaveOptions(options, 0);
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

// A bitmap resource: a bitmap file without its 14-byte file header.
const uint8_t* BitmapResource(int id, DWORD& size)
{
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(2) /* RT_BITMAP */);
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    size = found != nullptr ? SizeofResource(module, found) : 0;
    return loaded != nullptr ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
}

DWORD ColourCount(const BITMAPINFOHEADER& header)
{
    return header.biClrUsed != 0 ? header.biClrUsed : (header.biBitCount <= 8 ? 1u << header.biBitCount : 0);
}

bool AppendBitmapResource(std::string& skin, int id)
{
    DWORD size = 0;
    const uint8_t* dib = BitmapResource(id, size);
    if (dib == nullptr || size < sizeof(BITMAPINFOHEADER)) return false;
    BITMAPINFOHEADER header;
    std::memcpy(&header, dib, sizeof header);
    DWORD pixelOffset = 14 + header.biSize + 4 * ColourCount(header);
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
    for (int id : kBuiltinBitmapIds)
        if (!AppendBitmapResource(skin, id)) return false;
    FILE* file = _wfopen(SkinPath().c_str(), L"wb");
    if (file == nullptr) return false;
    bool written = std::fwrite(skin.data(), 1, skin.size(), file) == skin.size();
    return std::fclose(file) == 0 && written;
}

void RemoveSkinFile() { DeleteFileW(SkinPath().c_str()); }

// --- The baseline window --------------------------------------------------------------

struct BaselineState {
    const BITMAPINFO* info;  // the base layer's DIB, straight from the resource
    const void* bits;
    int width;
    int height;
    int zoom;
    RECT display;  // above the image
};
BaselineState baseline;

bool LoadBaselineImage()
{
    DWORD size = 0;
    const uint8_t* dib = BitmapResource(IDB_SKIN_BASE, size);
    if (dib == nullptr || size < sizeof(BITMAPINFOHEADER)) return false;
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(dib);
    baseline.info = reinterpret_cast<const BITMAPINFO*>(dib);
    baseline.bits = dib + header->biSize + 4 * ColourCount(*header);
    baseline.width = header->biWidth;
    baseline.height = header->biHeight;
    return header->biBitCount == 8 && baseline.height > 0;
}

LRESULT CALLBACK BaselineProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT) return DefWindowProcW(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    const int zoom = baseline.zoom;
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, 0, baseline.display.bottom, baseline.width * zoom, baseline.height * zoom, 0, 0,
                  baseline.width, baseline.height, baseline.bits, baseline.info, DIB_RGB_COLORS, SRCCOPY);
    DrawTextW(dc, kBaselineText, -1, &baseline.display, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
    EndPaint(window, &paint);
    return 0;
}

// The program's class and frame styles, so that both windows get the same
// erasing and non-client handling.
bool RegisterBaselineClass()
{
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = BaselineProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kBaselineClass;
    return RegisterClassExW(&wc) != 0;
}

// Right of `beside`, with a client area of the screen at `zoom`.
HWND CreateBaseline(HWND beside, int zoom)
{
    const int width = kScreenWidth * zoom, height = kScreenHeightAt1 * zoom;
    baseline.zoom = zoom;
    baseline.display = RECT{0, 0, width, height - baseline.height * zoom};
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_THICKFRAME | WS_CLIPCHILDREN;
    RECT frame{0, 0, width, height};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    RECT next;
    GetWindowRect(beside, &next);
    HWND window = CreateWindowExW(0, kBaselineClass, L"Baseline", style, next.right + 8, 0, frame.right - frame.left,
                                  frame.bottom - frame.top, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window == nullptr) return nullptr;
    ShowWindow(window, SW_SHOWNOACTIVATE);
    UpdateWindow(window);
    return window;
}

// --- Timed steps ------------------------------------------------------------------------

double NowUs()
{
    static LARGE_INTEGER frequency{};
    if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}

// One repaint: `area` invalidated, then painted at once. With `keyRegion`
// the area is worked out per call as the program does for a direction key
// (its client rectangle and the tallest keypad image).
struct RepaintStep {
    const char* label;
    HWND window;
    RECT area;
    bool keyRegion;
};

void Repaint(const RepaintStep& step)
{
    RECT area = step.area;
    if (step.keyRegion) {
        GetClientRect(step.window, &area);
        area.top = area.bottom - TallestKeypadImage(mainWindowState.skinView) * mainWindowState.zoom;
    }
    InvalidateRect(step.window, &area, TRUE);
    UpdateWindow(step.window);
}

struct PerCall {
    double median;  // microseconds per call: the median batch
    double low;     // the fastest batch
    double high;
};

// Each step in `calls`-sized batches, the steps' batches taken in turn
// (starting one step later each round), after one unmeasured batch each.
std::vector<PerCall> MeasureInTurn(int calls, const std::vector<RepaintStep>& steps)
{
    const size_t n = steps.size();
    for (const RepaintStep& step : steps)
        for (int i = 0; i < calls; ++i) Repaint(step);
    std::vector<std::vector<double>> batches(n);
    for (int b = 0; b < kBatches; ++b) {
        for (size_t k = 0; k < n; ++k) {
            const size_t s = (k + static_cast<size_t>(b)) % n;
            Pump();  // whatever else queued up is not counted
            double start = NowUs();
            for (int i = 0; i < calls; ++i) Repaint(steps[s]);
            batches[s].push_back((NowUs() - start) / calls);
        }
    }
    std::vector<PerCall> result;
    for (std::vector<double>& times : batches) {
        std::sort(times.begin(), times.end());
        result.push_back({times[times.size() / 2], times.front(), times.back()});
    }
    return result;
}

void Print(const char* label, const PerCall& t)
{
    std::printf("  %-48s %9.2f us/call   (batches %.2f .. %.2f)\n", label, t.median, t.low, t.high);
}

void PrintRatio(const char* label, const PerCall& vela, const PerCall& base)
{
    std::printf("  ratio %-42s %5.2f (median batches)   %5.2f (fastest batches)\n", label, vela.median / base.median,
                vela.low / base.low);
}

bool ClientIs(HWND window, int zoom)
{
    RECT client;
    GetClientRect(window, &client);
    return client.right == kScreenWidth * zoom && client.bottom == kScreenHeightAt1 * zoom;
}

// Brings the program's window to `zoom` and opens the baseline beside it;
// null when either is not of the expected size or does not fit the screen.
HWND PrepareZoom(HWND window, int zoom)
{
    SetZoom(window, zoom, false);
    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump(100);
    HWND base = CreateBaseline(window, zoom);
    if (base == nullptr) return nullptr;
    Pump(100);
    RECT placed;
    GetWindowRect(base, &placed);
    if (!ClientIs(window, zoom) || !ClientIs(base, zoom) || placed.right > GetSystemMetrics(SM_CXSCREEN) ||
        placed.bottom > GetSystemMetrics(SM_CYSCREEN)) {
        std::fprintf(stderr, "zoom %d: the windows are not of the screen's size or do not fit\n", zoom);
        DestroyWindow(base);
        return nullptr;
    }
    return base;
}

struct ZoomFigures {
    int zoom;
    bool done;
    PerCall base, vela, velaKey, baseWhole, velaWhole;
};

// The skin file's figures at `zoom`: keypad region and whole client of both windows.
ZoomFigures MeasureSkinFile(HWND window, int zoom, int calls)
{
    ZoomFigures figures{zoom, false, {}, {}, {}, {}, {}};
    HWND base = PrepareZoom(window, zoom);
    if (base == nullptr) return figures;
    const RECT whole{0, 0, kScreenWidth * zoom, kScreenHeightAt1 * zoom};
    RECT keypad = whole;
    keypad.top = whole.bottom - TallestKeypadImage(mainWindowState.skinView) * zoom;
    std::vector<PerCall> t = MeasureInTurn(calls, {
                                                      {"baseline", base, keypad, false},
                                                      {"vela", window, keypad, false},
                                                      {"vela, key's region", window, keypad, true},
                                                      {"baseline, whole", base, whole, false},
                                                      {"vela, whole", window, whole, false},
                                                  });
    DestroyWindow(base);
    Pump(50);
    figures = ZoomFigures{zoom, true, t[0], t[1], t[2], t[3], t[4]};
    return figures;
}

// The built-in skin's keypad repaint against the baseline again.
ZoomFigures MeasureBuiltin(HWND window, int zoom, int calls)
{
    ZoomFigures figures{zoom, false, {}, {}, {}, {}, {}};
    HWND base = PrepareZoom(window, zoom);
    if (base == nullptr) return figures;
    RECT keypad{0, 0, kScreenWidth * zoom, kScreenHeightAt1 * zoom};
    keypad.top = keypad.bottom - TallestKeypadImage(mainWindowState.skinView) * zoom;
    std::vector<PerCall> t = MeasureInTurn(calls, {{"baseline", base, keypad, false}, {"vela", window, keypad, false}});
    DestroyWindow(base);
    Pump(50);
    figures.done = true;
    figures.base = t[0];
    figures.vela = t[1];
    return figures;
}

void PrintSkinFile(const ZoomFigures& f)
{
    const int z = f.zoom;
    std::printf("Zoom %d, skin file: client %dx%d, keypad region %dx%d, image %dx%d drawn %dx%d:\n", z,
                kScreenWidth * z, kScreenHeightAt1 * z, kScreenWidth * z, baseline.height * z, baseline.width,
                baseline.height, baseline.width * z, baseline.height * z);
    if (!f.done) {
        std::printf("  not measured\n");
        return;
    }
    Print("baseline window, keypad region", f.base);
    Print("vela, keypad region", f.vela);
    Print("vela, keypad region worked out as for a key", f.velaKey);
    Print("baseline window, whole client", f.baseWhole);
    Print("vela, whole client", f.velaWhole);
    PrintRatio("vela / baseline, keypad region:", f.vela, f.base);
    PrintRatio("vela / baseline, whole client:", f.velaWhole, f.baseWhole);
}

}  // namespace

int main(int argc, char** argv)
{
    int calls = argc > 1 ? std::atoi(argv[1]) : 200;
    if (calls < 1) calls = 200;

    if (!LoadBaselineImage() || !RegisterBaselineClass()) {
        std::fprintf(stderr, "the baseline window cannot be made\n");
        return 1;
    }
    // The pointer out of the way: no tooltip over either window.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);

    DeleteStoredOptions();
    if (!WriteSkinFile()) {
        std::fprintf(stderr, "cannot write the skin file\n");
        return 1;
    }
    StoreSkinName(kSkinName);
    HWND window = Start();
    if (window == nullptr || mainWindowState.skinView.skin.builtinSkin != 0 || messageBoxes != 0) {
        std::fprintf(stderr, "the skin file did not load\n");
        if (window != nullptr) End();
        RemoveSkinFile();
        DeleteStoredOptions();
        return 1;
    }
    const int startZoom = mainWindowState.zoom;
    const SIZE velaImage = KeypadImageSize(mainWindowState.skinView, 0);
    const int tallest = TallestKeypadImage(mainWindowState.skinView);
    std::vector<ZoomFigures> skinFile;
    for (int zoom : kZooms) skinFile.push_back(MeasureSkinFile(window, zoom, calls));
    End();
    RemoveSkinFile();

    // The built-in skin draws its resource bitmaps instead.
    DeleteStoredOptions();
    window = Start();
    std::vector<ZoomFigures> builtin;
    std::vector<double> drawKeysOnly, drawWithText;  // ms, the base layer's keypad at zoom 4
    std::vector<double> zoomChanges;  // ms, from zoom 3 to 4 by the menu command, to the end of its paint
    if (window != nullptr) {
        for (int zoom : kZooms) builtin.push_back(MeasureBuiltin(window, zoom, calls));
        for (int round = 0; round < 9; ++round) {
            // From zoom 3, whose keypad replaces that of zoom 4: each round draws zoom 4's anew.
            SendMessageW(window, WM_COMMAND, IDM_ZOOM_1 + 2, 0);
            UpdateWindow(window);
            Pump();
            const double start = NowUs();
            SendMessageW(window, WM_COMMAND, IDM_ZOOM_1 + 3, 0);
            UpdateWindow(window);
            zoomChanges.push_back((NowUs() - start) / 1000);
        }
        std::sort(zoomChanges.begin(), zoomChanges.end());
        // Of that: drawing the base layer's keypad at zoom 4, keys alone and with the text.
        for (bool withText : {false, true}) {
            std::vector<double>& times = withText ? drawWithText : drawKeysOnly;
            for (int round = 0; round < 9; ++round) {
                const double start = NowUs();
                HBITMAP bitmap = DrawZoomedKeypad(keypadStyles[0], defaultKeyMap, 0, 4, withText);
                times.push_back((NowUs() - start) / 1000);
                DeleteObject(bitmap);
            }
            std::sort(times.begin(), times.end());
        }
        End();
    }
    DeleteStoredOptions();

    std::printf("Keypad repaint (InvalidateRect + UpdateWindow), %d calls per batch, %d batches per window,\n"
                "batches of the windows in turn; us/call of the median batch (fastest .. slowest):\n",
                calls, kBatches);
    std::printf("  (the program started at zoom %d; its base image %ldx%ld, tallest %d rows; baseline DIB %dx%d, "
                "8 bits)\n",
                startZoom, velaImage.cx, velaImage.cy, tallest, baseline.width, baseline.height);
    for (const ZoomFigures& f : skinFile) PrintSkinFile(f);
    for (const ZoomFigures& f : builtin) {
        std::printf("Zoom %d, built-in skin (%s):\n", f.zoom,
                    f.zoom == 1 ? "the resource bitmap" : "drawn for the zoom once, then copied");
        if (!f.done) {
            std::printf("  not measured\n");
            continue;
        }
        Print("baseline window, keypad region", f.base);
        Print("vela, keypad region", f.vela);
        PrintRatio("vela / baseline, keypad region:", f.vela, f.base);
    }
    if (!zoomChanges.empty())
        std::printf("Zoom 3 -> 4 by the menu, built-in skin drawn anew, to the end of the repaint: %.1f ms median "
                    "(%.1f .. %.1f, %zu rounds)\n",
                    zoomChanges[zoomChanges.size() / 2], zoomChanges.front(), zoomChanges.back(), zoomChanges.size());
    if (!drawWithText.empty())
        std::printf("  of which the base layer's keypad drawn at zoom 4: keys %.1f ms, keys and text %.1f ms (medians)\n",
                    drawKeysOnly[drawKeysOnly.size() / 2], drawWithText[drawWithText.size() / 2]);
    std::printf("Summary, vela / baseline keypad repaint, skin file (median batches):");
    for (const ZoomFigures& f : skinFile)
        if (f.done) std::printf("  zoom %d %.2f", f.zoom, f.vela.median / f.base.median);
    std::printf("\n");
    return 0;
}
