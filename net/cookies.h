// Cookie strings: name=value items joined by "; ", collected from response headers and merged.
#pragma once

#include <string>
#include <string_view>

// The cookies that the Set-Cookie lines of raw response headers set, attributes dropped, in line order.
std::string CollectCookies(std::string_view headers);

// Folds `new_cookies` into `cookies`: the new items first, then the old ones the new string does not name,
// deleted cookies dropped, each item once. `cookies` receives the result and `new_cookies` its blank-free form.
std::string MergeCookies(std::string& cookies, std::string& new_cookies);
