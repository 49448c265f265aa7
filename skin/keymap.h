// The built-in skin's key map: the action of every keypad key in the four
// direction layers, in the byte layout of a skin file's first 48 bytes.
#pragma once

#include <cstdint>

// keyMap[(layer - 1) * 12 + keyIndex], layers Left, Up, Right, Down.
extern const uint8_t defaultKeyMap[48];
