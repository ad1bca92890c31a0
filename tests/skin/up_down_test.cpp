// Skinned up-down controls on a test form under Wine and Xvfb: the half the mouse lights, what a move
// repaints, the pressed half, a horizontal control, and the value, buddy, keys and auto-repeat the system
// keeps.
#include "skin/up_down.h"

#include <gtest/gtest.h>

#include <string>

#include "runtime/control.h"
#include "tests/skin/skin_window.h"

namespace {

constexpr RECT kFormPlace{60, 560, 400, 760};
// 18 × 17: halves of 8 rows, the middle row (8) in the first one.
constexpr RECT kVerticalPlace{40, 50, 58, 67};
constexpr RECT kHorizontalPlace{100, 50, 134, 67};
constexpr RECT kBuddyPlace{160, 50, 220, 72};

// Counts the WM_PAINT messages of a control, seen before the skin's procedure: the skin paints these controls
// on WM_PAINT only.
class PaintCounter {
  public:
    explicit PaintCounter(HWND control) : control_(control) {
        counting = this;
        previous_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Count)));
    }
    ~PaintCounter() {
        SetWindowLongPtrA(control_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
        counting = nullptr;
    }
    int paints = 0;

  private:
    static LRESULT CALLBACK Count(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
        if (message == WM_PAINT) ++counting->paints;
        return CallWindowProcA(counting->previous_, window, message, wparam, lparam);
    }
    static inline PaintCounter* counting = nullptr;
    HWND control_;
    WNDPROC previous_;
};

class UpDownControls : public SkinnedForm {
  protected:
    UpDownControls() : SkinnedForm(kFormPlace) {}

    void MoveTo(HWND updown, int x, int y) { SendMessageA(updown, WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); }
};

TEST_F(UpDownControls, InstallingAgainTakesNoControlTwice) {
    HWND vertical = Child(UPDOWN_CLASSA, 0, kVerticalPlace);
    HWND horizontal = Child(UPDOWN_CLASSA, UDS_HORZ, kHorizontalPlace);
    HWND other = MakePlainWindow(kFormPlace.left, kFormPlace.top, 200, 100);
    skin_.SkinWindow(window_);
    skin_.SkinWindow(other);
    const LONG_PTR skinned = GetWindowLongPtrA(vertical, GWLP_WNDPROC);
    InstallUpDowns(skin_, skin_.table().Find(window_), window_);
    skin_.SkinWindow(window_);
    // Nor is a control of one window taken again for another.
    InstallUpDowns(skin_, skin_.table().Find(other), window_);
    EXPECT_EQ(skin_.table().RecordOf(window_)->Children(ChildClass::UpDown).size(), 2u);
    EXPECT_TRUE(skin_.table().RecordOf(other)->Children(ChildClass::UpDown).empty());
    DestroyWindow(other);
    for (HWND updown : {vertical, horizontal}) {
        EXPECT_EQ(GetWindowLongPtrA(updown, GWLP_WNDPROC), skinned);
        EXPECT_NE(reinterpret_cast<LONG_PTR>(PreviousProcedure(updown)), skinned);
    }
    // Messages still reach the system's control through the skin, once.
    SendMessageA(vertical, UDM_SETRANGE32, 0, 10);
    SendMessageA(vertical, UDM_SETPOS32, 0, 7);
    MoveTo(vertical, 3, 3);
    EXPECT_EQ(SendMessageA(vertical, UDM_GETPOS32, 0, 0), 7);
}

TEST_F(UpDownControls, TheHalfUnderTheMouseIsLitUpToTheMiddleRowAndFromTheRowAfter) {
    HWND updown = Child(UPDOWN_CLASSA, 0, kVerticalPlace);
    SkinAndShow();
    // Beside the arrows, in the lower part of each half, where the lit face's theme colour is strongest.
    const auto first = [&] { return Pixel(updown, 3, 5); };
    const auto second = [&] { return Pixel(updown, 3, 13); };
    const COLORREF plain_first = first(), plain_second = second();

    MoveTo(updown, 9, 8);
    EXPECT_TRUE(ScreenShows([&] { return Blueness(first()) > Blueness(plain_first) + 15; }));
    EXPECT_EQ(second(), plain_second);
    MoveTo(updown, 9, 9);
    EXPECT_TRUE(ScreenShows([&] { return Blueness(second()) > Blueness(plain_second) + 15; }));
    EXPECT_TRUE(ScreenShows([&] { return first() == plain_first; }));
    SendMessageA(updown, WM_MOUSELEAVE, 0, 0);
    EXPECT_TRUE(ScreenShows([&] { return first() == plain_first && second() == plain_second; }));
}

TEST_F(UpDownControls, AMoveRepaintsOnlyWhenItCrossesIntoTheOtherHalf) {
    HWND updown = Child(UPDOWN_CLASSA, 0, kVerticalPlace);
    SkinAndShow();
    PaintCounter counter(updown);
    MoveTo(updown, 9, 2);
    Settle();
    EXPECT_EQ(counter.paints, 1);  // the mouse came over it

    counter.paints = 0;
    for (int y : {4, 6, 8}) MoveTo(updown, 9, y);
    Settle();
    EXPECT_EQ(counter.paints, 0);
    MoveTo(updown, 9, 9);
    Settle();
    EXPECT_EQ(counter.paints, 1);
    counter.paints = 0;
    for (int y : {12, 16, 10}) MoveTo(updown, 9, y);
    Settle();
    EXPECT_EQ(counter.paints, 0);
}

TEST_F(UpDownControls, AHorizontalControlLightsItsLeftAndRightHalves) {
    HWND updown = Child(UPDOWN_CLASSA, UDS_HORZ, kHorizontalPlace);
    SkinAndShow();
    // Beside the arrows, towards the right of each 17-pixel half.
    const auto left = [&] { return Pixel(updown, 13, 3); };
    const auto right = [&] { return Pixel(updown, 30, 3); };
    const COLORREF plain_left = left(), plain_right = right();
    MoveTo(updown, 17, 8);  // the middle column is the left half's
    EXPECT_TRUE(ScreenShows([&] { return Blueness(left()) > Blueness(plain_left) + 15; }));
    EXPECT_EQ(right(), plain_right);
    MoveTo(updown, 18, 8);
    EXPECT_TRUE(
        ScreenShows([&] { return Blueness(right()) > Blueness(plain_right) + 15 && left() == plain_left; }));
}

TEST_F(UpDownControls, ThePressedHalfIsInvertedWhileTheSystemStepsItsBuddy) {
    HWND buddy = Child("Edit", ES_NUMBER, kBuddyPlace);
    HWND updown = Child(UPDOWN_CLASSA, UDS_SETBUDDYINT | UDS_ARROWKEYS, kVerticalPlace);
    SendMessageA(updown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
    SendMessageA(updown, UDM_SETRANGE32, 0, 100);
    SendMessageA(updown, UDM_SETPOS32, 0, 50);
    SkinAndShow();
    const RECT area = WindowArea(updown);
    const int w = area.right - area.left;
    const auto top_of_first = [&] { return Pixel(updown, 3, 1); };
    const auto value = [&] { return std::stoi(WindowText(buddy)); };

    const COLORREF plain = top_of_first();
    MoveTo(updown, w / 2, 3);
    EXPECT_TRUE(ScreenShows([&] { return Blueness(top_of_first()) > 0; }));
    Settle();
    const COLORREF lit = top_of_first();
    // Lit, the half runs from white to the theme colour; pressed, from the theme colour to white.
    SendMessageA(updown, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(w / 2, 3));
    EXPECT_EQ(value(), 51);
    EXPECT_TRUE(ScreenShows([&] { return Blueness(top_of_first()) > Blueness(lit) + 10; }));
    // Held down, the system repeats the step.
    EXPECT_TRUE(ScreenShows([&] { return value() >= 53; }, 5000));
    SendMessageA(updown, WM_LBUTTONUP, 0, MAKELPARAM(w / 2, 3));
    EXPECT_TRUE(ScreenShows([&] { return top_of_first() == lit; }));
    const int released = value();
    PumpUntil([] { return false; }, 700);
    EXPECT_EQ(value(), released);

    // The mouse taken away before the release (a window popping up cancels the mode) ends the press as well.
    SendMessageA(updown, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(w / 2, 3));
    EXPECT_TRUE(ScreenShows([&] { return Blueness(top_of_first()) > Blueness(lit) + 10; }));
    SendMessageA(updown, WM_CANCELMODE, 0, 0);
    EXPECT_NE(GetCapture(), updown);
    EXPECT_TRUE(ScreenShows([&] { return top_of_first() == lit; }));

    // Dragged off the control and let go there, the press ends with no half lit: no WM_MOUSELEAVE would come.
    SendMessageA(updown, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(w / 2, 3));
    SendMessageA(updown, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-20, 3));
    SendMessageA(updown, WM_LBUTTONUP, 0, MAKELPARAM(-20, 3));
    EXPECT_TRUE(ScreenShows([&] { return top_of_first() == plain; }));

    // The arrow keys in the buddy step the value as without the skin.
    const int before_key = value();
    SetFocus(buddy);
    SendMessageA(buddy, WM_KEYDOWN, VK_UP, 1);
    SendMessageA(buddy, WM_KEYUP, VK_UP, 1);
    EXPECT_EQ(value(), before_key + 1);
}

}  // namespace
