// Full-screen dialogs with their own soft-key bars, as the settings dialogs
// use them: sizing over the main window's screen, soft keys, Back override.
#include <vector>

#include "resources/resource.h"
#include "shell/shell.h"
#include "tests/wine/fixture.h"
#include "ui/main_window.h"

namespace {

struct DialogLog {
    std::vector<int> commands;
    std::vector<LPARAM> hotkeys;
    BOOL barCreated;
    LRESULT inputMode;
};
DialogLog dialogLog;

INT_PTR CALLBACK TestDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        SHINITDLGINFO init{SHIDIM_FLAGS, dialog, SHIDIF_SIZEDLGFULLSCREEN};
        SHInitDialog(&init);
        SHMENUBARINFO bar{};
        bar.cbSize = sizeof bar;
        bar.hwndParent = dialog;
        bar.nToolBarId = static_cast<UINT>(lParam);
        bar.hInstRes = GetModuleHandleW(nullptr);
        dialogLog.barCreated = SHCreateMenuBar(&bar);
        if (dialogLog.barCreated) {
            const WORD both = SHMBOF_NODEFAULT | SHMBOF_NOTIFY;
            SendMessageW(bar.hwndMB, SHCMBM_OVERRIDEKEY, VK_TBACK, MAKELPARAM(both, both));
        }
        dialogLog.inputMode = SendDlgItemMessageW(dialog, 1020, EM_SETINPUTMODE, 0, EIM_NUMBERS);
        return TRUE;
    }
    case WM_COMMAND:
        if (HIWORD(wParam) == 0) dialogLog.commands.push_back(LOWORD(wParam));  // not edit notifications
        return TRUE;
    case WM_HOTKEY:
        dialogLog.hotkeys.push_back(lParam);
        return TRUE;
    }
    return FALSE;
}

// A dialog template with one edit field (id 1020), built in memory.
std::vector<WORD> DialogTemplate()
{
    std::vector<WORD> t;
    auto dword = [&](DWORD v) { t.push_back(LOWORD(v)); t.push_back(HIWORD(v)); };
    dword(WS_POPUP | WS_BORDER | WS_VISIBLE | DS_SETFONT);
    dword(0);
    t.insert(t.end(), {1, 0, 0, 100, 80});  // one item, x y cx cy
    t.insert(t.end(), {0, 0, L'T', 0});     // no menu, default class, title "T"
    t.push_back(8);                         // font size
    for (const wchar_t* f = L"MS Shell Dlg"; *f; ++f) t.push_back(*f);
    t.push_back(0);
    if (t.size() % 2) t.push_back(0);
    dword(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL);
    dword(0);
    t.insert(t.end(), {4, 4, 80, 12, 1020, 0xFFFF, 0x0081, 0, 0});
    return t;
}

class DialogTest : public VelaWindow {
protected:
    HWND Open(UINT barId)
    {
        dialogLog = DialogLog{};
        std::vector<WORD> t = DialogTemplate();
        HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                                 reinterpret_cast<LPCDLGTEMPLATEW>(t.data()), window,
                                                 TestDialogProc, barId);
        Pump(50);
        return dialog;
    }
};

TEST_F(DialogTest, FullScreenOverTheMainWindowWithItsOwnBar)
{
    HWND dialog = Open(IDB_OK_CANCEL);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialogLog.barCreated);
    EXPECT_EQ(dialogLog.inputMode, 0);  // accepted, no effect
    RECT client;
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, kPhoneScreenWidth);
    EXPECT_EQ(client.bottom, kPhoneScreenHeight);
    POINT dialogOrigin{0, 0}, mainOrigin{0, 0};
    ClientToScreen(dialog, &dialogOrigin);
    ClientToScreen(window, &mainOrigin);
    EXPECT_EQ(dialogOrigin.x, mainOrigin.x);
    EXPECT_EQ(dialogOrigin.y, mainOrigin.y);

    HWND bar = SHFindMenuBar(dialog);
    ASSERT_NE(bar, nullptr);
    EXPECT_STREQ(SoftKeyLabel(bar, 0), L"Ok");
    EXPECT_STREQ(SoftKeyLabel(bar, 1), L"Отмена");
    RECT mainBar, dialogBar;
    GetWindowRect(SHFindMenuBar(window), &mainBar);
    GetWindowRect(bar, &dialogBar);
    EXPECT_TRUE(EqualRect(&mainBar, &dialogBar));  // covers the main window's bar
    DestroyWindow(dialog);
    EXPECT_EQ(SHFindMenuBar(dialog), nullptr);
}

TEST_F(DialogTest, SoftKeysSendTheirCommandsToTheDialog)
{
    HWND dialog = Open(IDB_OK_CANCEL);
    HWND edit = GetDlgItem(dialog, 1020);
    SetFocus(edit);
    PostMessageW(edit, WM_KEYDOWN, VK_F1, 1);
    PostMessageW(edit, WM_KEYUP, VK_F1, static_cast<LPARAM>(0xC0000001u));
    Pump(50);
    PostMessageW(SHFindMenuBar(dialog), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(160, 8));
    Pump(50);
    ASSERT_EQ(dialogLog.commands.size(), 2u);
    EXPECT_EQ(dialogLog.commands[0], IDM_DLG_OK);
    EXPECT_EQ(dialogLog.commands[1], IDM_DLG_CANCEL);
    DestroyWindow(dialog);
}

TEST_F(DialogTest, BackFromAnEditReachesTheDialogAsHotKey)
{
    HWND dialog = Open(IDB_OK_CANCEL);
    HWND edit = GetDlgItem(dialog, 1020);
    PostMessageW(edit, WM_KEYDOWN, VK_BACK, 1);
    PostMessageW(edit, WM_KEYUP, VK_BACK, static_cast<LPARAM>(0xC0000001u));
    Pump(50);
    ASSERT_EQ(dialogLog.hotkeys.size(), 2u);
    EXPECT_EQ(dialogLog.hotkeys[0], MAKELPARAM(0, VK_TBACK));
    EXPECT_EQ(dialogLog.hotkeys[1], MAKELPARAM(MOD_KEYUP, VK_TBACK));
    // The main window behind it got nothing.
    EXPECT_EQ(DisplayText(), L"rd 0");
    DestroyWindow(dialog);
}

TEST_F(DialogTest, MenuBarsOfTheListDialogs)
{
    HWND dialog = Open(IDB_OK_MENU_LOAD);
    HWND bar = SHFindMenuBar(dialog);
    ASSERT_NE(bar, nullptr);
    EXPECT_STREQ(SoftKeyLabel(bar, 1), L"Меню");
    auto popup = reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, IDM_DLG_MENU_LOAD));
    ASSERT_NE(popup, nullptr);
    const int ids[] = {IDM_DLG_ADD, IDM_DLG_DELETE, IDM_DLG_EDIT, IDM_PASTE, IDM_CONSTANT_FILES, IDM_DLG_CANCEL};
    ASSERT_EQ(GetMenuItemCount(popup), 6);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(GetMenuItemID(popup, i), static_cast<UINT>(ids[i]));
    DestroyWindow(dialog);

    dialog = Open(IDB_OK_MENU);
    bar = SHFindMenuBar(dialog);
    popup = reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, IDM_DLG_MENU));
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(GetMenuItemCount(popup), 5);
    DestroyWindow(dialog);
}

TEST_F(DialogTest, MissingBarResourceFails)
{
    HWND dialog = Open(999);
    EXPECT_FALSE(dialogLog.barCreated);
    EXPECT_EQ(SHFindMenuBar(dialog), nullptr);
    DestroyWindow(dialog);
}

}  // namespace
