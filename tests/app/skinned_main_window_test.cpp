// The main window as the program shows it, skinned: resized from a corner with the mouse, closed from its
// caption, and its controls during and after a run.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/main_controls.h"
#include "app/main_window.h"
#include "gfx/startup.h"
#include "skin/frame.h"
#include "tests/skin/skin_window.h"
#include "tests/support/loopback_server.h"
#include "tests/support/thread_page.h"

namespace {

class SkinnedMainWindow : public testing::Test {
  protected:
    void SetUp() override {
        ParkCursor();
        ASSERT_TRUE(gdiplus_.started());
        ASSERT_TRUE(window_.Create(nullptr, SW_SHOWNORMAL));
        ASSERT_NE(skin_.table().RecordOf(hwnd()), nullptr);
    }
    void TearDown() override { released_ = true; }
    HWND hwnd() { return window_.form().hwnd(); }

    // Thread pages of a forum whose threads from 1020 on answer only once the test releases them, so a run
    // can be looked at while it goes.
    Reply Answer(const ReceivedRequest& request) {
        if (request.target.rfind("/thread-", 0) != 0) return {.body = "<html></html>"};
        const std::string id = request.target.substr(8, request.target.find('-', 8) - 8);
        for (int waited = 0; std::atoi(id.c_str()) >= 1020 && !released_ && waited < 20000; waited += 10)
            Sleep(10);
        return {.body = ThreadPage(forum_.Url(), "帖" + id, id, "人" + id)};
    }

    // A screen pixel of a control, at (x, y) of its window.
    static COLORREF ControlPixel(HWND control, int x, int y) {
        RECT place;
        GetWindowRect(control, &place);
        return ScreenPixel(place.left + x, place.top + y);
    }

    GdiplusSession gdiplus_;
    SkinEngine skin_;
    std::atomic<bool> released_{false};
    LoopbackServer forum_{[this](const ReceivedRequest& request) { return Answer(request); }};
    MainWindow window_{{.address = forum_.Url()}, &skin_};
};

TEST_F(SkinnedMainWindow, ACornerDragResizesItAndTheControlsFollow) {
    RECT rect;
    GetWindowRect(hwnd(), &rect);
    DragOnScreen({rect.right - 4, rect.bottom - 4}, {rect.right - 204, rect.bottom - 104});
    EXPECT_TRUE(PumpUntil(
        [&] {
            GetWindowRect(hwnd(), &rect);
            return rect.right - rect.left == 775 && rect.bottom - rect.top == 596;
        },
        5000))
        << rect.right - rect.left << "x" << rect.bottom - rect.top;
    FormWindow& form = window_.form();
    EXPECT_EQ(form[kResultList].Width(), 775 - 16);
    EXPECT_EQ(form[kResultList].Height(), 596 - 80);
    EXPECT_EQ(form[kStatusLine].Width(), 775);
    EXPECT_EQ(form[kSearchEdit].Left(), 775 - 165);
    // The caption buttons moved with the right edge; the settings button, the program's own, reserves a pixel
    // more than it covers.
    const WindowRecord& record = *skin_.table().RecordOf(hwnd());
    EXPECT_EQ(record.buttons.back().rect.x - 1 + record.buttons.back().rect.width, 775 - 2 - 1);
}

TEST_F(SkinnedMainWindow, TheCloseButtonEndsTheProgram) {
    UpdateWindow(hwnd());
    const WindowRecord& record = *skin_.table().RecordOf(hwnd());
    HWND closed = hwnd();
    ClickAt(closed, ButtonCentre(record, record.buttons.size()));
    EXPECT_FALSE(IsWindow(closed));
    MSG quit;
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(skin_.table().size(), 0u);
}

TEST_F(SkinnedMainWindow, TheSettingsButtonOpensTheSettingsWindowSkinnedLikeTheMainOne) {
    UpdateWindow(hwnd());
    const WindowRecord& record = *skin_.table().RecordOf(hwnd());
    // The program's own button stands left of minimise, maximise and close.
    const size_t settings = record.buttons.size() - 3;
    ASSERT_EQ(record.buttons[settings - 1].kind, CaptionKind::Custom);
    EXPECT_EQ(record.buttons[settings - 1].tip, "设置");
    ClickAt(hwnd(), ButtonCentre(record, settings));
    SettingsWindow* window = window_.settings_window();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(window->IsOpen());
    const WindowRecord* skinned = skin_.table().RecordOf(window->form().hwnd());
    ASSERT_NE(skinned, nullptr);
    // Only a close button: the window has a fixed size.
    ASSERT_EQ(skinned->buttons.size(), 1u);
    EXPECT_EQ(skinned->buttons[0].kind, CaptionKind::Close);
    ClickAt(window->form().hwnd(), ButtonCentre(*skinned, 1));
    EXPECT_FALSE(window->IsOpen());
    EXPECT_TRUE(IsWindow(hwnd()));
    MSG quit;
    EXPECT_FALSE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(SkinnedMainWindow, TheStatusLineWritesUpToTheBorderAndNotOverIt) {
    // The status line is as wide as the window and starts 6 pixels in: a long text reaches past the edge.
    const Control status = window_.form()[kStatusLine];
    RECT client;
    GetClientRect(hwnd(), &client);
    const auto right_edge = [&] {  // the last 12 columns of the window beside the status line, on screen
        std::vector<COLORREF> pixels;
        for (int y = status.Top(); y < status.Top() + status.Height(); ++y) {
            for (int x = client.right - 12; x < client.right; ++x) {
                POINT at{x, y};
                ClientToScreen(hwnd(), &at);
                pixels.push_back(ScreenPixel(at.x, at.y));
            }
        }
        return pixels;
    };
    UpdateWindow(hwnd());
    const std::vector<COLORREF> short_text = right_edge();
    status.SetText(std::string(200, 'W'));
    UpdateWindow(hwnd());
    const std::vector<COLORREF> long_text = right_edge();

    size_t written = 0;
    for (size_t i = 0; i < long_text.size(); ++i) {
        const int x = static_cast<int>(i % 12);
        if (x >= 12 - kFrameBorderWidth) {
            EXPECT_EQ(long_text[i], short_text[i]) << "border column " << x;
        }
        written += long_text[i] != short_text[i];
    }
    EXPECT_GT(written, 10u) << "the text reaches the border";
}

TEST_F(SkinnedMainWindow, DuringARunTheCheckBoxIsGreyAndAfterItEveryRowIsExact) {
    FormWindow& form = window_.form();
    HWND start = form[kStartButton].hwnd(), filter = form[kEmptyTitleFilter].hwnd();
    EXPECT_EQ(GetWindowLongPtrA(start, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    const int y0 = (form[kEmptyTitleFilter].Height() - 13) / 2;
    const auto inside_box = [&] { return ControlPixel(filter, 9, y0 + 10); };
    ASSERT_TRUE(PumpUntil([&] { return Brightness(inside_box()) > 235; }, 5000));

    // The start button lights up under the mouse.
    const COLORREF plain = ControlPixel(start, 12, 5);
    SendMessageA(start, WM_MOUSEMOVE, 0, MAKELPARAM(12, 5));
    EXPECT_TRUE(PumpUntil([&] { return Blueness(ControlPixel(start, 12, 5)) > Blueness(plain) + 15; }, 5000));
    SendMessageA(start, WM_MOUSELEAVE, 0, 0);

    form[kFirstIdEdit].SetText("1000");
    form[kCountEdit].SetText("40");
    SendMessageA(start, BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return form[kResultList].RowCount() == 20; }, 10000));
    EXPECT_EQ(form[kStartButton].Text(), "停止");
    EXPECT_FALSE(IsWindowEnabled(filter));
    // Disabled, the check box shows the grey face and no box.
    EXPECT_TRUE(PumpUntil(
        [&] {
            const COLORREF grey = inside_box();
            return Brightness(grey) > 150 && Brightness(grey) < 230 &&
                   std::abs(GetRValue(grey) - GetBValue(grey)) < 12;
        },
        5000));

    released_ = true;
    ASSERT_TRUE(PumpUntil([&] { return form[kStartButton].Text() == "开始"; }, 20000));
    const std::vector<SharedListRow> rows = form[kResultList].Rows();
    ASSERT_EQ(rows.size(), 41u);
    for (int i = 0; i < 41; ++i) {
        const std::string id = std::to_string(1000 + i);
        const ListRow expected{id, "帖" + id, id, "人" + id, forum_.Url() + "thread-" + id + "-1-1.html"};
        EXPECT_EQ(*rows[static_cast<size_t>(i)], expected);
    }
    EXPECT_TRUE(IsWindowEnabled(filter));
    EXPECT_TRUE(PumpUntil([&] { return Brightness(inside_box()) > 235; }, 5000));
}

}  // namespace
