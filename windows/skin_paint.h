// The skin on the window system: opening the skin file, the window title and
// drawing the keypad image of a key layer, whole times its size.
#pragma once

#include <windows.h>

#include "core/skin/skin.h"

// The skin as the main window draws it.
struct SkinView {
    SkinState skin;          // the skin file's, or the built-in one
    HBITMAP builtinImages[kSkinLayerCount];  // the built-in skin's, loaded once
    HDC builtinImageDc;      // kept for drawing them: making one per paint costs as much as the drawing
    HGDIOBJ builtinImageOriginal;  // the DC's own bitmap, put back before it goes
    HBITMAP zoomedImages[kSkinLayerCount];  // the built-in skin drawn at zoomedImagesZoom, made as shown
    int zoomedImagesZoom;
    bool zoomedImageFailed[kSkinLayerCount];
    bool highContrast;       // the system's high-contrast mode when the skin was loaded
};

// Loads the built-in skin's five bitmaps (once, at start) and releases them.
void LoadBuiltinImages(SkinView& view, HINSTANCE instance);
void ReleaseBuiltinImages(SkinView& view);

// Reads the skin `skinName` of `programFolder` (the built-in one for an
// empty name) and sets the window title; a skin that cannot be read gives
// the built-in one and its message. With no skin chosen and the system in
// high contrast, the shipped contrast skin where it is.
void LoadSkin(HWND window, SkinView& view, const char16_t* skinName, const wchar_t* programFolder);

// The keypad image of `layer` as drawn at zoom 1: its width and rows.
SIZE KeypadImageSize(const SkinView& view, int layer);
// Rows of the tallest of the five images, at zoom 1.
int TallestKeypadImage(const SkinView& view);

// Draws the keypad image of `layer` at the bottom of `client`, `zoom` times
// its size, each pixel a square. Returns 0, or the string id of the message
// the display line shows instead of the number when the image could not be
// drawn.
// The built-in skin above zoom 1 shows its image drawn for the zoom once
// DrawZoomedKeypadImage has made it, the scale-1 image enlarged until then.
UINT PaintKeypadImage(HDC dc, const RECT& client, const SkinView& view, int layer, int zoom);
// Draws and keeps the built-in skin's image of `layer` for `zoom` when it is
// still to be drawn (a few milliseconds, once per layer and zoom); true when
// it drew one.
bool DrawZoomedKeypadImage(SkinView& view, int layer, int zoom);
// The message PaintKeypadImage will give for `layer`, known without drawing
// (an image the graphics system itself refuses is known only by drawing it).
UINT KeypadImageMessage(const SkinView& view, int layer);
