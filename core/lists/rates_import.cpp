#include "core/lists/rates_import.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/lists/record_file.h"
#include "core/lists/record_list.h"
#include "core/text/text16.h"

namespace {

using std::string_view;

struct CurrencyName {
    string_view code;
    const char16_t* name;
};

// One fixed Russian name of at most 6 letters for every currency either bank
// publishes, each different from the others, so that a currency's name never
// depends on which others a file holds. Members of a family (dollars, kronor,
// lei, ...) are told apart by their country; the best known keeps the plain
// name. A code missing here (a currency a bank adds) is named by its code.
const CurrencyName kNames[] = {
    {"RUB", u"Рубль"},  {"USD", u"Доллар"}, {"EUR", u"Евро"},   {"CNY", u"Юань"},   {"GBP", u"Фунт"},
    {"JPY", u"Иена"},   {"CHF", u"Франк"},  {"TRY", u"Лира"},   {"KZT", u"Тенге"},  {"UAH", u"Гривна"},
    {"PLN", u"Злотый"}, {"HUF", u"Форинт"}, {"BRL", u"Реал"},   {"KRW", u"Вона"},   {"ZAR", u"Рэнд"},
    {"AMD", u"Драм"},   {"GEL", u"Лари"},   {"KGS", u"Сом"},    {"UZS", u"Сум"},    {"TJS", u"Сомони"},
    {"BGN", u"Лев"},    {"VND", u"Донг"},   {"AED", u"Дирхам"}, {"XDR", u"СДР"},    {"THB", u"Бат"},
    {"ILS", u"Шекель"}, {"MNT", u"Тугрик"}, {"NGN", u"Найра"},  {"BDT", u"Така"},   {"MMK", u"Кьят"},
    {"ETB", u"Быр"},    {"MYR", u"Рингит"},
    {"BYN", u"Руб.бл"}, {"AUD", u"Дол.ав"}, {"CAD", u"Дол.кн"}, {"HKD", u"Дол.гк"}, {"NZD", u"Дол.нз"},
    {"SGD", u"Дол.сг"}, {"EGP", u"Фун.ег"}, {"SEK", u"Кр.шв."}, {"NOK", u"Кр.нор"}, {"DKK", u"Кр.дат"},
    {"CZK", u"Кр.чеш"}, {"ISK", u"Кр.исл"}, {"INR", u"Руп.ин"}, {"IDR", u"Руп.ид"}, {"RON", u"Лей.рм"},
    {"MDL", u"Лей.мд"}, {"RSD", u"Дин.ср"}, {"BHD", u"Дин.бх"}, {"DZD", u"Дин.ал"}, {"QAR", u"Риал.к"},
    {"IRR", u"Риал.и"}, {"OMR", u"Риал.о"}, {"SAR", u"Риял"},   {"AZN", u"Ман.аз"}, {"TMT", u"Ман.тк"},
    {"MXN", u"Пес.мк"}, {"PHP", u"Пес.фл"}, {"CUP", u"Пес.кб"}, {"BOB", u"Болив."},
};

// Names earlier versions gave that now belong to another: the shipped table's
// "Крона" was the Swedish krona, and the one peso of the Bank of Russia's
// files and the one leu of the ECB's were named by their family.
const CurrencyName kEarlierNames[] = {{"SEK", u"Крона"}, {"CUP", u"Песо"}, {"RON", u"Лей"}};

// The default quick currencies after the base, as far as the file has them.
const string_view kPreferredQuick[] = {"USD", "EUR", "GBP", "CNY"};

const char16_t* SourceName(RatesSource source) { return source == kRatesFromCbr ? u"ЦБ РФ" : u"ЕЦБ"; }
string_view BaseCode(RatesSource source) { return source == kRatesFromCbr ? "RUB" : "EUR"; }

// Comments an import writes; an import drops those of the one before.
const char16_t kDateComment[] = u"; Курсы ";
// The shipped table's sentence that names its base currency: an import puts
// the base of its file in.
const char16_t kBaseSentence[] = u"; Курсы валют для Vela: стоимость одной единицы валюты в ";
const char16_t* BaseWord(RatesSource source) { return source == kRatesFromCbr ? u"рублях." : u"евро."; }
const char16_t* const kImportComments[] = {u"; Курсы ЦБ РФ на ", u"; Курсы ЕЦБ на ", u"; Нет в файле "};
constexpr size_t kKeptPerComment = 10;  // names in one comment line, so that it stays short
constexpr size_t kHeadLimit = size_t{16} << 20;  // as the record file reader takes a line

struct Entry {
    std::u16string name;
    double worth;
    string_view code;  // empty for an old record kept
};

std::u16string Widen(string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

// Windows-1251, as the record files hold text.
std::string Encode(const std::u16string& text)
{
    std::string bytes;
    for (char16_t unit : text) bytes += static_cast<char>(EncodeNameUnit(unit));
    return bytes;
}

const char16_t* TableName(string_view code)
{
    for (const CurrencyName& known : kNames)
        if (known.code == code) return known.name;
    return nullptr;
}

// The base currency, then the file's currencies, each named. Every rate is
// positive, and the currency file keeps seven digits of it.
void NameCurrencies(const BankRates& bank, std::vector<Entry>& entries)
{
    const string_view base = BaseCode(bank.source);
    entries.push_back({TableName(base), 1, base});
    for (const BankRate& rate : bank.rates) {
        const char16_t* name = TableName(rate.code);
        entries.push_back({name != nullptr ? name : Widen(rate.code), rate.worth, rate.code});
    }
}

// ---- The old file -----------------------------------------------------------------

// The next line of `rest`, line end included.
string_view TakeLine(string_view& rest)
{
    const size_t newline = rest.find('\n');
    const size_t size = newline == string_view::npos ? rest.size() : newline + 1;
    const string_view line = rest.substr(0, size);
    rest.remove_prefix(size);
    return line;
}

// As the record file reader sees a line: up to its first NUL, without up to
// two trailing line-end bytes; blank when that leaves nothing or it starts
// with a NUL.
bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }
string_view Content(string_view line)
{
    line = line.substr(0, line.find('\0'));
    for (int k = 0; k < 2 && !line.empty() && IsLineEnd(line.back()); ++k) line.remove_suffix(1);
    return line;
}
bool IsBlank(string_view line) { return line[0] == '\0' || (IsLineEnd(line[0]) && Content(line).empty()); }

// Finds where the head of a file ends: before its first record, the line
// after the header that is no comment and not blank. Lines are given one by
// one, each whole with its line end (the last one maybe without).
struct HeadScan {
    bool header = false;
    bool done = false;

    void Take(string_view line)
    {
        if (line[0] == ';' || IsBlank(line)) return;
        done = header;
        header = true;
    }
};

// The head of the file at `path`, read through the record platform; empty
// for a missing file. False when the file cannot be read, or its head is
// longer than any line the record files take.
bool ReadHead(const std::u16string& path, std::string& head)
{
    head.clear();
    const RecordPlatform& platform = CurrentRecordPlatform();
    bool missing = false;
    RecordStream* stream = platform.openRead(path.c_str(), &missing);
    if (stream == nullptr) return missing;
    HeadScan scan;
    size_t scanned = 0;  // the whole lines before this are in `scan`
    char block[16384];
    long got = 0;
    while (!scan.done && head.size() <= kHeadLimit && (got = platform.read(stream, block, sizeof block)) > 0) {
        head.append(block, static_cast<size_t>(got));
        for (size_t newline; !scan.done && (newline = head.find('\n', scanned)) != std::string::npos;) {
            scan.Take(string_view(head).substr(scanned, newline + 1 - scanned));
            if (!scan.done) scanned = newline + 1;
        }
    }
    platform.close(stream);
    if (got < 0 || (!scan.done && head.size() > kHeadLimit)) return false;
    if (!scan.done && scanned < head.size()) scan.Take(string_view(head).substr(scanned));
    if (scan.done) head.resize(scanned);
    return true;
}

bool StartsWithEncoded(string_view line, const char16_t* prefix)
{
    const std::string bytes = Encode(prefix);
    return line.starts_with(bytes);
}

// The comment lines of the head but those the last import wrote, each
// ended as the record file writer ends lines; the header and blank lines go.
// The sentence naming the base currency names the new one.
std::string OldComments(string_view head, RatesSource source)
{
    std::string kept;
    const std::string baseSentence = Encode(std::u16string(kBaseSentence) + BaseWord(source));
    for (string_view rest = head; !rest.empty();) {
        string_view line = TakeLine(rest);
        bool ours = line[0] != ';';
        for (const char16_t* prefix : kImportComments) ours = ours || StartsWithEncoded(line, prefix);
        if (ours) continue;
        if (line.ends_with('\n')) line.remove_suffix(1);
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (StartsWithEncoded(line, kBaseSentence)) line = baseSentence;
        kept += line;
        kept += kRecordLineEnd;
    }
    return kept;
}

// The table in the currency file now, read as the program reads it.
struct OldTable {
    int count = 0;
    char16_t** names = nullptr;
    double* values = nullptr;
    NameBlock block;
    int quick[kRecordMaxHeader] = {};

    OldTable() = default;
    OldTable(const OldTable&) = delete;
    OldTable& operator=(const OldTable&) = delete;
    ~OldTable() { ReleaseRecordTables(&names, &values, block, count); }
};

// ---- Merging --------------------------------------------------------------------------

bool AsciiEqual(const char16_t* text, string_view ascii)
{
    size_t i = 0;
    for (; i < ascii.size(); ++i)
        if (text[i] != static_cast<unsigned char>(ascii[i])) return false;
    return text[i] == 0;
}

int IndexOfCode(const std::vector<Entry>& entries, size_t newCount, string_view code)
{
    for (size_t j = 0; j < newCount; ++j)
        if (entries[j].code == code) return static_cast<int>(j);
    return -1;
}

// The new currency an old record stands for, or -1.
int Counterpart(const std::vector<Entry>& entries, size_t newCount, const char16_t* oldName)
{
    for (size_t j = 0; j < newCount; ++j)
        if (entries[j].name == oldName || AsciiEqual(oldName, entries[j].code)) return static_cast<int>(j);
    for (const CurrencyName& earlier : kEarlierNames)
        if (earlier.name == std::u16string_view(oldName)) return IndexOfCode(entries, newCount, earlier.code);
    return -1;
}

// Without an old table: the base, then the preferred ones, then file order.
void DefaultQuick(const std::vector<Entry>& entries, int (&quick)[kQuickCurrencyCount])
{
    int chosen = 0;
    auto choose = [&](int index) {
        if (index < 0 || index >= static_cast<int>(entries.size()) || chosen == kQuickCurrencyCount) return;
        for (int k = 0; k < chosen; ++k)
            if (quick[k] == index) return;
        quick[chosen++] = index;
    };
    choose(0);
    for (string_view code : kPreferredQuick) choose(IndexOfCode(entries, entries.size(), code));
    for (int index = 1; index < kQuickCurrencyCount; ++index) choose(index);
    while (chosen < kQuickCurrencyCount) quick[chosen++] = 0;
}

struct Merged {
    std::vector<Entry> entries;
    int quick[kQuickCurrencyCount] = {};
    std::vector<std::u16string> kept;  // names of the old records kept
    bool rescaled = false;             // their rates were brought into the new base
};

// New currencies first, then the old records they do not stand for.
void Merge(const OldTable& old, Merged& merged)
{
    std::vector<Entry>& entries = merged.entries;
    const size_t newCount = entries.size();
    std::vector<int> place(static_cast<size_t>(old.count));  // of each old record in the merged table
    for (int i = 0; i < old.count; ++i) place[i] = Counterpart(entries, newCount, old.names[i]);

    // A shared currency tells how many new units an old one is worth.
    double factor = 1;
    for (size_t j = 0; j < newCount && !merged.rescaled; ++j) {
        for (int i = 0; i < old.count && !merged.rescaled; ++i) {
            if (place[i] != static_cast<int>(j) || !(old.values[i] > 0) || !std::isfinite(old.values[i])) continue;
            factor = entries[j].worth / old.values[i];
            merged.rescaled = true;
        }
    }
    for (int i = 0; i < old.count; ++i) {
        if (place[i] >= 0) continue;
        place[i] = static_cast<int>(entries.size());
        entries.push_back({old.names[i], old.values[i] * factor, {}});
        merged.kept.push_back(old.names[i]);
    }
    if (old.count < kCurrencyKind.leastCount) {
        DefaultQuick(entries, merged.quick);
        return;
    }
    for (int k = 0; k < kQuickCurrencyCount; ++k) {
        const int pick = old.quick[k] >= 0 && old.quick[k] < old.count ? old.quick[k] : 0;
        merged.quick[k] = place[pick];
    }
}

// Our comments, in the file's encoding: the source and date, then the old
// records kept, a few to a line. Lines end as the record file writer ends them.
std::string ImportComments(const BankRates& bank, const Merged& merged)
{
    const std::u16string source = SourceName(bank.source);
    const std::u16string end = Widen(kRecordLineEnd);
    std::u16string text = kDateComment + source + u" на " + Widen(bank.date) + end;
    const std::u16string kept = u"; Нет в файле " + source +
                                (merged.rescaled ? u", курсы прежние: " : u", курсы прежние, не пересчитаны: ");
    for (size_t i = 0; i < merged.kept.size(); ++i) {
        text += i % kKeptPerComment == 0 ? kept : u", ";
        text += merged.kept[i];
        if (i % kKeptPerComment == kKeptPerComment - 1 || i + 1 == merged.kept.size()) text += end;
    }
    return Encode(text);
}

// ---- Writing ------------------------------------------------------------------------

// The names as the record file functions take them.
std::vector<char16_t*> NamePointers(const RatesImport& import)
{
    std::vector<char16_t*> names;
    for (const std::u16string& name : import.names) names.push_back(const_cast<char16_t*>(name.c_str()));
    return names;
}

// Records are name and value pairs: a value without a name is none.
int RecordCount(const RatesImport& import)
{
    return static_cast<int>(std::min(import.names.size(), import.values.size()));
}

RatesOutcome NotWritten(RatesProblem& problem, RatesText code, const RecordFileError& error)
{
    RefuseRates(problem, 0, code);
    problem.file = error;
    return kRatesNotWritten;
}

}  // namespace

RatesOutcome PrepareRatesImport(const char* bytes, size_t size, const char16_t* folder, RatesImport& import,
                                RatesProblem& problem)
{
    problem = RatesProblem{};
    import = RatesImport{};
    BankRates bank;
    Merged merged;
    if (!ReadBankRates(bytes, size, bank, problem)) return kRatesRefused;
    NameCurrencies(bank, merged.entries);

    const RecordFileKind& kind = kCurrencyKind.file;
    // Records that could not be read would be lost by the rewrite.
    std::string head;
    if (!ReadHead(std::u16string(folder) + kind.fileName + u".txt", head))
        return NotWritten(problem, kRatesCurrencyUnread, {kRecordUnreadable, 0});
    OldTable old;
    RecordFileError error;
    old.count = LoadRecordList(folder, kind.fileName, kind, old.quick, &old.names, &old.values, old.block, &error);
    if (error.fault != kRecordNoFault) return NotWritten(problem, kRatesCurrencyUnread, error);
    Merge(old, merged);

    import.head = ImportComments(bank, merged) + OldComments(head, bank.source);
    for (const Entry& entry : merged.entries) {
        import.names.push_back(entry.name);
        import.values.push_back(entry.worth);
    }
    std::copy_n(merged.quick, kQuickCurrencyCount, import.quick);
    U16FromAscii(import.date, kRatesDateCapacity, bank.date);
    return kRatesWritten;
}

RatesOutcome SaveRatesImport(const RatesImport& import, const char16_t* folder, RatesProblem& problem)
{
    problem = RatesProblem{};
    const RecordFileKind& kind = kCurrencyKind.file;
    const std::vector<char16_t*> names = NamePointers(import);
    RecordFileError error;
    if (!SaveRecordFile(folder, kind.fileName, kind, import.quick, names.data(), import.values.data(),
                        RecordCount(import), &error, import.head.data(), import.head.size()))
        return NotWritten(problem, kRatesCurrencyNotWritten, error);
    return kRatesWritten;
}

RatesOutcome ImportRates(const char* bytes, size_t size, const char16_t* folder, RatesProblem& problem)
{
    RatesImport import;
    const RatesOutcome prepared = PrepareRatesImport(bytes, size, folder, import, problem);
    return prepared == kRatesWritten ? SaveRatesImport(import, folder, problem) : prepared;
}

std::string RatesImportText(const RatesImport& import)
{
    const std::vector<char16_t*> names = NamePointers(import);
    return RecordFileText(kCurrencyKind.file, import.quick, names.data(), import.values.data(), RecordCount(import),
                          import.head.data(), import.head.size());
}

bool ReadRatesDate(const char16_t* folder, char16_t (&date)[kRatesDateCapacity])
{
    date[0] = 0;
    std::string head;
    if (!ReadHead(std::u16string(folder) + kCurrencyKind.file.fileName + u".txt", head)) return false;
    for (string_view rest = head; !rest.empty();) {
        const string_view line = TakeLine(rest);
        if (IsBlank(line)) continue;
        if (line[0] != ';') return false;
        string_view text = Content(line);
        while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
        if (text.size() < 11) return false;
        const string_view found = text.substr(text.size() - 10);
        if (text[text.size() - 11] != ' ') return false;
        for (size_t i = 0; i < found.size(); ++i)
            if (i == 2 || i == 5 ? found[i] != '.' : !IsAsciiDigit(found[i])) return false;
        U16FromAscii(date, kRatesDateCapacity, std::string(found).c_str());
        return true;
    }
    return false;
}
