// Parses an INI file once into hash tables and answers lookups with the system's private-profile rules.
#include "state/ini_reader.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "state/code_page_936.h"
#include "state/ini_lines.h"

namespace {

// The longest value the system hands back through a 10,240-byte buffer, in characters and in bytes.
constexpr size_t kMaxRead = 10239;
// Sections with more keys than this get their keys hashed; smaller ones are looked through.
constexpr uint32_t kMostKeysLookedThrough = 16;

bool IsLead(unsigned char byte) {
    return byte >= 0x81 && byte <= 0xFE;
}
bool IsTrail(unsigned char byte) {
    return byte >= 0x40 && byte <= 0xFE && byte != 0x7F;
}
unsigned char FoldCase(unsigned char byte) {
    return byte >= 'A' && byte <= 'Z' ? byte + ('a' - 'A') : byte;
}

// Rewrites GBK bytes the way the system decodes them, so that every character of the result stands for one
// UTF-16 unit: a lead byte with a byte that cannot trail it becomes "?" (a zero byte is kept after it), a
// lone lead byte at the end becomes "?" in file text and vanishes from a name passed to the system.
enum class LoneLeadAtEnd { kQuestionMark, kDropped };
void DecodeGbk(std::string& text, LoneLeadAtEnd lone_lead) {
    size_t read = 0, write = 0;
    while (read < text.size()) {
        unsigned char byte = text[read];
        if (!IsLead(byte)) {
            text[write++] = text[read++];
        } else if (read + 1 == text.size()) {
            if (lone_lead == LoneLeadAtEnd::kQuestionMark) text[write++] = '?';
            ++read;
        } else if (IsTrail(text[read + 1])) {
            text[write++] = text[read++];
            text[write++] = text[read++];
        } else {
            text[write++] = '?';
            read += text[read + 1] == '\0' ? 1 : 2;
        }
    }
    text.resize(write);
}

// UTF-8 as the system decodes it: a malformed sequence gives one U+FFFD for the bytes read up to the first
// bad one (a sequence cut off by the end of the text takes the rest with it); code points above U+FFFF give
// surrogate pairs.
std::u16string DecodeUtf8(std::string_view bytes) {
    std::u16string units;
    units.reserve(bytes.size());
    size_t at = 0;
    while (at < bytes.size()) {
        unsigned char first = bytes[at++];
        if (first < 0x80) {
            units += first;
            continue;
        }
        int length = first >= 0xC2 && first <= 0xDF   ? 1
                     : first >= 0xE0 && first <= 0xEF ? 2
                     : first >= 0xF0 && first <= 0xF4 ? 3
                                                      : 0;
        if (bytes.size() - at < static_cast<size_t>(length)) {
            at = bytes.size();
            units += u'\uFFFD';
            continue;
        }
        char32_t code = first & (0x3F >> length);
        bool valid = length > 0;
        // Overlong forms, surrogates and values past U+10FFFF are refused as soon as they show; the byte that
        // shows one is taken along, except for a value past U+10FFFF.
        for (int left = length - 1; valid && left >= 0; --left) {
            unsigned char bits = static_cast<unsigned char>(bytes[at]) ^ 0x80;
            code = code << 6 | bits;
            if (bits >= 0x40 || (left == 1 && code >= (0x110000 >> 6))) {
                valid = false;
                break;
            }
            ++at;
            if (left == 2) valid = code >= 0x10;
            if (left == 1) valid = code >= 0x20 && (code < (0xD800 >> 6) || code > (0xDFFF >> 6));
            if (left == 0) valid = code >= 0x80;
        }
        if (!valid) {
            units += u'\uFFFD';
        } else if (code <= 0xFFFF) {
            units += static_cast<char16_t>(code);
        } else {
            code -= 0x10000;
            units += static_cast<char16_t>(0xD800 | code >> 10);
            units += static_cast<char16_t>(0xDC00 | (code & 0x3FF));
        }
    }
    return units;
}

// UTF-16 after its byte-order mark; an odd last byte is left out (the system reads past its buffer there).
std::u16string DecodeUtf16(std::string_view bytes, bool big_endian) {
    std::u16string units(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i) {
        unsigned char low = bytes[2 * i + (big_endian ? 1 : 0)], high = bytes[2 * i + (big_endian ? 0 : 1)];
        units[i] = static_cast<char16_t>(high << 8 | low);
    }
    return units;
}

// Reports each section header's name and each key's name and value of decoded text (GBK after DecodeGbk,
// or UTF-16).
template <typename Unit, typename OnSection, typename OnKey>
void ParseLines(std::basic_string_view<Unit> text, OnSection on_section, OnKey on_key) {
    IniLines<Unit> lines(text);
    IniLine<Unit> line;
    while (lines.Next(line)) {
        if (line.kind == IniLine<Unit>::Kind::kSection) {
            on_section(line.name);
        } else if (line.kind == IniLine<Unit>::Kind::kKey) {
            on_key(line.name, line.value, line.has_value);
        }
    }
}

uint32_t Mix(uint32_t hash) {
    hash ^= hash >> 16;
    hash *= 0x85EBCA6Bu;
    hash ^= hash >> 13;
    hash *= 0xC2B2AE35u;
    return hash ^ hash >> 16;
}

// Names compare ignoring the case of ASCII letters; the trail bytes of GBK characters are compared as they
// are.
uint32_t HashName(std::string_view name, uint32_t seed) {
    uint32_t hash = 2166136261u ^ seed;
    for (size_t at = 0; at < name.size(); ++at) {
        unsigned char byte = name[at];
        if (IsLead(byte) && at + 1 < name.size()) {
            hash = (hash ^ byte) * 16777619u;
            byte = name[++at];
        } else {
            byte = FoldCase(byte);
        }
        hash = (hash ^ byte) * 16777619u;
    }
    return Mix(hash);
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t at = 0; at < a.size(); ++at) {
        unsigned char byte = a[at];
        if (IsLead(byte) && at + 1 < a.size()) {
            if (a[at] != b[at] || a[at + 1] != b[at + 1]) return false;
            ++at;
        } else if (FoldCase(byte) != FoldCase(b[at])) {
            return false;
        }
    }
    return true;
}

// Linear probing in a table of entry index + 1; gives the slot holding the entry `matches` accepts, or the
// free slot where it belongs.
template <typename Slots, typename Matches>
auto& Probe(Slots& slots, uint32_t hash, Matches matches) {
    size_t mask = slots.size() - 1;
    for (size_t at = hash & mask;; at = (at + 1) & mask) {
        if (slots[at] == 0 || matches(slots[at] - 1)) return slots[at];
    }
}

// Keeps the table at most half full.
template <typename HashOf>
void MakeRoom(std::vector<uint32_t>& slots, size_t entries, HashOf hash_of) {
    if ((entries + 1) * 2 <= slots.size()) return;
    std::vector<uint32_t> grown(std::max<size_t>(16, slots.size() * 2), 0);
    for (uint32_t slot : slots) {
        if (slot != 0) Probe(grown, hash_of(slot - 1), [](uint32_t) { return false; }) = slot;
    }
    slots.swap(grown);
}

// A name as the system looks it up: the runtime's read key skips leading characters 1 to 32 (false when
// nothing is left), the system's call takes the name up to its first zero, decodes it and trims blanks.
bool LookupName(std::string_view name, std::string& decoded) {
    size_t first = 0;
    while (first < name.size() && static_cast<unsigned char>(name[first]) >= 1 &&
           static_cast<unsigned char>(name[first]) <= 32) {
        ++first;
    }
    if (first == name.size()) return false;
    name.remove_prefix(first);
    decoded.assign(name.substr(0, std::min(name.size(), name.find('\0'))));
    DecodeGbk(decoded, LoneLeadAtEnd::kDropped);
    decoded = std::string(IniLines<char>::Name(decoded));
    return true;
}

// Bytes in the longest run of whole characters from the start of `text` with at most `max_chars` characters
// and `max_bytes` bytes.
size_t WholeCharacters(std::string_view text, size_t max_chars, size_t max_bytes) {
    size_t at = 0;
    for (size_t chars = 0; at < text.size() && chars < max_chars; ++chars) {
        size_t width = IsLead(text[at]) && at + 1 < text.size() ? 2 : 1;
        if (at + width > max_bytes) break;
        at += width;
    }
    return at;
}

size_t CountCharacters(std::string_view text, size_t cap) {
    size_t chars = 0;
    for (size_t at = 0; at < text.size() && chars < cap; ++chars)
        at += IsLead(text[at]) && at + 1 < text.size() ? 2 : 1;
    return chars;
}

// A stored value as the system hands it back: enclosing matching quotes removed, cut to what fits. The system
// cuts to 10,239 characters before it drops the closing quote: with 10,240 characters after the opening quote
// it drops the last kept character instead, with more it drops nothing.
std::string ValueAsRead(std::string_view value) {
    bool quoted = value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0];
    if (!quoted) return std::string(value.substr(0, WholeCharacters(value, kMaxRead, kMaxRead)));
    std::string_view inner = value.substr(1);
    size_t chars =
        inner.size() <= kMaxRead ? inner.size() : CountCharacters(inner, kMaxRead + 2);  // bytes bound chars
    if (chars <= kMaxRead) {
        inner.remove_suffix(1);
        return std::string(inner.substr(0, WholeCharacters(inner, kMaxRead, kMaxRead)));
    }
    size_t kept = chars == kMaxRead + 1 ? kMaxRead - 1 : kMaxRead;
    return std::string(inner.substr(0, WholeCharacters(inner, kept, kMaxRead)));
}

}  // namespace

IniReader IniReader::FromBytes(std::string bytes) {
    IniReader reader;
    reader.AddSection(Range{});                     // the lines before the first header
    if (bytes.size() >= UINT32_MAX) return reader;  // beyond 32-bit offsets: read as empty
    uint32_t section = 0;

    unsigned char first = bytes.size() >= 2 ? bytes[0] : 0, second = bytes.size() >= 2 ? bytes[1] : 0;
    bool utf8 = bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
    bool utf16 = (first == 0xFF && second == 0xFE) || (first == 0xFE && second == 0xFF);
    if (!utf8 && !utf16) {
        DecodeGbk(bytes, LoneLeadAtEnd::kQuestionMark);
        reader.text_ = std::move(bytes);
        std::string_view text = reader.text_;
        auto range = [&](std::string_view part) {
            return Range{static_cast<uint32_t>(part.data() - text.data()),
                         static_cast<uint32_t>(part.size())};
        };
        ParseLines(
            text, [&](std::string_view name) { section = reader.AddSection(range(name)); },
            [&](std::string_view name, std::string_view value, bool has_value) {
                reader.AddKey(section, range(name), has_value ? range(value) : Range{}, has_value);
            });
        reader.IndexLargeSections();
        return reader;
    }

    // A Unicode file: names and values are converted to GBK as the system converts them. A name with a unit
    // that has no GBK character of its own can never equal a name looked up in GBK, so it is left out.
    std::u16string units = utf8 ? DecodeUtf8(std::string_view(bytes).substr(3))
                                : DecodeUtf16(std::string_view(bytes).substr(2), first == 0xFE);
    std::string().swap(bytes);  // frees the file's bytes before the converted text grows
    auto convert = [&](std::u16string_view part, bool for_name, Range& range) {
        bool exact = true;
        const std::string converted = GbkFromUtf16(part, for_name ? &exact : nullptr);
        if (!exact) return false;
        range = Range{static_cast<uint32_t>(reader.text_.size()), static_cast<uint32_t>(converted.size())};
        reader.text_ += converted;
        return true;
    };
    ParseLines(
        std::u16string_view(units),
        [&](std::u16string_view name) {
            Range range;
            section = convert(name, true, range) ? reader.AddSection(range) : kNone;
        },
        [&](std::u16string_view name, std::u16string_view value, bool has_value) {
            Range name_range, value_range;
            if (section == kNone || !convert(name, true, name_range)) return;
            if (has_value) convert(value, false, value_range);
            reader.AddKey(section, name_range, value_range, has_value);
        });
    reader.IndexLargeSections();
    return reader;
}

IniReader IniReader::FromFile(std::string_view path) {
    size_t first = 0;
    while (first < path.size() && static_cast<unsigned char>(path[first]) >= 1 &&
           static_cast<unsigned char>(path[first]) <= 32) {
        ++first;
    }
    if (first == path.size()) return IniReader();
    std::ifstream file(std::string(path.substr(first)), std::ios::binary);
    if (!file) return IniReader();
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) return IniReader();
    return FromBytes(std::move(bytes));
}

std::string IniReader::Get(std::string_view section, std::string_view key) const {
    return Find(section, key).value_or(std::string());
}

std::optional<std::string> IniReader::Find(std::string_view section, std::string_view key) const {
    std::string section_name, key_name;
    if (!LookupName(section, section_name) || !LookupName(key, key_name)) return std::nullopt;
    uint32_t found_section = FindSection(section_name);
    if (found_section == kNone) return std::nullopt;
    const Key* found = FindKey(found_section, key_name);
    if (found == nullptr || !found->has_value) return std::nullopt;
    return ValueAsRead(View(found->value));
}

std::vector<std::string> IniReader::SectionNames() const {
    std::vector<std::string> names;
    for (size_t index = 1; index < sections_.size(); ++index) names.emplace_back(View(sections_[index].name));
    return names;
}

uint32_t IniReader::AddSection(Range name) {
    MakeRoom(section_slots_, sections_.size(),
             [&](uint32_t index) { return HashName(View(sections_[index].name), 0); });
    uint32_t& slot = Probe(section_slots_, HashName(View(name), 0),
                           [&](uint32_t index) { return SameName(View(sections_[index].name), View(name)); });
    if (slot != 0) return kNone;
    sections_.push_back(Section{name, static_cast<uint32_t>(keys_.size()), 0});
    slot = static_cast<uint32_t>(sections_.size());
    return slot - 1;
}

// Keys arrive in file order, so the keys of a section follow each other.
void IniReader::AddKey(uint32_t section, Range name, Range value, bool has_value) {
    if (section == kNone) return;
    keys_.push_back(Key{name, value, has_value});
    ++sections_[section].key_count;
}

void IniReader::IndexLargeSections() {
    size_t hashed = 0;
    for (const Section& section : sections_) {
        if (section.key_count > kMostKeysLookedThrough) hashed += section.key_count;
    }
    if (hashed == 0) return;
    size_t size = 16;
    while (size < 2 * hashed) size *= 2;
    key_slots_.assign(size, 0);
    for (uint32_t index = 0; index < sections_.size(); ++index) {
        const Section& section = sections_[index];
        if (section.key_count <= kMostKeysLookedThrough) continue;
        for (uint32_t key = section.first_key; key < section.first_key + section.key_count; ++key) {
            uint32_t& slot = Probe(key_slots_, HashName(View(keys_[key].name), index), [&](uint32_t other) {
                return other >= section.first_key && other < key &&
                       SameName(View(keys_[other].name), View(keys_[key].name));
            });
            if (slot == 0) slot = key + 1;  // the first key of a name wins
        }
    }
}

uint32_t IniReader::FindSection(std::string_view name) const {
    if (section_slots_.empty()) return kNone;
    uint32_t slot = Probe(section_slots_, HashName(name, 0),
                          [&](uint32_t index) { return SameName(View(sections_[index].name), name); });
    return slot == 0 ? kNone : slot - 1;
}

const IniReader::Key* IniReader::FindKey(uint32_t section, std::string_view name) const {
    const Section& keys = sections_[section];
    if (keys.key_count <= kMostKeysLookedThrough) {
        for (uint32_t key = keys.first_key; key < keys.first_key + keys.key_count; ++key) {
            if (SameName(View(keys_[key].name), name)) return &keys_[key];
        }
        return nullptr;
    }
    uint32_t slot = Probe(key_slots_, HashName(name, section), [&](uint32_t key) {
        return key >= keys.first_key && key < keys.first_key + keys.key_count &&
               SameName(View(keys_[key].name), name);
    });
    return slot == 0 ? nullptr : &keys_[slot - 1];
}
