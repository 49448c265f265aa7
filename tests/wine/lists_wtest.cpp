// The constants and currency files beside the program, as the menus show
// them and as their commands and key actions run them.
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "skin/keymap.h"
#include "tests/wine/fixture.h"
#include "tests/wine/harness.h"
#include "ui/main_window.h"

#include <gtest/gtest.h>

namespace {

const std::wstring kConstantFile = L"constant.txt";
const std::wstring kCurrencyFile = L"currency.txt";
const std::wstring kSkinFile = L"listkeys.skin";
constexpr char16_t kSkinName[] = u"listkeys";

// The "Функции" popup: "Валюта" first, "Константы" second.
constexpr int kCurrencyMenu = 0;
constexpr int kConstantMenu = 1;

// A record file as a user's editor saves it: Windows-1251, CR LF line ends.
std::string RecordFile(std::initializer_list<const wchar_t*> lines)
{
    std::string bytes;
    for (const wchar_t* line : lines) bytes += Cp1251(line) + "\r\n";
    return bytes;
}

// Starts the program with list files of the test's own beside it; the files
// that were there before come back afterwards.
class ListFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        DeleteStoredOptions();
        kept = SetAsideTestFiles({kConstantFile, kCurrencyFile, kSkinFile});
    }
    void TearDown() override
    {
        if (mainWindowState.mainWindow != nullptr) EndVela(false);
        DeleteStoredOptions();
        RestoreTestFiles(kept);
    }
    void Start()
    {
        if (mainWindowState.mainWindow != nullptr) EndVela(false);
        window = StartVela();
        ASSERT_NE(window, nullptr);
    }
    void StartWithCurrencies(const std::string& bytes)
    {
        ASSERT_TRUE(WriteTestFile(kCurrencyFile, bytes));
        Start();
    }
    // Options stored as the program saved them last time.
    void StoreChangedOptions(int precision, const char16_t* skinName)
    {
        Options options;
        DefaultOptions(options);
        options.precision = precision;
        std::memcpy(options.skinName, skinName, (std::char_traits<char16_t>::length(skinName) + 1) * 2);
        StoreOptions(HKEY_LOCAL_MACHINE, options);
    }

    std::vector<KeptTestFile> kept;
    HWND window = nullptr;
};

// --- Constants ------------------------------------------------------------------

// Slots 3,1,2,6,5,4: the menu shows the constants of the slots, not the file order.
const std::string kConstants = RecordFile({
    L"; Константы для проверки",
    L"",
    L"3,1,2,6,5,4",
    L"Скор. света=2.997925e+08",
    L"Число=1.234568e+00",
    L"Очень длинное имя=4.000000e+00",
    L"ln 2=6.931472e-01",
    L"Пять=5",
    L"Шесть=6.000000e+00",
});

TEST_F(ListFiles, ConstantMenuShowsPiAndTheSlotNames)
{
    ASSERT_TRUE(WriteTestFile(kConstantFile, kConstants));
    Start();
    EXPECT_EQ(MenuText(IDM_FUNCTIONS_BUTTON, IDM_CONSTANT_PI), L"π");
    EXPECT_EQ(MenuText(IDM_FUNCTIONS_BUTTON, IDM_CONSTANT_E), L"e");
    const wchar_t* slots[] = {L"Очень длинное ", L"Скор. света", L"Число", L"Шесть", L"Пять", L"ln 2"};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(MenuText(IDM_FUNCTIONS_BUTTON, IDM_CONSTANT_SLOT1 + i), slots[i]) << "slot " << i + 1;
    // Nothing was inserted or removed: the slots sit between e and "Выбор...".
    std::vector<MenuItemText> items = SubMenuItems(IDM_FUNCTIONS_BUTTON, kConstantMenu);
    ASSERT_GE(items.size(), 9u);
    EXPECT_EQ(items[0].id, static_cast<UINT>(IDM_CONSTANT_PI));
    EXPECT_EQ(items[2].id, static_cast<UINT>(IDM_CONSTANT_SLOT1));
    EXPECT_EQ(items[7].id, static_cast<UINT>(IDM_CONSTANT_SLOT6));
    EXPECT_EQ(items[8].text, L"Выбор...");
}

TEST_F(ListFiles, MissingConstantsFileKeepsTheSlotNumbers)
{
    Start();
    EXPECT_EQ(MenuText(IDM_FUNCTIONS_BUTTON, IDM_CONSTANT_PI), L"π");
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(MenuText(IDM_FUNCTIONS_BUTTON, IDM_CONSTANT_SLOT1 + i), std::to_wstring(i + 1));
    Keys("4 2");
    Command(IDM_CONSTANT_SLOT1);  // no constant: the value stays
    EXPECT_EQ(programEngine.value, 42.0);
}

TEST_F(ListFiles, SlotRecallShowsTheConstantAtThePrecision)
{
    ASSERT_TRUE(WriteTestFile(kConstantFile, kConstants));
    StoreChangedOptions(3, u"");
    Start();
    Command(IDM_CONSTANT_SLOT1 + 2);
    EXPECT_EQ(programEngine.value, 1.234568);
    EXPECT_EQ(DisplayText(), L"rd 1.235");
    Command(IDM_CONSTANT_SLOT1 + 1);
    EXPECT_EQ(DisplayText(), L"rd 299792500");
    Command(IDM_REPR_EXPONENT);
    Command(IDM_CONSTANT_SLOT1 + 5);
    EXPECT_EQ(DisplayText(), L"rd 6.931e-01");
}

TEST_F(ListFiles, SlotRecallEndsTheEntryAndKeepsThePendingOperation)
{
    ASSERT_TRUE(WriteTestFile(kConstantFile, kConstants));
    Start();
    Keys("7 7");
    Command(IDM_CONSTANT_SLOT1 + 4);
    EXPECT_EQ(DisplayText(), L"rd 5");
    Keys("8");  // a new number, not "58"
    EXPECT_EQ(DisplayText(), L"rd 8");
    Keys("right 1");  // 8 +
    Command(IDM_CONSTANT_SLOT1 + 3);
    EXPECT_EQ(DisplayText(), L"rd 6");
    Keys("action");
    EXPECT_EQ(DisplayText(), L"rd 14");
}

// --- Quick-conversion entries ------------------------------------------------------

struct CurrencyMenuCase {
    const char* name;
    std::initializer_list<const wchar_t*> file;
    const wchar_t* menu;
};

const CurrencyMenuCase kCurrencyMenus[] = {
    {"three quick currencies: six entries, quick 1 first",
     {L"1,2,3", L"Рубль=1", L"Доллар=80.25", L"Евро=93.4", L"Юань=11.05"},
     L"40022 Рубль->Доллар | 40023 Рубль->Евро | 40024 Доллар->Рубль | 40025 Доллар->Евро | "
     L"40026 Евро->Рубль | 40027 Евро->Доллар | 40028 Выбор..."},
    {"the header's order, not the file's",
     {L"; курсы", L"4,1,2", L"Рубль=1", L"Доллар=80.25", L"Евро=93.4", L"Юань=11.05"},
     L"40022 Юань->Рубль | 40023 Юань->Доллар | 40024 Рубль->Юань | 40025 Рубль->Доллар | "
     L"40026 Доллар->Юань | 40027 Доллар->Рубль | 40028 Выбор..."},
    {"header 2,2: the missing third is the first currency",
     {L"2,2", L"Рубль=1", L"Доллар=80.25", L"Евро=93.4"},
     L"40022 Доллар->Рубль | 40023 Рубль->Доллар | 40028 Выбор..."},
    {"two currencies: quick 1 and 2 only",
     {L"1,2,3", L"Рубль=1", L"Доллар=80.25"},
     L"40022 Рубль->Доллар | 40023 Доллар->Рубль | 40028 Выбор..."},
    {"an index past the table is the first currency",
     {L"9,2,3", L"Рубль=1", L"Доллар=80.25", L"Евро=93.4"},
     L"40022 Рубль->Доллар | 40023 Рубль->Евро | 40024 Доллар->Рубль | 40025 Доллар->Евро | "
     L"40026 Евро->Рубль | 40027 Евро->Доллар | 40028 Выбор..."},
    {"names are cut to six letters",
     {L"1,2,3", L"Франкшвейц=90", L"Рубль=1"},
     L"40022 Франкш->Рубль | 40023 Рубль->Франкш | 40028 Выбор..."},
    {"three equal quick currencies: no entry",
     {L"2,2,2", L"Рубль=1", L"Доллар=80.25", L"Евро=93.4"},
     L"40028 Выбор..."},
};

TEST_F(ListFiles, CurrencyMenuHasOneEntryPerQuickPair)
{
    for (const CurrencyMenuCase& c : kCurrencyMenus) {
        std::string bytes;
        for (const wchar_t* line : c.file) bytes += Cp1251(line) + "\r\n";
        StartWithCurrencies(bytes);
        EXPECT_EQ(DescribeMenuItems(SubMenuItems(IDM_FUNCTIONS_BUTTON, kCurrencyMenu)), c.menu) << c.name;
    }
}

struct NoTableCase {
    const char* name;
    const char* bytes;  // nullptr: no file at all
};

const NoTableCase kNoTables[] = {
    {"no file", nullptr},
    {"an empty file", ""},
    {"comments only", "; nothing here\r\n;\r\n"},
    {"a header without records", "1,2,3\r\n"},
    {"one currency converts into nothing", "1,2,3\r\nUSD=1\r\n"},
};

TEST_F(ListFiles, WithoutATableEveryQuickEntryIsDeleted)
{
    for (const NoTableCase& c : kNoTables) {
        RemoveTestFile(kCurrencyFile);
        if (c.bytes != nullptr) {
            ASSERT_TRUE(WriteTestFile(kCurrencyFile, c.bytes));
        }
        Start();
        EXPECT_EQ(DescribeMenuItems(SubMenuItems(IDM_FUNCTIONS_BUTTON, kCurrencyMenu)), L"40028 Выбор...") << c.name;
        // A key action may still send the command: the value is only shown.
        Keys("5");
        Command(IDM_CURRENCY_QUICK1);
        EXPECT_EQ(DisplayText(), L"rd 5.00") << c.name;
    }
}

// Rates 2 and 4: the first entry halves, the second doubles.
const std::string kTwoRates = "1,2\r\nAAA=2\r\nBBB=4\r\n";

TEST_F(ListFiles, QuickConversionShowsTwoDecimals)
{
    StartWithCurrencies(kTwoRates);
    ASSERT_EQ(DescribeMenuItems(SubMenuItems(IDM_FUNCTIONS_BUTTON, kCurrencyMenu)),
              L"40022 AAA->BBB | 40023 BBB->AAA | 40028 Выбор...");
    Keys("1 0 0");
    Command(IDM_CURRENCY_QUICK1);
    EXPECT_EQ(programEngine.value, 50.0);
    EXPECT_EQ(DisplayText(), L"rd 50.00");
    Command(IDM_CURRENCY_QUICK1 + 1);
    EXPECT_EQ(DisplayText(), L"rd 100.00");
    // The entry ended: the next digit starts a new number.
    Keys("3");
    EXPECT_EQ(DisplayText(), L"rd 3");
}

TEST_F(ListFiles, QuickConversionShowsTwoDecimalsInEveryRepresentation)
{
    StartWithCurrencies(kTwoRates);
    Command(IDM_REPR_HEX);
    Keys("6 4");  // 100
    Command(IDM_CURRENCY_QUICK1);
    EXPECT_EQ(DisplayText(), L"H 50.00");
    Command(IDM_REPR_DECIMAL);
    EXPECT_EQ(DisplayText(), L"rd 50");
}

TEST_F(ListFiles, QuickConversionByAZeroRateShowsError)
{
    StartWithCurrencies("1,2\r\nAAA=2\r\nBBB=0\r\n");
    Keys("7");
    Command(IDM_CURRENCY_QUICK1);
    EXPECT_EQ(DisplayText(), L"rd ERROR");
}

// --- Key actions through a skin's key map --------------------------------------------

TEST_F(ListFiles, SkinKeysConvertAndRecallThroughThePostedCommands)
{
    uint8_t keyMap[48];
    std::memcpy(keyMap, defaultKeyMap, sizeof keyMap);
    keyMap[0] = 59;        // Left, key 1: first quick entry
    keyMap[36 + 11] = 60;  // Down, hash: second quick entry
    keyMap[12 + 0] = 66;   // Up, key 1: constant slot 1
    ASSERT_TRUE(WriteTestFile(kSkinFile, SkinFileBytes(keyMap, true)));
    ASSERT_TRUE(WriteTestFile(kConstantFile, kConstants));
    ASSERT_TRUE(WriteTestFile(kCurrencyFile, kTwoRates));
    StoreChangedOptions(6, kSkinName);
    Start();
    ASSERT_EQ(programSkin.builtinSkin, 0);
    EXPECT_TRUE(recordedBoxes.empty());
    EXPECT_EQ(WindowTitle(), L"Vela - listkeys");

    Keys("1 0 0 left 1");
    Pump(50);  // the key posts the command; it runs from the queue
    EXPECT_EQ(DisplayText(), L"rd 50.00");
    EXPECT_EQ(mainWindowState.keypad.keyLayer, 0);

    Keys("down #");
    Pump(50);
    EXPECT_EQ(DisplayText(), L"rd 100.00");

    Keys("up 1");
    Pump(50);
    EXPECT_EQ(DisplayText(), L"rd 4");  // slot 1 is the file's third constant
    Keys("9");
    EXPECT_EQ(DisplayText(), L"rd 9");
}

// --- Exponent digits ------------------------------------------------------------------

struct ExponentCase {
    const char* keys;
    int repr;
    const wchar_t* display;
};

// Two exponent digits at least, as C99 prints them (not three as msvcrt would).
const ExponentCase kExponents[] = {
    {"1 # 1 6 right 1 0 action", IDM_REPR_EXPONENT, L"rd 1.000000e+16"},
    {"1 # 1 6 right 1 0 action", IDM_REPR_DECIMAL, L"rd 1.000000e+16"},  // too large for fixed
    {"1 right 7 1 # 5 action", IDM_REPR_EXPONENT, L"rd 1.000000e-05"},
    {"1 right 7 1 # 5 action", IDM_REPR_DECIMAL, L"rd 0.00001"},
    {"1 # 1 2 0 right 1 0 action", IDM_REPR_EXPONENT, L"rd 1.000000e+120"},
};

using ExponentTest = VelaWindow;

TEST_F(ExponentTest, ExponentsHaveTwoDigitsAtLeast)
{
    for (const ExponentCase& c : kExponents) {
        EndVela(false);
        window = StartVela();
        ASSERT_NE(window, nullptr);
        Command(c.repr);
        Keys(c.keys);
        EXPECT_EQ(DisplayText(), c.display) << c.keys;
    }
}

}  // namespace
