// The constants dialogs: the name-and-value editor, the constants dialog, the
// constant pick and the constants file choice; and the opening that every
// list dialog (these and the currency dialogs) shares.
#include "constants/constants_dialogs.h"

#include <commctrl.h>

#include <cstdlib>
#include <cstring>

#include "constants/constant_list.h"
#include "constants/constants_editing.h"
#include "constants/dialog_helpers.h"
#include "engine/text16.h"
#include "resources/resource.h"
#include "shell/message_box.h"
#include "shell/shell.h"
#include "ui/main_window.h"
#include "ui/window_links.h"

EditRequest editRequest;

namespace {

constexpr UINT_PTR kArrowSubclassId = 0x5E20;
constexpr int kSlotListFirst = IDC_SLOT1_LIST;  // 1021..1026, then the constant picker 1027
constexpr int kConstantsListCount = kConstantSlotCount + 1;

ConstantList& constants = programConstants;
ConstantsEditing constantsEditing;

const wchar_t* Wide(const char16_t* text) { return AsWide(text); }

void EndWith(HWND dialog, int result) { EndDialog(dialog, result); }

LRESULT CALLBACK ArrowEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR)
{
    switch (message) {
    case WM_KEYDOWN:
        if (wParam == VK_UP || wParam == VK_DOWN) {
            SendMessageW(GetParent(edit), WM_NEXTDLGCTL, wParam == VK_UP ? 1 : 0, FALSE);
            return 0;
        }
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(edit, ArrowEditProc, id);
        break;
    }
    return DefSubclassProc(edit, message, wParam, lParam);
}

// --- RecordEditor --------------------------------------------------------------

void OpenRecordEditor(HWND dialog)
{
    if (!OpenPhoneDialog(dialog, IDB_OK_CANCEL)) return;
    PrepareValueField(dialog, IDC_RECORD_VALUE);
    SendDlgItemMessageW(dialog, IDC_RECORD_NAME, EM_LIMITTEXT, kFieldTextLimit, 0);
    ArrowsLeaveEdit(GetDlgItem(dialog, IDC_RECORD_NAME));
    editRequest.focusedEdit = IDC_RECORD_NAME;

    if (editRequest.mode == 0) {
        editRequest.value = 0;
        editRequest.name = nullptr;
        return;
    }
    if (editRequest.name != nullptr) SetDlgItemTextW(dialog, IDC_RECORD_NAME, Wide(editRequest.name));
    const char* format = "%f";
    if (editRequest.mode & 0x100) {
        editRequest.mode &= ~0x100;
        format = "%.6e";
    }
    // What the field shows is read back as at most kFieldTextLimit units.
    char16_t text[kEditorValueCapacity];
    FormatFieldValue(text, kFieldBufferUnits, editRequest.value, format);
    SetDlgItemTextW(dialog, IDC_RECORD_VALUE, Wide(text));
    if (editRequest.mode == 2) {
        EnableWindow(GetDlgItem(dialog, IDC_RECORD_NAME), FALSE);
        EnableWindow(GetDlgItem(dialog, IDC_RECORD_VALUE), FALSE);
        SetWindowTextW(dialog, L"Удалить?");
    } else {
        SetWindowTextW(dialog, L"Изменить");
    }
}

void RecordEditorOk(HWND dialog)
{
    char16_t* name = ReadTextField(dialog, IDC_RECORD_NAME);
    if (editRequest.mode != 2 && name != nullptr && !StorableRecordName(name)) {
        // Such a record would vanish or change at the next load.
        std::free(name);
        MessageBeep(MB_ICONWARNING);
        HWND field = GetDlgItem(dialog, IDC_RECORD_NAME);
        SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(field), TRUE);
        return;
    }
    editRequest.value = ReadNumberField(dialog, IDC_RECORD_VALUE);
    editRequest.name = name;
    EndWith(dialog, 1);
}

INT_PTR CALLBACK RecordEditorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OpenRecordEditor(dialog);
        return TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (HIWORD(wParam) == EN_SETFOCUS && (id == IDC_RECORD_NAME || id == IDC_RECORD_VALUE)) {
            editRequest.focusedEdit = id;
            return TRUE;
        }
        if (id == IDM_DLG_OK && HIWORD(wParam) == 0) {
            RecordEditorOk(dialog);
            return TRUE;
        }
        if (id == IDM_DLG_CANCEL && HIWORD(wParam) == 0) {
            EndWith(dialog, 0);
            return TRUE;
        }
        return FALSE;
    }
    case WM_HOTKEY:
        if (IsBackRelease(lParam)) EraseOneCharacter(dialog, editRequest.focusedEdit);
        return TRUE;
    }
    return FALSE;
}

// --- ConstantsDialog -------------------------------------------------------------

void ShowConstantValue(HWND dialog, double value) { ShowFieldValue(dialog, IDC_CONSTANT_VALUE, value, "%.6e"); }

void FillConstantsDialog(HWND dialog)
{
    for (int k = 0; k < kConstantsListCount; ++k)
        AddNamesToList(dialog, kSlotListFirst + k, constants.names, constants.count);
    if (constants.count > 0) {
        for (int i = 0; i < kConstantSlotCount; ++i)
            SendDlgItemMessageW(dialog, kSlotListFirst + i, LB_SETCURSEL, static_cast<WPARAM>(constants.slots[i]), 0);
        SendDlgItemMessageW(dialog, IDC_CONSTANT_LIST, LB_SETCURSEL, 0, 0);
        ShowConstantValue(dialog, constants.values[0]);
    }
    BeginConstantsEditing(constants, constantsEditing);
}

void ConstantSelected(HWND dialog)
{
    if (constants.count <= 0) return;
    const int row = ListSelection(dialog, IDC_CONSTANT_LIST);
    if (row < 0) return;
    if (MoveToConstant(constants, constantsEditing, row, ReadNumberField(dialog, IDC_CONSTANT_VALUE)))
        ShowConstantValue(dialog, constants.workValues[row]);
}

double WorkingValue(int row)
{
    return constants.workValues != nullptr ? constants.workValues[row] : constants.values[row];
}

void ConstantsOk(HWND dialog)
{
    int pickers[kConstantSlotCount];
    for (int i = 0; i < kConstantSlotCount; ++i) pickers[i] = ListSelection(dialog, kSlotListFirst + i);
    const double field = ReadNumberField(dialog, IDC_CONSTANT_VALUE);
    const char16_t* folder = reinterpret_cast<const char16_t*>(mainWindowState.programFolder);
    EndWith(dialog, FinishConstantsOk(constants, constantsEditing, pickers, field, folder, programOptions));
}

void ConstantsAdd(HWND dialog)
{
    editRequest.mode = 0;
    if (RunRecordEditor(dialog) != 1 || editRequest.name == nullptr) return;
    if (AddConstant(constants, constantsEditing, editRequest.name, editRequest.value)) {
        const int row = constants.count - 1;
        for (int k = 0; k < kConstantsListCount; ++k)
            AddNamesToList(dialog, kSlotListFirst + k, constants.names + row, 1);
    }
    std::free(editRequest.name);
    editRequest.name = nullptr;
}

void ConstantsDelete(HWND dialog)
{
    const int row = ListSelection(dialog, IDC_CONSTANT_LIST);
    if (row < 0 || row >= constants.count) return;
    editRequest.mode = 0x102;
    editRequest.name = constants.names[row];
    editRequest.value = WorkingValue(row);
    const int confirmed = RunRecordEditor(dialog);
    if (confirmed == 1) std::free(editRequest.name);
    editRequest.name = nullptr;
    if (confirmed != 1) return;
    if (SendDlgItemMessageW(dialog, IDC_CONSTANT_LIST, LB_DELETESTRING, static_cast<WPARAM>(row), 0) == LB_ERR) return;
    DeleteConstant(constants, constantsEditing, row);
    if (constants.count > 0) {
        SendDlgItemMessageW(dialog, IDC_CONSTANT_LIST, LB_SETCURSEL, 0, 0);
        ShowConstantValue(dialog, WorkingValue(0));
    } else {
        ShowConstantValue(dialog, 0);
    }
    for (int i = 0; i < kConstantSlotCount; ++i) {
        SendDlgItemMessageW(dialog, kSlotListFirst + i, LB_DELETESTRING, static_cast<WPARAM>(row), 0);
        SendDlgItemMessageW(dialog, kSlotListFirst + i, LB_SETCURSEL, static_cast<WPARAM>(constants.workSlots[i]), 0);
    }
}

void ConstantsChange(HWND dialog)
{
    const int row = ListSelection(dialog, IDC_CONSTANT_LIST);
    if (row < 0 || row >= constants.count) return;
    editRequest.mode = 0x101;
    editRequest.name = constants.names[row];
    editRequest.value = WorkingValue(row);
    if (RunRecordEditor(dialog) != 1) {
        editRequest.name = nullptr;
        return;
    }
    const bool changed =
        editRequest.name != nullptr && ChangeConstant(constants, constantsEditing, row, editRequest.name, editRequest.value);
    std::free(editRequest.name);
    editRequest.name = nullptr;
    if (!changed) return;
    ShowConstantValue(dialog, WorkingValue(row));
    ReplaceListItem(dialog, IDC_CONSTANT_LIST, row, constants.names[row]);
    SendDlgItemMessageW(dialog, IDC_CONSTANT_LIST, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
    for (int i = 0; i < kConstantSlotCount; ++i) {
        ReplaceListItem(dialog, kSlotListFirst + i, row, constants.names[row]);
        SendDlgItemMessageW(dialog, kSlotListFirst + i, LB_SETCURSEL, static_cast<WPARAM>(constants.workSlots[i]), 0);
    }
}

void PasteDisplayText(HWND dialog, int id)
{
    if (programEngine.text[0] != 0) SetDlgItemTextW(dialog, id, Wide(programEngine.text));
}

void ConstantsLoad(HWND dialog)
{
    if (RunConstantFiles(dialog) != 1) return;
    for (int k = 0; k < kConstantsListCount; ++k) SendDlgItemMessageW(dialog, kSlotListFirst + k, LB_RESETCONTENT, 0, 0);
    SetDlgItemTextW(dialog, IDC_CONSTANT_VALUE, emptyText);
    LoadConstants(dialog);  // releases the working values with the old list
    FillConstantsDialog(dialog);
    constantsEditing.modified = 1;  // Ok writes the new file back, normalised
}

INT_PTR CALLBACK ConstantsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        constantsEditing = ConstantsEditing{};
        if (!OpenPhoneDialog(dialog, IDB_OK_MENU_LOAD)) return FALSE;
        PrepareValueField(dialog, IDC_CONSTANT_VALUE);
        FillConstantsDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_CONSTANT_LIST) {
            if (HIWORD(wParam) == LBN_SELCHANGE) ConstantSelected(dialog);
            return TRUE;
        }
        if (HIWORD(wParam) != 0) return FALSE;
        switch (LOWORD(wParam)) {
        case IDM_DLG_OK: ConstantsOk(dialog); return TRUE;
        case IDM_DLG_CANCEL:
            EndConstantsEditing(constants);
            EndWith(dialog, 0);
            return TRUE;
        case IDM_DLG_ADD: ConstantsAdd(dialog); return TRUE;
        case IDM_DLG_DELETE: ConstantsDelete(dialog); return TRUE;
        case IDM_DLG_EDIT: ConstantsChange(dialog); return TRUE;
        case IDM_PASTE: PasteDisplayText(dialog, IDC_CONSTANT_VALUE); return TRUE;
        case IDM_CONSTANT_FILES: ConstantsLoad(dialog); return TRUE;
        }
        return TRUE;  // the system Ok and cancel do nothing here
    case WM_HOTKEY:
        if (IsBackRelease(lParam)) EraseOneCharacter(dialog, IDC_CONSTANT_VALUE);
        return TRUE;
    }
    return FALSE;
}

// --- ConstantPickDialog ------------------------------------------------------------

// The one list of a dialog covers the whole screen the dialog was sized to.
void FillWithList(HWND dialog, int id)
{
    RECT client;
    GetClientRect(dialog, &client);
    MoveWindow(GetDlgItem(dialog, id), 0, 0, client.right, client.bottom, FALSE);
}

void PickOk(HWND dialog)
{
    const int row = ListSelection(dialog, IDC_PICK_LIST);
    if (row < 0 || row >= constants.count || constants.values == nullptr) {
        EndWith(dialog, 0);
        return;
    }
    programEngine.value = constants.values[row];
    EndWith(dialog, 1);
}

INT_PTR CALLBACK ConstantPickProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        if (!OpenPhoneDialog(dialog, IDB_OK_CANCEL)) return TRUE;
        FillWithList(dialog, IDC_PICK_LIST);
        if (constants.count <= 0) return TRUE;
        AddNamesToList(dialog, IDC_PICK_LIST, constants.names, constants.count);
        SendDlgItemMessageW(dialog, IDC_PICK_LIST, LB_SETCURSEL, 0, 0);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_PICK_LIST:
            if (HIWORD(wParam) == LBN_DBLCLK) PickOk(dialog);  // the mouse's way of choosing
            return TRUE;
        case IDM_DLG_OK:
        case IDOK: PickOk(dialog); return TRUE;
        case IDM_DLG_CANCEL:
        case IDCANCEL: EndWith(dialog, 0); return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

// --- ConstantFilesDialog -------------------------------------------------------------

void ListConstantsFiles(HWND dialog)
{
    wchar_t pattern[kProgramFolderCapacity + 8];
    size_t n = U16Copy(reinterpret_cast<char16_t*>(pattern), kProgramFolderCapacity,
                       reinterpret_cast<const char16_t*>(mainWindowState.programFolder));
    U16Copy(reinterpret_cast<char16_t*>(pattern) + n, 8, u"*.txt");
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        char16_t bare[16];
        if (OfferedConstantsFile(reinterpret_cast<const char16_t*>(found.cFileName), bare))
            SendDlgItemMessageW(dialog, IDC_FILES_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(bare)));
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

void FilesOk(HWND dialog)
{
    const int row = ListSelection(dialog, IDC_FILES_LIST);
    const LRESULT length = row >= 0 ? SendDlgItemMessageW(dialog, IDC_FILES_LIST, LB_GETTEXTLEN, row, 0) : LB_ERR;
    wchar_t name[16];
    const int capacity = static_cast<int>(sizeof programOptions.constantsFile / sizeof programOptions.constantsFile[0]);
    if (length == LB_ERR || length < 0 || length >= capacity ||
        SendDlgItemMessageW(dialog, IDC_FILES_LIST, LB_GETTEXT, row, reinterpret_cast<LPARAM>(name)) == LB_ERR) {
        EndWith(dialog, 0);
        return;
    }
    name[length] = 0;
    U16Copy(programOptions.constantsFile, capacity, reinterpret_cast<const char16_t*>(name));
    EndWith(dialog, 1);
}

INT_PTR CALLBACK ConstantFilesProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        if (!OpenPhoneDialog(dialog, IDB_OK_CANCEL)) return TRUE;
        FillWithList(dialog, IDC_FILES_LIST);
        ListConstantsFiles(dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_FILES_LIST:
            if (HIWORD(wParam) == LBN_DBLCLK) FilesOk(dialog);
            return TRUE;
        case IDM_DLG_OK:
        case IDOK: FilesOk(dialog); return TRUE;
        case IDM_DLG_CANCEL:
        case IDCANCEL: EndWith(dialog, 0); return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

}  // namespace

// --- Shared by the list dialogs ------------------------------------------------------

void PrepareValueField(HWND dialog, int editId)
{
    const WORD both = SHMBOF_NODEFAULT | SHMBOF_NOTIFY;
    SendMessageW(SHFindMenuBar(dialog), SHCMBM_OVERRIDEKEY, VK_TBACK, MAKELPARAM(both, both));
    HWND edit = GetDlgItem(dialog, editId);
    SendMessageW(edit, EM_SETINPUTMODE, 0, EIM_NUMBERS);
    SendMessageW(edit, EM_LIMITTEXT, kFieldTextLimit, 0);
    if (MakeDecimalKeyEdit(edit) != 0) ShowMessageBox(dialog, L"Can't set translation", L"Error", MB_OK);
    ArrowsLeaveEdit(edit);
}

void ArrowsLeaveEdit(HWND edit)
{
    if (edit != nullptr) SetWindowSubclass(edit, ArrowEditProc, kArrowSubclassId, 0);
}

void EraseOneCharacter(HWND dialog, int id)
{
    HWND edit = GetDlgItem(dialog, id);
    if (edit != nullptr && IsWindowEnabled(edit)) SendMessageW(edit, WM_CHAR, 8, 1);
}

void ShowFieldValue(HWND dialog, int id, double value, const char* format)
{
    // The field is read back as kFieldTextLimit units: a longer "%f" text
    // would come back as another number.
    const char* shown = FittingFormat(value, format, kFieldBufferUnits);
    ShowNumberField(value, dialog, id, std::strcmp(shown, "%f") == 0 ? L"%f" : L"%.6e");
}

void AddNamesToList(HWND dialog, int id, char16_t* const* names, int count)
{
    if (names == nullptr) return;
    HWND list = GetDlgItem(dialog, id);
    for (int i = 0; i < count; ++i)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(names[i] != nullptr ? Wide(names[i]) : L""));
}

void ReplaceListItem(HWND dialog, int id, int row, const char16_t* name)
{
    HWND list = GetDlgItem(dialog, id);
    SendMessageW(list, LB_INSERTSTRING, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(Wide(name)));
    SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(row + 1), 0);
}

int ListSelection(HWND dialog, int id)
{
    LRESULT selection = SendDlgItemMessageW(dialog, id, LB_GETCURSEL, 0, 0);
    return selection == LB_ERR ? -1 : static_cast<int>(selection);
}

// --- Launchers ---------------------------------------------------------------------

int RunRecordEditor(HWND owner) { return RunPhoneDialog(owner, IDD_RECORD_EDITOR, RecordEditorProc); }

int RunConstantsDialog(HWND owner)
{
    constantsEditing = ConstantsEditing{};
    const int result = RunPhoneDialog(owner, IDD_CONSTANTS, ConstantsDialogProc);
    EndConstantsEditing(constants);
    // The list changed under the menu (added, deleted, renamed, another
    // file) without being saved: its slot items must still say what they recall.
    if (result == 0 && constantsEditing.modified) RebuildConstantMenu(owner);
    return result;
}

int RunConstantPick(HWND owner) { return RunPhoneDialog(owner, IDD_CONSTANT_PICK, ConstantPickProc); }

int RunConstantFiles(HWND owner) { return RunPhoneDialog(owner, IDD_CONSTANT_FILES, ConstantFilesProc); }
