// What every dialog of the program shares: the module that holds the
// templates and bars, the phone's full-screen opening with a soft-key bar,
// and running a template modally.
#pragma once

#include <windows.h>

// The module that holds the dialog templates and bars.
HINSTANCE ProgramInstance();

// Full screen and the soft-key bar `barId`; false when the bar could not be
// made (the dialog then stays without its commands and its filling).
bool OpenPhoneDialog(HWND dialog, UINT barId);

// Runs template `templateId` modally over `owner`: 1 when the dialog ended
// with 1, else 0.
int RunPhoneDialog(HWND owner, int templateId, DLGPROC procedure);
