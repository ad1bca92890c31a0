// The skin object and its window table on real windows: records, properties, renumbering and clean-up.
#include "skin/skin_engine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/skin_images.h"
#include "skin/top_level_procedure.h"
#include "tests/support/resource_counters.h"
#include "tests/skin/skin_window.h"

namespace {

class SkinEngineTest : public testing::Test {
  protected:
    void SetUp() override {
        ParkCursor();
        seen_messages = &seen_;
    }
    void TearDown() override {
        for (HWND window : windows_) {
            if (IsWindow(window)) DestroyWindow(window);
        }
        seen_messages = nullptr;
    }
    HWND Window(DWORD style = WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX) {
        windows_.push_back(MakePlainWindow(100, 100, 400, 300, style));
        return windows_.back();
    }
    std::vector<CaptionKind> Kinds(HWND window) {
        std::vector<CaptionKind> kinds;
        for (const CaptionButton& button : skin_.table().RecordOf(window)->buttons) kinds.push_back(button.kind);
        return kinds;
    }

    SkinEngine skin_;
    SeenMessages seen_;
    std::vector<HWND> windows_;
};

TEST_F(SkinEngineTest, SkinningTwiceLeavesOneRecordAndOneSubclass) {
    HWND window = Window();
    skin_.SkinWindow(window);
    skin_.SkinWindow(window);
    EXPECT_EQ(skin_.table().size(), 1u);
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&SkinnedTopLevelProcedure));
    // The skin forwards to what the window had, never to itself.
    EXPECT_NE(PreviousProcedure(window), nullptr);
    EXPECT_NE(PreviousProcedure(window), &SkinnedTopLevelProcedure);
    EXPECT_EQ(IndexProperty(window, kRecordIndexProperty), 1u);
    EXPECT_TRUE(GetWindowLongPtrA(window, GWL_STYLE) & WS_SYSMENU);
}

TEST_F(SkinEngineTest, CaptionButtonsFollowTheWindowStyleAndTheCaptionIsAtLeast25High) {
    HWND plain = Window(WS_POPUP);
    skin_.SkinWindow(plain, {.caption_height = 10});
    EXPECT_EQ(Kinds(plain), std::vector<CaptionKind>{CaptionKind::Close});
    EXPECT_EQ(skin_.table().RecordOf(plain)->caption_height, 25);

    HWND full = Window();
    skin_.SkinWindow(full, {.caption_height = 30, .show_help = true, .show_menu = true});
    EXPECT_EQ(Kinds(full), (std::vector<CaptionKind>{CaptionKind::Help, CaptionKind::Menu, CaptionKind::Minimise,
                                                     CaptionKind::Maximise, CaptionKind::Close}));
    EXPECT_EQ(skin_.table().RecordOf(full)->caption_height, 30);
    // Every button has its glyph and, the maximise button, its restore glyph.
    for (const CaptionButton& button : skin_.table().RecordOf(full)->buttons) EXPECT_NE(button.image, nullptr);
    EXPECT_NE(skin_.table().RecordOf(full)->buttons[3].alternate, nullptr);
}

TEST_F(SkinEngineTest, ClosingTheFirstOfTwoWindowsRenumbersTheSecondAndItsChildren) {
    HWND first = Window(), second = Window();
    skin_.SkinWindow(first);
    skin_.SkinWindow(second);
    HWND button = CreateWindowExA(0, "Button", "b", WS_CHILD | WS_VISIBLE, 0, 0, 20, 20, second, nullptr, nullptr, nullptr);
    HWND edit = CreateWindowExA(0, "Edit", "", WS_CHILD | WS_VISIBLE, 0, 30, 20, 20, second, nullptr, nullptr, nullptr);
    // Children of every class list are renumbered, not only the first lists.
    skin_.SubclassChild(2, ChildClass::Button, button, DefWindowProcA);
    skin_.SubclassChild(2, ChildClass::Header, edit, DefWindowProcA);
    ASSERT_EQ(IndexProperty(button, kOwnerIndexProperty), 2u);

    DestroyWindow(first);
    EXPECT_EQ(skin_.table().size(), 1u);
    EXPECT_EQ(IndexProperty(second, kRecordIndexProperty), 1u);
    EXPECT_EQ(skin_.table().RecordOf(second)->window, second);
    EXPECT_EQ(IndexProperty(button, kOwnerIndexProperty), 1u);
    EXPECT_EQ(IndexProperty(edit, kOwnerIndexProperty), 1u);
    EXPECT_EQ(IndexProperty(edit, kRecordIndexProperty), 1u);  // its place in its own list is unchanged
}

TEST_F(SkinEngineTest, CleanUpRemovesTheRecordItsPropertiesItsTimerAndItsTooltip) {
    HWND window = Window();
    ShowWindow(window, SW_SHOW);
    skin_.SkinWindow(window);
    WindowRecord& record = *skin_.table().RecordOf(window);
    HWND tooltip = record.tooltip.GetHandle();
    ASSERT_NE(tooltip, nullptr);
    EXPECT_EQ(GetWindow(tooltip, GW_OWNER), window);
    UpdateWindow(window);
    // Hover the close button, so its fade timer runs when the window goes.
    POINT close = ButtonCentre(record, record.buttons.size());
    SendMessageA(window, WM_MOUSEMOVE, 0, ClientPoint(close.x, close.y));
    ASSERT_TRUE(record.timer_running);

    DestroyWindow(window);
    EXPECT_EQ(skin_.table().size(), 0u);
    EXPECT_TRUE(seen_.properties_gone_at_ncdestroy);
    EXPECT_TRUE(seen_.timer_gone_at_ncdestroy);
    EXPECT_FALSE(IsWindow(tooltip));
}

TEST_F(SkinEngineTest, TheHoverTimerStopsWhenTheMouseLeaves) {
    HWND window = Window();
    ShowWindow(window, SW_SHOW);
    skin_.SkinWindow(window);
    UpdateWindow(window);
    WindowRecord& record = *skin_.table().RecordOf(window);
    POINT minimise = ButtonCentre(record, 1), close = ButtonCentre(record, 3);
    SendMessageA(window, WM_MOUSEMOVE, 0, ClientPoint(minimise.x, minimise.y));
    SendMessageA(window, WM_MOUSEMOVE, 0, ClientPoint(close.x, close.y));
    EXPECT_EQ(record.hot_button, 3);
    EXPECT_EQ(record.fading_out, 1);
    ASSERT_TRUE(FadesEnd(record));
    EXPECT_EQ(record.fade_in_step, 8);

    SendMessageA(window, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(record.hot_button, 0);
    ASSERT_TRUE(FadesEnd(record));
    EXPECT_FALSE(KillTimer(window, reinterpret_cast<UINT_PTR>(window)));
}

TEST_F(SkinEngineTest, TheSkinObjectLeavesTheSharedIconAlone) {
    HICON icon = LoadIconA(nullptr, IDI_APPLICATION);
    {
        SkinEngine other;
        other.settings().icon = icon;
    }
    ICONINFO info{};
    EXPECT_TRUE(GetIconInfo(icon, &info));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
}

TEST_F(SkinEngineTest, ButtonsActOnReleaseAndADoubleClickOnOneActsOnce) {
    HWND window = Window();
    ShowWindow(window, SW_SHOW);
    skin_.SkinWindow(window);
    UpdateWindow(window);
    WindowRecord& record = *skin_.table().RecordOf(window);
    POINT maximise = ButtonCentre(record, 2);
    const LPARAM at = ClientPoint(maximise.x, maximise.y);

    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    EXPECT_FALSE(IsZoomed(window));  // a press alone does nothing yet
    SendMessageA(window, WM_LBUTTONUP, 0, at);
    EXPECT_TRUE(IsZoomed(window));
    // The second click of the double click, which the first has moved away from the button.
    SendMessageA(window, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageA(window, WM_LBUTTONUP, 0, at);
    EXPECT_TRUE(IsZoomed(window));
    EXPECT_EQ(seen_.system_commands[SC_MAXIMIZE], 1);
    EXPECT_EQ(seen_.system_commands[SC_RESTORE], 0);

    // A press that leaves the button before it is released does nothing.
    maximise = ButtonCentre(record, 2);
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(maximise.x, maximise.y));
    SendMessageA(window, WM_LBUTTONUP, 0, ClientPoint(maximise.x - 100, maximise.y));
    EXPECT_TRUE(IsZoomed(window));
    EXPECT_EQ(record.pressed_button, 0);
}

TEST_F(SkinEngineTest, ACaptionDoubleClickMaximisesToTheWorkAreaAndBack) {
    HWND window = Window();
    ShowWindow(window, SW_SHOW);
    skin_.SkinWindow(window);
    RECT before;
    GetWindowRect(window, &before);

    SendMessageA(window, WM_LBUTTONDBLCLK, MK_LBUTTON, ClientPoint(100, 12));
    ASSERT_TRUE(IsZoomed(window));
    MONITORINFO monitor{sizeof monitor, {}, {}, 0};
    GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    RECT now;
    GetWindowRect(window, &now);
    EXPECT_TRUE(EqualRect(&now, &monitor.rcWork));
    // The caption buttons moved to the new right edge.
    const WindowRecord& record = *skin_.table().RecordOf(window);
    EXPECT_EQ(record.buttons.back().rect.x - 1 + record.buttons.back().rect.width, (now.right - now.left) - 2);

    SendMessageA(window, WM_LBUTTONDBLCLK, MK_LBUTTON, ClientPoint(100, 12));
    EXPECT_FALSE(IsZoomed(window));
    GetWindowRect(window, &now);
    EXPECT_TRUE(EqualRect(&now, &before));
    // Below the caption a double click is the window's own.
    SendMessageA(window, WM_LBUTTONDBLCLK, MK_LBUTTON, ClientPoint(100, 100));
    EXPECT_FALSE(IsZoomed(window));
}

TEST_F(SkinEngineTest, TheWindowKeepsItsMinimumTrackingSize) {
    HWND window = Window();
    skin_.SkinWindow(window);
    MINMAXINFO info{};
    SendMessageA(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 200);
    EXPECT_EQ(info.ptMinTrackSize.y, 150);
}

TEST_F(SkinEngineTest, TheCloseButtonClosesTheWindow) {
    HWND window = Window();
    ShowWindow(window, SW_SHOW);
    skin_.SkinWindow(window);
    UpdateWindow(window);
    const WindowRecord& record = *skin_.table().RecordOf(window);
    ClickAt(window, ButtonCentre(record, record.buttons.size()));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(skin_.table().size(), 0u);
}

// The names in the Windows folder, to tell whether something was written there.
std::vector<std::string> WindowsFolder() {
    char folder[MAX_PATH];
    GetWindowsDirectoryA(folder, MAX_PATH);
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((std::string(folder) + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do names.push_back(found.cFileName + std::to_string(found.nFileSizeLow));
    while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

TEST_F(SkinEngineTest, LeavingTheApplicationWritesNothingAndStartsNothing) {
    HWND window = Window();
    skin_.SkinWindow(window);
    const std::vector<std::string> before = WindowsFolder();
    SendMessageA(window, WM_ACTIVATEAPP, FALSE, 0);
    SendMessageA(window, WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_EQ(WindowsFolder(), before);
}

}  // namespace

namespace {

// One life of a skinned window: skinned, painted, its children given backgrounds, its buttons hovered and
// pressed, then destroyed. Not shown, so it goes without the wait a shown window's withdrawal takes.
void SkinnedWindowLife(SkinEngine& skin) {
    HWND window = MakePlainWindow(100, 100, 400, 300);
    HWND label = CreateWindowExA(WS_EX_TRANSPARENT, "Static", "label", WS_CHILD | WS_VISIBLE, 10, 200, 80, 20,
                                 window, nullptr, nullptr, nullptr);
    skin.SkinWindow(window);
    WindowRecord& record = *skin.table().RecordOf(window);
    Frame frame(skin, record);
    frame.Paint(nullptr);
    frame.SeeThroughBrush(label);
    SetWindowPos(window, nullptr, 0, 0, 380, 280, SWP_NOMOVE | SWP_NOZORDER);
    frame.Paint(nullptr);
    frame.SeeThroughBrush(label);
    frame.DrawButton(1, 120);
    frame.DrawPressedButton(3);
    frame.DrawTitle(nullptr);
    DestroyWindow(window);
}

TEST(SkinnedWindowLives, LeaveNoGdiObjectsWindowsOrMemoryBehind) {
    SkinEngine skin;
    skin.SetProgramSkin(EmbeddedImage(SkinImage::Background), RGB(25, 0, 0), RGB(0, 0x88, 0xFF),
                        BackgroundMode::Stretched);
    skin.SetOptions(true, 25);
    for (int i = 0; i < 5; ++i) SkinnedWindowLife(skin);  // caches and first-use allocations settle
    const long gdi_before = GdiObjectsLeft();
    const int windows_before = ThreadWindowCount();
    const size_t memory_before = PrivateBytes();
    for (int i = 0; i < 50; ++i) SkinnedWindowLife(skin);
    EXPECT_GE(GdiObjectsLeft(), gdi_before - 5);  // a leak of one object a life shows ten times over
    EXPECT_EQ(ThreadWindowCount(), windows_before);
    EXPECT_LT(PrivateBytes(), memory_before + 8 * 1024 * 1024);
    EXPECT_EQ(skin.table().size(), 0u);
}

}  // namespace
