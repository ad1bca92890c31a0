// Tests of cutting title, author UID and author name out of thread pages by the default rule, and of the
// verdict on a page.
#include "crawler/thread_page.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kForum = "http://127.0.0.1:8431/";

std::string Subject(const std::string& title) {
    return "<span rel=\"start\" id=\"thread_subject\">" + title + "</span>";
}

std::string UidCard(const std::string& uid, const std::string& forum = kForum) {
    return "<div class=\"i y\"><div><strong><a href=\"" + forum + "home.php?mod=space&amp;uid=" + uid +
           "\" target=\"_blank\" class=\"xi2\">card</a></strong></div></div>\n";
}

std::string AuthorBlock(const std::string& uid, const std::string& name, const std::string& forum = kForum) {
    return "<div class=\"authi\"><a href=\"" + forum + "home.php?mod=space&amp;uid=" + uid +
           "\" target=\"_blank\" class=\"xw1\">" + name + "</a>\n</div>\n";
}

// A thread page in the forum's layout: head, subject, the first post's author column, a reply, foot.
std::string Page(const std::string& subject_html, const std::string& author_html) {
    return "<html><head><title>t</title></head><body><h1 class=\"ts\">" + subject_html + "</h1>\n" +
           author_html + "<div class=\"pct\">正文</div>" + AuthorBlock("900001", "回复者01") +
           UidCard("900001") + "</body></html>";
}

std::string NormalPage(const std::string& title, const std::string& uid, const std::string& name) {
    return Page(Subject(title), AuthorBlock(uid, name) + UidCard(uid));
}

FetchedPage Answer(std::string text, int status = 200) {
    return {.outcome = FetchOutcome::kAnswered, .status = status, .text = std::move(text)};
}

ThreadPage ExtractThreadPage(const std::string& page, const std::string& forum) {
    return ReadThreadPage(Answer(page), ForumRule(DefaultRule(), forum));
}

void ExpectFacts(const ThreadPage& facts, const std::string& title, const std::string& uid,
                 const std::string& name) {
    EXPECT_EQ(facts.title, title);
    EXPECT_EQ(facts.uid, uid);
    EXPECT_EQ(facts.name, name);
}

TEST(ThreadPage, AllThreeValuesOfAWholePage) {
    ExpectFacts(ExtractThreadPage(NormalPage("欢迎来到示例论坛", "1", "admin"), kForum), "欢迎来到示例论坛",
                "1", "admin");
    ExpectFacts(ExtractThreadPage("", kForum), "", "", "");
    ExpectFacts(ExtractThreadPage("<html>抱歉，指定的主题不存在</html>", kForum), "", "", "");
}

TEST(ThreadPage, TitleIsTheFirstSpanCutAtTheFirstClosingTag) {
    std::string page =
        Page(Subject("第一个标题") + Subject("第二个标题"), AuthorBlock("2", "作者") + UidCard("2"));
    EXPECT_EQ(ExtractThreadPage(page, kForum).title, "第一个标题");
    page = NormalPage("如何在帖子里写 </span> 标签", "3", "作者");
    EXPECT_EQ(ExtractThreadPage(page, kForum).title, "如何在帖子里写 ");
    EXPECT_EQ(ExtractThreadPage(NormalPage("", "7", "空标题"), kForum).title, "");
    // A span that is never closed gives nothing, though the page goes on.
    EXPECT_EQ(ExtractThreadPage("<span rel=\"start\" id=\"thread_subject\">无结尾<b>x</b>", kForum).title,
              "");
}

TEST(ThreadPage, MarkersAreCaseSensitive) {
    const std::string page = Page("<SPAN rel=\"start\" id=\"thread_subject\">大写标记</SPAN>",
                                  AuthorBlock("4", "大写") + UidCard("4"));
    ExpectFacts(ExtractThreadPage(page, kForum), "", "4", "大写");
    // The forum address inside the user links is matched byte for byte too.
    EXPECT_EQ(ExtractThreadPage(NormalPage("t", "5", "n"), "HTTP://127.0.0.1:8431/").uid, "");
}

TEST(ThreadPage, ValuesStayRawAsInThePage) {
    const std::string title = "Linux &amp; Windows 双系统 &gt;&gt; 安装教程 &#8226; 第二版";
    ExpectFacts(ExtractThreadPage(NormalPage(title, "12", "老&amp;王"), kForum), title, "12", "老&amp;王");
    ExpectFacts(ExtractThreadPage(NormalPage("　全角空格开头 13  ", "13", "'单引号'"), kForum),
                "　全角空格开头 13  ", "13", "'单引号'");
    // 誠 謀 衆 end in the byte "\", 觸 in "|"; none of them ends a value early.
    ExpectFacts(ExtractThreadPage(NormalPage("繁體 觸發誠信謀", "14", "衆誠"), kForum), "繁體 觸發誠信謀",
                "14", "衆誠");
}

TEST(ThreadPage, UidIsTheFirstUserLinkUnderTheForumAddress) {
    // The author column's card comes before the replies' links.
    EXPECT_EQ(ExtractThreadPage(NormalPage("t", "1006", "n"), kForum).uid, "1006");
    // Links under another address count for neither UID nor name.
    const std::string old = kForum + "old/";
    const std::string page =
        Page(Subject("旧地址链接"), AuthorBlock("17", "旧地址作者", old) + UidCard("17", old));
    ExpectFacts(ExtractThreadPage(page, kForum), "旧地址链接", "900001", "回复者01");
    ExpectFacts(ExtractThreadPage(page, old), "旧地址链接", "17", "旧地址作者");
}

TEST(ThreadPage, NameComesFromTheAuthorBlockOfThatUid) {
    // Another user's block first: the name is still the one for the UID.
    std::string page = Page(Subject("两个作者块"),
                            UidCard("16") + AuthorBlock("99", "别人") + AuthorBlock("16", "真正作者"));
    EXPECT_EQ(ExtractThreadPage(page, kForum).name, "真正作者");
    // Only a block for another UID: no name.
    page = "<h1>" + Subject("UID 与作者块不符") + "</h1>" + AuthorBlock("2006", "另一个人") + UidCard("1006");
    ExpectFacts(ExtractThreadPage(page, kForum), "UID 与作者块不符", "1006", "");
    // A block whose UID merely starts with the author's does not match.
    page = UidCard("16") + AuthorBlock("160", "别人");
    EXPECT_EQ(ExtractThreadPage(page, kForum).name, "");
    // A guest: empty UID, and the block for the empty UID carries the name.
    ExpectFacts(ExtractThreadPage(NormalPage("游客发帖", "", "游客"), kForum), "游客发帖", "", "游客");
}

TEST(ThreadPage, TextEndsAtTheFirstZeroByte) {
    std::string page = NormalPage("零字节之后", "10", "看不见");
    page.insert(page.find("<title>"), 1, '\0');
    ExpectFacts(ExtractThreadPage(page, kForum), "", "", "");
    page = NormalPage("零字节之前", "10", "看得见");
    page.insert(page.find("<div class=\"pct\">"), 1, '\0');
    ExpectFacts(ExtractThreadPage(page, kForum), "零字节之前", "10", "看得见");
}

TEST(ThreadPage, MarkersMatchOnlyAtCharacterStarts) {
    // A dangling lead byte swallows the "<" of the title marker.
    std::string page = NormalPage("半个字之后的标题", "11", "半个字");
    page.insert(page.find("<span rel="), "技术交\xD6");
    ExpectFacts(ExtractThreadPage(page, kForum), "", "11", "半个字");
    // A quote that is the second byte of a two-byte character does not end the UID.
    page = UidCard("12\x81\"3") + AuthorBlock("12\x81\"3", "名字");
    ExpectFacts(ExtractThreadPage(page, kForum), "", "12\x81\"3", "名字");
    // A lead byte right before "</span>" makes the title run on to the next one.
    EXPECT_EQ(ExtractThreadPage(Subject("标\xB1</span>后面"), kForum).title, "标\xB1</span>后面");
}

TEST(ThreadPage, TheVerdictTellsAThreadFromANoticeAndAFailure) {
    const ForumRule rule(DefaultRule(), kForum);
    const auto verdict = [&](const FetchedPage& page) { return ReadThreadPage(page, rule).verdict; };
    EXPECT_EQ(verdict(Answer(NormalPage("标题", "1", "作者"))), PageVerdict::kTitled);
    EXPECT_EQ(verdict(Answer(Page("<span class=\"xg1\">没有标题</span>", AuthorBlock("5", "无题作者")))),
              PageVerdict::kUntitled);
    EXPECT_EQ(verdict(Answer("")), PageVerdict::kUntitled);
    // The forum's notices, answered with 200, and its statuses.
    const ThreadPage missing = ReadThreadPage(
        Answer("<div id=\"messagetext\"><p>抱歉，指定的主题不存在或已被删除或正在被审核</p>" + UidCard("9")),
        rule);
    EXPECT_EQ(missing.verdict, PageVerdict::kMissing);
    EXPECT_EQ(missing.uid, "");  // a notice is no thread: nothing of it goes into the row
    EXPECT_EQ(
        verdict(Answer("<p>抱歉，您尚未登录，没有权限访问该版块</p></div><div id=\"messagelogin\"></div>")),
        PageVerdict::kLogin);
    EXPECT_EQ(verdict(Answer("gone", 404)), PageVerdict::kMissing);
    EXPECT_EQ(verdict(Answer(NormalPage("标题", "1", "作者"), 410)), PageVerdict::kMissing);
    EXPECT_EQ(verdict(Answer("", 403)), PageVerdict::kLogin);
    for (int status : {408, 429, 500, 502, 503})
        EXPECT_EQ(verdict(Answer("busy", status)), PageVerdict::kFailed) << status;
    // A thread whose text quotes a notice is still a thread: the notice is told by the markup around it.
    EXPECT_EQ(
        verdict(Answer(NormalPage("为什么提示抱歉，指定的主题不存在或已被删除或正在被审核", "1", "作者"))),
        PageVerdict::kTitled);
    // No answer at all.
    for (FetchOutcome outcome : {FetchOutcome::kNoConnection, FetchOutcome::kTimedOut, FetchOutcome::kReset,
                                 FetchOutcome::kTooLarge, FetchOutcome::kRefused, FetchOutcome::kFailed}) {
        EXPECT_EQ(verdict(FetchedPage{.outcome = outcome, .text = NormalPage("t", "1", "n")}),
                  PageVerdict::kFailed);
    }
}

}  // namespace
