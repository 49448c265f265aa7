// Every message box of the program goes through here, so that a test can
// answer it and record its text instead of being blocked by it.
#pragma once

#include <windows.h>

using MessageBoxHandler = int (*)(HWND owner, const wchar_t* text, const wchar_t* caption,
                                  UINT style);

// Null: the real MessageBoxW.
extern MessageBoxHandler messageBoxHandler;

int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style);
