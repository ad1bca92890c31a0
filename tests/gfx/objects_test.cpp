// Ownership rules of the GDI+ wrappers, the library's start-up and shutdown, and device contexts of graphics.
#include <gtest/gtest.h>

#include "gfx/graphics.h"
#include "gfx/startup.h"
#include "runtime/win_handles.h"
#include "tests/gfx/canvas.h"

using namespace Gdiplus;

namespace {

// One wrapper of every kind, each holding a live object.
struct EveryKind {
    GfxPath path;
    GfxSolidBrush solid;
    GfxLinearBrush linear;
    GfxPathGradientBrush gradient;
    GfxPen pen;
    GfxFontFamily family;
    GfxFont font;
    GfxStringFormat format;
    GfxBitmap bitmap;
    GfxImage image;
    GfxGraphics graphics;

    EveryKind() {
        EXPECT_TRUE(path.CreatePath());
        EXPECT_TRUE(path.AddPathEllipse(0, 0, 10, 10));
        EXPECT_TRUE(solid.CreateSolidFill(kRed));
        EXPECT_TRUE(linear.CreateLineBrush({0, 0}, {10, 0}, kRed, kBlue));
        EXPECT_TRUE(gradient.CreatePathGradientFromPath(path));
        EXPECT_TRUE(pen.CreatePen1(kBlack, 1));
        EXPECT_TRUE(family.CreateFontFamilyFromName("宋体"));
        EXPECT_TRUE(font.CreateFromName("宋体", 12));
        EXPECT_TRUE(format.CreateStringFormat());
        EXPECT_TRUE(bitmap.CreateBitmapFromScan0(4, 4));
        std::string png = bitmap.SaveToMemory(kPng);
        EXPECT_TRUE(image.LoadFromMemory(png));
        EXPECT_TRUE(graphics.FromImage(bitmap));
    }

    static constexpr const char* kPng = "{B96B3CAF-0728-11D3-9D7B-0000F81EF32E}";
};

TEST(GfxObjects, DeleteReleasesTheObjectOnceAndEmptiesTheWrapper) {
    EveryKind all;
    // The graphics draws into the bitmap, so it goes first.
    EXPECT_TRUE(all.graphics.DeleteGraphics());
    EXPECT_TRUE(all.path.DeletePath());
    EXPECT_TRUE(all.solid.DeleteBrush());
    EXPECT_TRUE(all.linear.DeleteBrush());
    EXPECT_TRUE(all.gradient.DeleteBrush());
    EXPECT_TRUE(all.pen.DeletePen());
    EXPECT_TRUE(all.family.DeleteFontFamily());
    EXPECT_TRUE(all.font.DeleteFont());
    EXPECT_TRUE(all.format.DeleteStringFormat());
    EXPECT_TRUE(all.bitmap.DisposeImage());
    EXPECT_TRUE(all.image.DisposeImage());
    EXPECT_EQ(LastStatus, Ok);

    EXPECT_EQ(all.graphics.GetHandle(), nullptr);
    EXPECT_EQ(all.path.GetHandle(), nullptr);
    EXPECT_EQ(all.solid.GetHandle(), nullptr);
    EXPECT_EQ(all.linear.GetHandle(), nullptr);
    EXPECT_EQ(all.gradient.GetHandle(), nullptr);
    EXPECT_EQ(all.pen.GetHandle(), nullptr);
    EXPECT_EQ(all.family.GetHandle(), nullptr);
    EXPECT_EQ(all.font.GetHandle(), nullptr);
    EXPECT_EQ(all.format.GetHandle(), nullptr);
    EXPECT_EQ(all.bitmap.GetHandle(), nullptr);
    EXPECT_EQ(all.image.GetHandle(), nullptr);

    // A second delete finds the wrapper empty: false, and the last status stays as it was.
    LastStatus = Aborted;
    EXPECT_FALSE(all.graphics.DeleteGraphics());
    EXPECT_FALSE(all.path.DeletePath());
    EXPECT_FALSE(all.solid.DeleteBrush());
    EXPECT_FALSE(all.linear.DeleteBrush());
    EXPECT_FALSE(all.gradient.DeleteBrush());
    EXPECT_FALSE(all.pen.DeletePen());
    EXPECT_FALSE(all.family.DeleteFontFamily());
    EXPECT_FALSE(all.font.DeleteFont());
    EXPECT_FALSE(all.format.DeleteStringFormat());
    EXPECT_FALSE(all.bitmap.DisposeImage());
    EXPECT_FALSE(all.image.DisposeImage());
    EXPECT_EQ(LastStatus, Aborted);
}

TEST(GfxObjects, MovingHandsTheObjectOverAndEmptiesTheSource) {
    GfxSolidBrush first;
    ASSERT_TRUE(first.CreateSolidFill(kRed));
    GpBrush* native = first.GetHandle();

    GfxSolidBrush second(std::move(first));
    EXPECT_EQ(first.GetHandle(), nullptr);
    EXPECT_EQ(second.GetHandle(), native);

    // Assigning over a wrapper that holds an object deletes that object and takes the new one. Releases
    // outside the delete members leave the last status alone.
    GfxSolidBrush third;
    ASSERT_TRUE(third.CreateSolidFill(kBlue));
    LastStatus = Aborted;
    third = std::move(second);
    EXPECT_EQ(LastStatus, Aborted);
    {
        GfxSolidBrush scoped;
        ASSERT_TRUE(scoped.CreateSolidFill(kGreen));
        LastStatus = Aborted;
    }
    EXPECT_EQ(LastStatus, Aborted);
    EXPECT_EQ(second.GetHandle(), nullptr);
    EXPECT_EQ(third.GetHandle(), native);

    Canvas canvas(8, 8);
    EXPECT_TRUE(canvas.graphics.FillRectangle(third, 0, 0, 8, 8));
    EXPECT_EQ(canvas.Pixel(4, 4), kRed);

    // A moved graphics keeps drawing into the same bitmap.
    GfxGraphics graphics = std::move(canvas.graphics);
    EXPECT_EQ(canvas.graphics.GetHandle(), nullptr);
    EXPECT_TRUE(graphics.GraphicsClear(kGreen));
    EXPECT_EQ(canvas.Pixel(4, 4), kGreen);
}

TEST(GfxObjects, MovedImageKeepsTheBytesItDecodesFrom) {
    Canvas source(6, 6);
    ASSERT_TRUE(source.graphics.GraphicsClear(kBlue));
    GfxImage moved;
    {
        GfxImage loaded;
        ASSERT_TRUE(loaded.LoadFromMemory(source.bitmap.SaveToMemory(EveryKind::kPng)));
        moved = std::move(loaded);
        EXPECT_EQ(loaded.GetHandle(), nullptr);
    }
    Canvas target(6, 6);
    EXPECT_TRUE(target.graphics.DrawImageRectRect(moved, 0, 0, 6, 6));
    EXPECT_EQ(target.Pixel(3, 3), kBlue);
}

TEST(GfxObjects, FailedCreateLeavesTheWrapperEmpty) {
    GfxBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateBitmapFromScan0(4, 4));
    EXPECT_FALSE(bitmap.CreateBitmapFromScan0(0, 0));
    EXPECT_EQ(LastStatus, InvalidParameter);
    EXPECT_EQ(bitmap.GetHandle(), nullptr);

    GfxFont font;
    ASSERT_TRUE(font.CreateFromName("宋体", 12));
    EXPECT_FALSE(font.CreateFromName("没有这种字体", 12));
    EXPECT_EQ(LastStatus, FontFamilyNotFound);
    EXPECT_EQ(font.GetHandle(), nullptr);

    // Members of an empty wrapper fail without crashing; value getters give 0.
    GfxPath path;
    EXPECT_FALSE(path.AddPathLine(0, 0, 1, 1));
    EXPECT_EQ(LastStatus, InvalidParameter);
    EXPECT_EQ(bitmap.GetImageWidth(), 0u);
    EXPECT_EQ(bitmap.BitmapGetPixel(0, 0), 0u);
    EXPECT_EQ(font.GetFontSize(), 0);
}

TEST(GfxObjects, CreatingAgainReplacesTheHeldObject) {
    GfxPen pen;
    ASSERT_TRUE(pen.CreatePen1(kRed, 1));
    ASSERT_TRUE(pen.CreatePen1(kBlue, 1));
    Canvas canvas(8, 8);
    EXPECT_TRUE(canvas.graphics.DrawLine(pen, 0, 4, 8, 4));
    EXPECT_EQ(canvas.Pixel(4, 4), kBlue);
}

TEST(GfxLibrary, StopsOnceAndStartsAgain) {
    ULONG_PTR running = GdiplusToken;
    ASSERT_NE(running, 0u);
    EXPECT_EQ(StartGdiplus(), running);

    StopGdiplus();
    EXPECT_EQ(GdiplusToken, 0u);
    StopGdiplus();

    ULONG_PTR restarted = StartGdiplus();
    EXPECT_NE(restarted, 0u);
    EXPECT_EQ(GdiplusToken, restarted);
    GfxSolidBrush brush;
    EXPECT_TRUE(brush.CreateSolidFill(kRed));
    brush.DeleteBrush();

    // Stopping with the program's own token clears it too, so it is never shut down twice.
    StopGdiplus(restarted);
    EXPECT_EQ(GdiplusToken, 0u);
    EXPECT_NE(StartGdiplus(), 0u);
}

TEST(GfxLibrary, ASessionStopsOnlyWhatItStarted) {
    const ULONG_PTR running = GdiplusToken;
    {
        GdiplusSession nested;
        EXPECT_TRUE(nested.started());
    }
    EXPECT_EQ(GdiplusToken, running);  // the library started before the session still runs

    StopGdiplus();
    {
        GdiplusSession own;
        ASSERT_TRUE(own.started());
        GfxSolidBrush brush;
        EXPECT_TRUE(brush.CreateSolidFill(kRed));
    }
    EXPECT_EQ(GdiplusToken, 0u);
    EXPECT_NE(StartGdiplus(), 0u);  // for the tests after this one
}

TEST(GfxGraphics, DeviceContextDrawsIntoTheImageAndIsReleasedOnDelete) {
    Canvas canvas(8, 8);
    HDC dc = canvas.graphics.GetDC();
    ASSERT_NE(dc, nullptr);
    // While the device context is out GDI+ refuses to draw with the graphics.
    EXPECT_FALSE(canvas.graphics.GraphicsClear(kRed));
    EXPECT_EQ(LastStatus, ObjectBusy);

    BrushHandle green(CreateSolidBrush(RGB(0, 255, 0)));
    RECT all{0, 0, 8, 8};
    FillRect(dc, &all, green.get());
    EXPECT_TRUE(canvas.graphics.ReleaseDC());
    EXPECT_FALSE(canvas.graphics.ReleaseDC());
    EXPECT_EQ(canvas.Pixel(4, 4) & 0x00FFFFFF, 0x0000FF00u);

    EXPECT_NE(canvas.graphics.GetDC(), nullptr);
    EXPECT_TRUE(canvas.graphics.DeleteGraphics());
    EXPECT_EQ(LastStatus, Ok);
}

}  // namespace
