// The phone's spinner: a one-line list box with small left and right arrows
// at its right end, stepped with the Left and Right keys.
//
// Usage. A dialog template puts a LISTBOX and right after it an up-down
// control whose buddy it becomes:
//
//     CONTROL "", 1000, "ListBox", SPINNER_LIST_STYLE, 7, 19, 83, 11
//     CONTROL "Размер шрифта", 1001, UPDOWN_CLASS, SPINNER_UPDOWN_STYLE | UDS_WRAP, 75, 20, 18, 11
//
// (a .rc file includes <commctrl.h> and this header for the names). The
// dialog procedure calls SHInitDialog in WM_INITDIALOG, which turns every
// such pair into a spinner; AttachSpinners does the same for a dialog that
// does not use SHInitDialog. From then on the dialog works the list with the
// ordinary list box messages (LB_ADDSTRING, LB_INSERTSTRING, LB_DELETESTRING,
// LB_RESETCONTENT, LB_SETCURSEL, LB_GETCURSEL, LB_GETTEXT) and receives
// WM_COMMAND with LBN_SELCHANGE and the list's id whenever the user changes
// the selection (never for its own LB_SETCURSEL):
//   - Left and Right step the selection, wrapping round only with UDS_WRAP;
//     so do clicks on the arrows;
//   - Up and Down move the focus to the previous or next control;
//   - the action key (Enter) opens the list over the whole dialog when the
//     up-down has UDS_EXPANDABLE: Enter (or the left soft key) picks, Back
//     (or the right soft key) leaves it unchanged;
//   - the field always shows the selected item.
// The up-down control itself is hidden: the list box draws the arrows.
#pragma once

#include <windows.h>
#include <commctrl.h>

// The phone's up-down style that lets the list open full-screen.
#ifndef UDS_EXPANDABLE
#define UDS_EXPANDABLE 0x0200
#endif

// Template styles of the two controls of a spinner; add UDS_WRAP to the
// up-down's where the list comes round from its last item to its first.
#define SPINNER_LIST_STYLE \
    (WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT)
#define SPINNER_UPDOWN_STYLE \
    (WS_CHILD | WS_VISIBLE | UDS_HORZ | UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS | UDS_EXPANDABLE)

#ifndef RC_INVOKED

// Makes a spinner of every up-down of `dialog` whose buddy is a list box
// (its buddy, or else the control right before it). Safe to call again.
void AttachSpinners(HWND dialog);

// A screen reader reads the dialog's other lists (named by the dialog's
// title, the selected item their value) and check boxes (named, checked or
// not) alike on every system. SHInitDialog calls it after AttachSpinners.
void NameControlsForScreenReaders(HWND dialog);

// The list open over a dialog after the action key, or null. Keys for it go
// to this window.
HWND SpinnerPopup();

#endif
