// Windows as a screen reader sees them: an IAccessible of our own for a
// window's client area, with the parts of it as simple children (numbered
// 1..n), described by plain functions of the window that owns them. Every
// other object of the window (its frame, scroll bars, caret) stays with the
// system's default proxy.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <string>

struct AccessibleItem {
    LONG role = ROLE_SYSTEM_CLIENT;
    LONG state = 0;
    std::wstring name;
    std::wstring value;           // empty: the item has none
    std::wstring defaultAction;   // empty: none
    RECT screen{};                // where it is on the screen
};

struct AccessibleTree {
    int (*childCount)(HWND window);
    // child 0 is the client area itself; false: there is no such child.
    bool (*describe)(HWND window, int child, AccessibleItem& item);
    // Runs the default action of `child`; null or false when it has none.
    bool (*doDefaultAction)(HWND window, int child);
    // The child with the keyboard focus while the window has it (0: itself).
    int (*focusedChild)(HWND window);
};

// WM_GETOBJECT: our object for OBJID_CLIENT; 0 for every other object (and
// when ours cannot be handed out): then the window's default procedure answers.
LRESULT AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam, const AccessibleTree& tree);

// Tells listening screen readers that `child` of the window's client object
// changed: EVENT_OBJECT_VALUECHANGE, EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_FOCUS.
inline void AnnounceChild(HWND window, DWORD event, int child)
{
    NotifyWinEvent(event, window, OBJID_CLIENT, child);
}
