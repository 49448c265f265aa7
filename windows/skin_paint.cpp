#include "windows/skin_paint.h"

#include <algorithm>

#include "core/lists/record_platform.h"
#include "core/skin/palette.h"
#include "core/text/text16.h"
#include "resources/resource.h"
#include "windows/shell/message_box.h"
#include "windows/system/text.h"
#include "windows/zoomed_keypad.h"
#include "windows/shell/shell.h"

namespace {

// Bitmap resources of the built-in skin, by layer.
constexpr int kBuiltinBitmapIds[kSkinLayerCount] = {
    IDB_SKIN_BASE, IDB_SKIN_LEFT, IDB_SKIN_UP, IDB_SKIN_RIGHT, IDB_SKIN_DOWN,
};

// Where the built-in skin's display colour is taken from its base image.
constexpr int kBackSampleX = 5;
constexpr int kBackSampleY = 5;

// Skin files are read as every file of the program is: through the file table.
size_t ReadFromFile(void* context, uint8_t* dest, size_t count)
{
    const long got = CurrentRecordPlatform().read(static_cast<RecordStream*>(context), reinterpret_cast<char*>(dest),
                                                  std::min<size_t>(count, 0x7FFFFFFF));
    return got > 0 ? static_cast<size_t>(got) : 0;
}

void ShowSkinError(UINT textId)
{
    ShowMessageBox(nullptr, LoadText(textId).c_str(), LoadText(IDS_ERROR).c_str(), MB_OK);
}

// A built-in bitmap's size; a missing one keeps the layout of a present one.
SIZE BitmapSize(HBITMAP bitmap)
{
    BITMAP info{};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof info, &info) == 0) return SIZE{kScreenWidth, kSkinImageHeight};
    return SIZE{info.bmWidth, info.bmHeight};
}

// The built-in skin's display colour: its base image's at the sample point.
COLORREF BuiltinBackColor(const SkinView& view)
{
    COLORREF colour = 0;
    HDC memory = CreateCompatibleDC(nullptr);
    if (memory != nullptr && view.builtinImages[0] != nullptr) {
        HGDIOBJ old = SelectObject(memory, view.builtinImages[0]);
        COLORREF sample = GetPixel(memory, kBackSampleX, kBackSampleY);
        if (sample != CLR_INVALID) colour = sample;
        SelectObject(memory, old);
    }
    if (memory != nullptr) DeleteDC(memory);
    return colour;
}

void UseBuiltin(SkinView& view)
{
    UseBuiltinSkin(view.skin);
    view.skin.backColor = BuiltinBackColor(view);
}

void SetSkinTitle(HWND window, const char16_t* name)
{
    std::wstring title = name[0] == 0 ? LoadText(IDS_TITLE) : LoadText(IDS_TITLE_PREFIX) + AsWide(name);
    SetWindowTextW(window, title.c_str());
}

// When a built-in bitmap is missing, its rows stay plain so that the layout
// is the same as with the image.
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

void ReleaseZoomedImages(SkinView& view)
{
    // A selected bitmap cannot be deleted.
    if (view.builtinImageDc != nullptr) SelectObject(view.builtinImageDc, view.builtinImageOriginal);
    for (HBITMAP& bitmap : view.zoomedImages) {
        if (bitmap != nullptr) DeleteObject(bitmap);
        bitmap = nullptr;
    }
    for (bool& failed : view.zoomedImageFailed) failed = false;
    view.zoomedImagesZoom = 0;
}

bool HasStandardSize(HBITMAP bitmap)
{
    const SIZE size = BitmapSize(bitmap);
    return size.cx == kKeypadWidth && size.cy == kKeypadHeight;
}

// The built-in skin drawn for `zoom`, when it has been; kept until the zoom
// changes.
HBITMAP ZoomedImage(const SkinView& view, int layer, int zoom)
{
    return view.zoomedImagesZoom == zoom ? view.zoomedImages[layer] : nullptr;
}

void PaintBuiltinImage(HDC dc, const RECT& client, const SkinView& view, int layer, int zoom)
{
    HBITMAP bitmap = view.builtinImages[layer];
    const SIZE size = BitmapSize(bitmap);
    const int top = client.bottom - size.cy * zoom;
    if (bitmap == nullptr) {
        RECT area{client.left, top, client.left + size.cx * zoom, client.bottom};
        PaintPlaceholder(dc, area, layer);
        return;
    }
    HDC memory = view.builtinImageDc;
    if (memory == nullptr) return;
    HBITMAP zoomed = zoom > 1 && HasStandardSize(bitmap) ? ZoomedImage(view, layer, zoom) : nullptr;
    if (zoomed != nullptr) {
        SelectObject(memory, zoomed);
        BitBlt(dc, 0, top, size.cx * zoom, size.cy * zoom, memory, 0, 0, SRCCOPY);
        return;
    }
    SelectObject(memory, bitmap);
    SetStretchBltMode(dc, COLORONCOLOR);  // whole pixels, no blending
    StretchBlt(dc, 0, top, size.cx * zoom, size.cy * zoom, memory, 0, 0, size.cx, size.cy, SRCCOPY);
}

// The sharpest of the skin's images for the zoom (SharpImageScale),
// enlarged by a whole factor; a sharper image that cannot be drawn gives way
// to the layer's own.
UINT PaintFileImage(HDC dc, const RECT& client, const SkinState& skin, int layer, int zoom)
{
    static KeypadImageDraw draw;  // 2 KB; one paint at a time on the one thread
    int scale = SharpImageScale(skin, layer, zoom);
    ImageDrawStatus status = PrepareKeypadImage(ImageAtScale(skin, layer, scale), draw, scale);
    if (scale > 1 && status != kImageReady) {
        scale = 1;
        status = PrepareKeypadImage(skin.images[layer], draw);
    }
    if (status == kImageNoPalette) return 0;  // said once, when the skin loaded
    const int factor = zoom / scale;
    int height = draw.dib.height;
    if (status == kImageReady) {
        // Only a screen of 256 colours or fewer takes the image's palette.
        const bool paletteScreen = (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) != 0;
        HPALETTE palette =
            paletteScreen ? CreatePalette(reinterpret_cast<const LOGPALETTE*>(&draw.palette)) : nullptr;
        HPALETTE oldPalette = palette != nullptr ? SelectPalette(dc, palette, FALSE) : nullptr;
        if (palette != nullptr) RealizePalette(dc);
        SetStretchBltMode(dc, COLORONCOLOR);
        int lines = StretchDIBits(dc, 0, client.bottom - height * factor, draw.dib.drawWidth * factor, height * factor, 0,
                                  0, draw.dib.drawWidth, height, draw.dib.bits,
                                  reinterpret_cast<const BITMAPINFO*>(draw.dib.info), DIB_RGB_COLORS, SRCCOPY);
        if (palette != nullptr) {
            SelectPalette(dc, oldPalette, FALSE);
            DeleteObject(palette);
        }
        if (lines == 0 || lines == static_cast<int>(GDI_ERROR)) status = kImageBadFormat;
    }
    return status == kImageBadFormat ? IDS_BAD_SKIN_FORMAT : 0;
}

int ValidLayer(int layer) { return layer >= 0 && layer < kSkinLayerCount ? layer : 0; }

// An image that gets no palette is not drawn; the user hears of it once, as
// the skin loads, and the display line stays his.
void ReportImagesWithoutPalette(const SkinState& skin)
{
    static KeypadImageDraw draw;
    for (const SkinImage& image : skin.images) {
        if (image.header != nullptr && PrepareKeypadImage(image, draw) == kImageNoPalette) {
            ShowSkinError(IDS_NO_PALETTE);
            return;
        }
    }
}

}  // namespace

void LoadBuiltinImages(SkinView& view, HINSTANCE instance)
{
    for (int layer = 0; layer < kSkinLayerCount; ++layer)
        view.builtinImages[layer] = LoadBitmapW(instance, MAKEINTRESOURCEW(kBuiltinBitmapIds[layer]));
    view.builtinImageDc = CreateCompatibleDC(nullptr);
    if (view.builtinImageDc != nullptr) view.builtinImageOriginal = GetCurrentObject(view.builtinImageDc, OBJ_BITMAP);
}

void ReleaseBuiltinImages(SkinView& view)
{
    ReleaseZoomedImages(view);
    if (view.builtinImageDc != nullptr) {
        SelectObject(view.builtinImageDc, view.builtinImageOriginal);  // a selected bitmap cannot be deleted
        DeleteDC(view.builtinImageDc);
    }
    view.builtinImageDc = nullptr;
    for (HBITMAP& bitmap : view.builtinImages) {
        if (bitmap != nullptr) DeleteObject(bitmap);
        bitmap = nullptr;
    }
}

// The skin that ships for poor sight, taken in high contrast when the user
// chose none; without its file the built-in skin stays, without a message.
constexpr char16_t kContrastSkinName[] = u"Контраст";

const char16_t* SkinToLoad(SkinView& view, const char16_t* chosen, const wchar_t* programFolder)
{
    view.highContrast = HighContrastOn();
    if (chosen[0] != 0 || !view.highContrast) return chosen;
    char16_t path[MAX_PATH];
    const bool there = SkinFilePath(AsUtf16(programFolder), kContrastSkinName, path, MAX_PATH) &&
                       GetFileAttributesW(AsWide(path)) != INVALID_FILE_ATTRIBUTES;
    return there ? kContrastSkinName : chosen;
}

void LoadSkin(HWND window, SkinView& view, const char16_t* skinName, const wchar_t* programFolder)
{
    const char16_t* name = SkinToLoad(view, skinName, programFolder);
    SetSkinTitle(window, name);
    if (name[0] == 0) {
        UseBuiltin(view);
        return;
    }
    char16_t path[MAX_PATH];
    WIN32_FILE_ATTRIBUTE_DATA about{};
    const RecordPlatform& files = CurrentRecordPlatform();
    RecordStream* file = nullptr;
    if (SkinFilePath(AsUtf16(programFolder), name, path, MAX_PATH) &&
        GetFileAttributesExW(AsWide(path), GetFileExInfoStandard, &about))
        file = files.openRead(path, nullptr);
    if (file == nullptr) {
        ShowSkinError(IDS_SKIN_NOT_FOUND);
        UseBuiltin(view);
        return;
    }
    const uint64_t size = uint64_t{about.nFileSizeHigh} << 32 | about.nFileSizeLow;
    SkinSource source{ReadFromFile, file, size, 0};
    SkinResult result = ReadSkinFile(view.skin, source);
    files.close(file);
    if (result == kSkinLoaded) {
        ReportImagesWithoutPalette(view.skin);
        if (view.skin.sharpImagesFault != nullptr) ShowSkinError(IDS_SHARP_IMAGES_LEFT_OUT);
        return;
    }
    view.skin.backColor = BuiltinBackColor(view);
    ShowSkinError(result == kSkinOutOfMemory ? IDS_OUT_OF_MEMORY : IDS_SKIN_READ_FAILED);
}

SIZE KeypadImageSize(const SkinView& view, int layer)
{
    layer = ValidLayer(layer);
    if (view.skin.builtinSkin) return BitmapSize(view.builtinImages[layer]);
    static KeypadImageDraw draw;
    if (PrepareKeypadImage(view.skin.images[layer], draw) == kImageNoPalette) return SIZE{0, 0};
    return SIZE{draw.dib.drawWidth, draw.dib.height};
}

int TallestKeypadImage(const SkinView& view)
{
    int rows = 0;
    for (int layer = 0; layer < kSkinLayerCount; ++layer) rows = std::max<int>(rows, KeypadImageSize(view, layer).cy);
    return rows;
}

UINT KeypadImageMessage(const SkinView& view, int layer)
{
    layer = ValidLayer(layer);
    if (view.skin.builtinSkin) return 0;
    static KeypadImageDraw draw;
    return PrepareKeypadImage(view.skin.images[layer], draw) == kImageBadFormat ? IDS_BAD_SKIN_FORMAT : 0;
}

UINT PaintKeypadImage(HDC dc, const RECT& client, const SkinView& view, int layer, int zoom)
{
    layer = ValidLayer(layer);
    if (!view.skin.builtinSkin) return PaintFileImage(dc, client, view.skin, layer, zoom);
    PaintBuiltinImage(dc, client, view, layer, zoom);
    return 0;
}

bool DrawZoomedKeypadImage(SkinView& view, int layer, int zoom)
{
    layer = ValidLayer(layer);
    if (!view.skin.builtinSkin || zoom <= 1 || !HasStandardSize(view.builtinImages[layer])) return false;
    if (view.zoomedImagesZoom != zoom) ReleaseZoomedImages(view);
    view.zoomedImagesZoom = zoom;
    // Drawn once: a failure leaves the enlarged image, not a try in every paint.
    if (view.zoomedImages[layer] != nullptr || view.zoomedImageFailed[layer]) return false;
    view.zoomedImages[layer] = DrawZoomedKeypad(keypadStyles[0], defaultKeyMap, layer, zoom, true);
    view.zoomedImageFailed[layer] = view.zoomedImages[layer] == nullptr;
    return !view.zoomedImageFailed[layer];
}
