// Tests of URL splitting and marker-based extraction.
#include "net/url.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace {

TEST(UrlParts, UpperCaseUrlWithPort) {
    const std::string url = "HTTP://WWW.Example.COM:8080/Forum/Index.php";
    EXPECT_EQ(UrlHost(url), "www.example.com");
    EXPECT_EQ(UrlHost(url, true), "www.example.com:8080");
    EXPECT_EQ(UrlPort(url), 8080);
    EXPECT_EQ(UrlPath(url), "/Forum/Index.php");
}

TEST(UrlParts, BareHostName) {
    EXPECT_EQ(UrlHost("Example.com"), "example.com");
    EXPECT_EQ(UrlPort("Example.com"), 80);
    EXPECT_EQ(UrlPath("Example.com"), "/");
    EXPECT_EQ(UrlHost("example.com:81/a", true), "example.com:81");
    EXPECT_EQ(UrlPath("example.com:81/a"), "/a");
}

TEST(UrlParts, DefaultPortFollowsTheScheme) {
    EXPECT_EQ(UrlPort("https://example.com/a"), 443);
    EXPECT_EQ(UrlPort("HTTPS://example.com"), 443);
    EXPECT_EQ(UrlPort("http://example.com/a"), 80);
    EXPECT_EQ(UrlPort("https://example.com:8443/"), 8443);
    EXPECT_EQ(UrlHost("https://Example.com"), "example.com");
    EXPECT_EQ(UrlPath("https://example.com"), "/");
}

TEST(UrlParts, PathKeepsQueryFragmentAndLetterCase) {
    EXPECT_EQ(UrlPath("http://example.com/Dir/Page.php?Id=1&X=y#Top"), "/Dir/Page.php?Id=1&X=y#Top");
    EXPECT_EQ(UrlPath("http://127.0.0.1:8080/thread-5-1-1.html"), "/thread-5-1-1.html");
}

TEST(UrlParts, HostIsLookedForAfterTheScheme) {
    // Hosts that also occur inside "http://" or "https://".
    EXPECT_EQ(UrlPath("http://h/x"), "/x");
    EXPECT_EQ(UrlPath("https://tp/A?b"), "/A?b");
    EXPECT_EQ(UrlPath("http://TP:81/A"), "/A");
}

TEST(UrlParts, SchemeInsideTheQueryOfASchemelessUrl) {
    const std::string url = "example.com/go?to=http://other.org/x";
    EXPECT_EQ(UrlHost(url), "example.com");
    EXPECT_EQ(UrlPath(url), "/go?to=http://other.org/x");
}

TEST(UrlParts, OddPorts) {
    EXPECT_EQ(UrlPort("http://example.com:/"), 0);
    EXPECT_EQ(UrlPort("http://example.com:abc/"), 0);
    EXPECT_EQ(UrlPort("http://example.com:81abc/"), 81);
    EXPECT_EQ(UrlPort("http://example.com:99999999999999999999/"), std::numeric_limits<int>::max());
    // The port is what follows the last colon; the host ends before the first.
    EXPECT_EQ(UrlPort("http://user:pw@example.com:81/"), 81);
    EXPECT_EQ(UrlHost("http://user:pw@example.com:81/"), "user");
}

TEST(UrlParts, EmptyAndDegenerateUrls) {
    EXPECT_EQ(UrlHost(""), "");
    EXPECT_EQ(UrlPort(""), 80);
    EXPECT_EQ(UrlPath(""), "/");
    EXPECT_EQ(UrlHost("http://"), "");
    EXPECT_EQ(UrlPath("http:///x"), "/x");
    EXPECT_EQ(UrlHost("http://\xB0"), "");
    EXPECT_EQ(UrlPath("http://\xB0"), "/");
}

TEST(ExtractBetween, TextBetweenMarkers) {
    const std::string html = "<p><b>Bold</b> and <b>more</b></p>";
    EXPECT_EQ(ExtractBetween(html, "<b>", "</b>"), "Bold");
    EXPECT_EQ(ExtractBetween(html, "<b>", "</i>"), "");
    EXPECT_EQ(ExtractBetween(html, "<i>", "</b>"), "");
    EXPECT_EQ(ExtractBetween("<b></b>", "<b>", "</b>"), "");
    // The right marker counts only after the left one.
    EXPECT_EQ(ExtractBetween("</b>x<b>y</b>", "<b>", "</b>"), "y");
    EXPECT_EQ(ExtractBetween("ab", "b", "x"), "");
}

TEST(ExtractBetween, QuotePlaceholderStandsForADoubleQuote) {
    EXPECT_EQ(ExtractBetween("<a href=\"x.html\">", "href=#引号", "#引号"), "x.html");
    EXPECT_EQ(ExtractBetween("<a href=#引号x.html\">", "href=#引号", "#引号"), "");
}

TEST(ExtractBetween, StartPosition) {
    const std::string text = "[a] [b]";
    EXPECT_EQ(ExtractBetween(text, "[", "]", 0), "a");
    EXPECT_EQ(ExtractBetween(text, "[", "]", 1), "a");
    EXPECT_EQ(ExtractBetween(text, "[", "]", 2), "b");
    EXPECT_EQ(ExtractBetween(text, "[", "]", -3), "a");
    EXPECT_EQ(ExtractBetween(text, "[", "]", 8), "");
    EXPECT_EQ(ExtractBetween(text, "[", "]", 1000), "");
}

TEST(ExtractBetween, LetterCase) {
    EXPECT_EQ(ExtractBetween("<SPAN>t</SPAN>", "<span>", "</span>"), "");
    EXPECT_EQ(ExtractBetween("<SPAN>t</Span>", "<span>", "</span>", 0, true), "t");
}

TEST(ExtractBetween, EmptyMarkers) {
    // An empty left marker starts at the start position; an empty right marker ends at once.
    EXPECT_EQ(ExtractBetween("abc;d", "", ";"), "abc");
    EXPECT_EQ(ExtractBetween("abc;d", "", ";", 2), "bc");
    EXPECT_EQ(ExtractBetween("abc", "a", ""), "");
    EXPECT_EQ(ExtractBetween("", "", ""), "");
}

TEST(ExtractBetween, GbkMarkersAndText) {
    EXPECT_EQ(ExtractBetween("标题：临时文件。", "标题：", "。"), "临时文件");
    // "啊啊" holds A1 B0 only across its two characters.
    EXPECT_EQ(ExtractBetween("x啊啊y", "\xA1\xB0", "y"), "");
    EXPECT_EQ(ExtractBetween("x\xB0", "x", "\xB0"), "");
    EXPECT_EQ(ExtractBetween("[\xB0]", "[", "]"), "");
    EXPECT_EQ(ExtractBetween("[\xB0\xA1]", "[", "]"), "\xB0\xA1");
}

TEST(ExtractBetween, LongText) {
    const std::string text = std::string(2000000, 'a') + "<b>x</b>";
    EXPECT_EQ(ExtractBetween(text, "<b>", "</b>"), "x");
    EXPECT_EQ(ExtractBetween(text, "a", "<b>").size(), 1999999u);
}

}  // namespace

namespace {

TEST(PercentEncode, KeepsOnlyUnreservedBytes) {
    EXPECT_EQ(PercentEncode("Ab9-._~"), "Ab9-._~");
    EXPECT_EQ(PercentEncode("12 \"x\" & --new-window"), "12%20%22x%22%20%26%20--new-window");
    EXPECT_EQ(PercentEncode("张"), "%D5%C5");
    EXPECT_EQ(PercentEncode(std::string("a\0b", 3)), "a%00b");
    EXPECT_EQ(PercentEncode(""), "");
}

}  // namespace
