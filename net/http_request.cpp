// HttpRequest over WinInet: handles, header block, send, bounded body read, response headers and cookies.
#include "net/http_request.h"

#include <algorithm>
#include <cstdint>

#include "net/cookies.h"
#include "net/url.h"
#include "net/wininet_handle.h"
#include "runtime/text.h"

namespace {

constexpr char kDefaultAgent[] = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";
constexpr DWORD kReadChunk = 1024;
constexpr DWORD kHeaderBufferSize = 5000;

constexpr int kGet = 0;
constexpr int kPost = 1;
constexpr int kHead = 2;
constexpr const char* kVerbs[] = {"GET", "POST", "HEAD"};

// WinInet under Wine leaves send and receive time-outs infinite, so a server that stops answering would hold
// the calling thread for ever; these are the Windows defaults.
void SetTimeouts(HINTERNET connection) {
    const struct {
        DWORD option;
        DWORD milliseconds;
    } timeouts[] = {{INTERNET_OPTION_CONNECT_TIMEOUT, 60000},
                    {INTERNET_OPTION_SEND_TIMEOUT, 30000},
                    {INTERNET_OPTION_RECEIVE_TIMEOUT, 30000}};
    for (auto [option, milliseconds] : timeouts) {
        InternetSetOptionA(connection, option, &milliseconds, sizeof milliseconds);
    }
}

// The caller's lines followed by the default lines they do not already hold, and the cookie line.
std::string HeaderBlock(std::string headers, const std::string& url, const std::string& cookies) {
    if (headers.empty()) {
        headers = "Accept: */*";
    } else if (!ContainsText(headers, "Accept:")) {
        headers += "\r\nAccept: */*";
    }
    if (!ContainsText(headers, "Referer:")) headers += "\r\nReferer: " + url;
    if (!ContainsText(headers, "Accept-Language:")) headers += "\r\nAccept-Language: zh-cn";
    if (!ContainsText(headers, "Content-Type:"))
        headers += "\r\nContent-Type: application/x-www-form-urlencoded";
    if (!cookies.empty()) headers += "\r\nCookie: " + cookies;
    return headers;
}

// Why WinInet gave no (whole) answer, from its last error.
FetchOutcome FailureOf(DWORD error) {
    switch (error) {
        case ERROR_INTERNET_CANNOT_CONNECT:
        case ERROR_INTERNET_NAME_NOT_RESOLVED: return FetchOutcome::kNoConnection;
        case ERROR_INTERNET_TIMEOUT: return FetchOutcome::kTimedOut;
        case ERROR_INTERNET_CONNECTION_ABORTED:
        case ERROR_INTERNET_CONNECTION_RESET:
        case ERROR_HTTP_INVALID_SERVER_RESPONSE: return FetchOutcome::kReset;
        default: return FetchOutcome::kFailed;
    }
}

// Reads in 1024-byte chunks until the response ends, a read fails or the size cap is reached; the cap keeps
// memory bounded whatever a server sends. `outcome` tells which of the three ended it.
std::string ReadBody(HINTERNET request, FetchOutcome& outcome) {
    std::string body;
    char chunk[kReadChunk];
    outcome = FetchOutcome::kTooLarge;
    while (body.size() < kMaxResponseBody) {
        const DWORD wanted = static_cast<DWORD>(std::min<size_t>(kReadChunk, kMaxResponseBody - body.size()));
        DWORD received = 0;
        if (!InternetReadFile(request, chunk, wanted, &received)) {
            // The answer had begun: whatever the error, the connection broke off or stopped answering.
            outcome = GetLastError() == ERROR_INTERNET_TIMEOUT ? FetchOutcome::kTimedOut : FetchOutcome::kReset;
            break;
        }
        if (received == 0) {
            outcome = FetchOutcome::kAnswered;
            break;
        }
        body.append(chunk, received);
    }
    return body;
}

// Raw response headers with every Set-Cookie spelled alike; 5000 blanks when they do not fit or cannot be
// read.
std::string ResponseHeaders(HINTERNET request) {
    std::string buffer(kHeaderBufferSize, ' ');
    DWORD length = kHeaderBufferSize;
    if (!HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, buffer.data(), &length, nullptr)) {
        return std::string(kHeaderBufferSize, ' ');
    }
    return ReplaceText(PageText(buffer), "Set-Cookie", "Set-Cookie", true);
}

bool IsSecure(std::string_view url) {
    return AsciiLower(url.substr(0, 5)) == "https";
}

// One request on a connection of its own; the connection is declared first, so it is closed last.
struct Exchange {
    InternetHandle connection;
    InternetHandle request;
};

Exchange Open(HINTERNET root, const std::string& url, int method, bool no_cookies) {
    Exchange exchange;
    // A port beyond 16 bits would be cut down to some other port; such a URL cannot be reached at all.
    const int port = UrlPort(url);
    if (port < 0 || port > 0xFFFF) return exchange;
    exchange.connection.reset(InternetConnectA(root, UrlHost(url).c_str(), static_cast<INTERNET_PORT>(port),
                                               nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!exchange.connection) return exchange;
    SetTimeouts(exchange.connection.get());

    // Always from the network, and no cache copy left on disk for every page of a long run.
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_AUTO_REDIRECT;
    if (no_cookies) flags |= INTERNET_FLAG_NO_COOKIES;
    if (IsSecure(url)) flags |= INTERNET_FLAG_SECURE;
    exchange.request.reset(HttpOpenRequestA(exchange.connection.get(), kVerbs[method], UrlPath(url).c_str(),
                                            "HTTP/1.1", nullptr, nullptr, flags, 0));
    return exchange;
}

bool Send(HINTERNET request, int method, HttpRequestArgs& args) {
    const DWORD header_length = static_cast<DWORD>(args.extra_headers.size());
    if (method == kGet) {
        char no_body[1] = {};
        return HttpSendRequestA(request, args.extra_headers.c_str(), header_length, no_body, 0);
    }
    return HttpSendRequestA(request, args.extra_headers.c_str(), header_length,
                            args.post_bytes.empty() ? nullptr : args.post_bytes.data(),
                            static_cast<DWORD>(args.post_bytes.size()));
}

DWORD StatusCode(HINTERNET request) {
    DWORD status = 0, length = sizeof status;
    HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &length, nullptr);
    return status;
}

// Whether the body ended before the length the answer announced: a connection that closed half-way reads as an
// end of the body.
bool CutShort(HINTERNET request, const std::string& body) {
    DWORD length = 0, size = sizeof length;
    return HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &length, &size, nullptr) &&
           body.size() < length;
}

// The seconds an answer's Retry-After asks for, given as a number or as a date; -1 when it has none.
int RetryAfterSeconds(HINTERNET request) {
    char value[128] = {};
    DWORD length = sizeof value - 1;
    if (!HttpQueryInfoA(request, HTTP_QUERY_RETRY_AFTER, value, &length, nullptr)) return -1;
    const std::string text = TrimBlanks(std::string_view(value, length));
    if (!text.empty() && text.find_first_not_of("0123456789") == std::string::npos)
        return static_cast<int>(std::min<int64_t>(LeadingInteger(text), INT32_MAX));
    SYSTEMTIME when, now;
    if (!InternetTimeToSystemTimeA(text.c_str(), &when, 0)) return -1;
    GetSystemTime(&now);
    FILETIME when_file, now_file;
    SystemTimeToFileTime(&when, &when_file);
    SystemTimeToFileTime(&now, &now_file);
    const auto ticks = [](const FILETIME& time) {
        return static_cast<int64_t>((uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime);
    };
    const int64_t seconds = (ticks(when_file) - ticks(now_file)) / 10'000'000;
    return static_cast<int>(std::clamp<int64_t>(seconds, 0, INT32_MAX));
}

// Where a redirect answer points; empty for any other answer.
std::string RedirectLocation(HINTERNET request) {
    switch (StatusCode(request)) {
        case 301:
        case 302:
        case 303:
        case 307:
        case 308: break;
        default: return {};
    }
    std::string location(INTERNET_MAX_URL_LENGTH, '\0');
    DWORD length = static_cast<DWORD>(location.size());
    if (!HttpQueryInfoA(request, HTTP_QUERY_LOCATION, location.data(), &length, nullptr)) return {};
    location.resize(length);
    return location;
}

// `location` taken relative to `base`, as a browser resolves it.
std::string CombinedUrl(const std::string& base, const std::string& location) {
    std::string combined(INTERNET_MAX_URL_LENGTH, '\0');
    DWORD length = static_cast<DWORD>(combined.size());
    if (!InternetCombineUrlA(base.c_str(), location.c_str(), combined.data(), &length,
                             ICU_ENCODE_SPACES_ONLY))
        return location;
    combined.resize(length);
    return combined;
}

// A POST redirected by 301, 302 or 303 is repeated as GET, as browsers do; 307 and 308 keep the method.
int MethodAfterRedirect(HINTERNET request, int method) {
    const DWORD status = StatusCode(request);
    return method == kPost && status <= 303 ? kGet : method;
}

}  // namespace

std::string UserAgentFor(std::string_view extra_headers) {
    constexpr std::string_view kName = "User-Agent:";
    const int found = FindText(extra_headers, kName, 1, true);
    if (found < 0) return kDefaultAgent;
    // The value runs to the end of its own line, whatever the line's letter case or place in the block.
    const std::string_view value = extra_headers.substr(found - 1 + kName.size());
    return TrimBlanks(value.substr(0, value.find("\r\n")));
}

std::string HttpRequest(HttpRequestArgs& args) {
    args.outcome = FetchOutcome::kFailed;
    if (HasControlCharacters(args.cookies)) {
        args.outcome = FetchOutcome::kRefused;
        return {};
    }
    int method = args.method >= 0 && args.method <= 2 ? args.method : kGet;
    const bool secure = IsSecure(args.url);
    const std::string agent = UserAgentFor(args.extra_headers);

    InternetHandle root;
    if (args.proxy.empty()) {
        root.reset(InternetOpenA(agent.c_str(), INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    } else {
        const std::string proxy = secure ? args.proxy : "http=" + args.proxy;
        root.reset(InternetOpenA(agent.c_str(), INTERNET_OPEN_TYPE_PROXY, proxy.c_str(), "", 0));
    }
    if (!root) return {};

    std::string url = args.url;
    Exchange exchange = Open(root.get(), url, method, args.merge_cookies);
    if (!exchange.request) return {};

    args.extra_headers = HeaderBlock(std::move(args.extra_headers), args.url, args.cookies);
    if (method != kGet && args.post_bytes.empty()) args.post_bytes = args.post_text;
    // Redirects are followed here rather than by WinInet, which would follow a loop for ever.
    bool sent = Send(exchange.request.get(), method, args);
    if (!sent) args.outcome = FailureOf(GetLastError());
    for (int redirects = 0; sent && !args.no_redirect; ++redirects) {
        const std::string location = RedirectLocation(exchange.request.get());
        if (location.empty()) break;
        if (redirects == kMaxRedirects) {
            sent = false;
            args.outcome = FetchOutcome::kFailed;
            break;
        }
        url = CombinedUrl(url, location);
        method = MethodAfterRedirect(exchange.request.get(), method);
        exchange = Open(root.get(), url, method, args.merge_cookies);
        sent = exchange.request && Send(exchange.request.get(), method, args);
        if (!sent) args.outcome = exchange.request ? FailureOf(GetLastError()) : FetchOutcome::kFailed;
    }

    // Without a response there are no headers to read; some WinInet versions would report an empty header
    // block instead of failing the query.
    std::string body = sent ? ReadBody(exchange.request.get(), args.outcome) : std::string();
    if (sent) {
        args.status = static_cast<int>(StatusCode(exchange.request.get()));
        args.retry_after = RetryAfterSeconds(exchange.request.get());
        if (args.outcome == FetchOutcome::kAnswered && method != kHead && CutShort(exchange.request.get(), body))
            args.outcome = FetchOutcome::kReset;
    }
    args.returned_headers =
        sent ? ResponseHeaders(exchange.request.get()) : std::string(kHeaderBufferSize, ' ');
    args.returned_cookies = CollectCookies(args.returned_headers);
    if (args.merge_cookies) MergeCookies(args.cookies, args.returned_cookies);
    return body;
}

std::string HttpGet(const std::string& url) {
    HttpRequestArgs args;
    args.url = url;
    return HttpRequest(args);
}
