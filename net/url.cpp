// Splitting URLs into host, port and object path, and marker-based text extraction.
#include "net/url.h"

#include <limits>

#include "runtime/text.h"

namespace {

constexpr std::string_view kHttpsScheme = "https://";
constexpr std::string_view kHttpScheme = "http://";

// 1-based position where the host part begins: after the scheme, or at the start of a URL without one.
int HostStart(std::string_view url) {
    const std::string scheme = AsciiLower(url.substr(0, kHttpsScheme.size()));
    if (scheme.starts_with(kHttpsScheme)) return static_cast<int>(kHttpsScheme.size()) + 1;
    if (scheme.starts_with(kHttpScheme)) return static_cast<int>(kHttpScheme.size()) + 1;
    return 1;
}

}  // namespace

std::string UrlHost(std::string_view url, bool keep_port) {
    // The host ends at the first "/" after the scheme; a closing "/" covers URLs without a path, and a second
    // one after a "/" already ending the URL is never reached.
    std::string lower = AsciiLower(url);
    lower += '/';
    std::string host;
    if (lower.starts_with(kHttpsScheme)) {
        host = ExtractBetween(lower, kHttpsScheme, "/");
    } else {
        // Only a leading scheme counts: an "http://" inside the query of a URL without a scheme is no host.
        if (!lower.starts_with(kHttpScheme)) lower.insert(0, kHttpScheme);
        host = ExtractBetween(lower, kHttpScheme, "/");
    }
    if (!keep_port) {
        const int colon = FindText(host, ":");
        if (colon != -1) host.resize(colon - 1);
    }
    return host;
}

int UrlPort(std::string_view url) {
    const std::string host = UrlHost(url, true);
    std::string_view rest = host;
    if (!ContainsText(rest, ":")) return AsciiLower(url.substr(0, 5)) == "https" ? 443 : 80;
    // Each search stops at the next colon, so walking to the last one reads the host once.
    for (int colon; (colon = FindText(rest, ":")) != -1;) rest.remove_prefix(colon);
    int port = 0;
    for (char c : rest) {
        if (c < '0' || c > '9') break;
        const int digit = c - '0';
        if (port > (std::numeric_limits<int>::max() - digit) / 10) return std::numeric_limits<int>::max();
        port = port * 10 + digit;
    }
    return port;
}

std::string UrlPath(std::string_view url) {
    // The host is looked for after the scheme, so that a host such as "h" or "tp" is not found inside it.
    const int host_at = FindText(url, UrlHost(url), HostStart(url), true);
    if (host_at == -1) return "/";
    const int slash_at = FindText(url, "/", host_at);
    if (slash_at == -1) return "/";
    return std::string(url.substr(slash_at - 1));
}

std::string ExtractBetween(std::string_view text, std::string_view left, std::string_view right, int start,
                           bool ignore_case) {
    const std::string left_marker = ReplaceText(left, "#引号", "\"");
    const std::string right_marker = ReplaceText(right, "#引号", "\"");
    const int left_at = FindText(text, left_marker, start, ignore_case);
    if (left_at == -1) return {};
    const int begin = left_at + static_cast<int>(left_marker.size());
    const int end = FindText(text, right_marker, begin, ignore_case);
    if (end == -1) return {};
    return std::string(text.substr(begin - 1, end - begin));
}

std::string PercentEncode(std::string_view text) {
    constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(text.size());
    for (unsigned char c : text) {
        bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                     c == '.' || c == '_' || c == '~';
        if (plain) {
            encoded += static_cast<char>(c);
        } else {
            encoded += '%';
            encoded += kHex[c >> 4];
            encoded += kHex[c & 0xF];
        }
    }
    return encoded;
}
