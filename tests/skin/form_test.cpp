// The rest of the skin on a test form under Wine and Xvfb: radio buttons, containers and group boxes,
// registered windows, the text colour of single controls, image buttons, the caption buttons of a program's
// own, the status strip, docked windows, every background mode, and the lives of such forms leaving nothing
// behind.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "gfx/graphics.h"
#include "skin/button.h"
#include "skin/container.h"
#include "skin/paint_primitives.h"
#include "skin/registered_window.h"
#include "tests/skin/skin_window.h"
#include "tests/support/resource_counters.h"

namespace {

constexpr int kLeft = 320, kTop = 200, kWidth = 460, kHeight = 300;
constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kGreen = RGB(0, 200, 0);
constexpr char kPngFormat[] = "{B96B3CAF-0728-11D3-9D7B-0000F81EF32E}";

// PNG bytes of a width × height image, its left half `left` and its right half `right`.
std::string HalvesImage(int width, int height, COLORREF left, COLORREF right) {
    GfxBitmap image;
    GfxGraphics graphics;
    image.CreateBitmapFromScan0(width, height);
    graphics.FromImage(image);
    GfxSolidBrush brush;
    brush.CreateSolidFill(MakeArgb(left, 255));
    graphics.FillRectangle(brush, 0, 0, static_cast<Gdiplus::REAL>(width / 2), static_cast<Gdiplus::REAL>(height));
    brush.CreateSolidFill(MakeArgb(right, 255));
    graphics.FillRectangle(brush, static_cast<Gdiplus::REAL>(width / 2), 0, static_cast<Gdiplus::REAL>(width - width / 2),
                           static_cast<Gdiplus::REAL>(height));
    graphics.DeleteGraphics();
    return image.SaveToMemory(kPngFormat);
}

bool Reddish(COLORREF c) {
    return GetRValue(c) > GetBValue(c) + 60 && GetRValue(c) > GetGValue(c) + 60;
}
bool Bluish(COLORREF c) {
    return GetBValue(c) > GetRValue(c) + 60 && GetBValue(c) > GetGValue(c) + 60;
}

int Counting(HWND window, const RECT& area, const std::function<bool(COLORREF)>& test) {
    int count = 0;
    for (COLORREF c : WindowPixels(window, area)) count += test(c);
    return count;
}

class SkinnedFormTest : public SkinnedForm {
  protected:
    SkinnedFormTest() : SkinnedForm(kLeft, kTop, kWidth, kHeight) {}
};

TEST_F(SkinnedFormTest, RadioButtonsAreSelectedByTheMouseAndByTheSpaceKey) {
    const RECT first{20, 40, 120, 60}, second{20, 70, 120, 90};
    HWND one = Child("Button", "一", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, first);
    HWND two = Child("Button", "二", BS_AUTORADIOBUTTON, second);
    SkinAndShow();
    const int dot_y = (Height(first) - 12) / 2 + 6;
    const auto dot = [&](const RECT& place) { return Pixel(place, 8, dot_y); };
    EXPECT_TRUE(ScreenShows([&] { return GetRValue(dot(first)) > 170 && GetRValue(dot(second)) > 170; }));

    SendMessageA(two, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, dot_y));
    SendMessageA(two, WM_LBUTTONUP, 0, MAKELPARAM(8, dot_y));
    EXPECT_EQ(SendMessageA(two, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(ScreenShows([&] { return GetRValue(dot(second)) < 140 && GetRValue(dot(first)) > 170; }));

    SetFocus(one);
    SendMessageA(one, WM_KEYDOWN, VK_SPACE, 0);
    SendMessageA(one, WM_KEYUP, VK_SPACE, 0xC0000000);
    EXPECT_EQ(SendMessageA(one, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(two, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_TRUE(ScreenShows([&] { return GetRValue(dot(first)) < 140 && GetRValue(dot(second)) > 170; }));
}

TEST_F(SkinnedFormTest, ContainersShowTheirOutlineCaptionAndTintAndTheirControlsAreSkinned) {
    const RECT group_place{20, 40, 220, 140}, panel_place{240, 40, 420, 140};
    HWND group = Child("Button", "查找", BS_GROUPBOX, group_place);
    HWND inside = Child("Button", "选中", BS_AUTOCHECKBOX, {10, 20, 120, 44}, 0, group);
    HWND panel = Child("Static", "", 0, panel_place);
    HWND edit = Child("Edit", "", ES_AUTOHSCROLL, {10, 60, 150, 80}, WS_EX_CLIENTEDGE, panel);
    SkinAndShow();
    EXPECT_EQ(skin_.ChildRecord(inside, ChildClass::Button), nullptr);  // not the window's own child

    ASSERT_TRUE(RegisterContainer(skin_, group));
    ASSERT_TRUE(RegisterContainer(skin_, panel, {.tint = kRed, .alpha = 120, .draw_frame = true}));
    EXPECT_FALSE(RegisterContainer(skin_, group));
    EXPECT_EQ(record_->containers.size(), 2u);
    EXPECT_NE(skin_.ChildRecord(inside, ChildClass::Button), nullptr);
    EXPECT_NE(skin_.ChildRecord(edit, ChildClass::Edit), nullptr);
    Settle();

    // The group box: its caption's text on the top line, the line itself darker than the background.
    EXPECT_TRUE(ScreenShows([&] {
        return Counting(window_, {group_place.left + 8, group_place.top, group_place.left + 40, group_place.top + 13},
                        [](COLORREF c) { return Brightness(c) < 90; }) > 10;
    }));
    const int line_x = group_place.left + 150, line_y = group_place.top + 5;
    EXPECT_LT(Brightness(WindowPixel(window_, line_x, line_y)), Brightness(FramePixel(*record_, line_x, line_y)));
    // The check box inside shows the skin's box.
    EXPECT_TRUE(ScreenShows([&] { return Brightness(WindowPixel(window_, group_place.left + 10 + 6, group_place.top + 20 + 11)) > 235; }));
    // The panel wears its tint inside, as strong as its alpha says.
    EXPECT_TRUE(ScreenShows([&] { return Reddish(Pixel(panel_place, 90, 30)); }));
    SetContainerAlpha(skin_, panel, 10);
    EXPECT_TRUE(ScreenShows([&] { return !Reddish(Pixel(panel_place, 90, 30)); }));
}

TEST_F(SkinnedFormTest, ARegisteredWindowShowsTheBackgroundWhereItPaintsItsFaceColour) {
    const RECT place{20, 40, 300, 200};
    HWND tabs = Child(WC_TABCONTROLA, "", 0, place);
    TCITEMA item{TCIF_TEXT};
    item.pszText = const_cast<char*>("常规");
    SendMessageA(tabs, TCM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    SkinAndShow();
    // The colour the control fills its page with, whatever the system's look makes it.
    const int x = place.left + 140, y = place.top + 100;
    const COLORREF face = WindowPixel(window_, x, y);
    ASSERT_TRUE(RegisterWindow(skin_, tabs, face));
    EXPECT_FALSE(RegisterWindow(skin_, tabs));
    EXPECT_EQ(record_->registered.size(), 1u);
    InvalidateRect(tabs, nullptr, TRUE);
    EXPECT_TRUE(ScreenShows([&] { return Near(WindowPixel(window_, x, y), Veiled(FramePixel(*record_, x, y), 25), 6); }));
}

TEST_F(SkinnedFormTest, ARegisteredRichEditShowsItsTextOverTheBackgroundAndIsLeftValid) {
    ASSERT_NE(LoadLibraryA("riched20.dll"), nullptr);
    const RECT place{20, 40, 240, 200};
    HWND rich = Child("RichEdit20A", "富文本 rich edit", ES_MULTILINE, place);
    SkinAndShow();
    ASSERT_TRUE(RegisterWindow(skin_, rich, RGB(255, 255, 255)));
    EXPECT_FALSE(record_->registered.back().paints_into_given_dc);
    InvalidateRect(rich, nullptr, TRUE);
    // Its text on the first line, the veiled background where it paints its white.
    EXPECT_TRUE(ScreenShows([&] {
        return Counting(window_, {place.left, place.top, place.left + 120, place.top + 20},
                        [](COLORREF c) { return Brightness(c) < 90; }) > 20;
    }));
    const int x = place.left + 150, y = place.top + 120;
    EXPECT_TRUE(ScreenShows([&] { return Near(WindowPixel(window_, x, y), Veiled(FramePixel(*record_, x, y), 25), 6); }));
    // Painted by hand, it is validated by hand: no paint follows the last one.
    RECT update;
    EXPECT_TRUE(PumpUntil([&] { return !GetUpdateRect(rich, &update, FALSE); }, 3000));
}

TEST_F(SkinnedFormTest, AContainerStretchesTheChildrenListedWithItAndLeavesTheOthers) {
    const RECT panel_place{20, 40, 420, 240};
    HWND panel = Child("Static", "", 0, panel_place);
    HWND list = Child("ListBox", "", LBS_NOINTEGRALHEIGHT, {10, 10, 390, 150}, WS_EX_CLIENTEDGE, panel);
    HWND button = Child("Button", "开始", BS_PUSHBUTTON, {10, 160, 90, 190}, 0, panel);
    SkinAndShow();
    EXPECT_FALSE(StretchWithContainer(skin_, list));  // the panel is no container yet
    ASSERT_TRUE(RegisterContainer(skin_, panel));
    ASSERT_TRUE(StretchWithContainer(skin_, list));
    using Place = std::vector<LONG>;
    const auto place_of = [&](HWND child) {
        RECT place = WindowArea(child);
        MapWindowPoints(HWND_DESKTOP, panel, reinterpret_cast<POINT*>(&place), 2);
        return Place{place.left, place.top, place.right, place.bottom};
    };
    SetWindowPos(panel, nullptr, 0, 0, 300, 260, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(place_of(list), (Place{10, 10, 290, 210}));
    EXPECT_EQ(place_of(button), (Place{10, 160, 90, 190}));
    // Smaller than its margins, the child has no size rather than a negative one.
    SetWindowPos(panel, nullptr, 0, 0, 15, 30, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(place_of(list), (Place{10, 10, 10, 10}));
    SetWindowPos(panel, nullptr, 0, 0, 400, 200, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(place_of(list), (Place{10, 10, 390, 150}));
}

TEST_F(SkinnedFormTest, ControlsInsideAWindowWithAPaintedLayerShowThatLayer) {
    const RECT panel_place{20, 40, 420, 260}, group_place{20, 20, 360, 200};
    HWND panel = Child("Static", "", WS_CLIPCHILDREN, panel_place);
    HWND group = Child("Static", "", 0, group_place, 0, panel);
    HWND box = Child("Button", "选中", BS_AUTOCHECKBOX, {20, 20, 160, 44}, 0, group);
    HWND edit = Child("Edit", "", 0, {20, 60, 160, 80}, WS_EX_CLIENTEDGE, group);
    SkinAndShow();
    ASSERT_TRUE(RegisterContainer(skin_, group, {.draw_frame = true}));
    Surface layer;
    ASSERT_TRUE(layer.Resize(Width(panel_place), Height(panel_place)));
    const RECT all{0, 0, layer.width(), layer.height()};
    BrushHandle green(CreateSolidBrush(kGreen));
    FillRect(layer.dc(), &all, green.get());
    EXPECT_FALSE(SetPaintedLayer(skin_, window_, layer.dc()));  // the window's own background is its frame
    ASSERT_TRUE(SetPaintedLayer(skin_, panel, layer.dc()));
    const auto greenish = [](COLORREF c) { return GetGValue(c) > GetRValue(c) + 60 && GetGValue(c) > GetBValue(c) + 60; };
    const auto at = [&](HWND control, int x, int y) { return Pixel(control, x, y); };
    // The container, the check box beside its text and the edit box (through its veil) show the layer.
    EXPECT_TRUE(ScreenShows([&] { return greenish(at(group, 300, 150)) && greenish(at(box, 130, 12)); }));
    EXPECT_TRUE(ScreenShows([&] { return Near(at(edit, 60, 10), Veiled(kGreen, kProgramControlAlpha), 6); }))
        << std::hex << at(edit, 60, 10);
    // Without the layer they show the window's frame again.
    ASSERT_TRUE(SetPaintedLayer(skin_, panel, nullptr));
    EXPECT_TRUE(ScreenShows([&] { return !greenish(at(group, 300, 150)) && !greenish(at(box, 130, 12)); }));
    EXPECT_TRUE(ScreenShows([&] { return !greenish(at(edit, 60, 10)); }));
}

TEST_F(SkinnedFormTest, AnEditBoxWithAnUpDownBesideItKeepsItsSeeThroughBackground) {
    const RECT edit_place{20, 40, 120, 60};
    HWND edit = Child("Edit", "", ES_NUMBER, edit_place, WS_EX_CLIENTEDGE);
    HWND updown = Child(UPDOWN_CLASSA, UDS_ALIGNRIGHT | UDS_SETBUDDYINT, {0, 0, 17, 20});
    SendMessageA(updown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
    SkinAndShow();
    const int x = edit_place.left + 10, y = edit_place.top + 10;
    EXPECT_TRUE(ScreenShows([&] { return Near(WindowPixel(window_, x, y), Veiled(FramePixel(*record_, x, y), 25), 6); }));
}

TEST_F(SkinnedFormTest, TheTextColourOfOneControlAndImageButtons) {
    const RECT box_place{20, 40, 160, 64}, image_place{20, 80, 120, 110}, states_place{140, 80, 240, 110};
    HWND box = Child("Button", "红字", BS_AUTOCHECKBOX, box_place);
    HWND image_button = Child("Button", "", BS_PUSHBUTTON, image_place);
    HWND states = Child("Button", "", BS_PUSHBUTTON, states_place);
    SkinAndShow();
    skin_.SetTextColour(box, kRed);
    EXPECT_TRUE(ScreenShows([&] { return Counting(window_, {box_place.left + 17, box_place.top, box_place.right, box_place.bottom}, Reddish) > 5; }));

    const std::string green = HalvesImage(16, 16, kGreen, kGreen), blue = HalvesImage(16, 16, kBlue, kBlue);
    ASSERT_TRUE(MakeImageButton(skin_, image_button, kImageButton, {green}, true, "图"));
    ASSERT_TRUE(MakeImageButton(skin_, states, kStateImageButton, {green, blue}, false, ""));
    const auto greenish = [](COLORREF c) { return GetGValue(c) > GetRValue(c) + 60 && GetGValue(c) > GetBValue(c) + 60; };
    EXPECT_TRUE(ScreenShows([&] { return Counting(window_, {image_place.left, image_place.top, image_place.left + 30, image_place.bottom}, greenish) > 50; }));
    EXPECT_TRUE(ScreenShows([&] { return Counting(window_, states_place, greenish) > 100; }));
    // Under the mouse the state button shows its hot image; a second taking-over adds no second subclass.
    ASSERT_TRUE(MakeImageButton(skin_, states, kStateImageButton, {green, blue}, false, ""));
    EXPECT_NE(reinterpret_cast<LONG_PTR>(PreviousProcedure(states)), GetWindowLongPtrA(states, GWLP_WNDPROC));
    SendMessageA(states, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(ScreenShows([&] { return Counting(window_, states_place, Bluish) > 100; }));
}

TEST_F(SkinnedFormTest, CaptionButtonsOfTheProgramsOwnWidenTheStripAndRunTheirActions) {
    SkinAndShow({.show_help = true, .show_menu = true});
    int helped = 0, menus = 0, customised = 0;
    skin_.SetHelpAction(window_, [&] { ++helped; });
    skin_.SetMenuAction(window_, [&] { ++menus; });
    const RECT before = skin_.CaptionStripRect(window_);
    ASSERT_TRUE(skin_.AddCaptionButton(window_, HalvesImage(12, 12, kRed, kBlue), "自定义", [&] { ++customised; }));
    const RECT after = skin_.CaptionStripRect(window_);
    EXPECT_EQ(Width(after), Width(before) + 27);
    EXPECT_EQ(after.right, before.right);
    std::vector<CaptionKind> kinds;
    for (const CaptionButton& button : record_->buttons) kinds.push_back(button.kind);
    EXPECT_EQ(kinds, (std::vector<CaptionKind>{CaptionKind::Help, CaptionKind::Menu, CaptionKind::Custom,
                                               CaptionKind::Minimise, CaptionKind::Maximise, CaptionKind::Close}));
    for (size_t button = 1; button <= 3; ++button) ClickAt(window_, ButtonCentre(*record_, button));
    EXPECT_EQ(helped, 1);
    EXPECT_EQ(menus, 1);
    EXPECT_EQ(customised, 1);

    // The title takes the style it is given; what is not given stays.
    skin_.SetTitleStyle(window_, {.colour = kRed});
    EXPECT_TRUE(ScreenShows([&] { return Counting(window_, {29, 6, 200, 24}, Reddish) > 20; }));
    EXPECT_TRUE(record_->title_bold);

    // Without the maximise box the buttons follow once asked to.
    SetWindowLongPtrA(window_, GWL_STYLE, GetWindowLongPtrA(window_, GWL_STYLE) & ~WS_MAXIMIZEBOX);
    skin_.UpdateCaptionButtons(window_);
    EXPECT_EQ(record_->buttons.size(), 5u);
    EXPECT_EQ(Width(skin_.CaptionStripRect(window_)), Width(after) - 26);
}

TEST_F(SkinnedFormTest, TheStatusStripShowsItsPanelsAndADockedWindowFillsTheRest) {
    HWND docked = Child("Static", "", SS_WHITERECT, {0, 0, 10, 10});
    SkinAndShow({.status_height = 20, .status_panels = {120, -1}});
    skin_.SetStatusText(window_, 1, "就绪");
    skin_.SetStatusTextStyle(window_, {.alignment = 1, .colour = RGB(255, 255, 255), .font = "宋体", .size = 14});
    EXPECT_EQ(record_->status_style.size, 14);
    RECT client;
    GetClientRect(window_, &client);
    const int strip_top = client.bottom - 20 - 3 - 1;
    const auto white = [](COLORREF c) { return Brightness(c) > 240; };
    // The text is centred in its panel, the second, which takes the rest of the strip.
    EXPECT_TRUE(ScreenShows([&] { return Counting(window_, {3 + 120, strip_top, client.right - 3, strip_top + 20}, white) > 10; }));
    EXPECT_EQ(Counting(window_, {3, strip_top + 2, 3 + 118, strip_top + 18}, white), 0);

    skin_.DockToClient(docked);
    RECT place = PlaceInWindow(docked, window_);
    EXPECT_EQ(place.left, 2);
    EXPECT_EQ(place.top, 25);
    EXPECT_EQ(place.right, client.right - 2);
    EXPECT_EQ(place.bottom, strip_top);
    SetWindowPos(window_, nullptr, 0, 0, kWidth - 60, kHeight - 40, SWP_NOMOVE | SWP_NOZORDER);
    GetClientRect(window_, &client);
    place = PlaceInWindow(docked, window_);
    EXPECT_EQ(place.right, client.right - 2);
    EXPECT_EQ(place.bottom, client.bottom - 24);
}

TEST_F(SkinnedFormTest, EveryBackgroundModePlacesTheImage) {
    SkinAndShow();
    const std::string image = HalvesImage(100, 50, kRed, kBlue);
    RECT client;
    GetClientRect(window_, &client);
    const int w = client.right, h = client.bottom, y = 35;  // below the title, inside the image
    const auto frame_at = [&](BackgroundMode mode, int x, int at_y) {
        skin_.SetWindowBackground(window_, image, mode);
        UpdateWindow(window_);
        return FramePixel(*record_, x, at_y);
    };
    // Where the image does not reach the window shows the image's own colour, half red and half blue.
    const COLORREF own = frame_at(BackgroundMode::TopLeft, w / 2, h - 40);
    EXPECT_NEAR(GetRValue(own), 127, 12);
    EXPECT_LT(GetGValue(own), 12);
    EXPECT_NEAR(GetBValue(own), 127, 12);
    EXPECT_TRUE(Reddish(frame_at(BackgroundMode::TopLeft, 10, y)));
    EXPECT_TRUE(Near(frame_at(BackgroundMode::TopLeft, 99, y), own, 12));  // the inner edge fades into it
    EXPECT_TRUE(Bluish(frame_at(BackgroundMode::TopRight, w - 10, y)));
    EXPECT_TRUE(Near(frame_at(BackgroundMode::TopRight, w - 100, y), own, 12));
    EXPECT_TRUE(Reddish(frame_at(BackgroundMode::Centred, w / 2 - 30, h / 2)));
    EXPECT_TRUE(Bluish(frame_at(BackgroundMode::Centred, w / 2 + 30, h / 2)));
    EXPECT_TRUE(Reddish(frame_at(BackgroundMode::Stretched, w / 4, h / 2)));
    EXPECT_TRUE(Bluish(frame_at(BackgroundMode::Stretched, w * 3 / 4, h / 2)));
    // Mirror-tiled: plain, mirrored, plain.
    EXPECT_TRUE(Reddish(frame_at(BackgroundMode::MirrorTiled, 30, y)));
    EXPECT_TRUE(Bluish(frame_at(BackgroundMode::MirrorTiled, 110, y)));
    EXPECT_TRUE(Reddish(frame_at(BackgroundMode::MirrorTiled, 170, y)));
    EXPECT_TRUE(Reddish(frame_at(BackgroundMode::MirrorTiled, 230, y)));
}

TEST(ProgramSkin, TakesTheImagesOwnColourWhenGivenNoneAndTheThemeMayFollowIt) {
    SkinEngine skin;
    skin.SetProgramSkin(HalvesImage(100, 50, kRed, kBlue), {}, kThemeFollowsBackground);
    const COLORREF own = skin.settings().default_background;
    EXPECT_NEAR(GetRValue(own), 127, 12);
    EXPECT_NEAR(GetBValue(own), 127, 12);
    EXPECT_EQ(skin.settings().theme_colour, own);
    EXPECT_EQ(skin.background().mode, BackgroundMode::MirrorTiled);
    // Without an image the window shows the system's face colour, and the theme is the skin's azure.
    skin.SetProgramSkin("");
    EXPECT_FALSE(skin.background().bitmap);
    EXPECT_EQ(skin.settings().default_background, GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(skin.settings().theme_colour, RGB(0x22, 0xCA, 0xDD));
}

// One life of a form holding every kind the skin takes over: skinned, painted, hovered, destroyed.
void FormLife(SkinEngine& skin, const std::string& image) {
    HWND window = MakePlainWindow(100, 100, 400, 300);
    auto child = [&](const char* kind, DWORD style, int x, int y, HWND parent) {
        return CreateWindowExA(0, kind, "字", WS_CHILD | WS_VISIBLE | style, x, y, 80, 22, parent, nullptr, nullptr,
                               nullptr);
    };
    HWND group = CreateWindowExA(0, "Button", "组", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, 10, 40, 200, 120, window,
                                 nullptr, nullptr, nullptr);
    std::vector<HWND> controls = {child("Button", BS_PUSHBUTTON, 220, 40, window),
                                  child("Button", BS_AUTOCHECKBOX, 220, 70, window),
                                  child("Button", BS_AUTORADIOBUTTON, 220, 100, window),
                                  child("Edit", 0, 220, 130, window), child("ComboBox", CBS_DROPDOWNLIST, 300, 40, window),
                                  child("Button", BS_AUTOCHECKBOX, 10, 20, group)};
    skin.SkinWindow(window, {.status_height = 18});
    RegisterContainer(skin, group);
    RegisterWindow(skin, child("Static", 0, 300, 130, window));
    MakeImageButton(skin, controls[0], kImageButton, {image}, true, "图");
    skin.AddCaptionButton(window, image, "自定义", [] {});
    skin.SetStatusText(window, 0, "就绪");
    Frame(skin, *skin.table().RecordOf(window)).Paint(nullptr);
    for (HWND control : controls) {
        UpdateWindow(control);
        SendMessageA(control, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
        SendMessageA(control, WM_MOUSELEAVE, 0, 0);
    }
    DestroyWindow(window);
}

TEST(SkinnedFormLives, LeaveNoGdiObjectsWindowsOrMemoryBehind) {
    SkinEngine skin;
    skin.SetProgramSkin(EmbeddedImage(SkinImage::Background), RGB(25, 0, 0), RGB(0, 0x88, 0xFF),
                        BackgroundMode::Stretched);
    skin.SetOptions(true, 25);
    const std::string image = HalvesImage(16, 16, kRed, kBlue);
    for (int i = 0; i < 5; ++i) FormLife(skin, image);  // caches and first-use allocations settle
    const long gdi_before = GdiObjectsLeft();
    const int windows_before = ThreadWindowCount();
    const size_t memory_before = PrivateBytes();
    for (int i = 0; i < 30; ++i) FormLife(skin, image);
    EXPECT_GE(GdiObjectsLeft(), gdi_before - 5);
    EXPECT_EQ(ThreadWindowCount(), windows_before);
    EXPECT_LT(PrivateBytes(), memory_before + 8 * 1024 * 1024);
}

}  // namespace
