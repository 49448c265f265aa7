// Dialogs and lists that are not written yet: each does nothing and reports
// "not confirmed", so that the main window's commands are safe to use.
// A function moves out of this file when its real implementation arrives.
#include "ui/window_links.h"

int ChooseSkin(HWND) { return 0; }

int ShowFontDialog(HWND) { return 0; }
int ShowPrecisionDialog(HWND) { return 0; }

int RunConstantPick(HWND) { return 0; }
int RunConstantsDialog(HWND) { return 0; }
int RunConstantFiles(HWND) { return 0; }

int MakeDecimalKeyEdit(HWND) { return 0; }

int ShowCurrencyChoiceDialog(HWND) { return 0; }
int ShowCurrenciesDialog(HWND) { return 0; }
