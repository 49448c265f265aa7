// A bank's daily file over HTTP(S) through the system's client (WinHTTP),
// for the program's "Обновить курсы" and vela-rates.exe alike. Windows only.
#pragma once

#include <windows.h>

#include <string>

#include "core/lists/rates_fetch.h"

// Set from another thread to stop a download; it then ends soon with
// kRatesCancelled.
struct RatesCancel {
    volatile LONG cancelled = 0;
};

// Downloads `url` into `body`. True for a whole body of status 200 within
// the limits; else false, `body` unspecified and `problem` naming what went
// wrong: a bad address, a name not found, no connection, a timeout, another
// status (its number and text as the detail), a connection cut, a body over
// the limit, too many redirects, cancelled, or the system's error number.
bool DownloadRates(const wchar_t* url, const RatesFetchLimits& limits, const RatesCancel* cancel, std::string& body,
                   RatesProblem& problem);

// One download on a thread of its own, for a window that must stay
// responsive. When it ends, unless abandoned, `message` is posted to
// `window` with the fetch as lParam; the window reads `ok`, `body` and
// `problem` and then calls ReleaseRatesFetch for the message's hold.
struct RatesFetch {
    std::wstring url;
    RatesFetchLimits limits;
    HWND window = nullptr;
    UINT message = 0;
    RatesCancel cancel;
    bool ok = false;
    std::string body;
    RatesProblem problem;
    volatile LONG holds = 0;  // the starter's and the thread's
};

// Starts the download; nullptr when no thread could be started. The caller
// holds the fetch until it abandons or releases it.
RatesFetch* StartRatesFetch(const std::wstring& url, const RatesFetchLimits& limits, HWND window, UINT message);
// Stops waiting for it: no message comes any more (one already posted is
// dropped by its receiver), and the thread ends by itself within the limits.
void AbandonRatesFetch(RatesFetch* fetch);
void ReleaseRatesFetch(RatesFetch* fetch);
