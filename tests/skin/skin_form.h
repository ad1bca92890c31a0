// A test form for skinned controls: a plain top-level window at a place of the test's own, skinned by a skin
// object of the test's own with the program's settings, holding the controls a test makes on it.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "skin/paint_primitives.h"
#include "skin/skin_engine.h"
#include "skin/skin_images.h"
#include "tests/skin/skin_window.h"

class SkinForm : public testing::Test {
  protected:
    // The form's window rectangle on the screen: every test file keeps to a place of its own.
    explicit SkinForm(const RECT& place) : place_(place) {}

    void SetUp() override {
        ParkCursor();
        INITCOMMONCONTROLSEX classes{sizeof classes, ICC_UPDOWN_CLASS | ICC_BAR_CLASSES};
        InitCommonControlsEx(&classes);
        skin_.SetProgramSkin(EmbeddedImage(SkinImage::Background), RGB(25, 0, 0), RGB(0, 0x88, 0xFF),
                             BackgroundMode::Stretched);
        skin_.SetOptions(true, 25);
        window_ =
            MakePlainWindow(place_.left, place_.top, place_.right - place_.left, place_.bottom - place_.top);
        SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
    void TearDown() override { DestroyWindow(window_); }

    HWND Child(const char* kind, DWORD style, const RECT& place) {
        return CreateWindowExA(0, kind, "", WS_CHILD | WS_VISIBLE | style, place.left, place.top,
                               place.right - place.left, place.bottom - place.top, window_, nullptr, nullptr,
                               nullptr);
    }

    // Skins the window with the children made so far and waits until the screen shows it.
    void SkinAndShow() {
        skin_.SkinWindow(window_);
        ShowWindow(window_, SW_SHOW);
        UpdateWindow(window_);
        record_ = skin_.table().RecordOf(window_);
        ASSERT_NE(record_, nullptr);
        const int x = (place_.right - place_.left) / 2,
                  y = (place_.bottom - place_.top) - 10;  // bare background
        ASSERT_TRUE(ScreenShows([&] { return WindowPixel(window_, x, y) == FramePixel(*record_, x, y); }));
        Settle();
    }

    // Lets every pending paint reach the screen.
    void Settle() {
        PumpUntil([] { return false; }, 100);
    }

    // A pixel of `control` as the screen shows it, at (x, y) in the control's window coordinates.
    COLORREF Pixel(HWND control, int x, int y) {
        const RECT area = WindowArea(control);
        return ScreenPixel(area.left + x, area.top + y);
    }

    SkinEngine skin_;
    HWND window_ = nullptr;
    WindowRecord* record_ = nullptr;

  private:
    RECT place_;
};
