// A skin's key map and display colours as text that people edit, both ways.
//
//   KeyMapText map;
//   KeyMapTextError error;
//   if (!ReadKeyMapText(text, map, error))
//       std::fprintf(stderr, "%s:%d: %s\n", fileName, error.line, error.message);
//   std::string again = WriteKeyMapText(map);  // reads back to the same map
//
// The text is UTF-8 (a leading byte-order mark is skipped), lines end in LF,
// CR LF or CR:
//
//   # "#" starts a comment that runs to the end of the line
//   left:  ln log₂ lg eˣ 2ˣ 10ˣ √x ³√x ˣ√y x² x³ xʸ
//   up:    C CE 1/x ± F-E x! π e abs rd gr deg
//   right: + M+ MC − M− MS / M/ MR * M* %
//   down:  sin asin sinh cos acos cosh tg atg tgh ctg actg ctgh
//   back:  CFD8E2
//   text:  000000
//
// Each of "left:", "up:", "right:" and "down:" stands exactly once and is
// followed by 12 whitespace-separated actions, for the keypad keys in the
// order 1 2 3 4 5 6 7 8 9 * 0 #. An action is named by its label as
// ActionLabel gives it or by its number 0..255 (the file stores bytes;
// numbers from kActionCount on run nothing). Where two actions share a label,
// the label names the first of them and the number the others.
// "back:" (the display line's background) and "text:" (its text) are
// optional, at most once each, RRGGBB in hexadecimal as in HTML; eight
// digits XXRRGGBB also keep a stored fourth byte XX, which plain colours
// have as 0. Blank lines are ignored.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/skin/skin.h"

// The display line of the built-in skin: the panel colour of its images,
// where the window samples it, and black text. 0x00BBGGRR.
constexpr uint32_t kBuiltinBackColor = 0x00E2D8CF;
constexpr uint32_t kBuiltinTextColor = 0x00000000;

struct KeyMapText {
    uint8_t keyMap[kKeyMapSize];  // as SkinState::keyMap and a skin file's first 48 bytes
    uint32_t backColor;           // 0x00BBGGRR as a skin file stores it
    uint32_t textColor;
    bool hasBackColor;            // the text had a "back:" line (else backColor is the built-in one)
    bool hasTextColor;
};

struct KeyMapTextError {
    int line;           // 1-based; 0 when no one line is at fault (a layer missing)
    char message[192];  // UTF-8, without the file name and line
};

// The built-in key map and display colours, no colour lines given.
KeyMapText BuiltinKeyMapText();

// Reads the whole text into `map`. False at the first fault, with its line
// and what is wrong ("unknown action \"foo\"", "11 actions where 12 are
// needed", ...); `map` is then unspecified.
bool ReadKeyMapText(std::string_view text, KeyMapText& map, KeyMapTextError& error);

// The map as commented text: a header that explains the layout, above each
// layer line a comment naming the keys of its columns; colour lines only for
// colours the map has. ReadKeyMapText gives the same map back.
std::string WriteKeyMapText(const KeyMapText& map);

// "RRGGBB" or "XXRRGGBB" (hexadecimal digits, either case) to 0xXXBBGGRR;
// false for anything else.
bool ColourFromText(std::string_view text, uint32_t& colour);
