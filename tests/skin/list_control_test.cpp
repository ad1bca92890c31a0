// Skinned list controls on a real window under Wine and Xvfb: which lists the skin takes, and the frame the
// skin and the system share, read back from the screen.
#include "skin/list_control.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>

#include "tests/skin/skin_window.h"

namespace {

constexpr RECT kFormPlace{40, 300, 640, 720};

class ListControlTest : public SkinnedForm {
  protected:
    ListControlTest() : SkinnedForm(kFormPlace) {}

    // A report list view at `place` (client coordinates of the window) with two columns of `column_width` and
    // `rows` rows, made before the window is skinned as the program's are.
    HWND AddList(DWORD style, const RECT& place, int rows, int column_width) {
        HWND list = Child(WC_LISTVIEWA, "", LVS_REPORT | style, place, WS_EX_CLIENTEDGE);
        for (int column = 0; column < 2; ++column) {
            LVCOLUMNA header{LVCF_TEXT | LVCF_WIDTH, 0, column_width, const_cast<char*>("标题"), 0, 0, 0, 0};
            SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(column),
                         reinterpret_cast<LPARAM>(&header));
        }
        for (int row = 0; row < rows; ++row) {
            std::string text = "第" + std::to_string(row) + "行";
            LVITEMA item{LVIF_TEXT, row, 0, 0, 0, text.data(), 0, 0, 0, 0, 0, 0, nullptr, nullptr, 0};
            SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        }
        return list;
    }
};

TEST_F(ListControlTest, OwnerDrawnListViewsAreLeftAloneAndSortedOnesAreSkinned) {
    // 0x10 is the sorting bit of a list view; its owner-drawn bit is another.
    HWND owner_drawn = AddList(LVS_OWNERDRAWFIXED, {10, 40, 290, 200}, 3, 100);
    HWND sorted = AddList(LVS_SORTASCENDING, {300, 40, 590, 200}, 3, 100);
    const LONG_PTR own_procedure = GetWindowLongPtrA(owner_drawn, GWLP_WNDPROC);
    SkinAndShow();
    EXPECT_EQ(skin_.ChildRecord(owner_drawn, ChildClass::List), nullptr);
    EXPECT_EQ(GetWindowLongPtrA(owner_drawn, GWLP_WNDPROC), own_procedure);
    EXPECT_NE(skin_.ChildRecord(sorted, ChildClass::List), nullptr);
}

TEST_F(ListControlTest, TheEmptyAreaAndTheRingShowTheBackgroundThroughTheVeil) {
    HWND list = AddList(0, {20, 40, 580, 400}, 3, 200);
    SkinAndShow();
    const RECT area = WindowArea(list);
    const int h = area.bottom - area.top;
    // Below the rows, and in the ring left of the client area, inside the outline.
    EXPECT_TRUE(ScreenShows([&] {
        return Near(Pixel(list, 300, h - 20), VeiledFrameUnder(list, 300, h - 20));
    })) << std::hex
        << Pixel(list, 300, h - 20) << " " << VeiledFrameUnder(list, 300, h - 20);
    EXPECT_TRUE(Near(Pixel(list, 1, h / 2), VeiledFrameUnder(list, 1, h / 2)));
    EXPECT_LT(Brightness(Pixel(list, 0, h / 2)), Brightness(VeiledFrameUnder(list, 0, h / 2)) - 20);
}

TEST_F(ListControlTest, ATreeViewShowsTheBackgroundBelowItsRowsAfterABranchOpens) {
    HWND tree = Child(WC_TREEVIEWA, "", TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | WS_BORDER, {20, 40, 300, 300});
    TVINSERTSTRUCTA insert{};
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<char*>("根");
    const auto root = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    insert.hParent = root;
    for (const char* item : {"枝一", "枝二", "枝三"}) {
        insert.item.pszText = const_cast<char*>(item);
        SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert));
    }
    SkinAndShow();
    ASSERT_NE(skin_.ChildRecord(tree, ChildClass::List), nullptr);
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
    EXPECT_TRUE(ScreenShows([&] { return Near(Pixel(tree, 130, 200), VeiledFrameUnder(tree, 130, 200)); }))
        << std::hex << Pixel(tree, 130, 200);
    // The opened branch's rows are drawn: the last of them holds dark text pixels.
    const int row = static_cast<int>(SendMessageA(tree, TVM_GETITEMHEIGHT, 0, 0));
    const auto dark_in_row = [&](int n) {
        int dark = 0;
        for (int x = 1; x < 200; ++x)
            for (int y = 1 + n * row; y < 1 + (n + 1) * row; ++y) dark += Brightness(Pixel(tree, x, y)) < 100;
        return dark;
    };
    EXPECT_TRUE(ScreenShows([&] { return dark_in_row(3) > 5; })) << dark_in_row(3);
}

TEST_F(ListControlTest, AListBoxGetsTheRingAroundTheSystemsRows) {
    HWND box = Child("ListBox", "", LBS_NOTIFY, {20, 40, 280, 300}, WS_EX_CLIENTEDGE);
    for (const char* item : {"甲", "乙", "丙"}) SendMessageA(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SkinAndShow();
    ASSERT_NE(skin_.ChildRecord(box, ChildClass::List), nullptr);
    const int h = Height(WindowArea(box));
    EXPECT_TRUE(ScreenShows([&] { return Near(Pixel(box, 1, h / 2), VeiledFrameUnder(box, 1, h / 2)); }));
    // A row selected by the program is drawn selected at once, by the system.
    SendMessageA(box, LB_SETCURSEL, 1, 0);
    const int row = static_cast<int>(SendMessageA(box, LB_GETITEMHEIGHT, 0, 0));
    EXPECT_TRUE(ScreenShows([&] { return Pixel(box, 200, 2 + row + row / 2) == GetSysColor(COLOR_HIGHLIGHT); }));
}

TEST_F(ListControlTest, TheSystemPaintsOnlyTheScrollBarsAndTheBoxBetweenThem) {
    // Columns wider than the list and more rows than it shows: both scroll bars.
    HWND list = AddList(0, {20, 40, 420, 300}, 100, 300);
    SkinAndShow();
    const LONG_PTR style = GetWindowLongPtrA(list, GWL_STYLE);
    ASSERT_TRUE((style & WS_HSCROLL) && (style & WS_VSCROLL));
    // The whole frame asked for, as the system asks (a region of 1): still only the bars are the system's.
    SendMessageA(list, WM_NCPAINT, 1, 0);
    const RECT area = WindowArea(list), client = ClientArea(list);
    const int h = area.bottom - area.top;
    EXPECT_TRUE(
        ScreenShows([&] { return Near(Pixel(list, 1, h / 2), VeiledFrameUnder(list, 1, h / 2)); }));
    // The box between the two bars is painted with them.
    const int box_x = client.right - area.left + GetSystemMetrics(SM_CXVSCROLL) / 2;
    const int box_y = client.bottom - area.top + GetSystemMetrics(SM_CYHSCROLL) / 2;
    EXPECT_EQ(Pixel(list, box_x, box_y), GetSysColor(COLOR_BTNFACE));
}

TEST_F(ListControlTest, TheListAComboBoxDropsDownIsTakenButKeepsTheSystemsFrameWithItsScrollBar) {
    HWND combo = Child("ComboBox", "", CBS_DROPDOWNLIST | WS_VSCROLL, {20, 40, 200, 200});
    HWND owner_drawn =
        Child("ComboBox", "", CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS, {220, 40, 400, 200});
    for (int item = 0; item < 30; ++item) {
        const std::string text = "第" + std::to_string(item) + "项";
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    SkinAndShow();
    COMBOBOXINFO info{sizeof info}, owner_drawn_info{sizeof owner_drawn_info};
    ASSERT_TRUE(GetComboBoxInfo(combo, &info));
    ASSERT_TRUE(GetComboBoxInfo(owner_drawn, &owner_drawn_info));
    HWND list = info.hwndList;
    ASSERT_NE(skin_.ChildRecord(list, ChildClass::List), nullptr);
    EXPECT_NE(reinterpret_cast<LONG_PTR>(PreviousProcedure(list)), GetWindowLongPtrA(list, GWLP_WNDPROC));
    EXPECT_EQ(skin_.ChildRecord(owner_drawn_info.hwndList, ChildClass::List), nullptr);
    InstallListControls(skin_, skin_.table().Find(window_), window_);
    EXPECT_EQ(record_->Children(ChildClass::List).size(), 1u);

    // Dropped, with more items than it shows: the system's frame all round, beside its scroll bar too.
    SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
    ASSERT_TRUE(ScreenShows([&] { return IsWindowVisible(list); }));
    ASSERT_TRUE(GetWindowLongPtrA(list, GWL_STYLE) & WS_VSCROLL);
    const RECT area = WindowArea(list);
    const int w = Width(area), h = Height(area);
    const COLORREF frame = GetSysColor(COLOR_WINDOWFRAME);
    const auto frame_shown = [&] {
        return Pixel(list, 0, h / 2) == frame && Pixel(list, w / 2, 0) == frame && Pixel(list, w / 4, h - 1) == frame;
    };
    EXPECT_TRUE(ScreenShows(frame_shown)) << std::hex << Pixel(list, 0, h / 2);
    // Under the mouse and with the focus it is the window's hot control, and still shows nothing of the skin.
    SendMessageA(list, WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
    EXPECT_EQ(record_->hot_child, list);
    SendMessageA(list, WM_SETFOCUS, 0, 0);
    EXPECT_TRUE(skin_.ChildRecord(list, ChildClass::List)->focused);
    Settle();
    EXPECT_TRUE(frame_shown());
    SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
}

TEST_F(ListControlTest, TheRingFollowsTheMouseAndTheFocus) {
    HWND list = AddList(0, {20, 40, 580, 400}, 3, 200);
    HWND other = AddList(0, {20, 402, 100, 418}, 0, 20);
    SkinAndShow();
    const int h = WindowArea(list).bottom - WindowArea(list).top;
    const auto themed = [](COLORREF c) { return GetBValue(c) > GetRValue(c) + 80; };
    const auto edge = [&](int x) { return Pixel(list, x, h / 2); };
    ASSERT_FALSE(themed(edge(0)));
    // The mouse over it draws a two-pixel ring in the theme colour; leaving takes it away.
    SendMessageA(list, WM_MOUSEMOVE, 0, MAKELPARAM(100, 100));
    EXPECT_TRUE(ScreenShows([&] { return themed(edge(0)) && themed(edge(1)); }));
    SendMessageA(list, WM_MOUSELEAVE, 0, 0);
    EXPECT_TRUE(ScreenShows([&] { return !themed(edge(0)) && !themed(edge(1)); }));
    // The focus draws a one-pixel outline in the theme colour.
    SetFocus(list);
    EXPECT_TRUE(ScreenShows([&] { return themed(edge(0)) && !themed(edge(1)); }));
    SetFocus(other);
    EXPECT_TRUE(ScreenShows([&] { return !themed(edge(0)); }));
}

}  // namespace
