// Skinned progress bars: how far the bar reaches for a position in a range, and on a real window under Wine
// and Xvfb, what the screen shows of it.
#include "skin/progress_bar.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <climits>

#include "tests/skin/skin_window.h"

namespace {

TEST(FilledLength, IsTheShareOfTheRangeReachedFromItsMinimum) {
    EXPECT_EQ(FilledLength(0, 0, 100, 200), 0);
    EXPECT_EQ(FilledLength(50, 0, 100, 200), 100);
    EXPECT_EQ(FilledLength(100, 0, 100, 200), 200);
    EXPECT_EQ(FilledLength(100, 50, 150, 200), 100);
    EXPECT_EQ(FilledLength(50, 50, 150, 200), 0);
    EXPECT_EQ(FilledLength(1, 0, 3, 200), 66);  // rounded down
    EXPECT_EQ(FilledLength(INT_MAX - 1, INT_MIN, INT_MAX, 1000), 999);
}

TEST(FilledLength, IsHeldToTheRangeAndNothingForAnEmptyOne) {
    EXPECT_EQ(FilledLength(-20, 0, 100, 200), 0);
    EXPECT_EQ(FilledLength(300, 0, 100, 200), 200);
    EXPECT_EQ(FilledLength(10, 10, 10, 200), 0);
    EXPECT_EQ(FilledLength(5, 10, 0, 200), 0);
    EXPECT_EQ(FilledLength(5, 0, 10, 0), 0);
}

constexpr RECT kFormPlace{40, 300, 440, 500};
constexpr int kBarWidth = 200, kBarHeight = 24;

class ProgressBarTest : public SkinnedForm {
  protected:
    ProgressBarTest() : SkinnedForm(kFormPlace) {}
    void SetUp() override {
        SkinnedForm::SetUp();
        bar_ = Child(PROGRESS_CLASSA, 0, {100, 80, 100 + kBarWidth, 80 + kBarHeight});
        SkinAndShow();
    }

    void Set(int low, int high, int position) {
        SendMessageA(bar_, PBM_SETRANGE32, static_cast<WPARAM>(low), high);
        SendMessageA(bar_, PBM_SETPOS, static_cast<WPARAM>(position), 0);
        UpdateWindow(bar_);
    }

    // How far the theme-coloured bar reaches along a row near the bottom, in pixels from the bar's left edge.
    int BarReach() const {
        const RECT area = WindowArea(bar_);
        int reach = 0;
        for (int x = 0; x < kBarWidth; ++x) {
            const COLORREF c = ScreenPixel(area.left + x, area.top + kBarHeight - 4);
            if (GetBValue(c) > GetRValue(c) + 100) reach = x + 1;
        }
        return reach;
    }

    // Waits for the bar to reach `expected` pixels, give or take the rounded ends.
    bool ShowsBarOf(int expected) const {
        return ScreenShows([&] { return std::abs(BarReach() - expected) <= 3; }, 3000);
    }

    HWND bar_ = nullptr;
};

TEST_F(ProgressBarTest, TheBarFollowsThePositionFromTheMinimum) {
    Set(0, 100, 0);
    EXPECT_TRUE(ShowsBarOf(0)) << BarReach();
    Set(0, 100, 50);
    EXPECT_TRUE(ShowsBarOf(kBarWidth / 2)) << BarReach();
    Set(0, 100, 100);
    EXPECT_TRUE(ShowsBarOf(kBarWidth)) << BarReach();
    // A range that starts above 0: the position counts from the minimum.
    Set(1000, 1100, 1050);
    EXPECT_TRUE(ShowsBarOf(kBarWidth / 2)) << BarReach();
    Set(1000, 1100, 1000);
    EXPECT_TRUE(ShowsBarOf(0)) << BarReach();
}

TEST_F(ProgressBarTest, AnEmptyRangeShowsNoBar) {
    Set(0, 100, 100);
    ASSERT_TRUE(ShowsBarOf(kBarWidth));
    Set(10, 10, 10);
    EXPECT_TRUE(ShowsBarOf(0)) << BarReach();
}

TEST_F(ProgressBarTest, ALabelLyingOverTheBarShowsItsTextOverTheBarAndKeepsItWhenTheBarMoves) {
    HWND label = Child("Static", "88/100", 0, {100, 78, 100 + kBarWidth, 94}, WS_EX_TRANSPARENT);
    SetWindowPos(label, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    skin_.SkinChildren(skin_.table().Find(window_), window_);
    ASSERT_NE(skin_.ChildRecord(label, ChildClass::Label), nullptr);
    Set(0, 100, 100);
    const RECT area = WindowArea(bar_);
    // Pixels of the label's rows over the bar that `picks` picks.
    const auto count = [&](bool (*picks)(COLORREF)) {
        int counted = 0;
        for (int y = 2; y < 14; ++y)
            for (int x = 0; x < kBarWidth; ++x) counted += picks(ScreenPixel(area.left + x, area.top + y));
        return counted;
    };
    const auto dark = [](COLORREF c) { return Brightness(c) < 60; };
    const auto themed = [](COLORREF c) { return GetBValue(c) > GetRValue(c) + 100; };
    // The text is drawn over the full bar, and the bar is seen around and under it: no background of the
    // label's own hides it.
    EXPECT_TRUE(ScreenShows([&] { return count(dark) > 10 && count(themed) > kBarWidth * 12 / 3; }))
        << count(dark) << " dark, " << count(themed) << " themed";
    // The bar repainting itself at a new position paints the text again over it.
    SendMessageA(bar_, PBM_SETPOS, 99, 0);
    EXPECT_TRUE(ScreenShows([&] { return count(dark) > 10 && count(themed) > kBarWidth * 12 / 3; }));
    const int long_text = count(dark);
    // A shorter text is painted as it is set, nothing waiting, and shows nothing of the longer one beside it.
    SetWindowTextA(label, "8");
    RECT pending;
    EXPECT_FALSE(GetUpdateRect(label, &pending, FALSE));
    EXPECT_TRUE(ScreenShows([&] { return count(dark) > 0 && count(dark) * 3 < long_text; }))
        << count(dark) << " dark of " << long_text;
}

}  // namespace
