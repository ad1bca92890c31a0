// The lines of an INI file as the system's private-profile parser splits them: the one scanner behind the INI
// reader and the list file's walks.
#pragma once

#include <algorithm>
#include <string_view>

// A line ends at a run of CR and LF. Blanks (tab to carriage return, ^Z, space) around a line, a name and the
// start of a value are trimmed; names and values end at their first zero. "[" starts a section header only with
// a "]" later in the line (the last one closes it); any other line that is not empty is a key, comment lines
// included, with the value after its first "=". In GBK text a lead byte takes the byte after it along, whatever
// that is, unless it is a zero or the end of the text (as the system decodes); UTF-16 units stand alone.
template <typename Unit>
struct IniLine {
    using View = std::basic_string_view<Unit>;
    enum class Kind { kEmpty, kSection, kKey };

    View content;  // without the line break
    View brk;      // the first line break ("\r\n", "\r" or "\n"); empty at the end of the text
    View extra;    // further line breaks of the run, which stand for empty lines
    Kind kind = Kind::kEmpty;
    View name;              // of the section or the key
    View value;             // of a key written with "="
    bool has_value = false;
};

template <typename Unit>
class IniLines {
  public:
    using View = std::basic_string_view<Unit>;

    explicit IniLines(View text) : text_(text) {}

    bool Next(IniLine<Unit>& line) {
        if (pos_ >= text_.size()) return false;
        const size_t begin = pos_;
        while (pos_ < text_.size() && !IsLineEnd(text_[pos_])) pos_ += CharLength(text_, pos_);
        line.content = text_.substr(begin, pos_ - begin);
        const size_t brk = pos_;
        if (pos_ < text_.size()) pos_ += text_.substr(pos_, 2) == View(kCrLf, 2) ? 2 : 1;
        line.brk = text_.substr(brk, pos_ - brk);
        const size_t extra = pos_;
        while (pos_ < text_.size() && IsLineEnd(text_[pos_])) ++pos_;
        line.extra = text_.substr(extra, pos_ - extra);
        Classify(Trimmed(line.content), line);
        return true;
    }

    // A name as the system takes it: without the blanks around it, then up to its first zero.
    static View Name(View text) {
        text = Trimmed(text);
        return text.substr(0, std::min(text.size(), text.find(Unit{0})));
    }

  private:
    static constexpr Unit kCrLf[] = {Unit{'\r'}, Unit{'\n'}};

    static bool IsLineEnd(Unit unit) { return unit == Unit{'\n'} || unit == Unit{'\r'}; }
    static bool IsBlank(Unit unit) {
        return (unit >= Unit{'\t'} && unit <= Unit{'\r'}) || unit == Unit{0x1A} || unit == Unit{' '};
    }
    static size_t CharLength(View text, size_t pos) {
        if constexpr (sizeof(Unit) == 1) {
            const unsigned char byte = static_cast<unsigned char>(text[pos]);
            if (byte >= 0x81 && byte <= 0xFE && pos + 1 < text.size() && text[pos + 1] != Unit{0}) return 2;
        }
        return 1;
    }
    // Blanks are single units, so a two-byte character is never trimmed, nor split from its lead byte. An empty
    // result still points into the text, so its offset there is known.
    static View Trimmed(View text) {
        size_t first = View::npos, last = 0;
        for (size_t pos = 0; pos < text.size(); pos += CharLength(text, pos)) {
            if (CharLength(text, pos) == 2 || !IsBlank(text[pos])) {
                if (first == View::npos) first = pos;
                last = pos + CharLength(text, pos);
            }
        }
        return first == View::npos ? text.substr(0, 0) : text.substr(first, last - first);
    }
    // Offset of the first `unit` at a character start of `text` (the last one with `last`), or npos.
    static size_t Find(View text, Unit unit, bool last) {
        size_t found = View::npos;
        for (size_t pos = 0; pos < text.size(); pos += CharLength(text, pos)) {
            if (text[pos] != unit) continue;
            found = pos;
            if (!last) break;
        }
        return found;
    }

    static void Classify(View trimmed, IniLine<Unit>& line) {
        line.value = View();
        line.has_value = false;
        if (trimmed.empty()) {
            line.kind = IniLine<Unit>::Kind::kEmpty;
            line.name = View();
            return;
        }
        if (trimmed[0] == Unit{'['}) {
            const View inner = trimmed.substr(1);
            const size_t close = Find(inner, Unit{']'}, true);
            if (close != View::npos) {
                line.kind = IniLine<Unit>::Kind::kSection;
                line.name = Name(inner.substr(0, close));
                return;
            }
        }
        line.kind = IniLine<Unit>::Kind::kKey;
        const size_t equals = Find(trimmed, Unit{'='}, false);
        line.name = Name(trimmed.substr(0, equals));
        if (equals == View::npos) return;
        line.has_value = true;
        const View value = Trimmed(trimmed.substr(equals + 1));  // its end is the line's, already trimmed
        line.value = value.substr(0, std::min(value.size(), value.find(Unit{0})));
    }

    View text_;
    size_t pos_ = 0;
};
