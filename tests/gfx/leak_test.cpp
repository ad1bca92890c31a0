// Creates, uses and destroys every wrapper kind many times; the process's GDI objects, windows and private
// memory must stay flat.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "gfx/objects.h"
#include "gfx/tooltip.h"
#include "tests/gfx/canvas.h"
#include "tests/support/resource_counters.h"

using namespace Gdiplus;

namespace {

constexpr const char* kPngFormat = "{B96B3CAF-0728-11D3-9D7B-0000F81EF32E}";

// One round of everything the skin engine does with the wrappers.
void UseEveryWrapper(const std::string& png, HWND owner) {
    Canvas canvas(48, 32);
    canvas.graphics.SetSmoothingMode(SmoothingModeAntiAlias);

    GfxPath path;
    path.CreatePath();
    path.AddPathArc(0, 0, 10, 10, 180, 90);
    path.AddPathLine(5, 0, 40, 0);
    path.AddPathArc(30, 0, 10, 10, 270, 90);
    path.ClosePathFigure();
    path.AddPathRectangle(2, 2, 20, 20);
    path.AddPathEllipse(4, 4, 10, 10);

    GfxSolidBrush solid;
    solid.CreateSolidFill(kRed);
    GfxLinearBrush linear;
    linear.CreateLineBrush({0, 0}, {0, 32}, kRed, kBlue);
    const ARGB colours[] = {kRed, kGreen, kBlue};
    const REAL positions[] = {0, 0.5f, 1};
    linear.SetLinePresetBlend(colours, positions);
    GfxPathGradientBrush gradient;
    gradient.CreatePathGradientFromPath(path);
    gradient.SetPathGradientCenterColor(kGreen);
    const ARGB surround[] = {kBlack};
    gradient.SetPathGradientSurroundColorsWithCount(surround);

    GfxPen pen;
    pen.CreatePen1(kBlack, 1);
    GfxPen brush_pen;
    brush_pen.CreatePen2(linear, 2);

    canvas.graphics.SetClipPath(path);
    canvas.graphics.FillPath(gradient, path);
    canvas.graphics.ResetClip();
    canvas.graphics.FillRectangle(linear, 0, 0, 48, 32);
    canvas.graphics.FillRectangle(solid, 0, 0, 4, 4);
    canvas.graphics.DrawPath(brush_pen, path);
    canvas.graphics.DrawLine(pen, 0, 0, 47, 31);
    canvas.graphics.DrawRectangle(pen, 1, 1, 40, 20);

    GfxFont font;
    font.CreateFromName("宋体", 12);
    GfxFontFamily family;
    font.GetFamily(family);
    family.GetFamilyName();
    GfxStringFormat format;
    format.CreateStringFormat();
    format.SetStringFormatAlign(StringAlignmentCenter);
    RectF bounds;
    canvas.graphics.MeasureString("汉字", font, RectF(0, 0, 48, 32), bounds, &format);
    canvas.graphics.DrawString("汉字", font, solid, RectF(0, 0, 48, 32), &format);

    GfxImage image;
    image.LoadFromMemory(png);
    GfxBitmap bitmap;
    bitmap.LoadFromMemory(png);
    canvas.graphics.DrawImage(image, 0, 0);
    canvas.graphics.DrawImageRectRect(bitmap, 0, 0, 48, 32);
    DeleteObject(canvas.bitmap.CreateHBITMAPFromBitmap(0));
    canvas.bitmap.SaveToMemory(kPngFormat);
    // The device context is left out: deleting the graphics must release it.
    SetPixel(canvas.graphics.GetDC(), 0, 0, RGB(1, 2, 3));

    GfxTooltip tooltip;
    tooltip.Create(owner);
    tooltip.AddTool(RECT{0, 0, 10, 10}, "提示", 1);
    tooltip.UpdateTipText(1, "新的提示");
}

TEST(GfxLeaks, ThousandRoundsOfEveryWrapperLeaveResourcesFlat) {
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(owner, nullptr);
    std::string png;
    {
        Canvas source(16, 16);
        source.graphics.GraphicsClear(0x80FF8000);
        png = source.bitmap.SaveToMemory(kPngFormat);
    }
    ASSERT_FALSE(png.empty());

    // Warm-up rounds let caches (fonts, codecs, heaps) settle before the baseline.
    for (int i = 0; i < 50; ++i) UseEveryWrapper(png, owner);
    long gdi_left_before = GdiObjectsLeft();
    int windows_before = ThreadWindowCount();
    size_t private_before = PrivateBytes();
    ASSERT_GT(gdi_left_before, 0);

    for (int i = 0; i < 1000; ++i) UseEveryWrapper(png, owner);

    EXPECT_EQ(GdiObjectsLeft(), gdi_left_before);
    EXPECT_EQ(ThreadWindowCount(), windows_before);
    // Heap growth comes in steps of 64 KiB; a leak of a hundred bytes a round passes that.
    const size_t tolerance = 64 * 1024;
    size_t private_after = PrivateBytes();
    EXPECT_LE(private_after, private_before + tolerance)
        << "private bytes grew from " << private_before << " to " << private_after;
    DestroyWindow(owner);
}

}  // namespace
