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
#include <vector>

#include "core/lists/record_file.h"

// Daily files are some 10 KB; anything near this is not one.
inline constexpr size_t kRatesFileLimit = size_t{2} << 20;
inline constexpr size_t kRatesProblemCapacity = 160;
inline constexpr size_t kRatesDateCapacity = 11;  // "DD.MM.YYYY" and the NUL

// Why a rates file was refused: the 1-based line of the file it is about
// (0: the file as a whole) and what is wrong, in Russian, for the user to
// read after the file's name and the line. When the currency file could not
// be read or written instead, `text` says which and `file` why, as the
// record files tell it.
struct RatesProblem {
    int line = 0;
    char16_t text[kRatesProblemCapacity] = {};
    RecordFileError file;
};

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

// Sets `problem` to `text` with its "{}" replaced by `detail` (bytes of the
// file: printable ASCII is kept, anything else shown as "?", long details
// cut). Returns false, so that a refusal is one statement.
bool RefuseRates(RatesProblem& problem, int line, const char16_t* text, const char* detail = nullptr,
                 size_t detailSize = 0);
