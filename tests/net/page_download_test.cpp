// DownloadPage against a loopback server: pages declared UTF-8 arrive as GBK, every other page as sent; the
// answer's status or why there was none; the user's cookie and nothing else.
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
    return DownloadPage(server.Url("/thread-1-1-1.html")).text;
}

const std::string kUtf8Header = "Content-Type: text/html; charset=UTF-8\r\n";

TEST(DownloadPage, APageDeclaredUtf8ByHeaderOrMetaTagArrivesAsGbk) {
    const std::string title = Utf8(u8"<span id=\"thread_subject\">【原创】繁體 觸發誠信謀 &amp; code</span>");
    const std::string gbk_title = "<span id=\"thread_subject\">【原创】繁體 觸發誠信謀 &amp; code</span>";
    EXPECT_EQ(Served(title, kUtf8Header), gbk_title);
    EXPECT_EQ(Served("<meta charset=\"utf-8\">" + title, "Content-Type: text/html\r\n"),
              "<meta charset=\"utf-8\">" + gbk_title);
    EXPECT_EQ(Served("<META HTTP-EQUIV=Content-Type CONTENT='text/html; charset=utf8'>" + title, ""),
              "<META HTTP-EQUIV=Content-Type CONTENT='text/html; charset=utf8'>" + gbk_title);
}

TEST(DownloadPage, PagesDeclaredGbkOrNothingArriveAsSent) {
    const std::string gbk = "<span id=\"thread_subject\">【原创】标题</span>";
    for (const char* headers : {"Content-Type: text/html; charset=gbk\r\n", "Content-Type: text/html\r\n",
                                "Content-Type: text/html; charset=GB18030\r\n", ""}) {
        EXPECT_EQ(Served(gbk, headers), gbk) << headers;
    }
    // The header wins over a meta tag that says otherwise.
    EXPECT_EQ(Served("<meta charset=utf-8>" + gbk, "Content-Type: text/html; charset=gb2312\r\n"),
              "<meta charset=utf-8>" + gbk);
}

TEST(DownloadPage, BrokenOrForeignCharactersDoNotSwallowTheTextAroundThem) {
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

TEST(DownloadPage, TellsTheStatusOfAnAnswerAndWhyThereWasNone) {
    LoopbackServer forum([](const ReceivedRequest& request) {
        if (request.target == "/missing") return Reply{.status = "404 Not Found", .body = "gone"};
        if (request.target == "/busy")
            return Reply{
                .status = "429 Too Many Requests", .headers = "Retry-After: 7\r\n", .body = "slow down"};
        if (request.target == "/later")
            return Reply{.status = "503 Service Unavailable",
                         .headers = "Retry-After: Wed, 21 Oct 2015 07:28:00 GMT\r\n"};
        if (request.target == "/reset") return Reply{.kind = Reply::Kind::kReset};
        if (request.target == "/cut") return Reply{.kind = Reply::Kind::kCutShort, .body = std::string(20000, 'x')};
        return Reply{.body = "page"};
    });
    FetchedPage page = DownloadPage(forum.Url("/"));
    EXPECT_EQ(page.outcome, FetchOutcome::kAnswered);
    EXPECT_EQ(page.status, 200);
    EXPECT_EQ(page.retry_after, -1);
    EXPECT_EQ(page.text, "page");

    page = DownloadPage(forum.Url("/missing"));
    EXPECT_EQ(page.outcome, FetchOutcome::kAnswered);
    EXPECT_EQ(page.status, 404);
    EXPECT_EQ(page.text, "gone");

    page = DownloadPage(forum.Url("/busy"));
    EXPECT_EQ(page.status, 429);
    EXPECT_EQ(page.retry_after, 7);
    // A date long past asks for no wait at all.
    page = DownloadPage(forum.Url("/later"));
    EXPECT_EQ(page.status, 503);
    EXPECT_EQ(page.retry_after, 0);

    // A connection broken off, before the answer or half-way through its body, is no page.
    for (const char* broken : {"/reset", "/cut"}) {
        page = DownloadPage(forum.Url(broken));
        EXPECT_EQ(page.outcome, FetchOutcome::kReset) << broken;
        EXPECT_EQ(page.text, "") << broken;
    }
    page = DownloadPage("http://127.0.0.1:" + std::to_string(LoopbackServer::UnusedPort()) + "/");
    EXPECT_EQ(page.outcome, FetchOutcome::kNoConnection);
}

TEST(DownloadPage, SendsTheUsersCookieAndNothingTheForumSet) {
    LoopbackServer forum(Reply{.headers = "Set-Cookie: qm_sid=forum-made; path=/\r\n", .body = "page"});
    EXPECT_TRUE(DownloadPage(forum.Url("/1"), "auth=abc; lang=zh").Answered());
    EXPECT_TRUE(DownloadPage(forum.Url("/2")).Answered());
    const std::vector<ReceivedRequest> requests = forum.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].HeaderCount("Cookie"), 1);
    EXPECT_EQ(requests[0].Header("Cookie"), "auth=abc; lang=zh");
    EXPECT_EQ(requests[1].HeaderCount("Cookie"), 0);
}

TEST(DownloadPage, ACookieThatWouldAddHeaderLinesIsNeverSent) {
    LoopbackServer forum(Reply{.body = "page"});
    for (const char* cookie : {"a=1\r\nX-Injected: yes", "a=1\nb=2", "a=\x01", "a=1\x7F"}) {
        const FetchedPage page = DownloadPage(forum.Url("/"), cookie);
        EXPECT_EQ(page.outcome, FetchOutcome::kRefused);
        EXPECT_EQ(page.text, "");
    }
    EXPECT_TRUE(forum.Requests().empty());
}

}  // namespace
