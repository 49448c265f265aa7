// The dialogs on real controls, opened by the main window's commands and
// worked with the keys (arrows, Enter, F1 F2 the soft keys, Escape Back) and
// the mouse. A row: a command, a user's steps, what the program then holds.
#include "tests/wine/harness.h"

#include <functional>
#include <memory>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#include <stb_image.h>

#include "core/lists/record_file.h"
#include "windows/dialogs/dialogs.h"
#include "windows/system/text.h"
#include "windows/shell/common_controls.h"
#include "windows/shell/shell.h"
#include "windows/shell/spinner.h"

namespace {

using std::to_wstring;
using Step = std::function<void()>;

std::wstring noted;  // what the steps noted, each followed by a space

// A modal dialog runs its own loop, so the steps run from a thread timer
// inside whatever loop runs (the dialog's, a popup's, an open list's), one
// per tick; a tick comes only once the messages posted before it are handled.
HWND FrontDialog()  // the active dialog, or null
{
    HWND active = GetActiveWindow();
    wchar_t name[8] = {};
    const bool dialog = GetClassNameW(active, name, 8) > 0 && std::wstring(name) == L"#32770";
    return dialog && IsWindowVisible(active) ? active : nullptr;
}

std::vector<Step> steps;
size_t stepsRun;

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
{
    HWND dialog = FrontDialog();
    if (stepsRun == 0 && dialog == nullptr) return;  // not shown yet
    if (stepsRun < steps.size()) return steps[stepsRun++]();
    // The steps are done: whatever they left open is cancelled, so that a
    // failing row never hangs.
    if (SoftKeyMenuOwner() != nullptr) EndMenu();
    else if (SpinnerPopup() != nullptr) PostMessageW(SpinnerPopup(), WM_KEYDOWN, VK_ESCAPE, 1);
    else if (dialog != nullptr) PostMessageW(dialog, WM_COMMAND, IDM_DLG_CANCEL, 0);
}

// Runs menu command `command`, or the main window's `keys` where given, with
// `script`, noting afresh; returns how many steps ran.
size_t RunDialog(int command, std::vector<Step> script, const char* keys = nullptr)
{
    noted.clear();
    steps = std::move(script);
    stepsRun = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, Tick);
    if (keys != nullptr) Keys(keys);
    else Command(command);
    KillTimer(nullptr, timer);
    return stepsRun;
}

Step Key(WPARAM key, int times = 1)
{
    return [key, times] {
        for (int i = 0; i < times; ++i) {
            PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
            PostMessageW(GetFocus(), WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
        }
    };
}

Step Type(const wchar_t* text)
{
    return [text] { for (const wchar_t* p = text; *p != 0; ++p) PostMessageW(GetFocus(), WM_CHAR, *p, 1); };
}

Step Held(WPARAM key, int repeats)  // down, `repeats` more times down as held, then up
{
    return [key, repeats] {
        for (int i = 0; i <= repeats; ++i) PostMessageW(GetFocus(), WM_KEYDOWN, key, i == 0 ? 1 : 0x40000001);
        PostMessageW(GetFocus(), WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
    };
}

Step SelectAll() { return [] { PostMessageW(GetFocus(), EM_SETSEL, 0, -1); }; }
Step Pause() { return [] {}; }  // lets a dialog that was just opened show itself
Step Menu(int id) { return [id] { PostMessageW(FrontDialog(), WM_COMMAND, id, 0); }; }  // an item of "Меню"
Step Note(std::function<std::wstring()> what) { return [what] { noted += what() + L" "; }; }

Step Choose(int id, const wchar_t* text)  // as Home and Down select it
{
    return [id, text] {
        Key(VK_HOME)();
        Key(VK_DOWN, SendDlgItemMessageW(FrontDialog(), id, LB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(text)))();
    };
}

Step DoubleClick(int id, int row)
{
    return [id, row] {
        HWND list = GetDlgItem(FrontDialog(), id);
        const LPARAM at = MAKELPARAM(5, SendMessageW(list, LB_GETITEMHEIGHT, 0, 0) * row + 2);
        for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
            PostMessageW(list, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
    };
}

LRESULT CALLBACK NoteSelections(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_COMMAND && HIWORD(wParam) == LBN_SELCHANGE)
        noted += to_wstring(LOWORD(wParam)) + L":" +
                 to_wstring(SendDlgItemMessageW(dialog, LOWORD(wParam), LB_GETCURSEL, 0, 0)) + L" ";
    return DefaultSubclass(dialog, message, wParam, lParam);
}

// From here on every selection change a list reports is noted: "id:row".
Step Watch() { return [] { AttachSubclass(FrontDialog(), NoteSelections, 1, 0); }; }

// A screen reader in another process reads the dialog with `commands`; the
// step comes again at each tick until the reader is done.
Step ReadBy(const wchar_t* commands, std::string& into)
{
    return [commands, &into] {
        static HANDLE reader;
        if (reader == nullptr) reader = StartScreenReader(FrontDialog(), commands);
        if (!ScreenReaderDone(reader)) {
            --stepsRun;
            return;
        }
        into = FinishScreenReader(reader);
        reader = nullptr;
    };
}

Step Shot(const char* name) { return [name] { EXPECT_TRUE(SaveScreenshot(name)); }; }

std::wstring Title() { return WindowText(FrontDialog()); }
std::wstring TextOfFocus() { return WindowText(GetFocus()); }
std::wstring RatesStatus() { return WindowText(GetDlgItem(FrontDialog(), IDC_RATES_STATUS)); }
std::wstring Focus() { return to_wstring(GetDlgCtrlID(GetFocus())); }

std::wstring Shown(int id)  // the selected item
{
    HWND list = GetDlgItem(FrontDialog(), id);
    wchar_t text[64] = {};
    SendMessageW(list, LB_GETTEXT, SendMessageW(list, LB_GETCURSEL, 0, 0), reinterpret_cast<LPARAM>(text));
    return text;
}

std::wstring Expanded()  // whether a spinner's list is open, and if so whether over its whole dialog
{
    HWND popup = SpinnerPopup(), dialog = GetWindow(popup, GW_OWNER);
    RECT over{}, under{};
    if (popup == nullptr || !GetWindowRect(popup, &over) || !GetWindowRect(dialog, &under)) return L"closed";
    return EqualRect(&over, &under) && !IsWindowEnabled(dialog) ? L"over the dialog" : L"elsewhere";
}

// The dialog's soft keys and the items of its popup; whether the dialog
// covers the main window's screen and its bar the main window's bar.
std::wstring Bar()
{
    HWND dialog = FrontDialog(), bar = SHFindMenuBar(dialog);
    std::wstring out = std::wstring(SoftKeyLabel(bar, 0)) + L" " + SoftKeyLabel(bar, 1);
    HMENU popup = GetSubMenu(SoftKeyBarMenu(bar), 0);
    for (int i = 0; i < GetMenuItemCount(popup); ++i) out += L" " + to_wstring(GetMenuItemID(popup, i));
    RECT client, ours, main, screen{0, 0, kPhoneScreenWidth, kPhoneScreenHeight};
    GetClientRect(dialog, &client);
    GetWindowRect(bar, &ours);  // each bar is glued under its window's client area
    GetWindowRect(SHFindMenuBar(Window()), &main);
    return out + (EqualRect(&client, &screen) && EqualRect(&ours, &main) ? L" on the screen" : L" off the screen");
}

std::wstring MenuTexts(int firstId, int lastId)  // of the "Функции" items there are
{
    std::wstring out;
    for (int id = firstId; id <= lastId; ++id) {
        wchar_t text[64] = {};
        if (GetMenuStringW(ButtonPopup(IDM_FUNCTIONS_BUTTON), id, text, 64, MF_BYCOMMAND) > 0)
            out += (out.empty() ? L"" : L" ") + std::wstring(text);
    }
    return out;
}

std::wstring FileLines(const wchar_t* name)  // decoded, each line ending in " / "
{
    std::wstring text;
    for (unsigned char byte : ReadTestFile(name))
        text += byte == '\r' ? L"" : byte == '\n' ? L" / " : std::wstring(1, DecodeNameByte(byte));
    return text;
}

std::wstring FirstLines(const wchar_t* name, int count)  // as FileLines, without the " / " after the last
{
    const std::wstring text = FileLines(name);
    size_t end = 0;
    for (int i = 0; i < count && end != std::wstring::npos; ++i) end = text.find(L" / ", end + 1);
    return text.substr(0, end);
}

std::wstring Slots() { return MenuTexts(IDM_CONSTANT_SLOT1, IDM_CONSTANT_SLOT6); }
std::wstring Constants() { return FileLines(L"constant.txt") + L"| " + Slots(); }
std::wstring Quick() { return MenuTexts(IDM_CURRENCY_QUICK1, IDM_CURRENCY_QUICK6); }
std::wstring Currencies() { return FileLines(L"currency.txt") + L"| " + Quick(); }

std::wstring Font()
{
    LOGFONTW font{};
    GetObjectW(mainWindowState.displayFonts[0], sizeof font, &font);
    return L"size " + to_wstring(Calc().options.fontSize) + L" bold " + to_wstring(Calc().options.fontBold) +
           L" weight " + to_wstring(font.lfWeight);
}

std::wstring SkinChoice()
{
    return AsWide(Calc().options.skinName) + (L" | " + WindowText(Window())) + L" | " +
           to_wstring(mainWindowState.skinView.skin.builtinSkin) + L" " + boxes;
}

std::wstring SkinChoiceAfterRestart()
{
    EndVela(true);
    Vela::Start();
    return SkinChoice();
}

// A row expects what its steps noted, then what `outcome` reads afterwards;
// `keys` are typed on the main window before the command.
struct DialogRow {
    const char* name; int command; std::vector<Step> steps; std::wstring expected;
    std::wstring (*outcome)() = nullptr; const char* keys = "";
};

const std::string kConstantFile = Lines({L"2,1,3,1,1,1", L"a=1", L"b=2", L"c=3"});
const std::string kCurrencyFile = Lines({L"1,2,3", L"USD=1", L"EUR=0.5", L"GBP=0.25"});

// constant.txt as each row starts (slots 2,1,3,1,1,1 name b, a, c): its
// values are not as a save writes them, so that any rewrite shows.
const std::wstring kKept = L"2,1,3,1,1,1 / a=1 / b=2 / c=3 / |";

class Dialogs : public Vela {
protected:
    void Run(const std::vector<DialogRow>& rows)
    {
        for (const DialogRow& row : rows) {
            Write(L"constant.txt", kConstantFile);
            Write(L"currency.txt", kCurrencyFile);
            Write(L"physics.txt", Lines({L"2,1,1,1,1,1", L"G=5", L"Планк=6"}));
            Write(L"a..b.skin", SkinBytes(defaultKeyMap, ""));  // dots inside a name are no step out
            Start();
            Keys(row.keys);
            EXPECT_EQ(RunDialog(row.command, row.steps), row.steps.size()) << row.name;
            EXPECT_EQ(noted + (row.outcome != nullptr ? row.outcome() : L""), row.expected) << row.name;
        }
    }
};

TEST_F(Dialogs, SettingsDialogsStoreTheChoice)
{
    Run({
        {"font: size and weight", IDM_FONT,
         {Shot("dialog_font"), Key(VK_RIGHT, 2), Key(VK_DOWN), Key(VK_SPACE), Key(VK_F1)}, L"size 4 bold 1 weight 700",
         Font},
        {"precision", IDM_PRECISION, {Key(VK_RIGHT, 6), Key(VK_F1)}, L"12 0.333333333333",
         [] { return to_wstring(Calc().options.precision) + L" " + Display(); }, "1R73A"},
        {"skin, kept for the next start", IDM_SKIN, {Choose(IDC_SKIN_LIST, L"a..b"), Key(VK_F1)},
         L"a..b | Vela - a..b | 0 ", SkinChoiceAfterRestart},
        {"skin file gone before Ok", IDM_SKIN,
         {Choose(IDC_SKIN_LIST, L"a..b"), [] { DeleteFileW((TestFolder() + L"a..b.skin").c_str()); }, Key(VK_F1)},
         L"a..b | Vela - a..b | 1 Скин не найден/Ошибка ", SkinChoice},
        {"the currencies dialog's bar", IDM_CURRENCIES, {Note(Bar)}, L"Ok Меню 40038 40050 40051 40052 40057 40058 4294967295 40031 on the screen "},
    });
}

TEST_F(Dialogs, ListDialogsWriteTheirFiles)
{
    Run({
        {"constants: add through the Меню soft key", IDM_CONSTANTS,
         {Key(VK_F2), Key(VK_DOWN), Key(VK_RETURN), Pause(), Note(Title), Type(L"k"),
          Key(VK_DOWN), Type(L"7#25"), Key(VK_F1), Pause(), Key(VK_F1)},
         L"Добавить 2,1,3,1,1,1 / a=1.000000e+00 / b=2.000000e+00 / c=3.000000e+00 / k=7.250000e+00 / | b a c a a a",
         Constants},
        {"constants: a slot and a value", IDM_CONSTANTS,
         {Key(VK_RIGHT), Key(VK_DOWN, 6), Key(VK_RIGHT), Key(VK_DOWN), Note(TextOfFocus),
          SelectAll(), Type(L"2*55"), Key(VK_ESCAPE), Key(VK_F1)},  // Back erases a character
         L"2.000000e+00 3,1,3,1,1,1 / a=1.000000e+00 / b=2.500000e+00 / c=3.000000e+00 / | c a c a a a", Constants},
        {"Backspace deletes as it repeats, Escape on its release", IDM_CONSTANTS,
         {Menu(IDM_DLG_ADD), Pause(), Type(L"abcdef"), Held(VK_BACK, 2), Note(TextOfFocus), Key(VK_ESCAPE),
          Note(TextOfFocus), Menu(IDM_DLG_CANCEL), Pause(), Menu(IDM_DLG_CANCEL)},
         L"abc ab " + kKept + L" b a c a a a", Constants},
        {"constants: the display's text pasted", IDM_CONSTANTS, {Menu(IDM_PASTE), Key(VK_F1)},
         L"2,1,3,1,1,1 / a=1.000000e+03 / b=2.000000e+00 / c=3.000000e+00 / | b a c a a a", Constants, "1#3"},
        {"constants: another file, then Отмена", IDM_CONSTANTS,
         {Menu(IDM_CONSTANT_FILES), Pause(), Choose(IDC_FILES_LIST, L"physics"), Key(VK_F1), Pause(),
          Menu(IDM_DLG_CANCEL)},
         kKept + L" Планк G G G G G | physics | 2,1,1,1,1,1 / G=5 / Планк=6 / ",
         [] {
             return Constants() + L" | " + AsWide(Calc().options.constantsFile) + L" | " +
                    FileLines(L"physics.txt");
         }},
        {"a name a file cannot hold keeps the editor open and says why", IDM_CONSTANTS,
         {Menu(IDM_DLG_ADD), Pause(), Type(L"x=y"), Key(VK_F1), Note(Title), SelectAll(), Type(L"ok"), Key(VK_F1),
          Pause(), Note(Title), Note([] { return boxes; }), Key(VK_F1)},
         L"Добавить Константы В имени не может быть знака «=»./Ошибка  "
         L"2,1,3,1,1,1 / a=1.000000e+00 / b=2.000000e+00 / c=3.000000e+00 / ok=0.000000e+00 / | b a c a a a",
         Constants},
        {"currencies: quick choice and rate", IDM_CURRENCIES,
         {Key(VK_RIGHT), Key(VK_DOWN, 3), Key(VK_RIGHT, 2), Key(VK_DOWN), SelectAll(),
          Type(L"3*5"), Key(VK_F1)},
         L"2,2,3 / USD=1.000000 / EUR=0.500000 / GBP=3.500000 / | EUR->GBP GBP->EUR", Currencies},
        {"currencies: add, rename, delete", IDM_CURRENCIES,
         {Menu(IDM_DLG_ADD), Pause(), Type(L"ABCDEFGHI"), Key(VK_DOWN), Type(L"2"), Key(VK_F1), Pause(),
          Menu(IDM_DLG_EDIT), Pause(), SelectAll(), Type(L"Доллар США"), Key(VK_F1), Pause(), Key(VK_DOWN, 3),
          Key(VK_RIGHT), Menu(IDM_DLG_DELETE), Pause(), Key(VK_F1), Pause(), Key(VK_F1)},
         L"1,2,3 / Доллар=1.000000 / GBP=0.250000 / ABCDEF=2.000000 / | Доллар->GBP Доллар->ABCDEF GBP->Доллар "
         L"GBP->ABCDEF ABCDEF->Доллар ABCDEF->GBP", Currencies},
        {"constant pick with the keys", IDM_CONSTANT_CHOICE, {Key(VK_DOWN, 2), Key(VK_RETURN)}, L"3", Display},
        {"constant pick with a double click", IDM_CONSTANT_CHOICE, {DoubleClick(IDC_PICK_LIST, 1)}, L"2", Display},
        {"constants files from the main menu, then pick", IDM_CONSTANT_FILES_PICK,
         {Choose(IDC_FILES_LIST, L"physics"), Key(VK_F1), Pause(), Key(VK_DOWN), Key(VK_F1)}, L"6 | Планк G G G G G",
         [] { return Display() + L" | " + Slots(); }},
    });
}

// A key of the skin's map runs its action's command once the key has been
// handled: here a list's dialog.
TEST_F(Dialogs, KeyActionsRunTheirCommands)
{
    Write(L"constant.txt", kConstantFile);
    Write(L"currency.txt", kCurrencyFile);
    Start();
    mainWindowState.skinView.skin.keyMap[0] = 65;  // Left 1: the choice of currencies
    Keys("3");
    EXPECT_EQ(RunDialog(0, {Key(VK_DOWN), Key(VK_RIGHT), Key(VK_F1)}, "L1"), 3u);
    EXPECT_EQ(Display(), L"6.00");
}

// A link at the temporary file's name (wine-tests.sh made it in "linked"):
// the save is refused with its message, and neither the file the link points
// to nor the list is touched.
TEST_F(Dialogs, ASaveNeverFollowsALinkAtTheTemporaryName)
{
    Start();
    const std::wstring linked = TestFolder() + L"linked\\";
    ASSERT_EQ(ReadTestFile(L"linked\\~tmpcur~.txt"), "precious\n") << "the link is missing";
    wcscpy_s(mainWindowState.programFolder, linked.c_str());
    RunDialog(IDM_CONSTANTS, {Menu(IDM_DLG_ADD), Pause(), Type(L"k"), Key(VK_F1), Pause(), Key(VK_F1), Pause(),
                              Note(Title), Menu(IDM_DLG_CANCEL)});
    EXPECT_EQ(noted, L"Константы ");
    EXPECT_NE(boxes.find(L"~tmpcur~.txt занято ссылкой или папкой"), std::wstring::npos) << boxes;
    EXPECT_EQ(ReadTestFile(L"linked\\precious.txt"), "precious\n");
    EXPECT_EQ(ReadTestFile(L"linked\\~tmpcur~.txt"), "precious\n");
    EXPECT_EQ(ReadTestFile(L"linked\\constant.txt"), "1\r\na=1\r\n");
}

TEST_F(Dialogs, CurrencyChoiceWithFewerThanTwoCurrenciesOpensNothing)
{
    Write(L"currency.txt", Lines({L"1,1,1", L"USD=1"}));
    Start();
    Keys("5");
    EXPECT_EQ(RunDialog(IDM_CURRENCY_CHOICE, {Note(Title)}), 0u);
    EXPECT_EQ(Display(), L"5");
}

TEST_F(Dialogs, SpinnersAnswerThePhoneKeys)
{
    const Step emptied = [] { SendDlgItemMessageW(FrontDialog(), IDC_FONT_SIZE_LIST, LB_RESETCONTENT, 0, 0); };
    const Step shown = Note([] { return Shown(IDC_FONT_SIZE_LIST); });
    Run({
        {"Right and Left step; UDS_WRAP comes round", IDM_FONT, {Watch(), Key(VK_RIGHT, 3), Key(VK_LEFT)},
         L"1000:3 1000:4 1000:0 1000:4 "},
        {"without UDS_WRAP the end holds", IDM_PRECISION, {Watch(), Key(VK_LEFT, 7)},
         L"1003:4 1003:3 1003:2 1003:1 1003:0 "},
        {"Up and Down move the focus", IDM_CURRENCIES,
         {Note(Focus), Key(VK_DOWN, 2), Note(Focus), Key(VK_UP), Note(Focus)}, L"1006 1011 1009 "},
        {"the action key opens the list, Enter picks", IDM_FONT,
         {Watch(), Key(VK_RETURN), Note(Expanded), Key(VK_UP), Key(VK_RETURN), shown},
         L"over the dialog 1000:1 Мелкий "},
        {"Back leaves the open list unchanged", IDM_FONT,
         {Watch(), Key(VK_RETURN), Key(VK_DOWN), Key(VK_ESCAPE), Note(Expanded), shown}, L"closed Нормальный "},
        {"soft keys in the open list", IDM_FONT,
         {Watch(), Key(VK_RETURN), Key(VK_DOWN), Key(VK_F1), Key(VK_RETURN), Key(VK_DOWN), Key(VK_F2), shown},
         L"1000:3 Крупный "},
        {"an empty list ignores every key", IDM_FONT,
         {Watch(), emptied, Key(VK_RIGHT), Key(VK_LEFT), Key(VK_RETURN), Note(Expanded)}, L"closed "},
    });
}

// Every control of a dialog has a name and, where it shows one, its value;
// a spinner's step is announced with the item it then shows.
TEST_F(Dialogs, AScreenReaderReadsEveryControl)
{
    Start();
    std::string read;
    RunDialog(IDM_FONT, {Pause(), ReadBy(L"controls hook keys:R", read)});
    EXPECT_TRUE(HasLinesInOrder(read, {"spin \"Размер шрифта\" = \"Нормальный\" 12,31 145x18\n",
                                       "check \"Жирный\" [Отметить]",
                                       "key R\n    value 0 \"Размер шрифта\" = \"Крупный\"\n"}));
}

// The lists that ship open in their dialogs on their first records (and the
// README shows these dialogs).
TEST_F(Dialogs, TheShippedListsOpenInTheirDialogs)
{
    Write(L"constant.txt", ReadBuildFile(VELA_SAMPLES "/constant.txt"));
    Write(L"currency.txt", ReadBuildFile(VELA_SAMPLES "/currency.txt"));
    Start();
    RunDialog(IDM_CONSTANTS, {Shot("dialog_constants"), Note([] { return Title() + L": " + Shown(IDC_CONSTANT_LIST); })});
    EXPECT_EQ(noted, L"Константы: Скор. света ");
    RunDialog(IDM_CURRENCIES, {Shot("dialog_currencies"), Note([] {
                  return Title() + L", " + RatesStatus() + L": " + Shown(IDC_CURRENCY_LIST);
              })});
    EXPECT_EQ(noted, L"Валюты, Курсы на 15.01.2026: Рубль ");
}

// The shipped skin, chosen in the skin dialog, draws its keypad as its
// preview's first screen shows it (and its sharper images at zoom 2, for the
// README).
TEST_F(Dialogs, TheShippedSkinLooksAsItsPreview)
{
    Write(L"Контраст.skin", ReadBuildFile(VELA_SHIPPED_SKIN));
    Start();
    EXPECT_EQ(RunDialog(IDM_SKIN, {Choose(IDC_SKIN_LIST, L"Контраст"), Key(VK_F1)}), 2u);
    EXPECT_EQ(SkinChoice(), L"Контраст | Vela - Контраст | 0 ");
    int width = 0, height = 0, channels = 0;
    const std::string preview = ReadBuildFile(VELA_SHIPPED_SKIN_PREVIEW);
    stbi_uc* pixels = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(preview.data()),
                                            static_cast<int>(preview.size()), &width, &height, &channels, 3);
    ASSERT_NE(pixels, nullptr);
    ASSERT_EQ(height, kPhoneScreenHeight);
    const int top = kPhoneScreenHeight - kSkinImageHeight;
    const std::vector<COLORREF> shown = WindowPixels(0, top, kScreenWidth, kSkinImageHeight);
    int differing = 0;
    for (int y = top; y < height; ++y) {
        for (int x = 0; x < kScreenWidth; ++x) {
            const stbi_uc* p = pixels + 3 * (static_cast<size_t>(y) * width + x);
            differing += shown[(y - top) * kScreenWidth + x] != RGB(p[0], p[1], p[2]) ? 1 : 0;
        }
    }
    stbi_image_free(pixels);
    EXPECT_EQ(differing, 0);
    EXPECT_TRUE(SaveScreenshot("skin_contrast"));
    Command(IDM_ZOOM_1 + 1);
    EXPECT_TRUE(SaveScreenshot("skin_contrast_2x"));
}

// Runs its step again, tick after tick, while `busy` holds (4 s at most, well
// past the download's bound in the test).
Step WaitWhile(std::function<bool()> busy)
{
    return [busy, until = std::make_shared<ULONGLONG>(0)] {
        if (*until == 0) *until = GetTickCount64() + 4000;
        if (busy() && GetTickCount64() < *until) --stepsRun;
        else *until = 0;
    };
}

bool Loading() { return FrontDialog() != nullptr && RatesStatus() == L"Загрузка курсов…"; }

// The system's Open dialog, given a file name and Ok.
Step OpenFile(const std::wstring& path)
{
    return [path] {
        HWND open = FindWindowW(L"#32770", L"Загрузить курсы");
        for (int field : {0x47C, 0x480}) SetDlgItemTextW(open, field, path.c_str());  // cmb13, edt1
        PostMessageW(open, WM_COMMAND, IDOK, 0);
    };
}

// "Загрузить курсы..." reads a bank's file, "Обновить курсы" asks the test's
// server (wine-tests.sh starts it, its port in VELA_RATES_PORT); the table
// in the dialog is replaced, Ok writes it, Отмена or a failure leaves the
// file. Then 1 and the first quick conversion.
TEST_F(Dialogs, RatesComeFromABanksFileOrItsServer)
{
    const wchar_t* port = _wgetenv(L"VELA_RATES_PORT");
    ASSERT_NE(port, nullptr) << "wine-tests.sh starts the rates server";
    const RatesFetchLimits product = ratesFetchLimits;
    ratesFetchLimits.connectMs = 1000;
    ratesFetchLimits.totalMs = 1500;
    Write(L"cbr.xml", ReadBuildFile(VELA_SAMPLES "/rates/cbr-sample.xml"));
    const Step items = Note([] {
        return to_wstring(SendDlgItemMessageW(FrontDialog(), IDC_CURRENCY_LIST, LB_GETCOUNT, 0, 0)) + L" currencies";
    });
    const std::wstring kept = L"1,2,3 / USD=1 / EUR=0.5 | 2.00";
    const std::wstring cbr = L"; Курсы ЦБ РФ на 15.01.2026 / 2,3,5 / Рубль=1.000000 | 0.86";
    const std::wstring folder = TestFolder();
    const struct {
        std::wstring path;  // a file, or a path on the server: "s/...": asked for by HTTPS; "/": nothing listens
        std::vector<Step> steps;  // empty: "Обновить курсы", its end awaited, Ok
        std::wstring expected;  // boxes, notes, currency.txt's first lines, the display; "%": the file or address
    } rows[] = {
        {folder + L"cbr.xml", {Menu(IDM_LOAD_RATES), OpenFile(folder + L"cbr.xml"), Pause(), Note(Title),
                               Note(RatesStatus), items, Key(VK_F1)},
         L"Валюты Курсы на 15.01.2026 13 currencies " + cbr},
        {folder + L"cbr.xml", {Menu(IDM_LOAD_RATES), OpenFile(folder + L"cbr.xml"), Pause(), items, Menu(IDM_DLG_CANCEL)},
         L"13 currencies " + kept},
        {L"/cbr", {Menu(IDM_UPDATE_RATES), WaitWhile(Loading), Note(RatesStatus), Key(VK_F1)},
         L"Курсы на 15.01.2026 " + cbr},
        {L"/moved", {}, cbr},
        {L"/404", {}, L"Курсы не загружены с %: сервер ответил «404 Not Found», а не файлом курсов./Ошибка " + kept},
        {L"/cut", {}, L"Курсы не загружены с %: соединение оборвалось до конца файла./Ошибка " + kept},
        {L"/", {}, L"Курсы не загружены с %: нет соединения с сервером 127.0.0.1./Ошибка " + kept},
        {L"s/cbr", {},
         L"Курсы не загружены с %: защищённое соединение с сервером 127.0.0.1 не установлено./Ошибка " + kept},
        {L"/big", {}, L"Курсы не загружены с %: файл больше 2 МБ: это не дневной файл курсов./Ошибка " + kept},
        {L"/silent", {}, L"Курсы не загружены с %: сервер 127.0.0.1 не ответил вовремя./Ошибка " + kept},
        // The dialog answers while the server says nothing: the list moves, Отмена stops the download.
        {L"/silent", {Menu(IDM_UPDATE_RATES), Pause(), Key(VK_DOWN, 3), Key(VK_RIGHT), Note(RatesStatus),
                      Shot("dialog_currencies_loading"), Note([] { return Shown(IDC_CURRENCY_LIST); }),
                      Menu(IDM_DLG_CANCEL), Note(RatesStatus), Key(VK_F1)},
         L"Курсы не загружены с %: загрузка отменена./Ошибка Загрузка курсов… EUR  " + kept},
    };
    for (const auto& row : rows) {
        Write(L"currency.txt", kCurrencyFile);
        const std::wstring source = row.path[1] == L':' ? row.path
                                    : row.path == L"/" ? L"http://127.0.0.1:1/"
                                    : row.path[0] == L's' ? L"https://127.0.0.1:" + std::wstring(port) + row.path.substr(1)
                                                          : L"http://127.0.0.1:" + std::wstring(port) + row.path;
        RegSetKeyValueW(HKEY_CURRENT_USER, kOptionsKeyPath, L"RatesUrl", REG_SZ, source.c_str(),
                        static_cast<DWORD>((source.size() + 1) * sizeof(wchar_t)));
        Start();
        RunDialog(IDM_CURRENCIES, row.steps.empty() ? std::vector<Step>{Menu(IDM_UPDATE_RATES), WaitWhile(Loading), Key(VK_F1)}
                                                    : row.steps);
        std::wstring expected = row.expected;
        if (expected.find(L'%') != std::wstring::npos) expected.replace(expected.find(L'%'), 1, source);
        Keys("1");
        Command(IDM_CURRENCY_QUICK1);
        EXPECT_EQ(boxes + noted + FirstLines(L"currency.txt", 3) + L" | " + Display(), expected) << testing::PrintToString(row.path);
    }
    ratesFetchLimits = product;

    // The bank chosen is remembered; without RatesUrl its own address is used.
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kOptionsKeyPath, L"RatesUrl");
    Start();
    RunDialog(IDM_CURRENCIES, {Menu(IDM_RATES_BANK_ECB), Key(VK_F1)});
    DWORD bank = 9, size = sizeof bank;
    RegGetValueW(HKEY_CURRENT_USER, kOptionsKeyPath, L"RatesBank", RRF_RT_REG_DWORD, nullptr, &bank, &size);
    EXPECT_EQ(bank, 1u);
}

}  // namespace
