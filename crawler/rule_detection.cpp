// Rule detection: candidates tried on the forum's own pages, fetched once each.
#include "crawler/rule_detection.h"

#include <map>

#include "runtime/text.h"

namespace {

std::string Quoted(std::string_view text) {
    return "“" + std::string(text) + "”";
}

std::string OutcomeText(const FetchedPage& page) {
    switch (page.outcome) {
        case FetchOutcome::kAnswered: return "状态 " + DecimalText(page.status);
        case FetchOutcome::kNoConnection: return "连接不上";
        case FetchOutcome::kTimedOut: return "超时";
        case FetchOutcome::kReset: return "连接被中断";
        case FetchOutcome::kTooLarge: return "页面太大";
        case FetchOutcome::kRefused: return "Cookie 含有控制字符，未发送";
        case FetchOutcome::kFailed: break;
    }
    return "失败";
}

// What a rule made of a thread page, for the report of why it does not fit.
std::string Reading(int32_t id, const ThreadPage& page) {
    const std::string thread = "帖子 " + DecimalText(id);
    switch (page.verdict) {
        case PageVerdict::kMissing: return thread + "不存在";
        case PageVerdict::kLogin: return thread + "需要登录";
        case PageVerdict::kFailed: return thread + "无法打开";
        case PageVerdict::kTitled:
        case PageVerdict::kUntitled: break;
    }
    std::string missing;
    for (auto [value, what] : {std::pair{&page.title, "标题"}, {&page.uid, "UID"}, {&page.name, "用户名"}}) {
        if (value->empty()) missing += missing.empty() ? what : std::string("、") + what;
    }
    return thread + "读不出" + missing;
}

}  // namespace

RuleDetection DetectRule(std::string_view base, std::optional<int32_t> first_id,
                         const std::vector<SiteRule>& candidates, const PageFetch& fetch) {
    RuleDetection detection;
    std::map<std::string, FetchedPage> fetched;
    const auto page_at = [&](const std::string& url) -> const FetchedPage& {
        auto found = fetched.find(url);
        if (found == fetched.end()) found = fetched.emplace(url, fetch(url)).first;
        return found->second;
    };
    const FetchedPage& home = page_at(std::string(base));
    std::vector<std::string> tried;
    for (const SiteRule& candidate : candidates) {
        const ForumRule rule(candidate, base);
        if (detection.member_count.empty()) detection.member_count = rule.MemberCount(home.text);
        std::vector<int32_t> ids;
        if (first_id) ids.push_back(*first_id);
        if (const std::optional<int32_t> linked = rule.FirstThreadLink(home.text);
            linked && linked != first_id)
            ids.push_back(*linked);
        std::string reading = "没有可试的帖子";
        for (int32_t id : ids) {
            const FetchedPage& fetched_page = page_at(rule.ThreadAddress(id));
            ThreadPage page = ReadThreadPage(fetched_page, rule);
            if (!page.title.empty() && !page.uid.empty() && !page.name.empty()) {
                detection.rule = candidate;
                detection.thread_id = id;
                detection.member_count = rule.MemberCount(home.text);
                detection.report = "规则" + Quoted(candidate.name) + "适合：帖子 " + DecimalText(id) +
                                   " 的标题" + Quoted(page.title) + "，UID " + page.uid + "，用户名" +
                                   Quoted(page.name);
                detection.page = std::move(page);
                return detection;
            }
            reading = Reading(id, page);
            if (page.verdict == PageVerdict::kFailed) reading += "（" + OutcomeText(fetched_page) + "）";
        }
        tried.push_back(Quoted(candidate.name) + reading);
    }
    if (!home.Answered() || home.status >= 400)
        tried.insert(tried.begin(), "首页无法打开（" + OutcomeText(home) + "）");
    detection.report = "没有适合这个论坛的规则";
    for (size_t i = 0; i < tried.size(); ++i) detection.report += (i ? "；" : "：") + tried[i];
    return detection;
}
