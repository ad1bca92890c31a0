// GBK text helpers: character-aware search and replace, blanks, ASCII case, page text and number conversion.
#include "runtime/text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

bool IsLeadByte(char c) {
    return static_cast<unsigned char>(c) >= 0x80;
}

bool IsAsciiSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Length of the blank starting at character start `pos` (ASCII space or full-width space A1 A1), else 0.
size_t BlankLength(std::string_view text, size_t pos) {
    if (text[pos] == ' ') return 1;
    if (text[pos] == '\xA1' && pos + 1 < text.size() && text[pos + 1] == '\xA1') return 2;
    return 0;
}

// Finds whole characters of a target in one text, left to right. The character starts of the text are
// tracked by a cursor that only moves forward, so a series of searches costs one pass over the text.
class CharSearch {
  public:
    CharSearch(std::string_view text, std::string_view target, bool ignore_case) {
        if (ignore_case) {
            // Folding keeps every byte of 0x80 or more where it is, so both texts keep their character
            // starts.
            folded_text_ = AsciiLower(text);
            folded_target_ = AsciiLower(target);
            text_ = folded_text_;
            target_ = folded_target_;
        } else {
            text_ = text;
            target_ = target;
        }
        size_t last_start = 0;
        for (size_t pos = 0; pos < target_.size(); pos += CharLength(target_, pos)) last_start = pos;
        target_ends_in_lone_lead_ =
            !target_.empty() && last_start + 1 == target_.size() && IsLeadByte(target_[last_start]);
    }

    // Offset of the first occurrence starting at a character start at or after `from`, or npos. An empty
    // target is found at the first character start inside the text.
    size_t Next(size_t from) {
        if (from > text_.size()) return std::string_view::npos;
        AdvanceTo(from);
        if (target_.empty()) return cursor_ < text_.size() ? cursor_ : std::string_view::npos;
        while (true) {
            const size_t hit = text_.find(target_, cursor_);
            if (hit == std::string_view::npos) return hit;
            AdvanceTo(hit);
            if (cursor_ == hit) {
                if (EndsOnCharBoundary(hit)) return hit;
                cursor_ += CharLength(text_, cursor_);
            }
        }
    }

  private:
    void AdvanceTo(size_t pos) {
        while (cursor_ < pos) cursor_ += CharLength(text_, cursor_);
    }

    // A match at a character start covers the same characters in text and target, except that a target
    // ending in a lone lead byte would cover only the first half of a two-byte character of the text.
    bool EndsOnCharBoundary(size_t hit) const {
        return !target_ends_in_lone_lead_ || hit + target_.size() == text_.size();
    }

    std::string folded_text_;
    std::string folded_target_;
    std::string_view text_;
    std::string_view target_;
    bool target_ends_in_lone_lead_ = false;
    size_t cursor_ = 0;
};

// Saturating value of a run of decimal digits, enough to tell overflow from underflow.
long long DigitsValue(std::string_view digits) {
    long long value = 0;
    for (char c : digits) {
        value = value * 10 + (c - '0');
        if (value > 1'000'000'000) return value;
    }
    return value;
}

// Decimal exponent of the first significant digit of a numeral split into integer digits, fraction digits
// and exponent digits; only its sign matters, to tell an overflow from an underflow.
long long MagnitudeOf(std::string_view int_digits, std::string_view frac_digits, bool exp_negative,
                      std::string_view exp_digits) {
    const long long exponent = exp_negative ? -DigitsValue(exp_digits) : DigitsValue(exp_digits);
    const size_t int_start = int_digits.find_first_not_of('0');
    if (int_start != std::string_view::npos) {
        return static_cast<long long>(int_digits.size() - int_start) - 1 + exponent;
    }
    const size_t frac_start = frac_digits.find_first_not_of('0');
    if (frac_start == std::string_view::npos) return 0;
    return -static_cast<long long>(frac_start) - 1 + exponent;
}

}  // namespace

int FindText(std::string_view text, std::string_view target, int start, bool ignore_case) {
    const size_t from = start > 1 ? static_cast<size_t>(start) - 1 : 0;
    const size_t hit = CharSearch(text, target, ignore_case).Next(from);
    return hit == std::string_view::npos ? -1 : static_cast<int>(hit) + 1;
}

bool ContainsText(std::string_view text, std::string_view target, bool ignore_case) {
    return FindText(text, target, 1, ignore_case) != -1;
}

std::string ReplaceText(std::string_view text, std::string_view from, std::string_view to, bool ignore_case) {
    if (from.empty()) return std::string(text);
    std::string result;
    result.reserve(text.size());
    CharSearch search(text, from, ignore_case);
    size_t done = 0;
    for (size_t hit = search.Next(0); hit != std::string_view::npos; hit = search.Next(done)) {
        result.append(text.substr(done, hit - done));
        result.append(to);
        done = hit + from.size();
    }
    result.append(text.substr(done));
    return result;
}

std::string TrimBlanks(std::string_view text) {
    size_t begin = 0;
    while (begin < text.size()) {
        const size_t blank = BlankLength(text, begin);
        if (blank == 0) break;
        begin += blank;
    }
    // The end is found by walking forward: a trailing A1 A1 may be the trail byte of one character and the
    // lead byte of the next, which only a walk from a known character start can tell.
    size_t end = begin;
    for (size_t pos = begin; pos < text.size();) {
        const size_t blank = BlankLength(text, pos);
        pos += blank != 0 ? blank : CharLength(text, pos);
        if (blank == 0) end = pos;
    }
    return std::string(text.substr(begin, end - begin));
}

std::string RemoveBlanks(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (size_t pos = 0; pos < text.size();) {
        const size_t blank = BlankLength(text, pos);
        const size_t length = blank != 0 ? blank : CharLength(text, pos);
        if (blank == 0) result.append(text.substr(pos, length));
        pos += length;
    }
    return result;
}

std::string AsciiLower(std::string_view text) {
    std::string result(text);
    for (size_t pos = 0; pos < result.size(); pos += CharLength(result, pos)) {
        if (result[pos] >= 'A' && result[pos] <= 'Z')
            result[pos] = static_cast<char>(result[pos] - 'A' + 'a');
    }
    return result;
}

bool IsWebAddress(std::string_view url) {
    std::string lower = AsciiLower(url.substr(0, 8));
    size_t scheme = lower.starts_with("http://") ? 7 : lower.starts_with("https://") ? 8 : 0;
    return scheme != 0 && url.size() > scheme;
}

bool HasControlCharacters(std::string_view text) {
    return std::ranges::any_of(text,
                               [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

std::string PageText(std::string_view bytes) {
    return std::string(bytes.substr(0, bytes.find('\0')));
}

double LeadingNumber(std::string_view text) {
    size_t pos = 0;
    while (pos < text.size() && IsAsciiSpace(text[pos])) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';

    const size_t numeral_start = pos;
    const size_t int_start = pos;
    while (pos < text.size() && IsDigit(text[pos])) ++pos;
    const std::string_view int_digits = text.substr(int_start, pos - int_start);
    std::string_view frac_digits;
    if (pos < text.size() && text[pos] == '.') {
        const size_t frac_start = pos + 1;
        size_t frac_end = frac_start;
        while (frac_end < text.size() && IsDigit(text[frac_end])) ++frac_end;
        frac_digits = text.substr(frac_start, frac_end - frac_start);
        // A lone "." is no number; "5." and ".5" are.
        if (!int_digits.empty() || !frac_digits.empty()) pos = frac_end;
    }
    if (int_digits.empty() && frac_digits.empty()) return 0.0;

    // The exponent counts only when at least one digit follows the "e" and its sign.
    bool exp_negative = false;
    std::string_view exp_digits;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        size_t exp_pos = pos + 1;
        bool sign_negative = false;
        if (exp_pos < text.size() && (text[exp_pos] == '+' || text[exp_pos] == '-')) {
            sign_negative = text[exp_pos++] == '-';
        }
        const size_t exp_start = exp_pos;
        while (exp_pos < text.size() && IsDigit(text[exp_pos])) ++exp_pos;
        if (exp_pos > exp_start) {
            exp_negative = sign_negative;
            exp_digits = text.substr(exp_start, exp_pos - exp_start);
            pos = exp_pos;
        }
    }

    // from_chars reads the numeral without the locale's decimal point getting in the way.
    const std::string_view numeral = text.substr(numeral_start, pos - numeral_start);
    double value = 0.0;
    const std::from_chars_result parsed =
        std::from_chars(numeral.data(), numeral.data() + numeral.size(), value, std::chars_format::general);
    if (parsed.ec == std::errc::result_out_of_range) {
        const bool overflow = MagnitudeOf(int_digits, frac_digits, exp_negative, exp_digits) > 0;
        value = overflow ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negative ? -value : value;
}

int32_t LeadingInteger(std::string_view text) {
    size_t pos = 0;
    while (pos < text.size() && IsAsciiSpace(text[pos])) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
    // Accumulating past the 32-bit range stops at a bound that still tells which side it overflowed.
    constexpr int64_t kBeyond = int64_t{1} << 32;
    int64_t magnitude = 0;
    for (; pos < text.size() && IsDigit(text[pos]) && magnitude < kBeyond; ++pos) {
        magnitude = magnitude * 10 + (text[pos] - '0');
    }
    const int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

int32_t TruncateToInt32(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (value <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

std::string DecimalText(int64_t value) {
    char buffer[24];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

size_t CharLength(std::string_view text, size_t pos) {
    return IsLeadByte(text[pos]) && pos + 1 < text.size() ? 2 : 1;
}
