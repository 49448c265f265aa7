// The common controls library (the up-down of spinners, the tooltip, window
// subclassing), loaded when a dialog or the tooltip first needs it rather
// than at start-up: loading it registers every class it has and reads the
// desktop's theme, which alone made the program's start an eighth slower.
#pragma once

#include <windows.h>
#include <commctrl.h>

// Loads the library once and registers the up-down and tooltip classes;
// false when it cannot be loaded (then subclassing does nothing).
bool LoadCommonControls();

// SetWindowSubclass, RemoveWindowSubclass and DefSubclassProc of the loaded
// library. Before it is loaded, attaching fails and the default is the
// window's own procedure's default.
bool AttachSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR data);
void DetachSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id);
LRESULT DefaultSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
