// DownloadPageText against a loopback server: pages declared UTF-8 arrive as GBK, every other page as sent.
#include "net/page_download.h"

#include <gtest/gtest.h>

#include "tests/support/loopback_server.h"

namespace {

// UTF-8 bytes of a literal (plain literals are compiled to GBK).
std::string Utf8(std::u8string_view text) {
    return std::string(text.begin(), text.end());
}

std::string Served(std::string body, std::string headers) {
    Reply reply;
    reply.body = std::move(body);
    reply.headers = std::move(headers);
    LoopbackServer server(reply);
    return DownloadPageText(server.Url("/thread-1-1-1.html"));
}

const std::string kUtf8Header = "Content-Type: text/html; charset=UTF-8\r\n";

TEST(DownloadPageText, APageDeclaredUtf8ByHeaderOrMetaTagArrivesAsGbk) {
    const std::string title = Utf8(u8"<span id=\"thread_subject\">【原创】繁體 觸發誠信謀 &amp; code</span>");
    const std::string gbk_title = "<span id=\"thread_subject\">【原创】繁體 觸發誠信謀 &amp; code</span>";
    EXPECT_EQ(Served(title, kUtf8Header), gbk_title);
    EXPECT_EQ(Served("<meta charset=\"utf-8\">" + title, "Content-Type: text/html\r\n"),
              "<meta charset=\"utf-8\">" + gbk_title);
    EXPECT_EQ(Served("<META HTTP-EQUIV=Content-Type CONTENT='text/html; charset=utf8'>" + title, ""),
              "<META HTTP-EQUIV=Content-Type CONTENT='text/html; charset=utf8'>" + gbk_title);
}

TEST(DownloadPageText, PagesDeclaredGbkOrNothingArriveAsSent) {
    const std::string gbk = "<span id=\"thread_subject\">【原创】标题</span>";
    for (const char* headers : {"Content-Type: text/html; charset=gbk\r\n", "Content-Type: text/html\r\n",
                                "Content-Type: text/html; charset=GB18030\r\n", ""}) {
        EXPECT_EQ(Served(gbk, headers), gbk) << headers;
    }
    // The header wins over a meta tag that says otherwise.
    EXPECT_EQ(Served("<meta charset=utf-8>" + gbk, "Content-Type: text/html; charset=gb2312\r\n"),
              "<meta charset=utf-8>" + gbk);
}

TEST(DownloadPageText, BrokenOrForeignCharactersDoNotSwallowTheTextAroundThem) {
    // Half a character, then a marker: the marker stays whole.
    const std::string half = Utf8(u8"技术交") + "\xE5\xAD" + "<span rel=\"start\">";
    const std::string converted = Served(half, kUtf8Header);
    EXPECT_EQ(converted.substr(0, 6), "技术交");
    EXPECT_TRUE(converted.ends_with("<span rel=\"start\">")) << converted;
    // A character GBK lacks becomes question marks only.
    const std::string emoji = Served(Utf8(u8"前😀后"), kUtf8Header);
    ASSERT_GE(emoji.size(), 5u);
    EXPECT_EQ(emoji.substr(0, 2), "前");
    EXPECT_EQ(emoji.substr(emoji.size() - 2), "后");
    EXPECT_EQ(emoji.substr(2, emoji.size() - 4).find_first_not_of('?'), std::string::npos) << emoji;
    // The text ends at the first zero byte, as any page's.
    EXPECT_EQ(Served(Utf8(u8"前") + std::string(1, '\0') + Utf8(u8"后"), kUtf8Header), "前");
    EXPECT_EQ(Served("", kUtf8Header), "");
}

}  // namespace
