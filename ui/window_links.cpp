// The main window's side of the constant list and the currency table: the
// program's one list and one table, with the window's folder and menus.
#include "ui/window_links.h"

#include <cstdint>

#include "constants/constant_list.h"
#include "currency/currency_table.h"
#include "ui/main_window.h"

ConstantList programConstants;
CurrencyTable programCurrencies;

namespace {

const char16_t* Folder() { return reinterpret_cast<const char16_t*>(mainWindowState.programFolder); }
uintptr_t Handle(HWND window) { return reinterpret_cast<uintptr_t>(window); }

}  // namespace

void LoadConstants(HWND window) { LoadConstants(programConstants, Folder(), programOptions, Handle(window)); }
void RebuildConstantMenu(HWND window) { RebuildConstantMenu(programConstants, Handle(window)); }
void ReleaseConstants() { ReleaseConstants(programConstants); }

void LoadCurrencies(HWND window) { LoadCurrencies(programCurrencies, Folder(), Handle(window)); }
void BuildCurrencyMenu(HWND window) { BuildCurrencyMenu(programCurrencies, Handle(window)); }
void FreeCurrencies() { FreeCurrencies(programCurrencies); }
