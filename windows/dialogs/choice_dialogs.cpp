// The dialogs that choose one thing and put it in on Ok: font, precision,
// skin, a constant, a constants file, two currencies. They share one
// procedure: each is a template, a filling and a choice.
#include <cwchar>
#include <iterator>

#include "core/text/file_names.h"
#include "core/text/text16.h"
#include "resources/resource.h"
#include "windows/dialogs/dialogs.h"
#include "windows/dialogs/fields.h"
#include "windows/dialogs/phone_dialog.h"
#include "windows/shell/shell.h"
#include "windows/system/text.h"

namespace {

enum : int {
    kFontSizeCount = IDS_FONT_VERY_LARGE - IDS_FONT_VERY_SMALL + 1,
    kPrecisionMin = 1,
    kPrecisionMax = 12,
    kItemCapacity = 64,
};

struct ChoiceDialog {
    int templateId;
    int listId;          // with pickedByEnter: Enter and a double click here choose too
    bool pickedByEnter;
    void (*fill)(HWND dialog, DialogContext& context);
    int (*choose)(HWND dialog, DialogContext& context);  // Ok: 1 when something was put in
};

struct ChoiceRequest {
    const ChoiceDialog* dialog;
    DialogContext context;
};

Options& OptionsOf(DialogContext& context) { return context.calculator->options; }

// --- Font and precision --------------------------------------------------------

void FillFont(HWND dialog, DialogContext& context)
{
    HWND list = GetDlgItem(dialog, IDC_FONT_SIZE_LIST);
    for (int size = 0; size < kFontSizeCount; ++size)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(LoadText(IDS_FONT_VERY_SMALL + size).c_str()));
    // A stored size out of range leaves the list without a selection.
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(OptionsOf(context).fontSize), 0);
    if (OptionsOf(context).fontBold != 0) CheckDlgButton(dialog, IDC_BOLD_CHECK, BST_CHECKED);
}

int ChooseFont(HWND dialog, DialogContext& context)
{
    int size = ListSelection(dialog, IDC_FONT_SIZE_LIST);
    if (size >= 0) OptionsOf(context).fontSize = size;  // no selection: the stored size stays
    OptionsOf(context).fontBold = IsDlgButtonChecked(dialog, IDC_BOLD_CHECK) == BST_CHECKED ? 1 : 0;
    return 1;
}

void FillPrecision(HWND dialog, DialogContext& context)
{
    HWND list = GetDlgItem(dialog, IDC_PRECISION_LIST);
    for (int digits = kPrecisionMin; digits <= kPrecisionMax; ++digits) {
        wchar_t text[8];
        std::swprintf(text, 8, L"%d", digits);
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(OptionsOf(context).precision - kPrecisionMin), 0);
}

int ChoosePrecision(HWND dialog, DialogContext& context)
{
    int row = ListSelection(dialog, IDC_PRECISION_LIST);
    if (row >= 0) OptionsOf(context).precision = row + kPrecisionMin;  // no selection: it stays
    return 1;
}

// --- Files of the program folder ------------------------------------------------

// Calls `offer` with the name of every file of the folder matching `pattern`.
template <typename Offer>
void ListFolder(const wchar_t* folder, const wchar_t* pattern, Offer offer)
{
    wchar_t path[MAX_PATH + 8];
    int length = std::swprintf(path, sizeof path / sizeof *path, L"%ls%ls", folder, pattern);
    if (length < 0 || length >= static_cast<int>(sizeof path / sizeof *path)) return;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(path, &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        found.cFileName[MAX_PATH - 1] = 0;
        offer(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

// The selected item's text into `text`; false without a selection or when it
// does not fit.
bool SelectedText(HWND dialog, int id, wchar_t (&text)[kItemCapacity])
{
    const int row = ListSelection(dialog, id);
    if (row < 0) return false;
    LRESULT length = SendDlgItemMessageW(dialog, id, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
    if (length < 0 || length >= kItemCapacity) return false;
    text[0] = 0;
    if (SendDlgItemMessageW(dialog, id, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text)) < 0)
        return false;
    text[length] = 0;
    return true;
}

void FillSkins(HWND dialog, DialogContext& context)
{
    FillWithList(dialog, IDC_SKIN_LIST);
    HWND list = GetDlgItem(dialog, IDC_SKIN_LIST);
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(LoadText(IDS_BUILTIN_SKIN).c_str()));
    // Exactly the names the skin loader takes.
    ListFolder(context.folder, L"*.skin", [list](wchar_t* name) {
        char16_t bare[kOfferedNameLimit + 1];
        if (OfferedFileName(AsUtf16(name), u".skin", bare, std::size(bare)))
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(AsWide(bare)));
    });
}

// Only the name is stored; the main window loads the skin afterwards.
int ChooseSkinName(HWND dialog, DialogContext& context)
{
    wchar_t text[kItemCapacity];
    if (!SelectedText(dialog, IDC_SKIN_LIST, text)) return 0;
    char16_t* name = OptionsOf(context).skinName;
    if (LoadText(IDS_BUILTIN_SKIN) == text)
        name[0] = 0;
    else
        U16Copy(name, sizeof OptionsOf(context).skinName / sizeof *name, AsUtf16(text));
    return 1;
}

void FillConstantsFiles(HWND dialog, DialogContext& context)
{
    FillWithList(dialog, IDC_FILES_LIST);
    ListFolder(context.folder, L"*.txt", [dialog](wchar_t* name) {
        char16_t bare[kListNameCapacity];
        if (OfferedConstantsFile(AsUtf16(name), bare))
            SendDlgItemMessageW(dialog, IDC_FILES_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(AsWide(bare)));
    });
}

int ChooseConstantsFile(HWND dialog, DialogContext& context)
{
    wchar_t text[kItemCapacity];
    char16_t* name = OptionsOf(context).constantsFile;
    const size_t capacity = sizeof OptionsOf(context).constantsFile / sizeof *name;
    if (!SelectedText(dialog, IDC_FILES_LIST, text) || std::wcslen(text) >= capacity) return 0;
    U16Copy(name, capacity, AsUtf16(text));
    return 1;
}

// --- Values from the lists ----------------------------------------------------

void FillConstantPick(HWND dialog, DialogContext& context)
{
    FillWithList(dialog, IDC_PICK_LIST);
    const RecordList& constants = context.calculator->constants;
    if (constants.count <= 0) return;
    AddNamesToList(dialog, IDC_PICK_LIST, constants.names, constants.count);
    SendDlgItemMessageW(dialog, IDC_PICK_LIST, LB_SETCURSEL, 0, 0);
}

int PickConstant(HWND dialog, DialogContext& context)
{
    const RecordList& constants = context.calculator->constants;
    const int row = ListSelection(dialog, IDC_PICK_LIST);
    if (row < 0 || row >= constants.count || constants.values == nullptr) return 0;
    context.calculator->engine.value = constants.values[row];
    return 1;
}

// Every opening starts from the first currency in both lists.
void FillCurrencyChoice(HWND dialog, DialogContext& context)
{
    const RecordList& currencies = context.calculator->currencies;
    if (currencies.count <= 0) return;
    for (int id : {IDC_FROM_LIST, IDC_INTO_LIST}) {
        AddNamesToList(dialog, id, currencies.names, currencies.count);
        SendDlgItemMessageW(dialog, id, LB_SETCURSEL, 0, 0);
    }
}

int ConvertChosen(HWND dialog, DialogContext& context)
{
    const RecordList& currencies = context.calculator->currencies;
    const int from = ListSelection(dialog, IDC_FROM_LIST);
    const int into = ListSelection(dialog, IDC_INTO_LIST);
    if (from < 0 || into < 0 || from >= currencies.count || into >= currencies.count) return 0;
    ConvertCurrency(currencies, context.calculator->engine, from, into);
    return 1;
}

const ChoiceDialog kFontDialog{IDD_FONT, IDC_FONT_SIZE_LIST, false, FillFont, ChooseFont};
const ChoiceDialog kPrecisionDialog{IDD_PRECISION, IDC_PRECISION_LIST, false, FillPrecision, ChoosePrecision};
const ChoiceDialog kSkinDialog{IDD_SKIN, IDC_SKIN_LIST, true, FillSkins, ChooseSkinName};
const ChoiceDialog kConstantFilesDialog{IDD_CONSTANT_FILES, IDC_FILES_LIST, true, FillConstantsFiles,
                                        ChooseConstantsFile};
const ChoiceDialog kConstantPickDialog{IDD_CONSTANT_PICK, IDC_PICK_LIST, true, FillConstantPick, PickConstant};
const ChoiceDialog kCurrencyChoiceDialog{IDD_CURRENCY_CHOICE, IDC_FROM_LIST, false, FillCurrencyChoice,
                                         ConvertChosen};

INT_PTR CALLBACK ChoiceDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        KeepRequest(dialog, lParam);
        ChoiceRequest& request = *RequestOf<ChoiceRequest>(dialog);
        if (OpenPhoneDialog(dialog, IDB_OK_CANCEL)) request.dialog->fill(dialog, request.context);
        return TRUE;
    }
    case WM_COMMAND: {
        ChoiceRequest* request = RequestOf<ChoiceRequest>(dialog);
        if (request == nullptr) return FALSE;
        const int id = LOWORD(wParam);
        const bool picked = request->dialog->pickedByEnter &&
                            ((id == request->dialog->listId && HIWORD(wParam) == LBN_DBLCLK) ||
                             (id == IDOK && HIWORD(wParam) == 0));
        if (picked || (id == IDM_DLG_OK && HIWORD(wParam) == 0)) {
            EndDialog(dialog, request->dialog->choose(dialog, request->context));
            return TRUE;
        }
        if ((id == IDM_DLG_CANCEL || id == IDCANCEL) && HIWORD(wParam) == 0) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        return FALSE;
    }
    }
    return FALSE;
}

int RunChoice(HWND owner, const ChoiceDialog& dialog, DialogContext context)
{
    ChoiceRequest request{&dialog, context};
    return RunPhoneDialog(owner, dialog.templateId, ChoiceDialogProc, &request);
}

}  // namespace

int ShowFontDialog(HWND owner, DialogContext context) { return RunChoice(owner, kFontDialog, context); }
int ShowPrecisionDialog(HWND owner, DialogContext context) { return RunChoice(owner, kPrecisionDialog, context); }
int ChooseSkin(HWND owner, DialogContext context) { return RunChoice(owner, kSkinDialog, context); }
int RunConstantFiles(HWND owner, DialogContext context) { return RunChoice(owner, kConstantFilesDialog, context); }
int RunConstantPick(HWND owner, DialogContext context) { return RunChoice(owner, kConstantPickDialog, context); }

int ShowCurrencyChoiceDialog(HWND owner, DialogContext context)
{
    if (context.calculator->currencies.count < 2) return 0;
    return RunChoice(owner, kCurrencyChoiceDialog, context);
}
