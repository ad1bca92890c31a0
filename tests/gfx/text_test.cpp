// Fonts, font families, string formats, and GBK text drawn and measured through GDI+.
#include <gtest/gtest.h>

#include <algorithm>

#include "gfx/graphics.h"
#include "runtime/win_handles.h"
#include "tests/gfx/canvas.h"

using namespace Gdiplus;

namespace {

// Bounding box of the pixels that differ from the background; empty (right < left) when there are none.
template <typename PixelAt>
RECT InkBounds(int width, int height, ARGB background, PixelAt pixel_at) {
    RECT ink{width, height, -1, -1};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (pixel_at(x, y) == background) continue;
            ink.left = std::min<LONG>(ink.left, x);
            ink.top = std::min<LONG>(ink.top, y);
            ink.right = std::max<LONG>(ink.right, x);
            ink.bottom = std::max<LONG>(ink.bottom, y);
        }
    }
    return ink;
}

RECT InkBounds(const Canvas& canvas, int width, int height) {
    return InkBounds(width, height, kTransparent, [&](int x, int y) { return canvas.Pixel(x, y); });
}

void ExpectInside(const RECT& ink, const RectF& layout) {
    ASSERT_GE(ink.right, ink.left) << "nothing was drawn";
    EXPECT_GE(ink.left, layout.X);
    EXPECT_GE(ink.top, layout.Y);
    EXPECT_LE(ink.right, layout.X + layout.Width);
    EXPECT_LE(ink.bottom, layout.Y + layout.Height);
}

TEST(GfxText, FontsFromNameReportSizeStyleAndFamily) {
    GfxFont font;
    ASSERT_TRUE(font.CreateFromName("宋体", 13, FontStyleBold, UnitPixel));
    EXPECT_EQ(font.GetFontSize(), 13);
    EXPECT_EQ(font.GetFontStyle(), FontStyleBold);

    GfxFontFamily family;
    ASSERT_TRUE(font.GetFamily(family));
    EXPECT_FALSE(family.GetFamilyName().empty());
    // Taking the family again replaces the one held.
    ASSERT_TRUE(font.GetFamily(family));

    // The family outlives the font it came from.
    font.DeleteFont();
    std::string name = family.GetFamilyName();
    EXPECT_FALSE(name.empty());

    GfxFontFamily by_name;
    ASSERT_TRUE(by_name.CreateFontFamilyFromName(name));
    EXPECT_EQ(by_name.GetFamilyName(), name);
    EXPECT_FALSE(by_name.CreateFontFamilyFromName("没有这种字体"));
    EXPECT_EQ(LastStatus, FontFamilyNotFound);
}

TEST(GfxText, FontsFromDeviceContexts) {
    MemoryDc dc(CreateCompatibleDC(nullptr));
    FontHandle gdi_font(
        CreateFontA(-16, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, GB2312_CHARSET, 0, 0, 0, 0, "宋体"));
    ASSERT_TRUE(gdi_font);

    GfxFont font;
    ASSERT_TRUE(font.CreateFromDC(dc.get(), gdi_font.get()));
    EXPECT_EQ(font.GetFontStyle() & FontStyleBold, FontStyleBold);
    EXPECT_NEAR(font.GetFontSize(), 16, 0.5);
    GfxFontFamily family;
    ASSERT_TRUE(font.GetFamily(family));
    EXPECT_FALSE(family.GetFamilyName().empty());

    // Without a font handle, the font selected into the device context is taken.
    Selection selection(dc.get(), gdi_font.get());
    GfxFont selected;
    ASSERT_TRUE(selected.CreateFromDC(dc.get()));
    EXPECT_NEAR(selected.GetFontSize(), 16, 0.5);
}

TEST(GfxText, ChineseTextDrawsOnlyInsideItsLayoutRectangle) {
    const int width = 120;
    const int height = 60;
    GfxFont font;
    ASSERT_TRUE(font.CreateFromName("宋体", 16, FontStyleRegular, UnitPixel));
    GfxSolidBrush brush;
    ASSERT_TRUE(brush.CreateSolidFill(kBlack));
    // The text needs more lines than the layout holds.
    const char* text = "汉字测试文本汉字测试文本汉字测试文本";
    const RectF layout(20, 15, 50, 24);

    Canvas canvas(width, height);
    EXPECT_TRUE(canvas.graphics.DrawString(text, font, brush, layout));
    ExpectInside(InkBounds(canvas, width, height), layout);
    // The clip set before drawing is the clip afterwards.
    EXPECT_TRUE(canvas.graphics.GraphicsClear());
    ASSERT_TRUE(canvas.graphics.SetClipRect(0, 0, 10, 10));
    EXPECT_TRUE(canvas.graphics.DrawString(text, font, brush, layout));
    EXPECT_TRUE(canvas.graphics.GraphicsClear(kRed));
    EXPECT_EQ(canvas.Pixel(5, 5), kRed);
    EXPECT_EQ(canvas.Pixel(30, 30), kTransparent);
    EXPECT_TRUE(canvas.graphics.ResetClip());

    // The same on a device context's bitmap.
    MemoryDc dc(CreateCompatibleDC(nullptr));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    BitmapHandle section(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    Selection selection(dc.get(), section.get());
    {
        GfxGraphics graphics;
        ASSERT_TRUE(graphics.CreateFromHDC(dc.get()));
        ASSERT_TRUE(graphics.GraphicsClear(0xFFFFFFFF));
        EXPECT_TRUE(graphics.DrawString(text, font, brush, layout));
    }
    GdiFlush();
    const auto* pixels = static_cast<const ARGB*>(bits);
    ExpectInside(InkBounds(width, height, 0x00FFFFFF,
                           [&](int x, int y) { return pixels[y * width + x] & 0x00FFFFFF; }),
                 layout);

    // An empty text draws nothing and is refused.
    EXPECT_TRUE(canvas.graphics.GraphicsClear());
    EXPECT_FALSE(canvas.graphics.DrawString("", font, brush, layout));
    EXPECT_EQ(LastStatus, InvalidParameter);
    RECT none = InkBounds(canvas, width, height);
    EXPECT_LT(none.right, none.left);
}

TEST(GfxText, StringFormatCentresText) {
    const int width = 100;
    const int height = 40;
    Canvas canvas(width, height);
    GfxFont font;
    ASSERT_TRUE(font.CreateFromName("宋体", 12, FontStyleRegular, UnitPixel));
    GfxSolidBrush brush;
    ASSERT_TRUE(brush.CreateSolidFill(kBlack));
    GfxStringFormat format;
    ASSERT_TRUE(format.CreateStringFormat());
    ASSERT_TRUE(format.SetStringFormatAlign(StringAlignmentCenter));
    ASSERT_TRUE(format.SetStringFormatLineAlign(StringAlignmentCenter));
    ASSERT_TRUE(format.SetStringFormatTrimming(StringTrimmingEllipsisCharacter));

    EXPECT_TRUE(canvas.graphics.DrawString("中", font, brush, RectF(0, 0, width, height), &format));
    RECT ink = InkBounds(canvas, width, height);
    ASSERT_GE(ink.right, ink.left) << "nothing was drawn";
    EXPECT_NEAR((ink.left + ink.right) / 2.0, width / 2.0, 4);
    EXPECT_NEAR((ink.top + ink.bottom) / 2.0, height / 2.0, 4);
}

TEST(GfxText, MeasuredBoundsGrowWithTheText) {
    Canvas canvas(10, 10);
    GfxFont font;
    ASSERT_TRUE(font.CreateFromName("宋体", 12, FontStyleRegular, UnitPixel));
    const RectF layout(0, 0, 1000, 100);

    RectF one;
    RectF four;
    ASSERT_TRUE(canvas.graphics.MeasureString("汉", font, layout, one));
    ASSERT_TRUE(canvas.graphics.MeasureString("汉汉汉汉", font, layout, four));
    EXPECT_GT(one.Width, 0);
    EXPECT_GT(one.Height, 0);
    EXPECT_GT(four.Width, one.Width * 3);

    GfxStringFormat format;
    ASSERT_TRUE(format.CreateStringFormat());
    RectF formatted;
    EXPECT_TRUE(canvas.graphics.MeasureString("汉汉汉汉", font, layout, formatted, &format));
    EXPECT_NEAR(formatted.Width, four.Width, 1);

    RectF untouched(1, 2, 3, 4);
    EXPECT_FALSE(canvas.graphics.MeasureString("", font, layout, untouched));
    EXPECT_EQ(LastStatus, InvalidParameter);
    EXPECT_EQ(untouched.Width, 3);
}

}  // namespace
