// The preset site rules against pages of the sample forum written from each forum software's own templates
// (tools/sample-forum.py --fixtures), finding the rule by itself, and the checks a user's rule must pass.
#include "crawler/site_rules.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>

#include "crawler/rule_detection.h"
#include "crawler/thread_page.h"
#include "tests/support/sample_forum.h"

namespace {

// The pages of every markup, and the base address they were written for (set by the build).
const std::string kPages = QM_MARKUP_PAGES;
const std::string kBase = QM_MARKUP_BASE;

struct Markup {
    const char* folder;
    SampleForumMarkup markup;
    const char* rule;  // the preset that reads it
};
constexpr Markup kMarkups[] = {
    {"design", SampleForumMarkup::kDesign, "默认"},
    {"discuz-x3", SampleForumMarkup::kDiscuzX3, "Discuz! X3"},
    {"discuz-x3-rewrite", SampleForumMarkup::kDiscuzX3Rewrite, "Discuz! X3 伪静态"},
    {"discuz-7", SampleForumMarkup::kDiscuz7, "Discuz! 7"},
};

std::vector<int> FixtureIds() {
    std::vector<int> ids;
    for (int id = 1; id <= 20; ++id) ids.push_back(id);
    for (int id = 1000; id <= 1009; ++id) ids.push_back(id);
    for (int id = 1040; id <= 1049; ++id) ids.push_back(id);
    ids.push_back(1030);  // other members' links above the author's
    return ids;
}

// A page as the sample forum serves it; none when the fixtures hold no such page.
std::optional<std::string> PageFile(const Markup& markup, const std::string& name) {
    std::ifstream file(kPages + "/" + markup.folder + "/" + name, std::ios::binary);
    if (!file) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

FetchedPage Answer(std::string text, int status = 200) {
    return {.outcome = FetchOutcome::kAnswered, .status = status, .text = std::move(text)};
}

// The thread page of `id` a guest (or the sample member) gets; the design answers 404 for an id ending in 9.
FetchedPage ThreadAnswer(const Markup& markup, int id, bool member = false) {
    const std::string name = (member ? "member-thread-" : "thread-") + std::to_string(id) + ".html";
    const std::optional<std::string> page = PageFile(markup, name);
    if (!page) return Answer("", 404);
    const bool not_found = markup.markup == SampleForumMarkup::kDesign && id % 10 == 9;
    return Answer(*page, not_found ? 404 : 200);
}

SiteRule Preset(std::string_view name) {
    std::optional<SiteRule> rule = RuleNamed(name, {});
    EXPECT_TRUE(rule) << name;
    return rule.value_or(SiteRule{});
}

PageVerdict ExpectedVerdict(const ExpectedThreadPage& expected, bool member) {
    if (!expected.exists) return PageVerdict::kMissing;
    if (expected.needs_login && !member) return PageVerdict::kLogin;
    return expected.title.empty() ? PageVerdict::kUntitled : PageVerdict::kTitled;
}

TEST(PresetRules, EachReadsThePagesOfItsForumSoftwareAsTheyStand) {
    for (const Markup& markup : kMarkups) {
        const ForumRule rule(Preset(markup.rule), kBase);
        for (int id : FixtureIds()) {
            const ExpectedThreadPage expected = ExpectedThread(id, SampleForumCharset::kGbk, markup.markup);
            for (bool member : {false, true}) {
                if (member && !expected.needs_login) continue;
                SCOPED_TRACE(std::string(markup.folder) + " thread " + std::to_string(id) +
                             (member ? " member" : ""));
                const ThreadPage page = ReadThreadPage(ThreadAnswer(markup, id, member), rule);
                EXPECT_EQ(page.verdict, ExpectedVerdict(expected, member));
                const bool read = expected.exists && (member || !expected.needs_login);
                EXPECT_EQ(page.title, read ? expected.title : "");
                EXPECT_EQ(page.uid, read ? expected.uid : "");
                EXPECT_EQ(page.name, read ? expected.name : "");
            }
        }
    }
}

TEST(PresetRules, ReadTheMemberCountAndAThreadLinkOfTheHomePage) {
    for (const Markup& markup : kMarkups) {
        SCOPED_TRACE(markup.folder);
        const ForumRule rule(Preset(markup.rule), kBase);
        const std::string home = PageFile(markup, "home.html").value_or("");
        EXPECT_EQ(rule.MemberCount(home), SampleForumMemberCount(markup.markup));
        if (markup.markup != SampleForumMarkup::kDesign) {
            EXPECT_EQ(rule.FirstThreadLink(home), 1);
        }
        EXPECT_EQ(RuleProblem(rule.rule(), kBase), "");
    }
}

TEST(PresetRules, NoPresetTakesAnotherSoftwaresPagesForAThread) {
    // Rule detection relies on it: a rule that read a title, a UID and a name off another markup would win.
    for (const Markup& markup : kMarkups) {
        for (const Markup& other : kMarkups) {
            if (&other == &markup) continue;
            const ThreadPage page =
                ReadThreadPage(ThreadAnswer(other, 1000), ForumRule(Preset(markup.rule), kBase));
            EXPECT_TRUE(page.title.empty() || page.uid.empty() || page.name.empty())
                << markup.rule << " on " << other.folder;
        }
    }
}

// A forum of one markup served from the fixtures: its home page at the base address, its threads at its own
// rule's addresses; everything else is a 404. Counts what was fetched.
struct FixtureForum {
    const Markup& markup;
    std::map<std::string, int> fetched;

    FetchedPage operator()(const std::string& url) {
        ++fetched[url];
        if (url == kBase) return Answer(PageFile(markup, "home.html").value_or(""));
        const ForumRule own(Preset(markup.rule), kBase);
        for (int id : FixtureIds()) {
            if (own.ThreadAddress(id) == url) return ThreadAnswer(markup, id);
        }
        return Answer("<html>404</html>", 404);
    }
};

TEST(RuleDetection, FindsThePresetOfEachForumOnTheFirstIdOrAThreadLinkOfTheHomePage) {
    for (const Markup& markup : kMarkups) {
        for (std::optional<int32_t> first : {std::optional<int32_t>(1000), std::optional<int32_t>()}) {
            SCOPED_TRACE(std::string(markup.folder) + (first ? " from 1000" : " from the home page"));
            FixtureForum forum{markup, {}};
            const RuleDetection found = DetectRule(kBase, first, PresetRules(), std::ref(forum));
            if (!first && markup.markup == SampleForumMarkup::kDesign) {
                EXPECT_FALSE(found.rule);  // the design's home page links no thread
                continue;
            }
            ASSERT_TRUE(found.rule) << found.report;
            EXPECT_EQ(found.rule->name, markup.rule);
            EXPECT_EQ(found.thread_id, first.value_or(1));
            EXPECT_EQ(found.member_count, SampleForumMemberCount(markup.markup));
            EXPECT_NE(found.report.find(markup.rule), std::string::npos) << found.report;
            for (const auto& [url, times] : forum.fetched) EXPECT_EQ(times, 1) << url;
        }
    }
}

TEST(RuleDetection, SaysWhyNothingFits) {
    // A missing first thread and a home page without links: every preset is tried, and the report names them.
    const Markup& x3 = kMarkups[1];
    FixtureForum forum{x3, {}};
    RuleDetection found = DetectRule(kBase, 1009, PresetRules(), [&](const std::string& url) {
        return url == kBase ? Answer("<html>首页</html>") : forum(url);
    });
    EXPECT_FALSE(found.rule);
    for (const SiteRule& rule : PresetRules()) EXPECT_NE(found.report.find(rule.name), std::string::npos);
    EXPECT_NE(found.report.find("帖子 1009不存在"), std::string::npos) << found.report;

    // A forum that cannot be reached.
    found = DetectRule(kBase, 5, PresetRules(), [](const std::string&) {
        return FetchedPage{.outcome = FetchOutcome::kNoConnection};
    });
    EXPECT_FALSE(found.rule);
    EXPECT_NE(found.report.find("首页无法打开（连接不上）"), std::string::npos) << found.report;
}

TEST(ForumRule, AddressesAndMarkersMadeForOneForum) {
    SiteRule rule = Preset("默认");
    const ForumRule design(rule, "http://bbs.test:8080/");
    EXPECT_EQ(design.ThreadAddress(42), "http://bbs.test:8080/thread-42-1-1.html");
    EXPECT_EQ(design.ThreadAddressTemplate(), "http://bbs.test:8080/thread-{id}-1-1.html");
    // A UID from a page or a file can neither add to the address nor end it.
    EXPECT_EQ(design.HomePage("7&x=\"1\" #"), "http://bbs.test:8080/?7%26x%3D%221%22%20%23");
    EXPECT_EQ(design.rule().uid_left, "<strong><a href=\"http://bbs.test:8080/home.php?mod=space&amp;uid=");

    rule.thread_address = "https://BBS.test:8080/t.php?id={id}&p=1";
    rule.title_left = "<h2 class=#引号t#引号>";
    const ForumRule absolute(rule, "https://bbs.test:8080/");
    EXPECT_EQ(absolute.ThreadAddress(-3), "https://BBS.test:8080/t.php?id=-3&p=1");
    EXPECT_EQ(absolute.rule().title_left, "<h2 class=\"t\">");
    EXPECT_EQ(absolute.FirstThreadLink("<a href='t.php?id=12&amp;p=1'>x</a><a href=\"t.php?id=9\">"), 12);
    EXPECT_EQ(absolute.FirstThreadLink("<a href=\"at.php?id=12&p=1\">"), std::nullopt);
    EXPECT_EQ(absolute.FirstThreadLink("<a href=\"t.php?id=99999999999&p=1\">"), std::nullopt);
}

// The settings file's rule sections, from its text.
SettingsFile WithRules(const std::string& text) {
    SettingsFile file;
    file.ini = IniReader::FromBytes(text);
    for (const std::string& section : file.ini.SectionNames()) {
        if (section.starts_with(kRuleSectionPrefix))
            file.rule_names.push_back(section.substr(kRuleSectionPrefix.size()));
    }
    return file;
}

std::string RuleSection(const std::string& name, std::map<std::string, std::string> changes = {}) {
    std::map<std::string, std::string> keys = {
        {"帖子地址", "read.php?tid={id}"},
        {"会员主页", "u.php?uid={uid}"},
        {"标题左", "<h1 id=#引号subject#引号>"},
        {"标题右", "</h1>"},
        {"UID左", "<a class=#引号author#引号 href=#引号{base}u.php?uid="},
        {"UID右", "#引号"},
        {"用户名左", "u.php?uid={uid}#引号>"},
        {"用户名右", "</a>"},
        {"会员数左", "会员数："},
        {"会员数右", "</span>"},
        {"不存在标记", ""},
        {"需登录标记", ""},
    };
    for (auto& [key, value] : changes) keys[key] = value;
    std::string text = "[规则：" + name + "]\r\n";
    for (auto& [key, value] : keys) {
        if (value != "(none)") text += key + "=" + value + "\r\n";
    }
    return text;
}

TEST(UserRules, AreOfferedWhenTheyCanWorkAndRefusedWithTheReasonOtherwise) {
    const std::string base = "http://bbs.test/";
    const UserRules rules = ReadUserRules(
        WithRules("[论坛]\r\n地址=http://bbs.test/\r\n" + RuleSection("我的论坛") +
                  RuleSection("绝对地址", {{"帖子地址", "HTTPS://bbs.test/read.php?tid={id}"}}) +
                  RuleSection("没有编号", {{"帖子地址", "read.php?tid=1"}}) +
                  RuleSection("别的主机", {{"会员主页", "http://evil.test/u.php?uid={uid}"}}) +
                  RuleSection("别的端口", {{"帖子地址", "http://bbs.test:81/read.php?tid={id}"}}) +
                  RuleSection("主机里的编号", {{"帖子地址", "http://{id}.bbs.test/"}}) +
                  RuleSection("缺键", {{"标题右", "(none)"}}) + RuleSection("空标记", {{"UID左", ""}}) +
                  RuleSection("太长", {{"标题左", std::string(1025, 'x')}}) + RuleSection("Discuz! X3") +
                  RuleSection("自动识别")),
        base);
    // Another scheme or port of the forum's host is the forum's too: cookies go to the host.
    ASSERT_EQ(rules.usable.size(), 3u);
    EXPECT_EQ(rules.usable[0].name, "我的论坛");
    EXPECT_EQ(rules.usable[0].title_left, "<h1 id=#引号subject#引号>");
    EXPECT_EQ(rules.usable[1].name, "绝对地址");
    EXPECT_EQ(rules.usable[2].name, "别的端口");
    const ForumRule mine(rules.usable[0], base);
    EXPECT_EQ(mine.rule().uid_left, "<a class=\"author\" href=\"http://bbs.test/u.php?uid=");
    EXPECT_EQ(mine.HomePage("5"), "http://bbs.test/u.php?uid=5");

    const std::vector<std::string> expected = {
        "规则“没有编号”不可用：帖子地址里没有 {id}",
        "规则“别的主机”不可用：会员主页不在论坛的主机上（只能是 http 或 https 的 bbs.test）",
        "规则“主机里的编号”不可用：帖子地址不在论坛的主机上（只能是 http 或 https 的 bbs.test）",
        "规则“缺键”不可用：缺少键“标题右”",
        "规则“空标记”不可用：UID左是空的",
        "规则“太长”不可用：标题左太长（最多 1024 字节）",
        "规则“Discuz! X3”不可用：与程序自带的规则同名",
        "规则“自动识别”不可用：与程序自带的规则同名",
    };
    EXPECT_EQ(rules.refused, expected);
}

}  // namespace
