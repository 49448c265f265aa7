// What the main window and start-up call in the dialogs, lists and skin
// drawing of the Windows program. Each dialog returns 1 when the user
// confirmed (and something was saved or put in), else 0.
#pragma once

#include <windows.h>

// Skin, GDI side (skin/skin_gdi.cpp).
void LoadSkin(HWND window);
void PaintKeypadImage(HDC dc, RECT& rect);

// Skin choice.
int ChooseSkin(HWND window);

// Font and precision.
int ShowFontDialog(HWND window);
int ShowPrecisionDialog(HWND window);

// Constant list and its menu slots (ui/window_links.cpp, on programConstants).
void LoadConstants(HWND window);
void RebuildConstantMenu(HWND window);
void ReleaseConstants();

// Constants dialogs.
int RunConstantPick(HWND window);
int RunConstantsDialog(HWND window);
int RunConstantFiles(HWND window);

// Edit fields whose star and hash keys type ".".
int MakeDecimalKeyEdit(HWND edit);

// Currency table and its quick-conversion entries (on programCurrencies).
void LoadCurrencies(HWND window);
void BuildCurrencyMenu(HWND window);
void FreeCurrencies();

// Currency dialogs.
int ShowCurrencyChoiceDialog(HWND window);
int ShowCurrenciesDialog(HWND window);
