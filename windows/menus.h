// The main window's soft-key menus: check marks, list items, item texts.
#pragma once

#include <windows.h>

#include <string>

#include "core/seam.h"

// Keeps the menus of `window` as the calculator's engine and lists change:
// the check marks of the modes, the list items.
CoreListener MenuListener(HWND window);

// Checks "×zoom" in "Масштаб".
void ShowZoomChecked(HWND window, int zoom);

// The text of the menus' item `id`; empty when there is no such item.
std::wstring MenuItemText(HWND window, int id);
