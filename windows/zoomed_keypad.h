// A keypad of our own drawing at a zoom: the keys and highlights at the
// zoom's own resolution, the key characters and labels in the desktop's
// font, anti-aliased, each fitted into its place of the 176-pixel layout.
#pragma once

#include <windows.h>

#include <cstdint>

#include "core/skin/keypad_art.h"

// A 32-bit top-down bitmap (176 x 153 times `zoom`) of `layer`'s image in
// `style` with the labels of `keyMap`; without its text when not `withText`.
// Null when the bitmap cannot be had.
HBITMAP DrawZoomedKeypad(const KeypadStyle& style, const uint8_t keyMap[kKeyMapSize], int layer, int zoom,
                         bool withText);
