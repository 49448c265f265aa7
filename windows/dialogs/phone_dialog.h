// What every dialog of the program shares: the phone's full-screen opening
// with a soft-key bar, running a template modally, and the request a dialog
// was opened with.
#pragma once

#include <windows.h>

// Full screen and the soft-key bar `barId`; false when the bar could not be
// made (the dialog then stays without its commands and its filling).
bool OpenPhoneDialog(HWND dialog, UINT barId);

// Runs template `templateId` modally over `owner` with `request` as its
// creation parameter: 1 when the dialog ended with 1, else 0.
int RunPhoneDialog(HWND owner, int templateId, DLGPROC procedure, void* request);

// The creation parameter, kept at WM_INITDIALOG and read back later; null
// for a message that comes before it.
void KeepRequest(HWND dialog, LPARAM request);
template <typename T>
T* RequestOf(HWND dialog)
{
    return reinterpret_cast<T*>(GetWindowLongPtrW(dialog, DWLP_USER));
}
