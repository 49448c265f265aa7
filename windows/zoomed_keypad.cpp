#include "windows/zoomed_keypad.h"

#include <algorithm>
#include <string>
#include <vector>

#include "core/skin/keypad_art.h"

namespace {

// Labels are drawn with their capitals this many scale-1 rows high, key
// characters this many: the heights of the bitmaps' pixel fonts.
constexpr int kLabelCapRows = 7;
constexpr int kKeyCharacterRows = 11;
// Superscripts and subscripts: this many tenths of the label's size, raised
// or lowered by this many tenths of its capital height.
constexpr int kScriptSizeTenths = 7;
constexpr int kRaiseTenths = 4;
constexpr int kLowerTenths = 3;

// A run of a label in one size and height: 0 on the line, 1 raised, -1 lowered.
struct TextRun {
    std::wstring text;
    int level;
};

// The desktop fonts have no small letters raised or lowered: those of the
// labels are drawn as ordinary characters in a smaller size.
std::vector<TextRun> SplitRuns(const std::u16string& text)
{
    static const struct { char16_t code; wchar_t shown; int level; } kScripts[] = {
        {u'\u00B2', L'2', 1}, {u'\u00B3', L'3', 1}, {u'\u02E3', L'x', 1}, {u'\u02B8', L'y', 1}, {u'\u2082', L'2', -1},
    };
    std::vector<TextRun> runs;
    for (char16_t ch : text) {
        wchar_t shown = static_cast<wchar_t>(ch);
        int level = 0;
        for (const auto& script : kScripts) {
            if (script.code == ch) {
                shown = script.shown;
                level = script.level;
            }
        }
        if (runs.empty() || runs.back().level != level) runs.push_back({L"", level});
        runs.back().text += shown;
    }
    return runs;
}

struct Ink {
    int left, top, right, bottom;  // exclusive right and bottom
};

// The fonts one drawing uses, made once each: many labels share a size,
// and making a font costs more than drawing with it.
struct FontCache {
    struct Entry {
        int em;
        bool bold;
        HFONT font;
    };
    std::vector<Entry> entries;
    ~FontCache()
    {
        for (const Entry& entry : entries) DeleteObject(entry.font);
    }
};

HFONT MakeFont(const wchar_t* face, int em, bool bold)
{
    LOGFONTW font{};
    font.lfHeight = -std::max(1, em);
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = ANTIALIASED_QUALITY;
    font.lfOutPrecision = OUT_TT_PRECIS;
    wcsncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    return CreateFontIndirectW(&font);
}

// The ink of `text` in the font selected into `dc`, its pen starting at
// (x, baseline); the pen's x afterwards.
int AddInk(HDC dc, const std::wstring& text, int x, int baseline, Ink& ink, bool& any)
{
    static const MAT2 kIdentity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    for (wchar_t ch : text) {
        GLYPHMETRICS metrics{};
        if (GetGlyphOutlineW(dc, ch, GGO_METRICS, &metrics, 0, nullptr, &kIdentity) == GDI_ERROR) continue;
        const int left = x + metrics.gmptGlyphOrigin.x, top = baseline - metrics.gmptGlyphOrigin.y;
        const Ink glyph{left, top, left + static_cast<int>(metrics.gmBlackBoxX),
                        top + static_cast<int>(metrics.gmBlackBoxY)};
        if (!any) ink = glyph;
        ink = {std::min(ink.left, glyph.left), std::min(ink.top, glyph.top), std::max(ink.right, glyph.right),
               std::max(ink.bottom, glyph.bottom)};
        any = true;
        x += metrics.gmCellIncX;
    }
    return x;
}

HFONT CachedFont(FontCache& cache, const wchar_t* face, int em, bool bold)
{
    for (const FontCache::Entry& entry : cache.entries)
        if (entry.em == em && entry.bold == bold) return entry.font;
    HFONT font = MakeFont(face, em, bold);
    if (font != nullptr) cache.entries.push_back({em, bold, font});
    return font;
}

// Capital height of `face` per 1000 of its em size.
int CapHeightPerMille(HDC dc, const wchar_t* face, bool bold)
{
    constexpr int kProbeEm = 200;
    HFONT font = MakeFont(face, kProbeEm, bold);
    HGDIOBJ old = SelectObject(dc, font);
    Ink ink{};
    bool any = false;
    AddInk(dc, L"H", 0, 0, ink, any);
    SelectObject(dc, old);
    DeleteObject(font);
    return any && ink.bottom > ink.top ? (ink.bottom - ink.top) * 1000 / kProbeEm : 720;
}

// Lays the runs out at em size `em` with the pen starting at (0, 0) and, when
// `draw`, draws them shifted by (dx, dy). Returns the ink.
Ink LayOut(HDC dc, FontCache& cache, const wchar_t* face, bool bold, const std::vector<TextRun>& runs, int em,
           int capHeight, bool draw, int dx, int dy)
{
    HFONT fonts[2] = {CachedFont(cache, face, em, bold), CachedFont(cache, face, em * kScriptSizeTenths / 10, bold)};
    HGDIOBJ old = SelectObject(dc, fonts[0]);
    Ink ink{};
    bool any = false;
    int x = 0;
    for (const TextRun& run : runs) {
        SelectObject(dc, fonts[run.level == 0 ? 0 : 1]);
        const int baseline = run.level > 0 ? -capHeight * kRaiseTenths / 10
                           : run.level < 0 ? capHeight * kLowerTenths / 10
                                           : 0;
        if (draw) TextOutW(dc, dx + x, dy + baseline, run.text.c_str(), static_cast<int>(run.text.size()));
        x = AddInk(dc, run.text, x, baseline, ink, any);
    }
    SelectObject(dc, old);
    return any ? ink : Ink{0, 0, 0, 0};
}

// Draws one piece of text as large as the bitmaps' text, made smaller until
// its ink fits its box of the scale-1 layout at `zoom`, centred in the box.
void DrawKeypadText(HDC dc, FontCache& cache, const wchar_t* face, const KeypadText& text, int zoom,
                    const int capPerMille[2])
{
    const bool bold = text.keyCharacter;
    const int capHeight = (text.keyCharacter ? kKeyCharacterRows : kLabelCapRows) * zoom;
    const std::vector<TextRun> runs = SplitRuns(text.text);
    const int boxLeft = text.box.x0 * zoom, boxTop = text.box.y0 * zoom;
    const int boxWidth = (text.box.x1 - text.box.x0 + 1) * zoom, boxHeight = (text.box.y1 - text.box.y0 + 1) * zoom;
    const int fullEm = std::max(1, capHeight * 1000 / std::max(1, capPerMille[bold ? 1 : 0]));
    int em = fullEm;
    Ink ink = LayOut(dc, cache, face, bold, runs, em, capHeight, false, 0, 0);
    for (int tries = 0; tries < 8; ++tries) {
        const int width = ink.right - ink.left, height = ink.bottom - ink.top;
        if (width <= boxWidth && height <= boxHeight) break;
        const int shrunk = std::min(em * boxWidth / std::max(1, width), em * boxHeight / std::max(1, height));
        em = std::max(1, std::min(shrunk, em - 1));
        ink = LayOut(dc, cache, face, bold, runs, em, capHeight * em / fullEm, false, 0, 0);
    }
    const int dx = boxLeft + (boxWidth - (ink.right - ink.left)) / 2 - ink.left;
    const int dy = boxTop + (boxHeight - (ink.bottom - ink.top)) / 2 - ink.top;
    SetTextColor(dc, RGB(text.colour.r, text.colour.g, text.colour.b));
    LayOut(dc, cache, face, bold, runs, em, capHeight * em / fullEm, true, dx, dy);
}

// The desktop's font for messages: what the user reads everywhere else.
std::wstring DesktopFontFace()
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0) &&
        metrics.lfMessageFont.lfFaceName[0] != 0)
        return metrics.lfMessageFont.lfFaceName;
    return L"Tahoma";
}

}  // namespace

HBITMAP DrawZoomedKeypad(const KeypadStyle& style, const uint8_t keyMap[kKeyMapSize], int layer, int zoom,
                         bool withText)
{
    const KeypadCanvas art = DrawKeypadImage(style, keyMap, layer, zoom, kDrawScreen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = art.width;
    info.bmiHeader.biHeight = -art.height;  // top-down, as the canvas
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr || bits == nullptr) return bitmap;
    auto* pixels = static_cast<uint32_t*>(bits);
    for (size_t i = 0; i < art.px.size(); ++i) {
        const Rgb p = art.px[i];
        pixels[i] = static_cast<uint32_t>(p.b) | static_cast<uint32_t>(p.g) << 8 | static_cast<uint32_t>(p.r) << 16;
    }
    if (!withText) return bitmap;
    HDC dc = CreateCompatibleDC(nullptr);
    if (dc == nullptr) return bitmap;
    HGDIOBJ old = SelectObject(dc, bitmap);
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_BASELINE | TA_LEFT | TA_NOUPDATECP);
    const std::wstring face = DesktopFontFace();
    const int capPerMille[2] = {CapHeightPerMille(dc, face.c_str(), false), CapHeightPerMille(dc, face.c_str(), true)};
    FontCache cache;
    for (const KeypadText& text : KeypadTexts(style, keyMap, layer))
        DrawKeypadText(dc, cache, face.c_str(), text, zoom, capPerMille);
    GdiFlush();
    SelectObject(dc, old);
    DeleteDC(dc);
    return bitmap;
}
