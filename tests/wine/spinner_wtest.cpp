// Spinners: a one-line list box with a horizontal up-down, worked with the
// phone's keys in a modal full-screen dialog.
#include <string>
#include <utility>
#include <vector>

#include "resources/resource.h"
#include "shell/shell.h"
#include "shell/spinner.h"
#include "tests/wine/fixture.h"
#include "ui/main_window.h"
#include "ui/phone_dialog.h"

namespace {

enum : int {
    kWrapList = 1000,     // A B C D, up-down 1001 wraps
    kStopList = 1003,     // 1 to 5, up-down 1004 stops at the ends
    kPlainList = 1005,    // X Y, up-down 1006 cannot expand
    kCheck = 1007,
};

struct SpinnerLog {
    std::vector<std::pair<int, int>> changes;  // list id, its selection then
    std::vector<int> commands;                 // everything else
};
SpinnerLog spinnerLog;

void Fill(HWND dialog, int id, std::initializer_list<const wchar_t*> texts, int selection)
{
    for (const wchar_t* text : texts) SendDlgItemMessageW(dialog, id, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    SendDlgItemMessageW(dialog, id, LB_SETCURSEL, static_cast<WPARAM>(selection), 0);
}

INT_PTR CALLBACK SpinnerDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: {
        OpenPhoneDialog(dialog, IDB_OK_CANCEL);
        Fill(dialog, kWrapList, {L"A", L"B", L"C", L"D"}, 1);
        Fill(dialog, kStopList, {L"1", L"2", L"3", L"4", L"5"}, 0);
        Fill(dialog, kPlainList, {L"X", L"Y"}, 0);
        return TRUE;
    }
    case WM_COMMAND:
        if (HIWORD(wParam) == LBN_SELCHANGE) {
            int id = LOWORD(wParam);
            spinnerLog.changes.emplace_back(id, static_cast<int>(SendDlgItemMessageW(dialog, id, LB_GETCURSEL, 0, 0)));
            return TRUE;
        }
        if (HIWORD(wParam) != 0) return FALSE;
        spinnerLog.commands.push_back(LOWORD(wParam));
        if (LOWORD(wParam) == IDM_DLG_OK) EndDialog(dialog, 1);
        if (LOWORD(wParam) == IDM_DLG_CANCEL || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

// An in-memory template: three spinners and a check box, in the font and
// units of the program's own dialogs.
class Template {
public:
    Template()
    {
        Dword(WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT);
        Dword(0);
        countAt_ = words_.size();
        words_.insert(words_.end(), {0, 0, 0, 109, 94, 0, 0});  // count x y cx cy, no menu, no class
        Text(L"Spinner");
        words_.push_back(8);
        Text(L"System");
        Item(kWrapList, L"ListBox", L"", SPINNER_LIST_STYLE, 7, 19, 83, 11);
        Item(1001, L"msctls_updown32", L"Буквы", SPINNER_UPDOWN_STYLE | UDS_WRAP, 75, 20, 18, 11);
        Item(kStopList, L"ListBox", L"", SPINNER_LIST_STYLE, 7, 37, 46, 11);
        Item(1004, L"msctls_updown32", L"Цифры", SPINNER_UPDOWN_STYLE, 48, 37, 10, 11);
        Item(kPlainList, L"ListBox", L"", SPINNER_LIST_STYLE, 7, 55, 46, 11);
        Item(1006, L"msctls_updown32", L"", SPINNER_UPDOWN_STYLE & ~UDS_EXPANDABLE, 48, 55, 10, 11);
        Item(kCheck, L"Button", L"Флажок", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 7, 72, 60, 10);
    }
    LPCDLGTEMPLATEW Get() const { return reinterpret_cast<LPCDLGTEMPLATEW>(words_.data()); }

private:
    void Dword(DWORD value)
    {
        words_.push_back(LOWORD(value));
        words_.push_back(HIWORD(value));
    }
    void Text(const wchar_t* text)
    {
        for (; *text != 0; ++text) words_.push_back(*text);
        words_.push_back(0);
    }
    void Item(int id, const wchar_t* className, const wchar_t* text, DWORD style, short x, short y, short cx, short cy)
    {
        if (words_.size() % 2 != 0) words_.push_back(0);  // DWORD alignment
        Dword(style);
        Dword(0);
        words_.insert(words_.end(), {static_cast<WORD>(x), static_cast<WORD>(y), static_cast<WORD>(cx),
                                     static_cast<WORD>(cy), static_cast<WORD>(id)});
        Text(className);
        Text(text);
        words_.push_back(0);  // no creation data
        ++words_[countAt_];
    }
    std::vector<WORD> words_;
    size_t countAt_ = 0;
};

class SpinnerTest : public VelaWindow {
protected:
    // Runs the dialog with `steps`; returns what it ended with.
    INT_PTR Run(std::vector<DialogStep> steps, size_t* ran = nullptr)
    {
        spinnerLog = SpinnerLog{};
        INT_PTR result = -2;
        size_t count = RunModal(
            [&] {
                result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialogTemplate.Get(), window,
                                                 SpinnerDialogProc, 0);
            },
            std::move(steps));
        if (ran != nullptr) *ran = count;
        return result;
    }
    Template dialogTemplate;
};

DialogStep Key(WPARAM key)
{
    return [key] { PostKeyToFocus(key); };
}

int Selection(int id) { return static_cast<int>(SendDlgItemMessageW(FrontDialog(), id, LB_GETCURSEL, 0, 0)); }
int FocusId() { return GetDlgCtrlID(GetFocus()); }

using Changes = std::vector<std::pair<int, int>>;

TEST_F(SpinnerTest, RightAndLeftStepAndNotify)
{
    int after = -1;
    size_t ran = 0;
    INT_PTR result = Run({[] { EXPECT_EQ(FocusId(), kWrapList); }, Key(VK_RIGHT), Key(VK_RIGHT), Key(VK_LEFT),
                          [&] { after = Selection(kWrapList); }, Key(VK_F1)},
                         &ran);
    EXPECT_EQ(ran, 6u);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(after, 2);
    EXPECT_EQ(spinnerLog.changes, (Changes{{kWrapList, 2}, {kWrapList, 3}, {kWrapList, 2}}));
}

TEST_F(SpinnerTest, WrappingSpinnerComesRound)
{
    Run({Key(VK_RIGHT), Key(VK_RIGHT), Key(VK_RIGHT), Key(VK_LEFT), Key(VK_F2)});
    EXPECT_EQ(spinnerLog.changes, (Changes{{kWrapList, 2}, {kWrapList, 3}, {kWrapList, 0}, {kWrapList, 3}}));
}

TEST_F(SpinnerTest, OtherSpinnerStopsAtBothEnds)
{
    std::vector<DialogStep> steps{Key(VK_DOWN), Key(VK_LEFT)};
    for (int i = 0; i < 6; ++i) steps.push_back(Key(VK_RIGHT));
    int last = -1;
    steps.push_back([&] { last = Selection(kStopList); });
    steps.push_back(Key(VK_F2));
    Run(steps);
    EXPECT_EQ(last, 4);
    // Left at "1" did nothing; four steps up to "5", then nothing more.
    EXPECT_EQ(spinnerLog.changes,
              (Changes{{kStopList, 1}, {kStopList, 2}, {kStopList, 3}, {kStopList, 4}}));
}

TEST_F(SpinnerTest, UpAndDownMoveTheFocusAndKeepTheSelection)
{
    std::vector<int> focus;
    auto note = [&] { focus.push_back(FocusId()); };
    Run({note, Key(VK_DOWN), note, Key(VK_DOWN), note, Key(VK_DOWN), note, Key(VK_UP), note, Key(VK_F2)});
    EXPECT_EQ(focus, (std::vector<int>{kWrapList, kStopList, kPlainList, kCheck, kPlainList}));
    EXPECT_TRUE(spinnerLog.changes.empty());
}

TEST_F(SpinnerTest, SpinnerControlIsHiddenAndTheFieldReachesItsRightEdge)
{
    RECT list{}, updown{};
    bool updownVisible = true;
    Run({[&] {
             HWND dialog = FrontDialog();
             GetWindowRect(GetDlgItem(dialog, kWrapList), &list);
             GetWindowRect(GetDlgItem(dialog, 1001), &updown);
             updownVisible = IsWindowVisible(GetDlgItem(dialog, 1001)) != FALSE;
         },
         Key(VK_F2)});
    EXPECT_FALSE(updownVisible);
    EXPECT_GE(list.right, updown.right - 1);
    EXPECT_LE(list.right - 1, list.left + kPhoneScreenWidth);
}

TEST_F(SpinnerTest, ClicksOnTheArrowsStep)
{
    auto click = [](bool right) {
        return DialogStep([right] {
            HWND list = GetDlgItem(FrontDialog(), kStopList);
            RECT client;
            GetClientRect(list, &client);
            int x = right ? client.right - 3 : client.right - 12;
            PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, client.bottom / 2));
            PostMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(x, client.bottom / 2));
        });
    };
    int focus = 0;
    Run({click(true), click(true), click(false), [&] { focus = FocusId(); }, Key(VK_F2)});
    EXPECT_EQ(spinnerLog.changes, (Changes{{kStopList, 1}, {kStopList, 2}, {kStopList, 1}}));
    EXPECT_EQ(focus, kStopList);
}

TEST_F(SpinnerTest, ActionKeyOpensTheListOverTheDialogAndEnterPicks)
{
    RECT dialogRect{}, popupRect{};
    std::vector<std::wstring> items;
    int popupSelection = -1;
    bool dialogEnabled = true;
    int focus = 0;
    size_t ran = 0;
    INT_PTR result = Run({Key(VK_RETURN),
                          [&] {
                              HWND popup = SpinnerPopup();
                              ASSERT_NE(popup, nullptr);
                              EXPECT_EQ(GetFocus(), popup);
                              GetWindowRect(FrontDialog() != nullptr ? FrontDialog() : GetWindow(popup, GW_OWNER),
                                            &dialogRect);
                              GetWindowRect(popup, &popupRect);
                              dialogEnabled = IsWindowEnabled(GetWindow(popup, GW_OWNER)) != FALSE;
                              int count = static_cast<int>(SendMessageW(popup, LB_GETCOUNT, 0, 0));
                              for (int i = 0; i < count; ++i) {
                                  wchar_t text[16] = {};
                                  SendMessageW(popup, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
                                  items.push_back(text);
                              }
                              popupSelection = static_cast<int>(SendMessageW(popup, LB_GETCURSEL, 0, 0));
                          },
                          Key(VK_DOWN), Key(VK_DOWN), Key(VK_RETURN),
                          [&] {
                              EXPECT_EQ(SpinnerPopup(), nullptr);
                              focus = FocusId();
                          },
                          Key(VK_F1)},
                         &ran);
    EXPECT_EQ(ran, 7u);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(items, (std::vector<std::wstring>{L"A", L"B", L"C", L"D"}));
    EXPECT_EQ(popupSelection, 1);
    EXPECT_FALSE(dialogEnabled);
    EXPECT_TRUE(EqualRect(&dialogRect, &popupRect));
    EXPECT_EQ(focus, kWrapList);
    EXPECT_EQ(spinnerLog.changes, (Changes{{kWrapList, 3}}));
}

TEST_F(SpinnerTest, BackLeavesTheOpenListUnchanged)
{
    bool open = false;
    bool dialogThere = false;
    INT_PTR result = Run({Key(VK_RETURN), [&] { open = SpinnerPopup() != nullptr; }, Key(VK_DOWN), Key(VK_ESCAPE),
                          [&] { dialogThere = FrontDialog() != nullptr && SpinnerPopup() == nullptr; },
                          Key(VK_F1)});
    EXPECT_TRUE(open);
    EXPECT_TRUE(dialogThere);  // Back closed only the list
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(spinnerLog.changes.empty());
}

TEST_F(SpinnerTest, SoftKeysInTheOpenList)
{
    Run({Key(VK_RETURN), Key(VK_DOWN), Key(VK_F1), Key(VK_RETURN), Key(VK_DOWN), Key(VK_F2), Key(VK_F2)});
    EXPECT_EQ(spinnerLog.changes, (Changes{{kWrapList, 2}}));
}

TEST_F(SpinnerTest, ActionKeyWithoutExpandableStyleOpensNothing)
{
    bool opened = true;
    Run({Key(VK_DOWN), Key(VK_DOWN), [] { EXPECT_EQ(FocusId(), kPlainList); }, Key(VK_RETURN),
         [&] { opened = SpinnerPopup() != nullptr; }, Key(VK_F2)});
    EXPECT_FALSE(opened);
}

TEST_F(SpinnerTest, ListMessagesOfTheDialogStillWork)
{
    std::wstring shown;
    Run({[] {
             HWND list = GetDlgItem(FrontDialog(), kWrapList);
             SendMessageW(list, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(L"Z"));
             SendMessageW(list, LB_DELETESTRING, 4, 0);  // "D"
             SendMessageW(list, LB_SETCURSEL, 0, 0);
         },
         Key(VK_LEFT),
         [&] {
             HWND list = GetDlgItem(FrontDialog(), kWrapList);
             wchar_t text[8] = {};
             SendMessageW(list, LB_GETTEXT, SendMessageW(list, LB_GETCURSEL, 0, 0), reinterpret_cast<LPARAM>(text));
             shown = text;
         },
         Key(VK_F2)});
    // Its own LB_SETCURSEL told nothing; Left from "Z" came round to "C".
    EXPECT_EQ(spinnerLog.changes, (Changes{{kWrapList, 3}}));
    EXPECT_EQ(shown, L"C");
}

TEST_F(SpinnerTest, EmptyListIgnoresEveryKey)
{
    bool opened = true;
    Run({[] { SendDlgItemMessageW(FrontDialog(), kWrapList, LB_RESETCONTENT, 0, 0); }, Key(VK_RIGHT), Key(VK_LEFT),
         Key(VK_RETURN), [&] { opened = SpinnerPopup() != nullptr; }, Key(VK_F2)});
    EXPECT_FALSE(opened);
    EXPECT_TRUE(spinnerLog.changes.empty());
}

TEST_F(SpinnerTest, BackOnTheDialogCancelsIt)
{
    EXPECT_EQ(Run({Key(VK_ESCAPE)}), 0);
}

}  // namespace

