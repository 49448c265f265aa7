// Names of files that the program keeps beside itself (a skin, a constants
// file), as they come from the registry or a dialog.
#pragma once

#include <cstddef>

// True for a bare name that can only mean a file in the program's folder:
// not empty, no path separator or other character a file name cannot hold
// (\ / : * ? " < > |), no control character, not "." or ".." (a step out of
// the folder; dots inside a name are fine), and not one of the system's
// device names (CON, PRN, AUX, NUL, COM1-9, LPT1-9, CONIN$, CONOUT$),
// whatever their case and whatever extension follows them.
bool IsPlainFileName(const char16_t* name);

// The dialogs offer names of at most this many units (a stored name holds 15).
constexpr size_t kOfferedNameLimit = 14;

// Whether a dialog offers the file `fileName` found in the program's folder:
// it ends in `extension` (".skin", ".txt"; any case) and the name before it
// is plain and at most kOfferedNameLimit units long. That name is copied to
// `bareName` (empty when not offered); `capacity` is more than the limit.
bool OfferedFileName(const char16_t* fileName, const char16_t* extension, char16_t* bareName, size_t capacity);
