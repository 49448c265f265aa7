// The main window's soft-key menus beyond what the core's seam keeps up to
// date: the zoom's check mark, and the text of an item.
#pragma once

#include <string>

// Checks "×zoom" in "Масштаб".
void ShowZoomChecked(int zoom);

// The text of the main menus' item `id`; empty when there is no such item.
std::wstring MenuItemText(int id);
