// The constants and currency dialogs, opened from the main window's menu
// commands and worked with the phone's keys as a desktop keyboard gives them
// (arrows, Enter, F1 and F2 for the soft keys, Escape for Back), and with the
// mouse: what the lists show, what the files hold afterwards, and what the
// main menu's constant slots and quick conversions say and do.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "constants/constant_list.h"
#include "currency/currency_table.h"
#include "engine/text16.h"
#include "resources/resource.h"
#include "shell/shell.h"
#include "shell/spinner.h"
#include "tests/wine/harness.h"
#include "ui/main_window.h"

namespace {

const std::wstring kConstantFile = L"constant.txt";
const std::wstring kCurrencyFile = L"currency.txt";
const std::wstring kPhysicsFile = L"physics.txt";
const std::wstring kLongFile = L"a-long-file-name.txt";  // 16 characters before ".txt"

constexpr int kConstantMenu = 1;  // "Константы" in "Функции"
constexpr int kCurrencyMenu = 0;  // "Валюта"
constexpr int kSlotLists[6] = {1021, 1022, 1023, 1024, 1025, 1026};

std::string RecordFile(std::initializer_list<const wchar_t*> lines)
{
    std::string bytes;
    for (const wchar_t* line : lines) bytes += Cp1251(line) + "\r\n";
    return bytes;
}

// Slots 2,1,3,1,1,1: slot 1 is "b", slot 2 "a", slot 3 "c". Values and the
// blank line are not as a save writes them, so any rewrite shows.
const std::string kConstants = RecordFile({L"; проверка", L"", L"2,1,3,1,1,1", L"a=1", L"b=2", L"c=3"});
const std::string kPhysics = RecordFile({L"1,2,1,1,1,1", L"G=6.674e-11", L"Планк=6.62607015e-34"});
const std::string kCurrencies =
    RecordFile({L"; курсы", L"1,2,3", L"USD=1.000000", L"EUR=0.500000", L"GBP=0.250000"});

// --- Steps ---------------------------------------------------------------------

// The enabled dialog in front, shown or about to be.
BOOL CALLBACK FindEnabledDialog(HWND window, LPARAM found)
{
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (std::wcscmp(name, L"#32770") == 0 && IsWindowEnabled(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

HWND Front()
{
    HWND found = FrontDialog();
    if (found == nullptr) EnumThreadWindows(GetCurrentThreadId(), FindEnabledDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Characters as the keyboard types them into the control with the focus.
DialogStep Type(const wchar_t* text)
{
    return [text] {
        HWND focus = GetFocus();
        for (const wchar_t* p = text; *p != 0; ++p) PostMessageW(focus, WM_CHAR, *p, 1);
    };
}

// Selects the whole text of the edit with the focus, so that typing replaces it.
DialogStep SelectAll()
{
    return [] { PostMessageW(GetFocus(), EM_SETSEL, 0, -1); };
}

// A command of the "Меню" popup, as choosing it there sends it.
DialogStep Menu(int id)
{
    return [id] {
        HWND dialog = Front();
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, 0), reinterpret_cast<LPARAM>(SHFindMenuBar(dialog)));
    };
}

// A tick with nothing to do: lets a dialog that was just opened show itself.
DialogStep Pause()
{
    return [] {};
}

bool leftOpen;

// Closes what a failed test left open, so that it never hangs: every dialog
// here ends on "Отмена".
DialogStep CloseLeftOver()
{
    return [] {
        if (SpinnerPopup() != nullptr) {
            leftOpen = true;
            PostMessageW(SpinnerPopup(), WM_KEYDOWN, VK_ESCAPE, 1);
        } else if (HWND dialog = FrontDialog()) {
            leftOpen = true;
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDM_DLG_CANCEL, 0), 0);
        }
    };
}

// Runs menu command `command` with `steps`. True when every step ran and
// the steps themselves closed the dialogs they opened.
bool Drive(int command, std::vector<DialogStep> steps)
{
    const size_t count = steps.size();
    for (int i = 0; i < 4; ++i) steps.push_back(CloseLeftOver());
    leftOpen = false;
    const size_t ran = RunDialog(command, std::move(steps));
    return ran >= count && !leftOpen;
}

DialogStep Shot(const char* name)
{
    return [name] {
        HWND dialog = Front();
        if (dialog != nullptr)
            RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
        HWND bar = SHFindMenuBar(dialog);
        if (bar != nullptr) RedrawWindow(bar, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        GdiFlush();
        SaveScreenshot(name);
    };
}

// --- Reading a dialog back ------------------------------------------------------------

std::wstring Text(int id)
{
    wchar_t text[128] = {};
    GetDlgItemTextW(Front(), id, text, 128);
    return text;
}

std::wstring Title() { return WindowTextOf(Front()); }

std::vector<std::wstring> Items(int id) { return ListItems(Front(), id); }

int Selected(int id) { return static_cast<int>(SendDlgItemMessageW(Front(), id, LB_GETCURSEL, 0, 0)); }

std::wstring Shown(int id) { return ShownItem(Front(), id); }

int FocusId() { return GetDlgCtrlID(GetFocus()); }

bool Enabled(int id) { return IsWindowEnabled(GetDlgItem(Front(), id)) != FALSE; }

std::wstring SoftKey(int button) { return SoftKeyLabel(SHFindMenuBar(Front()), button); }

void ExpectControlsOnScreen() { ::ExpectControlsOnScreen(Front()); }

// A click as the mouse gives it, at client point (x, y) of control `id`;
// negative coordinates count from the right or bottom edge.
void Click(HWND window, int x, int y)
{
    RECT rect;
    GetClientRect(window, &rect);
    if (x < 0) x += rect.right;
    if (y < 0) y += rect.bottom;
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

std::wstring DisplayValue() { return Widen(programEngine.text); }

std::wstring SlotTexts()
{
    std::wstring out;
    for (int id = IDM_CONSTANT_SLOT1; id <= IDM_CONSTANT_SLOT6; ++id) out += MenuText(IDM_FUNCTIONS_BUTTON, id) + L"|";
    return out;
}

// --- Fixture --------------------------------------------------------------------------

// The program with list files of the test's own beside it; the files that
// were there before come back afterwards.
class ListDialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        DeleteStoredOptions();
        kept = SetAsideTestFiles({kConstantFile, kCurrencyFile, kPhysicsFile, kLongFile});
    }
    void TearDown() override
    {
        if (mainWindowState.mainWindow != nullptr) EndVela(false);
        DeleteStoredOptions();
        RestoreTestFiles(kept);
    }
    void Start(const std::string& constants, const std::string& currencies)
    {
        if (!constants.empty()) {
            ASSERT_TRUE(WriteTestFile(kConstantFile, constants));
        }
        if (!currencies.empty()) {
            ASSERT_TRUE(WriteTestFile(kCurrencyFile, currencies));
        }
        window = StartVela();
        ASSERT_NE(window, nullptr);
    }
    std::string File(const std::wstring& name)
    {
        std::string bytes;
        if (!ReadTestFile(name, bytes)) return "(missing)";
        return bytes;
    }

    std::vector<KeptTestFile> kept;
    HWND window = nullptr;
};

// --- Constants dialog -------------------------------------------------------------------

TEST_F(ListDialogs, ConstantsDialogShowsTheListAndOkWithoutChangeWritesNothing)
{
    Start(kConstants, "");
    const std::wstring slotsBefore = SlotTexts();
    std::wstring title, value, ok, menu;
    std::vector<std::wstring> picker, slotList;
    std::wstring slots[6];
    int focus = 0;
    bool ran = Drive(IDM_CONSTANTS, {[&] {
                                          title = Title();
                                          picker = Items(IDC_CONSTANT_LIST);
                                          slotList = Items(1024);
                                          for (int i = 0; i < 6; ++i) slots[i] = Shown(kSlotLists[i]);
                                          value = Text(IDC_CONSTANT_VALUE);
                                          ok = SoftKey(0);
                                          menu = SoftKey(1);
                                          focus = FocusId();
                                          ExpectControlsOnScreen();
                                      },
                                      Shot("dialog_constants"), Key(VK_F1)});
    EXPECT_TRUE(ran);
    EXPECT_EQ(title, L"Константы");
    EXPECT_EQ(picker, (std::vector<std::wstring>{L"a", L"b", L"c"}));
    EXPECT_EQ(slotList, picker);
    const wchar_t* expected[6] = {L"b", L"a", L"c", L"a", L"a", L"a"};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(slots[i], expected[i]) << "slot " << i + 1;
    EXPECT_EQ(value, L"1.000000e+00");
    EXPECT_EQ(ok, L"Ok");
    EXPECT_EQ(menu, L"Меню");
    EXPECT_EQ(focus, 1021);
    EXPECT_EQ(File(kConstantFile), kConstants);
    EXPECT_EQ(SlotTexts(), slotsBefore);
}

TEST_F(ListDialogs, ConstantsSpinSlotAndValueWithTheKeysThenOk)
{
    Start(kConstants, "");
    std::wstring shownRow1, typed, backAtRow0, slot1;
    int focusAtPicker = 0, focusAtValue = 0;
    bool ran = Drive(IDM_CONSTANTS, {Key(VK_RIGHT),  // slot 1: b -> c
                                       [&] { slot1 = Shown(1021); },
                                       Repeat(VK_DOWN, 6),
                                       [&] { focusAtPicker = FocusId(); },
                                       Key(VK_RIGHT),  // constant a -> b
                                       [&] { shownRow1 = Text(IDC_CONSTANT_VALUE); },
                                       Key(VK_DOWN),
                                       [&] { focusAtValue = FocusId(); },
                                       SelectAll(),
                                       Type(L"2*5"),
                                       [&] { typed = Text(IDC_CONSTANT_VALUE); },
                                       Key(VK_UP),
                                       Key(VK_LEFT),  // back to a: 2.5 stays with b
                                       [&] { backAtRow0 = Text(IDC_CONSTANT_VALUE); },
                                       Key(VK_F1)});
    EXPECT_TRUE(ran);
    EXPECT_EQ(slot1, L"c");
    EXPECT_EQ(focusAtPicker, IDC_CONSTANT_LIST);
    EXPECT_EQ(shownRow1, L"2.000000e+00");
    EXPECT_EQ(focusAtValue, IDC_CONSTANT_VALUE);
    EXPECT_EQ(typed, L"2.5");
    EXPECT_EQ(backAtRow0, L"1.000000e+00");
    EXPECT_EQ(File(kConstantFile),
              RecordFile({L"; проверка", L"3,1,3,1,1,1", L"a=1.000000e+00", L"b=2.500000e+00", L"c=3.000000e+00"}));
    EXPECT_EQ(SlotTexts(), L"c|a|c|a|a|a|");  // rebuilt by the main window
    Command(IDM_CONSTANT_SLOT1 + 0);
    EXPECT_EQ(programEngine.value, 3.0);
}

TEST_F(ListDialogs, ConstantsAddThroughTheSoftKeyMenuThenOkWrites)
{
    Start(kConstants, "");
    std::wstring editorTitle, name, value, ok, cancel;
    int focus = 0;
    std::vector<std::wstring> picker, slot6;
    bool ran = Drive(IDM_CONSTANTS, {Key(VK_F2),      // "Меню"
                                       Key(VK_DOWN),    // "Добавить"
                                       Key(VK_RETURN),
                                       Pause(),
                                       [&] {
                                           editorTitle = Title();
                                           name = Text(IDC_RECORD_NAME);
                                           value = Text(IDC_RECORD_VALUE);
                                           focus = FocusId();
                                           ok = SoftKey(0);
                                           cancel = SoftKey(1);
                                           ExpectControlsOnScreen();
                                       },
                                       Type(L"k"),
                                       Key(VK_DOWN),
                                       Type(L"7#25"),
                                       Shot("dialog_record_editor"),
                                       Key(VK_F1),
                                       Pause(),
                                       [&] {
                                           picker = Items(IDC_CONSTANT_LIST);
                                           slot6 = Items(1026);
                                       },
                                       Key(VK_F1)});
    EXPECT_TRUE(ran);
    EXPECT_EQ(editorTitle, L"Добавить");
    EXPECT_EQ(name, L"");
    EXPECT_EQ(value, L"");
    EXPECT_EQ(focus, IDC_RECORD_NAME);
    EXPECT_EQ(ok, L"Ok");
    EXPECT_EQ(cancel, L"Отмена");
    EXPECT_EQ(picker, (std::vector<std::wstring>{L"a", L"b", L"c", L"k"}));
    EXPECT_EQ(slot6, picker);
    EXPECT_EQ(File(kConstantFile), RecordFile({L"; проверка", L"2,1,3,1,1,1", L"a=1.000000e+00", L"b=2.000000e+00",
                                               L"c=3.000000e+00", L"k=7.250000e+00"}));
}

TEST_F(ListDialogs, ConstantsDeleteTheCurrentRow)
{
    Start(kConstants, "");
    std::wstring title, name, value, afterValue, slot1, slot3;
    bool nameEnabled = true, valueEnabled = true;
    std::vector<std::wstring> picker;
    int selected = -2;
    bool ran = Drive(IDM_CONSTANTS, {Repeat(VK_DOWN, 6), Key(VK_RIGHT), Menu(IDM_DLG_DELETE), Pause(),
                                       [&] {
                                           title = Title();
                                           name = Text(IDC_RECORD_NAME);
                                           value = Text(IDC_RECORD_VALUE);
                                           nameEnabled = Enabled(IDC_RECORD_NAME);
                                           valueEnabled = Enabled(IDC_RECORD_VALUE);
                                       },
                                       Key(VK_ESCAPE),  // Back does not close the editor
                                       Key(VK_F1), Pause(),
                                       [&] {
                                           picker = Items(IDC_CONSTANT_LIST);
                                           selected = Selected(IDC_CONSTANT_LIST);
                                           afterValue = Text(IDC_CONSTANT_VALUE);
                                           slot1 = Shown(1021);
                                           slot3 = Shown(1023);
                                       },
                                       Key(VK_F1)});
    EXPECT_TRUE(ran);
    EXPECT_EQ(title, L"Удалить?");
    EXPECT_EQ(name, L"b");
    EXPECT_EQ(value, L"2.000000e+00");
    EXPECT_FALSE(nameEnabled);
    EXPECT_FALSE(valueEnabled);
    EXPECT_EQ(picker, (std::vector<std::wstring>{L"a", L"c"}));
    EXPECT_EQ(selected, 0);
    EXPECT_EQ(afterValue, L"1.000000e+00");
    EXPECT_EQ(slot1, L"c");  // slot 1 kept index 1, which is c now
    EXPECT_EQ(slot3, L"a");  // index 2 is past the end
    EXPECT_EQ(File(kConstantFile), RecordFile({L"; проверка", L"2,1,1,1,1,1", L"a=1.000000e+00", L"c=3.000000e+00"}));
    EXPECT_EQ(SlotTexts(), L"c|a|a|a|a|a|");
}

TEST_F(ListDialogs, ConstantsRenameWithALongNameKeepsItWhole)
{
    Start(kConstants, "");
    const wchar_t kLong[] = L"abcdefghijklmnopqrst";  // 20 characters
    std::wstring title, name, value, shownValue;
    std::vector<std::wstring> picker, slot2;
    bool ran = Drive(IDM_CONSTANTS, {Menu(IDM_DLG_EDIT), Pause(),
                                       [&] {
                                           title = Title();
                                           name = Text(IDC_RECORD_NAME);
                                           value = Text(IDC_RECORD_VALUE);
                                       },
                                       SelectAll(), Type(kLong), Key(VK_DOWN), SelectAll(), Type(L"9"), Key(VK_F1), Pause(),
                                       [&] {
                                           picker = Items(IDC_CONSTANT_LIST);
                                           slot2 = Items(1022);
                                           shownValue = Text(IDC_CONSTANT_VALUE);
                                       },
                                       Key(VK_F1)});
    EXPECT_TRUE(ran);
    EXPECT_EQ(title, L"Изменить");
    EXPECT_EQ(name, L"a");
    EXPECT_EQ(value, L"1.000000e+00");
    EXPECT_EQ(picker, (std::vector<std::wstring>{kLong, L"b", L"c"}));
    EXPECT_EQ(slot2, picker);
    EXPECT_EQ(shownValue, L"9.000000e+00");
    EXPECT_EQ(File(kConstantFile), RecordFile({L"; проверка", L"2,1,3,1,1,1", L"abcdefghijklmnopqrst=9.000000e+00",
                                               L"b=2.000000e+00", L"c=3.000000e+00"}));
    EXPECT_EQ(MenuText(IDM_FUNCTIONS_BUTTON, IDM_CONSTANT_SLOT1 + 1), kLong);
}

TEST_F(ListDialogs, ConstantsPasteTheDisplayTextThenOkStoresIt)
{
    Start(kConstants, "");
    U16Copy(programEngine.text, kTextCapacity, u"1.5e-3");  // the display as it reads
    std::wstring pasted;
    bool ran = Drive(IDM_CONSTANTS, {Menu(IDM_PASTE), [&] { pasted = Text(IDC_CONSTANT_VALUE); }, Key(VK_F1)});
    EXPECT_TRUE(ran);
    EXPECT_EQ(pasted, L"1.5e-3");
    ASSERT_GE(programConstants.count, 1);
    EXPECT_EQ(programConstants.values[0], 0.0015);
    EXPECT_EQ(File(kConstantFile),
              RecordFile({L"; проверка", L"2,1,3,1,1,1", L"a=1.500000e-03", L"b=2.000000e+00", L"c=3.000000e+00"}));
}

TEST_F(ListDialogs, StarAndHashTypeADotAndBackErases)
{
    Start(kConstants, kCurrencies);
    std::wstring constantField, afterBack, editorField, rateField;
    Drive(IDM_CONSTANTS, {Repeat(VK_DOWN, 7), SelectAll(), Type(L"1*5#2"),
                          [&] { constantField = Text(IDC_CONSTANT_VALUE); }, Key(VK_ESCAPE),
                          [&] { afterBack = Text(IDC_CONSTANT_VALUE); }, Menu(IDM_DLG_ADD), Pause(), Key(VK_DOWN),
                          Type(L"3*"), [&] { editorField = Text(IDC_RECORD_VALUE); }, Key(VK_F2), Pause(),
                          Key(VK_F2),    // "Меню"
                          Key(VK_UP),    // its last item, "Отмена"
                          Key(VK_RETURN)});
    Drive(IDM_CURRENCIES, {Repeat(VK_DOWN, 4), SelectAll(), Type(L"#4"), [&] { rateField = Text(IDC_RATE_EDIT); },
                           Menu(IDM_DLG_CANCEL)});
    EXPECT_EQ(constantField, L"1.5.2");
    EXPECT_EQ(afterBack, L"1.5.");
    EXPECT_EQ(editorField, L"3.");
    EXPECT_EQ(rateField, L".4");
    EXPECT_EQ(File(kConstantFile), kConstants);
    EXPECT_EQ(File(kCurrencyFile), kCurrencies);
}

TEST_F(ListDialogs, NamesThatCannotBeStoredKeepTheEditorOpen)
{
    Start(kConstants, "");
    std::wstring titles[4];
    std::vector<std::wstring> picker;
    bool ran = Drive(IDM_CONSTANTS, {Menu(IDM_DLG_ADD), Pause(),
                                       Key(VK_F1),  // empty name
                                       [&] { titles[0] = Title(); },
                                       Type(L"x=y"), Key(VK_F1), [&] { titles[1] = Title(); },
                                       SelectAll(), Type(L";x"), Key(VK_F1), [&] { titles[2] = Title(); },
                                       SelectAll(), Type(L"ok"), Key(VK_F1), Pause(),
                                       [&] {
                                           titles[3] = Title();
                                           picker = Items(IDC_CONSTANT_LIST);
                                       },
                                       Key(VK_F1)});
    EXPECT_TRUE(ran);
    EXPECT_EQ(titles[0], L"Добавить");
    EXPECT_EQ(titles[1], L"Добавить");
    EXPECT_EQ(titles[2], L"Добавить");
    EXPECT_EQ(titles[3], L"Константы");
    EXPECT_EQ(picker, (std::vector<std::wstring>{L"a", L"b", L"c", L"ok"}));
    EXPECT_EQ(File(kConstantFile), RecordFile({L"; проверка", L"2,1,3,1,1,1", L"a=1.000000e+00", L"b=2.000000e+00",
                                               L"c=3.000000e+00", L"ok=0.000000e+00"}));
}

TEST_F(ListDialogs, CancelAfterDeleteAndRenameRebuildsTheSlotItems)
{
    // Slots 3,1,2: "c", "a", "b".
    Start(RecordFile({L"3,1,2,1,1,1", L"a=1", L"b=2", L"c=3"}), "");
    ASSERT_EQ(SlotTexts(), L"c|a|b|a|a|a|");
    bool ran = Drive(IDM_CONSTANTS, {Menu(IDM_DLG_DELETE), Pause(), Key(VK_F1), Pause(),  // deletes "a"
                                       Repeat(VK_DOWN, 6), Key(VK_RIGHT),                   // "c"
                                       Menu(IDM_DLG_EDIT), Pause(), SelectAll(), Type(L"cc"), Key(VK_F1), Pause(),
                                       Menu(IDM_DLG_CANCEL)});
    EXPECT_TRUE(ran);
    // The list in memory is b, cc; the slots still hold 2, 0, 1.
    ASSERT_EQ(programConstants.count, 2);
    EXPECT_EQ(SlotTexts(), L"1|b|cc|b|b|b|");
    Command(IDM_CONSTANT_SLOT1 + 2);
    EXPECT_EQ(programEngine.value, 3.0);  // "cc" recalls cc's value
    Command(IDM_CONSTANT_SLOT1 + 1);
    EXPECT_EQ(programEngine.value, 2.0);
    EXPECT_EQ(File(kConstantFile), RecordFile({L"3,1,2,1,1,1", L"a=1", L"b=2", L"c=3"}));
}

TEST_F(ListDialogs, LoadAnotherFileFromTheConstantsDialogThenCancel)
{
    ASSERT_TRUE(WriteTestFile(kPhysicsFile, kPhysics));
    ASSERT_TRUE(WriteTestFile(kLongFile, kPhysics));
    Start(kConstants, RecordFile({L"1,2", L"A=1", L"B=2"}));
    std::vector<std::wstring> files, picker;
    std::wstring title, value, shownFile;
    int selected = 5;
    bool ran = Drive(IDM_CONSTANTS, {Menu(IDM_CONSTANT_FILES), Pause(),
                                       [&] {
                                           title = Title();
                                           files = Items(IDC_FILES_LIST);
                                           selected = Selected(IDC_FILES_LIST);
                                           ExpectControlsOnScreen();
                                       },
                                       Shot("dialog_constant_files"),
                                       [&] {
                                           // Down from no selection selects the first item.
                                           std::vector<std::wstring> now = Items(IDC_FILES_LIST);
                                           for (size_t i = 0; i < now.size(); ++i) {
                                               PostKeyToFocus(VK_DOWN);
                                               if (now[i] == L"physics") break;
                                           }
                                       },
                                       [&] { shownFile = Shown(IDC_FILES_LIST); }, Key(VK_F1), Pause(),
                                       [&] {
                                           picker = Items(IDC_CONSTANT_LIST);
                                           value = Text(IDC_CONSTANT_VALUE);
                                       },
                                       Menu(IDM_DLG_CANCEL)});
    EXPECT_TRUE(ran);
    EXPECT_EQ(title, L"Файлы констант");
    EXPECT_EQ(selected, -1);
    auto has = [&](const wchar_t* name) { return std::find(files.begin(), files.end(), name) != files.end(); };
    EXPECT_TRUE(has(L"constant"));
    EXPECT_TRUE(has(L"physics"));
    EXPECT_FALSE(has(L"currency"));
    EXPECT_FALSE(has(L"a-long-file-name"));
    for (const std::wstring& file : files) EXPECT_LE(file.size(), 14u) << file;
    EXPECT_TRUE(std::is_sorted(files.begin(), files.end(), [](const std::wstring& a, const std::wstring& b) {
        return lstrcmpiW(a.c_str(), b.c_str()) < 0;
    }));
    EXPECT_EQ(shownFile, L"physics");
    EXPECT_EQ(picker, (std::vector<std::wstring>{L"G", L"Планк"}));
    EXPECT_EQ(value, L"6.674000e-11");
    EXPECT_EQ(Widen(programOptions.constantsFile), L"physics");
    EXPECT_EQ(SlotTexts(), L"G|Планк|G|G|G|G|");  // the menu follows the loaded list
    EXPECT_EQ(File(kPhysicsFile), kPhysics);     // Отмена wrote nothing
    EXPECT_EQ(File(kConstantFile), kConstants);
}

// --- Constant pick and the constants files from the main menu ---------------------------------

TEST_F(ListDialogs, PickAConstantWithTheKeys)
{
    Start(kConstants, "");
    std::wstring title;
    std::vector<std::wstring> items;
    int selected = -2;
    bool ran = Drive(IDM_CONSTANT_CHOICE, {[&] {
                                                 title = Title();
                                                 items = Items(IDC_PICK_LIST);
                                                 selected = Selected(IDC_PICK_LIST);
                                                 ExpectControlsOnScreen();
                                             },
                                             Shot("dialog_constant_pick"), Key(VK_DOWN), Key(VK_DOWN), Key(VK_RETURN)});
    EXPECT_TRUE(ran);
    EXPECT_EQ(title, L"Константа");
    EXPECT_EQ(items, (std::vector<std::wstring>{L"a", L"b", L"c"}));
    EXPECT_EQ(selected, 0);
    EXPECT_EQ(programEngine.value, 3.0);
    EXPECT_EQ(DisplayValue(), L"3");

    ran = Drive(IDM_CONSTANT_CHOICE, {Key(VK_DOWN), Key(VK_ESCAPE)});
    EXPECT_TRUE(ran);
    EXPECT_EQ(programEngine.value, 3.0);
}

TEST_F(ListDialogs, PickWithTheMouse)
{
    Start(kConstants, "");
    bool ran = Drive(IDM_CONSTANT_CHOICE, {[] {
                                                 HWND list = GetDlgItem(Front(), IDC_PICK_LIST);
                                                 int height = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
                                                 Click(list, 5, height + height / 2);  // second item
                                             },
                                             [] { Click(SHFindMenuBar(Front()), 10, 8); }});
    EXPECT_TRUE(ran);
    EXPECT_EQ(programEngine.value, 2.0);
}

TEST_F(ListDialogs, ConstantsFilesFromTheMainMenuThenPick)
{
    ASSERT_TRUE(WriteTestFile(kPhysicsFile, kPhysics));
    Start(kConstants, "");
    auto choosePhysics = [] {
        std::vector<std::wstring> now = Items(IDC_FILES_LIST);
        for (size_t i = 0; i < now.size(); ++i) {
            PostKeyToFocus(VK_DOWN);
            if (now[i] == L"physics") break;
        }
    };
    bool ran = Drive(IDM_CONSTANT_FILES, {choosePhysics, Key(VK_F1)});
    EXPECT_TRUE(ran);
    EXPECT_EQ(SlotTexts(), L"G|Планк|G|G|G|G|");
    ASSERT_TRUE(WriteTestFile(kPhysicsFile, RecordFile({L"2,1,1,1,1,1", L"x=5", L"y=6"})));
    std::vector<std::wstring> picked;
    ran = Drive(IDM_CONSTANT_FILES_PICK,
                {choosePhysics, Key(VK_F1), Pause(), [&] { picked = Items(IDC_PICK_LIST); }, Key(VK_DOWN), Key(VK_F1)});
    EXPECT_TRUE(ran);
    EXPECT_EQ(picked, (std::vector<std::wstring>{L"x", L"y"}));
    EXPECT_EQ(SlotTexts(), L"y|x|x|x|x|x|");
    EXPECT_EQ(programEngine.value, 6.0);
    EXPECT_EQ(DisplayValue(), L"6");
}

// --- Currencies dialog --------------------------------------------------------------------

TEST_F(ListDialogs, CurrenciesDialogShowsTheTableAndOkWithoutChangeWritesNothing)
{
    Start("", kCurrencies);
    const std::wstring menuBefore = DescribeMenuItems(SubMenuItems(IDM_FUNCTIONS_BUTTON, kCurrencyMenu));
    std::wstring title, rate, quick[3], current, menu;
    std::vector<std::wstring> lists[4];
    bool ran = Drive(IDM_CURRENCIES, {[&] {
                                           title = Title();
                                           const int ids[4] = {IDC_QUICK1_LIST, IDC_QUICK2_LIST, IDC_QUICK3_LIST,
                                                               IDC_CURRENCY_LIST};
                                           for (int k = 0; k < 4; ++k) lists[k] = Items(ids[k]);
                                           for (int k = 0; k < 3; ++k) quick[k] = Shown(ids[k]);
                                           current = Shown(IDC_CURRENCY_LIST);
                                           rate = Text(IDC_RATE_EDIT);
                                           menu = SoftKey(1);
                                           ExpectControlsOnScreen();
                                       },
                                       Shot("dialog_currencies"), Key(VK_F1)});
    EXPECT_TRUE(ran);
    EXPECT_EQ(title, L"Валюты");
    for (const auto& list : lists) EXPECT_EQ(list, (std::vector<std::wstring>{L"USD", L"EUR", L"GBP"}));
    EXPECT_EQ(quick[0], L"USD");
    EXPECT_EQ(quick[1], L"EUR");
    EXPECT_EQ(quick[2], L"GBP");
    EXPECT_EQ(current, L"USD");
    EXPECT_EQ(rate, L"1.000000");
    EXPECT_EQ(menu, L"Меню");
    EXPECT_EQ(File(kCurrencyFile), kCurrencies);
    EXPECT_EQ(DescribeMenuItems(SubMenuItems(IDM_FUNCTIONS_BUTTON, kCurrencyMenu)), menuBefore);
}

TEST_F(ListDialogs, CurrenciesQuickChoiceAndRateThenOk)
{
    Start("", kCurrencies);
    std::wstring rateRow2, typed, rateRow0;
    bool ran = Drive(IDM_CURRENCIES, {Key(VK_RIGHT),  // quick 1: USD -> EUR
                                        Repeat(VK_DOWN, 3), Repeat(VK_RIGHT, 2),
                                        [&] { rateRow2 = Text(IDC_RATE_EDIT); },
                                        Key(VK_DOWN), SelectAll(), Type(L"3*5"), [&] { typed = Text(IDC_RATE_EDIT); },
                                        Key(VK_UP), Key(VK_RIGHT),  // wraps round to USD
                                        [&] { rateRow0 = Text(IDC_RATE_EDIT); }, Key(VK_F1)});
    EXPECT_TRUE(ran);
    EXPECT_EQ(rateRow2, L"0.250000");
    EXPECT_EQ(typed, L"3.5");
    EXPECT_EQ(rateRow0, L"1.000000");
    EXPECT_EQ(File(kCurrencyFile), RecordFile({L"; курсы", L"2,2,3", L"USD=1.000000", L"EUR=0.500000", L"GBP=3.500000"}));
    EXPECT_EQ(DescribeMenuItems(SubMenuItems(IDM_FUNCTIONS_BUTTON, kCurrencyMenu)),
              L"40022 EUR->GBP | 40023 GBP->EUR | 40028 Выбор...");
}

TEST_F(ListDialogs, CurrenciesAddRenameDeleteThenOk)
{
    Start("", kCurrencies);
    std::vector<std::wstring> afterAdd, quickAfterAdd, afterRename, afterDelete;
    std::wstring editTitle, editValue, renamedRate, afterBack, deleteTitle, rateAfterDelete;
    bool deleteNameEnabled = true;
    bool ran = Drive(IDM_CURRENCIES,
                       {Menu(IDM_DLG_ADD), Pause(), Type(L"ABCDEFGHI"), Key(VK_DOWN), Type(L"2"), Key(VK_F1), Pause(),
                        [&] {
                            afterAdd = Items(IDC_CURRENCY_LIST);
                            quickAfterAdd = Items(IDC_QUICK3_LIST);
                        },
                        Menu(IDM_DLG_EDIT), Pause(),
                        [&] {
                            editTitle = Title();
                            editValue = Text(IDC_RECORD_VALUE);
                        },
                        SelectAll(), Type(L"Доллар США"), Key(VK_F1), Pause(),
                        [&] {
                            afterRename = Items(IDC_CURRENCY_LIST);
                            renamedRate = Text(IDC_RATE_EDIT);
                        },
                        Repeat(VK_DOWN, 4), Key(VK_END), Key(VK_ESCAPE),  // Back erases one character
                        [&] { afterBack = Text(IDC_RATE_EDIT); },
                        Menu(IDM_DLG_DELETE), Pause(),
                        [&] {
                            deleteTitle = Title();
                            deleteNameEnabled = Enabled(IDC_RECORD_NAME);
                        },
                        Key(VK_F1), Pause(),
                        [&] {
                            afterDelete = Items(IDC_CURRENCY_LIST);
                            rateAfterDelete = Text(IDC_RATE_EDIT);
                        },
                        Key(VK_F1)});
    EXPECT_TRUE(ran);
    EXPECT_EQ(afterAdd, (std::vector<std::wstring>{L"USD", L"EUR", L"GBP", L"ABCDEF"}));
    EXPECT_EQ(quickAfterAdd, afterAdd);
    EXPECT_EQ(editTitle, L"Изменить");
    EXPECT_EQ(editValue, L"1.000000");
    EXPECT_EQ(afterRename, (std::vector<std::wstring>{L"Доллар", L"EUR", L"GBP", L"ABCDEF"}));
    EXPECT_EQ(renamedRate, L"1.000000");
    EXPECT_EQ(afterBack, L"1.00000");
    EXPECT_EQ(deleteTitle, L"Удалить?");
    EXPECT_FALSE(deleteNameEnabled);
    EXPECT_EQ(afterDelete, (std::vector<std::wstring>{L"EUR", L"GBP", L"ABCDEF"}));
    EXPECT_EQ(rateAfterDelete, L"0.500000");
    EXPECT_EQ(File(kCurrencyFile),
              RecordFile({L"; курсы", L"1,2,3", L"EUR=0.500000", L"GBP=0.250000", L"ABCDEF=2.000000"}));
    EXPECT_EQ(DescribeMenuItems(SubMenuItems(IDM_FUNCTIONS_BUTTON, kCurrencyMenu)),
              L"40022 EUR->GBP | 40023 EUR->ABCDEF | 40024 GBP->EUR | 40025 GBP->ABCDEF | 40026 ABCDEF->EUR | "
              L"40027 ABCDEF->GBP | 40028 Выбор...");
}

TEST_F(ListDialogs, CurrenciesCancelAfterDeleteRebuildsTheQuickEntries)
{
    Start("", kCurrencies);
    ASSERT_EQ(DescribeMenuItems(SubMenuItems(IDM_FUNCTIONS_BUTTON, kCurrencyMenu)),
              L"40022 USD->EUR | 40023 USD->GBP | 40024 EUR->USD | 40025 EUR->GBP | 40026 GBP->USD | "
              L"40027 GBP->EUR | 40028 Выбор...");
    bool ran = Drive(IDM_CURRENCIES, {Menu(IDM_DLG_DELETE), Pause(), Key(VK_F1), Pause(), Menu(IDM_DLG_CANCEL)});
    EXPECT_TRUE(ran);
    EXPECT_EQ(File(kCurrencyFile), kCurrencies);
    EXPECT_EQ(DescribeMenuItems(SubMenuItems(IDM_FUNCTIONS_BUTTON, kCurrencyMenu)),
              L"40022 EUR->GBP | 40023 GBP->EUR | 40028 Выбор...");
    Keys("1");
    Command(IDM_CURRENCY_QUICK1);  // EUR->GBP: 0.5 / 0.25
    EXPECT_EQ(DisplayValue(), L"2.00");
}

// --- Currency choice ---------------------------------------------------------------------

TEST_F(ListDialogs, ChoiceWithFewerThanTwoCurrenciesOpensNothing)
{
    Start("", RecordFile({L"1,1,1", L"USD=1"}));
    ASSERT_EQ(programCurrencies.count, 0);
    Keys("5");
    bool opened = false;
    size_t ran = RunDialog(IDM_CURRENCY_CHOICE, {[&] { opened = true; }});
    EXPECT_EQ(ran, 0u);
    EXPECT_FALSE(opened);
    EXPECT_EQ(programEngine.value, 5.0);
}

TEST_F(ListDialogs, ChoiceWithRatesOneAndAHalfDoublesTheValue)
{
    Start("", kCurrencies);
    Keys("3");
    std::wstring title, from, into;
    std::vector<std::wstring> fromItems;
    bool ran = Drive(IDM_CURRENCY_CHOICE, {[&] {
                                                 title = Title();
                                                 fromItems = Items(IDC_FROM_LIST);
                                                 from = Shown(IDC_FROM_LIST);
                                                 into = Shown(IDC_INTO_LIST);
                                                 ExpectControlsOnScreen();
                                             },
                                             Shot("dialog_currency_choice"), Key(VK_DOWN), Key(VK_RIGHT), Key(VK_F1)});
    EXPECT_TRUE(ran);
    EXPECT_EQ(title, L"Выбор валют");
    EXPECT_EQ(fromItems, (std::vector<std::wstring>{L"USD", L"EUR", L"GBP"}));
    EXPECT_EQ(from, L"USD");
    EXPECT_EQ(into, L"USD");
    EXPECT_EQ(programEngine.value, 6.0);
    EXPECT_EQ(DisplayValue(), L"6.00");

    // By mouse: the right arrow of the "В" spinner, then the Ok soft key.
    ran = Drive(IDM_CURRENCY_CHOICE, {[] { Click(GetDlgItem(Front(), IDC_INTO_LIST), -3, 5); },
                                      [] { Click(SHFindMenuBar(Front()), 10, 8); }});
    EXPECT_TRUE(ran);
    EXPECT_EQ(DisplayValue(), L"12.00");

    // Back leaves it without a conversion.
    ran = Drive(IDM_CURRENCY_CHOICE, {Key(VK_RIGHT), Key(VK_ESCAPE)});
    EXPECT_TRUE(ran);
    EXPECT_EQ(programEngine.value, 12.0);
}

}  // namespace
