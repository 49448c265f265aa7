#include "tools/key_session.h"

#include <charconv>

#include "engine/platform_seam.h"
#include "resources/resource.h"
#include "skin/keymap.h"

namespace {

constexpr unsigned kMsgCommand = 0x0111;  // WM_COMMAND

// The session whose window the engine's seam talks to.
KeySession* g_active = nullptr;

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

void Post(KeySession& session, unsigned message, int commandId = 0)
{
    session.posted.push_back({message, commandId});
}

void DispatchCommand(KeySession& session, int commandId)
{
    RunEngineCommand(session.keypad, session.engine, commandId);
}

void DispatchPosted(KeySession& session, const PostedMessage& message)
{
    switch (message.message) {
    case kMsgCycleOpen:
        if (HexCycleOpened(session.keypad)) session.nextTickMs = session.clockMs + kCycleTimerPeriodMs;
        break;
    case kMsgCycleClose:
        HexCycleEnded(session.keypad);
        break;
    case kMsgCommand:
        DispatchCommand(session, message.commandId);
        break;
    default:
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
    while (session.keypad.hexTimer != 0 && session.nextTickMs <= until) {
        session.clockMs = session.nextTickMs;
        session.nextTickMs += kCycleTimerPeriodMs;
        if (HexCycleTick(session.keypad)) Post(session, kMsgCycleClose);
        DrainPosted(session);
    }
    session.clockMs = until;
}

void PlaceMenuChecks(KeySession& session)
{
    EngineState& engine = session.engine;
    if (session.options.groupDigits == 1) SetMenuCheck(IDM_SETTINGS_BUTTON, IDM_GROUP_DIGITS, true);
    SetAngleUnit(engine, session.options.angleUnit);
    SetReprMode(engine, session.options.reprMode);
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

}  // namespace

// --- The engine's window-system seam, recorded -------------------------------

void SetMenuCheck(int, int itemId, bool checked)
{
    if (g_active != nullptr) g_active->menuChecks[itemId] = checked;
}

void PostMenuCommand(int commandId)
{
    if (g_active == nullptr) return;
    g_active->postedCommands.push_back(commandId);
    Post(*g_active, kMsgCommand, commandId);
}

// --- Sessions ---------------------------------------------------------------

KeySession::~KeySession()
{
    if (g_active == this) g_active = nullptr;
}

void StartSession(KeySession& session)
{
    Options options;
    DefaultOptions(options);
    StartSession(session, options);
}

void StartSession(KeySession& session, const Options& options)
{
    session.options = options;
    InitEngine(session.engine, session.options);
    InitKeypad(session.keypad);
    for (int i = 0; i < kKeyMapSize; ++i) session.keyMap[i] = defaultKeyMap[i];
    session.posted.clear();
    session.clockMs = 0;
    session.nextTickMs = 0;
    session.menuChecks.clear();
    session.postedCommands.clear();
    g_active = &session;
    PlaceMenuChecks(session);
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
    g_active = &session;
    KeypadState& keypad = session.keypad;
    EngineState& engine = session.engine;
    switch (event.kind) {
    case kEventKey:
        if (KeypadKeyDown(keypad, engine, session.keyMap, event.arg).postCycleOpen) Post(session, kMsgCycleOpen);
        break;
    case kEventBack:
        BackKeyHotkey(keypad, engine, false);
        BackKeyHotkey(keypad, engine, true);
        break;
    case kEventWait:
        Wait(session, event.arg);
        break;
    case kEventAction:
        RunLayerAction(keypad, engine, event.arg);
        break;
    case kEventCommand:
        DispatchCommand(session, event.arg);
        break;
    }
    DrainPosted(session);
}

bool RunKeyScript(KeySession& session, std::string_view script, std::string* badWord)
{
    std::vector<KeyEvent> events;
    size_t i = 0;
    while (i < script.size()) {
        while (i < script.size() && IsSpace(script[i])) ++i;
        size_t start = i;
        while (i < script.size() && !IsSpace(script[i])) ++i;
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
    for (size_t i = 0; text[i] != 0; ++i) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
}

std::string DisplayLine(const KeySession& session)
{
    const EngineState& engine = session.engine;
    char16_t grouped[kGroupedCapacity];
    const char16_t* text = engine.text;
    if (session.options.groupDigits == 1) {
        GroupedText(engine, grouped, kGroupedCapacity);
        text = grouped;
    }

    // Prefix processing as the display draws it: "&&" is one "&", a lone
    // "&" only marks the next character.
    char16_t drawn[kGroupedCapacity];
    size_t n = 0;
    for (size_t i = 0; text[i] != 0 && n + 1 < kGroupedCapacity; ++i) {
        if (text[i] == u'&') {
            if (text[i + 1] != u'&') continue;
            ++i;
        }
        drawn[n++] = text[i];
    }
    drawn[n] = 0;

    std::string line;
    AppendUtf8(line, DisplayIndicator(engine));
    line += ' ';
    AppendUtf8(line, drawn);
    return line;
}
