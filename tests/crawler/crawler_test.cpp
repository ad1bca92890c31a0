// The crawler end to end under Wine: the real main window against the sample forum served by nginx, driven
// through its controls: runs, stops, filters, and the temporary list file after each.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <map>
#include <cstdlib>
#include <mutex>
#include <random>

#include "app/main_controls.h"
#include "app/main_window.h"
#include "runtime/services.h"
#include "runtime/text.h"
#include "state/list_file.h"
#include "state/result_row.h"
#include "tests/support/loopback_server.h"
#include "tests/support/sample_forum.h"
#include "tests/support/thread_page.h"
#include "tests/support/window_pump.h"

namespace {

std::string SampleForum() {
    const char* forum = std::getenv("QM_SAMPLE_FORUM");
    return forum ? forum : "http://127.0.0.1:8433/";
}

// The sample forum behind a relay that answers every request 100 ms late.
std::string FarForum() {
    const char* forum = std::getenv("QM_FAR_FORUM");
    return forum ? forum : "http://127.0.0.1:8436/";
}

const std::string kTempFile = ProgramDirectory() + "\\临时文件.ini";

// The row a run must show for an id of the sample forum.
ResultRow ExpectedRow(int id, const std::string& forum) {
    ExpectedThreadPage page = ExpectedThread(id);
    std::string title = ListValue(page.title);
    ResultRow row{std::to_string(id), title, ListValue(page.uid), ListValue(page.name),
                  title.empty() ? "" : ForumRule(DefaultRule(), forum).ThreadAddress(id)};
    if (!page.exists) row[kColumnState] = kStateMissing;
    return row;
}

// A row of the id only, and why.
ResultRow IdOnly(const char* id, std::string_view state = {}) {
    ResultRow row{id};
    row[kColumnState] = state;
    return row;
}

// How many rows hold `lower_text` in a column, ASCII letters compared in lower case.
int CountHolding(const std::vector<ResultRow>& rows, size_t column, const std::string& lower_text) {
    return static_cast<int>(std::count_if(rows.begin(), rows.end(), [&](const ResultRow& row) {
        std::string cell = row[column];
        for (char& c : cell) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        return cell.find(lower_text) != std::string::npos;
    }));
}

class CrawlerWindow : public testing::Test {
  protected:
    void Open(const std::string& forum) {
        DeleteFileA(kTempFile.c_str());
        window_ = std::make_unique<MainWindow>(ForumSettings{.address = forum});
        ASSERT_TRUE(window_->Create(nullptr, SW_SHOWNORMAL));
    }
    Control operator[](ControlName name) { return window_->form()[name]; }

    // Types the first id and the count, clicks "开始" and waits for the run to end.
    void RunOver(const char* first_id, const char* count, DWORD timeout_ms = 60000) {
        Start(first_id, count);
        ASSERT_TRUE(PumpUntil([&] { return (*this)[kStartButton].Text() == "开始"; }, timeout_ms));
    }
    void Start(const char* first_id, const char* count) {
        (*this)[kFirstIdEdit].SetText(first_id);
        (*this)[kCountEdit].SetText(count);
        SendMessageA((*this)[kStartButton].hwnd(), BM_CLICK, 0, 0);
    }
    // A stop takes a few milliseconds; the bound leaves room for a busy machine, far below the 30 s a run
    // waiting out the receive time-out would take.
    static constexpr ULONGLONG kQuick = 3000;
    void StopAndExpectItQuick() {
        const ULONGLONG clicked = GetTickCount64();
        SendMessageA((*this)[kStartButton].hwnd(), BM_CLICK, 0, 0);
        EXPECT_TRUE(PumpUntil([&] { return (*this)[kStartButton].Text() == "开始"; }, kQuick));
        std::printf("run stopped %llu ms after the click\n", GetTickCount64() - clicked);
    }
    // Filters run on a worker: wait until the list has settled on `rows` rows.
    bool ListSettlesAt(int rows) {
        return PumpUntil([&] { return (*this)[kResultList].RowCount() == rows; }, 10000) &&
               !PumpUntil([&] { return (*this)[kResultList].RowCount() != rows; }, 300);
    }
    std::vector<ResultRow> Rows() {
        std::vector<ResultRow> rows;
        for (const SharedRow& row : (*this)[kResultList].Rows()) rows.push_back(*row);
        return rows;
    }

    // The temporary list file as the system's own reader sees it must hold exactly the rows shown.
    void ExpectTempFileHolds(const std::vector<ResultRow>& rows, const std::string& typed_start) {
        EXPECT_EQ(ReadIniKey(kTempFile, "配置", "当前开始项"), typed_start);
        EXPECT_EQ(ReadIniKey(kTempFile, "配置", "总数"), std::to_string(rows.size()));
        for (const ResultRow& row : rows) {
            SCOPED_TRACE(row[0]);
            EXPECT_EQ(ReadIniKey(kTempFile, row[0], "序列号"), row[0]);
            EXPECT_EQ(ReadIniKey(kTempFile, row[0], "标题"), row[1]);
            EXPECT_EQ(ReadIniKey(kTempFile, row[0], "UID"), row[2]);
            EXPECT_EQ(ReadIniKey(kTempFile, row[0], "用户名"), row[3]);
            EXPECT_EQ(ReadIniKey(kTempFile, row[0], "状态"), row[kColumnState]);
        }
    }

    std::unique_ptr<MainWindow> window_;
};

TEST_F(CrawlerWindow, RunsOfNoneOneAndThreeIds) {
    const std::string forum = SampleForum();
    Open(forum);

    RunOver("5", "-1");  // count + 1 below 1: nothing is visited
    EXPECT_TRUE(Rows().empty());
    EXPECT_FALSE((*this)[kEmptyTitleFilter].Disabled());
    ExpectTempFileHolds({}, "5");

    RunOver("1", "0");
    EXPECT_EQ(Rows(), std::vector<ResultRow>{ExpectedRow(1, forum)});
    ExpectTempFileHolds(Rows(), "1");

    RunOver("0100", "2.9");  // stored as typed; ids 100, 101, 102
    std::vector<ResultRow> expected = {ExpectedRow(100, forum), ExpectedRow(101, forum),
                                       ExpectedRow(102, forum)};
    EXPECT_EQ(Rows(), expected);
    ExpectTempFileHolds(expected, "0100");
    EXPECT_EQ((*this)[kProgressBar].Maximum(), 2);
    EXPECT_EQ((*this)[kProgressLabel].Text(), "2/2");
    EXPECT_EQ((*this)[kStatusLine].Text(),
              "遍历完成：共 3 个，有标题 3 个，不存在 0 个，需登录 0 个，失败 0 个");
}

TEST_F(CrawlerWindow, TheStatusLineFollowsTheIdsAndSumsTheRunUpAtItsEnd) {
    std::atomic<bool> released{false};
    std::string address;
    LoopbackServer server([&](const ReceivedRequest& request) -> Reply {
        if (request.target == "/thread-1-1-1.html") return {.body = "<html>没有标题的页面</html>"};
        if (request.target != "/thread-2-1-1.html") return {};
        while (!released) Sleep(10);  // the run waits on thread 2 until the test has seen thread 1's line
        return {.status = "404 Not Found"};
    });
    struct Release {
        std::atomic<bool>& released;
        ~Release() { released = true; }
    } release{released};  // also when the test fails, so the server can stop
    address = server.Url("/");
    Open(address);
    Start("1", "1");
    // The address of the id visited, with or without a title.
    const std::string first = "当前运行的值1查找到的标题：作者UID：网址为：" + address + "thread-1-1-1.html";
    EXPECT_TRUE(PumpUntil([&] { return (*this)[kStatusLine].Text() == first; }, 10000))
        << (*this)[kStatusLine].Text();
    released = true;
    ASSERT_TRUE(PumpUntil([&] { return (*this)[kStartButton].Text() == "开始"; }, 10000));
    EXPECT_EQ((*this)[kStatusLine].Text(),
              "遍历完成：共 2 个，有标题 0 个，不存在 1 个，需登录 0 个，失败 0 个");
}

TEST_F(CrawlerWindow, ThousandIdsGiveOneRowEachAndTheFiltersWork) {
    const std::string forum = SampleForum();
    Open(forum);
    RunOver("1", "999", 120000);
    std::vector<ResultRow> expected;
    for (int id = 1; id <= 1000; ++id) expected.push_back(ExpectedRow(id, forum));
    ASSERT_EQ(Rows(), expected);
    ExpectTempFileHolds(expected, "1");

    // The check box keeps the rows with a title; unchecking brings every row back.
    size_t titled =
        std::count_if(expected.begin(), expected.end(), [](const ResultRow& r) { return !r[1].empty(); });
    SendMessageA((*this)[kEmptyTitleFilter].hwnd(), BM_CLICK, 0, 0);
    EXPECT_TRUE(ListSettlesAt(static_cast<int>(titled)));
    for (const ResultRow& row : Rows()) EXPECT_FALSE(row[1].empty()) << row[0];
    SendMessageA((*this)[kEmptyTitleFilter].hwnd(), BM_CLICK, 0, 0);
    EXPECT_TRUE(ListSettlesAt(1000));

    // The search box looks in the chosen column, ignoring ASCII letter case; typing fast ends on the last
    // text.
    for (const char* typed : {"1", "12", "120"}) (*this)[kSearchEdit].SetText(typed);
    EXPECT_TRUE(ListSettlesAt(CountHolding(expected, 0, "120")));
    for (const ResultRow& row : Rows()) EXPECT_NE(row[0].find("120"), std::string::npos) << row[0];
    (*this)[kSearchColumn].SetSelection(1);
    (*this)[kSearchEdit].SetText("THREAD 10");
    EXPECT_TRUE(ListSettlesAt(CountHolding(expected, 1, "thread 10")));
    EXPECT_GT(CountHolding(expected, 1, "thread 10"), 0);
    (*this)[kSearchEdit].SetText("");
    EXPECT_TRUE(ListSettlesAt(1000));
}

TEST_F(CrawlerWindow, StopEndsTheRunAndLeavesAWholeFile) {
    const std::string forum = SampleForum();
    Open(forum);
    Start("1", "100000");
    ASSERT_TRUE(PumpUntil([&] { return (*this)[kResultList].RowCount() >= 30; }, 30000));
    EXPECT_EQ((*this)[kStartButton].Text(), "停止");
    EXPECT_TRUE((*this)[kEmptyTitleFilter].Disabled());
    EXPECT_TRUE((*this)[kSearchEdit].Disabled());

    SendMessageA((*this)[kStartButton].hwnd(), BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return (*this)[kStartButton].Text() == "开始"; }, 40000));
    std::vector<ResultRow> rows = Rows();
    ASSERT_GE(rows.size(), 30u);
    ASSERT_LT(rows.size(), 100000u);
    for (size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i], ExpectedRow(static_cast<int>(i) + 1, forum));
    ExpectTempFileHolds(rows, "1");
    EXPECT_FALSE((*this)[kEmptyTitleFilter].Disabled());
    EXPECT_FALSE((*this)[kSearchEdit].Disabled());
}

TEST_F(CrawlerWindow, AFarForumFetchedOverSeveralConnectionsGivesTheSameRows) {
    const std::string forum = FarForum();
    window_ = std::make_unique<MainWindow>(ForumSettings{.address = forum, .connections = 8});
    DeleteFileA(kTempFile.c_str());
    ASSERT_TRUE(window_->Create(nullptr, SW_SHOWNORMAL));
    RunOver("1", "79", 60000);  // 80 ids: 8 s one at a time, about 1 s over eight connections
    std::vector<ResultRow> expected;
    for (int id = 1; id <= 80; ++id) expected.push_back(ExpectedRow(id, forum));
    EXPECT_EQ(Rows(), expected);
    ExpectTempFileHolds(expected, "1");
}

TEST_F(CrawlerWindow, FiltersReadTheFileAgainWhenSomethingElseChangedIt) {
    const std::string forum = SampleForum();
    Open(forum);
    RunOver("1", "2");
    WriteIniKey(kTempFile, "2", "标题", "改过的标题");
    (*this)[kSearchEdit].SetText("改过");
    (*this)[kSearchColumn].SetSelection(1);
    (*this)[kSearchEdit].SetText("改过的");
    ASSERT_TRUE(ListSettlesAt(1));
    EXPECT_EQ(Rows()[0][1], "改过的标题");

    DeleteFileA(kTempFile.c_str());
    (*this)[kSearchEdit].SetText("");
    EXPECT_TRUE(ListSettlesAt(0));
}

TEST_F(CrawlerWindow, FiltersBeforeAnyRunFindNothing) {
    Open(SampleForum());
    (*this)[kSearchEdit].SetText("1");
    SendMessageA((*this)[kEmptyTitleFilter].hwnd(), BM_CLICK, 0, 0);
    EXPECT_TRUE(ListSettlesAt(0));
    (*this)[kSearchEdit].SetText("");
    EXPECT_TRUE(ListSettlesAt(0));
}

// A forum whose thread 1 is missing, 2 answers garbage, 3 never answers its first try and is unavailable
// after, and 4 is a real thread.
Reply AwkwardForum(const ReceivedRequest& request, const std::string& forum, int tries) {
    if (request.target == "/thread-1-1-1.html") return {.status = "404 Not Found", .body = "<h1>404</h1>"};
    if (request.target == "/thread-2-1-1.html")
        return {.body = std::string("\x81\xFE\xFF<span \x00</span>", 16)};
    if (request.target == "/thread-3-1-1.html") {
        if (tries == 1) return {.kind = Reply::Kind::kSilence};
        return {.status = "503 Service Unavailable", .headers = "Retry-After: 0\r\n"};
    }
    return {.body = ThreadPage(forum, "第四帖", "44", "四号")};
}

// Counts the requests for each target, for forums that answer a first try otherwise than the next.
class TriedCounter {
  public:
    int Count(const ReceivedRequest& request) {
        std::lock_guard lock(mutex_);
        return ++tries_[request.target];
    }
    int Tries(const std::string& target) {
        std::lock_guard lock(mutex_);
        return tries_[target];
    }

  private:
    std::mutex mutex_;
    std::map<std::string, int> tries_;
};

// Every way a page can fail, one id each from 999 on; 1005 (slow) and 1007 are real threads. 999 is silent
// at first, then breaks off like 1000.
Reply HostileForum(const ReceivedRequest& request, const std::string& forum, int tries) {
    const std::string id = request.target.rfind("/thread-", 0) == 0
                               ? request.target.substr(8, request.target.find('-', 8) - 8)
                               : "";  // the home page
    if (id == "999" && tries == 1) return {.kind = Reply::Kind::kSilence};
    if (id == "999" || id == "1000") return {.kind = Reply::Kind::kReset};
    if (id == "1001") return {.kind = Reply::Kind::kEndlessBody};
    if (id == "1002") return {.body = std::string("\x81\xFE\xFF<span \x00</span>", 16)};
    if (id == "1003") return {.status = "302 Found", .headers = "Location: " + request.target + "\r\n"};
    std::string filler;
    for (int line = 0; line < 16; ++line)
        filler += "X-Filler-" + std::to_string(line) + ": " + std::string(1000, 'f') + "\r\n";
    if (id == "1004") return {.headers = filler, .body = ThreadPage(forum, "大头", "104", "头")};
    if (id == "1005") return {.body = ThreadPage(forum, "慢帖", "105", "慢"), .drip_ms = 20};
    if (id == "1006") return {};
    if (id == "1007") return {.body = ThreadPage(forum, "好帖", "107", "好")};
    return {.status = "404 Not Found", .body = "<h1>404</h1>"};
}

TEST_F(CrawlerWindow, EveryKindOfFailingPageGivesItsRowAndTheRunGoesOn) {
    std::string address;
    TriedCounter tried;
    LoopbackServer server(
        [&](const ReceivedRequest& request) { return HostileForum(request, address, tried.Count(request)); });
    address = server.Url("/");
    Open(address);
    RunOver("999", "9", 120000);  // ten ids; 999 holds its connection until the receive time-out
    const std::string thread = address + "thread-";
    // What breaks off is tried again and then given up on; a page past the size cap or an endless redirect is
    // no page at all; garbage and an empty page are pages without a title.
    EXPECT_EQ(Rows(), (std::vector<ResultRow>{IdOnly("999", kStateFailed),
                                              IdOnly("1000", kStateFailed),
                                              IdOnly("1001", kStateFailed),
                                              IdOnly("1002"),
                                              IdOnly("1003", kStateFailed),
                                              {"1004", "大头", "104", "头", thread + "1004-1-1.html"},
                                              {"1005", "慢帖", "105", "慢", thread + "1005-1-1.html"},
                                              IdOnly("1006"),
                                              {"1007", "好帖", "107", "好", thread + "1007-1-1.html"},
                                              IdOnly("1008", kStateMissing)}));
    EXPECT_EQ(tried.Tries("/thread-1000-1-1.html"), 4);
    ExpectTempFileHolds(Rows(), "999");
}

// Thread 1 answers, every later one never does.
Reply SilentAfterTheFirst(const ReceivedRequest& request, const std::string& forum) {
    if (request.target == "/thread-1-1-1.html") return {.body = ThreadPage(forum, "第一帖", "1", "一号")};
    return {.kind = Reply::Kind::kSilence};
}

TEST_F(CrawlerWindow, StopEndsARunWaitingOnASilentForumAtOnce) {
    std::string address;
    LoopbackServer server(
        [&](const ReceivedRequest& request) { return SilentAfterTheFirst(request, address); });
    address = server.Url("/");
    const std::vector<ResultRow> first = {{"1", "第一帖", "1", "一号", address + "thread-1-1-1.html"}};
    Open(address);
    Start("1", "5");
    ASSERT_TRUE(PumpUntil(
        [&] { return (*this)[kResultList].RowCount() == 1 && server.Requests().size() >= 2; }, 10000));

    StopAndExpectItQuick();
    EXPECT_EQ(Rows(), first);
    ExpectTempFileHolds(first, "1");

    // The next run starts at once, although the stopped run's requests are still waiting on the forum.
    RunOver("1", "0", 10000);  // id 1 only
    EXPECT_EQ(Rows(), first);
}

TEST_F(CrawlerWindow, ClosingTheWindowDuringARunEndsItAtOnceWithAWholeFile) {
    std::string address;
    LoopbackServer server(
        [&](const ReceivedRequest& request) { return SilentAfterTheFirst(request, address); });
    address = server.Url("/");
    Open(address);
    Start("1", "5");
    ASSERT_TRUE(PumpUntil(
        [&] { return (*this)[kResultList].RowCount() == 1 && server.Requests().size() >= 2; }, 10000));
    // Hidden first: without a window manager, Wine waits 2 s for an X window to be withdrawn, whatever runs.
    ShowWindow(window_->form().hwnd(), SW_HIDE);
    const ULONGLONG closing = GetTickCount64();
    window_.reset();
    const ULONGLONG closed_after = GetTickCount64() - closing;
    std::printf("window closed %llu ms after the close during a run\n", closed_after);
    EXPECT_LT(closed_after, kQuick);
    ExpectTempFileHolds({{"1", "第一帖", "1", "一号"}}, "1");
}

// A forum whose thread pages answer after random times, so that pages fetched at once arrive out of order.
class ShuffledForum {
  public:
    ShuffledForum()
        : server_([this](const ReceivedRequest& request) {
              Reply reply;
              const size_t id_end = request.target.find('-', 8);
              if (request.target.rfind("/thread-", 0) != 0 || id_end == std::string::npos) return reply;
              const std::string id = request.target.substr(8, id_end - 8);
              reply.body = ThreadPage(server_.Url("/"), "帖" + id, id, "人" + id);
              std::lock_guard lock(mutex_);
              reply.delay_ms = static_cast<int>(random_() % 120);
              return reply;
          }) {}
    LoopbackServer& server() { return server_; }

    ResultRow Row(int id) {
        const std::string text = std::to_string(id);
        return {text, "帖" + text, text, "人" + text, server_.Url("/") + "thread-" + text + "-1-1.html"};
    }

  private:
    std::mutex mutex_;
    std::mt19937 random_{7};
    LoopbackServer server_;
};

TEST_F(CrawlerWindow, PagesArrivingOutOfOrderGiveRowsAndAFileInIdOrder) {
    ShuffledForum forum;
    window_ =
        std::make_unique<MainWindow>(ForumSettings{.address = forum.server().Url("/"), .connections = 4});
    DeleteFileA(kTempFile.c_str());
    ASSERT_TRUE(window_->Create(nullptr, SW_SHOWNORMAL));
    PumpUntil([&] { return !forum.server().Requests().empty(); }, 5000);  // the home page, before the run
    PumpUntil([] { return false; }, 300);

    RunOver("20", "59", 60000);
    std::vector<ResultRow> expected;
    for (int id = 20; id < 80; ++id) expected.push_back(forum.Row(id));
    EXPECT_EQ(Rows(), expected);
    ExpectTempFileHolds(expected, "20");
    EXPECT_LE(forum.server().MostAnsweredAtOnce(), 4);
    EXPECT_GT(forum.server().MostAnsweredAtOnce(), 1);

    // Stopped half-way: the rows and the file hold the ids before the stop, in order, and nothing after.
    Start("1", "100000");
    ASSERT_TRUE(PumpUntil(  // the new run's rows, not the last run's
        [&] { return (*this)[kResultList].RowCount() >= 30 && (*this)[kResultList].Cell(0, 0) == "1"; },
        30000));
    StopAndExpectItQuick();
    const std::vector<ResultRow> rows = Rows();
    ASSERT_GE(rows.size(), 30u);
    for (size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i], forum.Row(static_cast<int>(i) + 1));
    ExpectTempFileHolds(rows, "1");
    EXPECT_LE(forum.server().MostAnsweredAtOnce(), 4);
}

TEST_F(CrawlerWindow, PagesThatFailGiveRowsWithTheIdOnly) {
    std::string address;
    TriedCounter tried;
    LoopbackServer server(
        [&](const ReceivedRequest& request) { return AwkwardForum(request, address, tried.Count(request)); });
    address = server.Url("/");
    Open(address);
    RunOver("1", "3", 120000);  // thread 3 holds the run until the receive time-out
    EXPECT_EQ(Rows(), (std::vector<ResultRow>{IdOnly("1", kStateMissing), IdOnly("2"), IdOnly("3", kStateFailed),
                                              {"4", "第四帖", "44", "四号", address + "thread-4-1-1.html"}}));
    ExpectTempFileHolds(Rows(), "1");
    EXPECT_EQ(ReadIniKey(kTempFile, "3", "状态"), "失败");
    // A 404 is the forum saying the thread is missing; a page without a title is neither; silence is a
    // failure.
    EXPECT_EQ((*this)[kStatusLine].Text(),
              "遍历完成：共 4 个，有标题 1 个，不存在 1 个，需登录 0 个，失败 1 个");
}

// A forum of thread pages behind a rate limit: `per_second` pages a second (a bucket of as many, filled as
// time goes), 429 with Retry-After: 1 beyond it.
class RateLimitedForum {
  public:
    explicit RateLimitedForum(int per_second)
        : per_second_(per_second), server_([this](const ReceivedRequest& request) { return Answer(request); }) {}
    std::string Url() const { return server_.Url("/"); }
    LoopbackServer& server() { return server_; }
    int refused() const { return refused_; }

    ResultRow Row(int id) const {
        const std::string text = std::to_string(id);
        return {text, "帖" + text, text, "人" + text, Url() + "thread-" + text + "-1-1.html"};
    }

  private:
    Reply Answer(const ReceivedRequest& request) {
        {
            std::lock_guard lock(mutex_);
            const ULONGLONG now = GetTickCount64();
            tokens_ = std::min<double>(per_second_, tokens_ + (now - filled_) * per_second_ / 1000.0);
            filled_ = now;
            if (tokens_ < 1) {
                ++refused_;
                return {.status = "429 Too Many Requests", .headers = "Retry-After: 1\r\n"};
            }
            tokens_ -= 1;
        }
        const size_t id_end = request.target.find('-', 8);
        if (request.target.rfind("/thread-", 0) != 0 || id_end == std::string::npos) return {};
        const std::string id = request.target.substr(8, id_end - 8);
        return {.body = ThreadPage(Url(), "帖" + id, id, "人" + id), .delay_ms = 20};
    }

    const int per_second_;
    std::mutex mutex_;
    double tokens_ = per_second_;
    ULONGLONG filled_ = GetTickCount64();
    std::atomic<int> refused_{0};
    LoopbackServer server_;
};

TEST_F(CrawlerWindow, AForumThatRateLimitsStillGivesEveryRowInOrder) {
    RateLimitedForum forum(25);
    window_ = std::make_unique<MainWindow>(ForumSettings{.address = forum.Url(), .connections = 8});
    DeleteFileA(kTempFile.c_str());
    ASSERT_TRUE(window_->Create(nullptr, SW_SHOWNORMAL));
    RunOver("1", "99", 60000);
    std::vector<ResultRow> expected;
    for (int id = 1; id <= 100; ++id) expected.push_back(forum.Row(id));
    EXPECT_EQ(Rows(), expected);
    ExpectTempFileHolds(expected, "1");
    EXPECT_GT(forum.refused(), 0);  // the limit was met
    EXPECT_LE(forum.server().MostAnsweredAtOnce(), 8);
    EXPECT_EQ((*this)[kStatusLine].Text(), "遍历完成：共 100 个，有标题 100 个，不存在 0 个，需登录 0 个，失败 0 个");
}

TEST_F(CrawlerWindow, FirstTriesThatFailAreTriedAgainAndTheRowsStayInOrder) {
    // Every page fails its first try, with a 503, a reset or a body cut short, and answers late at random.
    std::string address;
    TriedCounter tried;
    std::mutex mutex;
    std::mt19937 random(11);
    LoopbackServer server([&](const ReceivedRequest& request) -> Reply {
        const size_t id_end = request.target.find('-', 8);
        if (request.target.rfind("/thread-", 0) != 0 || id_end == std::string::npos) return {};
        const std::string id = request.target.substr(8, id_end - 8);
        const std::string page = ThreadPage(address, "帖" + id, id, "人" + id);
        int delay;
        {
            std::lock_guard lock(mutex);
            delay = static_cast<int>(random() % 60);
        }
        if (tried.Count(request) > 1) return {.body = page, .delay_ms = delay};
        switch (std::stoi(id) % 3) {
            case 0: return {.status = "503 Service Unavailable"};
            case 1: return {.kind = Reply::Kind::kReset};
            default: return {.kind = Reply::Kind::kCutShort, .body = page};
        }
    });
    address = server.Url("/");
    window_ = std::make_unique<MainWindow>(ForumSettings{.address = address, .connections = 4});
    DeleteFileA(kTempFile.c_str());
    ASSERT_TRUE(window_->Create(nullptr, SW_SHOWNORMAL));
    RunOver("1", "29", 60000);
    std::vector<ResultRow> expected;
    for (int id = 1; id <= 30; ++id) {
        const std::string text = std::to_string(id);
        expected.push_back({text, "帖" + text, text, "人" + text, address + "thread-" + text + "-1-1.html"});
        EXPECT_EQ(tried.Tries("/thread-" + text + "-1-1.html"), 2) << text;
    }
    EXPECT_EQ(Rows(), expected);
    ExpectTempFileHolds(expected, "1");
    EXPECT_LE(server.MostAnsweredAtOnce(), 4);
}

TEST_F(CrawlerWindow, AnIdThatKeepsFailingIsKeptAsFailedAfterThreeMoreTries) {
    std::string address;
    TriedCounter tried;
    LoopbackServer server([&](const ReceivedRequest& request) -> Reply {
        tried.Count(request);
        if (request.target == "/thread-2-1-1.html")
            return {.status = "503 Service Unavailable", .headers = "Retry-After: 0\r\n"};
        return {.body = ThreadPage(address, "帖", "9", "人")};
    });
    address = server.Url("/");
    Open(address);
    RunOver("1", "2");
    ASSERT_EQ(Rows().size(), 3u);
    EXPECT_EQ(Rows()[1], IdOnly("2", kStateFailed));
    EXPECT_EQ(tried.Tries("/thread-2-1-1.html"), 4);
    EXPECT_EQ(ReadIniKey(kTempFile, "2", "状态"), "失败");
    EXPECT_EQ((*this)[kStatusLine].Text(), "遍历完成：共 3 个，有标题 2 个，不存在 0 个，需登录 0 个，失败 1 个");
}

TEST_F(CrawlerWindow, AStopEndsTheWaitForARetryAfterFarAhead) {
    std::string address;
    LoopbackServer server([&](const ReceivedRequest& request) -> Reply {
        if (request.target == "/thread-2-1-1.html")
            return {.status = "429 Too Many Requests", .headers = "Retry-After: 3600\r\n"};
        return {.body = ThreadPage(address, "帖", "9", "人")};
    });
    address = server.Url("/");
    Open(address);
    Start("1", "3");
    ASSERT_TRUE(PumpUntil(
        [&] {
            for (const ReceivedRequest& request : server.Requests()) {
                if (request.target == "/thread-2-1-1.html") return true;
            }
            return false;
        },
        10000));
    PumpUntil([] { return false; }, 300);  // the 429 is in, its wait begun
    StopAndExpectItQuick();
    // The rows before the waiting id, in order, and nothing after.
    const std::vector<ResultRow> rows = Rows();
    ASSERT_LE(rows.size(), 1u);
    ExpectTempFileHolds(rows, "1");
}

}  // namespace
