// Helpers shared by the dialogs: edit fields that take numbers and names,
// list boxes filled with a list's names, and the phone's keys in a dialog.
// No state is kept.
#pragma once

#include <windows.h>

#include "core/lists/record_list.h"

enum : int { kFieldBufferUnits = kFieldTextLimit + 1 };  // a field as read, with the NUL

// Makes `edit` type "." for the star and hash keys. 0 on success; E_FAIL when
// it already does (its user-data slot is in use); the platform's error as an
// HRESULT when the window procedure could not be replaced.
int MakeDecimalKeyEdit(HWND edit);

// The leading decimal number of the field's first kFieldTextLimit
// characters; 0 when the text does not begin with one.
double ReadNumberField(HWND dialog, int id);

// A copy of the field's text, at most kFieldTextLimit characters, allocated
// with malloc and owned by the caller; null when memory runs out.
char16_t* ReadTextField(HWND dialog, int id);

// Shows `value` in the field, printed with `format` ("%.6e" or "%f"), or in
// the "%.6e" form when that text would be cut on reading it back.
void ShowNumberField(double value, HWND dialog, int id, const char* format);

// The value field of an editing dialog: Back (Escape) reaches the dialog as
// WM_HOTKEY, Backspace the dialog's fields as a key of their own, the field takes numbers and types "." for "*" and "#" (a message box tells
// when that could not be set up), and Up and Down leave it.
void PrepareValueField(HWND dialog, int editId);

// Lets Up and Down move the focus out of an edit, as on the phone.
void ArrowsLeaveEdit(HWND edit);

// True for the Back key's release in a WM_HOTKEY's lParam.
bool IsBackRelease(LPARAM lParam);

// Sends one backspace to edit `id` of `dialog` when it is enabled.
void EraseOneCharacter(HWND dialog, int id);

// Appends the `count` names to list box `id`.
void AddNamesToList(HWND dialog, int id, char16_t* const* names, int count);

// Replaces item `row` of list box `id` by `name`: inserts the new text at
// `row` and deletes the old item after it.
void ReplaceListItem(HWND dialog, int id, int row, const char16_t* name);

// The selection of list box `id`, -1 when none.
int ListSelection(HWND dialog, int id);

// The one list of a dialog covers the whole screen the dialog was sized to.
void FillWithList(HWND dialog, int id);
