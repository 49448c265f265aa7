#include "windows/net/rates_download.h"

#include <winhttp.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "windows/shell/system_function.h"

namespace {

// WinHTTP, loaded at the first download: start-up does not pay for it.
struct WinHttpFunctions {
    decltype(&WinHttpCloseHandle) closeHandle;
    decltype(&WinHttpConnect) connect;
    decltype(&WinHttpCrackUrl) crackUrl;
    decltype(&WinHttpOpen) open;
    decltype(&WinHttpOpenRequest) openRequest;
    decltype(&WinHttpQueryHeaders) queryHeaders;
    decltype(&WinHttpReadData) readData;
    decltype(&WinHttpReceiveResponse) receiveResponse;
    decltype(&WinHttpSendRequest) sendRequest;
    decltype(&WinHttpSetOption) setOption;
    decltype(&WinHttpSetTimeouts) setTimeouts;
};

template <typename F>
void Find(F& function, const char* name, bool& all)
{
    function = SystemFunction<F>(L"winhttp.dll", name);
    all = all && function != nullptr;
}

// The functions, or nullptr when the system has not all of them.
const WinHttpFunctions* WinHttp()
{
    static WinHttpFunctions functions{};
    static const bool found = [] {
        bool all = true;
        Find(functions.closeHandle, "WinHttpCloseHandle", all);
        Find(functions.connect, "WinHttpConnect", all);
        Find(functions.crackUrl, "WinHttpCrackUrl", all);
        Find(functions.open, "WinHttpOpen", all);
        Find(functions.openRequest, "WinHttpOpenRequest", all);
        Find(functions.queryHeaders, "WinHttpQueryHeaders", all);
        Find(functions.readData, "WinHttpReadData", all);
        Find(functions.receiveResponse, "WinHttpReceiveResponse", all);
        Find(functions.sendRequest, "WinHttpSendRequest", all);
        Find(functions.setOption, "WinHttpSetOption", all);
        Find(functions.setTimeouts, "WinHttpSetTimeouts", all);
        return all;
    }();
    return found ? &functions : nullptr;
}

// The handles of one download, closed in the order WinHTTP wants.
struct Handles {
    HINTERNET session = nullptr;
    HINTERNET connection = nullptr;
    HINTERNET request = nullptr;

    Handles() = default;
    Handles(const Handles&) = delete;
    Handles& operator=(const Handles&) = delete;
    ~Handles()
    {
        for (HINTERNET handle : {request, connection, session})
            if (handle != nullptr) WinHttp()->closeHandle(handle);
    }
};

// The server's name as the messages give it: printable ASCII, cut.
std::string Printable(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text) out += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
    return out;
}

bool Refuse(RatesProblem& problem, RatesText code, const std::string& detail = {})
{
    return RefuseRates(problem, 0, code, detail.data(), detail.size());
}

// What a failed WinHTTP call means to the user.
bool RefuseFailure(RatesProblem& problem, DWORD error, const std::string& host, const RatesCancel* cancel)
{
    if (cancel != nullptr && cancel->cancelled != 0) return Refuse(problem, kRatesCancelled);
    switch (error) {
    case ERROR_WINHTTP_NAME_NOT_RESOLVED: return Refuse(problem, kRatesHostNotFound, host);
    case ERROR_WINHTTP_CANNOT_CONNECT: return Refuse(problem, kRatesNoConnection, host);
    case ERROR_WINHTTP_TIMEOUT: return Refuse(problem, kRatesTimedOut, host);
    case ERROR_WINHTTP_REDIRECT_FAILED: return Refuse(problem, kRatesTooManyRedirects);
    case ERROR_WINHTTP_CONNECTION_ERROR:
    case ERROR_WINHTTP_INVALID_SERVER_RESPONSE: return Refuse(problem, kRatesConnectionCut);
    case ERROR_WINHTTP_OPERATION_CANCELLED: return Refuse(problem, kRatesCancelled);
    case ERROR_WINHTTP_SECURE_FAILURE:
    case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:
    case ERROR_WINHTTP_SECURE_INVALID_CERT:
    case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
    case ERROR_WINHTTP_SECURE_CERT_CN_INVALID: return Refuse(problem, kRatesSecureFailed, host);
    }
    char number[16];
    std::snprintf(number, sizeof number, "%lu", static_cast<unsigned long>(error));
    return Refuse(problem, kRatesDownloadFailed, number);
}

// Every wait is bounded by what is left of the whole download.
bool BoundWaits(HINTERNET handle, const RatesFetchLimits& limits, ULONGLONG deadline)
{
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return false;
    const int left = static_cast<int>(std::min<ULONGLONG>(deadline - now, limits.totalMs));
    const int connect = std::min(limits.connectMs, left);
    WinHttp()->setTimeouts(handle, connect, connect, left, left);
    return true;
}

DWORD QueryNumber(HINTERNET request, DWORD what, DWORD otherwise)
{
    DWORD value = 0;
    DWORD size = sizeof value;
    if (!WinHttp()->queryHeaders(request, what | WINHTTP_QUERY_FLAG_NUMBER, WINHTTP_HEADER_NAME_BY_INDEX, &value, &size,
                             WINHTTP_NO_HEADER_INDEX))
        return otherwise;
    return value;
}

std::string StatusLine(HINTERNET request, DWORD status)
{
    wchar_t text[64] = {};
    DWORD size = sizeof text - sizeof(wchar_t);
    std::string line = std::to_string(status);
    if (WinHttp()->queryHeaders(request, WINHTTP_QUERY_STATUS_TEXT, WINHTTP_HEADER_NAME_BY_INDEX, text, &size,
                            WINHTTP_NO_HEADER_INDEX) &&
        text[0] != 0)
        line += " " + Printable(text);
    return line;
}

bool Cancelled(const RatesCancel* cancel) { return cancel != nullptr && cancel->cancelled != 0; }

}  // namespace

bool DownloadRates(const wchar_t* url, const RatesFetchLimits& limits, const RatesCancel* cancel, std::string& body,
                   RatesProblem& problem)
{
    problem = RatesProblem{};
    body.clear();
    if (WinHttp() == nullptr) return Refuse(problem, kRatesDownloadFailed, "winhttp.dll");
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(limits.totalMs);
    const std::wstring address = url;
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttp()->crackUrl(address.c_str(), 0, 0, &parts) || parts.dwHostNameLength == 0 ||
        (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS))
        return Refuse(problem, kRatesBadAddress, Printable(address));
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
    path += std::wstring(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (path.empty()) path = L"/";
    const std::string shownHost = Printable(host);

    Handles h;
    h.session = WinHttp()->open(L"Vela", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                            WINHTTP_NO_PROXY_BYPASS, 0);
    if (h.session == nullptr) return RefuseFailure(problem, GetLastError(), shownHost, cancel);
    BoundWaits(h.session, limits, deadline);
    h.connection = WinHttp()->connect(h.session, host.c_str(), parts.nPort, 0);
    if (h.connection == nullptr) return RefuseFailure(problem, GetLastError(), shownHost, cancel);
    h.request = WinHttp()->openRequest(h.connection, L"GET", path.c_str(), nullptr, WINHTTP_NO_REFERER,
                                   WINHTTP_DEFAULT_ACCEPT_TYPES,
                                   parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0);
    if (h.request == nullptr) return RefuseFailure(problem, GetLastError(), shownHost, cancel);
    DWORD redirects = static_cast<DWORD>(limits.redirects);
    WinHttp()->setOption(h.request, WINHTTP_OPTION_MAX_HTTP_AUTOMATIC_REDIRECTS, &redirects, sizeof redirects);

    if (!BoundWaits(h.request, limits, deadline)) return Refuse(problem, kRatesTimedOut, shownHost);
    if (!WinHttp()->sendRequest(h.request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
        !WinHttp()->receiveResponse(h.request, nullptr))
        return RefuseFailure(problem, GetLastError(), shownHost, cancel);
    if (Cancelled(cancel)) return Refuse(problem, kRatesCancelled);
    const DWORD status = QueryNumber(h.request, WINHTTP_QUERY_STATUS_CODE, 0);
    if (status == 301 || status == 302 || status == 303 || status == 307 || status == 308)
        return Refuse(problem, kRatesTooManyRedirects);  // still one after the redirects allowed
    if (status != 200) return Refuse(problem, kRatesHttpStatus, StatusLine(h.request, status));
    const DWORD announced = QueryNumber(h.request, WINHTTP_QUERY_CONTENT_LENGTH, MAXDWORD);
    if (announced != MAXDWORD && announced > limits.bodyLimit) return Refuse(problem, kRatesTooLarge);

    char block[16384];
    for (;;) {
        if (Cancelled(cancel)) return Refuse(problem, kRatesCancelled);
        if (!BoundWaits(h.request, limits, deadline)) return Refuse(problem, kRatesTimedOut, shownHost);
        DWORD got = 0;
        if (!WinHttp()->readData(h.request, block, sizeof block, &got))
            return RefuseFailure(problem, GetLastError(), shownHost, cancel);
        if (got == 0) break;
        body.append(block, got);
        if (body.size() > limits.bodyLimit) return Refuse(problem, kRatesTooLarge);
    }
    if (announced != MAXDWORD && body.size() < announced) return Refuse(problem, kRatesConnectionCut);
    return true;
}

namespace {

DWORD WINAPI FetchThread(void* parameter)
{
    RatesFetch* fetch = static_cast<RatesFetch*>(parameter);
    fetch->ok = DownloadRates(fetch->url.c_str(), fetch->limits, &fetch->cancel, fetch->body, fetch->problem);
    // The thread's hold goes with the message; without one it ends here.
    if (fetch->cancel.cancelled != 0 ||
        !PostMessageW(fetch->window, fetch->message, 0, reinterpret_cast<LPARAM>(fetch)))
        ReleaseRatesFetch(fetch);
    return 0;
}

}  // namespace

RatesFetch* StartRatesFetch(const std::wstring& url, const RatesFetchLimits& limits, HWND window, UINT message)
{
    RatesFetch* fetch = new RatesFetch;
    fetch->url = url;
    fetch->limits = limits;
    fetch->window = window;
    fetch->message = message;
    fetch->holds = 2;
    HANDLE thread = CreateThread(nullptr, 0, FetchThread, fetch, 0, nullptr);
    if (thread == nullptr) {
        delete fetch;
        return nullptr;
    }
    CloseHandle(thread);
    return fetch;
}

void AbandonRatesFetch(RatesFetch* fetch)
{
    if (fetch == nullptr) return;
    InterlockedExchange(&fetch->cancel.cancelled, 1);
    ReleaseRatesFetch(fetch);
}

void ReleaseRatesFetch(RatesFetch* fetch)
{
    if (fetch != nullptr && InterlockedDecrement(&fetch->holds) == 0) delete fetch;
}
