// A run against a forum that defends itself, fails now and then, or has the markup of other forum software,
// beside a bare one-page-at-a-time loop over as many pages: how long each took, how many rows each got right,
// and how many requests the forum refused, from its relay's counts. Each takes ids of its own, as a forum
// fails a page's first try only once. Usage: polite_bench FORUM_URL IDS CONNECTIONS [--relay REPORT]
// [--limit PAGES_A_SECOND] [--markup discuz-x3|discuz-x3-rewrite|discuz-7]; with a markup the run finds the
// rule by itself.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "app/main_controls.h"
#include "app/main_window.h"
#include "bench/bench_util.h"
#include "crawler/site_rules.h"
#include "crawler/thread_page.h"
#include "net/page_download.h"
#include "state/list_file.h"
#include "tests/support/sample_forum.h"

namespace {

constexpr int kFirstId = 1000;

// Requests and refusals the relay has counted so far; none without a relay.
struct RelayCounts {
    int requests = 0, refused = 0;
};

RelayCounts ReadRelay(const std::string& report) {
    std::ifstream file(report, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    auto number = [&](const std::string& key) {
        const size_t at = text.find("\"" + key + "\": ");
        return at == std::string::npos ? 0 : std::atoi(text.c_str() + at + key.size() + 4);
    };
    return {number("requests"), number("refused")};
}

struct Forum {
    std::string url, relay;
    int limit = 0;
    SampleForumMarkup markup = SampleForumMarkup::kDesign;
    const char* rule = "默认";  // the preset of the markup
};

// Whether a row holds what the sample forum's page of its id holds, as a guest sees it.
bool RowIsRight(const Forum& forum, int id, const std::string& title, const std::string& uid,
                const std::string& name) {
    ExpectedThreadPage expected = ExpectedThread(id, SampleForumCharset::kGbk, forum.markup);
    if (expected.needs_login) expected = {};
    return title == ListValue(expected.title) && uid == ListValue(expected.uid) && name == ListValue(expected.name);
}

void Report(const std::string& what, const Forum& forum, int ids, int right, double seconds, RelayCounts before) {
    const RelayCounts after = ReadRelay(forum.relay);
    const int requests = after.requests - before.requests, refused = after.refused - before.refused;
    std::printf("%s: %d of %d rows right in %.1f s (%.0f ids/s)", what.c_str(), right, ids, seconds, ids / seconds);
    if (!forum.relay.empty()) {
        std::printf("; the forum refused %d of %d requests (%.0f %%)", refused, requests,
                    requests ? 100.0 * refused / requests : 0.0);
    }
    if (forum.limit > 0) {
        const double allowed = static_cast<double>(ids) / forum.limit;
        std::printf("; %.2f x the %.1f s its limit allows", seconds / allowed, allowed);
    }
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: polite_bench FORUM_URL IDS CONNECTIONS [--relay REPORT] [--limit N] "
                             "[--markup NAME]\n");
        return 2;
    }
    Forum forum{argv[1]};
    const int ids = std::atoi(argv[2]), connections = std::atoi(argv[3]);
    for (int i = 4; i + 1 < argc; i += 2) {
        const std::string option = argv[i], value = argv[i + 1];
        if (option == "--relay") forum.relay = value;
        if (option == "--limit") forum.limit = std::atoi(value.c_str());
        if (option != "--markup") continue;
        if (value == "discuz-x3") forum = {forum.url, forum.relay, forum.limit, SampleForumMarkup::kDiscuzX3, "Discuz! X3"};
        if (value == "discuz-x3-rewrite")
            forum = {forum.url, forum.relay, forum.limit, SampleForumMarkup::kDiscuzX3Rewrite, "Discuz! X3 伪静态"};
        if (value == "discuz-7") forum = {forum.url, forum.relay, forum.limit, SampleForumMarkup::kDiscuz7, "Discuz! 7"};
    }
    const ForumRule rule(*RuleNamed(forum.rule, {}), forum.url);

    // The bare loop: one page at a time, as it comes, no second try, the markup's own rule.
    RelayCounts before = ReadRelay(forum.relay);
    double start = NowSeconds();
    int right = 0;
    for (int id = kFirstId; id < kFirstId + ids; ++id) {
        const ThreadPage page = ReadThreadPage(DownloadPage(rule.ThreadAddress(id)), rule);
        right += RowIsRight(forum, id, page.title, page.uid, page.name);
    }
    Report("bare loop, one page at a time", forum, ids, right, NowSeconds() - start, before);

    // The run in the window, over the ids after the loop's; on a forum of other software it finds the rule.
    const int first = kFirstId + ids;
    const std::string rule_name = forum.markup == SampleForumMarkup::kDesign ? "默认" : "自动识别";
    MainWindow window({.address = forum.url, .rule = rule_name, .connections = connections});
    window.Create(nullptr, SW_SHOWNORMAL);
    FormWindow& form = window.form();
    Control list = form[kResultList];
    form[kFirstIdEdit].SetText(std::to_string(first));
    form[kCountEdit].SetText(std::to_string(ids - 1));
    before = ReadRelay(forum.relay);
    start = NowSeconds();
    SendMessageA(form[kStartButton].hwnd(), BM_CLICK, 0, 0);
    PumpUntil([&] { return form[kStartButton].Text() == "开始" && list.RowCount() == ids; }, 20);
    const double run = NowSeconds() - start;
    right = 0;
    for (int row = 0; row < ids; ++row) {
        right += RowIsRight(forum, first + row, list.Cell(row, kColumnTitle), list.Cell(row, kColumnUid),
                            list.Cell(row, kColumnName));
    }
    Report("run, " + std::to_string(connections) + " connections" +
               (forum.markup == SampleForumMarkup::kDesign ? "" : ", the rule found by itself"),
           forum, ids, right, run, before);
    return 0;
}
