// Tests of collecting cookies from response headers and merging cookie strings.
#include "net/cookies.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Merge(std::string cookies, std::string new_cookies) {
    return MergeCookies(cookies, new_cookies);
}

TEST(CollectCookies, TakesNameValueOfEachSetCookieLine) {
    const std::string headers =
        "HTTP/1.1 200 OK\r\n"
        "Set-Cookie: theme=blue; path=/; HttpOnly\r\n"
        "Content-Type: text/html\r\n"
        "Set-Cookie: lang=zh\r\n\r\n";
    EXPECT_EQ(CollectCookies(headers), "theme=blue; lang=zh");
}

TEST(CollectCookies, NoCookies) {
    EXPECT_EQ(CollectCookies("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n"), "");
    EXPECT_EQ(CollectCookies(""), "");
    // Lines not rewritten to "Set-Cookie" do not count.
    EXPECT_EQ(CollectCookies("set-cookie: a=1\r\n"), "");
}

TEST(CollectCookies, KeepsLineOrderAndRepeatedNames) {
    EXPECT_EQ(CollectCookies("Set-Cookie: a=1\r\nSet-Cookie: a=2; Max-Age=0"), "a=1; a=2");
}

TEST(CollectCookies, TrimsBlanksButNotTabs) {
    EXPECT_EQ(CollectCookies("Set-Cookie:　 a=1 　"), "a=1");
    EXPECT_EQ(CollectCookies("Set-Cookie: \ta=1; path=/"), "\ta=1");
}

TEST(CollectCookies, MalformedLinesGiveOddItems) {
    // With a ";" but without "Set-Cookie:" the item is empty.
    EXPECT_EQ(CollectCookies("Set-Cookie a=1; path=/\r\nSet-Cookie: b=2"), "; b=2");
    // Without a ";" every "Set-Cookie:" goes, in any letter case.
    EXPECT_EQ(CollectCookies("X-Set-Cookie:SET-COOKIE:c=3"), "X-c=3");
}

TEST(CollectCookies, LineEndAfterAHighByteStillEndsTheLine) {
    EXPECT_EQ(CollectCookies("Set-Cookie: a=caf\xE9\r\nSet-Cookie: b=2"), "a=caf\xE9; b=2");
}

TEST(MergeCookies, NewValuesFirstThenUnmentionedOldOnes) {
    EXPECT_EQ(Merge("a=1; b=2", "b=3; c=4"), "b=3; c=4; a=1");
    EXPECT_EQ(Merge("a=1; b=2", ""), "a=1; b=2");
    EXPECT_EQ(Merge("", "a=1"), "a=1");
    EXPECT_EQ(Merge("", ""), "");
}

TEST(MergeCookies, DeletedCookiesAreDropped) {
    EXPECT_EQ(Merge("a=1; b=2", "b=deleted"), "a=1");
    EXPECT_EQ(Merge("a=deleted", ""), "");
    // "=deleted" must be whole characters: here its "=" is the trail byte of 81 3D.
    EXPECT_EQ(Merge("", "x=\x81=deleted"), "x=\x81=deleted");
}

TEST(MergeCookies, BlanksGoEvenInsideValues) {
    EXPECT_EQ(Merge("a=1", "x=two words"), "x=twowords; a=1");
    EXPECT_EQ(Merge("a　=　1", ""), "a=1");
}

TEST(MergeCookies, NamesAreExactAndEachItemAppearsOnce) {
    EXPECT_EQ(Merge("A=1", "a=2"), "a=2; A=1");
    EXPECT_EQ(Merge("a=1; a=2; b", "c=3"), "c=3; a=1; b");
    EXPECT_EQ(Merge("b=1; b=1", "c=3; c=3; c=4"), "c=3; c=4; b=1");
    EXPECT_EQ(Merge("a=1;", "b=2;"), "b=2; a=1");
}

TEST(MergeCookies, UpdatesBothArguments) {
    std::string cookies = "a=1; b=2";
    std::string new_cookies = "b=3; c=4";
    const std::string merged = MergeCookies(cookies, new_cookies);
    EXPECT_EQ(merged, "b=3; c=4; a=1");
    EXPECT_EQ(cookies, merged);
    EXPECT_EQ(new_cookies, "b=3;c=4");
}

TEST(MergeCookies, SameVariableForBothArguments) {
    std::string cookies = "a=1; b=2";
    EXPECT_EQ(MergeCookies(cookies, cookies), "a=1; b=2");
    EXPECT_EQ(cookies, "a=1; b=2");
}

}  // namespace
