// The main window under Wine: its controls as created and laid out, resizing, and the member-count caption.
#include "app/main_controls.h"
#include "app/main_window.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "app/forum.h"
#include "tests/support/loopback_server.h"
#include "tests/support/window_pump.h"

namespace {

std::string ClassOf(const Control& control) {
    char name[64] = {};
    GetClassNameA(control.hwnd(), name, sizeof name);
    return name;
}

std::string HomePage(std::string_view count) {
    return "<html><body><p><em>1</em><span class=\"pipe\">|</span>会员: <em>" + std::string(count) +
           "</em><span class=\"pipe\">|</span></p></body></html>";
}

struct Expected {
    ControlName name;
    const char* window_class;
    const char* text;
    int left, top, width, height;
};

TEST(MainWindow, ControlsAreCreatedAndLaidOutForTheFirstSize) {
    LoopbackServer forum(Reply{.body = HomePage("1")});
    MainWindow window({.address = forum.Url()});
    ASSERT_TRUE(window.Create(nullptr, SW_SHOWNORMAL));
    FormWindow& form = window.form();

    Control frame = form.Window();
    EXPECT_EQ(frame.Left(), 50);
    EXPECT_EQ(frame.Top(), 50);
    EXPECT_EQ(frame.Width(), 975);
    EXPECT_EQ(frame.Height(), 696);

    // The size handler runs when the window first gets its size, so the bottom row sits where it puts it
    // for 975 × 696 (status line 16 high), not at the designed tops.
    const std::string status = "Quillmoor  127.0.0.1";
    const Expected controls[] = {
        {kProgressLabel, "Static", "", 344, 650, 218, 16},
        {kProgressBar, "msctls_progress32", "", 344, 652, 218, 24},
        {kEmptyTitleFilter, "Button", "不显示查找为空", 575, 650, 113, 24},
        {kSearchEdit, "Edit", "", 810, 652, 156, 20},
        {kSearchColumn, "ComboBox", "序列号", 740, 652, 66, 20},
        {kSearchLabel, "Static", "查找框：", 690, 650, 48, 24},
        {kStatusLine, "Static", status.c_str(), 6, 675, 975, 16},
        {kStartButton, "Button", "开始", 272, 652, 63, 23},
        {kCountLabel, "Static", "遍历数：", 144, 650, 48, 24},
        {kCountEdit, "Edit", "", 196, 652, 66, 20},
        {kFirstIdEdit, "Edit", "", 68, 652, 66, 20},
        {kFirstIdLabel, "Static", "开始段：", 16, 650, 48, 24},
        {kResultList, "SysListView32", "", 8, 34, 959, 616},
    };
    for (const Expected& expected : controls) {
        SCOPED_TRACE(std::string(expected.name.text()));
        Control control = form[expected.name];
        ASSERT_NE(control.hwnd(), nullptr);
        EXPECT_EQ(GetParent(control.hwnd()), form.hwnd());
        EXPECT_EQ(ClassOf(control), expected.window_class);
        EXPECT_EQ(control.Text(), expected.text);
        EXPECT_EQ(control.Left(), expected.left);
        EXPECT_EQ(control.Top(), expected.top);
        EXPECT_EQ(control.Width(), expected.width);
        EXPECT_EQ(control.Height(), expected.height);
    }

    Control combo = form[kSearchColumn];
    EXPECT_EQ(combo.Selection(), 0);
    EXPECT_EQ(SendMessageA(combo.hwnd(), CB_GETCOUNT, 0, 0), 4);
    HWND header = reinterpret_cast<HWND>(SendMessageA(form[kResultList].hwnd(), LVM_GETHEADER, 0, 0));
    EXPECT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 5);
}

TEST(MainWindow, ResizingMovesTheControlsWithTheWindow) {
    LoopbackServer forum(Reply{.body = HomePage("1")});
    MainWindow window({.address = forum.Url()});
    ASSERT_TRUE(window.Create(nullptr, SW_SHOWNORMAL));
    FormWindow& form = window.form();

    for (SIZE size : {SIZE{800, 500}, SIZE{1200, 900}, SIZE{760, 40}}) {
        SCOPED_TRACE(std::to_string(size.cx) + "x" + std::to_string(size.cy));
        SetWindowPos(form.hwnd(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
        const int w = size.cx, h = size.cy;
        EXPECT_EQ(form.Window().Height(), h);
        EXPECT_EQ(form[kResultList].Width(), w - 16);
        EXPECT_EQ(form[kStatusLine].Top(), h - 16 - 5);
        EXPECT_EQ(form[kStatusLine].Width(), w);
        EXPECT_EQ(form[kFirstIdLabel].Top(), h - 16 - 30);
        EXPECT_EQ(form[kStartButton].Top(), h - 16 - 28);
        EXPECT_EQ(form[kEmptyTitleFilter].Left(), w - 400);
        EXPECT_EQ(form[kSearchColumn].Left(), w - 235);
        EXPECT_EQ(form[kSearchEdit].Left(), w - 165);
        EXPECT_EQ(form[kSearchLabel].Left(), w - 285);
        EXPECT_EQ(form[kProgressBar].Width(), w - 757);
        EXPECT_EQ(form[kProgressLabel].Width(), w - 757);
        EXPECT_EQ(form[kProgressLabel].Left(), 344);
    }
    // Lower than the bottom row: the tops go negative, nothing is clamped.
    EXPECT_LT(form[kFirstIdLabel].Top(), 0);
}

TEST(MainWindow, CaptionGainsTheMemberCountOfTheHomePage) {
    LoopbackServer forum(Reply{.body = HomePage("8,765")});
    MainWindow window({.address = forum.Url()});
    ASSERT_TRUE(window.Create(nullptr, SW_SHOWNORMAL));
    const std::string expected = ForumCaptionWithCount(forum.Url(), "8,765");
    EXPECT_TRUE(PumpUntil([&] { return window.form().Window().Text() == expected; }, 10000))
        << window.form().Window().Text();
    ASSERT_EQ(forum.Requests().size(), 1u);
    EXPECT_EQ(forum.Requests()[0].target, "/");
}

TEST(MainWindow, CaptionWithoutAReachableForumEndsWithTheCountLabel) {
    const std::string address = "http://127.0.0.1:" + std::to_string(LoopbackServer::UnusedPort()) + "/";
    MainWindow window({.address = address});
    ASSERT_TRUE(window.Create(nullptr, SW_SHOWNORMAL));
    PumpUntil([] { return false; }, 1500);
    EXPECT_EQ(window.form().Window().Text(), ForumCaption(address) + "当前帖子数：");
    EXPECT_EQ(window.form()[kResultList].hwnd() != nullptr, true);
}

TEST(MainWindow, AnswersAtOnceWhileTheHomePageIsSlow) {
    LoopbackServer forum(Reply{.body = HomePage("5"), .delay_ms = 5000});
    MainWindow window({.address = forum.Url()});
    ASSERT_TRUE(window.Create(nullptr, SW_SHOWNORMAL));
    HWND hwnd = window.form().hwnd();
    EXPECT_EQ(window.form().Window().Text(), ForumCaption(forum.Url()) + "当前帖子数：");

    // Another thread asks the window for an answer again and again while the home page is on its way. A
    // window waiting for the page would leave the asks of those 5 seconds unanswered; a busy machine only
    // delays an answer, far less than the 1 s each ask may wait.
    std::atomic<int> unanswered{0};
    std::atomic<bool> done{false};
    std::thread prober([&] {
        for (int i = 0; i < 30; ++i) {
            DWORD_PTR result;
            if (!SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result)) ++unanswered;
            Sleep(50);
        }
        done = true;
    });
    PumpUntil([&] { return done.load(); }, 40000);
    prober.join();
    EXPECT_EQ(unanswered.load(), 0);
    EXPECT_TRUE(PumpUntil([&] { return window.form().Window().Text().ends_with("当前帖子数：5"); }, 15000));
}

}  // namespace
