// The settings window under Wine, through its real controls: what it shows, what it refuses and why, and what
// "确定" saves and applies.
#include "app/settings_window.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "app/main_controls.h"
#include "app/main_window.h"
#include "app/settings_controls.h"
#include "tests/support/loopback_server.h"
#include "tests/support/thread_page.h"
#include "tests/support/window_pump.h"

namespace {

std::string HomePage(std::string_view count) {
    return "<p><em>1</em><span class=\"pipe\">|</span>会员: <em>" + std::string(count) +
           "</em><span class=\"pipe\">|</span></p>";
}

std::string ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// A main window over a settings file of the test's own, with its settings window open.
class SettingsWindowTest : public testing::Test {
  protected:
    void Open(const std::string& file_text, ForumSettings settings) {
        const auto* test = testing::UnitTest::GetInstance()->current_test_info();
        file_ = testing::TempDir() + "settings_window_" + test->name() + ".ini";
        std::ofstream(file_, std::ios::binary) << file_text;
        window_ = std::make_unique<MainWindow>(std::move(settings), nullptr, file_);
        ASSERT_TRUE(window_->Create(nullptr, SW_SHOWNORMAL));
        window_->OpenSettings();
        ASSERT_NE(window_->settings_window(), nullptr);
        ASSERT_TRUE(window_->settings_window()->IsOpen());
    }
    void TearDown() override {
        window_.reset();
        std::remove(file_.c_str());
    }
    Control operator[](ControlName name) { return window_->settings_window()->form()[name]; }
    Control Main(ControlName name) { return window_->form()[name]; }
    void Click(ControlName name) { SendMessageA((*this)[name].hwnd(), BM_CLICK, 0, 0); }
    bool IsOpen() { return window_->settings_window()->IsOpen(); }
    std::vector<std::string> RuleChoices() {
        HWND choice = (*this)[kRuleChoice].hwnd();
        std::vector<std::string> items;
        for (LRESULT item = 0; item < SendMessageA(choice, CB_GETCOUNT, 0, 0); ++item) {
            char text[256] = "";
            SendMessageA(choice, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(text));
            items.push_back(text);
        }
        return items;
    }

    std::string file_;
    std::unique_ptr<MainWindow> window_;
};

const std::string kUserRule =
    "[规则：我的论坛]\r\n帖子地址=read.php?tid={id}\r\n会员主页=u.php?uid={uid}\r\n标题左=<h1>\r\n标题右=</"
    "h1>\r\n"
    "UID左=u.php?uid=\r\nUID右=#引号\r\n用户名左=u.php?uid={uid}#引号>\r\n用户名右=</a>\r\n会员数左=\r\n"
    "会员数右=\r\n不存在标记=\r\n需登录标记=\r\n";

TEST_F(SettingsWindowTest, ShowsTheSettingsInForceAndEveryRuleItCanOffer) {
    LoopbackServer forum(Reply{.body = HomePage("1")});
    Open(kUserRule + "[规则：坏规则]\r\n帖子地址=read.php\r\n", {.address = forum.Url(),
                                                                 .rule = "我的论坛",
                                                                 .cookie = "sid=1",
                                                                 .connections = 6,
                                                                 .pages_per_second = 3});
    EXPECT_EQ(window_->settings_window()->form().Window().Text(), "设置");
    EXPECT_EQ(GetWindow(window_->settings_window()->form().hwnd(), GW_OWNER), window_->form().hwnd());
    EXPECT_EQ((*this)[kAddressEdit].Text(), forum.Url());
    EXPECT_EQ((*this)[kRuleChoice].Text(), "我的论坛");
    EXPECT_EQ((*this)[kConnectionsEdit].Text(), "6");
    EXPECT_EQ((*this)[kPaceEdit].Text(), "3");
    EXPECT_EQ((*this)[kCookieEdit].Text(), "sid=1");
    EXPECT_EQ(RuleChoices(), (std::vector<std::string>{"自动识别", "默认", "Discuz! X3", "Discuz! X3 伪静态",
                                                       "Discuz! 7", "我的论坛"}));
    // A rule that cannot work is not offered, and the window says why.
    EXPECT_EQ((*this)[kSettingsNote].Text(), "规则“坏规则”不可用：缺少键“会员主页”");

    // Opening it again brings the same window forward.
    HWND first = window_->settings_window()->form().hwnd();
    window_->OpenSettings();
    EXPECT_EQ(window_->settings_window()->form().hwnd(), first);
    Click(kCancelButton);
    EXPECT_FALSE(IsOpen());
    EXPECT_TRUE(IsWindow(window_->form().hwnd()));  // closing it leaves the program running
    MSG quit;
    EXPECT_FALSE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(SettingsWindowTest, RefusesEachBadValueWithItsReasonAndAppliesNothing) {
    LoopbackServer forum(Reply{.body = HomePage("1")});
    Open(kUserRule, {.address = forum.Url()});
    const std::string before = ReadBytes(file_);
    const struct {
        ControlName control;
        const char* value;
        const char* reason;
    } bad[] = {
        {kAddressEdit, "ftp://bbs.test/", "论坛地址必须以 http:// 或 https:// 开头：ftp://bbs.test/"},
        {kAddressEdit, "http://bbs.test", "论坛地址必须以 / 结尾：http://bbs.test"},
        {kConnectionsEdit, "17", "连接数“17”不是 1 到 16 之间的整数"},
        {kConnectionsEdit, "", "连接数“”不是 1 到 16 之间的整数"},
        {kPaceEdit, "1.5", "每秒最多“1.5”不是 0 到 1000 之间的整数"},
        {kCookieEdit, "a=1\tb=2", "Cookie 不能含有换行或其他控制字符"},
    };
    for (const auto& [control, value, reason] : bad) {
        const std::string good = (*this)[control].Text();
        (*this)[control].SetText(value);
        Click(kOkButton);
        EXPECT_TRUE(IsOpen()) << value;
        EXPECT_EQ((*this)[kSettingsNote].Text(), reason);
        (*this)[control].SetText(good);
    }
    EXPECT_EQ(ReadBytes(file_), before);
    EXPECT_EQ(Main(kStatusLine).Text(), "Quillmoor  127.0.0.1");
}

TEST_F(SettingsWindowTest, OkSavesAndAppliesAtOnceAndTheNextRunUsesIt) {
    LoopbackServer old_forum(Reply{.body = HomePage("1")});
    std::string address;
    LoopbackServer new_forum([&](const ReceivedRequest& request) -> Reply {
        if (request.target == "/") return {.body = HomePage("2,468")};
        return {.body = ThreadPage(address, "新论坛的帖子", "9", "新人")};
    });
    address = new_forum.Url();
    Open("; 我的设置\r\n" + kUserRule, {.address = old_forum.Url()});
    (*this)[kAddressEdit].SetText(address);
    (*this)[kRuleChoice].SetSelection(1);  // 默认
    (*this)[kConnectionsEdit].SetText(" 2 ");
    (*this)[kCookieEdit].SetText("sid=abc");
    Click(kOkButton);
    EXPECT_FALSE(IsOpen());
    EXPECT_EQ(Main(kStatusLine).Text(), "Quillmoor  127.0.0.1");
    EXPECT_TRUE(PumpUntil(
        [&] { return window_->form().Window().Text() == ForumCaptionWithCount(address, "2,468"); }, 10000))
        << window_->form().Window().Text();
    EXPECT_EQ(ReadBytes(file_), "; 我的设置\r\n" + kUserRule + "[论坛]\r\n地址=" + address +
                                    "\r\n规则=默认\r\nCookie=sid=abc\r\n连接数=2\r\n每秒最多=0\r\n");

    Main(kFirstIdEdit).SetText("5");
    Main(kCountEdit).SetText("0");
    SendMessageA(Main(kStartButton).hwnd(), BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil(
        [&] { return Main(kStartButton).Text() == "开始" && Main(kResultList).RowCount() == 1; }, 10000));
    EXPECT_EQ(Main(kResultList).Cell(0, 1), "新论坛的帖子");
    const std::vector<ReceivedRequest> requests = new_forum.Requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.back().target, "/thread-5-1-1.html");
    EXPECT_EQ(requests.back().Header("Cookie"), "sid=abc");
}

TEST_F(SettingsWindowTest, DuringARunItCanBeLookedAtButNotApplied) {
    LoopbackServer forum([](const ReceivedRequest& request) -> Reply {
        if (request.target == "/") return {.body = HomePage("1")};
        return {.kind = Reply::Kind::kSilence};
    });
    Open("", {.address = forum.Url()});
    Click(kCancelButton);
    Main(kFirstIdEdit).SetText("1");
    Main(kCountEdit).SetText("5");
    SendMessageA(Main(kStartButton).hwnd(), BM_CLICK, 0, 0);
    ASSERT_EQ(Main(kStartButton).Text(), "停止");
    window_->OpenSettings();
    EXPECT_TRUE((*this)[kSettingsNote].Text().starts_with("遍历正在进行")) << (*this)[kSettingsNote].Text();
    (*this)[kConnectionsEdit].SetText("9");
    Click(kOkButton);
    EXPECT_TRUE(IsOpen());
    EXPECT_TRUE((*this)[kSettingsNote].Text().starts_with("遍历正在进行"));
    EXPECT_EQ(ReadBytes(file_), "");
    SendMessageA(Main(kStartButton).hwnd(), BM_CLICK, 0, 0);  // stop
    ASSERT_TRUE(PumpUntil([&] { return Main(kStartButton).Text() == "开始"; }, 5000));
    // Once the run has ended the same window applies.
    Click(kOkButton);
    EXPECT_FALSE(IsOpen());
    EXPECT_NE(ReadBytes(file_).find("连接数=9"), std::string::npos);
}

TEST_F(SettingsWindowTest, CheckTriesTheChosenRuleOnTheForumAndSaysWhatItRead) {
    std::string address;
    LoopbackServer forum([&](const ReceivedRequest& request) -> Reply {
        if (request.target == "/") return {.body = HomePage("77")};
        if (request.target == "/thread-3-1-1.html")
            return {.body = ThreadPage(address, "第三帖", "33", "三号")};
        return {.status = "404 Not Found"};
    });
    address = forum.Url();
    Open("", {.address = address});
    Main(kFirstIdEdit).SetText("3");
    Click(kCheckButton);
    const std::string found = "规则“默认”适合：帖子 3 的标题“第三帖”，UID 33，用户名“三号”\r\n首页会员数：77";
    EXPECT_TRUE(PumpUntil([&] { return (*this)[kSettingsNote].Text() == found; }, 10000))
        << (*this)[kSettingsNote].Text();
    EXPECT_FALSE((*this)[kCheckButton].Disabled());
    // A thread that is missing: the report says so for every rule it tried.
    Main(kFirstIdEdit).SetText("4");
    (*this)[kRuleChoice].SetSelection(0);  // 自动识别
    Click(kCheckButton);
    EXPECT_TRUE(PumpUntil(
        [&] {
            return (*this)[kSettingsNote].Text().starts_with("没有适合这个论坛的规则：“默认”帖子 4不存在");
        },
        10000))
        << (*this)[kSettingsNote].Text();
}

}  // namespace
