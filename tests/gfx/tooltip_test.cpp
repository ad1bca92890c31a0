// Tooltip wrapper: window creation, tools added, moved, retitled and removed, and the window's lifetime.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "gfx/tooltip.h"

namespace {

// A top-level window with one push button on it, destroyed with the fixture.
class GfxTooltipTest : public testing::Test {
  protected:
    void SetUp() override {
        window_ = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window_, nullptr);
        button_ = CreateWindowExA(0, "BUTTON", "ok", WS_CHILD | WS_VISIBLE, 10, 10, 80, 24, window_, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(button_, nullptr);
    }
    void TearDown() override {
        if (IsWindow(window_)) DestroyWindow(window_);
    }

    HWND window_ = nullptr;
    HWND button_ = nullptr;
};

TOOLINFOA ToolQuery(HWND owner, UINT_PTR id, char* text) {
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.hwnd = owner;
    tool.uId = id;
    tool.lpszText = text;
    return tool;
}

LRESULT ToolCount(HWND tooltip) {
    return SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0);
}

std::string ToolText(HWND tooltip, HWND owner, UINT_PTR id) {
    char text[256] = {};
    TOOLINFOA tool = ToolQuery(owner, id, text);
    SendMessageA(tooltip, TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&tool));
    return text;
}

RECT ToolRect(HWND tooltip, HWND owner, UINT_PTR id) {
    char text[256] = {};
    TOOLINFOA tool = ToolQuery(owner, id, text);
    EXPECT_TRUE(SendMessageA(tooltip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool)));
    return tool.rect;
}

TEST_F(GfxTooltipTest, CreatesAToolTipWindowOnlyWhenAsked) {
    GfxTooltip tooltip;
    EXPECT_EQ(tooltip.GetHandle(), nullptr);

    HWND plain = tooltip.Create(button_);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(tooltip.GetHandle(), plain);
    char class_name[64] = {};
    GetClassNameA(plain, class_name, sizeof(class_name));
    EXPECT_STRCASEEQ(class_name, TOOLTIPS_CLASSA);
    LONG_PTR style = GetWindowLongPtrA(plain, GWL_STYLE);
    EXPECT_TRUE(style & TTS_ALWAYSTIP);
    EXPECT_FALSE(style & TTS_BALLOON);

    GfxTooltip balloon;
    ASSERT_NE(balloon.Create(window_, true), nullptr);
    EXPECT_TRUE(GetWindowLongPtrA(balloon.GetHandle(), GWL_STYLE) & TTS_BALLOON);

    // Creating again replaces the first window.
    HWND second = tooltip.Create(button_);
    EXPECT_FALSE(IsWindow(plain));
    EXPECT_TRUE(IsWindow(second));
}

TEST_F(GfxTooltipTest, ToolsAreAddedMovedRetitledAndRemoved) {
    GfxTooltip tooltip;
    ASSERT_NE(tooltip.Create(window_), nullptr);
    HWND tip = tooltip.GetHandle();

    tooltip.AddTool(RECT{0, 0, 26, 18}, "关闭", 1);
    tooltip.AddTool(RECT{26, 0, 52, 18}, "最小化", 2);
    EXPECT_EQ(ToolCount(tip), 2);
    EXPECT_EQ(ToolText(tip, window_, 1), "关闭");
    EXPECT_EQ(ToolRect(tip, window_, 2).left, 26);

    tooltip.NewToolRect(2, RECT{100, 2, 126, 20});
    RECT moved = ToolRect(tip, window_, 2);
    EXPECT_EQ(moved.left, 100);
    EXPECT_EQ(moved.bottom, 20);

    // Replacing a hint keeps one tool and changes only its text.
    tooltip.UpdateTipText(1, "帮助");
    EXPECT_EQ(ToolCount(tip), 2);
    EXPECT_EQ(ToolText(tip, window_, 1), "帮助");

    tooltip.DelTool(2);
    EXPECT_EQ(ToolCount(tip), 1);

    tooltip.AddCallbackTool(RECT{0, 20, 10, 30}, 3);
    char text[256] = {};
    TOOLINFOA callback = ToolQuery(window_, 3, text);
    ASSERT_TRUE(SendMessageA(tip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&callback)));
    EXPECT_EQ(callback.lpszText, LPSTR_TEXTCALLBACKA);
}

TEST_F(GfxTooltipTest, TheOwnerKeepsItsProcedureAndRelayedMouseMovesShowTheTip) {
    const LONG_PTR procedure = GetWindowLongPtrA(button_, GWLP_WNDPROC);
    GfxTooltip tooltip;
    HWND tip = tooltip.Create(button_);
    ASSERT_NE(tip, nullptr);
    tooltip.AddTool(RECT{0, 0, 80, 24}, "提示", 1);
    EXPECT_EQ(GetWindowLongPtrA(button_, GWLP_WNDPROC), procedure);

    // Above other tests' windows: the tooltip shows only while the screen's cursor is over its tool.
    SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    UpdateWindow(window_);
    SendMessageA(tip, TTM_SETDELAYTIME, TTDT_INITIAL, 1);
    POINT over{40, 12};
    ClientToScreen(button_, &over);
    // The tip shows after its delay, on a timer, if the cursor is still there. The cursor is put back and,
    // every half second, the move relayed again until it shows, however loaded the machine and whatever other
    // tests do with the cursor meanwhile; each relay starts the delay anew.
    const DWORD start = GetTickCount();
    for (int round = 0; !IsWindowVisible(tip) && GetTickCount() - start < 10000; ++round) {
        SetCursorPos(over.x, over.y);
        if (round % 100 == 0) tooltip.Relay(WM_MOUSEMOVE, 0, MAKELPARAM(40, 12));
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        Sleep(5);
    }
    EXPECT_TRUE(IsWindowVisible(tip));
}

TEST_F(GfxTooltipTest, TheObjectOwnsItsWindow) {
    HWND tip = nullptr;
    {
        GfxTooltip first;
        tip = first.Create(button_);
        ASSERT_NE(tip, nullptr);
        GfxTooltip second(std::move(first));
        EXPECT_EQ(first.GetHandle(), nullptr);
        EXPECT_EQ(second.GetHandle(), tip);
        EXPECT_TRUE(IsWindow(tip));
    }
    EXPECT_FALSE(IsWindow(tip));

    // When the owner's window goes first, the tooltip goes with it and the object's end is harmless.
    GfxTooltip orphan;
    tip = orphan.Create(button_);
    orphan.AddTool(RECT{0, 0, 80, 24}, "提示", 1);
    DestroyWindow(window_);
    EXPECT_FALSE(IsWindow(tip));
}

}  // namespace
