// The font, precision and skin dialogs opened from the main window's menu
// and worked with the phone's keys; and the edit-field helpers.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "constants/dialog_helpers.h"
#include "resources/resource.h"
#include "shell/shell.h"
#include "shell/spinner.h"
#include "tests/wine/fixture.h"
#include "ui/main_window.h"

namespace {

enum : int { kFontSizeList = 1000, kBoldCheck = 1002, kPrecisionList = 1003, kSkinList = 1005 };

std::wstring Shown(int id) { return ShownItem(FrontDialog(), id); }

std::vector<std::wstring> Items(int id) { return ListItems(FrontDialog(), id); }

DialogStep Shot(const char* name)
{
    return [name] { SaveDialogScreenshot(name); };
}

void ExpectControlsOnScreen() { ::ExpectControlsOnScreen(FrontDialog()); }

// --- Font ----------------------------------------------------------------------

using FontDialogTest = VelaWindow;

TEST_F(FontDialogTest, FirstRunShowsNormalAndNotBold)
{
    std::wstring shown, title, ok, cancel;
    UINT bold = 99;
    size_t ran = RunDialog(IDM_FONT, {[&] {
                                          shown = Shown(kFontSizeList);
                                          bold = IsDlgButtonChecked(FrontDialog(), kBoldCheck);
                                          title = WindowTextOf(FrontDialog());
                                          ok = SoftKeyLabel(SHFindMenuBar(FrontDialog()), 0);
                                          cancel = SoftKeyLabel(SHFindMenuBar(FrontDialog()), 1);
                                          EXPECT_EQ(Items(kFontSizeList),
                                                    (std::vector<std::wstring>{L"Очень мелкий", L"Мелкий", L"Нормальный",
                                                                               L"Крупный", L"Очень крупный"}));
                                          ExpectControlsOnScreen();
                                      },
                                      Shot("dialog_font"), Key(VK_F2)});
    EXPECT_EQ(ran, 3u);
    EXPECT_EQ(shown, L"Нормальный");
    EXPECT_EQ(bold, static_cast<UINT>(BST_UNCHECKED));
    EXPECT_EQ(title, L"Шрифт");
    EXPECT_EQ(ok, L"Ok");
    EXPECT_EQ(cancel, L"Отмена");
}

TEST_F(FontDialogTest, VeryLargeAndBoldMakeTheDisplayFont)
{
    ASSERT_NE(mainWindowState.baseFontHeight, 0);  // the first paint read it
    int base = mainWindowState.baseFontHeight;
    std::wstring shown;
    RunDialog(IDM_FONT, {Repeat(VK_RIGHT, 2), [&] { shown = Shown(kFontSizeList); }, Key(VK_DOWN), Key(VK_SPACE),
                         Key(VK_F1)});
    EXPECT_EQ(shown, L"Очень крупный");
    EXPECT_EQ(programOptions.fontSize, 4);
    EXPECT_EQ(programOptions.fontBold, 1);
    LOGFONTW font{};
    ASSERT_NE(GetObjectW(mainWindowState.displayFont, sizeof font, &font), 0);
    EXPECT_EQ(font.lfHeight, base - 6);
    EXPECT_EQ(font.lfWeight, 700);
}

TEST_F(FontDialogTest, CancelAndBackChangeNothing)
{
    HFONT before = mainWindowState.displayFont;
    RunDialog(IDM_FONT, {Key(VK_RIGHT), Key(VK_DOWN), Key(VK_SPACE), Key(VK_F2)});
    RunDialog(IDM_FONT, {Key(VK_LEFT), Key(VK_DOWN), Key(VK_SPACE), Key(VK_ESCAPE)});
    EXPECT_EQ(programOptions.fontSize, 2);
    EXPECT_EQ(programOptions.fontBold, 0);
    EXPECT_EQ(mainWindowState.displayFont, before);  // not made again
}

TEST_F(FontDialogTest, SizeSpinnerComesRound)
{
    std::vector<std::wstring> seen;
    auto note = [&] { seen.push_back(Shown(kFontSizeList)); };
    RunDialog(IDM_FONT, {Key(VK_RIGHT), note, Key(VK_RIGHT), note, Key(VK_RIGHT), note, Key(VK_LEFT), note,
                         Key(VK_RIGHT), Key(VK_F1)});
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"Крупный", L"Очень крупный", L"Очень мелкий", L"Очень крупный"}));
    EXPECT_EQ(programOptions.fontSize, 0);
}

TEST_F(FontDialogTest, OpenListPicksTheSize)
{
    std::vector<std::wstring> listed;
    RunDialog(IDM_FONT, {Key(VK_RETURN),
                         [&] {
                             HWND popup = SpinnerPopup();
                             ASSERT_NE(popup, nullptr);
                             int count = static_cast<int>(SendMessageW(popup, LB_GETCOUNT, 0, 0));
                             for (int i = 0; i < count; ++i) listed.push_back(ListItemText(popup, i));
                         },
                         Key(VK_UP), Shot("dialog_font_open_list"), Key(VK_RETURN), Key(VK_F1)});
    EXPECT_EQ(listed.size(), 5u);
    EXPECT_EQ(programOptions.fontSize, 1);
}

TEST_F(FontDialogTest, OkWithoutSelectionKeepsTheStoredSize)
{
    programOptions.fontSize = 7;  // out of range: the list opens without a selection
    std::wstring shown = L"?";
    RunDialog(IDM_FONT, {[&] { shown = Shown(kFontSizeList); }, Key(VK_F1)});
    EXPECT_EQ(shown, L"");
    EXPECT_EQ(programOptions.fontSize, 7);
}

// --- Precision --------------------------------------------------------------------

using PrecisionDialogTest = VelaWindow;

TEST_F(PrecisionDialogTest, DefaultShowsSix)
{
    std::wstring shown, title;
    std::vector<std::wstring> items;
    RunDialog(IDM_PRECISION, {[&] {
                                  shown = Shown(kPrecisionList);
                                  title = WindowTextOf(FrontDialog());
                                  items = Items(kPrecisionList);
                                  ExpectControlsOnScreen();
                              },
                              Shot("dialog_precision"), Key(VK_F2)});
    EXPECT_EQ(shown, L"6");
    EXPECT_EQ(title, L"Точность");
    ASSERT_EQ(items.size(), 12u);
    EXPECT_EQ(items.front(), L"1");
    EXPECT_EQ(items.back(), L"12");
}

TEST_F(PrecisionDialogTest, TwelveDigitsAfterOk)
{
    Keys("1 right 7 3 action");
    ASSERT_EQ(DisplayText(), L"rd 0.333333");
    std::wstring shown;
    RunDialog(IDM_PRECISION, {Repeat(VK_RIGHT, 6), [&] { shown = Shown(kPrecisionList); }, Key(VK_F1)});
    EXPECT_EQ(shown, L"12");
    EXPECT_EQ(programOptions.precision, 12);
    EXPECT_EQ(DisplayText(), L"rd 0.333333333333");
}

TEST_F(PrecisionDialogTest, SpinnerStopsAtTwelveAndAtOne)
{
    std::wstring top, bottom;
    RunDialog(IDM_PRECISION, {Repeat(VK_RIGHT, 9), [&] { top = Shown(kPrecisionList); }, Repeat(VK_LEFT, 15),
                              [&] { bottom = Shown(kPrecisionList); }, Key(VK_F1)});
    EXPECT_EQ(top, L"12");
    EXPECT_EQ(bottom, L"1");
    EXPECT_EQ(programOptions.precision, 1);
}

TEST_F(PrecisionDialogTest, CancelKeepsTheDisplay)
{
    Keys("1 right 7 3 action");
    RunDialog(IDM_PRECISION, {Repeat(VK_RIGHT, 3), Key(VK_F2)});
    EXPECT_EQ(programOptions.precision, 6);
    EXPECT_EQ(DisplayText(), L"rd 0.333333");
}

TEST_F(PrecisionDialogTest, OkWithoutSelectionKeepsTheStoredPrecision)
{
    programOptions.precision = 0;  // out of range: no selection
    RunDialog(IDM_PRECISION, {Key(VK_F1)});
    EXPECT_EQ(programOptions.precision, 0);  // neither -1 + 1 nor anything else
    programOptions.precision = 13;
    RunDialog(IDM_PRECISION, {Key(VK_F1)});
    EXPECT_EQ(programOptions.precision, 13);
}

// --- Skin ----------------------------------------------------------------------------

class SkinDialogTest : public VelaWindow {
protected:
    void SetUp() override
    {
        for (const wchar_t* name : kFiles) {
            FILE* file = _wfopen((TestFolder() + name).c_str(), L"wb");
            ASSERT_NE(file, nullptr);
            std::fputs("not a skin", file);
            std::fclose(file);
        }
        VelaWindow::SetUp();
    }
    void TearDown() override
    {
        VelaWindow::TearDown();
        for (const wchar_t* name : kFiles) DeleteFileW((TestFolder() + name).c_str());
    }
    // Selects the row with `text` as the keys would: first row, then down.
    static DialogStep Choose(const wchar_t* text)
    {
        return [text] {
            HWND list = GetDlgItem(FrontDialog(), kSkinList);
            LRESULT row = SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
            ASSERT_GE(row, 0);
            PostKeyToFocus(VK_HOME);
            for (LRESULT i = 0; i < row; ++i) PostKeyToFocus(VK_DOWN);
        };
    }
    static constexpr const wchar_t* kFiles[] = {L"a.b.skin", L"fifteen_chars15.skin", L"fourteen_char1.skin"};
};

TEST_F(SkinDialogTest, ListsNamesWithoutExtensionAndShorterThanFifteen)
{
    std::vector<std::wstring> items;
    int selected = 0;
    std::wstring title;
    RunDialog(IDM_SKIN, {[&] {
                             items = Items(kSkinList);
                             selected = static_cast<int>(SendDlgItemMessageW(FrontDialog(), kSkinList, LB_GETCURSEL, 0, 0));
                             title = WindowTextOf(FrontDialog());
                             ExpectControlsOnScreen();
                         },
                         Shot("dialog_skin"), Key(VK_F2)});
    auto has = [&](const wchar_t* name) { return std::find(items.begin(), items.end(), name) != items.end(); };
    EXPECT_TRUE(has(L"Скин по умолчанию"));
    EXPECT_TRUE(has(L"a.b"));
    EXPECT_TRUE(has(L"fourteen_char1"));
    EXPECT_FALSE(has(L"fifteen_chars15"));
    EXPECT_EQ(selected, -1);
    EXPECT_EQ(title, L"Скин");
    // Sorted as the list sorts.
    for (size_t i = 1; i < items.size(); ++i)
        EXPECT_LE(CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, items[i - 1].c_str(), -1, items[i].c_str(), -1),
                  CSTR_EQUAL);
}

TEST_F(SkinDialogTest, DefaultSkinStoresAnEmptyName)
{
    std::memcpy(programOptions.skinName, u"a.b", sizeof u"a.b");
    RunDialog(IDM_SKIN, {Choose(L"Скин по умолчанию"), Key(VK_F1)});
    EXPECT_EQ(programOptions.skinName[0], 0);
    EXPECT_EQ(WindowTitle(), L"Vela Skin");
    EXPECT_EQ(programSkin.builtinSkin, 1);
    EXPECT_TRUE(recordedBoxes.empty());
}

TEST_F(SkinDialogTest, ChosenFileIsStoredEvenWhenItFailsToLoad)
{
    RunDialog(IDM_SKIN, {Choose(L"a.b"), Key(VK_F1)});
    EXPECT_EQ(Widen(programOptions.skinName), L"a.b");
    EXPECT_EQ(WindowTitle(), L"Vela - a.b");
    ASSERT_EQ(recordedBoxes.size(), 1u);
    EXPECT_EQ(recordedBoxes[0].text, L"Загрузка скина");
}

TEST_F(SkinDialogTest, OkWithoutSelectionAndCancelChangeNothing)
{
    std::memcpy(programOptions.skinName, u"x", sizeof u"x");
    RunDialog(IDM_SKIN, {Key(VK_F1)});
    RunDialog(IDM_SKIN, {Choose(L"a.b"), Key(VK_F2)});
    RunDialog(IDM_SKIN, {Choose(L"a.b"), Key(VK_ESCAPE)});
    EXPECT_EQ(Widen(programOptions.skinName), L"x");
    EXPECT_EQ(WindowTitle(), L"Vela Skin");  // nothing was loaded
    EXPECT_TRUE(recordedBoxes.empty());
}

// --- Edit-field helpers ----------------------------------------------------------------

INT_PTR CALLBACK FieldDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

// A modeless dialog with one edit field, id 1020.
class FieldTest : public VelaWindow {
protected:
    void SetUp() override
    {
        VelaWindow::SetUp();
        std::vector<WORD> t;
        auto dword = [&](DWORD v) { t.push_back(LOWORD(v)); t.push_back(HIWORD(v)); };
        dword(WS_POPUP | WS_CAPTION | DS_SETFONT);
        dword(0);
        t.insert(t.end(), {1, 0, 0, 100, 40, 0, 0, L'F', 0, 8});
        for (const wchar_t* f = L"System"; *f; ++f) t.push_back(*f);
        t.push_back(0);
        if (t.size() % 2) t.push_back(0);
        dword(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL);
        dword(0);
        t.insert(t.end(), {4, 4, 90, 12, 1020, 0xFFFF, 0x0081, 0, 0});
        dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(t.data()),
                                            window, FieldDialogProc, 0);
        ASSERT_NE(dialog, nullptr);
        edit = GetDlgItem(dialog, 1020);
    }
    void TearDown() override
    {
        if (dialog != nullptr) DestroyWindow(dialog);
        VelaWindow::TearDown();
    }
    std::wstring FieldText()
    {
        wchar_t text[128] = {};
        GetWindowTextW(edit, text, 128);
        return text;
    }
    HWND dialog = nullptr;
    HWND edit = nullptr;
};

TEST_F(FieldTest, StarAndHashTypeAPoint)
{
    ASSERT_EQ(MakeDecimalKeyEdit(edit), 0);
    SetFocus(edit);
    for (wchar_t c : std::wstring(L"1*5#a")) SendMessageW(edit, WM_CHAR, c, 1);
    SendMessageW(edit, WM_CHAR, L'\b', 1);
    SendMessageW(edit, WM_CHAR, L'7', 1);
    EXPECT_EQ(FieldText(), L"1.5.7");
}

TEST_F(FieldTest, SecondSubclassingFailsAndKeepsTheFirst)
{
    ASSERT_EQ(MakeDecimalKeyEdit(edit), 0);
    EXPECT_EQ(MakeDecimalKeyEdit(edit), E_FAIL);
    SendMessageW(edit, WM_CHAR, L'#', 1);
    EXPECT_EQ(FieldText(), L".");
}

TEST_F(FieldTest, FailureOfTheWindowSystemIsAnHresult)
{
    HWND gone = CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(gone, nullptr);
    DestroyWindow(gone);
    EXPECT_EQ(static_cast<unsigned>(MakeDecimalKeyEdit(gone)), 0x80070000u | ERROR_INVALID_WINDOW_HANDLE);
}

struct NumberCase {
    const wchar_t* text;
    double value;
};
const NumberCase kNumberCases[] = {
    {L"1.5e-3", 0.0015},  {L"12abc", 12},       {L"abc", 0},         {L"", 0},
    {L"  -2.5", -2.5},    {L"\t+.5", 0.5},      {L"3E2", 300},       {L"1e", 1},
    {L"1e+", 1},          {L"2.5e+x", 2.5},     {L"1.2.3", 1.2},     {L".", 0},
    {L"-", 0},            {L"inf", 0},          {L"-INFINITY", 0},   {L"nan", 0},
    {L"0x1A", 0},         {L"7.", 7},           {L"1e400", HUGE_VAL}, {L"1,5", 1},
};

TEST_F(FieldTest, ReadNumberFieldTakesTheLeadingDecimalNumber)
{
    for (const NumberCase& c : kNumberCases) {
        SetWindowTextW(edit, c.text);
        EXPECT_EQ(ReadNumberField(dialog, 1020), c.value) << std::string(c.text, c.text + std::wcslen(c.text));
    }
}

TEST_F(FieldTest, FieldsAreReadAsTheirFirstThirtyNineCharacters)
{
    SetWindowTextW(edit, L"123456789012345678901234567890123456789555");
    EXPECT_EQ(ReadNumberField(dialog, 1020), 123456789012345678901234567890123456789.0);
    SetWindowTextW(edit, L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    char16_t* text = ReadTextField(dialog, 1020);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(Widen(text), L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLM");
    std::free(text);
    SetWindowTextW(edit, L"Имя");
    text = ReadTextField(dialog, 1020);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(Widen(text), L"Имя");
    std::free(text);
}

TEST_F(FieldTest, ShowNumberFieldInBothFormats)
{
    ShowNumberField(2, dialog, 1020, L"%.6e");
    EXPECT_EQ(FieldText(), L"2.000000e+00");
    ShowNumberField(2, dialog, 1020, L"%f");
    EXPECT_EQ(FieldText(), L"2.000000");
    ShowNumberField(-0.015, dialog, 1020, L"%.6e");
    EXPECT_EQ(FieldText(), L"-1.500000e-02");
}

TEST_F(FieldTest, NumbersTooLongForTheBufferTurnToExponentForm)
{
    ShowNumberField(1e100, dialog, 1020, L"%f");
    EXPECT_EQ(FieldText(), L"1.000000e+100");
    ShowNumberField(-5e91, dialog, 1020, L"%f");  // 100 characters with the sign
    EXPECT_EQ(FieldText(), L"-5.000000e+91");
    ShowNumberField(1.7976931348623157e308, dialog, 1020, L"%f");
    EXPECT_EQ(FieldText(), L"1.797693e+308");
    // 99 characters still fit.
    ShowNumberField(5e91, dialog, 1020, L"%f");
    wchar_t text[128] = {};
    EXPECT_EQ(GetWindowTextW(edit, text, 128), 99);
    EXPECT_EQ(std::wstring(text).substr(92), L".000000");
}

}  // namespace
