// One synchronous HTTP request over WinInet: body back, response headers and cookies through the arguments.
#pragma once

#include <string>
#include <string_view>

#include "net/fetched_page.h"

struct HttpRequestArgs {
    // Absolute http:// or https:// URL; one without a scheme is taken as plain http.
    std::string url;
    // 0 = GET, 1 = POST, 2 = HEAD; anything else is GET.
    int method = 0;
    // Request body as text, used when post_bytes is empty and the method is not GET.
    std::string post_text;
    // Cookie string to send; receives the merged cookies when merge_cookies is set.
    std::string cookies;
    // Switches WinInet's own cookie handling off and merges the response's cookies into `cookies`.
    bool merge_cookies = false;
    // Out: the cookies this response set (blank-free when merged).
    std::string returned_cookies;
    // In: extra request header lines joined by CR LF. Out: the whole header block that was sent.
    std::string extra_headers;
    // Out: raw response headers, or 5000 blanks when they could not be read or did not fit.
    std::string returned_headers;
    // Returns a redirect answer as it is instead of following it.
    bool no_redirect = false;
    // Request body as bytes; for POST and HEAD it is filled from post_text when empty.
    std::string post_bytes;
    // "host:port" of an HTTP proxy; empty for a direct connection.
    std::string proxy;
    // Out: whether an answer came, or why not; its status and the seconds its Retry-After asks for (-1:
    // none).
    FetchOutcome outcome = FetchOutcome::kFailed;
    int status = 0;
    int retry_after = -1;
};

// Redirects followed in a row; one more makes the request fail (as browsers give up on a loop).
inline constexpr int kMaxRedirects = 20;

// Bodies beyond this size stop being read; the bytes gathered so far are returned.
inline constexpr size_t kMaxResponseBody = 64 * 1024 * 1024;

// Performs the request and returns the response body as received (any status). An empty body also stands for
// "could not open a handle", in which case no output argument but the outcome is touched. A cookie string
// with control characters would add header lines of its own: such a request is not sent (kRefused).
std::string HttpRequest(HttpRequestArgs& args);

// GET of `url` with every other argument left empty: the page download of the program's own callers.
std::string HttpGet(const std::string& url);

// The user agent a request announces: the value of the caller's User-Agent line, else the default agent.
std::string UserAgentFor(std::string_view extra_headers);
