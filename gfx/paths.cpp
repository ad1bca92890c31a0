// The path wrapper.
#include "gfx/paths.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

bool GfxPath::CreatePath(FillMode mode) {
    return Create<GpPath>([&](GpPath** out) { return GdipCreatePath(mode, out); });
}

bool GfxPath::ResetPath() {
    return RecordStatus(GdipResetPath(handle_));
}

bool GfxPath::AddPathLine(REAL x1, REAL y1, REAL x2, REAL y2) {
    return RecordStatus(GdipAddPathLine(handle_, x1, y1, x2, y2));
}

bool GfxPath::AddPathArc(REAL x, REAL y, REAL width, REAL height, REAL start, REAL sweep) {
    return RecordStatus(GdipAddPathArc(handle_, x, y, width, height, start, sweep));
}

bool GfxPath::AddPathRectangle(REAL x, REAL y, REAL width, REAL height) {
    return RecordStatus(GdipAddPathRectangle(handle_, x, y, width, height));
}

bool GfxPath::AddPathEllipse(REAL x, REAL y, REAL width, REAL height) {
    return RecordStatus(GdipAddPathEllipse(handle_, x, y, width, height));
}

bool GfxPath::ClosePathFigure() {
    return RecordStatus(GdipClosePathFigure(handle_));
}
