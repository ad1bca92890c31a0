// The real program under Wine, driven through its window as a user would against the sample forum: runs, the
// row filters, every popup menu command with its dialogs, and list files with odd content.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <thread>

#include "tests/blackbox/desktop.h"
#include "tests/blackbox/program_driver.h"
#include "tests/support/sample_forum.h"

namespace {

// Where things are, from the command line (Unix paths, as CMake knows them).
struct Settings {
    std::string forum;       // the sample forum's base address
    std::string utf8_forum;  // the same forum served in UTF-8
    // The same forum in the markup of Discuz! X3, of Discuz! X3 with rewritten addresses and of Discuz! 7.
    std::string x3_forum, x3_rewrite_forum, d7_forum;
    // The forum as the internet shows it, behind a relay: 100 ms away and refusing beyond 20 pages a second;
    // failing one first try in five; failing the threads its fail file lists (Unix path); 100 ms away. The
    // relay keeps its counts in relay.json beside the fail file.
    std::string limited_forum, flaky_forum, failing_forum, fail_file, far_forum, limited_counts;
    std::string program;  // the built program file
    std::string work;     // a folder per test goes here
    std::string browser;  // the recording browser script
} settings;

constexpr char kTempFile[] = "临时文件.ini";
// Which of the popup menu's entries are greyed: with a row selected and no failed row, and with none selected.
const std::vector<bool> kRowSelected = {false, false, false, false, false, false, false, false, false, true, false};
const std::vector<bool> kRowCommandsGreyed = {true, true, true, true, true, false, false, false, false, true, false};

// Wine's browser launcher runs the programs named in this key; while the suite runs, that is the recording
// script, which appends every address to opened-addresses.txt in the Wine prefix.
class RecordingBrowser : public testing::Environment {
  public:
    void SetUp() override {
        if (RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr))
            return;
        char old[1024];
        DWORD size = sizeof old;
        had_value_ =
            !RegQueryValueExA(key_, "Browsers", nullptr, nullptr, reinterpret_cast<BYTE*>(old), &size);
        if (had_value_) old_value_.assign(old, strnlen(old, size));
        RegSetValueExA(key_, "Browsers", 0, REG_SZ, reinterpret_cast<const BYTE*>(settings.browser.c_str()),
                       static_cast<DWORD>(settings.browser.size() + 1));
    }
    void TearDown() override {
        if (!key_) return;
        if (had_value_) {
            RegSetValueExA(key_, "Browsers", 0, REG_SZ, reinterpret_cast<const BYTE*>(old_value_.c_str()),
                           static_cast<DWORD>(old_value_.size() + 1));
        } else {
            RegDeleteValueA(key_, "Browsers");
        }
        RegCloseKey(key_);
    }

  private:
    static constexpr char kKey[] = "Software\\Wine\\WineBrowser";
    HKEY key_ = nullptr;
    bool had_value_ = false;
    std::string old_value_;
};

std::string OpenedAddressesFile() {
    const char* prefix = std::getenv("WINEPREFIX");
    return WindowsPath(std::string(prefix ? prefix : "") + "/opened-addresses.txt");
}

std::vector<std::string> OpenedAddresses() {
    std::ifstream file(OpenedAddressesFile(), std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
}

std::string TestName() {
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    return std::string(test->test_suite_name()) + "." + test->name();
}

// Each test's own folder: the program's copy, its temporary list file and the test's list files.
std::string TestFolderUnix() {
    return settings.work + "/" + TestName();
}

void KeepScreen(const std::string& file, const char* moment) {
    if (SaveBitmap(CaptureWholeScreen(), WindowsPath(file))) {
        std::printf("screen %s: %s\n", moment, file.c_str());
    } else {
        std::printf("could not keep a picture of the screen %s in %s\n", moment, file.c_str());
    }
    std::fflush(stdout);
}

// Keeps a picture of the screen from the moment a test first fails. A test stuck far beyond its usual few
// seconds is ended with a picture too, instead of leaving CTest's time-out to end it without a word.
class ScreenKeeper : public testing::EmptyTestEventListener {
  public:
    ScreenKeeper() {
        std::thread([this] {
            for (;;) {
                Sleep(1000);
                std::lock_guard lock(mutex_);
                if (!running_ || GetTickCount64() - started_ < kStuckAfterMs) continue;
                std::printf("the test has run for %llu s: stuck\n", kStuckAfterMs / 1000);
                KeepScreen(folder_ + "/screen-when-stuck.bmp", "when stuck");
                TerminateProcess(GetCurrentProcess(), 3);  // the program goes with its job
            }
        }).detach();
    }

  private:
    static constexpr ULONGLONG kStuckAfterMs = 150000;

    void OnTestStart(const testing::TestInfo&) override {
        std::lock_guard lock(mutex_);
        folder_ = TestFolderUnix();
        started_ = GetTickCount64();
        running_ = true;
        failed_ = false;
    }
    void OnTestEnd(const testing::TestInfo&) override {
        std::lock_guard lock(mutex_);
        running_ = false;
    }
    void OnTestPartResult(const testing::TestPartResult& result) override {
        if (!result.failed() || failed_) return;
        failed_ = true;
        KeepScreen(TestFolderUnix() + "/screen-at-failure.bmp", "at the first failure");
    }

    std::mutex mutex_;  // the watching thread reads what the test thread writes
    std::string folder_;
    ULONGLONG started_ = 0;
    bool running_ = false;
    bool failed_ = false;
};

std::string Address(int id, const std::string& forum = settings.forum) {
    return forum + "thread-" + std::to_string(id) + "-1-1.html";
}

// The row a run shows for an id of the sample forum.
Row ExpectedRow(int id, const std::string& forum = settings.forum,
                SampleForumCharset charset = SampleForumCharset::kGbk) {
    ExpectedThreadPage page = ExpectedThread(id, charset);
    return {std::to_string(id), page.title, page.uid, page.name,
            page.title.empty() ? "" : Address(id, forum)};
}

// The window's caption once the forum's member count has arrived.
std::string CaptionWithMemberCount(const std::string& forum) {
    return "Quillmoor 标题遍历器V1.0 <Brenwick>" + std::string(32, ' ') + "<" +
           forum.substr(0, forum.size() - 1) + ">当前帖子数：" + kSampleForumMemberCount;
}

std::vector<Row> ExpectedRows(int first, int last) {
    std::vector<Row> rows;
    for (int id = first; id <= last; ++id) rows.push_back(ExpectedRow(id));
    return rows;
}

// The rows whose cell in `column` holds `text`, ASCII letters compared in either case.
std::vector<Row> RowsHolding(const std::vector<Row>& rows, size_t column, std::string text) {
    auto lower = [](std::string s) {
        for (char& c : s) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        return s;
    };
    std::vector<Row> kept;
    for (const Row& row : rows) {
        if (lower(row[column]).find(lower(text)) != std::string::npos) kept.push_back(row);
    }
    return kept;
}

std::string ReadKey(const std::string& file, const std::string& section, const std::string& key) {
    char value[10240] = "";
    GetPrivateProfileStringA(section.c_str(), key.c_str(), "", value, sizeof value, file.c_str());
    return value;
}

void WriteTextFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string FileContent(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class Quillmoor : public testing::Test {
  protected:
    void SetUp() override {
        DeleteFileA(OpenedAddressesFile().c_str());
        app_ = std::make_unique<Program>(WindowsPath(settings.program), WindowsPath(TestFolderUnix()),
                                         settings.forum);
        ASSERT_TRUE(app_->Started()) << app_->Problem();
    }
    void TearDown() override { app_.reset(); }

    const Program& app() const { return *app_; }
    std::string InFolder(const std::string& name) const { return app_->Folder() + "\\" + name; }

    // The popup menu at a row (below the rows when negative): which of its nine entries are greyed.
    std::vector<bool> MenuGreyedAt(int row) const {
        if (row >= 0) {
            app().RightClickRow(row);
        } else {
            app().RightClickBelowRows();
        }
        HWND menu = app().WaitForMenu();
        if (!menu) return {};
        RECT area;
        GetWindowRect(menu, &area);
        Sleep(100);  // the menu is drawn right after it appears
        return GreyedMenuLines(CaptureScreen(area));
    }

    // Chooses "保存数据", "读取数据" or "导出CSV" and answers its dialog with `file`.
    void ChooseFileFor(MenuEntry command, const std::string& file) const {
        ASSERT_TRUE(app().Command(-1, command));
        ProgramDialog dialog = app().WaitForDialog();
        ASSERT_TRUE(dialog) << "no file dialog";
        ASSERT_TRUE(ChooseFile(dialog, file)) << "the file dialog stayed open";
    }
    // Saves the list through the dialog and waits until the file holds every row.
    void SaveTo(const std::string& file) const {
        const std::string count = std::to_string(app().RowCount());
        ASSERT_NO_FATAL_FAILURE(ChooseFileFor(MenuEntry::Save, file));
        ASSERT_TRUE(WaitUntil([&] { return ReadKey(file, "配置", "总数") == count; }, 10000));
    }
    // Wine's save dialog hands a name of blanks over as a file in the current folder, which cannot be
    // written: the command must say so (its message starting with `notice`) instead of passing for done.
    void ExpectUnwritableFileNamed(MenuEntry command, const std::string& notice) const {
        ASSERT_TRUE(app().Command(-1, command));
        ProgramDialog dialog = app().WaitForDialog();
        ASSERT_TRUE(dialog);
        ASSERT_TRUE(ChooseFile(dialog, "   "));
        ProgramDialog message = app().WaitForDialog();
        ASSERT_TRUE(message);
        EXPECT_EQ(message.title, "提示");
        EXPECT_EQ(MessageText(message).rfind(notice, 0), 0u) << MessageText(message);
        EXPECT_TRUE(ConfirmMessage(message));
    }
    // Loads a list file through the dialog; the list must then show `rows`.
    void LoadAndExpect(const std::string& file, const std::vector<Row>& rows) const {
        ASSERT_NO_FATAL_FAILURE(ChooseFileFor(MenuEntry::Load, file));
        EXPECT_TRUE(app().ListSettlesOn(rows)) << "loading " << file;
    }

    // A copy command on a row: the clipboard once the command has replaced it, and the progress label then.
    std::pair<std::string, std::string> CopyFromRow(int row, MenuEntry command) const {
        const std::string before = "(nothing copied yet)";
        PutOnClipboard(before);
        if (!app().Command(row, command)) return {"(no menu)", ""};
        std::string copied;
        WaitUntil([&] { return (copied = ClipboardText()) != before; }, 5000);
        return {copied, app().Text("透明标签5")};
    }

    std::unique_ptr<Program> app_;
};

TEST_F(Quillmoor, OpensWithItsFormAndTheForumsMemberCountInTheCaption) {
    const std::string caption = CaptionWithMemberCount(settings.forum);
    EXPECT_TRUE(WaitUntil([&] { return TextOf(app().Window()) == caption; }, 10000))
        << TextOf(app().Window());
    EXPECT_EQ(app().Text("透明标签1"), "开始段：");
    EXPECT_EQ(app().Text("透明标签2"), "遍历数：");
    EXPECT_EQ(app().Text("透明标签3"), "Quillmoor  127.0.0.1");
    EXPECT_EQ(app().Text("透明标签4"), "查找框：");
    EXPECT_EQ(app().Text("按钮1"), "开始");
    EXPECT_EQ(app().Text("选择框1"), "不显示查找为空");
    EXPECT_FALSE(app().Checked("选择框1"));
    EXPECT_EQ(app().Text("组合框1"), "序列号");
    EXPECT_EQ(
        app().Columns(),
        (std::vector<std::pair<std::string, int>>{
            {"序列号", 80}, {"标题名称", 500}, {"发布者UID", 150}, {"发布者名称", 150}, {"网址", 300}}));
    EXPECT_EQ(app().RowCount(), 0);
    EXPECT_FALSE(FileExists(InFolder(kTempFile)));
}

TEST_F(Quillmoor, ARunOfTenIdsShowsEveryThreadAndWritesThemToTheTemporaryFile) {
    ASSERT_TRUE(app().Run("01", "9"));
    const std::vector<Row> expected = ExpectedRows(1, 10);  // titled, untitled, empty, missing (9) threads
    EXPECT_EQ(app().Rows(), expected);
    EXPECT_EQ(app().Text("透明标签5"), "9/9");
    EXPECT_EQ(app().Progress(), std::make_pair(9, 9));
    EXPECT_EQ(app().Text("按钮1"), "开始");

    const std::string temp = InFolder(kTempFile);
    EXPECT_EQ(ReadKey(temp, "配置", "当前开始项"), "01");  // as typed
    EXPECT_EQ(ReadKey(temp, "配置", "总数"), "10");
    for (const Row& row : expected) {
        EXPECT_EQ(ReadKey(temp, row[0], "序列号"), row[0]);
        EXPECT_EQ(ReadKey(temp, row[0], "标题"), row[1]) << row[0];
        EXPECT_EQ(ReadKey(temp, row[0], "UID"), row[2]) << row[0];
        EXPECT_EQ(ReadKey(temp, row[0], "用户名"), row[3]) << row[0];
    }

    // A second run starts over: the list and the file hold that run only.
    ASSERT_TRUE(app().Run("20", "1"));
    EXPECT_EQ(app().Rows(), ExpectedRows(20, 21));
    EXPECT_EQ(ReadKey(temp, "配置", "总数"), "2");
    EXPECT_EQ(ReadKey(temp, "1", "序列号"), "");
}

TEST_F(Quillmoor, TheStatusLineSumsUpEveryRun) {
    // Threads 1 to 20 hold every kind of page: titles, pages without one, and missing threads.
    ASSERT_TRUE(app().Run("1", "19"));
    int titled = 0, missing = 0;
    for (int id = 1; id <= 20; ++id) {
        titled += !ExpectedThread(id).title.empty();
        missing += !ExpectedThread(id).exists;
    }
    EXPECT_EQ(app().Text("透明标签3"), "遍历完成：共 20 个，有标题 " + std::to_string(titled) +
                                           " 个，不存在 " + std::to_string(missing) +
                                           " 个，需登录 0 个，失败 0 个");
}

TEST_F(Quillmoor, CopyCommandsPutTheSelectedCellOnTheClipboard) {
    ASSERT_TRUE(app().Run("1", "9"));
    using Copied = std::pair<std::string, std::string>;
    EXPECT_EQ(CopyFromRow(2, MenuEntry::CopyTitle), Copied(ExpectedThread(3).title, "复制标题成功"));
    EXPECT_EQ(app().SelectedRow(), 2);  // the right click selected the row
    EXPECT_EQ(CopyFromRow(5, MenuEntry::CopyUid), Copied("1006", "复制UID成功"));
    EXPECT_EQ(CopyFromRow(0, MenuEntry::CopyAddress), Copied(Address(1), "复制网址成功"));
    // An untitled thread has no address: the copy empties the clipboard and still reports success.
    EXPECT_EQ(CopyFromRow(3, MenuEntry::CopyAddress), Copied("", "复制网址成功"));
    EXPECT_EQ(CopyFromRow(7, MenuEntry::CopyUid), Copied("", "复制UID成功"));  // the empty page

    // While another program holds the clipboard open nothing is copied, and the notice shows all the same.
    ASSERT_TRUE(PutOnClipboard("held"));
    // Opened for a window: Wine lets a second opening without one through.
    HWND holder = CreateWindowExA(0, "Static", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_TRUE(OpenClipboard(holder));
    const bool copied = app().Command(0, MenuEntry::CopyTitle);
    const bool noticed = WaitUntil([&] { return app().Text("透明标签5") == "复制标题成功"; }, 5000);
    CloseClipboard();
    DestroyWindow(holder);
    EXPECT_TRUE(copied && noticed);
    EXPECT_EQ(ClipboardText(), "held");
}

TEST_F(Quillmoor, RowCommandsAreGreyedWithoutASelectedRowAndDoNothing) {
    // An empty list: nothing can be selected.
    EXPECT_EQ(MenuGreyedAt(-1), kRowCommandsGreyed);
    app().DismissMenu();

    ASSERT_TRUE(app().Run("1", "9"));
    EXPECT_EQ(MenuGreyedAt(4), kRowSelected);
    app().DismissMenu();
    EXPECT_EQ(app().SelectedRow(), 4);
    // A right click below the rows clears the selection.
    EXPECT_EQ(MenuGreyedAt(-1), kRowCommandsGreyed);
    EXPECT_EQ(app().SelectedRow(), -1);
    app().DismissMenu();

    // Choosing a greyed entry anyway (the arrow keys stop on greyed entries too) changes nothing.
    PutOnClipboard("kept");
    const std::string label = app().Text("透明标签5");
    for (MenuEntry greyed : {MenuEntry::CopyTitle, MenuEntry::OpenThread}) {
        app().RightClickBelowRows();
        app().ChooseFromMenu(greyed);
        app().DismissMenu();
    }
    EXPECT_FALSE(app().WaitForDialog(1000)) << "another entry than the greyed one ran";
    EXPECT_EQ(ClipboardText(), "kept");
    EXPECT_EQ(app().Text("透明标签5"), label);
    EXPECT_TRUE(OpenedAddresses().empty());
    EXPECT_EQ(app().RowCount(), 10);
}

TEST_F(Quillmoor, ListCommandsAreGreyedWhileARunFillsTheList) {
    app().Type("编辑框1", "1");
    app().Type("编辑框2", "1000000");
    app().Click("按钮1");
    ASSERT_EQ(app().Text("按钮1"), "停止");
    EXPECT_FALSE(app().Enabled("选择框1"));
    EXPECT_FALSE(app().Enabled("编辑框3"));
    ASSERT_TRUE(WaitUntil([&] { return app().RowCount() > 0; }, 10000));
    EXPECT_EQ(MenuGreyedAt(0),
              (std::vector<bool>{false, false, false, false, false, true, true, true, true, true, false}));
    app().DismissMenu();

    // "停止" ends the run after the page in hand; the rows so far stay and the file holds them.
    app().Click("按钮1");
    ASSERT_TRUE(WaitUntil([&] { return app().Text("按钮1") == "开始" && app().Enabled("选择框1"); }, 10000));
    const int rows = app().RowCount();
    EXPECT_LT(rows, 1000001);
    EXPECT_EQ(app().Rows(), ExpectedRows(1, rows));
    EXPECT_EQ(ReadKey(InFolder(kTempFile), "配置", "总数"), std::to_string(rows));
    EXPECT_EQ(MenuGreyedAt(0), kRowSelected);
    app().DismissMenu();
}

TEST_F(Quillmoor, OpenCommandsHandOnlyWebAddressesToTheBrowser) {
    // A UID with blanks, quotes, URL syntax and a Chinese character, as a list file may hold one.
    const std::string file = InFolder("odd uid.ini");
    WriteTextFile(file,
                  "[配置]\r\n当前开始项=1\r\n总数=3\r\n"
                  "[1]\r\n序列号=5\r\n标题=无题作者的帖子\r\nUID=x \"y\" z'w&uid=1%20 中\r\n用户名=某人\r\n"
                  "[2]\r\n序列号=6\r\n标题=\r\nUID=1006\r\n用户名=\r\n"
                  "[3]\r\n序列号=abc\r\n标题=编号不是数字\r\nUID=\r\n用户名=\r\n");
    ASSERT_NO_FATAL_FAILURE(
        LoadAndExpect(file, {{"5", "无题作者的帖子", "x \"y\" z'w&uid=1%20 中", "某人", Address(5)},
                             {"6", "", "1006", "", ""},
                             {"abc", "编号不是数字", "", "", ""}}));

    // Rows without an address open nothing; the others open exactly their address.
    ASSERT_TRUE(app().Command(1, MenuEntry::OpenThread));
    ASSERT_TRUE(app().Command(2, MenuEntry::OpenThread));
    ASSERT_TRUE(app().Command(0, MenuEntry::OpenThread));
    ASSERT_TRUE(app().Command(0, MenuEntry::OpenHomePage));
    ASSERT_TRUE(app().Command(1, MenuEntry::OpenHomePage));
    ASSERT_TRUE(app().Command(2, MenuEntry::OpenHomePage));  // no UID: the forum's "?" page
    std::vector<std::string> expected = {
        Address(5),
        settings.forum + "?x%20%22y%22%20z%27w%26uid%3D1%2520%20%D6%D0",
        settings.forum + "?1006",
        settings.forum + "?",
    };
    EXPECT_TRUE(WaitUntil([&] { return OpenedAddresses().size() >= expected.size(); }, 15000));
    Sleep(1000);  // anything opened by mistake would arrive meanwhile
    // Each address goes to a browser process of its own, and two started close together may report in
    // either order.
    std::vector<std::string> opened = OpenedAddresses();
    std::sort(opened.begin(), opened.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(opened, expected);
}

TEST_F(Quillmoor, SaveClearLoadAndLoadAgain) {
    ASSERT_TRUE(app().Run("1", "9"));
    const std::vector<Row> run = ExpectedRows(1, 10);
    ASSERT_EQ(app().Rows(), run);

    // Saving into an existing file keeps its other sections and keys.
    const std::string file = InFolder("保存的列表.ini");
    WriteTextFile(file,
                  "[其他]\r\n键=值\r\n[配置]\r\n备注=保留\r\n当前开始项=99\r\n[11]\r\n标题=旧的第十一项\r\n");
    ASSERT_NO_FATAL_FAILURE(SaveTo(file));
    EXPECT_EQ(ReadKey(file, "配置", "当前开始项"), "1");
    EXPECT_EQ(ReadKey(file, "配置", "总数"), "10");
    for (size_t k = 0; k < run.size(); ++k) {
        const std::string section = std::to_string(k + 1);
        EXPECT_EQ(ReadKey(file, section, "序列号"), run[k][0]);
        EXPECT_EQ(ReadKey(file, section, "标题"), run[k][1]) << section;
        EXPECT_EQ(ReadKey(file, section, "UID"), run[k][2]) << section;
        EXPECT_EQ(ReadKey(file, section, "用户名"), run[k][3]) << section;
    }
    EXPECT_EQ(ReadKey(file, "其他", "键"), "值");
    EXPECT_EQ(ReadKey(file, "配置", "备注"), "保留");
    EXPECT_EQ(ReadKey(file, "11", "标题"), "旧的第十一项");
    EXPECT_EQ(app().Rows(), run);
    EXPECT_EQ(app().Progress(), std::make_pair(10, 10));

    ASSERT_TRUE(app().Command(3, MenuEntry::Clear));
    EXPECT_TRUE(app().ListSettlesOn({}));
    EXPECT_EQ(app().SelectedRow(), -1);

    ASSERT_NO_FATAL_FAILURE(LoadAndExpect(file, run));
    std::vector<Row> twice = run;
    twice.insert(twice.end(), run.begin(), run.end());
    ASSERT_NO_FATAL_FAILURE(LoadAndExpect(file, twice));
    EXPECT_EQ(app().Progress(), std::make_pair(10, 10));  // the second load's ten rows

    // After a load the filters work on the rows the list showed: clearing and then searching brings them back.
    ASSERT_TRUE(app().Command(-1, MenuEntry::Clear));
    EXPECT_TRUE(app().ListSettlesOn({}));
    app().TypeKeys("编辑框3", "1");
    EXPECT_TRUE(app().ListSettlesOn({ExpectedRow(1), ExpectedRow(10), ExpectedRow(1), ExpectedRow(10)}));
    app().TypeKeys("编辑框3", "");
    EXPECT_TRUE(app().ListSettlesOn(twice));
}

TEST_F(Quillmoor, FiltersAfterALoadWorkOnWhatTheListShowsNotOnAnOlderRun) {
    ASSERT_TRUE(app().Run("1", "19"));
    const std::vector<Row> run = ExpectedRows(1, 20);
    ASSERT_EQ(app().Rows(), run);
    const std::string file = InFolder("other.ini");
    WriteTextFile(file,
                  "[配置]\r\n当前开始项=1\r\n总数=1\r\n[1]\r\n序列号=777\r\n标题=Linux "
                  "另一个文件\r\nUID=100\r\n用户名=作者\r\n");
    std::vector<Row> shown = run;
    shown.push_back({"777", "Linux 另一个文件", "100", "作者", Address(777)});
    ASSERT_NO_FATAL_FAILURE(LoadAndExpect(file, shown));

    // The filters rebuild the list from the rows it showed after the load: the run's and the file's.
    std::vector<Row> titled;
    for (const Row& row : shown) {
        if (!row[1].empty()) titled.push_back(row);
    }
    app().Click("选择框1");
    EXPECT_TRUE(app().Checked("选择框1"));
    EXPECT_TRUE(app().ListSettlesOn(titled));
    app().Click("选择框1");
    EXPECT_TRUE(app().ListSettlesOn(shown));

    struct Search {
        int column;
        std::string text;
    };
    for (const Search& search : {Search{0, "1"}, Search{1, "LINUX"}, Search{2, "100"}, Search{3, "作者"}}) {
        SCOPED_TRACE(search.text);
        app().ChooseSearchColumn(search.column);
        app().Type("编辑框3", search.text);
        const std::vector<Row> kept = RowsHolding(shown, static_cast<size_t>(search.column), search.text);
        EXPECT_FALSE(kept.empty());
        EXPECT_TRUE(app().ListSettlesOn(kept));
    }
    // Typed key by key, every keystroke filters; the list ends as the last text asks.
    app().ChooseSearchColumn(0);
    app().TypeKeys("编辑框3", "12");
    EXPECT_TRUE(app().ListSettlesOn({ExpectedRow(12)}));
    app().TypeKeys("编辑框3", "");
    EXPECT_TRUE(app().ListSettlesOn(shown));

    // A new run makes its rows what the filters work on again.
    ASSERT_TRUE(app().Run("1", "2"));
    app().TypeKeys("编辑框3", "1");
    EXPECT_TRUE(app().ListSettlesOn({ExpectedRow(1)}));
}

TEST_F(Quillmoor, CancellingEitherDialogChangesNothing) {
    ASSERT_TRUE(app().Run("1", "9"));
    const std::vector<Row> run = app().Rows();
    for (MenuEntry command : {MenuEntry::Save, MenuEntry::Load, MenuEntry::ExportCsv}) {
        ASSERT_TRUE(app().Command(2, command));
        ProgramDialog dialog = app().WaitForDialog();
        ASSERT_TRUE(dialog);
        EXPECT_EQ(dialog.title, command == MenuEntry::Load ? "打开" : "另存为");
        EXPECT_FALSE(IsWindowEnabled(app().Window())) << "the dialog is modal to the main window";
        ASSERT_TRUE(CancelDialog(dialog));
        EXPECT_FALSE(app().WaitForDialog(1000)) << "no message after a cancel";
        EXPECT_TRUE(IsWindowEnabled(app().Window()));
        EXPECT_EQ(app().Rows(), run);
    }
    // The folder holds the program and its temporary file, nothing saved.
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(InFolder("*.*").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    std::vector<std::string> files;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"Quillmoor.exe", kTempFile}));
}

TEST_F(Quillmoor, AFileNameOfNothingIsNotAccepted) {
    ASSERT_TRUE(app().Run("1", "2"));
    // The dialogs take no empty name: OK leaves them open, and nothing is saved or loaded.
    for (MenuEntry command : {MenuEntry::Save, MenuEntry::Load}) {
        ASSERT_TRUE(app().Command(-1, command));
        ProgramDialog dialog = app().WaitForDialog();
        ASSERT_TRUE(dialog);
        EXPECT_FALSE(ChooseFile(dialog, "", 2000)) << "the dialog closed on an empty name";
        EXPECT_EQ(app().WaitForDialog(1000).window, dialog.window) << "a message box came up";
        ASSERT_TRUE(CancelDialog(dialog));
    }
    EXPECT_EQ(app().RowCount(), 3);

    ASSERT_NO_FATAL_FAILURE(ExpectUnwritableFileNamed(MenuEntry::Save, "无法保存到这个文件："));
    EXPECT_EQ(app().RowCount(), 3);
}

TEST_F(Quillmoor, ExportCsvWritesEveryRowInListOrderForASpreadsheet) {
    // An empty list exports the header alone, over whatever the file held.
    const std::string file = InFolder("导出.csv");
    WriteTextFile(file, "旧的内容，比新的长得多，必须整个被替换掉。旧的内容，比新的长得多。");
    const std::string header = "序列号,标题名称,发布者UID,发布者名称,网址\r\n";
    ASSERT_NO_FATAL_FAILURE(ChooseFileFor(MenuEntry::ExportCsv, file));
    EXPECT_TRUE(WaitUntil([&] { return FileContent(file) == header; }, 10000)) << FileContent(file);

    // A run, then a list file whose cells a spreadsheet would take for formulas or split at commas.
    ASSERT_TRUE(app().Run("12", "1"));
    const std::string odd = InFolder("odd.ini");
    WriteTextFile(odd,
                  "[配置]\r\n当前开始项=1\r\n总数=2\r\n"
                  "[1]\r\n序列号=-5\r\n标题==HYPERLINK(\"http://x/\",\"点我\")\r\nUID=+86\r\n用户名=@某人\r\n"
                  "[2]\r\n序列号=6\r\n标题=问,答 \"精华\"\r\nUID=\r\n用户名=a-b\r\n");
    ASSERT_NO_FATAL_FAILURE(
        LoadAndExpect(odd, {ExpectedRow(12),
                            ExpectedRow(13),
                            {"-5", "=HYPERLINK(\"http://x/\",\"点我\")", "+86", "@某人", Address(-5)},
                            {"6", "问,答 \"精华\"", "", "a-b", Address(6)}}));
    ASSERT_NO_FATAL_FAILURE(ChooseFileFor(MenuEntry::ExportCsv, file));
    const std::string expected =
        header + "12,Linux &amp; Windows 双系统 &gt;&gt; 安装教程 &#8226; 第二版,12,老&amp;王," +
        Address(12) + "\r\n13,\"\"\"带引号的标题\"\"\",13,'单引号'," + Address(13) +
        "\r\n'-5,\"'=HYPERLINK(\"\"http://x/\"\",\"\"点我\"\")\",'+86,'@某人," + Address(-5) +
        "\r\n"
        "6,\"问,答 \"\"精华\"\"\",,a-b," +
        Address(6) + "\r\n";
    EXPECT_TRUE(WaitUntil([&] { return FileContent(file) == expected; }, 10000)) << FileContent(file);
    EXPECT_EQ(app().RowCount(), 4);

    ASSERT_NO_FATAL_FAILURE(ExpectUnwritableFileNamed(MenuEntry::ExportCsv, "无法导出到这个文件："));
    EXPECT_EQ(FileContent(file), expected);
}

TEST_F(Quillmoor, OddListFilesLoadWhatTheyHold) {
    // Missing keys and a missing section read as empty cells; a row without a title gets no address.
    const std::string holes = InFolder("holes.ini");
    WriteTextFile(holes,
                  "[配置]\r\n当前开始项=1\r\n总数=4\r\n"
                  "[1]\r\n序列号=101\r\n标题=有标题没有作者\r\n"
                  "[2]\r\nUID=只有UID\r\n"
                  "[4]\r\n序列号=104\r\n用户名=没有标题\r\n");
    std::vector<Row> rows = {{"101", "有标题没有作者", "", "", Address(101)},
                             {"", "", "只有UID", "", ""},
                             {"", "", "", "", ""},
                             {"104", "", "", "没有标题", ""}};
    ASSERT_NO_FATAL_FAILURE(LoadAndExpect(holes, rows));

    // Counts that are not numbers: a leading number counts, anything else is none; a start entry that names
    // no section falls back to section 1.
    const std::string words = InFolder("words.ini");
    WriteTextFile(words,
                  "[配置]\r\n当前开始项=第一项\r\n总数=2条\r\n[1]\r\n序列号=1\r\n标题=一\r\n[2]\r\n序列号="
                  "2\r\n标题=二\r\n"
                  "[3]\r\n序列号=3\r\n标题=三\r\n");
    rows.push_back({"1", "一", "", "", Address(1)});
    rows.push_back({"2", "二", "", "", Address(2)});
    ASSERT_NO_FATAL_FAILURE(LoadAndExpect(words, rows));
    const std::string none = InFolder("none.ini");
    WriteTextFile(none, "[配置]\r\n当前开始项=1\r\n总数=很多\r\n[1]\r\n序列号=1\r\n标题=一\r\n");
    ASSERT_NO_FATAL_FAILURE(LoadAndExpect(none, rows));

    // A count far beyond the sections present gives the sections there are, not a million rows.
    const std::string large = InFolder("large.ini");
    WriteTextFile(large,
                  "[配置]\r\n当前开始项=7\r\n总数=1000000\r\n[7]\r\n序列号=7\r\n标题=七\r\n[9]\r\n序列号="
                  "9\r\n标题=九\r\n");
    rows.push_back({"7", "七", "", "", Address(7)});
    rows.push_back({"", "", "", "", ""});
    rows.push_back({"9", "九", "", "", Address(9)});
    ASSERT_NO_FATAL_FAILURE(LoadAndExpect(large, rows));

    // A file that is not a list file at all loads nothing.
    const std::string binary = InFolder("binary.ini");
    WriteTextFile(binary, std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    ASSERT_NO_FATAL_FAILURE(LoadAndExpect(binary, rows));
}

// The same forum served in UTF-8: the caption's member count, every title and every name come out as the
// GBK forum gives them (id 11's half character aside, which hides nothing in UTF-8).
TEST(QuillmoorOnAUtf8Forum, ShowsTheMemberCountTitlesAndNamesAsWritten) {
    const Program app(WindowsPath(settings.program), WindowsPath(TestFolderUnix()), settings.utf8_forum);
    ASSERT_TRUE(app.Started()) << app.Problem();
    const std::string caption = CaptionWithMemberCount(settings.utf8_forum);
    EXPECT_TRUE(WaitUntil([&] { return TextOf(app.Window()) == caption; }, 10000)) << TextOf(app.Window());

    ASSERT_TRUE(app.Run("1", "29"));
    std::vector<Row> expected;
    for (int id = 1; id <= 30; ++id) {
        expected.push_back(ExpectedRow(id, settings.utf8_forum, SampleForumCharset::kUtf8));
    }
    EXPECT_EQ(app.Rows(), expected);
    EXPECT_EQ(expected[10][1], "半个字之后的标题");
    EXPECT_EQ(expected[23][1], "繁體 24 觸發誠信謀");  // trail bytes 0x7C and 0x5C after the conversion
}

// A forum of the sample forum's markups as the settings window sets it up.
struct MarkupForum {
    SampleForumMarkup markup;
    const std::string& base;
    std::string rule;            // the preset that reads it
    std::string thread_address;  // relative, with {id}
};

MarkupForum ForumOf(SampleForumMarkup markup) {
    switch (markup) {
        case SampleForumMarkup::kDiscuzX3:
            return {markup, settings.x3_forum, "Discuz! X3", "forum.php?mod=viewthread&tid={id}"};
        case SampleForumMarkup::kDiscuzX3Rewrite:
            return {markup, settings.x3_rewrite_forum, "Discuz! X3 伪静态", "thread-{id}-1-1.html"};
        case SampleForumMarkup::kDiscuz7:
            return {markup, settings.d7_forum, "Discuz! 7", "viewthread.php?tid={id}"};
        case SampleForumMarkup::kDesign: break;
    }
    return {markup, settings.forum, "默认", "thread-{id}-1-1.html"};
}

// The rows a run over `first` … `last` shows on that forum: a thread behind the login only with the cookie.
std::vector<Row> MarkupRows(const MarkupForum& forum, int first, int last, bool logged_in) {
    std::vector<Row> rows;
    for (int id = first; id <= last; ++id) {
        const ExpectedThreadPage page = ExpectedThread(id, SampleForumCharset::kGbk, forum.markup);
        const bool read = !page.needs_login || logged_in;
        std::string address = forum.base + forum.thread_address;
        address.replace(address.find("{id}"), 4, std::to_string(id));
        rows.push_back({std::to_string(id), read ? page.title : "", read ? page.uid : "",
                        read ? page.name : "", read && !page.title.empty() ? address : ""});
    }
    return rows;
}

std::string Summary(const std::vector<Row>& rows, const MarkupForum& forum, bool logged_in) {
    int titled = 0, missing = 0, login = 0;
    for (const Row& row : rows) {
        const ExpectedThreadPage page =
            ExpectedThread(std::stoi(row[0]), SampleForumCharset::kGbk, forum.markup);
        titled += !row[1].empty();
        missing += !page.exists;
        login += page.needs_login && !logged_in;
    }
    return "遍历完成：共 " + std::to_string(rows.size()) + " 个，有标题 " + std::to_string(titled) +
           " 个，不存在 " + std::to_string(missing) + " 个，需登录 " + std::to_string(login) +
           " 个，失败 0 个";
}

class SettingsWindow : public testing::TestWithParam<SampleForumMarkup> {
  protected:
    // Types the forum, the rule and the cookie into the open settings window and presses "确定".
    static void SetUpForum(const Program& app, const std::string& base, const std::string& rule,
                           const std::string& cookie) {
        ASSERT_TRUE(app.OpenSettings()) << "no settings window";
        app.Type("地址编辑框", base);
        ASSERT_TRUE(app.ChooseRule(rule)) << rule;
        app.Type("Cookie编辑框", cookie);
        app.Click("确定按钮");
        ASSERT_TRUE(WaitUntil([&] { return !app.SettingsWindow(0); }, 5000)) << app.Text("结果说明");
    }
};

TEST_P(SettingsWindow, ARunOnAForumSetUpInItReadsExactlyWhatItsPagesCarry) {
    const MarkupForum forum = ForumOf(GetParam());
    // No forum on the command line and no settings file: the built-in forum, as the program always had.
    const Program app(WindowsPath(settings.program), WindowsPath(TestFolderUnix()), "");
    ASSERT_TRUE(app.Started()) << app.Problem();
    EXPECT_EQ(app.Text("透明标签3"), "Quillmoor  bbs.brenwick.example");

    SetUpForum(app, forum.base, "自动识别", "");
    const std::string caption = "Quillmoor 标题遍历器V1.0 <Brenwick>" + std::string(32, ' ') + "<" +
                                forum.base.substr(0, forum.base.size() - 1) + ">当前帖子数：" +
                                SampleForumMemberCount(forum.markup);
    EXPECT_TRUE(WaitUntil([&] { return TextOf(app.Window()) == caption; }, 10000)) << TextOf(app.Window());
    ASSERT_TRUE(app.Run("1000", "49"));
    std::vector<Row> expected = MarkupRows(forum, 1000, 1049, false);
    EXPECT_EQ(app.Rows(), expected);
    EXPECT_EQ(app.Text("透明标签3"), Summary(expected, forum, false));
    // The settings went into the file beside the program.
    const std::string file = WindowsPath(TestFolderUnix()) + "\\设置.ini";
    EXPECT_EQ(ReadKey(file, "论坛", "地址"), forum.base);
    EXPECT_EQ(ReadKey(file, "论坛", "规则"), "自动识别");

    // The member's cookie opens the threads behind the login.
    SetUpForum(app, forum.base, forum.rule, kSampleForumLoginCookie);
    ASSERT_TRUE(app.Run("1000", "49"));
    expected = MarkupRows(forum, 1000, 1049, true);
    EXPECT_EQ(app.Rows(), expected);
    EXPECT_EQ(app.Text("透明标签3"), Summary(expected, forum, true));
    EXPECT_EQ(ReadKey(file, "论坛", "Cookie"), kSampleForumLoginCookie);
}

TEST_P(SettingsWindow, TheCheckButtonSaysWhichRuleFitsAndWhatItRead) {
    const MarkupForum forum = ForumOf(GetParam());
    const Program app(WindowsPath(settings.program), WindowsPath(TestFolderUnix()), settings.forum);
    ASSERT_TRUE(app.Started()) << app.Problem();
    app.Type("编辑框1", "1000");
    ASSERT_TRUE(app.OpenSettings());
    app.Type("地址编辑框", forum.base);
    ASSERT_TRUE(app.ChooseRule("自动识别"));
    app.Click("检测按钮");
    const ExpectedThreadPage page = ExpectedThread(1000, SampleForumCharset::kGbk, forum.markup);
    const std::string found = "规则“" + forum.rule + "”适合：帖子 1000 的标题“" + page.title + "”，UID " +
                              page.uid + "，用户名“" + page.name + "”\r\n首页会员数：" +
                              SampleForumMemberCount(forum.markup);
    EXPECT_TRUE(WaitUntil([&] { return app.Text("结果说明") == found; }, 10000)) << app.Text("结果说明");
    // A rule of another software reads nothing there, and the window says why.
    ASSERT_TRUE(app.ChooseRule(forum.markup == SampleForumMarkup::kDiscuz7 ? "Discuz! X3" : "Discuz! 7"));
    app.Click("检测按钮");
    EXPECT_TRUE(
        WaitUntil([&] { return app.Text("结果说明").starts_with("没有适合这个论坛的规则："); }, 10000))
        << app.Text("结果说明");
    // Nothing was applied: "取消" leaves the forum of the command line.
    app.Click("取消按钮");
    EXPECT_TRUE(WaitUntil([&] { return !app.SettingsWindow(0); }, 5000));
    EXPECT_EQ(app.Text("透明标签3"), "Quillmoor  127.0.0.1");
    EXPECT_FALSE(FileExists(WindowsPath(TestFolderUnix()) + "\\设置.ini"));
}

std::string MarkupName(const testing::TestParamInfo<SampleForumMarkup>& info) {
    const char* names[] = {"Design", "DiscuzX3", "DiscuzX3Rewrite", "Discuz7"};
    return names[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(EachMarkup, SettingsWindow,
                         testing::Values(SampleForumMarkup::kDesign, SampleForumMarkup::kDiscuzX3,
                                         SampleForumMarkup::kDiscuzX3Rewrite, SampleForumMarkup::kDiscuz7),
                         MarkupName);

TEST(SettingsFile, IsReadAtStartAndTheCommandLineWinsForTheSession) {
    const MarkupForum x3 = ForumOf(SampleForumMarkup::kDiscuzX3);
    const std::string file = "[论坛]\r\n地址=" + x3.base + "\r\n规则=Discuz! X3\r\n连接数=很多\r\n";
    {
        const Program app(WindowsPath(settings.program), WindowsPath(TestFolderUnix()), "", file);
        ASSERT_TRUE(app.Started()) << app.Problem();
        // A bad value is said once, in place of the forum's name, and its default used.
        EXPECT_EQ(app.Text("透明标签3"), "设置.ini：连接数“很多”不是 1 到 16 之间的整数，已改用默认值“4”");
        ASSERT_TRUE(app.Run("1000", "9"));
        const std::vector<Row> expected = MarkupRows(x3, 1000, 1009, false);
        EXPECT_EQ(app.Rows(), expected);
    }
    const Program app(WindowsPath(settings.program), WindowsPath(TestFolderUnix()), settings.forum,
                      "[论坛]\r\n地址=" + x3.base + "\r\n");
    ASSERT_TRUE(app.Started()) << app.Problem();
    EXPECT_EQ(TextOf(app.Window()), CaptionWithMemberCount(settings.forum));
    ASSERT_TRUE(app.Run("1", "2"));
    EXPECT_EQ(app.Rows(), ExpectedRows(1, 3));
}

// Rows of the sample forum's ids from `first` to `last` as a run on `forum` shows them.
std::vector<Row> ExpectedRowsOn(const std::string& forum, int first, int last) {
    std::vector<Row> rows;
    for (int id = first; id <= last; ++id) rows.push_back(ExpectedRow(id, forum));
    return rows;
}

// The relay's counts of requests and of those it refused, from its report.
std::pair<int, int> RelayCounts(const std::string& report) {
    const std::string text = FileContent(WindowsPath(report));
    auto number = [&](const std::string& key) {
        const size_t at = text.find("\"" + key + "\": ");
        return at == std::string::npos ? -1 : std::atoi(text.c_str() + at + key.size() + 4);
    };
    return {number("requests"), number("refused")};
}

TEST(TheInternet, AForumThatRefusesBeyondItsLimitStillGivesEveryRowWithFewRefusals) {
    // 300 ids over 8 connections from a forum 100 ms away that lets 20 pages a second through.
    const Program app(WindowsPath(settings.program), WindowsPath(TestFolderUnix()), settings.limited_forum,
                      "[论坛]\r\n连接数=8\r\n");
    ASSERT_TRUE(app.Started()) << app.Problem();
    const auto [requests_before, refused_before] = RelayCounts(settings.limited_counts);
    ASSERT_TRUE(app.Run("1000", "299", 120000));
    EXPECT_EQ(app.Rows(), ExpectedRowsOn(settings.limited_forum, 1000, 1299));
    const auto [requests, refused] = RelayCounts(settings.limited_counts);
    std::printf("the forum refused %d of %d requests\n", refused - refused_before, requests - requests_before);
    EXPECT_GT(refused, refused_before);  // the limit was met
    EXPECT_LE(4 * (refused - refused_before), requests - requests_before);
    EXPECT_EQ(app.Text("透明标签3").find("失败 0 个") != std::string::npos, true) << app.Text("透明标签3");
}

TEST(TheInternet, AForumWhereFirstTriesFailStillGivesEveryRow) {
    const Program app(WindowsPath(settings.program), WindowsPath(TestFolderUnix()), settings.flaky_forum);
    ASSERT_TRUE(app.Started()) << app.Problem();
    ASSERT_TRUE(app.Run("2000", "199", 120000));
    EXPECT_EQ(app.Rows(), ExpectedRowsOn(settings.flaky_forum, 2000, 2199));
}

TEST(TheInternet, FailedIdsAreKeptThroughASavedFileAndFetchedAgain) {
    const std::string fail_file = WindowsPath(settings.fail_file);
    WriteTextFile(fail_file, "3003\n3005\n");
    // Threads 3007 (hidden) and 3009 do not exist; 3003 and 3005 fail while the forum lists them.
    std::vector<Row> expected = ExpectedRowsOn(settings.failing_forum, 3000, 3009);
    std::vector<Row> failed = expected;
    failed[3] = {"3003"};
    failed[5] = {"3005"};
    const std::string saved = WindowsPath(TestFolderUnix()) + "\\saved.ini";
    {
        const Program app(WindowsPath(settings.program), WindowsPath(TestFolderUnix()), settings.failing_forum);
        ASSERT_TRUE(app.Started()) << app.Problem();
        ASSERT_TRUE(app.Run("3000", "9"));
        EXPECT_EQ(app.Rows(), failed);
        EXPECT_EQ(app.Text("透明标签3"), "遍历完成：共 10 个，有标题 6 个，不存在 2 个，需登录 0 个，失败 2 个");
        // Saved, a failed row says so; and "重试失败项" is offered.
        ASSERT_TRUE(app.Command(-1, MenuEntry::Save));
        ProgramDialog dialog = app.WaitForDialog();
        ASSERT_TRUE(dialog && ChooseFile(dialog, saved));
        ASSERT_TRUE(WaitUntil([&] { return ReadKey(saved, "配置", "总数") == "10"; }, 10000));
        EXPECT_EQ(ReadKey(saved, "4", "状态"), "失败");
        EXPECT_EQ(ReadKey(saved, "1", "状态"), "");

        // The forum is back: fetched again, the rows take their place, in the list and in the run's file.
        WriteTextFile(fail_file, "");
        ASSERT_TRUE(app.Command(-1, MenuEntry::RetryFailed));
        EXPECT_TRUE(app.ListSettlesOn(expected));
        EXPECT_TRUE(WaitUntil([&] { return app.Text("按钮1") == "开始"; }, 10000));
        EXPECT_EQ(app.Text("透明标签3"), "遍历完成：共 10 个，有标题 8 个，不存在 2 个，需登录 0 个，失败 0 个");
        const std::string temp = WindowsPath(TestFolderUnix()) + "\\" + kTempFile;
        EXPECT_EQ(ReadKey(temp, "3003", "标题"), expected[3][1]);
        EXPECT_EQ(ReadKey(temp, "3003", "状态"), "");
        EXPECT_EQ(ReadKey(temp, "配置", "总数"), "10");
    }
    // Another session loads the saved file: its failed rows can be fetched again too.
    WriteTextFile(fail_file, "3005\n");
    const Program app(WindowsPath(settings.program), WindowsPath(TestFolderUnix()) + "\\again",
                      settings.failing_forum);
    ASSERT_TRUE(app.Started()) << app.Problem();
    ASSERT_TRUE(app.Command(-1, MenuEntry::Load));
    ProgramDialog dialog = app.WaitForDialog();
    ASSERT_TRUE(dialog && ChooseFile(dialog, saved));
    ASSERT_TRUE(app.ListSettlesOn(failed));
    ASSERT_TRUE(app.Command(-1, MenuEntry::RetryFailed));
    std::vector<Row> half = expected;
    half[5] = {"3005"};
    EXPECT_TRUE(app.ListSettlesOn(half));
    EXPECT_TRUE(WaitUntil([&] { return app.Text("按钮1") == "开始"; }, 20000));
    EXPECT_EQ(app.Text("透明标签3"), "遍历完成：共 10 个，有标题 7 个，不存在 2 个，需登录 0 个，失败 1 个");
    WriteTextFile(fail_file, "");
}

TEST(TheInternet, ARunKilledHalfWayGoesOnAtTheNextStartWithEveryIdOnce) {
    const std::string folder = WindowsPath(TestFolderUnix());
    const std::string temp = folder + "\\" + kTempFile;
    {
        Program app(WindowsPath(settings.program), folder, settings.far_forum);
        ASSERT_TRUE(app.Started()) << app.Problem();
        app.Type("编辑框1", "0400");
        app.Type("编辑框2", "300");
        app.Click("按钮1");
        ASSERT_TRUE(WaitUntil([&] { return std::atoi(ReadKey(temp, "配置", "总数").c_str()) >= 40; }, 60000));
        app.Kill();
    }
    const int done = std::atoi(ReadKey(temp, "配置", "总数").c_str());
    ASSERT_GE(done, 40);
    ASSERT_LT(done, 301);
    const Program app(WindowsPath(settings.program), folder, settings.far_forum, {}, true);
    ASSERT_TRUE(app.Started()) << app.Problem();
    ProgramDialog box = app.WaitForDialog();
    ASSERT_TRUE(box) << "no question at the start";
    EXPECT_EQ(MessageText(box), "上次的遍历没有完成（已完成 " + std::to_string(done) + " / 301 个），是否接着遍历剩下的 " +
                                    std::to_string(301 - done) + " 个？");
    ASSERT_TRUE(ConfirmMessage(box, IDYES));
    EXPECT_TRUE(WaitUntil([&] { return app.Text("按钮1") == "开始" && app.RowCount() == 301; }, 90000));
    EXPECT_EQ(app.Rows(), ExpectedRowsOn(settings.far_forum, 400, 700));
    // The file is whole: every id once, in order.
    EXPECT_EQ(ReadKey(temp, "配置", "当前开始项"), "0400");
    EXPECT_EQ(ReadKey(temp, "配置", "总数"), "301");
    const std::string text = FileContent(temp);
    for (int id = 400; id <= 700; ++id) {
        const std::string header = "[" + std::to_string(id) + "]";
        const size_t at = text.find(header);
        ASSERT_NE(at, std::string::npos) << id;
        EXPECT_EQ(text.find(header, at + 1), std::string::npos) << id << " twice";
    }
}

TEST(TheInternet, NoToTheQuestionLeavesEverythingAsItWas) {
    const std::string folder = WindowsPath(TestFolderUnix());
    std::filesystem::create_directories(folder);
    const std::string temp = folder + "\\" + kTempFile;
    const std::string unfinished = "[配置]\r\n当前开始项=1\r\n计划总数=5\r\n总数=1\r\n[1]\r\n序列号=1\r\n标题=一\r\n";
    WriteTextFile(temp, unfinished);
    const Program app(WindowsPath(settings.program), folder, settings.forum, {}, true);
    ASSERT_TRUE(app.Started()) << app.Problem();
    ProgramDialog box = app.WaitForDialog();
    ASSERT_TRUE(box);
    EXPECT_EQ(MessageText(box), "上次的遍历没有完成（已完成 1 / 5 个），是否接着遍历剩下的 4 个？");
    ASSERT_TRUE(ConfirmMessage(box, IDNO));
    EXPECT_FALSE(app.WaitForDialog(1000));
    EXPECT_EQ(app.RowCount(), 0);
    EXPECT_EQ(FileContent(temp), unfinished);
}

}  // namespace


int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        for (auto [option, value] :
             {std::pair{"--forum=", &settings.forum}, std::pair{"--utf8-forum=", &settings.utf8_forum},
              std::pair{"--x3-forum=", &settings.x3_forum},
              std::pair{"--x3-rewrite-forum=", &settings.x3_rewrite_forum},
              std::pair{"--d7-forum=", &settings.d7_forum}, std::pair{"--limited-forum=", &settings.limited_forum},
              std::pair{"--flaky-forum=", &settings.flaky_forum}, std::pair{"--failing-forum=", &settings.failing_forum},
              std::pair{"--fail-file=", &settings.fail_file}, std::pair{"--far-forum=", &settings.far_forum},
              std::pair{"--limited-counts=", &settings.limited_counts}, std::pair{"--program=", &settings.program},
              std::pair{"--work=", &settings.work}, std::pair{"--browser=", &settings.browser}}) {
            if (argument.starts_with(option)) *value = argument.substr(std::string_view(option).size());
        }
    }
    if (!GTEST_FLAG_GET(list_tests) &&
        (settings.forum.empty() || settings.utf8_forum.empty() || settings.x3_forum.empty() ||
         settings.x3_rewrite_forum.empty() || settings.d7_forum.empty() || settings.limited_forum.empty() ||
         settings.flaky_forum.empty() || settings.failing_forum.empty() || settings.fail_file.empty() ||
         settings.far_forum.empty() || settings.limited_counts.empty() || settings.program.empty() ||
         settings.work.empty() || settings.browser.empty())) {
        std::fprintf(
            stderr,
            "usage: blackbox_tests --forum=URL --utf8-forum=URL --x3-forum=URL --x3-rewrite-forum=URL "
            "--d7-forum=URL --program=FILE --work=DIR "
            "--browser=SCRIPT\n");
        return 2;
    }
    testing::AddGlobalTestEnvironment(new RecordingBrowser);
    testing::UnitTest::GetInstance()->listeners().Append(new ScreenKeeper);
    return RUN_ALL_TESTS();
}
