// Start-up and shutdown of the Windows program.
#pragma once

#include <windows.h>

int RunProgram(HINSTANCE instance, HINSTANCE previousInstance, LPWSTR commandLine, int showCommand);

// `found` = 1 when another copy runs and was brought to the front.
bool FindSingleInstance(const wchar_t* name, const wchar_t* windowName, int& found);

// RunProgram in three steps, for tests that drive the window themselves:
// StartProgram runs everything up to the message loop and returns the shown
// main window (null: this copy ends, EndProgram(false) still must run);
// EndProgram saves the options when asked and releases everything.
HWND StartProgram(HINSTANCE instance, int showCommand);
int RunMessageLoop();
void EndProgram(bool saveOptions);
