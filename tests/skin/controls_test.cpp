// The skinned push buttons, check boxes, edit boxes and combo boxes of a real window under Wine and Xvfb:
// which controls the skin takes, and what the screen shows of them in every state a user puts them in.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "skin/button.h"
#include "skin/check_box.h"
#include "skin/combo_box.h"
#include "skin/edit_box.h"
#include "skin/paint_primitives.h"
#include "skin/skin_images.h"
#include "tests/skin/skin_window.h"

namespace {

constexpr int kLeft = 300, kTop = 250, kWidth = 440, kHeight = 240;
// Where the controls of each test sit in the window.
constexpr RECT kButtonPlace{20, 50, 100, 76}, kCheckBoxPlace{20, 100, 160, 124}, kEditPlace{20, 150, 140, 170},
    kComboPlace{200, 50, 300, 70}, kScrolledPlace{200, 100, 360, 180};

// The controls at kLeft, kTop, as a program puts them on its window.
class SkinnedControls : public SkinnedForm {
  protected:
    SkinnedControls() : SkinnedForm(kLeft, kTop, kWidth, kHeight) {}
};

TEST_F(SkinnedControls, EachInstallerTakesItsControlsOnceAndLeavesTheOthersAlone) {
    HWND push = Child("Button", "推", BS_PUSHBUTTON, {10, 10, 60, 30});
    HWND default_push = Child("Button", "默认", BS_DEFPUSHBUTTON, {70, 10, 120, 30});
    HWND owner_drawn = Child("Button", "", BS_OWNERDRAW, {130, 10, 180, 30});
    HWND check = Child("Button", "选", BS_AUTOCHECKBOX, {10, 40, 80, 60});
    HWND three_state = Child("Button", "三", BS_AUTO3STATE, {90, 40, 160, 60});
    HWND group = Child("Button", "组", BS_GROUPBOX, {10, 70, 160, 120});
    HWND radio = Child("Button", "自动", BS_AUTORADIOBUTTON, {10, 130, 80, 150});
    HWND manual_radio = Child("Button", "手动", BS_RADIOBUTTON, {90, 130, 160, 150});
    HWND edit = Child("Edit", "", 0, {200, 10, 300, 30}, WS_EX_CLIENTEDGE);
    HWND combo = Child("ComboBox", "", CBS_DROPDOWN, {200, 40, 300, 140});
    skin_.SkinWindow(window_);

    for (HWND taken : {push, default_push, check, radio}) EXPECT_NE(skin_.ChildRecord(taken, ChildClass::Button), nullptr);
    for (HWND left : {owner_drawn, three_state, group, manual_radio})
        EXPECT_EQ(skin_.ChildRecord(left, ChildClass::Button), nullptr);
    EXPECT_EQ(skin_.ChildRecord(push, ChildClass::Button)->kind, kPushButton);
    EXPECT_EQ(skin_.ChildRecord(check, ChildClass::Button)->kind, kCheckBox);
    EXPECT_EQ(skin_.ChildRecord(radio, ChildClass::Button)->kind, kRadioButton);
    // Push buttons become owner-drawn; the others keep their style and with it their behaviour.
    EXPECT_EQ(GetWindowLongPtrA(push, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    EXPECT_EQ(GetWindowLongPtrA(default_push, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    EXPECT_EQ(GetWindowLongPtrA(check, GWL_STYLE) & BS_TYPEMASK, BS_AUTOCHECKBOX);
    EXPECT_NE(skin_.ChildRecord(edit, ChildClass::Edit), nullptr);
    EXPECT_NE(skin_.ChildRecord(combo, ChildClass::Combo), nullptr);
    // With see-through children the combo box's own edit field is an edit box of the skin too.
    EXPECT_NE(skin_.ChildRecord(FindWindowExA(combo, nullptr, "Edit", nullptr), ChildClass::Edit), nullptr);

    // Installing again takes nothing twice: a second subclass would make the skin its own previous procedure.
    const size_t window_index = skin_.table().Find(window_);
    const auto procedure_of = [](HWND child) { return GetWindowLongPtrA(child, GWLP_WNDPROC); };
    const LONG_PTR edit_procedure = procedure_of(edit), combo_procedure = procedure_of(combo);
    InstallPushButtons(skin_, window_index, window_);
    InstallCheckBoxes(skin_, window_index, window_);
    InstallEditBoxes(skin_, window_index, window_);
    InstallComboBoxes(skin_, window_index, window_);
    const WindowRecord& record = *skin_.table().RecordOf(window_);
    EXPECT_EQ(record.children[static_cast<size_t>(ChildClass::Button)].size(), 4u);
    EXPECT_EQ(record.children[static_cast<size_t>(ChildClass::Edit)].size(), 2u);
    EXPECT_EQ(record.children[static_cast<size_t>(ChildClass::Combo)].size(), 1u);
    for (HWND child : {push, check, edit, combo})
        EXPECT_NE(reinterpret_cast<LONG_PTR>(PreviousProcedure(child)), procedure_of(child));
    EXPECT_EQ(procedure_of(edit), edit_procedure);
    EXPECT_EQ(procedure_of(combo), combo_procedure);
}

TEST_F(SkinnedControls, APushButtonShowsItsHoverPressedFocusAndDisabledFaces) {
    HWND button = Child("Button", "开始", BS_PUSHBUTTON | WS_TABSTOP, kButtonPlace);
    SkinAndShow();
    const int x = Width(kButtonPlace) / 4, y = 5;  // the upper half of the face, clear of the text
    const COLORREF plain = Pixel(kButtonPlace, x, y);
    // The face is the skin's: the window background shows through it, lighter.
    EXPECT_GT(Brightness(plain), Brightness(FramePixel(*record_, kButtonPlace.left + x, kButtonPlace.top + y)));

    SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    EXPECT_TRUE(ScreenShows([&] { return Blueness(Pixel(kButtonPlace, x, y)) > Blueness(plain) + 15; }));
    SendMessageA(button, WM_MOUSELEAVE, 0, 0);
    EXPECT_TRUE(ScreenShows([&] { return Pixel(kButtonPlace, x, y) == plain; }));

    SendMessageA(button, BM_SETSTATE, TRUE, 0);
    EXPECT_TRUE(ScreenShows([&] { return Pixel(kButtonPlace, x, y) != plain; }));
    SendMessageA(button, BM_SETSTATE, FALSE, 0);
    EXPECT_TRUE(ScreenShows([&] { return Pixel(kButtonPlace, x, y) == plain; }));

    const COLORREF edge = Pixel(kButtonPlace, Width(kButtonPlace) / 2, 0);
    SetFocus(button);
    EXPECT_TRUE(ScreenShows([&] { return Pixel(kButtonPlace, Width(kButtonPlace) / 2, 0) != edge; }));
    SetFocus(window_);

    EnableWindow(button, FALSE);
    EXPECT_TRUE(ScreenShows([&] {
        const COLORREF grey = Pixel(kButtonPlace, x, Height(kButtonPlace) / 2);
        return std::abs(GetRValue(grey) - GetBValue(grey)) < 12 && Brightness(grey) > 150;
    }));
}

TEST_F(SkinnedControls, ADoubleClickOnAButtonIsOneClick) {
    HWND button = Child("Button", "开始", BS_PUSHBUTTON, kButtonPlace);
    SkinAndShow();
    const LPARAM at = MAKELPARAM(10, 10);
    SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(button, WM_LBUTTONUP, 0, at);
    SendMessageA(button, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageA(button, WM_LBUTTONUP, 0, at);
    EXPECT_EQ(seen_.button_clicks, 1);
}

TEST_F(SkinnedControls, ACheckBoxShowsItsMarkItsHoverItsFocusAndItsDisabledFace) {
    HWND box = Child("Button", "不显示查找为空", BS_AUTOCHECKBOX | WS_TABSTOP, kCheckBoxPlace);
    HWND other = Child("Button", "开始", BS_PUSHBUTTON | WS_TABSTOP, kButtonPlace);
    SkinAndShow();
    const int y0 = (Height(kCheckBoxPlace) - 13) / 2;
    const auto mark = [&] { return Pixel(kCheckBoxPlace, 5, y0 + 8); };  // a pixel of the check mark's stroke
    const auto box_inside = [&] { return Pixel(kCheckBoxPlace, 9, y0 + 10); };  // inside the box, off the mark
    EXPECT_TRUE(ScreenShows([&] { return Brightness(mark()) > 200; }));
    const COLORREF plain_inside = box_inside();

    // A click goes through the system, which toggles the box; the skin shows the new state at once.
    SendMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 10));
    SendMessageA(box, WM_LBUTTONUP, 0, MAKELPARAM(5, 10));
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(ScreenShows([&] { return Brightness(mark()) < 100; }));
    SendMessageA(box, BM_SETCHECK, BST_UNCHECKED, 0);
    EXPECT_TRUE(ScreenShows([&] { return Brightness(mark()) > 200; }));

    SendMessageA(box, WM_MOUSEMOVE, 0, MAKELPARAM(5, 10));
    EXPECT_TRUE(ScreenShows([&] { return Blueness(box_inside()) > Blueness(plain_inside) + 20; }));
    SendMessageA(box, WM_MOUSELEAVE, 0, 0);
    EXPECT_TRUE(ScreenShows([&] { return box_inside() == plain_inside; }));

    // With the keyboard focus the text wears the skin's azure glow around it, and loses it with the focus.
    const RECT around_text{kCheckBoxPlace.left + 15, kCheckBoxPlace.top, kCheckBoxPlace.right, kCheckBoxPlace.bottom};
    const auto glowing = [&] {
        int azure = 0;
        for (COLORREF c : WindowPixels(window_, around_text))
            azure += GetBValue(c) > GetRValue(c) + 60 && GetGValue(c) > GetRValue(c) + 60;
        return azure;
    };
    SetFocus(other);  // the click gave the box the focus
    int unfocused = 0;
    ASSERT_TRUE(ScreenShows([&] { return (unfocused = glowing()) < 20; })) << unfocused;
    SetFocus(box);
    EXPECT_TRUE(ScreenShows([&] { return glowing() > unfocused + 200; })) << glowing();
    SetFocus(other);
    EXPECT_TRUE(ScreenShows([&] { return glowing() == unfocused; })) << glowing();

    // Disabled, it shows the grey face and no glyph, even checked; the system's own look never stays.
    SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);
    EnableWindow(box, FALSE);
    EXPECT_TRUE(ScreenShows([&] {
        const COLORREF where_the_mark_was = mark();
        return Brightness(where_the_mark_was) > 150 && Brightness(where_the_mark_was) < 230 &&
               std::abs(GetRValue(where_the_mark_was) - GetBValue(where_the_mark_was)) < 12;
    }));
    EnableWindow(box, TRUE);
    EXPECT_TRUE(ScreenShows([&] { return Brightness(mark()) < 100; }));
}

TEST_F(SkinnedControls, AnEditBoxShowsTheVeiledBackgroundThroughTypingSelectingAndDeleting) {
    HWND edit = Child("Edit", "", ES_AUTOHSCROLL | WS_TABSTOP, kEditPlace, WS_EX_CLIENTEDGE);
    HWND other = Child("Button", "开始", BS_PUSHBUTTON | WS_TABSTOP, kButtonPlace);
    SkinAndShow();
    RECT client;
    GetClientRect(edit, &client);
    POINT origin{0, 0};
    MapWindowPoints(edit, window_, &origin, 1);
    // Every pixel of the text area shows the frame under it through the veil.
    const auto background_only = [&] {
        for (int y = 0; y < client.bottom; ++y)
            for (int x = 0; x < client.right; ++x) {
                const int wx = origin.x + x, wy = origin.y + y;
                if (!Near(WindowPixel(window_, wx, wy), Veiled(FramePixel(*record_, wx, wy), 25), 6)) return false;
            }
        return true;
    };
    EXPECT_TRUE(ScreenShows(background_only));

    SetFocus(edit);
    for (const char c : std::string("the skin never leaves old text behind when it scrolls"))
        SendMessageA(edit, WM_CHAR, static_cast<WPARAM>(c), 1);
    const LPARAM start = MAKELPARAM(2, client.bottom / 2), end = MAKELPARAM(client.right - 4, client.bottom / 2);
    SendMessageA(edit, WM_LBUTTONDOWN, MK_LBUTTON, start);
    SendMessageA(edit, WM_MOUSEMOVE, MK_LBUTTON, end);
    SendMessageA(edit, WM_LBUTTONUP, 0, end);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SendMessageA(edit, WM_CHAR, VK_BACK, 1);
    ASSERT_EQ(GetWindowTextLengthA(edit), 0);
    SetFocus(other);  // no caret
    Settle();
    EXPECT_TRUE(ScreenShows(background_only));
}

TEST_F(SkinnedControls, AnEditBoxFrameShowsTheFocusAndTheMouseAndLeavesScrollBarsToTheSystem) {
    HWND edit = Child("Edit", "", ES_AUTOHSCROLL | WS_TABSTOP, kEditPlace, WS_EX_CLIENTEDGE);
    HWND scrolled = Child("Edit", "一\r\n二\r\n三\r\n四\r\n五\r\n六\r\n七\r\n八\r\n九",
                          ES_MULTILINE | WS_VSCROLL | WS_TABSTOP, kScrolledPlace, WS_EX_CLIENTEDGE);
    HWND other = Child("Button", "开始", BS_PUSHBUTTON | WS_TABSTOP, kButtonPlace);
    SkinAndShow();
    const auto edge = [&] { return Pixel(kEditPlace, 0, Height(kEditPlace) / 2); };
    const auto ring = [&] { return Pixel(kEditPlace, 1, Height(kEditPlace) / 2); };
    EXPECT_TRUE(ScreenShows([&] { return Blueness(edge()) < 40; }));
    const COLORREF plain_ring = ring();

    SetFocus(edit);
    EXPECT_TRUE(ScreenShows([&] { return Blueness(edge()) > 60; }));
    SetFocus(other);
    EXPECT_TRUE(ScreenShows([&] { return Blueness(edge()) < 40; }));

    SendMessageA(edit, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(ScreenShows([&] { return Blueness(ring()) > Blueness(plain_ring) + 40; }));
    SendMessageA(edit, WM_MOUSELEAVE, 0, 0);
    EXPECT_TRUE(ScreenShows([&] { return ring() == plain_ring; }));

    // The scroll bar keeps the system's look (its arrow is drawn), the strip around it is the skin's.
    RedrawWindow(scrolled, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    SCROLLBARINFO bar{sizeof bar};
    ASSERT_TRUE(GetScrollBarInfo(scrolled, OBJID_VSCROLL, &bar));
    MapWindowPoints(HWND_DESKTOP, window_, reinterpret_cast<POINT*>(&bar.rcScrollBar), 2);
    const RECT arrow{bar.rcScrollBar.left, bar.rcScrollBar.top, bar.rcScrollBar.right,
                     bar.rcScrollBar.top + (bar.rcScrollBar.right - bar.rcScrollBar.left)};
    EXPECT_TRUE(ScreenShows([&] {
        for (COLORREF c : WindowPixels(window_, arrow))
            if (Brightness(c) < 110) return true;
        return false;
    }));
    const int left_strip = kScrolledPlace.left, middle = (kScrolledPlace.top + kScrolledPlace.bottom) / 2;
    EXPECT_TRUE(ScreenShows([&] {
        return Near(WindowPixel(window_, left_strip + 1, middle), Veiled(FramePixel(*record_, left_strip + 1, middle), 25), 6);
    }));
}

TEST_F(SkinnedControls, DisabledEditAndComboBoxesShowAGreyFieldWithGreyedTextUntilEnabledAgain) {
    HWND edit = Child("Edit", "12345", ES_AUTOHSCROLL, kEditPlace, WS_EX_CLIENTEDGE);
    HWND list = Child("ComboBox", "", CBS_DROPDOWNLIST | WS_VSCROLL,
                      {kComboPlace.left, kComboPlace.top, kComboPlace.right, kComboPlace.top + 200});
    const RECT typed_place{kComboPlace.left, kComboPlace.top + 50, kComboPlace.right, kComboPlace.top + 250};
    HWND typed = Child("ComboBox", "", CBS_DROPDOWN | WS_VSCROLL, typed_place);
    for (HWND combo : {list, typed})
        for (const char* item : {"序列号", "标题"})
            SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SendMessageA(list, CB_SETCURSEL, 1, 0);
    SendMessageA(typed, CB_SETCURSEL, 1, 0);
    SkinAndShow();
    // A control's pixels: how many are as dark as enabled text, how many of its text (on the left, inside the
    // frame) are greyed, and how many show the grey field.
    struct Look {
        int black = 0, grey = 0, field = 0;
    };
    const auto look = [&](HWND control) {
        Look seen;
        const RECT area = WindowArea(control);
        const int w = Width(area), h = Height(area);
        const std::vector<DWORD> pixels = ScreenPixels(area);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const DWORD c = pixels[static_cast<size_t>(y * w + x)];
                const COLORREF colour = RGB(GetBValue(c), GetGValue(c), GetRValue(c));  // the copy holds BGR
                const bool text_area = x >= 3 && x < w * 6 / 10 && y >= 3 && y < h - 3;
                seen.black += Brightness(colour) < 60;
                seen.grey += text_area && Brightness(colour) >= 60 && Brightness(colour) < 200;
                seen.field += colour == kDisabledFieldColour;
            }
        return seen;
    };
    COMBOBOXINFO info{sizeof info};
    ASSERT_TRUE(GetComboBoxInfo(list, &info));
    const POINT in_button{(info.rcButton.left + info.rcButton.right) / 2, info.rcButton.bottom - 3};
    const auto button = [&] { return Pixel(list, in_button.x, in_button.y); };
    for (HWND control : {edit, list, typed})
        EXPECT_TRUE(ScreenShows([&] { return look(control).black > 10; })) << ClassName(control);
    const COLORREF lit_button = button();
    EXPECT_GT(Blueness(lit_button), 40);

    for (HWND control : {edit, list, typed}) EnableWindow(control, FALSE);
    for (HWND control : {edit, list, typed}) {
        EXPECT_TRUE(ScreenShows([&] {
            const Look seen = look(control);
            const RECT area = WindowArea(control);
            // Text in grey, none black, on a field of grey that covers most of the control, frame included.
            return seen.black == 0 && seen.grey > 20 && seen.field > Width(area) * Height(area) / 2;
        })) << ClassName(control) << " " << look(control).black << " " << look(control).grey << " "
            << look(control).field;
    }
    EXPECT_LT(Blueness(button()), 15);  // the drop-down button is greyed too

    for (HWND control : {edit, list, typed}) EnableWindow(control, TRUE);
    for (HWND control : {edit, list, typed})
        EXPECT_TRUE(ScreenShows([&] { return look(control).black > 10 && look(control).field == 0; }))
            << ClassName(control);
    EXPECT_TRUE(ScreenShows([&] { return button() == lit_button; }));
}

TEST_F(SkinnedControls, AComboBoxShowsItsButtonAndItsSelectionAfterEveryChange) {
    HWND combo = Child("ComboBox", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP,
                       {kComboPlace.left, kComboPlace.top, kComboPlace.right, kComboPlace.top + 200});
    for (const char* item : {"序列号", "标题", "UID", "用户名"})
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    SkinAndShow();
    RECT field;
    GetWindowRect(combo, &field);
    MapWindowPoints(HWND_DESKTOP, window_, reinterpret_cast<POINT*>(&field), 2);
    COMBOBOXINFO info{sizeof info};
    ASSERT_TRUE(GetComboBoxInfo(combo, &info));
    const RECT text_area{field.left + 2, field.top + 2, field.left + info.rcButton.left - 2, field.bottom - 2};
    const POINT in_button{field.left + (info.rcButton.left + info.rcButton.right) / 2, field.top + info.rcButton.bottom - 3};
    const auto dark_pixels = [&] {
        int dark = 0;
        for (COLORREF c : WindowPixels(window_, text_area)) dark += Brightness(c) < 100;
        return dark;
    };
    // The selected item's text, drawn by the skin, and the theme-tinted drop-down button.
    EXPECT_TRUE(ScreenShows([&] { return dark_pixels() > 20; }));
    EXPECT_GT(Blueness(WindowPixel(window_, in_button.x, in_button.y)), 40);

    // A change of selection by the keyboard and by the program shows as a full repaint would show it.
    const auto shows_as_repainted = [&] {
        const std::vector<COLORREF> now = WindowPixels(window_, field);
        RedrawWindow(combo, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        Settle();
        return now == WindowPixels(window_, field);
    };
    const std::vector<COLORREF> first = WindowPixels(window_, field);
    SetFocus(combo);
    SendMessageA(combo, WM_KEYDOWN, VK_DOWN, 1);
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 1);
    Settle();
    EXPECT_NE(WindowPixels(window_, field), first);
    EXPECT_TRUE(shows_as_repainted());
    SendMessageA(combo, CB_SETCURSEL, 3, 0);
    Settle();
    EXPECT_TRUE(shows_as_repainted());
}

}  // namespace
