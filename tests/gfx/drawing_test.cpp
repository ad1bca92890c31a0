// Brushes, pens, paths, clips and images drawn into a 32-bit ARGB bitmap, checked pixel by pixel.
#include <gtest/gtest.h>

#include "gfx/graphics.h"
#include "tests/gfx/canvas.h"

using namespace Gdiplus;

namespace {

TEST(GfxDrawing, ClearAndSolidFill) {
    Canvas canvas(40, 40);
    EXPECT_EQ(canvas.Pixel(0, 0), kTransparent);
    EXPECT_TRUE(canvas.graphics.GraphicsClear(kGreen));
    EXPECT_EQ(canvas.Pixel(39, 39), kGreen);
    EXPECT_TRUE(canvas.graphics.GraphicsClear());
    EXPECT_EQ(canvas.Pixel(39, 39), kTransparent);

    GfxSolidBrush brush;
    ASSERT_TRUE(brush.CreateSolidFill(kRed));
    EXPECT_TRUE(canvas.graphics.FillRectangle(brush, 10, 10, 20, 20));
    EXPECT_EQ(canvas.Pixel(10, 10), kRed);
    EXPECT_EQ(canvas.Pixel(29, 29), kRed);
    EXPECT_EQ(canvas.Pixel(9, 20), kTransparent);
    EXPECT_EQ(canvas.Pixel(30, 20), kTransparent);

    // A translucent colour keeps its alpha in an ARGB bitmap.
    GfxSolidBrush veil;
    ASSERT_TRUE(veil.CreateSolidFill(0x80FFFFFF));
    EXPECT_TRUE(canvas.graphics.FillRectangle(veil, 0, 0, 5, 5));
    EXPECT_TRUE(ColourNear(canvas.Pixel(2, 2), 0x80FFFFFF, 1));
}

TEST(GfxDrawing, LinearGradientRunsFromFirstToSecondColour) {
    Canvas canvas(100, 10);
    GfxLinearBrush brush;
    ASSERT_TRUE(brush.CreateLineBrush({0, 0}, {100, 0}, kRed, kBlue));
    EXPECT_TRUE(canvas.graphics.FillRectangle(brush, 0, 0, 100, 10));
    EXPECT_TRUE(ColourNear(canvas.Pixel(0, 5), kRed, 8));
    EXPECT_TRUE(ColourNear(canvas.Pixel(99, 5), kBlue, 8));
    EXPECT_TRUE(ColourNear(canvas.Pixel(50, 5), 0xFF800080, 10));

    // Three stops: green in the middle.
    const ARGB colours[] = {kRed, kGreen, kBlue};
    const REAL positions[] = {0.0f, 0.5f, 1.0f};
    ASSERT_TRUE(brush.SetLinePresetBlend(colours, positions));
    EXPECT_TRUE(canvas.graphics.FillRectangle(brush, 0, 0, 100, 10));
    EXPECT_TRUE(ColourNear(canvas.Pixel(0, 5), kRed, 8));
    EXPECT_TRUE(ColourNear(canvas.Pixel(50, 5), kGreen, 10));
    EXPECT_TRUE(ColourNear(canvas.Pixel(99, 5), kBlue, 8));

    // Positions that do not pair with the colours are refused rather than read past their end.
    const REAL two_positions[] = {0.0f, 1.0f};
    EXPECT_FALSE(brush.SetLinePresetBlend(colours, two_positions));
    EXPECT_EQ(LastStatus, InvalidParameter);

    // A linear blend peaking in the middle: the second colour there, the first at both ends.
    GfxLinearBrush peak;
    ASSERT_TRUE(peak.CreateLineBrush({0, 0}, {100, 0}, kRed, kBlue));
    ASSERT_TRUE(peak.SetLineLinearBlend(0.5f, 1.0f));
    EXPECT_TRUE(canvas.graphics.FillRectangle(peak, 0, 0, 100, 10));
    EXPECT_TRUE(ColourNear(canvas.Pixel(0, 5), kRed, 8));
    EXPECT_TRUE(ColourNear(canvas.Pixel(50, 5), kBlue, 10));
    EXPECT_TRUE(ColourNear(canvas.Pixel(99, 5), kRed, 10));
}

TEST(GfxDrawing, PathGradientGoesFromCentreToSurround) {
    Canvas canvas(50, 50);
    GfxPath path;
    ASSERT_TRUE(path.CreatePath());
    ASSERT_TRUE(path.AddPathRectangle(0, 0, 50, 50));
    GfxPathGradientBrush brush;
    ASSERT_TRUE(brush.CreatePathGradientFromPath(path));
    ASSERT_TRUE(brush.SetPathGradientCenterColor(kRed));
    const ARGB surround[] = {kBlue};
    ASSERT_TRUE(brush.SetPathGradientSurroundColorsWithCount(surround));
    EXPECT_TRUE(canvas.graphics.FillPath(brush, path));
    EXPECT_TRUE(ColourNear(canvas.Pixel(25, 25), kRed, 16));
    EXPECT_TRUE(ColourNear(canvas.Pixel(0, 25), kBlue, 16));
    EXPECT_TRUE(ColourNear(canvas.Pixel(25, 49), kBlue, 16));
}

TEST(GfxDrawing, PensStrokeLinesRectanglesAndPaths) {
    Canvas canvas(60, 60);
    GfxPen pen;
    ASSERT_TRUE(pen.CreatePen1(kBlack, 1));
    EXPECT_TRUE(canvas.graphics.DrawLine(pen, 0, 5, 60, 5));
    EXPECT_EQ(canvas.Pixel(30, 5), kBlack);
    EXPECT_EQ(canvas.Pixel(30, 8), kTransparent);

    // A wider pen covers pixels away from the line's centre.
    ASSERT_TRUE(pen.SetPenWidth(9));
    EXPECT_TRUE(canvas.graphics.DrawLine(pen, 0, 20, 60, 20));
    EXPECT_EQ(canvas.Pixel(30, 17), kBlack);
    EXPECT_EQ(canvas.Pixel(30, 26), kTransparent);

    // A pen made from a brush strokes in the brush's colour.
    EXPECT_TRUE(canvas.graphics.GraphicsClear());
    GfxSolidBrush brush;
    ASSERT_TRUE(brush.CreateSolidFill(kRed));
    GfxPen brush_pen;
    ASSERT_TRUE(brush_pen.CreatePen2(brush, 1));
    brush.DeleteBrush();
    EXPECT_TRUE(canvas.graphics.DrawRectangle(brush_pen, 10, 10, 40, 40));
    EXPECT_EQ(canvas.Pixel(10, 30), kRed);
    EXPECT_EQ(canvas.Pixel(50, 30), kRed);
    EXPECT_EQ(canvas.Pixel(30, 30), kTransparent);

    EXPECT_TRUE(canvas.graphics.GraphicsClear());
    GfxPath path;
    ASSERT_TRUE(path.CreatePath());
    ASSERT_TRUE(path.AddPathLine(5, 55, 55, 55));
    EXPECT_TRUE(canvas.graphics.DrawPath(pen, path));
    EXPECT_EQ(canvas.Pixel(30, 55), kBlack);
    EXPECT_EQ(canvas.Pixel(30, 45), kTransparent);

    // A pen from a gradient brush takes the gradient's colours along the line.
    GfxLinearBrush gradient;
    ASSERT_TRUE(gradient.CreateLineBrush({0, 0}, {60, 0}, kRed, kBlue));
    ASSERT_TRUE(pen.CreatePen2(gradient, 3));
    EXPECT_TRUE(canvas.graphics.DrawLine(pen, 0, 30, 60, 30));
    EXPECT_TRUE(ColourNear(canvas.Pixel(1, 30), kRed, 12));
    EXPECT_TRUE(ColourNear(canvas.Pixel(58, 30), kBlue, 12));
}

TEST(GfxDrawing, PathFiguresAndFillModes) {
    Canvas canvas(60, 60);
    GfxSolidBrush brush;
    ASSERT_TRUE(brush.CreateSolidFill(kRed));

    // Without a fill mode the path alternates: a rectangle inside another is a hole.
    GfxPath nested;
    ASSERT_TRUE(nested.CreatePath());
    ASSERT_TRUE(nested.AddPathRectangle(0, 0, 60, 60));
    ASSERT_TRUE(nested.AddPathRectangle(20, 20, 20, 20));
    EXPECT_TRUE(canvas.graphics.FillPath(brush, nested));
    EXPECT_EQ(canvas.Pixel(5, 5), kRed);
    EXPECT_EQ(canvas.Pixel(30, 30), kTransparent);

    GfxPath winding;
    ASSERT_TRUE(winding.CreatePath(FillModeWinding));
    ASSERT_TRUE(winding.AddPathRectangle(0, 0, 60, 60));
    ASSERT_TRUE(winding.AddPathRectangle(20, 20, 20, 20));
    EXPECT_TRUE(canvas.graphics.FillPath(brush, winding));
    EXPECT_EQ(canvas.Pixel(30, 30), kRed);

    // An ellipse leaves the corners of its box empty.
    EXPECT_TRUE(canvas.graphics.GraphicsClear());
    ASSERT_TRUE(nested.ResetPath());
    EXPECT_TRUE(canvas.graphics.FillPath(brush, nested));
    EXPECT_EQ(canvas.Pixel(5, 5), kTransparent);
    ASSERT_TRUE(nested.AddPathEllipse(0, 0, 60, 60));
    EXPECT_TRUE(canvas.graphics.FillPath(brush, nested));
    EXPECT_EQ(canvas.Pixel(30, 30), kRed);
    EXPECT_EQ(canvas.Pixel(3, 3), kTransparent);

    // Rounded corners built from quarter arcs, the figure closed by ClosePathFigure.
    EXPECT_TRUE(canvas.graphics.GraphicsClear());
    GfxPath rounded;
    ASSERT_TRUE(rounded.CreatePath());
    ASSERT_TRUE(rounded.AddPathArc(40, 0, 20, 20, 270, 90));
    ASSERT_TRUE(rounded.AddPathArc(40, 40, 20, 20, 0, 90));
    ASSERT_TRUE(rounded.AddPathArc(0, 40, 20, 20, 90, 90));
    ASSERT_TRUE(rounded.AddPathArc(0, 0, 20, 20, 180, 90));
    ASSERT_TRUE(rounded.ClosePathFigure());
    EXPECT_TRUE(canvas.graphics.FillPath(brush, rounded));
    EXPECT_EQ(canvas.Pixel(30, 30), kRed);
    EXPECT_EQ(canvas.Pixel(30, 1), kRed);
    EXPECT_EQ(canvas.Pixel(1, 1), kTransparent);
    EXPECT_EQ(canvas.Pixel(58, 58), kTransparent);
}

TEST(GfxDrawing, QualitySettingsReachTheGraphics) {
    Canvas canvas(4, 4);
    ASSERT_TRUE(canvas.graphics.SetSmoothingMode(SmoothingModeAntiAlias));
    ASSERT_TRUE(canvas.graphics.SetCompositingQuality(CompositingQualityHighQuality));
    ASSERT_TRUE(canvas.graphics.SetPixelOffsetMode(PixelOffsetModeHalf));
    SmoothingMode smoothing{};
    CompositingQuality quality{};
    PixelOffsetMode offset{};
    DllExports::GdipGetSmoothingMode(canvas.graphics.GetHandle(), &smoothing);
    DllExports::GdipGetCompositingQuality(canvas.graphics.GetHandle(), &quality);
    DllExports::GdipGetPixelOffsetMode(canvas.graphics.GetHandle(), &offset);
    EXPECT_EQ(smoothing, SmoothingModeAntiAlias);
    EXPECT_EQ(quality, CompositingQualityHighQuality);
    EXPECT_EQ(offset, PixelOffsetModeHalf);
    ASSERT_TRUE(canvas.graphics.SetInterpolationMode(InterpolationModeNearestNeighbor));
    EXPECT_EQ(canvas.graphics.GetInterpolationMode(), InterpolationModeNearestNeighbor);
}

TEST(GfxDrawing, ClipsLimitWhereFillsLand) {
    Canvas canvas(40, 40);
    GfxSolidBrush brush;
    ASSERT_TRUE(brush.CreateSolidFill(kRed));

    ASSERT_TRUE(canvas.graphics.SetClipRect(0, 0, 20, 40));
    EXPECT_TRUE(canvas.graphics.FillRectangle(brush, 0, 0, 40, 40));
    EXPECT_EQ(canvas.Pixel(10, 20), kRed);
    EXPECT_EQ(canvas.Pixel(30, 20), kTransparent);

    // Excluding a rectangle from the clip leaves a ring.
    EXPECT_TRUE(canvas.graphics.GraphicsClear());
    ASSERT_TRUE(canvas.graphics.SetClipRect(0, 0, 40, 40));
    ASSERT_TRUE(canvas.graphics.SetClipRect(10, 10, 20, 20, CombineModeExclude));
    EXPECT_TRUE(canvas.graphics.FillRectangle(brush, 0, 0, 40, 40));
    EXPECT_EQ(canvas.Pixel(5, 5), kRed);
    EXPECT_EQ(canvas.Pixel(20, 20), kTransparent);

    EXPECT_TRUE(canvas.graphics.GraphicsClear());
    GfxPath circle;
    ASSERT_TRUE(circle.CreatePath());
    ASSERT_TRUE(circle.AddPathEllipse(0, 0, 40, 40));
    ASSERT_TRUE(canvas.graphics.SetClipPath(circle));
    EXPECT_TRUE(canvas.graphics.FillRectangle(brush, 0, 0, 40, 40));
    EXPECT_EQ(canvas.Pixel(20, 20), kRed);
    EXPECT_EQ(canvas.Pixel(1, 1), kTransparent);

    ASSERT_TRUE(canvas.graphics.ResetClip());
    EXPECT_TRUE(canvas.graphics.FillRectangle(brush, 0, 0, 40, 40));
    EXPECT_EQ(canvas.Pixel(1, 1), kRed);
}

TEST(GfxDrawing, ImagesDrawInTheirSizeOrScaledWhole) {
    // A 2 x 2 source: red and green above, blue and black below.
    Canvas source(2, 2);
    GfxSolidBrush brush;
    const ARGB quarters[] = {kRed, kGreen, kBlue, kBlack};
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(brush.CreateSolidFill(quarters[i]));
        ASSERT_TRUE(
            source.graphics.FillRectangle(brush, static_cast<REAL>(i % 2), static_cast<REAL>(i / 2), 1, 1));
    }

    Canvas target(20, 20);
    ASSERT_TRUE(target.graphics.SetInterpolationMode(InterpolationModeNearestNeighbor));
    ASSERT_TRUE(target.graphics.SetPixelOffsetMode(PixelOffsetModeHalf));
    EXPECT_TRUE(target.graphics.DrawImageRectRect(source.bitmap, 0, 0, 20, 20));
    EXPECT_EQ(target.Pixel(2, 2), kRed);
    EXPECT_EQ(target.Pixel(17, 2), kGreen);
    EXPECT_EQ(target.Pixel(2, 17), kBlue);
    EXPECT_EQ(target.Pixel(17, 17), kBlack);

    EXPECT_TRUE(target.graphics.GraphicsClear());
    EXPECT_TRUE(target.graphics.DrawImage(source.bitmap, 5, 5));
    EXPECT_EQ(target.Pixel(5, 5), kRed);
    EXPECT_EQ(target.Pixel(6, 6), kBlack);
    EXPECT_EQ(target.Pixel(8, 8), kTransparent);
}

}  // namespace
