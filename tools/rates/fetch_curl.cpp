#include <curl/curl.h>

#include <cstring>
#include <string>

#include "tools/rates/fetch.h"

namespace {

struct Transfer {
    std::string* body;
    size_t limit;
    bool tooLarge = false;
    std::string statusLine;  // of the last answer: "404 Not Found"
};

size_t TakeBody(char* data, size_t size, size_t count, void* user)
{
    Transfer& transfer = *static_cast<Transfer*>(user);
    const size_t bytes = size * count;
    if (transfer.body->size() + bytes > transfer.limit) {
        transfer.tooLarge = true;
        return 0;  // stops the transfer
    }
    transfer.body->append(data, bytes);
    return bytes;
}

size_t TakeHeader(char* data, size_t size, size_t count, void* user)
{
    Transfer& transfer = *static_cast<Transfer*>(user);
    const std::string line(data, size * count);
    if (line.starts_with("HTTP/")) {
        const size_t space = line.find(' ');
        std::string status = space == std::string::npos ? std::string() : line.substr(space + 1);
        while (!status.empty() && (status.back() == '\r' || status.back() == '\n' || status.back() == ' '))
            status.pop_back();
        transfer.statusLine = status;
    }
    return size * count;
}

bool Refuse(RatesProblem& problem, RatesText code, const std::string& detail = {})
{
    return RefuseRates(problem, 0, code, detail.data(), detail.size());
}

bool RefuseFailure(RatesProblem& problem, CURLcode result, const Transfer& transfer, const std::string& host)
{
    if (transfer.tooLarge) return Refuse(problem, kRatesTooLarge);
    switch (result) {
    case CURLE_URL_MALFORMAT:
    case CURLE_UNSUPPORTED_PROTOCOL: return Refuse(problem, kRatesBadAddress, host);
    case CURLE_COULDNT_RESOLVE_HOST: return Refuse(problem, kRatesHostNotFound, host);
    case CURLE_COULDNT_CONNECT: return Refuse(problem, kRatesNoConnection, host);
    case CURLE_OPERATION_TIMEDOUT: return Refuse(problem, kRatesTimedOut, host);
    case CURLE_TOO_MANY_REDIRECTS: return Refuse(problem, kRatesTooManyRedirects);
    case CURLE_FILESIZE_EXCEEDED: return Refuse(problem, kRatesTooLarge);
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE: return Refuse(problem, kRatesSecureFailed, host);
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING: return Refuse(problem, kRatesConnectionCut);
    default: return Refuse(problem, kRatesDownloadFailed, curl_easy_strerror(result));
    }
}

}  // namespace

bool FetchRates(const std::string& url, const RatesFetchLimits& limits, std::string& body, RatesProblem& problem)
{
    problem = RatesProblem{};
    body.clear();
    const std::string host = RatesHostOf(url);
    if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) return Refuse(problem, kRatesDownloadFailed, "curl");
    CURL* curl = curl_easy_init();
    if (curl == nullptr) return Refuse(problem, kRatesDownloadFailed, "curl");
    Transfer transfer{&body, limits.bodyLimit, false, {}};
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, static_cast<long>(limits.redirects));
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits.connectMs));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(limits.totalMs));
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.bodyLimit));
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "Vela");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, TakeBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, TakeHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &transfer);
    const CURLcode result = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_cleanup(curl);
    curl_global_cleanup();
    if (result != CURLE_OK) return RefuseFailure(problem, result, transfer, host);
    if (status != 200)
        return Refuse(problem, kRatesHttpStatus, transfer.statusLine.empty() ? std::to_string(status) : transfer.statusLine);
    return true;
}
