#include "tools/key_session.h"

#include <charconv>
#include <cstddef>
#include <utility>

#include "engine/platform_seam.h"
#include "engine/text16.h"
#include "resources/resource.h"
#include "skin/keymap.h"
#include "ui/list_commands.h"

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
    if (RunEngineCommand(session.keypad, session.engine, commandId).handled) return;
    RunListCommand(session.keypad, session.engine, session.constants, session.currencies, commandId);
}

// The two sub-menus as the menu resource defines them.
void ResetMenus(KeySession& session)
{
    std::vector<SessionMenuItem>& currency = session.menus[kSessionCurrencyMenu];
    currency.clear();
    for (int i = 0; i < kQuickEntryCount; ++i)
        currency.push_back({IDM_CURRENCY_QUICK1 + i, std::u16string(1, static_cast<char16_t>(u'1' + i))});
    currency.push_back({IDM_CURRENCY_CHOICE, u"Выбор..."});

    std::vector<SessionMenuItem>& constants = session.menus[kSessionConstantsMenu];
    constants.clear();
    constants.push_back({IDM_CONSTANT_PI, u"p"});
    constants.push_back({IDM_CONSTANT_E, u"e"});
    for (int i = 0; i < kConstantSlotCount; ++i)
        constants.push_back({IDM_CONSTANT_SLOT1 + i, std::u16string(1, static_cast<char16_t>(u'1' + i))});
    constants.push_back({IDM_CONSTANT_CHOICE, u"Выбор..."});
    constants.push_back({IDM_CONSTANT_FILES_PICK, u"Загруз.->Выбор"});
}

// The modelled menu the seam addresses, or nullptr: only the main window's
// "Функции" button has menus, and only its first two sub-menus are modelled.
std::vector<SessionMenuItem>* MenuOf(uintptr_t window, int buttonId, int subMenu)
{
    if (g_active == nullptr || window != kSessionMainWindow || buttonId != IDM_FUNCTIONS_BUTTON) return nullptr;
    if (subMenu < 0 || subMenu >= kSessionMenuCount) return nullptr;
    return &g_active->menus[subMenu];
}

SessionMenuItem* ItemOf(std::vector<SessionMenuItem>& menu, int itemId)
{
    for (SessionMenuItem& item : menu)
        if (item.id == itemId) return &item;
    return nullptr;
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

bool SetSoftKeyMenuText(uintptr_t window, int buttonId, int subMenu, int itemId, const char16_t* text)
{
    std::vector<SessionMenuItem>* menu = MenuOf(window, buttonId, subMenu);
    SessionMenuItem* item = menu != nullptr ? ItemOf(*menu, itemId) : nullptr;
    if (item == nullptr) return false;
    item->text = text;
    return true;
}

bool InsertSoftKeyMenuItem(uintptr_t window, int buttonId, int subMenu, int position, int itemId,
                           const char16_t* text)
{
    std::vector<SessionMenuItem>* menu = MenuOf(window, buttonId, subMenu);
    if (menu == nullptr || position < 0) return false;
    // As InsertMenu by position: past the end appends.
    const size_t at = static_cast<size_t>(position) < menu->size() ? static_cast<size_t>(position) : menu->size();
    menu->insert(menu->begin() + static_cast<std::ptrdiff_t>(at), SessionMenuItem{itemId, text});
    return true;
}

void DeleteSoftKeyMenuItem(uintptr_t window, int buttonId, int subMenu, int itemId)
{
    std::vector<SessionMenuItem>* menu = MenuOf(window, buttonId, subMenu);
    if (menu == nullptr) return;
    for (auto it = menu->begin(); it != menu->end(); ++it) {
        if (it->id == itemId) {
            menu->erase(it);
            return;
        }
    }
}

// --- Sessions ---------------------------------------------------------------

KeySession::~KeySession()
{
    if (g_active == this) g_active = nullptr;
    FreeCurrencies(currencies);
    ReleaseConstants(constants);
}

void StartSession(KeySession& session)
{
    Options options;
    DefaultOptions(options);
    StartSession(session, options, nullptr);
}

void StartSession(KeySession& session, const Options& options)
{
    StartSession(session, options, nullptr);
}

void StartSession(KeySession& session, const Options& options, const char16_t* programFolder)
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

    ResetMenus(session);
    session.programFolder = programFolder != nullptr ? programFolder : u"";
    if (programFolder != nullptr) {
        LoadCurrencies(session.currencies, programFolder, kSessionMainWindow);
        LoadConstants(session.constants, programFolder, session.options, kSessionMainWindow);
    } else {
        // A folder without files: empty lists, the menus as those leave them.
        FreeCurrencies(session.currencies);
        BuildCurrencyMenu(session.currencies, kSessionMainWindow);
        ReleaseConstants(session.constants);
        RebuildConstantMenu(session.constants, kSessionMainWindow);
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
    const size_t start = out.size();
    out.resize(start + U16Utf8Size(text));
    out.resize(start + U16ToUtf8(text, out.data() + start, out.size() - start));
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

bool Utf16FromUtf8(std::string_view text, std::u16string& out)
{
    std::u16string result;
    size_t i = 0;
    while (i < text.size()) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        uint32_t c = 0;
        size_t extra = 0;
        if (lead < 0x80) {
            c = lead;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            c = lead & 0x1F;
            extra = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            c = lead & 0x0F;
            extra = 2;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            c = lead & 0x07;
            extra = 3;
        } else {
            return false;
        }
        if (text.size() - i - 1 < extra) return false;
        for (size_t k = 1; k <= extra; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            c = (c << 6) | (next & 0x3F);
        }
        const uint32_t least[] = {0, 0x80, 0x800, 0x10000};
        if (c < least[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
        if (c >= 0x10000) {
            result += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            result += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            result += static_cast<char16_t>(c);
        }
        i += extra + 1;
    }
    out = std::move(result);
    return true;
}

std::string MenuLines(const KeySession& session)
{
    std::string lines;
    for (const std::vector<SessionMenuItem>& menu : session.menus) {
        for (const SessionMenuItem& item : menu) {
            lines += std::to_string(item.id);
            lines += ' ';
            AppendUtf8(lines, item.text.c_str());
            lines += '\n';
        }
    }
    return lines;
}
