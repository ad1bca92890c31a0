// A whole INI file read once, answering key lookups exactly as the system's private-profile reader does.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Reading a list file key by key through the system costs a file parse per key; this parses once and then
// answers each lookup from a hash table of sections and a look through the few keys of one. Get gives what
// GetPrivateProfileStringA(section, key, "", buffer of 10,240 bytes, file) gives under code page 936, with
// the read-key rule of the runtime on top (leading characters 1 to 32 of the names skipped, an empty name
// reads as empty text):
// - Names match ignoring ASCII letter case, after blanks (tab to carriage return, ^Z, space) around them are
//   trimmed; a name ends at its first zero byte.
// - Only the first section of a name counts (keys in a later section of the same name are never seen), and
//   in it the first key of a name, even one written without "=" (which reads as empty).
// - Lines end at any run of CR and LF. "[" starts a section header only with a "]" later in the line (the
//   last one closes it); any other line is a key, comment lines included, with the value after the first "=".
// - A value enclosed in matching single or double quotes loses them; values longer than 10,239 characters
//   or bytes are cut to whole characters.
// - The file is decoded as the system does: GBK, or UTF-8 / UTF-16 after a byte-order mark. A GBK lead byte
//   followed by a byte that cannot trail it reads as "?" together with that byte (even a line end), a lone
//   lead byte at the end as "?".
class IniReader {
  public:
    // An empty file: every key reads as empty text.
    IniReader() = default;

    static IniReader FromBytes(std::string bytes);
    // A missing or unreadable file, or a name that is empty after the leading characters 1 to 32, reads as an
    // empty file. Unlike the system, a bare file name is looked for in the current folder, not the Windows
    // folder; callers pass full paths.
    static IniReader FromFile(std::string_view path);

    std::string Get(std::string_view section, std::string_view key) const;
    // The value when the section has the key written with "=", as Get reads it; none otherwise.
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;
    // The names of the sections, each name once, in file order.
    std::vector<std::string> SectionNames() const;

  private:
    struct Range {
        uint32_t begin = 0, size = 0;
    };
    struct Section {
        Range name;
        uint32_t first_key, key_count;  // its keys lie together in keys_, in file order
    };
    struct Key {
        Range name;
        Range value;
        bool has_value;
    };
    static constexpr uint32_t kNone = UINT32_MAX;

    std::string_view View(Range range) const {
        return std::string_view(text_).substr(range.begin, range.size);
    }
    // Index of the new section, or kNone when a section of that name is already there (the new one stays
    // unseen).
    uint32_t AddSection(Range name);
    void AddKey(uint32_t section, Range name, Range value, bool has_value);
    void IndexLargeSections();
    uint32_t FindSection(std::string_view name) const;
    const Key* FindKey(uint32_t section, std::string_view name) const;

    // GBK text the ranges point into: the file itself, or for a Unicode file its names and values converted.
    std::string text_;
    std::vector<Section> sections_;  // first section of each name; 0 is the nameless one before any header
    std::vector<Key> keys_;          // the keys of those sections
    // Open-addressing hash tables of index + 1 (0 = free slot), sizes a power of two: the sections, and the
    // keys of sections too large to look through.
    std::vector<uint32_t> section_slots_, key_slots_;
};
