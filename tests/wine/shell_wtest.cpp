// The soft-key bar on a desktop: place, labels, F1/F2 and the mouse, popups
// opening upward; and the screenshots of the phone's screen.
#include "resources/resource.h"
#include "shell/shell.h"
#include "tests/wine/fixture.h"
#include "ui/main_window.h"

namespace {

using SoftKeyBarTest = VelaWindow;

// What a popup looked like while it was open; filled by the timer below,
// which runs inside the popup's own message loop and then closes it.
struct OpenPopup {
    HWND owner;
    RECT rect;
    bool seen;
    const char* shot;
};
OpenPopup openPopup;

void CALLBACK ClosePopup(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    openPopup.owner = SoftKeyMenuOwner();
    HWND menu = FindWindowW(L"#32768", nullptr);
    openPopup.seen = menu != nullptr && IsWindowVisible(menu);
    if (openPopup.seen) GetWindowRect(menu, &openPopup.rect);
    if (openPopup.shot != nullptr) SaveScreenshot(openPopup.shot);
    EndMenu();
}

void ExpectPopupFrom(void (*open)(HWND), HWND window, const char* shot = nullptr)
{
    openPopup = OpenPopup{};
    openPopup.shot = shot;
    SetTimer(nullptr, 0, 300, ClosePopup);
    open(window);
    Pump(100);
}

TEST_F(SoftKeyBarTest, BarSitsUnderTheScreenWithBothLabels)
{
    HWND bar = SHFindMenuBar(window);
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(IsWindowVisible(bar));
    EXPECT_STREQ(SoftKeyLabel(bar, 0), L"Функции");
    EXPECT_STREQ(SoftKeyLabel(bar, 1), L"Настройки");
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, kPhoneScreenWidth);
    EXPECT_EQ(client.bottom, kPhoneScreenHeight);
    POINT bottomLeft{0, client.bottom};
    ClientToScreen(window, &bottomLeft);
    RECT barRect;
    GetWindowRect(bar, &barRect);
    EXPECT_EQ(barRect.left, bottomLeft.x);
    EXPECT_EQ(barRect.top, bottomLeft.y);
    EXPECT_EQ(barRect.right - barRect.left, kPhoneScreenWidth);
}

TEST_F(SoftKeyBarTest, F1OpensFunctionsUpwardAndF2Settings)
{
    HWND bar = SHFindMenuBar(window);
    RECT barRect;
    GetWindowRect(bar, &barRect);

    ExpectPopupFrom([](HWND w) { KeyDown(VK_F1); KeyUp(VK_F1); (void)w; }, window, "menu_functions");
    EXPECT_TRUE(openPopup.seen);
    EXPECT_EQ(openPopup.owner, window);
    EXPECT_EQ(openPopup.rect.bottom, barRect.top);
    EXPECT_EQ(openPopup.rect.left, barRect.left);

    ExpectPopupFrom([](HWND w) { KeyDown(VK_F2); KeyUp(VK_F2); (void)w; }, window);
    EXPECT_TRUE(openPopup.seen);
    EXPECT_EQ(openPopup.rect.bottom, barRect.top);
    EXPECT_EQ(openPopup.rect.right, barRect.right);
    EXPECT_EQ(SoftKeyMenuOwner(), nullptr);
}

TEST_F(SoftKeyBarTest, MouseClickOnEitherHalf)
{
    HWND bar = SHFindMenuBar(window);
    RECT barRect;
    GetWindowRect(bar, &barRect);
    ExpectPopupFrom([](HWND w) {
        PostMessageW(SHFindMenuBar(w), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 10));
        Pump();
    }, window);
    EXPECT_TRUE(openPopup.seen);
    EXPECT_EQ(openPopup.rect.right, barRect.right);
}

TEST_F(SoftKeyBarTest, EscapeClosingAPopupDeletesNothing)
{
    Keys("1 2");
    // The press went to the popup; its release must not reach the window as Back.
    PostMessageW(window, WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0000001u));
    Pump();
    EXPECT_EQ(DisplayText(), L"rd 12");
}

TEST_F(SoftKeyBarTest, BackOverrideIsOnTheBar)
{
    HWND bar = SHFindMenuBar(window);
    // A Back key without override goes on to the window as a key.
    SendMessageW(bar, SHCMBM_OVERRIDEKEY, VK_TBACK, MAKELPARAM(SHMBOF_NODEFAULT | SHMBOF_NOTIFY, 0));
    Keys("3 4");
    PressKey(VK_ESCAPE);  // arrives as WM_KEYDOWN 27: not a key of the window
    EXPECT_EQ(DisplayText(), L"rd 34");
    SendMessageW(bar, SHCMBM_OVERRIDEKEY, VK_TBACK,
                 MAKELPARAM(SHMBOF_NODEFAULT | SHMBOF_NOTIFY, SHMBOF_NODEFAULT | SHMBOF_NOTIFY));
    PressKey(VK_ESCAPE);
    EXPECT_EQ(DisplayText(), L"rd 3");
}

TEST_F(SoftKeyBarTest, Screenshots)
{
    Keys("1 2 3 4 5 6 7 * 5");
    Command(IDM_GROUP_DIGITS);
    Pump(100);
    SaveScreenshot("base_layer");
    Keys("left");
    Pump(100);
    SaveScreenshot("left_layer");
    Keys("talk");
    EXPECT_EQ(mainWindowState.keypad.keyLayer, 0);
}

}  // namespace
