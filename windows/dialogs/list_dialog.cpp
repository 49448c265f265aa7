// The list dialog, one for both lists: the constants dialog (slot pickers,
// constants with their values, another file to load) and the currencies
// dialog (quick currencies, currencies with their rates); and the record
// editor that adds, renames and deletes a record of either.
#include <cstdlib>

#include "resources/resource.h"
#include "windows/dialogs/dialogs.h"
#include "windows/dialogs/fields.h"
#include "windows/dialogs/phone_dialog.h"
#include "windows/shell/shell.h"
#include "windows/text.h"

namespace {

// --- The record editor --------------------------------------------------------

enum class EditMode { Add, Change, Delete };

struct EditRequest {
    EditMode mode;
    const char* format;      // the value's: the list kind's value format
    double value;            // in: shown (Change, Delete); out after Ok: the value field
    const char16_t* name;    // in: shown (Change, Delete), borrowed from the list
    char16_t* typedName;     // out after Ok: the name field, malloc'ed, the caller's
    int focusedEdit;         // the edit that had the focus last: Back erases there
};

void OpenRecordEditor(HWND dialog, EditRequest& request)
{
    if (!OpenPhoneDialog(dialog, IDB_OK_CANCEL)) return;
    PrepareValueField(dialog, IDC_RECORD_VALUE);
    SendDlgItemMessageW(dialog, IDC_RECORD_NAME, EM_LIMITTEXT, kFieldTextLimit, 0);
    ArrowsLeaveEdit(GetDlgItem(dialog, IDC_RECORD_NAME));
    request.focusedEdit = IDC_RECORD_NAME;
    if (request.mode == EditMode::Add) return;

    if (request.name != nullptr) SetDlgItemTextW(dialog, IDC_RECORD_NAME, AsWide(request.name));
    ShowNumberField(request.value, dialog, IDC_RECORD_VALUE, request.format);
    if (request.mode == EditMode::Delete) {
        EnableWindow(GetDlgItem(dialog, IDC_RECORD_NAME), FALSE);
        EnableWindow(GetDlgItem(dialog, IDC_RECORD_VALUE), FALSE);
        SetWindowTextW(dialog, LoadText(IDS_EDITOR_DELETE).c_str());
    } else {
        SetWindowTextW(dialog, LoadText(IDS_EDITOR_CHANGE).c_str());
    }
}

// Ok keeps the editor open, with a beep, while the name could not be stored
// in a record file; a deletion is always confirmed.
void RecordEditorOk(HWND dialog, EditRequest& request)
{
    char16_t* name = ReadTextField(dialog, IDC_RECORD_NAME);
    if (request.mode != EditMode::Delete && name != nullptr && !StorableRecordName(name)) {
        // Such a record would vanish or change at the next load.
        std::free(name);
        MessageBeep(MB_ICONWARNING);
        SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_RECORD_NAME)), TRUE);
        return;
    }
    request.value = ReadNumberField(dialog, IDC_RECORD_VALUE);
    request.typedName = name;
    EndDialog(dialog, 1);
}

INT_PTR CALLBACK RecordEditorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        KeepRequest(dialog, lParam);
        OpenRecordEditor(dialog, *RequestOf<EditRequest>(dialog));
        return TRUE;
    }
    EditRequest* request = RequestOf<EditRequest>(dialog);
    if (request == nullptr) return FALSE;
    switch (message) {
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (HIWORD(wParam) == EN_SETFOCUS && (id == IDC_RECORD_NAME || id == IDC_RECORD_VALUE)) {
            request->focusedEdit = id;
            return TRUE;
        }
        if (HIWORD(wParam) != 0) return FALSE;
        if (id == IDM_DLG_OK) RecordEditorOk(dialog, *request);
        else if (id == IDM_DLG_CANCEL) EndDialog(dialog, 0);
        else return FALSE;
        return TRUE;
    }
    case WM_HOTKEY:
        if (IsBackRelease(lParam)) EraseOneCharacter(dialog, request->focusedEdit);
        return TRUE;
    }
    return FALSE;
}

// Runs the editor: 1 on Ok, with the typed name (null when memory ran out)
// and value in the request.
int RunRecordEditor(HWND owner, EditRequest& request)
{
    request.typedName = nullptr;
    return RunPhoneDialog(owner, IDD_RECORD_EDITOR, RecordEditorProc, &request);
}

// --- The list dialog ------------------------------------------------------------

// The controls of one kind's dialog: a spinner list per pick, the list of
// records, the value field.
struct ListDialogShape {
    int templateId;
    UINT barId;
    int pickLists[kMaxPicks];
    int recordList;
    int valueField;
    bool loadsFiles;  // "Загрузить": another constants file
};

const ListDialogShape kConstantsShape{
    IDD_CONSTANTS, IDB_OK_MENU_LOAD,
    {IDC_SLOT1_LIST, IDC_SLOT1_LIST + 1, IDC_SLOT1_LIST + 2, IDC_SLOT1_LIST + 3, IDC_SLOT1_LIST + 4,
     IDC_SLOT1_LIST + 5},
    IDC_CONSTANT_LIST, IDC_CONSTANT_VALUE, true};
const ListDialogShape kCurrenciesShape{
    IDD_CURRENCIES, IDB_OK_MENU, {IDC_QUICK1_LIST, IDC_QUICK2_LIST, IDC_QUICK3_LIST},
    IDC_CURRENCY_LIST, IDC_RATE_EDIT, false};

struct ListRequest {
    const ListDialogShape* shape;
    RecordList* list;
    DialogContext context;
};

const char* FormatOf(const RecordList& list) { return list.kind->file.valueFormat; }

void ShowValue(HWND dialog, const ListRequest& request, double value)
{
    ShowNumberField(value, dialog, request.shape->valueField, FormatOf(*request.list));
}

double WorkingValue(const RecordList& list, int row)
{
    return list.workValues != nullptr ? list.workValues[row] : list.values[row];
}

// Every list of the dialog: the pick lists, then the record list.
template <typename Each>
void ForEachList(const ListRequest& request, Each each)
{
    for (int k = 0; k < PickCount(*request.list); ++k) each(request.shape->pickLists[k]);
    each(request.shape->recordList);
}

void SelectWorkingPicks(HWND dialog, const ListRequest& request)
{
    for (int k = 0; k < PickCount(*request.list); ++k)
        SendDlgItemMessageW(dialog, request.shape->pickLists[k], LB_SETCURSEL,
                            static_cast<WPARAM>(request.list->workPicks[k]), 0);
}

void FillListDialog(HWND dialog, const ListRequest& request)
{
    const RecordList& list = *request.list;
    ForEachList(request, [&](int id) { AddNamesToList(dialog, id, list.names, list.count); });
    if (list.count > 0) {
        for (int k = 0; k < PickCount(list); ++k)
            SendDlgItemMessageW(dialog, request.shape->pickLists[k], LB_SETCURSEL, static_cast<WPARAM>(list.picks[k]),
                                0);
        SendDlgItemMessageW(dialog, request.shape->recordList, LB_SETCURSEL, 0, 0);
        ShowValue(dialog, request, list.values[0]);
    }
    BeginEditing(*request.list);
}

void RecordSelected(HWND dialog, const ListRequest& request)
{
    RecordList& list = *request.list;
    if (list.count <= 0) return;
    const int row = ListSelection(dialog, request.shape->recordList);
    if (row >= 0 && MoveToRow(list, row, ReadNumberField(dialog, request.shape->valueField)))
        ShowValue(dialog, request, list.workValues[row]);
}

void ListOk(HWND dialog, const ListRequest& request)
{
    int selections[kMaxPicks];
    for (int k = 0; k < PickCount(*request.list); ++k)
        selections[k] = ListSelection(dialog, request.shape->pickLists[k]);
    const double field = ReadNumberField(dialog, request.shape->valueField);
    EndDialog(dialog, FinishEditing(*request.list, selections, field, AsUtf16(request.context.folder)));
}

void ListAdd(HWND dialog, const ListRequest& request)
{
    RecordList& list = *request.list;
    EditRequest edit{EditMode::Add, FormatOf(list), 0, nullptr, nullptr, 0};
    if (RunRecordEditor(dialog, edit) != 1 || edit.typedName == nullptr) return;
    if (AddEntry(list, edit.typedName, edit.value))
        ForEachList(request, [&](int id) { AddNamesToList(dialog, id, list.names + list.count - 1, 1); });
    std::free(edit.typedName);
}

void ListDelete(HWND dialog, const ListRequest& request)
{
    RecordList& list = *request.list;
    const int row = ListSelection(dialog, request.shape->recordList);
    if (row < 0 || row >= list.count) return;
    EditRequest edit{EditMode::Delete, FormatOf(list), WorkingValue(list, row), list.names[row], nullptr, 0};
    const int confirmed = RunRecordEditor(dialog, edit);
    std::free(edit.typedName);
    if (confirmed != 1) return;
    const int recordList = request.shape->recordList;
    if (SendDlgItemMessageW(dialog, recordList, LB_DELETESTRING, static_cast<WPARAM>(row), 0) == LB_ERR) return;
    DeleteEntry(list, row);
    if (list.count > 0) SendDlgItemMessageW(dialog, recordList, LB_SETCURSEL, 0, 0);
    ShowValue(dialog, request, list.count > 0 ? WorkingValue(list, 0) : 0);
    for (int k = 0; k < PickCount(list); ++k)
        SendDlgItemMessageW(dialog, request.shape->pickLists[k], LB_DELETESTRING, static_cast<WPARAM>(row), 0);
    SelectWorkingPicks(dialog, request);
}

void ListChange(HWND dialog, const ListRequest& request)
{
    RecordList& list = *request.list;
    const int row = ListSelection(dialog, request.shape->recordList);
    if (row < 0 || row >= list.count) return;
    EditRequest edit{EditMode::Change, FormatOf(list), WorkingValue(list, row), list.names[row], nullptr, 0};
    if (RunRecordEditor(dialog, edit) != 1) return;
    const bool changed = edit.typedName != nullptr && ChangeEntry(list, row, edit.typedName, edit.value);
    std::free(edit.typedName);
    if (!changed) return;
    ShowValue(dialog, request, WorkingValue(list, row));
    ForEachList(request, [&](int id) { ReplaceListItem(dialog, id, row, list.names[row]); });
    SendDlgItemMessageW(dialog, request.shape->recordList, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
    SelectWorkingPicks(dialog, request);
}

void PasteDisplayText(HWND dialog, const ListRequest& request)
{
    const char16_t* text = request.context.calculator->engine.text;
    if (text[0] != 0) SetDlgItemTextW(dialog, request.shape->valueField, AsWide(text));
}

// Another constants file replaces the list; Ok writes it back, normalised.
void LoadAnotherFile(HWND dialog, const ListRequest& request)
{
    if (RunConstantFiles(dialog, request.context) != 1) return;
    ForEachList(request, [&](int id) { SendDlgItemMessageW(dialog, id, LB_RESETCONTENT, 0, 0); });
    SetDlgItemTextW(dialog, request.shape->valueField, L"");
    char16_t name[kListNameCapacity];
    ConstantsFileName(request.context.calculator->options, name);
    LoadList(*request.list, AsUtf16(request.context.folder), name);
    FillListDialog(dialog, request);
    request.list->modified = 1;
}

struct ListCommand {
    int id;
    void (*run)(HWND dialog, const ListRequest& request);
};

const ListCommand kListCommands[] = {
    {IDM_DLG_OK, ListOk},
    {IDM_DLG_ADD, ListAdd},
    {IDM_DLG_DELETE, ListDelete},
    {IDM_DLG_EDIT, ListChange},
    {IDM_PASTE, PasteDisplayText},
};

void RunListCommand(HWND dialog, const ListRequest& request, int id)
{
    if (id == IDM_DLG_CANCEL) EndDialog(dialog, 0);
    if (id == IDM_CONSTANT_FILES && request.shape->loadsFiles) LoadAnotherFile(dialog, request);
    for (const ListCommand& command : kListCommands)
        if (command.id == id) command.run(dialog, request);
}

INT_PTR CALLBACK ListDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        KeepRequest(dialog, lParam);
        const ListRequest& request = *RequestOf<ListRequest>(dialog);
        if (!OpenPhoneDialog(dialog, request.shape->barId)) return FALSE;
        PrepareValueField(dialog, request.shape->valueField);
        FillListDialog(dialog, request);
        return TRUE;
    }
    const ListRequest* request = RequestOf<ListRequest>(dialog);
    if (request == nullptr) return FALSE;
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == request->shape->recordList) {
            if (HIWORD(wParam) == LBN_SELCHANGE) RecordSelected(dialog, *request);
            return TRUE;
        }
        if (HIWORD(wParam) != 0) return FALSE;
        RunListCommand(dialog, *request, LOWORD(wParam));
        return TRUE;  // Back and the system's Ok never close this dialog
    case WM_HOTKEY:
        if (IsBackRelease(lParam)) EraseOneCharacter(dialog, request->shape->valueField);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

int ShowListDialog(HWND owner, ListDialogKind kind, DialogContext context)
{
    const bool constants = kind == ListDialogKind::Constants;
    ListRequest request{constants ? &kConstantsShape : &kCurrenciesShape,
                        constants ? &context.calculator->constants : &context.calculator->currencies, context};
    const int result = RunPhoneDialog(owner, request.shape->templateId, ListDialogProc, &request);
    if (result == 0) CancelEditing(*request.list);
    return result;
}
