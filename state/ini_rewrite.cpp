// Rewriting the owned keys of an INI text line by line, keeping the rest of the text as it stands.
#include "state/ini_rewrite.h"

#include <vector>

#include "runtime/text.h"
#include "state/ini_lines.h"

namespace {

constexpr std::string_view kLineEnd = "\r\n";

bool IsBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

using Line = IniLine<char>;
using Lines = IniLines<char>;

class Rewrite {
  public:
    Rewrite(const IniOwnedSections& owned, size_t expected_size)
        : owned_(owned), written_(owned.sections, false) {
        out_.reserve(expected_size);
    }

    std::string Build(std::string_view old) {
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
            AppendIniSection(out_, owned_.name_of(section));
            owned_.write_keys(section, out_);
        }
        return std::move(out_);
    }

  private:
    static constexpr size_t kNotOurs = IniOwnedSections::kNotOwned;

    void StartSection(std::string_view name) {
        section_ = owned_.number_of(name);
        first_of_name_ = section_ != kNotOurs && !written_[section_];
        if (first_of_name_) written_[section_] = true;
    }

    void EndSection() {
        if (first_of_name_) owned_.write_keys(section_, out_);
        out_ += held_;
        held_ = {};
        first_of_name_ = false;
    }

    // The system reads only the first section of a name; the owned keys of later ones are dropped too, so the
    // file holds each of them once.
    bool IsWrittenKey(std::string_view key) const {
        return section_ != kNotOurs && owned_.owns_key(section_, key);
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

    const IniOwnedSections& owned_;
    std::vector<bool> written_;
    std::string out_;
    std::string_view held_;
    size_t section_ = kNotOurs;
    bool first_of_name_ = false;
};

}  // namespace

std::string RewriteIni(std::string_view old, const IniOwnedSections& owned, size_t expected_size) {
    return Rewrite(owned, expected_size).Build(old);
}

void AppendIniKey(std::string& out, std::string_view key, std::string_view value) {
    const bool quoted =
        !value.empty() &&
        (IsBlankOrControl(value.front()) || IsBlankOrControl(value.back()) || value.starts_with("\xA1\xA1") ||
         value.ends_with("\xA1\xA1") || value.front() == '"' || value.front() == '\'');
    out += key;
    out += '=';
    if (quoted) out += '"';
    out += value;
    if (quoted) out += '"';
    out += kLineEnd;
}

void AppendIniSection(std::string& out, std::string_view name) {
    out += '[';
    out += name;
    out += ']';
    out += kLineEnd;
}

bool SameIniName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && AsciiLower(a) == AsciiLower(b);
}

bool IsUnicodeText(std::string_view bytes) {
    return bytes.starts_with("\xEF\xBB\xBF") || bytes.starts_with("\xFF\xFE") ||
           bytes.starts_with("\xFE\xFF");
}
