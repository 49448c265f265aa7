// The phone's keys through the real window procedure and message queue.
#include "resources/resource.h"
#include "shell/shell.h"
#include "tests/wine/fixture.h"
#include "ui/main_window.h"

namespace {

using KeyTest = VelaWindow;

struct KeyCase {
    const char* name;
    const char* keys;
    const wchar_t* display;
};

const KeyCase kKeyCases[] = {
    {"worked example: 2 + 3", "2 right 1 3 action", L"rd 5"},
    {"left layer runs ln on the shown value", "1 left 1", L"rd 0"},
    {"a layer lasts one key", "2 left 1 1", L"rd 1"},
    {"up replaces left: C clears", "7 left up 1", L"rd 0"},
    {"talk drops the layer", "5 left talk 1", L"rd 51"},
    {"star gives 0. on a new number, once", "* *", L"rd 0."},
    {"hash types the exponent", "1 # 3", L"rd 1e3"},
    {"action without operation keeps the text", "4 2 action", L"rd 42"},
    {"pending operation shows its operator", "9 right 4", L"rd 9-"},
};

TEST_F(KeyTest, ScriptsShowTheirDisplay)
{
    for (const KeyCase& c : kKeyCases) {
        EndVela(false);
        window = StartVela();
        ASSERT_NE(window, nullptr);
        Keys(c.keys);
        EXPECT_EQ(DisplayText(), c.display) << c.name;
    }
}

TEST_F(KeyTest, DirectionKeySelectsLayerUntilKeypadKey)
{
    PressKey(VK_TLEFT);
    EXPECT_EQ(mainWindowState.keypad.keyLayer, 1);
    PressKey(VK_TDOWN);
    EXPECT_EQ(mainWindowState.keypad.keyLayer, 4);
    PressKey(VK_TTALK);
    EXPECT_EQ(mainWindowState.keypad.keyLayer, 0);
    PressKey(VK_TRIGHT);
    PressKey('5');  // M-: no layer afterwards
    EXPECT_EQ(mainWindowState.keypad.keyLayer, 0);
}

TEST_F(KeyTest, BinaryModeTypesOnlyZeroAndOne)
{
    Command(IDM_REPR_BINARY);
    Keys("1 5 * # 0 1");
    EXPECT_EQ(DisplayText(), L"B 101");
}

TEST_F(KeyTest, BackDeletesOnReleaseOnly)
{
    Keys("1 2 3");
    KeyDown(VK_ESCAPE);
    EXPECT_EQ(DisplayText(), L"rd 123");
    KeyUp(VK_ESCAPE);
    EXPECT_EQ(DisplayText(), L"rd 12");
    // Backspace is the Back key too.
    KeyDown(VK_BACK);
    EXPECT_EQ(DisplayText(), L"rd 12");
    KeyUp(VK_BACK);
    EXPECT_EQ(DisplayText(), L"rd 1");
}

TEST_F(KeyTest, BackArrivesAsHotKeyWithKeyUpOnRelease)
{
    Keys("4 5");
    // The window procedure itself: a press without MOD_KEYUP does nothing.
    EXPECT_EQ(SendMessageW(window, WM_HOTKEY, 0, MAKELPARAM(0, VK_TBACK)), 1);
    EXPECT_EQ(DisplayText(), L"rd 45");
    EXPECT_EQ(SendMessageW(window, WM_HOTKEY, 0, MAKELPARAM(MOD_KEYUP, VK_TBACK)), 1);
    EXPECT_EQ(DisplayText(), L"rd 4");
}

TEST_F(KeyTest, OtherKeysReturnOneAndChangeNothing)
{
    Keys("7");
    EXPECT_EQ(SendMessageW(window, WM_KEYDOWN, VK_F5, 1), 1);
    EXPECT_EQ(SendMessageW(window, WM_KEYDOWN, '7', 1), 0);
    EXPECT_EQ(DisplayText(), L"rd 77");
}

TEST_F(KeyTest, DesktopKeyboardIsTheKeypad)
{
    PressKey(VK_NUMPAD4);
    PressKey(VK_NUMPAD2);
    TypeCharacter(L'*');  // "*" from the keypad or Shift+8 arrives as a character
    PressKey(VK_NUMPAD5);
    EXPECT_EQ(DisplayText(), L"rd 42.5");
    TypeCharacter(L'#');
    PressKey('2');
    EXPECT_EQ(DisplayText(), L"rd 42.5e2");
    PressKey(VK_RETURN);
    EXPECT_EQ(DisplayText(), L"rd 42.5e2");
}

TEST_F(KeyTest, LetterCycleWithTheRealTimer)
{
    Command(IDM_REPR_HEX);
    Keys("# # #");
    EXPECT_EQ(DisplayText(), L"H C");
    EXPECT_NE(mainWindowState.keypad.hexTimer, 0);

    Keys("1");
    Keys("#");
    EXPECT_EQ(DisplayText(), L"H C1A");

    // A pause of a second closes the cycle: the next hash starts a new letter.
    Pump(1000);
    EXPECT_EQ(mainWindowState.keypad.hexCycleClosed, 1);
    EXPECT_EQ(mainWindowState.keypad.hexTimer, 0);
    Keys("#");
    EXPECT_EQ(DisplayText(), L"H C1AA");
    Pump(1000);
}

TEST_F(KeyTest, LetterCycleClosesAfterSevenTicks)
{
    Command(IDM_REPR_HEX);
    Keys("#");
    Pump(450);  // four or five ticks: still open
    EXPECT_EQ(mainWindowState.keypad.hexCycleClosed, 0);
    Keys("#");
    EXPECT_EQ(DisplayText(), L"H B");
    Pump(1200);
    EXPECT_EQ(mainWindowState.keypad.hexCycleClosed, 1);
}

}  // namespace

namespace {

// The thread's keyboard state as if `key` were held.
struct HeldKey {
    explicit HeldKey(int key) : key(key)
    {
        BYTE state[256];
        GetKeyboardState(state);
        state[key] = 0x80;
        SetKeyboardState(state);
    }
    ~HeldKey()
    {
        BYTE state[256];
        GetKeyboardState(state);
        state[key] = 0;
        SetKeyboardState(state);
    }
    int key;
};

TEST_F(KeyTest, ControlCAndControlVCopyAndPaste)
{
    Keys("3 * 7 5");
    {
        HeldKey control(VK_CONTROL);
        PressKey('C');
    }
    Keys("1 1");
    {
        HeldKey control(VK_CONTROL);
        PressKey('V');
    }
    EXPECT_EQ(programEngine.value, 3.75);
    EXPECT_EQ(DisplayText(), L"rd 3.75");
}

TEST_F(KeyTest, ShiftedDigitTypesNoDigit)
{
    {
        HeldKey shift(VK_SHIFT);
        PressKey('8');  // "*" on most layouts, arriving as a character
    }
    EXPECT_EQ(DisplayText().find(L'8'), std::wstring::npos);
}

}  // namespace
