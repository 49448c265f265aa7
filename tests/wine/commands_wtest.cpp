// Menu commands: representation, angle unit, grouping, constants, clipboard,
// the About box and the commands whose dialogs are not there yet.
#include "resources/resource.h"
#include "tests/wine/fixture.h"
#include "ui/main_window.h"

namespace {

using CommandTest = VelaWindow;

struct ReprItem {
    int id;
    const wchar_t* indicator;
};
const ReprItem kReprItems[] = {
    {IDM_REPR_DECIMAL, L"rd"}, {IDM_REPR_HEX, L"H"}, {IDM_REPR_BINARY, L"B"}, {IDM_REPR_EXPONENT, L"rd"},
};

TEST_F(CommandTest, StartsDecimalRadianWithTheirChecks)
{
    EXPECT_TRUE(MenuChecked(IDM_FUNCTIONS_BUTTON, IDM_REPR_DECIMAL));
    EXPECT_TRUE(MenuChecked(IDM_SETTINGS_BUTTON, IDM_ANGLE_RADIAN));
    EXPECT_FALSE(MenuChecked(IDM_SETTINGS_BUTTON, IDM_GROUP_DIGITS));
    EXPECT_EQ(DisplayText(), L"rd 0");
}

TEST_F(CommandTest, RepresentationMovesTheOneCheckMark)
{
    for (const ReprItem& chosen : kReprItems) {
        Command(chosen.id);
        EXPECT_EQ(DisplayText().substr(0, DisplayText().find(L' ')), chosen.indicator);
        for (const ReprItem& item : kReprItems)
            EXPECT_EQ(MenuChecked(IDM_FUNCTIONS_BUTTON, item.id), item.id == chosen.id)
                << "after " << chosen.id << " item " << item.id;
    }
}

TEST_F(CommandTest, RepresentationReformatsTheValue)
{
    Keys("2 5 5");
    Command(IDM_REPR_HEX);
    EXPECT_EQ(DisplayText(), L"H FF");
    Command(IDM_REPR_BINARY);
    EXPECT_EQ(DisplayText(), L"B 11111111");
}

TEST_F(CommandTest, ChoosingTheCheckedRepresentationKeepsTheEntryOpen)
{
    Keys("1 2");
    Command(IDM_REPR_DECIMAL);
    Keys("3");
    EXPECT_EQ(DisplayText(), L"rd 123");
}

TEST_F(CommandTest, AngleUnitMovesCheckAndIndicatorOnly)
{
    const int units[] = {IDM_ANGLE_GRAD, IDM_ANGLE_DEGREE, IDM_ANGLE_RADIAN};
    const wchar_t* indicators[] = {L"gr", L"dg", L"rd"};
    Keys("1 2");
    for (int i = 0; i < 3; ++i) {
        Command(units[i]);
        EXPECT_EQ(DisplayText(), std::wstring(indicators[i]) + L" 12");
        for (int id : units) EXPECT_EQ(MenuChecked(IDM_SETTINGS_BUTTON, id), id == units[i]);
    }
}

TEST_F(CommandTest, GroupingTogglesCheckAndDisplay)
{
    Keys("1 2 3 4 5 6 7 * 5");
    Command(IDM_GROUP_DIGITS);
    EXPECT_TRUE(MenuChecked(IDM_SETTINGS_BUTTON, IDM_GROUP_DIGITS));
    EXPECT_EQ(DisplayText(), L"rd 1 234 567.5");
    Command(IDM_GROUP_DIGITS);
    EXPECT_FALSE(MenuChecked(IDM_SETTINGS_BUTTON, IDM_GROUP_DIGITS));
    EXPECT_EQ(DisplayText(), L"rd 1234567.5");
}

TEST_F(CommandTest, GroupingInHexadecimalByFour)
{
    Command(IDM_GROUP_DIGITS);
    Command(IDM_REPR_HEX);
    Keys("1 # # # # #");  // 1 then the cycle A..E
    Keys("talk");
    Keys("2 3");
    EXPECT_EQ(DisplayText(), L"H 1E23");
    Keys("4 5 6 7");
    EXPECT_EQ(DisplayText(), L"H 1E23 4567");
    Pump(900);
}

TEST_F(CommandTest, PiWithAPendingOperation)
{
    Keys("2 right *");  // 2 times
    Command(IDM_CONSTANT_PI);
    EXPECT_EQ(programEngine.value, 3.141592653589793);
    EXPECT_EQ(programEngine.opPending, 1);
    Keys("action");
    EXPECT_NEAR(programEngine.value, 6.283185307179586, 1e-15);
}

TEST_F(CommandTest, CopyThenPaste)
{
    Keys("6 4 * 2 5");
    Command(IDM_COPY);
    Keys("9");
    Command(IDM_PASTE);
    EXPECT_EQ(programEngine.value, 64.25);
    EXPECT_EQ(DisplayText(), L"rd 64.25");
    // The hidden edit control gave the focus back.
    EXPECT_EQ(GetFocus(), window);
}

TEST_F(CommandTest, PasteReadsTheLeadingNumber)
{
    HWND edit = mainWindowState.editControl;
    ASSERT_NE(edit, nullptr);
    ShowWindow(edit, SW_SHOW);
    SetWindowTextW(edit, L"12abc");
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, WM_COPY, 0, 0);
    ShowWindow(edit, SW_HIDE);
    Command(IDM_PASTE);
    EXPECT_EQ(programEngine.value, 12.0);
}

TEST_F(CommandTest, PasteTextMessageTakesTheEditText)
{
    SetWindowTextW(mainWindowState.editControl, L"77.5");
    PostMessageW(window, 0x8002, 0, 0);  // WM_APP + 2
    Pump();
    EXPECT_EQ(programEngine.value, 77.5);
}

TEST_F(CommandTest, AboutBoxNamesTheProgramAndYear)
{
    Command(IDM_ABOUT);
    ASSERT_EQ(recordedBoxes.size(), 1u);
    EXPECT_EQ(recordedBoxes[0].caption, L"О программе");
    EXPECT_EQ(recordedBoxes[0].style, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    const std::wstring& text = recordedBoxes[0].text;
    EXPECT_EQ(text.rfind(L"Инженерный калькулятор\n\rс поддержкой скинов\n\rдля смартфона с WM2003\n\r\n\r", 0), 0u);
    EXPECT_NE(text.find(L"Vela"), std::wstring::npos);
    EXPECT_NE(text.find(L"2026"), std::wstring::npos);
}

// Sends command `id`, cancels the dialog it opens with the "Отмена" soft
// key's command, and returns what the window procedure returned.
LRESULT CancelledCommand(HWND window, int id)
{
    LRESULT result = -1;
    RunModal([&] { result = SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), 0); },
             {[] { PostMessageW(FrontDialog(), WM_COMMAND, IDM_DLG_CANCEL, 0); }});
    return result;
}

TEST_F(CommandTest, CommandsReturnOneOnlyForTheirIds)
{
    const int ours[] = {IDM_PRECISION, IDM_FONT, IDM_SKIN, IDM_CURRENCIES, IDM_CONSTANTS,
                        IDM_CONSTANT_FILES, IDM_CONSTANT_FILES_PICK, IDM_CONSTANT_CHOICE};
    Keys("5");
    for (int id : ours) EXPECT_EQ(CancelledCommand(window, id), 1) << id;
    EXPECT_EQ(SendMessageW(window, WM_COMMAND, MAKEWPARAM(40099, 0), 0), 0);
    EXPECT_TRUE(recordedBoxes.empty());
}

TEST_F(CommandTest, ConstantChoiceResetsTheEntry)
{
    Keys("5 right");
    CancelledCommand(window, IDM_CONSTANT_CHOICE);
    EXPECT_EQ(mainWindowState.keypad.keyLayer, 0);
    EXPECT_EQ(programEngine.entryState, 0);
}

struct MenuItem {
    int button;
    int id;
    const wchar_t* text;
};
const MenuItem kMenuItems[] = {
    {IDM_FUNCTIONS_BUTTON, IDM_REPR_DECIMAL, L"Десятичное"},
    {IDM_FUNCTIONS_BUTTON, IDM_REPR_EXPONENT, L"Дес. экспон."},
    {IDM_FUNCTIONS_BUTTON, IDM_REPR_HEX, L"Шестнад."},
    {IDM_FUNCTIONS_BUTTON, IDM_REPR_BINARY, L"Двоичное"},
    {IDM_FUNCTIONS_BUTTON, IDM_COPY, L"Копировать"},
    {IDM_FUNCTIONS_BUTTON, IDM_PASTE, L"Вставить"},
    {IDM_FUNCTIONS_BUTTON, IDM_EXIT, L"Выход"},
    {IDM_FUNCTIONS_BUTTON, IDM_CONSTANT_FILES_PICK, L"Загруз.->Выбор"},
    {IDM_FUNCTIONS_BUTTON, IDM_CURRENCY_CHOICE, L"Выбор..."},
    {IDM_SETTINGS_BUTTON, IDM_SKIN, L"Скин..."},
    {IDM_SETTINGS_BUTTON, IDM_FONT, L"Шрифт..."},
    {IDM_SETTINGS_BUTTON, IDM_PRECISION, L"Точность..."},
    {IDM_SETTINGS_BUTTON, IDM_GROUP_DIGITS, L"Разд. группы"},
    {IDM_SETTINGS_BUTTON, IDM_ANGLE_GRAD, L"Град"},
    {IDM_SETTINGS_BUTTON, IDM_CURRENCIES, L"Валюты..."},
    {IDM_SETTINGS_BUTTON, IDM_CONSTANTS, L"Константы..."},
    {IDM_SETTINGS_BUTTON, IDM_ABOUT, L"О программе..."},
};

TEST_F(CommandTest, MenuItemsHaveTheirTexts)
{
    for (const MenuItem& item : kMenuItems) EXPECT_EQ(MenuText(item.button, item.id), item.text) << item.id;
}

}  // namespace
