// The program as a screen reader in another process reads it through MSAA:
// the main window's tree and the events its keys raise (a dialog's
// controls: dialogs_wtest.cpp); and the program in the
// system's high-contrast mode. The reader writes what it did and what it
// read ("N role "name" = "value" [default action] x,y wxh", the place
// relative to the window's client area).
#include "tests/wine/harness.h"

#include "windows/shell/shell.h"

namespace {

using ScreenReader = Vela;

// A key, a typed character, a layer change spoken by the layer's text, a
// key's default action, the tree, the keys told of their names in a layer
// once the reader holds them (here: after reading the tree), the window
// activated again.
TEST_F(ScreenReader, ReadsTheMainWindow)
{
    Start();
    const HANDLE reader = StartScreenReader(Window(), L"hook keys:12+3= keys:L press:4 tree keys:R activate");
    EXPECT_TRUE(HasLinesInOrder(FinishScreenReader(reader), {
        "key 1\n    value 1 \"Результат\" = \"1\"\n",
        "key +\n    value 1 \"Результат\" = \"12+\"\n",
        "key =\n    value 1 \"Результат\" = \"15\"\n",
        "key L\n    name 3 \"Слой: влево\"\npress 4\n",
        "    value 1 \"Результат\" = \"2.70805\"\n    name 3 \"Слой: основной\"\n",
        "client \"Vela Skin\" 0,0 176x180\n",
        "  1 text \"Результат\" = \"2.70805\" 0,0 176x27\n",
        "  2 static \"радианы\" 0,0 ",
        "  3 static \"Слой: основной\" 0,27 176x153\n",
        "  4 button \"1\" [Нажать] 0,27 59x39\n",
        "  16 button \"Функции\" [Нажать] 0,180 88x24\n",  // the soft keys, on the bar below
        "key R\n    name 3 \"Слой: вправо\"\n    name 4 \"плюс\"\n",
        "    name 15 \"процент\"\n",
        "activate\n",
        "    focus 1 \"Результат\"\n"}));
}

bool highContrast;

// As the system tells its windows that high contrast went on or off.
void SetHighContrast(bool on)
{
    highContrast = on;
    highContrastProbe = [] { return highContrast; };
    for (HWND window : {Window(), SHFindMenuBar(Window())})
        SendMessageW(window, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, reinterpret_cast<LPARAM>(L"WindowMetrics"));
}

using HighContrast = Vela;

// High contrast on and off while the program runs: the display takes the
// system's colours, the keypad the contrast skin.
TEST_F(HighContrast, TheDisplayTakesTheSystemsColoursAndTheKeypadTheContrastSkin)
{
    Write(L"Контраст.skin", ReadBuildFile(VELA_SHIPPED_SKIN));
    Start();
    SetHighContrast(true);
    Pump(100);
    EXPECT_EQ(WindowText(Window()), L"Vela - Контраст");
    EXPECT_EQ(WindowPixels(100, 2, 1, 1)[0], GetSysColor(COLOR_WINDOW));
    SetHighContrast(false);
    Pump(100);
    EXPECT_EQ(WindowText(Window()), L"Vela Skin");
    highContrastProbe = nullptr;
}

}  // namespace
