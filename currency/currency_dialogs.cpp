// The currency dialogs: the currencies dialog (quick currencies, rates, add,
// delete, rename) and the choice of two currencies to convert between.
#include <cstdlib>

#include "constants/constants_dialogs.h"
#include "constants/dialog_helpers.h"
#include "currency/currency_editing.h"
#include "currency/currency_table.h"
#include "resources/resource.h"
#include "shell/shell.h"
#include "ui/main_window.h"
#include "ui/window_links.h"

namespace {

// The four lists, always handled in this order: quick 1, 2, 3, then the
// currency list.
constexpr int kCurrencyLists[] = {IDC_QUICK1_LIST, IDC_QUICK2_LIST, IDC_QUICK3_LIST, IDC_CURRENCY_LIST};

constexpr int kChoiceLists[] = {IDC_FROM_LIST, IDC_INTO_LIST};

CurrencyTable& currencies = programCurrencies;
CurrenciesEditing currenciesEditing;

void ShowRate(HWND dialog, double rate) { ShowFieldValue(dialog, IDC_RATE_EDIT, rate, "%f"); }

double WorkingRate(int row) { return currencies.workRates != nullptr ? currencies.workRates[row] : currencies.rates[row]; }

const char16_t* Folder() { return reinterpret_cast<const char16_t*>(mainWindowState.programFolder); }

// --- CurrenciesDialog ----------------------------------------------------------

void OpenCurrencies(HWND dialog)
{
    for (int id : kCurrencyLists) AddNamesToList(dialog, id, currencies.names, currencies.count);
    if (currencies.count > 0) {
        for (int k = 0; k < kQuickCurrencyCount; ++k)
            SendDlgItemMessageW(dialog, kCurrencyLists[k], LB_SETCURSEL, static_cast<WPARAM>(currencies.quick[k]), 0);
        SendDlgItemMessageW(dialog, IDC_CURRENCY_LIST, LB_SETCURSEL, 0, 0);
        ShowRate(dialog, currencies.rates[0]);
    }
    BeginCurrenciesEditing(currencies, currenciesEditing);
}

void CurrencySelected(HWND dialog)
{
    if (currencies.count <= 0) return;
    const int row = ListSelection(dialog, IDC_CURRENCY_LIST);
    if (row < 0) return;
    if (MoveToCurrency(currencies, currenciesEditing, row, ReadNumberField(dialog, IDC_RATE_EDIT)))
        ShowRate(dialog, currencies.workRates[row]);
}

void CurrenciesOk(HWND dialog)
{
    int quickLists[kQuickCurrencyCount];
    for (int k = 0; k < kQuickCurrencyCount; ++k) quickLists[k] = ListSelection(dialog, kCurrencyLists[k]);
    const double field = ReadNumberField(dialog, IDC_RATE_EDIT);
    EndDialog(dialog, FinishCurrenciesOk(currencies, currenciesEditing, quickLists, field, Folder()));
}

void CurrenciesAdd(HWND dialog)
{
    editRequest.mode = 0;
    if (RunRecordEditor(dialog) != 1 || editRequest.name == nullptr) return;
    if (AddCurrency(currencies, currenciesEditing, editRequest.name, editRequest.value))
        for (int id : kCurrencyLists) AddNamesToList(dialog, id, currencies.names + currencies.count - 1, 1);
    std::free(editRequest.name);
    editRequest.name = nullptr;
}

void CurrenciesDelete(HWND dialog)
{
    const int row = ListSelection(dialog, IDC_CURRENCY_LIST);
    if (row < 0 || row >= currencies.count) return;
    editRequest.mode = 2;
    editRequest.name = currencies.names[row];
    editRequest.value = WorkingRate(row);
    const int confirmed = RunRecordEditor(dialog);
    if (confirmed == 1) std::free(editRequest.name);
    editRequest.name = nullptr;
    if (confirmed != 1) return;
    if (SendDlgItemMessageW(dialog, IDC_CURRENCY_LIST, LB_DELETESTRING, static_cast<WPARAM>(row), 0) == LB_ERR) return;
    DeleteCurrency(currencies, currenciesEditing, row);
    if (currencies.count > 0) {
        SendDlgItemMessageW(dialog, IDC_CURRENCY_LIST, LB_SETCURSEL, 0, 0);
        ShowRate(dialog, WorkingRate(0));
    } else {
        ShowRate(dialog, 0);
    }
    for (int k = 0; k < kQuickCurrencyCount; ++k) {
        SendDlgItemMessageW(dialog, kCurrencyLists[k], LB_DELETESTRING, static_cast<WPARAM>(row), 0);
        SendDlgItemMessageW(dialog, kCurrencyLists[k], LB_SETCURSEL, static_cast<WPARAM>(currencies.workQuick[k]), 0);
    }
}

void CurrenciesChange(HWND dialog)
{
    const int row = ListSelection(dialog, IDC_CURRENCY_LIST);
    if (row < 0 || row >= currencies.count) return;
    editRequest.mode = 1;
    editRequest.name = currencies.names[row];
    editRequest.value = WorkingRate(row);
    if (RunRecordEditor(dialog) != 1) {
        editRequest.name = nullptr;
        return;
    }
    const bool changed = editRequest.name != nullptr &&
                         ChangeCurrency(currencies, currenciesEditing, row, editRequest.name, editRequest.value);
    std::free(editRequest.name);
    editRequest.name = nullptr;
    if (!changed) return;
    ShowRate(dialog, WorkingRate(row));
    ReplaceListItem(dialog, IDC_CURRENCY_LIST, row, currencies.names[row]);
    SendDlgItemMessageW(dialog, IDC_CURRENCY_LIST, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
    for (int k = 0; k < kQuickCurrencyCount; ++k) {
        ReplaceListItem(dialog, kCurrencyLists[k], row, currencies.names[row]);
        SendDlgItemMessageW(dialog, kCurrencyLists[k], LB_SETCURSEL, static_cast<WPARAM>(currencies.workQuick[k]), 0);
    }
}

void PasteDisplayText(HWND dialog)
{
    if (programEngine.text[0] != 0) SetDlgItemTextW(dialog, IDC_RATE_EDIT, AsWide(programEngine.text));
}

INT_PTR CALLBACK CurrenciesProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        currenciesEditing = CurrenciesEditing{};
        if (!OpenPhoneDialog(dialog, IDB_OK_MENU)) return FALSE;
        PrepareValueField(dialog, IDC_RATE_EDIT);
        OpenCurrencies(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_CURRENCY_LIST) {
            if (HIWORD(wParam) == LBN_SELCHANGE) CurrencySelected(dialog);
            return TRUE;
        }
        if (HIWORD(wParam) != 0) return FALSE;
        switch (LOWORD(wParam)) {
        case IDM_DLG_OK: CurrenciesOk(dialog); return TRUE;
        case IDM_DLG_CANCEL:
            EndCurrenciesEditing(currencies);
            EndDialog(dialog, 0);
            return TRUE;
        case IDM_DLG_ADD: CurrenciesAdd(dialog); return TRUE;
        case IDM_DLG_DELETE: CurrenciesDelete(dialog); return TRUE;
        case IDM_DLG_EDIT: CurrenciesChange(dialog); return TRUE;
        case IDM_PASTE: PasteDisplayText(dialog); return TRUE;
        }
        return TRUE;  // Back never closes this dialog: no handler for command 2
    case WM_HOTKEY:
        if (IsBackRelease(lParam)) EraseOneCharacter(dialog, IDC_RATE_EDIT);
        return TRUE;
    }
    return FALSE;
}

// --- CurrencyChoiceDialog ---------------------------------------------------------

void ChoiceOk(HWND dialog)
{
    const int from = ListSelection(dialog, IDC_FROM_LIST);
    const int into = ListSelection(dialog, IDC_INTO_LIST);
    if (from < 0 || into < 0 || from >= currencies.count || into >= currencies.count) {
        EndDialog(dialog, 0);
        return;
    }
    ConvertCurrency(currencies, programEngine, from, into);
    EndDialog(dialog, 1);
}

INT_PTR CALLBACK CurrencyChoiceProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        if (!OpenPhoneDialog(dialog, IDB_OK_CANCEL) || currencies.count <= 0) return TRUE;
        // Every opening starts from the first currency in both lists.
        for (int id : kChoiceLists) {
            AddNamesToList(dialog, id, currencies.names, currencies.count);
            SendDlgItemMessageW(dialog, id, LB_SETCURSEL, 0, 0);
        }
        return TRUE;
    case WM_COMMAND:
        if (HIWORD(wParam) != 0) return FALSE;
        switch (LOWORD(wParam)) {
        case IDM_DLG_OK: ChoiceOk(dialog); return TRUE;
        case IDM_DLG_CANCEL:
        case IDCANCEL: EndDialog(dialog, 0); return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

}  // namespace

int ShowCurrenciesDialog(HWND parent)
{
    currenciesEditing = CurrenciesEditing{};
    const int result = RunPhoneDialog(parent, IDD_CURRENCIES, CurrenciesProc);
    EndCurrenciesEditing(currencies);
    // Currencies added, deleted or renamed without a save: the quick entries
    // are rebuilt so that each converts by the pair its label names.
    if (result == 0 && currenciesEditing.modified) BuildCurrencyMenu(parent);
    return result;
}

int ShowCurrencyChoiceDialog(HWND parent)
{
    if (currencies.count < 2) return 0;
    return RunPhoneDialog(parent, IDD_CURRENCY_CHOICE, CurrencyChoiceProc);
}
