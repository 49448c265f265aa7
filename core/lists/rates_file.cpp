#include "core/lists/rates_file.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "core/text/numbers.h"
#include "core/text/text16.h"

namespace {

using std::string_view;

constexpr int kDepthLimit = 16;
constexpr size_t kNameLimit = 64;      // of an element or an attribute
constexpr size_t kValueLimit = 256;    // an attribute's value, an element's text
constexpr size_t kAttributeLimit = 8;  // the files use two at most
constexpr size_t kCurrencyLimit = 1000;
constexpr size_t kDetailLimit = 40;
static_assert(kDetailLimit + 2 <= kRatesDetailCapacity, "a detail, its ellipsis and the NUL fit");

bool Refuse(RatesProblem& problem, int line, RatesText code, string_view detail = {})
{
    return RefuseRates(problem, line, code, detail.data(), detail.size());
}

// ---- Small readers of fixed forms -------------------------------------------------

bool IsXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

string_view Trim(string_view text)
{
    while (!text.empty() && IsXmlSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsXmlSpace(text.back())) text.remove_suffix(1);
    return text;
}

bool EqualNoCase(string_view text, string_view lower)
{
    if (text.size() != lower.size()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] - 'A' + 'a') : text[i];
        if (c != lower[i]) return false;
    }
    return true;
}

// A whole number of at most 9 digits and nothing else, or -1.
int ReadDigits(string_view text)
{
    if (text.empty() || text.size() > 9) return -1;
    int value = 0;
    for (char c : text) {
        if (!IsAsciiDigit(c)) return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

// Digits with at most one decimal point or comma and nothing else: the only
// numbers the files hold. False for anything else and for a number too large
// for a double.
bool ReadPlainDecimal(string_view text, double& value)
{
    char copy[40];
    if (text.empty() || text.size() >= sizeof copy) return false;
    bool point = false;
    bool digit = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (IsAsciiDigit(c)) {
            digit = true;
            copy[i] = c;
        } else if ((c == '.' || c == ',') && !point) {
            point = true;
            copy[i] = '.';
        } else {
            return false;
        }
    }
    value = ReadLeadingDecimal(copy, text.size());
    return digit && std::isfinite(value);
}

// DD.MM.YYYY of a real day of a year 1000..9999.
bool MakeDate(int day, int month, int year, char (&date)[kRatesDateCapacity])
{
    static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1000 || year > 9999 || month < 1 || month > 12 || day < 1 || day > kDays[month - 1]) return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (month == 2 && day == 29 && !leap) return false;
    // The remainders only tell the compiler that the text fits.
    std::snprintf(date, sizeof date, "%02u.%02u.%04u", static_cast<unsigned>(day) % 100u,
                  static_cast<unsigned>(month) % 100u, static_cast<unsigned>(year) % 10000u);
    return true;
}

// "15.01.2026"
bool ReadDottedDate(string_view text, char (&date)[kRatesDateCapacity])
{
    if (text.size() != 10 || text[2] != '.' || text[5] != '.') return false;
    const int day = ReadDigits(text.substr(0, 2)), month = ReadDigits(text.substr(3, 2));
    return MakeDate(day, month, ReadDigits(text.substr(6, 4)), date);
}

// "2026-01-15"
bool ReadIsoDate(string_view text, char (&date)[kRatesDateCapacity])
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
    const int year = ReadDigits(text.substr(0, 4)), month = ReadDigits(text.substr(5, 2));
    return MakeDate(ReadDigits(text.substr(8, 2)), month, year, date);
}

// "15 January 2026"
bool ReadWordDate(string_view text, char (&date)[kRatesDateCapacity])
{
    static const string_view kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                          "July",    "August",   "September", "October", "November", "December"};
    const size_t first = text.find(' ');
    const size_t last = text.rfind(' ');
    if (first == string_view::npos || first == last) return false;
    const string_view month = Trim(text.substr(first, last - first));
    for (int m = 0; m < 12; ++m)
        if (month == kMonths[m]) return MakeDate(ReadDigits(text.substr(0, first)), m + 1,
                                                ReadDigits(text.substr(last + 1)), date);
    return false;
}

bool IsCurrencyCode(string_view code)
{
    if (code.size() != 3) return false;
    for (char c : code)
        if (c < 'A' || c > 'Z') return false;
    return true;
}

// Appends one more currency: its code checked, never the base currency or
// one the file already named.
bool AddRate(BankRates& rates, string_view code, int codeLine, double worth, int line, RatesProblem& problem)
{
    if (!IsCurrencyCode(code)) return Refuse(problem, codeLine, kRatesBadCode, code);
    if (code == (rates.source == kRatesFromCbr ? "RUB" : "EUR"))
        return Refuse(problem, codeLine, kRatesBaseInFile, code);
    for (const BankRate& earlier : rates.rates)
        if (code == earlier.code) return Refuse(problem, codeLine, kRatesRepeatedCode, code);
    if (rates.rates.size() == kCurrencyLimit) return Refuse(problem, codeLine, kRatesTooManyCurrencies);
    BankRate rate{};
    std::memcpy(rate.code, code.data(), 3);
    rate.worth = worth;
    rate.line = line;
    rates.rates.push_back(rate);
    return true;
}

// ---- Characters ---------------------------------------------------------------------

std::string HexByte(unsigned char byte)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", byte);
    return text;
}

// Control characters other than tab and the line ends are no text in any of
// the files; in UTF-8 every character must be well formed.
bool CheckCharacters(string_view text, bool utf8, RatesProblem& problem)
{
    int line = 1;
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text.data());
    for (size_t i = 0; i < text.size();) {
        const unsigned char byte = bytes[i];
        if (byte == '\n') ++line;
        if (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r')
            return Refuse(problem, line, kRatesControlChar, HexByte(byte));
        char32_t c = 0;
        const size_t length = utf8 ? DecodeUtf8(bytes + i, text.size() - i, c) : 1;
        if (length == 0) return Refuse(problem, line, kRatesBadUtf8, HexByte(byte));
        i += length;
    }
    return true;
}

bool IsXmlChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

void AppendCodePoint(std::string& out, char32_t c)
{
    char16_t units[3] = {};
    if (c >= 0x10000) {
        units[0] = static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
        units[1] = static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
        units[0] = static_cast<char16_t>(c);
    }
    char bytes[8];
    out.append(bytes, U16ToUtf8(units, bytes, sizeof bytes));
}

// ---- XML ----------------------------------------------------------------------------

// The unread rest of the file and the line it has reached.
struct Cursor {
    const char* p;
    const char* end;
    int line = 1;

    bool AtEnd() const { return p == end; }
    size_t Left() const { return static_cast<size_t>(end - p); }
    bool StartsWith(string_view s) const { return Left() >= s.size() && std::memcmp(p, s.data(), s.size()) == 0; }
    char Take()
    {
        if (*p == '\n') ++line;
        return *p++;
    }
    void Skip(size_t n)
    {
        while (n-- > 0) Take();
    }
    void SkipSpace()
    {
        while (!AtEnd() && IsXmlSpace(*p)) Take();
    }
};

struct XmlAttribute {
    std::string name;
    std::string value;  // references resolved (UTF-8)
    int line = 0;
};

enum XmlEventKind { kXmlStart, kXmlEnd, kXmlDone };

struct XmlEvent {
    XmlEventKind kind = kXmlDone;
    std::string name;
    XmlAttribute attributes[kAttributeLimit];  // of a start tag
    size_t attributeCount = 0;
    std::string text;  // at the end: the element's own text, trimmed, references resolved
    int line = 0;      // of the tag; at the end, of the text when there is some
    int depth = 0;     // the root is 1
};

// Hands out the elements of a document one start and one end at a time;
// nesting is kept on a stack of bounded depth, never by recursion.
struct XmlReader {
    XmlReader(const Cursor& at, RatesProblem& problemOut) : cursor(at), problem(problemOut) {}
    Cursor cursor;
    RatesProblem& problem;
    std::string open[kDepthLimit];
    int depth = 0;
    bool rootDone = false;
    bool closeNext = false;  // the last start tag was "<x/>": its end comes next
    std::string text;        // of the innermost open element, since its last child
    int textLine = 0;
};

string_view LocalName(string_view name)
{
    const size_t colon = name.find(':');
    return colon == string_view::npos ? name : name.substr(colon + 1);
}

const XmlAttribute* FindAttribute(const XmlEvent& event, string_view name)
{
    for (size_t k = 0; k < event.attributeCount; ++k)
        if (event.attributes[k].name == name) return &event.attributes[k];
    return nullptr;
}

bool Unexpected(Cursor& c, RatesProblem& problem)
{
    if (c.AtEnd()) return Refuse(problem, c.line, kRatesTruncated);
    return Refuse(problem, c.line, kRatesUnexpected, string_view(c.p, std::min<size_t>(c.Left(), 8)));
}

bool IsNameStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':'; }
bool IsNameChar(char c) { return IsNameStart(c) || IsAsciiDigit(c) || c == '-' || c == '.'; }

bool ReadName(Cursor& c, std::string& name, RatesProblem& problem)
{
    name.clear();
    if (c.AtEnd() || !IsNameStart(*c.p)) return Unexpected(c, problem);
    while (!c.AtEnd() && IsNameChar(*c.p)) {
        if (name.size() == kNameLimit) return Refuse(problem, c.line, kRatesLongName, name);
        name += c.Take();
    }
    return true;
}

int HexDigit(char c)
{
    if (IsAsciiDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// At "&": appends the character the reference stands for.
bool ReadReference(Cursor& c, std::string& out, RatesProblem& problem)
{
    static const struct {
        string_view name;
        char character;
    } kEntities[] = {{"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''}};
    const string_view window(c.p, std::min<size_t>(c.Left(), 12));  // "&#x10FFFF;" is the longest
    const size_t semicolon = window.find(';');
    if (semicolon == string_view::npos) return Refuse(problem, c.line, kRatesAmpersand, window);
    const string_view reference = window.substr(0, semicolon + 1);
    const string_view body = reference.substr(1, semicolon - 1);
    for (const auto& entity : kEntities) {
        if (body == entity.name) {
            out += entity.character;
            c.Skip(reference.size());
            return true;
        }
    }
    if (body.empty() || body[0] != '#') return Refuse(problem, c.line, kRatesEntity, reference);
    const bool hex = body.size() > 1 && body[1] == 'x';
    const string_view digits = body.substr(hex ? 2 : 1);
    char32_t code = 0;
    bool valid = !digits.empty();
    for (char d : digits) {
        const int value = hex ? HexDigit(d) : (IsAsciiDigit(d) ? d - '0' : -1);
        if (value < 0 || code > 0x10FFFF) {
            valid = false;
            break;
        }
        code = code * (hex ? 16 : 10) + static_cast<char32_t>(value);
    }
    if (!valid || !IsXmlChar(code)) return Refuse(problem, c.line, kRatesCharReference, reference);
    AppendCodePoint(out, code);
    c.Skip(reference.size());
    return true;
}

bool CheckValueSize(const std::string& value, int line, RatesProblem& problem)
{
    return value.size() <= kValueLimit || Refuse(problem, line, kRatesLongValue);
}

// One character of text, or one reference.
bool ReadText(XmlReader& r)
{
    Cursor& c = r.cursor;
    if (r.depth == 0) {
        if (!IsXmlSpace(*c.p)) return Refuse(r.problem, c.line, kRatesTextOutside,
                                              string_view(c.p, std::min<size_t>(c.Left(), 8)));
        c.Take();
        return true;
    }
    if (r.text.empty()) {
        if (IsXmlSpace(*c.p)) {
            c.Take();
            return true;
        }
        r.textLine = c.line;
    }
    if (*c.p == '&') {
        if (!ReadReference(c, r.text, r.problem)) return false;
    } else {
        r.text += c.Take();
    }
    return CheckValueSize(r.text, r.textLine, r.problem);
}

bool ReadQuoted(Cursor& c, std::string& value, RatesProblem& problem)
{
    if (c.AtEnd() || (*c.p != '"' && *c.p != '\'')) return Unexpected(c, problem);
    const int line = c.line;
    const char quote = c.Take();
    value.clear();
    for (;;) {
        if (c.AtEnd()) return Refuse(problem, line, kRatesUnquoted);
        if (*c.p == quote) break;
        if (*c.p == '<') return Refuse(problem, c.line, kRatesLessThanInValue);
        if (*c.p == '&') {
            if (!ReadReference(c, value, problem)) return false;
        } else {
            value += c.Take();
        }
        if (!CheckValueSize(value, line, problem)) return false;
    }
    c.Take();
    return true;
}

bool ReadStartTag(XmlReader& r, XmlEvent& e)
{
    Cursor& c = r.cursor;
    e.line = c.line;
    c.Take();
    if (!ReadName(c, e.name, r.problem)) return false;
    if (r.rootDone) return Refuse(r.problem, e.line, kRatesSecondRoot, e.name);
    if (r.depth == kDepthLimit) return Refuse(r.problem, e.line, kRatesTooDeep);
    e.attributeCount = 0;
    for (;;) {
        const bool spaced = !c.AtEnd() && IsXmlSpace(*c.p);
        c.SkipSpace();
        if (c.AtEnd()) return Refuse(r.problem, c.line, kRatesTruncatedInTag, e.name);
        if (*c.p == '>') {
            c.Take();
            break;
        }
        if (c.StartsWith("/>")) {
            c.Skip(2);
            r.closeNext = true;
            break;
        }
        if (!spaced) return Unexpected(c, r.problem);
        if (e.attributeCount == kAttributeLimit) return Refuse(r.problem, c.line, kRatesManyAttributes);
        XmlAttribute& attribute = e.attributes[e.attributeCount];
        attribute.line = c.line;
        if (!ReadName(c, attribute.name, r.problem)) return false;
        if (FindAttribute(e, attribute.name) != nullptr)
            return Refuse(r.problem, c.line, kRatesRepeatedAttribute, attribute.name);
        c.SkipSpace();
        if (c.AtEnd() || *c.p != '=') return Unexpected(c, r.problem);
        c.Take();
        c.SkipSpace();
        if (!ReadQuoted(c, attribute.value, r.problem)) return false;
        ++e.attributeCount;
    }
    e.kind = kXmlStart;
    r.open[r.depth++] = e.name;
    e.depth = r.depth;
    r.text.clear();
    return true;
}

void EndElement(XmlReader& r, XmlEvent& e, int tagLine)
{
    e.kind = kXmlEnd;
    e.name = r.open[r.depth - 1];
    e.depth = r.depth;
    while (!r.text.empty() && IsXmlSpace(r.text.back())) r.text.pop_back();
    e.text = r.text;
    e.line = r.text.empty() ? tagLine : r.textLine;
    r.text.clear();
    if (--r.depth == 0) r.rootDone = true;
}

bool ReadEndTag(XmlReader& r, XmlEvent& e)
{
    Cursor& c = r.cursor;
    const int line = c.line;
    c.Skip(2);
    std::string name;
    if (!ReadName(c, name, r.problem)) return false;
    c.SkipSpace();
    if (c.AtEnd() || *c.p != '>') return Unexpected(c, r.problem);
    c.Take();
    if (r.depth == 0 || name != r.open[r.depth - 1]) return Refuse(r.problem, line, kRatesMisplacedClose, name);
    EndElement(r, e, line);
    return true;
}

// The next start or end of an element, or the end of the document.
bool NextEvent(XmlReader& r, XmlEvent& e)
{
    Cursor& c = r.cursor;
    if (r.closeNext) {
        r.closeNext = false;
        EndElement(r, e, c.line);
        return true;
    }
    for (;;) {
        if (c.AtEnd()) {
            if (r.depth > 0) return Refuse(r.problem, c.line, kRatesTruncatedOpen, r.open[r.depth - 1]);
            if (!r.rootDone) return Refuse(r.problem, c.line, kRatesNoRoot);
            e.kind = kXmlDone;
            return true;
        }
        if (*c.p != '<') {
            if (!ReadText(r)) return false;
        } else if (c.StartsWith("<!--")) {
            const int line = c.line;
            const char* close = nullptr;
            for (const char* p = c.p + 4; close == nullptr && p + 3 <= c.end; ++p)
                if (std::memcmp(p, "-->", 3) == 0) close = p;
            if (close == nullptr) return Refuse(r.problem, line, kRatesOpenComment);
            c.Skip(static_cast<size_t>(close + 3 - c.p));
        } else if (c.StartsWith("<?")) {
            return Refuse(r.problem, c.line, kRatesInstruction);
        } else if (c.StartsWith("<!")) {
            return Refuse(r.problem, c.line, kRatesUnsupported, string_view(c.p, std::min<size_t>(c.Left(), 9)));
        } else if (c.StartsWith("</")) {
            return ReadEndTag(r, e);
        } else {
            return ReadStartTag(r, e);
        }
    }
}

// `<?xml version="1.0" encoding="..."?>`: the encoding, or utf-8 without one.
bool ReadDeclaration(Cursor& c, std::string& encoding, RatesProblem& problem)
{
    encoding = "utf-8";
    if (!c.StartsWith("<?xml") || c.Left() < 6 || !IsXmlSpace(c.p[5])) return true;
    c.Skip(5);
    std::string name, value;
    for (;;) {
        c.SkipSpace();
        if (c.StartsWith("?>")) {
            c.Skip(2);
            return true;
        }
        if (!ReadName(c, name, problem)) return false;
        c.SkipSpace();
        if (c.AtEnd() || *c.p != '=') return Unexpected(c, problem);
        c.Take();
        c.SkipSpace();
        if (!ReadQuoted(c, value, problem)) return false;
        if (name == "encoding") encoding = value;
    }
}

// ---- The three shapes ------------------------------------------------------------

bool ReadCbr(XmlReader& r, const XmlEvent& root, BankRates& rates)
{
    RatesProblem& problem = r.problem;
    rates.source = kRatesFromCbr;
    const XmlAttribute* date = FindAttribute(root, "Date");
    if (date == nullptr) return Refuse(problem, root.line, kRatesNoCbrDate);
    if (!ReadDottedDate(Trim(date->value), rates.date))
        return Refuse(problem, date->line, kRatesBadDate, date->value);

    struct Field {
        string_view name;
        std::string text;
        int line;
        bool seen;
    };
    Field fields[] = {{"CharCode", {}, 0, false}, {"Nominal", {}, 0, false}, {"Value", {}, 0, false}};
    Field& code = fields[0];
    Field& nominal = fields[1];
    Field& value = fields[2];
    int valuteLine = 0;
    XmlEvent e;
    for (;;) {
        if (!NextEvent(r, e)) return false;
        if (e.kind == kXmlDone) return true;
        if (e.kind == kXmlStart && e.depth == 2 && e.name == "Valute") {
            valuteLine = e.line;
            for (Field& field : fields) field.seen = false;
        } else if (e.kind == kXmlEnd && e.depth == 3 && valuteLine != 0) {
            for (Field& field : fields) {
                if (e.name != field.name) continue;
                if (field.seen) return Refuse(problem, e.line, kRatesSecondField, e.name);
                field = {field.name, e.text, e.line, true};
            }
        } else if (e.kind == kXmlEnd && e.depth == 2 && valuteLine != 0) {
            for (const Field& field : fields)
                if (!field.seen) return Refuse(problem, valuteLine, kRatesMissingField, field.name);
            const int units = ReadDigits(nominal.text);
            if (units <= 0) return Refuse(problem, nominal.line, kRatesBadNominal, nominal.text);
            double roubles = 0;
            if (!ReadPlainDecimal(value.text, roubles)) return Refuse(problem, value.line, kRatesBadRate, value.text);
            if (roubles <= 0) return Refuse(problem, value.line, kRatesNotPositive, code.text);
            if (!AddRate(rates, code.text, code.line, roubles / units, value.line, problem)) return false;
            valuteLine = 0;
        }
    }
}

bool ReadEcbXml(XmlReader& r, BankRates& rates)
{
    RatesProblem& problem = r.problem;
    rates.source = kRatesFromEcb;
    int dayDepth = 0;  // of the Cube that carries the date, while it is open
    bool dated = false;
    XmlEvent e;
    for (;;) {
        if (!NextEvent(r, e)) return false;
        if (e.kind == kXmlDone) break;
        if (e.kind == kXmlEnd && e.depth == dayDepth) dayDepth = 0;
        if (e.kind != kXmlStart || LocalName(e.name) != "Cube") continue;
        const XmlAttribute* time = FindAttribute(e, "time");
        const XmlAttribute* currency = FindAttribute(e, "currency");
        const XmlAttribute* rate = FindAttribute(e, "rate");
        if (time != nullptr) {
            if (dated) return Refuse(problem, e.line, kRatesSeveralDays);
            if (!ReadIsoDate(Trim(time->value), rates.date))
                return Refuse(problem, time->line, kRatesBadDate, time->value);
            dated = true;
            dayDepth = e.depth;
        }
        if (currency == nullptr && rate == nullptr) continue;
        if (currency == nullptr || rate == nullptr)
            return Refuse(problem, e.line, kRatesMissingAttribute, currency == nullptr ? "currency" : "rate");
        if (dayDepth == 0 || time != nullptr) return Refuse(problem, e.line, kRatesUndatedRate);
        double perEuro = 0;
        if (!ReadPlainDecimal(Trim(rate->value), perEuro))
            return Refuse(problem, rate->line, kRatesBadRate, rate->value);
        if (perEuro <= 0) return Refuse(problem, rate->line, kRatesNotPositive, currency->value);
        if (!AddRate(rates, Trim(currency->value), currency->line, 1 / perEuro, rate->line, problem)) return false;
    }
    return dated || Refuse(problem, 0, kRatesNoEcbDate);
}

// A file that was UTF-16 is read as the UTF-8 it was turned into, whatever
// its declaration says: an editor that saved it so changed the characters,
// seldom the declaration.
bool ReadXml(string_view text, bool byteOrderMark, bool wasUtf16, BankRates& rates, RatesProblem& problem)
{
    Cursor cursor{text.data(), text.data() + text.size()};
    cursor.SkipSpace();
    std::string encoding;
    if (!ReadDeclaration(cursor, encoding, problem)) return false;
    if (wasUtf16) encoding = "utf-8";
    const bool utf8 = EqualNoCase(encoding, "utf-8");
    if (!utf8 && !EqualNoCase(encoding, "windows-1251"))
        return Refuse(problem, 1, kRatesEncoding, encoding);
    if (byteOrderMark && !utf8) return Refuse(problem, 1, kRatesBomMismatch, encoding);
    if (!CheckCharacters(text, utf8, problem)) return false;

    XmlReader reader(cursor, problem);
    XmlEvent root;
    if (!NextEvent(reader, root)) return false;
    if (root.kind != kXmlStart) return Refuse(problem, reader.cursor.line, kRatesNoRoot);
    if (root.name == "ValCurs") return ReadCbr(reader, root, rates);
    if (LocalName(root.name) == "Envelope") return ReadEcbXml(reader, rates);
    if (EqualNoCase(LocalName(root.name), "html")) return Refuse(problem, 0, kRatesWebPage);
    return Refuse(problem, root.line, kRatesWrongRoot,
                  root.name);
}

// The fields of one CSV line, trimmed; trailing empty fields dropped. False
// for more than `limit` fields.
bool SplitCsv(string_view row, std::vector<string_view>& fields, size_t limit)
{
    fields.clear();
    for (size_t at = 0;;) {
        const size_t comma = row.find(',', at);
        fields.push_back(Trim(row.substr(at, comma == string_view::npos ? string_view::npos : comma - at)));
        if (fields.size() > limit) return false;
        if (comma == string_view::npos) break;
        at = comma + 1;
    }
    while (!fields.empty() && fields.back().empty()) fields.pop_back();
    return true;
}

// The date, every currency, and the empty field after a trailing comma.
constexpr size_t kCsvFieldLimit = kCurrencyLimit + 2;

// "Date, USD, JPY, ..." and one line "15 January 2026, 1.0875, 162.34, ...".
bool ReadCsv(string_view text, BankRates& rates, RatesProblem& problem)
{
    rates.source = kRatesFromEcb;
    std::vector<string_view> codes, fields;
    int line = 0;
    int headerLine = 0;
    bool dated = false;
    for (size_t at = 0; at < text.size();) {
        ++line;
        const size_t newline = text.find('\n', at);
        const size_t end = newline == string_view::npos ? text.size() : newline;
        string_view row = text.substr(at, end - at);
        at = end + 1;
        for (char c : row)
            if ((static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\r') || static_cast<unsigned char>(c) >= 0x7F)
                return Refuse(problem, line, kRatesBadByte, HexByte(static_cast<unsigned char>(c)));
        if (Trim(row).empty()) continue;
        if (headerLine == 0) {
            headerLine = line;
            if (!SplitCsv(row, codes, kCsvFieldLimit)) return Refuse(problem, line, kRatesTooManyCurrencies);
            if (codes.empty() || codes[0] != "Date") return Refuse(problem, line, kRatesFirstFieldNotDate);
            for (size_t k = 1; k < codes.size(); ++k)
                if (!IsCurrencyCode(codes[k])) return Refuse(problem, line, kRatesBadCode, codes[k]);
            continue;
        }
        if (dated) return Refuse(problem, line, kRatesSeveralDays);
        if (!SplitCsv(row, fields, kCsvFieldLimit) || fields.size() != codes.size())
            return Refuse(problem, line, kRatesFieldCount, std::to_string(headerLine));
        // The daily file writes "15 January 2026", the history "2026-01-15".
        if (!ReadWordDate(fields[0], rates.date) && !ReadIsoDate(fields[0], rates.date))
            return Refuse(problem, line, kRatesBadDate, fields[0]);
        dated = true;
        for (size_t k = 1; k < fields.size(); ++k) {
            if (fields[k] == "N/A") continue;  // not quoted that day
            double perEuro = 0;
            if (!ReadPlainDecimal(fields[k], perEuro)) return Refuse(problem, line, kRatesBadRate, fields[k]);
            if (perEuro <= 0) return Refuse(problem, line, kRatesNotPositive, codes[k]);
            if (!AddRate(rates, codes[k], headerLine, 1 / perEuro, line, problem)) return false;
        }
    }
    return dated || Refuse(problem, line, kRatesNoRow);
}

// UTF-16 (a byte order mark, or none and a NUL beside the first character)
// as UTF-8; false, with `problem` set, for units that make no character.
bool IsUtf16(string_view text)
{
    if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF")) return true;
    return text.size() >= 2 && (text[0] == 0) != (text[1] == 0);
}

bool Utf8FromUtf16(string_view text, std::string& out, RatesProblem& problem)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    bool bigEndian = text.starts_with("\xFE\xFF") || (!text.starts_with("\xFF\xFE") && text[0] == 0);
    size_t at = text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF") ? 2 : 0;
    const auto unitAt = [&](size_t i) -> char32_t {
        return bigEndian ? (byte(i) << 8) | byte(i + 1) : (byte(i + 1) << 8) | byte(i);
    };
    int line = 1;
    out.clear();
    for (; at + 1 < text.size(); at += 2) {
        char32_t c = unitAt(at);
        if (c >= 0xD800 && c <= 0xDBFF && at + 3 < text.size() && unitAt(at + 2) >= 0xDC00 && unitAt(at + 2) <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unitAt(at + 2) - 0xDC00);
            at += 2;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            char unit[8];
            std::snprintf(unit, sizeof unit, "0x%04X", static_cast<unsigned>(c));
            return Refuse(problem, line, kRatesBadUtf16, unit);
        }
        if (c == '\n') ++line;
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
    return at == text.size() || Refuse(problem, line, kRatesTruncated);
}

// A web page (an error page, a bank's page saved instead of its file): its
// first kilobyte names html.
bool IsWebPage(string_view text)
{
    std::string head(text.substr(0, 1024));
    for (char& c : head) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    return head.find("<!doctype html") != std::string::npos || head.find("<html") != std::string::npos;
}

}  // namespace

bool RefuseRates(RatesProblem& problem, int line, RatesText code, const char* detail, size_t detailSize)
{
    problem.line = line;
    problem.code = code;
    size_t n = 0;
    for (size_t i = 0; i < detailSize && i < kDetailLimit; ++i) {
        const unsigned char byte = static_cast<unsigned char>(detail[i]);
        problem.detail[n++] = byte >= 0x20 && byte < 0x7F ? byte : u'?';
    }
    if (detailSize > kDetailLimit) problem.detail[n++] = u'…';
    problem.detail[n] = 0;
    return false;
}

const char* RatesTextOf(int code)
{
    switch (code) {
#define RATES_TEXT(id, name, text) \
    case id: return text;
#include "core/lists/rates_texts.inc"
#undef RATES_TEXT
    }
    return "";
}

std::u16string FillRatesText(const std::u16string& text, const char16_t* detail)
{
    std::u16string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'%' && i + 1 < text.size() && text[i + 1] == u'1') {
            out += detail;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::u16string RatesProblemText(const RatesProblem& problem)
{
    // The table's texts are well-formed UTF-8 of the Basic Multilingual Plane.
    std::u16string text;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(RatesTextOf(problem.code)); *p != 0;) {
        const size_t length = *p < 0x80 ? 1 : *p < 0xE0 ? 2 : 3;
        char16_t unit = length == 1 ? *p : length == 2 ? (*p & 0x1F) : (*p & 0x0F);
        for (size_t k = 1; k < length && p[k] != 0; ++k) unit = static_cast<char16_t>((unit << 6) | (p[k] & 0x3F));
        text += unit;
        for (size_t k = 0; k < length && *p != 0; ++k) ++p;
    }
    return FillRatesText(text, problem.detail);
}

bool ReadBankRates(const char* bytes, size_t size, BankRates& rates, RatesProblem& problem)
{
    rates = BankRates{};
    if (size > kRatesFileLimit) return Refuse(problem, 0, kRatesTooLarge);
    string_view text(bytes, size);
    if (text.starts_with("PK\x03\x04")) return Refuse(problem, 0, kRatesZip);
    std::string converted;
    const bool wasUtf16 = IsUtf16(text);
    if (wasUtf16) {
        if (!Utf8FromUtf16(text, converted, problem)) return false;
        text = converted;
    }
    const bool byteOrderMark = text.starts_with("\xEF\xBB\xBF");
    if (byteOrderMark) text.remove_prefix(3);
    const string_view content = Trim(text);
    bool read = false;
    if (content.empty()) return Refuse(problem, 0, kRatesEmpty);
    if (IsWebPage(content)) return Refuse(problem, 0, kRatesWebPage);
    if (content[0] == '<') {
        read = ReadXml(text, byteOrderMark, wasUtf16, rates, problem);
    } else if (content.starts_with("Date")) {
        read = ReadCsv(text, rates, problem);
    } else {
        const int line = 1 + static_cast<int>(std::count(text.begin(), text.begin() + (content.data() - text.data()), '\n'));
        return Refuse(problem, line, kRatesUnknownFile, content.substr(0, 16));
    }
    return read && (!rates.rates.empty() || Refuse(problem, 0, kRatesNoCurrency));
}
