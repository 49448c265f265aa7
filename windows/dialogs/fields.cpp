#include "windows/dialogs/fields.h"

#include <cstdlib>

#include "core/text/numbers.h"
#include "resources/resource.h"
#include "windows/shell/common_controls.h"
#include "windows/shell/message_box.h"
#include "windows/shell/shell.h"
#include "windows/system/text.h"

namespace {

constexpr UINT_PTR kArrowSubclassId = 0x5E20;

// The edit's own window procedure sits in its user-data slot.
LRESULT CALLBACK DecimalKeyEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CHAR && (wParam == L'*' || wParam == L'#')) wParam = L'.';
    auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(edit, GWLP_USERDATA));
    if (previous == nullptr) return DefWindowProcW(edit, message, wParam, lParam);
    return CallWindowProcW(previous, edit, message, wParam, lParam);
}

int ErrorResult(DWORD error)
{
    auto code = static_cast<LONG>(error);
    if (code <= 0) return code;
    return static_cast<int>((error & 0xFFFF) | 0x80070000u);
}

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
        DetachSubclass(edit, ArrowEditProc, id);
        break;
    }
    return DefaultSubclass(edit, message, wParam, lParam);
}

}  // namespace

int MakeDecimalKeyEdit(HWND edit)
{
    if (GetWindowLongPtrW(edit, GWLP_USERDATA) != 0) return E_FAIL;
    SetLastError(0);
    LONG_PTR previous = GetWindowLongPtrW(edit, GWLP_WNDPROC);
    SetWindowLongPtrW(edit, GWLP_USERDATA, previous);
    DWORD error = GetLastError();
    if (error == 0) {
        SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DecimalKeyEditProc));
        error = GetLastError();
        if (error == 0) return 0;
    }
    return ErrorResult(error);
}

double ReadNumberField(HWND dialog, int id)
{
    wchar_t text[kFieldBufferUnits] = {};
    if (GetDlgItemTextW(dialog, id, text, kFieldBufferUnits) <= 0) return 0.0;
    text[kFieldBufferUnits - 1] = 0;
    return ReadLeadingDecimal(AsUtf16(text), kFieldBufferUnits);
}

char16_t* ReadTextField(HWND dialog, int id)
{
    auto* text = static_cast<char16_t*>(std::malloc(kFieldBufferUnits * sizeof(char16_t)));
    if (text == nullptr) return nullptr;
    text[0] = 0;
    if (GetDlgItemTextW(dialog, id, AsWide(text), kFieldBufferUnits) <= 0) text[0] = 0;
    text[kFieldBufferUnits - 1] = 0;
    return text;
}

void ShowNumberField(double value, HWND dialog, int id, const char* format)
{
    char16_t text[kFieldBufferUnits];
    SetDlgItemTextW(dialog, id, AsWide(FormatFieldValue(text, kFieldBufferUnits, value, format)));
}

void PrepareValueField(HWND dialog, int editId)
{
    // Back stays in the dialog and arrives as WM_HOTKEY; Backspace stays a key
    // of its own that the fields take, deleting as often as it repeats, as in
    // the main window.
    const WORD both = SHMBOF_NODEFAULT | SHMBOF_NOTIFY;
    HWND bar = SHFindMenuBar(dialog);
    SendMessageW(bar, SHCMBM_OVERRIDEKEY, VK_TBACK, MAKELPARAM(both, both));
    SendMessageW(bar, SHCMBM_OVERRIDEKEY, VK_BACK, MAKELPARAM(both, 0));
    HWND edit = GetDlgItem(dialog, editId);
    SendMessageW(edit, EM_SETINPUTMODE, 0, EIM_NUMBERS);
    SendMessageW(edit, EM_LIMITTEXT, kFieldTextLimit, 0);
    if (MakeDecimalKeyEdit(edit) != 0)
        ShowMessageBox(dialog, LoadText(IDS_NO_TRANSLATION).c_str(), LoadText(IDS_NO_TRANSLATION_CAPTION).c_str(),
                       MB_OK);
    ArrowsLeaveEdit(edit);
}

void ArrowsLeaveEdit(HWND edit)
{
    if (edit != nullptr) AttachSubclass(edit, ArrowEditProc, kArrowSubclassId, 0);
}

bool IsBackRelease(LPARAM lParam) { return HIWORD(lParam) == VK_TBACK && (LOWORD(lParam) & MOD_KEYUP) != 0; }

void EraseOneCharacter(HWND dialog, int id)
{
    HWND edit = GetDlgItem(dialog, id);
    if (edit != nullptr && IsWindowEnabled(edit)) SendMessageW(edit, WM_CHAR, 8, 1);
}

void AddNamesToList(HWND dialog, int id, char16_t* const* names, int count)
{
    if (names == nullptr) return;
    HWND list = GetDlgItem(dialog, id);
    for (int i = 0; i < count; ++i)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(names[i] != nullptr ? AsWide(names[i]) : L""));
}

void ReplaceListItem(HWND dialog, int id, int row, const char16_t* name)
{
    HWND list = GetDlgItem(dialog, id);
    SendMessageW(list, LB_INSERTSTRING, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(AsWide(name)));
    SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(row + 1), 0);
}

int ListSelection(HWND dialog, int id)
{
    LRESULT selection = SendDlgItemMessageW(dialog, id, LB_GETCURSEL, 0, 0);
    return selection == LB_ERR ? -1 : static_cast<int>(selection);
}

void FillWithList(HWND dialog, int id)
{
    RECT client;
    GetClientRect(dialog, &client);
    MoveWindow(GetDlgItem(dialog, id), 0, 0, client.right, client.bottom, FALSE);
}
