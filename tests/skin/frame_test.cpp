// The painted frame of a real skinned window under Wine and Xvfb, read back from the screen: outline,
// border, icon, title, caption-button hover, see-through children, and moving and sizing with the mouse.
#include "skin/frame.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include "skin/skin_images.h"
#include "tests/skin/skin_window.h"

namespace {

// Low on the screen, where the other test programs' windows never are.
constexpr int kLeft = 760, kTop = 752, kWidth = 500, kHeight = 260;
constexpr COLORREF kIconColour = RGB(250, 20, 20);

class FrameTest : public testing::Test {
  protected:
    void SetUp() override {
        ParkCursor();
        desktop_corner_ = ScreenPixel(kLeft, kTop);
        icon_ = MakeSolidIcon(kIconColour);
        skin_.settings().icon = icon_;
        skin_.SetProgramSkin(EmbeddedImage(SkinImage::Background), RGB(25, 0, 0), RGB(0, 0x88, 0xFF),
                             BackgroundMode::Stretched);
        skin_.SetOptions(true, 25);
        window_ = MakePlainWindow(kLeft, kTop, kWidth, kHeight, WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX,
                                  "Quillmoor 标题遍历器V1.0 <Brenwick>");
        SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        skin_.SkinWindow(window_);
        ShowWindow(window_, SW_SHOW);
        UpdateWindow(window_);
        record_ = skin_.table().RecordOf(window_);
        ASSERT_NE(record_, nullptr);
        // Shown once the caption's icon is on the screen.
        ASSERT_TRUE(ScreenShows([&] { return WindowPixel(window_, 17, 13) == FramePixel(*record_, 17, 13); }));
    }
    void TearDown() override {
        DestroyWindow(window_);
        DestroyIcon(icon_);
    }

    // Pixels of the client rectangle on the screen that `test` picks.
    int CountPixels(const RECT& area, const std::function<bool(COLORREF)>& test) {
        int count = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x) count += test(WindowPixel(window_, x, y));
        return count;
    }

    SkinEngine skin_;
    HICON icon_ = nullptr;
    HWND window_ = nullptr;
    WindowRecord* record_ = nullptr;
    COLORREF desktop_corner_ = 0;
};

bool IsWhite(COLORREF c) {
    return GetRValue(c) > 235 && GetGValue(c) > 235 && GetBValue(c) > 235;
}
bool IsGrey(COLORREF c) {
    return std::abs(GetRValue(c) - GetGValue(c)) < 25 && std::abs(GetGValue(c) - GetBValue(c)) < 25 &&
           Brightness(c) > 80 && Brightness(c) < 200;
}
bool IsRed(COLORREF c) {
    return GetRValue(c) > 150 && GetGValue(c) < 110 && GetBValue(c) < 110;
}

TEST_F(FrameTest, TheOutlineBorderIconAndTitleArePainted) {
    // The rounded outline: the corner pixel is outside the window, the desktop shows there.
    RegionHandle region(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(window_, region.get()), ERROR);
    EXPECT_FALSE(PtInRegion(region.get(), 0, 0));
    EXPECT_TRUE(PtInRegion(region.get(), 3, 3));
    EXPECT_TRUE(PtInRegion(region.get(), kWidth / 2, 0));
    EXPECT_EQ(ScreenPixel(kLeft, kTop), desktop_corner_);
    // The corners are cut no deeper than the outline: every pixel of it there stays on the screen.
    for (const POINT corner :
         {POINT{0, 0}, POINT{kWidth - 1, 0}, POINT{0, kHeight - 1}, POINT{kWidth - 1, kHeight - 1}}) {
        const int sx = corner.x ? -1 : 1, sy = corner.y ? -1 : 1;
        const int inside = Brightness(FramePixel(*record_, corner.x + 6 * sx, corner.y + 6 * sy));
        int outline = 0;
        for (int dy = 0; dy < 5; ++dy)
            for (int dx = 0; dx < 5; ++dx) {
                const int x = corner.x + dx * sx, y = corner.y + dy * sy;
                if (Brightness(FramePixel(*record_, x, y)) >= inside / 2) continue;
                ++outline;
                EXPECT_TRUE(PtInRegion(region.get(), x, y)) << x << "," << y;
            }
        EXPECT_GE(outline, 3) << corner.x << "," << corner.y;
    }

    // The double border: a dark outer row over a light inner one, at the top and at the bottom.
    const int middle = kWidth / 2;
    EXPECT_LT(Brightness(WindowPixel(window_, middle, 0)), 40);
    EXPECT_GT(Brightness(WindowPixel(window_, middle, 1)), Brightness(WindowPixel(window_, middle, 2)) + 40);
    EXPECT_LT(Brightness(WindowPixel(window_, middle, kHeight - 1)),
              Brightness(WindowPixel(window_, middle, kHeight - 3)) - 60);

    // The icon at (9, 5), 17 pixels square.
    EXPECT_EQ(WindowPixel(window_, 9 + 8, 5 + 8), kIconColour);
    EXPECT_EQ(WindowPixel(window_, 9 + 16, 5 + 16), kIconColour);

    // The white title with its grey halo, right of the icon and left of the buttons.
    const RECT title{29, 6, 250, 24};
    EXPECT_GT(CountPixels(title, IsWhite), 30);
    EXPECT_GT(CountPixels(title, IsGrey), 30);
    const RECT under_buttons{record_->strip.left, 22, kWidth - 3, 25};
    EXPECT_EQ(CountPixels(under_buttons, IsWhite), 0);
}

TEST_F(FrameTest, TheCloseFaceTurnsRedUnderTheMouseAndBack) {
    const CaptionButton& close = record_->buttons.back();
    const int x = static_cast<int>(close.rect.x) + 2, y = static_cast<int>(close.rect.y) + 2;
    const COLORREF plain = WindowPixel(window_, x, y);
    ASSERT_FALSE(IsRed(plain));

    POINT centre = ButtonCentre(*record_, record_->buttons.size());
    SendMessageA(window_, WM_MOUSEMOVE, 0, ClientPoint(centre.x, centre.y));
    ASSERT_TRUE(FadesEnd(*record_));
    EXPECT_TRUE(ScreenShows([&] { return IsRed(WindowPixel(window_, x, y)); }));
    // The red face ends inside the window's border, whose dark outer and light inner columns go on beside it.
    const COLORREF outer = WindowPixel(window_, kWidth - 1, centre.y), inner = WindowPixel(window_, kWidth - 2, centre.y);
    EXPECT_LT(Brightness(outer), 60);
    EXPECT_FALSE(IsRed(inner));
    EXPECT_GT(Brightness(inner), Brightness(outer) + 60);

    SendMessageA(window_, WM_MOUSELEAVE, 0, 0);
    ASSERT_TRUE(FadesEnd(*record_));
    EXPECT_TRUE(ScreenShows([&] { return WindowPixel(window_, x, y) == plain; }));
}

TEST_F(FrameTest, LabelsAndEditBoxesShowThePaintedBackground) {
    HWND label = CreateWindowExA(WS_EX_TRANSPARENT, "Static", "开始段：", WS_CHILD | WS_VISIBLE, 20, 200, 80, 24,
                                 window_, nullptr, nullptr, nullptr);
    HWND edit = CreateWindowExA(0, "Edit", "", WS_CHILD | WS_VISIBLE, 120, 200, 80, 20, window_, nullptr, nullptr,
                                nullptr);
    // A label over another control draws only its text there: the control stays visible under it.
    HWND bar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 300, 200, 150, 24, window_, nullptr,
                               nullptr, nullptr);
    HWND over = CreateWindowExA(WS_EX_TRANSPARENT, "Static", "", WS_CHILD | WS_VISIBLE, 300, 200, 150, 16,
                                window_, nullptr, nullptr, nullptr);
    SetWindowPos(over, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    UpdateWindow(window_);
    for (HWND child : {label, edit, bar, over}) UpdateWindow(child);

    const COLORREF expected = Veiled(FramePixel(*record_, 20 + 78, 200 + 22), 25);
    EXPECT_TRUE(ScreenShows([&] { return Near(WindowPixel(window_, 20 + 78, 200 + 22), expected); }));
    const COLORREF in_edit = Veiled(FramePixel(*record_, 120 + 70, 200 + 10), 25);
    EXPECT_TRUE(ScreenShows([&] { return Near(WindowPixel(window_, 120 + 70, 200 + 10), in_edit); }));
    EXPECT_TRUE(ScreenShows([&] { return WindowPixel(window_, 440, 210) == WindowPixel(window_, 440, 220); }));
    EXPECT_FALSE(Near(WindowPixel(window_, 440, 210), Veiled(FramePixel(*record_, 440, 210), 25), 2));
}

TEST_F(FrameTest, EverySizeChangeRepaintsTheWholeFrame) {
    // Even the first size change of the program, after which nothing is marked for a full repaint.
    skin_.settings().first_size = true;
    SetWindowPos(window_, nullptr, 0, 0, 420, 240, SWP_NOMOVE | SWP_NOZORDER);
    UpdateWindow(window_);
    EXPECT_EQ(record_->frame.width(), 420);
    EXPECT_EQ(record_->frame.height(), 240);
    RegionHandle region(CreateRectRgn(0, 0, 0, 0));
    GetWindowRgn(window_, region.get());
    EXPECT_TRUE(PtInRegion(region.get(), 419, 120));
    EXPECT_LT(Brightness(FramePixel(*record_, 419, 120)), 90);  // the outer border at the new right edge
}

TEST_F(FrameTest, ATitleFontThatCannotBeHadFallsBackToTheDefaultFace) {
    record_->title_font = "No Such Face At All";
    record_->repaint_pending = true;
    InvalidateRect(window_, nullptr, FALSE);
    UpdateWindow(window_);
    EXPECT_TRUE(ScreenShows([&] { return CountPixels({29, 6, 250, 24}, IsWhite) > 30; }));
}

TEST_F(FrameTest, TheCaptionMovesTheWindowAndACornerResizesItNoSmallerThanTheMinimum) {
    DragOnScreen({kLeft + 150, kTop + 12}, {kLeft - 150, kTop - 100});
    RECT rect;
    EXPECT_TRUE(PumpUntil([&] {
        GetWindowRect(window_, &rect);
        return rect.left == kLeft - 300 && rect.top == kTop - 112;
    }, 5000)) << rect.left << "," << rect.top;
    EXPECT_EQ(rect.right - rect.left, kWidth);

    const POINT corner{rect.right - 4, rect.bottom - 4};
    DragOnScreen(corner, {corner.x - 100, corner.y - 60});
    EXPECT_TRUE(PumpUntil([&] {
        GetWindowRect(window_, &rect);
        return rect.right - rect.left == kWidth - 100 && rect.bottom - rect.top == kHeight - 60;
    }, 5000)) << rect.right - rect.left << "x" << rect.bottom - rect.top;
    UpdateWindow(window_);
    EXPECT_EQ(record_->frame.width(), kWidth - 100);

    DragOnScreen({rect.right - 4, rect.bottom - 4}, {rect.left - 200, rect.top - 200});
    EXPECT_TRUE(PumpUntil([&] {
        GetWindowRect(window_, &rect);
        return rect.right - rect.left == 200 && rect.bottom - rect.top == 150;
    }, 5000)) << rect.right - rect.left << "x" << rect.bottom - rect.top;
}

}  // namespace
