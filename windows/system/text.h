// Text between the core and the window system: strings of the program's
// string table, and the core's UTF-16 as the system's wide text.
#pragma once

#include <windows.h>

#include <string>

// A string of the program's string table; empty when it is missing.
std::wstring LoadText(UINT id);

// Both are 16-bit on Windows.
static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wide text");
inline wchar_t* AsWide(char16_t* text) { return reinterpret_cast<wchar_t*>(text); }
inline const wchar_t* AsWide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
inline const char16_t* AsUtf16(const wchar_t* text) { return reinterpret_cast<const char16_t*>(text); }
