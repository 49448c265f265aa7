// The options record in the registry: read once at start-up, written once at
// a normal end. Windows only.
#pragma once

#include <windows.h>

#include "core/settings/options.h"

// Reads the record from HKEY_CURRENT_USER\Software\Vela2003, value "Options",
// else from the same key under HKEY_LOCAL_MACHINE, else gives the defaults.
// Whatever is read is made safe to use.
void LoadOptions(Options& options);

// Writes the record under HKEY_LOCAL_MACHINE, or under HKEY_CURRENT_USER
// where that is not allowed; "Ошибка записи в Registry" when neither works.
void SaveOptions(const Options& options);

// The same with the keys to try, in order (tests pass keys that fail).
// Returns the root written to, or null after the error message.
HKEY SaveOptionsTo(const Options& options, const HKEY* roots, int rootCount);

extern const wchar_t kOptionsKeyPath[];    // L"Software\\Vela2003"
extern const wchar_t kOptionsValueName[];  // L"Options"
