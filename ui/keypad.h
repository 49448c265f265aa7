// Keypad handling of the main window, free of the window system.
//
// The window procedure hands every phone key, the Back hot key, the letter
// cycle's messages and the engine's menu commands to these functions and then
// does what the returned outcome asks: repaint a region, post a message,
// start or stop the cycle timer. The native key-script runner drives the
// same functions, so both behave alike key for key.
#pragma once

#include <cstdint>

#include "engine/engine.h"

// Key codes as the phone delivers them in WM_KEYDOWN.
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

// Messages of the letter cycle and of the paste hook, posted to the main window.
enum : unsigned {
    kMsgCycleOpen = 0x8000,   // WM_APP
    kMsgCycleClose = 0x8001,  // WM_APP + 1
    kMsgPasteText = 0x8002,   // WM_APP + 2
};
enum : int {
    kCycleTimerId = 1,
    kCycleTimerPeriodMs = 100,
    kKeyMapSize = 48,         // 4 layers x 12 keys
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
    bool postCycleOpen;      // post kMsgCycleOpen: a letter cycle has started
};

struct CommandOutcome {
    int handled;             // 0: not an engine command
    Repaint repaint;
};

void InitKeypad(KeypadState& keypad);

// Key index 0..11 ("1".."9", star, "0", hash) of a phone key, or -1.
int KeyIndexOf(int key);

// WM_KEYDOWN.
KeyOutcome KeypadKeyDown(KeypadState& keypad, EngineState& engine,
                         const uint8_t keyMap[kKeyMapSize], int key);

// WM_HOTKEY for the Back key: only the release deletes.
Repaint BackKeyHotkey(KeypadState& keypad, EngineState& engine, bool keyUp);

// Runs key action `action` as a keypad key of a layer mapped to it would:
// formats a changed value, ends the entry and drops the layer.
Repaint RunLayerAction(KeypadState& keypad, EngineState& engine, int action);

// The letter cycle's three messages.
bool HexCycleOpened(KeypadState& keypad);  // kMsgCycleOpen; true: start the timer
bool HexCycleTick(KeypadState& keypad);    // WM_TIMER; true: post kMsgCycleClose
bool HexCycleEnded(KeypadState& keypad);   // kMsgCycleClose; true: kill the timer

// Menu commands that act on the engine alone: digit grouping (40011), angle
// unit (40013..40015), representation (40018..40021), pi and e (40040, 40041).
CommandOutcome RunEngineCommand(KeypadState& keypad, EngineState& engine, int commandId);
