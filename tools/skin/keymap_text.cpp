#include "tools/skin/keymap_text.h"

#include <cstdio>
#include <cstring>

#include "core/engine/engine.h"
#include "core/text/text16.h"

namespace {

constexpr int kKeysPerLayer = 12;
constexpr int kLayerLines = kKeyMapSize / kKeysPerLayer;

// The words of the text's lines: the four layers in key map order, then the colours.
enum LineKind : int { kLineLeft, kLineUp, kLineRight, kLineDown, kLineBack, kLineText, kLineKinds };
constexpr std::string_view kLineWords[kLineKinds] = {"left", "up", "right", "down", "back", "text"};
constexpr const char* kKeyNames[kKeysPerLayer] = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "*", "0", "#"};

constexpr std::string_view kHeader =
    "# Vela key map: the key action of each keypad key in each direction layer.\n"
    "#\n"
    "# Each layer line names 12 actions, for the keys 1 2 3 4 5 6 7 8 9 * 0 #\n"
    "# in this order. An action is named by its label (ln, sin, x\u00B2, M+, \u2212 ...)\n"
    "# or by its number 0-255; numbers from 75 on do nothing. \"#\" starts a\n"
    "# comment. back: and text: are the display line's background and text\n"
    "# colours, RRGGBB in hexadecimal as in HTML.\n";

// The label of each action as a name in the text, or empty where the number
// must stand: a label that is taken by an earlier action, is all digits, or
// holds a character that the reader would split or cut at.
struct ActionNames {
    std::string names[kActionCount];
};

const ActionNames& Names()
{
    static const ActionNames table = [] {
        ActionNames t;
        for (int n = 0; n < kActionCount; ++n) {
            const char16_t* label = ActionLabel(n);
            std::string name(U16Utf8Size(label), '\0');
            name.resize(U16ToUtf8(label, name.data(), name.size()));
            bool usable = !name.empty() && name.find_first_not_of("0123456789") != std::string::npos;
            for (char c : name) usable = usable && !IsAsciiSpace(c) && c != '#' && c != ':';
            for (int earlier = 0; earlier < n && usable; ++earlier) usable = t.names[earlier] != name;
            if (usable) t.names[n] = name;
        }
        return t;
    }();
    return table;
}

std::string ActionName(uint8_t action)
{
    if (action < kActionCount && !Names().names[action].empty()) return Names().names[action];
    return std::to_string(action);
}

bool ActionFromName(std::string_view name, uint8_t& action)
{
    if (name.find_first_not_of("0123456789") == std::string_view::npos) {
        unsigned value = 0;
        for (char c : name) {
            value = value * 10 + static_cast<unsigned>(c - '0');
            if (value > 255) return false;
        }
        action = static_cast<uint8_t>(value);
        return true;
    }
    for (int n = 0; n < kActionCount; ++n) {
        if (Names().names[n] == name) {
            action = static_cast<uint8_t>(n);
            return true;
        }
    }
    return false;
}

// Characters as a terminal shows them, for column alignment: every byte that
// does not continue a UTF-8 sequence.
size_t ShownWidth(std::string_view text)
{
    size_t width = 0;
    for (char c : text) width += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return width;
}

// A word of the text inside an error message: at most 40 bytes, cut before a
// character that does not fit whole; bytes that are not printable ASCII or
// part of a well-formed UTF-8 sequence appear as \xNN.
std::string Quoted(std::string_view word)
{
    std::string out = "\"";
    size_t i = 0;
    while (i < word.size() && out.size() < 40) {
        const unsigned char lead = static_cast<unsigned char>(word[i]);
        char32_t c = 0;
        const size_t length =
            DecodeUtf8(reinterpret_cast<const unsigned char*>(word.data()) + i, word.size() - i, c);
        if (length > 1) {
            out.append(word.substr(i, length));
            i += length;
            continue;
        }
        if (lead >= 0x20 && lead < 0x7F) {
            out += static_cast<char>(lead);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", lead);
            out += escaped;
        }
        ++i;
    }
    return out + (i < word.size() ? "...\"" : "\"");
}

bool Fail(KeyMapTextError& error, int line, const std::string& message)
{
    error.line = line;
    // Words from the text are quoted at 40-odd bytes, so every message fits whole.
    std::snprintf(error.message, sizeof error.message, "%s", message.c_str());
    return false;
}

// The whitespace-separated words of `text`.
size_t SplitWords(std::string_view text, std::string_view* words, size_t capacity)
{
    size_t count = 0;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsAsciiSpace(text[i])) ++i;
        const size_t start = i;
        while (i < text.size() && !IsAsciiSpace(text[i])) ++i;
        if (i > start) {
            if (count < capacity) words[count] = text.substr(start, i - start);
            ++count;
        }
    }
    return count;
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && IsAsciiSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsAsciiSpace(text.back())) text.remove_suffix(1);
    return text;
}

bool ReadLayerLine(std::string_view rest, uint8_t* keys, int line, KeyMapTextError& error)
{
    std::string_view words[kKeysPerLayer];
    const size_t count = SplitWords(rest, words, kKeysPerLayer);
    if (count != kKeysPerLayer)
        return Fail(error, line, std::to_string(count) + (count == 1 ? " action" : " actions") +
                                     " where 12 are needed, one per key 1 2 3 4 5 6 7 8 9 * 0 #");
    for (int k = 0; k < kKeysPerLayer; ++k) {
        if (ActionFromName(words[k], keys[k])) continue;
        if (words[k].find_first_not_of("0123456789") == std::string_view::npos)
            return Fail(error, line, "action number " + Quoted(words[k]) + " is not 0-255");
        return Fail(error, line, "unknown action " + Quoted(words[k]) + " (a label such as sin or M+, or a number 0-255)");
    }
    return true;
}

bool ReadColourLine(std::string_view rest, std::string_view word, uint32_t& colour, int line,
                    KeyMapTextError& error)
{
    const std::string_view value = Trimmed(rest);
    if (value.empty())
        return Fail(error, line, std::string(word) + ": needs a colour RRGGBB (without \"#\", which starts a comment)");
    if (!ColourFromText(value, colour))
        return Fail(error, line, "bad colour " + Quoted(value) + ": RRGGBB in hexadecimal is needed");
    return true;
}

std::string ColourText(uint32_t colour)
{
    char text[16];
    const unsigned red = colour & 0xFF, green = colour >> 8 & 0xFF, blue = colour >> 16 & 0xFF;
    if (colour >> 24 != 0)
        std::snprintf(text, sizeof text, "%02X%02X%02X%02X", colour >> 24, red, green, blue);
    else
        std::snprintf(text, sizeof text, "%02X%02X%02X", red, green, blue);
    return text;
}

}  // namespace

KeyMapText BuiltinKeyMapText()
{
    KeyMapText map{};
    std::memcpy(map.keyMap, defaultKeyMap, sizeof map.keyMap);
    map.backColor = kBuiltinBackColor;
    map.textColor = kBuiltinTextColor;
    return map;
}

bool ColourFromText(std::string_view text, uint32_t& colour)
{
    if (text.size() != 6 && text.size() != 8) return false;
    uint32_t value = 0;
    for (char c : text) {
        const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10
                        : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (digit < 0) return false;
        value = value << 4 | static_cast<uint32_t>(digit);
    }
    // Written XXRRGGBB, stored 0xXXBBGGRR.
    colour = (value & 0xFF000000) | (value & 0xFF) << 16 | (value & 0xFF00) | (value >> 16 & 0xFF);
    return true;
}

bool ReadKeyMapText(std::string_view text, KeyMapText& map, KeyMapTextError& error)
{
    map = BuiltinKeyMapText();
    int firstLine[kLineKinds] = {};  // where each kind of line stood, 0: not yet
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);

    int line = 0;
    size_t at = 0;
    while (at < text.size()) {
        ++line;
        size_t end = text.find_first_of("\r\n", at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view content = text.substr(at, end - at);
        at = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);

        content = Trimmed(content.substr(0, content.find('#')));
        if (content.empty()) continue;
        const size_t colon = content.find(':');
        const std::string_view word = Trimmed(content.substr(0, colon));
        int kind = 0;
        while (kind < kLineKinds && (colon == std::string_view::npos || kLineWords[kind] != word)) ++kind;
        if (kind == kLineKinds)
            return Fail(error, line, "expected a line left:, up:, right:, down:, back: or text:, not " + Quoted(content));
        if (firstLine[kind] != 0)
            return Fail(error, line, std::string(word) + ": given twice (first on line " +
                                         std::to_string(firstLine[kind]) + ")");
        firstLine[kind] = line;

        const std::string_view rest = content.substr(colon + 1);
        bool read = kind == kLineBack   ? ReadColourLine(rest, word, map.backColor, line, error)
                    : kind == kLineText ? ReadColourLine(rest, word, map.textColor, line, error)
                                        : ReadLayerLine(rest, map.keyMap + kind * kKeysPerLayer, line, error);
        if (!read) return false;
    }
    for (int kind = 0; kind < kLayerLines; ++kind)
        if (firstLine[kind] == 0)
            return Fail(error, 0, "no " + std::string(kLineWords[kind]) + ": line; every layer needs one");
    map.hasBackColor = firstLine[kLineBack] != 0;
    map.hasTextColor = firstLine[kLineText] != 0;
    return true;
}

std::string WriteKeyMapText(const KeyMapText& map)
{
    constexpr size_t kWordColumn = 7;  // "right: " is the longest line start
    std::string names[kKeyMapSize];
    size_t columnWidth[kKeysPerLayer] = {};
    for (int i = 0; i < kKeyMapSize; ++i) {
        names[i] = ActionName(map.keyMap[i]);
        size_t& width = columnWidth[i % kKeysPerLayer];
        if (ShownWidth(names[i]) > width) width = ShownWidth(names[i]);
    }
    auto pad = [](std::string& out, size_t shown, size_t width) { out.append(width > shown ? width - shown : 0, ' '); };

    std::string out(kHeader);
    for (int layer = 0; layer < kLayerLines; ++layer) {
        std::string keys = "#";
        std::string actions(kLineWords[layer]);
        actions += ':';
        pad(keys, 1, kWordColumn);
        pad(actions, actions.size(), kWordColumn);
        for (int k = 0; k < kKeysPerLayer; ++k) {
            const std::string& name = names[layer * kKeysPerLayer + k];
            const bool last = k == kKeysPerLayer - 1;
            keys += kKeyNames[k];
            actions += name;
            if (!last) {
                pad(keys, 1, columnWidth[k] + 1);
                pad(actions, ShownWidth(name), columnWidth[k] + 1);
            }
        }
        out += "\n";
        out.append(Trimmed(keys));
        out += "\n";
        out.append(actions);
        out += "\n";
    }
    if (map.hasBackColor || map.hasTextColor) out += "\n";
    if (map.hasBackColor) out += "back:  " + ColourText(map.backColor) + "\n";
    if (map.hasTextColor) out += "text:  " + ColourText(map.textColor) + "\n";
    return out;
}
