// The forum address option, the addresses built from the base, and the window texts that name the forum.
#include "app/forum.h"

#include <gtest/gtest.h>

#include "app/layout.h"

namespace {

ProgramOptions Options(std::vector<const char*> args, std::string& problem) {
    args.insert(args.begin(), "Quillmoor.exe");
    return OptionsFromArguments(static_cast<int>(args.size()), args.data(), problem);
}

std::string Parse(std::vector<const char*> args, std::string& problem) {
    return Options(std::move(args), problem).forum;
}

TEST(ForumOption, TakesAnAbsoluteHttpAddressEndingInSlash) {
    std::string problem;
    EXPECT_EQ(Parse({}, problem), kBuiltInForum);
    EXPECT_EQ(problem, "");
    EXPECT_EQ(Parse({"--forum", "http://127.0.0.1:8431/"}, problem), "http://127.0.0.1:8431/");
    EXPECT_EQ(problem, "");
    EXPECT_EQ(Parse({"--forum=HTTPS://Bbs.Example/sub/"}, problem), "HTTPS://Bbs.Example/sub/");
    EXPECT_EQ(problem, "");
}

TEST(ForumOption, RefusesWhatIsNotAForumAddress) {
    for (std::vector<const char*> args : std::vector<std::vector<const char*>>{
             {"--forum"},
             {"--forum", "bbs.example/"},
             {"--forum", "ftp://bbs.example/"},
             {"--forum", "http://bbs.example"},
             {"--forum", "http:///"},
             {"--forum", "http://bbs.exa mple/"},
             {"--forum", "http://bbs.example/\n"},
             {"--forum=", ""},
             {"--verbose"},
         }) {
        std::string problem;
        Parse(args, problem);
        EXPECT_NE(problem, "") << args.back();
    }
}

TEST(ConnectionsOption, TakesOneToSixteenBesideTheForum) {
    std::string problem;
    EXPECT_EQ(Options({}, problem).connections, kDefaultConnections);
    ProgramOptions options = Options({"--connections", "1", "--forum=http://127.0.0.1/"}, problem);
    EXPECT_EQ(problem, "");
    EXPECT_EQ(options.connections, 1);
    EXPECT_EQ(options.forum, "http://127.0.0.1/");
    EXPECT_EQ(Options({"--connections=16"}, problem).connections, 16);
    EXPECT_EQ(problem, "");
    for (const char* bad : {"0", "17", "-1", "4x", " 4", "", "99999999999", "+4"}) {
        Options({"--connections", bad}, problem);
        EXPECT_NE(problem, "") << bad;
    }
    Options({"--connections"}, problem);
    EXPECT_NE(problem, "");
}

TEST(ForumTexts, CaptionStatusLineAndAddresses) {
    const std::string forum = "http://bbs.Example.test:8080/";
    EXPECT_EQ(ForumCaption(forum), "Quillmoor 标题遍历器V1.0 <Brenwick>" + std::string(32, ' ') +
                                       "<http://bbs.Example.test:8080>");
    EXPECT_EQ(ForumCaptionWithCount(forum, "1,024"), ForumCaption(forum) + "当前帖子数：1,024");
    EXPECT_EQ(ForumStatusLine(forum), "Quillmoor  bbs.example.test");
    EXPECT_EQ(ThreadAddress(forum, -7), "http://bbs.Example.test:8080/thread--7-1-1.html");
    EXPECT_EQ(HomePageAddress(forum, "42"), "http://bbs.Example.test:8080/?42");
}

TEST(ForumTexts, MemberCountIsCopiedAsWritten) {
    const std::string left = "<em>x</em><span class=\"pipe\">|</span>会员: <em>";
    EXPECT_EQ(MemberCountOfHomePage(left + "1,234,567</em><span class=\"pipe\">|"), "1,234,567");
    EXPECT_EQ(MemberCountOfHomePage(left + "1,234,567</em>"), "");
    EXPECT_EQ(MemberCountOfHomePage(""), "");
}

int ValueOf(const std::vector<Placement>& placements, std::string_view control, Edge edge) {
    int value = INT32_MIN;
    for (const Placement& p : placements) {
        if (p.control == control && p.edge == edge) value = p.value;
    }
    return value;
}

TEST(MainWindowLayout, FollowsTheWindowSizeWithoutClamping) {
    auto tall = MainWindowPlacements(975, 696, 16);
    EXPECT_EQ(ValueOf(tall, "超级列表框1", Edge::Height), 616);
    EXPECT_EQ(ValueOf(tall, "透明标签3", Edge::Top), 675);
    EXPECT_EQ(ValueOf(tall, "编辑框3", Edge::Left), 810);
    EXPECT_EQ(ValueOf(tall, "进度条1", Edge::Width), 218);

    auto tiny = MainWindowPlacements(300, 40, 16);
    EXPECT_EQ(ValueOf(tiny, "透明标签1", Edge::Top), -6);
    EXPECT_EQ(ValueOf(tiny, "超级列表框1", Edge::Height), -40);
    EXPECT_EQ(ValueOf(tiny, "透明标签5", Edge::Width), -457);

    // Every assignment is made once, the list's size first and the progress label last.
    EXPECT_EQ(tall.size(), 22u);
    EXPECT_EQ(tall.front().control, "超级列表框1");
    EXPECT_EQ(tall.back().control, "透明标签5");
}

}  // namespace
