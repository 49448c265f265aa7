// The program as a screen reader in another process reads it through MSAA:
// the main window's tree and the events its keys raise (a dialog's
// controls: dialogs_wtest.cpp); and the program in the
// system's high-contrast mode. A reader's row: what it does, the lines it
// must write, in order ("N role "name" = "value" [default action] x,y wxh",
// the place relative to the window's client area).
#include "tests/wine/harness.h"

#include "windows/shell/shell.h"

namespace {

// A fresh program with the built-in skin.
struct ReaderRow {
    const char* name;
    const wchar_t* commands;
    std::vector<const char*> lines;
};

const ReaderRow kReaderRows[] = {
    {"the tree at start", L"tree", {
        "client \"Vela Skin\" 0,0 176x180\n",
        "  1 text \"Результат\" = \"0\" 0,0 176x27\n",
        "  2 static \"радианы\" 0,0 ",
        "  3 static \"Слой: основной\" 0,27 176x153\n",
        "  4 button \"1\" [Нажать] 0,27 59x39\n",
        "  16 button \"Функции\" [Нажать] 0,180 88x24\n",  // the soft keys, on the bar below
    }},
    // A layer change is spoken by the layer's text; the keys are told of it
    // only once the reader holds their names (here: after reading the tree).
    {"announcements", L"hook keys:12+3= keys:L press:4 tree keys:R activate", {
        "key 1\n    value 1 \"Результат\" = \"1\"\n",      // a key
        "key +\n    value 1 \"Результат\" = \"12+\"\n",    // a typed character
        "key =\n    value 1 \"Результат\" = \"15\"\n",
        "key L\n    name 3 \"Слой: влево\"\npress 4\n",
        "    value 1 \"Результат\" = \"2.70805\"\n    name 3 \"Слой: основной\"\nclient ",
        "key R\n    name 3 \"Слой: вправо\"\n    name 4 \"плюс\"\n",
        "    name 15 \"процент\"\n",
        "activate\n",
        "    focus 1 \"Результат\"\n"}},
};

using ScreenReader = Vela;

TEST_F(ScreenReader, ReadsTheMainWindow)
{
    for (const ReaderRow& row : kReaderRows) {
        Start();
        EXPECT_TRUE(HasLinesInOrder(FinishScreenReader(StartScreenReader(Window(), row.commands)), row.lines))
            << row.name;
    }
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
