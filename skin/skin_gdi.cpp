// The skin on the window system: opening the skin file, the window title and
// drawing the keypad image of the current key layer.
#include <windows.h>

#include "engine/text16.h"
#include "shell/message_box.h"
#include "skin/palette.h"
#include "skin/skin.h"
#include "ui/main_window.h"
#include "ui/window_links.h"

namespace {

size_t ReadFromFile(void* context, uint8_t* dest, size_t count)
{
    DWORD got = 0;
    DWORD want = count > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<DWORD>(count);
    if (!ReadFile(static_cast<HANDLE>(context), dest, want, &got, nullptr)) return 0;
    return got;
}

void ShowSkinError(const char16_t* text)
{
    ShowMessageBox(nullptr, AsWide(text), AsWide(kSkinErrorCaption), MB_OK);
}

void SetEngineText(const char16_t* text)
{
    U16Copy(programEngine.text, kTextCapacity, text);
}

// When a built-in bitmap is missing, its 153 rows stay plain so that the
// layout is the same as with the image.
void PaintPlaceholder(HDC dc, const RECT& area, int layer)
{
    HBRUSH brush = CreateSolidBrush(RGB(200, 206, 214));
    FillRect(dc, &area, brush);
    DeleteObject(brush);
    static const wchar_t* const kNames[kSkinLayerCount] = {L"", L"\u2190", L"\u2191", L"\u2192", L"\u2193"};
    RECT text = area;
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, kNames[layer], -1, &text, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
}

void PaintBuiltinImage(HDC dc, RECT& rect, int layer)
{
    int height = kSkinImageHeight;
    HBITMAP bitmap = LoadBitmapW(mainWindowState.instance, MAKEINTRESOURCEW(builtinBitmapIds[layer]));
    BITMAP info{};
    if (bitmap != nullptr && GetObjectW(bitmap, sizeof info, &info) != 0) {
        height = info.bmHeight;
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(dc, 0, rect.bottom - height, info.bmWidth, height, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteDC(memory);
    } else {
        RECT area{rect.left, rect.bottom - height, rect.left + kSkinImageWidth, rect.bottom};
        PaintPlaceholder(dc, area, layer);
    }
    if (bitmap != nullptr) DeleteObject(bitmap);
    rect.bottom -= height;
    mainWindowState.displayBottom = rect.bottom;
    if (programSkin.backColor == 0) {
        COLORREF sample = GetPixel(dc, rect.left + 5, mainWindowState.displayBottom + 5);
        if (sample != CLR_INVALID) programSkin.backColor = sample;
    }
}

void PaintFileImage(HDC dc, RECT& rect, int layer)
{
    static KeypadImageDraw draw;  // 2 KB; one paint at a time on the one thread
    ImageDrawStatus status = PrepareKeypadImage(programSkin.images[layer], draw);
    if (status == kImageNoPalette) {
        SetEngineText(ImageDrawMessage(status));
        return;
    }
    int height = draw.dib.height;
    if (status == kImageReady) {
        HPALETTE palette = CreatePalette(reinterpret_cast<const LOGPALETTE*>(&draw.palette));
        HPALETTE oldPalette = palette != nullptr ? SelectPalette(dc, palette, FALSE) : nullptr;
        if (palette != nullptr) RealizePalette(dc);
        int lines = SetDIBitsToDevice(dc, 0, rect.bottom - height, draw.dib.drawWidth, height, 0, 0, 0,
                                      height, draw.dib.bits,
                                      reinterpret_cast<const BITMAPINFO*>(draw.dib.info), DIB_RGB_COLORS);
        if (palette != nullptr) {
            SelectPalette(dc, oldPalette, FALSE);
            DeleteObject(palette);
        }
        if (lines == 0 || lines == -1) status = kImageBadFormat;
    }
    if (status == kImageBadFormat) SetEngineText(ImageDrawMessage(kImageBadFormat));
    rect.bottom -= height;
    mainWindowState.displayBottom = rect.bottom;
}

}  // namespace

void LoadSkin(HWND window)
{
    const char16_t* name = programOptions.skinName;
    wchar_t title[kTitleCapacity + 16];
    SkinWindowTitle(name, reinterpret_cast<char16_t*>(title), sizeof title / sizeof title[0]);
    SetWindowTextW(window, title);
    if (name[0] == 0) {
        UseBuiltinSkin(programSkin);
        return;
    }
    char16_t path[MAX_PATH];
    HANDLE file = INVALID_HANDLE_VALUE;
    if (SkinFilePath(reinterpret_cast<const char16_t*>(mainWindowState.programFolder), name, path, MAX_PATH))
        file = CreateFileW(AsWide(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        ShowSkinError(kSkinNotFoundText);
        UseBuiltinSkin(programSkin);
        return;
    }
    LARGE_INTEGER size{};
    GetFileSizeEx(file, &size);
    SkinSource source{ReadFromFile, file, static_cast<uint64_t>(size.QuadPart), 0};
    SkinResult result = ReadSkinFile(programSkin, source);
    CloseHandle(file);
    if (const char16_t* message = SkinResultMessage(result)) ShowSkinError(message);
}

void PaintKeypadImage(HDC dc, RECT& rect)
{
    int layer = mainWindowState.keypad.keyLayer;
    if (layer < 0 || layer >= kSkinLayerCount) layer = 0;
    if (programSkin.builtinSkin)
        PaintBuiltinImage(dc, rect, layer);
    else
        PaintFileImage(dc, rect, layer);
}
