// vela-rates --fetch: a bank's day over HTTP(S), libcurl natively, WinHTTP
// in vela-rates.exe, with the program's bounds (rates_fetch.h).
#pragma once

#include <string>

#include "core/lists/rates_fetch.h"

// True with the whole body of a status-200 answer; else false with
// `problem` naming what went wrong, as the program names it.
bool FetchRates(const std::string& url, const RatesFetchLimits& limits, std::string& body, RatesProblem& problem);
