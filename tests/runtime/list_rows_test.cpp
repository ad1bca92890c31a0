// The list operations on a virtual report list view under Wine: what they store, what the list view shows,
// and how selection follows deletions.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "runtime/window.h"

namespace {

constexpr ControlName kList{"列表"};

class ListOperations : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(form_.Create(nullptr, SW_SHOWNORMAL));
        list_ = form_[kList];
        for (int i = 0; i < 5; ++i) list_.AppendColumn("c", 60);
    }

    // The text the list view itself shows for a cell.
    std::string Shown(int row, int column) {
        char text[256] = {};
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(list_.hwnd(), LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&item));
        return text;
    }

    FormWindow form_{FormDescription{"t",
                                     10,
                                     10,
                                     500,
                                     400,
                                     {-12, FW_NORMAL, GB2312_CHARSET, ""},
                                     {{kList, ControlKind::ListView, 0, 0, 480, 380, "", {}, {}, {}}},
                                     {},
                                     {}}};
    Control list_;
};

TEST_F(ListOperations, StoreAndShowCells) {
    EXPECT_EQ(list_.AppendRow(), 0);
    EXPECT_EQ(list_.AppendRow({"7", "标题", "42", "作者", "http://x/thread-7-1-1.html"}), 1);
    list_.SetCell(0, 1, "第一行");
    EXPECT_EQ(list_.RowCount(), 2);
    EXPECT_EQ(list_.Cell(0, 1), "第一行");
    EXPECT_EQ(Shown(0, 1), "第一行");
    EXPECT_EQ(Shown(1, 3), "作者");
    EXPECT_EQ(ListView_GetItemCount(list_.hwnd()), 2);

    // Missing rows and columns read as empty and ignore writes.
    list_.SetCell(5, 1, "x");
    list_.SetCell(0, 9, "x");
    list_.SetCell(-1, 0, "x");
    EXPECT_EQ(list_.Cell(5, 1), "");
    EXPECT_EQ(list_.Cell(0, 5), "");
    EXPECT_EQ(list_.Cell(-1, 0), "");
    EXPECT_EQ(list_.RowCount(), 2);
}

TEST_F(ListOperations, SelectionFollowsDeletionsAndClears) {
    for (int i = 0; i < 4; ++i) list_.AppendRow({std::to_string(i)});
    EXPECT_EQ(list_.Selection(), -1);
    list_.SetSelection(-3);  // ignored
    EXPECT_EQ(list_.Selection(), -1);
    list_.SetSelection(2);
    EXPECT_EQ(list_.Selection(), 2);
    EXPECT_EQ(ListView_GetNextItem(list_.hwnd(), -1, LVNI_FOCUSED), 2);

    list_.DeleteRow(0);  // the selected row moves up with its cells
    EXPECT_EQ(list_.Selection(), 1);
    EXPECT_EQ(list_.Cell(1, 0), "2");
    list_.DeleteRow(1);
    EXPECT_EQ(list_.Selection(), -1);
    EXPECT_EQ(list_.RowCount(), 2);
    EXPECT_EQ(ListView_GetItemCount(list_.hwnd()), 2);

    list_.SetSelection(0);
    list_.ReplaceRows(ShareRows({{"a"}, {"b"}, {"c"}}));
    EXPECT_EQ(list_.Selection(), -1);
    EXPECT_EQ(Shown(2, 0), "c");
    list_.DeleteAllRows();
    EXPECT_EQ(list_.RowCount(), 0);
    EXPECT_EQ(ListView_GetItemCount(list_.hwnd()), 0);
}

TEST_F(ListOperations, KeysMoveTheOneSelectedRowAndLeaveItAtTheEnds) {
    std::vector<ListRow> rows(100);
    list_.AppendRows(ShareRows(std::move(rows)));
    list_.SetSelection(50);
    struct Step {
        WPARAM key;
        int selected;  // -1: somewhere past the row before
    };
    const int page = ListView_GetCountPerPage(list_.hwnd());
    ASSERT_GE(page, 2);
    int before = 50;
    for (const Step step : {Step{VK_DOWN, 51}, Step{VK_NEXT, -1}, Step{VK_END, 99}, Step{VK_DOWN, 99},
                            Step{VK_NEXT, 99}, Step{VK_END, 99}, Step{VK_UP, 98}, Step{VK_HOME, 0},
                            Step{VK_UP, 0}, Step{VK_PRIOR, 0}, Step{VK_HOME, 0}}) {
        SendMessageA(list_.hwnd(), WM_KEYDOWN, step.key, 1);
        SendMessageA(list_.hwnd(), WM_KEYUP, step.key, static_cast<LPARAM>(0xC0000001));
        const int selected = list_.Selection();
        EXPECT_EQ(ListView_GetSelectedCount(list_.hwnd()), 1u) << "key " << step.key;
        EXPECT_EQ(ListView_GetNextItem(list_.hwnd(), -1, LVNI_FOCUSED), selected) << "key " << step.key;
        if (step.selected >= 0)
            EXPECT_EQ(selected, step.selected) << "key " << step.key;
        else
            EXPECT_GT(selected, before) << "key " << step.key;
        before = selected;
    }
}

TEST_F(ListOperations, HundredThousandRowsInOneOperation) {
    std::vector<ListRow> rows(100000);
    for (size_t i = 0; i < rows.size(); ++i) rows[i][0] = std::to_string(i);
    list_.AppendRows(ShareRows(std::move(rows)));
    list_.AppendRows(ShareRows({{"last"}}));
    EXPECT_EQ(ListView_GetItemCount(list_.hwnd()), 100001);
    EXPECT_EQ(Shown(99999, 0), "99999");
    EXPECT_EQ((*list_.Rows().back())[0], "last");
    ListView_EnsureVisible(list_.hwnd(), 100000, FALSE);
    EXPECT_EQ(Shown(100000, 0), "last");
}

}  // namespace
