// Splitting URLs into what WinInet's connect and request calls take, and marker-based text extraction.
#pragma once

#include <string>
#include <string_view>

// Host in lower case; with `keep_port`, followed by ":" and the port when the URL names one.
std::string UrlHost(std::string_view url, bool keep_port = false);
// Port of the URL: the leading digits after the host's last colon (0 without digits, INT_MAX when too long
// to fit, so callers must check the range), else 443 for https and 80 otherwise.
int UrlPort(std::string_view url);
// Object path, always starting with "/", query and fragment included, in the URL's own letter case.
std::string UrlPath(std::string_view url);

// The text strictly between the first `left` marker at or after `start` (0 or 1 = from the beginning) and the
// next `right` marker; empty when either is missing. "#引号" in a marker stands for a double quote. An empty
// `left` starts at `start`; an empty `right` gives the empty text.
std::string ExtractBetween(std::string_view text, std::string_view left, std::string_view right,
                           int start = 0, bool ignore_case = false);

// Every byte that is not an ASCII letter, a digit or one of - . _ ~ as %XX (upper-case hex), so the text can
// stand in a URL without adding to or ending it.
std::string PercentEncode(std::string_view text);
