// Tests of the GBK text helpers: literals, character-aware search, blanks, case and number conversion.
#include "runtime/text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

// "啊" (B0 A1) and a character whose trail byte is the ASCII letter "A" (81 41).
const std::string kAh = "\xB0\xA1";
const std::string kTrailA = "\x81\x41";

TEST(Literals, ChineseLiteralsCompileToGbkBytes) {
    EXPECT_EQ(std::string("临时文件"), "\xC1\xD9\xCA\xB1\xCE\xC4\xBC\xFE");
    EXPECT_EQ(std::string("　"), "\xA1\xA1");
}

TEST(FindText, PositionsAreOneBasedAndStartCountsFromThere) {
    EXPECT_EQ(FindText("abcabc", "bc"), 2);
    EXPECT_EQ(FindText("abcabc", "bc", 0), 2);
    EXPECT_EQ(FindText("abcabc", "bc", 2), 2);
    EXPECT_EQ(FindText("abcabc", "bc", 3), 5);
    EXPECT_EQ(FindText("abcabc", "x"), -1);
    EXPECT_EQ(FindText("abcabc", "bc", -7), 2);
    EXPECT_EQ(FindText("abcabc", "bc", 6), -1);
    EXPECT_EQ(FindText("abcabc", "bc", 1000), -1);
    EXPECT_EQ(FindText("", "a"), -1);
    EXPECT_EQ(FindText("ab", "abc"), -1);
}

TEST(FindText, MatchesOnlyAtCharacterStarts) {
    // A1 B0 stands across the boundary of two "啊".
    EXPECT_EQ(FindText(kAh + kAh, "\xA1\xB0"), -1);
    EXPECT_EQ(FindText(kAh + "\xA1\xB0", "\xA1\xB0"), 3);
    // "a" as the trail byte of B0 61 is not a character; the next "a" is.
    EXPECT_EQ(FindText("\xB0"
                       "aa",
                       "a"),
              3);
    EXPECT_EQ(FindText("\xB0"
                       "aa",
                       "a", 2),
              3);
    EXPECT_EQ(FindText(kTrailA, "A"), -1);
    EXPECT_EQ(FindText("临时文件", "文件"), 5);
}

TEST(FindText, LoneLeadByteIsOneCharacter) {
    EXPECT_EQ(FindText("ab\xB0", "\xB0"), 3);
    EXPECT_EQ(FindText("ab\xB0", "b\xB0"), 2);
    // A target ending in a lead byte does not match the first half of a two-byte character.
    EXPECT_EQ(FindText("x" + kAh, "x\xB0"), -1);
    EXPECT_EQ(FindText("\xB0", "\xB0"), 1);
}

TEST(FindText, EmptyTargetIsFoundInsideTheTextOnly) {
    EXPECT_EQ(FindText("abc", ""), 1);
    EXPECT_EQ(FindText("abc", "", 3), 3);
    EXPECT_EQ(FindText("abc", "", 4), -1);
    EXPECT_EQ(FindText("", ""), -1);
    EXPECT_EQ(FindText(kAh + "x", "", 2), 3);
}

TEST(FindText, IgnoreCaseFoldsAsciiLettersOnly) {
    EXPECT_EQ(FindText("xHeLLo", "hello", 1, true), 2);
    EXPECT_EQ(FindText("xHeLLo", "hello"), -1);
    // The trail byte 41 ("A") of a two-byte character is never folded, in the text or in the target.
    EXPECT_EQ(FindText(kTrailA, "\x81\x61", 1, true), -1);
    EXPECT_EQ(FindText("\x81\x61", kTrailA, 1, true), -1);
    EXPECT_EQ(FindText("x" + kTrailA + "A", "a", 1, true), 4);
    EXPECT_EQ(FindText("TITLE 临时", "title 临时", 1, true), 1);
}

TEST(ContainsText, EmptyTargetFailsOnlyOnEmptyText) {
    EXPECT_TRUE(ContainsText("x", ""));
    EXPECT_FALSE(ContainsText("", ""));
}

TEST(ContainsText, SearchesDigitsAndLettersCharacterAware) {
    EXPECT_TRUE(ContainsText("12", "12"));
    EXPECT_TRUE(ContainsText("112", "12"));
    EXPECT_TRUE(ContainsText("1203", "12"));
    EXPECT_FALSE(ContainsText("21", "12"));
    EXPECT_TRUE(ContainsText("The ABC book", "abc", true));
    EXPECT_FALSE(ContainsText("The ABC book", "abc"));
    EXPECT_FALSE(ContainsText(kAh + kAh, "\xA1\xB0", true));
}

TEST(ReplaceText, ReplacesEveryWholeCharacterOccurrence) {
    EXPECT_EQ(ReplaceText("a-b-c", "-", "+"), "a+b+c");
    EXPECT_EQ(ReplaceText("aaaa", "aa", "b"), "bb");
    EXPECT_EQ(ReplaceText("aaa", "a", "aa"), "aaaaaa");
    EXPECT_EQ(ReplaceText("abc", "", "x"), "abc");
    EXPECT_EQ(ReplaceText("abc", "abc", ""), "");
    EXPECT_EQ(ReplaceText(kAh + kAh, "\xA1\xB0", "x"), kAh + kAh);
    EXPECT_EQ(ReplaceText("href=#引号x#引号", "#引号", "\""), "href=\"x\"");
}

TEST(ReplaceText, IgnoreCaseKeepsTheUnmatchedTextAsItWas) {
    EXPECT_EQ(ReplaceText("Set-Cookie: SET-COOKIE:a=B", "set-cookie:", "", true), " a=B");
    EXPECT_EQ(ReplaceText(kTrailA + "A", "a", "-", true), kTrailA + "-");
}

TEST(Blanks, TrimRemovesSpacesAndFullWidthSpacesAtBothEnds) {
    EXPECT_EQ(TrimBlanks("  a b  "), "a b");
    EXPECT_EQ(TrimBlanks("　 a　b 　"), "a　b");
    EXPECT_EQ(TrimBlanks("\ta\t"), "\ta\t");
    EXPECT_EQ(TrimBlanks("   "), "");
    EXPECT_EQ(TrimBlanks("　"), "");
    EXPECT_EQ(TrimBlanks(""), "");
}

TEST(Blanks, FullWidthSpaceCountsOnlyAtCharacterStarts) {
    // 啊 then a full-width space: the space goes.
    EXPECT_EQ(TrimBlanks(kAh + "\xA1\xA1"), kAh);
    // C1 A1 then A1 62: the A1 A1 in the middle straddles two characters.
    EXPECT_EQ(RemoveBlanks("\xC1\xA1\xA1\x62"), "\xC1\xA1\xA1\x62");
    EXPECT_EQ(TrimBlanks("\xC1\xA1\xA1"), "\xC1\xA1\xA1");
    // A lone A1 at the end is no blank.
    EXPECT_EQ(TrimBlanks(" \xA1"), "\xA1");
}

TEST(Blanks, RemoveDropsEveryBlankAndKeepsTabs) {
    EXPECT_EQ(RemoveBlanks(" a b\tc　d "), "ab\tcd");
    EXPECT_EQ(RemoveBlanks("x = 临 时"), "x=临时");
    EXPECT_EQ(RemoveBlanks(""), "");
}

TEST(AsciiLower, LowersAsciiLettersButNotTrailBytes) {
    EXPECT_EQ(AsciiLower("HTTP://Example.COM/"), "http://example.com/");
    EXPECT_EQ(AsciiLower("AB" + kTrailA + "CD"), "ab" + kTrailA + "cd");
    EXPECT_EQ(AsciiLower("A\xB0"), "a\xB0");
    EXPECT_EQ(AsciiLower("临时文件"), "临时文件");
}

TEST(PageText, StopsAtTheFirstZeroByte) {
    EXPECT_EQ(PageText(std::string("ab\0cd", 5)), "ab");
    EXPECT_EQ(PageText(std::string("\0", 1)), "");
    EXPECT_EQ(PageText("临时"), "临时");
}

TEST(LeadingNumber, ReadsTheLeadingDecimalNumeral) {
    EXPECT_DOUBLE_EQ(LeadingNumber("12.7"), 12.7);
    EXPECT_DOUBLE_EQ(LeadingNumber("  \t-5 steps"), -5.0);
    EXPECT_DOUBLE_EQ(LeadingNumber("+3"), 3.0);
    EXPECT_DOUBLE_EQ(LeadingNumber(".5"), 0.5);
    EXPECT_DOUBLE_EQ(LeadingNumber("5."), 5.0);
    EXPECT_DOUBLE_EQ(LeadingNumber("0100"), 100.0);
    EXPECT_DOUBLE_EQ(LeadingNumber("1.5e3x"), 1500.0);
    EXPECT_DOUBLE_EQ(LeadingNumber("2E-2"), 0.02);
    // The decimal point is always ".", whatever the locale; a comma ends the number.
    EXPECT_DOUBLE_EQ(LeadingNumber("1,5"), 1.0);
}

TEST(LeadingNumber, IncompleteExponentIsLeftOut) {
    EXPECT_DOUBLE_EQ(LeadingNumber("7e"), 7.0);
    EXPECT_DOUBLE_EQ(LeadingNumber("7e+"), 7.0);
    EXPECT_DOUBLE_EQ(LeadingNumber("7e-x"), 7.0);
}

TEST(LeadingNumber, TextWithoutNumberGivesZero) {
    for (const char* text : {"", "abc", ".", "-", "+.", "e5", "0x10", "inf", "nan", "临时1", "\xB0"}) {
        EXPECT_EQ(LeadingNumber(text), 0.0) << text;
    }
}

TEST(LeadingNumber, OutOfRangeGivesInfinityOrZero) {
    EXPECT_EQ(LeadingNumber("1e999"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(LeadingNumber("-1e999"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(LeadingNumber("0.0001e99999999999999999999"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(LeadingNumber("1e-999"), 0.0);
    EXPECT_EQ(LeadingNumber("1000e-99999999999999999999"), 0.0);
    EXPECT_EQ(LeadingNumber(std::string(400, '9')), std::numeric_limits<double>::infinity());
    EXPECT_EQ(LeadingNumber("0e999"), 0.0);
}

TEST(LeadingInteger, ReadsSignAndDigitsAndClamps) {
    EXPECT_EQ(LeadingInteger("12.7"), 12);
    EXPECT_EQ(LeadingInteger(" -5x"), -5);
    EXPECT_EQ(LeadingInteger("+8"), 8);
    EXPECT_EQ(LeadingInteger(""), 0);
    EXPECT_EQ(LeadingInteger("abc"), 0);
    EXPECT_EQ(LeadingInteger("-"), 0);
    EXPECT_EQ(LeadingInteger("2147483647"), 2147483647);
    EXPECT_EQ(LeadingInteger("2147483648"), 2147483647);
    EXPECT_EQ(LeadingInteger("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(LeadingInteger("-2147483649"), -2147483647 - 1);
    EXPECT_EQ(LeadingInteger(std::string(1000, '9')), 2147483647);
}

TEST(TruncateToInt32, TruncatesTowardZeroAndSaturates) {
    EXPECT_EQ(TruncateToInt32(12.7), 12);
    EXPECT_EQ(TruncateToInt32(-12.7), -12);
    EXPECT_EQ(TruncateToInt32(-0.5), 0);
    EXPECT_EQ(TruncateToInt32(2147483647.9), 2147483647);
    EXPECT_EQ(TruncateToInt32(-2147483648.9), -2147483647 - 1);
    EXPECT_EQ(TruncateToInt32(3e9), 2147483647);
    EXPECT_EQ(TruncateToInt32(LeadingNumber("1e999")), 2147483647);
    EXPECT_EQ(TruncateToInt32(-std::numeric_limits<double>::infinity()), -2147483647 - 1);
    EXPECT_EQ(TruncateToInt32(std::nan("")), 0);
}

TEST(DecimalText, WritesPlainDigits) {
    EXPECT_EQ(DecimalText(0), "0");
    EXPECT_EQ(DecimalText(-5), "-5");
    EXPECT_EQ(DecimalText(1203), "1203");
    EXPECT_EQ(DecimalText(std::numeric_limits<int64_t>::max()), "9223372036854775807");
    EXPECT_EQ(DecimalText(std::numeric_limits<int64_t>::min()), "-9223372036854775808");
}

TEST(LongTexts, SearchAndReplaceHandleMegabytes) {
    std::string text;
    for (int i = 0; i < 500000; ++i) text += kAh;
    EXPECT_EQ(FindText(text + "x", "x"), static_cast<int>(text.size()) + 1);
    EXPECT_EQ(FindText(text, "\xA1\xB0"), -1);
    EXPECT_EQ(ReplaceText(text, kAh, "ab").size(), text.size());
    EXPECT_EQ(RemoveBlanks(text + "　"), text);
    EXPECT_EQ(TrimBlanks(std::string(1000000, ' ') + "x"), "x");
}

TEST(IsWebAddress, OnlyHttpAndHttpsWithSomethingAfterTheScheme) {
    EXPECT_TRUE(IsWebAddress("http://bbs.example/thread-1-1-1.html"));
    EXPECT_TRUE(IsWebAddress("HTTPS://x"));
    EXPECT_FALSE(IsWebAddress(""));
    EXPECT_FALSE(IsWebAddress("http://"));
    EXPECT_FALSE(IsWebAddress("file:///C:/Windows/notepad.exe"));
    EXPECT_FALSE(IsWebAddress("calc.exe"));
    EXPECT_FALSE(IsWebAddress(" http://x"));
}

}  // namespace
