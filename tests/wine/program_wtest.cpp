// The program on the desktop: registry, skin file, keyboard, cycle timer,
// clipboard, soft-key bar, the menus the calculator's seam keeps, and
// vela.exe as a process that runs one copy at a time.
#include <cstring>

#include "tests/wine/harness.h"
#include "windows/shell/shell.h"

namespace {

using Program = Vela;

struct Stored { DWORD type, size; int reprMode; };  // size 0: no value
const struct { const char* name; Stored user, machine; int reprMode; } kReadRows[] = {  // 0: the defaults
    {"no value at all", {}, {}, kReprDecimal},
    {"the machine's value", {}, {REG_BINARY, 88, kReprHex}, kReprHex},
    {"the user's value first", {REG_BINARY, 88, kReprBinary}, {REG_BINARY, 88, kReprHex}, kReprBinary},
    {"a byte short", {}, {REG_BINARY, 87, kReprHex}, kReprDecimal},
    {"too long", {REG_BINARY, 100, kReprHex}, {}, kReprDecimal},
    {"not binary", {}, {REG_SZ, 88, kReprHex}, kReprDecimal},
};

TEST_F(Program, StartReadsTheUserKeyThenTheMachineKey)
{
    for (const auto& row : kReadRows) {
        DeleteStoredOptions();
        const std::pair<HKEY, Stored> values[] = {{HKEY_CURRENT_USER, row.user}, {HKEY_LOCAL_MACHINE, row.machine}};
        for (auto [root, value] : values) {
            uint8_t bytes[100] = {};
            Options options = StoredOptions(value.reprMode);
            options.precision = 3;  // and no constants file named
            std::memcpy(bytes, &options, sizeof options);
            if (value.size != 0) StoreValue(root, bytes, value.size, value.type);
        }
        Start();
        EXPECT_EQ(Calc().options.reprMode, row.reprMode) << row.name;
        EXPECT_EQ(Calc().options.precision, row.reprMode != 0 ? 3 : 6) << row.name;
        EXPECT_EQ(std::wstring(AsWide(Calc().options.constantsFile)), L"constant") << row.name;
        EXPECT_TRUE(MenuChecked(IDM_FUNCTIONS_BUTTON, IDM_REPR_DECIMAL + row.reprMode)) << row.name;
    }
}

TEST_F(Program, ExitWritesTheRecordAndTheNextStartRestoresIt)
{
    const Options user = StoredOptions(kReprHex);
    StoreValue(HKEY_CURRENT_USER, &user, sizeof user);  // kept current, or it would hide the new record
    Start();
    for (int id : {IDM_REPR_BINARY, IDM_ANGLE_GRAD, IDM_GROUP_DIGITS}) Command(id);
    const Options running = Calc().options;
    Options stored;
    EXPECT_EQ(ReadStored(HKEY_LOCAL_MACHINE, stored), 0u);  // nothing is written before the end
    Command(IDM_EXIT);
    EXPECT_FALSE(IsWindow(Window()));
    EndVela(true);
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        EXPECT_EQ(ReadStored(root, stored), 88u);
        EXPECT_EQ(std::memcmp(&stored, &running, sizeof stored), 0);
    }
    Start();
    EXPECT_EQ(std::memcmp(&Calc().options, &running, sizeof running), 0);
}

TEST_F(Program, SavingFallsBackToTheUserKeyAndComplainsOnlyWhenNothingIsWritable)
{
    // A handle that no registry function takes stands for a key without rights.
    const HKEY unwritable = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x7654321));
    const struct { HKEY first, second, written; const wchar_t* boxes; } rows[] = {
        {unwritable, HKEY_CURRENT_USER, HKEY_CURRENT_USER, L""},
        {unwritable, unwritable, nullptr, L"Ошибка записи в Registry/Ошибка "},
    };
    for (const auto& row : rows) {
        DeleteStoredOptions();
        boxes.clear();
        const Options options = StoredOptions(kReprExponent);
        const HKEY roots[] = {row.first, row.second};
        EXPECT_EQ(SaveOptionsTo(options, roots, 2), row.written);
        EXPECT_EQ(boxes, row.boxes);
        Options stored;
        EXPECT_EQ(ReadStored(HKEY_CURRENT_USER, stored), row.written != nullptr ? 88u : 0u);
    }
}

// Columns of the client area's top `rows` with a pixel other than `back`.
int InkColumns(HWND window, int rows, COLORREF back)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    HDC dc = GetDC(window);
    int columns = 0;
    for (int x = 0; x < kScreenWidth; ++x) {
        bool ink = false;
        for (int y = 0; y < rows && !ink; ++y) ink = GetPixel(dc, x, y) != back;
        columns += ink ? 1 : 0;
    }
    ReleaseDC(window, dc);
    return columns;
}

// The file of skin "s" (empty: no skin named), then the boxes shown, the rows
// the base layer's image takes, and whether a message replaces the number.
const struct { const char* name; std::string file; const wchar_t* boxes; int builtinSkin, imageRows; bool message; }
kSkinRows[] = {
    {"built-in skin", "", L"", 1, 153, false},
    {"56 bytes: the built-in skin whole", std::string(56, '\5'), L"Загрузка скина/Ошибка ", 1, 153, false},
    {"16-bit image without colours", SkinBytes(defaultKeyMap, Bitmap16(176, 40)), L"", 0, 0, true},
};

TEST_F(Program, SkinFileAtStart)
{
    for (const auto& row : kSkinRows) {
        Write(L"s.skin", row.file);
        const Options options = StoredOptions(kReprDecimal, row.file.empty() ? u"" : u"s");
        StoreValue(HKEY_LOCAL_MACHINE, &options, sizeof options);
        Start();
        Keys("12");
        EXPECT_EQ(boxes, row.boxes) << row.name;
        EXPECT_EQ(mainWindowState.skin.builtinSkin, row.builtinSkin) << row.name;
        EXPECT_EQ(std::memcmp(mainWindowState.skin.keyMap, defaultKeyMap, 48), 0) << row.name;
        const int ink = InkColumns(Window(), kPhoneScreenHeight - row.imageRows, mainWindowState.skin.backColor);
        EXPECT_EQ(ink > 100, row.message) << row.name << ": " << ink;
        // Below the display line: the image, or nothing at all.
        EXPECT_EQ(InkColumns(Window(), kPhoneScreenHeight, mainWindowState.skin.backColor) > ink, row.imageRows > 0)
            << row.name;
        EXPECT_EQ(Display(), L"12") << row.name;  // painting leaves the number alone
    }
}

const struct { const char* keys; const wchar_t* display; } kKeyRows[] = {
    {"n4n2*n5", L"42.5"},     // numeric keypad digits; "*" arrives as a character
    {"1#3", L"1e3"},          // so does "#"
    {"2R13A", L"5"},          // Enter is the action key: 2 + 3
    {"+8", L"0."},            // Shift+8 types no digit, only its "*"
    {"12x3y", L"12"},         // Escape deletes on its release, not on the press
    {"12k", L"1"},            // Backspace is Back as well
    {"64*25^C9^V", L"64.25"}, // Ctrl+C, Ctrl+V
};

TEST_F(Program, DesktopKeyboardIsThePhoneKeypad)
{
    for (const auto& row : kKeyRows) {
        Start();
        Keys(row.keys);
        EXPECT_EQ(Display(), row.display) << row.keys;
    }
    EXPECT_EQ(SendMessageW(Window(), WM_KEYDOWN, VK_F5, 1), 1);  // not a key of the keypad
    EXPECT_EQ(Display(), L"64.25");
}

TEST_F(Program, HexLetterCycleEndsOnTheRealTimer)
{
    Start();
    Command(IDM_REPR_HEX);
    Keys("##");
    Pump(400);  // four quiet ticks: the next hash still moves on the letter
    Keys("#");
    EXPECT_EQ(Display(), L"C");
    Pump(1200);  // seven quiet ticks end the cycle and its timer
    EXPECT_FALSE(KillTimer(Window(), kCycleTimerId));
    Keys("#");
    EXPECT_EQ(Display(), L"CA");
}

TEST_F(Program, PasteTakesTheLeadingNumberOfTheText)
{
    Start();
    HWND edit = mainWindowState.editControl;
    SetWindowTextW(edit, L"12.5abc");
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, WM_COPY, 0, 0);  // now on the clipboard
    Command(IDM_PASTE);
    EXPECT_EQ(Calc().engine.value, 12.5);
    EXPECT_EQ(GetFocus(), Window());
    SetWindowTextW(edit, L"77.5");
    PostMessageW(Window(), kMsgPasteText, 0, 0);
    Pump();
    EXPECT_EQ(Calc().engine.value, 77.5);
}

// The popup of a soft key while it was open: a timer inside its loop looks
// at it, then closes it.
struct { HMENU menu; RECT rect; HWND owner; const char* shot; } popup;

void CALLBACK LookAtPopup(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    HWND menu = FindWindowW(L"#32768", nullptr);
    popup.owner = SoftKeyMenuOwner();
    popup.menu = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
    GetWindowRect(menu, &popup.rect);
    if (popup.shot != nullptr) SaveScreenshot(popup.shot);
    EndMenu();
}

const struct { const char* keys; int clickX, button; const char* shot; } kSoftKeyRows[] = {
    {"<", 0, IDM_FUNCTIONS_BUTTON, "menu_functions"},
    {">", 0, IDM_SETTINGS_BUTTON, nullptr},
    {nullptr, 10, IDM_FUNCTIONS_BUTTON, nullptr},  // a click on the bar's left half
    {nullptr, 150, IDM_SETTINGS_BUTTON, nullptr},
};

TEST_F(Program, SoftKeyBarOpensItsPopupsUpward)
{
    Start();
    HWND bar = SHFindMenuBar(Window());
    EXPECT_STREQ(SoftKeyLabel(bar, 0), L"Функции");
    EXPECT_STREQ(SoftKeyLabel(bar, 1), L"Настройки");
    RECT barRect, underScreen{0, kPhoneScreenHeight, kPhoneScreenWidth, kPhoneScreenHeight + kSoftKeyBarHeight};
    MapWindowPoints(Window(), nullptr, reinterpret_cast<POINT*>(&underScreen), 2);
    GetWindowRect(bar, &barRect);
    EXPECT_TRUE(EqualRect(&barRect, &underScreen));
    Keys("1234567*5");
    Command(IDM_GROUP_DIGITS);
    EXPECT_TRUE(SaveScreenshot("base_layer"));
    for (const auto& row : kSoftKeyRows) {
        popup = {nullptr, {}, nullptr, row.shot};
        SetTimer(nullptr, 0, 300, LookAtPopup);
        if (row.keys != nullptr) Keys(row.keys);
        else PostMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(row.clickX, 10));
        Pump(100);
        EXPECT_EQ(popup.menu, ButtonPopup(row.button)) << row.clickX;
        EXPECT_EQ(popup.owner, Window());
        EXPECT_EQ(popup.rect.bottom, barRect.top);
        EXPECT_EQ(row.button == IDM_FUNCTIONS_BUTTON ? popup.rect.left : popup.rect.right,
                  row.button == IDM_FUNCTIONS_BUTTON ? barRect.left : barRect.right);
        Keys("y");  // the release of an Escape that closed the popup
    }
    EXPECT_EQ(Display(), L"1 234 567.5");
    Keys("L");
    EXPECT_TRUE(SaveScreenshot("left_layer"));
}

const struct { int command, first, last, checked; } kCheckRows[] = {
    {IDM_REPR_HEX, IDM_REPR_DECIMAL, IDM_REPR_EXPONENT, IDM_REPR_HEX},
    {IDM_REPR_EXPONENT, IDM_REPR_DECIMAL, IDM_REPR_EXPONENT, IDM_REPR_EXPONENT},
    {IDM_ANGLE_DEGREE, IDM_ANGLE_RADIAN, IDM_ANGLE_DEGREE, IDM_ANGLE_DEGREE},
    {IDM_ANGLE_GRAD, IDM_ANGLE_RADIAN, IDM_ANGLE_DEGREE, IDM_ANGLE_GRAD},
    {IDM_GROUP_DIGITS, IDM_GROUP_DIGITS, IDM_GROUP_DIGITS, IDM_GROUP_DIGITS},
    {IDM_GROUP_DIGITS, IDM_GROUP_DIGITS, IDM_GROUP_DIGITS, 0},
};

TEST_F(Program, CheckMarksFollowTheModes)
{
    Start();
    for (const auto& row : kCheckRows) {
        Command(row.command);
        const int button = row.first == IDM_REPR_DECIMAL ? IDM_FUNCTIONS_BUTTON : IDM_SETTINGS_BUTTON;
        for (int id = row.first; id <= row.last; ++id)
            EXPECT_EQ(MenuChecked(button, id), id == row.checked) << row.command << " item " << id;
    }
}

const struct { std::string constants, currencies; const wchar_t* menus; } kListMenuRows[] = {  // "": no file
    {"", "", L"|1 2 3 4 5 6"},
    {Lines({L"3,1,2,6,5,4", L"One=1", L"Two=2", L"Three=3", L"Four=4", L"Five=5", L"Six=6"}),
     Lines({L"1,2,3", L"Рубль=1", L"Доллар=80.25", L"Евро=93.4"}),
     L"Рубль->Доллар Рубль->Евро Доллар->Рубль Доллар->Евро Евро->Рубль Евро->Доллар|Three One Two Six Five Four"},
};

TEST_F(Program, ListMenusNameTheRecordsOfTheFiles)
{
    for (const auto& row : kListMenuRows) {
        Write(L"constant.txt", row.constants);
        Write(L"currency.txt", row.currencies);
        Start();
        EXPECT_EQ(MenuTexts(IDM_CURRENCY_QUICK1, IDM_CURRENCY_QUICK6) + L"|" +
                      MenuTexts(IDM_CONSTANT_SLOT1, IDM_CONSTANT_SLOT6), row.menus);
    }
}

TEST_F(Program, KeyActionsRunTheirPostedCommands)
{
    uint8_t keyMap[48];
    std::memcpy(keyMap, defaultKeyMap, sizeof keyMap);
    keyMap[0] = 59;   // Left, key 1: the first quick conversion
    keyMap[12] = 66;  // Up, key 1: constant slot 1
    Write(L"keys.skin", SkinBytes(keyMap, ""));
    Write(L"currency.txt", Lines({L"1,2", L"AAA=2", L"BBB=4"}));
    Write(L"constant.txt", Lines({L"2,1,1,1,1,1", L"a=1", L"b=7"}));
    const Options options = StoredOptions(kReprDecimal, u"keys");
    StoreValue(HKEY_LOCAL_MACHINE, &options, sizeof options);
    Start();
    EXPECT_EQ(boxes, L"");
    Keys("100L1");
    EXPECT_EQ(Display(), L"50.00");
    Keys("U1");
    EXPECT_EQ(Display(), L"7");
}

HANDLE Launch()  // <build>\windows\vela.exe
{
    std::wstring command = L"\"" + TestFolder() + L"..\\..\\windows\\vela.exe\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info);
    CloseHandle(info.hThread);
    return info.hProcess;
}

DWORD ExitCode(HANDLE process)  // within 20 s, or the process is ended
{
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process, 20000) == WAIT_OBJECT_0) GetExitCodeProcess(process, &code);
    else TerminateProcess(process, 1);
    CloseHandle(process);
    return code;
}

TEST_F(Program, SecondCopyEndsAtOnceWithoutSavingAndExitSaves)
{
    HANDLE first = Launch();
    HWND running = nullptr;
    for (int i = 0; i < 200 && running == nullptr; ++i, Sleep(100)) running = FindWindowW(kMainWindowClass, nullptr);
    PostMessageW(running, WM_COMMAND, IDM_REPR_HEX, 0);
    EXPECT_EQ(ExitCode(Launch()), 0u);
    EXPECT_TRUE(IsWindow(running));
    Options stored;
    EXPECT_EQ(ReadStored(HKEY_LOCAL_MACHINE, stored) + ReadStored(HKEY_CURRENT_USER, stored), 0u);
    PostMessageW(running, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(ExitCode(first), 0u);
    EXPECT_EQ(ReadStored(HKEY_LOCAL_MACHINE, stored), 88u);
    EXPECT_EQ(stored.reprMode, kReprHex);
}

}  // namespace
