// GBK text helpers shared by every layer: character-aware search, blanks, case, page text and numbers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Text is a byte string in the ANSI code page (GBK). A byte of 0x80 or more starts a two-byte character;
// searches match only at character starts. Positions are 1-based; a failed search gives -1.

// Length in bytes (1 or 2) of the character starting at byte `pos` (0-based) of `text`; a lead byte that ends
// the text is a character by itself.
size_t CharLength(std::string_view text, size_t pos);

// Position of `target` in `text`, searching from `start` (0, 1 or less = from the beginning). An empty target
// is found at the first character start at or after `start` inside the text. `ignore_case` compares ASCII
// letters only. A match covers whole characters; a lead byte that ends a text is a character by itself.
int FindText(std::string_view text, std::string_view target, int start = 1, bool ignore_case = false);

// True when `text` contains `target` (same matching as FindText).
bool ContainsText(std::string_view text, std::string_view target, bool ignore_case = false);

// Replaces every occurrence of `from` (byte-exact, character-aware, left to right) by `to`.
std::string ReplaceText(std::string_view text, std::string_view from, std::string_view to,
                        bool ignore_case = false);

// Blanks are the ASCII space and the full-width space (A1 A1).
std::string TrimBlanks(std::string_view text);
std::string RemoveBlanks(std::string_view text);

// Lower-cases ASCII letters; trail bytes of two-byte characters are left alone.
std::string AsciiLower(std::string_view text);

// True for an absolute http:// or https:// address (scheme in any letter case) with something after it: what
// may be handed to the shell to open, so that a text from a page or a file never starts a program.
bool IsWebAddress(std::string_view url);

// True when the text holds a control character (bytes 0 to 31, or 127): what must never reach a request's
// header lines or a one-line value.
bool HasControlCharacters(std::string_view text);

// A response body taken as text: the bytes up to the first zero byte.
std::string PageText(std::string_view bytes);

// The leading number of a text as typed by a user: leading white space skipped, then an optional sign,
// digits, an optional fraction and an optional exponent; 0 when the text does not start with a number.
double LeadingNumber(std::string_view text);

// The leading decimal integer of a text (optional sign and digits after white space), clamped to 32 bits.
int32_t LeadingInteger(std::string_view text);

// Truncates toward zero into the 32-bit range; NaN gives 0, values beyond the range saturate.
int32_t TruncateToInt32(double value);

// Decimal text: optional "-", digits, no grouping, no padding.
std::string DecimalText(int64_t value);
