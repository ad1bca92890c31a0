// Tests of the list file: its values, the run's step-by-step writer, and the load and save walks.
#include "state/list_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "state/ini_reader.h"
#include "tests/state/list_values.h"

#if !defined(_WIN32)
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace std::string_view_literals;

namespace {

const std::string kForum = "http://127.0.0.1:8431/";
const std::string kThreadAddress = kForum + "thread-{id}-1-1.html";

// A file name of the running test's own, so that tests running side by side never share one.
std::string TestFile(std::string_view suffix = ".ini") {
    const auto* test = testing::UnitTest::GetInstance()->current_test_info();
    return testing::TempDir() + "list_file_" + test->test_suite_name() + "_" + test->name() +
           std::string(suffix);
}

std::string ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

ResultRow Row(std::string id, std::string title, std::string uid, std::string name,
              std::string address = "") {
    return {std::move(id), std::move(title), std::move(uid), std::move(name), std::move(address)};
}

std::string Address(int id) {
    return kForum + "thread-" + std::to_string(id) + "-1-1.html";
}

TEST(ResultRow, TheAddressCellPutsTheIdIntoTheRulesTemplate) {
    EXPECT_EQ(ThreadAddress("http://bbs.Example.test:8080/thread-{id}-1-1.html", -7),
              "http://bbs.Example.test:8080/thread--7-1-1.html");
    EXPECT_EQ(ThreadAddress("https://bbs.test/forum.php?mod=viewthread&tid={id}", 42),
              "https://bbs.test/forum.php?mod=viewthread&tid=42");
}

TEST(ListValue, KeepsOneLineOfWholeCharacters) {
    EXPECT_EQ(ListValue("第一行\r\n第二行\n\r第三行\0尾"sv), "第一行  第二行  第三行 尾");
    for (const std::string& value : AwkwardListValues()) EXPECT_EQ(ListValue(value), value);
    // Cut at the limit without splitting a character: 8,191 bytes, then a two-byte character.
    const std::string text = std::string(8191, 'a') + "中文";
    EXPECT_EQ(ListValue(text), std::string(8191, 'a'));
    EXPECT_EQ(ListValue(std::string(9000, 'b')), std::string(8192, 'b'));
    // A lead byte at the end is half a character; the one before it is a whole one.
    EXPECT_EQ(ListValue("标题\xB1"), "标题");
    EXPECT_EQ(ListValue("标\xB1\xB1"), "标\xB1\xB1");
}

// The rows a reader of the run's file gets, with the values the run put in.
class RunFile : public testing::Test {
  protected:
    void Step(int64_t id, const std::string& title, const std::string& uid, const std::string& name,
              std::string_view state = {}) {
        const std::string number = std::to_string(id);
        ResultRow row = Row(number, ListValue(title), ListValue(uid), ListValue(name),
                            ListValue(title).empty() ? "" : Address(static_cast<int>(id)));
        row[kColumnState] = state;
        ASSERT_TRUE(writer_.Append(id, row));
        expected_.push_back(row);
    }

    const std::string path_ = TestFile();
    ListFileWriter writer_;
    std::vector<ResultRow> expected_;
};

TEST_F(RunFile, IsACompleteListFileAfterEveryStep) {
    ASSERT_TRUE(writer_.Open(path_, "0100", 40));
    IniReader file = IniReader::FromFile(path_);
    EXPECT_EQ(file.Get("配置", "当前开始项"), "0100");
    EXPECT_EQ(file.Get("配置", "计划总数"), "40");
    EXPECT_EQ(file.Get("配置", "总数"), "0");
    EXPECT_TRUE(LoadListFile(path_, kThreadAddress).empty());

    const std::vector<std::string> values = AwkwardListValues();
    for (size_t step = 0; step < values.size(); ++step) {
        const std::string& value = values[step];
        Step(100 + static_cast<int64_t>(step), value, value.empty() ? "" : "7" + value, value + "作者");
        file = IniReader::FromFile(path_);
        EXPECT_EQ(file.Get("配置", "总数"), std::to_string(step + 1));
        const std::string section = std::to_string(100 + step);
        EXPECT_EQ(file.Get(section, "序列号"), section);
        EXPECT_EQ(file.Get(section, "标题"), value) << "step " << step;
        EXPECT_EQ(file.Get(section, "UID"), expected_.back()[kColumnUid]);
        EXPECT_EQ(file.Get(section, "用户名"), expected_.back()[kColumnName]);
        ASSERT_EQ(LoadListFile(path_, kThreadAddress), expected_) << "step " << step;
    }
    std::remove(path_.c_str());
}

TEST_F(RunFile, KeepsTheStartAsTypedAndValuesOnOneLine) {
    ASSERT_TRUE(writer_.Open(path_, " 5\r\n", 3));
    Step(5, "标题\r\n第二行", "1\n2", "名\r字");
    Step(6, "", "", "", kStateFailed);
    EXPECT_EQ(ReadBytes(path_),
              "[配置]\r\n当前开始项=\" 5  \"\r\n计划总数=3\r\n总数=2         \r\n"
              "[5]\r\n序列号=5\r\n标题=标题  第二行\r\nUID=1 2\r\n用户名=名 字\r\n"
              "[6]\r\n序列号=6\r\n标题=\r\nUID=\r\n用户名=\r\n状态=失败\r\n");
    EXPECT_EQ(LoadListFile(path_, kThreadAddress), expected_);
    std::remove(path_.c_str());
}

TEST_F(RunFile, AReaderNeverCountsAnEntryStillBeingWritten) {
    ASSERT_TRUE(writer_.Open(path_, "1", 2));
    Step(1, "第一个", "11", "甲");
    const std::string before = ReadBytes(path_);
    Step(2, "第二个", "12", "乙");
    const std::string after = ReadBytes(path_);
    // The count follows the entry, so the file may hold the old count with any part of the new entry.
    const size_t count_at = before.find("总数=");
    for (size_t cut = before.size(); cut <= after.size(); ++cut) {
        std::string seen = after.substr(0, cut);
        seen.replace(count_at, 15, before.substr(count_at, 15));
        WriteBytes(path_, seen);
        EXPECT_EQ(LoadListFile(path_, kThreadAddress), std::vector<ResultRow>{expected_[0]}) << "cut " << cut;
    }
    std::remove(path_.c_str());
}

TEST_F(RunFile, StartsAfreshAndReportsFailures) {
    WriteBytes(path_, "[配置]\r\n总数=9\r\n[1]\r\n标题=旧的\r\n");
    ASSERT_TRUE(writer_.Open(path_, "1", 1));
    EXPECT_TRUE(LoadListFile(path_, kThreadAddress).empty());
    std::remove(path_.c_str());

    ListFileWriter nowhere;
    EXPECT_FALSE(nowhere.Open(testing::TempDir() + "没有这个文件夹/临时文件.ini", "1", 1));
    EXPECT_FALSE(nowhere.Append(1, Row("1", "t", "u", "n")));
}

TEST_F(RunFile, AnUnfinishedRunIsFoundAndContinuedWithoutItsHalfWrittenEntry) {
    ASSERT_TRUE(writer_.Open(path_, "0100", 5));
    Step(100, "第一个", "11", "甲");
    Step(101, "", "", "", kStateMissing);
    // Killed while writing the third entry: the count still says two.
    WriteBytes(path_, ReadBytes(path_) + "[102]\r\n序列号=102\r\n标题=写了一半");
    std::optional<UnfinishedRun> run = UnfinishedRunIn(path_, kThreadAddress);
    ASSERT_TRUE(run);
    EXPECT_EQ(run->typed_start, "0100");
    EXPECT_EQ(run->planned, 5);
    EXPECT_EQ(run->rows, expected_);

    // Continued by the next program (the writer of the killed one is gone): the file is written anew with the
    // whole entries, and the rest follow them.
    writer_ = ListFileWriter();
    ListFileWriter resumed;
    ASSERT_TRUE(resumed.Open(path_, run->typed_start, run->planned, 100, ShareRows(run->rows)));
    for (int64_t id = 102; id <= 104; ++id) {
        const std::string number = std::to_string(id);
        expected_.push_back(Row(number, "帖" + number, "u", "n", Address(static_cast<int>(id))));
        ASSERT_TRUE(resumed.Append(id, expected_.back()));
    }
    EXPECT_EQ(LoadListFile(path_, kThreadAddress), expected_);
    EXPECT_EQ(ReadBytes(path_).find("写了一半"), std::string::npos);
    EXPECT_FALSE(UnfinishedRunIn(path_, kThreadAddress));  // five of five: finished
    // Files without a plan (saved lists, earlier runs) hold no run to continue.
    WriteBytes(path_, "[配置]\r\n当前开始项=1\r\n总数=0\r\n");
    EXPECT_FALSE(UnfinishedRunIn(path_, kThreadAddress));
    std::remove(path_.c_str());
}

// Loads a list file made of `bytes`.
std::vector<ResultRow> Load(std::string_view bytes) {
    const std::string path = TestFile();
    WriteBytes(path, bytes);
    std::vector<ResultRow> rows = LoadListFile(path, kThreadAddress);
    std::remove(path.c_str());
    return rows;
}

std::string Entry(int section, const std::string& id, const std::string& title) {
    return "[" + std::to_string(section) + "]\r\n序列号=" + id + "\r\n标题=" + title + "\r\nUID=u" + id +
           "\r\n用户名=n" + id + "\r\n";
}

TEST(LoadListFile, ReadsCountEntriesFromTheStartEntry) {
    const std::string entries = Entry(99, "99", "前") + Entry(100, "100", "甲") + Entry(101, "101", "") +
                                Entry(102, "102", "丙") + Entry(103, "103", "后");
    EXPECT_EQ(Load("[配置]\r\n当前开始项=100\r\n总数=3\r\n" + entries),
              (std::vector<ResultRow>{Row("100", "甲", "u100", "n100", Address(100)),
                                      Row("101", "", "u101", "n101"),
                                      Row("102", "丙", "u102", "n102", Address(102))}));
    // Leading numbers, truncated toward zero; blanks and quotes are the reader's.
    EXPECT_EQ(Load("[配置]\r\n当前开始项= \"100.9abc\"\r\n总数=2.99e0\r\n" + entries).size(), 2u);
    for (std::string count : {"0", "-5", "abc", "", "-1e300", "nan"}) {
        EXPECT_TRUE(Load("[配置]\r\n当前开始项=100\r\n总数=" + count + "\r\n" + entries).empty()) << count;
    }
    EXPECT_TRUE(Load("").empty());
    EXPECT_TRUE(LoadListFile(testing::TempDir() + "没有这个文件.ini", kThreadAddress).empty());
}

TEST(LoadListFile, StopsAtTheHighestEntrySection) {
    const std::string entries = Entry(1, "1", "甲") + Entry(3, "3", "丙");
    for (std::string count : {"2147483647", "1e300", "99999999999999999999"}) {
        EXPECT_EQ(Load("[配置]\r\n当前开始项=1\r\n总数=" + count + "\r\n" + entries),
                  (std::vector<ResultRow>{Row("1", "甲", "u1", "n1", Address(1)), Row("", "", "", ""),
                                          Row("3", "丙", "u3", "n3", Address(3))}))
            << count;
    }
    // Only names written as entry sections are named count: not "03", not "+4", not "4 5".
    EXPECT_EQ(
        Load("[配置]\r\n当前开始项=1\r\n总数=99\r\n" + entries + "[03]\r\n[+4]\r\n[4 5]\r\n[x]\r\n").size(),
        3u);
    // Blanks around a name do not count.
    EXPECT_EQ(Load("[配置]\r\n当前开始项=1\r\n总数=99\r\n" + entries + " [\t4 ] \r\n").size(), 4u);
    // A start far from the sections, or near the end of the 32-bit range.
    EXPECT_TRUE(Load("[配置]\r\n当前开始项=500\r\n总数=5\r\n" + Entry(3, "3", "丙")).empty());
    EXPECT_EQ(
        Load("[配置]\r\n当前开始项=2147483647\r\n总数=2147483647\r\n" + Entry(2147483647, "1", "末")).size(),
        1u);
    EXPECT_EQ(Load("[配置]\r\n当前开始项=-2\r\n总数=2\r\n" + Entry(-2, "-2", "负") + Entry(-1, "-1", "")),
              (std::vector<ResultRow>{Row("-2", "负", "u-2", "n-2", kForum + "thread--2-1-1.html"),
                                      Row("-1", "", "u-1", "n-1")}));
}

TEST(LoadListFile, HolesThatOutnumberTheEntriesAreSkipped) {
    // Two entries two billion apart: the two entries, not two billion rows.
    EXPECT_EQ(
        Load("[配置]\r\n当前开始项=1\r\n总数=2147483647\r\n" + Entry(1, "1", "甲") +
             Entry(2000000000, "2000000000", "乙")),
        (std::vector<ResultRow>{Row("1", "甲", "u1", "n1", Address(1)),
                                Row("2000000000", "乙", "u2000000000", "n2000000000", Address(2000000000))}));
    // As many holes as entries still read as empty rows.
    EXPECT_EQ(Load("[配置]\r\n当前开始项=1\r\n总数=4\r\n" + Entry(1, "1", "甲") + Entry(4, "4", "丁")).size(),
              4u);
}

TEST(LoadListFile, SavedFilesOfEarlierVersionsLoadFromSectionOne) {
    // Sections 1 … n by position, with the first row's thread id as the start entry.
    const std::string file =
        "[配置]\r\n当前开始项=5012\r\n总数=2\r\n" + Entry(1, "5012", "甲") + Entry(2, "6000", "乙");
    EXPECT_EQ(Load(file), (std::vector<ResultRow>{Row("5012", "甲", "u5012", "n5012", Address(5012)),
                                                  Row("6000", "乙", "u6000", "n6000", Address(6000))}));
    // The start entry's own section wins when there is one.
    EXPECT_EQ(Load(file + Entry(5012, "7", "丁")).size(), 1u);
}

TEST(LoadListFile, AddressComesFromTheThreadIdOfTheEntry) {
    const std::string head = "[配置]\r\n当前开始项=1\r\n总数=6\r\n";
    const std::vector<ResultRow> rows =
        Load(head + Entry(1, "42", "有") + Entry(2, "", "无序列号") + Entry(3, "abc", "字母") +
             Entry(4, "2147483648", "太大") + Entry(5, "0100", "前导零") + Entry(6, " 7", "引号内空格"));
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0][kColumnAddress], Address(42));
    for (size_t row = 1; row < 4; ++row) EXPECT_EQ(rows[row][kColumnAddress], "") << row;
    EXPECT_EQ(rows[4][kColumnAddress], Address(100));
    EXPECT_EQ(rows[5][kColumnId], "7");  // the reader trims the value
    EXPECT_EQ(rows[5][kColumnAddress], Address(7));
}

TEST(LoadListFile, UnicodeFiles) {
    const std::u8string_view u8text = u8"[配置]\r\n当前开始项=1\r\n总数=1\r\n[1]\r\n序列号=9\r\n标题=T\r\n";
    const std::string utf8 = "\xEF\xBB\xBF" + std::string(u8text.begin(), u8text.end());
    EXPECT_EQ(Load(utf8), (std::vector<ResultRow>{Row("9", "T", "", "", Address(9))}));
    const std::u16string text = u"[配置]\r\n当前开始项=1\r\n总数=5\r\n[1]\r\n序列号=8\r\n标题=题\r\n[2]\r\n";
    std::string utf16 = "\xFF\xFE";
    for (char16_t unit : text) utf16 += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    EXPECT_EQ(Load(utf16), (std::vector<ResultRow>{Row("8", "题", "", "", Address(8)), Row("", "", "", "")}));
}

class SaveListFileTest : public testing::Test {
  protected:
    void TearDown() override { std::filesystem::remove_all(path_); }

    const std::string path_ = TestFile();
};

TEST_F(SaveListFileTest, WritesSectionsByPositionThatLoadBack) {
    std::vector<ResultRow> rows;
    const std::vector<std::string> values = AwkwardListValues();
    for (size_t i = 0; i < values.size(); ++i) {
        const int id = 5000 + static_cast<int>(i) * 7;
        rows.push_back(Row(std::to_string(id), values[i], values[i], ListValue(values[i] + "名"),
                           values[i].empty() ? "" : Address(id)));
    }
    rows.push_back(Row("不是编号", "有标题", "", ""));  // no thread id: no address
    std::vector<size_t> progress;
    ASSERT_TRUE(SaveListFile(path_, ShareRows(rows), [&](size_t done) { progress.push_back(done); }));
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), rows.size());
    EXPECT_EQ(LoadListFile(path_, kThreadAddress), rows);
    const IniReader file = IniReader::FromFile(path_);
    EXPECT_EQ(file.Get("配置", "当前开始项"), "1");
    EXPECT_EQ(file.Get("配置", "总数"), std::to_string(rows.size()));
    EXPECT_EQ(file.Get("1", "序列号"), "5000");

    // Saving again, fewer rows: the count says how many count.
    rows.resize(2);
    ASSERT_TRUE(SaveListFile(path_, ShareRows(rows)));
    EXPECT_EQ(LoadListFile(path_, kThreadAddress), rows);
    ASSERT_TRUE(SaveListFile(path_, ShareRows({})));
    EXPECT_TRUE(LoadListFile(path_, kThreadAddress).empty());
}

TEST_F(SaveListFileTest, WhyARowHoldsTheIdOnlyIsKeptAndLoadsBack) {
    std::vector<ResultRow> rows = {Row("1", "有标题", "1", "甲", Address(1)), Row("2", "", "", ""),
                                   Row("3", "", "", ""), Row("4", "", "", "")};
    rows[1][kColumnState] = kStateFailed;
    rows[2][kColumnState] = kStateMissing;
    rows[3][kColumnState] = kStateLogin;
    ASSERT_TRUE(SaveListFile(path_, ShareRows(rows)));
    EXPECT_EQ(LoadListFile(path_, kThreadAddress), rows);
    const IniReader file = IniReader::FromFile(path_);
    EXPECT_EQ(file.Find("1", "状态"), std::nullopt);  // a row of its thread has no state
    EXPECT_EQ(file.Get("2", "状态"), "失败");
    // Fetched again and found: saved over the same file, the row loses its old state.
    rows[1] = Row("2", "第二个", "2", "乙", Address(2));
    ASSERT_TRUE(SaveListFile(path_, ShareRows(rows)));
    EXPECT_EQ(LoadListFile(path_, kThreadAddress), rows);
    EXPECT_EQ(ReadBytes(path_).find("失败"), std::string::npos);
}

TEST_F(SaveListFileTest, NewFileLayout) {
    ASSERT_TRUE(
        SaveListFile(path_, ShareRows({Row("7", " 标题 ", "1", "甲", Address(7)), Row("8", "", "", "")})));
    EXPECT_EQ(ReadBytes(path_),
              "[配置]\r\n当前开始项=1\r\n总数=2\r\n"
              "[1]\r\n序列号=7\r\n标题=\" 标题 \"\r\nUID=1\r\n用户名=甲\r\n"
              "[2]\r\n序列号=8\r\n标题=\r\nUID=\r\n用户名=\r\n");
}

TEST_F(SaveListFileTest, KeepsWhatElseTheFileHolds) {
    WriteBytes(path_,
               "; 注释\r\n前言=保留\r\n"
               "[配置]\r\n 总数 = 99\r\n颜色=红\r\n当前开始项=50\r\n\r\n\r\n"
               "[其他]\r\nUID=不动\r\n"
               "[1]\r\nuid=旧的\r\n备注=留着\r\n标题\r\n"
               "[乚]\r\n序列号=不是条目\r\n"
               "[3]\r\n序列号=第三节不在保存范围内\r\n"
               "[ 1 ]\r\n用户名=重复的节\r\n附加=留着\r\n"
               "[01]\r\n序列号=另一个节");
    const std::vector<ResultRow> rows = {Row("10", "甲", "100", "张", Address(10)), Row("11", "", "", "")};
    ASSERT_TRUE(SaveListFile(path_, ShareRows(rows)));
    EXPECT_EQ(ReadBytes(path_),
              "; 注释\r\n前言=保留\r\n"
              "[配置]\r\n颜色=红\r\n当前开始项=1\r\n总数=2\r\n\r\n\r\n"
              "[其他]\r\nUID=不动\r\n"
              "[1]\r\n备注=留着\r\n序列号=10\r\n标题=甲\r\nUID=100\r\n用户名=张\r\n"
              "[乚]\r\n序列号=不是条目\r\n"
              "[3]\r\n序列号=第三节不在保存范围内\r\n"
              "[ 1 ]\r\n附加=留着\r\n"
              "[01]\r\n序列号=另一个节\r\n"
              "[2]\r\n序列号=11\r\n标题=\r\nUID=\r\n用户名=\r\n");
    EXPECT_EQ(LoadListFile(path_, kThreadAddress), rows);
}

TEST_F(SaveListFileTest, LeavesTheFileAsItWasWhenItCannotSave) {
    const std::vector<ResultRow> rows = {Row("1", "甲", "", "")};
    // A file the system would read as Unicode: lines in GBK would not read back.
    const std::string unicode = "\xEF\xBB\xBF[配置]\r\n总数=0\r\n";
    WriteBytes(path_, unicode);
    EXPECT_FALSE(SaveListFile(path_, ShareRows(rows)));
    EXPECT_EQ(ReadBytes(path_), unicode);
    std::filesystem::remove(path_);

    // A folder where the file should be: it cannot be read, and it stays.
    std::filesystem::create_directory(path_);
    EXPECT_FALSE(SaveListFile(path_, ShareRows(rows)));
    EXPECT_TRUE(std::filesystem::is_directory(path_));
    std::filesystem::remove(path_);

    EXPECT_FALSE(SaveListFile(testing::TempDir() + "没有这个文件夹/保存.ini", ShareRows(rows)));

    // Nothing beside the file is left behind.
    const std::string folder = testing::TempDir();
    const std::string stem = std::filesystem::path(path_).filename().string();
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        EXPECT_FALSE(entry.path().filename().string().starts_with(stem)) << entry.path();
    }
}

// A save killed at any moment leaves the old file or the new one, never a mix or a cut file.
TEST_F(SaveListFileTest, AKilledSaveLeavesTheOldFileOrTheNewOne) {
#if defined(_WIN32)
    GTEST_SKIP() << "killing a saving child needs fork; the native build runs this";
#else
    const std::vector<ResultRow> old_rows = {Row("1", "旧", "", "")};
    ASSERT_TRUE(SaveListFile(path_, ShareRows(old_rows)));
    const std::string old_file = ReadBytes(path_);
    std::vector<ResultRow> new_rows;
    for (int id = 0; id < 50000; ++id) new_rows.push_back(Row(std::to_string(id), "新标题", "1", "名"));

    int killed_while_saving = 0;
    for (int attempt = 0; attempt < 20; ++attempt) {
        const pid_t child = fork();
        ASSERT_NE(child, -1);
        if (child == 0) _exit(SaveListFile(path_, ShareRows(new_rows)) ? 0 : 1);
        usleep(static_cast<useconds_t>(attempt * 2000));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        if (WIFSIGNALED(status)) ++killed_while_saving;
        const std::string now = ReadBytes(path_);
        if (now != old_file && !now.empty()) {
            EXPECT_EQ(LoadListFile(path_, kThreadAddress).size(), new_rows.size()) << "attempt " << attempt;
        }
        EXPECT_FALSE(now.empty()) << "attempt " << attempt;
        WriteBytes(path_, old_file);
    }
    EXPECT_GT(killed_while_saving, 0);
    // Killed saves may leave their unfinished new files beside the list file.
    const std::string stem = std::filesystem::path(path_).filename().string();
    for (const auto& entry : std::filesystem::directory_iterator(testing::TempDir())) {
        if (entry.path().filename().string().starts_with(stem + ".")) std::filesystem::remove(entry.path());
    }
#endif
}

}  // namespace
