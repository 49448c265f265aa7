#include "tools/phone/key_session.h"

#include <charconv>
#include <cstddef>
#include <utility>
#include <vector>

#include "core/text/text16.h"
#include "resources/menu_commands.h"

namespace {

struct NamedKey {
    std::string_view word;
    KeyEvent event;
};

const NamedKey kNamedKeys[] = {
    {"*", {kEventKey, kKeyStar}},     {"#", {kEventKey, kKeyPound}},
    {"left", {kEventKey, kKeyLeft}},  {"up", {kEventKey, kKeyUp}},
    {"right", {kEventKey, kKeyRight}}, {"down", {kEventKey, kKeyDown}},
    {"ok", {kEventKey, kKeyAction}},  {"talk", {kEventKey, kKeyTalk}},
    {"back", {kEventBack, 0}},
};

struct NumberedKey {
    std::string_view prefix;
    KeyEventKind kind;
    int32_t max;
};

const NumberedKey kNumberedKeys[] = {
    {"wait:", kEventWait, 100000000},
    {"act:", kEventAction, 255},     // a key map byte
    {"cmd:", kEventCommand, 65535},  // a command id
};

// "char:X": one character of the Basic Multilingual Plane.
bool ParseCharacter(std::string_view text, KeyEvent& event)
{
    std::u16string units;
    if (!Utf16FromUtf8(text, units) || units.size() != 1) return false;
    event = {kEventChar, units[0]};
    return true;
}

// "tap:K" or "tap:LAYER:K", K a keypad key ("1".."9", "*", "0", "#").
bool ParseTap(std::string_view text, KeyEvent& event)
{
    static const std::string_view kLayers[] = {"", "left:", "up:", "right:", "down:"};
    static const std::string_view kKeyNames = "123456789*0#";
    for (int layer = kLayerDown; layer >= kLayerNone; --layer) {
        if (text.substr(0, kLayers[layer].size()) != kLayers[layer]) continue;
        const std::string_view key = text.substr(kLayers[layer].size());
        const size_t index = key.size() == 1 ? kKeyNames.find(key[0]) : std::string_view::npos;
        if (index == std::string_view::npos) return false;
        event = {kEventTap, static_cast<int32_t>(index) * 8 + layer};
        return true;
    }
    return false;
}

void Post(KeySession& session, PostedMessage::Kind kind, CommandRequest request = {})
{
    session.posted.push_back({kind, request});
}

void DispatchPosted(KeySession& session, const PostedMessage& message)
{
    switch (message.kind) {
    case PostedMessage::kCycleOpen:
        if (HexCycleOpened(session.calculator.keypad)) session.nextTickMs = session.clockMs + kCycleTimerPeriodMs;
        break;
    case PostedMessage::kCycleClose:
        HexCycleEnded(session.calculator.keypad);
        break;
    case PostedMessage::kCommand:
        RunCommand(session.calculator, message.request);
        break;
    }
}

void DrainPosted(KeySession& session)
{
    while (!session.posted.empty()) {
        PostedMessage message = session.posted.front();
        session.posted.pop_front();
        DispatchPosted(session, message);
    }
}

// Time passes: the cycle timer ticks every 100 ms while it runs.
void Wait(KeySession& session, int64_t ms)
{
    int64_t until = session.clockMs + ms;
    while (session.calculator.keypad.hexTimer != 0 && session.nextTickMs <= until) {
        session.clockMs = session.nextTickMs;
        session.nextTickMs += kCycleTimerPeriodMs;
        if (HexCycleTick(session.calculator.keypad)) Post(session, PostedMessage::kCycleClose);
        DrainPosted(session);
    }
    session.clockMs = until;
}

void AppendMenuLine(std::string& lines, int id, const char16_t* text)
{
    lines += std::to_string(id);
    lines += ' ';
    AppendUtf8(lines, text);
    lines += '\n';
}

void AppendMenuLine(std::string& lines, int id, const char* utf8)
{
    lines += std::to_string(id);
    lines += ' ';
    lines += utf8;
    lines += '\n';
}

// What the window does with a key's outcome that is the phone's to do: the
// letter cycle's opening and a list action's command come after the key.
void Follow(KeySession& session, const KeyOutcome& outcome)
{
    if (outcome.postCycleOpen) Post(session, PostedMessage::kCycleOpen);
    if (outcome.followUp.command != Command::None) Post(session, PostedMessage::kCommand, outcome.followUp);
}

// The list menus rebuilt as the window rebuilds its items.
void ShowListTexts(void* context, const RecordList& list)
{
    KeySession& session = *static_cast<KeySession*>(context);
    MenuTexts menu;
    ListMenuTexts(list, menu);
    const bool currencies = list.kind == &kCurrencyKind;
    if (currencies) session.quickLabelCount = menu.count;
    for (int i = 0; i < menu.count; ++i) (currencies ? session.quickLabels : session.slotTexts)[i] = menu.texts[i];
}

}  // namespace

// --- Sessions ---------------------------------------------------------------

KeySession::~KeySession() { EndCalculator(calculator); }

void StartSession(KeySession& session, const Options* options, const char16_t* programFolder)
{
    Options defaults;
    DefaultOptions(defaults);
    StartCalculator(session.calculator, options != nullptr ? *options : defaults, {&session, nullptr, ShowListTexts});
    for (int i = 0; i < kKeyMapSize; ++i) session.keyMap[i] = defaultKeyMap[i];
    session.posted.clear();
    session.clockMs = 0;
    session.nextTickMs = 0;
    session.quickLabelCount = 0;
    for (int i = 0; i < kConstantSlotCount; ++i)
        session.slotTexts[i] = std::u16string(1, static_cast<char16_t>(u'1' + i));
    if (programFolder != nullptr) {
        LoadList(session.calculator.currencies, programFolder, kCurrencyKind.file.fileName);
        char16_t name[kListNameCapacity];
        ConstantsFileName(session.calculator.options, name);
        LoadList(session.calculator.constants, programFolder, name);
    }
}

bool ParseKeyWord(std::string_view word, KeyEvent& event)
{
    if (word.size() == 1 && word[0] >= '0' && word[0] <= '9') {
        event = {kEventKey, kKeyDigit0 + (word[0] - '0')};
        return true;
    }
    for (const NamedKey& key : kNamedKeys) {
        if (word == key.word) {
            event = key.event;
            return true;
        }
    }
    if (word.substr(0, 5) == "char:") return ParseCharacter(word.substr(5), event);
    if (word.substr(0, 4) == "tap:") return ParseTap(word.substr(4), event);
    for (const NumberedKey& key : kNumberedKeys) {
        if (word.substr(0, key.prefix.size()) != key.prefix) continue;
        std::string_view digits = word.substr(key.prefix.size());
        int32_t n = 0;
        auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
        if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() || n < 0 || n > key.max)
            return false;
        event = {key.kind, n};
        return true;
    }
    return false;
}

void RunKeyEvent(KeySession& session, const KeyEvent& event)
{
    KeypadState& keypad = session.calculator.keypad;
    EngineState& engine = session.calculator.engine;
    switch (event.kind) {
    case kEventKey:
        Follow(session, KeypadKeyDown(keypad, engine, session.keyMap, event.arg));
        break;
    case kEventBack:
        BackKeyHotkey(keypad, engine, false);
        BackKeyHotkey(keypad, engine, true);
        break;
    case kEventWait:
        Wait(session, event.arg);
        break;
    case kEventAction:
        Follow(session, RunLayerAction(keypad, engine, event.arg));
        break;
    case kEventCommand:
        RunCommand(session.calculator, CommandOfMenuId(event.arg));
        break;
    case kEventChar:
        Follow(session, TypedCharacter(keypad, engine, session.keyMap, static_cast<char16_t>(event.arg)));
        break;
    case kEventTap:
        Follow(session, ClickKeypad(keypad, engine, session.keyMap, {event.arg / 8, event.arg % 8}));
        break;
    }
    DrainPosted(session);
}

bool RunKeyScript(KeySession& session, std::string_view script, std::string* badWord)
{
    std::vector<KeyEvent> events;
    size_t i = 0;
    while (i < script.size()) {
        while (i < script.size() && IsAsciiSpace(script[i])) ++i;
        size_t start = i;
        while (i < script.size() && !IsAsciiSpace(script[i])) ++i;
        if (start == i) break;
        KeyEvent event;
        if (!ParseKeyWord(script.substr(start, i - start), event)) {
            if (badWord != nullptr) *badWord = std::string(script.substr(start, i - start));
            return false;
        }
        events.push_back(event);
    }
    for (const KeyEvent& event : events) RunKeyEvent(session, event);
    return true;
}

void AppendUtf8(std::string& out, const char16_t* text)
{
    const size_t start = out.size();
    out.resize(start + U16Utf8Size(text));
    out.resize(start + U16ToUtf8(text, out.data() + start, out.size() - start));
}

std::string DisplayLine(const KeySession& session)
{
    const EngineState& engine = session.calculator.engine;
    char16_t drawn[kGroupedCapacity];
    DrawnText(engine, drawn, kGroupedCapacity);
    std::string line;
    AppendUtf8(line, DisplayIndicator(engine));
    line += ' ';
    AppendUtf8(line, drawn);
    return line;
}

bool Utf16FromUtf8(std::string_view text, std::u16string& out)
{
    std::u16string result;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    for (size_t i = 0; i < text.size();) {
        char32_t c = 0;
        const size_t length = DecodeUtf8(bytes + i, text.size() - i, c);
        if (length == 0) return false;
        if (c >= 0x10000) {
            result += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            result += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            result += static_cast<char16_t>(c);
        }
        i += length;
    }
    out = std::move(result);
    return true;
}

std::string MenuLines(const KeySession& session)
{
    std::string lines;
    for (int i = 0; i < session.quickLabelCount; ++i)
        AppendMenuLine(lines, IDM_CURRENCY_QUICK1 + i, session.quickLabels[i].c_str());
    AppendMenuLine(lines, IDM_CURRENCY_CHOICE, TEXT_CHOICE);
    AppendMenuLine(lines, IDM_CONSTANT_PI, TEXT_PI);
    AppendMenuLine(lines, IDM_CONSTANT_E, TEXT_E);
    for (int i = 0; i < kConstantSlotCount; ++i)
        AppendMenuLine(lines, IDM_CONSTANT_SLOT1 + i, session.slotTexts[i].c_str());
    AppendMenuLine(lines, IDM_CONSTANT_CHOICE, TEXT_CHOICE);
    AppendMenuLine(lines, IDM_CONSTANT_FILES_PICK, TEXT_LOAD_AND_CHOOSE);
    return lines;
}
