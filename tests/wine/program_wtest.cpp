// The program on the desktop: registry, skin file, keyboard, cycle timer,
// clipboard, soft-key bar, the menus the calculator's seam keeps, and
// vela.exe as a process that runs one copy at a time.
#include "tests/wine/harness.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <iterator>

#include "core/text/text16.h"
#include "windows/shell/shell.h"
#include "windows/zoomed_keypad.h"

namespace {

using Program = Vela;

bool MenuChecked(int buttonId, int itemId)
{
    const UINT state = GetMenuState(ButtonPopup(buttonId), static_cast<UINT>(itemId), MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & MF_CHECKED) != 0;
}

struct Stored { DWORD type, size; int reprMode; };  // size 0: no value
const struct { const char* name; Stored user, machine; int reprMode; } kReadRows[] = {  // 0: the defaults
    {"no value at all", {}, {}, kReprDecimal}, {"the machine's value", {}, {REG_BINARY, 88, kReprHex}, kReprHex},
    {"the user's value first", {REG_BINARY, 88, kReprBinary}, {REG_BINARY, 88, kReprHex}, kReprBinary},
    {"an older writer's 20 bytes", {}, {REG_BINARY, 20, kReprHex}, kReprHex},
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
        EXPECT_EQ(SaveOptionsTo(options, 0, roots, 2), row.written);
        EXPECT_EQ(boxes, row.boxes);
        Options stored;
        EXPECT_EQ(ReadStored(HKEY_CURRENT_USER, stored), row.written != nullptr ? 88u : 0u);
    }
}

// Columns of the client area's top `rows` with a pixel other than `back`.
int InkColumns(int rows, COLORREF back)
{
    const std::vector<COLORREF> pixels = WindowPixels(0, 0, kScreenWidth, rows);
    int columns = 0;
    for (int x = 0; x < kScreenWidth; ++x) {
        bool ink = false;
        for (int y = 0; y < rows; ++y) ink |= pixels[y * kScreenWidth + x] != back;
        columns += ink ? 1 : 0;
    }
    return columns;
}

// The file of skin "s" (empty: no skin named), then the boxes shown and the
// rows the base layer's image takes; the number always shows.
const struct { const char* name; std::string file; const wchar_t* boxes; int builtinSkin, imageRows; }
kSkinRows[] = {
    {"built-in skin", "", L"", 1, 153},
    {"16-bit image without colours", SkinBytes(defaultKeyMap, Bitmap(176, 40, 16)), L"Не могу создать палитру/Ошибка ", 0, 0},
    {"an editor's 108-byte header", SkinBytes(defaultKeyMap, Bitmap(176, 150, 8, 108)), L"", 0, 150},
    {"taller than the screen", SkinBytes(defaultKeyMap, Bitmap(176, 300, 8)), L"", 0, kMaxImageRows},
};

TEST_F(Program, SkinFileAtStart)
{
    for (const auto& row : kSkinRows) {
        StartWithSkin(row.file);
        Keys("12");
        EXPECT_EQ(boxes, row.boxes) << row.name;
        EXPECT_EQ(mainWindowState.skinView.skin.builtinSkin, row.builtinSkin) << row.name;
        EXPECT_EQ(std::memcmp(mainWindowState.skinView.skin.keyMap, defaultKeyMap, 48), 0) << row.name;
        const int ink = InkColumns(kPhoneScreenHeight - row.imageRows, mainWindowState.skinView.skin.backColor);
        EXPECT_GT(ink, 0) << row.name;
        EXPECT_LT(ink, 60) << row.name << ": no message across the display line";
        // Below the display line: the image, or nothing at all.
        EXPECT_EQ(InkColumns(kPhoneScreenHeight, mainWindowState.skinView.skin.backColor) > ink, row.imageRows > 0)
            << row.name;
        EXPECT_EQ(Display(), L"12") << row.name;  // painting leaves the number alone
    }
}

// The keys of a desktop keyboard other than typed characters (those reach the
// calculator as they are, and its own tests read them): the numeric keypad,
// arrows, Enter, Escape, Backspace, Shift and Control.
const struct { const char* keys; const wchar_t* display; } kKeyRows[] = {
    {"n4n2.n5", L"42.5"}, {"2R13A", L"5"},         {"n6n*n7nA", L"42"}, {"n8n/n2n+n1nA", L"5"},
    {"n9n-n4=", L"5"},    {"1n.5", L"1.5"},        {"3s8", L"3*"},      {"5D1", L"-0.958924"},
    {"LT5", L"5"},        {"12x3y", L"12"},        {"123k", L"12"},     {"12345KK", L"123"},
    {"64.25^C9^V", L"64.25"},
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

// Copy puts the display's text on the system's clipboard, paste reads the
// clipboard's text back however long it is (what is read of a text is the
// calculator's). A row: a mode and keys, then Copy, or a text put on the
// clipboard; the value pasted after Backspace and 1.
const struct { int command; const char* keys; std::wstring text; const char* value; } kClipboardRows[] = {
    {IDM_REPR_BINARY, "11111111111111111111111111111111", L"", "4294967295"},
    {0, "", std::wstring(100000, L'7'), "7.7777777777777783e+39"},
};

TEST_F(Program, TheClipboardCarriesTheDisplaysTextEitherWay)
{
    for (const auto& row : kClipboardRows) {
        Start();
        if (row.command != 0) Command(row.command);
        Keys(row.keys);
        if (row.text.empty()) Command(IDM_COPY);
        HGLOBAL block = row.text.empty() ? nullptr : GlobalAlloc(GMEM_MOVEABLE, (row.text.size() + 1) * sizeof(wchar_t));
        if (block != nullptr && OpenClipboard(nullptr)) {
            std::memcpy(GlobalLock(block), row.text.c_str(), (row.text.size() + 1) * sizeof(wchar_t));
            GlobalUnlock(block);
            EmptyClipboard();
            SetClipboardData(CF_UNICODETEXT, block);
            CloseClipboard();
        }
        Keys("k1");
        const DWORD start = GetTickCount();
        Command(IDM_PASTE);
        EXPECT_LT(GetTickCount() - start, 5000u) << row.value;
        char value[32];
        std::snprintf(value, sizeof value, "%.17g", Calc().engine.value);
        EXPECT_STREQ(value, row.value);
    }
}

// The popup of a soft key while it was open: a timer inside its loop looks
// at it, then closes it.
struct { HMENU menu; RECT rect; HWND owner; } popup;

void CALLBACK LookAtPopup(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    HWND menu = FindWindowW(L"#32768", nullptr);
    popup.owner = SoftKeyMenuOwner();
    popup.menu = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
    GetWindowRect(menu, &popup.rect);
    EndMenu();
}

const struct { const char* keys; int clickX, button; } kSoftKeyRows[] = {
    {"<", 0, IDM_FUNCTIONS_BUTTON},
    {nullptr, 150, IDM_SETTINGS_BUTTON},  // a click on the bar's right half
};

// A menu's items in order, sub-menus in braces, separators as "-".
std::wstring MenuItems(HMENU menu)
{
    std::wstring items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[64] = {};
        GetMenuStringW(menu, i, text, 64, MF_BYPOSITION);
        if (!items.empty()) items += L" | ";
        if (HMENU sub = GetSubMenu(menu, i)) items += std::wstring(text) + L" {" + MenuItems(sub) + L"}";
        else items += GetMenuState(menu, i, MF_BYPOSITION) & MF_SEPARATOR ? L"-" : text;
    }
    return items;
}

// People choose items by number and place: the phone's items keep theirs,
// the desktop's own (the zoom) come after them.
TEST_F(Program, MenusHoldThePhonesItemsInTheirPlaces)
{
    Start();
    EXPECT_EQ(MenuItems(ButtonPopup(IDM_FUNCTIONS_BUTTON)),
              L"Валюта {Выбор...} | Константы {π | e | 1 | 2 | 3 | 4 | 5 | 6 | Выбор... | Загруз.->Выбор} | "
              L"Представление {Десятичное | Дес. экспон. | Шестнад. | Двоичное} | - | Копировать | Вставить | - | Выход");
    EXPECT_EQ(MenuItems(ButtonPopup(IDM_SETTINGS_BUTTON)),
              L"Скин... | Шрифт... | Точность... | Разд. группы | Единицы угла {Радиан | Град | Градус} | Валюты... | "
              L"Константы... | О программе... | Масштаб {×1 | ×2 | ×3 | ×4}");
}

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
    Keys("1234567.5");
    Command(IDM_GROUP_DIGITS);
    EXPECT_TRUE(SaveScreenshot("base_layer"));
    for (const auto& row : kSoftKeyRows) {
        popup = {nullptr, {}, nullptr};
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

// The point of key `index` (0..11) of the built-in keypad, in its middle or
// in the middle of one of its label zones, at the window's zoom.
POINT KeyPoint(int index, int layer)
{
    const int zoom = mainWindowState.zoom, top = (kPhoneScreenHeight - 153) * zoom;
    static const POINT kSixths[] = {{3, 3}, {1, 3}, {3, 1}, {5, 3}, {3, 5}};  // of the key's cell, by layer
    return POINT{(index % 3 * 6 + kSixths[layer].x) * 176 * zoom / 18,
                 top + (index / 3 * 6 + kSixths[layer].y) * 153 * zoom / 24};
}

// Keys, then a click at a zoom on a key's middle or label: the display.
// Which label a point of the 176-pixel image is, the calculator knows.
const struct { const char* keys; int zoom, index, layer; const wchar_t* display; } kClickRows[] = {
    {"", 1, 4, kLayerNone, L"5"},
    {"5", 2, 7, kLayerUp, L"2.718282"},
};

TEST_F(Program, ClicksPressKeysAndRunTheirLabels)
{
    for (const auto& row : kClickRows) {
        Start();
        Command(IDM_ZOOM_1 + row.zoom - 1);
        Keys(row.keys);
        const POINT at = KeyPoint(row.index, row.layer);
        PostMessageW(Window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        PostMessageW(Window(), WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        Pump();
        EXPECT_EQ(Display(), row.display) << row.keys << " " << row.index << " " << row.layer;
    }
    // The label under the mouse names its action.
    const POINT sine = KeyPoint(0, kLayerDown);
    SendMessageW(Window(), WM_MOUSEMOVE, 0, MAKELPARAM(sine.x, sine.y));
    wchar_t tip[16] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = Window();
    tool.uId = 1;
    tool.lpszText = tip;
    SendMessageW(mainWindowState.tooltip, TTM_GETTEXTW, std::size(tip), reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(tip, L"sin");
}

// The zoom: chosen in the menu, or by resizing the window, which snaps to
// whole zooms; kept at the end of the session for the next start.
TEST_F(Program, ZoomByMenuAndByResizing)
{
    Start();
    EXPECT_EQ(Client().right * 1000 + Client().bottom, 176180);
    Command(IDM_ZOOM_1 + 1);
    RECT bar;
    GetWindowRect(SHFindMenuBar(Window()), &bar);
    EXPECT_EQ(Client().right * 1000 + Client().bottom, 352360);
    EXPECT_EQ(bar.bottom - bar.top, 2 * kSoftKeyBarHeight);
    EXPECT_TRUE(MenuChecked(IDM_SETTINGS_BUTTON, IDM_ZOOM_1 + 1));
    Keys("1234567.5");
    EXPECT_TRUE(SaveScreenshot("zoom_2x"));
    const SIZE frame = ScreenFrameSize(Window(), 3);
    SetWindowPos(Window(), nullptr, 0, 0, frame.cx + 40, frame.cy - 30, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    EXPECT_EQ(Client().right * 1000 + Client().bottom, 528540);
    RECT dragged{0, 0, ScreenFrameSize(Window(), 1).cx + 170, 50};  // the right edge, about 2 zooms wider
    SendMessageW(Window(), WM_SIZING, WMSZ_RIGHT, reinterpret_cast<LPARAM>(&dragged));
    EXPECT_EQ(dragged.right * 1000 + dragged.bottom, ScreenFrameSize(Window(), 2).cx * 1000 + ScreenFrameSize(Window(), 2).cy);
    SendMessageW(Window(), WM_ENDSESSION, TRUE, 0);
    Start();
    EXPECT_EQ(mainWindowState.zoom, 3);
}

// At zoom 2 the built-in keypad is drawn for the zoom, not blown up: there
// are colours between the ones of the 176-pixel image (smooth outlines,
// smooth text). Every piece of text, in each layer, leaves ink only inside its place of the 176-pixel
// layout (one pixel of it around), and every piece leaves some.
TEST_F(Program, BuiltinKeypadIsDrawnAtTheZoomsResolution)
{
    Start();
    std::vector<COLORREF> small = BitmapPixels(mainWindowState.skinView.builtinImages[0], kKeypadWidth, kKeypadHeight);
    std::sort(small.begin(), small.end());
    const int zoom = 2;
    Command(IDM_ZOOM_1 + zoom - 1);
    const int width = kKeypadWidth * zoom, height = kKeypadHeight * zoom;
    const std::vector<COLORREF> shown = WindowPixels(0, Client().bottom - height, width, height);
    int newColours = 0;
    for (COLORREF p : shown) newColours += std::binary_search(small.begin(), small.end(), p) ? 0 : 1;
    EXPECT_GT(newColours, 2000);

    for (int layer = 0; layer < kSkinLayerCount; ++layer) {
        HBITMAP plain = DrawZoomedKeypad(keypadStyles[0], defaultKeyMap, layer, zoom, false);
        HBITMAP texted = DrawZoomedKeypad(keypadStyles[0], defaultKeyMap, layer, zoom, true);
        const std::vector<COLORREF> a = BitmapPixels(plain, width, height), b = BitmapPixels(texted, width, height);
        DeleteObject(plain);
        DeleteObject(texted);
        const std::vector<KeypadText> texts = KeypadTexts(keypadStyles[0], defaultKeyMap, layer);
        std::vector<int> inked(texts.size());
        int astray = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (a[y * width + x] == b[y * width + x]) continue;
                bool placed = false;
                for (size_t t = 0; t < texts.size(); ++t) {
                    const KeypadBox& box = texts[t].box;
                    if (x >= (box.x0 - 1) * zoom && x < (box.x1 + 2) * zoom && y >= (box.y0 - 1) * zoom &&
                        y < (box.y1 + 2) * zoom) {
                        placed = true;
                        ++inked[t];
                    }
                }
                astray += placed ? 0 : 1;
            }
        }
        EXPECT_EQ(astray, 0) << "layer " << layer;
        for (size_t t = 0; t < texts.size(); ++t)
            EXPECT_GT(inked[t], 0) << "layer " << layer << " text " << t;
    }
}

// A skin file's sharper images: at each zoom the sharpest whose scale divides
// it, enlarged by a whole factor.
TEST_F(Program, SkinFileSharperImagesFollowTheZoom)
{
    const std::string plain = Bitmap(176, 150, 8), sharp = Bitmap(352, 300, 24);  // dark blue; grey 5A
    const uint32_t set[3] = {1, 2, static_cast<uint32_t>(sharp.size())};  // sets, scale, the base's length
    StartWithSkin(SkinBytes(defaultKeyMap, plain) + "ZOOM" + std::string(reinterpret_cast<const char*>(set), sizeof set) +
                  sharp + std::string(16, '\0'));
    EXPECT_EQ(boxes, L"");
    const COLORREF kPlain = RGB(10, 20, 40), kSharp = RGB(0x5A, 0x5A, 0x5A);
    const COLORREF byZoom[4] = {kPlain, kSharp, kPlain, kSharp};
    for (int zoom = 1; zoom <= 4; ++zoom) {
        Command(IDM_ZOOM_1 + zoom - 1);
        for (int y : {Client().bottom - 7, Client().bottom - 150 * zoom + 1})  // the image's bottom and top
            EXPECT_EQ(WindowPixels(7, y, 1, 1)[0], byZoom[zoom - 1]) << "zoom " << zoom << " y " << y;
    }
}

// The size of `text` in the display's chosen font.
SIZE ExtentInDisplayFont(const wchar_t* text)
{
    HDC dc = GetDC(Window());
    HGDIOBJ old = SelectObject(dc, mainWindowState.displayFonts[0]);
    SIZE extent{};
    GetTextExtentPoint32W(dc, text, static_cast<int>(std::wcslen(text)), &extent);
    SelectObject(dc, old);
    ReleaseDC(Window(), dc);
    return extent;
}

// Each size up the font list draws taller characters.
TEST_F(Program, FontHeightsGrowWithTheSize)
{
    int heights[2] = {};
    for (int size : {0, 4}) {
        Options options = StoredOptions(kReprDecimal);
        options.fontSize = size;
        StoreValue(HKEY_LOCAL_MACHINE, &options, sizeof options);
        Start();
        heights[size / 4] = ExtentInDisplayFont(L"8").cy;
    }
    EXPECT_NEAR(heights[1] - heights[0], 8, 1) << heights[0] << " " << heights[1];
}

TEST_F(Program, ALongNumberLeavesTheIndicatorWhole)
{
    Start();
    Command(IDM_REPR_BINARY);
    Keys("1");
    // The indicator's own columns, as wide as its letter in the chosen size.
    const int columns = ExtentInDisplayFont(L"B").cx;
    ASSERT_GT(columns, 4);
    const std::vector<COLORREF> indicator = WindowPixels(0, 0, columns, kPhoneScreenHeight - 153);
    Keys("1111111111111111111111111111111");
    EXPECT_EQ(Display(), L"11111111111111111111111111111111");
    EXPECT_TRUE(WindowPixels(0, 0, columns, kPhoneScreenHeight - 153) == indicator);
    EXPECT_TRUE(SaveScreenshot("long_binary"));
}

HANDLE Launch() { return Spawn(Quoted(TestFolder() + L"..\\..\\windows\\vela.exe")); }

// vela.exe as a process: a first start follows the monitor's dots per inch
// (192 gives zoom 2); a second copy ends at once without saving; the system
// menu closes the first as "Выход" does, and its record is written to the
// machine's key and to the user's, which would hide it if left as it was.
TEST_F(Program, ProcessesFollowTheDotsPerInchRunOneCopyAndSaveOnClose)
{
    const DWORD dpi = 192;
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi, sizeof dpi);
    StoreOptions(HKEY_CURRENT_USER, StoredOptions(kReprBinary));
    HANDLE first = Launch();
    HWND running = nullptr;
    // Found once shown: until then it may still be at the system's default size.
    WaitFor([&] { return (running = FindWindowW(kMainWindowClass, nullptr)) != nullptr && IsWindowVisible(running); });
    RECT client{};
    GetClientRect(running, &client);
    EXPECT_EQ(client.right * 1000 + client.bottom, 176180 * static_cast<LONG>(dpi / 96)) << dpi;
    PostMessageW(running, WM_COMMAND, IDM_REPR_HEX, 0);
    EXPECT_EQ(ExitCode(Launch(), 20000), 0u);
    EXPECT_TRUE(IsWindow(running));
    Options stored;
    EXPECT_EQ(ReadStored(HKEY_LOCAL_MACHINE, stored), 0u);
    PostMessageW(running, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(ExitCode(first, 20000), 0u);
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        EXPECT_EQ(ReadStored(root, stored), 88u);
        EXPECT_EQ(stored.reprMode, kReprHex);
    }
    RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels");
}

}  // namespace
