// vela-keys: runs a key script on the calculator as the phone would and
// prints what the display draws.
//
//   vela-keys [--precision N] [--repr dec|exp|hex|bin] [--angle rad|grad|deg]
//             [--group] [--trace] [--value] [--folder DIR] [--menu] [KEY ...]
//   vela-keys --version
//
// Without KEY arguments the keys are read from standard input.
//
// --folder DIR is the program folder: "currency.txt" and the constants file
// "constant.txt" are read from it at start, as the program reads them at
// window creation; default: the current folder.
// --menu prints, after the display line(s) and the --value line, one line
// per item of the "Валюта" sub-menu and then of the "Константы" sub-menu as
// the program would have built them: the command id, one space, the item
// text in UTF-8, e.g. "40022 RUB->USD".
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "core/text/text16.h"
#include "tools/phone/key_session.h"
#include "vela_version.h"

namespace {

struct NamedValue {
    std::string_view name;
    int value;
};

const NamedValue kReprNames[] = {
    {"dec", kReprDecimal}, {"exp", kReprExponent}, {"hex", kReprHex}, {"bin", kReprBinary}};
const NamedValue kAngleNames[] = {{"rad", kAngleRadian}, {"grad", kAngleGrad}, {"deg", kAngleDegree}};
const NamedValue kPrecisions[] = {{"1", 1}, {"2", 2}, {"3", 3}, {"4", 4},  {"5", 5},   {"6", 6},
                                  {"7", 7}, {"8", 8}, {"9", 9}, {"10", 10}, {"11", 11}, {"12", 12}};

struct RunnerOptions {
    Options options;
    bool trace = false;
    bool printValue = false;
    bool printMenu = false;
    std::u16string folder = u"./";
};

template <size_t N>
bool Lookup(const NamedValue (&table)[N], std::string_view name, int32_t& out)
{
    for (const NamedValue& entry : table) {
        if (entry.name == name) {
            out = entry.value;
            return true;
        }
    }
    return false;
}

int Usage(const char* what, std::string_view word, std::string_view value = {})
{
    std::string message = "vela-keys: " + std::string(what) + ": " + std::string(word);
    if (!value.empty()) message += " " + std::string(value);
    std::fprintf(stderr, "%s\n", message.c_str());
    return 2;
}

// Options may stand anywhere; "--name value" and "--name=value" both work.
// Returns 0, or the exit status for a bad option.
int ParseArguments(int argc, char** argv, RunnerOptions& runner, std::vector<std::string_view>& keys)
{
    struct ValueOption {
        std::string_view name;
        const NamedValue* table;
        size_t count;
        int32_t* field;
    };
    const ValueOption valueOptions[] = {
        {"--precision", kPrecisions, std::size(kPrecisions), &runner.options.precision},
        {"--repr", kReprNames, std::size(kReprNames), &runner.options.reprMode},
        {"--angle", kAngleNames, std::size(kAngleNames), &runner.options.angleUnit},
    };

    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg.substr(0, 2) != "--") {
            keys.push_back(arg);
            continue;
        }
        if (arg == "--group") {
            runner.options.groupDigits = 1;
            continue;
        }
        if (arg == "--trace") {
            runner.trace = true;
            continue;
        }
        if (arg == "--value") {
            runner.printValue = true;
            continue;
        }
        if (arg == "--menu") {
            runner.printMenu = true;
            continue;
        }

        std::string_view name = arg.substr(0, arg.find('='));
        const ValueOption* option = nullptr;
        for (const ValueOption& candidate : valueOptions)
            if (candidate.name == name) option = &candidate;
        if (option == nullptr && name != "--folder") return Usage("unknown option", arg);

        std::string_view value;
        if (name.size() < arg.size()) {
            value = arg.substr(name.size() + 1);
        } else if (i + 1 < argc) {
            value = argv[++i];
        } else {
            return Usage("option needs a value", arg);
        }
        if (name == "--folder") {
            if (value.empty() || !Utf16FromUtf8(value, runner.folder)) return Usage("bad option value", name, value);
            if (runner.folder.back() != u'/') runner.folder += u'/';
            continue;
        }
        bool found = false;
        for (size_t k = 0; k < option->count && !found; ++k) {
            if (option->table[k].name == value) {
                *option->field = option->table[k].value;
                found = true;
            }
        }
        if (!found) return Usage("bad option value", name, value);
    }
    return 0;
}

std::string ReadAll(FILE* in)
{
    std::string data;
    char buffer[1 << 16];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) data.append(buffer, n);
    return data;
}

void SplitWords(const std::string& data, std::vector<std::string_view>& words)
{
    size_t i = 0;
    while (i < data.size()) {
        while (i < data.size() && IsAsciiSpace(data[i])) ++i;
        size_t start = i;
        while (i < data.size() && !IsAsciiSpace(data[i])) ++i;
        if (i > start) words.emplace_back(data.data() + start, i - start);
    }
}

void PrintLine(const KeySession& session)
{
    std::string line = DisplayLine(session);
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::puts("vela-keys " VELA_VERSION);
        return 0;
    }
    RunnerOptions runner;
    DefaultOptions(runner.options);
    std::vector<std::string_view> words;
    if (int status = ParseArguments(argc, argv, runner, words)) return status;

    std::string input;
    if (words.empty()) {
        input = ReadAll(stdin);
        SplitWords(input, words);
    }

    std::vector<KeyEvent> events(words.size());
    for (size_t i = 0; i < words.size(); ++i)
        if (!ParseKeyWord(words[i], events[i])) return Usage("unknown key", words[i]);

    static KeySession session;
    StartSession(session, &runner.options, runner.folder.c_str());
    for (const KeyEvent& event : events) {
        RunKeyEvent(session, event);
        if (runner.trace) PrintLine(session);
    }
    if (!runner.trace) PrintLine(session);
    if (runner.printValue) std::printf("%.17g\n", session.calculator.engine.value);
    if (runner.printMenu) {
        const std::string menu = MenuLines(session);
        std::fwrite(menu.data(), 1, menu.size(), stdout);
    }
    return 0;
}
