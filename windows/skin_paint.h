// The skin on the window system: opening the skin file, the window title and
// drawing the keypad image of a key layer.
#pragma once

#include <windows.h>

// Loads the built-in skin's five bitmaps (once, at start) and releases them.
void LoadBuiltinImages();
void ReleaseBuiltinImages();

// Reads the skin named in the options (the built-in one for an empty name)
// into the main window's state and sets the window title; a skin that cannot
// be read gives the built-in one and its message.
void LoadSkin(HWND window);

// Rows the keypad image of `layer` takes at the bottom of the window.
int KeypadImageHeight(int layer);

// Draws the keypad image of `layer` at the bottom of `client`. Returns 0, or
// the string id of the message the display line shows instead of the number
// when the image could not be drawn.
UINT PaintKeypadImage(HDC dc, const RECT& client, int layer);
