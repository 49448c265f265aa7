// The font and precision dialogs: full-screen, a spinner list each, Ok and
// Отмена on the soft keys. They read the options when they open and write
// them only on Ok.
#include <cwchar>

#include "resources/resource.h"
#include "shell/shell.h"
#include "ui/main_window.h"
#include "ui/phone_dialog.h"
#include "ui/window_links.h"

namespace {

enum : int {
    kFontSizeList = 1000,  // its up-down, 1001, wraps round
    kBoldCheck = 1002,
    kPrecisionList = 1003,  // its up-down, 1004, stops at the ends
    kPrecisionMin = 1,
    kPrecisionMax = 12,
};

// Font sizes in list order, smallest first; the list position is the stored
// fontSize. The empty entry ends the table.
const wchar_t* const kFontSizeTexts[] = {
    L"Очень мелкий", L"Мелкий", L"Нормальный", L"Крупный", L"Очень крупный", L"",
};

int ListSelection(HWND dialog, int id)
{
    return static_cast<int>(SendDlgItemMessageW(dialog, id, LB_GETCURSEL, 0, 0));
}

void OnFontInit(HWND dialog)
{
    if (!OpenPhoneDialog(dialog, IDB_OK_CANCEL)) return;
    HWND list = GetDlgItem(dialog, kFontSizeList);
    for (const wchar_t* text : kFontSizeTexts) {
        if (*text == 0) break;
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    // A stored size out of range leaves the list without a selection.
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(programOptions.fontSize), 0);
    if (programOptions.fontBold != 0) CheckDlgButton(dialog, kBoldCheck, BST_CHECKED);
}

void OnFontOk(HWND dialog)
{
    int size = ListSelection(dialog, kFontSizeList);
    if (size >= 0) programOptions.fontSize = size;  // no selection: the stored size stays
    programOptions.fontBold = IsDlgButtonChecked(dialog, kBoldCheck) == BST_CHECKED ? 1 : 0;
    EndDialog(dialog, 1);
}

INT_PTR CALLBACK FontDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnFontInit(dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDM_DLG_OK:
            OnFontOk(dialog);
            return TRUE;
        case IDM_DLG_CANCEL:
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

void OnPrecisionInit(HWND dialog)
{
    if (!OpenPhoneDialog(dialog, IDB_OK_CANCEL)) return;
    HWND list = GetDlgItem(dialog, kPrecisionList);
    for (int digits = kPrecisionMin; digits <= kPrecisionMax; ++digits) {
        wchar_t text[8];
        std::swprintf(text, 8, L"%d", digits);
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(programOptions.precision - kPrecisionMin), 0);
}

void OnPrecisionOk(HWND dialog)
{
    int row = ListSelection(dialog, kPrecisionList);
    if (row >= 0) programOptions.precision = row + kPrecisionMin;  // no selection: it stays
    EndDialog(dialog, 1);
}

INT_PTR CALLBACK PrecisionDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnPrecisionInit(dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDM_DLG_OK:
            OnPrecisionOk(dialog);
            return TRUE;
        case IDM_DLG_CANCEL:
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

}  // namespace

int ShowFontDialog(HWND owner) { return RunPhoneDialog(owner, IDD_FONT, FontDialogProc); }

int ShowPrecisionDialog(HWND owner) { return RunPhoneDialog(owner, IDD_PRECISION, PrecisionDialogProc); }
