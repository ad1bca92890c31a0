// Test helpers: a transparent 32-bit ARGB bitmap to draw into, and colour comparison with a tolerance.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>

#include "gfx/graphics.h"

struct Canvas {
    GfxBitmap bitmap;
    GfxGraphics graphics;

    Canvas(int width, int height) {
        EXPECT_TRUE(bitmap.CreateBitmapFromScan0(width, height));
        EXPECT_TRUE(graphics.FromImage(bitmap));
        EXPECT_TRUE(graphics.GraphicsClear());
    }
    Gdiplus::ARGB Pixel(int x, int y) const { return bitmap.BitmapGetPixel(x, y); }
};

// Every channel (alpha, red, green, blue) within `tolerance` of the expected one.
inline testing::AssertionResult ColourNear(Gdiplus::ARGB actual, Gdiplus::ARGB expected, int tolerance = 8) {
    for (int shift = 0; shift < 32; shift += 8) {
        int a = (actual >> shift) & 0xFF;
        int e = (expected >> shift) & 0xFF;
        if (std::abs(a - e) > tolerance) {
            return testing::AssertionFailure()
                   << std::hex << "colour 0x" << actual << " is not near 0x" << expected;
        }
    }
    return testing::AssertionSuccess();
}

inline constexpr Gdiplus::ARGB kRed = 0xFFFF0000;
inline constexpr Gdiplus::ARGB kGreen = 0xFF00FF00;
inline constexpr Gdiplus::ARGB kBlue = 0xFF0000FF;
inline constexpr Gdiplus::ARGB kBlack = 0xFF000000;
inline constexpr Gdiplus::ARGB kTransparent = 0;
