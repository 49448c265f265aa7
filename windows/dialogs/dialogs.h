// The dialogs the main window opens. Each works on the calculator and the
// program folder it is given and returns 1 when the user confirmed and
// something was saved or put in, else 0.
#pragma once

#include <windows.h>

#include "core/calculator/calculator.h"
#include "core/lists/rates_fetch.h"

struct DialogContext {
    Calculator* calculator;
    const wchar_t* folder;  // the program folder, ending in "\"
};

// Font size and weight, precision, skin: into the options.
int ShowFontDialog(HWND owner, DialogContext context);
int ShowPrecisionDialog(HWND owner, DialogContext context);
int ChooseSkin(HWND owner, DialogContext context);

// A constant of the list, or a conversion between two currencies: into the
// engine's value.
int RunConstantPick(HWND owner, DialogContext context);
int ShowCurrencyChoiceDialog(HWND owner, DialogContext context);

// Another constants file: its name into the options (the caller loads it).
int RunConstantFiles(HWND owner, DialogContext context);

// The constants dialog and the currencies dialog: one dialog, two kinds.
enum class ListDialogKind { Constants, Currencies };
int ShowListDialog(HWND owner, ListDialogKind kind, DialogContext context);

// The bounds of the currencies dialog's "Обновить курсы" download: 10 s to
// connect, 30 s in all, 2 MB. Tests shorten the times.
extern RatesFetchLimits ratesFetchLimits;

// Says, in a box over `owner`, that the file of `list` could not be loaded
// (`leadId` IDS_FILE_NOT_LOADED) or saved (IDS_FILE_NOT_SAVED), and why.
void ShowListFileError(HWND owner, const wchar_t* folder, const RecordList& list, UINT leadId,
                       const RecordFileError& error);

// LoadList, and a box when the file was there but could not be read whole.
void LoadListOrSay(HWND owner, const wchar_t* folder, RecordList& list, const char16_t* fileName);
