// CSV export: RFC 4180 quoting, the formula guard, the header and line ends, and the file written.
#include "state/csv_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

TEST(CsvField, PlainCellsAndGbkTextStayAsTheyAre) {
    EXPECT_EQ(CsvField(""), "");
    EXPECT_EQ(CsvField("12345"), "12345");
    EXPECT_EQ(CsvField("  两端空格  "), "  两端空格  ");
    // Trail bytes "\" and "|" are no CSV syntax.
    EXPECT_EQ(CsvField("繁體 觸發誠信謀 衆誠"), "繁體 觸發誠信謀 衆誠");
    EXPECT_EQ(CsvField("a=b+c-d@e 'x'"), "a=b+c-d@e 'x'");  // formula characters after the first
}

TEST(CsvField, CommasQuotesAndLineBreaksAreQuoted) {
    EXPECT_EQ(CsvField("问,答"), "\"问,答\"");
    EXPECT_EQ(CsvField("\"带引号的标题\""), "\"\"\"带引号的标题\"\"\"");
    EXPECT_EQ(CsvField("\""), "\"\"\"\"");
    EXPECT_EQ(CsvField("第一行\r\n第二行"), "\"第一行\r\n第二行\"");
    EXPECT_EQ(CsvField("a\nb"), "\"a\nb\"");
}

TEST(CsvField, CellsThatWouldStartAFormulaGetALeadingApostrophe) {
    EXPECT_EQ(CsvField("=1+1"), "'=1+1");
    EXPECT_EQ(CsvField("+86 123"), "'+86 123");
    EXPECT_EQ(CsvField("-2"), "'-2");
    EXPECT_EQ(CsvField("@SUM(A1)"), "'@SUM(A1)");
    EXPECT_EQ(CsvField("\t=1"), "'\t=1");
    EXPECT_EQ(CsvField("\r=1"), "\"'\r=1\"");
    // Guarded and quoted at once: the apostrophe goes inside the quotes.
    EXPECT_EQ(CsvField("=HYPERLINK(\"http://x/\",\"点我\")"),
              "\"'=HYPERLINK(\"\"http://x/\"\",\"\"点我\"\")\"");
    EXPECT_EQ(CsvField("'已有撇号"), "'已有撇号");
}

TEST(CsvText, TheHeaderThenEveryRowInOrderWithCrLf) {
    const std::string header = "序列号,标题名称,发布者UID,发布者名称,网址\r\n";
    EXPECT_EQ(CsvText({}), header);
    const std::vector<ResultRow> rows = {
        {"1", "欢迎, 新人", "1", "admin", "http://127.0.0.1/thread-1-1-1.html"},
        {"7", "", "7", "", ""},
        {"9", "=cmd|' /C calc'!A0", "", "-某人", ""},
    };
    EXPECT_EQ(CsvText(ShareRows(rows)), header +
                                            "1,\"欢迎, 新人\",1,admin,http://127.0.0.1/thread-1-1-1.html\r\n"
                                            "7,,7,,\r\n"
                                            "9,'=cmd|' /C calc'!A0,,'-某人,\r\n");
}

TEST(SaveCsvFile, ReplacesTheFileOrSaysItCouldNot) {
    const std::string path = testing::TempDir() + "导出.csv";
    std::ofstream(path, std::ios::binary) << "older and longer content that must go entirely";
    const std::vector<SharedRow> rows = ShareRows({{"1", "标题", "2", "名", "http://x/"}});
    ASSERT_TRUE(SaveCsvFile(path, rows));
    std::ifstream file(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), CsvText(rows));
    EXPECT_FALSE(SaveCsvFile(testing::TempDir() + "没有这个文件夹/导出.csv", rows));
}

}  // namespace
