// Where the banks publish their daily files, and the bounds of a download:
// one place for the program's "Обновить курсы" and for vela-rates --fetch.
#pragma once

#include <cstddef>
#include <string>
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

// The server's name in an address, as messages give it: printable ASCII.
inline std::string RatesHostOf(std::string_view url)
{
    const size_t scheme = url.find("://");
    const size_t start = scheme == std::string_view::npos ? 0 : scheme + 3;
    const size_t end = url.find_first_of(":/?#", start);
    std::string host;
    for (char c : url.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start))
        host += c >= 0x20 && c < 0x7F ? c : '?';
    return host;
}

// The address for "cbr", "ecb" or an http:// or https:// address itself;
// nullptr for anything else.
inline const char* RatesAddressOf(std::string_view word)
{
    if (word == "cbr") return kRatesBankAddresses[kRatesBankCbr];
    if (word == "ecb") return kRatesBankAddresses[kRatesBankEcb];
    if (word.starts_with("http://") || word.starts_with("https://")) return word.data();
    return nullptr;
}
