// The settings file: defaults when it is missing, a clear word and the default for each bad value, whatever
// shape the file is in, and a save that keeps everything else the file holds.
#include "state/settings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

std::string TestFile() {
    const auto* test = testing::UnitTest::GetInstance()->current_test_info();
    return testing::TempDir() + "settings_" + test->name() + ".ini";
}

std::string ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

SettingsFile Read(std::string_view bytes) {
    const std::string path = TestFile();
    std::ofstream(path, std::ios::binary) << bytes;
    SettingsFile file = ReadSettings(path);
    std::remove(path.c_str());
    return file;
}

TEST(Settings, AMissingFileGivesTodaysForumAndRule) {
    const SettingsFile file = ReadSettings(testing::TempDir() + "没有这个设置.ini");
    EXPECT_EQ(file.forum, ForumSettings{});
    EXPECT_EQ(file.forum.address, kBuiltInForum);
    EXPECT_EQ(file.forum.rule, kDefaultRuleName);
    EXPECT_EQ(file.forum.connections, 4);
    EXPECT_EQ(file.forum.pages_per_second, 0);
    EXPECT_TRUE(file.problems.empty());
    EXPECT_TRUE(file.rule_names.empty());
}

TEST(Settings, ReadsEachValueAndTheNamesOfTheRules) {
    const SettingsFile file = Read(
        "; 论坛的设置\r\n[论坛]\r\n地址=https://bbs.example.com/forum/\r\n规则=自动识别\r\n"
        "Cookie=\"auth=x y; lang=zh \"\r\n连接数=16\r\n每秒最多=20\r\n\r\n"
        "[规则：我的论坛]\r\n帖子地址=read.php?tid={id}\r\n[规则：另一个]\r\n[其他]\r\n");
    EXPECT_TRUE(file.problems.empty());
    const ForumSettings expected{"https://bbs.example.com/forum/", "自动识别", "auth=x y; lang=zh ", 16, 20};
    EXPECT_EQ(file.forum, expected);
    EXPECT_EQ(file.rule_names, (std::vector<std::string>{"我的论坛", "另一个"}));
}

TEST(Settings, EachBadValueFallsBackToItsDefaultAndIsSaidOnce) {
    const SettingsFile file =
        Read("[论坛]\r\n地址=ftp://bbs.example/\r\n规则=\r\nCookie=a=1\x01\r\n连接数=17\r\n每秒最多=-1\r\n");
    EXPECT_EQ(file.forum, ForumSettings{});
    const std::vector<std::string> expected = {
        "设置.ini：论坛地址必须以 http:// 或 https:// "
        "开头：ftp://bbs.example/，已改用默认值“http://bbs.brenwick.example/”",
        "设置.ini：Cookie 不能含有换行或其他控制字符，已不用它",
        "设置.ini：连接数“17”不是 1 到 16 之间的整数，已改用默认值“4”",
        "设置.ini：每秒最多“-1”不是 0 到 1000 之间的整数，已改用默认值“0”",
    };
    EXPECT_EQ(file.problems, expected);
    for (const char* bad : {"0", "4.5", "four", "1e1", "+4"}) {
        EXPECT_EQ(Read(std::string("[论坛]\r\n连接数=") + bad).forum.connections, 4) << bad;
    }
}

TEST(Settings, ADamagedOrUnreadableFileNeverStopsTheProgram) {
    // Bytes that are no INI text at all, a section never closed, a file of zero bytes.
    std::string garbage;
    for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 7919) % 256);
    for (const std::string& bytes : {garbage, std::string("[论坛\r\n地址=http://a.test/"), std::string()}) {
        const SettingsFile file = Read(bytes);
        EXPECT_EQ(file.forum.connections, 4);
    }
    // A folder where the file should be cannot be read: the defaults, and why.
    const std::string folder = TestFile();
    std::filesystem::create_directories(folder);
    const SettingsFile file = ReadSettings(folder);
    std::filesystem::remove(folder);
    EXPECT_EQ(file.forum, ForumSettings{});
    ASSERT_EQ(file.problems.size(), 1u);
    EXPECT_TRUE(file.problems[0].starts_with("无法读取设置文件")) << file.problems[0];
}

TEST(SaveForumSettings, WritesTheForumAndKeepsEverythingElse) {
    const std::string path = TestFile();
    const std::string rules = "[规则：我的论坛]\r\n帖子地址=read.php?tid={id}\r\n\r\n";
    std::ofstream(path, std::ios::binary)
        << "; 我的设置\r\n[论坛]\r\n连接数=2\r\n备注=留着\r\n地址=http://old.test/\r\n\r\n" + rules;
    const ForumSettings settings{"http://new.test/", "我的论坛", " a=1; b=\"2\" ", 8, 5};
    EXPECT_EQ(SaveForumSettings(path, settings), "");
    EXPECT_EQ(ReadBytes(path),
              "; 我的设置\r\n[论坛]\r\n备注=留着\r\n地址=http://new.test/\r\n规则=我的论坛\r\n"
              "Cookie=\" a=1; b=\"2\" \"\r\n连接数=8\r\n每秒最多=5\r\n\r\n" +
                  rules);
    const SettingsFile read = ReadSettings(path);
    EXPECT_EQ(read.forum, settings);
    EXPECT_TRUE(read.problems.empty());
    EXPECT_EQ(read.rule_names, std::vector<std::string>{"我的论坛"});

    // A new file gets the forum section alone.
    std::remove(path.c_str());
    EXPECT_EQ(SaveForumSettings(path, ForumSettings{}), "");
    EXPECT_EQ(ReadSettings(path).forum, ForumSettings{});
    std::remove(path.c_str());
}

TEST(SaveForumSettings, AUnicodeFileIsLeftAsItWasWithAReason) {
    const std::string path = TestFile();
    const std::string unicode = "\xEF\xBB\xBF[论坛]\r\n连接数=2\r\n";
    std::ofstream(path, std::ios::binary) << unicode;
    EXPECT_NE(SaveForumSettings(path, ForumSettings{}).find("Unicode"), std::string::npos);
    EXPECT_EQ(ReadBytes(path), unicode);
    std::remove(path.c_str());
}

}  // namespace
