// vela-rates: a central bank's daily exchange-rate file into the currency
// file of a program folder, as the program's "Загрузить курсы..." does it.
#include <cstdio>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#endif

#include "core/lists/rates_import.h"
#include "core/lists/record_file.h"
#include "core/text/text16.h"
#include "tools/rates/fetch.h"
#include "vela_version.h"
#ifndef _WIN32
#include "tools/phone/key_session.h"
#endif

namespace {

const char kUsage[] =
    "usage: vela-rates [--print] [--folder DIR] FILE\n"
    "       vela-rates [--print] [--folder DIR] --fetch cbr|ecb|URL\n"
    "\n"
    "Imports FILE, a central bank's daily exchange rates, into DIR/currency.txt\n"
    "(default: the current folder): the Bank of Russia's XML\n"
    "(https://www.cbr.ru/scripts/XML_daily.asp) or the European Central Bank's\n"
    "XML (https://www.ecb.europa.eu/stats/eurofxref/eurofxref-daily.xml) or CSV\n"
    "(eurofxref.csv, inside https://www.ecb.europa.eu/stats/eurofxref/eurofxref.zip).\n"
    "The quick currencies stay on theirs; currencies the file lacks are kept.\n"
    "FILE \"-\" reads standard input:\n"
    "  curl -s https://www.cbr.ru/scripts/XML_daily.asp | vela-rates -\n"
    "\n"
    "  --fetch SOURCE  download the day's file instead of reading FILE: cbr the\n"
    "                Bank of Russia's, ecb the ECB's, or an http(s) URL; 10 s to\n"
    "                connect, 30 s in all, redirects followed, 2 MB at most\n"
    "  --print       print, in UTF-8, the currency file that would be written;\n"
    "                write nothing\n"
    "  --folder DIR  the program folder that holds currency.txt\n"
    "  --version     print the version\n"
    "\n"
    "Exit status: 0 written (or printed); 1 FILE unreadable or refused, or the\n"
    "download failed (the message names the file or address, the line and what\n"
    "is wrong); 2 bad command line;\n"
    "3 currency.txt could not be read or written, and is as it was.\n";

enum ExitStatus : int { kExitDone = 0, kExitRefused = 1, kExitUsage = 2, kExitNotWritten = 3 };

#ifdef _WIN32
const char16_t kSeparators[] = u"/\\";
const char16_t kCurrentFolder[] = u".\\";
#else
const char16_t kSeparators[] = u"/";
const char16_t kCurrentFolder[] = u"./";
#endif

struct Arguments {
    bool print = false;
    std::u16string folder = kCurrentFolder;
    std::u16string file;   // empty: none given
    std::string fetchUrl;  // --fetch: the address; empty: none
};

// Why the currency file could not be read or written, by RecordFault, in
// the program's words.
const char* const kFaultTexts[] = {
    "ошибка записи",      "он только для чтения",          "нет прав на запись",
    "диск переполнен",    "превышен допустимый размер файла", "прежний файл не удалось заменить",
    "ошибка записи",      "его не удалось прочитать целиком", "строка %ld слишком длинная",
    "недостаточно памяти", "имя временного файла ~tmpcur~.txt занято ссылкой или папкой: уберите её",
};
static_assert(std::size(kFaultTexts) == kRecordTempInTheWay + 1, "a text for every reason");

std::string Utf8(const std::u16string& text)
{
    std::string out(U16Utf8Size(text.c_str()), '\0');
    out.resize(U16ToUtf8(text.c_str(), out.data(), out.size()));
    return out;
}

int Usage(const char* what, const std::u16string& word = {})
{
    std::fprintf(stderr, "vela-rates: %s%s%s\n%s", what, word.empty() ? "" : ": ", Utf8(word).c_str(), kUsage);
    return kExitUsage;
}

// Returns -1 when the arguments are good, else the exit status.
int ParseArguments(const std::vector<std::u16string>& args, Arguments& parsed)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const std::u16string& arg = args[i];
        if (arg == u"--help" || arg == u"-h") {
            std::fputs(kUsage, stdout);
            return kExitDone;
        }
        if (arg == u"--version") {
            std::puts("vela-rates " VELA_VERSION);
            return kExitDone;
        }
        if (arg == u"--print") {
            parsed.print = true;
        } else if (arg == u"--folder" || arg.starts_with(u"--folder=")) {
            if (arg == u"--folder" && i + 1 == args.size()) return Usage("--folder needs a value");
            parsed.folder = arg == u"--folder" ? args[++i] : arg.substr(9);
            if (parsed.folder.empty()) return Usage("--folder needs a value");
            if (U16Find(kSeparators, parsed.folder.back()) == nullptr) parsed.folder += kSeparators[0];
        } else if (arg == u"--fetch" || arg.starts_with(u"--fetch=")) {
            if (arg == u"--fetch" && i + 1 == args.size()) return Usage("--fetch needs a value");
            const std::u16string source = arg == u"--fetch" ? args[++i] : arg.substr(8);
            const std::string word = Utf8(source);
            const char* address = RatesAddressOf(word);
            if (address == nullptr) return Usage("--fetch takes cbr, ecb or an http(s) URL", source);
            parsed.fetchUrl = address;
        } else if (arg.starts_with(u"--")) {
            return Usage("unknown option", arg);
        } else if (!parsed.file.empty()) {
            return Usage("more than one FILE", arg);
        } else {
            parsed.file = arg;
        }
    }
    if (!parsed.fetchUrl.empty() && !parsed.file.empty()) return Usage("FILE and --fetch both given", parsed.file);
    return parsed.file.empty() && parsed.fetchUrl.empty() ? Usage("no FILE") : -1;
}

std::FILE* OpenInput(const std::u16string& path)
{
#ifdef _WIN32
    return _wfopen(reinterpret_cast<const wchar_t*>(path.c_str()), L"rb");
#else
    return std::fopen(Utf8(path).c_str(), "rb");
#endif
}

// One byte past the importer's limit is enough for it to refuse the file.
bool ReadInput(std::FILE* in, std::string& bytes)
{
    char block[65536];
    size_t got = 0;
    while (bytes.size() <= kRatesFileLimit && (got = std::fread(block, 1, sizeof block, in)) > 0)
        bytes.append(block, got);
    return !std::ferror(in);
}

// The record file's Windows-1251 text as UTF-8.
std::string Utf8FromRecordText(const std::string& bytes)
{
    std::u16string text;
    for (char byte : bytes) text += DecodeNameByte(static_cast<unsigned char>(byte));
    return Utf8(text);
}

int Run(const std::vector<std::u16string>& args)
{
    Arguments arguments;
    if (const int status = ParseArguments(args, arguments); status >= 0) return status;
    const bool standardInput = arguments.file == u"-";
    const bool fetch = !arguments.fetchUrl.empty();
    const std::string shown = fetch ? arguments.fetchUrl : standardInput ? "stdin" : Utf8(arguments.file);

    std::string bytes;
    if (fetch) {
        RatesProblem problem;
        if (!FetchRates(arguments.fetchUrl, RatesFetchLimits{}, bytes, problem)) {
            std::fprintf(stderr, "vela-rates: %s: %s\n", shown.c_str(), Utf8(RatesProblemText(problem)).c_str());
            return kExitRefused;
        }
    }
    std::FILE* in = fetch ? nullptr : standardInput ? stdin : OpenInput(arguments.file);
    const bool read = fetch || (in != nullptr && ReadInput(in, bytes));
    if (in != nullptr && !standardInput) std::fclose(in);
    if (!read) {
        std::fprintf(stderr, "vela-rates: %s: %s\n", shown.c_str(), RatesTextOf(kRatesUnreadable));
        return kExitRefused;
    }

    RatesProblem problem;
    RatesImport import;
    const char16_t* folder = arguments.folder.c_str();
    RatesOutcome outcome = PrepareRatesImport(bytes.data(), bytes.size(), folder, import, problem);
    if (outcome == kRatesWritten && !arguments.print) outcome = SaveRatesImport(import, folder, problem);
    const std::string text = Utf8(RatesProblemText(problem));
    switch (outcome) {
    case kRatesWritten:
        if (arguments.print) {
            const std::string printed = Utf8FromRecordText(RatesImportText(import));
            std::fwrite(printed.data(), 1, printed.size(), stdout);
        }
        return kExitDone;
    case kRatesRefused:
        if (problem.line > 0) std::fprintf(stderr, "vela-rates: %s:%d: %s\n", shown.c_str(), problem.line, text.c_str());
        else std::fprintf(stderr, "vela-rates: %s: %s\n", shown.c_str(), text.c_str());
        return kExitRefused;
    case kRatesNotWritten:
        break;
    }
    const size_t fault = static_cast<size_t>(problem.file.fault);
    char reason[160];
    std::snprintf(reason, sizeof reason, fault < std::size(kFaultTexts) ? kFaultTexts[fault] : kFaultTexts[0],
                  problem.file.line);
    std::fprintf(stderr, "vela-rates: %s: %s: %s\n", Utf8(arguments.folder + u"currency.txt").c_str(), text.c_str(),
                 reason);
    return kExitNotWritten;
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv)
{
    // Bytes as they are: the file from standard input, UTF-8 out.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    SetConsoleOutputCP(CP_UTF8);
    std::vector<std::u16string> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(reinterpret_cast<const char16_t*>(argv[i]));
    return Run(args);
}
#else
int main(int argc, char** argv)
{
    std::vector<std::u16string> args;
    for (int i = 1; i < argc; ++i) {
        std::u16string arg;
        if (!Utf16FromUtf8(argv[i], arg)) return Usage("an argument is no UTF-8");
        args.push_back(arg);
    }
    return Run(args);
}
#endif
