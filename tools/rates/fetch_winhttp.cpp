#include <windows.h>

#include <string>

#include "tools/rates/fetch.h"
#include "windows/net/rates_download.h"

bool FetchRates(const std::string& url, const RatesFetchLimits& limits, std::string& body, RatesProblem& problem)
{
    std::wstring wide(url.size() + 1, L'\0');
    wide.resize(static_cast<size_t>(
        MultiByteToWideChar(CP_UTF8, 0, url.c_str(), static_cast<int>(url.size()), wide.data(), static_cast<int>(wide.size()))));
    return DownloadRates(wide.c_str(), limits, nullptr, body, problem);
}
