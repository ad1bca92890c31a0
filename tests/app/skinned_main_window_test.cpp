// The main window as the program shows it, skinned: resized from a corner with the mouse, closed from its
// caption.
#include <gtest/gtest.h>

#include "app/main_controls.h"
#include "app/main_window.h"
#include "gfx/startup.h"
#include "tests/skin/skin_window.h"
#include "tests/support/loopback_server.h"

namespace {

class SkinnedMainWindow : public testing::Test {
  protected:
    void SetUp() override {
        ParkCursor();
        ASSERT_TRUE(gdiplus_.started());
        ASSERT_TRUE(window_.Create(nullptr, SW_SHOWNORMAL));
        ASSERT_NE(skin_.table().RecordOf(hwnd()), nullptr);
    }
    HWND hwnd() { return window_.form().hwnd(); }

    GdiplusSession gdiplus_;
    SkinEngine skin_;
    LoopbackServer forum_{Reply{.body = "<html></html>"}};
    MainWindow window_{forum_.Url(), kDefaultConnections, &skin_};
};

TEST_F(SkinnedMainWindow, ACornerDragResizesItAndTheControlsFollow) {
    RECT rect;
    GetWindowRect(hwnd(), &rect);
    DragOnScreen({rect.right - 4, rect.bottom - 4}, {rect.right - 204, rect.bottom - 104});
    EXPECT_TRUE(PumpUntil([&] {
        GetWindowRect(hwnd(), &rect);
        return rect.right - rect.left == 775 && rect.bottom - rect.top == 596;
    }, 5000)) << rect.right - rect.left << "x" << rect.bottom - rect.top;
    FormWindow& form = window_.form();
    EXPECT_EQ(form[kResultList].Width(), 775 - 16);
    EXPECT_EQ(form[kResultList].Height(), 596 - 80);
    EXPECT_EQ(form[kStatusLine].Width(), 775);
    EXPECT_EQ(form[kSearchEdit].Left(), 775 - 165);
    // The caption buttons moved with the right edge.
    const WindowRecord& record = *skin_.table().RecordOf(hwnd());
    EXPECT_EQ(record.buttons.back().rect.x - 1 + record.buttons.back().rect.width, 775 - 2);
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

}  // namespace
