// The settings in the registry: the options record and the window's zoom,
// read once at start-up, written at a normal end and when the session ends.
// Windows only.
#pragma once

#include <windows.h>

#include <string>

#include "core/settings/options.h"

// Each value is read from HKEY_CURRENT_USER\Software\Vela2003, else from the
// same key under HKEY_LOCAL_MACHINE. The record ("Options") is made safe to
// use, the defaults where there is none; the zoom ("Zoom", a DWORD of 1 to 4)
// is 0 where there is none that can be used.
void LoadOptions(Options& options);
int LoadZoom();

// Writes the record, and the zoom unless it is 0, under HKEY_LOCAL_MACHINE,
// or under HKEY_CURRENT_USER where that is not allowed; "Ошибка записи в
// Registry" when neither works.
void SaveOptions(const Options& options, int zoom);

// The same with the keys to try, in order (tests pass keys that fail).
// Returns the root written to, or null after the error message.
HKEY SaveOptionsTo(const Options& options, int zoom, const HKEY* roots, int rootCount);

// The bank "Обновить курсы" takes the rates from ("RatesBank", a DWORD:
// RatesBank), kRatesBankCbr where none is stored; kept in the user's key.
int LoadRatesBank();
void SaveRatesBank(int bank);
// "RatesUrl", a string that replaces the chosen bank's address; empty when
// there is none.
std::wstring LoadRatesUrl();

extern const wchar_t kOptionsKeyPath[];    // L"Software\\Vela2003"
extern const wchar_t kOptionsValueName[];  // L"Options"
extern const wchar_t kZoomValueName[];     // L"Zoom"
