// The name-and-value editor shared by the constants and currency dialogs, and
// the pieces every list dialog opens with. The launchers the main window
// calls are declared in ui/window_links.h.
#pragma once

#include <windows.h>

#include "ui/phone_dialog.h"

#include "shell/shell.h"

// What the editor shows and what it gives back.
//   mode 0      "Добавить": empty fields
//   mode 1      "Изменить": name and value ("%f"), editable
//   mode 2      "Удалить?": name and value ("%f"), both disabled
//   mode 0x101  as 1, value shown with "%.6e"
//   mode 0x102  as 2, value shown with "%.6e"
// The editor clears bit 0x100 from `mode` when it opens.
struct EditRequest {
    int mode;
    double value;     // in: shown (modes other than 0); out after Ok: the value field
    char16_t* name;   // in: borrowed from the caller's list; out after Ok: a new
                      // copy of the name field, malloc'ed, owned by the caller
    int focusedEdit;  // the edit that had the focus last: Back erases there
};

extern EditRequest editRequest;

// Runs the editor over `owner`: 1 on Ok (value and name set), 0 on Отмена.
// Ok keeps the editor open, with a beep, while the name could not be stored
// in a record file (see StorableRecordName); a deletion is always confirmed.
int RunRecordEditor(HWND owner);

// The value field of an editing dialog: Back reaches the dialog as WM_HOTKEY,
// the field takes numbers and types "." for "*" and "#" (a message box tells
// when that could not be set up).
void PrepareValueField(HWND dialog, int editId);

// Lets Up and Down move the focus out of an edit, as on the phone.
void ArrowsLeaveEdit(HWND edit);

// True for the Back key's release in a WM_HOTKEY's lParam.
inline bool IsBackRelease(LPARAM lParam)
{
    return HIWORD(lParam) == VK_TBACK && (LOWORD(lParam) & MOD_KEYUP) != 0;
}

// Sends one backspace to edit `id` of `dialog` when it is enabled.
void EraseOneCharacter(HWND dialog, int id);

// Shows `value` in field `id` with `format` ("%f" or "%.6e"); a value whose
// "%f" text would be cut when the field is read back is shown as "%.6e".
void ShowFieldValue(HWND dialog, int id, double value, const char* format);

// Appends the `count` names to list box `id`.
void AddNamesToList(HWND dialog, int id, char16_t* const* names, int count);

// Replaces item `row` of list box `id` by `name`: inserts the new text at
// `row` and deletes the old item after it.
void ReplaceListItem(HWND dialog, int id, int row, const char16_t* name);

// The selection of list box `id`, -1 when none.
int ListSelection(HWND dialog, int id);

