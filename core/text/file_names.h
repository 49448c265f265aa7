// Names of files that the program keeps beside itself (a skin, a constants
// file), as they come from the registry or a dialog.
#pragma once

// True for a bare name that can only mean a file in the program's folder:
// not empty, no path separator or other character a file name cannot hold
// (\ / : * ? " < > |), no control character, no "..", and not one of the
// system's device names (CON, PRN, AUX, NUL, COM1-9, LPT1-9, CONIN$, CONOUT$),
// whatever their case and whatever extension follows them.
bool IsPlainFileName(const char16_t* name);
