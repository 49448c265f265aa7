// The skin choice: the built-in skin or a ".skin" file of the program's
// folder. Only the name is stored; the main window loads it afterwards.
#include <cwchar>

#include "resources/resource.h"
#include "shell/shell.h"
#include "ui/main_window.h"
#include "ui/phone_dialog.h"
#include "ui/window_links.h"

namespace {

enum : int {
    kSkinList = 1005,
    kSkinNameCapacity = 16,  // Options.skinName with its NUL
    kListedNameLimit = 15,   // names this long or longer are not offered
    kItemCapacity = 64,
};

constexpr wchar_t kBuiltinSkinText[] = L"Скин по умолчанию";
constexpr wchar_t kSkinPattern[] = L"*.skin";

static_assert(sizeof(programOptions.skinName) / sizeof(char16_t) == kSkinNameCapacity);

// Adds the names of the program folder's skin files, without extension.
void ListSkinFiles(HWND list)
{
    wchar_t pattern[kProgramFolderCapacity + 8];
    int length = std::swprintf(pattern, sizeof pattern / sizeof *pattern, L"%ls%ls",
                               mainWindowState.programFolder, kSkinPattern);
    if (length < 0 || length >= static_cast<int>(sizeof pattern / sizeof *pattern)) return;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        found.cFileName[MAX_PATH - 1] = 0;
        wchar_t* dot = std::wcsrchr(found.cFileName, L'.');
        if (dot != nullptr) *dot = 0;
        if (std::wcslen(found.cFileName) < kListedNameLimit)
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(found.cFileName));
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

void OnInit(HWND dialog)
{
    if (!OpenPhoneDialog(dialog, IDB_OK_CANCEL)) return;

    HWND list = GetDlgItem(dialog, kSkinList);
    RECT client;
    GetClientRect(dialog, &client);
    SetWindowPos(list, nullptr, 0, 0, client.right, client.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kBuiltinSkinText));
    ListSkinFiles(list);
}

// 1 when a name was stored, 0 when nothing was selected or readable.
int TakeChoice(HWND dialog)
{
    HWND list = GetDlgItem(dialog, kSkinList);
    LRESULT row = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (row < 0) return 0;
    LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
    if (length < 0 || length >= kItemCapacity) return 0;
    wchar_t text[kItemCapacity] = {};
    if (SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text)) < 0) return 0;
    char16_t* name = programOptions.skinName;
    if (std::wcscmp(text, kBuiltinSkinText) == 0) {
        name[0] = 0;
        return 1;
    }
    int i = 0;
    for (; i < kSkinNameCapacity - 1 && text[i] != 0; ++i) name[i] = static_cast<char16_t>(text[i]);
    name[i] = 0;
    return 1;
}

INT_PTR CALLBACK SkinDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInit(dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDM_DLG_OK:
        case IDOK:
            EndDialog(dialog, TakeChoice(dialog));
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

int ChooseSkin(HWND owner)
{
    return RunPhoneDialog(owner, IDD_SKIN, SkinDialogProc);
}
