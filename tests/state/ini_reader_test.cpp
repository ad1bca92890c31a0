// Tests of the INI reader: lookups, which occurrence counts, values as the system hands them back, odd lines
// and bytes, Unicode files and files on disk.
#include "state/ini_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

using namespace std::string_literals;

namespace {

std::string Read(std::string bytes, std::string_view section, std::string_view key) {
    return IniReader::FromBytes(std::move(bytes)).Get(section, key);
}

std::string Utf8(std::u8string_view text) {
    return std::string(text.begin(), text.end());
}

std::string Utf16(std::u16string_view text, bool big_endian) {
    std::string bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t unit : text) {
        char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += big_endian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

std::string Repeat(std::string_view piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

}  // namespace

TEST(IniReader, ReadsAListFile) {
    IniReader file = IniReader::FromBytes(
        "[配置]\r\n当前开始项=100\r\n总数=2\r\n[100]\r\n序列号=100\r\n标题=第一个标题\r\nUID=7\r\n用户名="
        "某人\r\n"
        "[101]\r\n序列号=101\r\n标题=\r\nUID=\r\n用户名=\r\n");
    EXPECT_EQ(file.Get("配置", "总数"), "2");
    EXPECT_EQ(file.Get("配置", "当前开始项"), "100");
    EXPECT_EQ(file.Get("100", "标题"), "第一个标题");
    EXPECT_EQ(file.Get("100", "用户名"), "某人");
    EXPECT_EQ(file.Get("101", "序列号"), "101");
    EXPECT_EQ(file.Get("101", "标题"), "");
    EXPECT_EQ(file.Get("102", "序列号"), "");
    EXPECT_EQ(file.Get("100", "网址"), "");
    EXPECT_EQ(IniReader().Get("配置", "总数"), "");
}

TEST(IniReader, NamesMatchIgnoringAsciiCaseAndSurroundingBlanks) {
    const std::string file = "[ Sec Tion ]\n \t KeyName \x1A = v\n";
    EXPECT_EQ(Read(file, "sec tion", "KEYNAME"), "v");
    EXPECT_EQ(Read(file, "SEC TION \t\r", "keyname\x0B"), "v");
    EXPECT_EQ(Read(file, "sectiON", "keyname"), "");
    // Only ASCII letters fold: full-width letters do not, nor letters that are trail bytes of GBK characters.
    EXPECT_EQ(Read("[Ａ]\nk=v\n", "ａ", "k"), "");
    EXPECT_EQ(Read("[\x81\x41]\nk=v\n", "\x81\x61", "k"), "");
    EXPECT_EQ(Read("[\x81\x41]\nk=v\n", "\x81\x41", "K"), "v");
}

TEST(IniReader, NamesLikeTheRuntimesReadKey) {
    const std::string file = "k=top\n[s]\nk=v\n=empty name\n";
    EXPECT_EQ(Read(file, "\x01\x1F s", "\x02\tk"), "v");
    EXPECT_EQ(Read(file, "", "k"), "");
    EXPECT_EQ(Read(file, "s", " \x01\x1F"), "");
    // What the system makes of names that are empty only after it took them: a name cut at a zero byte or
    // made of a lone GBK lead byte is empty, and finds the lines before the first header or a key without a
    // name.
    EXPECT_EQ(Read(file, "\0s"s, "k"), "top");
    EXPECT_EQ(Read(file, "\x81", "k"), "top");
    EXPECT_EQ(Read(file, "s", "\x81"), "empty name");
    EXPECT_EQ(Read(file, "s\0x"s, "k\0y"s), "v");
}

TEST(IniReader, OnlyTheFirstSectionAndTheFirstKeyOfANameCount) {
    const std::string file = "[s]\nk=1\nK=2\nlonely\nlonely=x\n[t]\nj=t\n[S]\nk=3\nj=4\n";
    EXPECT_EQ(Read(file, "s", "k"), "1");
    EXPECT_EQ(Read(file, "s", "j"), "");       // only in the second section named s
    EXPECT_EQ(Read(file, "s", "lonely"), "");  // a key written without "=" hides the later one
    EXPECT_EQ(Read(file, "t", "j"), "t");

    std::string large = "[big]\n";  // a section with many keys is looked up by hash instead
    for (int key = 0; key < 40; ++key) large += "k" + std::to_string(key) + "=" + std::to_string(key) + "\n";
    large += "K5=again\nlonely\nlonely=x\n[BIG]\nextra=1\n";
    EXPECT_EQ(Read(large, "big", "k5"), "5");
    EXPECT_EQ(Read(large, "Big", "K39"), "39");
    EXPECT_EQ(Read(large, "big", "lonely"), "");
    EXPECT_EQ(Read(large, "big", "extra"), "");
    EXPECT_EQ(Read(large, "big", "k40"), "");
}

TEST(IniReader, ValuesLoseBlanksAroundThemAndMatchingQuotes) {
    const std::string file =
        "[s]\na=  spaced value \t\nb=\"double\"\nc='single'\nd=\"mixed'\ne=\"\nf=''\ng=\"in\"side\"\n"
        "h= \"  kept  \" \ni='x\0y'\nj=x\0y\n"s;
    EXPECT_EQ(Read(file, "s", "a"), "spaced value");
    EXPECT_EQ(Read(file, "s", "b"), "double");
    EXPECT_EQ(Read(file, "s", "c"), "single");
    EXPECT_EQ(Read(file, "s", "d"), "\"mixed'");
    EXPECT_EQ(Read(file, "s", "e"), "\"");
    EXPECT_EQ(Read(file, "s", "f"), "");
    EXPECT_EQ(Read(file, "s", "g"), "in\"side");
    EXPECT_EQ(Read(file, "s", "h"), "  kept  ");
    EXPECT_EQ(Read(file, "s", "i"), "'x");  // a value ends at a zero byte, before quotes are looked at
    EXPECT_EQ(Read(file, "s", "j"), "x");
}

TEST(IniReader, LongValuesAreCutToWholeCharactersThatFit) {
    // Compared by size and content so that a failure does not print ten thousand characters.
    auto expect_read = [](const std::string& value, const std::string& expected) {
        std::string read = Read("[s]\nk=" + value, "s", "k");
        EXPECT_EQ(read.size(), expected.size());
        EXPECT_TRUE(read == expected);
    };
    expect_read(std::string(20000, 'x'), std::string(10239, 'x'));
    expect_read(std::string(10239, 'x'), std::string(10239, 'x'));
    expect_read(Repeat("中", 6000), Repeat("中", 5119));
    expect_read("x" + Repeat("中", 6000), "x" + Repeat("中", 5119));
    // Quotes come off after the cut to 10,239 characters: with 10,240 characters after the opening quote the
    // last kept character goes instead of the quote.
    expect_read("\"" + std::string(10238, 'x') + "\"", std::string(10238, 'x'));
    expect_read("\"" + std::string(10239, 'x') + "\"", std::string(10238, 'x'));
    expect_read("\"" + std::string(10240, 'x') + "\"", std::string(10239, 'x'));
    expect_read("'" + Repeat("中", 5120) + "'", Repeat("中", 5119));
}

TEST(IniReader, LineEndsAndOddLines) {
    const std::string file =
        "top=1\r[cr]\rk=cr\n[lf]\nk=lf\r\n[crlf]\r\n\r\n\r\nk=crlf\n[a]b]\nk=brackets\n"
        "[ spaced ] tail\nk=spaced\n[open\n[x=1\n;comment=c\n  \t\x1A\nno equals\n\0[hidden]\nk=hidden\n"
        "[last]\nk=last"s;
    EXPECT_EQ(Read(file, "cr", "k"), "cr");
    EXPECT_EQ(Read(file, "lf", "k"), "lf");
    EXPECT_EQ(Read(file, "crlf", "k"), "crlf");
    EXPECT_EQ(Read(file, "a]b", "k"), "brackets");  // the last "]" closes the name
    EXPECT_EQ(Read(file, "spaced", "k"), "spaced");
    EXPECT_EQ(Read(file, "open", "k"), "");  // "[open" is a key without a value
    EXPECT_EQ(Read(file, "spaced", "[x"), "1");
    EXPECT_EQ(Read(file, "spaced", ";comment"), "c");
    EXPECT_EQ(Read(file, "spaced", "no equals"), "");
    EXPECT_EQ(Read(file, "hidden", "k"), "");  // a line starting with a zero byte is no header
    EXPECT_EQ(Read(file, "last", "k"), "last");
}

TEST(IniReader, GbkBytesReadAsTheSystemDecodesThem) {
    // A lead byte takes the next byte with it, even a line end or "]", and makes "?" of a pair that is no
    // character; 0x80 and 0xFF are characters of their own.
    EXPECT_EQ(Read("[s]\nk=\x81\nj=1\n", "s", "k"), "?j=1");
    EXPECT_EQ(Read("[s]\nk=a\x81", "s", "k"), "a?");
    EXPECT_EQ(Read("[s]\nk=\x81\x20\x81\x7F\x81\x40\x80\xFF\n", "s", "k"), "??\x81\x40\x80\xFF");
    EXPECT_EQ(Read("[s]\nk=\x81\0x\n"s, "s", "k"), "?");
    EXPECT_EQ(Read("[\x81]\nk=1\n", "\x81]", "k"), "");  // 81 5D is one character: no closing "]"
    EXPECT_EQ(Read("[\x81]\nk=1\n", "\x81", "k"), "1");
    EXPECT_EQ(Read("[a\x81\x30]\nk=1\n", "A?", "k"), "1");
    EXPECT_EQ(Read("[a?]\nk=1\n", "a\x81\x30", "k"), "1");
    EXPECT_EQ(Read("[a]\nk=1\n", "a\x81", "k"), "1");  // a lone lead byte at the end of a name vanishes
}

TEST(IniReader, UnicodeFilesReadAsGbk) {
    const std::u8string text = u8"[配置]\n总数=中文 ÀÉ\n[À]\nk=up\n[à]\nk=low\n";
    const std::u16string units = u"[配置]\n总数=中文 ÀÉ\n[À]\nk=up\n[à]\nk=low\n";
    for (const std::string& file : {"\xEF\xBB\xBF" + Utf8(text), Utf16(units, false), Utf16(units, true)}) {
#if defined(_WIN32)
        EXPECT_EQ(Read(file, "配置", "总数"), "中文 àé");  // letters without a GBK form: the system's look-alikes
#else
        EXPECT_EQ(Read(file, "配置", "总数"), "中文 ??");  // iconv has no look-alikes
#endif
        EXPECT_EQ(Read(file, "à", "k"), "low");  // and no name with them can be looked up
    }
    EXPECT_EQ(Read(Utf8(text), "配置", "总数"), "");  // without a byte-order mark UTF-8 is taken for GBK
    // Malformed UTF-8: one "?" for the bytes up to the first bad one, a cut-off sequence at the end takes the
    // rest.
    EXPECT_EQ(Read("\xEF\xBB\xBF[s]\nk=\xE4\xB8\n", "s", "k"), "?");
    EXPECT_EQ(Read("\xEF\xBB\xBF[s]\nk=\xFF\xC0\x80\xED\xA0\x80\n", "s", "k"), "?????");
    EXPECT_EQ(Read("\xEF\xBB\xBF[s]\nk=\xF0\x9F\x98\x80!\n", "s", "k"),
              "?\?!");  // a surrogate pair: two units
    EXPECT_EQ(Read("\xEF\xBB\xBF[s]\nk=x\xE4\x41", "s", "k"), "x?");
    EXPECT_EQ(Read("\xEF\xBB\xBF[s]\nk=\xF4\x90\x80\x80\xF0\x8F\x80\n", "s", "k"), "?????");
    EXPECT_EQ(Read(Utf16(u"[s]\nk=v", false) + "\x41", "s", "k"), "v");  // an odd last byte is left out
}

TEST(IniReader, FilesOnDisk) {
    const std::string path = testing::TempDir() + "ini_reader_test.ini";
    std::ofstream(path, std::ios::binary) << "[配置]\n总数=3\n";
    EXPECT_EQ(IniReader::FromFile(" \t" + path).Get("配置", "总数"), "3");
    std::remove(path.c_str());
    EXPECT_EQ(IniReader::FromFile(path).Get("配置", "总数"), "");
    EXPECT_EQ(IniReader::FromFile(" \x01").Get("配置", "总数"), "");
}
