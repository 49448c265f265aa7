// Edit-field helpers shared by the dialogs that edit numbers and names.
//
// Usage, in a dialog procedure:
//     if (MakeDecimalKeyEdit(GetDlgItem(dialog, 1028)) != 0)
//         ShowMessageBox(dialog, L"Can't set translation", L"Error", MB_OK);
//     ShowNumberField(value, dialog, 1028, L"%.6e");      // constants; "%f" for rates
//     double value = ReadNumberField(dialog, 1028);
//     char16_t* name = ReadTextField(dialog, 1029);       // free() it; null: no memory
// Fields are read as at most kFieldTextLimit characters. No state is kept.
#pragma once

#include <windows.h>

enum : int {
    kFieldTextLimit = 39,      // characters read from a field
    kFieldBufferUnits = 40,    // with the NUL
    kNumberBufferUnits = 100,  // a number shown, with the NUL
};

// Makes `edit` type "." for the star and hash keys. 0 on success; E_FAIL when
// it already does (its user-data slot is in use); the platform's error as an
// HRESULT when the window procedure could not be replaced.
int MakeDecimalKeyEdit(HWND edit);

// The leading decimal number of the field's text, as wcstod reads one in the
// C locale (white space, sign, digits, one ".", exponent); 0 when the text
// does not begin with one. Infinity, NaN and hexadecimal are not numbers here.
double ReadNumberField(HWND dialog, int id);

// A copy of the field's text, at most kFieldTextLimit characters, allocated
// with malloc and owned by the caller; null when memory runs out.
char16_t* ReadTextField(HWND dialog, int id);

// Shows `value` in the field, printed with the printf-style `format` ("%.6e"
// or "%f"). A value whose text would not fit kNumberBufferUnits is shown in
// the "%.6e" form; nothing changes when memory runs out.
void ShowNumberField(double value, HWND dialog, int id, const wchar_t* format);
