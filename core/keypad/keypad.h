// Keypad handling of the main window, free of the window system.
//
// The window procedure hands every phone key, the Back hot key and the letter
// cycle's messages to these functions and then does what the returned outcome
// asks: repaint a region, post a message, run a command after the key, start
// or stop the cycle timer. The native key-script runner drives the same
// functions, so both behave alike key for key.
#pragma once

#include <cstdint>

#include "core/engine/engine.h"
#include "core/skin/skin.h"

// Key codes as the phone delivers them in WM_KEYDOWN; the Windows shell layer
// names the same codes VK_T... .
enum PhoneKey : int {
    kKeyAction = 13,
    kKeyBack = 27,  // arrives as WM_HOTKEY, not as a key-down
    kKeyLeft = 37,
    kKeyUp = 38,
    kKeyRight = 39,
    kKeyDown = 40,
    kKeyDigit0 = 48,  // 48..57: digits 0..9
    kKeyTalk = 114,
    kKeyStar = 119,
    kKeyPound = 120,
};

enum KeyLayer : int { kLayerNone = 0, kLayerLeft, kLayerUp, kLayerRight, kLayerDown };

enum : int {
    kCycleTimerId = 1,
    kCycleTimerPeriodMs = 100,
};

enum Repaint : int { kRepaintNone = 0, kRepaintDisplay, kRepaintKeypad, kRepaintWhole };

// The window-independent part of the main window's state.
struct KeypadState {
    int keyLayer;            // KeyLayer: the direction key pressed last
    int hexCycleClosed;      // 1 when no hexadecimal letter cycle is open
    char16_t hexNextLetter;  // next letter of the cycle, 'A'..'F'
    int hexTicks;            // timer ticks since the last hash press of the open cycle
    int hexTimer;            // kCycleTimerId while the cycle timer runs, else 0
};

struct KeyOutcome {
    int handled;             // 0: not a keypad-table key; the window ignores it
    Repaint repaint;
    bool postCycleOpen;      // a letter cycle has started: post its opening
    CommandRequest followUp{};  // a list action's command, run after the key; else Command::None
};

void InitKeypad(KeypadState& keypad);

// The next typed character starts a new number, and no key layer is chosen:
// after a result, a recalled constant or a conversion.
void EndEntry(KeypadState& keypad, EngineState& engine);

// Key index 0..11 ("1".."9", star, "0", hash) of a phone key, or -1.
int KeyIndexOf(int key);

// WM_KEYDOWN.
KeyOutcome KeypadKeyDown(KeypadState& keypad, EngineState& engine,
                         const uint8_t keyMap[kKeyMapSize], int key);

// WM_CHAR of a desktop keyboard: the characters that stand for a calculator
// key there, whatever the skin maps to the phone's keys. "+", "-", "*" and
// "/" run the four operators, "=" evaluates, "." and "," type the decimal
// point, "#" is the hash key, "e" types the exponent mark, and in hexadecimal
// "A".."F" type their letters. Digits are not among them: they arrive as
// phone keys.
KeyOutcome TypedCharacter(KeypadState& keypad, EngineState& engine, const uint8_t keyMap[kKeyMapSize], char16_t ch);

// A point of a keypad image: the key under it (index 0..11, -1 outside the
// image) and the part of the key: its middle (kLayerNone), or one of the four
// label zones around it, named by their key layer. The image is a grid of 3
// keys across and 4 down; each key's cell is cut in thirds both ways, the
// top and bottom thirds being the Up and Down labels, the left and right
// thirds of the middle band the Left and Right labels.
struct KeypadSpot {
    int keyIndex;
    int layer;
};
KeypadSpot SpotAt(int x, int y, int width, int height);

// A click: the key's middle presses the key in the current layer; a label
// zone runs that layer's action of the key at once.
KeyOutcome ClickKeypad(KeypadState& keypad, EngineState& engine, const uint8_t keyMap[kKeyMapSize], KeypadSpot spot);

// The phone key of key index 0..11.
int PhoneKeyOfIndex(int index);

// WM_HOTKEY for the Back key: only the release deletes.
Repaint BackKeyHotkey(KeypadState& keypad, EngineState& engine, bool keyUp);

// Runs key action `action` as a keypad key of a layer mapped to it would:
// formats a changed value, ends the entry and drops the layer; the command a
// list action asks for is the outcome's follow-up.
KeyOutcome RunLayerAction(KeypadState& keypad, EngineState& engine, int action);

// The letter cycle's three messages: the opening posted after the key that
// started it, the timer's tick, and the closing that a tick may post.
bool HexCycleOpened(KeypadState& keypad);  // true: start the timer
bool HexCycleTick(KeypadState& keypad);    // true from the seventh tick on: post the closing
bool HexCycleEnded(KeypadState& keypad);   // true: kill the timer

// What a screen reader calls key `index` (0..11) now: in a layer the spoken
// name of the action mapped to it, without one the digit it types or the
// star's and hash key's use.
const char16_t* KeySpokenName(const KeypadState& keypad, const EngineState& engine,
                              const uint8_t keyMap[kKeyMapSize], int index);
// "Слой: основной", "Слой: влево", ...: the key layer in words.
const char16_t* LayerSpokenName(int layer);
