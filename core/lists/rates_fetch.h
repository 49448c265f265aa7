// Where the banks publish their daily files, and the bounds of a download:
// one place for the program's "Обновить курсы" and for vela-rates --fetch.
#pragma once

#include <cstddef>
#include <string_view>

#include "core/lists/rates_file.h"

enum RatesBank : int { kRatesBankCbr, kRatesBankEcb, kRatesBankCount };

// The daily files: the Bank of Russia's XML (roubles), the ECB's XML (euros).
inline constexpr const char* kRatesBankAddresses[kRatesBankCount] = {
    "https://www.cbr.ru/scripts/XML_daily.asp",
    "https://www.ecb.europa.eu/stats/eurofxref/eurofxref-daily.xml",
};

struct RatesFetchLimits {
    int connectMs = 10000;            // to reach the server (and each further wait for it)
    int totalMs = 30000;              // the whole download
    int redirects = 5;                // followed; one more is refused
    size_t bodyLimit = kRatesFileLimit;  // a longer body is refused, as a longer file is
};

// The address for "cbr", "ecb" or an http:// or https:// address itself;
// nullptr for anything else.
inline const char* RatesAddressOf(std::string_view word)
{
    if (word == "cbr") return kRatesBankAddresses[kRatesBankCbr];
    if (word == "ecb") return kRatesBankAddresses[kRatesBankEcb];
    if (word.starts_with("http://") || word.starts_with("https://")) return word.data();
    return nullptr;
}
