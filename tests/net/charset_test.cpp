// DeclaredCharset: the Content-Type header first, else a meta tag near the start of the page.
#include "net/charset.h"

#include <gtest/gtest.h>

namespace {

std::string Headers(const std::string& content_type) {
    return "HTTP/1.1 200 OK\r\nServer: nginx\r\n" + content_type + "\r\nContent-Length: 10\r\n\r\n";
}

const std::string kNoCharsetHeaders = Headers("Content-Type: text/html");

TEST(DeclaredCharset, TheHeaderNamesItQuotedOrNotInAnyLetterCase) {
    EXPECT_EQ(DeclaredCharset(Headers("Content-Type: text/html; charset=utf-8"), ""), "utf-8");
    EXPECT_EQ(DeclaredCharset(Headers("content-type:text/html;CHARSET=UTF-8"), ""), "utf-8");
    EXPECT_EQ(DeclaredCharset(Headers("Content-Type: text/html; charset=\"utf-8\""), ""), "utf-8");
    EXPECT_EQ(DeclaredCharset(Headers("Content-Type: text/html; charset = 'GBK' ; q=1"), ""), "gbk");
    EXPECT_EQ(DeclaredCharset(Headers("CONTENT-TYPE : text/html; charset=gb2312"), ""), "gb2312");
    // Another header's charset is not the page's.
    EXPECT_EQ(DeclaredCharset(Headers("X-Content-Type-Note: charset=utf-8"), ""), "");
    EXPECT_EQ(DeclaredCharset("", ""), "");
    EXPECT_EQ(DeclaredCharset(std::string(5000, ' '), ""), "");  // headers that could not be read
}

TEST(DeclaredCharset, WithoutAHeaderCharsetTheFirstMetaTagThatNamesOneCounts) {
    const std::string html5 = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>t</title>";
    const std::string http_equiv =
        "<html><head><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; Charset=UTF-8\" />";
    EXPECT_EQ(DeclaredCharset(kNoCharsetHeaders, html5), "utf-8");
    EXPECT_EQ(DeclaredCharset("", html5), "utf-8");
    EXPECT_EQ(DeclaredCharset(kNoCharsetHeaders, http_equiv), "utf-8");
    EXPECT_EQ(DeclaredCharset("", "<meta charset=utf8/>"), "utf8");
    EXPECT_EQ(DeclaredCharset("", "<meta content='text/html;charset=gbk' http-equiv='content-type'>"), "gbk");
    EXPECT_EQ(DeclaredCharset("", "<meta name=\"keywords\" content=\"a\">\n<meta\tcharset = 'utf-8' >"),
              "utf-8");
    // Not meta tags, or meta tags without a charset.
    EXPECT_EQ(DeclaredCharset("", "<metadata charset=utf-8><p>charset=utf-8</p>"), "");
    EXPECT_EQ(DeclaredCharset("", "<meta name=\"charset\" content=\"none\">"), "");
    EXPECT_EQ(DeclaredCharset("", "<meta charset=\"\">"), "");
    EXPECT_EQ(DeclaredCharset("", "<meta charset="), "");
    EXPECT_EQ(DeclaredCharset("", ""), "");
}

TEST(DeclaredCharset, OnlyTheFirstFourKilobytesOfThePageAreLookedAt) {
    const std::string meta = "<meta charset=utf-8>";
    EXPECT_EQ(DeclaredCharset("", std::string(4096 - meta.size(), ' ') + meta), "utf-8");
    EXPECT_EQ(DeclaredCharset("", std::string(4096, ' ') + meta), "");
    // Text of any encoding before the tag does not hide it.
    EXPECT_EQ(DeclaredCharset("", "\xD6\xD0\xE4\xB8\xAD<META CHARSET=UTF-8>"), "utf-8");
}

TEST(DeclaredCharset, TheHeaderWinsOverTheMetaTag) {
    const std::string utf8_page = "<meta charset=\"utf-8\">";
    const std::string gbk_page = "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\" />";
    EXPECT_EQ(DeclaredCharset(Headers("Content-Type: text/html; charset=gbk"), utf8_page), "gbk");
    EXPECT_EQ(DeclaredCharset(Headers("Content-Type: text/html; charset=UTF-8"), gbk_page), "utf-8");
    EXPECT_EQ(DeclaredCharset(Headers("Content-Type: text/html; charset=utf-8"), utf8_page), "utf-8");
}

TEST(DeclaresUtf8, BothSpellingsAndNothingElse) {
    EXPECT_TRUE(DeclaresUtf8(Headers("Content-Type: text/html; charset=UTF-8"), ""));
    EXPECT_TRUE(DeclaresUtf8("", "<meta charset=utf8>"));
    for (const char* other : {"gbk", "gb2312", "gb18030", "big5", "utf-16", "utf-8x", ""}) {
        EXPECT_FALSE(DeclaresUtf8(Headers(std::string("Content-Type: text/html; charset=") + other), ""))
            << other;
    }
    EXPECT_FALSE(DeclaresUtf8(kNoCharsetHeaders, "<html><head><title>无声明</title>"));
}

}  // namespace
