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

// Hash in hexadecimal: A, B, ..., F, A again while the cycle stays open. A
// cycle opens only on a letter typed: at the typing limit there is none, and
// the next hash must not overwrite what stands there.
bool TypeHexLetter(KeypadState& keypad, EngineState& engine)
{
    bool opened = false;
    if (keypad.hexCycleClosed) {
        keypad.hexNextLetter = u'A';
        if (!TypeChar(engine, keypad.hexNextLetter)) return false;
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
    return RunLayerAction(keypad, engine, action);
}

KeyOutcome RunLayerAction(KeypadState& keypad, EngineState& engine, int action)
{
    keypad.hexCycleClosed = 1;
    if (RunKeyAction(engine, action)) {
        FormatValue(engine, engine.value);
        engine.entryState = kEntryNone;
    }
    keypad.keyLayer = kLayerNone;
    return {1, kRepaintWhole, false, ActionRequest(action)};
}

namespace {

// Characters of a desktop keyboard: an action to run, or a phone key to press
// (in the base layer where `baseLayer` says so).
struct TypedKey {
    char16_t character;
    int action;  // -1: press `key`
    int key;
    bool baseLayer;
};

const TypedKey kTypedKeys[] = {
    {u'+', 0, 0, false},           {u'-', 1, 0, false},           {u'*', 2, 0, false},
    {u'/', 3, 0, false},           {u'=', -1, kKeyAction, false}, {u'#', -1, kKeyPound, false},
    {u'.', -1, kKeyStar, true},    {u',', -1, kKeyStar, true},    {u'e', -1, kKeyPound, true},
    {u'E', -1, kKeyPound, true},
};

bool EndsInExponentMark(const EngineState& engine)
{
    const size_t len = U16Len(engine.text);
    return engine.entryState == kEntryExponent && len > 0 && engine.text[len - 1] == u'e';
}

}  // namespace

KeyOutcome TypedCharacter(KeypadState& keypad, EngineState& engine, const uint8_t keyMap[kKeyMapSize], char16_t ch)
{
    const Repaint shown = keypad.keyLayer != kLayerNone ? kRepaintWhole : kRepaintDisplay;
    const char16_t upper = ch >= u'a' && ch <= u'f' ? static_cast<char16_t>(ch - u'a' + u'A') : ch;
    if (engine.options->reprMode == kReprHex && upper >= u'A' && upper <= u'F') {
        keypad.hexCycleClosed = 1;
        keypad.keyLayer = kLayerNone;
        TypeChar(engine, upper);
        return {1, shown, false};
    }
    // "1e-5" as it is written: a sign right after the exponent mark belongs to it.
    if ((ch == u'-' || ch == u'+') && EndsInExponentMark(engine)) {
        keypad.hexCycleClosed = 1;
        if (ch == u'-') ChangeSign(engine);
        return {1, shown, false};
    }
    for (const TypedKey& typed : kTypedKeys) {
        if (typed.character != ch) continue;
        if (typed.action >= 0) return RunLayerAction(keypad, engine, typed.action);
        if (typed.baseLayer) keypad.keyLayer = kLayerNone;
        KeyOutcome outcome = KeypadKeyDown(keypad, engine, keyMap, typed.key);
        if (shown == kRepaintWhole) outcome.repaint = kRepaintWhole;
        return outcome;
    }
    return {0, kRepaintNone, false};
}

KeypadSpot SpotAt(int x, int y, int width, int height)
{
    if (width <= 0 || height <= 0 || x < 0 || y < 0 || x >= width || y >= height) return {-1, kLayerNone};
    // Scaled by the grid first, so that every column and row is a whole part.
    const int64_t across = int64_t{x} * 3, down = int64_t{y} * 4;
    const int column = static_cast<int>(across / width), row = static_cast<int>(down / height);
    const int third = static_cast<int>((across - int64_t{column} * width) * 3 / width);
    const int band = static_cast<int>((down - int64_t{row} * height) * 3 / height);
    int layer = kLayerNone;
    if (band == 0) layer = kLayerUp;
    else if (band == 2) layer = kLayerDown;
    else if (third == 0) layer = kLayerLeft;
    else if (third == 2) layer = kLayerRight;
    return {row * 3 + column, layer};
}

int PhoneKeyOfIndex(int index)
{
    static const int kKeys[12] = {'1', '2', '3', '4', '5', '6', '7', '8', '9', kKeyStar, '0', kKeyPound};
    return index >= 0 && index < 12 ? kKeys[index] : 0;
}

KeyOutcome ClickKeypad(KeypadState& keypad, EngineState& engine, const uint8_t keyMap[kKeyMapSize], KeypadSpot spot)
{
    if (spot.keyIndex < 0 || spot.keyIndex >= 12 || spot.layer < kLayerNone || spot.layer > kLayerDown)
        return {0, kRepaintNone, false};
    if (spot.layer == kLayerNone) return KeypadKeyDown(keypad, engine, keyMap, PhoneKeyOfIndex(spot.keyIndex));
    return RunLayerAction(keypad, engine, keyMap[(spot.layer - 1) * 12 + spot.keyIndex]);
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

const char16_t* KeySpokenName(const KeypadState& keypad, const EngineState& engine,
                              const uint8_t keyMap[kKeyMapSize], int index)
{
    static const char16_t* const kDigits[10] = {u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8", u"9", u"0"};
    if (index < 0 || index >= 12) return u"";
    const int layer = keypad.keyLayer;
    if (layer > kLayerNone && layer <= kLayerDown) {
        const char16_t* name = ActionSpokenName(keyMap[(layer - 1) * 12 + index]);
        return name != nullptr ? name : u"нет действия";
    }
    if (index == 9) return u"десятичная точка";
    if (index == 11) return engine.options->reprMode == kReprHex ? u"буквы от A до F" : u"порядок";
    return kDigits[index < 9 ? index : 9];
}

const char16_t* LayerSpokenName(int layer)
{
    static const char16_t* const kLayers[] = {u"Слой: основной", u"Слой: влево", u"Слой: вверх",
                                              u"Слой: вправо", u"Слой: вниз"};
    return layer >= kLayerNone && layer <= kLayerDown ? kLayers[layer] : kLayers[kLayerNone];
}
