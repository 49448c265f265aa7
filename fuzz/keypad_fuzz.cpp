// Random key sequences through the keypad handling, as the phone and a
// desktop would send them: keys, Back, time passing, any key-map byte, menu
// commands, typed characters, clicks on the keypad and pasted text. After
// every event the text must hold its invariants.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/text/text16.h"
#include "tools/phone/key_session.h"

namespace {

const int kKeys[] = {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9', kKeyStar, kKeyPound,
                     kKeyLeft, kKeyUp, kKeyRight, kKeyDown, kKeyAction, kKeyTalk, 'A', 0};
const int kCommands[] = {1, 40003, 40011, 40013, 40014, 40015, 40018, 40019, 40020, 40021,
                         40022, 40028, 40040, 40041, 40042, 40048, 40052, 40055, 40056, 40060};
const char16_t kTyped[] = u"+-*/=.,#eEaAfF1 \u2212";

void Check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

void CheckText(const KeySession& session)
{
    const char16_t* text = session.calculator.engine.text;
    size_t len = 0;
    while (len < kTextCapacity && text[len] != 0) ++len;
    Check(len < kTextCapacity, "text is NUL-terminated within 42 units");
    Check(len <= 41, "at most 41 units");
    for (size_t i = 0; i < len; ++i) {
        if (text[i] != u'&') continue;
        Check(i + 1 < len && text[i + 1] == u'&', "\"&\" only in pairs");
        ++i;
    }
    char16_t grouped[kGroupedCapacity];
    size_t n = GroupedText(session.calculator.engine, grouped, kGroupedCapacity);
    Check(n < kGroupedCapacity && grouped[n] == 0, "grouped text fits");
    Check(!DisplayLine(session).empty(), "display line");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static KeySession session;
    Options options;
    DefaultOptions(options);
    if (size >= 2) {
        options.reprMode = data[0] & 3;
        options.angleUnit = (data[0] >> 2) % 3;
        options.groupDigits = (data[0] >> 4) & 1;
        options.precision = data[1] % 12 + 1;
        data += 2;
        size -= 2;
    }
    StartSession(session, &options);

    for (size_t i = 0; i < size; ++i) {
        uint8_t b = data[i];
        uint8_t arg = i + 1 < size ? data[i + 1] : 0;
        KeyEvent event{};
        switch (b >> 5) {
        case 0: case 1: case 2: case 3:
            event = {kEventKey, kKeys[b % std::size(kKeys)]};
            break;
        case 4:
            event = {kEventBack, 0};
            break;
        case 5:
            event = {kEventWait, (b & 31) * 50};
            break;
        case 6:
            event = {kEventAction, arg};
            ++i;
            break;
        default:
            // The last eighth: commands, typed characters, clicks, pastes.
            switch (b & 3) {
            case 0: event = {kEventCommand, kCommands[arg % std::size(kCommands)]}; break;
            case 1: event = {kEventChar, kTyped[arg % (std::size(kTyped) - 1)]}; break;
            case 2: event = {kEventTap, arg % 96}; break;
            default: {
                // The rest of the input, two bytes a unit, is the clipboard's text.
                std::u16string text;
                for (size_t k = i + 1; k + 1 < size; k += 2) text += static_cast<char16_t>(data[k] | data[k + 1] << 8);
                PasteText(session.calculator.engine, text.data(), text.size());
                CheckText(session);
                return 0;
            }
            }
            ++i;
            break;
        }
        RunKeyEvent(session, event);
        CheckText(session);
    }
    return 0;
}
