// GDI+ brush and pen wrappers: solid, linear-gradient and path-gradient brushes, and pens.
#pragma once

#include <span>

#include "gfx/paths.h"
#include "gfx/status.h"

// The brush every fill and brush pen takes: a solid, linear-gradient or path-gradient brush.
class GfxBrush : public GfxObject<Gdiplus::GpBrush, Gdiplus::DllExports::GdipDeleteBrush> {
  public:
    bool DeleteBrush() { return DeleteHandle(); }

  protected:
    GfxBrush() = default;
};

class GfxSolidBrush : public GfxBrush {
  public:
    bool CreateSolidFill(Gdiplus::ARGB colour);
};

class GfxLinearBrush : public GfxBrush {
  public:
    // Gradient from colour1 at point1 to colour2 at point2, tiled beyond them.
    bool CreateLineBrush(const Gdiplus::PointF& point1, const Gdiplus::PointF& point2, Gdiplus::ARGB colour1,
                         Gdiplus::ARGB colour2);
    // One colour per position (0.0 to 1.0 along the gradient); lists of unequal length are refused with
    // InvalidParameter.
    bool SetLinePresetBlend(std::span<const Gdiplus::ARGB> colours, std::span<const Gdiplus::REAL> positions);
    bool SetLineLinearBlend(Gdiplus::REAL focus, Gdiplus::REAL scale);

  private:
    Gdiplus::GpLineGradient* Line() const { return static_cast<Gdiplus::GpLineGradient*>(handle_); }
};

class GfxPathGradientBrush : public GfxBrush {
  public:
    bool CreatePathGradientFromPath(const GfxPath& path);
    bool SetPathGradientCenterColor(Gdiplus::ARGB colour);
    // Colours for the path's points in order; the last one repeats for the points beyond the list.
    bool SetPathGradientSurroundColorsWithCount(std::span<const Gdiplus::ARGB> colours);

  private:
    Gdiplus::GpPathGradient* Gradient() const { return static_cast<Gdiplus::GpPathGradient*>(handle_); }
};

class GfxPen : public GfxObject<Gdiplus::GpPen, Gdiplus::DllExports::GdipDeletePen> {
  public:
    bool CreatePen1(Gdiplus::ARGB colour, Gdiplus::REAL width, Gdiplus::Unit unit = Gdiplus::UnitWorld);
    // A pen that strokes with the brush's colours (the brush may be deleted afterwards).
    bool CreatePen2(const GfxBrush& brush, Gdiplus::REAL width, Gdiplus::Unit unit = Gdiplus::UnitWorld);
    bool SetPenWidth(Gdiplus::REAL width);
    bool DeletePen() { return DeleteHandle(); }
};
