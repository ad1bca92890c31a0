// Finding the charset a response declares, byte by byte: the body may be in any encoding, and every byte
// that matters here is ASCII.
#include "net/charset.h"

namespace {

// Browsers look for a meta charset near the start of a page only; so does this.
constexpr size_t kMetaScanBytes = 4096;

// ASCII letters lowered byte by byte, whatever encoding the other bytes belong to.
std::string LowerBytes(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

std::string_view SkipBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    return text;
}

// The value of the first "charset" in lower-cased `text` that is followed by "=" (blanks around it allowed):
// quoted, up to its closing quote; otherwise up to a blank or one of ; , / " ' >.
std::string CharsetValueIn(std::string_view text) {
    constexpr std::string_view kName = "charset";
    for (size_t at = text.find(kName); at != std::string_view::npos; at = text.find(kName, at + 1)) {
        std::string_view rest = SkipBlanks(text.substr(at + kName.size()));
        if (rest.empty() || rest.front() != '=') continue;
        rest = SkipBlanks(rest.substr(1));
        size_t end;
        if (!rest.empty() && (rest.front() == '"' || rest.front() == '\'')) {
            end = rest.find(rest.front(), 1);
            rest.remove_prefix(1);
            if (end != std::string_view::npos) --end;
        } else {
            end = rest.find_first_of(" \t\r\n\f;,/\"'>");
        }
        std::string_view value = rest.substr(0, end);
        while (!value.empty() && IsBlank(value.back())) value.remove_suffix(1);
        return std::string(SkipBlanks(value));
    }
    return {};
}

// The charset parameter of the first Content-Type line of a lower-cased header block.
std::string HeaderCharset(std::string_view headers) {
    constexpr std::string_view kName = "content-type";
    for (size_t start = 0; start < headers.size();) {
        size_t end = headers.find('\n', start);
        if (end == std::string_view::npos) end = headers.size();
        const std::string_view line = headers.substr(start, end - start);
        start = end + 1;
        if (!line.starts_with(kName)) continue;
        const std::string_view rest = SkipBlanks(line.substr(kName.size()));
        if (rest.starts_with(':')) return CharsetValueIn(rest.substr(1));
    }
    return {};
}

// The charset of the first <meta> tag within the first 4 KB of a lower-cased body that names one.
std::string MetaCharset(std::string_view body) {
    constexpr std::string_view kTag = "<meta";
    const std::string_view head = body.substr(0, kMetaScanBytes);
    for (size_t at = head.find(kTag); at != std::string_view::npos; at = head.find(kTag, at + 1)) {
        const std::string_view tag = head.substr(at + kTag.size());
        if (!tag.empty() && !IsBlank(tag.front()) && tag.front() != '/') continue;  // <metadata> and the like
        std::string value = CharsetValueIn(tag.substr(0, tag.find('>')));
        if (!value.empty()) return value;
    }
    return {};
}

}  // namespace

std::string DeclaredCharset(std::string_view headers, std::string_view body) {
    std::string charset = HeaderCharset(LowerBytes(headers));
    return charset.empty() ? MetaCharset(LowerBytes(body.substr(0, kMetaScanBytes))) : charset;
}

bool DeclaresUtf8(std::string_view headers, std::string_view body) {
    const std::string charset = DeclaredCharset(headers, body);
    return charset == "utf-8" || charset == "utf8";
}
