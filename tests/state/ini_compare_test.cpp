// Compares the INI reader with the system's private-profile reader on odd files, on random ones and on Unicode
// files holding every UTF-16 unit.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <set>

#include "runtime/services.h"
#include "runtime/win_handles.h"
#include "state/ini_reader.h"

using namespace std::string_literals;

namespace {

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (size_t at = 0; at < upper.size(); ++at) {
        unsigned char byte = upper[at];
        if (byte >= 0x81 && byte <= 0xFE)
            ++at;  // leave the trail byte of a two-byte character alone
        else if (byte >= 'a' && byte <= 'z')
            upper[at] = static_cast<char>(byte - 'a' + 'A');
    }
    return upper;
}

// Names to look up for each name of a file: as written, in other letter cases, with blanks, with leading
// control characters and with a lone lead byte at the end.
std::vector<std::string> Variants(const std::vector<std::string>& names) {
    std::set<std::string> variants{"", "absent", "\x81", "\x01\x1F"};
    for (const std::string& name : names) {
        variants.insert({name, Upper(name), " \x01" + name + " \t", name + "\x81", name + "\0x"s});
    }
    return {variants.begin(), variants.end()};
}

// Candidate names of any file: what stands between "[" and "]", before "=", or on a whole line.
void NamesIn(const std::string& bytes, std::vector<std::string>& sections, std::vector<std::string>& keys) {
    size_t begin = 0;
    while (begin < bytes.size()) {
        size_t end = bytes.find_first_of("\r\n", begin);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(begin, end - begin);
        begin = end + 1;
        size_t first = line.find_first_not_of(" \t\x1A");
        if (first == std::string::npos) continue;
        line.erase(0, first);
        if (line[0] == '[' && line.rfind(']') != std::string::npos) {
            sections.push_back(line.substr(1, line.rfind(']') - 1));
        }
        keys.push_back(line.substr(0, line.find('=')));
    }
}

std::string Utf16(const std::string& gbk, bool big_endian) {
    std::wstring wide(gbk.size() + 1, L'\0');
    wide.resize(MultiByteToWideChar(CP_ACP, 0, gbk.data(), static_cast<int>(gbk.size()), wide.data(),
                                    static_cast<int>(wide.size())));
    std::string bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
    for (wchar_t unit : wide) {
        char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += big_endian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

std::string Utf8(const std::string& gbk) {
    std::string utf16 = Utf16(gbk, false).substr(2);
    const wchar_t* units = reinterpret_cast<const wchar_t*>(utf16.data());
    int count = static_cast<int>(utf16.size() / 2);
    std::string bytes(utf16.size() * 2 + 1, '\0');
    bytes.resize(WideCharToMultiByte(CP_UTF8, 0, units, count, bytes.data(), static_cast<int>(bytes.size()),
                                     nullptr, nullptr));
    return "\xEF\xBB\xBF" + bytes;
}

std::string Printable(std::string_view text) {
    std::string shown;
    for (unsigned char byte : text.substr(0, 60)) {
        char hex[8];
        std::snprintf(hex, sizeof hex, byte >= 0x20 && byte < 0x7F ? "%c" : "\\x%02X", byte);
        shown += hex;
    }
    return text.size() > 60 ? shown + "... (" + std::to_string(text.size()) + " bytes)" : shown;
}

class IniCompare : public testing::Test {
  protected:
    void SetUp() override { CreateDirectoryA(folder_.c_str(), nullptr); }

    // Every file under a new name, so that the system's cache of files it has read never answers.
    std::string Write(const std::string& bytes) {
        std::string path = folder_ + "\\" + testing::UnitTest::GetInstance()->current_test_info()->name() +
                           std::to_string(++files_) + ".ini";
        FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        return path;
    }

    // Looks every section up with every key in both readers. The system's answer is taken up to its first
    // zero byte: where it cuts a value inside a two-byte character it leaves the last byte of the buffer as
    // it was (the read key's buffer starts out zeroed).
    void Compare(const std::string& bytes, const std::vector<std::string>& sections,
                 const std::vector<std::string>& keys) {
        std::string path = Write(bytes);
        IniReader reader = IniReader::FromFile(path);
        for (const std::string& section : sections) {
            for (const std::string& key : keys) {
                std::string expected = ReadIniKey(path, section, key);
                expected.resize(std::strlen(expected.c_str()));
                std::string read = reader.Get(section, key);
                ++lookups_;
                if (!expected.empty()) ++found_;
                if (read != expected) {
                    ADD_FAILURE() << "file " << Printable(bytes) << "\n[" << Printable(section) << "] "
                                  << Printable(key) << "\n  system: " << Printable(expected)
                                  << "\n  reader: " << Printable(read);
                }
            }
        }
    }

    // Looks up the names found in the file, in all their variants.
    void CompareFile(const std::string& bytes, std::vector<std::string> sections = {},
                     std::vector<std::string> keys = {}) {
        NamesIn(bytes, sections, keys);
        Compare(bytes, Variants(sections), Variants(keys));
    }

    // A comparison in which nearly every lookup finds nothing proves little.
    void TearDown() override {
        std::printf("%d lookups compared, %d with a value\n", lookups_, found_);
        EXPECT_GE(found_ * 20, lookups_);
    }

    std::string folder_ = ProgramDirectory() + "\\ini_compare";
    int files_ = 0, lookups_ = 0, found_ = 0;
};

TEST_F(IniCompare, OddFiles) {
    const std::string files[] = {
        "[配置]\r\n当前开始项=100\r\n总数=2\r\n[100]\r\n序列号=100\r\n标题=标题\r\nUID=7\r\n用户名=某人\r\n",
        "[s]\nk=1\nK=2\nlonely\nlonely=x\n[t]\nj=t\n[S]\nk=3\nj=4\n",
        "[ s ]\n\t k \x1A= ' v ' \n a = \"x\" \nb='x\"\nc=\"\nd=''\ne=\"a\"b\"\nf= \"  kept  \" \n",
        "top=1\r[cr]\rk=cr\n[lf]\nk=lf\r\n[crlf]\r\n\r\n\r\nk=crlf\n\n\r\r[last]\nk=last",
        "[open\n[x=1\n;c=2\n=v\n[]\nk=empty section\n[  ]\nk=blank\n[a]b]\nk=3\n[ spaced ] tail\nk=4\n no "
        "equals \n",
        "k=top\nj=\n=nameless\n[s]\nk=in\n=empty\n",
        "[s\0x]\nk\0y=v\0w\n\0[t]\nk=t\nq='a\0b'\n[u]\nk=\x81\0z\n[v \0]\nk=v\n"s,
        "[中文]\n键=值\n[\x81]\nk=1\n[a\x81\x30]\nk=2\n[b]\nk=\x81\nj=1\n[c]\nk=\x80\xFF\x81\x7F\x81\x40\n"
        "[\x81\x41]\nk=trail\n[d]\nk=\xFE",
        "\x1A[s]\x1A\nk\x1A=\x1Av\x1A\x0B\x0C\n\t[t]\t\n\tk\t=\tv\t\n[Ａ]\nk=wide\n[α]\nk=greek\n",
        "",
        "\xEF\xBB\xBF",
        "\xFF\xFE",
        "\xEF\xBB\xBF[s]\nk=\xE4\xB8\nj=\xFF\xC0\x80\xED\xA0\x80\nl=\xF0\x9F\x98\x80!\nm="
        "\xC3\x80\xF4\x90\x80\x80\xF0\x8F\x80\n[\xC3\x80]"
        "\nk=1\nn=x\xE4\x41",
        Utf8("[配置]\n总数=中文 \x81\x30\n[s]\n键=值\n"),
        Utf16("[配置]\n总数=中文\r\n[s]\n键=值\x80\xFF\n", false),
        Utf16("[配置]\n总数=中文\r\n[s]\n键=值\n", true),
        Utf16("k=v", false) + "\xC0\x00\xD8\x3D\xDE\x00\x00\x00"s,
    };
    for (const std::string& file : files) CompareFile(file, {"s", "t"}, {"k", "j"});
    CompareFile(Utf16("[s]\nk=", false) + "\xC0\x00\xE0\x00\xAA\x00\x3D\xD8\x00\xDE"s +
                    Utf16("\n[", false).substr(2) + "\xC0\x00"s + Utf16("]\nk=up\n", false).substr(2),
                {"\xA8\xA4", "\xA8\xA2", "a"}, {});
}

TEST_F(IniCompare, LongValues) {
    std::string chinese;
    for (int i = 0; i < 6000; ++i) chinese += "中";
    const std::string values[] = {
        std::string(20000, 'x'),
        std::string(10239, 'x'),
        chinese,
        "x" + chinese.substr(0, 10400),
        "\"" + std::string(10238, 'x') + "\"",
        "\"" + std::string(10239, 'x') + "\"",
        "\"" + std::string(10240, 'x') + "\"",
        "'" + chinese.substr(0, 10240) + "'",
        "'" + chinese.substr(0, 10238) + "x'",
    };
    for (const std::string& value : values) Compare("[s]\nk=" + value + "\n", {"s"}, {"k"});
    Compare(Utf16("[s]\nk=" + chinese, false), {"s"}, {"k"});
}

TEST_F(IniCompare, EveryPairOfBytesAfterALeadByte) {
    std::string file = "[s]\n";
    std::vector<std::string> keys;
    for (int lead : {0x80, 0x81, 0xA1, 0xFE, 0xFF}) {
        for (int trail = 0; trail < 256; ++trail) {
            char name[16];
            std::snprintf(name, sizeof name, "k%02X%02X", lead, trail);
            keys.push_back(name);
            file += name + "=x"s + static_cast<char>(lead) + static_cast<char>(trail) + "y\n";
        }
    }
    Compare(file, {"s"}, keys);
}

TEST_F(IniCompare, MissingFile) {
    std::string path = folder_ + "\\no such file.ini";
    EXPECT_EQ(IniReader::FromFile(path).Get("s", "k"), ReadIniKey(path, "s", "k"));
}

// Random files from a fixed seed: sections and keys from a small pool of names, written in varying case with
// blanks around them, repeated, with values full of quotes, blanks, GBK characters and bytes that are none.
TEST_F(IniCompare, RandomFiles) {
    const std::vector<std::string> section_names = {"配置", "100",  "101",      "Sec", "a b",
                                                    "x]y",  "中文", "\x81\x41", "q?"};
    const std::vector<std::string> key_names = {"总数", "标题", "UID", "用户名", "Key",
                                                "k",    ";c",   "[k",  "a b"};
    std::mt19937 random(20240611);
    auto pick = [&](int n) { return static_cast<int>(random() % n); };
    auto blanks = [&] {
        static const char* const kBlanks[] = {"", "", "", " ", "\t", " \x1A ", "  "};
        return std::string(kBlanks[pick(7)]);
    };
    auto name_from = [&](const std::vector<std::string>& names) {
        std::string name = names[pick(static_cast<int>(names.size()))];
        return pick(3) == 0 ? Upper(name) : name;
    };
    auto value = [&] {
        std::string text;
        for (int pieces = pick(12); pieces > 0; --pieces) {
            switch (pick(16)) {
                case 0: text += "\""; break;
                case 1: text += "'"; break;
                case 2: text += blanks(); break;
                case 3: text += "="; break;
                case 4: text += pick(2) ? "[" : "]"; break;
                case 5:
                    text += static_cast<char>(0x81 + pick(126)), text += static_cast<char>(0x40 + pick(63));
                    break;
                case 6:
                    text += static_cast<char>(0x81 + pick(126)), text += static_cast<char>(0x80 + pick(127));
                    break;
                case 7:
                    text += static_cast<char>(0x81 + pick(126)), text += static_cast<char>(0x20 + pick(32));
                    break;
                case 8: text += static_cast<char>(0x81 + pick(126)); break;
                case 9: text += pick(2) ? "\x80" : "\xFF"; break;
                case 10: text += pick(8) == 0 ? "\0"s : ";"; break;
                case 11: text += "中文"; break;
                default: text += static_cast<char>('0' + pick(75)); break;
            }
        }
        return text;
    };
    for (int round = 0; round < 60; ++round) {
        std::string file;
        bool long_sections = round % 3 == 0;  // sections of more than 16 keys are looked up by hash
        for (int lines = long_sections ? 60 + pick(60) : 5 + pick(40); lines > 0; --lines) {
            int kind = pick(10);
            if (kind < 2 && long_sections && pick(6) != 0) kind = 9;
            switch (kind) {
                case 0:
                case 1:
                    file += blanks() + "[" + blanks() + name_from(section_names) + blanks() + "]" +
                            (pick(4) ? "" : value());
                    break;
                case 2: file += blanks() + name_from(key_names) + blanks(); break;
                case 3: file += value(); break;
                default:
                    file += blanks() + name_from(key_names) + blanks() + "=" + blanks() + value() + blanks();
                    break;
            }
            static const char* const kLineEnds[] = {"\n", "\r\n", "\r", "\n\n"};
            file += kLineEnds[pick(4)];
        }
        if (pick(2)) file.pop_back();  // sometimes no line end after the last line
        switch (round % 10) {
            case 7: file = Utf8(file); break;
            case 8: file = Utf16(file, pick(2)); break;
            case 9: file = "\xEF\xBB\xBF" + file; break;  // GBK bytes behind a UTF-8 mark
        }
        std::vector<std::string> sections = section_names, keys = key_names;
        sections.push_back("Absent");
        keys.push_back("Absent");
        for (const std::string& name : section_names) sections.push_back(Upper(name) + " ");
        for (const std::string& name : key_names) keys.push_back("\t" + Upper(name));
        Compare(file, sections, keys);
    }
}

// A UTF-16 file with a byte-order mark, little endian.
std::string Utf16File(std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

// The reader converts a Unicode file as the system does, stand-ins and look-alikes included: every unit in the
// values (line ends and zero left out), and section names of units with and without a GBK character.
TEST_F(IniCompare, EveryUnitOfAUnicodeFile) {
    std::u16string text = u"[s]\r\n";
    std::vector<std::string> keys;
    for (int high = 0; high < 256; ++high) {
        const std::string key = "k" + std::to_string(high);
        keys.push_back(key);
        text += std::u16string(key.begin(), key.end()) + u"=x";  // "x" around the units keeps their blanks
        for (int low = 0; low < 256; ++low) {
            const char16_t unit = static_cast<char16_t>(high << 8 | low);
            if (unit != 0 && unit != u'\r' && unit != u'\n') text += unit;
        }
        text += u"x\r\n";
    }
    Compare(Utf16File(text), {"s"}, keys);

    std::u16string named;
    std::vector<std::string> sections;
    for (int unit = 0x80; unit < 0x10000; unit += 97) {
        named += u"[" + std::u16string(1, static_cast<char16_t>(unit)) + u"]\r\nk=a\r\n";
        const wchar_t wide = static_cast<wchar_t>(unit);
        char gbk[4] = {};
        sections.emplace_back(gbk, WideCharToMultiByte(CP_ACP, 0, &wide, 1, gbk, sizeof gbk, nullptr, nullptr));
    }
    Compare(Utf16File(named), sections, {"k"});
}

}  // namespace
