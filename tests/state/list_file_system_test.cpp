// The list file as the system's private-profile reader sees it: the run's file after every step, saved files,
// and saves that cannot replace the file or must wait until they can.
#include <windows.h>

#include <gtest/gtest.h>

#include <thread>

#include "runtime/services.h"
#include "runtime/win_handles.h"
#include "state/list_file.h"
#include "tests/state/list_values.h"

namespace {

const std::string kForum = "http://127.0.0.1:8431/";
const std::string kThreadAddress = kForum + "thread-{id}-1-1.html";

// A file with a Chinese name of the running test's own.
std::string TestFile(std::string_view name) {
    return testing::TempDir() + testing::UnitTest::GetInstance()->current_test_info()->name() +
           std::string(name);
}

// The system may answer from a copy of the file it read before, kept while the file's modification time
// stays the same, which a quick series of writes may leave as it was; this drops that copy.
std::string ReadKey(const std::string& file, std::string_view section, std::string_view key) {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str());
    return ReadIniKey(file, section, key);
}

void ExpectSystemReadsRows(const std::string& file, const std::vector<ResultRow>& rows, int first_section) {
    static constexpr const char* kKeys[] = {"序列号", "标题", "UID", "用户名"};
    for (size_t row = 0; row < rows.size(); ++row) {
        const std::string section = std::to_string(first_section + static_cast<int>(row));
        for (size_t column = 0; column < 4; ++column) {
            EXPECT_EQ(ReadKey(file, section, kKeys[column]), rows[row][column])
                << "section " << section << ", key " << kKeys[column];
        }
    }
}

TEST(ListFileUnderWindows, SystemReadsTheRunFileExactlyAfterEveryStep) {
    const std::string file = TestFile("临时文件.ini");
    ListFileWriter writer;
    ASSERT_TRUE(writer.Open(file, " 0300 ", 100));
    EXPECT_EQ(ReadKey(file, "配置", "当前开始项"), " 0300 ");
    EXPECT_EQ(ReadKey(file, "配置", "总数"), "0");

    std::vector<ResultRow> rows;
    const std::vector<std::string> values = AwkwardListValues();
    for (size_t step = 0; step < values.size(); ++step) {
        const int id = 300 + static_cast<int>(step);
        const std::string& value = values[step];
        ResultRow row{std::to_string(id), value, ListValue("1" + value), ListValue(value + "\r\n作者"), ""};
        ASSERT_TRUE(writer.Append(id, row));
        if (!value.empty()) row[kColumnAddress] = kForum + "thread-" + std::to_string(id) + "-1-1.html";
        rows.push_back(row);

        EXPECT_EQ(ReadKey(file, "配置", "总数"), std::to_string(step + 1));
        ExpectSystemReadsRows(file, {row}, id);
        EXPECT_EQ(LoadListFile(file, kThreadAddress), rows) << "step " << step;
    }
    DeleteFileA(file.c_str());
}

TEST(ListFileUnderWindows, SavedFileLoadsBackWithTheSameRows) {
    const std::string file = TestFile("保存的列表.ini");
    WritePrivateProfileStringA("其他", "键", "保留", file.c_str());
    WritePrivateProfileStringA("1", "备注", "留着", file.c_str());
    WritePrivateProfileStringA("1", "标题", "旧标题", file.c_str());

    std::vector<ResultRow> rows;
    for (const std::string& value : AwkwardListValues()) {
        const std::string id = std::to_string(7000 + rows.size());
        rows.push_back({id, value, value, ListValue(value + "名"),
                        value.empty() ? "" : kForum + "thread-" + id + "-1-1.html"});
    }
    ASSERT_TRUE(SaveListFile(file, ShareRows(rows)));
    EXPECT_EQ(LoadListFile(file, kThreadAddress), rows);
    ExpectSystemReadsRows(file, rows, 1);
    EXPECT_EQ(ReadKey(file, "配置", "当前开始项"), "1");
    EXPECT_EQ(ReadKey(file, "配置", "总数"), std::to_string(rows.size()));
    EXPECT_EQ(ReadKey(file, "其他", "键"), "保留");
    EXPECT_EQ(ReadKey(file, "1", "备注"), "留着");
    DeleteFileA(file.c_str());
}

// The file's content now, or "" when it cannot be read.
std::string Content(const std::string& file) {
    FileHandle handle(CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    if (!handle) return {};
    std::string bytes(GetFileSize(handle.get(), nullptr), '\0');
    DWORD read = 0;
    ReadFile(handle.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    bytes.resize(read);
    return bytes;
}

// No new file was left beside the list file: nothing else in its folder has a name that starts with its own.
void ExpectNothingBeside(const std::string& file) {
    const std::string name = file.substr(testing::TempDir().size());
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((file + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        EXPECT_EQ(found.cFileName, name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

TEST(ListFileUnderWindows, ASaveThatCannotReplaceTheFileLeavesItAsItWas) {
    const std::string file = TestFile("被占用的列表.ini");
    const std::vector<ResultRow> rows = {{"1", "新的", "", "", ""}};
    WritePrivateProfileStringA("配置", "总数", "0", file.c_str());
    const std::string before = Content(file);

    // Open elsewhere without leave to delete or rename it.
    HANDLE held = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(SaveListFile(file, ShareRows(rows)));
    CloseHandle(held);
    EXPECT_EQ(Content(file), before);
    ExpectNothingBeside(file);

    ASSERT_TRUE(SaveListFile(file, ShareRows(rows)));
    EXPECT_EQ(ReadKey(file, "1", "标题"), "新的");
    ExpectNothingBeside(file);
    DeleteFileA(file.c_str());
}

TEST(ListFileUnderWindows, ASaveWaitsOutAReaderThatHoldsTheFileForAMoment) {
    const std::string file = TestFile("刚被读取的列表.ini");
    WritePrivateProfileStringA("配置", "总数", "0", file.c_str());
    // A scanner or another program reads the file, without leave to rename it, and lets go soon after.
    HANDLE held = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread reader([held] {
        Sleep(200);
        CloseHandle(held);
    });
    EXPECT_TRUE(SaveListFile(file, ShareRows({{"1", "新的", "", "", ""}})));
    reader.join();
    EXPECT_EQ(ReadKey(file, "1", "标题"), "新的");
    ExpectNothingBeside(file);
    DeleteFileA(file.c_str());
}

}  // namespace
