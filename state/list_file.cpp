// The list file: its value rules, the run's step-by-step writer, and the load and save walks.
#include "state/list_file.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <optional>

#include "runtime/text.h"
#include "state/file_replace.h"
#include "state/ini_lines.h"
#include "state/ini_reader.h"
#include "state/ini_rewrite.h"

namespace {

constexpr std::string_view kConfigSection = "配置";
constexpr std::string_view kStartKey = "当前开始项";
constexpr std::string_view kCountKey = "总数";
constexpr std::string_view kPlannedKey = "计划总数";
// The keys of an entry and the cells they hold; "状态" is written only for a row that has one.
struct EntryKey {
    std::string_view key;
    size_t column;
};
constexpr EntryKey kEntryKeys[] = {{"序列号", kColumnId},
                                   {"标题", kColumnTitle},
                                   {"UID", kColumnUid},
                                   {"用户名", kColumnName},
                                   {"状态", kColumnState}};

constexpr std::string_view kLineEnd = "\r\n";
// Wide enough for any number of steps a run of 32-bit ids can make.
constexpr size_t kCountWidth = 10;

// A lead byte as the system decodes GBK: 0x80 and 0xFF stand alone.
bool IsLeadByte(char c) {
    return static_cast<unsigned char>(c) >= 0x81 && static_cast<unsigned char>(c) <= 0xFE;
}

void AppendKey(std::string& out, std::string_view key, std::string_view value) {
    AppendIniKey(out, key, ListValue(value));
}

void AppendEntryKeys(std::string& out, const ResultRow& row) {
    for (const auto& [key, column] : kEntryKeys) {
        if (column != kColumnState || !row[column].empty()) AppendKey(out, key, row[column]);
    }
}

bool IsEntryKey(std::string_view key) {
    return std::ranges::any_of(kEntryKeys, [&](const EntryKey& ours) { return SameIniName(key, ours.key); });
}

bool WriteText(std::FILE* file, std::string_view text) {
    return std::fwrite(text.data(), 1, text.size(), file) == text.size();
}

}  // namespace

std::string ListValue(std::string_view value) {
    size_t end = 0;
    while (end < value.size()) {
        const bool lead = IsLeadByte(value[end]);
        if (lead && end + 1 == value.size()) break;  // half a character
        const size_t next = end + (lead ? 2 : 1);
        if (next > kListValueLimit) break;
        end = next;
    }
    std::string text(value.substr(0, end));
    for (char& c : text) {
        if (c == '\r' || c == '\n' || c == '\0') c = ' ';
    }
    return text;
}

bool ListFileWriter::Open(const std::string& path, std::string_view typed_start, int64_t planned,
                          int64_t first_id, const std::vector<SharedRow>& rows) {
    file_.reset();
    count_ = static_cast<int64_t>(rows.size());
    std::string text;
    AppendIniSection(text, kConfigSection);
    AppendKey(text, kStartKey, typed_start);
    AppendKey(text, kPlannedKey, DecimalText(planned));
    text += kCountKey;
    text += '=';
    count_offset_ = static_cast<long>(text.size());
    std::string field = DecimalText(count_);
    field.resize(kCountWidth, ' ');
    text += field;
    text += kLineEnd;
    for (size_t k = 0; k < rows.size(); ++k) AppendEntry(text, first_id + static_cast<int64_t>(k), *rows[k]);
    // Replaced in one step: a program ended meanwhile leaves the file as it was or as it is now.
    if (!ReplaceFileContent(path, text)) return false;
    file_.reset(std::fopen(path.c_str(), "r+b"));
    return file_ != nullptr;
}

void ListFileWriter::AppendEntry(std::string& out, int64_t id, const ResultRow& row) {
    AppendIniSection(out, DecimalText(id));
    AppendEntryKeys(out, row);
}

bool ListFileWriter::Append(int64_t id, const ResultRow& row) {
    if (!file_) return false;
    std::string entry;
    AppendEntry(entry, id, row);
    ++count_;
    if (std::fseek(file_.get(), 0, SEEK_END) == 0 && WriteText(file_.get(), entry) &&
        std::fflush(file_.get()) == 0 && WriteCount()) {
        return true;
    }
    file_.reset();
    return false;
}

// Rewrites the count field in place; the blanks that pad it are trimmed by every reader.
bool ListFileWriter::WriteCount() {
    std::string field = DecimalText(count_);
    field.resize(kCountWidth, ' ');
    return std::fseek(file_.get(), count_offset_, SEEK_SET) == 0 && WriteText(file_.get(), field) &&
           std::fflush(file_.get()) == 0;
}

namespace {

using Line = IniLine<char>;
using Lines = IniLines<char>;

// Number 1 … `rows` of an entry section name written in plain decimal, else 0.
size_t EntryNumber(std::string_view name, size_t rows) {
    if (name.empty() || name.front() == '0' || name.size() > 19) return 0;
    uint64_t number = 0;
    for (char c : name) {
        if (c < '0' || c > '9') return 0;
        number = number * 10 + static_cast<uint64_t>(c - '0');
    }
    return number <= rows ? static_cast<size_t>(number) : 0;
}

// The numbers of the sections named by a decimal number as entry sections are named, sorted. A file with a
// byte-order mark is read in UTF-8 or UTF-16; there only ASCII characters matter to the numbers.
std::vector<int64_t> EntrySectionNumbers(std::string_view bytes) {
    std::string ascii;
    const bool utf16 = bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF");
    if (bytes.starts_with("\xEF\xBB\xBF") || utf16) {
        const bool big_endian = bytes.starts_with("\xFE");
        bytes.remove_prefix(utf16 ? 2 : 3);
        for (size_t pos = 0; pos + (utf16 ? 1 : 0) < bytes.size(); pos += utf16 ? 2 : 1) {
            unsigned unit = static_cast<unsigned char>(bytes[pos]);
            if (utf16) {
                const unsigned next = static_cast<unsigned char>(bytes[pos + 1]);
                unit = big_endian ? unit << 8 | next : next << 8 | unit;
            }
            ascii += unit < 0x80 ? static_cast<char>(unit) : '?';
        }
        bytes = ascii;
    }
    std::vector<int64_t> numbers;
    Lines lines(bytes);
    Line line;
    while (lines.Next(line)) {
        const std::string_view name = line.name;
        int64_t number = 0;
        if (line.kind != Line::Kind::kSection ||
            std::from_chars(name.data(), name.data() + name.size(), number).ptr !=
                name.data() + name.size()) {
            continue;
        }
        if (!name.empty() && DecimalText(number) == name) numbers.push_back(number);
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

// The thread id an entry's "序列号" names: plain decimal, 32 bits.
std::optional<int32_t> ThreadIdOf(std::string_view text) {
    int32_t id;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return id;
}

// The sections a save writes: "配置" as number 0 and the entry section of row k as number k.
IniOwnedSections SavedSections(const std::vector<SharedRow>& rows,
                               const std::function<void(size_t)>& progress, size_t& done) {
    const size_t step = std::max<size_t>(1, rows.size() / 100);
    IniOwnedSections owned;
    owned.sections = rows.size() + 1;
    owned.number_of = [&rows](std::string_view name) {
        if (SameIniName(name, kConfigSection)) return size_t{0};
        const size_t number = EntryNumber(name, rows.size());
        return number ? number : IniOwnedSections::kNotOwned;
    };
    owned.name_of = [](size_t section) {
        return section == 0 ? std::string(kConfigSection) : DecimalText(static_cast<int64_t>(section));
    };
    owned.owns_key = [](size_t section, std::string_view key) {
        if (section == 0) return SameIniName(key, kStartKey) || SameIniName(key, kCountKey);
        return IsEntryKey(key);
    };
    owned.write_keys = [&rows, &progress, &done, step](size_t section, std::string& out) {
        if (section == 0) {
            AppendKey(out, kStartKey, "1");
            AppendKey(out, kCountKey, DecimalText(static_cast<int64_t>(rows.size())));
            return;
        }
        AppendEntryKeys(out, *rows[section - 1]);
        ++done;
        if (progress && (done % step == 0 || done == rows.size())) progress(done);
    };
    return owned;
}

}  // namespace

std::vector<ResultRow> LoadListFile(const std::string& path, std::string_view thread_address) {
    std::string bytes;
    if (!ReadFileContent(path, bytes)) return {};
    const std::vector<int64_t> numbers = EntrySectionNumbers(bytes);
    if (numbers.empty()) return {};
    const IniReader file = IniReader::FromBytes(std::move(bytes));
    const int64_t count = TruncateToInt32(LeadingNumber(file.Get(kConfigSection, kCountKey)));
    int64_t start = TruncateToInt32(LeadingNumber(file.Get(kConfigSection, kStartKey)));
    const auto present = [&](int64_t number) {
        return std::binary_search(numbers.begin(), numbers.end(), number);
    };
    // Earlier versions saved sections 1 … n but named the first row's thread id as the start entry.
    if (!present(start) && present(1)) start = 1;
    const int64_t last = std::min(start + count - 1, numbers.back());

    std::vector<ResultRow> rows;
    const auto add_row = [&](int64_t number) {
        const std::string section = DecimalText(number);
        ResultRow& row = rows.emplace_back();
        for (const auto& [key, column] : kEntryKeys) row[column] = file.Get(section, key);
        const std::optional<int32_t> id = ThreadIdOf(row[kColumnId]);
        if (!row[kColumnTitle].empty() && id) row[kColumnAddress] = ThreadAddress(thread_address, *id);
    };
    // Missing sections read as empty rows; but where the holes outnumber the entries (a count or a section
    // number far off) only the entries are read, so no file can make the list grow without bound.
    const auto first = std::lower_bound(numbers.begin(), numbers.end(), start);
    const auto end = std::upper_bound(first, numbers.end(), last);
    const int64_t entries = end - first;
    if (last - start + 1 - entries <= entries) {
        for (int64_t number = start; number <= last; ++number) add_row(number);
    } else {
        std::for_each(first, end, add_row);
    }
    return rows;
}

std::optional<UnfinishedRun> UnfinishedRunIn(const std::string& path, std::string_view thread_address) {
    const IniReader file = IniReader::FromFile(path);
    const std::optional<std::string> planned = file.Find(kConfigSection, kPlannedKey);
    if (!planned) return std::nullopt;
    UnfinishedRun run{file.Get(kConfigSection, kStartKey), TruncateToInt32(LeadingNumber(*planned)), {}};
    run.rows = LoadListFile(path, thread_address);
    if (static_cast<int64_t>(run.rows.size()) >= run.planned) return std::nullopt;
    return run;
}

bool SaveListFile(const std::string& path, const std::vector<SharedRow>& rows,
                  const std::function<void(size_t)>& progress) {
    std::string old;
    if (!ReadFileContent(path, old)) return false;
    if (IsUnicodeText(old)) return false;
    size_t done = 0;
    return ReplaceFileContent(
        path, RewriteIni(old, SavedSections(rows, progress, done), old.size() + rows.size() * 96 + 64));
}
