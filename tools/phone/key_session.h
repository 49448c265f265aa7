// A simulated phone for the native tools and tests: it drives the keypad
// handling and the command router exactly as the main window does, with a
// queue of posted messages and a cycle timer that runs on a simulated clock,
// and it keeps the two list menus as the window would show them instead of
// drawing anything. Its lists are read from a program folder.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

#include "core/calculator/calculator.h"

enum KeyEventKind : uint8_t {
    kEventKey,      // a phone key-down; arg is the key code
    kEventBack,     // the Back key pressed and released
    kEventWait,     // arg milliseconds pass
    kEventAction,   // key action arg, run as a layer key mapped to it
    kEventCommand,  // menu command id arg
    kEventChar,     // a desktop keyboard's character arg (WM_CHAR)
    kEventTap,      // a click on the keypad image: key index arg / 8, key layer arg % 8
};

struct KeyEvent {
    KeyEventKind kind;
    int32_t arg;
};

// What the window's message queue would hold.
struct PostedMessage {
    enum Kind : uint8_t { kCycleOpen, kCycleClose, kCommand } kind;
    CommandRequest request;  // for kCommand
};

struct KeySession {
    Calculator calculator;
    uint8_t keyMap[kKeyMapSize];
    std::deque<PostedMessage> posted;
    int64_t clockMs;
    int64_t nextTickMs;                 // next cycle-timer tick while it runs
    // The list menus as the window shows them: the quick entries' labels,
    // the constant slots' texts (their numbers until a list names them).
    std::u16string quickLabels[kQuickEntryCount];
    int quickLabelCount;
    std::u16string slotTexts[kConstantSlotCount];

    KeySession() = default;
    KeySession(const KeySession&) = delete;
    KeySession& operator=(const KeySession&) = delete;
    ~KeySession();  // lists released
};

// Start-up state on `options` (default: the default options), the built-in
// key map, then the currency table and the constant list loaded from
// `programFolder` (ending in '/') as window creation loads them; without a
// folder both lists stay empty.
void StartSession(KeySession& session, const Options* options = nullptr, const char16_t* programFolder = nullptr);

// Parses one script word ("5", "#", "left", "ok", "wait:700", "act:32",
// "cmd:40019", "char:+", "tap:5", "tap:down:1", ...). Returns false for an
// unknown word.
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

// The "Валюта" then the "Константы" sub-menu: one line per item,
// "<command id> <text>\n", the text in UTF-8.
std::string MenuLines(const KeySession& session);
