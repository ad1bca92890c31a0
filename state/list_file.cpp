// The list file: its value rules, the run's step-by-step writer, and the load and save walks.
#include "state/list_file.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <optional>

#include "runtime/text.h"
#include "state/file_replace.h"
#include "state/ini_lines.h"
#include "state/ini_reader.h"

namespace {

constexpr std::string_view kConfigSection = "配置";
constexpr std::string_view kStartKey = "当前开始项";
constexpr std::string_view kCountKey = "总数";
constexpr std::string_view kEntryKeys[] = {"序列号", "标题", "UID", "用户名"};  // cells 0 to 3

constexpr std::string_view kLineEnd = "\r\n";
// Wide enough for any number of steps a run of 32-bit ids can make.
constexpr size_t kCountWidth = 10;

// A lead byte as the system decodes GBK: 0x80 and 0xFF stand alone.
bool IsLeadByte(char c) {
    return static_cast<unsigned char>(c) >= 0x81 && static_cast<unsigned char>(c) <= 0xFE;
}

bool IsBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

// The value as written after "key=": inside double quotes when the system's reader would otherwise trim
// blanks or control characters at its ends or strip a pair of quotes around it. The reader strips exactly one
// pair of matching quotes, so a quoted value always reads back as it was.
std::string FileValue(std::string_view value) {
    std::string text = ListValue(value);
    const bool quoted = !text.empty() && (IsBlankOrControl(text.front()) || IsBlankOrControl(text.back()) ||
                                          text.starts_with("\xA1\xA1") || text.ends_with("\xA1\xA1") ||
                                          text.front() == '"' || text.front() == '\'');
    return quoted ? '"' + text + '"' : text;
}

void AppendKey(std::string& out, std::string_view key, std::string_view value) {
    out += key;
    out += '=';
    out += FileValue(value);
    out += kLineEnd;
}

void AppendSectionHeader(std::string& out, std::string_view name) {
    out += '[';
    out += name;
    out += ']';
    out += kLineEnd;
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

bool ListFileWriter::Open(const std::string& path, std::string_view typed_start) {
    file_.reset(std::fopen(path.c_str(), "wb"));
    count_ = 0;
    if (!file_) return false;
    std::string head;
    AppendSectionHeader(head, kConfigSection);
    AppendKey(head, kStartKey, typed_start);
    head += kCountKey;
    head += '=';
    count_offset_ = static_cast<long>(head.size());
    head += std::string(kCountWidth, ' ');
    head += kLineEnd;
    if (WriteText(file_.get(), head) && WriteCount()) return true;
    file_.reset();
    return false;
}

bool ListFileWriter::Append(int64_t id, std::string_view title, std::string_view uid, std::string_view name) {
    if (!file_) return false;
    const std::string number = DecimalText(id);
    std::string entry;
    AppendSectionHeader(entry, number);
    AppendKey(entry, kEntryKeys[kColumnId], number);
    AppendKey(entry, kEntryKeys[kColumnTitle], title);
    AppendKey(entry, kEntryKeys[kColumnUid], uid);
    AppendKey(entry, kEntryKeys[kColumnName], name);
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

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && AsciiLower(a) == AsciiLower(b);
}

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
            std::from_chars(name.data(), name.data() + name.size(), number).ptr != name.data() + name.size()) {
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

// Builds the saved file: the old file's lines with the keys of "配置" and of sections 1 … n that this save
// writes taken out, those keys written at the end of the first section of each name, and the sections the
// file lacks added at its end.
class SavedFile {
  public:
    SavedFile(const std::vector<SharedRow>& rows, const std::function<void(size_t)>& progress)
        : rows_(rows), progress_(progress), written_(rows.size() + 1, false) {
        progress_step_ = std::max<size_t>(1, rows.size() / 100);
    }

    std::string Build(std::string_view old) {
        out_.reserve(old.size() + rows_.size() * 96 + 64);
        Lines lines(old);
        Line line;
        while (lines.Next(line)) {
            if (line.kind == Line::Kind::kSection) {
                EndSection();
                StartSection(line.name);
                Keep(line);
            } else if (line.kind == Line::Kind::kEmpty || !IsWrittenKey(line.name)) {
                Keep(line);
            } else {
                Drop(line);
            }
        }
        EndSection();
        for (size_t section = 0; section < written_.size(); ++section) {
            if (written_[section]) continue;
            AppendSectionHeader(out_,
                                section == 0 ? kConfigSection : DecimalText(static_cast<int64_t>(section)));
            WriteKeys(section);
        }
        return std::move(out_);
    }

  private:
    static constexpr size_t kNotOurs = SIZE_MAX;

    void StartSection(std::string_view name) {
        if (SameName(name, kConfigSection)) {
            section_ = 0;
        } else if (const size_t number = EntryNumber(name, rows_.size())) {
            section_ = number;
        } else {
            section_ = kNotOurs;
        }
        first_of_name_ = section_ != kNotOurs && !written_[section_];
        if (first_of_name_) written_[section_] = true;
    }

    void EndSection() {
        if (first_of_name_) WriteKeys(section_);
        out_ += held_;
        held_ = {};
        first_of_name_ = false;
    }

    bool IsWrittenKey(std::string_view key) const {
        if (section_ == kNotOurs) return false;
        if (section_ == 0) return SameName(key, kStartKey) || SameName(key, kCountKey);
        return std::ranges::any_of(kEntryKeys, [&](auto ours) { return SameName(key, ours); });
    }

    // A kept line goes out with one line break; further breaks wait, so that keys added at the end of the
    // section come before the empty lines that end it.
    void Keep(const Line& line) {
        out_ += held_;
        out_ += line.content;
        out_ += line.brk.empty() ? kLineEnd : line.brk;
        held_ = line.extra;
    }

    // A dropped key's empty lines still separate what stands around it.
    void Drop(const Line& line) {
        if (!line.extra.empty()) held_ = line.extra;
    }

    void WriteKeys(size_t section) {
        if (section == 0) {
            AppendKey(out_, kStartKey, "1");
            AppendKey(out_, kCountKey, DecimalText(static_cast<int64_t>(rows_.size())));
            return;
        }
        const ResultRow& row = *rows_[section - 1];
        for (size_t column = 0; column < std::size(kEntryKeys); ++column) {
            AppendKey(out_, kEntryKeys[column], row[column]);
        }
        ++done_;
        if (progress_ && (done_ % progress_step_ == 0 || done_ == rows_.size())) progress_(done_);
    }

    const std::vector<SharedRow>& rows_;
    const std::function<void(size_t)>& progress_;
    size_t progress_step_;
    std::vector<bool> written_;  // per section: 0 is "配置", k the entry section of row k
    std::string out_;
    std::string_view held_;
    size_t section_ = kNotOurs;
    bool first_of_name_ = false;
    size_t done_ = 0;
};

// The whole file; a missing file is empty. False when the file is there but cannot be read.
bool ReadWholeFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    errno = 0;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) return errno == ENOENT;
    char buffer[1 << 16];
    size_t read;
    while ((read = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) bytes.append(buffer, read);
    return !std::ferror(file.get());
}

}  // namespace

std::vector<ResultRow> LoadListFile(const std::string& path, std::string_view forum) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) return {};
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
        for (size_t column = 0; column < std::size(kEntryKeys); ++column) {
            row[column] = file.Get(section, kEntryKeys[column]);
        }
        const std::optional<int32_t> id = ThreadIdOf(row[kColumnId]);
        if (!row[kColumnTitle].empty() && id) row[kColumnAddress] = ThreadAddress(forum, *id);
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

bool SaveListFile(const std::string& path, const std::vector<SharedRow>& rows,
                  const std::function<void(size_t)>& progress) {
    std::string old;
    if (!ReadWholeFile(path, old)) return false;
    // Lines added in GBK would not read back from a file the system decodes as UTF-8 or UTF-16.
    if (old.starts_with("\xEF\xBB\xBF") || old.starts_with("\xFF\xFE") || old.starts_with("\xFE\xFF"))
        return false;
    return ReplaceFileContent(path, SavedFile(rows, progress).Build(old));
}
