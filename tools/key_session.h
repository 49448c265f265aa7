// A simulated phone for the native tools and tests: it drives the keypad
// handling exactly as the main window does, with a queue of posted messages
// and a cycle timer that runs on a simulated clock, and it records what the
// engine asks of the window system instead of drawing it. It also keeps the
// constant list and the currency table, read from a program folder, and a
// model of the two sub-menus that they edit.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "constants/constant_list.h"
#include "currency/currency_table.h"
#include "engine/engine.h"
#include "settings/options.h"
#include "ui/keypad.h"

enum KeyEventKind : uint8_t {
    kEventKey,      // a phone key-down; arg is the key code
    kEventBack,     // the Back key pressed and released
    kEventWait,     // arg milliseconds pass
    kEventAction,   // key action arg, run as a layer key mapped to it
    kEventCommand,  // menu command arg
};

struct KeyEvent {
    KeyEventKind kind;
    int32_t arg;
};

struct PostedMessage {
    unsigned message;  // kMsgCycleOpen, kMsgCycleClose, or 0x0111 (WM_COMMAND)
    int commandId;
};

// The window handle of the session's main window for the menu seam; any other
// handle stands for a window without the "Функции" menu, like a dialog.
inline constexpr uintptr_t kSessionMainWindow = 1;

// One item of a modelled sub-menu.
struct SessionMenuItem {
    int id;
    std::u16string text;
};

// The sub-menus of "Функции" that the lists edit, by position.
enum : int { kSessionCurrencyMenu = 0, kSessionConstantsMenu = 1, kSessionMenuCount = 2 };

struct KeySession {
    Options options;
    EngineState engine;
    KeypadState keypad;
    uint8_t keyMap[kKeyMapSize];
    std::deque<PostedMessage> posted;
    int64_t clockMs;
    int64_t nextTickMs;                 // next cycle-timer tick while it runs
    std::map<int, bool> menuChecks;     // menu item id -> checked, as the seam set them
    std::vector<int> postedCommands;    // every command posted by a key action
    ConstantList constants;
    CurrencyTable currencies;
    std::u16string programFolder;       // ends in '/'; empty: no folder, nothing read
    // "Валюта" and "Константы" as the menu seam left them, in menu order.
    std::vector<SessionMenuItem> menus[kSessionMenuCount];

    KeySession() = default;
    KeySession(const KeySession&) = delete;  // the engine points into `options`
    KeySession& operator=(const KeySession&) = delete;
    ~KeySession();                           // the seam stops talking to it; lists released
};

// Start-up state: default options (or `options`), built-in key map, the
// menu check marks placed as window creation places them, the two sub-menus
// as the menu resource holds them, then the currency table and the constant
// list loaded from `programFolder` (ending in '/') as window creation loads
// them. Without a folder nothing is read and both lists are empty.
void StartSession(KeySession& session);
void StartSession(KeySession& session, const Options& options);
void StartSession(KeySession& session, const Options& options, const char16_t* programFolder);

// Parses one script word ("5", "#", "left", "ok", "wait:700", "act:32",
// "cmd:40019", ...). Returns false for an unknown word.
bool ParseKeyWord(std::string_view word, KeyEvent& event);

// Runs one event and everything it posts, as the message loop would.
void RunKeyEvent(KeySession& session, const KeyEvent& event);

// Parses and runs a whitespace-separated script; false (and nothing run)
// when a word is unknown, with that word in `badWord`.
bool RunKeyScript(KeySession& session, std::string_view script, std::string* badWord = nullptr);

// What the display draws: indicator, one space, the text grouped when
// grouping is on and with "&&" drawn as "&". UTF-8.
std::string DisplayLine(const KeySession& session);

// UTF-16 to UTF-8 (unpaired surrogates become U+FFFD).
void AppendUtf8(std::string& out, const char16_t* text);

// UTF-8 to UTF-16; false (and `out` unchanged) for text that is no UTF-8.
bool Utf16FromUtf8(std::string_view text, std::u16string& out);

// The modelled menus, "Валюта" then "Константы": one line per item,
// "<command id> <text>\n", the text in UTF-8.
std::string MenuLines(const KeySession& session);
