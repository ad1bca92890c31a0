// HttpRequest against a real HTTP server on loopback: what goes out, what comes back, and how failures end.
#include "net/http_request.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "tests/support/loopback_server.h"

#include <wininet.h>

namespace {

constexpr char kDefaultAgent[] = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";
const std::string kBlankHeaders(5000, ' ');

std::string DefaultBlock(const std::string& url) {
    return "Accept: */*\r\nReferer: " + url +
           "\r\nAccept-Language: zh-cn\r\nContent-Type: application/x-www-form-urlencoded";
}

Reply Answer(std::string body, std::string headers = "") {
    Reply reply;
    reply.body = std::move(body);
    reply.headers = std::move(headers);
    return reply;
}

HttpRequestArgs ArgsFor(const std::string& url) {
    HttpRequestArgs args;
    args.url = url;
    return args;
}

TEST(HttpRequest, PlainGetSendsTheDefaultBlockAndReturnsBodyAndHeaders) {
    LoopbackServer server(Answer("hello", "X-Served-By: loopback\r\n"));
    const std::string url = server.Url("/Forum/thread-7-1-1.html?a=1");
    HttpRequestArgs args = ArgsFor(url);

    EXPECT_EQ(HttpRequest(args), "hello");
    EXPECT_EQ(args.extra_headers, DefaultBlock(url));
    EXPECT_EQ(args.returned_headers.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
    EXPECT_NE(args.returned_headers.find("X-Served-By: loopback\r\n"), std::string::npos);
    EXPECT_EQ(args.returned_cookies, "");
    EXPECT_EQ(args.post_bytes, "");

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].target, "/Forum/thread-7-1-1.html?a=1");
    EXPECT_EQ(requests[0].body, "");
    EXPECT_EQ(requests[0].Header("User-Agent"), kDefaultAgent);
    // WinInet adds lines of its own (Host, Cache-Control, ...); ours arrive whole and in the order built.
    const std::string sent = "\r\n" + requests[0].headers + "\r\n";
    size_t previous = 0;
    for (const std::string& line :
         std::vector<std::string>{"Accept: */*", "Referer: " + url, "Accept-Language: zh-cn",
                                  "Content-Type: application/x-www-form-urlencoded"}) {
        const size_t at = sent.find("\r\n" + line + "\r\n");
        ASSERT_NE(at, std::string::npos) << line;
        EXPECT_GE(at, previous) << line;
        previous = at;
    }

    EXPECT_EQ(HttpGet(url), "hello");
}

TEST(HttpRequest, CallerLinesComeFirstAndOnlyMissingDefaultsAreAdded) {
    LoopbackServer server(Answer("ok"));
    const std::string url = server.Url("/");
    HttpRequestArgs args = ArgsFor(url);
    args.extra_headers = "Accept: text/html\r\nX-Token: 42";
    args.cookies = "sid=abc; lang=zh";
    HttpRequest(args);
    EXPECT_EQ(args.extra_headers,
              "Accept: text/html\r\nX-Token: 42\r\nReferer: " + url +
                  "\r\nAccept-Language: zh-cn\r\nContent-Type: application/x-www-form-urlencoded"
                  "\r\nCookie: sid=abc; lang=zh");
    const ReceivedRequest received = server.Requests().at(0);
    EXPECT_EQ(received.Header("Accept"), "text/html");
    EXPECT_EQ(received.Header("X-Token"), "42");
    EXPECT_EQ(received.Header("Cookie"), "sid=abc; lang=zh");

    // The default lines are recognised in their own spelling only.
    HttpRequestArgs lower = ArgsFor(url);
    lower.extra_headers = "accept: text/plain";
    HttpRequest(lower);
    EXPECT_EQ(lower.extra_headers.rfind("accept: text/plain\r\nAccept: */*\r\nReferer: ", 0), 0u);
}

TEST(HttpRequest, PostSendsTheTextAsBytesAndKeepsThem) {
    LoopbackServer server(Answer("posted"));
    HttpRequestArgs args = ArgsFor(server.Url("/login"));
    args.method = 1;
    args.post_text = "a=b";
    EXPECT_EQ(HttpRequest(args), "posted");
    EXPECT_EQ(args.post_bytes, "a=b");

    HttpRequestArgs bytes = ArgsFor(server.Url("/upload"));
    bytes.method = 1;
    bytes.post_text = "ignored";
    bytes.post_bytes = std::string("\x00\x01\xff", 3);
    HttpRequest(bytes);

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].body, "a=b");
    EXPECT_EQ(requests[0].Header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(requests[1].body, std::string("\x00\x01\xff", 3));
}

TEST(HttpRequest, GetIgnoresPostTextAndStrayMethodsMeanGet) {
    LoopbackServer server(Answer("ok"));
    for (const int method : {0, 5, -1}) {
        HttpRequestArgs args = ArgsFor(server.Url("/"));
        args.method = method;
        args.post_text = "abc";
        EXPECT_EQ(HttpRequest(args), "ok") << method;
        EXPECT_EQ(args.post_bytes, "") << method;
    }
    for (const ReceivedRequest& request : server.Requests()) {
        EXPECT_EQ(request.method, "GET");
        EXPECT_EQ(request.body, "");
    }
}

TEST(HttpRequest, HeadReturnsHeadersWithoutBody) {
    LoopbackServer server(Answer("not sent", "X-Kind: head\r\n"));
    HttpRequestArgs args = ArgsFor(server.Url("/"));
    args.method = 2;
    EXPECT_EQ(HttpRequest(args), "");
    EXPECT_EQ(server.Requests().at(0).method, "HEAD");
    EXPECT_NE(args.returned_headers.find("X-Kind: head"), std::string::npos);
}

TEST(HttpRequest, CallerUserAgentIsAnnouncedAndKeptInTheBlock) {
    LoopbackServer server(Answer("ok"));
    HttpRequestArgs args = ArgsFor(server.Url("/"));
    args.extra_headers = "User-Agent: QuillBot/2.0";
    HttpRequest(args);
    EXPECT_EQ(args.extra_headers.rfind("User-Agent: QuillBot/2.0\r\nAccept: */*\r\n", 0), 0u);
    const ReceivedRequest received = server.Requests().at(0);
    EXPECT_EQ(received.Header("User-Agent"), "QuillBot/2.0");
    EXPECT_EQ(received.HeaderCount("User-Agent"), 1);
}

TEST(UserAgentFor, TakesTheValueOfTheUserAgentLineWhereverItStands) {
    EXPECT_EQ(UserAgentFor(""), kDefaultAgent);
    EXPECT_EQ(UserAgentFor("Accept: */*"), kDefaultAgent);
    EXPECT_EQ(UserAgentFor("User-Agent:  Bot/1 "), "Bot/1");
    EXPECT_EQ(UserAgentFor("User-Agent: Bot/1\r\nAccept: */*"), "Bot/1");
    // A last line, or another spelling, still yields its own value and never a neighbouring line.
    EXPECT_EQ(UserAgentFor("Accept: */*\r\nUser-Agent: Bot/1"), "Bot/1");
    EXPECT_EQ(UserAgentFor("user-agent: Bot/1\r\nX-Other: y"), "Bot/1");
}

TEST(HttpRequest, PlainRequestThroughAProxyCarriesTheAbsoluteUrl) {
    LoopbackServer proxy(Answer("from proxy"));
    const std::string url = "http://127.0.0.1:" + std::to_string(LoopbackServer::UnusedPort()) + "/t?id=3";
    HttpRequestArgs args = ArgsFor(url);
    args.proxy = "127.0.0.1:" + std::to_string(proxy.port());
    EXPECT_EQ(HttpRequest(args), "from proxy");
    const auto requests = proxy.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].target, url);
}

TEST(HttpRequest, SecureRequestUsesTheProxyForAnySchemeSpelling) {
    Reply refuse;
    refuse.status = "502 Bad Gateway";
    LoopbackServer proxy(refuse);
    const std::string target = "127.0.0.1:" + std::to_string(LoopbackServer::UnusedPort());
    HttpRequestArgs args = ArgsFor("HTTPS://" + target + "/secret");
    args.proxy = "127.0.0.1:" + std::to_string(proxy.port());
    HttpRequest(args);
    const auto requests = proxy.Requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests[0].method, "CONNECT");
    EXPECT_EQ(requests[0].target, target);
}

TEST(HttpRequest, RedirectsAreFollowedUnlessForbidden) {
    LoopbackServer server([](const ReceivedRequest& request) {
        if (request.target == "/new") return Answer("arrived");
        Reply moved = Answer("moved", "Location: /new\r\n");
        moved.status = "302 Found";
        return moved;
    });
    HttpRequestArgs stay = ArgsFor(server.Url("/old"));
    stay.no_redirect = true;
    EXPECT_EQ(HttpRequest(stay), "moved");
    EXPECT_EQ(stay.returned_headers.rfind("HTTP/1.1 302 Found\r\n", 0), 0u);
    EXPECT_EQ(server.Requests().size(), 1u);

    HttpRequestArgs follow = ArgsFor(server.Url("/old"));
    EXPECT_EQ(HttpRequest(follow), "arrived");
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[2].target, "/new");
}

// A server whose "/hop/N" redirects to "/hop/N-1" and "/hop/0" answers; "/loop" redirects to itself.
Reply RedirectChain(const ReceivedRequest& request) {
    Reply moved = Answer("moved");
    moved.status = "302 Found";
    if (request.target == "/loop") {
        moved.headers = "Location: /loop\r\n";
    } else if (request.target == "/hop/0") {
        return Answer("end of the chain");
    } else if (request.target.rfind("/hop/", 0) == 0) {
        // Relative to the page, as some servers write it.
        moved.headers = "Location: " + std::to_string(std::stoi(request.target.substr(5)) - 1) + "\r\n";
    }
    return moved;
}

TEST(HttpRequest, RedirectChainsEndAfterTwentyAndALoopFails) {
    LoopbackServer server(RedirectChain);
    HttpRequestArgs twenty = ArgsFor(server.Url("/hop/20"));
    EXPECT_EQ(HttpRequest(twenty), "end of the chain");
    EXPECT_EQ(twenty.returned_headers.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
    EXPECT_EQ(server.Requests().size(), 21u);

    HttpRequestArgs twenty_one = ArgsFor(server.Url("/hop/21"));
    EXPECT_EQ(HttpRequest(twenty_one), "");
    EXPECT_EQ(twenty_one.returned_headers, kBlankHeaders);
    EXPECT_EQ(server.Requests().size(), 21u + 21u);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(HttpGet(server.Url("/loop")), "");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    EXPECT_EQ(server.Requests().size(), 21u + 21u + 21u);
}

TEST(HttpRequest, RedirectedPostBecomesGetUnlessTheStatusKeepsTheMethod) {
    LoopbackServer server([](const ReceivedRequest& request) {
        Reply moved = Answer("moved", "Location: /form-done\r\n");
        if (request.target == "/form-done") return Answer(request.method + ":" + request.body);
        moved.status = request.target == "/see-other" ? "303 See Other" : "307 Temporary Redirect";
        return moved;
    });
    HttpRequestArgs see_other = ArgsFor(server.Url("/see-other"));
    see_other.method = 1;
    see_other.post_text = "a=1";
    EXPECT_EQ(HttpRequest(see_other), "GET:");

    HttpRequestArgs temporary = ArgsFor(server.Url("/temporary"));
    temporary.method = 1;
    temporary.post_text = "a=1";
    EXPECT_EQ(HttpRequest(temporary), "POST:a=1");
}

TEST(HttpRequest, SetCookieInAnySpellingIsRewrittenAndCollected) {
    // The path keeps these cookies away from the other tests should WinInet store them.
    LoopbackServer server(Answer("ok",
                                 "set-cookie: theme=blue; path=/jar; HttpOnly\r\n"
                                 "SET-COOKIE: lang=zh; path=/jar\r\n"));
    HttpRequestArgs args = ArgsFor(server.Url("/jar"));
    args.cookies = "old=1";
    HttpRequest(args);
    EXPECT_NE(args.returned_headers.find("\r\nSet-Cookie: theme=blue; path=/jar; HttpOnly\r\n"),
              std::string::npos);
    EXPECT_NE(args.returned_headers.find("\r\nSet-Cookie: lang=zh; path=/jar\r\n"), std::string::npos);
    EXPECT_EQ(args.returned_cookies, "theme=blue; lang=zh");
    EXPECT_EQ(args.cookies, "old=1");
}

TEST(HttpRequest, MergedCookiesReplaceTheCallersAndWinInetKeepsNone) {
    LoopbackServer server(Answer("ok", "Set-Cookie: b=3; path=/merge\r\nSet-Cookie: c=4; path=/merge\r\n"));
    HttpRequestArgs args = ArgsFor(server.Url("/merge"));
    args.cookies = "a=1; b=2";
    args.merge_cookies = true;
    HttpRequest(args);
    EXPECT_EQ(args.cookies, "b=3; c=4; a=1");
    EXPECT_EQ(args.returned_cookies, "b=3;c=4");

    HttpRequestArgs again = ArgsFor(server.Url("/merge"));
    again.merge_cookies = true;
    HttpRequest(again);
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].Header("Cookie"), "a=1; b=2");
    EXPECT_EQ(requests[1].HeaderCount("Cookie"), 0);
}

TEST(HttpRequest, EveryCallReachesTheServerAndLeavesNoCacheCopy) {
    LoopbackServer server(Answer("cacheable", "Cache-Control: public, max-age=3600\r\n"));
    const std::string url = server.Url("/cached-page");
    DeleteUrlCacheEntryA(url.c_str());  // an earlier run may have used the same port
    EXPECT_EQ(HttpGet(url), "cacheable");
    EXPECT_EQ(HttpGet(url), "cacheable");
    EXPECT_EQ(server.Requests().size(), 2u);
    DWORD size = 0;
    GetUrlCacheEntryInfoA(url.c_str(), nullptr, &size);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(HttpRequest, HeadersBeyondTheBufferGiveBlanksAndNoCookies) {
    // Several lines: Wine cuts a single header line after about 4 KiB.
    std::string headers = "Set-Cookie: big=1; path=/big\r\n";
    for (int line = 0; line < 8; ++line)
        headers += "X-Filler-" + std::to_string(line) + ": " + std::string(1000, 'f') + "\r\n";
    LoopbackServer server(Answer("body", headers));
    HttpRequestArgs args = ArgsFor(server.Url("/big"));
    EXPECT_EQ(HttpRequest(args), "body");
    EXPECT_EQ(args.returned_headers, kBlankHeaders);
    EXPECT_EQ(args.returned_cookies, "");
}

TEST(HttpRequest, UnreachableServerGivesEmptyBodyAfterBuildingTheBlock) {
    const std::string url = "http://127.0.0.1:" + std::to_string(LoopbackServer::UnusedPort()) + "/";
    HttpRequestArgs args = ArgsFor(url);
    args.method = 1;
    args.post_text = "x=1";
    args.returned_cookies = "stale=1";
    EXPECT_EQ(HttpRequest(args), "");
    EXPECT_EQ(args.returned_headers, kBlankHeaders);
    EXPECT_EQ(args.returned_cookies, "");
    EXPECT_EQ(args.extra_headers, DefaultBlock(url));
    EXPECT_EQ(args.post_bytes, "x=1");
}

TEST(HttpRequest, PortBeyondSixteenBitsFailsWithoutTouchingTheOutputs) {
    LoopbackServer server(Answer("wrong port"));
    HttpRequestArgs args = ArgsFor("http://127.0.0.1:" + std::to_string(server.port() + 0x10000) + "/");
    args.method = 1;
    args.post_text = "x=1";
    args.returned_headers = "before";
    EXPECT_EQ(HttpRequest(args), "");
    EXPECT_EQ(args.returned_headers, "before");
    EXPECT_EQ(args.extra_headers, "");
    EXPECT_EQ(args.post_bytes, "");
    EXPECT_TRUE(server.Requests().empty());
}

TEST(HttpRequest, DelayedAnswerIsAwaited) {
    Reply late = Answer("late");
    late.delay_ms = 500;
    LoopbackServer server(late);
    EXPECT_EQ(HttpGet(server.Url("/")), "late");
}

TEST(HttpRequest, EndlessBodyStopsAtTheCap) {
    Reply endless;
    endless.kind = Reply::Kind::kEndlessBody;
    LoopbackServer server(endless);
    const auto start = std::chrono::steady_clock::now();
    const std::string body = HttpGet(server.Url("/endless"));
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("endless body: %zu bytes in %.1f s\n", body.size(), seconds);
    ASSERT_EQ(body.size(), kMaxResponseBody);
    EXPECT_EQ(body.find_first_not_of('x'), std::string::npos);
}

TEST(HttpRequest, SilentServerIsGivenUpOnByTheReceiveTimeOut) {
    Reply silence;
    silence.kind = Reply::Kind::kSilence;
    LoopbackServer server(silence);
    const auto start = std::chrono::steady_clock::now();
    HttpRequestArgs args = ArgsFor(server.Url("/"));
    EXPECT_EQ(HttpRequest(args), "");
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("silent server given up after %.1f s\n", seconds);
    EXPECT_EQ(args.returned_headers, kBlankHeaders);
    EXPECT_EQ(server.Requests().size(), 1u);
}

}  // namespace
