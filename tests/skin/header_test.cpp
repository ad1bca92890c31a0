// The skinned column header of a list view on a real window under Wine and Xvfb: its faces read back from the
// screen, the items under the mouse, and the image list it only borrows.
#include "skin/header.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include "tests/skin/skin_window.h"

namespace {

constexpr RECT kFormPlace{40, 300, 640, 600};
constexpr int kColumnWidth = 100;

class HeaderTest : public SkinnedForm {
  protected:
    HeaderTest() : SkinnedForm(kFormPlace) {}

    // A report list view with three columns of kColumnWidth, skinned with its window; its header.
    HWND ShowList(DWORD style = 0) {
        list_ = Child(WC_LISTVIEWA, "", LVS_REPORT | style, {20, 40, 580, 280}, WS_EX_CLIENTEDGE);
        for (int column = 0; column < 3; ++column) {
            LVCOLUMNA header{
                LVCF_TEXT | LVCF_WIDTH, 0, kColumnWidth, const_cast<char*>("序列号"), 0, 0, 0, 0};
            SendMessageA(list_, LVM_INSERTCOLUMNA, static_cast<WPARAM>(column),
                         reinterpret_cast<LPARAM>(&header));
        }
        SkinAndShow();
        header_ = reinterpret_cast<HWND>(SendMessageA(list_, LVM_GETHEADER, 0, 0));
        EXPECT_NE(skin_.ChildRecord(header_, ChildClass::Header), nullptr);
        return header_;
    }

    COLORREF HeaderPixel(int x, int y) const {
        const RECT area = ClientArea(header_);
        return ScreenPixel(area.left + x, area.top + y);
    }
    int HeaderHeight() const {
        const RECT area = ClientArea(header_);
        return area.bottom - area.top;
    }

    HWND list_ = nullptr, header_ = nullptr;
};

TEST_F(HeaderTest, AnItemIsHotOnlyFivePixelsAwayFromItsDividers) {
    ShowList();
    EXPECT_EQ(HotItemAt(header_, 50), 1);
    EXPECT_EQ(HotItemAt(header_, kColumnWidth - 5), 1);
    EXPECT_EQ(HotItemAt(header_, kColumnWidth - 3), 0);
    EXPECT_EQ(HotItemAt(header_, kColumnWidth + 3), 0);
    EXPECT_EQ(HotItemAt(header_, kColumnWidth + 5), 2);
    EXPECT_EQ(HotItemAt(header_, 3 * kColumnWidth + 50), 0);  // right of the last item

    // On the screen: the mouse 3 pixels from a divider lights no item; 10 pixels from it, the item.
    const int y = HeaderHeight() - 3;
    ASSERT_TRUE(ScreenShows([&] { return Blueness(HeaderPixel(30, y)) > 20; }));
    const COLORREF plain = HeaderPixel(30, y);
    SendMessageA(header_, WM_MOUSEMOVE, 0, MAKELPARAM(kColumnWidth - 3, 5));
    PumpUntil([] { return false; }, 200);
    EXPECT_EQ(HeaderPixel(30, y), plain);
    SendMessageA(header_, WM_MOUSEMOVE, 0, MAKELPARAM(kColumnWidth - 10, 5));
    EXPECT_TRUE(ScreenShows([&] { return HeaderPixel(30, y) != plain; }));
    EXPECT_EQ(HeaderPixel(kColumnWidth + 30, y), plain);
    SendMessageA(header_, WM_MOUSELEAVE, 0, 0);
    EXPECT_TRUE(ScreenShows([&] { return HeaderPixel(30, y) == plain; }));
}

TEST_F(HeaderTest, TheFaceIsAThemeGradientThatReachesTheListsRightEdge) {
    ShowList();
    const int h = HeaderHeight();
    ASSERT_TRUE(
        ScreenShows([&] { return Blueness(HeaderPixel(30, h - 2)) > Blueness(HeaderPixel(30, 1)) + 20; }));
    // Beyond the last column the face goes on: the last item is painted to the edge.
    const int beyond = 3 * kColumnWidth + 100;
    EXPECT_LT(std::abs(Blueness(HeaderPixel(beyond, h - 2)) - Blueness(HeaderPixel(30, h - 2))), 10);
}

TEST_F(HeaderTest, AHeaderWithoutButtonsShowsNoHotFace) {
    ShowList(LVS_NOSORTHEADER);
    ASSERT_FALSE(GetWindowLongPtrA(header_, GWL_STYLE) & HDS_BUTTONS);
    const int y = HeaderHeight() - 3;
    PumpUntil([] { return false; }, 300);
    const COLORREF plain = HeaderPixel(30, y);
    SendMessageA(header_, WM_MOUSEMOVE, 0, MAKELPARAM(50, 5));
    PumpUntil([] { return false; }, 200);
    EXPECT_EQ(HeaderPixel(30, y), plain);
}

TEST_F(HeaderTest, TheImageListStaysItsOwnersAfterTheHeaderIsGone) {
    HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1);
    HICON icon = MakeSolidIcon(RGB(250, 20, 20));
    ImageList_AddIcon(images, icon);
    DestroyIcon(icon);
    ShowList();
    SendMessageA(header_, HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    HDITEMA item{};
    item.mask = HDI_FORMAT | HDI_IMAGE;
    item.fmt = HDF_STRING | HDF_IMAGE;
    item.iImage = 0;
    SendMessageA(header_, HDM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    InvalidateRect(header_, nullptr, FALSE);
    // The image is drawn in the first item, left of its title.
    EXPECT_TRUE(ScreenShows([&] { return HeaderPixel(12, HeaderHeight() / 2) == RGB(250, 20, 20); }));

    DestroyWindow(window_);
    EXPECT_EQ(ImageList_GetImageCount(images), 1);
    EXPECT_TRUE(ImageList_Destroy(images));
}

}  // namespace
