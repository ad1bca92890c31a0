// The GDI+ path wrapper: lines, arcs, rectangles and ellipses in figures.
#pragma once

#include "gfx/status.h"

class GfxPath : public GfxObject<Gdiplus::GpPath, Gdiplus::DllExports::GdipDeletePath> {
  public:
    bool CreatePath(Gdiplus::FillMode mode = Gdiplus::FillModeAlternate);
    bool DeletePath() { return DeleteHandle(); }
    bool ResetPath();
    bool AddPathLine(Gdiplus::REAL x1, Gdiplus::REAL y1, Gdiplus::REAL x2, Gdiplus::REAL y2);
    // An arc of the ellipse in the rectangle, from `start` degrees through `sweep` degrees, clockwise.
    bool AddPathArc(Gdiplus::REAL x, Gdiplus::REAL y, Gdiplus::REAL width, Gdiplus::REAL height,
                    Gdiplus::REAL start, Gdiplus::REAL sweep);
    bool AddPathRectangle(Gdiplus::REAL x, Gdiplus::REAL y, Gdiplus::REAL width, Gdiplus::REAL height);
    bool AddPathEllipse(Gdiplus::REAL x, Gdiplus::REAL y, Gdiplus::REAL width, Gdiplus::REAL height);
    // Closes the current figure; what is added next starts a new one.
    bool ClosePathFigure();
};
