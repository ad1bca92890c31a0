// Cookie strings: collecting the cookies that Set-Cookie response lines set, and merging cookie strings.
#include "net/cookies.h"

#include <unordered_set>
#include <vector>

#include "net/url.h"
#include "runtime/text.h"

namespace {

// The items of a blank-free cookie string: the pieces between ";", except a trailing empty one.
std::vector<std::string_view> SplitItems(std::string_view cookies) {
    std::vector<std::string_view> items;
    while (!cookies.empty()) {
        const int semicolon = FindText(cookies, ";");
        if (semicolon == -1) {
            items.push_back(cookies);
            break;
        }
        items.push_back(cookies.substr(0, semicolon - 1));
        cookies.remove_prefix(semicolon);
    }
    return items;
}

// The name of a blank-free item: the text before its first "=", or the whole item when it has none.
std::string_view CookieName(std::string_view item) {
    const int equals = FindText(item, "=");
    return equals == -1 ? item : item.substr(0, equals - 1);
}

// A server deletes a cookie by setting it to the value "deleted".
bool IsDeleted(std::string_view item) {
    constexpr std::string_view kDeleted = "=deleted";
    if (item.size() < kDeleted.size()) return false;
    const int suffix_at = static_cast<int>(item.size() - kDeleted.size()) + 1;
    return FindText(item, kDeleted, suffix_at) == suffix_at;
}

}  // namespace

std::string CollectCookies(std::string_view headers) {
    std::string result;
    // Lines are split at the CR LF bytes themselves: no GBK character contains them, and a stray byte of
    // 0x80 or more at the end of a line must not join it to the next one.
    while (true) {
        const size_t line_end = headers.find("\r\n");
        const std::string_view line = headers.substr(0, line_end);
        if (ContainsText(line, "Set-Cookie")) {
            // Attributes (Path, Domain, Expires, HttpOnly ...) follow the first ";" and are dropped.
            const std::string item = ContainsText(line, ";") ? ExtractBetween(line, "Set-Cookie:", ";")
                                                             : ReplaceText(line, "Set-Cookie:", "", true);
            result += TrimBlanks(item);
            result += "; ";
        }
        if (line_end == std::string_view::npos) break;
        headers.remove_prefix(line_end + 2);
    }
    if (!result.empty()) result.resize(result.size() - 2);
    return result;
}

std::string MergeCookies(std::string& cookies, std::string& new_cookies) {
    const std::string old_cookies = RemoveBlanks(cookies);
    new_cookies = RemoveBlanks(new_cookies);

    // The new items come first; an old item survives only when no item before it carries its name.
    std::vector<std::string_view> merged = SplitItems(new_cookies);
    std::unordered_set<std::string_view> names;
    for (std::string_view item : merged) names.insert(CookieName(item));
    for (std::string_view item : SplitItems(old_cookies)) {
        if (names.insert(CookieName(item)).second) merged.push_back(item);
    }

    std::string result;
    std::unordered_set<std::string_view> written;
    bool first = true;
    for (std::string_view item : merged) {
        if (IsDeleted(item) || !written.insert(item).second) continue;
        if (!first) result += "; ";
        result += item;
        first = false;
    }
    cookies = result;
    return result;
}
