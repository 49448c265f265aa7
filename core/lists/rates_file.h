// The daily exchange-rate files of two central banks, read into one shape:
//
// - Bank of Russia: XML (Windows-1251 or UTF-8), root ValCurs Date="DD.MM.YYYY",
//   one Valute per currency with CharCode, Nominal and Value (a decimal
//   comma): roubles for Nominal units.
// - European Central Bank: XML (gesmes:Envelope, Cube time="YYYY-MM-DD" with
//   Cube currency= rate=), or CSV ("Date, USD, ..." then "15 January 2026,
//   1.0875, ..."): units of the currency per euro.
//
// The XML reader takes exactly what these files use: an XML declaration
// naming windows-1251 or utf-8 (none: utf-8), a UTF-8 byte order mark,
// elements with attributes in either quotes, comments, the five predefined
// entities and character references. Everything else (a DOCTYPE, CDATA,
// processing instructions, other entities, another encoding) is refused with
// the line it stands on. Files are small: sizes, depth and counts are bounded.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/lists/record_file.h"

// Daily files are some 10 KB; anything near this is not one.
inline constexpr size_t kRatesFileLimit = size_t{2} << 20;
inline constexpr size_t kRatesDetailCapacity = 48;
inline constexpr size_t kRatesDateCapacity = 11;  // "DD.MM.YYYY" and the NUL

// The problems a rates file, the currency file of an import or a download
// can have, numbered as the program's string table numbers their texts.
enum RatesText : int {
#define RATES_TEXT(id, code, text) code = id,
#include "core/lists/rates_texts.inc"
#undef RATES_TEXT
};
inline constexpr int kRatesFirstText = kRatesEmpty;

// Why a rates file was refused: the 1-based line of the file it is about
// (0: the file as a whole), what is wrong and the detail that text names
// (bytes of the file: printable ASCII, anything else "?", long ones cut with
// "…"). When the currency file could not be read or written instead, `code`
// says which and `file` why, as the record files tell it. The user reads
// the text after the file's name and the line.
struct RatesProblem {
    int line = 0;
    RatesText code = kRatesEmpty;
    char16_t detail[kRatesDetailCapacity] = {};
    RecordFileError file;
};

// The Russian text of `code` (UTF-8, "%1" for the detail); "" for no code.
const char* RatesTextOf(int code);

// `text` with each "%1" replaced by `detail`.
std::u16string FillRatesText(const std::u16string& text, const char16_t* detail);

// The problem as the user reads it, without the file's name and line.
std::u16string RatesProblemText(const RatesProblem& problem);

enum RatesSource : int { kRatesFromCbr, kRatesFromEcb };

struct BankRate {
    char code[4];  // ISO 4217: three capital letters and the NUL
    double worth;  // one unit in the file's base currency, > 0
    int line;
};

struct BankRates {
    RatesSource source = kRatesFromCbr;
    char date[kRatesDateCapacity] = {};  // DD.MM.YYYY
    std::vector<BankRate> rates;         // file order; never the base currency
};

// Reads one downloaded file. False, with `problem` set, for anything that is
// not one of the three shapes with a date and at least one currency whose
// rate is a positive number; `rates` is then unspecified.
bool ReadBankRates(const char* bytes, size_t size, BankRates& rates, RatesProblem& problem);

// Sets `problem` to `code` at `line` with `detail` (bytes of the file, see
// RatesProblem). Returns false, so that a refusal is one statement.
bool RefuseRates(RatesProblem& problem, int line, RatesText code, const char* detail = nullptr,
                 size_t detailSize = 0);
