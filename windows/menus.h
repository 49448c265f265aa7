// The main window's soft-key menus: the core's listener that keeps their
// check marks and list items up to date, the zoom's check mark, and the text
// of an item.
#pragma once

#include <windows.h>

#include <string>

#include "core/seam.h"
#include "core/settings/options.h"

// Tells the menus of `window` what the calculator's engine and lists change.
CoreListener MenuListener(HWND window);

// Checks the representation, the angle unit and digit grouping of `options`.
void ShowModes(HWND window, const Options& options);

// Checks "×zoom" in "Масштаб".
void ShowZoomChecked(HWND window, int zoom);

// The text of the menus' item `id`; empty when there is no such item.
std::wstring MenuItemText(HWND window, int id);
