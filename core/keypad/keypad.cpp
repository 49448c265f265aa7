// Keypad handling: key layers, typing rules, the hexadecimal letter cycle
// and the Back key.
#include "core/keypad/keypad.h"

#include "core/text/text16.h"

namespace {

enum KeyKind { kKindOther, kKindAction, kKindDirection, kKindTalk, kKindKeypad };

KeyKind KindOf(int key)
{
    if (key == kKeyAction) return kKindAction;
    if (key >= kKeyLeft && key <= kKeyDown) return kKindDirection;
    if (key == kKeyTalk) return kKindTalk;
    if (KeyIndexOf(key) >= 0) return kKindKeypad;
    return kKindOther;
}

// Star: a decimal point, never bare ("0." on a new number), never twice.
void TypeDecimalPoint(EngineState& engine)
{
    if (engine.entryState == kEntryNone) TypeChar(engine, u'0');
    if (U16Find(engine.text, u'.') != nullptr) return;
    engine.entryState = kEntryMantissa;
    TypeChar(engine, u'.');
}

// Hash in hexadecimal: A, B, ..., F, A again while the cycle stays open.
bool TypeHexLetter(KeypadState& keypad, EngineState& engine)
{
    bool opened = false;
    if (keypad.hexCycleClosed) {
        keypad.hexNextLetter = u'A';
        TypeChar(engine, keypad.hexNextLetter);
        opened = true;
    } else {
        keypad.hexTicks = 0;
        ReplaceLastChar(engine, keypad.hexNextLetter);
    }
    ++keypad.hexNextLetter;
    if (keypad.hexNextLetter > u'F') keypad.hexNextLetter = u'A';
    return opened;
}

// A keypad key with no layer chosen types into the engine.
KeyOutcome TypeKey(KeypadState& keypad, EngineState& engine, int key)
{
    KeyOutcome outcome{1, kRepaintDisplay, false};
    int mode = engine.options->reprMode;
    bool hex = mode == kReprHex;
    bool binary = mode == kReprBinary;

    if (key == kKeyStar) {
        if (!hex && !binary) TypeDecimalPoint(engine);
    } else if (key == kKeyPound) {
        if (hex)
            outcome.postCycleOpen = TypeHexLetter(keypad, engine);
        else if (!binary)
            TypeChar(engine, u'e');
    } else {
        int digit = key - kKeyDigit0;
        if (!binary || digit <= 1) TypeChar(engine, static_cast<char16_t>(u'0' + digit));
    }
    return outcome;
}

}  // namespace

void EndEntry(KeypadState& keypad, EngineState& engine)
{
    engine.entryState = kEntryNone;
    keypad.keyLayer = kLayerNone;
}

void InitKeypad(KeypadState& keypad)
{
    keypad = KeypadState{};
    keypad.hexCycleClosed = 1;
    keypad.hexNextLetter = u'A';
}

int KeyIndexOf(int key)
{
    if (key >= kKeyDigit0 + 1 && key <= kKeyDigit0 + 9) return key - kKeyDigit0 - 1;
    if (key == kKeyStar) return 9;
    if (key == kKeyDigit0) return 10;
    if (key == kKeyPound) return 11;
    return -1;
}

KeyOutcome KeypadKeyDown(KeypadState& keypad, EngineState& engine,
                         const uint8_t keyMap[kKeyMapSize], int key)
{
    KeyKind kind = KindOf(key);
    if (kind == kKindOther) return {0, kRepaintNone, false};

    bool continuesCycle = kind == kKindKeypad && key == kKeyPound &&
                          keypad.keyLayer == kLayerNone && engine.options->reprMode == kReprHex;
    if (!continuesCycle) keypad.hexCycleClosed = 1;

    switch (kind) {
    case kKindAction:
        if (Evaluate(engine)) EndEntry(keypad, engine);
        return {1, kRepaintWhole, false};
    case kKindDirection:
        keypad.keyLayer = key - kKeyLeft + kLayerLeft;
        return {1, kRepaintKeypad, false};
    case kKindTalk:
        keypad.keyLayer = kLayerNone;
        return {1, kRepaintKeypad, false};
    default:
        break;
    }

    if (keypad.keyLayer == kLayerNone) return TypeKey(keypad, engine, key);
    int layer = keypad.keyLayer;
    int action = keyMap[(layer - 1) * 12 + KeyIndexOf(key)];
    return {1, RunLayerAction(keypad, engine, action), false};
}

Repaint RunLayerAction(KeypadState& keypad, EngineState& engine, int action)
{
    keypad.hexCycleClosed = 1;
    if (RunKeyAction(engine, action)) {
        FormatValue(engine, engine.value);
        engine.entryState = kEntryNone;
    }
    keypad.keyLayer = kLayerNone;
    return kRepaintWhole;
}

Repaint BackKeyHotkey(KeypadState& keypad, EngineState& engine, bool keyUp)
{
    if (!keyUp) return kRepaintNone;
    keypad.hexCycleClosed = 1;
    TypeChar(engine, 8);
    return kRepaintDisplay;
}

bool HexCycleOpened(KeypadState& keypad)
{
    keypad.hexCycleClosed = 0;
    keypad.hexTicks = 0;
    if (keypad.hexTimer != 0) return false;
    keypad.hexTimer = kCycleTimerId;
    return true;
}

// The cycle closes on the seventh tick after the last hash press.
bool HexCycleTick(KeypadState& keypad) { return ++keypad.hexTicks >= 7; }

bool HexCycleEnded(KeypadState& keypad)
{
    bool running = keypad.hexTimer != 0;
    keypad.hexTicks = 0;
    keypad.hexTimer = 0;
    keypad.hexCycleClosed = 1;
    return running;
}
