// The one description of how our keypad images look: the styles (colours,
// key outline), the 3 x 4 key cells, where each key's character and its four
// layer labels go, and the drawing of it all at a whole scale.
//
// make-skin-images draws with it, text included, in small pixel fonts: the
// built-in skin's bitmaps and the shipped skins' images (at scale 1, and
// sharper ones at 2). The program draws the built-in skin at zoom 2 to 4 with it
// too: the panel, keys and highlights at the zoom's own resolution, and the
// text (KeypadTexts) in the desktop's fonts, each piece fitted into its box
// of the scale-1 layout.
//
// Everything is integer arithmetic: the images must come out the same bytes
// on every machine.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/skin/skin.h"

struct Rgb {
    int r, g, b;
};

// Per direction (Left, Up, Right, Down): the label colour in the base image,
// and in that layer's image the label colour and the highlight behind it.
struct LayerLook {
    Rgb label;
    Rgb strong;
    Rgb pill;
};

// A key's outline around the centre of its cell, in eighths of a pixel: an
// ellipse with half axes a8 and b8, or a rectangle of half sides a8 and b8
// with corners rounded to the radius corner8.
struct KeyOutline {
    bool oval;
    int a8;
    int b8;
    int corner8;
};

struct KeypadStyle {
    const char* name;
    // The program's own skin: its window samples (5,5) of the base image for
    // the display line's colour, so that pixel must be the panel. A skin
    // file names that colour itself.
    bool builtIn;
    Rgb panel;
    Rgb shadow;
    Rgb rim;
    Rgb faceTop;
    Rgb faceBottom;
    Rgb digit;       // key characters, emphasised in the base image
    Rgb digitDim;    // key characters in a layer image
    Rgb labelDim;    // other layers' labels in a layer image
    std::array<LayerLook, 4> layers;
    KeyOutline outline;
    int faceInset8;   // the rim's width
    int labelInset8;  // how far inside the outline every label's ink stays
    bool boldDigits;  // key characters drawn two columns wide
};

constexpr int kKeypadWidth = 176;
constexpr int kKeypadHeight = 153;
constexpr int kMaxKeypadScale = 4;

// The styles: [0] "builtin", [1] "contrast".
extern const KeypadStyle keypadStyles[2];
const KeypadStyle* FindKeypadStyle(const char* name);

// What an image is drawn for: a bitmap file (coverage of edges in quarters,
// so that all five images share one table of 256 colours or fewer, and the
// text in the pixel fonts, drawn smoothly above scale 1), or the screen
// (edges in sixteenths, no text: the caller draws it in the desktop's fonts).
enum KeypadDrawing : int { kDrawBitmapFile, kDrawScreen };

// An image of the keypad at `scale` times 176 x 153, row by row from the top.
struct KeypadCanvas {
    int width, height, scale;
    bool bitmapFile;
    std::vector<Rgb> px;
};

// The pixels a key character or a label covers at scale 1, inclusive.
struct KeypadBox {
    int x0, y0, x1, y1;
};

// A piece of text on the keypad: a layer label, or a key's character (the
// star key's dot is no text: it is drawn with the keys).
struct KeypadText {
    std::u16string text;
    KeypadBox box;  // its ink at scale 1
    Rgb colour;
    bool keyCharacter;  // a key's own character (larger, bold)
};

// Whether every glyph of the pixel fonts has rows of equal width.
bool KeypadFontsWellFormed();

// Why the labels of `keyMap` cannot be drawn in `style`, or "" when they all
// can: each needs a glyph for every character and must lie inside its key.
std::string KeypadLabelMisfit(const KeypadStyle& style, const uint8_t keyMap[kKeyMapSize]);

// The image of `layer` (0 base, 1..4 Left, Up, Right, Down) at `scale`.
KeypadCanvas DrawKeypadImage(const KeypadStyle& style, const uint8_t keyMap[kKeyMapSize], int layer, int scale,
                             KeypadDrawing drawing);

// The text pieces of `layer`'s image, with their colours.
std::vector<KeypadText> KeypadTexts(const KeypadStyle& style, const uint8_t keyMap[kKeyMapSize], int layer);
