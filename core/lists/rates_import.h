// Exchange rates from a central bank's daily file into the currency file.
//
// PrepareRatesImport reads one downloaded file (rates_file.h: the Bank of
// Russia's XML, the European Central Bank's XML or CSV) and the currency file
// folder + "currency.txt", and works out what that file would hold with the
// file's rates; SaveRatesImport writes it:
//
//   ; Курсы ЦБ РФ на 15.01.2026          <- always the first line
//   ; Нет в файле ЦБ РФ, курсы прежние: Кр.шв.
//   ; (the other comments of the old file, as they were)
//   1,2,3                                <- the quick currencies, by name
//   Рубль=1.000000                       <- the base currency (ЕЦБ: Евро)
//   Доллар=80.250000                     <- the worth of one unit, file order
//   Кр.шв.=7.500000                      <- old currencies the file lacks
//
// - Names: one fixed Russian name of at most 6 letters for every currency
//   either bank publishes (Доллар, Дол.ав, Кр.шв., Руп.ид, ...), whatever
//   else the file holds; the ISO code for a currency the table lacks.
// - An old record stands for a new currency when its name is that
//   currency's name or ISO code, or a name an earlier version gave it
//   ("Крона" for the Swedish krona). The quick currencies stay on theirs. Old
//   records the file lacks are kept after the new ones and named in a
//   comment; their rates are brought into the new base through a currency
//   both tables hold (the new base first), or kept as they were when there
//   is none, which the comment says.
// - The old file's comments (those of the last import aside) all come before
//   the header, each line ended as written lines end; blank lines go.
// - The file is written by SaveRecordFile, so a failure leaves it as it was.
//   A refused bank file never touches it.
#pragma once

#include <string>
#include <vector>

#include "core/lists/rates_file.h"
#include "core/lists/record_list.h"

enum RatesOutcome : int {
    kRatesWritten,     // the currency file holds the new rates (prepared: it can be written)
    kRatesRefused,     // the bank file was refused; nothing written
    kRatesNotWritten,  // the currency file could not be read or written; it is as it was
};

// What an import writes into the currency file.
struct RatesImport {
    std::string head;                   // comment lines, Windows-1251, kRecordLineEnd each; source and date first
    std::vector<std::u16string> names;  // the records, file order
    std::vector<double> values;
    int quick[kQuickCurrencyCount] = {};  // 0-based, as RecordList::picks
    char16_t date[kRatesDateCapacity] = {};  // "DD.MM.YYYY" of the bank file
};

// Reads the bank file `bytes` and folder + "currency.txt" (folder ends in the
// path separator; the file may be missing) into `import`; writes nothing.
// kRatesWritten when `import` is ready; else `problem` tells why.
RatesOutcome PrepareRatesImport(const char* bytes, size_t size, const char16_t* folder, RatesImport& import,
                                RatesProblem& problem);

// Rewrites (or creates) folder + "currency.txt" with `import`. kRatesWritten,
// or kRatesNotWritten with `problem` telling why. After kRatesWritten the
// program loads its currency table again (LoadList).
RatesOutcome SaveRatesImport(const RatesImport& import, const char16_t* folder, RatesProblem& problem);

// PrepareRatesImport, then SaveRatesImport.
RatesOutcome ImportRates(const char* bytes, size_t size, const char16_t* folder, RatesProblem& problem);

// The bytes SaveRatesImport writes for `import` (Windows-1251).
std::string RatesImportText(const RatesImport& import);

// The "DD.MM.YYYY" that ends the first comment line of folder +
// "currency.txt" (before its header), as an import writes it: the program
// shows "Курсы на <date>". False when the file or such a date is missing.
bool ReadRatesDate(const char16_t* folder, char16_t (&date)[kRatesDateCapacity]);
