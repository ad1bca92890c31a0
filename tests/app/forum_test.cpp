// The forum address option, the addresses built from the base, and the window texts that name the forum.
#include "app/forum.h"

#include <gtest/gtest.h>

#include "app/layout.h"
#include "app/main_controls.h"

namespace {

ProgramOptions Options(std::vector<const char*> args, std::string& problem) {
    args.insert(args.begin(), "Quillmoor.exe");
    return OptionsFromArguments(static_cast<int>(args.size()), args.data(), problem);
}

std::string Parse(std::vector<const char*> args, std::string& problem) {
    return Options(std::move(args), problem).forum.value_or("");
}

TEST(ForumOption, TakesAnAbsoluteHttpAddressEndingInSlash) {
    std::string problem;
    EXPECT_EQ(Parse({}, problem), "");
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
    EXPECT_EQ(Options({}, problem).connections, std::nullopt);
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

TEST(CommandLine, WinsOverTheSettingsForTheSession) {
    const ForumSettings file{.address = "http://forum.example/",
                             .rule = "Discuz! X3",
                             .cookie = "a=1",
                             .connections = 8,
                             .pages_per_second = 5};
    std::string problem;
    EXPECT_EQ(Options({}, problem).Over(file), file);
    ForumSettings expected = file;
    expected.address = "http://127.0.0.1:8431/";
    expected.connections = 2;
    EXPECT_EQ(Options({"--forum", "http://127.0.0.1:8431/", "--connections=2"}, problem).Over(file),
              expected);
}

TEST(ForumTexts, CaptionAndStatusLine) {
    const std::string forum = "http://bbs.Example.test:8080/";
    EXPECT_EQ(ForumCaption(forum), "Quillmoor 标题遍历器V1.0 <Brenwick>" + std::string(32, ' ') +
                                       "<http://bbs.Example.test:8080>");
    EXPECT_EQ(ForumCaptionWithCount(forum, "1,024"), ForumCaption(forum) + "当前帖子数：1,024");
    EXPECT_EQ(ForumStatusLine(forum), "Quillmoor  bbs.example.test");
}

int ValueOf(const std::vector<Placement>& placements, ControlName control, Edge edge) {
    int value = INT32_MIN;
    for (const Placement& p : placements) {
        if (p.control == control && p.edge == edge) value = p.value;
    }
    return value;
}

TEST(MainWindowLayout, FollowsTheWindowSizeWithoutClamping) {
    auto tall = MainWindowPlacements(975, 696, 16);
    EXPECT_EQ(ValueOf(tall, kResultList, Edge::Height), 616);
    EXPECT_EQ(ValueOf(tall, kStatusLine, Edge::Top), 675);
    EXPECT_EQ(ValueOf(tall, kSearchEdit, Edge::Left), 810);
    EXPECT_EQ(ValueOf(tall, kProgressBar, Edge::Width), 218);

    auto tiny = MainWindowPlacements(300, 40, 16);
    EXPECT_EQ(ValueOf(tiny, kFirstIdLabel, Edge::Top), -6);
    EXPECT_EQ(ValueOf(tiny, kResultList, Edge::Height), -40);
    EXPECT_EQ(ValueOf(tiny, kProgressLabel, Edge::Width), -457);

    // Every assignment is made once, the list's size first and the progress label last.
    EXPECT_EQ(tall.size(), 22u);
    EXPECT_TRUE(tall.front().control == kResultList);
    EXPECT_TRUE(tall.back().control == kProgressLabel);
}

}  // namespace
