// Skinned track bars on a test form under Wine and Xvfb: the thumb following the position in both directions,
// its outline under the mouse and the selection bar; then hover and position cycles on track bars and up-down
// controls leaving no GDI objects, windows or memory behind.
#include "skin/track_bar.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "tests/skin/skin_window.h"
#include "tests/support/resource_counters.h"

namespace {

constexpr RECT kFormPlace{620, 520, 1020, 820};
constexpr RECT kHorizontalPlace{20, 50, 220, 80};
constexpr RECT kVerticalPlace{260, 40, 300, 240};

class TrackBarControls : public SkinnedForm {
  protected:
    TrackBarControls() : SkinnedForm(kFormPlace) {}

    // The middle of the system's thumb, in the bar's window coordinates (the bars here have no frame).
    static POINT ThumbCentre(HWND bar) {
        RECT thumb{};
        SendMessageA(bar, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
        return {(thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2};
    }
    COLORREF Pixel(HWND bar, POINT at) { return SkinnedForm::Pixel(bar, at.x, at.y); }

    // The colour of the middle of the bar's thumb as the screen shows it now: the thumb is opaque, so it is
    // the same wherever the thumb is.
    COLORREF ThumbColour(HWND bar) { return Pixel(bar, ThumbCentre(bar)); }

    // The screen shows the thumb at its place (`thumb` the thumb's own colour) and no longer at `was`.
    bool ShowsThumbMoved(HWND bar, COLORREF thumb, POINT was) {
        return Pixel(bar, ThumbCentre(bar)) == thumb && Pixel(bar, was) != thumb;
    }

    // Moves the thumb to `position` the way the program does and checks that the screen follows.
    void ExpectThumbFollows(HWND bar, COLORREF thumb, int position) {
        const POINT was = ThumbCentre(bar);
        SendMessageA(bar, TBM_SETPOS, TRUE, position);
        ASSERT_NE(ThumbCentre(bar).x + ThumbCentre(bar).y, was.x + was.y);
        EXPECT_TRUE(ScreenShows([&] { return ShowsThumbMoved(bar, thumb, was); })) << "position " << position;
    }
};

TEST_F(TrackBarControls, InstallingAgainTakesNoBarTwice) {
    HWND bar = Child(TRACKBAR_CLASSA, 0, kHorizontalPlace);
    HWND other = MakePlainWindow(kFormPlace.left, kFormPlace.top, 200, 100);
    skin_.SkinWindow(window_);
    skin_.SkinWindow(other);
    const LONG_PTR skinned = GetWindowLongPtrA(bar, GWLP_WNDPROC);
    InstallTrackBars(skin_, skin_.table().Find(window_), window_);
    InstallTrackBars(skin_, skin_.table().Find(other), window_);
    EXPECT_EQ(skin_.table().RecordOf(window_)->Children(ChildClass::TrackBar).size(), 1u);
    EXPECT_TRUE(skin_.table().RecordOf(other)->Children(ChildClass::TrackBar).empty());
    DestroyWindow(other);
    EXPECT_EQ(GetWindowLongPtrA(bar, GWLP_WNDPROC), skinned);
    EXPECT_NE(reinterpret_cast<LONG_PTR>(PreviousProcedure(bar)), skinned);
    SendMessageA(bar, TBM_SETPOS, TRUE, 30);
    EXPECT_EQ(SendMessageA(bar, TBM_GETPOS, 0, 0), 30);
}

TEST_F(TrackBarControls, TheThumbFollowsThePositionAlongAHorizontalAndAVerticalBar) {
    HWND across = Child(TRACKBAR_CLASSA, WS_TABSTOP, kHorizontalPlace);
    HWND down = Child(TRACKBAR_CLASSA, TBS_VERT | TBS_BOTH, kVerticalPlace);
    SkinAndShow();
    const COLORREF across_thumb = ThumbColour(across), down_thumb = ThumbColour(down);
    // Opaque white shaded with black: grey, whatever lies under the bar.
    EXPECT_LT(std::abs(GetRValue(across_thumb) - GetBValue(across_thumb)), 3);
    for (int position : {100, 40, 0}) ExpectThumbFollows(across, across_thumb, position);
    for (int position : {100, 0}) ExpectThumbFollows(down, down_thumb, position);

    // A key moves it through the system, and the skin shows where.
    const POINT start = ThumbCentre(across);
    SetFocus(across);
    SendMessageA(across, WM_KEYDOWN, VK_END, 1);
    EXPECT_EQ(SendMessageA(across, TBM_GETPOS, 0, 0), 100);
    EXPECT_TRUE(ScreenShows([&] { return ShowsThumbMoved(across, across_thumb, start); }));
}

TEST_F(TrackBarControls, TheThumbIsOutlinedInTheThemeColourWhileTheMouseIsOverTheBar) {
    HWND bar = Child(TRACKBAR_CLASSA, 0, kHorizontalPlace);
    SendMessageA(bar, TBM_SETPOS, TRUE, 50);
    SkinAndShow();
    RECT thumb{};
    SendMessageA(bar, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    const POINT edge{thumb.left, (thumb.top + thumb.bottom) / 2};
    const COLORREF plain = Pixel(bar, edge);
    SendMessageA(bar, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    EXPECT_TRUE(ScreenShows([&] { return Blueness(Pixel(bar, edge)) > Blueness(plain) + 40; }));
    SendMessageA(bar, WM_MOUSELEAVE, 0, 0);
    EXPECT_TRUE(ScreenShows([&] { return Pixel(bar, edge) == plain; }));
}

TEST_F(TrackBarControls, ASelectionBarShowsOnlyWithTheSelectionRangeStyle) {
    HWND bar = Child(TRACKBAR_CLASSA, TBS_ENABLESELRANGE, kHorizontalPlace);
    SkinAndShow();
    const COLORREF thumb = ThumbColour(bar);
    // Across the bar halfway through the selection, clear of the thumb at 0.
    RECT across{ThumbCentre(bar).x + (kHorizontalPlace.right - kHorizontalPlace.left) / 2, 0, 0,
                kHorizontalPlace.bottom - kHorizontalPlace.top};
    across.right = across.left + 1;
    OffsetRect(&across, kHorizontalPlace.left, kHorizontalPlace.top);
    const auto column = [&] { return WindowPixels(window_, across); };
    const std::vector<COLORREF> bare = column();
    const auto shows_a_bar = [&] {
        const std::vector<COLORREF> now = column();
        for (size_t y = 0; y < now.size(); ++y)
            if (Brightness(now[y]) > Brightness(bare[y]) + 15) return true;
        return false;
    };
    SendMessageA(bar, TBM_SETSEL, TRUE, MAKELPARAM(20, 80));
    EXPECT_TRUE(ScreenShows(shows_a_bar));

    // Without the style, the selection the system keeps shows nothing: clearing it changes nothing on the
    // screen.
    SetWindowLongPtrA(bar, GWL_STYLE, GetWindowLongPtrA(bar, GWL_STYLE) & ~TBS_ENABLESELRANGE);
    InvalidateRect(bar, nullptr, FALSE);
    Settle();
    const std::vector<COLORREF> without_style = column();
    SendMessageA(bar, TBM_CLEARSEL, TRUE, 0);
    Settle();
    EXPECT_EQ(column(), without_style);

    // Nor does a selection in a range of nothing, which places nothing; the bar still paints, its thumb too.
    SetWindowLongPtrA(bar, GWL_STYLE, GetWindowLongPtrA(bar, GWL_STYLE) | TBS_ENABLESELRANGE);
    SendMessageA(bar, TBM_SETSEL, FALSE, MAKELPARAM(20, 80));
    SendMessageA(bar, TBM_SETRANGEMAX, FALSE, 0);
    SendMessageA(bar, TBM_SETRANGEMIN, TRUE, 0);
    ASSERT_EQ(SendMessageA(bar, TBM_GETSELEND, 0, 0), 80);
    Settle();
    const std::vector<COLORREF> empty_range = column();
    SendMessageA(bar, TBM_CLEARSEL, TRUE, 0);
    Settle();
    EXPECT_EQ(column(), empty_range);
    EXPECT_EQ(ThumbColour(bar), thumb);
}

// One round of what a user does to the range controls of a form: the mouse over each and away, an up-down
// half pressed and released, the bar's thumb moved; every control repaints at once.
void RangeControlsRound(HWND updown, HWND bar, int round) {
    SendMessageA(updown, WM_MOUSEMOVE, 0, MAKELPARAM(4, 3));
    UpdateWindow(updown);
    SendMessageA(updown, WM_MOUSEMOVE, 0, MAKELPARAM(4, 12));
    SendMessageA(updown, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 12));
    UpdateWindow(updown);
    SendMessageA(updown, WM_LBUTTONUP, 0, MAKELPARAM(4, 12));
    SendMessageA(updown, WM_MOUSELEAVE, 0, 0);
    UpdateWindow(updown);
    SendMessageA(bar, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    UpdateWindow(bar);
    SendMessageA(bar, TBM_SETPOS, TRUE, round % 100);
    UpdateWindow(bar);
    SendMessageA(bar, WM_MOUSELEAVE, 0, 0);
    UpdateWindow(bar);
}

class RangeControlRounds : public SkinnedForm {
  protected:
    RangeControlRounds() : SkinnedForm(kFormPlace) {}
};

TEST_F(RangeControlRounds, LeaveNoGdiObjectsWindowsOrMemoryBehind) {
    HWND updown = Child(UPDOWN_CLASSA, 0, {20, 120, 38, 137});
    HWND bar = Child(TRACKBAR_CLASSA, TBS_ENABLESELRANGE, kHorizontalPlace);
    SendMessageA(bar, TBM_SETSEL, FALSE, MAKELPARAM(10, 60));
    SkinAndShow();
    // First-use caches and allocations settle before the count.
    for (int round = 0; round < 20; ++round) RangeControlsRound(updown, bar, round);
    const long gdi_before = GdiObjectsLeft();
    const int windows_before = ThreadWindowCount();
    const size_t memory_before = PrivateBytes();
    for (int round = 0; round < 300; ++round) RangeControlsRound(updown, bar, round);
    EXPECT_GE(GdiObjectsLeft(), gdi_before - 5);  // a leak of one object a round shows sixty times over
    EXPECT_EQ(ThreadWindowCount(), windows_before);
    EXPECT_LT(PrivateBytes(), memory_before + 4 * 1024 * 1024);
}

}  // namespace
