// The program as a screen reader in another process reads it through MSAA:
// the main window's tree, what pressing its keys does, the events it raises
// (the dialogs' controls: dialogs_wtest.cpp); and the program in the
// system's high-contrast mode. A reader's row: what it does, the lines it
// must write, in order ("N role "name" = "value" [default action] x,y wxh",
// the place relative to the window's client area).
#include "tests/wine/harness.h"

#include "windows/shell/shell.h"

namespace {

// A fresh program at `zoom`, with a skin of `image` when there is one (a
// keypad image the program cannot draw puts its message in the display line,
// and that is what the display reads).
struct ReaderRow {
    const char* name;
    int zoom;
    std::string image;
    const wchar_t* commands;
    std::vector<const char*> lines;
};

std::string TwoPlanes()  // no format a screen draws
{
    std::string image = Bitmap(176, 150, 8);
    image[26] = 2;
    return image;
}

const ReaderRow kReaderRows[] = {
    {"the tree at start", 1, "", L"tree hit:10,10 hit:100,60 hit:100,190", {
        "client \"Vela Skin\" 0,0 176x180\n",
        "  1 text \"Результат\" = \"0\" 0,0 176x27\n",
        "  2 static \"радианы\" 0,0 ",
        "  3 static \"Слой: основной\" 0,27 176x153\n",
        "  4 button \"1\" [Нажать] 0,27 59x39\n",  // the first key, the last, and a name not a digit's
        "  13 button \"десятичная точка\" [Нажать] 0,142 59x38\n",
        "  15 button \"порядок\" [Нажать] 118,142 58x38\n",
        "  16 button \"Функции\" [Нажать] 0,180 88x24\n",
        "  17 button \"Настройки\" [Нажать] 88,180 88x24\n",
        "hit 10,10: 2\n",    // the indicator, before the display under it
        "hit 100,60: 5\n",   // key "2"
        "hit 100,190: 17\n",  // the right soft key, on the bar below
    }},
    {"places follow the zoom", 2, "", L"tree hit:300,300", {
        "client \"Vela Skin\" 0,0 352x360\n", "  1 text \"Результат\" = \"0\" 0,0 352x54\n",
        "  4 button \"1\" [Нажать] 0,54 118x78\n", "  16 button \"Функции\" [Нажать] 0,360 176x48\n",
        "hit 300,300: 15\n"}},
    {"the message shown instead of the number", 1, TwoPlanes(), L"tree",
     {"  1 text \"Результат\" = \"Неверный формат скина\" "}},
    // A layer names the keys by their actions (each action's name is the
    // calculator's); Talk drops the layer.
    {"a layer's names", 1, "", L"keys:L tree keys:T tree", {
        "  2 static \"радианы\"", "  3 static \"Слой: влево\"",
        "  4 button \"натуральный логарифм\" [Нажать] 0,27 59x39\n", "  15 button \"возвести в степень\"",
        "  3 static \"Слой: основной\"", "  4 button \"1\""}},
    // The default action presses the key in the current layer, as the keypad
    // does (the one the Left layer's press below shows too); Up 1 (clear all)
    // between the presses.
    {"default actions", 1, "", L"hook keys:7 press:5 keys:U1 keys:9U press:7 keys:U1 keys:2R press:4 keys:3A", {
        "press 5\n    value 1 \"Результат\" = \"72\"\n",
        "press 7\n    value 1 \"Результат\" = \"-9\"\n",  // Up 4: change the sign
        "key A\n    value 1 \"Результат\" = \"5\"\n"}},   // Right 1 added
    // A layer change is spoken by the layer's text; the keys are told of it
    // only once the reader holds their names (here: after reading the tree).
    {"announcements", 1, "", L"hook keys:12+3= keys:L press:4 tree keys:R activate", {
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
        StartWithSkin(row.image.empty() ? "" : SkinBytes(defaultKeyMap, row.image));
        if (row.zoom != 1) {
            Command(IDM_ZOOM_1 + row.zoom - 1);
            Pump(50);
        }
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

COLORREF PixelAt(HWND window, int x, int y) { return WindowPixels(x, y, 1, 1, window)[0]; }

// High contrast on and off while the program runs: the display and the bar
// take the system's colours, the keypad the contrast skin unless the user
// chose a skin.
const struct { const char16_t* chosen; const wchar_t* titleInContrast; } kContrastRows[] = {
    {u"", L"Vela - Контраст"},
    {u"plain", L"Vela - plain"},
};

using HighContrast = Vela;

TEST_F(HighContrast, DisplayAndBarTakeTheSystemsColoursAndTheKeypadTheContrastSkin)
{
    Write(L"Контраст.skin", ReadBuildFile(VELA_SHIPPED_SKIN));
    Write(L"plain.skin", ReadBuildFile(VELA_SHIPPED_SKIN));
    for (const auto& row : kContrastRows) {
        StoreOptions(HKEY_CURRENT_USER, StoredOptions(kReprDecimal, row.chosen));
        Start();
        const std::wstring before = WindowText(Window());
        SetHighContrast(true);
        Pump(100);
        EXPECT_EQ(WindowText(Window()), row.titleInContrast);
        EXPECT_EQ(PixelAt(Window(), 100, 2), GetSysColor(COLOR_WINDOW));
        EXPECT_EQ(PixelAt(SHFindMenuBar(Window()), 80, 2), GetSysColor(COLOR_BTNFACE));
        SetHighContrast(false);
        Pump(100);
        EXPECT_EQ(WindowText(Window()), before);
        EXPECT_NE(PixelAt(SHFindMenuBar(Window()), 80, 2), GetSysColor(COLOR_BTNFACE));
    }
    highContrastProbe = nullptr;
}

}  // namespace
