// Writing keys into an existing INI text in place: the keys a writer owns are replaced, everything else
// stays.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// The sections a writer owns, numbered 0 … sections − 1, and what it writes into them.
struct IniOwnedSections {
    static constexpr size_t kNotOwned = SIZE_MAX;

    size_t sections = 0;
    // The number of the owned section of that name; kNotOwned for any other.
    std::function<size_t(std::string_view name)> number_of;
    std::function<std::string(size_t section)> name_of;
    // Whether the writer writes `key` into `section`.
    std::function<bool(size_t section, std::string_view key)> owns_key;
    // Appends the section's keys (AppendIniKey).
    std::function<void(size_t section, std::string& out)> write_keys;
};

// The `old` text with the owned keys of the first section of each owned name taken out and written again at
// that section's end; owned sections the text lacks are added at its end, in number order. Other sections,
// keys, comments and empty lines stay as they stand (the empty lines that end a section still end it).
std::string RewriteIni(std::string_view old, const IniOwnedSections& owned, size_t expected_size = 0);

// Appends "key=value" and a line break. The system's reader trims blanks around a value and strips one pair
// of enclosing quotes, so a value that would lose either is written inside double quotes: it reads back
// exactly. The value must be one line of whole characters (ListValue makes it so).
void AppendIniKey(std::string& out, std::string_view key, std::string_view value);
void AppendIniSection(std::string& out, std::string_view name);

// Names of sections and keys compare as the system compares them: ASCII letters in either case.
bool SameIniName(std::string_view a, std::string_view b);

// A file with a byte-order mark is read in UTF-8 or UTF-16; lines added in GBK would not read back from it.
bool IsUnicodeText(std::string_view bytes);
