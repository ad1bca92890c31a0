// The main window's result list, its header, the progress bar and the label over it as the program shows
// them, skinned, read back from the screen.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "app/main_controls.h"
#include "app/main_window.h"
#include "gfx/startup.h"
#include "tests/skin/skin_window.h"
#include "tests/support/loopback_server.h"

namespace {

class SkinnedResultList : public testing::Test {
  protected:
    void SetUp() override {
        ParkCursor();
        ASSERT_TRUE(gdiplus_.started());
        ASSERT_TRUE(window_.Create(nullptr, SW_SHOWNORMAL));
        record_ = skin_.table().RecordOf(hwnd());
        ASSERT_NE(record_, nullptr);
        ASSERT_TRUE(ScreenShows([&] { return WindowPixel(hwnd(), 17, 13) == FramePixel(*record_, 17, 13); }));
    }
    HWND hwnd() { return window_.form().hwnd(); }
    HWND Hwnd(ControlName name) { return window_.form()[name].hwnd(); }

    // What the screen shows at (x, y) of a control's client area.
    static COLORREF ClientPixel(HWND control, int x, int y) {
        const RECT area = ClientArea(control);
        return ScreenPixel(area.left + x, area.top + y);
    }

    // The painted frame under (x, y) of a control's client area, veiled as see-through children show it.
    COLORREF VeiledFrameUnder(HWND control, int x, int y) {
        const RECT area = ClientArea(control);
        return VeiledFrameAt(*record_, {area.left + x, area.top + y});
    }

    GdiplusSession gdiplus_;
    SkinEngine skin_;
    LoopbackServer forum_{Reply{.body = "<html></html>"}};
    MainWindow window_{{.address = forum_.Url()}, &skin_};
    WindowRecord* record_ = nullptr;
};

// The azure theme colour of the main window, as the bar shows it at its foot.
bool ThemeColoured(COLORREF c) {
    return GetBValue(c) > GetRValue(c) + 100;
}

// Black text smoothed over a light background: grey, darker than anything of the bar's top half.
bool TextColoured(COLORREF c) {
    return Brightness(c) < 150 && std::abs(GetRValue(c) - GetBValue(c)) < 40;
}

// Pixels of a control's client area that `test` picks, in the rectangle given in its client coordinates.
int CountPixels(HWND control, RECT part, bool (*test)(COLORREF)) {
    const RECT area = ClientArea(control);
    OffsetRect(&part, area.left, area.top);
    int count = 0;
    for (DWORD pixel : ScreenPixels(part))
        count += test(RGB(pixel >> 16 & 0xFF, pixel >> 8 & 0xFF, pixel & 0xFF));
    return count;
}

TEST_F(SkinnedResultList, TheEmptyListShowsTheBackgroundThroughTheVeilUnderAGradientHeader) {
    HWND list = Hwnd(kResultList);
    const RECT client = ClientArea(list);
    const int x = (client.right - client.left) / 2, y = client.bottom - client.top - 40;
    EXPECT_TRUE(ScreenShows([&] { return Near(ClientPixel(list, x, y), VeiledFrameUnder(list, x, y)); }))
        << std::hex << ClientPixel(list, x, y) << " " << VeiledFrameUnder(list, x, y);

    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    const int h = ClientArea(header).bottom - ClientArea(header).top;
    auto blueness = [&](int row) {
        const COLORREF c = ClientPixel(header, 40, row);
        return GetBValue(c) - GetRValue(c);
    };
    EXPECT_TRUE(ScreenShows([&] { return blueness(h - 2) > blueness(1) + 20; }));
}

TEST_F(SkinnedResultList, TheBarIsThemeColouredOnlyAfterARunAndTheLabelReadsOverIt) {
    FormWindow& form = window_.form();
    HWND bar = Hwnd(kProgressBar);
    const RECT whole{0, 0, form[kProgressBar].Width() - 2, form[kProgressBar].Height() - 2};
    PumpUntil([] { return false; }, 300);
    EXPECT_EQ(CountPixels(bar, whole, ThemeColoured), 0);

    form[kFirstIdEdit].SetText("1000");
    form[kCountEdit].SetText("3");
    SendMessageA(Hwnd(kStartButton), BM_CLICK, 0, 0);
    // A run over ids 1000 to 1003 ends with the bar at its maximum, 3.
    ASSERT_TRUE(PumpUntil(
        [&] { return form[kResultList].RowCount() == 4 && form[kStartButton].Text() == "开始"; }, 10000));
    EXPECT_EQ(form[kProgressLabel].Text(), "3/3");
    // The bar fills the trough: the theme colour along its foot from end to end.
    const RECT foot{3, whole.bottom - 4, whole.right - 3, whole.bottom - 3};
    EXPECT_TRUE(ScreenShows([&] { return CountPixels(bar, foot, ThemeColoured) == foot.right - foot.left; }));
    // The label's black text ("3/3", drawn smoothed) over the full bar, with the bar seen around and under
    // it.
    const RECT text{0, 0, 40, 12};
    EXPECT_TRUE(ScreenShows([&] { return CountPixels(bar, text, TextColoured) > 15; }));
    EXPECT_GT(CountPixels(bar, {0, 0, whole.right, whole.bottom}, ThemeColoured), whole.right * 3);
}

TEST_F(SkinnedResultList, ScrollingByKeyboardLeavesTheListAsAFullRepaintWould) {
    FormWindow& form = window_.form();
    std::vector<ListRow> rows;
    for (int i = 0; i < 400; ++i) {
        const std::string id = std::to_string(1000 + i);
        rows.push_back(
            {id, "标题" + id, "UID" + id, "用户" + id, "http://127.0.0.1/thread-" + id + "-1-1.html"});
    }
    form[kResultList].AppendRows(ShareRows(std::move(rows)));
    HWND list = Hwnd(kResultList);
    SetFocus(list);
    form[kResultList].SetSelection(0);
    const RECT area = ClientArea(list);

    auto expect_as_repainted = [&](const char* after) {
        const std::vector<DWORD> scrolled = SettledScreenPixels(area);
        RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        EXPECT_EQ(CountDiffering(scrolled, SettledScreenPixels(area)), 0u) << "after " << after;
    };
    auto press = [&](WPARAM key, int times) {
        for (int i = 0; i < times; ++i) {
            SendMessageA(list, WM_KEYDOWN, key, 1);
            SendMessageA(list, WM_KEYUP, key, 0xC0000001);
        }
    };
    press(VK_DOWN, 200);
    ASSERT_GT(SendMessageA(list, LVM_GETTOPINDEX, 0, 0), 150);
    expect_as_repainted("200 rows down");
    press(VK_NEXT, 2);
    expect_as_repainted("two pages down");
    press(VK_END, 1);
    expect_as_repainted("the end");
    SendMessageA(list, LVM_ENSUREVISIBLE, 20, FALSE);
    expect_as_repainted("a row made visible");
    SendMessageA(list, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA),
                 MAKELPARAM(area.left + 100, area.top + 100));
    expect_as_repainted("a turn of the wheel");
}

}  // namespace
