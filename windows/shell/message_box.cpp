#include "windows/shell/message_box.h"

MessageBoxHandler messageBoxHandler = nullptr;

int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style)
{
    if (messageBoxHandler != nullptr) return messageBoxHandler(owner, text, caption, style);
    return MessageBoxW(owner, text, caption, style);
}
